// Call text: created against a registry holding a few equations, then evaluated twice.
// An input that starts with "!" is created with no registry at all.
#include "FuzzHost.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

// The registry with its adding operation reachable, so no equation files are needed.
class FuzzRegistryClass : public ThePerceptionFunctionManagerClass {
public:
    FuzzRegistryClass() : ThePerceptionFunctionManagerClass("FuzzEquations")
    {
        static const char* const Equations[][2] = {
            {"Threat", "Unit.Speed * 2 + Unit.Health{Target = Enemy.Armor}"},
            {"Calm", "1"},
            {"Two Words", "clamp(Unit.Speed, 0, 1)"},
            {"Divide", "5 / Unit.Zero"},
            {"Named", "Units[Heavy Tank] + 0"},
        };
        for (const auto& equation : Equations) {
            PerceptionFunctionClass* built = PerceptionFunctionClass::Build(equation[1], equation[0]);
            if (built != nullptr) Add_Managed_Object(equation[0], built);
        }
    }
    ~FuzzRegistryClass() override { System_Shutdown(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = (FuzzHost::Install(nullptr), true);
    (void)installed;
    static FuzzRegistryClass registry;

    std::string text(reinterpret_cast<const char*>(data), size);
    const bool without_registry = !text.empty() && text[0] == '!';
    if (without_registry) text.erase(0, 1);
    ThePerceptionFunctionManagerPtr = without_registry ? nullptr : &registry;

    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create(text));
    ThePerceptionFunctionManagerPtr = nullptr;
    if (call == nullptr) return 0;
    float result = 0.0f;
    call->Evaluate(FuzzHost::Context(), result);
    call->Evaluate(FuzzHost::Context(), result);
    return 0;
}
