#include "TestHost.h"

#include "TestHostBindingStruct.h"
#include "foundation/ReportParseError.h"

#include <cognexa/DatabaseUIntConversionClass.h>
#include <cognexa/PerceptionEvaluationStateClass.h>

#include <cstring>

namespace TestHost {

namespace {

RecordStruct TheRecord;

class TableConverterClass : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& name, PerceptionTokenType& value) const override
    {
        TheRecord.Converted_Names.push_back(name);
        const auto entry = TheRecord.Token_Names.find(name);
        if (entry == TheRecord.Token_Names.end()) {
            return false;
        }
        value = entry->second;
        return true;
    }
};

class UnitTypeDatabaseClass : public DatabaseUIntConversionClass {
public:
    UnitTypeDatabaseClass() : DatabaseUIntConversionClass("TestUnitType") {}
    bool String_To_UInt(const std::string& name, unsigned int& id) const override
    {
        static const std::map<std::string, unsigned int> ids = {{"Tank", 7}, {"Nan", 0x7FC00001u}, {"All", 0xFFFFFFFFu}};
        const auto entry = ids.find(name);
        if (entry == ids.end()) {
            return false;
        }
        id = entry->second;
        return true;
    }
    std::string UInt_To_String(unsigned int) const override { return std::string(); }
};

TableConverterClass TheConverter;
UnitTypeDatabaseClass TheDatabase;

bool Evaluate_Token(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    const std::vector<PerceptionTokenType>& path = state.Get_Token_Path();
    if (TheRecord.Record_Token_Calls) {
        TokenCallStruct call{path, {}};
        for (int index = 0; index < state.Get_Value_Count(); ++index) {
            call.Values.emplace_back(state.Get_Value(index).Token, state.Get_Value(index).Value);
        }
        TheRecord.Token_Calls.push_back(call);
    }
    if (path.size() == 2 && path[0] == UNIT && path[1] == INNER && TheRecord.Inner_Equation != nullptr) {
        return TheRecord.Inner_Equation->Evaluate(*context, result);
    }
    const auto entry = TheRecord.Token_Values.find(path);
    if (entry == TheRecord.Token_Values.end()) {
        return false;
    }
    result = entry->second;
    return true;
}

void Notify(const PerceptionContextClass&, const PerceptionFunctionClass&)
{
    ++TheRecord.Notify_Count;
}

float Random(float low, float high)
{
    TheRecord.Random_Calls.emplace_back(low, high);
    return low + (high - low) / 2;
}

const DatabaseUIntConversionClass* Find_Database(const std::string& name)
{
    TheRecord.Database_Requests.push_back(name);
    return name == "UnitType" ? &TheDatabase : nullptr;
}

void Count_Notice(const char*, const char*)
{
    ++TheRecord.Notice_Count;
}

}  // namespace

RecordStruct& Install()
{
    TheRecord = RecordStruct();
    TheRecord.Token_Names = {{"Unit", UNIT}, {"Speed", SPEED}, {"Health", HEALTH}, {"Inner", INNER},
                             {"Tag", TAG},   {"P", P},         {"Q", Q},           {"a", A},
                             {"b", B}};
    TheRecord.Token_Values = {{{UNIT, SPEED}, 4.0f}, {{UNIT, HEALTH}, 0.25f}, {{A, B}, 2.0f}};
    TestHostBindingStruct binding;
    binding.Token_Converter = &TheConverter;
    binding.Evaluate_Token_Callback = &Evaluate_Token;
    binding.Evaluate_Notify_Callback = &Notify;
    binding.Random_Float_Callback = &Random;
    binding.Find_Database_Callback = &Find_Database;
    binding.Notice_Handler = &Count_Notice;
    binding.Install();
    Forget_Parse_Error_Announcement();
    return TheRecord;
}

RecordStruct& Record()
{
    return TheRecord;
}

std::unique_ptr<PerceptionFunctionClass> Build(const std::string& text, const std::string& name)
{
    return std::unique_ptr<PerceptionFunctionClass>(PerceptionFunctionClass::Build(text, name));
}

bool Evaluate_Text(const std::string& text, float& result)
{
    const std::unique_ptr<PerceptionFunctionClass> equation = Build(text);
    PerceptionContextClass context;
    return equation != nullptr && equation->Evaluate(context, result);
}

unsigned int Bits(float value)
{
    return PerceptionEvaluationStateClass::Value_Bits(value);
}

}  // namespace TestHost
