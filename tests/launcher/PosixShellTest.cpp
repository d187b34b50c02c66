#include "platform/launcher/CommandLine.h"
#include "platform/launcher/PosixShell.h"
#include "platform/launcher/SystemProbes.h"
#include "launcher/SystemCheckClass.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct SplitCase {
    const char* name;
    const char* line;
    std::vector<std::string> arguments;
};

void PrintTo(const SplitCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class CommandLineTest : public ::testing::TestWithParam<SplitCase> {};

}  // namespace

TEST_P(CommandLineTest, SplitsAsWindowsProgramsDo)
{
    EXPECT_EQ(Split_Windows_Command_Line(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(SplitCase{"Empty", "", {}},
                      SplitCase{"OnlyBlanks", " \t ", {}},
                      SplitCase{"BlanksSeparate", "-remove  /quiet\tnow", {"-remove", "/quiet", "now"}},
                      SplitCase{"QuotesGroup", "\"C:\\Program Files\\x\" -y", {"C:\\Program Files\\x", "-y"}},
                      SplitCase{"QuotesInsideWord", "a\"b c\"d", {"ab cd"}},
                      SplitCase{"EmptyQuotedArgument", "a \"\" b", {"a", "", "b"}},
                      SplitCase{"UnclosedQuoteRunsToEnd", "\"a b", {"a b"}},
                      SplitCase{"BackslashesWithoutQuoteStay", "C:\\dir\\ D:\\\\x", {"C:\\dir\\", "D:\\\\x"}},
                      SplitCase{"OddBackslashesEscapeQuote", "a\\\"b", {"a\"b"}},
                      SplitCase{"EvenBackslashesBeforeQuoteHalve", "\"a\\\\\" b", {"a\\", "b"}},
                      SplitCase{"DoubledQuoteInsideQuotes", "\"say \"\"hi\"\"\"", {"say \"hi\""}}),
    [](const auto& info) { return std::string(info.param.name); });

struct NativePathCase {
    const char* name;
    const char* path;
    const char* drive_root;
    const char* native;
};

void PrintTo(const NativePathCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class NativePathTest : public ::testing::TestWithParam<NativePathCase> {};

TEST_P(NativePathTest, TurnsWindowsPathsIntoThisSystemsPaths)
{
    EXPECT_EQ(PosixShell::Native_Path(GetParam().path, GetParam().drive_root), GetParam().native);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NativePathTest,
    ::testing::Values(
        NativePathCase{"DriveRelativeStartsAtMountPoint", "\\HbkSetup\\Hover.wav", "/media/disc", "/media/disc/HbkSetup/Hover.wav"},
        NativePathCase{"DriveRelativeOnRootFileSystem", "\\HbkSetup\\Hover.wav", "/", "/HbkSetup/Hover.wav"},
        NativePathCase{"AbsoluteWithWindowsTail", "/opt/qmrt\\HbkSetup\\Click.wav", "/media/disc", "/opt/qmrt/HbkSetup/Click.wav"},
        NativePathCase{"DriveLetterIsCurrentDrive", "C:\\Game\\bin\\game.exe", "/media/disc", "/media/disc/Game/bin/game.exe"},
        NativePathCase{"RelativeStaysRelative", "bin\\game.exe", "/media/disc", "bin/game.exe"},
        NativePathCase{"DoubledBackslashKept", "/opt/qmrt\\\\HbkSetup", "/", "/opt/qmrt//HbkSetup"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PosixShellTest, MountPointIsWhereTheFileSystemStarts)
{
    EXPECT_EQ(PosixShell::Mount_Point("/"), "/");
    EXPECT_EQ(PosixShell::Mount_Point("/proc/self/fd"), "/proc");
    EXPECT_EQ(PosixShell::Mount_Point("relative/dir"), "/");
    EXPECT_EQ(PosixShell::Mount_Point("/no/such/directory"), "/");
}

TEST(PosixShellTest, AddressesAreNotDriveLetters)
{
    EXPECT_TRUE(PosixShell::Is_Address("http://www.hollowbrook.example/"));
    EXPECT_TRUE(PosixShell::Is_Address("mailto:support@hollowbrook.example"));
    EXPECT_FALSE(PosixShell::Is_Address("C:\\Game\\game.exe"));
    EXPECT_FALSE(PosixShell::Is_Address("/opt/a:b"));
    EXPECT_FALSE(PosixShell::Is_Address("ReadMe.txt"));
}

namespace {

class ShellExecuteTest : public ::testing::Test {
protected:
    ShellExecuteTest()
    {
        char pattern[] = "/tmp/vestibar-shell-XXXXXX";
        root_ = ::mkdtemp(pattern);
        std::filesystem::create_directory(root_ + "/game");
    }
    ~ShellExecuteTest() override { std::filesystem::remove_all(root_); }

    std::string Write_File(const std::string& name, const std::string& text, mode_t mode)
    {
        std::string path = root_ + "/" + name;
        std::ofstream(path) << text;
        ::chmod(path.c_str(), mode);
        return path;
    }

    // Everything the started program writes into the pipe at path, read until it closes the
    // pipe: its end is the sign that it ran. Opened without blocking, so a program that never
    // starts fails the test at the deadline instead of hanging it.
    static std::string Read_Pipe_Until_Closed(const std::string& path)
    {
        const int pipe = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        if (pipe < 0) return "cannot open " + path;
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                   std::chrono::steady_clock::now());
            pollfd ready{pipe, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
            char bytes[256];
            const ssize_t count = ::read(pipe, bytes, sizeof bytes);
            if (count > 0) {
                text.append(bytes, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EAGAIN) {
                break;  // the writer closed the pipe
            }
        }
        ::close(pipe);
        return text;
    }

    std::string root_;
};

}  // namespace

TEST_F(ShellExecuteTest, StartsProgramWithSplitArgumentsInItsFolder)
{
    std::string marker = root_ + "/marker";
    ASSERT_EQ(::mkfifo(marker.c_str(), 0600), 0);
    Write_File("game/game.exe",
               "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; echo end; } > " + marker + "\n", 0755);
    // Written as Windows paths: backslashes separate.
    int result = PosixShell::Execute("", root_ + "\\game\\game.exe", "-a \"two words\" x\\\"y", root_ + "\\game", "/");
    EXPECT_GT(result, 32);
    EXPECT_EQ(Read_Pipe_Until_Closed(marker), root_ + "/game\n[-a]\n[two words]\n[x\"y]\nend\n");
}

struct ShellRefusalCase {
    const char* name;
    const char* verb;
    const char* file;  // relative to the test's folder
    const char* directory;
    int result;
};

void PrintTo(const ShellRefusalCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class ShellRefusalTest : public ShellExecuteTest, public ::testing::WithParamInterface<ShellRefusalCase> {};

TEST_P(ShellRefusalTest, ReportsTheShellsResult)
{
    Write_File("game/broken.exe", "\x7f" "ELF not really", 0755);
    std::string directory = GetParam().directory[0] != '\0' ? root_ + "/" + GetParam().directory : std::string();
    EXPECT_EQ(PosixShell::Execute(GetParam().verb, root_ + "/" + GetParam().file, "", directory, "/"),
              GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ShellRefusalTest,
    ::testing::Values(ShellRefusalCase{"MissingProgram", "", "game/none.exe", "game", PosixShell::FILE_NOT_FOUND},
                      ShellRefusalCase{"MissingDocument", "open", "docs/ReadMe.txt", "docs", PosixShell::FILE_NOT_FOUND},
                      ShellRefusalCase{"MissingFolderOnTheWay", "", "nowhere/game.exe", "", PosixShell::FILE_NOT_FOUND},
                      ShellRefusalCase{"MissingWorkingDirectory", "", "game/broken.exe", "gone", PosixShell::FILE_NOT_FOUND},
                      ShellRefusalCase{"NotAProgramAfterAll", "", "game/broken.exe", "game", PosixShell::OTHER_FAILURE},
                      ShellRefusalCase{"UnknownVerb", "print", "game/broken.exe", "game", PosixShell::OTHER_FAILURE}),
    [](const auto& info) { return std::string(info.param.name); });

struct KindCase {
    const char* name;
    SystemProbes::DeviceKind kind;
    bool rasterizes;
    bool transforms;
    bool sufficient;
};

void PrintTo(const KindCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class GraphicsAdapterTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(GraphicsAdapterTest, DeviceKindGivesCapabilities)
{
    LauncherPlatformClass::GraphicsAdapter adapter = SystemProbes::Adapter_Of(0x1002, 0x73bf, GetParam().kind);
    EXPECT_EQ(adapter.vendor_id, 0x1002u);
    EXPECT_EQ(adapter.device_id, 0x73bfu);
    EXPECT_EQ((adapter.device_capabilities & LauncherPlatformClass::CAPS_HARDWARE_RASTERIZATION) != 0,
              GetParam().rasterizes);
    EXPECT_EQ((adapter.device_capabilities & LauncherPlatformClass::CAPS_HARDWARE_TRANSFORM_AND_LIGHT) != 0,
              GetParam().transforms);
    EXPECT_EQ(SystemCheckClass::Is_Adapter_Sufficient(adapter), GetParam().sufficient);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GraphicsAdapterTest,
    ::testing::Values(KindCase{"DiscreteGpu", SystemProbes::DeviceKind::DiscreteGpu, true, true, true},
                      KindCase{"IntegratedGpu", SystemProbes::DeviceKind::IntegratedGpu, true, true, true},
                      KindCase{"VirtualGpu", SystemProbes::DeviceKind::VirtualGpu, true, true, true},
                      KindCase{"OtherDevice", SystemProbes::DeviceKind::Other, true, false, false},
                      KindCase{"CpuRenderer", SystemProbes::DeviceKind::Cpu, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemProbesTest, ProbesAnswerWithoutCrashingOnThisMachine)
{
    // Whatever the machine has, the probes return an outcome; adapters only with a runtime.
    LauncherPlatformClass::GraphicsProbe probe = SystemProbes::Probe_Graphics();
    if (probe.runtime != LauncherPlatformClass::GraphicsRuntime::Present || !probe.device_created) {
        EXPECT_TRUE(probe.adapters.empty());
    }
    SystemProbes::Probe_Sound_Device();
}
