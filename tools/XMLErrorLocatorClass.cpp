#include "tools/XMLErrorLocatorClass.h"

#include <vector>

namespace {

bool Is_Blank(char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ';
}

}  // namespace

void XMLErrorLocatorClass::Fail_At(std::size_t start, std::size_t end)
{
    if (!Failed) {
        Failed = true;
        Failure = PlaceStruct{start, end > start ? end : start + 1};
    }
}

std::size_t XMLErrorLocatorClass::Name_End(std::size_t from) const
{
    while (from < Bytes.size() && !Is_Blank(Bytes[from]) && Bytes[from] != '/' && Bytes[from] != '=' &&
           Bytes[from] != '>') {
        ++from;
    }
    return from;
}

// At the "<" of "<!--": true when the comment closes with "-->" at its first "--".
bool XMLErrorLocatorClass::Skip_Comment()
{
    const std::size_t start = At;
    const std::size_t dashes = Bytes.find("--", At + 4);
    if (dashes == std::string::npos || dashes + 2 >= Bytes.size() || Bytes[dashes + 2] != '>') {
        if (Bad_Comment == std::string::npos) {
            Bad_Comment = start;
        }
        Fail_At(start, dashes == std::string::npos ? Bytes.size() : dashes + 2);
        At = Bytes.size();
        return false;
    }
    At = dashes + 3;
    return true;
}

// At the "<" of a start tag: reads its name and attributes up to its ">".
bool XMLErrorLocatorClass::Scan_Start_Tag(std::string& name, bool& empty)
{
    const std::size_t start = At++;
    const std::size_t name_end = Name_End(At);
    name = Bytes.substr(At, name_end - At);
    At = name_end;
    empty = false;
    while (At < Bytes.size()) {
        while (At < Bytes.size() && Is_Blank(Bytes[At])) {
            ++At;
        }
        if (At >= Bytes.size()) {
            break;
        }
        if (Bytes[At] == '>') {
            ++At;
            return true;
        }
        if (Bytes[At] == '/') {
            empty = At + 1 < Bytes.size() && Bytes[At + 1] == '>';
            At += empty ? 2 : 1;
            if (empty) {
                return true;
            }
            continue;
        }
        const std::size_t attribute = At;
        At = Name_End(At);
        if (At >= Bytes.size() || Bytes[At] != '=') {
            Fail_At(attribute, At);
            return false;
        }
        ++At;
        while (At < Bytes.size() && Is_Blank(Bytes[At])) {
            ++At;
        }
        if (At >= Bytes.size() || Bytes[At] != '"') {
            Fail_At(attribute, At);
            return false;
        }
        const std::size_t close = Bytes.find('"', At + 1);
        At = close == std::string::npos ? Bytes.size() : close + 1;
    }
    Fail_At(start, Bytes.size());
    return false;
}

// From just after the header: comments, tags balanced by exact name, one root.
bool XMLErrorLocatorClass::Scan_Elements()
{
    std::vector<std::pair<std::string, std::size_t>> open;
    while (true) {
        At = Bytes.find('<', At);
        if (At == std::string::npos) {
            if (!open.empty()) {
                Fail_At(open.back().second, Bytes.size());
            }
            return open.empty();
        }
        if (Bytes.compare(At, 4, "<!--") == 0) {
            if (!Skip_Comment()) {
                return false;
            }
            continue;
        }
        if (At + 1 < Bytes.size() && Bytes[At + 1] == '/') {
            const std::size_t start = At;
            const std::size_t name_end = Name_End(At + 2);
            const std::string name = Bytes.substr(At + 2, name_end - At - 2);
            if (open.empty() || open.back().first != name) {
                Fail_At(start, name_end);
                return false;
            }
            open.pop_back();
            At = Bytes.find('>', name_end);
            if (At == std::string::npos) {
                Fail_At(start, Bytes.size());
                return false;
            }
            ++At;
            continue;
        }
        if (open.empty()) {
            if (Root != std::string::npos && Second_Root == std::string::npos) {
                Second_Root = At;
                return true;
            }
            Root = At;
        }
        const std::size_t start = At;
        std::string name;
        bool empty = false;
        if (!Scan_Start_Tag(name, empty)) {
            return false;
        }
        if (!empty) {
            open.emplace_back(name, start);
        }
    }
}

XMLErrorLocatorClass::PlaceStruct XMLErrorLocatorClass::Locate(const std::string& bytes, const std::string& message)
{
    XMLErrorLocatorClass walk(bytes);
    const std::size_t header = bytes.find('<');
    if (header == std::string::npos || header + 1 >= bytes.size() || bytes[header + 1] != '?' ||
        message.compare(0, 18, "error reading xml ") == 0) {
        const std::size_t start = header == std::string::npos ? 0 : header;
        const std::size_t line_end = bytes.find('\n', start);
        return PlaceStruct{start, line_end == std::string::npos ? bytes.size() : line_end};
    }
    walk.At = bytes.find('>', header);
    walk.At = walk.At == std::string::npos ? bytes.size() : walk.At + 1;
    walk.Scan_Elements();

    const std::size_t root_name_end = walk.Root == std::string::npos ? 0 : walk.Name_End(walk.Root + 1);
    if (message.find("multiple root") != std::string::npos && walk.Second_Root != std::string::npos) {
        return PlaceStruct{walk.Second_Root, walk.Name_End(walk.Second_Root + 1)};
    }
    if (message.find("only has a root") != std::string::npos && walk.Root != std::string::npos) {
        return PlaceStruct{walk.Root, root_name_end};
    }
    if (message.find("comment") != std::string::npos && walk.Bad_Comment != std::string::npos) {
        return PlaceStruct{walk.Bad_Comment, walk.Bad_Comment + 4};
    }
    if (walk.Failed) {
        return walk.Failure;
    }
    // Nothing breaks the rules walked here: mark the root's tag, or the header.
    if (walk.Root != std::string::npos) {
        return PlaceStruct{walk.Root, root_name_end};
    }
    return PlaceStruct{header, header + 2};
}
