#ifndef COGNEXA_PERCEPTION_DIAGNOSTICS_CLASS_H
#define COGNEXA_PERCEPTION_DIAGNOSTICS_CLASS_H

#include <cstddef>
#include <string>
#include <string_view>

// An observer of equation loading for tools that explain what went wrong: where parsing
// stopped, which name could not be resolved, which element of which file was being read. The
// library's own behaviour and notices do not depend on it. Nothing is installed by default;
// every report site costs one null check then. Internal: not part of the library's interface.
// An interface only, so the library holds nothing of an observer but the report sites and the
// pointer: the one implementation is the tool's (tools/EquationDiagnosticsClass).
class PerceptionDiagnosticsClass {
public:
    enum BuildFaultType {
        FAULT_UNKNOWN_TOKEN,     // Name: the token name as written
        FAULT_UNKNOWN_DATABASE,  // Name: the database name
        FAULT_UNKNOWN_OBJECT,    // Name: the object name; Detail: its database
        FAULT_UNKNOWN_FUNCTION,  // Name: the function name
        FAULT_MALFORMED,         // Name: the text of the node that cannot be built (may be empty)
    };

    virtual ~PerceptionDiagnosticsClass() = default;

    // The grammar starts on a text; names reported later point into this buffer.
    virtual void Parse_Started(const char* text, std::size_t length) = 0;
    // The text was not matched in full: offset is where parsing stopped (the furthest point
    // the parser reached, blanks skipped).
    virtual void Parse_Stopped(std::size_t offset) = 0;
    virtual void Build_Fault(BuildFaultType fault, std::string_view name, std::string_view detail) = 0;

    // Equation files, as the registry reads them.
    virtual void File_Started(const std::string& path) = 0;
    // The XML reader's result for the file (negative: the file was abandoned).
    virtual void File_Loaded(const std::string& path, int result) = 0;
    // A child element of the root, before it is looked at.
    virtual void Element_Started(const std::string& name) = 0;
    // The element's name is already registered; the first definition stays.
    virtual void Duplicate_Name(const std::string& name) = 0;
    virtual void Equation_Added(const std::string& name) = 0;
};

// The installed observer, or null.
inline PerceptionDiagnosticsClass* PerceptionDiagnosticsPtr = nullptr;

#endif
