#include <cognexa/PerceptionFunctionClass.h>

#include "equations/PerceptionFunctionBuilderClass.h"
#include "equations/PerceptionFunctionNodeClass.h"
#include "equations/PerceptionFunctionGrammarClass.h"
#include "equations/PerceptionNodeArenaClass.h"
#include "equations/PerceptionProgramClass.h"
#include "equations/ValueStackLeaseClass.h"
#include "foundation/TheHostBinding.h"
#include "foundation/ReportParseError.h"

#include <memory>
#include <new>

namespace {

// The token string of every equation lives here, one per thread; each call on the thread
// overwrites it. Under mingw-w64's emulated thread-local storage a thread-local object with a
// destructor is destroyed after its storage is freed when a thread ends, so there each thread's
// string is made on first use and kept.
#if defined(__MINGW32__)
thread_local std::string* TheTokenStringPointer = nullptr;
std::string& The_Token_String()
{
    if (TheTokenStringPointer == nullptr) {
        TheTokenStringPointer = new std::string();
    }
    return *TheTokenStringPointer;
}
#else
thread_local std::string TheTokenString;
std::string& The_Token_String()
{
    return TheTokenString;
}
#endif

// The text as far as its first NUL.
std::size_t Equation_Length(const std::string& text)
{
    const std::size_t nul = text.find('\0');
    return nul == std::string::npos ? text.size() : nul;
}

// The root of the text's parse tree; null, reported, when the text does not parse.
const PerceptionParseNodeStruct* Parse_Or_Report(const std::string& text, PerceptionParseTreeClass& tree)
{
    const PerceptionParseNodeStruct* root =
        PerceptionFunctionGrammarClass().Parse(text.data(), Equation_Length(text), tree);
    if (root == nullptr) {
        Report_Parse_Error();
    }
    return root;
}

// Room for the nodes of a text of this length in one block, for nearly every equation: a token
// node takes about 56 bytes on a 64-bit build and its text at least three characters. Capped, so
// a long text that is mostly blanks does not hold a block it never fills; later blocks double.
std::size_t Node_Storage_Estimate(std::size_t text_length)
{
    const std::size_t most = 64 * 1024;
    return text_length < (most - 64) / 16 ? 64 + 16 * text_length : most;
}

// Most nodes take two characters or more of text (a name and its dot, an operator and a blank).
// Capped like the node storage; a longer program grows the list as it goes.
std::size_t Node_Count_Estimate(std::size_t text_length)
{
    const std::size_t most = 4096;
    return text_length < 2 * (most - 2) ? 2 + text_length / 2 : most;
}

// The compact form of a freshly built program; null leaves the nodes to run one by one.
PerceptionProgramClass* Compile_Program(const std::vector<PerceptionFunctionNodeClass*>& nodes)
{
    return PerceptionProgramClass::Compile(nodes);
}

}  // namespace

PerceptionFunctionClass::~PerceptionFunctionClass()
{
    Reset();
}

// 1. Parse the text; text that does not parse is reported.
// 2. Emit the program into a new equation; a failure is reported and the equation dropped.
// 3. Name it.
PerceptionFunctionClass* PerceptionFunctionClass::Build(const std::string& text, const std::string& name)
{
    try {
        PerceptionParseTreeClass tree;
        const PerceptionParseNodeStruct* root = Parse_Or_Report(text, tree);
        if (root == nullptr) {
            return nullptr;
        }
        std::unique_ptr<PerceptionFunctionClass> equation(new PerceptionFunctionClass());
        equation->Arena = PerceptionNodeArenaClass::Create(Node_Storage_Estimate(Equation_Length(text)));
        equation->Nodes.reserve(Node_Count_Estimate(Equation_Length(text)));
        if (!PerceptionFunctionBuilderClass::Emit_Nodes(root, *equation)) {
            Report_Parse_Error();
            return nullptr;
        }
        equation->Name = name;
        equation->Program = Compile_Program(equation->Nodes);
        return equation.release();
    } catch (const std::bad_alloc&) {
        Report_Parse_Error();
        return nullptr;
    }
}

