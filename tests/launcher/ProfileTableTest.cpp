#include "launcher/ProfileTable.h"

#include "launcher/TextConversion.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

enum class Encoding { Utf16Le, Utf16Be, EightBit };

constexpr std::uint16_t ENGLISH_US = 0x0409;
constexpr std::uint16_t GERMAN = 0x0407;

std::string Encode(const std::u16string& text, Encoding encoding)
{
    std::string bytes;
    if (encoding == Encoding::Utf16Le) bytes = "\xFF\xFE";
    if (encoding == Encoding::Utf16Be) bytes = "\xFE\xFF";
    for (char16_t unit : text) {
        if (encoding == Encoding::EightBit) {
            bytes += static_cast<char>(unit);
        } else if (encoding == Encoding::Utf16Le) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        } else {
            bytes += static_cast<char>(unit >> 8);
            bytes += static_cast<char>(unit & 0xFF);
        }
    }
    return bytes;
}

// Rows of cells joined with TAB and CR LF, as the spreadsheet saves them.
std::u16string Rows(const std::vector<std::vector<std::u16string>>& rows)
{
    std::u16string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) text += (i > 0 ? u"\t" : u"") + row[i];
        text += u"\r\n";
    }
    return text;
}

LauncherStatus Parse(ProfileTable& table, const std::string& bytes, std::uint16_t language_id = ENGLISH_US)
{
    return table.Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), language_id);
}

std::u16string Text(const ProfileTable& table, const std::u16string& key)
{
    std::u16string text;
    EXPECT_EQ(table.GetText(key, text), S_OK_STATUS);
    return text;
}

const std::u16string SMALL_TABLE = Rows({
    {u"Launcher String Tables"},
    {u""},
    {u"Section", u"Key", u"EN", u"DE", u""},
    {u"Products", u"Product1", u"QMRT"},
    {u"QMRT", u"DisplayExit", u"Exit", u"Beenden", u""},
    {u"", u"Message", u"a\\nb", u"", u""},
    {u"", u"Quoted", u"\"yes, no\"", u"", u""},
    {u"", u"Empty", u"", u"", u""},
    {u"", u"Short", u"only english"},
});

}  // namespace

struct EncodingCase {
    const char* name;
    Encoding encoding;
};

void PrintTo(const EncodingCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class ProfileEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ProfileEncodingTest, ByteOrderMarkDecidesHowCellsAreRead)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(SMALL_TABLE, GetParam().encoding), GERMAN), S_OK_STATUS);
    table.SetSection(u"QMRT");
    EXPECT_EQ(Text(table, u"DisplayExit"), u"Beenden");
    EXPECT_EQ(Text(table, u"Message"), u"a\nb");
    EXPECT_EQ(table.RowCount(), 9);
    EXPECT_EQ(table.WidestRow(), 5);
}

INSTANTIATE_TEST_SUITE_P(AllEncodings, ProfileEncodingTest,
                         ::testing::Values(EncodingCase{"Utf16LittleEndian", Encoding::Utf16Le},
                                           EncodingCase{"Utf16BigEndian", Encoding::Utf16Be},
                                           EncodingCase{"NoMarkOneBytePerCharacter", Encoding::EightBit}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileEightBitText, EachByteIsOneCharacterAndAnsiTextIsUtf8)
{
    std::string bytes = "Section\tKey\tEN\r\n\tCafe\tcaf\xE9\r\n";
    ProfileTable table;
    ASSERT_EQ(Parse(table, bytes), S_OK_STATUS);
    EXPECT_EQ(Text(table, u"Cafe"), u"caf\u00E9");
    std::string ansi;
    table.GetTextAnsi(u"Cafe", ansi);
    EXPECT_EQ(ansi, "caf\xC3\xA9");
}

struct FormatCase {
    const char* name;
    std::u16string text;
};

void PrintTo(const FormatCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class ProfileFormatErrorTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ProfileFormatErrorTest, LoadFails)
{
    ProfileTable table;
    EXPECT_EQ(Parse(table, Encode(GetParam().text, Encoding::Utf16Le)), E_FAIL_STATUS);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ProfileFormatErrorTest,
    ::testing::Values(FormatCase{"LfWithoutCr", u"Section\tKey\tEN\n\tA\ta\r\n"},
                      FormatCase{"CrFollowedByOther", u"Section\tKey\tEN\r\tA\ta\r\n"},
                      FormatCase{"CrAtEndOfData", u"Section\tKey\tEN\r\n\tA\ta\r"},
                      FormatCase{"NoSectionHeader", u"Sektion\tKey\tEN\r\n"},
                      FormatCase{"KeyNotInHeaderRow", u"Section\tName\tEN\r\n\tKey\tx\r\n"},
                      FormatCase{"NoLanguageColumn", u"Section\tKey\tXX\tYY\r\n\tA\ta\r\n"},
                      FormatCase{"HeaderOnlyAfterLastRow", u"Title\r\nSection\tKey\tEN"},
                      FormatCase{"Empty", u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileLoad, MissingOrEmptyResourceFails)
{
    ProfileTable table;
    EXPECT_EQ(table.Parse(nullptr, 0, ENGLISH_US), E_FAIL_STATUS);
}

TEST(ProfileHeader, IsSearchedColumnByColumnNotRowByRow)
{
    // Row 0 has "Section" in column 1; the real header sits lower in column 0, which is
    // searched completely before column 1.
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(Rows({{u"", u"Section"},
                                        {u"Section", u"Key", u"EN"},
                                        {u"S", u"A", u"found"}}),
                                  Encoding::Utf16Le)),
              S_OK_STATUS);
    table.SetSection(u"S");
    EXPECT_EQ(Text(table, u"A"), u"found");
}

TEST(ProfileHeader, MayStandInAnyColumnAndCompareWithoutCase)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(Rows({{u"note", u"SECTION", u"key", u"en"}, {u"", u"", u"A", u"found"}}),
                                  Encoding::Utf16Le)),
              S_OK_STATUS);
    EXPECT_EQ(Text(table, u"A"), u"found");
}

