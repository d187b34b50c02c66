// The equation grammar is a hand-written recursive-descent parser, not Boost.Spirit, because:
// - names may hold blanks ("a.x y", "Db[Some Object]"): every one-character match takes in the
//   blanks that follow it, and Spirit classic 1.74's leaf_node_d does not let the skipper run
//   inside a leaf, so such names fail there and number leaves carry leading blanks;
// - Spirit's recursion cannot be bounded, so deeply nested texts overflow the stack; here nesting
//   is limited (MAX_NESTING) and left-associative chains are loops;
// - its tree mode allocates per character; here leaves point into the equation text and all
//   nodes come from one arena.
#include "equations/PerceptionFunctionGrammarClass.h"

#include "foundation/AsciiCharacterTable.h"
#include "equations/PerceptionDiagnosticsClass.h"

#include <cstring>
#include <utility>
#include <vector>

using Node = PerceptionParseNodeStruct;
using AsciiCharacterTable::Is_Digit;
using AsciiCharacterTable::Is_Letter;
using AsciiCharacterTable::Is_Letter_Or_Digit;

const Node* PerceptionFunctionGrammarClass::Parse(const char* text, std::size_t length, PerceptionParseTreeClass& tree)
{
    if (length > UINT32_MAX) {
        return nullptr;
    }
    Tree = &tree;
    Cursor = text;
    End = text + length;
    Furthest = text;
    Depth = 0;
    Too_Deep = false;
    if (PerceptionDiagnosticsPtr != nullptr) {
        PerceptionDiagnosticsPtr->Parse_Started(text, length);
    }

    const Node* root = Parse_Comparison();
    if (root == nullptr || Too_Deep || Skip_Blanks(Cursor) != End) {
        if (PerceptionDiagnosticsPtr != nullptr) {
            const char* stopped = Skip_Blanks(Cursor > Furthest ? Cursor : Furthest);
            PerceptionDiagnosticsPtr->Parse_Stopped(static_cast<std::size_t>(stopped - text));
        }
        return nullptr;
    }
    return root;
}

// ---- Rules ---------------------------------------------------------------------------------

template <typename OperandParser, typename OperatorMatcher>
Node* PerceptionFunctionGrammarClass::Parse_Chain(int kind, OperandParser operand, OperatorMatcher match_operator)
{
    Node* left = (this->*operand)();
    if (left == nullptr) {
        return nullptr;
    }
    for (;;) {
        const SavePointStruct point = Save();
        SpanStruct op;
        if (!match_operator(op)) {
            break;
        }
        Node* right = (this->*operand)();
        if (right == nullptr) {
            Fail_Back_To(point);
            break;
        }
        Node* parent = New_Node(kind, op);
        PerceptionParseTreeClass::Adopt(parent, left, right);
        left = parent;
    }
    return left;
}

Node* PerceptionFunctionGrammarClass::Parse_Comparison()
{
    return Parse_Chain(PARSE_KIND_COMPARISON, &PerceptionFunctionGrammarClass::Parse_Additive,
                       [this](SpanStruct& op) { return Match_Comparison_Operator(op); });
}

Node* PerceptionFunctionGrammarClass::Parse_Additive()
{
    return Parse_Chain(PARSE_KIND_ADDITIVE, &PerceptionFunctionGrammarClass::Parse_Multiplicative,
                       [this](SpanStruct& op) { return Match_Any_Of("+-", op); });
}

Node* PerceptionFunctionGrammarClass::Parse_Multiplicative()
{
    return Parse_Chain(PARSE_KIND_MULTIPLICATIVE, &PerceptionFunctionGrammarClass::Parse_Unary,
                       [this](SpanStruct& op) { return Match_Any_Of("*/#", op); });
}

// Every nested operand passes through here, so this is where nesting is bounded.
Node* PerceptionFunctionGrammarClass::Parse_Unary()
{
    if (Too_Deep) {
        return nullptr;
    }
    if (Depth >= MAX_NESTING) {
        Too_Deep = true;
        return nullptr;
    }
    ++Depth;
    Node* node = Parse_Unary_Alternatives();
    --Depth;
    return node;
}

