#include "tools/LspCommandClass.h"

#include "tools/CommandLineClass.h"
#include "tools/EquationWorkspaceClass.h"
#include "tools/LspServerClass.h"
#include "tools/LspTransportClass.h"

#include "platform/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

const char LspCommandClass::USAGE[] =
    "usage: cognexa lsp [--tokens FILE] [--database NAME=FILE]... [--set TOKEN.PATH=NUMBER]...\n"
    "\n"
    "A language server for equation files, for editors that speak the Language Server Protocol:\n"
    "messages on stdin and stdout, notes on stderr. It checks every equation file of the\n"
    "workspace (the game's root or its Data/XML/AI/PerceptualEquations folder) as cognexa check\n"
    "does, while you type, and completes token, function and object names, shows an equation's\n"
    "postfix program and value on hover, and lists the equations as symbols.\n"
    "\n"
    "  --tokens FILE          the game's token names, one a line, each optionally followed by\n"
    "                         \"# description\" (default: the workspace's cognexa-tokens.txt, else\n"
    "                         every name is a token)\n"
    "  --database NAME=FILE   a database and its object names, one a line\n"
    "  --set Unit.Speed=3     a token value, for the values shown on hover\n"
    "  --stdio                accepted and ignored (stdio is the only channel)\n"
    "\n"
    "The editor's initialization options may give the same: {\"tokens\": FILE,\n"
    "\"databases\": {NAME: FILE}, \"values\": {\"Unit.Speed\": 3}}.\n"
    "\n"
    "Exit status: 0 after shutdown and exit, 1 otherwise, 2 bad usage.\n";

namespace {

const CommandLineClass::OptionStruct OPTIONS[] = {
    {"help", false}, {"tokens", true}, {"database", true}, {"set", true}, {"stdio", false},
};

bool Configure(const CommandLineClass& line, EquationWorkspaceClass& workspace, std::string& error)
{
    if (line.Has("tokens") && !workspace.Load_Token_File(line.Get_Value("tokens"), error)) {
        return false;
    }
    for (const std::string& database : line.Get_Values("database")) {
        const std::size_t equals = database.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == database.size()) {
            error = "--database wants NAME=FILE, not \"" + database + "\"";
            return false;
        }
        if (!workspace.Add_Database(database.substr(0, equals), database.substr(equals + 1), error)) {
            return false;
        }
    }
    for (const std::string& value : line.Get_Values("set")) {
        const std::size_t equals = value.rfind('=');
        char* end = nullptr;
        errno = 0;
        const float number = equals == std::string::npos ? 0 : std::strtof(value.c_str() + equals + 1, &end);
        if (equals == std::string::npos || equals == 0 || end == value.c_str() + equals + 1 || *end != '\0' ||
            errno == ERANGE) {
            error = "--set wants TOKEN.PATH=NUMBER, not \"" + value + "\"";
            return false;
        }
        workspace.Set_Value(value.substr(0, equals), number);
    }
    return true;
}

}  // namespace

int LspCommandClass::Run(const std::vector<std::string>& arguments)
{
    CommandLineClass line;
    const int parsed = line.Parse_Or_Exit("lsp", arguments, std::vector<CommandLineClass::OptionStruct>(std::begin(OPTIONS), std::end(OPTIONS)), USAGE);
    if (parsed >= 0) {
        return parsed;
    }
    if (!line.Get_Positionals().empty()) {
        std::fprintf(stderr, "cognexa lsp: no arguments besides options\n%s", USAGE);
        return 2;
    }
    EquationWorkspaceClass workspace;
    std::string error;
    if (!Configure(line, workspace, error)) {
        std::fprintf(stderr, "cognexa lsp: %s\n", error.c_str());
        return 2;
    }

    Use_Binary_Standard_Streams();
    LspTransportClass transport(stdin, stdout);
    LspServerClass server(workspace, [&transport](const std::string& body) { transport.Write_Message(body); });
    std::string body;
    std::string problem;
    while (!server.Has_Exited()) {
        const LspTransportClass::ReadResultType read = transport.Read_Message(body, problem);
        if (read == LspTransportClass::READ_END) {
            break;
        }
        if (read == LspTransportClass::READ_MALFORMED) {
            std::fprintf(stderr, "cognexa lsp: skipped %s\n", problem.c_str());
            continue;
        }
        server.Handle(body);
    }
    return server.Exit_Status();
}
