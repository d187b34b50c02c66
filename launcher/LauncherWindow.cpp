#include "launcher/LauncherWindow.h"

#include "launcher/TextConversion.h"

namespace {

const char* const PROFILE_RESOURCE = "PROFILE.TXT";
const char* const NAVIGATING_CURRENT = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current";
const char* const NAVIGATING_DEFAULT = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Default";
constexpr std::size_t MAX_REGISTRY_STRING = 260;

struct SoundEntry {
    LauncherWindow::LauncherSound sound;
    const char* file_part;
    bool wait;
    bool interrupt;
};

// The folder is fixed text here, not the profile's support directory.
const SoundEntry SOUNDS[] = {
    {LauncherWindow::LauncherSound::Start, "\\HbkSetup\\Start.wav", false, true},
    {LauncherWindow::LauncherSound::Hover, "\\HbkSetup\\Hover.wav", false, false},
    {LauncherWindow::LauncherSound::Click, "\\HbkSetup\\Click.wav", true, true},
    {LauncherWindow::LauncherSound::Open, "\\HbkSetup\\Open.wav", true, true},
};

}  // namespace

const LauncherWindow::MethodEntry LauncherWindow::METHODS[] = {
    {u"Quit", DISPID_QUIT, -1, &LauncherWindow::Quit},
    {u"Minimize", DISPID_MINIMIZE, -1, &LauncherWindow::Minimize},
    {u"GetParameter", DISPID_GET_PARAMETER, 1, &LauncherWindow::GetParameter},
    {u"SetParameter", DISPID_SET_PARAMETER, 2, &LauncherWindow::SetParameter},
    {u"DoFunction", DISPID_DO_FUNCTION, 1, &LauncherWindow::DoFunction},
};

LauncherWindow::LauncherWindow(LauncherPlatformClass& platform) : platform_(platform), commands_(platform, *this) {}

LauncherStatus LauncherWindow::Start_Up()
{
    // 1. The profile, with the product section it names made current.
    if (profile_.Load(platform_, PROFILE_RESOURCE) != S_OK_STATUS) return E_FAIL_STATUS;
    profile_.SetSection(u"Products");
    profile_.SetSection(profile_.Text("Product1"));

    // 2. One launcher at a time; a second copy leaves silently.
    if (platform_.Acquire_Single_Instance(profile_.TextAnsi("ProductMutex")) !=
        LauncherPlatformClass::InstanceLock::Acquired)
        return E_FAIL_STATUS;

    // 3. The install directory becomes current when the registry knows it.
    Read_Install_Path();

    // 4. Where the window goes, and which page it shows first.
    geometry_ = Compute_Window_Geometry(platform_.Screen());
    Choose_Start_Page();
    return S_OK_STATUS;
}

std::string LauncherWindow::Product_Key() const
{
    return "SOFTWARE\\" + profile_.TextAnsi("CompanyNameRegistry") + "\\" + profile_.TextAnsi("ProductNameRegistry") +
           "\\" + profile_.TextAnsi("ProductVersion");
}

void LauncherWindow::Read_Install_Path()
{
    RegistryValue value;
    std::string path;
    if (!platform_.Registry_Read(RegistryHive::LocalMachine, Product_Key(), "InstallPath", value) ||
        !value.As_String(path, MAX_REGISTRY_STRING))
        return;
    platform_.Set_Current_Directory(path);
    install_path_known_ = true;
}

void LauncherWindow::Choose_Start_Page()
{
    start_page_ = profile_.TextAnsi("PageInstall");
    RegistryValue value;
    std::uint32_t installed = 0;
    if (platform_.Registry_Read(RegistryHive::LocalMachine, Product_Key(), "Installed", value) &&
        value.As_Dword(installed) && installed == 1)
        start_page_ = profile_.TextAnsi("PageMain");
}

std::string LauncherWindow::Start_Address() const
{
    return "res://" + platform_.Program_Path() + "/" + start_page_;
}

void LauncherWindow::On_Create()
{
    base_directory_ = platform_.Current_Directory();
    Play_Launcher_Sound(LauncherSound::Start);
}

