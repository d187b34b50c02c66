#include "tools/ToolHostClass.h"

#include "tools/NearestRoundingScopeClass.h"

#include <cognexa/HostHandIns.h>
#include <cognexa/Notice.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <random>

namespace {

ToolHostClass* TheInstalledHost = nullptr;
std::mt19937 TheRandomSource(1);
bool TheHostFlag = false;

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool Evaluate_Token_Callback(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    return TheInstalledHost->Evaluate_Token(*context, state.Get_Token_Path(), result);
}

bool Bind_Token_Callback(PerceptionContextClass* context, PerceptionTokenType left, PerceptionTokenType right)
{
    context->Aliases[left] = right;
    return true;
}

void Evaluate_Notify_Callback(const PerceptionContextClass&, const PerceptionFunctionClass&) {}

float Random_Float_Callback(float low, float high)
{
    return std::uniform_real_distribution<float>(std::min(low, high), std::max(low, high))(TheRandomSource);
}

void* Allocate_Callback(unsigned int size)
{
    return ::operator new(size);
}

bool Skip_File_Callback(const std::string&)
{
    return false;
}

void File_Loaded_Callback(const std::string&) {}

const DatabaseUIntConversionClass* Find_Database_Callback(const std::string& name)
{
    return TheInstalledHost->Find_Database(name);
}

void Notice_Handler(const char* caption, const char* text)
{
    TheInstalledHost->Collect_Notice(caption, text);
}

}  // namespace

bool Read_Described_Names(const std::string& path, std::vector<DescribedNameStruct>& names)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t hash = line.find('#');
        const std::string name = Trimmed(line.substr(0, hash));
        if (!name.empty()) {
            names.push_back(DescribedNameStruct{name, hash == std::string::npos ? std::string() : Trimmed(line.substr(hash + 1))});
        }
    }
    return !file.bad();
}

bool Read_Name_List(const std::string& path, std::vector<std::string>& names)
{
    std::vector<DescribedNameStruct> described;
    if (!Read_Described_Names(path, described)) {
        return false;
    }
    for (DescribedNameStruct& entry : described) {
        names.push_back(std::move(entry.Name));
    }
    return true;
}

ToolHostClass::ToolHostClass() = default;

ToolHostClass::~ToolHostClass()
{
    if (TheInstalledHost == this) {
        Set_Notice_Handler(nullptr);
        TheInstalledHost = nullptr;
    }
}

bool ToolHostClass::Load_Token_File(const std::string& path, std::string& error)
{
    std::vector<std::string> names;
    if (!Read_Name_List(path, names)) {
        error = path + ": cannot read the token list";
        return false;
    }
    Tokens.Restrict_To(names);
    return true;
}

bool ToolHostClass::Add_Database(const std::string& argument, std::string& error)
{
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == argument.size()) {
        error = "--database wants NAME=FILE, not \"" + argument + "\"";
        return false;
    }
    const std::string name = argument.substr(0, equals);
    const std::string path = argument.substr(equals + 1);
    std::vector<std::string> objects;
    if (!Read_Name_List(path, objects)) {
        error = path + ": cannot read the object list of database " + name;
        return false;
    }
    Databases[name] = std::make_unique<NameListDatabaseClass>(name, objects, false);
    Databases_Given = true;
    return true;
}

bool ToolHostClass::Set_Value(const std::string& argument, std::string& error)
{
    const std::size_t equals = argument.rfind('=');
    const std::string path = equals == std::string::npos ? std::string() : Trimmed(argument.substr(0, equals));
    if (path.empty() || path.find('.') == std::string::npos) {
        error = "--set wants TOKEN.PATH=NUMBER, not \"" + argument + "\"";
        return false;
    }
    const std::string number = Trimmed(argument.substr(equals + 1));
    char* end = nullptr;
    errno = 0;
    const NearestRoundingScopeClass rounding;
    const float value = std::strtof(number.c_str(), &end);
    if (number.empty() || *end != '\0' || errno == ERANGE) {
        error = "--set " + path + ": \"" + number + "\" is not a number";
        return false;
    }
    Context.Values[path] = value;
    return true;
}

void ToolHostClass::Install(MegaFileManagerClass* files)
{
    TheInstalledHost = this;
    Init_Perception_DLL(&Tokens, &Bind_Token_Callback, &Evaluate_Token_Callback, &Evaluate_Notify_Callback,
                        &Random_Float_Callback, &Allocate_Callback, &Skip_File_Callback, &File_Loaded_Callback,
                        &Find_Database_Callback, &PerceptionEvaluationStateClass::Set_Value,
                        &PerceptionEvaluationStateClass::Reset_Values, files, &TheHostFlag);
    Set_Notice_Handler(&Notice_Handler);
}

std::vector<ToolHostClass::NoticeStruct> ToolHostClass::Take_Notices()
{
    std::vector<NoticeStruct> taken;
    taken.swap(Notices);
    return taken;
}

// Each name of the path goes through the call's aliases once, so "Name{Unit=Enemy}" makes
// "Unit.Speed" read the value of "Enemy.Speed".
bool ToolHostClass::Evaluate_Token(const PerceptionContextClass& context, const std::vector<PerceptionTokenType>& path,
                                   float& result)
{
    std::string dotted;
    for (PerceptionTokenType token : path) {
        const auto alias = context.Aliases.find(token);
        const PerceptionTokenType resolved = alias != context.Aliases.end() ? alias->second : token;
        dotted += (dotted.empty() ? "" : ".") + Tokens.Name_Of(resolved);
    }
    const auto value = context.Values.find(dotted);
    if (value == context.Values.end()) {
        Missing_Value = dotted;
        return false;
    }
    result = value->second;
    return true;
}

const DatabaseUIntConversionClass* ToolHostClass::Find_Database(const std::string& name)
{
    const std::string key = Trim_Trailing_Blanks(name);
    const auto found = Databases.find(key);
    if (found != Databases.end()) {
        return found->second.get();
    }
    if (Databases_Given || key.empty()) {
        return nullptr;
    }
    auto& open = Databases[key];
    open = std::make_unique<NameListDatabaseClass>(key, std::vector<std::string>(), true);
    return open.get();
}

void ToolHostClass::Collect_Notice(const char* caption, const char* text)
{
    Notices.push_back(NoticeStruct{caption != nullptr ? caption : "", text != nullptr ? text : ""});
}
