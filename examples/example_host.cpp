// The smallest game that embeds the library: it hands over its tokens and callbacks, then
// builds and evaluates each equation given on the command line (or a built-in list) for one
// example context and prints the results.
#include "host/ExampleContext.h"
#include "host/ExampleHost.h"

#include <cognexa/cognexa.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const BUILT_IN_EQUATIONS[] = {
    "Unit.Speed * 2 + clamp(Unit.Health, 0, 1)",
    "Enemy.Units_Of_Type{Type = UnitTypes[Heavy_Tank]} * 2",
    "Player.Has_Upgrade{Upgrade = \"armor_plating\"}",
    "(Enemy.Distance > 100) * (Unit.Speed >= Enemy.Speed)",
    "clamp(Unit.Attack * 3 - Enemy.Distance / 100, 0, 20)",
    "0.5 # 1",
    "Unit.Mana",
    "Unit.Speed / 0",
};

void Evaluate_Equation(const std::string& text, const PerceptionContextClass& context)
{
    const std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(text, "Example"));
    if (equation == nullptr) {
        std::printf("%s : build failed\n", text.c_str());
        return;
    }
    float result = 0;
    if (!equation->Evaluate(context, result)) {
        std::printf("%s : evaluation failed\n", text.c_str());
        return;
    }
    std::printf("%s = %g\n", text.c_str(), result);
}

}  // namespace

int main(int argc, char** argv)
{
    Install_Example_Host(nullptr);
    const PerceptionContextClass context = Make_Example_Context();

    std::vector<std::string> equations(argv + 1, argv + argc);
    if (equations.empty()) {
        equations.assign(std::begin(BUILT_IN_EQUATIONS), std::end(BUILT_IN_EQUATIONS));
    }
    for (const std::string& text : equations) {
        Evaluate_Equation(text, context);
    }
    return 0;
}
