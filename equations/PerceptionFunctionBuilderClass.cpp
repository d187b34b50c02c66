#include "equations/PerceptionFunctionBuilderClass.h"
#include "equations/PerceptionProgramClass.h"

#include "equations/ArithmeticNodeClasses.h"
#include "equations/ClampNodeClass.h"
#include "equations/ComparisonNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/PerceptionDiagnosticsClass.h"
#include "equations/PerceptionNodeArenaClass.h"
#include "foundation/TheHostBinding.h"
#include "equations/TokenNodeClass.h"
#include "foundation/AsciiCharacterTable.h"
#include "foundation/ReportParseError.h"

#include <cognexa/PerceptionFunctionClass.h>

#include <cfloat>
#include <cstdint>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using Node = PerceptionParseNodeStruct;

namespace {

bool Report_Failure()
{
    Report_Parse_Error();
    return false;
}

// Tells an installed observer the cause of a failure at its origin, then reports it.
bool Report_Fault(PerceptionDiagnosticsClass::BuildFaultType fault, std::string_view name,
                  std::string_view detail = std::string_view())
{
    if (PerceptionDiagnosticsPtr != nullptr) {
        PerceptionDiagnosticsPtr->Build_Fault(fault, name, detail);
    }
    return Report_Failure();
}

// A node placed in an equation's arena: until the equation takes it, only its destructor runs.
struct DestroyInPlaceStruct {
    void operator()(PerceptionFunctionNodeClass* node) const { node->~PerceptionFunctionNodeClass(); }
};
typedef std::unique_ptr<PerceptionFunctionNodeClass, DestroyInPlaceStruct> BuiltNodePointer;

bool Append(PerceptionFunctionClass& equation, BuiltNodePointer node)
{
    return PerceptionFunctionBuilderClass::Append_Built(equation, node.release());
}

template <typename NodeType>
PerceptionFunctionNodeClass* Make_Node(PerceptionNodeArenaClass& arena)
{
    return arena.Make<NodeType>();
}

// Two-character comparisons are told apart by their whole text (exactly two characters); every
// other operator by its first character, since one-character operators carry trailing blanks.
// Null for text that names no operator of the node's kind.
BuiltNodePointer Make_Operator_Node(const Node* node, PerceptionNodeArenaClass& arena)
{
    const std::string_view text = node->Get_Text();
    if (text.empty()) {
        return nullptr;
    }
    const char first = text[0];
    switch (node->Kind) {
    case PARSE_KIND_COMPARISON:
        if (text.size() == 2 && text[1] == '=') {
            switch (first) {
            case '=': return BuiltNodePointer(Make_Node<EqualNodeClass>(arena));
            case '!': return BuiltNodePointer(Make_Node<NotEqualNodeClass>(arena));
            case '>': return BuiltNodePointer(Make_Node<GreaterEqualNodeClass>(arena));
            case '<': return BuiltNodePointer(Make_Node<LessEqualNodeClass>(arena));
            default: break;
            }
        }
        if (first == '<') {
            return BuiltNodePointer(Make_Node<LessNodeClass>(arena));
        }
        if (first == '>') {
            return BuiltNodePointer(Make_Node<GreaterNodeClass>(arena));
        }
        return nullptr;
    case PARSE_KIND_ADDITIVE:
        if (first == '+') {
            return BuiltNodePointer(Make_Node<AddNodeClass>(arena));
        }
        if (first == '-') {
            return BuiltNodePointer(Make_Node<SubtractNodeClass>(arena));
        }
        return nullptr;
    case PARSE_KIND_MULTIPLICATIVE:
        switch (first) {
        case '*': return BuiltNodePointer(Make_Node<MultiplyNodeClass>(arena));
        case '/': return BuiltNodePointer(Make_Node<DivideNodeClass>(arena));
        case '#': return BuiltNodePointer(Make_Node<RandomNodeClass>(arena));
        default: return nullptr;
        }
    default:
        return nullptr;
    }
}

// The nodes met walking down a chain of operators or dots. Short chains, nearly all of them,
// need no allocation.
struct NodeTrailStruct {
    static constexpr std::size_t INLINE_COUNT = 16;

    void Push(const Node* node)
    {
        if (Count < INLINE_COUNT) {
            Inline_Nodes[Count] = node;
        } else {
            More_Nodes.push_back(node);
        }
        ++Count;
    }
    const Node* At(std::size_t index) const
    {
        return index < INLINE_COUNT ? Inline_Nodes[index] : More_Nodes[index - INLINE_COUNT];
    }
    const Node* Last() const { return At(Count - 1); }

