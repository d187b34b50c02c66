#ifndef COGNEXA_WIN32_LIBRARY_PLATFORM_CLASS_H
#define COGNEXA_WIN32_LIBRARY_PLATFORM_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <windows.h>

// The library's OS layer on Windows. The OS itself ignores case in names, takes "\" and "/",
// and knows drive letters, so names go to it as given.
class Win32LibraryPlatformClass : public LibraryPlatformClass {
public:
    typedef int(WINAPI* MessageBoxFunctionType)(HWND, LPCSTR, LPCSTR, UINT);

    // The notice is shown with message_box, MessageBoxA when null; tests hand in one that records
    // instead of opening a window. Constant-initialised, so the native platform is in place
    // before any static constructor runs (the address of MessageBoxA is known only at run time).
    constexpr explicit Win32LibraryPlatformClass(MessageBoxFunctionType message_box = nullptr)
        : Message_Box(message_box)
    {
    }

    std::unique_ptr<PlatformFileClass> Open_File_For_Reading(const char* name) override;
    std::unique_ptr<PlatformFileClass> Create_File_For_Writing(const char* name) override;
    std::unique_ptr<PlatformSearchClass> Find_First_File(const char* path, WIN32_FIND_DATAA* data) override;
    std::unique_ptr<PlatformLockClass> Create_Lock() override;
    // A modal box without owner window: error icon, one OK button.
    void Show_Notice(const char* caption, const char* text) override;

    // The function that shows the notice.
    MessageBoxFunctionType Notice_Box() const { return Message_Box != nullptr ? Message_Box : &MessageBoxA; }

private:
    MessageBoxFunctionType Message_Box;
};

#endif
