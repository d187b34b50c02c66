#include "launcher/ProfileTable.h"

#include "launcher/LauncherPlatformClass.h"
#include "launcher/TextConversion.h"

#include <algorithm>
#include <new>

namespace {

constexpr char16_t TAB = 0x09;
constexpr char16_t LF = 0x0A;
constexpr char16_t CR = 0x0D;

std::u16string Decode_By_Byte_Order_Mark(const unsigned char* bytes, std::size_t size)
{
    std::u16string text;
    bool little_endian = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    bool big_endian = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (!little_endian && !big_endian) {
        text.reserve(size);
        for (std::size_t i = 0; i < size; ++i) text += static_cast<char16_t>(bytes[i]);
        return text;
    }
    text.reserve(size / 2);
    for (std::size_t i = 2; i + 1 < size; i += 2) {
        unsigned first = bytes[i];
        unsigned second = bytes[i + 1];
        text += static_cast<char16_t>(little_endian ? (second << 8 | first) : (first << 8 | second));
    }
    return text;
}

struct LanguageChoice {
    std::uint16_t primary_language;  // 0 matches every language not listed before it
    int sub_language;                // -1 matches any sub-language
    const char16_t* primary_code;
    const char16_t* secondary_code;
    const char16_t* language_name;
};

// First matching row wins.
const LanguageChoice LANGUAGE_CHOICES[] = {
    {0x04, 1, u"ct", u"cs", u"Traditional Chinese"},
    {0x04, -1, u"cs", u"cs", u"Simplified Chinese"},
    {0x07, -1, u"de", u"en", u"German"},
    {0x0A, 2, u"es-MX", u"es", u"Spanish"},
    {0x0A, -1, u"es", u"es", u"Spanish"},
    {0x0C, 3, u"fr-CA", u"fr", u"French"},
    {0x0C, -1, u"fr", u"fr", u"French"},
    {0x10, -1, u"it", u"en", u"Italian"},
    {0x11, -1, u"jp", u"en", u"Japanese"},
    {0x12, -1, u"ko", u"en", u"Korean"},
    {0x13, -1, u"nl", u"en", u"Dutch"},
    {0x15, -1, u"pl", u"en", u"Polish"},
    {0x16, 1, u"po-BR", u"en", u"Portuguese"},
    {0x16, -1, u"po", u"en", u"Portuguese"},
    {0x19, -1, u"ru", u"en", u"Russian"},
    {0, 2, u"en-UK", u"en", u"English"},
    {0, -1, u"en", u"en", u"English"},
};

const char16_t* const TERTIARY_CODE = u"en";

const LanguageChoice& Choose_Language_Row(std::uint16_t language_id)
{
    int primary = language_id & 0x3FF;
    int sub = language_id >> 10;
    for (const LanguageChoice& choice : LANGUAGE_CHOICES) {
        bool primary_matches = choice.primary_language == 0 || choice.primary_language == primary;
        bool sub_matches = choice.sub_language == -1 || choice.sub_language == sub;
        if (primary_matches && sub_matches) return choice;
    }
    return LANGUAGE_CHOICES[sizeof LANGUAGE_CHOICES / sizeof LANGUAGE_CHOICES[0] - 1];
}

std::u16string Replace_Line_Break_Escapes(const std::u16string& value)
{
    std::u16string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size() && value[i + 1] == u'n') {
            out += LF;
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

}  // namespace

LauncherStatus ProfileTable::Load(const LauncherPlatformClass& platform, const char* resource_name)
{
    std::string bytes;
    if (!platform.Find_Resource(resource_name, bytes) || bytes.empty()) return E_FAIL_STATUS;
    return Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), platform.User_Language_Id());
}

LauncherStatus ProfileTable::Parse(const unsigned char* bytes, std::size_t size, std::uint16_t language_id)
{
    try {
        LauncherStatus status = SplitIntoCells(Decode_By_Byte_Order_Mark(bytes, size));
        if (status != S_OK_STATUS) return status;
        status = FindHeader();
        if (status != S_OK_STATUS) return status;
        return ChooseLanguage(language_id);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY_STATUS;
    }
}

LauncherStatus ProfileTable::SplitIntoCells(const std::u16string& text)
{
    cells_.clear();
    row_starts_.assign(1, 0);
    row_count_ = 0;
    widest_row_ = 0;
    header_row_ = section_column_ = key_column_ = -1;
    std::u16string cell;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t character = text[i];
        if (character == TAB) {
            cells_.push_back(std::move(cell));
            cell.clear();
        } else if (character == CR) {
            cells_.push_back(std::move(cell));
            cell.clear();
            row_starts_.push_back(cells_.size());
            int width = static_cast<int>(row_starts_[row_count_ + 1] - row_starts_[row_count_]);
            ++row_count_;
            if (width > widest_row_) widest_row_ = width;
            if (i + 1 >= text.size() || text[i + 1] != LF) return E_FAIL_STATUS;
            ++i;
        } else if (character == LF) {
            return E_FAIL_STATUS;
        } else {
            cell += character;
        }
    }
    // Text after the last CR LF belongs to no row; it is kept but never found.
    if (!cell.empty()) cells_.push_back(std::move(cell));
    return S_OK_STATUS;
}