Node* PerceptionFunctionGrammarClass::Parse_Unary_Alternatives()
{
    using AlternativeType = Node* (PerceptionFunctionGrammarClass::*)();
    // "-5" is a number because number is tried before negation.
    static constexpr AlternativeType ALTERNATIVES[] = {
        &PerceptionFunctionGrammarClass::Parse_Number,        &PerceptionFunctionGrammarClass::Parse_Token_Expression,
        &PerceptionFunctionGrammarClass::Parse_Object_Reference, &PerceptionFunctionGrammarClass::Parse_Function_Call,
        &PerceptionFunctionGrammarClass::Parse_Parenthesised, &PerceptionFunctionGrammarClass::Parse_Negation,
    };
    // Each form can only start with certain characters; one that cannot start with the next
    // character would fail there without consuming anything, so it is not tried at all.
    const char* at = Skip_Blanks(Cursor);
    const char first = at < End ? *at : '\0';
    const bool letter = Is_Letter(first);
    const bool possible[] = {
        Is_Digit(first) || first == '.' || first == '+' || first == '-', letter, letter, letter, first == '(',
        first == '-',
    };
    static_assert(sizeof possible == sizeof ALTERNATIVES / sizeof ALTERNATIVES[0], "one flag per form");
    for (std::size_t index = 0; index < sizeof possible; ++index) {
        if (!possible[index]) {
            continue;
        }
        const AlternativeType alternative = ALTERNATIVES[index];
        const SavePointStruct point = Save();
        if (Node* node = (this->*alternative)()) {
            return node;
        }
        Fail_Back_To(point);
        if (Too_Deep) {
            return nullptr;
        }
    }
    return nullptr;
}

// Parentheses leave no node of their own.
Node* PerceptionFunctionGrammarClass::Parse_Parenthesised()
{
    if (!Match_Char('(')) {
        return nullptr;
    }
    Node* inner = Parse_Comparison();
    if (inner == nullptr || !Match_Char(')')) {
        return nullptr;
    }
    return inner;
}

Node* PerceptionFunctionGrammarClass::Parse_Negation()
{
    SpanStruct minus;
    if (!Match_Char('-', minus)) {
        return nullptr;
    }
    Node* operand = Parse_Unary();
    if (operand == nullptr) {
        return nullptr;
    }
    Node* negation = New_Node(PARSE_KIND_UNARY, minus);
    PerceptionParseTreeClass::Adopt(negation, operand);
    return negation;
}

// The dots nest to the left; bindings become the last child of the top dot.
Node* PerceptionFunctionGrammarClass::Parse_Token_Expression()
{
    Node* top = Parse_Word(PARSE_KIND_NAME, false);
    if (top == nullptr) {
        return nullptr;
    }
    bool dotted = false;
    for (;;) {
        const SavePointStruct point = Save();
        SpanStruct dot;
        if (!Match_Char('.', dot)) {
            break;
        }
        Node* name = Parse_Word(PARSE_KIND_NAME, false);
        if (name == nullptr) {
            Fail_Back_To(point);
            break;
        }
        Node* parent = New_Node(PARSE_KIND_TOKEN_EXPRESSION, dot);
        PerceptionParseTreeClass::Adopt(parent, top, name);
        top = parent;
        dotted = true;
    }
    if (!dotted) {
        return nullptr;
    }

    const SavePointStruct point = Save();
    if (Match_Char('{')) {
        Node* bindings = Parse_Binding_List();
        if (bindings != nullptr && Match_Char('}')) {
            PerceptionParseTreeClass::Append_Child(top, bindings);
            return top;
        }
    }
    Fail_Back_To(point);
    return top;
}

// One binding stands for itself; several get a grouping node; commas leave nothing.
Node* PerceptionFunctionGrammarClass::Parse_Binding_List()
{
    Node* first = Parse_Binding();
    if (first == nullptr) {
        return nullptr;
    }
    Node* last = first;
    for (;;) {
        const SavePointStruct point = Save();
        if (!Match_Char(',')) {
            break;
        }
        Node* next = Parse_Binding();
        if (next == nullptr) {
            Fail_Back_To(point);
            break;
        }
        last->Next_Sibling = next;
        last = next;
    }
    if (last == first) {
        return first;
    }
    Node* group = New_Node(PARSE_KIND_BINDING_LIST, SpanStruct{nullptr, 0});
    group->First_Child = first;
    return group;
}

Node* PerceptionFunctionGrammarClass::Parse_Binding()
{
    Node* name = Parse_Word(PARSE_KIND_NAME, false);
    SpanStruct equals;
    if (name == nullptr || !Match_Char('=', equals)) {
        return nullptr;
    }
    const SavePointStruct point = Save();
    Node* value = Parse_Comparison();
    if (value == nullptr) {
        Fail_Back_To(point);
        if (Too_Deep) {
            return nullptr;
        }
        value = Parse_String_Literal();
        if (value == nullptr) {
            return nullptr;
        }
    }
    Node* binding = New_Node(PARSE_KIND_BINDING, equals);
    PerceptionParseTreeClass::Adopt(binding, name, value);
    return binding;
}

