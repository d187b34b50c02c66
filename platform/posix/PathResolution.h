#ifndef COGNEXA_PLATFORM_POSIX_PATH_RESOLUTION_H
#define COGNEXA_PLATFORM_POSIX_PATH_RESOLUTION_H

#include <string>

namespace PosixPath {

// The name with "/" separators. When it does not exist as written, each component that is
// missing is replaced by the first directory entry (in byte order) equal to it ignoring ASCII
// case; the components from the first one without such an entry on are kept as written.
std::string Resolve_Path(const char* name);

}  // namespace PosixPath

#endif
