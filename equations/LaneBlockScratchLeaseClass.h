#ifndef COGNEXA_LANE_BLOCK_SCRATCH_LEASE_CLASS_H
#define COGNEXA_LANE_BLOCK_SCRATCH_LEASE_CLASS_H

#include <cognexa/PerceptionEvaluationStateClass.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// What one block of lanes of a many-context evaluation works in. The value stack is one row of
// LANES floats per stack slot, so each step is a loop over a row.
struct LaneBlockScratchStruct {
    static constexpr int LANES = 128;

    // Makes the lanes' evaluation states once, for every block and evaluation that uses this
    // scratch: a block points them at its contexts, and each token read at its path, emptied.
    LaneBlockScratchStruct();
    ~LaneBlockScratchStruct();
    LaneBlockScratchStruct(const LaneBlockScratchStruct&) = delete;
    LaneBlockScratchStruct& operator=(const LaneBlockScratchStruct&) = delete;

    std::vector<float> Rows;  // Depth rows of LANES values
    float Values[LANES];      // a token's value per lane, for the fused steps
    uint32_t Failed[LANES];  // 1 where the step failed; as wide as a value, so the steps vectorise
    float Answers[LANES];                          // the bulk hand-in's values, by selection index
    bool Answered[LANES];                          // the bulk hand-in's success, by selection index
    uint16_t Selection[LANES];                     // the lanes still running, ascending
    PerceptionEvaluationStateClass* States[LANES];       // the bulk hand-in's states, by selection index
    PerceptionEvaluationStateClass* Lane_States[LANES];  // each lane's state, by lane
    alignas(PerceptionEvaluationStateClass) unsigned char State_Storage[LANES][sizeof(PerceptionEvaluationStateClass)];
    // The per-lane hand-in asks one lane at a time, so one state serves them all.
    PerceptionEvaluationStateClass* Token_State;
    alignas(PerceptionEvaluationStateClass) unsigned char Token_State_Storage[sizeof(PerceptionEvaluationStateClass)];
};

// Scratch for one many-context evaluation, taken from a pool that all threads share and given
// back when the lease ends. A token callback may evaluate again, so each nesting level takes
// scratch of its own, which never moves while in use. Once warm for a depth, taking a lease
// allocates nothing; a cold one may throw std::bad_alloc.
class LaneBlockScratchLeaseClass {
public:
    explicit LaneBlockScratchLeaseClass(std::size_t depth);
    ~LaneBlockScratchLeaseClass();
    LaneBlockScratchLeaseClass(const LaneBlockScratchLeaseClass&) = delete;
    LaneBlockScratchLeaseClass& operator=(const LaneBlockScratchLeaseClass&) = delete;

    LaneBlockScratchStruct& Get_Scratch() { return *Scratch; }

private:
    void Give_Back();

    LaneBlockScratchStruct* Scratch;
};

#endif
