#include "tools/EvalCommandClass.h"

#include "tools/CommandLineClass.h"
#include "tools/EvaluationSetupClass.h"
#include "tools/EvaluationTargetClass.h"
#include "tools/NearestRoundingScopeClass.h"

#include <cstdio>

std::string EvalCommandClass::Usage()
{
    return std::string(
               "usage: cognexa eval TEXT [--set TOKEN.PATH=NUMBER]... [--root GAME_ROOT] [--tokens FILE]\n"
               "                         [--database NAME=FILE]...\n"
               "\n"
               "Evaluates an equation text such as 'Unit.Speed * 2 + 1' and prints its value. With --root,\n"
               "TEXT may also name an equation of the game or be a call text such as\n"
               "'Threat_Level{Unit=Enemy}' (each binding makes the left token read as the right one).\n"
               "\n") +
           EvaluationSetupClass::OPTIONS_USAGE +
           "\n"
           "Exit status: 0 the value was printed, 1 it could not be computed, 2 bad usage.\n";
}

int EvalCommandClass::Run(const std::vector<std::string>& arguments)
{
    CommandLineClass line;
    const int parsed = line.Parse_Or_Exit("eval", arguments, EvaluationSetupClass::Options_With({}), Usage());
    if (parsed >= 0) {
        return parsed;
    }
    if (line.Get_Positionals().size() != 1) {
        std::fprintf(stderr, "cognexa eval: give exactly one text to evaluate\n%s", Usage().c_str());
        return 2;
    }
    const std::string& text = line.Get_Positionals()[0];

    EvaluationSetupClass setup;
    std::string error;
    if (!setup.Prepare(line, "eval", error)) {
        std::fprintf(stderr, "cognexa eval: %s\n", error.c_str());
        return 2;
    }
    EvaluationTargetClass target;
    std::string failure;
    float value = 0;
    if (target.Resolve(setup.Get_Host(), text, setup.Has_Root(), failure) &&
        target.Evaluate(setup.Get_Host(), value, failure) == EvaluationTargetClass::OUTCOME_VALUE) {
        const NearestRoundingScopeClass rounding;
        std::printf("%g\n", static_cast<double>(value));
        return 0;
    }
    std::fprintf(stderr, "cognexa eval: %s: %s\n", text.c_str(), failure.c_str());
    return 1;
}
