#ifndef COGNEXA_TOOLS_EQUATION_WORKSPACE_CLASS_H
#define COGNEXA_TOOLS_EQUATION_WORKSPACE_CLASS_H

#include "tools/ElementLocatorClass.h"
#include "tools/EquationDiagnosticsClass.h"
#include "tools/TextPositionsClass.h"
#include "tools/ToolHostClass.h"

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The equation files an editor works on, checked as the game loads them: every "*.XML" of the
// workspace's equation folder (read from disk) and every file open in the editor (its text as
// the editor holds it). Files are named by their path; positions are editor positions (UTF-16
// columns) in the text given. Plain calls: the editor protocol is translated elsewhere.
class EquationWorkspaceClass {
public:
    typedef TextPositionsClass::PositionStruct PositionType;

    struct RangeStruct {
        PositionType Start;
        PositionType End;
    };

    struct RelatedStruct {
        std::string Path;
        RangeStruct Range;
        std::string Message;
    };

    struct DiagnosticStruct {
        RangeStruct Range;
        std::string Kind;     // as cognexa check --json names it
        std::string Message;  // as cognexa check words it
        std::vector<RelatedStruct> Related;
    };

    struct SymbolStruct {
        std::string Name;
        std::string Path;
        RangeStruct Range;      // the whole element
        RangeStruct Selection;  // its tag name
        std::string Text;       // the equation text
    };

    enum CompletionKindType { COMPLETION_TOKEN, COMPLETION_FUNCTION, COMPLETION_OBJECT, COMPLETION_SUBJECT };

    struct CompletionStruct {
        std::string Label;
        CompletionKindType Kind;
        std::string Detail;
    };

    // The file in a workspace that names the game's tokens, when no list is given otherwise.
    static const char TOKEN_FILE[];

    EquationWorkspaceClass();
    ~EquationWorkspaceClass();

    // The game's names, as cognexa check takes them; descriptions follow a name after "#".
    bool Load_Token_File(const std::string& path, std::string& error);
    bool Add_Database(const std::string& name, const std::string& path, std::string& error);
    // The value of a token path, for hover ("Unit.Speed", 3).
    void Set_Value(const std::string& path, float value);

    // The workspace: the game's root (its Data/XML/AI/PerceptualEquations is used) or the
    // equation folder itself. A token file in it is read unless a list was loaded already.
    void Set_Folder(const std::string& folder);
    const std::string& Get_Equation_Folder() const { return Equation_Folder; }

    void Open_Document(const std::string& path, const std::string& text);
    void Close_Document(const std::string& path);
    bool Is_Open(const std::string& path) const { return Open_Texts.count(path) != 0; }
    // The editor's text of an open file; "" for one not open.
    std::string Open_Text(const std::string& path) const
    {
        const auto found = Open_Texts.find(path);
        return found != Open_Texts.end() ? found->second : std::string();
    }

    // Checks every file; the findings of each, an empty list for a clean file.
    std::map<std::string, std::vector<DiagnosticStruct>> Analyse();

    // After Analyse.
    std::vector<CompletionStruct> Complete(const std::string& path, const PositionType& position) const;
    // Markdown; "" when there is nothing to say.
    std::string Hover(const std::string& path, const PositionType& position);
    std::vector<SymbolStruct> Document_Symbols(const std::string& path) const;
    // Equations whose name contains the query, ignoring ASCII case.
    std::vector<SymbolStruct> Workspace_Symbols(const std::string& query) const;

private:
    struct EquationStruct {
        std::string Name;
        int Occurrence = 0;  // among the file's elements of this name
        std::string Text;
        std::size_t Tag = 0;          // its "<"
        std::size_t End = 0;          // just after its end tag
        std::size_t Content_End = 0;  // where its text ends
    };

    struct FileStruct {
        std::string Path;
        std::string Text;
        std::vector<EquationStruct> Equations;
        std::map<std::pair<std::string, int>, std::size_t> By_Occurrence;
        std::unique_ptr<TextPositionsClass> Positions;
        std::shared_ptr<ElementLocatorClass> Locator;
    };

    void Gather_Files();
    void Read_Structure(FileStruct& file, const std::string& memory_path);
    DiagnosticStruct Diagnostic_For(const FileStruct& file, const EquationDiagnosticsClass::EventStruct& event);
    void Collect_Names(const std::string& text);
    const FileStruct* Find_File(const std::string& path) const;
    const EquationStruct* Equation_At(const FileStruct& file, std::size_t offset) const;
    RangeStruct Range_Of(const FileStruct& file, std::size_t start, std::size_t end) const;
    std::size_t Element_Of(const FileStruct& file, const std::string& name, int occurrence) const;
    RangeStruct Tag_Name_Range(const FileStruct& file, const EquationStruct& equation) const;
    std::string Equation_Hover(const EquationStruct& equation);

    ToolHostClass Host;
    bool Tokens_Listed = false;
    std::map<std::string, std::string> Descriptions;  // token name -> description
    std::vector<std::string> Token_Names;
    std::map<std::string, std::vector<std::string>> Database_Objects;
    bool Values_Given = false;

    std::string Equation_Folder;
    std::map<std::string, std::string> Open_Texts;
    std::vector<FileStruct> Files;
    std::map<std::string, std::size_t> Memory_Paths;  // upper-cased registry path -> file

    // Names the workspace's equations use, for completion without lists.
    std::map<std::string, std::set<std::string>> Names_After;  // subject -> names after its "."
    std::map<std::string, std::set<std::string>> Objects_In;   // database -> object names
};

#endif