const std::u16string* ProfileTable::Cell(int row, int column) const
{
    if (row < 0 || row >= row_count_ || column < 0) return nullptr;
    std::size_t index = row_starts_[row] + static_cast<std::size_t>(column);
    return index < row_starts_[row + 1] ? &cells_[index] : nullptr;
}

bool ProfileTable::CellIsEmpty(int row, int column) const
{
    const std::u16string* cell = Cell(row, column);
    return cell == nullptr || cell->empty();
}

bool ProfileTable::FindCell(const std::u16string& text, int first_column, int last_column, int first_row,
                            int last_row, CellPosition& found) const
{
    // The search runs column by column, so the first match is the one in the lowest column and,
    // within it, the lowest row. Visiting each row once up to the best column so far finds the
    // same cell while touching only cells that exist: one wide row over many short ones would
    // otherwise cost width times rows.
    bool matched = false;
    for (int row = std::max(first_row, 0); row <= last_row && row < row_count_; ++row) {
        const int row_width = static_cast<int>(row_starts_[row + 1] - row_starts_[row]);
        const int end_column = std::min({last_column, row_width - 1, matched ? found.column - 1 : last_column});
        for (int column = std::max(first_column, 0); column <= end_column; ++column) {
            if (Equal_Ignoring_Case(cells_[row_starts_[row] + static_cast<std::size_t>(column)], text)) {
                found = {row, column};
                matched = true;
                break;
            }
        }
    }
    return matched;
}

LauncherStatus ProfileTable::FindHeader()
{
    CellPosition section;
    if (!FindCell(u"Section", 0, widest_row_ - 1, 0, row_count_ - 1, section)) return E_FAIL_STATUS;
    CellPosition key;
    if (!FindCell(u"Key", 0, widest_row_ - 1, section.row, section.row, key)) return E_FAIL_STATUS;
    header_row_ = section.row;
    section_column_ = section.column;
    key_column_ = key.column;
    return S_OK_STATUS;
}

LauncherStatus ProfileTable::ChooseLanguage(std::uint16_t language_id)
{
    const LanguageChoice& choice = Choose_Language_Row(language_id);
    const char16_t* codes[3] = {choice.primary_code, choice.secondary_code, TERTIARY_CODE};
    bool any_column = false;
    for (int i = 0; i < 3; ++i) {
        CellPosition found;
        bool present = FindCell(codes[i], 0, widest_row_ - 1, header_row_, header_row_, found);
        language_columns_[i] = present ? found.column : -1;
        any_column = any_column || present;
    }
    language_name_ = choice.language_name;
    return any_column ? S_OK_STATUS : E_FAIL_STATUS;
}

void ProfileTable::SetSection(const std::u16string& name)
{
    current_section_ = name;
}

int ProfileTable::FindKeyRow(const std::u16string& key) const
{
    int first_row = header_row_ + 1;
    if (current_section_.empty()) {
        CellPosition found;
        return FindCell(key, key_column_, key_column_, first_row, row_count_ - 1, found) ? found.row : -1;
    }
    CellPosition section;
    if (!FindCell(current_section_, section_column_, section_column_, first_row, row_count_ - 1, section)) return -1;
    for (int row = section.row; row < row_count_; ++row) {
        if (row > section.row && !CellIsEmpty(row, section_column_)) break;
        const std::u16string* cell = Cell(row, key_column_);
        if (cell != nullptr && Equal_Ignoring_Case(*cell, key)) return row;
    }
    return -1;
}

LauncherStatus ProfileTable::GetText(const std::u16string& key, std::u16string& text) const
{
    text = key;
    if (header_row_ < 0) return S_OK_STATUS;
    int row = FindKeyRow(key);
    if (row < 0) return S_OK_STATUS;
    for (int column : language_columns_) {
        const std::u16string* cell = Cell(row, column);
        if (cell != nullptr && !cell->empty()) {
            text = Replace_Line_Break_Escapes(*cell);
            break;
        }
    }
    return S_OK_STATUS;
}

LauncherStatus ProfileTable::GetTextAnsi(const std::u16string& key, std::string& text) const
{
    std::u16string wide;
    LauncherStatus status = GetText(key, wide);
    text = Utf16_To_Utf8(wide);
    return status;
}

LauncherStatus ProfileTable::LanguageName(std::u16string& name) const
{
    name = language_name_;
    return S_OK_STATUS;
}

std::u16string ProfileTable::Text(const char* key) const
{
    std::u16string text;
    GetText(Utf8_To_Utf16(key), text);
    return text;
}

std::string ProfileTable::TextAnsi(const char* key) const
{
    std::string text;
    GetTextAnsi(Utf8_To_Utf16(key), text);
    return text;
}
