#ifndef COGNEXA_DATA_WILDCARD_PATTERN_H
#define COGNEXA_DATA_WILDCARD_PATTERN_H

#include <string>

// The archive enumeration's match of an upper-case pattern against the part of an upper-case
// member name after its last backslash: "?" takes one byte, a literal run after "*" takes its
// first occurrence (no backtracking), and the name must be used up unless a star is pending.
// So "*.XML" misses a member "A.XML.XML" that the loose files' match, which backtracks
// (platform/DirectoryEntryWildcard.h), finds on disk: each source keeps its own rule.
bool Member_Name_Matches(const std::string& pattern, const std::string& name);

#endif