TEST(ProfileRows, TextAfterLastRowEndIsNeverFound)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(u"Section\tKey\tEN\r\n\tA\ta\r\n\tB\tb", Encoding::Utf16Le)), S_OK_STATUS);
    EXPECT_EQ(Text(table, u"A"), u"a");
    EXPECT_EQ(Text(table, u"B"), u"B");
}

struct LookupCase {
    const char* name;
    const char16_t* section;
    const char16_t* key;
    std::uint16_t language_id;
    std::u16string expected;
};

void PrintTo(const LookupCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class ProfileLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookupTest, GivesValueOrKeyName)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(SMALL_TABLE, Encoding::Utf16Le), GetParam().language_id), S_OK_STATUS);
    table.SetSection(GetParam().section);
    EXPECT_EQ(Text(table, GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SmallTable, ProfileLookupTest,
    ::testing::Values(
        LookupCase{"KeyComparedWithoutCase", u"QMRT", u"displayexit", GERMAN, u"Beenden"},
        LookupCase{"SectionComparedWithoutCase", u"qmrt", u"DisplayExit", GERMAN, u"Beenden"},
        LookupCase{"KeyInSectionRowBelongsToIt", u"Products", u"Product1", GERMAN, u"QMRT"},
        LookupCase{"KeyOfAnotherSectionIsNotSeen", u"Products", u"DisplayExit", GERMAN, u"DisplayExit"},
        LookupCase{"MissingSectionGivesKeyName", u"Nowhere", u"DisplayExit", GERMAN, u"DisplayExit"},
        LookupCase{"MissingKeyGivesKeyName", u"QMRT", u"NoSuchKey", GERMAN, u"NoSuchKey"},
        LookupCase{"EmptyPrimaryFallsBackToEnglish", u"QMRT", u"Message", GERMAN, u"a\nb"},
        LookupCase{"ShortRowCountsMissingCellsAsEmpty", u"QMRT", u"Short", GERMAN, u"only english"},
        LookupCase{"AllColumnsEmptyGivesKeyName", u"QMRT", u"Empty", GERMAN, u"Empty"},
        LookupCase{"QuotesStayPartOfValue", u"QMRT", u"Quoted", ENGLISH_US, u"\"yes, no\""},
        LookupCase{"NoSectionSearchesEveryRow", u"", u"DisplayExit", ENGLISH_US, u"Exit"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileSections, KeyInTwoSectionsComesFromCurrentSectionOrFirstInFile)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(Rows({{u"Section", u"Key", u"EN"},
                                        {u"First", u"Name", u"first"},
                                        {u"Second", u"Name", u"second"},
                                        {u"First", u"Other", u"shadowed"}}),
                                  Encoding::Utf16Le)),
              S_OK_STATUS);
    EXPECT_EQ(Text(table, u"Name"), u"first");
    table.SetSection(u"Second");
    EXPECT_EQ(Text(table, u"Name"), u"second");
    // Only the first section of a name is searched.
    table.SetSection(u"First");
    EXPECT_EQ(Text(table, u"Other"), u"Other");
}

