#include "launcher/LocaleLanguage.h"

#include <gtest/gtest.h>

struct LocaleCase {
    const char* name;
    const char* locale;
    std::uint16_t expected;
};

void PrintTo(const LocaleCase& test_case, std::ostream* out)
{
    *out << test_case.name;
}

class LocaleLanguageTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleLanguageTest, MapsToWindowsLanguageId)
{
    EXPECT_EQ(Language_Id_From_Locale(GetParam().locale), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleLanguageTest,
    ::testing::Values(LocaleCase{"GermanWithCodeset", "de_DE.UTF-8", 0x0407},
                      LocaleCase{"MexicanSpanish", "es_MX", 0x080A},
                      LocaleCase{"CanadianFrenchWithModifier", "fr_CA.UTF-8@euro", 0x0C0C},
                      LocaleCase{"UkEnglish", "en_GB.UTF-8", 0x0809},
                      LocaleCase{"BrazilianPortuguese", "pt_BR", 0x0416},
                      LocaleCase{"TaiwanChinese", "zh_TW.UTF-8", 0x0404},
                      LocaleCase{"MainlandChinese", "zh_CN", 0x0804},
                      LocaleCase{"LanguageOnly", "ru", 0x0419},
                      LocaleCase{"LanguageListTakesFirst", "pl_PL:en_US", 0x0415},
                      LocaleCase{"CLocale", "C", 0x0409},
                      LocaleCase{"PosixLocale", "POSIX", 0x0409},
                      LocaleCase{"UnknownLanguage", "xx_YY", 0x0409},
                      LocaleCase{"Empty", "", 0x0409}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageIdOverride, AcceptsSixteenBitNumbersOnly)
{
    std::uint16_t id = 0;
    EXPECT_TRUE(Parse_Language_Id("0x0407", id));
    EXPECT_EQ(id, 0x0407);
    EXPECT_TRUE(Parse_Language_Id("1031", id));
    EXPECT_EQ(id, 1031);
    for (const char* bad : {"", "0x10000", "german", "0x04zz", "-1"}) EXPECT_FALSE(Parse_Language_Id(bad, id)) << bad;
}
