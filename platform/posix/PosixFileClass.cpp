#include "platform/posix/PosixFileClass.h"

#include "platform/posix/PathResolution.h"
#include "platform/posix/PosixFileTime.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<PlatformFileClass> PosixFileClass::Open(const char* name, int flags)
{
    if (name == nullptr || name[0] == '\0') return nullptr;
    const std::string path = PosixPath::Resolve_Path(name);
    // Non-blocking, so a FIFO or device in place of a data file cannot stall the caller; only
    // regular files are kept.
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0644);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) return nullptr;

    struct stat info;
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<PlatformFileClass>(new PosixFileClass(descriptor));
}

PosixFileClass::~PosixFileClass()
{
    Close();
}

bool PosixFileClass::Close()
{
    if (Descriptor < 0) return true;
    // The descriptor is released even when close reports EINTR; retrying could close another.
    const bool closed = ::close(Descriptor) == 0;
    Descriptor = -1;
    return closed;
}

int PosixFileClass::Read(void* buffer, int count)
{
    if (buffer == nullptr || count < 0) return -1;
    char* cursor = static_cast<char*>(buffer);
    int total = 0;
    // One call reads everything up to the end of the file, as the game's file API does.
    while (total < count) {
        ssize_t got = ::read(Descriptor, cursor + total, static_cast<size_t>(count - total));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        total += static_cast<int>(got);
    }
    return total;
}

int PosixFileClass::Write(const void* buffer, int count)
{
    if (buffer == nullptr || count < 0) return -1;
    const char* cursor = static_cast<const char*>(buffer);
    int total = 0;
    while (total < count) {
        ssize_t put = ::write(Descriptor, cursor + total, static_cast<size_t>(count - total));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return -1;
        total += static_cast<int>(put);
    }
    return total;
}

int PosixFileClass::Seek(int offset, int origin)
{
    static const int whence_by_origin[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) return -1;
    off_t position = ::lseek(Descriptor, offset, whence_by_origin[origin]);
    if (position < 0 || position > INT_MAX) return -1;
    return static_cast<int>(position);
}

int PosixFileClass::Size()
{
    struct stat info;
    if (::fstat(Descriptor, &info) != 0 || info.st_size > INT_MAX) return -1;
    return static_cast<int>(info.st_size);
}

std::uint64_t PosixFileClass::Last_Write_Time()
{
    struct stat info;
    if (::fstat(Descriptor, &info) != 0) return 0;
    return PosixFileTime::Ticks_Since_1601(info.st_mtim);
}
