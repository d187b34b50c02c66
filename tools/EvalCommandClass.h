#ifndef COGNEXA_TOOLS_EVAL_COMMAND_CLASS_H
#define COGNEXA_TOOLS_EVAL_COMMAND_CLASS_H

#include <string>
#include <vector>

class PerceptionContextClass;
class PerceptionFunctionClass;
class ToolHostClass;

// cognexa eval TEXT: evaluates an equation text, or with --root a registered equation or a
// call text, with token values given by --set. Prints the value, or why there is none.
class EvalCommandClass {
public:
    static const char USAGE[];

    int Run(const std::vector<std::string>& arguments);

private:
    int Evaluate_Expression(ToolHostClass& host, const std::string& text, bool have_root);
    int Evaluate_Call(ToolHostClass& host, const std::string& text);
    int Evaluate_Equation(ToolHostClass& host, const PerceptionFunctionClass& equation, const std::string& text);
    // Prints the value (0) or, after a failed evaluation, why it failed (1).
    int Finish(ToolHostClass& host, const std::string& text, bool evaluated, float value);
};

#endif
