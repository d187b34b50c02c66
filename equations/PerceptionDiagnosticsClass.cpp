#include "equations/PerceptionDiagnosticsClass.h"

// Every report is ignored unless an observer overrides it.
PerceptionDiagnosticsClass::~PerceptionDiagnosticsClass() = default;
void PerceptionDiagnosticsClass::Parse_Started(const char*, std::size_t) {}
void PerceptionDiagnosticsClass::Parse_Stopped(std::size_t) {}
void PerceptionDiagnosticsClass::Build_Fault(BuildFaultType, std::string_view, std::string_view) {}
void PerceptionDiagnosticsClass::File_Started(const std::string&) {}
void PerceptionDiagnosticsClass::File_Loaded(const std::string&, int) {}
void PerceptionDiagnosticsClass::Element_Started(const std::string&) {}
void PerceptionDiagnosticsClass::Duplicate_Name(const std::string&) {}
void PerceptionDiagnosticsClass::Equation_Added(const std::string&) {}
