#include "platform/Platform.h"
#include "platform/posix/PathResolution.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t Windows_To_Unix_Epoch_Seconds = 11644473600ULL;
constexpr std::uint64_t Ticks_Per_Second = 10000000ULL;

int To_Descriptor(FileHandle file)
{
    return static_cast<int>(file);
}

bool Is_Valid(FileHandle file)
{
    return file >= 0 && file <= INT_MAX;
}

FileHandle Open_Resolved(const char* name, int flags)
{
    if (name == nullptr || name[0] == '\0') return Invalid_File_Handle;
    const std::string path = Resolve_Path(name);
    // Non-blocking, so a FIFO or device in place of a data file cannot stall the caller; only
    // regular files are kept.
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0644);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) return Invalid_File_Handle;

    struct stat info;
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(descriptor);
        return Invalid_File_Handle;
    }
    return descriptor;
}

}  // namespace

FileHandle Open_File_For_Reading(const char* name)
{
    return Open_Resolved(name, O_RDONLY);
}

FileHandle Create_File_For_Writing(const char* name)
{
    return Open_Resolved(name, O_WRONLY | O_CREAT | O_TRUNC);
}

int Read_File(FileHandle file, void* buffer, int count)
{
    if (!Is_Valid(file) || buffer == nullptr || count < 0) return -1;
    char* cursor = static_cast<char*>(buffer);
    int total = 0;
    // One call reads everything up to the end of the file, as the game's file API does.
    while (total < count) {
        ssize_t got = ::read(To_Descriptor(file), cursor + total, static_cast<size_t>(count - total));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        total += static_cast<int>(got);
    }
    return total;
}

int Write_File(FileHandle file, const void* buffer, int count)
{
    if (!Is_Valid(file) || buffer == nullptr || count < 0) return -1;
    const char* cursor = static_cast<const char*>(buffer);
    int total = 0;
    while (total < count) {
        ssize_t put = ::write(To_Descriptor(file), cursor + total, static_cast<size_t>(count - total));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return -1;
        total += static_cast<int>(put);
    }
    return total;
}

int Seek_File(FileHandle file, int offset, int origin)
{
    static const int whence_by_origin[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!Is_Valid(file) || origin < 0 || origin > 2) return -1;
    off_t position = ::lseek(To_Descriptor(file), offset, whence_by_origin[origin]);
    if (position < 0 || position > INT_MAX) return -1;
    return static_cast<int>(position);
}

int Get_File_Size(FileHandle file)
{
    struct stat info;
    if (!Is_Valid(file) || ::fstat(To_Descriptor(file), &info) != 0 || info.st_size > INT_MAX) return -1;
    return static_cast<int>(info.st_size);
}

std::uint64_t Get_File_Time(FileHandle file)
{
    struct stat info;
    if (!Is_Valid(file) || ::fstat(To_Descriptor(file), &info) != 0) return 0;
    if (info.st_mtim.tv_sec < -static_cast<std::int64_t>(Windows_To_Unix_Epoch_Seconds)) return 0;
    std::uint64_t seconds = static_cast<std::uint64_t>(info.st_mtim.tv_sec + Windows_To_Unix_Epoch_Seconds);
    return seconds * Ticks_Per_Second + static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
}

bool Close_File(FileHandle file)
{
    if (!Is_Valid(file)) return false;
    // The descriptor is released even when close reports EINTR; retrying could close another.
    return ::close(To_Descriptor(file)) == 0 || errno == EINTR;
}

}  // namespace Platform
