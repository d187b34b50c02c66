#ifndef COGNEXA_PLATFORM_DIRECTORY_ENTRY_WILDCARD_H
#define COGNEXA_PLATFORM_DIRECTORY_ENTRY_WILDCARD_H

#include <string>

namespace DirectoryEntryWildcard {

// The loose-file search's match of a directory entry's name, as the OS's own search matches on
// Windows: "*" any run of bytes, "?" any one byte, others equal ignoring ASCII case; "*.*"
// matches every name. It backtracks, where the archive members' match does not
// (data/MemberNameWildcard.h): each half of the merged enumeration matches as its source does.
bool Matches(const std::string& pattern, const std::string& name);

}  // namespace DirectoryEntryWildcard

#endif
