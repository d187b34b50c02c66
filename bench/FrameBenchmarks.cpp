// A frame of perception as a game has it: each benchmark expression evaluated for every one of
// N contexts (each with its own variable values), through the shared library as a host links
// it, beside muparser's bulk mode and a loop of its Eval, and beside the block floor. Cognexa's
// two-thread forms split the contexts between the benchmark's main thread and one worker.
#include "BenchHost.h"
#include "BlockFloorProgramClass.h"
#include "EvaluationPeerClass.h"

#include <cognexa/HostHandIns.h>
#include <cognexa/PerceptionEvaluationStateClass.h>
#include <cognexa/PerceptionFunctionClass.h>

#include <benchmark/benchmark.h>
#include <muParser.h>
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// 500 unless the command line says --expressions=N (a quick look on a busy machine).
int TheExpressionCount = 500;
constexpr int ROUNDS = 5;

// Distinct per context, non-zero and exact as floats and doubles.
float Frame_Letter_Value(int letter, int context)
{
    return static_cast<float>(Bench_Letter_Value(static_cast<char>('a' + letter)) + 0.0625 * (context % 97));
}

// The frame's inputs in every form an engine takes them.
struct FrameStruct {
    explicit FrameStruct(int count) : Count(count), Contexts(count), Context_Pointers(count)
    {
        const int padded = (count + BlockFloorProgramClass::BLOCK_LANES - 1) / BlockFloorProgramClass::BLOCK_LANES *
                           BlockFloorProgramClass::BLOCK_LANES;
        for (int letter = 0; letter < 26; ++letter) {
            Float_Arrays[letter].assign(padded, 1.0f);
            Double_Arrays[letter].resize(count);
            Float_Pointers[letter] = Float_Arrays[letter].data();
        }
        for (int index = 0; index < count; ++index) {
            for (int letter = 0; letter < 26; ++letter) {
                const float value = Frame_Letter_Value(letter, index);
                Contexts[index].Letters[letter] = value;
                Float_Arrays[letter][index] = value;
                Double_Arrays[letter][index] = value;
            }
            Context_Pointers[index] = &Contexts[index];
        }
    }

    int Count;
    std::vector<PerceptionContextClass> Contexts;
    std::vector<const PerceptionContextClass*> Context_Pointers;
    std::vector<float> Float_Arrays[26];
    const float* Float_Pointers[26];
    std::vector<double> Double_Arrays[26];
};

// muparser's callbacks read the frame through these: the bulk ones by bulk index, the plain ones
// from the context the loop is at.
const FrameStruct* TheMuparserFrame = nullptr;
const PerceptionContextClass* TheMuparserContext = nullptr;

// muparser 2.3 parses no call of a bulk callback without arguments, so each takes a dummy one:
// "a" is written "a(0)".
template <int Letter>
double Bulk_Letter(int index, int, double)
{
    return TheMuparserFrame->Double_Arrays[Letter][index];
}

template <int Letter>
double Context_Letter()
{
    return TheMuparserContext->Letters[Letter];
}

template <int... Letters>
void Define_Bulk_Callbacks(mu::Parser& parser, std::integer_sequence<int, Letters...>)
{
    (parser.DefineFun(std::string(1, static_cast<char>('a' + Letters)), &Bulk_Letter<Letters>, false), ...);
}

template <int... Letters>
void Define_Context_Callbacks(mu::Parser& parser, std::integer_sequence<int, Letters...>)
{
    (parser.DefineFun(std::string(1, static_cast<char>('a' + Letters)), &Context_Letter<Letters>, false), ...);
}

// The host's bulk answer: the same data as its per-lane callback, for every lane still running.
// All states of one call are for the same token, so the letter is looked up once, as the host
// guide suggests.
void Evaluate_Letters(PerceptionEvaluationStateClass* const* states, int count, float* values, bool* succeeded)
{
    if (count <= 0) {
        return;
    }
    const PerceptionTokenType letter = states[0]->Get_Token_Path().back();
    for (int lane = 0; lane < count; ++lane) {
        values[lane] = states[lane]->Get_Context()->Letters[letter];
        succeeded[lane] = true;
    }
}

float Floor_Lane_Value(const void* host, int lane, int letter)
{
    return static_cast<const FrameStruct*>(host)->Contexts[lane].Letters[letter];
}

enum EngineType {
    COGNEXA_LOOP,
    COGNEXA_MANY_LANE,
    COGNEXA_MANY_BULK,
    COGNEXA_ENGINE_COUNT
};

