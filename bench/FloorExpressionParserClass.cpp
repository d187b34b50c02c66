#include "FloorExpressionParserClass.h"

#include <cctype>
#include <cstdlib>

bool FloorExpressionParserClass::Parse(const std::string& expression)
{
    Position = expression.c_str();
    Skip_Blanks();
    if (!Parse_Additive()) {
        return false;
    }
    Skip_Blanks();
    return *Position == '\0';
}

void FloorExpressionParserClass::Skip_Blanks()
{
    while (std::isspace(static_cast<unsigned char>(*Position))) {
        ++Position;
    }
}

bool FloorExpressionParserClass::Parse_Additive()
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
        Emitter.Emit_Operator(operation == '+' ? FloorExpressionEmitterClass::ADD : FloorExpressionEmitterClass::SUBTRACT);
    }
}

bool FloorExpressionParserClass::Parse_Multiplicative()
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
        Emitter.Emit_Operator(operation == '*' ? FloorExpressionEmitterClass::MULTIPLY
                                               : FloorExpressionEmitterClass::DIVIDE);
    }
}

// A number literal is tried first, so "-5" is a literal while "- 5" and "-a" are negations.
bool FloorExpressionParserClass::Parse_Unary()
{
    Skip_Blanks();
    if (Parse_Number()) {
        return true;
    }
    const char first = *Position;
    // Only a to z: the floors index their variables by letter.
    if (first >= 'a' && first <= 'z') {
        Emitter.Emit_Variable(first - 'a');
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
        Emitter.Emit_Operator(FloorExpressionEmitterClass::NEGATE);
        return true;
    }
    return false;
}

bool FloorExpressionParserClass::Parse_Number()
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
    Emitter.Emit_Number(static_cast<float>(std::atof(text.c_str())));
    Position = end;
    return true;
}
