#include "tools/TextPositionsClass.h"

#include <algorithm>

TextPositionsClass::TextPositionsClass(const std::string& text) : Text(text)
{
    Line_Starts.push_back(0);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        Line_Starts.push_back(at + 1);
    }
}

std::size_t TextPositionsClass::Sequence_Length(std::size_t offset) const
{
    std::size_t length = 1;
    Units_At(offset, length);
    return length;
}

int TextPositionsClass::Units_At(std::size_t offset, std::size_t& length) const
{
    length = 1;
    const unsigned char lead = static_cast<unsigned char>(Text[offset]);
    std::size_t expected = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        expected = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        expected = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        expected = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 1;
    }
    if (offset + expected > Text.size()) {
        return 1;
    }
    for (std::size_t index = 1; index < expected; ++index) {
        const unsigned char next = static_cast<unsigned char>(Text[offset + index]);
        if ((next & 0xC0) != 0x80) {
            return 1;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 1;
    }
    length = expected;
    return code >= 0x10000 ? 2 : 1;
}

TextPositionsClass::PositionStruct TextPositionsClass::Position_Of(std::size_t offset) const
{
    offset = std::min(offset, Text.size());
    const auto after = std::upper_bound(Line_Starts.begin(), Line_Starts.end(), offset);
    PositionStruct position;
    position.Line = static_cast<int>(after - Line_Starts.begin()) - 1;
    std::size_t at = Line_Starts[position.Line];
    while (at < offset) {
        std::size_t length = 1;
        position.Character += Units_At(at, length);
        at += length;
    }
    return position;
}

std::size_t TextPositionsClass::Line_End(std::size_t line) const
{
    if (line + 1 < Line_Starts.size()) {
        return Line_Starts[line + 1] - 1;
    }
    return Text.size();
}

std::size_t TextPositionsClass::Offset_Of(const PositionStruct& position) const
{
    if (position.Line < 0) {
        return 0;
    }
    if (static_cast<std::size_t>(position.Line) >= Line_Starts.size()) {
        return Text.size();
    }
    const std::size_t end = Line_End(static_cast<std::size_t>(position.Line));
    std::size_t at = Line_Starts[position.Line];
    int units = 0;
    while (at < end && units < position.Character) {
        std::size_t length = 1;
        units += Units_At(at, length);
        at += length;
    }
    return std::min(at, end);
}
