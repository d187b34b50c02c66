#include "launcher/LocaleLanguage.h"

#include "launcher/TextConversion.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::uint16_t LANG_ENGLISH = 0x09;

struct PrimaryLanguage {
    const char* code;
    std::uint16_t primary;
};

const PrimaryLanguage PRIMARY_LANGUAGES[] = {
    {"zh", 0x04}, {"de", 0x07}, {"en", 0x09}, {"es", 0x0A}, {"fr", 0x0C}, {"it", 0x10},
    {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"pl", 0x15}, {"pt", 0x16}, {"ru", 0x19},
};

// Territories whose Windows sub-language is not 1.
struct SubLanguage {
    const char* language;
    const char* territory;
    std::uint16_t sub;
};

const SubLanguage SUB_LANGUAGES[] = {
    {"zh", "CN", 2}, {"zh", "HK", 3}, {"zh", "SG", 4}, {"zh", "MO", 5},
    {"en", "GB", 2}, {"en", "AU", 3}, {"en", "CA", 4}, {"en", "NZ", 5}, {"en", "IE", 6},
    {"es", "MX", 2}, {"es", "ES", 3},
    {"fr", "BE", 2}, {"fr", "CA", 3}, {"fr", "CH", 4}, {"fr", "LU", 5},
    {"de", "CH", 2}, {"de", "AT", 3}, {"de", "LU", 4}, {"de", "LI", 5},
    {"it", "CH", 2}, {"nl", "BE", 2}, {"pt", "PT", 2},
};

std::uint16_t Make_Language_Id(std::uint16_t primary, std::uint16_t sub)
{
    return static_cast<std::uint16_t>(sub << 10 | primary);
}

}  // namespace

std::uint16_t Language_Id_From_Locale(const std::string& locale)
{
    std::string first = locale.substr(0, locale.find(':'));
    std::string name = first.substr(0, first.find_first_of(".@"));
    std::size_t separator = name.find_first_of("_-");
    std::string language = name.substr(0, separator);
    std::string territory = separator == std::string::npos ? std::string() : name.substr(separator + 1);

    for (const PrimaryLanguage& entry : PRIMARY_LANGUAGES) {
        if (!Equal_Ignoring_Case(language, entry.code)) continue;
        std::uint16_t sub = 1;
        for (const SubLanguage& special : SUB_LANGUAGES) {
            if (Equal_Ignoring_Case(language, special.language) && Equal_Ignoring_Case(territory, special.territory))
                sub = special.sub;
        }
        return Make_Language_Id(entry.primary, sub);
    }
    return Make_Language_Id(LANG_ENGLISH, 1);
}

bool Parse_Language_Id(const std::string& text, std::uint16_t& language_id)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long number = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || number > 0xFFFF || text[0] == '-') return false;
    language_id = static_cast<std::uint16_t>(number);
    return true;
}
