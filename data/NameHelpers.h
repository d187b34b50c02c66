#ifndef COGNEXA_DATA_NAME_HELPERS_H
#define COGNEXA_DATA_NAME_HELPERS_H

#include <string>

// Every byte through toupper in the "C" locale: only a to z change.
std::string To_Upper_Copy(const std::string& text);
// Without leading and trailing tab, line feed, carriage return and space.
std::string Trim_Whitespace(const std::string& text);

struct SplitPathStruct {
    std::string Directory;
    std::string File_Name;
};
// Trimmed, upper case, "/" as backslash; split at the last backslash; a leading ".", ".\" or
// "\" dropped from the directory.
void Split_Path_Into(const std::string& path, SplitPathStruct& parts);
SplitPathStruct Split_Path(const std::string& path);
// The stored form of an archive member name: directory + "\" + file name, or the file name
// alone when the directory is empty.
std::string Normalize_Member_Name(const std::string& name);

#endif
