#include "platform/memory/MemoryLibraryPlatformClass.h"

#include "foundation/AsciiCharacterTable.h"
#include "platform/DirectoryEntryWildcard.h"
#include "platform/memory/MemoryFileClass.h"
#include "platform/memory/MemorySearchClass.h"

#include <algorithm>
#include <cstring>

namespace {

// "\" and "/" separate; empty and "." components drop out and ".." takes the one before it
// away, so every spelling of a name reaches one key. A leading "/" stays: it starts the
// absolute tree.
std::vector<std::string> Components_Of(const std::string& name, bool& absolute)
{
    std::string written = name;
    std::replace(written.begin(), written.end(), '\\', '/');
    absolute = !written.empty() && written[0] == '/';
    std::vector<std::string> components;
    std::string::size_type start = 0;
    while (start <= written.size()) {
        std::string::size_type slash = written.find('/', start);
        if (slash == std::string::npos) slash = written.size();
        const std::string component = written.substr(start, slash - start);
        if (component == "..") {
            if (!components.empty() && components.back() != "..") {
                components.pop_back();
            } else if (!absolute) {
                components.push_back(component);
            }
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = slash + 1;
    }
    return components;
}

std::string Join(const std::string& directory, const std::string& component)
{
    if (directory.empty()) return component;
    if (directory == "/") return directory + component;
    return directory + "/" + component;
}

std::string Parent_Of(const std::string& key)
{
    const std::string::size_type slash = key.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : key.substr(0, slash);
}

bool Ends_With_Separator(const char* name)
{
    const std::size_t length = std::strlen(name);
    return length > 0 && (name[length - 1] == '/' || name[length - 1] == '\\');
}

// The key of a name as written, without case resolution.
std::string Key_Of(const std::string& name)
{
    bool absolute;
    const std::vector<std::string> components = Components_Of(name, absolute);
    std::string key = absolute ? "/" : "";
    for (const std::string& component : components) key = Join(key, component);
    return key;
}

void Set_Time(decltype(WIN32_FIND_DATAA::ftLastWriteTime)& time, std::uint64_t ticks)
{
    time.dwLowDateTime = static_cast<std::uint32_t>(ticks);
    time.dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
}

}  // namespace

void MemoryLibraryPlatformClass::Add_File(const std::string& name, const std::string& contents,
                                          std::uint64_t last_write_time)
{
    const std::string key = Key_Of(name);
    std::lock_guard<std::mutex> lock(Mutex);
    Add_Parents(key);
    std::shared_ptr<MemoryFileEntryStruct>& entry = Files[key];
    entry = std::make_shared<MemoryFileEntryStruct>();
    entry->Contents = contents;
    entry->Last_Write_Time = last_write_time;
}

void MemoryLibraryPlatformClass::Add_Directory(const std::string& name)
{
    const std::string key = Key_Of(name);
    std::lock_guard<std::mutex> lock(Mutex);
    Add_Parents(key);
    if (!key.empty() && key != "/") Directories.insert(key);
}

bool MemoryLibraryPlatformClass::Remove(const std::string& name)
{
    std::lock_guard<std::mutex> lock(Mutex);
    const std::string key = Resolve(name);
    if (Files.erase(key) > 0) return true;
    return Directories.count(key) > 0 && Entries_Of(key).empty() && Directories.erase(key) > 0;
}

bool MemoryLibraryPlatformClass::Read_File(const std::string& name, std::string& contents) const
{
    std::lock_guard<std::mutex> lock(Mutex);
    auto found = Files.find(Resolve(name));
    if (found == Files.end()) return false;
    contents = found->second->Contents;
    return true;
}

bool MemoryLibraryPlatformClass::Fail_Closes_Of(const std::string& name)
{
    std::lock_guard<std::mutex> lock(Mutex);
    auto found = Files.find(Resolve(name));
    if (found == Files.end()) return false;
    found->second->Close_Fails = true;
    return true;
}

void MemoryLibraryPlatformClass::Set_Clock(std::uint64_t ticks)
{
    std::lock_guard<std::mutex> lock(Mutex);
    Clock = ticks;
}

MemoryLibraryPlatformClass::NoticeListType MemoryLibraryPlatformClass::Notices() const
{
    std::lock_guard<std::mutex> lock(Mutex);
    return Shown_Notices;
}

std::unique_ptr<PlatformFileClass> MemoryLibraryPlatformClass::Open_File_For_Reading(const char* name)
{
    if (name == nullptr || name[0] == '\0' || Ends_With_Separator(name)) return nullptr;
    std::lock_guard<std::mutex> lock(Mutex);
    auto found = Files.find(Resolve(name));
    if (found == Files.end()) return nullptr;
    return std::unique_ptr<PlatformFileClass>(new MemoryFileClass(found->second, false, Mutex, Clock));
}

std::unique_ptr<PlatformFileClass> MemoryLibraryPlatformClass::Create_File_For_Writing(const char* name)
{
    if (name == nullptr || name[0] == '\0' || Ends_With_Separator(name)) return nullptr;
    std::lock_guard<std::mutex> lock(Mutex);
    const std::string key = Resolve(name);
    if (key.empty() || Is_Directory(key) || !Is_Directory(Parent_Of(key))) return nullptr;
    std::shared_ptr<MemoryFileEntryStruct>& entry = Files[key];
    if (entry == nullptr) entry = std::make_shared<MemoryFileEntryStruct>();
    // The same entry, truncated: readers that hold it open see what a reader of a truncated
    // file sees.
    entry->Contents.clear();
    entry->Last_Write_Time = Clock;
    return std::unique_ptr<PlatformFileClass>(new MemoryFileClass(entry, true, Mutex, Clock));
}

std::unique_ptr<PlatformSearchClass> MemoryLibraryPlatformClass::Find_First_File(const char* path,
                                                                                 WIN32_FIND_DATAA* data)
{
    if (path == nullptr || data == nullptr) return nullptr;
    std::string written = path;
    std::replace(written.begin(), written.end(), '\\', '/');
    const std::string::size_type slash = written.rfind('/');
    const std::string pattern = slash == std::string::npos ? written : written.substr(slash + 1);
    if (pattern.empty()) return nullptr;

    std::vector<std::string> names;
    std::string directory;
    {
        std::lock_guard<std::mutex> lock(Mutex);
        if (slash != std::string::npos) directory = Resolve(written.substr(0, slash + 1));
        if (!Is_Directory(directory)) return nullptr;
        std::set<std::string> entries = Entries_Of(directory);
        entries.insert(".");
        entries.insert("..");
        for (const std::string& name : entries) {
            if (name.size() < COGNEXA_MAX_PATH && DirectoryEntryWildcard::Matches(pattern, name)) names.push_back(name);
        }
    }
    if (names.empty()) return nullptr;
    std::unique_ptr<PlatformSearchClass> search(new MemorySearchClass(*this, directory, std::move(names)));
    search->Next(data);
    return search;
}

// A lock holds no files, so the native one serves, and with it the OS's own rule for a holder
// that ends.
std::unique_ptr<PlatformLockClass> MemoryLibraryPlatformClass::Create_Lock()
{
    return Native_Library_Platform()->Create_Lock();
}

void MemoryLibraryPlatformClass::Show_Notice(const char* caption, const char* text)
{
    std::lock_guard<std::mutex> lock(Mutex);
    Shown_Notices.emplace_back(caption != nullptr ? caption : "", text != nullptr ? text : "");
}

bool MemoryLibraryPlatformClass::Describe_Entry(const std::string& directory, const std::string& name,
                                                WIN32_FIND_DATAA* data) const
{
    std::memset(data, 0, sizeof *data);
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
    data->dwFileAttributes = COGNEXA_FILE_ATTRIBUTE_NORMAL;
    const std::string key = Join(directory, name);
    std::lock_guard<std::mutex> lock(Mutex);
    if (name == "." || name == ".." || Is_Directory(key)) {
        data->dwFileAttributes = COGNEXA_FILE_ATTRIBUTE_DIRECTORY;
        return true;
    }
    auto found = Files.find(key);
    if (found == Files.end()) return false;
    const std::uint64_t size = found->second->Contents.size();
    data->nFileSizeLow = static_cast<std::uint32_t>(size);
    data->nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    Set_Time(data->ftCreationTime, found->second->Last_Write_Time);
    Set_Time(data->ftLastAccessTime, found->second->Last_Write_Time);
    Set_Time(data->ftLastWriteTime, found->second->Last_Write_Time);
    return true;
}

// The helpers below run with Mutex held.

std::string MemoryLibraryPlatformClass::Resolve(const std::string& name) const
{
    bool absolute;
    const std::vector<std::string> components = Components_Of(name, absolute);
    std::string resolved = absolute ? "/" : "";
    bool matching = true;
    for (const std::string& component : components) {
        std::string candidate = Join(resolved, component);
        if (matching && Files.count(candidate) == 0 && !Is_Directory(candidate)) {
            std::string best;
            if (Is_Directory(resolved)) {
                // Entries come in byte order, so the first one that matches is the smallest.
                for (const std::string& entry : Entries_Of(resolved)) {
                    if (AsciiCharacterTable::Ascii_Equal_Ignoring_Case(entry, component)) {
                        best = entry;
                        break;
                    }
                }
            }
            if (best.empty()) {
                matching = false;
            } else {
                candidate = Join(resolved, best);
            }
        }
        resolved = candidate;
    }
    return resolved;
}

bool MemoryLibraryPlatformClass::Is_Directory(const std::string& key) const
{
    return key.empty() || key == "/" || Directories.count(key) > 0;
}

std::set<std::string> MemoryLibraryPlatformClass::Entries_Of(const std::string& directory) const
{
    const std::string prefix = directory.empty() || directory == "/" ? directory : directory + "/";
    std::set<std::string> entries;
    auto collect = [&](const std::string& key) {
        if (key.compare(0, prefix.size(), prefix) != 0 || key.size() == prefix.size()) return false;
        const std::string rest = key.substr(prefix.size());
        if (rest.find('/') == std::string::npos) entries.insert(rest);
        return true;
    };
    for (auto file = Files.lower_bound(prefix); file != Files.end() && collect(file->first); ++file) {
    }
    for (auto entry = Directories.lower_bound(prefix); entry != Directories.end() && collect(*entry); ++entry) {
    }
    return entries;
}

void MemoryLibraryPlatformClass::Add_Parents(const std::string& key)
{
    for (std::string parent = Parent_Of(key); !parent.empty() && parent != "/"; parent = Parent_Of(parent)) {
        Directories.insert(parent);
    }
}
