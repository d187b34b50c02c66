#ifndef COGNEXA_ASCII_CHARACTER_TABLE_H
#define COGNEXA_ASCII_CHARACTER_TABLE_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Character classes and letter case of the equation and call texts, names and paths: those of
// the C library in its default locale, never the process locale, so that a host's setlocale
// (a single-byte Turkish locale folds "i" to 0xDD) cannot change what an equation means or
// which name matches which.
namespace AsciiCharacterTable {

enum : uint8_t { BLANK = 1, LETTER = 2, DIGIT = 4 };

constexpr std::array<uint8_t, 256> Make_Table()
{
    std::array<uint8_t, 256> table{};
    for (const char blank : {' ', '\t', '\n', '\v', '\f', '\r'}) {
        table[static_cast<unsigned char>(blank)] = BLANK;
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        table[c] = LETTER;
        table[c - 'a' + 'A'] = LETTER;
    }
    for (int c = '0'; c <= '9'; ++c) {
        table[c] = DIGIT;
    }
    return table;
}

inline constexpr std::array<uint8_t, 256> Classes = Make_Table();

inline bool Is_Blank(char c) { return (Classes[static_cast<unsigned char>(c)] & BLANK) != 0; }
inline bool Is_Letter(char c) { return (Classes[static_cast<unsigned char>(c)] & LETTER) != 0; }
inline bool Is_Digit(char c) { return (Classes[static_cast<unsigned char>(c)] & DIGIT) != 0; }
inline bool Is_Letter_Or_Digit(char c) { return (Classes[static_cast<unsigned char>(c)] & (LETTER | DIGIT)) != 0; }

// Only a to z and A to Z change case; every other byte, 0x80 and up included, stays as it is.
inline char Ascii_Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline char Ascii_Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline bool Ascii_Equal_Ignoring_Case(char left, char right) { return Ascii_Upper(left) == Ascii_Upper(right); }

inline bool Ascii_Equal_Ignoring_Case(std::string_view left, std::string_view right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t index = 0; index < left.size(); ++index) {
        if (!Ascii_Equal_Ignoring_Case(left[index], right[index])) {
            return false;
        }
    }
    return true;
}

inline void Ascii_Upper_In_Place(std::string& text)
{
    for (char& c : text) {
        c = Ascii_Upper(c);
    }
}

inline std::string Ascii_Upper_Copy(std::string_view text)
{
    std::string upper(text);
    Ascii_Upper_In_Place(upper);
    return upper;
}

inline const char* Skip_Blanks(const char* cursor, const char* end)
{
    while (cursor < end && Is_Blank(*cursor)) {
        ++cursor;
    }
    return cursor;
}

}  // namespace AsciiCharacterTable

#endif
