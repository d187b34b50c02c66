#include "equations/PerceptionProgramClass.h"

#include "equations/ArithmeticNodeClasses.h"
#include "equations/ClampNodeClass.h"
#include "equations/ComparisonNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/TokenNodeClass.h"
#include "equations/ValueStackLeaseClass.h"
#include "equations/ValueStackOperations.h"
#include "foundation/ReportParseError.h"
#include "foundation/TheHostBinding.h"

#include <cognexa/PerceptionEvaluationStateClass.h>

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
inline bool Read_Token(const TokenNodeClass& token, uint32_t parameter_count, const PerceptionContextClass& context,
                       float*& top, float& value)
{
    top -= parameter_count;
    return token.Read(context, top, 1, value);
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

