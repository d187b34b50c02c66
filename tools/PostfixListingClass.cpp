#include "tools/PostfixListingClass.h"

#include "tools/ToolTokenConverterClass.h"

#include "equations/PerceptionFunctionGrammarClass.h"

namespace {

using Node = PerceptionParseNodeStruct;

const char* Operator_Name(const std::string_view text)
{
    static const struct {
        const char* Text;
        const char* Name;
    } NAMES[] = {
        {"==", "equal"},      {"!=", "not equal"}, {">=", "greater or equal"}, {"<=", "less or equal"},
        {"<", "less"},        {">", "greater"},    {"+", "add"},               {"-", "subtract"},
        {"*", "multiply"},    {"/", "divide"},     {"#", "random between"},
    };
    for (const auto& entry : NAMES) {
        if (text.compare(0, std::char_traits<char>::length(entry.Text), entry.Text) == 0) {
            return entry.Name;
        }
    }
    return "?";
}

std::string Trimmed(const Node* node)
{
    return Trim_Trailing_Blanks(node->Copy_Text());
}

}  // namespace

std::vector<std::string> PostfixListingClass::Steps_Of(const std::string& text)
{
    std::vector<std::string> steps;
    PerceptionFunctionGrammarClass grammar;
    PerceptionParseTreeClass tree;
    const Node* root = grammar.Parse(text.c_str(), text.size(), tree);
    if (root != nullptr) {
        PostfixListingClass(steps).List(root);
    }
    return steps;
}

// "A.B.C{...}" is 6(6(A, B), C, bindings): the nested dots are followed down in a loop, so a
// path of any length costs no stack, then each level's names and bindings are read going up.
void PostfixListingClass::Gather_Path(const Node* node, std::string& path, std::vector<std::string>& bound)
{
    std::vector<const Node*> dots{node};
    while (dots.back()->First_Child != nullptr && dots.back()->First_Child->Kind == PARSE_KIND_TOKEN_EXPRESSION) {
        dots.push_back(dots.back()->First_Child);
    }
    for (auto dot = dots.rbegin(); dot != dots.rend(); ++dot) {
        for (const Node* child = (*dot)->First_Child; child != nullptr; child = child->Next_Sibling) {
            if (child->Kind == PARSE_KIND_NAME) {
                path += (path.empty() ? "" : ".") + Trimmed(child);
            } else if (child->Kind == PARSE_KIND_BINDING || child->Kind == PARSE_KIND_BINDING_LIST) {
                const bool single = child->Kind == PARSE_KIND_BINDING;
                for (const Node* binding = single ? child : child->First_Child; binding != nullptr;
                     binding = single ? nullptr : binding->Next_Sibling) {
                    if (binding->First_Child != nullptr && binding->First_Child->Next_Sibling != nullptr) {
                        List(binding->First_Child->Next_Sibling);
                        bound.push_back(Trimmed(binding->First_Child));
                    }
                }
            }
        }
    }
}

void PostfixListingClass::List_Token(const Node* node)
{
    std::string path;
    std::vector<std::string> bound;
    Gather_Path(node, path, bound);
    std::string step = "token " + path;
    for (std::size_t index = 0; index < bound.size(); ++index) {
        step += (index == 0 ? " {" : ", ") + bound[index] + (index + 1 == bound.size() ? "}" : "");
    }
    Steps.push_back(step);
}

// "a - b - c" is -(-(a, b), c): the left operands are followed down in a loop, so a chain of
// any length costs no stack; going back up, each operator's right operand, then the operator.
void PostfixListingClass::List_Chain(const Node* node)
{
    std::vector<const Node*> chain;
    const Node* operand = node;
    while (operand->Kind >= PARSE_KIND_COMPARISON && operand->Kind <= PARSE_KIND_MULTIPLICATIVE &&
           operand->Child_Count() == 2) {
        chain.push_back(operand);
        operand = operand->First_Child;
    }
    if (chain.empty()) {
        return;
    }
    List(operand);
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        List((*link)->First_Child->Next_Sibling);
        Steps.push_back(Operator_Name((*link)->Get_Text()));
    }
}

void PostfixListingClass::List(const Node* node)
{
    if (node == nullptr) {
        return;
    }
    const Node* first = node->First_Child;
    switch (node->Kind) {
    case PARSE_KIND_NUMBER:
        Steps.push_back("constant " + node->Copy_Text());
        return;
    case PARSE_KIND_STRING_LITERAL:
        Steps.push_back("string " + Trimmed(node));
        return;
    case PARSE_KIND_TOKEN_EXPRESSION:
        List_Token(node);
        return;
    case PARSE_KIND_OBJECT_REFERENCE:
        if (first != nullptr && first->Next_Sibling != nullptr) {
            Steps.push_back("object " + Trimmed(first) + "[" + Trimmed(first->Next_Sibling) + "]");
        }
        return;
    case PARSE_KIND_FUNCTION_CALL:
        for (const Node* child = first != nullptr ? first->Next_Sibling : nullptr;
             child != nullptr && child->Next_Sibling != nullptr; child = child->Next_Sibling) {
            List(child);
        }
        Steps.push_back("call " + (first != nullptr ? Trimmed(first) : std::string()));
        return;
    case PARSE_KIND_ARGUMENT_LIST:
        // "x, y, z" nests to the right: 14(x, 14(y, z)), followed in a loop.
        for (const Node* list = node; list != nullptr;) {
            const Node* nested = nullptr;
            for (const Node* child = list->First_Child; child != nullptr; child = child->Next_Sibling) {
                if (child->Next_Sibling == nullptr && child->Kind == PARSE_KIND_ARGUMENT_LIST) {
                    nested = child;
                } else {
                    List(child);
                }
            }
            list = nested;
        }
        return;
    case PARSE_KIND_UNARY:
        List(first);
        Steps.push_back("negate");
        return;
    default:
        List_Chain(node);
        return;
    }
}
