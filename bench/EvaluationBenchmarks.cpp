// Evaluation and building of the arithmetic benchmark expressions, against muparser and against
// the floor loop over the same node objects.
#include "BenchHost.h"
#include "FloorProgramClass.h"

#include "equations/ConstantNodeClass.h"
#include "equations/TokenNodeClass.h"

#include <cognexa/PerceptionFunctionClass.h>

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

typedef std::chrono::steady_clock ClockType;

struct EquationDeleterStruct {
    void operator()(PerceptionFunctionClass* equation) const { delete equation; }
};

struct ExpressionCaseStruct {
    std::string Expression;
    std::string Token_Expression;
    std::unique_ptr<PerceptionFunctionClass, EquationDeleterStruct> Equation;
    FloorProgramClass Floor;
};

std::string Expressions_Path()
{
    return std::string(COGNEXA_BENCH_DATA_DIR) + "/expressions.txt";
}

void Define_Variables(mu::Parser& parser, double* values)
{
    const char letters[] = "abcdefghijklmnopqrstuvwxyz";
    for (int index = 0; index < 26; ++index) {
        values[index] = Bench_Letter_Value(letters[index]);
        parser.DefineVar(std::string(1, letters[index]), &values[index]);
    }
}

bool Muparser_Accepts(const std::string& expression)
{
    static mu::Parser parser;
    static double variables[26];
    static const bool defined = (Define_Variables(parser, variables), true);
    (void)defined;
    try {
        parser.SetExpr(expression);
        parser.Eval();
        return true;
    } catch (const mu::Parser::exception_type&) {
        return false;
    }
}

// Every expression built three ways; expressions one of them cannot take are dropped (and
// counted, so a shrinking set shows in the table).
class ExpressionSetClass {
public:
    ExpressionSetClass()
    {
        Install_Bench_Host(nullptr);
        for (const std::string& line : Read_Data_Lines(Expressions_Path())) {
            auto entry = std::make_unique<ExpressionCaseStruct>();
            entry->Expression = line;
            entry->Token_Expression = To_Token_Expression(line);
            entry->Equation.reset(PerceptionFunctionClass::Build(entry->Token_Expression, "Bench"));
            if (entry->Equation == nullptr || !entry->Floor.Compile(line) || !Muparser_Accepts(line)) {
                ++Rejected;
                continue;
            }
            Cases.push_back(std::move(entry));
        }
    }

    std::vector<std::unique_ptr<ExpressionCaseStruct>> Cases;
    int Rejected = 0;
};

ExpressionSetClass& The_Expressions()
{
    static ExpressionSetClass expressions;
    return expressions;
}

// Google Benchmark's read-write DoNotOptimize may hand a floating-point value back through a
// general register with GCC and corrupt it; keeping the value as an input is enough here.
template <typename T>
inline void Keep(const T& value)
{
    benchmark::DoNotOptimize(value);
}

template <typename Evaluation>
double Nanoseconds_Per_Evaluation(int evaluations, Evaluation evaluation)
{
    const ClockType::time_point start = ClockType::now();
    for (int count = 0; count < evaluations; ++count) {
        evaluation();
    }
    const std::chrono::duration<double, std::nano> elapsed = ClockType::now() - start;
    return elapsed.count() / evaluations;
}

bool Close_Enough(double expected, float actual)
{
    return std::fabs(expected - actual) <= 1e-3 * std::max(1.0, std::fabs(expected));
}

