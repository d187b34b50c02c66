// First, so nothing else can have defined what the record header must not.
#include <cognexa/FindData.h>

#if !defined(_WIN32) && (defined(MAX_PATH) || defined(FILE_ATTRIBUTE_DIRECTORY) || defined(FILE_ATTRIBUTE_NORMAL) || \
                         defined(FILE_ATTRIBUTE_READONLY))
#error "<cognexa/FindData.h> defines names that <windows.h> owns"
#endif

#include "foundation/LibraryPlatformClass.h"
#include "foundation/NoticeDispatch.h"
#include "platform/memory/InstalledMemoryPlatformClass.h"

#include <cognexa/Notice.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include "platform/win32/Win32LibraryPlatformClass.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

// Hosts built against the Windows record read this one.
static_assert(sizeof(WIN32_FIND_DATAA) == 320 && offsetof(WIN32_FIND_DATAA, cFileName) == 44,
              "the find record keeps the Windows layout");

namespace {

constexpr std::uint64_t Ticks_At_Unix_Epoch = 116444736000000000ULL;

#if defined(_WIN32)
constexpr const char* Native_Name = "Win32";

std::string Make_Scratch_Directory()
{
    static int made = 0;
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() /
        ("cognexa-platform-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made));
    std::filesystem::create_directories(scratch);
    return scratch.string();
}

bool Set_Last_Write_Time(const std::string& path, std::uint64_t ticks)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const FILETIME written = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return set;
}
#else
constexpr const char* Native_Name = "Posix";

std::string Make_Scratch_Directory()
{
    char pattern[] = "/tmp/cognexa-platform-XXXXXX";
    return ::mkdtemp(pattern) != nullptr ? pattern : "";
}

bool Set_Last_Write_Time(const std::string& path, std::uint64_t ticks)
{
    const std::uint64_t since_unix = ticks - Ticks_At_Unix_Epoch;
    const struct timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(since_unix / 10000000ULL), static_cast<long>(since_unix % 10000000ULL) * 100}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}
#endif

// One file system for the behaviour cases: the native platform (POSIX or Win32) on a scratch
// directory, or the in-memory platform. All take the same names, so each case runs unchanged.
class PlatformFixture : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (Is_Memory()) {
            Root = "/scratch";
            Memory.Add_Directory(Root);
            Platform = &Memory;
        } else {
            Root = Make_Scratch_Directory();
            ASSERT_FALSE(Root.empty());
            Platform = Native_Library_Platform();
        }
    }
    void TearDown() override
    {
        if (!Is_Memory()) std::filesystem::remove_all(Root);
    }

    bool Is_Memory() const { return GetParam(); }
    // The native platform on Windows, which reports the file system's own attribute bits.
    bool Is_Windows_Disk() const
    {
#if defined(_WIN32)
        return !Is_Memory();
#else
        return false;
#endif
    }
    std::string Path(const std::string& relative) const { return Root + "/" + relative; }

    // ticks: the last-write time, as 100 ns ticks since 1601-01-01 at whole seconds after 1970.
    void Add_File(const std::string& relative, const std::string& contents,
                  std::uint64_t ticks = Ticks_At_Unix_Epoch + 10000000ULL)
    {
        if (Is_Memory()) {
            Memory.Add_File(Path(relative), contents, ticks);
            return;
        }
        std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
        std::ofstream(Path(relative), std::ios::binary) << contents;
        ASSERT_TRUE(Set_Last_Write_Time(Path(relative), ticks));
    }
    void Add_Directory(const std::string& relative)
    {
        if (Is_Memory()) {
            Memory.Add_Directory(Path(relative));
        } else {
            std::filesystem::create_directories(Path(relative));
        }
    }

    std::string Read(const std::string& name)
    {
        std::unique_ptr<PlatformFileClass> file = Platform->Open_File_For_Reading(name.c_str());
        if (file == nullptr) return "<missing>";
        std::string bytes(64, '\0');
        const int got = file->Read(&bytes[0], static_cast<int>(bytes.size()));
        return got < 0 ? "<failed>" : bytes.substr(0, static_cast<std::size_t>(got));
    }

    std::vector<std::string> Find_All(const std::string& path)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        std::unique_ptr<PlatformSearchClass> search = Platform->Find_First_File(path.c_str(), &data);
        if (search == nullptr) return names;
        do {
            names.push_back(data.cFileName);
        } while (search->Next(&data));
        EXPECT_FALSE(search->Next(&data));
        return names;
    }

    MemoryLibraryPlatformClass Memory;
    LibraryPlatformClass* Platform = nullptr;
    std::string Root;
};

INSTANTIATE_TEST_SUITE_P(NativeAndMemory, PlatformFixture, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Memory" : Native_Name);
                         });

}  // namespace

