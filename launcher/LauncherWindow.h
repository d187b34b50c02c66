#ifndef VESTIBAR_LAUNCHER_WINDOW_H
#define VESTIBAR_LAUNCHER_WINDOW_H

#include "launcher/LauncherCommandsClass.h"
#include "launcher/LauncherPlatformClass.h"
#include "launcher/LauncherStatus.h"
#include "launcher/ProfileTable.h"
#include "launcher/WindowGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

// An argument of a call from a page script.
struct DispatchArgument {
    enum class Type { String, Number, Other };
    Type type = Type::Other;
    std::u16string text;

    static DispatchArgument String(const std::u16string& text) { return {Type::String, text}; }
};

struct DispatchResult {
    bool present = false;
    std::u16string text;
};

// The launcher's main window object without its toolkit: start-up decisions, the object the
// pages see as window.external, and the navigation-sound keys. The front (one per OS) creates
// the real window from what this object decides and forwards page calls and window events.
class LauncherWindow {
public:
    static constexpr std::int32_t DISPID_QUIT = 1000;
    static constexpr std::int32_t DISPID_MINIMIZE = 1001;
    static constexpr std::int32_t DISPID_GET_PARAMETER = 1002;
    static constexpr std::int32_t DISPID_SET_PARAMETER = 1003;
    static constexpr std::int32_t DISPID_DO_FUNCTION = 1004;
    static constexpr std::int32_t DISPID_ON_QUIT = 253;  // the HTML view quit
    static constexpr std::int32_t DISPID_UNKNOWN = -1;
    static constexpr std::uint16_t DISPATCH_METHOD = 0x1;
    static constexpr std::uint16_t DISPATCH_PROPERTYGET = 0x2;

    enum class LauncherSound { Start, Hover, Click, Open };

    explicit LauncherWindow(LauncherPlatformClass& platform);

    // Profile, product section, single instance, install path, window geometry and start
    // page, in that order. E_FAIL: start-up stops, no window.
    LauncherStatus Start_Up();
    // The window exists: remember the base directory and play the start sound.
    void On_Create();
    // Mutes the shell's navigation click while the window is active.
    void On_Activate(bool active);

    LauncherStatus Get_Ids_Of_Names(const std::vector<std::u16string>& names, std::vector<std::int32_t>& ids) const;
    // Always succeeds; malformed calls do nothing. result null: the caller wants none.
    LauncherStatus Invoke(std::int32_t dispatch_id, std::uint16_t flags, const std::vector<DispatchArgument>& arguments,
                          DispatchResult* result);

    void Play_Launcher_Sound(LauncherSound sound);

    const ProfileTable& Profile() const { return profile_; }
    const std::string& Start_Page() const { return start_page_; }
    const std::string& Base_Directory() const { return base_directory_; }
    bool Install_Path_Known() const { return install_path_known_; }
    const WindowGeometry& Geometry() const { return geometry_; }
    std::string Product_Key() const;
    // "res://" + program path + "/" + start page.
    std::string Start_Address() const;
    std::string Window_Title() const { return profile_.TextAnsi("ProductNameDisplay"); }

private:
    struct MethodEntry {
        const char16_t* name;
        std::int32_t id;
        int argument_count;  // -1: not checked
        void (LauncherWindow::*handler)(const std::vector<std::string>& arguments, DispatchResult* result);
    };
    static const MethodEntry METHODS[];

    void Read_Install_Path();
    void Choose_Start_Page();
    void Quit(const std::vector<std::string>& arguments, DispatchResult* result);
    void Minimize(const std::vector<std::string>& arguments, DispatchResult* result);
    void GetParameter(const std::vector<std::string>& arguments, DispatchResult* result);
    void SetParameter(const std::vector<std::string>& arguments, DispatchResult* result);
    void DoFunction(const std::vector<std::string>& arguments, DispatchResult* result);

    LauncherPlatformClass& platform_;
    ProfileTable profile_;
    LauncherCommandsClass commands_;
    std::string start_page_;
    std::string base_directory_;
    bool install_path_known_ = false;
    WindowGeometry geometry_{};
    bool navigation_muted_ = false;
    bool saved_navigation_sound_known_ = false;
    std::string saved_navigation_sound_;
};

#endif