struct LanguageCase {
    const char* name;
    std::uint16_t language_id;
    std::u16string expected_value;
    std::u16string expected_language_name;
};

void PrintTo(const LanguageCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class ProfileLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

// Every column holds its own code, so the value shows which column answered.
const std::u16string LANGUAGE_TABLE = Rows({
    {u"Section", u"Key", u"EN-US", u"EN", u"DE", u"FR-CA", u"FR", u"ES", u"IT", u"PL", u"RU", u""},
    {u"", u"Probe", u"EN-US", u"EN", u"DE", u"FR-CA", u"FR", u"ES", u"IT", u"PL", u"RU", u""},
});

TEST_P(ProfileLanguageTest, ChoosesColumnWithFallbacks)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(LANGUAGE_TABLE, Encoding::Utf16Le), GetParam().language_id), S_OK_STATUS);
    EXPECT_EQ(Text(table, u"Probe"), GetParam().expected_value);
    std::u16string name;
    table.LanguageName(name);
    EXPECT_EQ(name, GetParam().expected_language_name);
}

INSTANTIATE_TEST_SUITE_P(
    LanguageIds, ProfileLanguageTest,
    ::testing::Values(LanguageCase{"German", 0x0407, u"DE", u"German"},
                      LanguageCase{"MexicanSpanishFallsBackToSpanish", 0x080A, u"ES", u"Spanish"},
                      LanguageCase{"SpanishSpain", 0x0C0A, u"ES", u"Spanish"},
                      LanguageCase{"JapaneseFallsBackToEnglish", 0x0411, u"EN", u"Japanese"},
                      LanguageCase{"DutchFallsBackToEnglish", 0x0413, u"EN", u"Dutch"},
                      LanguageCase{"UkEnglishFallsBackToEnNotEnUs", 0x0809, u"EN", u"English"},
                      LanguageCase{"UsEnglishNeverReadsEnUs", 0x0409, u"EN", u"English"},
                      LanguageCase{"CanadianFrench", 0x0C0C, u"FR-CA", u"French"},
                      LanguageCase{"FranceFrench", 0x040C, u"FR", u"French"},
                      LanguageCase{"Italian", 0x0410, u"IT", u"Italian"},
                      LanguageCase{"Polish", 0x0415, u"PL", u"Polish"},
                      LanguageCase{"Russian", 0x0419, u"RU", u"Russian"},
                      LanguageCase{"BrazilianPortuguese", 0x0416, u"EN", u"Portuguese"},
                      LanguageCase{"TraditionalChinese", 0x0404, u"EN", u"Traditional Chinese"},
                      LanguageCase{"SimplifiedChinese", 0x0804, u"EN", u"Simplified Chinese"},
                      LanguageCase{"UnlistedLanguageIsEnglish", 0x041F, u"EN", u"English"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileLanguages, ColumnOnlyForSecondaryCodeIsEnough)
{
    ProfileTable table;
    ASSERT_EQ(Parse(table, Encode(Rows({{u"Section", u"Key", u"CS"}, {u"", u"A", u"zh"}}), Encoding::Utf16Le), 0x0404),
              S_OK_STATUS);
    EXPECT_EQ(Text(table, u"A"), u"zh");
}

// The table that ships inside the launcher.
class ShippedProfileTest : public ::testing::Test {
protected:
    static std::string Shipped_Bytes()
    {
        std::ifstream file(VESTIBAR_PAGES_DIR "/PROFILE.TXT", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    static ProfileTable Load_For(std::uint16_t language_id)
    {
        ProfileTable table;
        std::string bytes = Shipped_Bytes();
        EXPECT_EQ(Parse(table, bytes, language_id), S_OK_STATUS);
        table.SetSection(u"Products");
        table.SetSection(Text(table, u"Product1"));
        return table;
    }
};

TEST_F(ShippedProfileTest, IsLittleEndianWithMarkAndTwelveCellRows)
{
    std::string bytes = Shipped_Bytes();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Load_For(ENGLISH_US).WidestRow(), 12);
}

TEST_F(ShippedProfileTest, ExamplesForGermanSpanishAndJapaneseUsers)
{
    ProfileTable german = Load_For(GERMAN);
    EXPECT_EQ(Text(german, u"DisplayExit"), u"Beenden");
    EXPECT_EQ(Text(german, u"BackgroundMain"), u"Main_up_int.GIF");
    EXPECT_EQ(Text(Load_For(0x080A), u"BackgroundMain"), u"Main_up_spanish.GIF");
    EXPECT_EQ(Text(Load_For(0x0411), u"DisplayStart"), u"Start Game");
    EXPECT_EQ(Text(Load_For(0x0410), u"BackgroundMain"), u"Main_up_italian.GIF");
}

TEST_F(ShippedProfileTest, EnglishCaptionsAndMessagesAreAsGiven)
{
    ProfileTable table = Load_For(ENGLISH_US);
    const std::pair<const char16_t*, const char16_t*> expected[] = {
        {u"DisplayAnalyze", u"Analyze Your Computer"},
        {u"DisplayBack", u"Go Back"},
        {u"DisplayExit", u"Exit"},
        {u"DisplayGuide", u"View Troubleshooting Guide"},
        {u"DisplayHelp", u"Help"},
        {u"DisplayInstall", u"Install"},
        {u"DisplayLicense", u"View License Agreement"},
        {u"DisplayOptions", u"Options"},
        {u"DisplayReadMe", u"View ReadMe"},
        {u"DisplayStart", u"Start Game"},
        {u"DisplayUninstall", u"Uninstall"},
        {u"ErrorAdmin", u"You do not have sufficient privileges."},
        {u"AskDirectXMissing", u"This game requires DirectX 9.0c (April 2006) or higher to run.\n"
                               u"You do not have it installed at the moment."},
        {u"AskDirectXOld", u"This game requires DirectX 9.0c (April 2006) or higher to run.\n"
                           u"You have an older version installed at the moment."},
        {u"AskDirectXInsufficient", u"\"Insufficient 3d hardware detected, do you want to continue?\""},
        {u"AskDirectXSound", u"Your sound card is either missing or disabled.\n"
                             u"Would you like to continue without sound?"},
        {u"ProductMutex", u"QMRTIsRunning"},
        {u"CompanyNameRegistry", u"Hollowbrook"},
        {u"DirectorySupport", u"HbkSetup"},
        {u"PageMain", u"Main.htm"},
        {u"PageInstall", u"Install.htm"},
        {u"ProductVersion", u"1.0"},
    };
    for (const auto& [key, text] : expected) EXPECT_EQ(Text(table, key), text) << Utf16_To_Utf8(key);
    EXPECT_EQ(Text(table, u"ProductGUID").size(), 36u);
}

TEST_F(ShippedProfileTest, EveryKeyHasAValueAndLocalizedKeysAreTranslated)
{
    const char16_t* const keys[] = {
        u"ApplicationCheck", u"ApplicationProgram", u"ApplicationSetup", u"AskDirectXInsufficient",
        u"AskDirectXMissing", u"AskDirectXOld", u"AskDirectXSound", u"BackgroundHelp", u"BackgroundInstall",
        u"BackgroundMain", u"BackgroundOptions", u"BackgroundPreOptions", u"CompanyNameDisplay", u"CompanyNameLong",
        u"CompanyNameRegistry", u"CompanyNameShort", u"CompanyUrl", u"DirectorySetup", u"DirectorySupport",
        u"DirectXRevision", u"DirectXVersion", u"DisplayVisitWeb", u"ErrorAdmin", u"FileLicense", u"FileReadMe",
        u"FileSupport", u"PageHelp", u"PageInstallOptions", u"PageMainOptions", u"ProductGUID",
        u"ProductNameDisplay", u"ProductNameLong", u"ProductNameRegistry", u"ProductNameShort", u"ProductUrl"};
    ProfileTable english = Load_For(ENGLISH_US);
    for (const char16_t* key : keys) EXPECT_NE(Text(english, key), key) << Utf16_To_Utf8(key);

    const char16_t* const localized[] = {u"AskDirectXInsufficient", u"AskDirectXMissing", u"AskDirectXOld",
                                         u"AskDirectXSound", u"ErrorAdmin", u"DisplayStart", u"DisplayGuide"};
    const std::uint16_t languages[] = {0x0407, 0x040C, 0x0C0C, 0x040A, 0x0410, 0x0415, 0x0419};
    for (std::uint16_t language : languages) {
        ProfileTable table = Load_For(language);
        for (const char16_t* key : localized)
            EXPECT_NE(Text(table, key), Text(english, key)) << Utf16_To_Utf8(key) << " for " << language;
    }
}
