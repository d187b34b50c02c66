#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaFileManagerClass.h>

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace DataTest;

namespace {

struct FoundEntry {
    std::string name;
    bool directory;
    bool operator==(const FoundEntry& other) const { return name == other.name && directory == other.directory; }
};

std::ostream& operator<<(std::ostream& out, const FoundEntry& entry)
{
    return out << entry.name << (entry.directory ? "/" : "");
}

class MegaFileManagerTest : public ::testing::Test {
protected:
    std::string Archive(const std::string& name, const MemberListType& members)
    {
        Write_Archive(Dir / name, members);
        return Dir / name;
    }

    std::string Read_Member(const std::string& name)
    {
        const int handle = Manager.Open_Sub_File(name);
        if (handle == -1) return "<missing>";
        std::string bytes(64, '\0');
        const int got = Manager.Read_Sub_File(handle, &bytes[0], 64);
        EXPECT_TRUE(Manager.Close_Sub_File(handle));
        return got < 0 ? "<failed>" : bytes.substr(0, static_cast<std::size_t>(got));
    }

    // Every entry of an enumeration but "." and "..", in order.
    std::vector<FoundEntry> Enumerate(const std::string& path)
    {
        std::vector<FoundEntry> entries;
        WIN32_FIND_DATAA data;
        const int find = Manager.Find_First(path.c_str(), &data);
        if (find == -1) return entries;
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..") {
                entries.push_back({name, (data.dwFileAttributes & COGNEXA_FILE_ATTRIBUTE_DIRECTORY) != 0});
            }
        } while (Manager.Find_Next(find, &data));
        EXPECT_FALSE(Manager.Find_Next(find, &data)) << "after the end";
        EXPECT_FALSE(Manager.Find_Next(find, &data)) << "still after the end";
        EXPECT_TRUE(Manager.Find_Close(find));
        EXPECT_FALSE(Manager.Find_Close(find));
        return entries;
    }

    ScratchDirectory Dir;
    MegaFileManagerClass Manager;
};

}  // namespace

TEST_F(MegaFileManagerTest, ArchivesAreAddedOnceAndIdsNeverRepeatOrBecomeMinusOne)
{
    const std::string first = Archive("First.meg", {{"a.txt", "first"}});
    const std::string second = Archive("second.meg", {{"a.txt", "second"}});
    EXPECT_EQ(Manager.Add_Mega_File(first, 0, false), 0);
    EXPECT_EQ(Manager.Add_Mega_File(Dir / "FIRST.MEG", 0, false), -1) << "same path in other case";
    EXPECT_EQ(Manager.Add_Mega_File(Dir / "missing.meg", 0, false), -1);
    EXPECT_EQ(Manager.Add_Mega_File(second.c_str(), 1, false), 2) << "the failed add used up id 1";
    EXPECT_EQ(Manager.Add_Mega_File(static_cast<const char*>(nullptr), 0, false), -1);
    EXPECT_TRUE(Manager.Is_Mega_File_Loaded(Dir / "first.meg"));
    EXPECT_TRUE(Manager.Is_Valid_Mega_File_ID(2));
    EXPECT_FALSE(Manager.Is_Valid_Mega_File_ID(1));
    EXPECT_FALSE(Manager.Is_Valid_Mega_File_ID(-1));
    EXPECT_EQ(Read_Member("A.TXT"), "first") << "the archive added first wins";

    EXPECT_TRUE(Manager.Remove_Mega_File(Dir / "FIRST.meg"));
    EXPECT_FALSE(Manager.Remove_Mega_File(Dir / "FIRST.meg"));
    EXPECT_EQ(Read_Member("a.txt"), "second");
    EXPECT_FALSE(Manager.Remove_Mega_File(0));
    EXPECT_TRUE(Manager.Remove_Mega_File(2));
    EXPECT_FALSE(Manager.Remove_All_Mega_Files()) << "nothing loaded";
    EXPECT_EQ(Manager.Open_Sub_File("a.txt"), -1);
}

