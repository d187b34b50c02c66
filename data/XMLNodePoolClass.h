#ifndef COGNEXA_DATA_XML_NODE_POOL_CLASS_H
#define COGNEXA_DATA_XML_NODE_POOL_CLASS_H

#include <cstddef>

// The storage of one document's nodes, attribute lists and child lists: memory handed out from
// large blocks in order and given back all at once, so a document of any size costs a few
// allocations instead of several per element.
class XMLNodePoolClass {
public:
    XMLNodePoolClass() = default;
    ~XMLNodePoolClass() { Release(); }
    XMLNodePoolClass(const XMLNodePoolClass&) = delete;
    XMLNodePoolClass& operator=(const XMLNodePoolClass&) = delete;

    // Later blocks hold about this many bytes (at least a minimum, at most a maximum), so a small
    // file takes one block and a large one takes blocks in proportion to it.
    void Set_Block_Size(std::size_t bytes);

    // Pointer-aligned memory for bytes, or null when none can be had.
    void* Allocate(std::size_t bytes)
    {
        bytes = (bytes + Alignment - 1) & ~(Alignment - 1);
        if (bytes > static_cast<std::size_t>(Limit - Next)) return Allocate_From_New_Block(bytes);
        void* memory = Next;
        Next += bytes;
        return memory;
    }

    // Frees every block.
    void Release();

private:
    static constexpr std::size_t Alignment = alignof(void*) > 8 ? alignof(void*) : 8;

    void* Allocate_From_New_Block(std::size_t bytes);

    struct BlockStruct {
        BlockStruct* Previous;
    };

    BlockStruct* Last_Block = nullptr;
    char* Next = nullptr;
    char* Limit = nullptr;
    std::size_t Block_Size = 0;
};

#endif
