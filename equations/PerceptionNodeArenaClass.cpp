#include "equations/PerceptionNodeArenaClass.h"

#include <cstdlib>

namespace {

std::size_t Round_Up(std::size_t size, std::size_t alignment)
{
    return (size + alignment - 1) & ~(alignment - 1);
}

void* Allocate_Or_Throw(std::size_t size)
{
    void* memory = std::malloc(size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

// The arena itself sits at the front of its first block, so a small equation needs one
// allocation for all of its nodes.
PerceptionNodeArenaClass* PerceptionNodeArenaClass::Create(std::size_t first_capacity)
{
    const std::size_t header = Round_Up(sizeof(PerceptionNodeArenaClass), ALIGNMENT);
    const std::size_t capacity = Round_Up(first_capacity, ALIGNMENT);
    char* memory = static_cast<char*>(Allocate_Or_Throw(header + capacity));
    PerceptionNodeArenaClass* arena = new (memory) PerceptionNodeArenaClass();
    arena->Cursor = memory + header;
    arena->Limit = arena->Cursor + capacity;
    arena->Next_Block_Size = capacity < 256 ? 512 : capacity * 2;
    return arena;
}

void PerceptionNodeArenaClass::Destroy(PerceptionNodeArenaClass* arena)
{
    if (arena == nullptr) {
        return;
    }
    BlockStruct* block = arena->Later_Blocks;
    while (block != nullptr) {
        BlockStruct* previous = block->Previous;
        std::free(block);
        block = previous;
    }
    arena->~PerceptionNodeArenaClass();
    std::free(arena);
}

void* PerceptionNodeArenaClass::Allocate_Slow(std::size_t size)
{
    const std::size_t header = Round_Up(sizeof(BlockStruct), ALIGNMENT);
    const std::size_t capacity = size > Next_Block_Size ? size : Next_Block_Size;
    char* memory = static_cast<char*>(Allocate_Or_Throw(header + capacity));
    BlockStruct* block = reinterpret_cast<BlockStruct*>(memory);
    block->Previous = Later_Blocks;
    Later_Blocks = block;
    Next_Block_Size = capacity * 2;
    Cursor = memory + header + size;
    Limit = memory + header + capacity;
    return memory + header;
}
