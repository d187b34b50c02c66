// Equation text: built, evaluated, rebuilt in place from a second text and evaluated again, once
// running the nodes one by one, once running the compact program derived from them, and once
// each through the many-context call (one lane) with the per-lane and with the bulk token
// hand-in; all must give the same results and the same callbacks. The input is the first text, a zero byte,
// and the text for the rebuild.
#include "FuzzHost.h"

#include "equations/PerceptionFunctionBuilderClass.h"
#include "foundation/ReportParseError.h"
#include "foundation/TheHostBinding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Everything the host sees, as 32-bit words.
std::vector<std::uint32_t> TheTrace;
HostBindingStruct TheFuzzHost;

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

enum : std::uint32_t { NOTIFY = 0xF0000001, TOKEN, RANDOM, NOTICE, RESULT, BUILT };

bool Trace_Token(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    TheTrace.push_back(TOKEN);
    TheTrace.insert(TheTrace.end(), state.Get_Token_Path().begin(), state.Get_Token_Path().end());
    for (int index = 0; index < state.Get_Value_Count(); ++index) {
        TheTrace.push_back(static_cast<std::uint32_t>(state.Get_Value(index).Token));
        // String handles differ between two builds of the same text; their texts do not.
        const float value = state.Get_Value(index).Value;
        const char* text = Resolve_Perception_String(PerceptionEvaluationStateClass::Value_Bits(value));
        TheTrace.push_back(text != nullptr ? static_cast<std::uint32_t>(std::strlen(text)) : Bits(value));
    }
    TheTrace.push_back(Bits(result));
    const bool evaluated = TheFuzzHost.Evaluate_Token_Callback(context, state, result);
    TheTrace.push_back(evaluated);
    TheTrace.push_back(Bits(result));
    return evaluated;
}

void Trace_Tokens(PerceptionEvaluationStateClass* const* states, int count, float* values, bool* succeeded)
{
    for (int index = 0; index < count; ++index) {
        succeeded[index] = Trace_Token(states[index]->Get_Context(), *states[index], values[index]);
    }
}

void Trace_Notify(const PerceptionContextClass& context, const PerceptionFunctionClass& equation)
{
    TheTrace.push_back(NOTIFY);
    TheFuzzHost.Evaluate_Notify_Callback(context, equation);
}

float Trace_Random(float low, float high)
{
    const float value = TheFuzzHost.Random_Float_Callback(low, high);
    TheTrace.insert(TheTrace.end(), {RANDOM, Bits(low), Bits(high), Bits(value)});
    return value;
}

void Trace_Notice(const char*, const char*)
{
    TheTrace.push_back(NOTICE);
}

enum PathType { NODES, COMPACT, MANY, MANY_BULK };

void Evaluate_Twice(const PerceptionFunctionClass& equation, PathType path)
{
    const PerceptionContextClass* contexts[] = {&FuzzHost::Context()};
    Set_Evaluate_Tokens_Callback(path == MANY_BULK ? &Trace_Tokens : nullptr);
    for (int round = 0; round < 2; ++round) {
        Forget_Parse_Error_Announcement();
        float result = -7.5f;
        bool evaluated = false;
        if (path >= MANY) {
            equation.Evaluate_Many(contexts, 1, &result, &evaluated);
        } else {
            evaluated = equation.Evaluate(FuzzHost::Context(), result);
        }
        TheTrace.insert(TheTrace.end(), {RESULT, static_cast<std::uint32_t>(evaluated), Bits(result)});
    }
    Set_Evaluate_Tokens_Callback(nullptr);
}

std::vector<std::uint32_t> Trace_Run(const std::string& text, const std::string& rebuild_text, PathType path)
{
    TheTrace.clear();
    // The notice shows once per process; forgotten before each step, every report shows.
    Forget_Parse_Error_Announcement();
    std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(text, "Fuzz"));
    TheTrace.push_back(equation != nullptr ? BUILT : 0);
    if (equation != nullptr) {
        if (path == NODES) {
            PerceptionFunctionBuilderClass::Drop_Compact_Program(*equation);
        }
        Evaluate_Twice(*equation, path);
        equation->Get_Perception_Token_String();
        Forget_Parse_Error_Announcement();
        const bool rebuilt = equation->Rebuild(rebuild_text);
        if (path == NODES) {
            PerceptionFunctionBuilderClass::Drop_Compact_Program(*equation);
        }
        TheTrace.push_back(rebuilt ? BUILT : 0);
        Evaluate_Twice(*equation, path);
    }
    return TheTrace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = [] {
        FuzzHost::Install(nullptr);
        TheFuzzHost = TheHostBinding;
        TheHostBinding.Evaluate_Token_Callback = &Trace_Token;
        TheHostBinding.Evaluate_Notify_Callback = &Trace_Notify;
        TheHostBinding.Random_Float_Callback = &Trace_Random;
        Set_Notice_Handler(&Trace_Notice);
        return true;
    }();
    (void)installed;

    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string rebuild_text = zero == std::string::npos ? std::string() : input.substr(zero + 1);

    const std::vector<std::uint32_t> nodes = Trace_Run(input, rebuild_text, NODES);
    for (PathType path : {COMPACT, MANY, MANY_BULK}) {
        const std::vector<std::uint32_t> other = Trace_Run(input, rebuild_text, path);
        if (nodes != other) {
            // This path behaved differently from the nodes: show where.
            std::size_t index = 0;
            while (index < nodes.size() && index < other.size() && nodes[index] == other[index]) {
                ++index;
            }
            std::fprintf(stderr, "traces differ (path %d) at word %zu of %zu (nodes) and %zu:", path, index,
                         nodes.size(), other.size());
            for (std::size_t word = index; word < index + 6; ++word) {
                std::fprintf(stderr, " %08X/%08X", word < nodes.size() ? nodes[word] : 0u,
                             word < other.size() ? other[word] : 0u);
            }
            std::fprintf(stderr, "\n");
            std::abort();
        }
    }
    return 0;
}
