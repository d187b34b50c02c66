#include "ToolTestSupport.h"

#include "data/Crc32.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <functional>

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string text)
{
    for (char& byte : text) {
        byte = static_cast<char>(std::toupper(static_cast<unsigned char>(byte)));
    }
    return text;
}

// Member contents of many sizes, the empty one included, each different.
std::string Content_Of(int index)
{
    std::string bytes;
    const int size = (index * 37) % 700;
    for (int offset = 0; offset < size; ++offset) {
        bytes += static_cast<char>((index * 131 + offset * 7) & 0xFF);
    }
    return bytes;
}

// ---- create, list, extract ---------------------------------------------------------------

TEST(MegaRoundTrip, TenThousandFilesComeBackWithIdenticalBytesAndATableSortedByCrc)
{
    constexpr int COUNT = 10000;
    const fs::path work = Fresh_Folder("work");
    std::vector<std::string> names;
    for (int index = 0; index < COUNT; ++index) {
        names.push_back("Data/Set" + std::to_string(index % 40) + "/file_" + std::to_string(index) + ".bin");
        Write_File(work / "source" / names.back(), Content_Of(index));
    }

    const ToolRunStruct created = Run_Tool({"mega", "create", "all.meg", "source"}, work);
    ASSERT_EQ(created.Status, 0) << created.Err;

    const ToolRunStruct listed = Run_Tool({"mega", "list", "all.meg"}, work);
    ASSERT_EQ(listed.Status, 0) << listed.Err;
    const std::vector<std::string> lines = Lines_Of(listed.Out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(COUNT) + 1);  // a heading, then one line a member
    unsigned long previous_crc = 0;
    for (std::size_t line = 1; line < lines.size(); ++line) {
        char name[300] = {0};
        unsigned size = 0;
        unsigned long crc = 0;
        long long offset = 0;
        ASSERT_EQ(std::sscanf(lines[line].c_str(), "%u %lx %lld %299s", &size, &crc, &offset, name), 4) << lines[line];
        EXPECT_LE(previous_crc, crc) << "table out of CRC order at " << name;
        EXPECT_EQ(crc, Crc32(std::string(name))) << name;
        EXPECT_EQ(std::string(name).find('/'), std::string::npos) << "names are stored with backslashes";
        previous_crc = crc;
    }

    const ToolRunStruct extracted = Run_Tool({"mega", "extract", "all.meg", "out"}, work);
    ASSERT_EQ(extracted.Status, 0) << extracted.Err;
    for (int index = 0; index < COUNT; ++index) {
        const fs::path file = work / "out" / Upper(names[index]);
        ASSERT_TRUE(fs::exists(file)) << file;
        ASSERT_EQ(Read_File(file), Content_Of(index)) << file;
    }
}

TEST(MegaExtract, NamedMembersOnlyAndNothingOverwrittenWithoutForce)
{
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "source" / "a.txt", "first");
    Write_File(work / "source" / "sub" / "b.txt", "second");
    ASSERT_EQ(Run_Tool({"mega", "create", "two.meg", "source"}, work).Status, 0);

    // Lookups take any case and either slash, as the game's do.
    ToolRunStruct run = Run_Tool({"mega", "extract", "two.meg", "out", "sub/b.txt"}, work);
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(Read_File(work / "out" / "SUB" / "B.TXT"), "second");
    EXPECT_FALSE(fs::exists(work / "out" / "A.TXT"));

    Write_File(work / "out" / "SUB" / "B.TXT", "edited");
    run = Run_Tool({"mega", "extract", "two.meg", "out"}, work);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("--force"), std::string::npos) << run.Err;
    EXPECT_EQ(Read_File(work / "out" / "SUB" / "B.TXT"), "edited");
    EXPECT_EQ(Read_File(work / "out" / "A.TXT"), "first");

    run = Run_Tool({"mega", "extract", "two.meg", "out", "--force"}, work);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(Read_File(work / "out" / "SUB" / "B.TXT"), "second");

    run = Run_Tool({"mega", "extract", "two.meg", "out", "missing.txt"}, work);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("two.meg: holds no member \"missing.txt\""), std::string::npos) << run.Err;
}

struct HostileNameStruct {
    const char* Name;
    const char* Reason;
};