TEST_F(MegaFileManagerTest, HiddenArchivesAreReachedOnlyByTheirId)
{
    const int hidden = Manager.Add_Mega_File(Archive("hidden.meg", {{"Data/Secret.txt", "secret"}}), 1, true);
    ASSERT_NE(hidden, -1);
    EXPECT_EQ(Manager.Open_Sub_File("Data/Secret.txt"), -1);
    {
        EXPECT_TRUE(Enumerate("Data\\*").empty());
    }

    unsigned int size = 99;
    int index = 99;
    const void* data = Manager.Load_Sub_File_Data(hidden, "data\\secret.TXT", size, index);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(data), size), "secret");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(Manager.Get_Sub_File_Count(hidden), 1u);
    EXPECT_EQ(Manager.Get_Sub_File_Size(hidden, 0), 6u);
    EXPECT_NE(Manager.Get_Sub_File_CRC(hidden, 0), 0u);
    std::string name;
    Manager.Get_Sub_File_Name(hidden, 0, name);
    EXPECT_EQ(name, "DATA\\SECRET.TXT");
    EXPECT_TRUE(Manager.Release_Sub_File_Data(hidden, data));
    EXPECT_NE(Manager.Load_Sub_File_Data(hidden, 0, size), nullptr);
    EXPECT_EQ(size, 6u);
}

