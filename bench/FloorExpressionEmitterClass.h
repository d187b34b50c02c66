#ifndef COGNEXA_BENCH_FLOOR_EXPRESSION_EMITTER_CLASS_H
#define COGNEXA_BENCH_FLOOR_EXPRESSION_EMITTER_CLASS_H

// What FloorExpressionParserClass reads, in postfix order: the floors implement it to build their
// own programs. Parsing is outside the timed loops, so the calls may be virtual.
class FloorExpressionEmitterClass {
public:
    enum OperatorType { NEGATE, ADD, SUBTRACT, MULTIPLY, DIVIDE };

    virtual void Emit_Number(float value) = 0;
    // letter: 0 for "a" to 25 for "z".
    virtual void Emit_Variable(int letter) = 0;
    virtual void Emit_Operator(OperatorType operation) = 0;

protected:
    ~FloorExpressionEmitterClass() = default;
};

#endif