// 1. Parse; text that does not parse leaves the old body in place.
// 2. Reset and emit the new body; a failure leaves the equation empty.
bool PerceptionFunctionClass::Rebuild(const std::string& text)
{
    bool body_dropped = false;
    try {
        PerceptionParseTreeClass tree;
        const PerceptionParseNodeStruct* root = Parse_Or_Report(text, tree);
        if (root == nullptr) {
            return false;
        }
        Reset();
        body_dropped = true;
        Arena = PerceptionNodeArenaClass::Create(Node_Storage_Estimate(Equation_Length(text)));
        Nodes.reserve(Node_Count_Estimate(Equation_Length(text)));
        if (PerceptionFunctionBuilderClass::Emit_Nodes(root, *this)) {
            Program = Compile_Program(Nodes);
            return true;
        }
    } catch (const std::bad_alloc&) {
        if (!body_dropped) {
            Report_Parse_Error();
            return false;
        }
    }
    Report_Parse_Error();
    Reset();
    return false;
}

void PerceptionFunctionClass::Reset()
{
    PerceptionProgramClass::Destroy(Program);
    Program = nullptr;
    for (std::size_t index = 0; index < Nodes.size(); ++index) {
        if (index < Built_Node_Count) {
            Nodes[index]->~PerceptionFunctionNodeClass();
        } else {
            delete Nodes[index];
        }
    }
    Nodes.clear();
    Built_Node_Count = 0;
    PerceptionNodeArenaClass::Destroy(Arena);
    Arena = nullptr;
}

void PerceptionFunctionClass::Append_Built_Node(PerceptionFunctionNodeClass* node)
{
    // Built nodes stay a prefix: the builder only appends to an equation it has just reset.
    try {
        Nodes.push_back(node);
    } catch (...) {
        node->~PerceptionFunctionNodeClass();
        throw;
    }
    ++Built_Node_Count;
}

void PerceptionFunctionClass::Add_Node(PerceptionFunctionNodeClass* node)
{
    // The compact form no longer matches; the nodes run one by one until the next build.
    if (Program != nullptr) {
        PerceptionProgramClass::Destroy(Program);
        Program = nullptr;
    }
    Nodes.push_back(node);
}

// 1. Tell the host an evaluation starts.
// 2. Run the nodes over an empty stack; a node that fails ends the evaluation.
// 3. Exactly one value must remain: the result.
bool PerceptionFunctionClass::Evaluate(const PerceptionContextClass& context, float& result) const
{
    if (TheHostBinding.Evaluate_Notify_Callback != nullptr) {
        TheHostBinding.Evaluate_Notify_Callback(context, *this);
    }
    if (Program != nullptr) {
        return Program->Run(context, result);
    }
    try {
        ValueStackLeaseClass lease;
        std::vector<float>& stack = lease.Get_Stack();
        for (PerceptionFunctionNodeClass* node : Nodes) {
            if (!node->Evaluate(stack, context)) {
                return false;
            }
        }
        if (stack.size() != 1) {
            return false;
        }
        result = stack.front();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

int PerceptionFunctionClass::Evaluate_Many(const PerceptionContextClass* const* contexts, int count, float* results,
                                           bool* succeeded) const
{
    if (count < 0 || (count > 0 && (contexts == nullptr || results == nullptr || succeeded == nullptr))) {
        return -1;
    }
    if (Program != nullptr) {
        try {
            return Program->Run_Many(*this, contexts, count, results, succeeded);
        } catch (const std::bad_alloc&) {
            // No scratch for the blocks, and nothing evaluated yet: lane by lane instead.
        }
    }
    int succeeded_count = 0;
    for (int lane = 0; lane < count; ++lane) {
        succeeded[lane] = contexts[lane] != nullptr && Evaluate(*contexts[lane], results[lane]);
        succeeded_count += succeeded[lane];
    }
    return succeeded_count;
}

const std::string& PerceptionFunctionClass::Get_Perception_Token_String() const
{
    std::string& token_string = The_Token_String();
    token_string.assign("Function_");
    token_string.append(Name);
    return token_string;
}
