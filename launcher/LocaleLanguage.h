#ifndef VESTIBAR_LOCALE_LANGUAGE_H
#define VESTIBAR_LOCALE_LANGUAGE_H

#include <cstdint>
#include <string>

// Windows language id (sub-language << 10 | primary language) of a POSIX locale name such as
// "de_DE.UTF-8", "es_MX" or "pt_BR@latin"; "C", "POSIX" and unknown languages give English/1.
// A LANGUAGE list ("fr_CA:fr") is judged by its first entry.
std::uint16_t Language_Id_From_Locale(const std::string& locale);

// The override "0x0407" (or decimal); false when it is not a number of 16 bits.
bool Parse_Language_Id(const std::string& text, std::uint16_t& language_id);

#endif
