#include "equations/LaneBlockScratchLeaseClass.h"

#include <deque>
#include <memory>

namespace {

struct LaneBlockScratchesStruct {
    std::size_t Depth = 0;
    std::deque<std::unique_ptr<LaneBlockScratchStruct>> Levels;
};

thread_local LaneBlockScratchesStruct TheLaneBlockScratches;

}  // namespace

LaneBlockScratchLeaseClass::LaneBlockScratchLeaseClass(std::size_t depth)
{
    LaneBlockScratchesStruct& scratches = TheLaneBlockScratches;
    if (scratches.Depth == scratches.Levels.size()) {
        scratches.Levels.emplace_back(new LaneBlockScratchStruct());
    }
    Scratch = scratches.Levels[scratches.Depth].get();
    const std::size_t size = (depth == 0 ? 1 : depth) * LaneBlockScratchStruct::LANES;
    if (Scratch->Rows.size() < size) {
        Scratch->Rows.resize(size);
    }
    ++scratches.Depth;
}

LaneBlockScratchLeaseClass::~LaneBlockScratchLeaseClass()
{
    --TheLaneBlockScratches.Depth;
}
