#ifndef COGNEXA_ASCII_CHARACTER_TABLE_H
#define COGNEXA_ASCII_CHARACTER_TABLE_H

#include <array>
#include <cstdint>

// Character classes of the equation and call texts: those of the C library in its default
// locale, from a table so that a host's setlocale cannot change what an equation means.
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

inline const char* Skip_Blanks(const char* cursor, const char* end)
{
    while (cursor < end && Is_Blank(*cursor)) {
        ++cursor;
    }
    return cursor;
}

}  // namespace AsciiCharacterTable

#endif
