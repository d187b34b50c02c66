#ifndef COGNEXA_BENCH_SYSTEM_INITIALIZE_TIMING_H
#define COGNEXA_BENCH_SYSTEM_INITIALIZE_TIMING_H

#include "BenchHost.h"

#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include <benchmark/benchmark.h>

#include <cstdint>

// Times System_Initialize of a fresh registry over the equation files that manager and the
// current directory hold; each round's equations are deleted outside the timing. Inline, so it
// runs against whichever library the benchmark links, static or shared.
inline void Time_System_Initialize(benchmark::State& state, MegaFileManagerClass& manager, int equation_count)
{
    Install_Bench_Host(&manager);
    ThePerceptionFunctionManagerClass::Create();
    ThePerceptionFunctionManagerClass* registry = ThePerceptionFunctionManagerPtr;
    bool loaded = true;
    for (auto _ : state) {
        loaded = registry->System_Initialize(&manager, false) && loaded;
        state.PauseTiming();
        registry->System_Shutdown();
        state.ResumeTiming();
    }
    if (!loaded) {
        state.SkipWithError("some equation file failed");
    }
    delete registry;
    ThePerceptionFunctionManagerPtr = nullptr;
    Install_Bench_Host(nullptr);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(equation_count));
}

#endif
