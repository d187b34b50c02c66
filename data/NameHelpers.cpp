#include "data/NameHelpers.h"

#include "foundation/AsciiCharacterTable.h"

namespace {

bool Is_Whitespace(char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ';
}

}  // namespace

std::string To_Upper_Copy(const std::string& text)
{
    return AsciiCharacterTable::Ascii_Upper_Copy(text);
}

std::string Trim_Whitespace(const std::string& text)
{
    std::string::size_type first = 0;
    std::string::size_type last = text.size();
    while (first < last && Is_Whitespace(text[first])) ++first;
    while (last > first && Is_Whitespace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

void Split_Path_Into(const std::string& path, SplitPathStruct& parts)
{
    std::string normal = To_Upper_Copy(Trim_Whitespace(path));
    for (char& byte : normal) {
        if (byte == '/') byte = '\\';
    }
    const std::string::size_type last_slash = normal.rfind('\\');
    if (last_slash == std::string::npos) {
        parts.Directory.clear();
        parts.File_Name = normal;
        return;
    }
    parts.File_Name = normal.substr(last_slash + 1);
    std::string::size_type start = 0;
    if (normal[start] == '.') ++start;
    if (normal[start] == '\\') ++start;
    parts.Directory = start < last_slash ? normal.substr(start, last_slash - start) : std::string();
}

SplitPathStruct Split_Path(const std::string& path)
{
    SplitPathStruct parts;
    Split_Path_Into(path, parts);
    return parts;
}

std::string Normalize_Member_Name(const std::string& name)
{
    SplitPathStruct parts;
    Split_Path_Into(name, parts);
    return parts.Directory.empty() ? parts.File_Name : parts.Directory + "\\" + parts.File_Name;
}
