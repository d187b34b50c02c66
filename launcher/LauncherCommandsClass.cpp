#include "launcher/LauncherCommandsClass.h"

#include "launcher/LauncherWindow.h"
#include "launcher/TextConversion.h"

namespace {

using Sound = LauncherWindow::LauncherSound;

// The shell's results: above this, the program started.
constexpr int SHELL_STARTED_ABOVE = 32;
constexpr int SHELL_ACCESS_DENIED = 5;
constexpr std::size_t SHORTEST_USABLE_PATH = 5;
constexpr std::size_t MAX_REGISTRY_STRING = 260;

const char* const UNINSTALL_ROOT = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{";
const char* const OPEN_VERB = "open";

}  // namespace

struct LauncherCommandsClass::CommandEntry {
    const char* name;
    Sound sound;  // played first, synchronously for Click and Open
    bool (LauncherCommandsClass::*action)();  // null: the sound is the whole command
    bool closes_launcher;
};

// Compared in this order.
const LauncherCommandsClass::CommandEntry LauncherCommandsClass::COMMANDS[] = {
    {"Analyze", Sound::Click, &LauncherCommandsClass::Analyze, false},
    {"ReadMe", Sound::Click, &LauncherCommandsClass::ReadMe, false},
    {"License", Sound::Click, &LauncherCommandsClass::License, false},
    {"Guide", Sound::Click, &LauncherCommandsClass::Guide, false},
    {"Web", Sound::Click, &LauncherCommandsClass::Web, false},
    {"Install", Sound::Open, &LauncherCommandsClass::Install, true},
    {"Uninstall", Sound::Open, &LauncherCommandsClass::Uninstall, true},
    {"Start", Sound::Open, &LauncherCommandsClass::Start, true},
    {"SoundStart", Sound::Start, nullptr, false},
    {"SoundOver", Sound::Hover, nullptr, false},
    {"SoundClick", Sound::Click, nullptr, false},
    {"SoundOpen", Sound::Open, nullptr, false},
};

LauncherCommandsClass::LauncherCommandsClass(LauncherPlatformClass& platform, LauncherWindow& window)
    : platform_(platform), window_(window), checks_(platform, window.Profile())
{
}

LauncherCommandsClass::Outcome LauncherCommandsClass::DoFunction(const std::string& command)
{
    for (const CommandEntry& entry : COMMANDS) {
        if (command != entry.name) continue;
        window_.Play_Launcher_Sound(entry.sound);
        if (entry.action != nullptr && !(this->*entry.action)()) return Outcome::Stopped;
        if (entry.closes_launcher) platform_.Close_Window();
        return Outcome::Success;
    }
    return Outcome::Unknown;
}

LauncherStatus LauncherCommandsClass::StartProgram(const std::string& verb, const std::string& file,
                                                   const std::string& parameters, const std::string& directory)
{
    int result = platform_.Shell_Execute(verb, file, parameters, directory);
    if (result > SHELL_STARTED_ABOVE) return S_OK_STATUS;
    // A refusal is a failure whatever its cause: a missing game must not close the launcher.
    if (result == SHELL_ACCESS_DENIED) {
        platform_.Message_Box(Profile_Text("ProductNameDisplay"), Profile_Text("ErrorAdmin"),
                              LauncherPlatformClass::MessageButtons::Ok);
    }
    return E_FAIL_STATUS;
}

bool LauncherCommandsClass::Split_Uninstall_String(const std::string& text, std::string& program,
                                                   std::string& parameters)
{
    if (text.size() < SHORTEST_USABLE_PATH) return false;
    std::size_t extension = text.find(".exe");
    if (extension == std::string::npos) return false;
    std::size_t program_end = extension + 4;
    program = text.substr(0, program_end);
    // The character after ".exe" (a blank or a closing quote) belongs to neither part.
    parameters = program_end + 1 < text.size() ? text.substr(program_end + 1) : std::string();
    return true;
}

std::string LauncherCommandsClass::Directory_Of(const std::string& path)
{
    std::size_t last_backslash = path.rfind('\\');
    return last_backslash == std::string::npos ? std::string() : path.substr(0, last_backslash);
}

bool LauncherCommandsClass::Analyze()
{
    std::string support = window_.Base_Directory() + "\\" + Profile_Text("DirectorySupport");
    return StartProgram("", support + "\\" + Profile_Text("ApplicationCheck"), "", support) == S_OK_STATUS;
}

bool LauncherCommandsClass::ReadMe()
{
    return Open_Document("FileReadMe");
}

bool LauncherCommandsClass::License()
{
    return Open_Document("FileLicense");
}

bool LauncherCommandsClass::Guide()
{
    return Open_Document("FileSupport");
}

bool LauncherCommandsClass::Web()
{
    return StartProgram(OPEN_VERB, Profile_Text("ProductUrl"), "", "") == S_OK_STATUS;
}

bool LauncherCommandsClass::Install()
{
    std::string setup = window_.Base_Directory() + "\\" + Profile_Text("DirectorySetup");
    return StartProgram("", setup + "\\" + Profile_Text("ApplicationSetup"), "", setup) == S_OK_STATUS;
}

bool LauncherCommandsClass::Uninstall()
{
    // 1. The uninstall entry the setup program left, named by the product's GUID.
    std::string key = UNINSTALL_ROOT + Profile_Text("ProductGUID") + "}";
    std::string text, program, parameters;
    if (!Read_Registry_Path(key, "UninstallString", text)) return false;
    // 2. The program up to its ".exe", and what follows as its parameters.
    if (!Split_Uninstall_String(text, program, parameters)) return false;
    // 3. It runs from the user's folder, so it can remove the installation directory.
    std::string folder = platform_.Windows_Folder();
    platform_.Set_Current_Directory(folder);
    return StartProgram("", program, parameters, folder) == S_OK_STATUS;
}

bool LauncherCommandsClass::Start()
{
    // 1. The machine must be able to run the game, or the player says go on anyway.
    if (checks_.CheckGraphics() != S_OK_STATUS) return false;
    if (checks_.CheckSoundDevice() != S_OK_STATUS) return false;
    // 2. The game the installer registered, started in its own folder.
    std::string exe_path;
    if (!Read_Registry_Path(window_.Product_Key(), "ExePath", exe_path)) return false;
    if (exe_path.size() < SHORTEST_USABLE_PATH) return false;
    return StartProgram("", exe_path, "", Directory_Of(exe_path)) == S_OK_STATUS;
}

bool LauncherCommandsClass::Open_Document(const char* file_key)
{
    std::string folder = Documents_Folder();
    return StartProgram(OPEN_VERB, folder + "\\" + Profile_Text(file_key), "", folder) == S_OK_STATUS;
}

std::string LauncherCommandsClass::Documents_Folder() const
{
    std::u16string language;
    window_.Profile().LanguageName(language);
    return window_.Base_Directory() + "\\" + Profile_Text("DirectorySupport") + "\\docs\\" + Utf16_To_Utf8(language);
}

std::string LauncherCommandsClass::Profile_Text(const char* key) const
{
    return window_.Profile().TextAnsi(key);
}

bool LauncherCommandsClass::Read_Registry_Path(const std::string& key, const char* name, std::string& text) const
{
    RegistryValue value;
    return platform_.Registry_Read(RegistryHive::LocalMachine, key, name, value) &&
           value.As_String(text, MAX_REGISTRY_STRING);
}
