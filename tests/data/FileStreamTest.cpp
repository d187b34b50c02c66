#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaFileManagerClass.h>

#include "DataTestSupport.h"

#include <gtest/gtest.h>

using namespace DataTest;

namespace {

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write_File(Dir / "Data/Loose.txt", "loose bytes");
        Write_Archive(Dir / "game.meg", {{"Data/Loose.txt", "member bytes"}, {"Data/Only.txt", "only in archive"}});
        ASSERT_NE(Manager.Add_Mega_File(Dir / "game.meg", 0, false), -1);
    }

    static std::string Read_All(FileStreamClass& file)
    {
        std::string bytes(256, '\0');
        const int got = file.Read(&bytes[0], 256);
        return got < 0 ? "<failed>" : bytes.substr(0, static_cast<std::size_t>(got));
    }

    ScratchDirectory Dir;
    MegaFileManagerClass Manager;
    FileManagerBinding Binding{&Manager};
};

}  // namespace

TEST_F(FileStreamTest, OpenChoosesBetweenLooseFileAndMember)
{
    struct Case {
        const char* what;
        const char* name;
        int mode;
        bool archives_only;
        const char* expected;  // null: the open fails
    } cases[] = {
        {"loose shadows member", "Data/Loose.txt", 0, false, "loose bytes"},
        {"backslashes and any case", "DATA\\loose.TXT", 0, false, "loose bytes"},
        {"archives only ignores loose", "Data/Loose.txt", 0, true, "member bytes"},
        {"member when not on disk", ".\\data\\only.txt", 0, false, "only in archive"},
        {"neither", "Data/None.txt", 0, false, nullptr},
        {"write to member-only name", "Data/Only.txt", 1, true, nullptr},
        {"bad mode", "Data/Loose.txt", 2, false, nullptr},
        {"empty name", "", 0, false, nullptr},
    };
    for (const Case& c : cases) {
        FileStreamClass file;
        const bool opened = file.Open(c.name, c.mode, c.archives_only);
        EXPECT_EQ(opened, c.expected != nullptr) << c.what;
        EXPECT_EQ(file.Is_Open(), opened) << c.what;
        if (opened) {
            EXPECT_EQ(Read_All(file), c.expected) << c.what;
            EXPECT_STREQ(file.Get_File_Name(), c.name) << c.what;
        }
    }
}

TEST_F(FileStreamTest, WritingAMemberOnlyNameFailsAndLeavesNoFile)
{
    FileStreamClass file;
    EXPECT_FALSE(file.Open((Dir / "Data/Only.txt"), 1, true));
    FileStreamClass relative("Data/Only.txt");
    EXPECT_FALSE(relative.Open(1, true));
    EXPECT_FALSE(File_Exists(Dir / "Data/Only.txt"));
}

TEST_F(FileStreamTest, WithoutAFileManagerOnlyLooseFilesOpen)
{
    TheHostBinding.File_Manager = nullptr;
    FileStreamClass file;
    EXPECT_FALSE(file.Open("Data/Only.txt", 0, false));
    EXPECT_FALSE(file.Open("Data/Loose.txt", 0, true));
    EXPECT_TRUE(file.Open("Data/Loose.txt", 0, false));
}

TEST_F(FileStreamTest, OperationResultsFollowTheOpenState)
{
    FileStreamClass closed;
    char byte;
    EXPECT_EQ(closed.Read(&byte, 1), -1);
    EXPECT_EQ(closed.Write(&byte, 1), -1);
    EXPECT_EQ(closed.Seek(0, 0), -1);
    EXPECT_EQ(closed.Tell(), -1);
    EXPECT_EQ(closed.Size(), -1);
    EXPECT_EQ(closed.Get_Time(), 0u);
    EXPECT_FALSE(closed.Close());
    EXPECT_FALSE(closed.Open(0, false)) << "no stored name";

    FileStreamClass writer("Data/New.bin");
    ASSERT_TRUE(writer.Open(1, false));
    EXPECT_FALSE(writer.Open("Data/Loose.txt", 0, false)) << "already open";
    EXPECT_EQ(writer.Write("abcdef", 6), 6);
    EXPECT_EQ(writer.Read(&byte, 1), -1) << "read on a writer";
    EXPECT_EQ(writer.Write(nullptr, 1), -1);
    EXPECT_EQ(writer.Seek(-2, 2), 4);
    EXPECT_EQ(writer.Seek(0, 3), -1);
    EXPECT_EQ(writer.Size(), 6);
    EXPECT_NE(writer.Get_Time(), 0u);
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(writer.Close());

    FileStreamClass member;
    ASSERT_TRUE(member.Open("Data/Only.txt", 0, false));
    EXPECT_EQ(member.Write("x", 1), -1) << "write on a member";
    EXPECT_EQ(member.Size(), 15);
    EXPECT_EQ(member.Seek(5, 0), 5);
    EXPECT_EQ(member.Tell(), 5);
    EXPECT_EQ(member.Seek(100, 1), 15);
    EXPECT_EQ(member.Read(&byte, 1), 0);
    EXPECT_EQ(member.Read(nullptr, 1), -1);
    EXPECT_EQ(member.Get_Time(), 0u);
    EXPECT_TRUE(member.Close());
    EXPECT_TRUE(member.Open("Data/Only.txt", 0, false)) << "a closed object is reusable";
}

TEST_F(FileStreamTest, CloseReportsAFailedCloseAndStillLeavesTheObjectClosed)
{
    Write_File(Dir / "Data/Failing.txt", "bytes");
    ASSERT_TRUE(Scratch_Files().Fail_Closes_Of(Dir / "Data/Failing.txt"));
    ASSERT_TRUE(Scratch_Files().Fail_Closes_Of(Dir / "game.meg"));
    struct Case {
        const char* what;
        const char* name;
        int mode;
        bool archives_only;
    } cases[] = {
        {"loose file read", "Data/Failing.txt", 0, false},
        {"loose file written", "Data/Failing.txt", 1, false},
        {"member of an archive whose close fails", "Data/Only.txt", 0, true},
    };
    for (const Case& c : cases) {
        FileStreamClass file;
        ASSERT_TRUE(file.Open(c.name, c.mode, c.archives_only)) << c.what;
        EXPECT_FALSE(file.Close()) << c.what;
        EXPECT_FALSE(file.Is_Open()) << c.what;
        EXPECT_TRUE(file.Open(c.name, c.mode, c.archives_only)) << c.what << ": reusable after the failure";
    }
}

TEST_F(FileStreamTest, MemberOfARemovedArchiveFailsInsteadOfReadingFreedState)
{
    FileStreamClass member;
    ASSERT_TRUE(member.Open("Data/Only.txt", 0, true));
    ASSERT_TRUE(Manager.Remove_All_Mega_Files());
    char bytes[4];
    EXPECT_EQ(member.Read(bytes, 4), -1);
    EXPECT_EQ(member.Seek(0, 0), -1);
    EXPECT_FALSE(member.Close());
}
