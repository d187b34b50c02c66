// The compact step program against the nodes run one by one: every benchmark expression and a
// table of equations with bindings, object references, strings, random, clamp, failing
// divisions, failing tokens and nested evaluation, under three rounding modes and two kinds of
// state hand-ins. Both paths must give the same result bits and the same callback trace. The
// many-context call joins them: every lane against Evaluate for that context alone, with the
// per-lane token hand-in and with the bulk one.
#include "AllocationCounter.h"
#include "TestHandInsStruct.h"
#include "TestHost.h"

#include "equations/ArithmeticNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/PerceptionFunctionBuilderClass.h"
#include "foundation/ReportParseError.h"

#include <cognexa/PerceptionEvaluationStateClass.h>
#include <cognexa/PerceptionStringHandle.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

enum TraceTokenType : PerceptionTokenType { SUBJECT = 100, UNIT, FAIL, INNER, NOT_A_NUMBER, P, Q, SUM, ZERO, INNER_MANY, ECHO, SIGNAL };

std::vector<std::string> TheTrace;
bool TheTracing = true;  // off where the host must not allocate
// Set, each context's calls go to its own trace, and calls without a context (random, notices)
// to the trace of -1: across lanes the order of calls is not defined.
bool TheTracingByLane = false;
std::map<int, std::vector<std::string>> TheLaneTraces;
PerceptionFunctionClass* TheInner = nullptr;

std::string Hex(float value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", TestHost::Bits(value));
    return text;
}

// Strings by their text: two equations hold the same literal under different handles.
std::string Value_Text(float value)
{
    const char* text = Resolve_Perception_String(TestHost::Bits(value));
    return text != nullptr ? '"' + std::string(text) + '"' : Hex(value);
}

void Trace(const std::string& line, const PerceptionContextClass* context = nullptr)
{
    if (TheTracingByLane) {
        TheLaneTraces[context != nullptr ? context->Id : -1].push_back(line);
    } else if (TheTracing) {
        TheTrace.push_back(line);
    }
}

class TraceConverterClass final : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& text, PerceptionTokenType& value) const override
    {
        const std::string name = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
        static const std::pair<const char*, PerceptionTokenType> NAMES[] = {
            {"V", SUBJECT}, {"Unit", UNIT}, {"Fail", FAIL}, {"Inner", INNER},
            {"Nan", NOT_A_NUMBER}, {"P", P}, {"Q", Q}, {"Sum", SUM}, {"Zero", ZERO}, {"InnerMany", INNER_MANY},
            {"Echo", ECHO}, {"Signal", SIGNAL}};
        for (const auto& entry : NAMES) {
            if (name == entry.first) {
                value = entry.second;
                return true;
            }
        }
        if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
            value = name[0] - 'a';
            return true;
        }
        return false;
    }
};

class TraceDatabaseClass final : public DatabaseUIntConversionClass {
public:
    TraceDatabaseClass() : DatabaseUIntConversionClass("TraceUnitType") {}
    bool String_To_UInt(const std::string& name, unsigned int& id) const override
    {
        id = name == "Tank" ? 7u : name == "Nan" ? 0x7FC00001u : name == "Signal" ? 0x7F800001u : 0u;
        return id != 0;
    }
    std::string UInt_To_String(unsigned int) const override { return std::string(); }
};

TraceConverterClass TheConverter;
TraceDatabaseClass TheDatabase;

// Hand-ins 10 and 11 that leave a trace; the library only ever calls them on its own states.
class TracingStateClass : public PerceptionEvaluationStateClass {
public:
    bool Trace_Set(PerceptionTokenType token, float value)
    {
        Trace("set " + std::to_string(token) + " " + Value_Text(value), Get_Context());
        return Set_Value(token, value);
    }
    void Trace_Reset()
    {
        Trace("reset", Get_Context());
        Reset_Values();
    }
};

