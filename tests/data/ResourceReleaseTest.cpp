// What a damaged or abandoned file leaves behind: these cases are written for the sanitizer run,
// where LeakSanitizer fails any that keeps memory, a stream or a tree past its owner.
#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaArchiveClass.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/XMLReaderClass.h>

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <tuple>

using namespace DataTest;

namespace {

const MemberListType Members = {{"DATA\\A.XML", "<?xml?><R><A>1</A></R>"},
                                {"DATA\\B.XML", std::string(3000, 'b')},
                                {"DATA\\SUB\\C.XML", "c"}};

// Removal by id, by path and all at once, each while members are open in every way the
// manager hands them out, in both archive modes.
struct RemovalCase {
    const char* name;
    bool (*remove)(MegaFileManagerClass& manager, int id, const std::string& path);
};

void PrintTo(const RemovalCase& removal, std::ostream* out)
{
    *out << removal.name;
}

const RemovalCase Removals[] = {
    {"ById", [](MegaFileManagerClass& manager, int id, const std::string&) { return manager.Remove_Mega_File(id); }},
    {"ByPath", [](MegaFileManagerClass& manager, int, const std::string& path) { return manager.Remove_Mega_File(path); }},
    {"All", [](MegaFileManagerClass& manager, int, const std::string&) { return manager.Remove_All_Mega_Files(); }},
};

class RemovalWithOpenMembers : public ::testing::TestWithParam<std::tuple<RemovalCase, int>> {};

TEST_P(RemovalWithOpenMembers, ClosesEveryMemberAndLeavesTheirFileObjectsFailingSafely)
{
    const RemovalCase& removal = std::get<0>(GetParam());
    const int mode = std::get<1>(GetParam());
    ScratchDirectory dir;
    Write_Archive(dir / "open.meg", Members);
    MegaFileManagerClass manager;
    FileManagerBinding binding(&manager);
    const int id = manager.Add_Mega_File(dir / "open.meg", mode, false);
    ASSERT_NE(id, -1);

    const int raw_handle = manager.Open_Sub_File("data\\a.xml");
    ASSERT_NE(raw_handle, -1);
    FileStreamClass file_object;
    ASSERT_TRUE(file_object.Open("Data/B.xml", FileStreamClass::ACCESS_READ, true));
    char buffer[16];
    ASSERT_EQ(file_object.Read(buffer, sizeof buffer), 16);
    unsigned int size = 0;
    ASSERT_NE(manager.Load_Sub_File_Data(id, 1, size), nullptr) << "a block left unreleased";

    ASSERT_TRUE(removal.remove(manager, id, dir / "open.meg"));

    EXPECT_FALSE(manager.Is_Sub_File_Open(raw_handle));
    EXPECT_EQ(manager.Read_Sub_File(raw_handle, buffer, sizeof buffer), -1);
    EXPECT_FALSE(manager.Close_Sub_File(raw_handle));
    EXPECT_EQ(file_object.Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(file_object.Seek(0, 0), -1);
    EXPECT_EQ(manager.Open_Sub_File("DATA\\A.XML"), -1);
}

INSTANTIATE_TEST_SUITE_P(BothModes, RemovalWithOpenMembers,
                         ::testing::Combine(::testing::ValuesIn(Removals), ::testing::Values(0, 1)),
                         [](const ::testing::TestParamInfo<std::tuple<RemovalCase, int>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == 0 ? "Streamed" : "InMemory");
                         });

TEST(ManagerDestruction, ReleasesArchivesOpenMembersAndEnumerationsStillInUse)
{
    ScratchDirectory dir;
    Write_Archive(dir / "first.meg", Members);
    Write_Archive(dir / "second.meg", Members);
    auto manager = std::make_unique<MegaFileManagerClass>();
    ASSERT_NE(manager->Add_Mega_File(dir / "first.meg", 0, false), -1);
    ASSERT_NE(manager->Add_Mega_File(dir / "second.meg", 1, true), -1);
    ASSERT_NE(manager->Open_Sub_File("DATA\\A.XML"), -1);
    WIN32_FIND_DATAA found;
    ASSERT_NE(manager->Find_First("DATA\\*.XML", &found), -1) << "an enumeration never closed";
    manager.reset();
}

TEST(ArchiveClose, FreesBlocksThatWereNeverReleased)
{
    ScratchDirectory dir;
    Write_Archive(dir / "blocks.meg", Members);
    for (int mode : {0, 1}) {
        MegaArchiveClass archive;
        ASSERT_TRUE(archive.Open(dir / "blocks.meg", mode));
        for (int index = 1; index < 3; ++index) archive.Load_Sub_File_Data(index);
        const void* released = archive.Load_Sub_File_Data(0);
        ASSERT_NE(released, nullptr);
        EXPECT_TRUE(archive.Release_Sub_File_Data(released));
        EXPECT_FALSE(archive.Release_Sub_File_Data(released)) << "released twice";
        EXPECT_TRUE(archive.Close());
        EXPECT_TRUE(archive.Open(dir / "blocks.meg", mode)) << "reopened after close";
    }
}

// A reader whose load failed at each stage is destroyed, or loaded again, without keeping
// the buffer or the part of the tree it had built.
struct FailedLoadCase {
    const char* name;
    const char* content;
    XMLResultType expected;
};

void PrintTo(const FailedLoadCase& load, std::ostream* out)
{
    *out << load.name;
}

const FailedLoadCase FailedLoads[] = {
    {"MissingFile", nullptr, XML_SYNTAX_ERROR},
    {"NoHeader", "<R><A/></R>", XML_SYNTAX_ERROR},
    {"BrokenPrologComment", "<?xml?><!-- a -- b --><R><A/></R>", XML_SYNTAX_ERROR},
    {"EndTagMismatchDeepInTheTree", "<?xml?><R><A><B><C k=\"v\">x</C><D>y</d></B></A></R>", XML_SYNTAX_ERROR},
    {"EndsInsideAnElement", "<?xml?><R><A><B>text", XML_UNEXPECTED_END},
    {"EndsInsideAnAttribute", "<?xml?><R><A k=\"v", XML_UNEXPECTED_END},
    {"RootWithoutChildren", "<?xml?><R></R>", XML_SYNTAX_ERROR},
    {"TwoRoots", "<?xml?><R><A/></R><S><B/></S>", XML_SYNTAX_ERROR},
    {"BrokenEpilogComment", "<?xml?><R><A/></R><!-- x --->", XML_SYNTAX_ERROR},
};

class FailedXmlLoad : public ::testing::TestWithParam<FailedLoadCase> {
protected:
    void SetUp() override
    {
        if (GetParam().content != nullptr) Write_File(Bad, GetParam().content);
        Write_File(Good, "<?xml?><R><A k=\"v\">1</A><B/></R>");
    }

