#include "tools/EvalCommandClass.h"

#include "tools/CommandLineClass.h"
#include "tools/EquationDiagnosticsClass.h"
#include "tools/GameSessionClass.h"
#include "tools/ToolHostClass.h"

#include <cognexa/PerceptionFunctionCallClass.h>
#include <cognexa/PerceptionFunctionClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "registry/PerceptionFunctionCallGrammarClass.h"

#include <cstdio>
#include <memory>

const char EvalCommandClass::USAGE[] =
    "usage: cognexa eval TEXT [--set TOKEN.PATH=NUMBER]... [--root GAME_ROOT] [--tokens FILE]\n"
    "                         [--database NAME=FILE]...\n"
    "\n"
    "Evaluates an equation text such as 'Unit.Speed * 2 + 1' and prints its value. With --root,\n"
    "TEXT may also name an equation of the game or be a call text such as\n"
    "'Threat_Level{Unit=Enemy}' (each binding makes the left token read as the right one).\n"
    "\n"
    "  --set Unit.Speed=3     the value of a token path (repeat for each token)\n"
    "  --root GAME_ROOT       load the game's equations first, as cognexa check does\n"
    "  --tokens FILE          the game's token names, one a line (default: every name is a token)\n"
    "  --database NAME=FILE   a database and its object names, one a line\n"
    "\n"
    "Exit status: 0 the value was printed, 1 it could not be computed, 2 bad usage.\n";

namespace {

const CommandLineClass::OptionStruct OPTIONS[] = {
    {"help", false}, {"set", true}, {"root", true}, {"tokens", true}, {"database", true},
};

const char PARSE_NOTICE_CAPTION[] = "Perception Parsing Error!";

// Why a text did not build, from the library's diagnostics: the first cause, with the text and
// a caret under its place.
std::string Build_Failure(const EquationDiagnosticsClass& diagnostics, const std::string& text)
{
    const std::vector<EquationDiagnosticsClass::EventStruct>& events = diagnostics.Get_Events();
    if (events.empty()) {
        return "the text cannot be built";
    }
    const EquationDiagnosticsClass::EventStruct& event = events.front();
    static const char* const CAUSES[] = {
        "syntax error: parsing stopped here", "unknown token name", "unknown database", "unknown object",
        "unknown function", "the text cannot be built here", "", "",
    };
    std::string cause = CAUSES[event.Kind];
    if (!event.Name.empty()) {
        cause += " \"" + event.Name + "\"";
    }
    if (!event.Has_Offset) {
        return cause;
    }
    std::string caret;
    for (std::size_t index = 0; index < event.Offset && index < text.size(); ++index) {
        caret += text[index] == '\t' ? '\t' : ' ';
    }
    return cause + " (column " + std::to_string(event.Offset + 1) + ")\n    " + text + "\n    " + caret + "^";
}

}  // namespace

int EvalCommandClass::Finish(ToolHostClass& host, const std::string& text, bool evaluated, float value)
{
    bool division_by_zero = false;
    for (const ToolHostClass::NoticeStruct& notice : host.Take_Notices()) {
        division_by_zero = division_by_zero || notice.Caption == PARSE_NOTICE_CAPTION;
    }
    if (evaluated) {
        std::printf("%g\n", static_cast<double>(value));
        return 0;
    }
    std::string reason = "the evaluation failed: a division by zero, or clamp not given three values";
    if (!host.Get_Missing_Value().empty()) {
        reason = "no value for " + host.Get_Missing_Value() + " (give one with --set " + host.Get_Missing_Value() +
                 "=NUMBER)";
    } else if (division_by_zero) {
        reason = "division by zero";
    }
    std::fprintf(stderr, "cognexa eval: %s: %s\n", text.c_str(), reason.c_str());
    return 1;
}

int EvalCommandClass::Evaluate_Equation(ToolHostClass& host, const PerceptionFunctionClass& equation,
                                        const std::string& text)
{
    host.Take_Notices();
    host.Forget_Missing_Value();
    float value = 0;
    const bool evaluated = equation.Evaluate(host.Get_Context(), value);
    return Finish(host, text, evaluated, value);
}