TEST_F(MegaFileManagerTest, UnknownIdsAndHandlesGiveTheFailureResults)
{
    const int id = Manager.Add_Mega_File(Archive("a.meg", {{"x", "1"}}), 0, false);
    unsigned int size = 7;
    int index = 7;
    EXPECT_EQ(Manager.Load_Sub_File_Data(id + 1, "x", size, index), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(Manager.Load_Sub_File_Data(id, "y", size, index), nullptr);
    size = 7;
    EXPECT_EQ(Manager.Load_Sub_File_Data(id, 5, size), nullptr) << "index beyond the table";
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(Manager.Load_Sub_File_Data(id, -1, size), nullptr);
    EXPECT_FALSE(Manager.Release_Sub_File_Data(id + 1, &size));
    EXPECT_EQ(Manager.Get_Sub_File_Size(id + 1, 0), 0u);
    EXPECT_EQ(Manager.Get_Sub_File_Size(id, 9), 0u);
    EXPECT_EQ(Manager.Get_Sub_File_CRC(id + 1, 0), 0u);
    EXPECT_EQ(Manager.Get_Sub_File_Count(id + 1), 0u);
    std::string name = "kept?";
    Manager.Get_Sub_File_Name(id + 1, 0, name);
    EXPECT_EQ(name, "");

    char buffer[4];
    for (int handle : {-1, 0, 12345}) {
        EXPECT_EQ(Manager.Read_Sub_File(handle, buffer, 4), -1);
        EXPECT_EQ(Manager.Seek_Sub_File(handle, 0, 0), -1);
        EXPECT_EQ(Manager.Get_Sub_File_Size(handle), 0);
        EXPECT_FALSE(Manager.Close_Sub_File(handle));
        EXPECT_FALSE(Manager.Is_Sub_File_Open(handle));
        WIN32_FIND_DATAA data;
        EXPECT_FALSE(Manager.Find_Next(handle, &data));
        EXPECT_FALSE(Manager.Find_Close(handle));
    }
    EXPECT_EQ(Manager.Open_Sub_File(""), -1);
    EXPECT_EQ(Manager.Open_Sub_File(static_cast<const char*>(nullptr)), -1);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(Manager.Find_First(nullptr, &data), -1);
    EXPECT_EQ(Manager.Find_First("*", nullptr), -1);
}

TEST_F(MegaFileManagerTest, OpenMembersHaveDistinctHandlesAndClampedReads)
{
    Manager.Add_Mega_File(Archive("a.meg", {{"Data/One.txt", "0123456789"}}), 0, false);
    const int first = Manager.Open_Sub_File("Data/One.txt");
    const int second = Manager.Open_Sub_File("data\\one.txt");
    ASSERT_NE(first, -1);
    ASSERT_NE(second, -1);
    EXPECT_NE(first, second);
    EXPECT_TRUE(Manager.Is_Sub_File_Open(first));
    EXPECT_EQ(Manager.Get_Sub_File_Size(first), 10);
    char buffer[32] = {};
    EXPECT_EQ(Manager.Read_Sub_File(first, buffer, 32), 10);
    EXPECT_EQ(Manager.Read_Sub_File(first, buffer, 32), 0);
    EXPECT_EQ(Manager.Read_Sub_File(first, buffer, -5), -1);
    EXPECT_EQ(Manager.Seek_Sub_File(second, -2, 2), 8);
    EXPECT_EQ(Manager.Read_Sub_File(second, buffer, 32), 2);
    EXPECT_TRUE(Manager.Close_Sub_File(first));
    EXPECT_FALSE(Manager.Is_Sub_File_Open(first));
    EXPECT_TRUE(Manager.Is_Sub_File_Open(second));
    EXPECT_TRUE(Manager.Remove_All_Mega_Files());
    EXPECT_FALSE(Manager.Is_Sub_File_Open(second)) << "removing an archive closes its members";
}

TEST_F(MegaFileManagerTest, LooseFilesComeFirstAndShadowMembersOfTheSameName)
{
    Write_File(Dir / "Data/XML/AI/PerceptualEquations/Alpha.xml", "loose");
    Write_File(Dir / "Data/XML/AI/PerceptualEquations/beta.XML", "loose");
    Manager.Add_Mega_File(Archive("eq.meg", {{"Data/XML/AI/PerceptualEquations/Gamma.xml", "g"},
                                             {"Data/XML/AI/PerceptualEquations/Alpha.xml", "a"},
                                             {"Data/XML/AI/PerceptualEquations/Beta.xml", "b"},
                                             {"Data/XML/AI/Other.xml", "o"}}),
                          0, false);
    const std::vector<FoundEntry> expected = {{"Alpha.xml", false}, {"beta.XML", false}, {"GAMMA.XML", false}};
    EXPECT_EQ(Enumerate(".\\Data\\XML\\AI\\PerceptualEquations\\*.XML"), expected);
    EXPECT_EQ(Enumerate("data/xml/ai/perceptualequations/*.*"), expected);
}

TEST_F(MegaFileManagerTest, SubdirectoriesAreReportedOnceAndMembersOfTwoArchivesOnce)
{
    Manager.Add_Mega_File(Archive("one.meg", {{"Data/Art/Ships/A.tga", ""},
                                              {"Data/Art/Ships/B.tga", ""},
                                              {"Data/Art/Units/C.tga", ""},
                                              {"Data/Art/Top.tga", ""},
                                              {"Data/Artwork.txt", ""}}),
                          0, false);
    Manager.Add_Mega_File(Archive("two.meg", {{"Data/Art/Top.tga", ""}, {"Data/Art/Ships/D.tga", ""}}), 1, false);
    Write_File(Dir / "Data/Art/Units/Loose.tga", "");

    std::vector<FoundEntry> all = Enumerate("Data\\Art\\*");
    std::multiset<std::string> names;
    for (const FoundEntry& entry : all) names.insert(entry.name + (entry.directory ? "/" : ""));
    EXPECT_EQ(names, (std::multiset<std::string>{"Units/", "SHIPS/", "TOP.TGA"}));

    EXPECT_EQ(Enumerate("Data\\Art\\S*"), (std::vector<FoundEntry>{{"SHIPS", true}}));
    // Members of one archive come in file-table order (by name CRC), archive after archive.
    std::vector<FoundEntry> ships = Enumerate("Data\\Art\\Ships\\*.TGA");
    ASSERT_EQ(ships.size(), 3u);
    EXPECT_EQ(std::set<std::string>({ships[0].name, ships[1].name}), (std::set<std::string>{"A.TGA", "B.TGA"}));
    EXPECT_EQ(ships[2], (FoundEntry{"D.TGA", false}));
    EXPECT_EQ(Enumerate("Data\\*.txt"), (std::vector<FoundEntry>{{"ARTWORK.TXT", false}}));
    EXPECT_TRUE(Enumerate("Data\\Nothing\\*").empty());
    WIN32_FIND_DATAA data;
    EXPECT_EQ(Manager.Find_First("Data\\Nothing\\*", &data), -1);
}

TEST_F(MegaFileManagerTest, TopLevelSearchesCoverMembersWithoutADirectory)
{
    Manager.Add_Mega_File(Archive("top.meg", {{"Readme.txt", ""}, {"Data/X.xml", ""}}), 0, false);
    ScratchDirectory empty_dir;
    EXPECT_EQ(Enumerate("*"), (std::vector<FoundEntry>{{"README.TXT", false}, {"DATA", true}}));
    EXPECT_EQ(Enumerate(".\\*.TXT"), (std::vector<FoundEntry>{{"README.TXT", false}}));
}

TEST_F(MegaFileManagerTest, NamesThatDoNotFitTheFindRecordAreLeftOut)
{
    const std::string long_name(258, 'L');
    Manager.Add_Mega_File(Archive("long.meg", {{"D/" + long_name + ".x", ""}, {"D/short.x", ""}}), 0, false);
    ScratchDirectory empty_dir;
    EXPECT_EQ(Enumerate("D\\*"), (std::vector<FoundEntry>{{"SHORT.X", false}}));
}

TEST_F(MegaFileManagerTest, ArchiveListAddsExistingNonEmptyEntriesInOrder)
{
    Archive("Data/first.meg", {{"name.txt", "first"}});
    Archive("Data/second.meg", {{"name.txt", "second"}, {"other.txt", "other"}});
    Write_File(Dir / "Data/MegaFiles.xml",
               "<?xml version=\"1.0\"?>\n<MegaFiles>\n"
               "  <File>Data\\First.meg</File>\n  <File>   </File>\n  <File>Data\\Missing.meg</File>\n"
               "  <Any>  Data\\second.meg </Any>\n  <File>data\\FIRST.MEG</File>\n</MegaFiles>\n");
    Manager.Load_Mega_File_List(nullptr);
    EXPECT_FALSE(Manager.Is_Valid_Mega_File_ID(0));
    Manager.Load_Mega_File_List((Dir.Path() + "/").c_str());
    EXPECT_TRUE(Manager.Is_Mega_File_Loaded(Dir / "Data\\First.meg"));
    EXPECT_TRUE(Manager.Is_Mega_File_Loaded(Dir / "Data\\second.meg"));
    EXPECT_TRUE(Manager.Is_Valid_Mega_File_ID(0));
    EXPECT_TRUE(Manager.Is_Valid_Mega_File_ID(2)) << "the missing archive used up id 1";
    EXPECT_FALSE(Manager.Is_Valid_Mega_File_ID(3)) << "the duplicate is skipped";
    EXPECT_EQ(Read_Member("name.txt"), "first");
    EXPECT_EQ(Read_Member("other.txt"), "other");

    MegaFileManagerClass without_list;
    without_list.Load_Mega_File_List((Dir.Path() + "/nowhere/").c_str());
    EXPECT_FALSE(without_list.Is_Valid_Mega_File_ID(0));
}

TEST_F(MegaFileManagerTest, ArchivesInsideArchivesOpenThroughTheFileObject)
{
    // An archive that is itself a member: its file object falls back to the manager, whose lock
    // is already held by the thread adding it.
    std::vector<unsigned char> inner = Archive_Image({{"Deep.txt", "deep"}});
    Manager.Add_Mega_File(Archive("outer.meg", {{"Inner.meg", std::string(inner.begin(), inner.end())}}), 0,
                          false);
    FileManagerBinding binding(&Manager);
    EXPECT_NE(Manager.Add_Mega_File("inner.meg", 0, false), -1);
    EXPECT_EQ(Read_Member("deep.txt"), "deep");
}

TEST_F(MegaFileManagerTest, EveryOpenOfAMemberInMemoryReadsFromItsStart)
{
    Manager.Add_Mega_File(Archive("memory.meg", {{"Data/Twice.txt", "0123456789"}}), 1, false);
    const int first = Manager.Open_Sub_File("Data/Twice.txt");
    const int second = Manager.Open_Sub_File("Data/Twice.txt");
    char buffer[16] = {};
    EXPECT_EQ(Manager.Read_Sub_File(first, buffer, 4), 4);
    EXPECT_EQ(Manager.Read_Sub_File(second, buffer, 16), 10) << "a second open is not moved by the first";
    EXPECT_EQ(Manager.Seek_Sub_File(first, 0, 1), 4);
    EXPECT_EQ(Manager.Seek_Sub_File(first, 2, 1), 6);
    EXPECT_EQ(Manager.Read_Sub_File(first, buffer, 16), 4);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    Manager.Close_Sub_File(first);
    Manager.Close_Sub_File(second);
    EXPECT_EQ(Read_Member("data/twice.txt"), "0123456789");
    EXPECT_EQ(Read_Member("data/twice.txt"), "0123456789") << "reading a file again gives it whole";
}