bool Evaluate_Token(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    float sum = 0;
    for (int index = 0; index < state.Get_Value_Count(); ++index) {
        const float value = state.Get_Value(index).Value;
        sum += Resolve_Perception_String(TestHost::Bits(value)) == nullptr ? value : 0.0f;
    }
    if (TheTracing || TheTracingByLane) {
        std::string line = "token";
        for (PerceptionTokenType token : state.Get_Token_Path()) {
            line += " " + std::to_string(token);
        }
        for (int index = 0; index < state.Get_Value_Count(); ++index) {
            line += " " + std::to_string(state.Get_Value(index).Token) + "=" + Value_Text(state.Get_Value(index).Value);
        }
        Trace(line + " preset " + Hex(result), context);
    }
    const PerceptionTokenType last = state.Get_Token_Path().back();
    switch (last) {
    case FAIL:
        result = 9;  // written, yet the evaluation must not use it
        return context->Id % 2 == 1;  // fails for some lanes only
    case INNER:
        return TheInner != nullptr && TheInner->Evaluate(*context, result);
    case INNER_MANY: {
        bool succeeded = false;
        return TheInner != nullptr && TheInner->Evaluate_Many(&context, 1, &result, &succeeded) == 1 && succeeded;
    }
    case ECHO: {  // the first bound value, or a negative signalling NaN, bit for bit
        const uint32_t none = 0xFF812345u;
        if (state.Get_Value_Count() > 0) {
            std::memcpy(&result, &state.Get_Value(0).Value, sizeof result);
        } else {
            std::memcpy(&result, &none, sizeof result);
        }
        return true;
    }
    case SIGNAL: {
        const uint32_t signalling = 0x7F800077u;
        std::memcpy(&result, &signalling, sizeof result);
        return true;
    }
    case ZERO:  // a divisor that is 0 for some lanes
        result = context->Id % 3 == 0 ? 0.0f : static_cast<float>(context->Id);
        return true;
    case NOT_A_NUMBER:
        result = std::numeric_limits<float>::quiet_NaN();
        return true;
    case SUM:
        result = sum;
        return true;
    default:
        result = last < 26 ? 1.25f + 0.5f * last + 0.375f * context->Id : 0.5f + state.Get_Token_Path().size();
        return true;
    }
}

void Notify(const PerceptionContextClass& context, const PerceptionFunctionClass& equation)
{
    Trace("notify " + equation.Get_Name(), &context);
}

// The bulk hand-in, answered from the same data as the per-lane one. All states of one call are
// for the same token, as the host guide promises.
void Evaluate_Tokens(PerceptionEvaluationStateClass* const* states, int count, float* values, bool* succeeded)
{
    for (int index = 1; index < count; ++index) {
        EXPECT_EQ(states[index]->Get_Token_Path(), states[0]->Get_Token_Path());
        EXPECT_EQ(states[index]->Get_Value_Count(), states[0]->Get_Value_Count());
    }
    for (int index = 0; index < count; ++index) {
        succeeded[index] = Evaluate_Token(states[index]->Get_Context(), *states[index], values[index]);
    }
}

float Random(float low, float high)
{
    Trace("random " + Hex(low) + " " + Hex(high));
    return low * 0.75f + high * 0.25f;
}

const DatabaseUIntConversionClass* Find_Database(const std::string& name)
{
    return name == "UnitType" ? &TheDatabase : nullptr;
}

void Trace_Notice(const char*, const char*)
{
    Trace("report");
}

void Install(bool tracing_methods)
{
    const SetStateValueMethodType set_value =
        tracing_methods ? static_cast<SetStateValueMethodType>(&TracingStateClass::Trace_Set)
                        : &PerceptionEvaluationStateClass::Set_Value;
    const ResetStateMethodType reset = tracing_methods ? static_cast<ResetStateMethodType>(&TracingStateClass::Trace_Reset)
                                                       : &PerceptionEvaluationStateClass::Reset_Values;
    TestHandInsStruct hand_ins;
    hand_ins.Token_Converter = &TheConverter;
    hand_ins.Evaluate_Token_Callback = &Evaluate_Token;
    hand_ins.Evaluate_Notify_Callback = &Notify;
    hand_ins.Random_Float_Callback = &Random;
    hand_ins.Find_Database_Callback = &Find_Database;
    hand_ins.Set_State_Value_Method = set_value;
    hand_ins.Reset_State_Method = reset;
    hand_ins.Notice_Handler = &Trace_Notice;
    hand_ins.Install();
}

