#ifndef VESTIBAR_PROFILE_TABLE_H
#define VESTIBAR_PROFILE_TABLE_H

#include "launcher/LauncherStatus.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class LauncherPlatformClass;

// The launcher's string table: tab-separated UTF-16 text laid out like a spreadsheet, one row
// per key and one column per language. Lookups fall back through three language columns and
// finally to the key name itself, so a missing text never fails. Every operation is named in
// the style of the table's established ones (SetSection, GetText, GetTextAnsi, LanguageName).
class ProfileTable {
public:
    // Finds the embedded resource of that name and parses it for the user's UI language.
    LauncherStatus Load(const LauncherPlatformClass& platform, const char* resource_name);
    // language_id: primary language in the low 10 bits, sub-language in the upper 6.
    LauncherStatus Parse(const unsigned char* bytes, std::size_t size, std::uint16_t language_id);

    void SetSection(const std::u16string& name);
    LauncherStatus GetText(const std::u16string& key, std::u16string& text) const;
    LauncherStatus GetTextAnsi(const std::u16string& key, std::string& text) const;
    LauncherStatus LanguageName(std::u16string& name) const;

    // Conveniences for the launcher's own code, which names keys in 8-bit text.
    std::u16string Text(const char* key) const;
    std::string TextAnsi(const char* key) const;

    int RowCount() const { return row_count_; }
    int WidestRow() const { return widest_row_; }

private:
    struct CellPosition {
        int row;
        int column;
    };

    LauncherStatus SplitIntoCells(const std::u16string& text);
    LauncherStatus FindHeader();
    LauncherStatus ChooseLanguage(std::uint16_t language_id);
    bool FindCell(const std::u16string& text, int first_column, int last_column, int first_row, int last_row,
                  CellPosition& found) const;
    const std::u16string* Cell(int row, int column) const;
    bool CellIsEmpty(int row, int column) const;
    int FindKeyRow(const std::u16string& key) const;

    std::vector<std::u16string> cells_;
    std::vector<std::size_t> row_starts_;
    int row_count_ = 0;
    int widest_row_ = 0;
    int header_row_ = -1;
    int section_column_ = -1;
    int key_column_ = -1;
    int language_columns_[3] = {-1, -1, -1};
    std::u16string language_name_;
    std::u16string current_section_;
};

#endif