// Per expression, the three evaluators take turns for several rounds and each keeps its best
// round, so a burst of load on a shared machine hits all three alike; the figures are the
// geometric means over the expressions.
void BM_Evaluation(benchmark::State& state)
{
    constexpr int ROUNDS = 5;
    constexpr int EVALUATIONS = 256;
    ExpressionSetClass& expressions = The_Expressions();
    const PerceptionContextClass context = Make_Bench_Context();
    mu::Parser parser;
    double variables[26];
    Define_Variables(parser, variables);

    double log_library = 0;
    double log_muparser = 0;
    double log_floor = 0;
    int disagreements = 0;
    float library_result = 0;
    float floor_result = 0;
    double muparser_result = 0;
    for (auto _ : state) {
        for (const std::unique_ptr<ExpressionCaseStruct>& entry : expressions.Cases) {
            parser.SetExpr(entry->Expression);
            muparser_result = parser.Eval();
            double best_library = 1e30;
            double best_muparser = 1e30;
            double best_floor = 1e30;
            for (int round = 0; round < ROUNDS; ++round) {
                best_library = std::min(best_library, Nanoseconds_Per_Evaluation(EVALUATIONS, [&] {
                    entry->Equation->Evaluate(context, library_result);
                    Keep(library_result);
                }));
                best_muparser = std::min(best_muparser, Nanoseconds_Per_Evaluation(EVALUATIONS, [&] {
                    muparser_result = parser.Eval();
                    Keep(muparser_result);
                }));
                best_floor = std::min(best_floor, Nanoseconds_Per_Evaluation(EVALUATIONS, [&] {
                    entry->Floor.Evaluate(context, floor_result);
                    Keep(floor_result);
                }));
            }
            log_library += std::log(best_library);
            log_muparser += std::log(best_muparser);
            log_floor += std::log(best_floor);
            if (!Close_Enough(muparser_result, library_result) || floor_result != library_result) {
                ++disagreements;
            }
        }
    }
    const double count = static_cast<double>(expressions.Cases.size()) * state.iterations();
    state.counters["library_ns"] = std::exp(log_library / count);
    state.counters["muparser_ns"] = std::exp(log_muparser / count);
    state.counters["floor_ns"] = std::exp(log_floor / count);
    state.counters["expressions"] = static_cast<double>(expressions.Cases.size());
    state.counters["rejected"] = expressions.Rejected;
    state.counters["disagreements"] = disagreements / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Evaluation)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Build_Library(benchmark::State& state)
{
    ExpressionSetClass& expressions = The_Expressions();
    for (auto _ : state) {
        for (const std::unique_ptr<ExpressionCaseStruct>& entry : expressions.Cases) {
            std::unique_ptr<PerceptionFunctionClass, EquationDeleterStruct> equation(
                PerceptionFunctionClass::Build(entry->Token_Expression, "Bench"));
            benchmark::DoNotOptimize(equation.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(expressions.Cases.size()));
}
BENCHMARK(BM_Build_Library)->Unit(benchmark::kMillisecond);

// muparser compiles on the first evaluation after SetExpr, so its building is both.
void BM_Build_Muparser(benchmark::State& state)
{
    ExpressionSetClass& expressions = The_Expressions();
    mu::Parser parser;
    double variables[26];
    Define_Variables(parser, variables);
    for (auto _ : state) {
        for (const std::unique_ptr<ExpressionCaseStruct>& entry : expressions.Cases) {
            parser.SetExpr(entry->Expression);
            Keep(parser.Eval());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(expressions.Cases.size()));
}
BENCHMARK(BM_Build_Muparser)->Unit(benchmark::kMillisecond);

// The cost of one node on its own: a token node is the host-callback protocol (one evaluation
// state, the token callback and the reset), a constant is the cheapest node there is.
void BM_Node_Token(benchmark::State& state)
{
    Install_Bench_Host(nullptr);
    const PerceptionContextClass context = Make_Bench_Context();
    TokenNodeClass token;
    token.Token_Path = {BENCH_SUBJECT_TOKEN, 'x' - 'a'};
    std::vector<float> stack;
    stack.reserve(8);
    for (auto _ : state) {
        token.Evaluate(stack, context);
        Keep(stack.back());
        stack.clear();
    }
}
BENCHMARK(BM_Node_Token);

void BM_Node_Constant(benchmark::State& state)
{
    const PerceptionContextClass context = Make_Bench_Context();
    std::unique_ptr<ConstantNodeClass> constant(ConstantNodeClass::Make_Number(2.5f));
    std::vector<float> stack;
    stack.reserve(8);
    for (auto _ : state) {
        constant->Evaluate(stack, context);
        Keep(stack.back());
        stack.clear();
    }
}
BENCHMARK(BM_Node_Constant);

}  // namespace
