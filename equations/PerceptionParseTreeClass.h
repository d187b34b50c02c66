#ifndef COGNEXA_PERCEPTION_PARSE_TREE_CLASS_H
#define COGNEXA_PERCEPTION_PARSE_TREE_CLASS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

// The rule numbers that give parse-tree nodes their kind; the builder switches on them.
enum PerceptionParseKindType : int {
    PARSE_KIND_UNCLAIMED = 0,
    PARSE_KIND_COMPARISON = 1,
    PARSE_KIND_ADDITIVE = 2,
    PARSE_KIND_MULTIPLICATIVE = 3,
    PARSE_KIND_UNARY = 4,
    PARSE_KIND_NUMBER = 5,
    PARSE_KIND_TOKEN_EXPRESSION = 6,
    PARSE_KIND_NAME = 7,
    PARSE_KIND_BINDING = 8,
    PARSE_KIND_BINDING_LIST = 9,
    PARSE_KIND_OBJECT_REFERENCE = 10,
    PARSE_KIND_OBJECT_NAME = 11,
    PARSE_KIND_STRING_LITERAL = 12,
    PARSE_KIND_FUNCTION_CALL = 13,
    PARSE_KIND_ARGUMENT_LIST = 14,
    PARSE_KIND_COUNT = 15
};

// One node of an equation's parse tree. The text points into the equation text, which must
// outlive the tree; grouping nodes have empty text.
struct PerceptionParseNodeStruct {
    const char* Text = nullptr;
    uint32_t Length = 0;
    int Kind = PARSE_KIND_UNCLAIMED;
    PerceptionParseNodeStruct* First_Child = nullptr;
    PerceptionParseNodeStruct* Next_Sibling = nullptr;

    std::string_view Get_Text() const { return std::string_view(Text != nullptr ? Text : "", Length); }
    std::string Copy_Text() const { return std::string(Get_Text()); }
    int Child_Count() const
    {
        int count = 0;
        for (const PerceptionParseNodeStruct* child = First_Child; child != nullptr; child = child->Next_Sibling) {
            ++count;
        }
        return count;
    }
};

// Owns the nodes of one parse. Nodes live in one arena, so a tree of any depth is released
// without recursion, and an alternative that fails can give back what it allocated. The first
// nodes sit in the tree itself, so parsing a short equation allocates nothing; later ones come in
// chunks that a rollback keeps for reuse.
class PerceptionParseTreeClass {
public:
    using MarkType = std::size_t;

    PerceptionParseTreeClass() = default;
    PerceptionParseTreeClass(const PerceptionParseTreeClass&) = delete;
    PerceptionParseTreeClass& operator=(const PerceptionParseTreeClass&) = delete;

    PerceptionParseNodeStruct* New_Node(int kind, const char* text, uint32_t length)
    {
        void* place = Count < INLINE_COUNT ? &Inline.Nodes[Count] : Chunk_Node(Count - INLINE_COUNT);
        PerceptionParseNodeStruct* node = new (place) PerceptionParseNodeStruct();
        node->Kind = kind;
        node->Text = text;
        node->Length = length;
        ++Count;
        return node;
    }

    // Makes the children the node's children, in order; the node had none.
    template <typename... Children>
    static void Adopt(PerceptionParseNodeStruct* parent, PerceptionParseNodeStruct* first, Children*... rest)
    {
        parent->First_Child = first;
        PerceptionParseNodeStruct* previous = first;
        ((previous->Next_Sibling = rest, previous = rest), ...);
        previous->Next_Sibling = nullptr;
    }

    static void Append_Child(PerceptionParseNodeStruct* parent, PerceptionParseNodeStruct* child)
    {
        PerceptionParseNodeStruct** link = &parent->First_Child;
        while (*link != nullptr) {
            link = &(*link)->Next_Sibling;
        }
        *link = child;
        child->Next_Sibling = nullptr;
    }

    MarkType Mark() const { return Count; }
    // Drops every node made since the mark; none of them may be linked into the kept tree.
    void Rollback(MarkType mark) { Count = mark; }

    std::size_t Node_Count() const { return Count; }

private:
    static constexpr std::size_t INLINE_COUNT = 64;
    static constexpr std::size_t CHUNK_COUNT = 256;

    // Throws std::bad_alloc when a new chunk cannot be had.
    PerceptionParseNodeStruct* Chunk_Node(std::size_t index)
    {
        const std::size_t chunk = index / CHUNK_COUNT;
        if (chunk == Chunks.size()) {
            Chunks.push_back(std::make_unique<PerceptionParseNodeStruct[]>(CHUNK_COUNT));
        }
        return &Chunks[chunk][index % CHUNK_COUNT];
    }

    std::size_t Count = 0;
    // Left unconstructed until used: a tree is made for every build.
    union InlineStorageUnion {
        InlineStorageUnion() {}
        PerceptionParseNodeStruct Nodes[INLINE_COUNT];
    } Inline;
    std::vector<std::unique_ptr<PerceptionParseNodeStruct[]>> Chunks;
};

#endif