    std::size_t Count = 0;
    const Node* Inline_Nodes[INLINE_COUNT];
    std::vector<const Node*> More_Nodes;
};

bool Is_Operator_Kind(int kind)
{
    return kind == PARSE_KIND_COMPARISON || kind == PARSE_KIND_ADDITIVE || kind == PARSE_KIND_MULTIPLICATIVE;
}

// atof of a number literal. Literals always use ".", whatever numeric locale the host set.
float Number_Value(std::string_view text)
{
#if FLT_EVAL_METHOD == 0
    // Up to 15 digits with at most one point: the digits are exact as a double, and so is the
    // power of ten, so one division rounds the quotient once, under the thread's rounding mode,
    // exactly as atof does. Nearly every literal is such, and needs neither a copy nor strtod.
    // (Where arithmetic runs in extended precision the division could round twice; there every
    // literal goes through atof.)
    static const double POWERS_OF_TEN[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = !text.empty() && text[0] == '-';
    std::size_t index = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    uint64_t mantissa = 0;
    int digit_count = 0;
    int fraction_digits = -1;  // -1 until the point
    for (; index < text.size(); ++index) {
        const char c = text[index];
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            ++digit_count;
            fraction_digits += fraction_digits >= 0 ? 1 : 0;
        } else if (c == '.' && fraction_digits < 0) {
            fraction_digits = 0;
        } else {
            break;
        }
    }
    if (index == text.size() && digit_count > 0 && digit_count <= 15) {
        double value = static_cast<double>(mantissa);
        if (fraction_digits > 0) {
            value /= POWERS_OF_TEN[fraction_digits];
        }
        return static_cast<float>(negative ? -value : value);
    }
#endif
    std::string digits(text);
    const char* decimal_point = std::localeconv()->decimal_point;
    if (decimal_point != nullptr && decimal_point[0] != '.' && decimal_point[0] != '\0' && decimal_point[1] == '\0') {
        for (char& c : digits) {
            if (c == '.') {
                c = decimal_point[0];
            }
        }
    }
    return static_cast<float>(std::atof(digits.c_str()));
}

// The characters between the quotes, upper-cased; "" gives the empty string.
std::string String_Literal_Value(std::string_view text)
{
    const std::size_t open = text.find('"');
    const std::size_t close = open == std::string_view::npos ? open : text.find('"', open + 1);
    if (close == std::string_view::npos) {
        return std::string();
    }
    return AsciiCharacterTable::Ascii_Upper_Copy(text.substr(open + 1, close - open - 1));
}

bool Equals_Ignoring_Case(std::string_view text, const char* expected)
{
    return AsciiCharacterTable::Ascii_Equal_Ignoring_Case(text, expected);
}

}  // namespace

PerceptionNodeArenaClass& PerceptionFunctionBuilderClass::Arena_Of(PerceptionFunctionClass& equation)
{
    if (equation.Arena == nullptr) {
        equation.Arena = PerceptionNodeArenaClass::Create(256);
    }
    return *equation.Arena;
}

bool PerceptionFunctionBuilderClass::Append_Built(PerceptionFunctionClass& equation, PerceptionFunctionNodeClass* node)
{
    equation.Append_Built_Node(node);
    return true;
}

bool PerceptionFunctionBuilderClass::Emit_Nodes(const Node* node, PerceptionFunctionClass& equation)
{
    using EmitterType = bool (*)(const Node*, PerceptionFunctionClass&);
    static constexpr EmitterType EMITTERS[PARSE_KIND_COUNT] = {
        &Emit_Unexpected,      // 0 unclaimed
        &Emit_Operator_Chain,  // 1 comparison
        &Emit_Operator_Chain,  // 2 additive
        &Emit_Operator_Chain,  // 3 multiplicative
        &Emit_Negation,        // 4 unary
        &Emit_Number,          // 5
        &Emit_Token_Expression,
        &Emit_Unexpected,      // 7 name
        &Emit_Unexpected,      // 8 binding
        &Emit_Unexpected,      // 9 binding list
        &Emit_Object_Reference,
        &Emit_Unexpected,      // 11 object name
        &Emit_String_Literal,
        &Emit_Function_Call,
        &Emit_Argument_List,
    };
    if (node == nullptr || node->Kind < 0 || node->Kind >= PARSE_KIND_COUNT) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_MALFORMED, std::string_view());
    }
    return EMITTERS[node->Kind](node, equation);
}

bool PerceptionFunctionBuilderClass::Emit_Unexpected(const Node* node, PerceptionFunctionClass&)
{
    return Report_Fault(PerceptionDiagnosticsClass::FAULT_MALFORMED, node->Get_Text());
}

