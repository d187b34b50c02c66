#ifndef COGNEXA_DATA_FILE_FIND_STATE_CLASS_H
#define COGNEXA_DATA_FILE_FIND_STATE_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>

// One enumeration of the file manager, between Find_First and Find_Close.
class FileFindStateClass {
public:
    FileFindStateClass() = default;
    FileFindStateClass(const FileFindStateClass&) = delete;
    FileFindStateClass& operator=(const FileFindStateClass&) = delete;

    void Close_Loose_Search() { Loose_Search.reset(); }

    // The search directory with its trailing backslash; empty for the top level.
    std::string Directory_Prefix() const { return Directory.empty() ? std::string() : Directory + "\\"; }

    std::size_t Slot = 0;
    std::size_t Member = 0;
    bool In_Archive_Phase = false;
    std::string Directory;
    std::string Pattern;
    std::unordered_set<std::string> Returned_Names;
    std::unique_ptr<PlatformSearchClass> Loose_Search;
};

#endif
