#ifndef COGNEXA_PLATFORM_POSIX_PATH_RESOLUTION_H
#define COGNEXA_PLATFORM_POSIX_PATH_RESOLUTION_H

#include <string>

namespace Platform {

// The name with "/" separators. When it does not exist as written, each component that is
// missing is replaced by the first directory entry (in byte order) equal to it ignoring ASCII
// case; the components from the first one without such an entry on are kept as written.
std::string Resolve_Path(const char* name);

// Equal ignoring ASCII case (a to z only, whatever the locale).
bool Equal_Ignoring_Ascii_Case(const std::string& left, const std::string& right);

}  // namespace Platform

#endif
