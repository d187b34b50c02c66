#ifndef COGNEXA_PLATFORM_MEMORY_SEARCH_CLASS_H
#define COGNEXA_PLATFORM_MEMORY_SEARCH_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <string>
#include <vector>

class MemoryLibraryPlatformClass;

// A search of the in-memory platform: the matching names are taken and sorted when it starts,
// each entry's details when it is reported.
class MemorySearchClass : public PlatformSearchClass {
public:
    MemorySearchClass(const MemoryLibraryPlatformClass& platform, std::string directory, std::vector<std::string> names)
        : Platform(platform), Directory(std::move(directory)), Names(std::move(names))
    {
    }

    bool Next(WIN32_FIND_DATAA* data) override;

private:
    const MemoryLibraryPlatformClass& Platform;
    const std::string Directory;
    const std::vector<std::string> Names;
    std::size_t Next_Name = 0;
};

#endif
