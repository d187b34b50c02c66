#ifndef COGNEXA_PLATFORM_POSIX_FILE_CLASS_H
#define COGNEXA_PLATFORM_POSIX_FILE_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <memory>

// A regular file open through a descriptor.
class PosixFileClass : public PlatformFileClass {
public:
    // name is resolved ignoring case; flags are open(2)'s access and creation flags. Null
    // when the name does not lead to a regular file that can be opened so.
    static std::unique_ptr<PlatformFileClass> Open(const char* name, int flags);

    ~PosixFileClass() override;
    PosixFileClass(const PosixFileClass&) = delete;
    PosixFileClass& operator=(const PosixFileClass&) = delete;

    bool Close() override;
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int Size() override;
    std::uint64_t Last_Write_Time() override;

private:
    explicit PosixFileClass(int descriptor) : Descriptor(descriptor) {}

    int Descriptor;
};

#endif
