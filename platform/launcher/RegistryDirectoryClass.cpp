#include "platform/launcher/RegistryDirectoryClass.h"

#include "launcher/RegistryFileClass.h"
#include "platform/launcher/PosixFiles.h"

#include <pwd.h>
#include <unistd.h>

namespace {

std::string Default_Directory()
{
    std::string directory = PosixFiles::Environment("VESTIBAR_REGISTRY_DIR");
    if (!directory.empty()) return directory;
    std::string config = PosixFiles::Environment("XDG_CONFIG_HOME");
    if (!config.empty()) return config + "/vestibar";
    std::string home = PosixFiles::Environment("HOME");
    if (home.empty()) {
        const passwd* entry = ::getpwuid(::getuid());
        if (entry != nullptr && entry->pw_dir != nullptr) home = entry->pw_dir;
    }
    return home + "/.config/vestibar";
}

// A missing or unreadable file holds nothing; a malformed one holds nothing either.
RegistryFileClass Load(RegistryHive hive, const std::string& path)
{
    RegistryFileClass file(hive);
    std::string text;
    PosixFiles::Read_Whole_File(path, text);
    file.Parse(text);
    return file;
}

}  // namespace

RegistryDirectoryClass::RegistryDirectoryClass() : directory_(Default_Directory()) {}

RegistryDirectoryClass::RegistryDirectoryClass(const std::string& directory) : directory_(directory) {}

std::string RegistryDirectoryClass::File_Path(RegistryHive hive) const
{
    return directory_ + (hive == RegistryHive::LocalMachine ? "/system.reg" : "/user.reg");
}

bool RegistryDirectoryClass::Key_Exists(RegistryHive hive, const std::string& key) const
{
    return Load(hive, File_Path(hive)).Key_Exists(key);
}

bool RegistryDirectoryClass::Read(RegistryHive hive, const std::string& key, const std::string& name,
                                  RegistryValue& value) const
{
    return Load(hive, File_Path(hive)).Read(key, name, value);
}

bool RegistryDirectoryClass::Write(RegistryHive hive, const std::string& key, const std::string& name,
                                   const RegistryValue& value, bool create_key)
{
    std::string path = File_Path(hive);
    std::string text;
    bool existed = PosixFiles::File_Exists(path);
    if (existed && !PosixFiles::Read_Whole_File(path, text)) return false;
    RegistryFileClass file(hive);
    // A file that is not a registry file is left alone rather than replaced.
    if (!file.Parse(text)) return false;
    if (!file.Write(key, name, value, create_key)) return false;
    if (!existed && !PosixFiles::Make_Directories(directory_)) return false;
    return PosixFiles::Replace_File_Atomically(path, file.Text());
}
