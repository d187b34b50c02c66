#include "platform/memory/MemoryFileClass.h"

#include <algorithm>
#include <climits>
#include <cstring>

bool MemoryFileClass::Close()
{
    std::lock_guard<std::mutex> lock(Mutex);
    return !Entry->Close_Fails;
}

int MemoryFileClass::Read(void* buffer, int count)
{
    if (buffer == nullptr || count < 0 || Writable) return -1;
    std::lock_guard<std::mutex> lock(Mutex);
    const std::string& contents = Entry->Contents;
    const std::size_t available = Position < contents.size() ? contents.size() - Position : 0;
    const std::size_t got = std::min(available, static_cast<std::size_t>(count));
    if (got > 0) std::memcpy(buffer, contents.data() + Position, got);
    Position += got;
    return static_cast<int>(got);
}

int MemoryFileClass::Write(const void* buffer, int count)
{
    if (buffer == nullptr || count < 0 || !Writable) return -1;
    std::lock_guard<std::mutex> lock(Mutex);
    std::string& contents = Entry->Contents;
    // Writing past the end fills the gap with zero bytes, as a sparse file reads.
    if (contents.size() < Position + static_cast<std::size_t>(count)) {
        contents.resize(Position + static_cast<std::size_t>(count), '\0');
    }
    contents.replace(Position, static_cast<std::size_t>(count), static_cast<const char*>(buffer),
                     static_cast<std::size_t>(count));
    Position += static_cast<std::size_t>(count);
    Entry->Last_Write_Time = Clock;
    return count;
}

int MemoryFileClass::Seek(int offset, int origin)
{
    if (origin < 0 || origin > 2) return -1;
    std::lock_guard<std::mutex> lock(Mutex);
    const long long base = origin == 0 ? 0 : origin == 1 ? static_cast<long long>(Position)
                                                          : static_cast<long long>(Entry->Contents.size());
    const long long target = base + offset;
    if (target < 0 || target > INT_MAX) return -1;
    Position = static_cast<std::size_t>(target);
    return static_cast<int>(target);
}

int MemoryFileClass::Size()
{
    std::lock_guard<std::mutex> lock(Mutex);
    return Entry->Contents.size() > INT_MAX ? -1 : static_cast<int>(Entry->Contents.size());
}

std::uint64_t MemoryFileClass::Last_Write_Time()
{
    std::lock_guard<std::mutex> lock(Mutex);
    return Entry->Last_Write_Time;
}