std::string To_Token_Expression(const std::string& expression)
{
    std::string text;
    for (std::size_t position = 0; position < expression.size(); ++position) {
        const char c = expression[position];
        // The "e" of an exponent follows a digit or a point; a variable never does.
        const bool exponent = (c == 'e' || c == 'E') && position > 0 &&
                              (std::isdigit(static_cast<unsigned char>(expression[position - 1])) ||
                               expression[position - 1] == '.');
        if (std::isalpha(static_cast<unsigned char>(c)) && !exponent) {
            text += "V.";
        }
        text += c;
    }
    return text;
}

const char* const INNER_TEXT = "Unit.Sum{P = V.b, Q = 2} - V.a";

// Builds the equation (and the inner one its INNER token evaluates) with or without the compact
// form, then evaluates it twice under each rounding mode; the trace of it all.
std::vector<std::string> Trace_Evaluations(const std::string& text, bool compact)
{
    std::unique_ptr<PerceptionFunctionClass> inner(PerceptionFunctionClass::Build(INNER_TEXT, "Inner"));
    std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(text, "Outer"));
    if (!compact) {
        for (PerceptionFunctionClass* built : {inner.get(), equation.get()}) {
            if (built != nullptr) {
                PerceptionFunctionBuilderClass::Drop_Compact_Program(*built);
            }
        }
    }
    TheInner = inner.get();
    TheTrace.clear();
    if (equation == nullptr) {
        TheTrace.push_back("not built");
        return TheTrace;
    }
    const PerceptionContextClass context;
    const int saved = std::fegetround();
    for (int mode : {FE_TONEAREST, FE_TOWARDZERO, FE_UPWARD}) {
        std::fesetround(mode);
        for (int round = 0; round < 2; ++round) {
            Forget_Parse_Error_Announcement();
            float result = -7.5f;
            const bool evaluated = equation->Evaluate(context, result);
            TheTrace.push_back(std::string(evaluated ? "true " : "false ") + Hex(result));
        }
    }
    std::fesetround(saved);
    return TheTrace;
}

struct LaneOutcomeStruct {
    std::map<int, std::vector<std::string>> Traces;  // by context, and -1 sorted
    std::vector<std::string> Results;                // by lane: success and result bits
};

// Every lane's outcome, once evaluated context by context with Evaluate and once with
// Evaluate_Many; lanes Id 0 to lanes - 1, and a lane without context at the end.
LaneOutcomeStruct Trace_Lanes(const PerceptionFunctionClass& equation, int lanes, bool many)
{
    std::vector<PerceptionContextClass> contexts(lanes);
    std::vector<const PerceptionContextClass*> pointers;
    for (int lane = 0; lane < lanes; ++lane) {
        contexts[lane].Id = lane;
        pointers.push_back(&contexts[lane]);
    }
    pointers.push_back(nullptr);
    std::vector<float> results(pointers.size(), -7.5f);
    std::unique_ptr<bool[]> succeeded(new bool[pointers.size()]);
    TheLaneTraces.clear();
    TheTracingByLane = true;
    int count = 0;
    if (many) {
        count = equation.Evaluate_Many(pointers.data(), static_cast<int>(pointers.size()), results.data(), succeeded.get());
    } else {
        for (int lane = 0; lane < lanes; ++lane) {
            succeeded[lane] = equation.Evaluate(contexts[lane], results[lane]);
            count += succeeded[lane];
        }
        succeeded[lanes] = false;
    }
    TheTracingByLane = false;
    LaneOutcomeStruct outcome;
    outcome.Traces = TheLaneTraces;
    std::sort(outcome.Traces[-1].begin(), outcome.Traces[-1].end());
    for (std::size_t lane = 0; lane < pointers.size(); ++lane) {
        outcome.Results.push_back(std::string(succeeded[lane] ? "true " : "false ") + Hex(results[lane]));
    }
    outcome.Results.push_back("count " + std::to_string(count));
    return outcome;
}

