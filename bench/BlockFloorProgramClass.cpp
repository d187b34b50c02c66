#include "BlockFloorProgramClass.h"

#include "FloorExpressionParserClass.h"

#include <algorithm>
#include <cstring>

bool BlockFloorProgramClass::Compile(const std::string& expression)
{
    Steps.clear();
    Depth = 0;
    Max_Depth = 0;
    if (!FloorExpressionParserClass(*this).Parse(expression)) {
        return false;
    }
    Stack.assign(static_cast<std::size_t>(Max_Depth) * BLOCK_LANES, 0.0f);
    return true;
}

void BlockFloorProgramClass::Emit_Number(float value)
{
    Emit(PUSH_CONSTANT, value);
}

void BlockFloorProgramClass::Emit_Variable(int letter)
{
    Emit(PUSH_VARIABLE, 0, letter);
}

void BlockFloorProgramClass::Emit_Operator(OperatorType operation)
{
    switch (operation) {
    case FloorExpressionEmitterClass::NEGATE:
        Emit(NEGATE);
        break;
    case FloorExpressionEmitterClass::ADD:
        Emit(ADD);
        break;
    case FloorExpressionEmitterClass::SUBTRACT:
        Emit(SUBTRACT);
        break;
    case FloorExpressionEmitterClass::MULTIPLY:
        Emit(MULTIPLY);
        break;
    case FloorExpressionEmitterClass::DIVIDE:
        Emit(DIVIDE);
        break;
    }
}

void BlockFloorProgramClass::Emit(OperationType operation, float constant, int letter)
{
    Steps.push_back({operation, constant, letter});
    if (operation == PUSH_CONSTANT || operation == PUSH_VARIABLE) {
        Max_Depth = std::max(Max_Depth, ++Depth);
    } else if (operation != NEGATE) {
        --Depth;
    }
}

template <typename LoadVariable>
void BlockFloorProgramClass::Run_Blocks(LoadVariable load, int count, float* results, bool* succeeded)
{
    constexpr int N = BLOCK_LANES;
    for (int base = 0; base < count; base += N) {
        bool failed[N] = {};
        float* top = Stack.data() - N;  // the row of the top value
        for (const StepStruct& step : Steps) {
            switch (step.Operation) {
            case PUSH_CONSTANT:
                top += N;
                std::fill(top, top + N, step.Constant);
                break;
            case PUSH_VARIABLE:
                top += N;
                load(top, base, step.Letter);
                break;
            case NEGATE:
                for (int lane = 0; lane < N; ++lane) {
                    top[lane] = -top[lane];
                }
                break;
            case ADD: {
                float* left = top - N;
                for (int lane = 0; lane < N; ++lane) {
                    left[lane] = left[lane] + top[lane];
                }
                top = left;
                break;
            }
            case SUBTRACT: {
                float* left = top - N;
                for (int lane = 0; lane < N; ++lane) {
                    left[lane] = left[lane] - top[lane];
                }
                top = left;
                break;
            }
            case MULTIPLY: {
                float* left = top - N;
                for (int lane = 0; lane < N; ++lane) {
                    left[lane] = left[lane] * top[lane];
                }
                top = left;
                break;
            }
            case DIVIDE: {
                // 0 divided by anything is 0; anything else divided by 0 fails the lane.
                float* left = top - N;
                for (int lane = 0; lane < N; ++lane) {
                    const float quotient = left[lane] / top[lane];
                    const bool zero_left = left[lane] == 0.0f;
                    const bool zero_right = top[lane] == 0.0f;
                    failed[lane] |= !zero_left && zero_right;
                    left[lane] = zero_left || zero_right ? 0.0f : quotient;
                }
                top = left;
                break;
            }
            }
        }
        const int lanes = std::min(N, count - base);
        for (int lane = 0; lane < lanes; ++lane) {
            succeeded[base + lane] = !failed[lane];
            if (!failed[lane]) {
                results[base + lane] = top[lane];
            }
        }
    }
}

void BlockFloorProgramClass::Run_Arrays(const float* const* letter_arrays, int count, float* results, bool* succeeded)
{
    Run_Blocks([letter_arrays](float* row, int base, int letter) {
        std::memcpy(row, letter_arrays[letter] + base, BLOCK_LANES * sizeof(float));
    }, count, results, succeeded);
}

void BlockFloorProgramClass::Run_Callback(LaneValueCallbackType callback, const void* host, int count, float* results,
                                          bool* succeeded)
{
    Run_Blocks([callback, host, count](float* row, int base, int letter) {
        const int lanes = std::min(BLOCK_LANES, count - base);
        for (int lane = 0; lane < lanes; ++lane) {
            row[lane] = callback(host, base + lane, letter);
        }
    }, count, results, succeeded);
}