int EvalCommandClass::Evaluate_Expression(ToolHostClass& host, const std::string& text, bool have_root)
{
    std::unique_ptr<PerceptionFunctionClass> equation;
    std::string failure;
    {
        EquationDiagnosticsClass diagnostics(host);
        equation.reset(PerceptionFunctionClass::Build(text, "EVAL"));
        if (equation == nullptr) {
            failure = Build_Failure(diagnostics, text);
        }
    }
    if (equation == nullptr) {
        PerceptionFunctionCallGrammarClass::CallTextStruct call;
        if (!have_root && PerceptionFunctionCallGrammarClass::Parse(text, call)) {
            failure = "a call text names an equation of the game: give the game with --root";
        }
        std::fprintf(stderr, "cognexa eval: %s: %s\n", text.c_str(), failure.c_str());
        return 1;
    }
    return Evaluate_Equation(host, *equation, text);
}

// Create says only whether the call resolved; the parsed text tells which part did not.
int EvalCommandClass::Evaluate_Call(ToolHostClass& host, const std::string& text)
{
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create(text));
    if (call == nullptr) {
        PerceptionFunctionCallGrammarClass::CallTextStruct parsed;
        PerceptionFunctionCallGrammarClass::Parse(text, parsed);
        const bool known = ThePerceptionFunctionManagerPtr->Get_Managed_Object(parsed.Function_Name) != nullptr;
        std::fprintf(stderr, "cognexa eval: %s: %s\n", text.c_str(),
                     known ? "a token name of the bindings is unknown"
                           : ("no equation named \"" + parsed.Function_Name + "\"").c_str());
        return 1;
    }
    host.Take_Notices();
    host.Forget_Missing_Value();
    // Bindings stay on the context they were made on; the host's own context stays clean.
    PerceptionContextClass context = host.Get_Context();
    float value = 0;
    const bool evaluated = call->Evaluate(context, value);
    return Finish(host, text, evaluated, value);
}

int EvalCommandClass::Run(const std::vector<std::string>& arguments)
{
    CommandLineClass line;
    if (!line.Parse(arguments, std::vector<CommandLineClass::OptionStruct>(std::begin(OPTIONS), std::end(OPTIONS)))) {
        std::fprintf(stderr, "cognexa eval: %s\n%s", line.Get_Error().c_str(), USAGE);
        return 2;
    }
    if (line.Has("help")) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (line.Get_Positionals().size() != 1) {
        std::fprintf(stderr, "cognexa eval: give exactly one text to evaluate\n%s", USAGE);
        return 2;
    }
    const std::string& text = line.Get_Positionals()[0];

    ToolHostClass host;
    std::string error;
    bool ready = !line.Has("tokens") || host.Load_Token_File(line.Get_Value("tokens"), error);
    for (const std::string& database : line.Get_Values("database")) {
        ready = ready && host.Add_Database(database, error);
    }
    for (const std::string& value : line.Get_Values("set")) {
        ready = ready && host.Set_Value(value, error);
    }
    if (!ready) {
        std::fprintf(stderr, "cognexa eval: %s\n", error.c_str());
        return 2;
    }

    GameSessionClass session;
    if (!line.Has("root")) {
        host.Install(nullptr);
        return Evaluate_Expression(host, text, false);
    }
    if (!GameSessionClass::Enter_Root(line.Get_Value("root"), error)) {
        std::fprintf(stderr, "cognexa eval: %s\n", error.c_str());
        return 2;
    }
    session.Mount(host);
    if (!session.Load_Equations()) {
        std::fprintf(stderr, "cognexa eval: note: some equation files did not load (see cognexa check)\n");
    }
    host.Take_Notices();
    if (const PerceptionFunctionClass* equation = ThePerceptionFunctionManagerPtr->Get_Managed_Object(text)) {
        return Evaluate_Equation(host, *equation, text);
    }
    PerceptionFunctionCallGrammarClass::CallTextStruct call;
    if (PerceptionFunctionCallGrammarClass::Parse(text, call)) {
        return Evaluate_Call(host, text);
    }
    return Evaluate_Expression(host, text, true);
}
