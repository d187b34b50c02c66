#include "platform/posix/PosixSearchClass.h"

#include "platform/DirectoryEntryWildcard.h"
#include "platform/posix/PathResolution.h"
#include "platform/posix/PosixFileTime.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Set_Time(FindFileTimeStruct& time, const struct timespec& stamp)
{
    const std::uint64_t ticks = PosixFileTime::Ticks_Since_1601(stamp);
    time.dwLowDateTime = static_cast<std::uint32_t>(ticks);
    time.dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
}

}  // namespace

std::unique_ptr<PlatformSearchClass> PosixSearchClass::Start(const char* path, WIN32_FIND_DATAA* data)
{
    if (path == nullptr || data == nullptr) return nullptr;
    std::string written = path;
    for (char& byte : written) {
        if (byte == '\\') byte = '/';
    }
    const std::string::size_type slash = written.rfind('/');
    const std::string pattern = slash == std::string::npos ? written : written.substr(slash + 1);
    if (pattern.empty()) return nullptr;

    std::unique_ptr<PosixSearchClass> search(new PosixSearchClass);
    if (slash != std::string::npos) search->Directory = PosixPath::Resolve_Path(written.substr(0, slash + 1).c_str());
    DIR* listing = ::opendir(search->Directory.empty() ? "." : search->Directory.c_str());
    if (listing == nullptr) return nullptr;
    while (const struct dirent* entry = ::readdir(listing)) {
        std::string name = entry->d_name;
        if (name.size() < COGNEXA_MAX_PATH && DirectoryEntryWildcard::Matches(pattern, name)) {
            search->Names.push_back(name);
        }
    }
    ::closedir(listing);
    if (search->Names.empty()) return nullptr;
    std::sort(search->Names.begin(), search->Names.end());
    search->Next(data);
    return search;
}

bool PosixSearchClass::Next(WIN32_FIND_DATAA* data)
{
    if (data == nullptr || Next_Name >= Names.size()) return false;
    Fill_Find_Data(Names[Next_Name++], data);
    return true;
}

void PosixSearchClass::Fill_Find_Data(const std::string& name, WIN32_FIND_DATAA* data) const
{
    std::memset(data, 0, sizeof *data);
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
    data->dwFileAttributes = COGNEXA_FILE_ATTRIBUTE_NORMAL;
    struct stat info;
    const std::string path = Directory.empty() ? name : Directory + "/" + name;
    if (::stat(path.c_str(), &info) != 0) return;
    if (S_ISDIR(info.st_mode)) {
        data->dwFileAttributes = COGNEXA_FILE_ATTRIBUTE_DIRECTORY;
    } else {
        std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
        data->nFileSizeLow = static_cast<std::uint32_t>(size);
        data->nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    }
    if (::access(path.c_str(), W_OK) != 0) data->dwFileAttributes |= COGNEXA_FILE_ATTRIBUTE_READONLY;
    Set_Time(data->ftCreationTime, info.st_ctim);
    Set_Time(data->ftLastAccessTime, info.st_atim);
    Set_Time(data->ftLastWriteTime, info.st_mtim);
}