TEST(MegaExtract, NamesLeadingOutsideTheTargetAreRefusedAndNothingLandsOutside)
{
    const HostileNameStruct HOSTILE[] = {
        {"..\\..\\evil", "\"..\""},
        {"SUB\\..\\..\\evil_too", "\"..\""},
        {"\\absolute_evil", "absolute"},
        {"/slash_evil", "absolute"},
        {"C:\\drive_evil", "drive letter"},
    };
    std::vector<RawMemberStruct> members{{"GOOD.TXT", "kept"}};
    for (const HostileNameStruct& hostile : HOSTILE) {
        members.push_back({hostile.Name, "evil"});
    }
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "hostile.meg", Raw_Archive(members));
    fs::create_directories(work / "a" / "b" / "target");

    const ToolRunStruct run = Run_Tool({"mega", "extract", "../../../hostile.meg", "."}, work / "a" / "b" / "target");
    EXPECT_EQ(run.Status, 1);
    for (const HostileNameStruct& hostile : HOSTILE) {
        EXPECT_NE(run.Err.find("refused \"" + std::string(hostile.Name) + "\""), std::string::npos) << hostile.Name;
        EXPECT_NE(run.Err.find(hostile.Reason), std::string::npos) << hostile.Name;
    }
    EXPECT_EQ(Read_File(work / "a" / "b" / "target" / "GOOD.TXT"), "kept");
    for (const auto& entry : fs::recursive_directory_iterator(work)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find("evil"), std::string::npos) << "written: " << entry.path();
    }
}

TEST(MegaExtract, ALinkPlantedInTheTargetDoesNotLeadOutside)
{
#if defined(_WIN32)
    GTEST_SKIP() << "POSIX only: mingw's std::filesystem cannot create symbolic links";
#endif
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "linked.meg", Raw_Archive({{"DATA\\PAYLOAD.TXT", "payload"}, {"TOP.TXT", "top"}}));
    fs::create_directories(work / "outside");
    fs::create_directories(work / "target");
    fs::create_directory_symlink(work / "outside", work / "target" / "DATA");
    fs::create_symlink(work / "outside" / "top.txt", work / "target" / "TOP.TXT");

    const ToolRunStruct run = Run_Tool({"mega", "extract", "linked.meg", "target", "--force"}, work);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("symbolic link"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("not a plain file"), std::string::npos) << run.Err;
    EXPECT_TRUE(fs::is_empty(work / "outside"));
}

// ---- create --------------------------------------------------------------------------------

// Two names of the stored form with one CRC (D1825985), found once by a birthday search.
std::pair<std::string, std::string> Colliding_Names()
{
    return {"W6XGD4JC0P.TXT", "CBKV9HRNOX.TXT"};
}

TEST(MegaCreate, TwoNamesWithOneCrcAreRefusedNamingBoth)
{
    const auto names = Colliding_Names();
    ASSERT_EQ(Crc32(names.first), Crc32(names.second));
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "source" / names.first, "one");
    Write_File(work / "source" / names.second, "two");

    const ToolRunStruct run = Run_Tool({"mega", "create", "clash.meg", "source"}, work);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find(names.first), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find(names.second), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(work / "clash.meg"));
}

TEST(MegaCreate, FilesAreNamedByTheirPathAndAnExistingArchiveNeedsForce)
{
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "Data" / "Xml" / "one.xml", "1");
    Write_File(work / "loose.txt", "2");

    ToolRunStruct run = Run_Tool({"mega", "create", "files.meg", "Data/Xml/one.xml", "./loose.txt"}, work);
    ASSERT_EQ(run.Status, 0) << run.Err;
    run = Run_Tool({"mega", "list", "files.meg", "--json"}, work);
    EXPECT_NE(run.Out.find("\"name\": \"DATA\\\\XML\\\\ONE.XML\""), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("\"name\": \"LOOSE.TXT\""), std::string::npos) << run.Out;

    run = Run_Tool({"mega", "create", "files.meg", "loose.txt"}, work);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("files.meg: exists"), std::string::npos) << run.Err;
    EXPECT_EQ(Run_Tool({"mega", "create", "files.meg", "loose.txt", "--force"}, work).Status, 0);

    run = Run_Tool({"mega", "create", "outside.meg", "../elsewhere.txt"}, work);
    EXPECT_EQ(run.Status, 1);
}

// ---- verify --------------------------------------------------------------------------------

void Poke32(std::string& image, std::size_t offset, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        image[offset + shift / 8] = static_cast<char>(value >> shift);
    }
}

struct DamageStruct {
    const char* Fault;  // the fault it would catch, and a test name
    std::function<void(std::string& image, std::size_t table)> Damage;
    const char* Expected;
};

