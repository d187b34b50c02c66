// A host built only from the installed headers and library: it touches each exported class, so a
// class that the headers promise but the library hides fails to link here.
#include <cognexa/cognexa.h>

#include <cstdio>
#include <memory>

class PerceptionContextClass {};

namespace {

bool Evaluate_Nothing(const PerceptionContextClass*, PerceptionEvaluationStateClass&, float&)
{
    return false;
}

void Notify(const PerceptionContextClass&, const PerceptionFunctionClass&) {}

}  // namespace

int main()
{
    MegaFileManagerClass files;
    Init_Perception_DLL(nullptr, nullptr, &Evaluate_Nothing, &Notify, nullptr, nullptr, nullptr, nullptr, nullptr,
                        &PerceptionEvaluationStateClass::Set_Value, &PerceptionEvaluationStateClass::Reset_Values,
                        &files, nullptr);
    const std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build("(1 + 2) * 3", "Nine"));
    float value = 0;
    PerceptionContextClass context;
    if (!equation || !equation->Evaluate(context, value) || value != 9) {
        std::puts("equation failed");
        return 1;
    }
    ThePerceptionFunctionManagerClass::Create();
    const bool loaded = ThePerceptionFunctionManagerPtr->System_Initialize(&files, false);
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create("Nine{}"));
    delete ThePerceptionFunctionManagerPtr;
    if (loaded || call) {
        std::puts("an empty game loaded equations");
        return 1;
    }
    std::puts("installed package works");
    return 0;
}
