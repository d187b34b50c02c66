#include "equations/PerceptionProgramClass.h"

#include "equations/ArithmeticNodeClasses.h"
#include "equations/ClampNodeClass.h"
#include "equations/ComparisonNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/LaneBlockScratchLeaseClass.h"
#include "equations/TokenNodeClass.h"
#include "equations/ValueStackLeaseClass.h"
#include "equations/ValueStackOperations.h"
#include "foundation/ReportParseError.h"
#include "foundation/TheHostBinding.h"

#include <cognexa/PerceptionEvaluationStateClass.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <typeinfo>

// GCC and clang jump through a table of label addresses; other compilers use the switch.
#ifndef COGNEXA_THREADED_DISPATCH
#if defined(__GNUC__)
#define COGNEXA_THREADED_DISPATCH 1
#else
#define COGNEXA_THREADED_DISPATCH 0
#endif
#endif

namespace {

float As_Float(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool Is_Nan(uint32_t bits)
{
    const float value = As_Float(bits);
    return value != value;
}

// The division with its report: the rule itself is the nodes' own.
inline bool Divide(float left, float right, float& quotient)
{
    if (!Quotient(left, right, quotient)) {
        Report_Parse_Error();
        return false;
    }
    return true;
}

// One token; its bound values are taken from the top of the stack.
COGNEXA_TOKEN_INLINE bool Read_Token(const TokenNodeClass& token, uint32_t parameter_count, const PerceptionContextClass& context,
                       float*& top, float& value)
{
    top -= parameter_count;
    return token.Read(context, top, 1, parameter_count != 0, value);
}

struct NodeShapeStruct {
    const std::type_info* Type;
    uint32_t Operation;
    uint32_t Needs;  // values the node takes; it pushes one
};

}  // namespace

PerceptionProgramClass* PerceptionProgramClass::Compile(const std::vector<PerceptionFunctionNodeClass*>& nodes)
{
    // Most frequent first. Constants and tokens are told apart before this table.
    static const NodeShapeStruct SHAPES[] = {
        {&typeid(AddNodeClass), STEP_ADD, 2},
        {&typeid(MultiplyNodeClass), STEP_MULTIPLY, 2},
        {&typeid(SubtractNodeClass), STEP_SUBTRACT, 2},
        {&typeid(DivideNodeClass), STEP_DIVIDE, 2},
        {&typeid(NegateNodeClass), STEP_NEGATE, 1},
        {&typeid(LessNodeClass), STEP_LESS, 2},
        {&typeid(GreaterNodeClass), STEP_GREATER, 2},
        {&typeid(LessEqualNodeClass), STEP_LESS_EQUAL, 2},
        {&typeid(GreaterEqualNodeClass), STEP_GREATER_EQUAL, 2},
        {&typeid(EqualNodeClass), STEP_EQUAL, 2},
        {&typeid(NotEqualNodeClass), STEP_NOT_EQUAL, 2},
        {&typeid(RandomNodeClass), STEP_RANDOM, 2},
        {&typeid(ClampNodeClass), STEP_CLAMP, 3},
    };
    static_assert(sizeof(PerceptionProgramClass) % alignof(StepStruct) == 0, "the steps follow the header, aligned");

    // At most one step per node, and the closing step.
    void* block = ::operator new(sizeof(PerceptionProgramClass) + (nodes.size() + 1) * sizeof(StepStruct), std::nothrow);
    if (block == nullptr) {
        return nullptr;
    }
    PerceptionProgramClass* program = new (block) PerceptionProgramClass();
    StepStruct* steps = program->Steps();
    uint32_t count = 0;
    uint32_t depth = 0;
    uint32_t most = 0;
    // The previous step may take the next operator into itself: a constant, or a token without
    // bound parameters, that is the operator's right operand.
    bool previous_fusable = false;
    bool failed = false;

    for (PerceptionFunctionNodeClass* node : nodes) {
        if (node == nullptr) {
            Destroy(program);
            return nullptr;
        }
        // The node classes are the library's own, so each has one type_info object: comparing
        // addresses is enough, and a host's own node class matches none.
        const std::type_info* type = &typeid(*node);
        if (type == &typeid(ConstantNodeClass)) {
            steps[count++] = StepStruct{STEP_CONSTANT, static_cast<const ConstantNodeClass*>(node)->Get_Bits(), nullptr};
            most = ++depth > most ? depth : most;
            previous_fusable = true;
            continue;
        }
        if (type == &typeid(TokenNodeClass)) {
            const TokenNodeClass* token = static_cast<const TokenNodeClass*>(node);
            const uint32_t parameters = static_cast<uint32_t>(token->Bound_Parameters.size());
            if (parameters > depth) {
                failed = true;
                break;
            }
            steps[count++] = StepStruct{STEP_TOKEN, parameters, token};
            depth = depth - parameters + 1;
            most = depth > most ? depth : most;
            previous_fusable = parameters == 0;
            continue;
        }
        const NodeShapeStruct* shape = nullptr;
        for (const NodeShapeStruct& candidate : SHAPES) {
            if (type == candidate.Type) {
                shape = &candidate;
                break;
            }
        }
        if (shape == nullptr) {
            Destroy(program);
            return nullptr;
        }
        if (shape->Needs > depth) {
            failed = true;
            break;
        }
        depth = depth - shape->Needs + 1;
        // A constant that is not a NaN decides alone what a sum or product with it is, so the
        // fused step needs no check for two NaNs.
        StepStruct* previous = previous_fusable ? &steps[count - 1] : nullptr;
        if (previous != nullptr && previous->Operation == STEP_CONSTANT && Is_Nan(previous->Bits)) {
            previous = nullptr;
        }
        if (previous != nullptr && shape->Operation >= STEP_ADD && shape->Operation <= STEP_DIVIDE) {
            const uint32_t first = previous->Operation == STEP_CONSTANT ? STEP_ADD_CONSTANT : STEP_ADD_TOKEN;
            previous->Operation = static_cast<OperationType>(first + (shape->Operation - STEP_ADD));
        } else {
            steps[count++] = StepStruct{static_cast<OperationType>(shape->Operation), 0, nullptr};
        }
        previous_fusable = false;
    }

    steps[count++] = StepStruct{!failed && depth == 1 ? STEP_RESULT : STEP_FAIL, 0, nullptr};
    for (uint32_t index = 0; index < count; ++index) {
        program->Has_Tokens = program->Has_Tokens || steps[index].Token != nullptr;
    }
    program->Step_Count = count;
    program->Depth = most;
    return program;
}

void PerceptionProgramClass::Destroy(PerceptionProgramClass* program)
{
    if (program != nullptr) {
        program->~PerceptionProgramClass();
        ::operator delete(program);
    }
}

// Programs of ordinary depth run on a stack in this frame; only a deeper one takes a stack from
// the thread. top points past the top value; in binary steps top[-2] is the left operand and
// top[-1] the right.
bool PerceptionProgramClass::Run(const PerceptionContextClass& context, float& result) const
try {
    float frame[FRAME_DEPTH];
    float* stack = frame;
    std::optional<ValueStackLeaseClass> lease;
    if (Depth > FRAME_DEPTH) {
        lease.emplace();
        lease->Get_Stack().resize(Depth);
        stack = lease->Get_Stack().data();
    }
    float* top = stack;
    float value;
    const StepStruct* step = Steps();
#if COGNEXA_THREADED_DISPATCH
    // One indirect jump at the end of every step instead of one shared jump: each step's jump
    // learns its own successors, which predicts far better.
    static const void* const STEP_LABELS[] = {
        &&STEP_RESULT_LABEL, &&STEP_FAIL_LABEL, &&STEP_CONSTANT_LABEL, &&STEP_TOKEN_LABEL, &&STEP_NEGATE_LABEL,
        &&STEP_ADD_LABEL, &&STEP_SUBTRACT_LABEL, &&STEP_MULTIPLY_LABEL, &&STEP_DIVIDE_LABEL, &&STEP_RANDOM_LABEL,
        &&STEP_EQUAL_LABEL, &&STEP_NOT_EQUAL_LABEL, &&STEP_LESS_LABEL, &&STEP_GREATER_LABEL,
        &&STEP_LESS_EQUAL_LABEL, &&STEP_GREATER_EQUAL_LABEL, &&STEP_CLAMP_LABEL, &&STEP_ADD_CONSTANT_LABEL,
        &&STEP_SUBTRACT_CONSTANT_LABEL, &&STEP_MULTIPLY_CONSTANT_LABEL, &&STEP_DIVIDE_CONSTANT_LABEL,
        &&STEP_ADD_TOKEN_LABEL, &&STEP_SUBTRACT_TOKEN_LABEL, &&STEP_MULTIPLY_TOKEN_LABEL, &&STEP_DIVIDE_TOKEN_LABEL,
    };
    static_assert(sizeof STEP_LABELS / sizeof STEP_LABELS[0] == STEP_DIVIDE_TOKEN + 1, "a label per operation");
#define STEP_CASE(operation) operation##_LABEL
#define NEXT_STEP goto* STEP_LABELS[(++step)->Operation]
    goto* STEP_LABELS[step->Operation];
    {
        {
#else
#define STEP_CASE(operation) case operation
#define NEXT_STEP \
    ++step;       \
    continue
    for (;;) {
        switch (step->Operation) {
#endif
        STEP_CASE(STEP_RESULT):
            result = stack[0];
            return true;
        STEP_CASE(STEP_FAIL):
            return false;
        STEP_CASE(STEP_CONSTANT):
            std::memcpy(top++, &step->Bits, sizeof(float));  // ids and handles keep their bits
            NEXT_STEP;
        STEP_CASE(STEP_TOKEN):
            if (!Read_Token(*step->Token, step->Bits, context, top, value)) {
                return false;
            }
            *top++ = value;
            NEXT_STEP;
        STEP_CASE(STEP_NEGATE):
            top[-1] = -top[-1];
            NEXT_STEP;
        STEP_CASE(STEP_ADD):
            --top;
            top[-1] = Sum(top[-1], top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_SUBTRACT):
            --top;
            top[-1] = top[-1] - top[0];
            NEXT_STEP;
        STEP_CASE(STEP_MULTIPLY):
            --top;
            top[-1] = Product(top[-1], top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_DIVIDE):
            --top;
            if (!Divide(top[-1], top[0], top[-1])) {
                return false;
            }
            NEXT_STEP;
        STEP_CASE(STEP_RANDOM): {
            const RandomFloatCallbackType random = TheHostBinding.Random_Float_Callback;
            if (random == nullptr) {
                return false;
            }
            --top;
            top[-1] = random(top[-1], top[0]);
            NEXT_STEP;
        }
        STEP_CASE(STEP_EQUAL):
            --top;
            top[-1] = Truth(top[-1] == top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_NOT_EQUAL):
            --top;
            top[-1] = Truth(top[-1] != top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_LESS):
            --top;
            top[-1] = Truth(top[-1] < top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_GREATER):
            --top;
            top[-1] = Truth(top[-1] > top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_LESS_EQUAL):
            --top;
            top[-1] = Truth(top[-1] <= top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_GREATER_EQUAL):
            --top;
            top[-1] = Truth(top[-1] >= top[0]);
            NEXT_STEP;
        STEP_CASE(STEP_CLAMP): {
            const float high = top[-1];
            const float low = top[-2];
            if (low > high) {
                return false;
            }
            top -= 2;
            if (top[-1] < low) {
                top[-1] = low;
            } else if (top[-1] > high) {
                top[-1] = high;
            }
            NEXT_STEP;
        }
        STEP_CASE(STEP_ADD_CONSTANT):
            top[-1] = top[-1] + As_Float(step->Bits);
            NEXT_STEP;
        STEP_CASE(STEP_SUBTRACT_CONSTANT):
            top[-1] = top[-1] - As_Float(step->Bits);
            NEXT_STEP;
        STEP_CASE(STEP_MULTIPLY_CONSTANT):
            top[-1] = top[-1] * As_Float(step->Bits);
            NEXT_STEP;
        STEP_CASE(STEP_DIVIDE_CONSTANT):
            if (!Divide(top[-1], As_Float(step->Bits), top[-1])) {
                return false;
            }
            NEXT_STEP;
        STEP_CASE(STEP_ADD_TOKEN):
            if (!Read_Token(*step->Token, 0, context, top, value)) {
                return false;
            }
            top[-1] = Sum(top[-1], value);
            NEXT_STEP;
        STEP_CASE(STEP_SUBTRACT_TOKEN):
            if (!Read_Token(*step->Token, 0, context, top, value)) {
                return false;
            }
            top[-1] = top[-1] - value;
            NEXT_STEP;
        STEP_CASE(STEP_MULTIPLY_TOKEN):
            if (!Read_Token(*step->Token, 0, context, top, value)) {
                return false;
            }
            top[-1] = Product(top[-1], value);
            NEXT_STEP;
        STEP_CASE(STEP_DIVIDE_TOKEN):
            if (!Read_Token(*step->Token, 0, context, top, value)) {
                return false;
            }
            if (!Divide(top[-1], value, top[-1])) {
                return false;
            }
            NEXT_STEP;
        }
    }
#undef STEP_CASE
#undef NEXT_STEP
} catch (const std::bad_alloc&) {
    return false;
}

// The many-context form. Each step is one loop over the block's lanes: arithmetic runs over every
// lane of the block, running or not, so the loops have no branches the compiler cannot turn into
// vector code (a lane that has failed computes values nobody reads); callbacks, failures and
// reports concern only the lanes in the selection, in ascending order.
namespace {

constexpr int LANES = LaneBlockScratchStruct::LANES;

// Drops the lanes whose step failed from the selection; a failed division reports. The step
// marked every lane of the block; when none failed, the selection stays (lanes past the block's
// contexts compute values nobody reads, and at worst send the check to the loop below).
int Drop_Failed(LaneBlockScratchStruct& scratch, int live, bool report)
{
    uint32_t failures = 0;
    for (int lane = 0; lane < LANES; ++lane) {
        failures |= scratch.Failed[lane];
    }
    if (failures == 0) {
        return live;
    }
    int kept = 0;
    for (int index = 0; index < live; ++index) {
        const int lane = scratch.Selection[index];
        if (!scratch.Failed[lane]) {
            scratch.Selection[kept++] = lane;
        } else if (report) {
            Report_Parse_Error();
        }
    }
    return kept;
}

}  // namespace

// A lane's state serves every token read of every evaluation that uses the scratch: before each
// read it points at the token's path and its table of values is empty, so the host sees what a
// state made for that read alone would show.
void PerceptionProgramClass::Prepare_State(PerceptionEvaluationStateClass& state, const TokenNodeClass& token)
{
    state.Token_Path = &token.Token_Path;
    if (state.Value_Count != 0) {
        Empty_State(state);
    }
}

void PerceptionProgramClass::Empty_State(PerceptionEvaluationStateClass& state)
{
    state.Value_Count = 0;
    state.Overflow_Values.clear();
}

// The per-lane hand-in for every running lane, the hand-in answering straight into values[lane]
// (a lane whose read fails leaves the selection, and nobody reads its value). The lanes are asked
// one after another, so one state, pointed at each lane's context in turn, stays in the cache for
// all of them. The parameter and reset choices are template arguments, so the loop around the
// host's call keeps only what it needs in registers.
template <bool HAS_PARAMETERS, bool RESET_VISIBLE>
int PerceptionProgramClass::Read_Lanes(const TokenNodeClass& token, const float* bound,
                                       const PerceptionContextClass* const* contexts, float* values,
                                       LaneBlockScratchStruct& scratch, int live,
                                       EvaluateTokenCallbackType evaluate_token)
{
    PerceptionEvaluationStateClass& state = *scratch.Token_State;
    state.Token_Path = &token.Token_Path;
    uint16_t* const selection = scratch.Selection;
    uint16_t* kept = selection;
    for (const uint16_t* next = selection; next != selection + live; ++next) {
        state.Context = contexts[*next];
        if (state.Value_Count != 0) {
            Empty_State(state);
        }
        if (HAS_PARAMETERS) {
            // Before the value is preset: for a plain token step the bound values share its row.
            token.Set_Bound_Values(state, bound + *next, LANES);
        }
        float& value = values[*next];
        value = 0.0f;
        const bool evaluated = evaluate_token(state.Context, state, value);
        if (RESET_VISIBLE) {
            TokenNodeClass::Reset_State(state);
        }
        *kept = *next;
        kept += evaluated;
    }
    return static_cast<int>(kept - selection);
}

// The bulk hand-in's part before the call, for every running lane.
template <bool HAS_PARAMETERS>
void PerceptionProgramClass::Prepare_Lanes(const TokenNodeClass& token, const float* bound,
                                           PerceptionEvaluationStateClass* const* states, const uint16_t* lanes,
                                           int live)
{
    for (int index = 0; index < live; ++index) {
        Prepare_State(*states[index], token);
        if (HAS_PARAMETERS) {
            token.Set_Bound_Values(*states[index], bound + lanes[index], LANES);
        }
    }
}

// Reads the token for every running lane into values[lane], through the bulk hand-in when the
// host has set one; the lanes whose read fails leave the selection. The first bound value of a
// lane is at bound[lane], the next a row further. The hand-ins are read once for the step.
int PerceptionProgramClass::Read_Tokens(const TokenNodeClass& token, const float* bound,
                                        const PerceptionContextClass* const* contexts, float* values,
                                        LaneBlockScratchStruct& scratch, int live)
{
    uint16_t* const selection = scratch.Selection;
    const bool has_parameters = !token.Bound_Parameters.empty();
    const bool reset_visible = TokenNodeClass::Reset_Is_Visible();
    const EvaluateTokensCallbackType bulk = Evaluate_Tokens_Callback();
    if (bulk == nullptr) {
        const EvaluateTokenCallbackType evaluate_token = TheHostBinding.Evaluate_Token_Callback;
        if (evaluate_token == nullptr) {
            return 0;
        }
        if (has_parameters) {
            return reset_visible ? Read_Lanes<true, true>(token, bound, contexts, values, scratch, live, evaluate_token)
                                 : Read_Lanes<true, false>(token, bound, contexts, values, scratch, live, evaluate_token);
        }
        return reset_visible ? Read_Lanes<false, true>(token, bound, contexts, values, scratch, live, evaluate_token)
                             : Read_Lanes<false, false>(token, bound, contexts, values, scratch, live, evaluate_token);
    }
    if (live <= 0) {
        return 0;
    }
    // While no lane has failed (the selection is ascending, so it holds every lane) the host
    // answers straight into the lanes' values, in the lanes' own states; otherwise into the
    // scratch, by selection index.
    const bool dense = selection[live - 1] == live - 1;
    PerceptionEvaluationStateClass* const* states = scratch.Lane_States;
    float* answers = values;
    if (!dense) {
        for (int index = 0; index < live; ++index) {
            scratch.States[index] = scratch.Lane_States[selection[index]];
        }
        states = scratch.States;
        answers = scratch.Answers;
    }
    if (has_parameters) {
        Prepare_Lanes<true>(token, bound, states, selection, live);
    } else {
        Prepare_Lanes<false>(token, bound, states, selection, live);
    }
    bool* const answered = scratch.Answered;
    std::fill(answers, answers + live, 0.0f);
    std::fill(answered, answered + live, false);
    bulk(states, live, answers, answered);
    if (reset_visible) {
        for (int index = 0; index < live; ++index) {
            TokenNodeClass::Reset_State(*states[index]);
        }
    }
    // A false is a zero byte.
    if (dense && std::memchr(answered, 0, static_cast<std::size_t>(live)) == nullptr) {
        return live;  // the selection stays as it is
    }
    int kept = 0;
    for (int index = 0; index < live; ++index) {
        const int lane = selection[index];
        if (!dense) {
            values[lane] = answers[index];
        }
        selection[kept] = static_cast<uint16_t>(lane);
        kept += answered[index] ? 1 : 0;
    }
    return kept;
}

int PerceptionProgramClass::Run_Many(const PerceptionFunctionClass& equation, const PerceptionContextClass* const* contexts,
                                     int count, float* results, bool* succeeded) const
{
    LaneBlockScratchLeaseClass lease(Depth);
    int total = 0;
    for (int first = 0; first < count; first += LANES) {
        const int lanes = std::min(LANES, count - first);
        try {
            total += Run_Block(equation, contexts + first, lanes, results + first, succeeded + first, lease.Get_Scratch());
        } catch (const std::bad_alloc&) {
            // A host's state ran out of memory for its bound values: the block's lanes still
            // running fail, as Run fails then.
        }
    }
    return total;
}

int PerceptionProgramClass::Run_Block(const PerceptionFunctionClass& equation, const PerceptionContextClass* const* contexts,
                                      int count, float* results, bool* succeeded, LaneBlockScratchStruct& scratch) const
{
    float* const rows = scratch.Rows.data();
    const auto row = [rows](uint32_t slot) { return rows + static_cast<std::size_t>(slot) * LANES; };
    uint16_t* const selection = scratch.Selection;
    uint32_t* const failed = scratch.Failed;

    // 1. Every lane is told its evaluation starts and its evaluation state takes its context; a
    //    lane without context fails at once.
    int live = 0;
    PerceptionEvaluationStateClass* const* const lane_states = scratch.Lane_States;
    const EvaluateNotifyCallbackType notify = TheHostBinding.Evaluate_Notify_Callback;
    for (int lane = 0; lane < count; ++lane) {
        succeeded[lane] = false;
        if (contexts[lane] == nullptr) {
            continue;
        }
        if (notify != nullptr) {
            notify(*contexts[lane], equation);
        }
        lane_states[lane]->Context = contexts[lane];
        selection[live++] = static_cast<uint16_t>(lane);
    }

    // 2. The steps, each for every lane still running; top counts the values on each lane's stack.
    uint32_t top = 0;
    for (const StepStruct* step = Steps(); live > 0; ++step) {
        switch (step->Operation) {
        case STEP_RESULT: {
            const float* values = row(0);
            for (int index = 0; index < live; ++index) {
                const int lane = selection[index];
                std::memcpy(&results[lane], &values[lane], sizeof(float));
                succeeded[lane] = true;
            }
            return live;
        }
        case STEP_FAIL:
            return 0;
        case STEP_CONSTANT: {
            float* values = row(top++);
            float constant;
            std::memcpy(&constant, &step->Bits, sizeof(float));  // ids and handles keep their bits
            std::fill(values, values + LANES, constant);
            break;
        }
        case STEP_TOKEN: {
            top -= step->Bits;
            float* values = row(top++);
            live = Read_Tokens(*step->Token, values, contexts, values, scratch, live);
            break;
        }
        case STEP_NEGATE: {
            float* values = row(top - 1);
            for (int lane = 0; lane < LANES; ++lane) {
                values[lane] = -values[lane];
            }
            break;
        }
        case STEP_RANDOM: {
            --top;
            float* left = row(top - 1);
            const float* right = row(top);
            const RandomFloatCallbackType random = TheHostBinding.Random_Float_Callback;
            if (random == nullptr) {
                return 0;
            }
            for (int index = 0; index < live; ++index) {
                const int lane = selection[index];
                left[lane] = random(left[lane], right[lane]);
            }
            break;
        }
        case STEP_CLAMP: {
            top -= 2;
            Clamp(row(top - 1), row(top), row(top + 1), failed);
            live = Drop_Failed(scratch, live, false);
            break;
        }
        case STEP_ADD_TOKEN:
        case STEP_SUBTRACT_TOKEN:
        case STEP_MULTIPLY_TOKEN:
        case STEP_DIVIDE_TOKEN:
            live = Read_Tokens(*step->Token, nullptr, contexts, scratch.Values, scratch, live);
            Combine(static_cast<OperationType>(step->Operation - STEP_ADD_TOKEN + STEP_ADD), row(top - 1),
                    scratch.Values, scratch);
            if (step->Operation == STEP_DIVIDE_TOKEN) {
                live = Drop_Failed(scratch, live, true);
            }
            break;
        case STEP_ADD_CONSTANT:
        case STEP_SUBTRACT_CONSTANT:
        case STEP_MULTIPLY_CONSTANT:
        case STEP_DIVIDE_CONSTANT:
            Combine_Constant(static_cast<OperationType>(step->Operation - STEP_ADD_CONSTANT + STEP_ADD), row(top - 1),
                             As_Float(step->Bits), scratch);
            if (step->Operation == STEP_DIVIDE_CONSTANT) {
                live = Drop_Failed(scratch, live, true);
            }
            break;
        default:  // the binary operators
            --top;
            Combine(step->Operation, row(top - 1), row(top), scratch);
            if (step->Operation == STEP_DIVIDE) {
                live = Drop_Failed(scratch, live, true);
            }
            break;
        }
    }
    return 0;
}

// The block forms of Sum, Product and Quotient: the same bits, written as selections instead of
// branches so that the loops over a row become vector code.
namespace {

inline float Quieted(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits |= 0x00400000u;
    std::memcpy(&value, &bits, sizeof bits);
    return value;
}

// The sum and product are tested too, although a NaN left operand alone decides: with only that
// test the compiler moves the operation behind a branch and the loop no longer vectorises.
inline float Lane_Sum(float left, float right)
{
    const float sum = left + right;
    return sum != sum && left != left ? Quieted(left) : sum;
}

inline float Lane_Product(float left, float right)
{
    const float product = left * right;
    return product != product && left != left ? Quieted(left) : product;
}

// A zero divisor becomes ±1, so the failing lanes raise no division-by-zero flag; the quotient is
// then masked to +0 where either operand is zero. In bits, so that the division is not moved
// behind a branch.
inline float Lane_Quotient(float left, float right, uint32_t& failed)
{
    const uint32_t zero_left = left == 0.0f;
    const uint32_t zero_right = right == 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &right, sizeof bits);
    bits |= zero_right * 0x3F800000u;
    float divisor;
    std::memcpy(&divisor, &bits, sizeof bits);
    const float quotient = left / divisor;
    std::memcpy(&bits, &quotient, sizeof bits);
    bits &= (zero_left | zero_right) - 1u;
    failed = zero_right & ~zero_left;
    float masked;
    std::memcpy(&masked, &bits, sizeof bits);
    return masked;
}

}  // namespace

// left[lane] = left[lane] operation right[lane] for every lane of the block (the rows are
// distinct); a division marks the lanes it fails in scratch.Failed.
void PerceptionProgramClass::Combine(OperationType operation, float* __restrict left, const float* __restrict right,
                                     LaneBlockScratchStruct& scratch)
{
    uint32_t* __restrict const failed = scratch.Failed;
    switch (operation) {
    case STEP_ADD:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Lane_Sum(left[lane], right[lane]);
        break;
    case STEP_SUBTRACT:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = left[lane] - right[lane];
        break;
    case STEP_MULTIPLY:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Lane_Product(left[lane], right[lane]);
        break;
    case STEP_DIVIDE:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Lane_Quotient(left[lane], right[lane], failed[lane]);
        break;
    case STEP_EQUAL:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Truth(left[lane] == right[lane]);
        break;
    case STEP_NOT_EQUAL:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Truth(left[lane] != right[lane]);
        break;
    case STEP_LESS:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Truth(left[lane] < right[lane]);
        break;
    case STEP_GREATER:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Truth(left[lane] > right[lane]);
        break;
    case STEP_LESS_EQUAL:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Truth(left[lane] <= right[lane]);
        break;
    case STEP_GREATER_EQUAL:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Truth(left[lane] >= right[lane]);
        break;
    default:
        break;
    }
}

// value[lane] clamped to [low[lane], high[lane]] for every lane of the block; a lane whose low
// bound is above its high one fails.
void PerceptionProgramClass::Clamp(float* __restrict value, const float* __restrict low, const float* __restrict high,
                                   uint32_t* __restrict failed)
{
    for (int lane = 0; lane < LANES; ++lane) {
        failed[lane] = low[lane] > high[lane];
        const float x = value[lane];
        value[lane] = x < low[lane] ? low[lane] : x > high[lane] ? high[lane] : x;
    }
}

// The fused steps with a constant right operand, as Run computes them (a NaN constant is never
// fused, so plain sums and products suffice).
void PerceptionProgramClass::Combine_Constant(OperationType operation, float* __restrict left, float right,
                                              LaneBlockScratchStruct& scratch)
{
    uint32_t* __restrict const failed = scratch.Failed;
    switch (operation) {
    case STEP_ADD:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = left[lane] + right;
        break;
    case STEP_SUBTRACT:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = left[lane] - right;
        break;
    case STEP_MULTIPLY:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = left[lane] * right;
        break;
    case STEP_DIVIDE:
        for (int lane = 0; lane < LANES; ++lane) left[lane] = Lane_Quotient(left[lane], right, failed[lane]);
        break;
    default:
        break;
    }
}
