#include "data/XMLNodePoolClass.h"

#include <cstdlib>

namespace {

constexpr std::size_t Smallest_Block = 4096;
// Large enough that a 20 MB document needs a few dozen blocks, small enough that the last,
// partly used block wastes little.
constexpr std::size_t Largest_Block = 1 << 20;

}  // namespace

void XMLNodePoolClass::Set_Block_Size(std::size_t bytes)
{
    Block_Size = bytes < Smallest_Block ? Smallest_Block : bytes > Largest_Block ? Largest_Block : bytes;
}

void* XMLNodePoolClass::Allocate_From_New_Block(std::size_t bytes)
{
    const std::size_t header = (sizeof(BlockStruct) + Alignment - 1) & ~(Alignment - 1);
    std::size_t size = Block_Size > Smallest_Block ? Block_Size : Smallest_Block;
    if (bytes > size - header) {
        // A list longer than a block (a root with very many children) gets a block of its own.
        if (bytes > static_cast<std::size_t>(-1) / 2) return nullptr;
        size = bytes + header;
    }
    BlockStruct* block = static_cast<BlockStruct*>(std::malloc(size));
    if (block == nullptr) return nullptr;
    block->Previous = Last_Block;
    Last_Block = block;
    char* const start = reinterpret_cast<char*>(block) + header;
    Next = start + bytes;
    Limit = reinterpret_cast<char*>(block) + size;
    return start;
}

void XMLNodePoolClass::Release()
{
    while (Last_Block != nullptr) {
        BlockStruct* previous = Last_Block->Previous;
        std::free(Last_Block);
        Last_Block = previous;
    }
    Next = nullptr;
    Limit = nullptr;
}
