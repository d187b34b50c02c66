#ifndef COGNEXA_FIND_DATA_H
#define COGNEXA_FIND_DATA_H

// The directory-entry record of the enumeration (Find_First / Find_Next of the file manager).
// Windows declares it; elsewhere the library defines the same record with the fields a host
// reads.
#if defined(_WIN32)
#  include <windows.h>
#else
#  include <cstdint>

#  ifndef MAX_PATH
#    define MAX_PATH 260
#  endif
#  ifndef FILE_ATTRIBUTE_READONLY
#    define FILE_ATTRIBUTE_READONLY 0x01u
#  endif
#  ifndef FILE_ATTRIBUTE_DIRECTORY
#    define FILE_ATTRIBUTE_DIRECTORY 0x10u
#  endif
#  ifndef FILE_ATTRIBUTE_NORMAL
#    define FILE_ATTRIBUTE_NORMAL 0x80u
#  endif

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
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};
#endif

#endif
