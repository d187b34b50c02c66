#ifndef COGNEXA_BENCH_BLOCK_FLOOR_PROGRAM_CLASS_H
#define COGNEXA_BENCH_BLOCK_FLOOR_PROGRAM_CLASS_H

#include "FloorExpressionEmitterClass.h"

#include <string>
#include <vector>

// The floor of the frame benchmark: a postfix program run one step at a time over blocks of
// BLOCK_LANES lanes, with no library, no dispatch per lane and the operators in loops the
// compiler vectorises. It compiles the benchmark subset (numbers, one-letter variables, + - * /,
// parentheses, negation) with the library's precedence and literal rules, and gives each lane
// the bits Evaluate gives under the thread's rounding mode, failed divisions included.
class BlockFloorProgramClass : private FloorExpressionEmitterClass {
public:
    static constexpr int BLOCK_LANES = 256;

    // Where a variable's values come from: one array per letter (each padded to a whole number
    // of blocks), or a call per lane and variable.
    typedef float (*LaneValueCallbackType)(const void* host, int lane, int letter);

    // False when the text is outside the subset.
    bool Compile(const std::string& expression);

    // Lanes [0, count): results[i] is written only where succeeded[i] becomes true.
    void Run_Arrays(const float* const* letter_arrays, int count, float* results, bool* succeeded);
    void Run_Callback(LaneValueCallbackType callback, const void* host, int count, float* results, bool* succeeded);

private:
    enum OperationType { PUSH_CONSTANT, PUSH_VARIABLE, NEGATE, ADD, SUBTRACT, MULTIPLY, DIVIDE };
    struct StepStruct {
        OperationType Operation;
        float Constant;
        int Letter;
    };

    template <typename LoadVariable>
    void Run_Blocks(LoadVariable load, int count, float* results, bool* succeeded);

    void Emit_Number(float value) override;
    void Emit_Variable(int letter) override;
    void Emit_Operator(OperatorType operation) override;
    void Emit(OperationType operation, float constant = 0, int letter = 0);

    std::vector<StepStruct> Steps;
    int Depth = 0;
    int Max_Depth = 0;
    // Max_Depth rows of BLOCK_LANES values, reused across runs.
    std::vector<float> Stack;
};

#endif
