#ifndef COGNEXA_FIND_DATA_H
#define COGNEXA_FIND_DATA_H

// The directory-entry record of the enumeration (Find_First / Find_Next of the file manager).
// Windows declares it; elsewhere the library defines the same record with the fields a host
// reads. The sizes and attribute bits carry the library's own names, so this header defines
// nothing that <windows.h> (or a host's own definitions) also defines.
#include <cstdint>

#if defined(_WIN32)
#  include <windows.h>

constexpr std::uint32_t COGNEXA_MAX_PATH = MAX_PATH;
constexpr std::uint32_t COGNEXA_FILE_ATTRIBUTE_READONLY = FILE_ATTRIBUTE_READONLY;
constexpr std::uint32_t COGNEXA_FILE_ATTRIBUTE_DIRECTORY = FILE_ATTRIBUTE_DIRECTORY;
constexpr std::uint32_t COGNEXA_FILE_ATTRIBUTE_NORMAL = FILE_ATTRIBUTE_NORMAL;
#else
constexpr std::uint32_t COGNEXA_MAX_PATH = 260;
constexpr std::uint32_t COGNEXA_FILE_ATTRIBUTE_READONLY = 0x01u;
constexpr std::uint32_t COGNEXA_FILE_ATTRIBUTE_DIRECTORY = 0x10u;
constexpr std::uint32_t COGNEXA_FILE_ATTRIBUTE_NORMAL = 0x80u;

// 100 ns ticks since 1601-01-01 UTC, split in two halves as Windows stores them.
struct FindFileTimeStruct {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    std::uint32_t dwFileAttributes;
    FindFileTimeStruct ftCreationTime;
    FindFileTimeStruct ftLastAccessTime;
    FindFileTimeStruct ftLastWriteTime;
    std::uint32_t nFileSizeHigh;
    std::uint32_t nFileSizeLow;
    std::uint32_t dwReserved0;
    std::uint32_t dwReserved1;
    char cFileName[COGNEXA_MAX_PATH];
    char cAlternateFileName[14];
};
#endif

#endif
