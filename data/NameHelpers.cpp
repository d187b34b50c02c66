#include "data/NameHelpers.h"

namespace {

bool Is_Whitespace(char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ';
}

// The "C" locale's toupper, without consulting the process locale.
char Ascii_Upper(char byte)
{
    return (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 'a' + 'A') : byte;
}

std::string Trimmed_Copy(const std::string& text)
{
    std::string::size_type first = 0;
    std::string::size_type last = text.size();
    while (first < last && Is_Whitespace(text[first])) ++first;
    while (last > first && Is_Whitespace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

std::string To_Upper_Copy(const std::string& text)
{
    std::string upper = text;
    for (char& byte : upper) byte = Ascii_Upper(byte);
    return upper;
}

const std::string& To_Upper(const std::string& text)
{
    static std::string result;
    result = To_Upper_Copy(text);
    return result;
}

const std::string& Trim_Whitespace(const std::string& text)
{
    static std::string result;
    result = Trimmed_Copy(text);
    return result;
}

void Split_Path_Into(const std::string& path, SplitPathStruct& parts)
{
    std::string normal = To_Upper_Copy(Trimmed_Copy(path));
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

const SplitPathStruct& Split_Path(const std::string& path)
{
    static SplitPathStruct result;
    SplitPathStruct parts;
    Split_Path_Into(path, parts);
    result = parts;
    return result;
}

std::string Normalize_Member_Name(const std::string& name)
{
    SplitPathStruct parts;
    Split_Path_Into(name, parts);
    return parts.Directory.empty() ? parts.File_Name : parts.Directory + "\\" + parts.File_Name;
}
