#include "BlockFloorProgramClass.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

bool BlockFloorProgramClass::Compile(const std::string& expression)
{
    Steps.clear();
    Depth = 0;
    Max_Depth = 0;
    Position = expression.c_str();
    Skip_Blanks();
    if (!Parse_Additive()) {
        return false;
    }
    Skip_Blanks();
    if (*Position != '\0') {
        return false;
    }
    Stack.assign(static_cast<std::size_t>(Max_Depth) * BLOCK_LANES, 0.0f);
    return true;
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

void BlockFloorProgramClass::Skip_Blanks()
{
    while (std::isspace(static_cast<unsigned char>(*Position))) {
        ++Position;
    }
}

bool BlockFloorProgramClass::Parse_Additive()
{
    if (!Parse_Multiplicative()) {
        return false;
    }
    for (;;) {
        Skip_Blanks();
        const char operation = *Position;
        if (operation != '+' && operation != '-') {
            return true;
        }
        ++Position;
        if (!Parse_Multiplicative()) {
            return false;
        }
        Emit(operation == '+' ? ADD : SUBTRACT);
    }
}

bool BlockFloorProgramClass::Parse_Multiplicative()
{
    if (!Parse_Unary()) {
        return false;
    }
    for (;;) {
        Skip_Blanks();
        const char operation = *Position;
        if (operation != '*' && operation != '/') {
            return true;
        }
        ++Position;
        if (!Parse_Unary()) {
            return false;
        }
        Emit(operation == '*' ? MULTIPLY : DIVIDE);
    }
}

// A number literal is tried first, so "-5" is a literal while "- 5" and "-a" are negations.
bool BlockFloorProgramClass::Parse_Unary()
{
    Skip_Blanks();
    if (Parse_Number()) {
        return true;
    }
    const char first = *Position;
    if (first >= 'a' && first <= 'z') {
        Emit(PUSH_VARIABLE, 0, first - 'a');
        ++Position;
        return true;
    }
    if (first == '(') {
        ++Position;
        if (!Parse_Additive()) {
            return false;
        }
        Skip_Blanks();
        if (*Position != ')') {
            return false;
        }
        ++Position;
        return true;
    }
    if (first == '-') {
        ++Position;
        if (!Parse_Unary()) {
            return false;
        }
        Emit(NEGATE);
        return true;
    }
    return false;
}

bool BlockFloorProgramClass::Parse_Number()
{
    const char* end = Position;
    if (*end == '+' || *end == '-') {
        ++end;
    }
    const char* digits = end;
    while (std::isdigit(static_cast<unsigned char>(*end))) {
        ++end;
    }
    const bool integral = end != digits;
    if (*end == '.') {
        ++end;
        const char* fraction = end;
        while (std::isdigit(static_cast<unsigned char>(*end))) {
            ++end;
        }
        if (!integral && end == fraction) {
            return false;
        }
    } else if (!integral) {
        return false;
    }
    const std::string text(Position, end);
    Emit(PUSH_CONSTANT, static_cast<float>(std::atof(text.c_str())));
    Position = end;
    return true;
}
