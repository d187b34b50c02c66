#ifndef COGNEXA_PERCEPTION_FUNCTION_CALL_GRAMMAR_CLASS_H
#define COGNEXA_PERCEPTION_FUNCTION_CALL_GRAMMAR_CLASS_H

#include <string>
#include <vector>

// The call language: "Name{left = right, ...}".
//   call = identifier "{" [ binding { "," binding } ] "}"     binding = identifier "=" identifier
//   identifier = letter { letter | digit | "_" }
// Blanks may stand before every character; each matched character takes in the blanks after
// it, so an identifier's text keeps blanks inside and after it ("My Func " in "My Func {}").
// Blanks after the closing brace are allowed; the text ends at its first NUL.
class PerceptionFunctionCallGrammarClass {
public:
    struct BindingTextStruct {
        std::string Left;
        std::string Right;
    };

    struct CallTextStruct {
        std::string Function_Name;
        std::vector<BindingTextStruct> Bindings;  // in the order written
    };

    // False when the text is not matched in full; call is then unspecified.
    static bool Parse(const std::string& text, CallTextStruct& call);
};

#endif
