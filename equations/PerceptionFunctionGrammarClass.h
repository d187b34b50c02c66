#ifndef COGNEXA_PERCEPTION_FUNCTION_GRAMMAR_CLASS_H
#define COGNEXA_PERCEPTION_FUNCTION_GRAMMAR_CLASS_H

#include "equations/PerceptionParseTreeClass.h"

#include <cstddef>
#include <cstdint>

// The equation language, parsed by recursive descent into the parse tree that the builder
// reads. Rules, lowest precedence first:
//   comparison     = additive { ("==" | "!=" | ">=" | "<=" | "<" | ">") additive }
//   additive       = multiplicative { ("+" | "-") multiplicative }
//   multiplicative = unary { ("*" | "/" | "#") unary }
//   unary          = number | token_expression | object_reference | function_call
//                    | "(" comparison ")" | "-" unary
//   token_expression = name "." name { "." name } [ "{" binding_list "}" ]
//   binding_list   = binding { "," binding }      binding = name "=" (comparison | string_literal)
//   object_reference = name "[" object_name "]"  function_call = name "(" [ argument_list ] ")"
//   argument_list  = comparison [ "," argument_list ]
// Alternatives are ordered and a matched alternative is never re-entered; repetitions are greedy.
class PerceptionFunctionGrammarClass {
public:
    // Deepest nesting of unary operands (parentheses, negations, call arguments, bound values)
    // that a text may use; deeper texts are rejected rather than risking the stack of the
    // parser and of the builder. Hand-written equations stay far below it.
    static constexpr int MAX_NESTING = 200;

    // Parses text[0, length) as a whole. The root of the tree, or null when the text is not
    // matched in full (trailing whitespace aside) or nests too deeply.
    const PerceptionParseNodeStruct* Parse(const char* text, std::size_t length, PerceptionParseTreeClass& tree);

private:
    struct SpanStruct {
        const char* Text;
        uint32_t Length;
    };

    PerceptionParseNodeStruct* Parse_Comparison();
    PerceptionParseNodeStruct* Parse_Additive();
    PerceptionParseNodeStruct* Parse_Multiplicative();
    PerceptionParseNodeStruct* Parse_Unary();
    PerceptionParseNodeStruct* Parse_Unary_Alternatives();
    PerceptionParseNodeStruct* Parse_Parenthesised();
    PerceptionParseNodeStruct* Parse_Negation();
    PerceptionParseNodeStruct* Parse_Number();
    PerceptionParseNodeStruct* Parse_Token_Expression();
    PerceptionParseNodeStruct* Parse_Binding_List();
    PerceptionParseNodeStruct* Parse_Binding();
    PerceptionParseNodeStruct* Parse_Object_Reference();
    PerceptionParseNodeStruct* Parse_Function_Call();
    PerceptionParseNodeStruct* Parse_Argument_List();
    PerceptionParseNodeStruct* Parse_Word(int kind, bool allow_bar);
    PerceptionParseNodeStruct* Parse_String_Literal();

    // A left-associative chain: operand { operator operand }, each operator the parent of the
    // result so far and the next operand.
    template <typename OperandParser, typename OperatorMatcher>
    PerceptionParseNodeStruct* Parse_Chain(int kind, OperandParser operand, OperatorMatcher match_operator);

    bool Match_Char(char expected, SpanStruct& span);
    bool Match_Char(char expected);
    bool Match_Pair(const char* expected, SpanStruct& span);
    bool Match_Comparison_Operator(SpanStruct& span);
    bool Match_Any_Of(const char* choices, SpanStruct& span);
    const char* Skip_Blanks(const char* cursor) const;

    PerceptionParseNodeStruct* New_Node(int kind, const SpanStruct& span);

    // Restores the cursor and gives back the nodes of a failed attempt.
    struct SavePointStruct {
        const char* Cursor;
        PerceptionParseTreeClass::MarkType Mark;
    };
    SavePointStruct Save() const { return SavePointStruct{Cursor, Tree->Mark()}; }
    PerceptionParseNodeStruct* Fail_Back_To(const SavePointStruct& point);

    PerceptionParseTreeClass* Tree = nullptr;
    const char* Cursor = nullptr;
    const char* End = nullptr;
    const char* Furthest = nullptr;  // kept only while diagnostics are installed
    int Depth = 0;
    bool Too_Deep = false;
};

#endif
