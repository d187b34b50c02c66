#ifndef COGNEXA_BENCH_EVALUATION_PEER_CLASS_H
#define COGNEXA_BENCH_EVALUATION_PEER_CLASS_H

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// One engine of the evaluation benchmark beside Cognexa: it compiles an expression whose
// one-letter names are variables (values: Bench_Letter_Value) and times its evaluation. The
// timing loop lives in the peer, so no virtual call is counted against it.
class EvaluationPeerClass {
public:
    explicit EvaluationPeerClass(std::string name) : Name(std::move(name)) {}
    virtual ~EvaluationPeerClass() = default;
    EvaluationPeerClass(const EvaluationPeerClass&) = delete;
    EvaluationPeerClass& operator=(const EvaluationPeerClass&) = delete;

    // False when the engine does not take the expression.
    virtual bool Compile(const std::string& expression) = 0;
    virtual double Evaluate() = 0;
    virtual double Nanoseconds_Per_Evaluation(int evaluations) = 0;

    // The figure's name in the results, e.g. "muparser_fun".
    const std::string& Get_Name() const { return Name; }

private:
    std::string Name;
};

typedef std::vector<std::unique_ptr<EvaluationPeerClass>> EvaluationPeerListType;

// Each peer's file adds its engines; an engine whose library cannot be loaded adds nothing.
void Add_Muparser_Peers(EvaluationPeerListType& peers);
void Add_Fparser_Peers(EvaluationPeerListType& peers);
void Add_Lua_Peers(EvaluationPeerListType& peers);
void Add_Luajit_Peers(EvaluationPeerListType& peers);

// Google Benchmark's read-write DoNotOptimize may hand a floating-point value back through a
// general register with GCC and corrupt it; keeping the value as an input is enough here.
template <typename T>
inline void Keep(const T& value)
{
    benchmark::DoNotOptimize(value);
}

template <typename Evaluation>
double Time_Evaluations(int evaluations, Evaluation evaluation)
{
    typedef std::chrono::steady_clock ClockType;
    const ClockType::time_point start = ClockType::now();
    for (int count = 0; count < evaluations; ++count) {
        evaluation();
    }
    const std::chrono::duration<double, std::nano> elapsed = ClockType::now() - start;
    return elapsed.count() / evaluations;
}

#endif