// The brackets leave nothing; a grouping node holds database and object name.
Node* PerceptionFunctionGrammarClass::Parse_Object_Reference()
{
    Node* database = Parse_Word(PARSE_KIND_NAME, false);
    if (database == nullptr || !Match_Char('[')) {
        return nullptr;
    }
    Node* object = Parse_Word(PARSE_KIND_OBJECT_NAME, true);
    if (object == nullptr || !Match_Char(']')) {
        return nullptr;
    }
    Node* reference = New_Node(PARSE_KIND_OBJECT_REFERENCE, SpanStruct{nullptr, 0});
    PerceptionParseTreeClass::Adopt(reference, database, object);
    return reference;
}

// The "(" is the parent of (name, arguments if any, the ")" as an unclaimed leaf).
Node* PerceptionFunctionGrammarClass::Parse_Function_Call()
{
    Node* name = Parse_Word(PARSE_KIND_NAME, false);
    SpanStruct open;
    if (name == nullptr || !Match_Char('(', open)) {
        return nullptr;
    }
    const SavePointStruct point = Save();
    Node* arguments = Parse_Argument_List();
    if (arguments == nullptr) {
        Fail_Back_To(point);
        if (Too_Deep) {
            return nullptr;
        }
    }
    SpanStruct close;
    if (!Match_Char(')', close)) {
        return nullptr;
    }
    Node* closing = New_Node(PARSE_KIND_UNCLAIMED, close);
    Node* call = New_Node(PARSE_KIND_FUNCTION_CALL, open);
    if (arguments != nullptr) {
        PerceptionParseTreeClass::Adopt(call, name, arguments, closing);
    } else {
        PerceptionParseTreeClass::Adopt(call, name, closing);
    }
    return call;
}

// Read as a loop, built as the right-nested tree: "x, y, z" gives 14(x, 14(y, z)).
Node* PerceptionFunctionGrammarClass::Parse_Argument_List()
{
    Node* first = Parse_Comparison();
    if (first == nullptr) {
        return nullptr;
    }
    std::vector<std::pair<SpanStruct, Node*>> rest;  // each comma with the argument after it
    for (;;) {
        const SavePointStruct point = Save();
        SpanStruct comma;
        if (!Match_Char(',', comma)) {
            break;
        }
        Node* argument = Parse_Comparison();
        if (argument == nullptr) {
            Fail_Back_To(point);
            break;
        }
        rest.emplace_back(comma, argument);
    }
    if (rest.empty()) {
        return first;
    }
    Node* tail = rest.back().second;
    for (std::size_t index = rest.size(); index-- > 0;) {
        Node* left = index == 0 ? first : rest[index - 1].second;
        Node* comma = New_Node(PARSE_KIND_ARGUMENT_LIST, rest[index].first);
        PerceptionParseTreeClass::Adopt(comma, left, tail);
        tail = comma;
    }
    return tail;
}

// ---- Tokens --------------------------------------------------------------------------------

// A number is one unit: no blanks inside, and its text is exactly what was matched.
Node* PerceptionFunctionGrammarClass::Parse_Number()
{
    const char* start = Skip_Blanks(Cursor);
    const char* scan = start;
    if (scan < End && (*scan == '+' || *scan == '-')) {
        ++scan;
    }
    const char* whole_start = scan;
    while (scan < End && Is_Digit(*scan)) {
        ++scan;
    }
    const bool has_whole = scan > whole_start;
    bool has_fraction = false;
    if (scan < End && *scan == '.') {
        const char* fraction = scan + 1;
        while (fraction < End && Is_Digit(*fraction)) {
            ++fraction;
        }
        has_fraction = fraction > scan + 1;
        if (has_whole || has_fraction) {
            scan = fraction;
        }
    }
    if (!has_whole && !has_fraction) {
        return nullptr;
    }
    if (scan < End && (*scan == 'e' || *scan == 'E')) {
        const char* exponent = scan + 1;
        if (exponent < End && (*exponent == '+' || *exponent == '-')) {
            ++exponent;
        }
        const char* exponent_digits = exponent;
        while (exponent < End && Is_Digit(*exponent)) {
            ++exponent;
        }
        if (exponent == exponent_digits) {
            return nullptr;  // an exponent letter without digits spoils the whole literal
        }
        scan = exponent;
    }
    Cursor = scan;
    return New_Node(PARSE_KIND_NUMBER, SpanStruct{start, static_cast<uint32_t>(scan - start)});
}