void Expect_Lanes_Match(const std::string& text, int lanes)
{
    std::unique_ptr<PerceptionFunctionClass> inner(PerceptionFunctionClass::Build(INNER_TEXT, "Inner"));
    std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(text, "Outer"));
    TheInner = inner.get();
    if (equation == nullptr) {
        return;
    }
    const int saved = std::fegetround();
    for (int mode : {FE_TONEAREST, FE_TOWARDZERO, FE_UPWARD}) {
        std::fesetround(mode);
        Forget_Parse_Error_Announcement();
        const LaneOutcomeStruct single = Trace_Lanes(*equation, lanes, false);
        for (bool bulk : {false, true}) {
            Set_Evaluate_Tokens_Callback(bulk ? &Evaluate_Tokens : nullptr);
            Forget_Parse_Error_Announcement();
            const LaneOutcomeStruct many = Trace_Lanes(*equation, lanes, true);
            EXPECT_EQ(single.Traces, many.Traces) << text << (bulk ? " (bulk)" : "") << " mode " << mode;
            EXPECT_EQ(single.Results, many.Results) << text << (bulk ? " (bulk)" : "") << " mode " << mode;
        }
        Set_Evaluate_Tokens_Callback(nullptr);
    }
    std::fesetround(saved);
}

void Expect_Same_Trace(const std::string& text, int lanes = 4)
{
    for (bool tracing_methods : {false, true}) {
        Install(tracing_methods);
        const std::vector<std::string> nodes = Trace_Evaluations(text, false);
        const std::vector<std::string> compact = Trace_Evaluations(text, true);
        EXPECT_EQ(nodes, compact) << text << (tracing_methods ? " (tracing hand-ins)" : "");
        Expect_Lanes_Match(text, lanes);
    }
}

const char* const EQUATIONS[] = {
    "Unit.Sum{P=1, Q=2 * 3} - 4",
    "Unit.Sum{P=Unit.Sum{Q=V.a}, Q=V.b / 2} * V.c",
    "Unit.Sum{P=UnitType[Tank], Q=UnitType[Nan]}",
    R"(Unit.Sum{P="ab cd", Q=""} + 1)",
    // More bound values than a state keeps inline, twice: the second read must not see the first's.
    "Unit.Sum{P=1, Q=2, P=3, Q=4, P=5, Q=6, P=7, Q=8, P=9, Q=10} - "
    "Unit.Sum{P=V.a, Q=V.b, P=V.c, Q=V.a, P=V.b, Q=V.c, P=V.a, Q=V.b, P=V.c, Q=V.a}",
    "V.a # V.b + 3 # 1",
    "clamp(V.a, 0, 2) + clamp(V.z, V.b, 3) + clamp(Unit.Nan, 0, 1)",
    "clamp(1, 3, 2) + Unit.Tag",
    "clamp(1, 2)",
    "Unit.Sum{P = clamp(1, 2)}",
    "clamp(1, 2, 3, 4)",
    "V.a / 0 + V.b",
    "0 / 0 + V.a / (V.b - V.b) + 1",
    "V.a / (Unit.Nan * 0)",
    "-0 / 5 + -V.a / 1e30",
    "Unit.Nan == Unit.Nan + (Unit.Nan != 1) + (V.a < V.b) + (V.a > V.b) + (V.a <= 2) + (V.a >= 2)",
    // Two NaNs of different payloads meet: the result carries one of them.
    "UnitType[Nan] + Unit.Nan + (UnitType[Nan] * Unit.Nan) + (UnitType[Nan] - Unit.Nan) + (UnitType[Nan] / Unit.Nan)",
    "(Unit.Nan + UnitType[Nan]) * (Unit.Nan * UnitType[Nan]) - (Unit.Nan - UnitType[Nan]) / (Unit.Nan / UnitType[Nan])",
    "(V.a + Unit.Nan) * (V.b * UnitType[Nan]) + (UnitType[Nan] + 1) - (Unit.Nan - 2)",
    "V.a + Unit.Fail * 2",
    "Unit.Fail",
    "2 * Unit.Inner + Unit.Inner{P = 1}",
    "V.a - 3 - V.b / 4 * 5 + 6 - V.c * -V.d",
    "1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1",
    // A token answering 0 as a divisor, alone and fused.
    "V.a / Unit.Zero + 1",
    "Unit.Zero / Unit.Zero + V.b / (Unit.Zero)",
    // Clamp with equal bounds holds; only low > high fails.
    "clamp(V.a, 2, 2) + clamp(5, V.b, V.b) + clamp(Unit.Nan, 1, 1)",
    // NaN through every comparison: each differs from its negated opposite.
    "(Unit.Nan <= 1) + (1 <= Unit.Nan) + (Unit.Nan >= 1) + (1 >= Unit.Nan)",
    "(Unit.Nan < 1) + (1 < Unit.Nan) + (Unit.Nan > 1) + (1 > Unit.Nan) + (Unit.Nan == Unit.Nan) + (Unit.Nan != Unit.Nan)",
    // Two NaNs of different payloads, each operator alone: the left one's payload must win.
    "UnitType[Nan] * Unit.Nan",
    "UnitType[Nan] + Unit.Nan",
    "Unit.Nan * UnitType[Nan]",
    "Unit.Nan + UnitType[Nan]",
    "V.a * 0 * Unit.Nan * UnitType[Nan]",
    // Programs that fail to compile where exactly one value is on the stack.
    "clamp(1)",
    "clamp(V.a)",
    "Unit.Sum{P = clamp(2)}",
    // Nested evaluation through the many-context call itself.
    "Unit.InnerMany * 2 + Unit.Inner",
};

