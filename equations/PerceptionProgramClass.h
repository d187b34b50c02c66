#ifndef COGNEXA_PERCEPTION_PROGRAM_CLASS_H
#define COGNEXA_PERCEPTION_PROGRAM_CLASS_H

#include <cognexa/HostBinding.h>
#include <cognexa/PerceptionTokenType.h>

#include <cstdint>
#include <vector>

class PerceptionFunctionNodeClass;
class TokenNodeClass;
class PerceptionEvaluationStateClass;
class PerceptionFunctionClass;
struct LaneBlockScratchStruct;

// The compact form of an equation's node program, derived from the nodes when the equation is
// built and run in their place: a flat array of steps, each carrying its operand and dispatched
// through a table of label addresses (a switch where the compiler has no such table), with the
// common pairs "operator, constant right operand" and "operator, token right
// operand" fused into one step. Every effect the host can see is the one the nodes have: the same
// float operations in the same order, the same callbacks with the same arguments, the same
// failures at the same point. Constants are not folded, so results follow the rounding mode of
// the evaluating thread.
//
// A postfix program's stack depth does not depend on the values, so the depth of every step is
// known when compiling: a node that would find too few values becomes a step that fails, so does
// the end of a program that does not leave exactly one value, and running needs no checks.
// Programs of ordinary depth run on a stack in the evaluating frame, so nested evaluations from
// token callbacks need no per-thread state at all.
class alignas(8) PerceptionProgramClass {
public:
    // Null when a node is of a class this form does not know (a host's own node) or memory runs
    // out: the equation then runs its nodes one by one. The nodes must outlive the program.
    static PerceptionProgramClass* Compile(const std::vector<PerceptionFunctionNodeClass*>& nodes);
    static void Destroy(PerceptionProgramClass* program);

    // What PerceptionFunctionClass::Evaluate does after the notification.
    bool Run(const PerceptionContextClass& context, float& result) const;

    // What PerceptionFunctionClass::Evaluate_Many does with valid arguments: every lane notified
    // and run as Run would run it, but one step at a time for a block of lanes.
    int Run_Many(const PerceptionFunctionClass& equation, const PerceptionContextClass* const* contexts, int count,
                 float* results, bool* succeeded) const;

    PerceptionProgramClass(const PerceptionProgramClass&) = delete;
    PerceptionProgramClass& operator=(const PerceptionProgramClass&) = delete;

private:
    enum OperationType : uint32_t {
        STEP_RESULT,  // exactly one value is left: the result
        STEP_FAIL,
        STEP_CONSTANT,
        STEP_TOKEN,  // Bits: the number of bound parameters
        STEP_NEGATE,
        STEP_ADD,
        STEP_SUBTRACT,
        STEP_MULTIPLY,
        STEP_DIVIDE,
        STEP_RANDOM,
        STEP_EQUAL,
        STEP_NOT_EQUAL,
        STEP_LESS,
        STEP_GREATER,
        STEP_LESS_EQUAL,
        STEP_GREATER_EQUAL,
        STEP_CLAMP,
        STEP_ADD_CONSTANT,
        STEP_SUBTRACT_CONSTANT,
        STEP_MULTIPLY_CONSTANT,
        STEP_DIVIDE_CONSTANT,
        STEP_ADD_TOKEN,  // a token without bound parameters
        STEP_SUBTRACT_TOKEN,
        STEP_MULTIPLY_TOKEN,
        STEP_DIVIDE_TOKEN,
    };

    struct StepStruct {
        OperationType Operation;
        uint32_t Bits;  // a constant's 32 bits, or a token's parameter count
        const TokenNodeClass* Token;
    };

    // Values a program of at most this depth keeps in the evaluating frame.
    static constexpr uint32_t FRAME_DEPTH = 64;

    int Run_Block(const PerceptionFunctionClass& equation, const PerceptionContextClass* const* contexts, int count,
                  float* results, bool* succeeded, LaneBlockScratchStruct& scratch) const;

    static int Read_Tokens(const TokenNodeClass& token, const float* bound, const PerceptionContextClass* const* contexts,
                           float* values, LaneBlockScratchStruct& scratch, int live);
    template <bool HAS_PARAMETERS, bool RESET_VISIBLE>
    static int Read_Lanes(const TokenNodeClass& token, const float* bound, const PerceptionContextClass* const* contexts,
                          float* values, LaneBlockScratchStruct& scratch, int live,
                          EvaluateTokenCallbackType evaluate_token);
    template <bool HAS_PARAMETERS>
    static void Prepare_Lanes(const TokenNodeClass& token, const float* bound,
                              PerceptionEvaluationStateClass* const* states, const uint16_t* lanes, int live);
    static void Prepare_State(PerceptionEvaluationStateClass& state, const TokenNodeClass& token);
    static void Empty_State(PerceptionEvaluationStateClass& state);

    static void Combine(OperationType operation, float* __restrict left, const float* __restrict right,
                        LaneBlockScratchStruct& scratch);
    static void Clamp(float* __restrict value, const float* __restrict low, const float* __restrict high,
                      uint32_t* __restrict failed);
    static void Combine_Constant(OperationType operation, float* __restrict left, float right,
                                 LaneBlockScratchStruct& scratch);

    PerceptionProgramClass() = default;
    ~PerceptionProgramClass() = default;

    StepStruct* Steps() { return reinterpret_cast<StepStruct*>(this + 1); }
    const StepStruct* Steps() const { return reinterpret_cast<const StepStruct*>(this + 1); }

    uint32_t Depth = 0;  // the most values the stack ever holds
    uint32_t Step_Count = 0;
    bool Has_Tokens = false;  // some step reads a token
};

#endif
