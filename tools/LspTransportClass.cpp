#include "tools/LspTransportClass.h"

#include <algorithm>
#include <cctype>
#include <vector>

bool LspTransportClass::Read_Line(std::string& line, bool& too_long)
{
    line.clear();
    too_long = false;
    int byte = std::getc(Input);
    if (byte == EOF) {
        return false;
    }
    for (; byte != EOF && byte != '\n'; byte = std::getc(Input)) {
        if (line.size() < MAX_HEADER_LINE) {
            line += static_cast<char>(byte);
        } else {
            too_long = true;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

// 1. Header lines up to a blank line; the length is found even where the bytes of a broken
//    message run into its line.
// 2. Exactly that many bytes of body.
LspTransportClass::ReadResultType LspTransportClass::Read_Message(std::string& body, std::string& problem)
{
    std::string line;
    bool too_long = false;
    bool any_header = false;
    bool length_seen = false;
    bool length_bad = false;
    std::size_t length = 0;
    while (true) {
        if (!Read_Line(line, too_long)) {
            return READ_END;
        }
        if (line.empty() && !too_long) {
            if (any_header) {
                break;
            }
            continue;
        }
        any_header = true;
        std::string lowered = line;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                       [](unsigned char byte) { return static_cast<char>(std::tolower(byte)); });
        const std::size_t name = lowered.find("content-length:");
        if (too_long || name == std::string::npos) {
            continue;
        }
        std::size_t at = name + 15;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        length_seen = true;
        length_bad = at == line.size();
        length = 0;
        for (; at < line.size() && !length_bad; ++at) {
            if (!std::isdigit(static_cast<unsigned char>(line[at])) || length > MAX_BODY) {
                length_bad = line[at] != ' ' || length > MAX_BODY;
                break;
            }
            length = length * 10 + static_cast<std::size_t>(line[at] - '0');
        }
        length_bad = length_bad || length > MAX_BODY;
    }
    if (!length_seen || length_bad) {
        problem = length_seen ? "a Content-Length that is not a number of at most " + std::to_string(MAX_BODY)
                              : "a message without Content-Length";
        return READ_MALFORMED;
    }
    body.assign(length, '\0');
    const std::size_t read = length == 0 ? 0 : std::fread(&body[0], 1, length, Input);
    if (read != length) {
        return READ_END;
    }
    return READ_MESSAGE;
}

bool LspTransportClass::Write_Message(const std::string& body)
{
    const std::string header = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    const bool written = std::fwrite(header.data(), 1, header.size(), Output) == header.size() &&
                         std::fwrite(body.data(), 1, body.size(), Output) == body.size();
    return std::fflush(Output) == 0 && written;
}
