#ifndef COGNEXA_PERCEPTION_EVALUATION_STATE_CLASS_H
#define COGNEXA_PERCEPTION_EVALUATION_STATE_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/PerceptionTokenType.h>

#include <cstring>
#include <vector>

// What the host's token callback sees while one token is evaluated: the context, the token
// path (the names of a token expression, converted, in order) and the values bound to its
// parameters. The library builds one on its stack per token evaluation; it refers to the
// path, it does not copy it.
//
// Set_Value and Reset_Values have the signatures of the Set_State_Value_Method and
// Reset_State_Method hand-ins, so a host can pass &PerceptionEvaluationStateClass::Set_Value and
// &PerceptionEvaluationStateClass::Reset_Values to Init_Perception_DLL.
class COGNEXA_API PerceptionEvaluationStateClass {
public:
    struct TokenValueStruct {
        PerceptionTokenType Token;
        float Value;
    };

    PerceptionEvaluationStateClass(const PerceptionContextClass* context,
                                   const std::vector<PerceptionTokenType>& token_path)
        : Context(context), Token_Path(&token_path) {}
    // Inline: the library builds and destroys one state per token it reads, and a call per
    // destruction is a measurable share of an evaluation.
    virtual ~PerceptionEvaluationStateClass() = default;

    PerceptionEvaluationStateClass(const PerceptionEvaluationStateClass&) = delete;
    PerceptionEvaluationStateClass& operator=(const PerceptionEvaluationStateClass&) = delete;

    const PerceptionContextClass* Get_Context() const { return Context; }
    const std::vector<PerceptionTokenType>& Get_Token_Path() const { return *Token_Path; }

    // The table of bound values, in the order they were set.
    int Get_Value_Count() const { return Value_Count; }
    const TokenValueStruct& Get_Value(int index) const
    {
        return index < Inline_Capacity ? Inline_Values[index] : Overflow_Values[index - Inline_Capacity];
    }
    // The value last set for token; false when none was set.
    bool Find_Value(PerceptionTokenType token, float& value) const;

    // Records the value bound to a parameter. Always true.
    bool Set_Value(PerceptionTokenType token, float value);
    // Empties the table.
    void Reset_Values();

    // Object references and string constants travel as 32-bit patterns in the float slot:
    // the object id, or a string handle for Resolve_Perception_String.
    static unsigned int Value_Bits(float value)
    {
        unsigned int bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }

private:
    // The many-context evaluation keeps one state per lane and points it at each token in turn.
    friend class PerceptionProgramClass;

    static constexpr int Inline_Capacity = 8;

    const PerceptionContextClass* Context;
    const std::vector<PerceptionTokenType>* Token_Path;
    int Value_Count = 0;
    TokenValueStruct Inline_Values[Inline_Capacity];
    std::vector<TokenValueStruct> Overflow_Values;
};

#endif