// A chain "a - b - c" is the left-deep tree -(-(a, b), c); its program is a b - c -.
// 1. Walk down the left operands while they are operators, checking that each has two operands.
// 2. Emit the left-most operand.
// 3. Going back up, emit each operator's right operand, then the operator.
bool PerceptionFunctionBuilderClass::Emit_Operator_Chain(const Node* node, PerceptionFunctionClass& equation)
{
    NodeTrailStruct chain;
    const Node* operand = node;
    while (Is_Operator_Kind(operand->Kind)) {
        if (operand->Child_Count() != 2) {
            return Report_Failure();
        }
        chain.Push(operand);
        operand = operand->First_Child;
    }

    if (!Emit_Nodes(operand, equation)) {
        return Report_Failure();
    }

    for (std::size_t link = chain.Count; link-- > 0;) {
        const Node* operator_node = chain.At(link);
        if (!Emit_Nodes(operator_node->First_Child->Next_Sibling, equation)) {
            return Report_Failure();
        }
        BuiltNodePointer made = Make_Operator_Node(operator_node, Arena_Of(equation));
        if (made == nullptr) {
            return Report_Failure();
        }
        Append(equation, std::move(made));
    }
    return true;
}

bool PerceptionFunctionBuilderClass::Emit_Negation(const Node* node, PerceptionFunctionClass& equation)
{
    if (node->Child_Count() != 1) {
        return Report_Failure();
    }
    if (!Emit_Nodes(node->First_Child, equation)) {
        return false;
    }
    return Append(equation, BuiltNodePointer(Arena_Of(equation).Make<NegateNodeClass>()));
}

bool PerceptionFunctionBuilderClass::Emit_Number(const Node* node, PerceptionFunctionClass& equation)
{
    if (node->First_Child != nullptr) {
        return Report_Failure();
    }
    return Append(equation, BuiltNodePointer(ConstantNodeClass::Make_Number(Number_Value(node->Get_Text()),
                                                                            &Arena_Of(equation))));
}

bool PerceptionFunctionBuilderClass::Emit_Token_Expression(const Node* node, PerceptionFunctionClass& equation)
{
    std::unique_ptr<TokenNodeClass, DestroyInPlaceStruct> token(Arena_Of(equation).Make<TokenNodeClass>());
    // Most paths are a subject and one name: one allocation instead of two.
    token->Token_Path.reserve(2);
    if (!Gather_Tokens(node, *token, equation)) {
        return Report_Failure();
    }
    return Append(equation, BuiltNodePointer(token.release()));
}

// The names are handed over exactly as written, trailing blanks included.
bool PerceptionFunctionBuilderClass::Emit_Object_Reference(const Node* node, PerceptionFunctionClass& equation)
{
    if (node->Child_Count() != 2 || TheHostBinding.Find_Database_Callback == nullptr) {
        return Report_Failure();
    }
    const DatabaseUIntConversionClass* database = TheHostBinding.Find_Database_Callback(node->First_Child->Copy_Text());
    if (database == nullptr) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_UNKNOWN_DATABASE, node->First_Child->Get_Text());
    }
    unsigned int id = 0;
    if (!database->String_To_UInt(node->First_Child->Next_Sibling->Copy_Text(), id)) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_UNKNOWN_OBJECT, node->First_Child->Next_Sibling->Get_Text(),
                            node->First_Child->Get_Text());
    }
    return Append(equation, BuiltNodePointer(ConstantNodeClass::Make_Bits(id, &Arena_Of(equation))));
}

bool PerceptionFunctionBuilderClass::Emit_String_Literal(const Node* node, PerceptionFunctionClass& equation)
{
    if (node->First_Child != nullptr) {
        return Report_Failure();
    }
    const std::string value = String_Literal_Value(node->Get_Text());
    BuiltNodePointer constant(ConstantNodeClass::Make_String(value.data(), value.size(), &Arena_Of(equation)));
    if (constant == nullptr) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_MALFORMED, node->Get_Text());
    }
    return Append(equation, std::move(constant));
}

// Children: the name, the arguments (if any), the ")". The name keeps its trailing blanks, so
// "clamp (" names no function.
bool PerceptionFunctionBuilderClass::Emit_Function_Call(const Node* node, PerceptionFunctionClass& equation)
{
    const Node* name = node->First_Child;
    if (name == nullptr) {
        return false;
    }
    bool emitted = true;
    for (const Node* child = name->Next_Sibling; child != nullptr && child->Next_Sibling != nullptr;
         child = child->Next_Sibling) {
        emitted = Emit_Nodes(child, equation) && emitted;
    }
    if (!emitted) {
        return false;
    }
    if (!Equals_Ignoring_Case(name->Get_Text(), "clamp")) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_UNKNOWN_FUNCTION, name->Get_Text());
    }
    return Append(equation, BuiltNodePointer(Arena_Of(equation).Make<ClampNodeClass>()));
}

