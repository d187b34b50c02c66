// Tables and registry files shaped to make a reader's work grow with the square of their size.
// Each case is a few hundred kilobytes: read in linear time it takes milliseconds, read in
// quadratic time it takes hours, so a regression shows as a test that never finishes.
#include "launcher/ProfileTable.h"
#include "launcher/RegistryFileClass.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int Many = 200000;

// The header stands far to the right, so the search for it passes every row in every column
// before it.
std::string Profile_With_Wide_Rows_Over_Many_Rows()
{
    const std::string indent(Many, '\t');
    std::string table = indent + "Section\tKey\tEN\r\n";
    for (int row = 0; row < Many; ++row) table += "\r\n";
    table += indent + "QMRT\tDisplayExit\tExit\r\n";
    return table;
}

TEST(HostileProfileTable, AWideRowOverManyRowsIsSearchedInLinearTime)
{
    const std::string bytes = Profile_With_Wide_Rows_Over_Many_Rows();
    ProfileTable table;
    ASSERT_EQ(table.Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0x0409), S_OK_STATUS);
    table.SetSection(u"QMRT");
    std::u16string text;
    table.GetText(u"DisplayExit", text);
    EXPECT_EQ(text, u"Exit");
}

TEST(HostileProfileTable, TheFirstMatchIsStillTheLowestColumnThenTheLowestRow)
{
    // "Section" stands in column 2 of row 0 and in column 0 of row 2: the column wins.
    const std::string bytes = "a\tb\tSection\tKey\tEN\r\n\r\nSection\tKey\tEN\r\nS\tK\tv\r\n";
    ProfileTable table;
    ASSERT_EQ(table.Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0x0409), S_OK_STATUS);
    table.SetSection(u"S");
    std::u16string text;
    table.GetText(u"K", text);
    EXPECT_EQ(text, u"v") << "the header was not taken from the row where Section stands leftmost";
}

TEST(HostileRegistryFile, AValueContinuedOverManyLinesIsJoinedInLinearTime)
{
    std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Long]\n\"Blob\"=hex:";
    for (int line = 0; line < Many; ++line) text += "61,\\\n";
    text += "62\n";
    RegistryFileClass file(RegistryHive::LocalMachine);
    ASSERT_TRUE(file.Parse(text));
    RegistryValue value;
    ASSERT_TRUE(file.Read("Software\\Long", "Blob", value));
    EXPECT_EQ(value.data, std::string(Many, 'a') + "b");
}

// A file that defines a key and deletes it further down, as a removal merged onto an older file
// does: a value written into the deleted section would be reported written and then be gone.
TEST(HostileRegistryFile, AWriteIntoAKeyDeletedFurtherDownLandsAfterTheDeletion)
{
    const std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Game]\n\"Old\"=\"1\"\n[-HKEY_LOCAL_MACHINE\\Game]\n";
    struct WriteCase {
        const char* name;
        bool create_key;
        bool written;
    };
    const WriteCase cases[] = {{"Old", false, false}, {"New", false, false}, {"Old", true, true}, {"New", true, true}};
    for (const WriteCase& write : cases) {
        RegistryFileClass file(RegistryHive::LocalMachine);
        ASSERT_TRUE(file.Parse(text));
        const RegistryValue value = RegistryValue::From_String("2");
        EXPECT_EQ(file.Write("Game", write.name, value, write.create_key), write.written) << write.name;
        RegistryFileClass reread(RegistryHive::LocalMachine);
        ASSERT_TRUE(reread.Parse(file.Text()));
        RegistryValue read;
        EXPECT_EQ(reread.Read("Game", write.name, read), write.written) << write.name << " in\n" << file.Text();
        std::string stored;
        if (write.written) {
            EXPECT_TRUE(read.As_String(stored));
            EXPECT_EQ(stored, "2");
        }
    }
}

}  // namespace
