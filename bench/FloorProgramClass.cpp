#include "FloorProgramClass.h"

#include "BenchHost.h"
#include "FloorExpressionParserClass.h"
#include "equations/ArithmeticNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/TokenNodeClass.h"

bool FloorProgramClass::Compile(const std::string& expression)
{
    Nodes.clear();
    Stack.reserve(64);
    return FloorExpressionParserClass(*this).Parse(expression);
}

void FloorProgramClass::Emit_Number(float value)
{
    Nodes.emplace_back(ConstantNodeClass::Make_Number(value));
}

void FloorProgramClass::Emit_Variable(int letter)
{
    auto token = std::make_unique<TokenNodeClass>();
    token->Token_Path = {BENCH_SUBJECT_TOKEN, letter};
    Nodes.push_back(std::move(token));
}

void FloorProgramClass::Emit_Operator(OperatorType operation)
{
    switch (operation) {
    case NEGATE:
        Nodes.emplace_back(new NegateNodeClass());
        break;
    case ADD:
        Nodes.emplace_back(new AddNodeClass());
        break;
    case SUBTRACT:
        Nodes.emplace_back(new SubtractNodeClass());
        break;
    case MULTIPLY:
        Nodes.emplace_back(new MultiplyNodeClass());
        break;
    case DIVIDE:
        Nodes.emplace_back(new DivideNodeClass());
        break;
    }
}
