#include "ToolTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct EvalCaseStruct {
    const char* Shows;  // what the case shows, and the fault it would catch
    std::vector<std::string> Arguments;
    int Status;
    const char* Out;  // the whole of stdout, for a value
    const char* Err;  // a part of stderr, for a failure
};

TEST(Eval, PrintsTheValueOrWhyThereIsNone)
{
    const std::string root = COGNEXA_SAMPLE_GAME;
    const EvalCaseStruct CASES[] = {
        {"values from --set", {"eval", "Unit.Speed * 2 + 1", "--set", "Unit.Speed=3"}, 0, "7\n", ""},
        {"precedence and a negative literal", {"eval", "10 - 4 - 3 * -1"}, 0, "9\n", ""},
        {"printed rounded to nearest, not toward zero", {"eval", "Unit.Speed", "--set", "Unit.Speed=0.7"}, 0, "0.7\n", ""},
        {"a value missing", {"eval", "Unit.Speed * Unit.Health", "--set", "Unit.Speed=3"}, 1, "",
         "no value for Unit.Health (give one with --set Unit.Health=NUMBER)"},
        {"syntax error with its column", {"eval", "1 + ;"}, 1, "", "syntax error: parsing stopped here (column 5)\n    1 + ;\n        ^"},
        {"unknown function", {"eval", "max(1, 2)"}, 1, "", "unknown function \"max\""},
        {"division by zero", {"eval", "5 / 0"}, 1, "", "division by zero"},
        {"a token list rejects others", {"eval", "Unit.Sped", "--tokens", "/dev/null"}, 1, "", "unknown token name"},
        {"a registered equation", {"eval", "--root", root, "threat_level", "--set", "Enemy.Count=1", "--set",
                                   "Enemy.Strength=2", "--set", "Unit.Health=0"}, 0, "4\n", ""},
        {"a call's bindings alias tokens", {"eval", "--root", root, "Threat_Level{Unit=Enemy}", "--set", "Enemy.Count=1",
                                            "--set", "Enemy.Strength=2", "--set", "Enemy.Health=100"}, 0, "2\n", ""},
        {"a call of an unknown equation", {"eval", "--root", root, "Nothing{Unit=Enemy}"}, 1, "",
         "no equation named \"Nothing\""},
        {"a lone name that is no equation", {"eval", "--root", root, "Nothing"}, 1, "", "no equation named \"Nothing\""},
        {"a call without the game", {"eval", "Threat_Level{}"}, 1, "", "give the game with --root"},
        {"no text", {"eval"}, 2, "", "give exactly one text"},
        {"a --set that is not a number", {"eval", "1", "--set", "Unit.Speed=fast"}, 2, "", "\"fast\" is not a number"},
        {"a --set without a path", {"eval", "1", "--set", "Speed=1"}, 2, "", "--set wants TOKEN.PATH=NUMBER"},
        {"help", {"eval", "--help"}, 0, nullptr, ""},
    };
    for (const EvalCaseStruct& test : CASES) {
        const ToolRunStruct run = Run_Tool(test.Arguments);
        EXPECT_EQ(run.Status, test.Status) << test.Shows << "\n" << run.Err;
        if (test.Out != nullptr) {
            EXPECT_EQ(run.Out, test.Out) << test.Shows;
        }
        EXPECT_NE(run.Err.find(test.Err), std::string::npos) << test.Shows << ":\n" << run.Err;
    }
}

}  // namespace
