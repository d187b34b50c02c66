#ifndef COGNEXA_TOOLS_JSON_TEXT_H
#define COGNEXA_TOOLS_JSON_TEXT_H

#include <cstdio>
#include <string>

// A JSON string literal of bytes taken as UTF-8: quotes, backslashes and control characters
// escaped.
inline std::string Json_Quote(const std::string& text)
{
    std::string quoted = "\"";
    for (const char byte : text) {
        const unsigned char code = static_cast<unsigned char>(byte);
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += byte;
        } else if (byte == '\n') {
            quoted += "\\n";
        } else if (byte == '\t') {
            quoted += "\\t";
        } else if (code < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", code);
            quoted += escape;
        } else {
            quoted += byte;
        }
    }
    return quoted + "\"";
}

#endif
