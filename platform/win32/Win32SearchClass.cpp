#include "platform/win32/Win32SearchClass.h"

#include <algorithm>
#include <cstring>

Win32SearchClass::Win32SearchClass(std::vector<WIN32_FIND_DATAA> matches) : Matches(std::move(matches)) {}

std::unique_ptr<PlatformSearchClass> Win32SearchClass::Start(const char* path, WIN32_FIND_DATAA* data)
{
    if (path == nullptr || data == nullptr) return nullptr;
    std::vector<WIN32_FIND_DATAA> matches(1);
    HANDLE search = FindFirstFileA(path, &matches.back());
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    do {
        matches.emplace_back();
    } while (FindNextFileA(search, &matches.back()));
    matches.pop_back();
    FindClose(search);

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