// One expression's Cognexa work over a range of the contexts, on whichever thread runs it.
struct CognexaJobStruct {
    EngineType Engine;
    const PerceptionFunctionClass* Equation;
    const FrameStruct* Frame;
    float* Results;
    bool* Succeeded;

    void Run(int begin, int end) const
    {
        if (Engine == COGNEXA_LOOP) {
            for (int index = begin; index < end; ++index) {
                Succeeded[index] = Equation->Evaluate(*Frame->Context_Pointers[index], Results[index]);
            }
        } else {
            Equation->Evaluate_Many(Frame->Context_Pointers.data() + begin, end - begin, Results + begin,
                                    Succeeded + begin);
        }
    }
};

// The second thread of the two-thread forms. It spins (yielding) on the job counter for a moment
// after each job, so consecutive timed calls do not pay a wake-up, and then sleeps until posted,
// so it takes no time from the single-thread figures.
class FrameWorkerClass {
public:
    FrameWorkerClass() : Thread([this] { Serve(); }) {}
    ~FrameWorkerClass()
    {
        {
            std::lock_guard<std::mutex> lock(Mutex);
            Stopping = true;
            Posted.fetch_add(1);
        }
        Wake.notify_one();
        Thread.join();
    }

    void Post(const CognexaJobStruct& job, int begin, int end)
    {
        {
            std::lock_guard<std::mutex> lock(Mutex);
            Job = job;
            Begin = begin;
            End = end;
            Posted.fetch_add(1, std::memory_order_release);
        }
        Wake.notify_one();
    }

    void Wait()
    {
        const int posted = Posted.load(std::memory_order_relaxed);
        while (Finished.load(std::memory_order_acquire) != posted) {
            std::this_thread::yield();
        }
    }

private:
    void Serve()
    {
        Init_Perception_Thread();
        int seen = 0;
        for (;;) {
            int spins = 0;
            while (Posted.load(std::memory_order_acquire) == seen && ++spins < 2000) {
                std::this_thread::yield();
            }
            CognexaJobStruct job;
            int begin, end;
            {
                std::unique_lock<std::mutex> lock(Mutex);
                Wake.wait(lock, [&] { return Posted.load(std::memory_order_relaxed) != seen; });
                if (Stopping) {
                    return;
                }
                seen = Posted.load(std::memory_order_relaxed);
                job = Job;
                begin = Begin;
                end = End;
            }
            job.Run(begin, end);
            Finished.store(seen, std::memory_order_release);
        }
    }

    std::mutex Mutex;
    std::condition_variable Wake;
    std::atomic<int> Posted{0};
    std::atomic<int> Finished{0};
    bool Stopping = false;
    CognexaJobStruct Job{};
    int Begin = 0;
    int End = 0;
    std::thread Thread;
};

void Run_Cognexa(const CognexaJobStruct& job, int threads, FrameWorkerClass& worker)
{
    Set_Evaluate_Tokens_Callback(job.Engine == COGNEXA_MANY_BULK ? &Evaluate_Letters : nullptr);
    const int count = job.Frame->Count;
    if (threads == 1) {
        job.Run(0, count);
        return;
    }
    const int half = count / 2;
    worker.Post(job, half, count);
    job.Run(0, half);
    worker.Wait();
}

struct EquationDeleterStruct {
    void operator()(PerceptionFunctionClass* equation) const { delete equation; }
};

struct FrameExpressionStruct {
    std::string Expression;
    std::unique_ptr<PerceptionFunctionClass, EquationDeleterStruct> Equation;
};

// 500 expressions spread evenly over the corpus lines that Cognexa, muparser and the floor all
// take.
class FrameExpressionSetClass {
public:
    FrameExpressionSetClass()
    {
        Install_Bench_Host(nullptr);
        mu::Parser parser;
        for (int letter = 0; letter < 26; ++letter) {
            parser.DefineVar(std::string(1, static_cast<char>('a' + letter)), &TheLetterValues[letter]);
        }
        BlockFloorProgramClass floor;
        std::vector<FrameExpressionStruct> accepted;
        for (const std::string& line : Read_Data_Lines(std::string(COGNEXA_BENCH_DATA_DIR) + "/expressions.txt")) {
            FrameExpressionStruct entry;
            entry.Expression = line;
            entry.Equation.reset(PerceptionFunctionClass::Build(To_Token_Expression(line), "Frame"));
            bool taken = entry.Equation != nullptr && floor.Compile(line);
            try {
                parser.SetExpr(line);
                parser.Eval();
            } catch (const mu::Parser::exception_type&) {
                taken = false;
            }
            if (taken) {
                accepted.push_back(std::move(entry));
            } else {
                ++Rejected;
            }
        }
        const std::size_t wanted = std::min<std::size_t>(TheExpressionCount, accepted.size());
        for (std::size_t index = 0; index < wanted; ++index) {
            Cases.push_back(std::move(accepted[index * accepted.size() / wanted]));
        }
    }

