#include "platform/win32/Win32LockClass.h"

Win32LockClass::Win32LockClass() : Mutex(CreateMutexA(nullptr, FALSE, nullptr)) {}

Win32LockClass::~Win32LockClass()
{
    if (Mutex != nullptr) CloseHandle(Mutex);
}

bool Win32LockClass::Acquire(unsigned milliseconds)
{
    if (Mutex == nullptr) return false;
    const DWORD outcome = WaitForSingleObject(Mutex, milliseconds);
    return outcome == WAIT_OBJECT_0 || outcome == WAIT_ABANDONED;
}

void Win32LockClass::Release()
{
    if (Mutex != nullptr) ReleaseMutex(Mutex);
}
