#include "launcher/SystemCheckClass.h"

#include "launcher/ProfileTable.h"

namespace {

using Platform = LauncherPlatformClass;

// Two integrated chips without hardware transform and lighting still run the game.
constexpr std::uint32_t VENDOR_INTEL = 0x8086;
constexpr std::uint32_t ACCEPTED_INTEL_DEVICES[] = {0x2572, 0x2582};

bool Is_Accepted_Integrated_Chip(const Platform::GraphicsAdapter& adapter)
{
    if (adapter.vendor_id != VENDOR_INTEL) return false;
    for (std::uint32_t device : ACCEPTED_INTEL_DEVICES) {
        if (adapter.device_id == device) return true;
    }
    return false;
}

}  // namespace

SystemCheckClass::SystemCheckClass(LauncherPlatformClass& platform, const ProfileTable& profile)
    : platform_(platform), profile_(profile)
{
}

bool SystemCheckClass::Is_Adapter_Sufficient(const Platform::GraphicsAdapter& adapter)
{
    if (!adapter.capabilities_read) return false;
    if ((adapter.device_capabilities & Platform::CAPS_HARDWARE_RASTERIZATION) == 0) return false;
    return Is_Accepted_Integrated_Chip(adapter) ||
           (adapter.device_capabilities & Platform::CAPS_HARDWARE_TRANSFORM_AND_LIGHT) != 0;
}

int SystemCheckClass::Count_Sufficient_Adapters(const std::vector<Platform::GraphicsAdapter>& adapters)
{
    // Every adapter is visited; one that counts is enough.
    int sufficient = 0;
    for (const Platform::GraphicsAdapter& adapter : adapters) {
        if (Is_Adapter_Sufficient(adapter)) ++sufficient;
    }
    return sufficient;
}

LauncherStatus SystemCheckClass::CheckGraphics()
{
    // 1.-2. A missing or outdated runtime cannot be overridden.
    Platform::GraphicsProbe probe = platform_.Probe_Graphics();
    if (probe.runtime == Platform::GraphicsRuntime::Missing) {
        Show_Notice("AskDirectXMissing");
        return E_FAIL_STATUS;
    }
    if (probe.runtime == Platform::GraphicsRuntime::TooOld) {
        Show_Notice("AskDirectXOld");
        return E_FAIL_STATUS;
    }
    // 3.-6. At least one adapter that can draw the game passes silently.
    if (probe.device_created && Count_Sufficient_Adapters(probe.adapters) > 0) return S_OK_STATUS;
    // 7. Weak hardware: the player decides.
    return Ask("AskDirectXInsufficient") ? S_OK_STATUS : E_FAIL_STATUS;
}

LauncherStatus SystemCheckClass::CheckSoundDevice()
{
    if (platform_.Probe_Sound_Device()) return S_OK_STATUS;
    return Ask("AskDirectXSound") ? S_OK_STATUS : E_FAIL_STATUS;
}

void SystemCheckClass::Show_Notice(const char* key)
{
    platform_.Message_Box(profile_.TextAnsi("ProductNameDisplay"), profile_.TextAnsi(key), Platform::MessageButtons::Ok);
}

bool SystemCheckClass::Ask(const char* key)
{
    return platform_.Message_Box(profile_.TextAnsi("ProductNameDisplay"), profile_.TextAnsi(key),
                                 Platform::MessageButtons::YesNo) == Platform::MessageAnswer::Yes;
}
