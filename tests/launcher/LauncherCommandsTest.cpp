#include "launcher/LauncherWindow.h"

#include "FakeLauncherPlatform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Platform = LauncherPlatformClass;

const char* const PRODUCT_KEY = "SOFTWARE\\Hollowbrook\\Quillmarsh Rift Tactics\\1.0";
const char* const BASE = "/media/disc";

std::string Shipped_Profile()
{
    std::ifstream file(VESTIBAR_PAGES_DIR "/PROFILE.TXT", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Uninstall_Key(const LauncherWindow& launcher)
{
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{" + launcher.Profile().TextAnsi("ProductGUID") +
           "}";
}

class CommandTest : public ::testing::Test {
protected:
    CommandTest()
    {
        platform.resources["PROFILE.TXT"] = Shipped_Profile();
        platform.current_directory = BASE;
    }

    void Open_Window()
    {
        ASSERT_EQ(launcher.Start_Up(), S_OK_STATUS);
        launcher.On_Create();
        platform.sounds.clear();
        platform.events.clear();
    }

    // The page's view of a command: its answer, or "(none)".
    std::string Run(const std::string& command)
    {
        DispatchResult result;
        launcher.Invoke(LauncherWindow::DISPID_DO_FUNCTION, LauncherWindow::DISPATCH_METHOD,
                        {DispatchArgument::String(std::u16string(command.begin(), command.end()))}, &result);
        return result.present ? std::string(result.text.begin(), result.text.end()) : "(none)";
    }

    void Set_Exe_Path(const std::string& path)
    {
        platform.Set_Value(RegistryHive::LocalMachine, PRODUCT_KEY, "ExePath", RegistryValue::From_String(path));
    }

    void Set_Uninstall_String(const std::string& text)
    {
        platform.Set_Value(RegistryHive::LocalMachine, Uninstall_Key(launcher), "UninstallString",
                           RegistryValue::From_String(text));
    }

    FakeLauncherPlatform platform;
    LauncherWindow launcher{platform};
};

}  // namespace

struct CommandNameCase {
    const char* name;
    const char* command;
    const char* answer;
};

void PrintTo(const CommandNameCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class CommandNameTest : public CommandTest, public ::testing::WithParamInterface<CommandNameCase> {};

TEST_P(CommandNameTest, ComparesWholeNamesExactly)
{
    Open_Window();
    EXPECT_EQ(Run(GetParam().command), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CommandNameTest,
    ::testing::Values(CommandNameCase{"LowerCaseStartIsUnknown", "start", "error"},
                      CommandNameCase{"TrailingSpaceIsUnknown", "Start ", "error"},
                      CommandNameCase{"LeadingSpaceIsUnknown", " SoundOver", "error"},
                      CommandNameCase{"UpperCaseSoundIsUnknown", "SOUNDCLICK", "error"},
                      CommandNameCase{"EmptyIsUnknown", "", "error"},
                      CommandNameCase{"PrefixOfACommandIsUnknown", "Sound", "error"},
                      CommandNameCase{"SoundStartSucceeds", "SoundStart", "success"},
                      CommandNameCase{"WebSucceeds", "Web", "success"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ShellCase {
    const char* name;
    const char* command;
    const char* verb;
    const char* file;
    const char* parameters;
    const char* directory;
    const char* sound;  // played first, with wait and interrupt
    bool closes;
};

void PrintTo(const ShellCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class CommandShellTest : public CommandTest, public ::testing::WithParamInterface<ShellCase> {};

TEST_P(CommandShellTest, PlaysItsSoundThenStartsWhatTheProfileNames)
{
    const ShellCase& expected = GetParam();
    Open_Window();
    Set_Exe_Path("C:\\Game\\bin\\game.exe");
    Set_Uninstall_String("C:\\Inst\\setup.exe -remove");
    EXPECT_EQ(Run(expected.command), "success");
    ASSERT_EQ(platform.shell_calls.size(), 1u);
    const FakeLauncherPlatform::ShellCall& call = platform.shell_calls[0];
    EXPECT_EQ(call.verb, expected.verb);
    EXPECT_EQ(call.file, expected.file);
    EXPECT_EQ(call.parameters, expected.parameters);
    EXPECT_EQ(call.directory, expected.directory);
    ASSERT_FALSE(platform.sounds.empty());
    EXPECT_EQ(platform.sounds[0].path, std::string("\\HbkSetup\\") + expected.sound);
    EXPECT_TRUE(platform.sounds[0].wait);
    EXPECT_TRUE(platform.sounds[0].interrupt);
    std::vector<std::string> order{"sound", "shell"};
    if (expected.closes) order.push_back("close");
    EXPECT_EQ(platform.events, order);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandShellTest,
    ::testing::Values(
        ShellCase{"AnalyzeRunsCheckToolInSupportFolder", "Analyze", "", "/media/disc\\HbkSetup\\Rigscan.exe", "",
                  "/media/disc\\HbkSetup", "Click.wav", false},
        ShellCase{"ReadMeOpensDocumentOfTheLanguage", "ReadMe", "open",
                  "/media/disc\\HbkSetup\\docs\\English\\ReadMe.txt", "", "/media/disc\\HbkSetup\\docs\\English",
                  "Click.wav", false},
        ShellCase{"LicenseOpensEula", "License", "open", "/media/disc\\HbkSetup\\docs\\English\\EULA.rtf", "",
                  "/media/disc\\HbkSetup\\docs\\English", "Click.wav", false},
        ShellCase{"GuideOpensTroubleshooting", "Guide", "open", "/media/disc\\HbkSetup\\docs\\English\\Trouble.rtf",
                  "", "/media/disc\\HbkSetup\\docs\\English", "Click.wav", false},
        ShellCase{"WebOpensProductPage", "Web", "open", "http://www.hollowbrook.example/quillmarsh/", "", "",
                  "Click.wav", false},
        ShellCase{"InstallRunsSetupAndCloses", "Install", "", "/media/disc\\.\\Setup.exe", "", "/media/disc\\.",
                  "Open.wav", true},
        ShellCase{"UninstallRunsFromUserFolderAndCloses", "Uninstall", "", "C:\\Inst\\setup.exe", "-remove",
                  "/home/player", "Open.wav", true},
        ShellCase{"StartRunsGameInItsFolderAndCloses", "Start", "", "C:\\Game\\bin\\game.exe", "", "C:\\Game\\bin",
                  "Open.wav", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandTest, GermanReadMeComesFromGermanFolder)
{
    platform.language_id = 0x0407;
    Open_Window();
    EXPECT_EQ(Run("ReadMe"), "success");
    ASSERT_EQ(platform.shell_calls.size(), 1u);
    EXPECT_EQ(platform.shell_calls[0].file, "/media/disc\\HbkSetup\\docs\\German\\ReadMe.txt");
}

TEST_F(CommandTest, UninstallMakesUserFolderCurrent)
{
    Open_Window();
    Set_Uninstall_String("/opt/qmrt/Uninstall.exe");
    EXPECT_EQ(Run("Uninstall"), "success");
    EXPECT_EQ(platform.current_directory, "/home/player");
}

struct RegistryPathCase {
    const char* name;
    const char* value;  // null: no value
    bool starts;
    const char* program;
    const char* parameters_or_directory;
};

void PrintTo(const RegistryPathCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class ExePathTest : public CommandTest, public ::testing::WithParamInterface<RegistryPathCase> {};

TEST_P(ExePathTest, StartsOnlyAUsablePathInItsFolder)
{
    Open_Window();
    if (GetParam().value != nullptr) Set_Exe_Path(GetParam().value);
    EXPECT_EQ(Run("Start"), GetParam().starts ? "success" : "(none)");
    EXPECT_EQ(platform.close_count, GetParam().starts ? 1 : 0);
    ASSERT_EQ(platform.shell_calls.size(), GetParam().starts ? 1u : 0u);
    if (!GetParam().starts) return;
    EXPECT_EQ(platform.shell_calls[0].file, GetParam().program);
    EXPECT_EQ(platform.shell_calls[0].directory, GetParam().parameters_or_directory);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ExePathTest,
    ::testing::Values(RegistryPathCase{"FullPathRunsInItsFolder", "C:\\Game\\bin\\game.exe", true, "C:\\Game\\bin\\game.exe",
                               "C:\\Game\\bin"},
                      RegistryPathCase{"BareNameRunsWithEmptyFolder", "game.exe", true, "game.exe", ""},
                      RegistryPathCase{"FiveCharactersAreEnough", "a.exe", true, "a.exe", ""},
                      RegistryPathCase{"FourCharactersDoNothing", "a.ex", false, "", ""},
                      RegistryPathCase{"EmptyDoesNothing", "", false, "", ""},
                      RegistryPathCase{"MissingDoesNothing", nullptr, false, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

class UninstallStringTest : public CommandTest, public ::testing::WithParamInterface<RegistryPathCase> {};

TEST_P(UninstallStringTest, SplitsAtFirstLowerCaseExe)
{
    Open_Window();
    if (GetParam().value != nullptr) Set_Uninstall_String(GetParam().value);
    EXPECT_EQ(Run("Uninstall"), GetParam().starts ? "success" : "(none)");
    EXPECT_EQ(platform.close_count, GetParam().starts ? 1 : 0);
    ASSERT_EQ(platform.shell_calls.size(), GetParam().starts ? 1u : 0u);
    if (!GetParam().starts) return;
    EXPECT_EQ(platform.shell_calls[0].file, GetParam().program);
    EXPECT_EQ(platform.shell_calls[0].parameters, GetParam().parameters_or_directory);
}

INSTANTIATE_TEST_SUITE_P(
    Values, UninstallStringTest,
    ::testing::Values(
        RegistryPathCase{"ParametersAfterBlank", "C:\\Inst\\setup.exe -remove", true, "C:\\Inst\\setup.exe", "-remove"},
        RegistryPathCase{"NoParameters", "C:\\Inst\\setup.exe", true, "C:\\Inst\\setup.exe", ""},
        RegistryPathCase{"QuotedProgramDropsClosingQuote", "\"C:\\Inst\\setup.exe\" /x /y", true, "\"C:\\Inst\\setup.exe",
                 " /x /y"},
        RegistryPathCase{"FirstExeWins", "C:\\a.exe\\b.exe run", true, "C:\\a.exe", "b.exe run"},
        RegistryPathCase{"UpperCaseExtensionDoesNothing", "C:\\Inst\\SETUP.EXE -remove", false, "", ""},
        RegistryPathCase{"NoExeDoesNothing", "C:\\Inst\\setup.bin -remove", false, "", ""},
        RegistryPathCase{"FourCharactersDoNothing", ".exe", false, "", ""},
        RegistryPathCase{"MissingDoesNothing", nullptr, false, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommandRefusalCase {
    const char* name;
    const char* command;
    int shell_result;
    bool admin_notice;
};

void PrintTo(const CommandRefusalCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class CommandRefusalTest : public CommandTest, public ::testing::WithParamInterface<CommandRefusalCase> {};

// A start the shell refused leaves the launcher open with no answer, whatever the reason;
// only a refusal for lack of rights tells the player.
TEST_P(CommandRefusalTest, KeepsLauncherOpen)
{
    Open_Window();
    Set_Exe_Path("/opt/qmrt/game.exe");
    Set_Uninstall_String("/opt/qmrt/uninstall.exe");
    platform.shell_result = GetParam().shell_result;
    EXPECT_EQ(Run(GetParam().command), "(none)");
    EXPECT_EQ(platform.close_count, 0);
    ASSERT_EQ(platform.messages.size(), GetParam().admin_notice ? 1u : 0u);
    if (!GetParam().admin_notice) return;
    EXPECT_EQ(platform.messages[0].text, "You do not have sufficient privileges.");
    EXPECT_EQ(platform.messages[0].caption, launcher.Window_Title());
    EXPECT_EQ(platform.messages[0].buttons, Platform::MessageButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Results, CommandRefusalTest,
    ::testing::Values(CommandRefusalCase{"StartGameMissing", "Start", 2, false},
                      CommandRefusalCase{"StartAccessDenied", "Start", 5, true},
                      CommandRefusalCase{"StartOtherFailure", "Start", 31, false},
                      CommandRefusalCase{"StartResultZero", "Start", 0, false},
                      CommandRefusalCase{"StartResult32", "Start", 32, false},
                      CommandRefusalCase{"InstallSetupMissing", "Install", 2, false},
                      CommandRefusalCase{"InstallAccessDenied", "Install", 5, true},
                      CommandRefusalCase{"UninstallerMissing", "Uninstall", 2, false},
                      CommandRefusalCase{"ReadMeMissing", "ReadMe", 2, false},
                      CommandRefusalCase{"AnalyzeAccessDenied", "Analyze", 5, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct CheckCase {
    const char* name;
    Platform::GraphicsProbe graphics;
    bool sound_device;
    Platform::MessageAnswer answer;
    std::vector<const char*> messages;  // profile keys, in order
    bool starts;
};

void PrintTo(const CheckCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

Platform::GraphicsProbe Probe(Platform::GraphicsRuntime runtime, bool created,
                              std::vector<Platform::GraphicsAdapter> adapters)
{
    Platform::GraphicsProbe probe;
    probe.runtime = runtime;
    probe.device_created = created;
    probe.adapters = std::move(adapters);
    return probe;
}

const std::uint32_t RASTER = Platform::CAPS_HARDWARE_RASTERIZATION;
const std::uint32_t TNL = Platform::CAPS_HARDWARE_TRANSFORM_AND_LIGHT;
const Platform::GraphicsAdapter GOOD{0x1002, 0x6798, true, RASTER | TNL};
const Platform::GraphicsAdapter WEAK{0x1002, 0x6798, true, RASTER};
const Platform::GraphicsRuntime PRESENT = Platform::GraphicsRuntime::Present;

class StartCheckTest : public CommandTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(StartCheckTest, StartsOnlyWhenChecksPass)
{
    Open_Window();
    Set_Exe_Path("/opt/qmrt/game.exe");
    platform.graphics = GetParam().graphics;
    platform.sound_device = GetParam().sound_device;
    platform.answer = GetParam().answer;
    EXPECT_EQ(Run("Start"), GetParam().starts ? "success" : "(none)");
    EXPECT_EQ(platform.shell_calls.size(), GetParam().starts ? 1u : 0u);
    EXPECT_EQ(platform.close_count, GetParam().starts ? 1 : 0);
    ASSERT_EQ(platform.messages.size(), GetParam().messages.size());
    for (std::size_t i = 0; i < platform.messages.size(); ++i) {
        EXPECT_EQ(platform.messages[i].text, launcher.Profile().TextAnsi(GetParam().messages[i]));
        EXPECT_EQ(platform.messages[i].caption, launcher.Window_Title());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, StartCheckTest,
    ::testing::Values(
        CheckCase{"RuntimeMissingCannotBeOverridden", Probe(Platform::GraphicsRuntime::Missing, false, {}), true,
                  Platform::MessageAnswer::Yes, {"AskDirectXMissing"}, false},
        CheckCase{"RuntimeTooOldCannotBeOverridden", Probe(Platform::GraphicsRuntime::TooOld, false, {}), true,
                  Platform::MessageAnswer::Yes, {"AskDirectXOld"}, false},
        CheckCase{"FirstAdapterWeakSecondGoodPassesSilently", Probe(PRESENT, true, {WEAK, GOOD}), true,
                  Platform::MessageAnswer::No, {}, true},
        CheckCase{"WeakHardwareYesGoesOn", Probe(PRESENT, true, {WEAK}), true, Platform::MessageAnswer::Yes,
                  {"AskDirectXInsufficient"}, true},
        CheckCase{"WeakHardwareNoStops", Probe(PRESENT, true, {WEAK}), true, Platform::MessageAnswer::No,
                  {"AskDirectXInsufficient"}, false},
        CheckCase{"NoAdaptersAsks", Probe(PRESENT, true, {}), true, Platform::MessageAnswer::No,
                  {"AskDirectXInsufficient"}, false},
        CheckCase{"NoDeviceObjectAsksEvenWithAdapters", Probe(PRESENT, false, {GOOD}), true,
                  Platform::MessageAnswer::No, {"AskDirectXInsufficient"}, false},
        CheckCase{"NoSoundNoStopsAfterGraphicsPassed", Probe(PRESENT, true, {GOOD}), false,
                  Platform::MessageAnswer::No, {"AskDirectXSound"}, false},
        CheckCase{"NoSoundYesGoesOn", Probe(PRESENT, true, {GOOD}), false, Platform::MessageAnswer::Yes,
                  {"AskDirectXSound"}, true},
        CheckCase{"GraphicsRefusedSkipsSoundQuestion", Probe(PRESENT, true, {WEAK}), false,
                  Platform::MessageAnswer::No, {"AskDirectXInsufficient"}, false},
        CheckCase{"BothQuestionsYesGoesOn", Probe(PRESENT, true, {WEAK}), false, Platform::MessageAnswer::Yes,
                  {"AskDirectXInsufficient", "AskDirectXSound"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct AdapterCase {
    const char* name;
    Platform::GraphicsAdapter adapter;
    bool sufficient;
};

void PrintTo(const AdapterCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class AdapterTest : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(AdapterTest, NeedsRasterizationAndTransformOrListedChip)
{
    EXPECT_EQ(SystemCheckClass::Is_Adapter_Sufficient(GetParam().adapter), GetParam().sufficient);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, AdapterTest,
    ::testing::Values(AdapterCase{"RasterAndTransform", {0x10de, 0x0001, true, RASTER | TNL}, true},
                      AdapterCase{"RasterOnly", {0x10de, 0x0001, true, RASTER}, false},
                      AdapterCase{"TransformOnly", {0x10de, 0x0001, true, TNL}, false},
                      AdapterCase{"Intel2572RasterOnly", {0x8086, 0x2572, true, RASTER}, true},
                      AdapterCase{"Intel2582RasterOnly", {0x8086, 0x2582, true, RASTER}, true},
                      AdapterCase{"Intel2582WithoutRaster", {0x8086, 0x2582, true, TNL}, false},
                      AdapterCase{"OtherIntelRasterOnly", {0x8086, 0x2592, true, RASTER}, false},
                      AdapterCase{"ListedDeviceOtherVendor", {0x10de, 0x2572, true, RASTER}, false},
                      AdapterCase{"CapabilitiesUnreadable", {0x10de, 0x0001, false, RASTER | TNL}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandTest, SoundsFollowTheirTable)
{
    Open_Window();
    for (const char* command : {"SoundStart", "SoundOver", "SoundClick", "SoundOpen"}) EXPECT_EQ(Run(command), "success");
    ASSERT_EQ(platform.sounds.size(), 4u);
    // Hover never waits and never cuts another sound off; Click and Open wait and interrupt.
    const bool expected[4][2] = {{false, true}, {false, false}, {true, true}, {true, true}};
    const char* files[4] = {"Start.wav", "Hover.wav", "Click.wav", "Open.wav"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(platform.sounds[i].path, std::string("\\HbkSetup\\") + files[i]);
        EXPECT_EQ(platform.sounds[i].wait, expected[i][0]) << files[i];
        EXPECT_EQ(platform.sounds[i].interrupt, expected[i][1]) << files[i];
    }
    EXPECT_TRUE(platform.shell_calls.empty());
    EXPECT_EQ(platform.close_count, 0);
}
