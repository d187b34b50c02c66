// cognexa: checks a game's perception equations, evaluates equations, and lists, extracts,
// creates and verifies mega files, through the library's own code paths.
#include "tools/CheckCommandClass.h"
#include "tools/EvalCommandClass.h"
#include "tools/LspCommandClass.h"
#include "tools/MegaCommandClass.h"
#include "tools/PlotCommandClass.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char USAGE[] =
    "usage: cognexa COMMAND [ARGUMENTS]\n"
    "\n"
    "  check [GAME_ROOT]      report every problem in the game's equation files\n"
    "  eval TEXT              evaluate an equation text, an equation or a call\n"
    "  plot TEXT... --sweep OBJECT.TOKEN=LOW:HIGH -o FILE.svg\n"
    "                         chart equations while one token sweeps a range\n"
    "  lsp                    a language server for equation files, for editors\n"
    "  mega list|extract|create|verify ARCHIVE ...\n"
    "                         work with mega files (archives)\n"
    "\n"
    "cognexa COMMAND --help describes a command.\n";

template <typename CommandType>
int Run_Command(const std::vector<std::string>& arguments)
{
    return CommandType().Run(arguments);
}

struct CommandStruct {
    const char* Name;
    int (*Run)(const std::vector<std::string>&);
};

const CommandStruct COMMANDS[] = {
    {"check", &Run_Command<CheckCommandClass>},
    {"eval", &Run_Command<EvalCommandClass>},
    {"lsp", &Run_Command<LspCommandClass>},
    {"mega", &Run_Command<MegaCommandClass>},
    {"plot", &Run_Command<PlotCommandClass>},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(USAGE, stdout);
        return 0;
    }
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    for (const CommandStruct& entry : COMMANDS) {
        if (command == entry.Name) {
            return entry.Run(arguments);
        }
    }
    std::fprintf(stderr, "cognexa: unknown command \"%s\"\n%s", command.c_str(), USAGE);
    return 2;
}
