#ifndef VESTIBAR_POSIX_LAUNCHER_SERVICES_H
#define VESTIBAR_POSIX_LAUNCHER_SERVICES_H

#include "launcher/LauncherPlatformClass.h"

#include <cstdint>
#include <string>

// The launcher's POSIX calls that need no toolkit.
namespace PosixLauncherServices {

// An exclusive flock on $XDG_RUNTIME_DIR/<name>.lock (else /tmp), kept until the process ends;
// the kernel releases it if the launcher dies.
LauncherPlatformClass::InstanceLock Acquire_Instance_Lock(const std::string& name);
// VESTIBAR_LANGID, else the first set of LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
std::uint16_t Language_Id_From_Environment();
std::string Program_Path();
std::string Current_Directory();
// Accepts "\" as a separator, as the launcher's paths are written for Windows.
bool Set_Current_Directory(const std::string& path);
std::string Home_Directory();

}  // namespace PosixLauncherServices

#endif
