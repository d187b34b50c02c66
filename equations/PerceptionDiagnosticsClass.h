#ifndef COGNEXA_PERCEPTION_DIAGNOSTICS_CLASS_H
#define COGNEXA_PERCEPTION_DIAGNOSTICS_CLASS_H

#include <cstddef>
#include <string>
#include <string_view>

// An observer of equation loading for tools that explain what went wrong: where parsing
// stopped, which name could not be resolved, which element of which file was being read. The
// library's own behaviour and notices do not depend on it. Nothing is installed by default;
// every report site costs one null check then. Internal: not part of the library's interface.
// The library holds only the report sites and the pointer; the observer's code (the defaults
// below) lives in the authoring library, with the tool's observer that builds on it.
class PerceptionDiagnosticsClass {
public:
    enum BuildFaultType {
        FAULT_UNKNOWN_TOKEN,     // Name: the token name as written
        FAULT_UNKNOWN_DATABASE,  // Name: the database name
        FAULT_UNKNOWN_OBJECT,    // Name: the object name; Detail: its database
        FAULT_UNKNOWN_FUNCTION,  // Name: the function name
        FAULT_MALFORMED,         // Name: the text of the node that cannot be built (may be empty)
    };

    virtual ~PerceptionDiagnosticsClass();

    // The grammar starts on a text; names reported later point into this buffer.
    virtual void Parse_Started(const char* text, std::size_t length);
    // The text was not matched in full: offset is where parsing stopped (the furthest point
    // the parser reached, blanks skipped).
    virtual void Parse_Stopped(std::size_t offset);
    virtual void Build_Fault(BuildFaultType fault, std::string_view name, std::string_view detail);

    // Equation files, as the registry reads them.
    virtual void File_Started(const std::string& path);
    // The XML reader's result for the file (negative: the file was abandoned).
    virtual void File_Loaded(const std::string& path, int result);
    // A child element of the root, before it is looked at.
    virtual void Element_Started(const std::string& name);
    // The element's name is already registered; the first definition stays.
    virtual void Duplicate_Name(const std::string& name);
    virtual void Equation_Added(const std::string& name);
};

// The installed observer, or null.
inline PerceptionDiagnosticsClass* PerceptionDiagnosticsPtr = nullptr;

#endif
