#ifndef VESTIBAR_GTK_LAUNCHER_PLATFORM_CLASS_H
#define VESTIBAR_GTK_LAUNCHER_PLATFORM_CLASS_H

#include "launcher/LauncherPlatformClass.h"
#include "platform/launcher/CanberraSoundBackendClass.h"
#include "platform/launcher/PageResourcesClass.h"
#include "platform/launcher/RegistryDirectoryClass.h"
#include "platform/launcher/SoundChannelClass.h"

typedef struct _GtkWindow GtkWindow;

// The launcher's platform on Linux: GTK for the window and message boxes, POSIX for the rest,
// the registry kept in .reg files.
class GtkLauncherPlatformClass : public LauncherPlatformClass {
public:
    GtkLauncherPlatformClass();

    // The window that Close, Minimize, titles and message boxes act on.
    void Attach_Window(GtkWindow* window) { window_ = window; }
    const PageResourcesClass& Resources() const { return resources_; }

    bool Find_Resource(const std::string& name, std::string& bytes) const override;
    std::uint16_t User_Language_Id() const override;
    ScreenMetrics Screen() const override;
    std::string Program_Path() const override;
    InstanceLock Acquire_Single_Instance(const std::string& name) override;
    std::string Current_Directory() const override;
    bool Set_Current_Directory(const std::string& path) override;
    std::string Windows_Folder() const override;
    bool Registry_Key_Exists(RegistryHive hive, const std::string& key) const override;
    bool Registry_Read(RegistryHive hive, const std::string& key, const std::string& name,
                       RegistryValue& value) const override;
    bool Registry_Write(RegistryHive hive, const std::string& key, const std::string& name, const RegistryValue& value,
                        bool create_key) override;
    int Shell_Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                      const std::string& directory) override;
    void Play_Sound(const std::string& path, bool wait, bool interrupt) override;
    MessageAnswer Message_Box(const std::string& caption, const std::string& text, MessageButtons buttons) override;
    GraphicsProbe Probe_Graphics() override;
    bool Probe_Sound_Device() override;
    void Close_Window() override;
    void Minimize_Window() override;
    void Set_Window_Title(const std::string& title) override;

private:
    PageResourcesClass resources_;
    RegistryDirectoryClass registry_;
    // The root of the "current drive": the mount point holding the directory the launcher
    // started in (for a launcher on removable media, the media's root).
    std::string drive_root_;
    CanberraSoundBackendClass sound_backend_;
    SoundChannelClass sound_channel_;
    GtkWindow* window_ = nullptr;
};

#endif
