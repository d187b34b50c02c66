#include "tools/CheckCommandClass.h"

#include "tools/CommandLineClass.h"
#include "tools/ElementLocatorClass.h"
#include "tools/GameSessionClass.h"
#include "tools/ToolHostClass.h"
#include "tools/ToolTokenConverterClass.h"

#include "foundation/AsciiCharacterTable.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

const char CheckCommandClass::USAGE[] =
    "usage: cognexa check [GAME_ROOT] [--tokens FILE] [--database NAME=FILE]... [--errors-file PATH] [--json]\n"
    "\n"
    "Loads the game's equations as the game does (the archives of Data\\MegaFiles.xml, then every\n"
    "equation file of Data\\XML\\AI\\PerceptualEquations) and reports every problem, one a line,\n"
    "sorted by file: syntax errors with a caret under the place where parsing stopped, unknown\n"
    "token names, databases, objects and functions, duplicate names and XML errors.\n"
    "\n"
    "  GAME_ROOT              the game's folder (default: the current folder)\n"
    "  --tokens FILE          the game's token names, one a line (default: every name is a token)\n"
    "  --database NAME=FILE   a database and its object names, one a line; once one is given,\n"
    "                         other databases are unknown (default: every database is known)\n"
    "  --errors-file PATH     also write the report to PATH (the game's notice names\n"
    "                         PerceptionErrors.txt)\n"
    "  --json                 print the findings as JSON\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found, 2 bad usage.\n";

namespace {

const char EQUATION_FOLDER[] = "Data/XML/AI/PerceptualEquations";

const CommandLineClass::OptionStruct OPTIONS[] = {
    {"help", false}, {"tokens", true}, {"database", true}, {"errors-file", true}, {"json", false},
};

bool Is_Clamp_With_Blank(const std::string& name)
{
    const std::string trimmed = Trim_Trailing_Blanks(name);
    return AsciiCharacterTable::Ascii_Equal_Ignoring_Case(trimmed, "clamp") && trimmed.size() != name.size();
}

std::string Quoted(const std::string& name)
{
    return "\"" + Trim_Trailing_Blanks(name) + "\"";
}

}  // namespace

void CheckCommandClass::Describe(const EquationDiagnosticsClass::EventStruct& event, FindingStruct& finding)
{
    using Event = EquationDiagnosticsClass;
    switch (event.Kind) {
    case Event::EVENT_SYNTAX:
        finding.Kind = "syntax";
        finding.Message = "syntax error: parsing stopped here";
        break;
    case Event::EVENT_UNKNOWN_TOKEN:
        finding.Kind = "unknown-token";
        finding.Message = "unknown token name " + Quoted(event.Name);
        break;
    case Event::EVENT_UNKNOWN_DATABASE:
        finding.Kind = "unknown-database";
        finding.Message = "unknown database " + Quoted(event.Name);
        break;
    case Event::EVENT_UNKNOWN_OBJECT:
        finding.Kind = "unknown-object";
        finding.Message = "unknown object " + Quoted(event.Name) + " in database " + Quoted(event.Detail);
        break;
    case Event::EVENT_UNKNOWN_FUNCTION:
        finding.Kind = "unknown-function";
        finding.Message = Is_Clamp_With_Blank(event.Name)
                              ? "unknown function \"" + event.Name + "\": no blank may stand before its \"(\""
                              : "unknown function " + Quoted(event.Name) + " (the only function is clamp)";
        break;
    case Event::EVENT_MALFORMED:
        finding.Kind = "malformed";
        finding.Message = "the equation cannot be built" +
                          (event.Name.empty() ? std::string() : " at " + Quoted(event.Name));
        break;
    case Event::EVENT_DUPLICATE:
        finding.Kind = "duplicate";
        finding.Message = "duplicate equation name; the first definition stays";
        break;
    case Event::EVENT_XML:
        finding.Kind = "xml";
        finding.Message = "XML reader: " + event.Name;
        break;
    }
}