    std::vector<FrameExpressionStruct> Cases;
    int Rejected = 0;
};

FrameExpressionSetClass& The_Frame_Expressions()
{
    static FrameExpressionSetClass expressions;
    return expressions;
}

template <typename Work>
double Nanoseconds_Per_Lane(int count, Work work)
{
    work();  // warms caches and wakes the worker
    const int repeats = std::max(1, 4000 / count);
    return Time_Evaluations(repeats, work) / count;
}

bool Same_Lanes(int count, const float* results, const bool* succeeded, const float* expected,
                const bool* expected_succeeded)
{
    for (int lane = 0; lane < count; ++lane) {
        if (succeeded[lane] != expected_succeeded[lane] ||
            (succeeded[lane] && std::memcmp(&results[lane], &expected[lane], sizeof(float)) != 0)) {
            return false;
        }
    }
    return true;
}

bool Close_To(int count, const double* results, const float* expected, const bool* expected_succeeded)
{
    for (int lane = 0; lane < count; ++lane) {
        if (expected_succeeded[lane] &&
            std::fabs(results[lane] - expected[lane]) > 1e-3 * std::max(1.0, std::fabs(results[lane]))) {
            return false;
        }
    }
    return true;
}

// The figures, in ns per expression and context; each engine keeps its best of ROUNDS turns per
// expression, and the counters are geometric means over the expressions.
enum FigureType {
    LOOP_1, LOOP_2, LANE_1, LANE_2, BULK_1, BULK_2,
    MU_BULK_FUN_1, MU_BULK_FUN_2, MU_BULK_VAR_1, MU_BULK_VAR_2, MU_LOOP_FUN,
    FLOOR_ARRAYS, FLOOR_CALLS, FIGURE_COUNT
};
const char* const FIGURE_NAMES[FIGURE_COUNT] = {
    "cognexa_loop_1t_ns", "cognexa_loop_2t_ns", "cognexa_many_lane_1t_ns", "cognexa_many_lane_2t_ns",
    "cognexa_many_bulk_1t_ns", "cognexa_many_bulk_2t_ns", "muparser_bulk_fun_1t_ns", "muparser_bulk_fun_2t_ns",
    "muparser_bulk_var_1t_ns", "muparser_bulk_var_2t_ns", "muparser_loop_fun_ns", "floor_arrays_ns",
    "floor_calls_ns"};

