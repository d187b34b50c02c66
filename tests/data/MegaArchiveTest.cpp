#include <cognexa/MegaArchiveClass.h>

#include "DataTestSupport.h"
#include "data/Crc32.h"
#include "data/NameHelpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace DataTest;

namespace {

// Two stored names with one CRC-32.
const char* const Colliding_Name_A = "Data\\W6XGD4JC0P.XML";
const char* const Colliding_Name_B = "data/cbkv9hrnox.xml";

const MemberListType Sample_Members = {
    {"Data/Art/Ship.tga", "0123456789"},
    {"Data/Xml/Empty.xml", ""},
    {"Readme.txt", "top level"},
};

struct ImageLayout {
    std::uint32_t record_count = 0;
    std::uint32_t names_end = 0;  // first byte of the file table
    std::uint32_t header_size = 0;
};

ImageLayout Layout_Of(const std::vector<unsigned char>& image)
{
    ImageLayout layout;
    std::memcpy(&layout.record_count, image.data(), 4);
    std::uint32_t name_count;
    std::memcpy(&name_count, image.data() + 4, 4);
    std::uint32_t at = 8;
    for (std::uint32_t i = 0; i < name_count; ++i) at += 2 + (image[at] | image[at + 1] << 8);
    layout.names_end = at;
    layout.header_size = at + 20 * layout.record_count;
    return layout;
}

void Put_Le32(std::vector<unsigned char>& image, std::size_t at, std::uint32_t value)
{
    std::memcpy(image.data() + at, &value, 4);
}

class MegaArchiveTest : public ::testing::TestWithParam<int> {
protected:
    int Mode() const { return GetParam(); }

    std::string Save(const std::vector<unsigned char>& image, const std::string& name = "test.meg")
    {
        Write_File(Dir / name, std::string(image.begin(), image.end()));
        return Dir / name;
    }

    std::string Member_Bytes(int index)
    {
        const std::uint32_t size = Archive.Get_Sub_File_Size(index);
        std::string bytes(size + 8, '\0');
        Archive.Seek_Sub_File(index, nullptr, 0, 0);
        const int got = Archive.Read_Sub_File(index, nullptr, &bytes[0], static_cast<int>(bytes.size()));
        return got < 0 ? "<failed>" : bytes.substr(0, static_cast<std::size_t>(got));
    }

    ScratchDirectory Dir;
    MegaArchiveClass Archive;
};

std::string Mode_Name(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? "Streamed" : "InMemory";
}

}  // namespace

