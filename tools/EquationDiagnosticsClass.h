#ifndef COGNEXA_TOOLS_EQUATION_DIAGNOSTICS_CLASS_H
#define COGNEXA_TOOLS_EQUATION_DIAGNOSTICS_CLASS_H

#include "equations/PerceptionDiagnosticsClass.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

class ToolHostClass;

// Gathers what the library reports while it loads the equation files: one event per problem,
// tied to the file, the element (by tag name and its occurrence among the file's elements of
// that name) and, where known, the offset in the equation text. Installed while alive.
class EquationDiagnosticsClass : public PerceptionDiagnosticsClass {
public:
    enum EventKindType {
        EVENT_SYNTAX,
        EVENT_UNKNOWN_TOKEN,
        EVENT_UNKNOWN_DATABASE,
        EVENT_UNKNOWN_OBJECT,
        EVENT_UNKNOWN_FUNCTION,
        EVENT_MALFORMED,
        EVENT_DUPLICATE,
        EVENT_XML,
    };

    struct ElementStruct {
        std::string Path;  // as the registry names the file
        std::string Name;  // tag name as written; empty for a problem of the whole file
        int Occurrence = 0;
    };

    struct EventStruct {
        EventKindType Kind;
        ElementStruct Element;
        std::string Name;    // the name at fault, or the XML reader's message
        std::string Detail;  // the database of an unknown object
        bool Has_Offset = false;
        std::size_t Offset = 0;     // in Equation_Text
        std::string Equation_Text;  // the text as the grammar saw it
        ElementStruct First;        // a duplicate's first definition
    };

    explicit EquationDiagnosticsClass(ToolHostClass& host);
    ~EquationDiagnosticsClass() override;

    const std::vector<EventStruct>& Get_Events() const { return Events; }
    int Get_File_Count() const { return File_Count; }

    void Parse_Started(const char* text, std::size_t length) override;
    void Parse_Stopped(std::size_t offset) override;
    void Build_Fault(BuildFaultType fault, std::string_view name, std::string_view detail) override;
    void File_Started(const std::string& path) override;
    void File_Loaded(const std::string& path, int result) override;
    void Element_Started(const std::string& name) override;
    void Duplicate_Name(const std::string& name) override;
    void Equation_Added(const std::string& name) override;

private:
    EventStruct& Add_Event(EventKindType kind, std::string_view name);

    ToolHostClass& Host;
    ElementStruct Current;
    std::map<std::string, int> Occurrences;  // tag name -> elements seen so far in the file
    const char* Text = nullptr;
    std::size_t Text_Length = 0;
    std::map<std::string, ElementStruct> First_Definitions;  // by upper-cased name
    std::vector<EventStruct> Events;
    int File_Count = 0;
};

// "xml parse error - File NAME: MESSAGE\n" split into the file name and the message; false for
// any other notice.
bool Split_XML_Notice(const std::string& caption, const std::string& text, std::string& file, std::string& message);

#endif
