#ifndef COGNEXA_WIN32_SEARCH_CLASS_H
#define COGNEXA_WIN32_SEARCH_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <windows.h>

#include <vector>

// A directory search through FindFirstFileA and FindNextFileA. The matches are taken whole when
// the search starts and handed out sorted by name (bytewise), so an enumeration comes in the
// same order on every run and on every platform: Windows gives NTFS entries in its own
// collation, FAT entries in creation order and Wine whatever the host's readdir gives. Windows
// also matches a pattern against a file's short 8.3 alias ("*.XML" finds "a.xmlx" through
// "A~1.XML"), so each match is checked again against its long name with the library's wildcard.
class Win32SearchClass : public PlatformSearchClass {
public:
    // The first match written to data; null when nothing matches.
    static std::unique_ptr<PlatformSearchClass> Start(const char* path, WIN32_FIND_DATAA* data);

    bool Next(WIN32_FIND_DATAA* data) override;

private:
    explicit Win32SearchClass(std::vector<WIN32_FIND_DATAA> matches);

    std::vector<WIN32_FIND_DATAA> Matches;
    std::size_t Next_Match = 0;
};

#endif