void LauncherWindow::Play_Launcher_Sound(LauncherSound sound)
{
    for (const SoundEntry& entry : SOUNDS) {
        if (entry.sound != sound) continue;
        std::string prefix = install_path_known_ ? base_directory_ : std::string();
        platform_.Play_Sound(prefix + entry.file_part, entry.wait, entry.interrupt);
        return;
    }
}

void LauncherWindow::On_Activate(bool active)
{
    if (!platform_.Registry_Key_Exists(RegistryHive::CurrentUser, NAVIGATING_CURRENT)) return;
    RegistryValue value;
    std::string text;
    if (active) {
        // Remember the user's own sound once, not the silence written by an earlier activation.
        if (!navigation_muted_) {
            saved_navigation_sound_known_ =
                platform_.Registry_Read(RegistryHive::CurrentUser, NAVIGATING_CURRENT, "", value) &&
                value.As_String(saved_navigation_sound_, MAX_REGISTRY_STRING);
        }
        navigation_muted_ = platform_.Registry_Write(RegistryHive::CurrentUser, NAVIGATING_CURRENT, "",
                                                     RegistryValue::From_String(""), false);
        return;
    }
    if (saved_navigation_sound_known_) {
        text = saved_navigation_sound_;
    } else if (!platform_.Registry_Read(RegistryHive::CurrentUser, NAVIGATING_DEFAULT, "", value) ||
               !value.As_String(text, MAX_REGISTRY_STRING)) {
        return;
    }
    platform_.Registry_Write(RegistryHive::CurrentUser, NAVIGATING_CURRENT, "", RegistryValue::From_String(text), false);
    navigation_muted_ = false;
}

LauncherStatus LauncherWindow::Get_Ids_Of_Names(const std::vector<std::u16string>& names,
                                                std::vector<std::int32_t>& ids) const
{
    ids.assign(names.size(), DISPID_UNKNOWN);
    if (names.size() != 1) return DISP_E_UNKNOWNNAME_STATUS;
    for (const MethodEntry& method : METHODS) {
        if (Equal_Ignoring_Case(names[0], method.name)) {
            ids[0] = method.id;
            return S_OK_STATUS;
        }
    }
    return DISP_E_UNKNOWNNAME_STATUS;
}

LauncherStatus LauncherWindow::Invoke(std::int32_t dispatch_id, std::uint16_t flags,
                                      const std::vector<DispatchArgument>& arguments, DispatchResult* result)
{
    if (result != nullptr) *result = DispatchResult();
    if (dispatch_id == DISPID_ON_QUIT) {
        platform_.Close_Window();
        return S_OK_STATUS;
    }
    for (const MethodEntry& method : METHODS) {
        if (method.id != dispatch_id) continue;
        std::vector<std::string> texts;
        if (method.argument_count >= 0) {
            if ((flags & DISPATCH_METHOD) == 0 || arguments.size() != static_cast<std::size_t>(method.argument_count))
                return S_OK_STATUS;
            for (const DispatchArgument& argument : arguments) {
                if (argument.type != DispatchArgument::Type::String) return S_OK_STATUS;
                texts.push_back(Utf16_To_Utf8(argument.text));
            }
        }
        (this->*method.handler)(texts, result);
        return S_OK_STATUS;
    }
    return S_OK_STATUS;
}

void LauncherWindow::Quit(const std::vector<std::string>&, DispatchResult*)
{
    platform_.Close_Window();
}

void LauncherWindow::Minimize(const std::vector<std::string>&, DispatchResult*)
{
    platform_.Minimize_Window();
}

void LauncherWindow::GetParameter(const std::vector<std::string>& arguments, DispatchResult* result)
{
    if (result == nullptr) return;
    result->present = true;
    profile_.GetText(Utf8_To_Utf16(arguments[0]), result->text);
}

void LauncherWindow::SetParameter(const std::vector<std::string>&, DispatchResult*)
{
    // Accepted and ignored: the profile is read-only.
}

void LauncherWindow::DoFunction(const std::vector<std::string>& arguments, DispatchResult* result)
{
    LauncherCommandsClass::Outcome outcome = commands_.DoFunction(arguments[0]);
    if (result == nullptr || outcome == LauncherCommandsClass::Outcome::Stopped) return;
    result->present = true;
    result->text = outcome == LauncherCommandsClass::Outcome::Success ? u"success" : u"error";
}
