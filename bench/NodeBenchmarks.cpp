// Inside the library: Evaluate against the floor loop over the same node objects, and the cost
// of single nodes. These need internal classes, so they link the library's objects statically;
// what hosts get is measured through the shared library (EvaluationBenchmarks.cpp).
#include "BenchHost.h"
#include "EvaluationPeerClass.h"
#include "FloorProgramClass.h"

#include "equations/ConstantNodeClass.h"
#include "equations/TokenNodeClass.h"

#include <cognexa/PerceptionFunctionClass.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

std::string Expressions_Path()
{
    return std::string(COGNEXA_BENCH_DATA_DIR) + "/expressions.txt";
}

// Per expression, Evaluate and the floor take turns for several rounds and each keeps its best
// round; the figures are the geometric means over the expressions both take.
void BM_Evaluation_Floor(benchmark::State& state)
{
    constexpr int ROUNDS = 5;
    constexpr int EVALUATIONS = 256;
    Install_Bench_Host(nullptr);
    const PerceptionContextClass context = Make_Bench_Context();
    double log_library = 0;
    double log_floor = 0;
    int count = 0;
    int disagreements = 0;
    for (auto _ : state) {
        for (const std::string& line : Read_Data_Lines(Expressions_Path())) {
            std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(To_Token_Expression(line), "Bench"));
            FloorProgramClass floor;
            if (equation == nullptr || !floor.Compile(line)) {
                continue;
            }
            float library_result = 0;
            float floor_result = 0;
            double best_library = 1e30;
            double best_floor = 1e30;
            for (int round = 0; round < ROUNDS; ++round) {
                best_library = std::min(best_library, Time_Evaluations(EVALUATIONS, [&] {
                    equation->Evaluate(context, library_result);
                    Keep(library_result);
                }));
                best_floor = std::min(best_floor, Time_Evaluations(EVALUATIONS, [&] {
                    floor.Evaluate(context, floor_result);
                    Keep(floor_result);
                }));
            }
            log_library += std::log(best_library);
            log_floor += std::log(best_floor);
            disagreements += floor_result != library_result;
            ++count;
        }
    }
    state.counters["library_ns"] = std::exp(log_library / count);
    state.counters["floor_ns"] = std::exp(log_floor / count);
    state.counters["expressions"] = count / static_cast<double>(state.iterations());
    state.counters["disagreements"] = disagreements / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Evaluation_Floor)->Iterations(1)->Unit(benchmark::kMillisecond);

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
