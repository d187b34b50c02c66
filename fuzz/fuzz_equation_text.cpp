// Equation text: built, evaluated, rebuilt in place from a second text and evaluated again.
// The input is the first text, a zero byte, and the text for the rebuild.
#include "FuzzHost.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

void Evaluate_Twice(const PerceptionFunctionClass& equation)
{
    float result = 0.0f;
    equation.Evaluate(FuzzHost::Context(), result);
    equation.Evaluate(FuzzHost::Context(), result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = (FuzzHost::Install(nullptr), true);
    (void)installed;

    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string rebuild_text = zero == std::string::npos ? std::string() : input.substr(zero + 1);

    std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(input, "Fuzz"));
    if (equation == nullptr) return 0;
    Evaluate_Twice(*equation);
    equation->Get_Perception_Token_String();
    equation->Rebuild(rebuild_text);
    Evaluate_Twice(*equation);
    return 0;
}
