#ifndef COGNEXA_PERCEPTION_STRING_TABLE_CLASS_H
#define COGNEXA_PERCEPTION_STRING_TABLE_CLASS_H

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// The strings of string literals, reached by 32-bit handles because the value stack's slot is
// too narrow for an address. A handle holds a slot number and the slot's generation, so a
// released handle does not resolve to the string that later reuses its slot (until the
// generation wraps). Module-wide and locked: threads build and destroy equations of their own
// while callbacks on other threads resolve handles. A plain mutex: mingw-w64's reader-writer
// lock has let a reader in beside a writer.
class PerceptionStringTableClass {
public:
    static constexpr uint32_t NO_HANDLE = 0;
    static constexpr uint32_t SLOT_BITS = 20;
    static constexpr uint32_t MAX_SLOTS = (1u << SLOT_BITS) - 1;

    // A handle for the text, or NO_HANDLE when all slots are taken.
    static uint32_t Acquire(std::string text);
    static void Release(uint32_t handle);
    // The text, or null for a handle that is not live. Valid until the handle is released.
    static const char* Resolve(uint32_t handle);

private:
    struct SlotStruct {
        std::string Text;
        uint32_t Generation = 0;
        bool Live = false;
    };

    // Called with Lock held.
    SlotStruct* Find_Live(uint32_t handle);

    std::mutex Lock;
    std::deque<SlotStruct> Slots;  // a deque, so resolved texts do not move when the table grows
    std::vector<uint32_t> Free_Slots;
};

#endif