TEST_P(PlatformFixture, NamesWrittenForACaseInsensitiveFileSystemOpen)
{
    Add_File("Data/Xml/File.TXT", "exact");
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Data/Xml/File.TXT", "exact"},     {"data/xml/file.txt", "exact"},     {"DATA\\XML\\FILE.TXT", "exact"},
        {"Data\\Xml/file.Txt", "exact"},    {"Data/./Xml/File.TXT", "exact"},   {"data/nope/File.TXT", "<missing>"},
        {"Data/Xml/File.TXT2", "<missing>"}, {"Data/Xml", "<missing>"},         {"Data/Xml/File.TXT/", "<missing>"},
    };
    for (const Case& c : cases) EXPECT_EQ(Read(Path(c.name)), c.expected) << c.name;
    EXPECT_EQ(Platform->Open_File_For_Reading(nullptr), nullptr);
    EXPECT_EQ(Platform->Open_File_For_Reading(""), nullptr);
}

TEST_P(PlatformFixture, OfNamesDifferingOnlyInCaseTheExactOneOpensElseTheFirstInByteOrder)
{
    if (Is_Windows_Disk()) GTEST_SKIP() << "POSIX only: Windows cannot hold names that differ only in case";
    Add_File("dir/name.txt", "lower");
    Add_File("dir/NAME.TXT", "upper");
    Add_File("dir/Name.txt", "mixed");
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {{"DIR/nAmE.tXt", "upper"}, {"dir/name.txt", "lower"}, {"dir/Name.txt", "mixed"}};
    for (const Case& c : cases) EXPECT_EQ(Read(Path(c.name)), c.expected) << c.name;
}

TEST_P(PlatformFixture, CreateTruncatesResolvesTheDirectoryAndNeedsItToExist)
{
    Add_File("Save/Game.dat", "a long earlier content");
    std::unique_ptr<PlatformFileClass> file = Platform->Create_File_For_Writing(Path("SAVE\\game.DAT").c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Write("new", 3), 3);
    char byte;
    EXPECT_EQ(file->Read(&byte, 1), -1);
    file.reset();
    EXPECT_EQ(Read(Path("Save/Game.dat")), "new");

    ASSERT_NE(Platform->Create_File_For_Writing(Path("save/Other.dat").c_str()), nullptr);
    EXPECT_EQ(Read(Path("Save/Other.dat")), "");
    EXPECT_EQ(Platform->Create_File_For_Writing(Path("Missing/New.dat").c_str()), nullptr);
    EXPECT_EQ(Platform->Create_File_For_Writing(Path("Save").c_str()), nullptr);
    EXPECT_EQ(Platform->Create_File_For_Writing(Root.c_str()), nullptr);
}

TEST_P(PlatformFixture, SeekSizeReadAndTimeReportTheirResults)
{
    Add_File("ten.bin", "0123456789", Ticks_At_Unix_Epoch + 10000000ULL + 5ULL);
    std::unique_ptr<PlatformFileClass> file = Platform->Open_File_For_Reading(Path("ten.bin").c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 10);
    EXPECT_EQ(file->Last_Write_Time(), Ticks_At_Unix_Epoch + 10000000ULL + 5ULL);
    struct Case {
        int offset, origin, expected;
    } seeks[] = {{4, 0, 4}, {2, 1, 6}, {-3, 2, 7}, {0, 2, 10}, {5, 2, 15}, {-20, 0, -1}, {0, 3, -1}, {0, -1, -1}};
    for (const Case& seek : seeks) {
        EXPECT_EQ(file->Seek(seek.offset, seek.origin), seek.expected) << seek.offset << " from " << seek.origin;
    }
    file->Seek(8, 0);
    char bytes[8];
    EXPECT_EQ(file->Read(bytes, 8), 2);
    EXPECT_EQ(file->Read(bytes, 8), 0);
    EXPECT_EQ(file->Read(nullptr, 8), -1);
    EXPECT_EQ(file->Write("x", 1), -1);
    EXPECT_EQ(Platform->Open_File_For_Reading(Root.c_str()), nullptr);
}

