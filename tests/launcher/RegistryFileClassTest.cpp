#include "launcher/RegistryFileClass.h"

#include <gtest/gtest.h>

namespace {

const char* const SAMPLE =
    "REGEDIT4\n"
    "\n"
    "; written by the setup program\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Hollowbrook\\Game\\1.0]\n"
    "\"Installed\"=dword:00000001\n"
    "\"InstallPath\"=\"C:\\\\Games\\\\Say \\\"Hi\\\"\"\n"
    "\"ExePath\"=hex(2):25,48,4f,4d,45,25,00\n"
    "@=\"default text\"\n"
    "\"Wrapped\"=hex(2):61,62,\\\n"
    "  63,00\n"
    "\"Broken\"=dword:xyz\n"
    "\"Removed\"=-\n"
    "\n"
    "[HKLM\\SOFTWARE\\Abbreviated]\n"
    "\"Value\"=\"short hive name\"\n"
    "\n"
    "[SOFTWARE\\NoHive]\n"
    "\"Value\"=\"hive implied by the file\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Hollowbrook\\Game\\1.0]\n"
    "\"Installed\"=dword:00000005\n"
    "\n"
    "[-SOFTWARE\\Gone]\n"
    "\"Value\"=\"under a deleted key\"\n"
    "\n"
    "[SOFTWARE\\Twice]\n"
    "\"Value\"=\"first\"\n"
    "\"value\"=\"second\"\n";

RegistryFileClass Sample()
{
    RegistryFileClass file(RegistryHive::LocalMachine);
    EXPECT_TRUE(file.Parse(SAMPLE));
    return file;
}

}  // namespace

struct ReadCase {
    const char* name;
    const char* key;
    const char* value_name;
    bool expected_found;
    RegistryType expected_type;
    std::string expected_data;
};

void PrintTo(const ReadCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class RegistryReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RegistryReadTest, FindsValueAsRegistryStoresIt)
{
    RegistryFileClass file = Sample();
    RegistryValue value;
    const ReadCase& read = GetParam();
    ASSERT_EQ(file.Read(read.key, read.value_name, value), read.expected_found);
    if (!read.expected_found) return;
    EXPECT_EQ(value.type, read.expected_type);
    EXPECT_EQ(value.data, read.expected_data);
}

const std::string GAME_KEY = "SOFTWARE\\Hollowbrook\\Game\\1.0";

