#include "tools/EvaluationTargetClass.h"

#include "tools/EquationDiagnosticsClass.h"
#include "tools/ToolHostClass.h"

#include <cognexa/PerceptionFunctionCallClass.h>
#include <cognexa/PerceptionFunctionClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "registry/PerceptionFunctionCallGrammarClass.h"

#include <cctype>
#include <vector>

namespace {

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

// A lone name is never an equation text (a token needs its object), so it can only mean an
// equation of the game.
bool Is_Lone_Name(const std::string& text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    for (const char byte : text) {
        if (!std::isalnum(static_cast<unsigned char>(byte)) && byte != '_') {
            return false;
        }
    }
    return true;
}

}  // namespace

EvaluationTargetClass::EvaluationTargetClass() = default;
EvaluationTargetClass::~EvaluationTargetClass() = default;
EvaluationTargetClass::EvaluationTargetClass(EvaluationTargetClass&&) noexcept = default;
EvaluationTargetClass& EvaluationTargetClass::operator=(EvaluationTargetClass&&) noexcept = default;

bool EvaluationTargetClass::Resolve(ToolHostClass& host, const std::string& text, bool have_root, std::string& failure)
{
    Text = text;
    Registered = nullptr;
    Built.reset();
    Call.reset();
    PerceptionFunctionCallGrammarClass::CallTextStruct parsed_call;
    const bool is_call = PerceptionFunctionCallGrammarClass::Parse(text, parsed_call);
    if (have_root) {
        Registered = ThePerceptionFunctionManagerPtr->Get_Managed_Object(text);
        if (Registered != nullptr) {
            return true;
        }
        // Create says only whether the call resolved; the parsed text tells which part did not.
        if (is_call) {
            Call.reset(PerceptionFunctionCallClass::Create(text));
            if (Call != nullptr) {
                return true;
            }
            const PerceptionFunctionClass* named =
                ThePerceptionFunctionManagerPtr->Get_Managed_Object(parsed_call.Function_Name);
            failure = named != nullptr ? "a token name of the bindings is unknown"
                            : "no equation named \"" + parsed_call.Function_Name + "\"";
            return false;
        }
    }
    {
        EquationDiagnosticsClass diagnostics(host);
        Built.reset(PerceptionFunctionClass::Build(text, "EVAL"));
        if (Built != nullptr) {
            return true;
        }
        failure = Build_Failure(diagnostics, text);
    }
    if (!have_root && is_call) {
        failure = "a call text names an equation of the game: give the game with --root";
    } else if (Is_Lone_Name(text)) {
        failure = have_root ? "no equation named \"" + text + "\""
                            : "an equation name needs the game's equations: give the game with --root";
    }
    return false;
}

EvaluationTargetClass::OutcomeType EvaluationTargetClass::Evaluate(ToolHostClass& host, float& value,
                                                                   std::string& failure) const
{
    host.Take_Notices();
    host.Forget_Missing_Value();
    bool evaluated = false;
    if (Call != nullptr) {
        // Bindings stay on the context they were made on; the host's own context stays clean.
        PerceptionContextClass context = host.Get_Context();
        evaluated = Call->Evaluate(context, value);
    } else if (const PerceptionFunctionClass* equation = Registered != nullptr ? Registered : Built.get()) {
        evaluated = equation->Evaluate(host.Get_Context(), value);
    }
    bool division_by_zero = false;
    for (const ToolHostClass::NoticeStruct& notice : host.Take_Notices()) {
        division_by_zero = division_by_zero || notice.Caption == PARSE_NOTICE_CAPTION;
    }
    if (evaluated) {
        return OUTCOME_VALUE;
    }
    const std::string& missing = host.Get_Missing_Value();
    if (!missing.empty()) {
        failure = "no value for " + missing + " (give one with --set " + missing + "=NUMBER)";
        return OUTCOME_NO_TOKEN_VALUE;
    }
    failure = division_by_zero ? "division by zero"
                               : "the evaluation failed: a division by zero, or clamp not given three values";
    return OUTCOME_FAILED;
}
