#ifndef VESTIBAR_SYSTEM_CHECK_CLASS_H
#define VESTIBAR_SYSTEM_CHECK_CLASS_H

#include "launcher/LauncherPlatformClass.h"
#include "launcher/LauncherStatus.h"

#include <vector>

class ProfileTable;

// The checks run before the game starts: can this machine draw the game, and can it play its
// sound. Each passes silently, or shows its message from the profile; where the message is a
// question, Yes lets the player go on anyway.
class SystemCheckClass {
public:
    SystemCheckClass(LauncherPlatformClass& platform, const ProfileTable& profile);

    // S_OK: pass. E_FAIL: refused (runtime missing or too old, or No to the hardware question).
    LauncherStatus CheckGraphics();
    // S_OK: pass. E_FAIL: no usable sound device and No to the question.
    LauncherStatus CheckSoundDevice();

    static bool Is_Adapter_Sufficient(const LauncherPlatformClass::GraphicsAdapter& adapter);
    static int Count_Sufficient_Adapters(const std::vector<LauncherPlatformClass::GraphicsAdapter>& adapters);

private:
    void Show_Notice(const char* key);
    bool Ask(const char* key);

    LauncherPlatformClass& platform_;
    const ProfileTable& profile_;
};

#endif