// "x, y, z" is 14(x, 14(y, z)): every child is emitted in order, following the right-nested
// lists in a loop; all are emitted even after a failure.
bool PerceptionFunctionBuilderClass::Emit_Argument_List(const Node* node, PerceptionFunctionClass& equation)
{
    bool emitted = true;
    const Node* list = node;
    while (list != nullptr) {
        const Node* nested_list = nullptr;
        for (const Node* child = list->First_Child; child != nullptr; child = child->Next_Sibling) {
            if (child->Next_Sibling == nullptr && child->Kind == PARSE_KIND_ARGUMENT_LIST) {
                nested_list = child;
                break;
            }
            emitted = Emit_Nodes(child, equation) && emitted;
        }
        list = nested_list;
    }
    return emitted;
}

// ---- Token expressions ---------------------------------------------------------------------

bool PerceptionFunctionBuilderClass::Gather_Tokens(const Node* node, TokenNodeClass& token,
                                                   PerceptionFunctionClass& equation)
{
    token.Token_Path.clear();
    return Gather_Path(node, token, equation);
}

// "A.B.C{...}" is 6(6(A, B), C, bindings): visiting every child in order yields A, B, C, then
// the bindings. The nested dots are followed in a loop.
bool PerceptionFunctionBuilderClass::Gather_Path(const Node* node, TokenNodeClass& token,
                                                 PerceptionFunctionClass& equation)
{
    switch (node->Kind) {
    case PARSE_KIND_TOKEN_EXPRESSION: {
        NodeTrailStruct dots;
        dots.Push(node);
        while (dots.Last()->First_Child != nullptr && dots.Last()->First_Child->Kind == PARSE_KIND_TOKEN_EXPRESSION) {
            dots.Push(dots.Last()->First_Child);
        }
        bool gathered = Gather_Children(dots.Last(), token, equation, false);
        for (std::size_t dot = dots.Count - 1; dot-- > 0;) {
            gathered = Gather_Children(dots.At(dot), token, equation, true) && gathered;
        }
        return gathered;
    }
    case PARSE_KIND_BINDING_LIST:
        return Gather_Children(node, token, equation, false);
    case PARSE_KIND_NAME:
        return Gather_Name(node, token);
    case PARSE_KIND_BINDING:
        return Gather_Binding(node, token, equation);
    default:
        return Report_Failure();
    }
}

bool PerceptionFunctionBuilderClass::Gather_Children(const Node* node, TokenNodeClass& token,
                                                     PerceptionFunctionClass& equation, bool skip_first)
{
    bool gathered = true;
    const Node* child = node->First_Child;
    if (skip_first && child != nullptr) {
        child = child->Next_Sibling;
    }
    for (; child != nullptr; child = child->Next_Sibling) {
        gathered = Gather_Path(child, token, equation) && gathered;
    }
    return gathered;
}

namespace {

// Names reach the host untrimmed: "Unit.Speed + 1" asks for "Speed " with its blank.
bool Convert_Token_Name(const Node* name, PerceptionTokenType& token)
{
    token = -1;
    TokenConverterType* converter = TheHostBinding.Token_Converter;
    return converter != nullptr && converter->String_To_Enum(name->Copy_Text(), token);
}

}  // namespace

bool PerceptionFunctionBuilderClass::Gather_Name(const Node* node, TokenNodeClass& token)
{
    PerceptionTokenType converted;
    if (!Convert_Token_Name(node, converted)) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_UNKNOWN_TOKEN, node->Get_Text());
    }
    token.Token_Path.push_back(converted);
    return true;
}

bool PerceptionFunctionBuilderClass::Gather_Binding(const Node* node, TokenNodeClass& token,
                                                    PerceptionFunctionClass& equation)
{
    const Node* parameter = node->First_Child;
    if (node->Child_Count() != 2 || parameter->Kind != PARSE_KIND_NAME) {
        return Report_Failure();
    }
    PerceptionTokenType converted;
    if (!Convert_Token_Name(parameter, converted)) {
        return Report_Fault(PerceptionDiagnosticsClass::FAULT_UNKNOWN_TOKEN, parameter->Get_Text());
    }
    token.Bound_Parameters.push_back(converted);
    return Emit_Nodes(parameter->Next_Sibling, equation);
}

void PerceptionFunctionBuilderClass::Drop_Compact_Program(PerceptionFunctionClass& equation)
{
    PerceptionProgramClass::Destroy(equation.Program);
    equation.Program = nullptr;
}
