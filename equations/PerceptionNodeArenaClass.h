#ifndef COGNEXA_PERCEPTION_NODE_ARENA_CLASS_H
#define COGNEXA_PERCEPTION_NODE_ARENA_CLASS_H

#include <cstddef>
#include <new>
#include <utility>

// Storage for the nodes an equation builds: blocks handed out front to back and freed all at
// once, so building a program costs a few allocations instead of one per node. The arena only
// frees memory; whoever places an object in it runs its destructor.
class PerceptionNodeArenaClass {
public:
    // An arena whose first block holds about first_capacity bytes; throws std::bad_alloc.
    static PerceptionNodeArenaClass* Create(std::size_t first_capacity);
    // Frees every block; null is allowed.
    static void Destroy(PerceptionNodeArenaClass* arena);

    PerceptionNodeArenaClass(const PerceptionNodeArenaClass&) = delete;
    PerceptionNodeArenaClass& operator=(const PerceptionNodeArenaClass&) = delete;

    // Suitably aligned for any node; throws std::bad_alloc.
    void* Allocate(std::size_t size)
    {
        size = (size + ALIGNMENT - 1) & ~(ALIGNMENT - 1);
        if (static_cast<std::size_t>(Limit - Cursor) < size) {
            return Allocate_Slow(size);
        }
        void* place = Cursor;
        Cursor += size;
        return place;
    }

    template <typename ObjectType, typename... ArgumentTypes>
    ObjectType* Make(ArgumentTypes&&... arguments)
    {
        return new (Allocate(sizeof(ObjectType))) ObjectType(std::forward<ArgumentTypes>(arguments)...);
    }

private:
    static constexpr std::size_t ALIGNMENT = alignof(std::max_align_t);

    // Each later block starts with its link to the one before.
    struct BlockStruct {
        BlockStruct* Previous;
    };

    PerceptionNodeArenaClass() = default;
    ~PerceptionNodeArenaClass() = default;

    void* Allocate_Slow(std::size_t size);

    char* Cursor = nullptr;
    char* Limit = nullptr;
    BlockStruct* Later_Blocks = nullptr;
    std::size_t Next_Block_Size = 0;
};

#endif
