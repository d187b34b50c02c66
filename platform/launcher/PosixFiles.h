#ifndef VESTIBAR_POSIX_FILES_H
#define VESTIBAR_POSIX_FILES_H

#include <string>

namespace PosixFiles {

// False when the file cannot be read; a missing file is not an error for callers that treat
// it as empty, so they check existence themselves.
bool Read_Whole_File(const std::string& path, std::string& contents);
// Writes a temporary file beside the target and renames it over the target, so readers see
// either the old or the new file, never a partial one.
bool Replace_File_Atomically(const std::string& path, const std::string& contents);
bool File_Exists(const std::string& path);
bool Make_Directories(const std::string& path);
std::string Environment(const char* name);  // empty when unset

}  // namespace PosixFiles

#endif
