#include "tools/ElementLocatorClass.h"

#include "tools/FileBytes.h"


#include <vector>

namespace {

bool Is_XML_Whitespace(char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ';
}

}  // namespace

bool ElementLocatorClass::Load(const std::string& path)
{
    return Read_File_Bytes(path, Bytes);
}

bool ElementLocatorClass::Comment_At(std::size_t offset) const
{
    return Bytes.compare(offset, 4, "<!--") == 0;
}

std::size_t ElementLocatorClass::Comment_End(std::size_t offset) const
{
    const std::size_t close = Bytes.find("-->", offset + 4);
    return close == std::string::npos ? Bytes.size() : close + 3;
}

std::size_t ElementLocatorClass::Find_Element(const std::string& name, int occurrence) const
{
    std::size_t at = Find_Element_From(name, 0);
    for (int seen = 0; seen < occurrence && at != NOT_FOUND; ++seen) {
        at = Find_Element_From(name, at + 1);
    }
    return at;
}

std::size_t ElementLocatorClass::Find_Element_From(const std::string& name, std::size_t from) const
{
    std::size_t at = Bytes.find('<', from);
    while (at != std::string::npos) {
        if (Comment_At(at)) {
            at = Bytes.find('<', Comment_End(at));
            continue;
        }
        const std::size_t after = at + 1 + name.size();
        const bool named = Bytes.compare(at + 1, name.size(), name) == 0 &&
                           (after == Bytes.size() || Is_XML_Whitespace(Bytes[after]) || Bytes[after] == '/' ||
                            Bytes[after] == '>');
        if (named) {
            return at;
        }
        at = Bytes.find('<', at + 1);
    }
    return NOT_FOUND;
}

// 1. Step past the start tag.
// 2. Collect the text's bytes up to the next tag, leaving comments out.
// 3. Drop the leading whitespace that trimming removes, and index.
std::size_t ElementLocatorClass::Text_Offset(std::size_t element, std::size_t offset) const
{
    std::size_t at = Bytes.find('>', element);
    if (at == std::string::npos) {
        return element;
    }
    ++at;
    std::vector<std::size_t> kept;
    while (at < Bytes.size()) {
        if (Comment_At(at)) {
            at = Comment_End(at);
            continue;
        }
        if (Bytes[at] == '<') {
            break;
        }
        kept.push_back(at++);
    }
    std::size_t first = 0;
    while (first < kept.size() && Is_XML_Whitespace(Bytes[kept[first]])) {
        ++first;
    }
    if (first == kept.size()) {
        return at;
    }
    if (first + offset < kept.size()) {
        return kept[first + offset];
    }
    std::size_t last = kept.size();
    while (last > first && Is_XML_Whitespace(Bytes[kept[last - 1]])) {
        --last;
    }
    return kept[last - 1] + 1;
}

ElementLocatorClass::PositionStruct ElementLocatorClass::Position_Of(std::size_t file_offset) const
{
    PositionStruct position;
    if (file_offset == NOT_FOUND || file_offset > Bytes.size()) {
        return position;
    }
    position.Line = 1;
    std::size_t line_start = 0;
    for (std::size_t index = 0; index < file_offset; ++index) {
        if (Bytes[index] == '\n') {
            ++position.Line;
            line_start = index + 1;
        }
    }
    position.Column = static_cast<int>(file_offset - line_start) + 1;
    return position;
}

std::string ElementLocatorClass::Line_At(std::size_t file_offset) const
{
    if (file_offset == NOT_FOUND || file_offset > Bytes.size()) {
        return std::string();
    }
    const std::size_t start = file_offset == 0 ? 0 : Bytes.rfind('\n', file_offset - 1);
    const std::size_t first = start == std::string::npos || file_offset == 0 ? 0 : start + 1;
    std::size_t end = Bytes.find('\n', file_offset);
    if (end == std::string::npos) {
        end = Bytes.size();
    }
    if (end > first && Bytes[end - 1] == '\r') {
        --end;
    }
    return Bytes.substr(first, end - first);
}
