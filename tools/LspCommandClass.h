#ifndef COGNEXA_TOOLS_LSP_COMMAND_CLASS_H
#define COGNEXA_TOOLS_LSP_COMMAND_CLASS_H

#include <string>
#include <vector>

// cognexa lsp: a language server for equation files on stdin and stdout. Exit status 0 after
// shutdown and exit, 1 when the editor went away without them, 2 bad usage.
class LspCommandClass {
public:
    static const char USAGE[];

    int Run(const std::vector<std::string>& arguments);
};

#endif
