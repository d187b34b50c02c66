#ifndef COGNEXA_TOOLS_EVAL_COMMAND_CLASS_H
#define COGNEXA_TOOLS_EVAL_COMMAND_CLASS_H

#include <string>
#include <vector>

// cognexa eval TEXT: evaluates an equation text, or with --root a registered equation or a
// call text, with token values given by --set. Prints the value, or why there is none.
class EvalCommandClass {
public:
    static std::string Usage();

    int Run(const std::vector<std::string>& arguments);
};

#endif