    // Every cursor operation fails, and nothing of an earlier document is left to read.
    static void Expect_Nothing_Readable(XMLReaderClass& reader)
    {
        std::string text = "untouched";
        EXPECT_LT(reader.Get_Tag_Name(text), 0);
        EXPECT_LT(reader.Get_Value(text), 0);
        EXPECT_EQ(text, "untouched");
        EXPECT_FALSE(reader.Get_Attribute("k", text));
        EXPECT_LT(reader.Move_To_First_Child(), 0);
        EXPECT_LT(reader.Move_To_Next_Sibling(), 0);
        EXPECT_LT(reader.Move_To_Parent(), 0);
    }

    ScratchDirectory Dir;
    NoticeCapture Notices;
    std::string Bad = Dir / "bad.xml";
    std::string Good = Dir / "good.xml";
};

TEST_P(FailedXmlLoad, ReleasesWhatItBuiltAndLeavesEveryCursorOperationFailing)
{
    XMLReaderClass reader;
    EXPECT_EQ(reader.Load_File(Bad, true), GetParam().expected);
    Expect_Nothing_Readable(reader);
}

TEST_P(FailedXmlLoad, DoesNotSpoilTheReaderForTheNextDocument)
{
    XMLReaderClass reader;
    EXPECT_EQ(reader.Load_File(Bad, false), GetParam().expected);
    ASSERT_EQ(reader.Load_File(Good, true), XML_OK);
    std::string value;
    EXPECT_EQ(reader.Get_Value(value), XML_OK);
    EXPECT_EQ(value, "1");
    EXPECT_TRUE(reader.Get_Attribute("k", value));
    EXPECT_EQ(value, "v");
    EXPECT_EQ(reader.Move_To_Next_Sibling(), XML_OK);
    EXPECT_EQ(reader.Get_Tag_Name(value), XML_OK);
    EXPECT_EQ(value, "B");
}

TEST_P(FailedXmlLoad, AfterAGoodDocumentLeavesNothingOfIt)
{
    XMLReaderClass reader;
    ASSERT_EQ(reader.Load_File(Good, true), XML_OK);
    EXPECT_EQ(reader.Load_File(Bad, true), GetParam().expected);
    Expect_Nothing_Readable(reader);
}

INSTANTIATE_TEST_SUITE_P(EveryStage, FailedXmlLoad, ::testing::ValuesIn(FailedLoads),
                         [](const ::testing::TestParamInfo<FailedLoadCase>& info) { return std::string(info.param.name); });

}  // namespace
