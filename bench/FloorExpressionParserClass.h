#ifndef COGNEXA_BENCH_FLOOR_EXPRESSION_PARSER_CLASS_H
#define COGNEXA_BENCH_FLOOR_EXPRESSION_PARSER_CLASS_H

#include "FloorExpressionEmitterClass.h"

#include <string>

// The benchmark subset of the language for the floors: numbers, one-letter variables a to z,
// + - * /, parentheses and negation, with the library's precedence and literal rules. What it
// reads goes to the emitter in postfix order.
class FloorExpressionParserClass {
public:
    explicit FloorExpressionParserClass(FloorExpressionEmitterClass& emitter) : Emitter(emitter) {}

    // False when the text is outside the subset; the emitter may have been called before the
    // fault was found.
    bool Parse(const std::string& expression);

private:
    bool Parse_Additive();
    bool Parse_Multiplicative();
    bool Parse_Unary();
    bool Parse_Number();
    void Skip_Blanks();

    FloorExpressionEmitterClass& Emitter;
    const char* Position = nullptr;
};

#endif
