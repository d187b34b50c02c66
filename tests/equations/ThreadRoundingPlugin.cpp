// A host's module that the thread rounding test loads after starting its threads: the test
// program itself does not link the library, so loading this loads the library.
#include <cognexa/cognexa.h>

#include <cstring>

class PerceptionContextClass {};

#if defined(_WIN32)
#define PLUGIN_API extern "C" __declspec(dllexport)
#else
#define PLUGIN_API extern "C" __attribute__((visibility("default")))
#endif

namespace {

PerceptionFunctionClass* TheThird = nullptr;

unsigned int Bits_Of(float value)
{
    unsigned int bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

// One third rounds differently toward zero and to nearest.
PLUGIN_API bool Plugin_Build()
{
    TheThird = PerceptionFunctionClass::Build("1 / 3", "Third");
    return TheThird != nullptr;
}

PLUGIN_API bool Plugin_Evaluate(unsigned int* bits)
{
    const PerceptionContextClass context;
    float result = 0;
    const bool evaluated = TheThird->Evaluate(context, result);
    *bits = Bits_Of(result);
    return evaluated;
}

PLUGIN_API bool Plugin_Evaluate_Many(unsigned int* bits)
{
    const PerceptionContextClass context;
    const PerceptionContextClass* contexts[] = {&context};
    float result = 0;
    bool succeeded = false;
    const int count = TheThird->Evaluate_Many(contexts, 1, &result, &succeeded);
    *bits = Bits_Of(result);
    return count == 1 && succeeded;
}

PLUGIN_API void Plugin_Init_Thread()
{
    Init_Perception_Thread();
}