void BM_Frame(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    FrameExpressionSetClass& expressions = The_Frame_Expressions();
    const FrameStruct frame(count);
    FrameWorkerClass worker;

    mu::Parser bulk_fun, bulk_var, loop_fun;
    Define_Bulk_Callbacks(bulk_fun, std::make_integer_sequence<int, 26>());
    Define_Context_Callbacks(loop_fun, std::make_integer_sequence<int, 26>());
    for (int letter = 0; letter < 26; ++letter) {
        bulk_var.DefineVar(std::string(1, static_cast<char>('a' + letter)),
                           const_cast<double*>(frame.Double_Arrays[letter].data()));
    }
    TheMuparserFrame = &frame;
    BlockFloorProgramClass floor;

    std::vector<float> expected(count), results(count);
    std::unique_ptr<bool[]> expected_succeeded(new bool[count]), succeeded(new bool[count]);
    std::vector<double> peer_results(count);
    double log_sums[FIGURE_COUNT] = {};
    int mismatches = 0, disagreements = 0, failed_lanes = 0;

    for (auto _ : state) {
        for (const FrameExpressionStruct& entry : expressions.Cases) {
            bulk_fun.SetExpr(Replace_Variables(entry.Expression, [](char letter) {
                return std::string(1, letter) + "(0)";
            }));
            loop_fun.SetExpr(Replace_Variables(entry.Expression, [](char letter) {
                return std::string(1, letter) + "()";
            }));
            bulk_var.SetExpr(entry.Expression);
            floor.Compile(entry.Expression);

            const CognexaJobStruct reference{COGNEXA_LOOP, entry.Equation.get(), &frame, expected.data(),
                                             expected_succeeded.get()};
            Run_Cognexa(reference, 1, worker);
            failed_lanes += static_cast<int>(std::count(expected_succeeded.get(), expected_succeeded.get() + count,
                                                        false));

            double best[FIGURE_COUNT];
            std::fill(best, best + FIGURE_COUNT, 1e30);
            auto keep = [&](FigureType figure, double nanoseconds) { best[figure] = std::min(best[figure], nanoseconds); };
            for (int round = 0; round < ROUNDS; ++round) {
                for (int engine = COGNEXA_LOOP; engine < COGNEXA_ENGINE_COUNT; ++engine) {
                    const CognexaJobStruct job{static_cast<EngineType>(engine), entry.Equation.get(), &frame,
                                               results.data(), succeeded.get()};
                    for (int threads = 1; threads <= 2; ++threads) {
                        keep(static_cast<FigureType>(LOOP_1 + 2 * engine + threads - 1),
                             Nanoseconds_Per_Lane(count, [&] { Run_Cognexa(job, threads, worker); }));
                        mismatches += !Same_Lanes(count, results.data(), succeeded.get(), expected.data(),
                                                  expected_succeeded.get());
                    }
                }
                for (int threads = 1; threads <= 2; ++threads) {
                    omp_set_num_threads(threads);
                    keep(static_cast<FigureType>(MU_BULK_FUN_1 + threads - 1),
                         Nanoseconds_Per_Lane(count, [&] { bulk_fun.Eval(peer_results.data(), count); }));
                    disagreements += !Close_To(count, peer_results.data(), expected.data(), expected_succeeded.get());
                    keep(static_cast<FigureType>(MU_BULK_VAR_1 + threads - 1),
                         Nanoseconds_Per_Lane(count, [&] { bulk_var.Eval(peer_results.data(), count); }));
                    disagreements += !Close_To(count, peer_results.data(), expected.data(), expected_succeeded.get());
                }
                keep(MU_LOOP_FUN, Nanoseconds_Per_Lane(count, [&] {
                    for (int index = 0; index < count; ++index) {
                        TheMuparserContext = &frame.Contexts[index];
                        peer_results[index] = loop_fun.Eval();
                    }
                }));
                disagreements += !Close_To(count, peer_results.data(), expected.data(), expected_succeeded.get());
                keep(FLOOR_ARRAYS, Nanoseconds_Per_Lane(count, [&] {
                    floor.Run_Arrays(frame.Float_Pointers, count, results.data(), succeeded.get());
                }));
                mismatches += !Same_Lanes(count, results.data(), succeeded.get(), expected.data(),
                                          expected_succeeded.get());
                keep(FLOOR_CALLS, Nanoseconds_Per_Lane(count, [&] {
                    floor.Run_Callback(&Floor_Lane_Value, &frame, count, results.data(), succeeded.get());
                }));
                mismatches += !Same_Lanes(count, results.data(), succeeded.get(), expected.data(),
                                          expected_succeeded.get());
            }
            for (int figure = 0; figure < FIGURE_COUNT; ++figure) {
                log_sums[figure] += std::log(best[figure]);
            }
        }
    }
    Set_Evaluate_Tokens_Callback(nullptr);
    const double cases = static_cast<double>(expressions.Cases.size()) * state.iterations();
    for (int figure = 0; figure < FIGURE_COUNT; ++figure) {
        state.counters[FIGURE_NAMES[figure]] = std::exp(log_sums[figure] / cases);
    }
    state.counters["contexts"] = count;
    state.counters["expressions"] = static_cast<double>(expressions.Cases.size());
    state.counters["rejected"] = expressions.Rejected;
    // Lanes that differ from the Evaluate loop in a bit or in success (must be 0), peers outside
    // the tolerance, and lanes that fail in every engine (a division by zero).
    state.counters["mismatches"] = mismatches;
    state.counters["disagreements"] = disagreements;
    state.counters["failed_lanes"] = failed_lanes;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    for (int index = 1; index < argc; ++index) {
        if (std::strncmp(argv[index], "--expressions=", 14) == 0) {
            TheExpressionCount = std::max(1, std::atoi(argv[index] + 14));
        }
    }
    benchmark::RegisterBenchmark("BM_Frame", BM_Frame)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(
        benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
