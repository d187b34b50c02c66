#ifndef COGNEXA_PLATFORM_POSIX_SEARCH_CLASS_H
#define COGNEXA_PLATFORM_POSIX_SEARCH_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <memory>
#include <string>
#include <vector>

// A directory search: the matching names are read and sorted when it starts, each entry's
// details when it is reported.
class PosixSearchClass : public PlatformSearchClass {
public:
    // Null when nothing matches; otherwise the first match is written to data.
    static std::unique_ptr<PlatformSearchClass> Start(const char* path, WIN32_FIND_DATAA* data);

    bool Next(WIN32_FIND_DATAA* data) override;

private:
    PosixSearchClass() = default;
    void Fill_Find_Data(const std::string& name, WIN32_FIND_DATAA* data) const;

    std::string Directory;
    std::vector<std::string> Names;
    std::size_t Next_Name = 0;
};

#endif