INSTANTIATE_TEST_SUITE_P(
    Sample, RegistryReadTest,
    ::testing::Values(
        ReadCase{"Dword", GAME_KEY.c_str(), "Installed", true, RegistryType::Dword, std::string("\1\0\0\0", 4)},
        ReadCase{"StringWithEscapes", GAME_KEY.c_str(), "InstallPath", true, RegistryType::String,
                 std::string("C:\\Games\\Say \"Hi\"\0", 18)},
        ReadCase{"ExpandableStringBytes", GAME_KEY.c_str(), "ExePath", true, RegistryType::ExpandString,
                 std::string("%HOME%\0", 7)},
        ReadCase{"DefaultValue", GAME_KEY.c_str(), "", true, RegistryType::String, std::string("default text\0", 13)},
        ReadCase{"ContinuedHexLine", GAME_KEY.c_str(), "Wrapped", true, RegistryType::ExpandString,
                 std::string("abc\0", 4)},
        ReadCase{"KeyAndNameWithoutCase", "software\\HOLLOWBROOK\\game\\1.0", "INSTALLED", true, RegistryType::Dword,
                 std::string("\1\0\0\0", 4)},
        ReadCase{"ShortHiveName", "SOFTWARE\\Abbreviated", "Value", true, RegistryType::String,
                 std::string("short hive name\0", 16)},
        ReadCase{"ImpliedHive", "SOFTWARE\\NoHive", "Value", true, RegistryType::String,
                 std::string("hive implied by the file\0", 25)},
        ReadCase{"LaterLineWins", "SOFTWARE\\Twice", "Value", true, RegistryType::String, std::string("second\0", 7)},
        ReadCase{"MalformedValueIsAbsent", GAME_KEY.c_str(), "Broken", false, RegistryType::Other, ""},
        ReadCase{"DeletedValueIsAbsent", GAME_KEY.c_str(), "Removed", false, RegistryType::Other, ""},
        ReadCase{"DeletedKeyIsAbsent", "SOFTWARE\\Gone", "Value", false, RegistryType::Other, ""},
        ReadCase{"MissingValue", GAME_KEY.c_str(), "Nothing", false, RegistryType::Other, ""},
        ReadCase{"MissingKey", "SOFTWARE\\Nothing", "Value", false, RegistryType::Other, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryFile, OtherHivesKeysAreNotThisHives)
{
    RegistryFileClass file = Sample();
    RegistryValue value;
    ASSERT_TRUE(file.Read(GAME_KEY, "Installed", value));
    std::uint32_t number = 0;
    ASSERT_TRUE(value.As_Dword(number));
    EXPECT_EQ(number, 1u);

    RegistryFileClass user(RegistryHive::CurrentUser);
    ASSERT_TRUE(user.Parse(SAMPLE));
    ASSERT_TRUE(user.Read(GAME_KEY, "Installed", value));
    ASSERT_TRUE(value.As_Dword(number));
    EXPECT_EQ(number, 5u);
}

TEST(RegistryFile, ParentOfAKeyExists)
{
    RegistryFileClass file = Sample();
    EXPECT_TRUE(file.Key_Exists("SOFTWARE\\Hollowbrook"));
    EXPECT_TRUE(file.Key_Exists("software\\hollowbrook\\game\\1.0"));
    EXPECT_FALSE(file.Key_Exists("SOFTWARE\\Hollow"));
    EXPECT_FALSE(file.Key_Exists("SOFTWARE\\Gone"));
}

TEST(RegistryFile, UnicodeExportHoldsExpandableStringsAsUtf16)
{
    RegistryFileClass file(RegistryHive::LocalMachine);
    ASSERT_TRUE(file.Parse("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n"
                           "\"P\"=hex(2):43,00,3a,00,5c,00,e9,00,00,00\r\n"));
    RegistryValue value;
    ASSERT_TRUE(file.Read("K", "P", value));
    std::string text;
    ASSERT_TRUE(value.As_String(text));
    EXPECT_EQ(text, "C:\\\xC3\xA9");
}

struct DamagedCase {
    const char* name;
    std::string text;
};

void PrintTo(const DamagedCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class RegistryDamagedFileTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(RegistryDamagedFileTest, ReadsAsAbsentAndRefusesWrites)
{
    RegistryFileClass file(RegistryHive::LocalMachine);
    EXPECT_FALSE(file.Parse(GetParam().text));
    RegistryValue value;
    EXPECT_FALSE(file.Read("K", "V", value));
    EXPECT_FALSE(file.Write("K", "V", RegistryValue::From_Dword(1), true));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegistryDamagedFileTest,
    ::testing::Values(DamagedCase{"NoHeader", "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=dword:1\n"},
                      DamagedCase{"BinaryJunk", std::string("\0\xff\x01[K]\n\"V\"=dword:1", 16)},
                      DamagedCase{"Utf16WithoutDecoding", std::string("\xff\xfeR\0E\0G\0", 8)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryFile, MalformedLinesAreSkippedNotFatal)
{
    RegistryFileClass file(RegistryHive::LocalMachine);
    ASSERT_TRUE(file.Parse("REGEDIT4\n[K\n\"V\"=dword:1\n[K]\n\"unterminated=\"x\n=\"no name\"\n\"V\"=\"ok\"\n"));
    RegistryValue value;
    ASSERT_TRUE(file.Read("K", "V", value));
    EXPECT_EQ(value.data, std::string("ok\0", 3));
}

TEST(RegistryFileWrite, ChangesOneLineAndKeepsEveryOtherVerbatim)
{
    RegistryFileClass file = Sample();
    ASSERT_TRUE(file.Write(GAME_KEY, "installed", RegistryValue::From_Dword(0), false));
    std::string expected = SAMPLE;
    expected.replace(expected.find("\"Installed\"=dword:00000001"), 26, "\"installed\"=dword:00000000");
    EXPECT_EQ(file.Text(), expected);
}

TEST(RegistryFileWrite, AddsValueToExistingKeyOrCreatesKey)
{
    RegistryFileClass file = Sample();
    ASSERT_TRUE(file.Write("SOFTWARE\\NoHive", "New", RegistryValue::From_String("a\\b \"q\""), false));
    EXPECT_FALSE(file.Write("SOFTWARE\\Created", "V", RegistryValue::From_Dword(3), false));
    ASSERT_TRUE(file.Write("SOFTWARE\\Created", "", RegistryValue::From_String(""), true));

    RegistryFileClass reread(RegistryHive::LocalMachine);
    ASSERT_TRUE(reread.Parse(file.Text()));
    RegistryValue value;
    std::string text;
    ASSERT_TRUE(reread.Read("SOFTWARE\\NoHive", "New", value));
    ASSERT_TRUE(value.As_String(text));
    EXPECT_EQ(text, "a\\b \"q\"");
    ASSERT_TRUE(reread.Read("SOFTWARE\\Created", "", value));
    ASSERT_TRUE(value.As_String(text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(reread.Read("SOFTWARE\\NoHive", "Value", value));
    EXPECT_NE(file.Text().find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Created]\n@=\"\"\n"), std::string::npos);
}

struct RoundTripCase {
    const char* name;
    const char* header;
    RegistryValue value;
};

void PrintTo(const RoundTripCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class RegistryRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RegistryRoundTripTest, WrittenValueReadsBackUnchanged)
{
    RegistryFileClass file(RegistryHive::CurrentUser);
    ASSERT_TRUE(file.Parse(GetParam().header));
    ASSERT_TRUE(file.Write("A\\B", "Name", GetParam().value, true));
    RegistryFileClass reread(RegistryHive::CurrentUser);
    ASSERT_TRUE(reread.Parse(file.Text()));
    RegistryValue value;
    ASSERT_TRUE(reread.Read("a\\b", "name", value));
    EXPECT_EQ(value.type, GetParam().value.type);
    EXPECT_EQ(value.data, GetParam().value.data);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryRoundTripTest,
    ::testing::Values(
        RoundTripCase{"DwordIntoEmptyFile", "", RegistryValue::From_Dword(0xDEADBEEF)},
        RoundTripCase{"Utf8String", "REGEDIT4\n", RegistryValue::From_String("C:\\Spiele\\K\xC3\xB6nig")},
        RoundTripCase{"ExpandableString", "REGEDIT4\n",
                      RegistryValue::From_String("%HOME%/game", RegistryType::ExpandString)},
        RoundTripCase{"ExpandableStringUnicodeFile", "Windows Registry Editor Version 5.00\r\n",
                      RegistryValue::From_String("K\xC3\xB6nig", RegistryType::ExpandString)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryFileWrite, RefusesStringWithLineBreakAndKeepsCrLf)
{
    RegistryFileClass file(RegistryHive::CurrentUser);
    ASSERT_TRUE(file.Parse("REGEDIT4\r\n\r\n[K]\r\n\"V\"=\"x\"\r\n"));
    EXPECT_FALSE(file.Write("K", "V", RegistryValue::From_String("two\nlines"), true));
    ASSERT_TRUE(file.Write("K", "V", RegistryValue::From_String("y"), true));
    EXPECT_EQ(file.Text(), "REGEDIT4\r\n\r\n[K]\r\n\"V\"=\"y\"\r\n");
}
