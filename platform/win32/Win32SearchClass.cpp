#include "platform/win32/Win32SearchClass.h"

#include "platform/DirectoryEntryWildcard.h"

#include <algorithm>
#include <cstring>

Win32SearchClass::Win32SearchClass(std::vector<WIN32_FIND_DATAA> matches) : Matches(std::move(matches)) {}

std::unique_ptr<PlatformSearchClass> Win32SearchClass::Start(const char* path, WIN32_FIND_DATAA* data)
{
    if (path == nullptr || data == nullptr) return nullptr;
    const std::string written = path;
    const std::string pattern = written.substr(written.find_last_of("\\/:") + 1);

    std::vector<WIN32_FIND_DATAA> matches;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(path, &entry);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    do {
        if (DirectoryEntryWildcard::Matches(pattern, entry.cFileName)) matches.push_back(entry);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    if (matches.empty()) return nullptr;

    std::sort(matches.begin(), matches.end(), [](const WIN32_FIND_DATAA& left, const WIN32_FIND_DATAA& right) {
        return std::strcmp(left.cFileName, right.cFileName) < 0;
    });
    std::unique_ptr<Win32SearchClass> started(new Win32SearchClass(std::move(matches)));
    started->Next(data);
    return started;
}

bool Win32SearchClass::Next(WIN32_FIND_DATAA* data)
{
    if (data == nullptr || Next_Match >= Matches.size()) return false;
    *data = Matches[Next_Match++];
    return true;
}
