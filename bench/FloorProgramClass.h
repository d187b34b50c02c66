#ifndef COGNEXA_BENCH_FLOOR_PROGRAM_CLASS_H
#define COGNEXA_BENCH_FLOOR_PROGRAM_CLASS_H

#include "FloorExpressionEmitterClass.h"

#include "equations/PerceptionFunctionNodeClass.h"

#include <memory>
#include <string>
#include <vector>

// The floor of the evaluation benchmark: the library's own node objects, in the postfix order
// its builder emits, run by the least a driver can do (a loop over the nodes with one stack
// reused across evaluations, no host notification, no checks). It compiles the benchmark
// subset of the language (numbers, one-letter variables read as V.x, + - * /, parentheses,
// negation) with the same precedence and literal rules.
class FloorProgramClass : private FloorExpressionEmitterClass {
public:
    // False when the text is outside the subset.
    bool Compile(const std::string& expression);

    bool Evaluate(const PerceptionContextClass& context, float& result)
    {
        Stack.clear();
        for (const std::unique_ptr<PerceptionFunctionNodeClass>& node : Nodes) {
            if (!node->Evaluate(Stack, context)) {
                return false;
            }
        }
        result = Stack.back();
        return true;
    }

    std::size_t Get_Node_Count() const { return Nodes.size(); }

private:
    void Emit_Number(float value) override;
    void Emit_Variable(int letter) override;
    void Emit_Operator(OperatorType operation) override;

    std::vector<std::unique_ptr<PerceptionFunctionNodeClass>> Nodes;
    std::vector<float> Stack;
};

#endif
