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

void PostfixListingClass::Gather_Path(const Node* node, std::string& path, std::vector<std::string>& bound)
{
    for (const Node* child = node->First_Child; child != nullptr; child = child->Next_Sibling) {
        if (child->Kind == PARSE_KIND_TOKEN_EXPRESSION) {
            Gather_Path(child, path, bound);
        } else if (child->Kind == PARSE_KIND_NAME) {
            path += (path.empty() ? "" : ".") + Trimmed(child);
        } else if (child->Kind == PARSE_KIND_BINDING || child->Kind == PARSE_KIND_BINDING_LIST) {
            const Node* binding = child->Kind == PARSE_KIND_BINDING ? child : child->First_Child;
            for (; binding != nullptr; binding = child->Kind == PARSE_KIND_BINDING ? nullptr : binding->Next_Sibling) {
                if (binding->First_Child != nullptr && binding->First_Child->Next_Sibling != nullptr) {
                    List(binding->First_Child->Next_Sibling);
                    bound.push_back(Trimmed(binding->First_Child));
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
        for (const Node* child = first; child != nullptr; child = child->Next_Sibling) {
            List(child);
        }
        return;
    case PARSE_KIND_UNARY:
        List(first);
        Steps.push_back("negate");
        return;
    default:
        if (first != nullptr && first->Next_Sibling != nullptr) {
            List(first);
            List(first->Next_Sibling);
            Steps.push_back(Operator_Name(node->Get_Text()));
        }
        return;
    }
}
