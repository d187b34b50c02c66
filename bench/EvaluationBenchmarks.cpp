// What hosts get: evaluation and building of the benchmark expressions through the shared
// library, as a host program links it, beside the peer engines that are installed (muparser,
// fparser, Lua 5.4, LuaJIT). Every one-letter variable is a token V.x that a trivial host
// callback answers, and a callback or a memory read in each peer.
#include "BenchHost.h"
#include "EvaluationPeerClass.h"

#include <cognexa/PerceptionFunctionClass.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace {

struct EquationDeleterStruct {
    void operator()(PerceptionFunctionClass* equation) const { delete equation; }
};
typedef std::unique_ptr<PerceptionFunctionClass, EquationDeleterStruct> EquationPointer;

struct ExpressionCaseStruct {
    std::string Expression;
    std::string Token_Expression;
    EquationPointer Equation;
};

EvaluationPeerListType& The_Peers()
{
    static EvaluationPeerListType peers = [] {
        EvaluationPeerListType list;
#ifdef COGNEXA_BENCH_MUPARSER
        Add_Muparser_Peers(list);
#endif
#ifdef COGNEXA_BENCH_FPARSER
        Add_Fparser_Peers(list);
#endif
#ifdef COGNEXA_BENCH_LUA
        Add_Lua_Peers(list);
#endif
#ifdef COGNEXA_BENCH_LUAJIT
        Add_Luajit_Peers(list);
#endif
        return list;
    }();
    return peers;
}

// The expressions that the library and every peer take; the others are counted, so a
// shrinking set shows in the results.
class ExpressionSetClass {
public:
    ExpressionSetClass()
    {
        Install_Bench_Host(nullptr);
        for (const std::string& line : Read_Data_Lines(std::string(COGNEXA_BENCH_DATA_DIR) + "/expressions.txt")) {
            auto entry = std::make_unique<ExpressionCaseStruct>();
            entry->Expression = line;
            entry->Token_Expression = To_Token_Expression(line);
            entry->Equation.reset(PerceptionFunctionClass::Build(entry->Token_Expression, "Bench"));
            bool taken = entry->Equation != nullptr;
            for (const auto& peer : The_Peers()) {
                taken = taken && peer->Compile(line);
            }
            if (!taken) {
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

bool Close_Enough(double expected, float actual)
{
    return std::fabs(expected - actual) <= 1e-3 * std::max(1.0, std::fabs(expected));
}

// Per expression, the library and the peers take turns for several rounds and each keeps its
// best round, so a burst of load on a shared machine hits all alike; the figures are the
// geometric means over the expressions.
void BM_Evaluation(benchmark::State& state)
{
    constexpr int ROUNDS = 5;
    constexpr int EVALUATIONS = 256;
    ExpressionSetClass& expressions = The_Expressions();
    EvaluationPeerListType& peers = The_Peers();
    const PerceptionContextClass context = Make_Bench_Context();

    double log_library = 0;
    std::vector<double> log_peers(peers.size(), 0.0);
    int disagreements = 0;
    float library_result = 0;
    for (auto _ : state) {
        for (const std::unique_ptr<ExpressionCaseStruct>& entry : expressions.Cases) {
            for (const auto& peer : peers) {
                peer->Compile(entry->Expression);
            }
            double best_library = 1e30;
            std::vector<double> best_peers(peers.size(), 1e30);
            for (int round = 0; round < ROUNDS; ++round) {
                best_library = std::min(best_library, Time_Evaluations(EVALUATIONS, [&] {
                    entry->Equation->Evaluate(context, library_result);
                    Keep(library_result);
                }));
                for (std::size_t index = 0; index < peers.size(); ++index) {
                    best_peers[index] = std::min(best_peers[index], peers[index]->Nanoseconds_Per_Evaluation(EVALUATIONS));
                }
            }
            log_library += std::log(best_library);
            for (std::size_t index = 0; index < peers.size(); ++index) {
                log_peers[index] += std::log(best_peers[index]);
                disagreements += !Close_Enough(peers[index]->Evaluate(), library_result);
            }
        }
    }
    const double count = static_cast<double>(expressions.Cases.size()) * state.iterations();
    state.counters["library_ns"] = std::exp(log_library / count);
    for (std::size_t index = 0; index < peers.size(); ++index) {
        state.counters[peers[index]->Get_Name() + "_ns"] = std::exp(log_peers[index] / count);
    }
    state.counters["expressions"] = static_cast<double>(expressions.Cases.size());
    state.counters["rejected"] = expressions.Rejected;
    state.counters["disagreements"] = disagreements / static_cast<double>(state.iterations());
}

void BM_Build_Library(benchmark::State& state)
{
    ExpressionSetClass& expressions = The_Expressions();
    for (auto _ : state) {
        for (const std::unique_ptr<ExpressionCaseStruct>& entry : expressions.Cases) {
            EquationPointer equation(PerceptionFunctionClass::Build(entry->Token_Expression, "Bench"));
            benchmark::DoNotOptimize(equation.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(expressions.Cases.size()));
}

// A peer's building: what Compile does (muparser also evaluates once, because it compiles on
// the first evaluation; Lua runs the chunk that makes the function).
void BM_Build_Peer(benchmark::State& state, EvaluationPeerClass* peer)
{
    ExpressionSetClass& expressions = The_Expressions();
    for (auto _ : state) {
        for (const std::unique_ptr<ExpressionCaseStruct>& entry : expressions.Cases) {
            benchmark::DoNotOptimize(peer->Compile(entry->Expression));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(expressions.Cases.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("BM_Evaluation", BM_Evaluation)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Build_Library", BM_Build_Library)->Unit(benchmark::kMillisecond);
    for (const auto& peer : The_Peers()) {
        benchmark::RegisterBenchmark(("BM_Build_" + peer->Get_Name()).c_str(), BM_Build_Peer, peer.get())
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