TEST(MegaVerify, NamesEachFaultOfADamagedArchive)
{
    const std::vector<RawMemberStruct> members{{"ALPHA.TXT", "aaaa"}, {"BETA.TXT", "bb"}, {"GAMMA.TXT", "g"}};
    const std::string sound = Raw_Archive(members);
    const std::size_t table = 8 + (2 + 9) + (2 + 8) + (2 + 9);
    const DamageStruct DAMAGES[] = {
        {"record count zero", [](std::string& image, std::size_t) { Poke32(image, 0, 0); }, "the record count is 0"},
        {"file table past the end", [](std::string& image, std::size_t) { Poke32(image, 0, 1000); },
         "the file table of 1000 records"},
        {"truncated in the name table", [](std::string& image, std::size_t) { image.resize(14); },
         "damaged.meg: name 0 (9 bytes at offset 10) runs past the end of the file"},
        {"index field", [](std::string& image, std::size_t t) { Poke32(image, t + 20 + 4, 7); },
         "record 1: its index field is 7, not 1"},
        {"name index", [](std::string& image, std::size_t t) { Poke32(image, t + 16, 9); },
         "record 0: its name index 9 is outside the name table of 3 entries"},
        {"data past the end", [](std::string& image, std::size_t t) { Poke32(image, t + 40 + 12, 5000); },
         "record 2: its data"},
        {"data inside the header", [](std::string& image, std::size_t t) { Poke32(image, t + 12, 4); },
         "record 0: its data"},
        {"unsorted table",
         [](std::string& image, std::size_t t) {
             const std::string first = image.substr(t, 20);
             image.replace(t, 20, image.substr(t + 20, 20));
             image.replace(t + 20, 20, first);
             Poke32(image, t + 4, 0);
             Poke32(image, t + 24, 1);
         },
         "not sorted by CRC: record 1"},
        {"name CRC", [](std::string& image, std::size_t) { image[8 + 2] = 'X'; }, "the CRC of its name \"XLPHA.TXT\""},
        {"name not stored form", [](std::string& image, std::size_t) { image[8 + 2] = 'a'; },
         "is not in stored form"},
    };

    const fs::path work = Fresh_Folder("work");
    Write_File(work / "sound.meg", sound);
    const ToolRunStruct intact = Run_Tool({"mega", "verify", "sound.meg"}, work);
    EXPECT_EQ(intact.Status, 0) << intact.Out;
    EXPECT_NE(intact.Out.find("sound.meg: OK, 3 members"), std::string::npos);

    for (const DamageStruct& damage : DAMAGES) {
        std::string image = sound;
        damage.Damage(image, table);
        Write_File(work / "damaged.meg", image);
        const ToolRunStruct run = Run_Tool({"mega", "verify", "damaged.meg"}, work);
        EXPECT_EQ(run.Status, 1) << damage.Fault;
        EXPECT_NE(run.Out.find(damage.Expected), std::string::npos)
            << damage.Fault << ":\n" << run.Out;
    }
}

// ---- usage ---------------------------------------------------------------------------------

struct UsageCaseStruct {
    std::vector<std::string> Arguments;
    int Status;
    const char* Said;  // in stdout for help, in stderr otherwise
};

TEST(MegaUsage, ExitStatusesAndMessagesNameTheFile)
{
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "junk.meg", "not an archive at all");
    const UsageCaseStruct CASES[] = {
        {{"mega", "--help"}, 0, "cognexa mega list ARCHIVE"},
        {{"mega"}, 2, "which mega command"},
        {{"mega", "shuffle", "x.meg"}, 2, "unknown mega command \"shuffle\""},
        {{"mega", "list"}, 2, "list wants one archive"},
        {{"mega", "list", "a.meg", "--frob"}, 2, "unknown option --frob"},
        {{"mega", "list", "junk.meg"}, 1, "junk.meg: cannot be opened as a mega file"},
        {{"mega", "list", "absent.meg"}, 1, "absent.meg: no such file"},
        {{"mega", "verify", "junk.meg"}, 1, "junk.meg: "},
        {{"mega", "create", "new.meg", "nothing-here"}, 1, "nothing-here: no such file or folder"},
        {{}, 2, "usage: cognexa COMMAND"},
        {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        {{"--help"}, 0, "usage: cognexa COMMAND"},
    };
    for (const UsageCaseStruct& usage : CASES) {
        const ToolRunStruct run = Run_Tool(usage.Arguments, work);
        EXPECT_EQ(run.Status, usage.Status) << usage.Said;
        const std::string& said = usage.Status == 0 ? run.Out : run.Err + run.Out;
        EXPECT_NE(said.find(usage.Said), std::string::npos) << usage.Said << " in:\n" << said;
    }
}

}  // namespace
