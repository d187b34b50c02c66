#include "RegistryTestHost.h"

#include "TestHandInsStruct.h"
#include "data/MegaArchiveWriterClass.h"

#include <cctype>
#include <gtest/gtest.h>

const char EQUATION_DIRECTORY[] = "Data/XML/AI/PerceptualEquations/";

RegistryTestHost* RegistryTestHost::Current = nullptr;

namespace {

std::vector<std::string> TheTokenNames;

class TestTokenConverter : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    // Names reach the converter with the blanks that follow them ("Speed " in "Unit.Speed + 1"),
    // so, like a game's converter, this one ignores trailing whitespace.
    bool String_To_Enum(const std::string& text, PerceptionTokenType& value) const override
    {
        const std::string name = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
        if (name.empty() || name == "Unknown") {
            return false;
        }
        for (char byte : name) {
            if (std::isalnum(static_cast<unsigned char>(byte)) == 0 && byte != '_') {
                return false;
            }
        }
        for (std::size_t index = 0; index < TheTokenNames.size(); ++index) {
            if (TheTokenNames[index] == name) {
                value = static_cast<PerceptionTokenType>(index);
                return true;
            }
        }
        TheTokenNames.push_back(name);
        value = static_cast<PerceptionTokenType>(TheTokenNames.size() - 1);
        return true;
    }
};

TestTokenConverter TheTokenConverter;

bool Evaluate_Token(const PerceptionContextClass*, PerceptionEvaluationStateClass& state, float& result)
{
    std::string path;
    for (PerceptionTokenType token : state.Get_Token_Path()) {
        path += (path.empty() ? "" : ".") + RegistryTestHost::Token_Name(token);
    }
    const auto value = RegistryTestHost::Current->Values.find(path);
    if (value == RegistryTestHost::Current->Values.end()) {
        return false;
    }
    result = value->second;
    return true;
}

bool Bind_Token(PerceptionContextClass*, PerceptionTokenType left, PerceptionTokenType right)
{
    RegistryTestHost::Current->Bound.emplace_back(RegistryTestHost::Token_Name(left), RegistryTestHost::Token_Name(right));
    return true;
}

bool Skip_File(const std::string& path)
{
    RegistryTestHost::Current->Skipped_Candidates.push_back(path);
    for (const std::string& skipped : RegistryTestHost::Current->Files_To_Skip) {
        if (path.find(skipped) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void File_Loaded(const std::string& path)
{
    RegistryTestHost::Current->Loaded_Files.push_back(path);
}

}  // namespace

RegistryTestHost::RegistryTestHost()
{
    Current = this;
    Set_Notice_Handler(&TestHandInsStruct::Silent_Notice);
}

RegistryTestHost::~RegistryTestHost()
{
    Current = nullptr;
    TestHandInsStruct::Uninstall();
}

void RegistryTestHost::Install(MegaFileManagerClass* files)
{
    TestHandInsStruct binding;
    binding.Token_Converter = &TheTokenConverter;
    binding.Bind_Token_Callback = Bind_Token;
    binding.Evaluate_Token_Callback = Evaluate_Token;
    binding.Skip_File_Callback = Skip_File;
    binding.File_Loaded_Callback = File_Loaded;
    binding.Fill_Harmless_Callbacks();
    binding.File_Manager = files;
    binding.Install();
}

std::string RegistryTestHost::Token_Name(PerceptionTokenType token)
{
    return token >= 0 && static_cast<std::size_t>(token) < TheTokenNames.size() ? TheTokenNames[token] : "?";
}

void ScratchGameRoot::Write(const std::string& relative_path, const std::string& content) const
{
    Files.Add_File(relative_path, content);
}

std::string ScratchGameRoot::Equation_File(const std::vector<std::pair<std::string, std::string>>& equations)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<Equations>\n";
    for (const auto& [name, text] : equations) {
        xml += "  <" + name + ">" + text + "</" + name + ">\n";
    }
    return xml + "</Equations>\n";
}

void ScratchGameRoot::Write_Equations(const std::string& file_name,
                                      const std::vector<std::pair<std::string, std::string>>& equations) const
{
    Write(EQUATION_DIRECTORY + file_name, Equation_File(equations));
}

void ScratchGameRoot::Write_Archive(const std::string& archive_path,
                                   const std::vector<std::pair<std::string, std::string>>& members) const
{
    MegaArchiveWriterClass writer;
    for (const auto& [name, content] : members) {
        ASSERT_TRUE(writer.Add_File(name, content)) << writer.Get_Last_Error();
    }
    const std::string::size_type slash = archive_path.find_last_of("/\\");
    if (slash != std::string::npos) Files.Add_Directory(archive_path.substr(0, slash));
    ASSERT_TRUE(writer.Write_To_File(archive_path));
}
