#ifndef VESTIBAR_TEXT_CONVERSION_H
#define VESTIBAR_TEXT_CONVERSION_H

#include <string>

// The launcher keeps profile texts as UTF-16 and hands 8-bit text (UTF-8 on this platform,
// the "ANSI code page") to registry names, file names and message boxes.
std::string Utf16_To_Utf8(const std::u16string& text);
std::u16string Utf8_To_Utf16(const std::string& text);

// ASCII case folding only: keys, section names and language codes are ASCII.
char16_t Fold_Ascii_Case(char16_t character);
bool Equal_Ignoring_Case(const std::u16string& left, const std::u16string& right);
bool Equal_Ignoring_Case(const std::string& left, const std::string& right);

#endif
