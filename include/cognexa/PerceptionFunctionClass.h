#ifndef COGNEXA_PERCEPTION_FUNCTION_CLASS_H
#define COGNEXA_PERCEPTION_FUNCTION_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/PerceptionTokenType.h>

#include <string>
#include <vector>

class PerceptionFunctionNodeClass;
class PerceptionFunctionBuilderClass;
class PerceptionNodeArenaClass;
class PerceptionProgramClass;

// One named perception equation: its text compiled into a postfix program of nodes that runs
// over a stack of 32-bit floats. Build and Rebuild report problems in the text once per process
// through the notice sink; evaluation failures show only as a false result.
class COGNEXA_API PerceptionFunctionClass {
public:
    // Nodes own host-visible resources (string handles), so two equations must never share
    // them; nothing needs a copy, so copies are forbidden.
    PerceptionFunctionClass(const PerceptionFunctionClass& other) = delete;
    PerceptionFunctionClass& operator=(const PerceptionFunctionClass& other) = delete;
    virtual ~PerceptionFunctionClass();

    // A new equation owned by the caller, or null when the text (up to its first NUL) does not
    // parse or cannot be built.
    static PerceptionFunctionClass* Build(const std::string& text, const std::string& name);

    // Replaces the body in place; the name stays. Text that does not parse leaves the old body;
    // text that parses but cannot be built leaves the equation empty.
    bool Rebuild(const std::string& text);

    // Appends a node; the equation takes ownership.
    void Add_Node(PerceptionFunctionNodeClass* node);

    // Runs the program for the host's context; result is written only on success.
    bool Evaluate(const PerceptionContextClass& context, float& result) const;

    // Evaluates the equation for count contexts. Lane i is observably Evaluate(*contexts[i], results[i]):
    // results[i] is written only where succeeded[i] becomes true. Returns the number of lanes that
    // succeeded, or -1 (nothing evaluated) when count < 0 or an array is null while count > 0. A null
    // context fails its lane without calling the host. The order of hand-in calls across lanes is
    // unspecified; each lane's own calls come in the order Evaluate makes them.
    int Evaluate_Many(const PerceptionContextClass* const* contexts, int count, float* results, bool* succeeded) const;

    const std::string& Get_Name() const { return Name; }

    // "Function_" followed by the name, in one string per thread that the thread's next call
    // overwrites.
    const std::string& Get_Perception_Token_String() const;

protected:
    PerceptionFunctionClass() = default;

    // Destroys every node in order.
    void Reset();

private:
    friend class PerceptionFunctionBuilderClass;

    // Appends a node placed in Arena while building; the equation runs its destructor.
    void Append_Built_Node(PerceptionFunctionNodeClass* node);

    std::vector<PerceptionFunctionNodeClass*> Nodes;
    // The storage of the built nodes, which come first in Nodes; nodes appended with Add_Node
    // come after them and are deleted one by one.
    PerceptionNodeArenaClass* Arena = nullptr;
    std::size_t Built_Node_Count = 0;
    std::string Name;
    // The compact form of Nodes that Evaluate runs; null runs the nodes one by one.
    PerceptionProgramClass* Program = nullptr;
};

#endif
