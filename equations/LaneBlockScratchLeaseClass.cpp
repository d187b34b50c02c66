#include "equations/LaneBlockScratchLeaseClass.h"

#include <mutex>
#include <new>
#include <vector>

namespace {

// Scratch not in use, shared by all threads. Not thread_local: a thread-local object with a
// destructor is destroyed after its storage is freed when a thread ends under mingw-w64's
// emulated thread-local storage. The pool keeps what it has made, so a warm call allocates
// nothing; it holds one scratch for each lease that was ever open at the same time.
struct ScratchPoolStruct {
    std::mutex Lock;
    std::vector<LaneBlockScratchStruct*> Free;
    std::size_t Made = 0;
};

// Never destroyed: threads may still give scratch back while the process exits.
ScratchPoolStruct& The_Scratch_Pool()
{
    static ScratchPoolStruct* pool = new ScratchPoolStruct();
    return *pool;
}

}  // namespace

LaneBlockScratchStruct::LaneBlockScratchStruct()
{
    static const std::vector<PerceptionTokenType> no_path;
    for (int lane = 0; lane < LANES; ++lane) {
        Lane_States[lane] = new (State_Storage[lane]) PerceptionEvaluationStateClass(nullptr, no_path);
    }
    Token_State = new (Token_State_Storage) PerceptionEvaluationStateClass(nullptr, no_path);
}

LaneBlockScratchStruct::~LaneBlockScratchStruct()
{
    for (PerceptionEvaluationStateClass* state : Lane_States) {
        state->PerceptionEvaluationStateClass::~PerceptionEvaluationStateClass();
    }
    Token_State->PerceptionEvaluationStateClass::~PerceptionEvaluationStateClass();
}

LaneBlockScratchLeaseClass::LaneBlockScratchLeaseClass(std::size_t depth)
{
    ScratchPoolStruct& pool = The_Scratch_Pool();
    {
        const std::lock_guard<std::mutex> hold(pool.Lock);
        if (!pool.Free.empty()) {
            Scratch = pool.Free.back();
            pool.Free.pop_back();
        } else {
            // Room to take every scratch back, so giving one back never allocates.
            pool.Free.reserve(pool.Made + 1);
            Scratch = new LaneBlockScratchStruct();
            ++pool.Made;
        }
    }
    const std::size_t size = (depth == 0 ? 1 : depth) * LaneBlockScratchStruct::LANES;
    try {
        if (Scratch->Rows.size() < size) {
            Scratch->Rows.resize(size);
        }
    } catch (...) {
        Give_Back();
        throw;
    }
}

LaneBlockScratchLeaseClass::~LaneBlockScratchLeaseClass()
{
    Give_Back();
}

void LaneBlockScratchLeaseClass::Give_Back()
{
    ScratchPoolStruct& pool = The_Scratch_Pool();
    const std::lock_guard<std::mutex> hold(pool.Lock);
    pool.Free.push_back(Scratch);
}
