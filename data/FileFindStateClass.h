#ifndef COGNEXA_DATA_FILE_FIND_STATE_CLASS_H
#define COGNEXA_DATA_FILE_FIND_STATE_CLASS_H

#include "platform/Platform.h"

#include <cstddef>
#include <string>
#include <unordered_set>

// One enumeration of the file manager, between Find_First and Find_Close.
class FileFindStateClass {
public:
    FileFindStateClass() = default;
    ~FileFindStateClass() { Close_Loose_Search(); }
    FileFindStateClass(const FileFindStateClass&) = delete;
    FileFindStateClass& operator=(const FileFindStateClass&) = delete;

    void Close_Loose_Search()
    {
        if (Loose_Search != nullptr) Platform::Find_Close(Loose_Search);
        Loose_Search = nullptr;
    }

    // The search directory with its trailing backslash; empty for the top level.
    std::string Directory_Prefix() const { return Directory.empty() ? std::string() : Directory + "\\"; }

    std::size_t Slot = 0;
    std::size_t Member = 0;
    bool In_Archive_Phase = false;
    std::string Directory;
    std::string Pattern;
    std::unordered_set<std::string> Returned_Names;
    Platform::FindHandle Loose_Search = nullptr;
};

#endif