TEST(Crc32, MatchesTheStandardCheckValue)
{
    EXPECT_EQ(Crc32(std::string("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32(std::string()), 0u);
    EXPECT_EQ(Crc32(Normalize_Member_Name(Colliding_Name_A)), Crc32(Normalize_Member_Name(Colliding_Name_B)));
}

TEST(MegaArchiveWriter, RefusesDuplicateNamesAndNamesSharingACrc)
{
    MegaArchiveWriterClass writer;
    EXPECT_TRUE(writer.Add_File(Colliding_Name_A, "a"));
    EXPECT_FALSE(writer.Add_File(".\\DATA/w6xgd4jc0p.xml", "again"));
    EXPECT_NE(writer.Get_Last_Error().find("DATA\\W6XGD4JC0P.XML"), std::string::npos);
    EXPECT_FALSE(writer.Add_File(Colliding_Name_B, "b"));
    EXPECT_NE(writer.Get_Last_Error().find("DATA\\W6XGD4JC0P.XML"), std::string::npos) << writer.Get_Last_Error();
    EXPECT_NE(writer.Get_Last_Error().find("DATA\\CBKV9HRNOX.XML"), std::string::npos) << writer.Get_Last_Error();
    EXPECT_FALSE(writer.Add_File("  ", "blank"));
    EXPECT_FALSE(writer.Add_File(std::string(261, 'N'), "too long"));
    EXPECT_EQ(writer.Get_File_Count(), 1);

    MegaArchiveWriterClass empty;
    std::vector<unsigned char> image;
    EXPECT_FALSE(empty.Write_To_Memory(image)) << "an archive needs a member";
}

TEST_P(MegaArchiveTest, LookupsFindMembersWrittenInAnyForm)
{
    ASSERT_TRUE(Archive.Open(Save(Archive_Image(Sample_Members)), Mode()));
    const int ship = Archive.Find_Sub_File("DATA\\ART\\SHIP.TGA");
    ASSERT_NE(ship, -1);
    for (const char* name : {"data/art/ship.tga", ".\\Data\\Art\\Ship.tga", "\\data\\ART\\ship.TGA",
                             "  ./Data/Art/Ship.tga\t", "Data\\Art/Ship.tga"}) {
        EXPECT_EQ(Archive.Find_Sub_File(name), ship) << name;
    }
    for (const char* name : {"Ship.tga", "Data/Art", "", "Data/Art/Ship.tg"}) {
        EXPECT_EQ(Archive.Find_Sub_File(name), -1) << name;
    }
    std::string stored;
    Archive.Get_Sub_File_Name(ship, stored);
    EXPECT_EQ(stored, "DATA\\ART\\SHIP.TGA");
    EXPECT_EQ(Archive.Get_Sub_File_CRC(ship), Crc32(stored));
    EXPECT_EQ(Member_Bytes(Archive.Find_Sub_File("readme.TXT")), "top level");

    for (int index : {-1, 3, 1000}) {
        EXPECT_EQ(Archive.Get_Sub_File_Size(index), 0u);
        EXPECT_EQ(Archive.Get_Sub_File_CRC(index), 0u);
        Archive.Get_Sub_File_Name(index, stored);
        EXPECT_EQ(stored, "");
        char byte;
        EXPECT_EQ(Archive.Read_Sub_File(index, nullptr, &byte, 1), -1);
        EXPECT_EQ(Archive.Seek_Sub_File(index, nullptr, 0, 0), -1);
        EXPECT_EQ(Archive.Load_Sub_File_Data(index), nullptr);
        EXPECT_EQ(Archive.Open_Sub_File_Stream(index), nullptr);
    }

    EXPECT_TRUE(Archive.Close());
    EXPECT_EQ(Archive.Find_Sub_File("Readme.txt"), -1);
    ASSERT_TRUE(Archive.Open(Mode())) << "reopens by the stored path";
    EXPECT_NE(Archive.Find_Sub_File("Readme.txt"), -1);
}

TEST_P(MegaArchiveTest, ReadsAndSeeksAreClampedToTheMember)
{
    ASSERT_TRUE(Archive.Open(Save(Archive_Image(Sample_Members)), Mode()));
    const int ship = Archive.Find_Sub_File("Data/Art/Ship.tga");
    std::unique_ptr<FileStreamClass> stream(Archive.Open_Sub_File_Stream(ship));
    ASSERT_NE(stream, nullptr);
    for (FileStreamClass* used : {static_cast<FileStreamClass*>(nullptr), stream.get()}) {
        struct Step {
            const char* what;
            char operation;  // r: read count, s: seek (offset, origin)
            int offset;
            int origin;
            int result;
            const char* bytes;
        } steps[] = {
            {"read 4", 'r', 4, 0, 4, "0123"},
            {"read past the end", 'r', 100, 0, 6, "456789"},
            {"read at the end", 'r', 5, 0, 0, ""},
            {"seek from end", 's', -3, 2, 7, nullptr},
            {"read the rest", 'r', 10, 0, 3, "789"},
            {"seek end", 's', 0, 2, 10, nullptr},
            {"seek negative", 's', -1, 0, 10, nullptr},
            {"seek from current beyond", 's', 5, 1, 10, nullptr},
            {"seek back from current", 's', -4, 1, 6, nullptr},
            {"unknown origin keeps the position", 's', 2, 7, 6, nullptr},
            {"read after seek", 'r', 2, 0, 2, "67"},
            {"seek begin", 's', 0, 0, 0, nullptr},
            {"read zero", 'r', 0, 0, 0, ""},
        };
        for (const Step& step : steps) {
            if (step.operation == 's') {
                EXPECT_EQ(Archive.Seek_Sub_File(ship, used, step.offset, step.origin), step.result) << step.what;
            } else {
                char buffer[128] = {};
                EXPECT_EQ(Archive.Read_Sub_File(ship, used, buffer, step.offset), step.result) << step.what;
                EXPECT_STREQ(buffer, step.bytes) << step.what;
            }
        }
    }
    char buffer[4];
    EXPECT_EQ(Archive.Read_Sub_File(ship, nullptr, nullptr, 4), -1);
    EXPECT_EQ(Archive.Read_Sub_File(ship, nullptr, buffer, -1), -1);
}

TEST_P(MegaArchiveTest, PositionsArePerMemberInMemoryAndPerStreamOnDisk)
{
    ASSERT_TRUE(Archive.Open(Save(Archive_Image(Sample_Members)), Mode()));
    const int ship = Archive.Find_Sub_File("Data/Art/Ship.tga");
    std::unique_ptr<FileStreamClass> first(Archive.Open_Sub_File_Stream(ship));
    std::unique_ptr<FileStreamClass> second(Archive.Open_Sub_File_Stream(ship));
    char buffer[4] = {};
    ASSERT_EQ(Archive.Read_Sub_File(ship, first.get(), buffer, 3), 3);
    ASSERT_EQ(Archive.Read_Sub_File(ship, second.get(), buffer, 3), 3);
    EXPECT_STREQ(buffer, Mode() == MegaArchiveClass::MODE_IN_MEMORY ? "345" : "012");

    // A stream moved before the member is brought back to its start.
    ASSERT_EQ(first->Seek(0, 0), 0);
    EXPECT_EQ(Archive.Read_Sub_File(ship, first.get(), buffer, 1), 1);
    EXPECT_EQ(buffer[0], Mode() == MegaArchiveClass::MODE_IN_MEMORY ? '6' : '0');
}

TEST_P(MegaArchiveTest, WholeMembersLoadAsViewsInMemoryAndAsCopiesFromDisk)
{
    ASSERT_TRUE(Archive.Open(Save(Archive_Image(Sample_Members)), Mode()));
    const int ship = Archive.Find_Sub_File("Data/Art/Ship.tga");
    const int empty = Archive.Find_Sub_File("Data/Xml/Empty.xml");
    EXPECT_EQ(Archive.Get_Sub_File_Size(empty), 0u);
    char byte;
    EXPECT_EQ(Archive.Read_Sub_File(empty, nullptr, &byte, 1), 0);
    EXPECT_EQ(Archive.Seek_Sub_File(empty, nullptr, 0, 2), 0);

    const void* data = Archive.Load_Sub_File_Data(ship);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(data), 10), "0123456789");
    const void* empty_data = Archive.Load_Sub_File_Data(empty);
    EXPECT_EQ(empty_data == nullptr, Mode() == MegaArchiveClass::MODE_STREAMED);

    int unrelated = 0;
    EXPECT_FALSE(Archive.Release_Sub_File_Data(&unrelated)) << "only what was handed out is released";
    EXPECT_FALSE(Archive.Release_Sub_File_Data(nullptr));
    EXPECT_TRUE(Archive.Release_Sub_File_Data(data));
    EXPECT_FALSE(Archive.Release_Sub_File_Data(data)) << "released twice";
    EXPECT_NE(Archive.Load_Sub_File_Data(ship), nullptr) << "left for Close to free";
}

TEST_P(MegaArchiveTest, OpenRefusesBadRequests)
{
    const std::string path = Save(Archive_Image(Sample_Members));
    EXPECT_FALSE(Archive.Open("", Mode()));
    EXPECT_FALSE(Archive.Open(path, 2));
    EXPECT_FALSE(Archive.Open(Dir / "missing.meg", Mode()));
    EXPECT_FALSE(Archive.Open(static_cast<const char*>(nullptr), Mode()));
    ASSERT_TRUE(Archive.Open(path.c_str(), Mode()));
    EXPECT_FALSE(Archive.Open(path, Mode())) << "already open";
    EXPECT_EQ(Archive.Get_Record_Count(), 3u);
    EXPECT_EQ(Archive.Get_Header_Size(), Layout_Of(Archive_Image(Sample_Members)).header_size);
}

TEST_P(MegaArchiveTest, ArchivesThatDoNotFitTheirFileNeverOpen)
{
    const std::vector<unsigned char> good = Archive_Image(Sample_Members);
    const ImageLayout layout = Layout_Of(good);
    const std::uint32_t file_size = static_cast<std::uint32_t>(good.size());

    // Truncated anywhere inside the header, the names, the table or the last member.
    for (std::size_t length = 0; length < good.size(); ++length) {
        MegaArchiveClass archive;
        std::vector<unsigned char> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(archive.Open(Save(cut), Mode())) << "truncated to " << length;
        EXPECT_EQ(archive.Get_Mode(), MegaArchiveClass::MODE_CLOSED);
        EXPECT_EQ(archive.Get_Record_Count(), 0u);
    }

    struct Damage {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const std::size_t record = layout.names_end;  // the first record of the table
    const Damage damages[] = {
        {"no records", 0, 0},
        {"record count 0xFFFFFFFF", 0, 0xFFFFFFFFu},
        {"one record too many", 0, layout.record_count + 1},
        {"name count 0xFFFFFFFF", 4, 0xFFFFFFFFu},
        {"name count beyond the file", 4, file_size},
        {"index outside the table", record + 4, layout.record_count},
        {"index 0xFFFFFFFF", record + 4, 0xFFFFFFFFu},
        {"size beyond the end", record + 8, file_size},
        {"size wrapping the start", record + 8, 0xFFFFFFF0u},
        {"start beyond the end", record + 12, file_size + 1},
        {"start inside the header", record + 12, layout.header_size - 1},
        {"start at 0", record + 12, 0},
        {"name index outside the names", record + 16, 3},
    };
    for (const Damage& damage : damages) {
        std::vector<unsigned char> image = good;
        if (damage.at == record + 16) {
            image[damage.at] = static_cast<unsigned char>(damage.value);
        } else {
            Put_Le32(image, damage.at, damage.value);
        }
        MegaArchiveClass archive;
        EXPECT_FALSE(archive.Open(Save(image), Mode())) << damage.what;
        EXPECT_EQ(archive.Find_Sub_File("Readme.txt"), -1) << damage.what;
    }

    // A name longer than its table.
    std::vector<unsigned char> image = good;
    image[8] = 0xFF;
    image[9] = 0xFF;
    EXPECT_FALSE(MegaArchiveClass().Open(Save(image), Mode()));
}

TEST_P(MegaArchiveTest, AnUnsortedTableMayMissLookupsButNeverBreaks)
{
    MemberListType members;
    for (int i = 0; i < 40; ++i) members.push_back({"File" + std::to_string(i), std::string(i, 'x')});
    std::vector<unsigned char> image = Archive_Image(members);
    const ImageLayout layout = Layout_Of(image);
    // Reverse the records; their index fields keep pointing at themselves in the old order.
    for (std::uint32_t i = 0; i < layout.record_count / 2; ++i) {
        unsigned char* a = image.data() + layout.names_end + 20 * i;
        unsigned char* b = image.data() + layout.names_end + 20 * (layout.record_count - 1 - i);
        for (int byte = 0; byte < 20; ++byte) std::swap(a[byte], b[byte]);
    }
    ASSERT_TRUE(Archive.Open(Save(image), Mode()));
    for (const auto& member : members) {
        const int index = Archive.Find_Sub_File(member.first);
        if (index != -1) {
            EXPECT_LT(index, 40);
            Member_Bytes(index);
        }
    }
    for (int index = 0; index < 40; ++index) EXPECT_LE(Member_Bytes(index).size(), 39u);
}

TEST_P(MegaArchiveTest, EmptyMembersAtTheVeryEndAreWellFormed)
{
    ASSERT_TRUE(Archive.Open(Save(Archive_Image({{"A", ""}, {"B", ""}})), Mode()));
    EXPECT_EQ(Member_Bytes(Archive.Find_Sub_File("a")), "");
    EXPECT_EQ(Member_Bytes(Archive.Find_Sub_File("b")), "");
}

INSTANTIATE_TEST_SUITE_P(BothModes, MegaArchiveTest, ::testing::Values(0, 1), Mode_Name);
