#ifndef VESTIBAR_LAUNCHER_STATUS_H
#define VESTIBAR_LAUNCHER_STATUS_H

#include <cstdint>

// COM-style status codes: 0 is success, failures are negative as signed values.
typedef std::int32_t LauncherStatus;

constexpr LauncherStatus S_OK_STATUS = 0;
constexpr LauncherStatus E_FAIL_STATUS = static_cast<LauncherStatus>(0x80004005u);
constexpr LauncherStatus E_INVALIDARG_STATUS = static_cast<LauncherStatus>(0x80070057u);
constexpr LauncherStatus E_OUTOFMEMORY_STATUS = static_cast<LauncherStatus>(0x8007000Eu);
constexpr LauncherStatus DISP_E_UNKNOWNNAME_STATUS = static_cast<LauncherStatus>(0x80020006u);

#endif