TEST_P(PlatformFixture, WildcardsMatchIgnoringCaseAndComeSortedByName)
{
    for (const char* name : {"b.xml", "A.XML", "c.txt", "a.xmlx", "ab.XmL", "Sub/x.xml"}) Add_File(name, "");
    struct Case {
        const char* pattern;
        std::vector<std::string> expected;
    } cases[] = {
        {"*.xml", {"A.XML", "ab.XmL", "b.xml"}},
        {"?.XML", {"A.XML", "b.xml"}},
        {"*", {".", "..", "A.XML", "Sub", "a.xmlx", "ab.XmL", "b.xml", "c.txt"}},
        {"*.*", {".", "..", "A.XML", "Sub", "a.xmlx", "ab.XmL", "b.xml", "c.txt"}},
        {"a*x*", {"A.XML", "a.xmlx", "ab.XmL"}},
        {"*.none", {}},
        {"SUB", {"Sub"}},
        {"sub\\*", {".", "..", "x.xml"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Find_All(Root + "\\" + c.pattern), c.expected) << c.pattern;
}

TEST_P(PlatformFixture, SearchResolvesTheDirectoryIgnoringCaseAndReportsAttributes)
{
    Add_File("Data/Equations/One.xml", "12345", Ticks_At_Unix_Epoch + 20000000ULL);
    Add_Directory("Data/Equations/Deeper");
    WIN32_FIND_DATAA data;
    std::unique_ptr<PlatformSearchClass> search = Platform->Find_First_File(Path("DATA\\equations\\O*").c_str(), &data);
    ASSERT_NE(search, nullptr);
    EXPECT_STREQ(data.cFileName, "One.xml");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    if (Is_Windows_Disk()) {
        EXPECT_EQ(data.dwFileAttributes & COGNEXA_FILE_ATTRIBUTE_DIRECTORY, 0u);
    } else {
        EXPECT_EQ(data.dwFileAttributes, COGNEXA_FILE_ATTRIBUTE_NORMAL);
    }
    const std::uint64_t ticks = Ticks_At_Unix_Epoch + 20000000ULL;
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, static_cast<std::uint32_t>(ticks >> 32));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, static_cast<std::uint32_t>(ticks));

    search = Platform->Find_First_File(Path("data/EQUATIONS/deep*").c_str(), &data);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(data.dwFileAttributes & COGNEXA_FILE_ATTRIBUTE_DIRECTORY, COGNEXA_FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_EQ(Platform->Find_First_File(Path("missing/*").c_str(), &data), nullptr);
    EXPECT_EQ(Platform->Find_First_File(Path("Data/").c_str(), &data), nullptr);
    EXPECT_EQ(Platform->Find_First_File(nullptr, &data), nullptr);
}

TEST_P(PlatformFixture, LockIsRecursiveAndItsWaitIsBounded)
{
    std::unique_ptr<PlatformLockClass> lock = Platform->Create_Lock();
    ASSERT_TRUE(lock->Acquire(0));
    ASSERT_TRUE(lock->Acquire(0));
    auto other_thread = [&] {
        const bool got = lock->Acquire(20);
        if (got) lock->Release();
        return got;
    };
    EXPECT_FALSE(std::async(std::launch::async, other_thread).get());
    lock->Release();
    EXPECT_FALSE(std::async(std::launch::async, other_thread).get());
    lock->Release();
    EXPECT_TRUE(std::async(std::launch::async, other_thread).get());
}

TEST_P(PlatformFixture, ALockWhoseHolderThreadEndedIsFreeAgainWithoutTheOldDepth)
{
    std::unique_ptr<PlatformLockClass> lock = Platform->Create_Lock();
    auto other_thread = [&] {
        const bool got = lock->Acquire(0);
        if (got) lock->Release();
        return got;
    };
    std::thread ended_holding([&] { EXPECT_TRUE(lock->Acquire(0) && lock->Acquire(0)); });
    ended_holding.join();
    ASSERT_TRUE(lock->Acquire(0));
    lock->Release();
    EXPECT_TRUE(std::async(std::launch::async, other_thread).get());

    // A waiter already blocked when the holder ends gets the lock.
    std::promise<void> held, may_end;
    std::thread holder([&] {
        EXPECT_TRUE(lock->Acquire(0));
        held.set_value();
        may_end.get_future().wait();
    });
    held.get_future().wait();
    auto waiter = std::async(std::launch::async, [&] {
        const bool got = lock->Acquire(10000);
        if (got) lock->Release();
        return got;
    });
    may_end.set_value();
    holder.join();
    EXPECT_TRUE(waiter.get());
}

#if !defined(_WIN32)
TEST(PosixPlatform, OnlyRegularFilesOpenSoNothingBlocks)
{
    char pattern[] = "/tmp/cognexa-platform-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string pipe = std::string(pattern) + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    LibraryPlatformClass* platform = Native_Library_Platform();
    EXPECT_EQ(platform->Open_File_For_Reading(pipe.c_str()), nullptr);
    EXPECT_EQ(platform->Create_File_For_Writing(pipe.c_str()), nullptr);
    EXPECT_EQ(platform->Open_File_For_Reading("/dev/null"), nullptr);
    std::filesystem::remove_all(pattern);
}
#endif

TEST(NoticeDispatch, TheHostsHandlerWinsAndWithoutItThePlatformShowsTheNotice)
{
    static std::vector<std::string> handled;
    InstalledMemoryPlatformClass memory;
    Set_Notice_Handler([](const char* caption, const char* text) { handled.push_back(std::string(caption) + text); });
    Show_Notice("A", "1");
    Set_Notice_Handler(nullptr);
    Show_Notice("B", "2");
    EXPECT_EQ(handled, std::vector<std::string>{"A1"});
    EXPECT_EQ(memory.Notices(), (MemoryLibraryPlatformClass::NoticeListType{{"B", "2"}}));

#if defined(_WIN32)
    // The system's own form; a box is never opened here.
    const auto* native = dynamic_cast<Win32LibraryPlatformClass*>(Native_Library_Platform());
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(native->Notice_Box(), &MessageBoxA);
#else
    testing::internal::CaptureStderr();
    Native_Library_Platform()->Show_Notice("Caption", "text\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: text\n");
#endif
}
