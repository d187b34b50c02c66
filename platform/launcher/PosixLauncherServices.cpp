#include "platform/launcher/PosixLauncherServices.h"

#include "launcher/LocaleLanguage.h"
#include "platform/launcher/PosixFiles.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace PosixLauncherServices {

LauncherPlatformClass::InstanceLock Acquire_Instance_Lock(const std::string& name)
{
    std::string directory = PosixFiles::Environment("XDG_RUNTIME_DIR");
    if (directory.empty()) directory = "/tmp";
    std::string file_name = name;
    std::replace(file_name.begin(), file_name.end(), '/', '_');
    std::string path = directory + "/" + file_name + ".lock";

    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) return LauncherPlatformClass::InstanceLock::Failed;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        bool held_elsewhere = errno == EWOULDBLOCK;
        ::close(descriptor);
        return held_elsewhere ? LauncherPlatformClass::InstanceLock::AlreadyRunning
                              : LauncherPlatformClass::InstanceLock::Failed;
    }
    // The descriptor stays open on purpose: closing it would release the lock.
    return LauncherPlatformClass::InstanceLock::Acquired;
}

std::uint16_t Language_Id_From_Environment()
{
    std::uint16_t language_id = 0;
    if (Parse_Language_Id(PosixFiles::Environment("VESTIBAR_LANGID"), language_id)) return language_id;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string locale = PosixFiles::Environment(name);
        if (!locale.empty()) return Language_Id_From_Locale(locale);
    }
    return Language_Id_From_Locale("C");
}

std::string Program_Path()
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string Current_Directory()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

bool Set_Current_Directory(const std::string& path)
{
    std::string posix_path = path;
    std::replace(posix_path.begin(), posix_path.end(), '\\', '/');
    return !posix_path.empty() && ::chdir(posix_path.c_str()) == 0;
}

std::string Home_Directory()
{
    std::string home = PosixFiles::Environment("HOME");
    if (!home.empty()) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

}  // namespace PosixLauncherServices
