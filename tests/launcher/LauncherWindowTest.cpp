#include "launcher/LauncherWindow.h"

#include "FakeLauncherPlatform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const char* const PRODUCT_KEY = "SOFTWARE\\Hollowbrook\\Quillmarsh Rift Tactics\\1.0";
const char* const NAVIGATING_CURRENT = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current";
const char* const NAVIGATING_DEFAULT = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Default";

std::string Shipped_Profile()
{
    std::ifstream file(VESTIBAR_PAGES_DIR "/PROFILE.TXT", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class LauncherWindowTest : public ::testing::Test {
protected:
    LauncherWindowTest() { platform.resources["PROFILE.TXT"] = Shipped_Profile(); }

    LauncherStatus Start() { return launcher.Start_Up(); }

    FakeLauncherPlatform platform;
    LauncherWindow launcher{platform};
};

}  // namespace

TEST_F(LauncherWindowTest, StartUpUsesProductSectionForLockAndKey)
{
    ASSERT_EQ(Start(), S_OK_STATUS);
    EXPECT_EQ(platform.lock_name, "QMRTIsRunning");
    EXPECT_EQ(launcher.Product_Key(), PRODUCT_KEY);
    EXPECT_EQ(launcher.Window_Title(), "Quillmarsh\u2122: Rift Tactics\u2122");
}

struct StopCase {
    const char* name;
    bool profile_present;
    LauncherPlatformClass::InstanceLock lock;
};

void PrintTo(const StopCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class LauncherStartUpStopTest : public LauncherWindowTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(LauncherStartUpStopTest, FailsWithoutWindow)
{
    if (!GetParam().profile_present) platform.resources.clear();
    platform.lock_result = GetParam().lock;
    EXPECT_EQ(Start(), E_FAIL_STATUS);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, LauncherStartUpStopTest,
    ::testing::Values(StopCase{"ProfileMissing", false, LauncherPlatformClass::InstanceLock::Acquired},
                      StopCase{"SecondInstance", true, LauncherPlatformClass::InstanceLock::AlreadyRunning},
                      StopCase{"LockFailed", true, LauncherPlatformClass::InstanceLock::Failed}),
    [](const auto& info) { return std::string(info.param.name); });

struct StartPageCase {
    const char* name;
    bool key_present;
    bool value_present;
    RegistryValue installed;
    const char* expected_page;
};

void PrintTo(const StartPageCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class LauncherStartPageTest : public LauncherWindowTest, public ::testing::WithParamInterface<StartPageCase> {};

TEST_P(LauncherStartPageTest, MainPageOnlyWhenInstalledIsDwordOne)
{
    if (GetParam().key_present) platform.Add_Key(RegistryHive::LocalMachine, PRODUCT_KEY);
    if (GetParam().value_present)
        platform.Set_Value(RegistryHive::LocalMachine, PRODUCT_KEY, "Installed", GetParam().installed);
    ASSERT_EQ(Start(), S_OK_STATUS);
    EXPECT_EQ(launcher.Start_Page(), GetParam().expected_page);
}

RegistryValue Binary_One()
{
    RegistryValue value = RegistryValue::From_Dword(1);
    value.type = RegistryType::Other;
    return value;
}

INSTANTIATE_TEST_SUITE_P(
    Installed, LauncherStartPageTest,
    ::testing::Values(StartPageCase{"One", true, true, RegistryValue::From_Dword(1), "Main.htm"},
                      StartPageCase{"Zero", true, true, RegistryValue::From_Dword(0), "Install.htm"},
                      StartPageCase{"Two", true, true, RegistryValue::From_Dword(2), "Install.htm"},
                      StartPageCase{"StringOne", true, true, RegistryValue::From_String("1"), "Install.htm"},
                      StartPageCase{"BinaryOne", true, true, Binary_One(), "Install.htm"},
                      StartPageCase{"NoValue", true, false, RegistryValue(), "Install.htm"},
                      StartPageCase{"NoKey", false, false, RegistryValue(), "Install.htm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherWindowTest, StartAddressIsProgramPathThenPage)
{
    platform.Set_Value(RegistryHive::LocalMachine, PRODUCT_KEY, "installed", RegistryValue::From_Dword(1));
    ASSERT_EQ(Start(), S_OK_STATUS);
    EXPECT_EQ(launcher.Start_Address(), "res:///opt/game/vestibar/Main.htm");
}

struct InstallPathCase {
    const char* name;
    RegistryValue value;
    bool expected_known;
};

void PrintTo(const InstallPathCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class LauncherInstallPathTest : public LauncherWindowTest, public ::testing::WithParamInterface<InstallPathCase> {};

TEST_P(LauncherInstallPathTest, BecomesCurrentDirectoryAndPrefixesSounds)
{
    platform.Set_Value(RegistryHive::LocalMachine, PRODUCT_KEY, "InstallPath", GetParam().value);
    ASSERT_EQ(Start(), S_OK_STATUS);
    launcher.On_Create();
    EXPECT_EQ(launcher.Install_Path_Known(), GetParam().expected_known);
    ASSERT_EQ(platform.sounds.size(), 1u);
    const FakeLauncherPlatform::Sound& start = platform.sounds[0];
    EXPECT_FALSE(start.wait);
    EXPECT_TRUE(start.interrupt);
    if (GetParam().expected_known) {
        EXPECT_EQ(platform.directory_changes, std::vector<std::string>{"/games/qmrt"});
        EXPECT_EQ(launcher.Base_Directory(), "/games/qmrt");
        EXPECT_EQ(start.path, "/games/qmrt\\HbkSetup\\Start.wav");
    } else {
        EXPECT_TRUE(platform.directory_changes.empty());
        EXPECT_EQ(launcher.Base_Directory(), "/start");
        EXPECT_EQ(start.path, "\\HbkSetup\\Start.wav");
    }
}

RegistryValue Unterminated(const std::string& text)
{
    RegistryValue value;
    value.type = RegistryType::ExpandString;
    value.data = text;
    return value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, LauncherInstallPathTest,
    ::testing::Values(
        InstallPathCase{"PlainString", RegistryValue::From_String("/games/qmrt"), true},
        InstallPathCase{"ExpandableString", RegistryValue::From_String("/games/qmrt", RegistryType::ExpandString), true},
        InstallPathCase{"Missing", RegistryValue(), false},
        InstallPathCase{"Dword", RegistryValue::From_Dword(7), false},
        InstallPathCase{"WithoutTerminator", Unterminated("/games/qmrt"), false},
        InstallPathCase{"LongerThan260Bytes", RegistryValue::From_String(std::string(260, 'x')), false}),
    [](const auto& info) { return std::string(info.param.name); });

struct GeometryCase {
    const char* name;
    LauncherPlatformClass::ScreenMetrics screen;
    WindowRectangle window;
    WindowRectangle region;
};

void PrintTo(const GeometryCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class WindowGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(WindowGeometryTest, CentresClientAreaAndCutsAwayFrame)
{
    WindowGeometry geometry = Compute_Window_Geometry(GetParam().screen);
    const WindowRectangle& window = GetParam().window;
    const WindowRectangle& region = GetParam().region;
    EXPECT_EQ(geometry.window.left, window.left);
    EXPECT_EQ(geometry.window.top, window.top);
    EXPECT_EQ(geometry.window.right, window.right);
    EXPECT_EQ(geometry.window.bottom, window.bottom);
    EXPECT_EQ(geometry.region.left, region.left);
    EXPECT_EQ(geometry.region.top, region.top);
    EXPECT_EQ(geometry.region.right - geometry.region.left, 650);
    EXPECT_EQ(geometry.region.bottom - geometry.region.top, 504);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowGeometryTest,
    ::testing::Values(GeometryCase{"FramedOn1024x768", {1024, 768, 4, 4, 19}, {183, 109, 841, 640}, {4, 23, 654, 527}},
                      GeometryCase{"UndecoratedOn1024x768", {1024, 768, 0, 0, 0}, {187, 132, 837, 636}, {0, 0, 650, 504}},
                      GeometryCase{"OddScreen", {1025, 769, 0, 0, 0}, {187, 132, 837, 636}, {0, 0, 650, 504}},
                      // Halves truncate toward zero, not downward.
                      GeometryCase{"ScreenNarrowerThanPage", {641, 495, 0, 0, 0}, {-4, -4, 645, 499}, {0, 0, 650, 504}}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    std::vector<std::u16string> names;
    std::int32_t expected_id;
    LauncherStatus expected_status;
};

void PrintTo(const NameCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class DispatchNameTest : public LauncherWindowTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(DispatchNameTest, MatchesExactlyOneNameWithoutCase)
{
    std::vector<std::int32_t> ids;
    EXPECT_EQ(launcher.Get_Ids_Of_Names(GetParam().names, ids), GetParam().expected_status);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids[0], GetParam().expected_id);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DispatchNameTest,
    ::testing::Values(NameCase{"Quit", {u"Quit"}, 1000, S_OK_STATUS},
                      NameCase{"MinimizeLowerCase", {u"minimize"}, 1001, S_OK_STATUS},
                      NameCase{"GetParameterLowerCase", {u"getparameter"}, 1002, S_OK_STATUS},
                      NameCase{"SetParameterUpperCase", {u"SETPARAMETER"}, 1003, S_OK_STATUS},
                      NameCase{"DoFunction", {u"DoFunction"}, 1004, S_OK_STATUS},
                      NameCase{"UnknownName", {u"Navigate"}, -1, DISP_E_UNKNOWNNAME_STATUS},
                      NameCase{"PrefixOfName", {u"Get"}, -1, DISP_E_UNKNOWNNAME_STATUS},
                      NameCase{"TwoNames", {u"GetParameter", u"key"}, -1, DISP_E_UNKNOWNNAME_STATUS}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherWindowTest, NoNameIsUnknown)
{
    std::vector<std::int32_t> ids;
    EXPECT_EQ(launcher.Get_Ids_Of_Names({}, ids), DISP_E_UNKNOWNNAME_STATUS);
}

struct InvokeCase {
    const char* name;
    std::int32_t id;
    std::uint16_t flags;
    std::vector<DispatchArgument> arguments;
    bool want_result;
    bool expected_present;
    std::u16string expected_text;
    int expected_closes;
    int expected_minimizes;
};

void PrintTo(const InvokeCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class DispatchInvokeTest : public LauncherWindowTest, public ::testing::WithParamInterface<InvokeCase> {};

TEST_P(DispatchInvokeTest, FollowsInvokeRulesAndAlwaysSucceeds)
{
    ASSERT_EQ(Start(), S_OK_STATUS);
    DispatchResult result;
    result.present = true;
    result.text = u"stale";
    const InvokeCase& call = GetParam();
    EXPECT_EQ(launcher.Invoke(call.id, call.flags, call.arguments, call.want_result ? &result : nullptr), S_OK_STATUS);
    if (call.want_result) {
        EXPECT_EQ(result.present, call.expected_present);
        if (call.expected_present) {
            EXPECT_EQ(result.text, call.expected_text);
        }
    }
    EXPECT_EQ(platform.close_count, call.expected_closes);
    EXPECT_EQ(platform.minimize_count, call.expected_minimizes);
}

const std::uint16_t METHOD = LauncherWindow::DISPATCH_METHOD;
const std::uint16_t PROPERTY = LauncherWindow::DISPATCH_PROPERTYGET;
const DispatchArgument NUMBER{DispatchArgument::Type::Number, u""};
DispatchArgument Str(const char16_t* text) { return DispatchArgument::String(text); }

INSTANTIATE_TEST_SUITE_P(
    Calls, DispatchInvokeTest,
    ::testing::Values(
        InvokeCase{"GetParameterKeyWithoutCase", 1002, METHOD, {Str(u"displayexit")}, true, true, u"Exit", 0, 0},
        InvokeCase{"GetParameterMissingKeyGivesKey", 1002, METHOD, {Str(u"NoSuchKey")}, true, true, u"NoSuchKey", 0, 0},
        InvokeCase{"GetParameterWithMethodAndPropertyFlags", 1002, METHOD | PROPERTY, {Str(u"DisplayHelp")}, true, true,
                   u"Help", 0, 0},
        InvokeCase{"GetParameterWithoutMethodFlag", 1002, PROPERTY, {Str(u"DisplayExit")}, true, false, u"", 0, 0},
        InvokeCase{"GetParameterNoArgument", 1002, METHOD, {}, true, false, u"", 0, 0},
        InvokeCase{"GetParameterTwoArguments", 1002, METHOD, {Str(u"DisplayExit"), Str(u"x")}, true, false, u"", 0, 0},
        InvokeCase{"GetParameterNumber", 1002, METHOD, {NUMBER}, true, false, u"", 0, 0},
        InvokeCase{"GetParameterNoResultWanted", 1002, METHOD, {Str(u"DisplayExit")}, false, false, u"", 0, 0},
        InvokeCase{"SetParameterGivesNothing", 1003, METHOD, {Str(u"DisplayExit"), Str(u"Leave")}, true, false, u"", 0, 0},
        InvokeCase{"SetParameterOneArgument", 1003, METHOD, {Str(u"DisplayExit")}, true, false, u"", 0, 0},
        InvokeCase{"DoFunctionUnknownCommandIsError", 1004, METHOD, {Str(u"Launch")}, true, true, u"error", 0, 0},
        InvokeCase{"DoFunctionSoundIsSuccess", 1004, METHOD, {Str(u"SoundOver")}, true, true, u"success", 0, 0},
        InvokeCase{"DoFunctionStoppedGivesNothing", 1004, METHOD, {Str(u"Start")}, true, false, u"", 0, 0},
        InvokeCase{"DoFunctionNumber", 1004, METHOD, {NUMBER}, true, false, u"", 0, 0},
        InvokeCase{"QuitCloses", 1000, METHOD, {}, true, false, u"", 1, 0},
        InvokeCase{"MinimizeMinimizes", 1001, METHOD, {}, true, false, u"", 0, 1},
        InvokeCase{"ViewQuitEventCloses", 253, 0, {}, false, false, u"", 1, 0},
        InvokeCase{"OtherEventIgnored", 102, 0, {}, true, false, u"", 0, 0},
        InvokeCase{"UnknownIdIgnored", -1, METHOD, {Str(u"x")}, true, false, u"", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherWindowTest, SetParameterChangesNothingGetParameterSees)
{
    ASSERT_EQ(Start(), S_OK_STATUS);
    launcher.Invoke(1003, METHOD, {Str(u"DisplayExit"), Str(u"Leave")}, nullptr);
    DispatchResult result;
    launcher.Invoke(1002, METHOD, {Str(u"DisplayExit")}, &result);
    EXPECT_EQ(result.text, u"Exit");
}

struct NavigationCase {
    const char* name;
    bool current_exists;
    const char* current_value;  // null: the key has no default value
    std::vector<bool> activations;
    const char* expected_current;  // null: nothing was ever written
};

void PrintTo(const NavigationCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class NavigationSoundTest : public LauncherWindowTest, public ::testing::WithParamInterface<NavigationCase> {};

TEST_P(NavigationSoundTest, MutesWhileActiveAndRestoresUsersSound)
{
    const NavigationCase& scenario = GetParam();
    platform.Set_Value(RegistryHive::CurrentUser, NAVIGATING_DEFAULT, "", RegistryValue::From_String("scheme.wav"));
    if (scenario.current_exists) platform.Add_Key(RegistryHive::CurrentUser, NAVIGATING_CURRENT);
    if (scenario.current_value != nullptr)
        platform.Set_Value(RegistryHive::CurrentUser, NAVIGATING_CURRENT, "", RegistryValue::From_String(scenario.current_value));
    int writes_before = platform.write_count;
    for (bool active : scenario.activations) launcher.On_Activate(active);

    RegistryValue value;
    std::string text;
    if (scenario.expected_current == nullptr) {
        EXPECT_EQ(platform.write_count, writes_before);
        EXPECT_FALSE(platform.Registry_Key_Exists(RegistryHive::CurrentUser, NAVIGATING_CURRENT));
        return;
    }
    ASSERT_TRUE(platform.Get_Value(RegistryHive::CurrentUser, NAVIGATING_CURRENT, "", value));
    ASSERT_TRUE(value.As_String(text));
    EXPECT_EQ(text, scenario.expected_current);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, NavigationSoundTest,
    ::testing::Values(
        NavigationCase{"ActivationEmptiesCurrent", true, "user.wav", {true}, ""},
        NavigationCase{"DeactivationRestoresUsersOwnSound", true, "user.wav", {true, false}, "user.wav"},
        NavigationCase{"RepeatedActivationKeepsUsersSound", true, "user.wav", {true, true, false}, "user.wav"},
        NavigationCase{"SecondRoundRestoresAgain", true, "user.wav", {true, false, true, false}, "user.wav"},
        NavigationCase{"NoUserValueFallsBackToSchemeDefault", true, nullptr, {true, false}, "scheme.wav"},
        NavigationCase{"MissingCurrentKeyIsNeverWritten", false, nullptr, {true, false}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });
