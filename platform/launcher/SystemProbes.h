#ifndef VESTIBAR_SYSTEM_PROBES_H
#define VESTIBAR_SYSTEM_PROBES_H

#include "launcher/LauncherPlatformClass.h"

#include <cstdint>

// The machine's graphics and sound, asked through libraries loaded at run time, so that the
// launcher starts (and says what is missing) on machines without them.
namespace SystemProbes {

enum class DeviceKind { Other, IntegratedGpu, DiscreteGpu, VirtualGpu, Cpu };

// The Vulkan loader stands for the graphics runtime: missing, older than 1.1, or present with
// one adapter per physical device.
LauncherPlatformClass::GraphicsProbe Probe_Graphics();
// A device that is not a CPU rasterizes in hardware; a GPU also transforms and lights.
LauncherPlatformClass::GraphicsAdapter Adapter_Of(std::uint32_t vendor_id, std::uint32_t device_id, DeviceKind kind);
// ALSA's default playback device opens (non-blocking, closed again at once).
bool Probe_Sound_Device();

}  // namespace SystemProbes

#endif
