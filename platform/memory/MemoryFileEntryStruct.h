#ifndef COGNEXA_PLATFORM_MEMORY_FILE_ENTRY_STRUCT_H
#define COGNEXA_PLATFORM_MEMORY_FILE_ENTRY_STRUCT_H

#include <cstdint>
#include <string>

// One file of the in-memory platform. Shared by the open files, so a file removed while open
// stays readable through them, as an unlinked file does.
struct MemoryFileEntryStruct {
    std::string Contents;
    std::uint64_t Last_Write_Time = 0;
    // Every close of it reports failure, as a close that could not store written data does.
    bool Close_Fails = false;
};

#endif
