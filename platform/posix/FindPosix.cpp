#include "platform/Platform.h"
#include "platform/posix/PathResolution.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

struct Platform::FindSearchStruct {
    std::string Directory;
    std::vector<std::string> Names;
    std::size_t Next = 0;
};

namespace Platform {

namespace {

constexpr std::uint64_t Windows_To_Unix_Epoch_Seconds = 11644473600ULL;

char Ascii_Upper(char byte)
{
    return (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 'a' + 'A') : byte;
}

// "*" any run of bytes, "?" any one byte, others equal ignoring ASCII case. Backtracks to the
// last star, so every name the wildcard describes matches.
bool Wildcard_Matches(const std::string& pattern, const std::string& name)
{
    if (pattern == "*.*") return true;
    std::size_t p = 0, n = 0;
    std::size_t star = std::string::npos, star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Ascii_Upper(pattern[p]) == Ascii_Upper(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            star_name = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

void Set_Time(FindFileTimeStruct& time, const struct timespec& stamp)
{
    std::uint64_t ticks = 0;
    if (stamp.tv_sec >= -static_cast<std::int64_t>(Windows_To_Unix_Epoch_Seconds)) {
        ticks = static_cast<std::uint64_t>(stamp.tv_sec + Windows_To_Unix_Epoch_Seconds) * 10000000ULL +
                static_cast<std::uint64_t>(stamp.tv_nsec) / 100;
    }
    time.dwLowDateTime = static_cast<std::uint32_t>(ticks);
    time.dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
}

void Fill_Find_Data(const FindSearchStruct& search, const std::string& name, WIN32_FIND_DATAA* data)
{
    std::memset(data, 0, sizeof *data);
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
    data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    struct stat info;
    const std::string path = search.Directory.empty() ? name : search.Directory + "/" + name;
    if (::stat(path.c_str(), &info) != 0) return;
    if (S_ISDIR(info.st_mode)) {
        data->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
        std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
        data->nFileSizeLow = static_cast<std::uint32_t>(size);
        data->nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    }
    if (::access(path.c_str(), W_OK) != 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    Set_Time(data->ftCreationTime, info.st_ctim);
    Set_Time(data->ftLastAccessTime, info.st_atim);
    Set_Time(data->ftLastWriteTime, info.st_mtim);
}

}  // namespace

FindHandle Find_First_File(const char* path, WIN32_FIND_DATAA* data)
{
    if (path == nullptr || data == nullptr) return nullptr;
    std::string written = path;
    for (char& byte : written) {
        if (byte == '\\') byte = '/';
    }
    const std::string::size_type slash = written.rfind('/');
    const std::string pattern = slash == std::string::npos ? written : written.substr(slash + 1);
    if (pattern.empty()) return nullptr;

    FindSearchStruct search;
    if (slash != std::string::npos) search.Directory = Resolve_Path(written.substr(0, slash + 1).c_str());
    DIR* listing = ::opendir(search.Directory.empty() ? "." : search.Directory.c_str());
    if (listing == nullptr) return nullptr;
    while (const struct dirent* entry = ::readdir(listing)) {
        std::string name = entry->d_name;
        if (name.size() < MAX_PATH && Wildcard_Matches(pattern, name)) search.Names.push_back(name);
    }
    ::closedir(listing);
    if (search.Names.empty()) return nullptr;
    std::sort(search.Names.begin(), search.Names.end());

    FindHandle handle = new FindSearchStruct(std::move(search));
    Find_Next_File(handle, data);
    return handle;
}

bool Find_Next_File(FindHandle search, WIN32_FIND_DATAA* data)
{
    if (search == nullptr || data == nullptr || search->Next >= search->Names.size()) return false;
    Fill_Find_Data(*search, search->Names[search->Next++], data);
    return true;
}

bool Find_Close(FindHandle search)
{
    if (search == nullptr) return false;
    delete search;
    return true;
}

}  // namespace Platform
