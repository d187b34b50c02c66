#include "platform/DirectoryEntryWildcard.h"

#include "foundation/AsciiCharacterTable.h"

namespace DirectoryEntryWildcard {

// Backtracks to the last star, so every name the wildcard describes matches.
bool Matches(const std::string& pattern, const std::string& name)
{
    using AsciiCharacterTable::Ascii_Equal_Ignoring_Case;
    if (pattern == "*.*") return true;
    std::size_t p = 0, n = 0;
    std::size_t star = std::string::npos, star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Ascii_Equal_Ignoring_Case(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            star_name = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace DirectoryEntryWildcard
