#ifndef COGNEXA_TOOLS_CHECK_COMMAND_CLASS_H
#define COGNEXA_TOOLS_CHECK_COMMAND_CLASS_H

#include "tools/ElementLocatorClass.h"
#include "tools/EquationDiagnosticsClass.h"
#include "tools/FindingReportClass.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class GameSessionClass;
class ToolHostClass;

// cognexa check [GAME_ROOT]: loads the game's equations as the game does and reports every
// problem, one a line, sorted by file. Exit status 0 clean, 1 problems, 2 bad usage.
class CheckCommandClass {
public:
    static const char USAGE[];

    int Run(const std::vector<std::string>& arguments);

    // The cause of a library event, as a finding's kind and message.
    static void Describe(const EquationDiagnosticsClass::EventStruct& event, FindingStruct& finding);

private:
    void Report_Archive_List(GameSessionClass& session, ToolHostClass& host);
    void Report_Events(GameSessionClass& session, const EquationDiagnosticsClass& diagnostics);
    FindingStruct Finding_For(GameSessionClass& session, const EquationDiagnosticsClass::EventStruct& event);
    // "FILE[ (in ARCHIVE)]:LINE:COLUMN" of an element, for a duplicate's first definition.
    std::string Place_Of(GameSessionClass& session, const EquationDiagnosticsClass::ElementStruct& element);
    ElementLocatorClass& Locator_For(const std::string& path);

    FindingReportClass Report;
    std::map<std::string, std::unique_ptr<ElementLocatorClass>> Locators;
};

#endif