// A name (letter, then letters, digits, "_") or, with allow_bar, an object name that may also
// hold "|". Each character takes in the blanks after it, so blanks inside or after the word
// are part of its text.
Node* PerceptionFunctionGrammarClass::Parse_Word(int kind, bool allow_bar)
{
    const char* start = Skip_Blanks(Cursor);
    if (start == End || !Is_Letter(*start)) {
        return nullptr;
    }
    const char* scan = Skip_Blanks(start + 1);
    while (scan < End && (Is_Letter_Or_Digit(*scan) || *scan == '_' || (allow_bar && *scan == '|'))) {
        scan = Skip_Blanks(scan + 1);
    }
    Cursor = scan;
    return New_Node(kind, SpanStruct{start, static_cast<uint32_t>(scan - start)});
}

// A double quote, letters, digits and "_" (blanks taken in), a double quote; the text runs from
// the opening quote to the blanks after the closing one.
Node* PerceptionFunctionGrammarClass::Parse_String_Literal()
{
    const char* start = Skip_Blanks(Cursor);
    if (start == End || *start != '"') {
        return nullptr;
    }
    const char* scan = Skip_Blanks(start + 1);
    while (scan < End && (Is_Letter_Or_Digit(*scan) || *scan == '_')) {
        scan = Skip_Blanks(scan + 1);
    }
    if (scan == End || *scan != '"') {
        return nullptr;
    }
    scan = Skip_Blanks(scan + 1);
    Cursor = scan;
    return New_Node(PARSE_KIND_STRING_LITERAL, SpanStruct{start, static_cast<uint32_t>(scan - start)});
}

// ---- Matching ------------------------------------------------------------------------------

const char* PerceptionFunctionGrammarClass::Skip_Blanks(const char* cursor) const
{
    return AsciiCharacterTable::Skip_Blanks(cursor, End);
}

// A one-character match takes in the blanks that follow it.
bool PerceptionFunctionGrammarClass::Match_Char(char expected, SpanStruct& span)
{
    const char* at = Skip_Blanks(Cursor);
    if (at == End || *at != expected) {
        return false;
    }
    Cursor = Skip_Blanks(at + 1);
    span = SpanStruct{at, static_cast<uint32_t>(Cursor - at)};
    return true;
}

bool PerceptionFunctionGrammarClass::Match_Char(char expected)
{
    SpanStruct ignored;
    return Match_Char(expected, ignored);
}

bool PerceptionFunctionGrammarClass::Match_Any_Of(const char* choices, SpanStruct& span)
{
    const char* at = Skip_Blanks(Cursor);
    if (at == End || *at == '\0') {
        return false;
    }
    // The choices are a character or two: a loop beats a library call.
    const char* choice = choices;
    while (*choice != '\0' && *choice != *at) {
        ++choice;
    }
    if (*choice == '\0') {
        return false;
    }
    return Match_Char(*at, span);
}

// A two-character operator is one unit: no blanks inside, none taken in after it.
bool PerceptionFunctionGrammarClass::Match_Pair(const char* expected, SpanStruct& span)
{
    const char* at = Skip_Blanks(Cursor);
    if (End - at < 2 || at[0] != expected[0] || at[1] != expected[1]) {
        return false;
    }
    Cursor = at + 2;
    span = SpanStruct{at, 2};
    return true;
}

// Tried in this order, so "<=" wins over "<".
bool PerceptionFunctionGrammarClass::Match_Comparison_Operator(SpanStruct& span)
{
    static const char* const PAIRS[] = {"==", "!=", ">=", "<="};
    for (const char* pair : PAIRS) {
        if (Match_Pair(pair, span)) {
            return true;
        }
    }
    return Match_Any_Of("<>", span);
}

Node* PerceptionFunctionGrammarClass::New_Node(int kind, const SpanStruct& span)
{
    return Tree->New_Node(kind, span.Text, span.Length);
}

Node* PerceptionFunctionGrammarClass::Fail_Back_To(const SavePointStruct& point)
{
    if (PerceptionDiagnosticsPtr != nullptr && Cursor > Furthest) {
        Furthest = Cursor;
    }
    Cursor = point.Cursor;
    Tree->Rollback(point.Mark);
    return nullptr;
}
