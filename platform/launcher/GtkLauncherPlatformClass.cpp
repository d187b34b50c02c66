#include "platform/launcher/GtkLauncherPlatformClass.h"

#include "platform/launcher/PosixLauncherServices.h"
#include "platform/launcher/PosixShell.h"
#include "platform/launcher/SystemProbes.h"
#include "platform/launcher/TestTrace.h"

#include <gtk/gtk.h>

namespace {

// The launcher's sounds are short; a sound service that never reports an end must not hold the
// window longer than this.
constexpr std::chrono::milliseconds LONGEST_SOUND_WAIT{10000};

const char* Name_Of(LauncherPlatformClass::GraphicsRuntime runtime)
{
    switch (runtime) {
    case LauncherPlatformClass::GraphicsRuntime::Missing: return "missing";
    case LauncherPlatformClass::GraphicsRuntime::TooOld: return "too-old";
    default: return "present";
    }
}

}  // namespace

GtkLauncherPlatformClass::GtkLauncherPlatformClass()
    : drive_root_(PosixShell::Mount_Point(PosixLauncherServices::Current_Directory())),
      sound_channel_(sound_backend_, LONGEST_SOUND_WAIT)
{
}

bool GtkLauncherPlatformClass::Find_Resource(const std::string& name, std::string& bytes) const
{
    GBytes* data = resources_.Find(name);
    if (data == nullptr) return false;
    gsize size = 0;
    const char* contents = static_cast<const char*>(g_bytes_get_data(data, &size));
    bytes.assign(contents != nullptr ? contents : "", size);
    g_bytes_unref(data);
    return true;
}

std::uint16_t GtkLauncherPlatformClass::User_Language_Id() const
{
    return PosixLauncherServices::Language_Id_From_Environment();
}

LauncherPlatformClass::ScreenMetrics GtkLauncherPlatformClass::Screen() const
{
    // The window is undecorated: no border and no caption surround the page.
    ScreenMetrics metrics{0, 0, 0, 0, 0};
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
    if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) {
        GdkRectangle area;
        gdk_monitor_get_geometry(monitor, &area);
        // A screen of x + width + x centres the page on this monitor even when it does not
        // start at the origin.
        metrics.width = area.x * 2 + area.width;
        metrics.height = area.y * 2 + area.height;
    }
    return metrics;
}

std::string GtkLauncherPlatformClass::Program_Path() const
{
    return PosixLauncherServices::Program_Path();
}

LauncherPlatformClass::InstanceLock GtkLauncherPlatformClass::Acquire_Single_Instance(const std::string& name)
{
    return PosixLauncherServices::Acquire_Instance_Lock(name);
}

std::string GtkLauncherPlatformClass::Current_Directory() const
{
    return PosixLauncherServices::Current_Directory();
}

bool GtkLauncherPlatformClass::Set_Current_Directory(const std::string& path)
{
    return PosixLauncherServices::Set_Current_Directory(path);
}

std::string GtkLauncherPlatformClass::Windows_Folder() const
{
    return PosixLauncherServices::Home_Directory();
}

bool GtkLauncherPlatformClass::Registry_Key_Exists(RegistryHive hive, const std::string& key) const
{
    return registry_.Key_Exists(hive, key);
}

bool GtkLauncherPlatformClass::Registry_Read(RegistryHive hive, const std::string& key, const std::string& name,
                                             RegistryValue& value) const
{
    return registry_.Read(hive, key, name, value);
}

bool GtkLauncherPlatformClass::Registry_Write(RegistryHive hive, const std::string& key, const std::string& name,
                                              const RegistryValue& value, bool create_key)
{
    return registry_.Write(hive, key, name, value, create_key);
}

int GtkLauncherPlatformClass::Shell_Execute(const std::string& verb, const std::string& file,
                                            const std::string& parameters, const std::string& directory)
{
    int result = PosixShell::Execute(verb, file, parameters, directory, drive_root_);
    TestTrace::Write("shell", verb + "|" + file + "|" + parameters + "|" + directory + " -> " + std::to_string(result));
    return result;
}

void GtkLauncherPlatformClass::Play_Sound(const std::string& path, bool wait, bool interrupt)
{
    std::string native_path = PosixShell::Native_Path(path, drive_root_);
    bool played = sound_channel_.Play(native_path, wait, interrupt);
    TestTrace::Write("sound", native_path + (wait ? " wait" : "") + (interrupt ? " interrupt" : "") +
                                  (played ? " played" : " silent"));
}

LauncherPlatformClass::MessageAnswer GtkLauncherPlatformClass::Message_Box(const std::string& caption,
                                                                           const std::string& text,
                                                                           MessageButtons buttons)
{
    GtkWidget* dialog = gtk_message_dialog_new(window_, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                               buttons == MessageButtons::YesNo ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO,
                                               buttons == MessageButtons::YesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK,
                                               "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    // As on Windows, the first button (Yes) is the default.
    if (buttons == MessageButtons::YesNo) gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
    TestTrace::Write("message", caption + "|" + text);
    gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return response == GTK_RESPONSE_YES ? MessageAnswer::Yes : MessageAnswer::No;
}

LauncherPlatformClass::GraphicsProbe GtkLauncherPlatformClass::Probe_Graphics()
{
    GraphicsProbe probe = SystemProbes::Probe_Graphics();
    TestTrace::Write("probe", std::string("graphics ") + Name_Of(probe.runtime) + " adapters " +
                                  std::to_string(probe.adapters.size()));
    return probe;
}

bool GtkLauncherPlatformClass::Probe_Sound_Device()
{
    bool usable = SystemProbes::Probe_Sound_Device();
    TestTrace::Write("probe", std::string("sound ") + (usable ? "usable" : "unusable"));
    return usable;
}

void GtkLauncherPlatformClass::Close_Window()
{
    if (window_ != nullptr) gtk_window_close(window_);
}

void GtkLauncherPlatformClass::Minimize_Window()
{
    if (window_ != nullptr) gtk_window_iconify(window_);
}

void GtkLauncherPlatformClass::Set_Window_Title(const std::string& title)
{
    if (window_ != nullptr) gtk_window_set_title(window_, title.c_str());
}
