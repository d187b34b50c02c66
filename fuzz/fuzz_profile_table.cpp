// Profile table: parsed for a language chosen by the input, then every cell is asked for as a
// key, with no section and with every cell as the current section.
#include "launcher/ProfileTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Bounds the quadratic lookups of the harness, not of the table.
constexpr std::size_t Max_Cells_Asked = 96;
constexpr std::size_t Max_Sections_Tried = 12;

struct CellTextsStruct {
    std::vector<std::u16string> Cells;
    std::vector<std::u16string> Row_Starts;  // where section names stand
};

// Every cell text of the table, split independently of the parser: the keys and sections
// that a page could ask for are among them.
CellTextsStruct Cell_Texts(const std::uint8_t* data, std::size_t size)
{
    std::u16string text;
    const bool little = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    const bool big = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
    if (little || big) {
        for (std::size_t i = 2; i + 1 < size; i += 2) {
            text += static_cast<char16_t>(little ? (data[i + 1] << 8 | data[i]) : (data[i] << 8 | data[i + 1]));
        }
    } else {
        text.assign(data, data + size);
    }
    CellTextsStruct texts;
    texts.Cells.emplace_back();
    bool row_start = true;
    for (char16_t unit : text) {
        if (unit == u'\t' || unit == u'\r' || unit == u'\n') {
            if (row_start && texts.Row_Starts.size() < Max_Sections_Tried) texts.Row_Starts.push_back(texts.Cells.back());
            if (texts.Cells.size() == Max_Cells_Asked) break;
            texts.Cells.emplace_back();
            row_start = unit != u'\t';
        } else {
            texts.Cells.back() += unit;
        }
    }
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::uint16_t Languages[] = {0x0409, 0x0809, 0x0407, 0x080A, 0x0C0A, 0x0C0C, 0x040C,
                                              0x0411, 0x0416, 0x0404, 0x0804, 0x0419, 0xFFFF, 0x0000};
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    const std::uint16_t language = Languages[sum % (sizeof Languages / sizeof Languages[0])];

    ProfileTable table;
    if (table.Parse(data, size, language) != S_OK_STATUS) {
        std::u16string text;
        table.GetText(u"Product1", text);
        return 0;
    }
    std::u16string text;
    std::string ansi;
    table.LanguageName(text);
    const CellTextsStruct texts = Cell_Texts(data, size);
    for (const std::u16string& key : texts.Cells) {
        table.GetText(key, text);
        table.GetTextAnsi(key, ansi);
    }
    for (const std::u16string& section : texts.Row_Starts) {
        table.SetSection(section);
        for (const std::u16string& key : texts.Cells) table.GetText(key, text);
    }
    // The same table parsed again replaces the first.
    table.Parse(data, size, 0x0407);
    table.GetText(u"Product1", text);
    return 0;
}
