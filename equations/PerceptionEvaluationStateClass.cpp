#include <cognexa/PerceptionEvaluationStateClass.h>

bool PerceptionEvaluationStateClass::Find_Value(PerceptionTokenType token, float& value) const
{
    for (int index = Value_Count - 1; index >= 0; --index) {
        const TokenValueStruct& entry = Get_Value(index);
        if (entry.Token == token) {
            value = entry.Value;
            return true;
        }
    }
    return false;
}

bool PerceptionEvaluationStateClass::Set_Value(PerceptionTokenType token, float value)
{
    // Bound parameters rarely exceed a handful, so the common case never allocates.
    if (Value_Count < Inline_Capacity) {
        Inline_Values[Value_Count] = TokenValueStruct{token, value};
    } else {
        Overflow_Values.push_back(TokenValueStruct{token, value});
    }
    ++Value_Count;
    return true;
}

void PerceptionEvaluationStateClass::Reset_Values()
{
    Value_Count = 0;
    Overflow_Values.clear();
}
