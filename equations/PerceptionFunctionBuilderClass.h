#ifndef COGNEXA_PERCEPTION_FUNCTION_BUILDER_CLASS_H
#define COGNEXA_PERCEPTION_FUNCTION_BUILDER_CLASS_H

#include "equations/PerceptionParseTreeClass.h"

class PerceptionFunctionClass;
class PerceptionFunctionNodeClass;
class PerceptionNodeArenaClass;
class TokenNodeClass;

// Turns a parse tree into an equation's postfix program. Problems in the tree are reported
// once per process (Report_Parse_Error) where the language calls them errors; a few failures
// are silent. Chains of binary operators, dotted token paths and argument lists are walked in
// loops, so a flat chain of any length does not deepen the recursion; other nesting is bounded
// by the grammar.
class PerceptionFunctionBuilderClass {
public:
    // Appends the node's program to the equation; false when it cannot be built.
    static bool Emit_Nodes(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);

    // Fills the token node's path and bound parameters from a token expression; bound values
    // are emitted into the equation as they are met, so each stands just before the token node.
    static bool Gather_Tokens(const PerceptionParseNodeStruct* node, TokenNodeClass& token,
                              PerceptionFunctionClass& equation);

    // The storage the equation's built nodes are placed in, made on first use.
    static PerceptionNodeArenaClass& Arena_Of(PerceptionFunctionClass& equation);
    // Hands a node placed in the equation's arena to the equation.
    static bool Append_Built(PerceptionFunctionClass& equation, PerceptionFunctionNodeClass* node);

    // Makes the equation run its nodes one by one, as if it had no compact form: what the
    // differential test and the fuzz target compare the compact form with.
    static void Drop_Compact_Program(PerceptionFunctionClass& equation);

private:
    static bool Emit_Operator_Chain(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Negation(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Number(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Token_Expression(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Object_Reference(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_String_Literal(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Function_Call(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Argument_List(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);
    static bool Emit_Unexpected(const PerceptionParseNodeStruct* node, PerceptionFunctionClass& equation);

    static bool Gather_Path(const PerceptionParseNodeStruct* node, TokenNodeClass& token,
                            PerceptionFunctionClass& equation);
    static bool Gather_Children(const PerceptionParseNodeStruct* node, TokenNodeClass& token,
                                PerceptionFunctionClass& equation, bool skip_first);
    static bool Gather_Name(const PerceptionParseNodeStruct* node, TokenNodeClass& token);
    static bool Gather_Binding(const PerceptionParseNodeStruct* node, TokenNodeClass& token,
                               PerceptionFunctionClass& equation);
};

#endif
