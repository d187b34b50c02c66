#ifndef VESTIBAR_POSIX_SHELL_H
#define VESTIBAR_POSIX_SHELL_H

#include <string>

// What stands in for the Windows shell: programs started with an argument vector (never
// through /bin/sh), documents and web pages handed to xdg-open.
namespace PosixShell {

// Shell results: above 32 the program started.
constexpr int STARTED = 42;
constexpr int FILE_NOT_FOUND = 2;
constexpr int ACCESS_DENIED = 5;
constexpr int OTHER_FAILURE = 31;

// A path written for Windows, as this system's path: "\" separates, a drive letter is the
// current drive, and a path that starts with "\" starts at drive_root.
std::string Native_Path(const std::string& path, const std::string& drive_root);
// The mount point of the file system that holds directory ("/" when nothing better is known).
std::string Mount_Point(const std::string& directory);
// True for "scheme:..." addresses such as web pages; a drive letter is not a scheme.
bool Is_Address(const std::string& text);

// verb empty: an executable file is started with the parameters split as a Windows command line,
// anything else is opened. verb "open": opened with xdg-open. directory empty: the launcher's own.
int Execute(const std::string& verb, const std::string& file, const std::string& parameters,
            const std::string& directory, const std::string& drive_root);

}  // namespace PosixShell

#endif