namespace {

bool Write_Errors_File(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

}  // namespace

ElementLocatorClass& CheckCommandClass::Locator_For(const std::string& path)
{
    std::unique_ptr<ElementLocatorClass>& locator = Locators[path];
    if (locator == nullptr) {
        locator = std::make_unique<ElementLocatorClass>();
        locator->Load(path);
    }
    return *locator;
}

std::string CheckCommandClass::Place_Of(GameSessionClass& session, const EquationDiagnosticsClass::ElementStruct& element)
{
    std::string place = Display_Path(element.Path);
    const std::string archive = session.Origin_Of(element.Path);
    if (!archive.empty()) {
        place += " (in " + archive + ")";
    }
    ElementLocatorClass& locator = Locator_For(element.Path);
    const ElementLocatorClass::PositionStruct position =
        locator.Position_Of(locator.Find_Element(element.Name, element.Occurrence));
    if (position.Line > 0) {
        place += ":" + std::to_string(position.Line) + ":" + std::to_string(position.Column);
    }
    return place;
}

FindingStruct CheckCommandClass::Finding_For(GameSessionClass& session, const EquationDiagnosticsClass::EventStruct& event)
{
    FindingStruct finding;
    finding.File = Display_Path(event.Element.Path);
    finding.Archive = session.Origin_Of(event.Element.Path);
    finding.Equation = event.Element.Name;
    Describe(event, finding);

    if (!event.Element.Name.empty()) {
        ElementLocatorClass& locator = Locator_For(event.Element.Path);
        const std::size_t element = locator.Find_Element(event.Element.Name, event.Element.Occurrence);
        std::size_t place = element;
        if (element != ElementLocatorClass::NOT_FOUND && event.Has_Offset) {
            place = locator.Text_Offset(element, event.Offset);
        }
        const ElementLocatorClass::PositionStruct position = locator.Position_Of(place);
        finding.Line = position.Line;
        finding.Column = position.Column;
        if (event.Kind == EquationDiagnosticsClass::EVENT_SYNTAX && position.Line > 0) {
            finding.Source_Line = locator.Line_At(place);
        }
    }
    if (event.Kind == EquationDiagnosticsClass::EVENT_DUPLICATE && !event.First.Path.empty()) {
        finding.Message = "duplicate equation name; first defined at " + Place_Of(session, event.First);
    }
    return finding;
}

// The archive list itself: its XML errors, and archives it names that exist but do not open.
void CheckCommandClass::Report_Archive_List(GameSessionClass& session, ToolHostClass& host)
{
    for (const ToolHostClass::NoticeStruct& notice : host.Take_Notices()) {
        std::string file;
        std::string message;
        if (!Split_XML_Notice(notice.Caption, notice.Text, file, message)) {
            std::fprintf(stderr, "cognexa check: notice: %s: %s\n", notice.Caption.c_str(), notice.Text.c_str());
            continue;
        }
        FindingStruct finding;
        finding.File = Display_Path(file);
        finding.Kind = "xml";
        finding.Message = "XML reader: " + message;
        const bool repeated = !Report.Is_Empty() && Report.Get_Findings().back().Message == finding.Message &&
                              Report.Get_Findings().back().File == finding.File;
        if (!repeated) {
            Report.Add(finding);
        }
    }
    for (const std::string& archive : session.Get_Listed_Archives()) {
        if (!session.Is_Archive_Loaded(archive) && Loose_File_Exists(archive)) {
            FindingStruct finding;
            finding.File = Display_Path(GameSessionClass::ARCHIVE_LIST);
            finding.Kind = "archive";
            finding.Message = "the archive " + Display_Path(archive) +
                              " exists but does not open (see cognexa mega verify)";
            Report.Add(finding);
        }
    }
}

void CheckCommandClass::Report_Events(GameSessionClass& session, const EquationDiagnosticsClass& diagnostics)
{
    for (const EquationDiagnosticsClass::EventStruct& event : diagnostics.Get_Events()) {
        Report.Add(Finding_For(session, event));
    }
    if (diagnostics.Get_File_Count() == 0) {
        FindingStruct finding;
        finding.File = EQUATION_FOLDER;
        finding.Kind = "no-equations";
        finding.Message = "no equation files (*.XML) found";
        Report.Add(finding);
    }
}

int CheckCommandClass::Run(const std::vector<std::string>& arguments)
{
    CommandLineClass line;
    const int parsed = line.Parse_Or_Exit("check", arguments, std::vector<CommandLineClass::OptionStruct>(std::begin(OPTIONS), std::end(OPTIONS)), USAGE);
    if (parsed >= 0) {
        return parsed;
    }
    if (line.Get_Positionals().size() > 1) {
        std::fprintf(stderr, "cognexa check: one game root at most\n%s", USAGE);
        return 2;
    }

    // 1. The game's names, read before the game root becomes the current folder.
    ToolHostClass host;
    std::string error;
    if (line.Has("tokens") && !host.Load_Token_File(line.Get_Value("tokens"), error)) {
        std::fprintf(stderr, "cognexa check: %s\n", error.c_str());
        return 2;
    }
    for (const std::string& database : line.Get_Values("database")) {
        if (!host.Add_Database(database, error)) {
            std::fprintf(stderr, "cognexa check: %s\n", error.c_str());
            return 2;
        }
    }
    std::string errors_file = line.Get_Value("errors-file");
    if (!errors_file.empty()) {
        errors_file = std::filesystem::absolute(errors_file).string();
    }

    // 2. Load as the game does, gathering the library's diagnostics beside it.
    const std::string root = line.Get_Positionals().empty() ? "." : line.Get_Positionals()[0];
    if (!GameSessionClass::Enter_Root(root, error)) {
        std::fprintf(stderr, "cognexa check: %s\n", error.c_str());
        return 2;
    }
    GameSessionClass session;
    session.Mount(host);
    Report_Archive_List(session, host);
    {
        EquationDiagnosticsClass diagnostics(host);
        session.Load_Equations();
        Report_Events(session, diagnostics);
    }

    // 3. Report.
    Report.Sort();
    const std::string text = Report.To_Text();
    std::fputs(line.Has("json") ? Report.To_Json().c_str() : text.c_str(), stdout);
    if (!errors_file.empty() && !Write_Errors_File(errors_file, text)) {
        std::fprintf(stderr, "cognexa check: %s: cannot write the errors file\n", errors_file.c_str());
        return 2;
    }
    if (Report.Is_Empty()) {
        std::fprintf(stderr, "cognexa check: no problems\n");
        return 0;
    }
    std::fprintf(stderr, "cognexa check: %zu problem%s\n", Report.Count(), Report.Count() == 1 ? "" : "s");
    return 1;
}
