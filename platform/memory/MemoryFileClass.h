#ifndef COGNEXA_PLATFORM_MEMORY_FILE_CLASS_H
#define COGNEXA_PLATFORM_MEMORY_FILE_CLASS_H

#include "foundation/LibraryPlatformClass.h"
#include "platform/memory/MemoryFileEntryStruct.h"

#include <memory>
#include <mutex>

// An open file of the in-memory platform, for reading or for writing.
class MemoryFileClass : public PlatformFileClass {
public:
    // mutex guards every entry of the platform; clock gives the time a write stamps.
    MemoryFileClass(std::shared_ptr<MemoryFileEntryStruct> entry, bool writable, std::mutex& mutex,
                    const std::uint64_t& clock)
        : Entry(std::move(entry)), Writable(writable), Mutex(mutex), Clock(clock)
    {
    }

    bool Close() override;
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int Size() override;
    std::uint64_t Last_Write_Time() override;

private:
    const std::shared_ptr<MemoryFileEntryStruct> Entry;
    const bool Writable;
    std::mutex& Mutex;
    const std::uint64_t& Clock;
    std::size_t Position = 0;
};

#endif
