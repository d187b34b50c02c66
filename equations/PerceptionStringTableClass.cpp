#include "equations/PerceptionStringTableClass.h"

#include <cognexa/PerceptionStringHandle.h>

namespace {

constexpr uint32_t SLOT_MASK = PerceptionStringTableClass::MAX_SLOTS;
constexpr uint32_t GENERATION_MASK = (1u << (32 - PerceptionStringTableClass::SLOT_BITS)) - 1;

}  // namespace

// Never destroyed, so equations that a host destroys during exit can still release their
// strings.
static PerceptionStringTableClass& The_String_Table()
{
    static PerceptionStringTableClass* table = new PerceptionStringTableClass();
    return *table;
}

uint32_t PerceptionStringTableClass::Acquire(std::string text)
{
    PerceptionStringTableClass& table = The_String_Table();
    const std::lock_guard<std::mutex> hold(table.Lock);
    uint32_t slot;
    if (!table.Free_Slots.empty()) {
        slot = table.Free_Slots.back();
        table.Free_Slots.pop_back();
    } else if (table.Slots.size() < MAX_SLOTS) {
        slot = static_cast<uint32_t>(table.Slots.size());
        table.Slots.emplace_back();
    } else {
        return NO_HANDLE;
    }
    SlotStruct& entry = table.Slots[slot];
    entry.Text = std::move(text);
    entry.Live = true;
    // Slot numbers are stored plus one, so no handle is 0.
    return (entry.Generation << SLOT_BITS) | (slot + 1);
}

void PerceptionStringTableClass::Release(uint32_t handle)
{
    PerceptionStringTableClass& table = The_String_Table();
    std::string released;  // freed after the lock is given back
    const std::lock_guard<std::mutex> hold(table.Lock);
    SlotStruct* entry = table.Find_Live(handle);
    if (entry == nullptr) {
        return;
    }
    entry->Live = false;
    released.swap(entry->Text);
    entry->Generation = (entry->Generation + 1) & GENERATION_MASK;
    try {
        table.Free_Slots.push_back((handle & SLOT_MASK) - 1);
    } catch (...) {
        // Without room to remember it the slot is simply not reused.
    }
}

const char* PerceptionStringTableClass::Resolve(uint32_t handle)
{
    PerceptionStringTableClass& table = The_String_Table();
    const std::lock_guard<std::mutex> hold(table.Lock);
    const SlotStruct* entry = table.Find_Live(handle);
    return entry != nullptr ? entry->Text.c_str() : nullptr;
}

PerceptionStringTableClass::SlotStruct* PerceptionStringTableClass::Find_Live(uint32_t handle)
{
    const uint32_t slot_number = handle & SLOT_MASK;
    if (slot_number == 0 || slot_number > Slots.size()) {
        return nullptr;
    }
    SlotStruct& entry = Slots[slot_number - 1];
    if (!entry.Live || entry.Generation != (handle >> SLOT_BITS)) {
        return nullptr;
    }
    return &entry;
}

const char* Resolve_Perception_String(unsigned int handle)
{
    return PerceptionStringTableClass::Resolve(handle);
}
