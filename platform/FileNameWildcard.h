#ifndef COGNEXA_PLATFORM_FILE_NAME_WILDCARD_H
#define COGNEXA_PLATFORM_FILE_NAME_WILDCARD_H

#include <string>

namespace FileNameWildcard {

// "*" any run of bytes, "?" any one byte, others equal ignoring ASCII case; "*.*" matches
// every name, as it does on Windows.
bool Matches(const std::string& pattern, const std::string& name);

}  // namespace FileNameWildcard

#endif
