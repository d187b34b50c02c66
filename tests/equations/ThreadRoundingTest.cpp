// Threads a host started before it loaded the library compute the loading thread's bits once
// they have called Init_Perception_Thread. This program does not link the library: it loads a
// module that does, after its threads are running.
#include <gtest/gtest.h>

#include <cfenv>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

typedef bool (*BuildType)();
typedef bool (*EvaluateType)(unsigned int*);
typedef void (*InitThreadType)();

struct PluginStruct {
    BuildType Build = nullptr;
    EvaluateType Evaluate = nullptr;
    EvaluateType Evaluate_Many = nullptr;
    InitThreadType Init_Thread = nullptr;
};

template <typename FunctionType>
FunctionType Find(void* module, const char* name)
{
#if defined(_WIN32)
    return reinterpret_cast<FunctionType>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)));
#else
    return reinterpret_cast<FunctionType>(dlsym(module, name));
#endif
}

bool Load_Plugin(PluginStruct& plugin)
{
#if defined(_WIN32)
    void* module = LoadLibraryA(COGNEXA_ROUNDING_PLUGIN);
#else
    void* module = dlopen(COGNEXA_ROUNDING_PLUGIN, RTLD_NOW | RTLD_LOCAL);
#endif
    if (module == nullptr) {
        return false;
    }
    plugin.Build = Find<BuildType>(module, "Plugin_Build");
    plugin.Evaluate = Find<EvaluateType>(module, "Plugin_Evaluate");
    plugin.Evaluate_Many = Find<EvaluateType>(module, "Plugin_Evaluate_Many");
    plugin.Init_Thread = Find<InitThreadType>(module, "Plugin_Init_Thread");
    return plugin.Build && plugin.Evaluate && plugin.Evaluate_Many && plugin.Init_Thread;
}

struct WorkerResultStruct {
    int Mode_Before = -1;
    unsigned int Before = 0;
    unsigned int After = 0;
    unsigned int Many_After = 0;
    bool Evaluated = false;
};

TEST(ThreadRounding, WorkersStartedBeforeLoadingGetTheLoadingThreadsBitsAfterInitPerceptionThread)
{
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    std::mutex lock;
    std::condition_variable loaded_signal;
    bool loaded = false;
    PluginStruct plugin;
    std::vector<WorkerResultStruct> results(2);
    std::vector<std::thread> workers;
    for (WorkerResultStruct& result : results) {
        workers.emplace_back([&, target = &result] {
            {
                std::unique_lock<std::mutex> hold(lock);
                loaded_signal.wait(hold, [&] { return loaded; });
            }
            if (plugin.Evaluate == nullptr) {
                return;
            }
            target->Mode_Before = std::fegetround();
            target->Evaluated = plugin.Evaluate(&target->Before);
            plugin.Init_Thread();
            target->Evaluated = plugin.Evaluate(&target->After) && target->Evaluated;
            target->Evaluated = plugin.Evaluate_Many(&target->Many_After) && target->Evaluated;
        });
    }

    const bool plugin_loaded = Load_Plugin(plugin);
    bool built = plugin_loaded && plugin.Build();
    unsigned int loading_thread_bits = 0;
    const bool evaluated = built && plugin.Evaluate(&loading_thread_bits);
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (!built) {
            plugin = PluginStruct();
        }
        loaded = true;
    }
    loaded_signal.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }

    ASSERT_TRUE(plugin_loaded) << COGNEXA_ROUNDING_PLUGIN;
    ASSERT_TRUE(built);
    ASSERT_TRUE(evaluated);
    EXPECT_EQ(loading_thread_bits, 0x3EAAAAAAu);  // one third rounded toward zero
    for (const WorkerResultStruct& result : results) {
        EXPECT_TRUE(result.Evaluated);
        EXPECT_EQ(result.Mode_Before, FE_TONEAREST);
        EXPECT_EQ(result.Before, 0x3EAAAAABu);  // the thread's own mode until it is set up
        EXPECT_EQ(result.After, loading_thread_bits);
        EXPECT_EQ(result.Many_After, loading_thread_bits);
    }
}

}  // namespace