TEST(CompactProgramTest, EquationTableMatchesTheNodes)
{
    for (const char* text : EQUATIONS) {
        Expect_Same_Trace(text);
    }
    // Exactly as deep as the evaluating frame's stack, one deeper, and far deeper: the last two
    // run on the thread's stack. A chain of n levels is n + 1 values deep: the innermost token is
    // negated, so its push is not fused into the subtraction above it and really takes a slot.
    for (int levels : {63, 64, 80}) {
        std::string deep = "-V.a";
        for (int level = 0; level < levels; ++level) {
            deep = "V.b - (" + deep + ")";
        }
        Expect_Same_Trace(deep);
        Expect_Same_Trace(deep + " / 0");
        Expect_Same_Trace(deep + " + Unit.Zero * V.c");
    }
}

// More lanes than one block, so lanes of later blocks fail and succeed like the first.
TEST(CompactProgramTest, ManyContextsAcrossBlocksMatchEvaluate)
{
    for (const char* text : {"V.a / Unit.Zero + Unit.Fail", "Unit.Sum{P=UnitType[Nan], Q=\"x\"} + Unit.Inner"}) {
        Install(true);
        Expect_Lanes_Match(text, 600);
    }
}

// Object ids, token values and results are 32-bit patterns in the value slot: a signalling NaN
// must arrive unquieted wherever it is copied, on every path (the x87's loads and stores quiet it).
TEST(CompactProgramTest, SignallingNanIdsAndValuesTravelBitForBit)
{
    Install(true);
    struct CaseStruct {
        const char* Text;
        uint32_t Result;
    };
    const CaseStruct CASES[] = {
        {"Unit.Echo{P=UnitType[Signal]}", 0x7F800001u},  // id: host to bound value to result
        {"Unit.Signal", 0x7F800077u},                     // token value to result
        {"Unit.Echo{P=Unit.Signal}", 0x7F800077u},        // token value to bound value
        {"Unit.Echo", 0xFF812345u},
    };
    const PerceptionContextClass context;
    const PerceptionContextClass* contexts[] = {&context};
    for (const CaseStruct& entry : CASES) {
        for (int path = 0; path < 4; ++path) {
            std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(entry.Text, "Signal"));
            ASSERT_NE(equation, nullptr) << entry.Text;
            if (path == 0) {
                PerceptionFunctionBuilderClass::Drop_Compact_Program(*equation);
            }
            Set_Evaluate_Tokens_Callback(path == 3 ? &Evaluate_Tokens : nullptr);
            TheTrace.clear();
            float result = 0;
            bool succeeded = false;
            if (path < 2) {
                succeeded = equation->Evaluate(context, result);
            } else {
                equation->Evaluate_Many(contexts, 1, &result, &succeeded);
            }
            Set_Evaluate_Tokens_Callback(nullptr);
            EXPECT_TRUE(succeeded) << entry.Text << " path " << path;
            EXPECT_EQ(TestHost::Bits(result), entry.Result) << entry.Text << " path " << path;
            if (std::string(entry.Text).find("UnitType[Signal]") != std::string::npos) {
                EXPECT_NE(std::find(TheTrace.begin(), TheTrace.end(), "set " + std::to_string(P) + " 7F800001"), TheTrace.end())
                    << entry.Text << " path " << path;
            }
        }
    }
}

