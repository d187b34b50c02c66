#ifndef COGNEXA_TOOLS_TOOL_HOST_CLASS_H
#define COGNEXA_TOOLS_TOOL_HOST_CLASS_H

#include "tools/NameListDatabaseClass.h"
#include "tools/PerceptionContextClass.h"
#include "tools/ToolTokenConverterClass.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class MegaFileManagerClass;

// The tool plays the game's part towards the library: token names, databases, token values
// and the file system, handed over with Init_Perception_DLL. Notices are collected instead of
// shown. One host is installed at a time.
class ToolHostClass {
public:
    struct NoticeStruct {
        std::string Caption;
        std::string Text;
    };

    ToolHostClass();
    ~ToolHostClass();
    ToolHostClass(const ToolHostClass&) = delete;
    ToolHostClass& operator=(const ToolHostClass&) = delete;

    // --tokens FILE: only the names listed (one a line) are tokens.
    bool Load_Token_File(const std::string& path, std::string& error);
    // --database NAME=FILE: a database and its object names (one a line). Once one is given,
    // databases not given are unknown; before, every database and object is accepted.
    bool Add_Database(const std::string& argument, std::string& error);
    // --set Unit.Speed=3: the value of a token path.
    bool Set_Value(const std::string& argument, std::string& error);

    void Install(MegaFileManagerClass* files);

    PerceptionContextClass& Get_Context() { return Context; }
    ToolTokenConverterClass& Get_Tokens() { return Tokens; }
    // The dotted path of the last token asked for that has no value, or "".
    const std::string& Get_Missing_Value() const { return Missing_Value; }
    void Forget_Missing_Value() { Missing_Value.clear(); }
    std::vector<NoticeStruct> Take_Notices();

    // Callback bodies, reached through the installed host.
    bool Evaluate_Token(const PerceptionContextClass& context, const std::vector<PerceptionTokenType>& path,
                        float& result);
    const DatabaseUIntConversionClass* Find_Database(const std::string& name);
    void Collect_Notice(const char* caption, const char* text);

private:
    ToolTokenConverterClass Tokens;
    std::map<std::string, std::unique_ptr<NameListDatabaseClass>> Databases;
    bool Databases_Given = false;
    PerceptionContextClass Context;
    std::string Missing_Value;
    std::vector<NoticeStruct> Notices;
};

// The names of a list file: one a line, blanks around a name ignored, empty lines and lines
// starting with "#" skipped; a "#" after a name starts its description. False when the file
// cannot be read.
struct DescribedNameStruct {
    std::string Name;
    std::string Description;
};
bool Read_Described_Names(const std::string& path, std::vector<DescribedNameStruct>& names);
bool Read_Name_List(const std::string& path, std::vector<std::string>& names);

#endif
