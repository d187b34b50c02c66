#ifndef VESTIBAR_LAUNCHER_PLATFORM_CLASS_H
#define VESTIBAR_LAUNCHER_PLATFORM_CLASS_H

#include "launcher/RegistryValue.h"

#include <cstdint>
#include <string>
#include <vector>

// Everything the launcher needs from the operating system and its window. The launcher's core
// knows only this interface; each OS has one implementation, and tests use fakes. Paths and
// texts are 8-bit (UTF-8 here); registry key paths use "\" and compare without regard to case.
class LauncherPlatformClass {
public:
    enum class InstanceLock { Acquired, AlreadyRunning, Failed };
    enum class MessageButtons { Ok, YesNo };
    enum class MessageAnswer { Ok, Yes, No };
    enum class GraphicsRuntime { Missing, TooOld, Present };

    struct ScreenMetrics {
        int width;
        int height;
        int border_width;
        int border_height;
        int caption_height;
    };

    // Device capability bits of a graphics adapter.
    static constexpr std::uint32_t CAPS_HARDWARE_RASTERIZATION = 0x80000;
    static constexpr std::uint32_t CAPS_HARDWARE_TRANSFORM_AND_LIGHT = 0x10000;

    struct GraphicsAdapter {
        std::uint32_t vendor_id;
        std::uint32_t device_id;
        bool capabilities_read;  // false when the device could not be queried
        std::uint32_t device_capabilities;
    };

    struct GraphicsProbe {
        GraphicsRuntime runtime = GraphicsRuntime::Missing;
        bool device_created = false;  // false: the runtime gave no object to ask for adapters
        std::vector<GraphicsAdapter> adapters;
    };

    virtual ~LauncherPlatformClass() = default;

    // Resources compiled into the program, found by name regardless of case.
    virtual bool Find_Resource(const std::string& name, std::string& bytes) const = 0;
    // The user's UI language as a Windows language id (sub-language << 10 | primary).
    virtual std::uint16_t User_Language_Id() const = 0;
    virtual ScreenMetrics Screen() const = 0;
    virtual std::string Program_Path() const = 0;

    // Held until the process ends.
    virtual InstanceLock Acquire_Single_Instance(const std::string& name) = 0;

    virtual std::string Current_Directory() const = 0;
    virtual bool Set_Current_Directory(const std::string& path) = 0;
    // Where the uninstaller runs, standing in for the Windows folder.
    virtual std::string Windows_Folder() const = 0;

    virtual bool Registry_Key_Exists(RegistryHive hive, const std::string& key) const = 0;
    // False when the key or the value is missing. An empty name is the key's default value.
    virtual bool Registry_Read(RegistryHive hive, const std::string& key, const std::string& name,
                               RegistryValue& value) const = 0;
    // create_key false: fails when the key does not exist.
    virtual bool Registry_Write(RegistryHive hive, const std::string& key, const std::string& name,
                                const RegistryValue& value, bool create_key) = 0;

    // Starts a program or opens a document. verb empty: the default verb. parameters are one
    // command line. Returns the shell's convention: > 32 success, 5 access denied, 2 file
    // missing, other values up to 32 failure.
    virtual int Shell_Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                              const std::string& directory) = 0;
    // A wave file by name; never fails as far as the caller sees. wait: returns when the sound
    // has ended. interrupt: replaces a sound that is playing; without it nothing plays then.
    virtual void Play_Sound(const std::string& path, bool wait, bool interrupt) = 0;
    virtual MessageAnswer Message_Box(const std::string& caption, const std::string& text,
                                      MessageButtons buttons) = 0;
    virtual GraphicsProbe Probe_Graphics() = 0;
    // True when the default sound device can be opened for playback.
    virtual bool Probe_Sound_Device() = 0;

    virtual void Close_Window() = 0;
    virtual void Minimize_Window() = 0;
    virtual void Set_Window_Title(const std::string& title) = 0;
};

#endif