TEST(CompactProgramTest, ManyContextsRejectBadArguments)
{
    Install(false);
    const std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build("V.a", "Arguments"));
    ASSERT_NE(equation, nullptr);
    const PerceptionContextClass context;
    const PerceptionContextClass* contexts[] = {&context};
    float result = 0;
    bool succeeded = false;
    EXPECT_EQ(equation->Evaluate_Many(contexts, -1, &result, &succeeded), -1);
    EXPECT_EQ(equation->Evaluate_Many(nullptr, 1, &result, &succeeded), -1);
    EXPECT_EQ(equation->Evaluate_Many(contexts, 1, nullptr, &succeeded), -1);
    EXPECT_EQ(equation->Evaluate_Many(contexts, 1, &result, nullptr), -1);
    EXPECT_EQ(equation->Evaluate_Many(nullptr, 0, nullptr, nullptr), 0);
    TheTrace.clear();
}

TEST(CompactProgramTest, ManyContextsAllocateNothingWhenWarm)
{
    Install(false);
    const std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build("V.a * 2 + V.b / 3", "Warm"));
    ASSERT_NE(equation, nullptr);
    std::vector<PerceptionContextClass> contexts(1000);
    std::vector<const PerceptionContextClass*> pointers;
    for (const PerceptionContextClass& context : contexts) {
        pointers.push_back(&context);
    }
    std::vector<float> results(contexts.size());
    std::unique_ptr<bool[]> succeeded(new bool[contexts.size()]);
    TheTracing = false;
    for (bool bulk : {false, true}) {
        Set_Evaluate_Tokens_Callback(bulk ? &Evaluate_Tokens : nullptr);
        ASSERT_EQ(equation->Evaluate_Many(pointers.data(), 1000, results.data(), succeeded.get()), 1000);
        AllocationCounter::Start();
        const int count = equation->Evaluate_Many(pointers.data(), 1000, results.data(), succeeded.get());
        const int allocations = AllocationCounter::Stop();
        EXPECT_EQ(count, 1000);
        EXPECT_EQ(allocations, 0) << (bulk ? "bulk" : "per lane");
    }
    Set_Evaluate_Tokens_Callback(nullptr);
    TheTracing = true;
}

TEST(CompactProgramTest, BenchmarkExpressionsMatchTheNodes)
{
    std::ifstream file(COGNEXA_EXPRESSIONS_PATH);
    ASSERT_TRUE(file) << COGNEXA_EXPRESSIONS_PATH;
    int count = 0;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            Expect_Same_Trace(To_Token_Expression(line));
            ++count;
        }
    }
    EXPECT_GT(count, 5000);
}

TEST(CompactProgramTest, DeepProgramsAllocateNothingWhenWarm)
{
    Install(false);
    std::string deep = "V.a";
    for (int level = 0; level < 100; ++level) {
        deep = "V.b - (" + deep + ")";
    }
    const std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(deep, "Deep"));
    ASSERT_NE(equation, nullptr);
    const PerceptionContextClass context;
    float result = 0;
    TheTracing = false;
    ASSERT_TRUE(equation->Evaluate(context, result));
    AllocationCounter::Start();
    const bool evaluated = equation->Evaluate(context, result);
    const int allocations = AllocationCounter::Stop();
    TheTracing = true;
    EXPECT_EQ(allocations, 0);
    EXPECT_TRUE(evaluated);
}

// A node a host appends after building must run: the compact form gives way to the nodes.
TEST(CompactProgramTest, NodesAppendedAfterBuildingAreRun)
{
    Install(false);
    std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build("V.a", "Appended"));
    ASSERT_NE(equation, nullptr);
    equation->Add_Node(ConstantNodeClass::Make_Number(2));
    equation->Add_Node(new AddNodeClass());
    float result = 0;
    ASSERT_TRUE(equation->Evaluate(PerceptionContextClass(), result));
    EXPECT_EQ(result, 3.25f);
    TheTrace.clear();
}

}  // namespace
