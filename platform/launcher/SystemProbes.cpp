#include "platform/launcher/SystemProbes.h"

#define VK_NO_PROTOTYPES
#include <vulkan/vulkan.h>

#include <dlfcn.h>
#include <vector>

namespace SystemProbes {

namespace {

using Platform = LauncherPlatformClass;

const char* const VULKAN_LIBRARY = "libvulkan.so.1";
const char* const ALSA_LIBRARY = "libasound.so.2";
const char* const ALSA_DEFAULT_DEVICE = "default";
constexpr int ALSA_STREAM_PLAYBACK = 0;  // SND_PCM_STREAM_PLAYBACK
constexpr int ALSA_NONBLOCK = 1;         // SND_PCM_NONBLOCK

typedef int (*AlsaOpenFunction)(void** pcm, const char* name, int stream, int mode);
typedef int (*AlsaCloseFunction)(void* pcm);
typedef void (*AlsaErrorHandler)(const char* file, int line, const char* function, int error, const char* format, ...);
typedef int (*AlsaSetErrorHandlerFunction)(AlsaErrorHandler handler);

void Ignore_Alsa_Error(const char*, int, const char*, int, const char*, ...) {}

class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* name) : handle_(::dlopen(name, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary()
    {
        if (handle_ != nullptr) ::dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    template <typename Function>
    Function Find(const char* symbol) const
    {
        return handle_ != nullptr ? reinterpret_cast<Function>(::dlsym(handle_, symbol)) : nullptr;
    }

private:
    void* handle_;
};

DeviceKind Kind_Of(VkPhysicalDeviceType type)
{
    switch (type) {
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU: return DeviceKind::IntegratedGpu;
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU: return DeviceKind::DiscreteGpu;
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU: return DeviceKind::VirtualGpu;
    case VK_PHYSICAL_DEVICE_TYPE_CPU: return DeviceKind::Cpu;
    default: return DeviceKind::Other;
    }
}

void Read_Adapters(PFN_vkGetInstanceProcAddr get_address, VkInstance instance, Platform::GraphicsProbe& probe)
{
    auto enumerate = reinterpret_cast<PFN_vkEnumeratePhysicalDevices>(get_address(instance, "vkEnumeratePhysicalDevices"));
    auto properties_of =
        reinterpret_cast<PFN_vkGetPhysicalDeviceProperties>(get_address(instance, "vkGetPhysicalDeviceProperties"));
    if (enumerate == nullptr || properties_of == nullptr) return;
    std::uint32_t count = 0;
    if (enumerate(instance, &count, nullptr) != VK_SUCCESS) return;
    std::vector<VkPhysicalDevice> devices(count);
    if (enumerate(instance, &count, devices.data()) < 0) return;
    devices.resize(count);
    for (VkPhysicalDevice device : devices) {
        VkPhysicalDeviceProperties properties{};
        properties_of(device, &properties);
        probe.adapters.push_back(Adapter_Of(properties.vendorID, properties.deviceID, Kind_Of(properties.deviceType)));
    }
}

}  // namespace

Platform::GraphicsAdapter Adapter_Of(std::uint32_t vendor_id, std::uint32_t device_id, DeviceKind kind)
{
    std::uint32_t capabilities = 0;
    if (kind != DeviceKind::Cpu) capabilities |= Platform::CAPS_HARDWARE_RASTERIZATION;
    if (kind == DeviceKind::IntegratedGpu || kind == DeviceKind::DiscreteGpu || kind == DeviceKind::VirtualGpu)
        capabilities |= Platform::CAPS_HARDWARE_TRANSFORM_AND_LIGHT;
    return {vendor_id, device_id, true, capabilities};
}

Platform::GraphicsProbe Probe_Graphics()
{
    Platform::GraphicsProbe probe;
    LoadedLibrary loader(VULKAN_LIBRARY);
    auto get_address = loader.Find<PFN_vkGetInstanceProcAddr>("vkGetInstanceProcAddr");
    if (get_address == nullptr) return probe;  // runtime missing

    // A 1.0 loader has no version query at all.
    auto instance_version =
        reinterpret_cast<PFN_vkEnumerateInstanceVersion>(get_address(nullptr, "vkEnumerateInstanceVersion"));
    std::uint32_t version = VK_API_VERSION_1_0;
    if (instance_version != nullptr && instance_version(&version) != VK_SUCCESS) version = VK_API_VERSION_1_0;
    if (version < VK_API_VERSION_1_1) {
        probe.runtime = Platform::GraphicsRuntime::TooOld;
        return probe;
    }
    probe.runtime = Platform::GraphicsRuntime::Present;

    auto create = reinterpret_cast<PFN_vkCreateInstance>(get_address(nullptr, "vkCreateInstance"));
    if (create == nullptr) return probe;
    VkApplicationInfo application{};
    application.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
    application.pApplicationName = "Vestibar system check";
    application.apiVersion = VK_API_VERSION_1_1;
    VkInstanceCreateInfo request{};
    request.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
    request.pApplicationInfo = &application;
    VkInstance instance = VK_NULL_HANDLE;
    if (create(&request, nullptr, &instance) != VK_SUCCESS) return probe;
    probe.device_created = true;

    Read_Adapters(get_address, instance, probe);
    auto destroy = reinterpret_cast<PFN_vkDestroyInstance>(get_address(instance, "vkDestroyInstance"));
    if (destroy != nullptr) destroy(instance, nullptr);
    return probe;
}

bool Probe_Sound_Device()
{
    LoadedLibrary alsa(ALSA_LIBRARY);
    auto open = alsa.Find<AlsaOpenFunction>("snd_pcm_open");
    auto close = alsa.Find<AlsaCloseFunction>("snd_pcm_close");
    auto set_error_handler = alsa.Find<AlsaSetErrorHandlerFunction>("snd_lib_error_set_handler");
    if (open == nullptr || close == nullptr) return false;
    // A machine without a sound card is an answer here, not an error for the terminal.
    if (set_error_handler != nullptr) set_error_handler(Ignore_Alsa_Error);
    void* device = nullptr;
    bool opened = open(&device, ALSA_DEFAULT_DEVICE, ALSA_STREAM_PLAYBACK, ALSA_NONBLOCK) == 0;
    if (opened) close(device);
    if (set_error_handler != nullptr) set_error_handler(nullptr);
    return opened;
}

}  // namespace SystemProbes
