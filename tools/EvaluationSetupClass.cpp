#include "tools/EvaluationSetupClass.h"

#include <cstdio>

const char EvaluationSetupClass::OPTIONS_USAGE[] =
    "  --set Unit.Speed=3     the value of a token path (repeat for each token)\n"
    "  --root GAME_ROOT       load the game's equations first, as cognexa check does\n"
    "  --tokens FILE          the game's token names, one a line (default: every name is a token)\n"
    "  --database NAME=FILE   a database and its object names, one a line\n";

std::vector<CommandLineClass::OptionStruct> EvaluationSetupClass::Options_With(
    const std::vector<CommandLineClass::OptionStruct>& own)
{
    std::vector<CommandLineClass::OptionStruct> options = {
        {"help", false}, {"set", true}, {"root", true}, {"tokens", true}, {"database", true},
    };
    options.insert(options.end(), own.begin(), own.end());
    return options;
}

bool EvaluationSetupClass::Prepare(const CommandLineClass& line, const std::string& command, std::string& error)
{
    bool ready = !line.Has("tokens") || Host.Load_Token_File(line.Get_Value("tokens"), error);
    for (const std::string& database : line.Get_Values("database")) {
        ready = ready && Host.Add_Database(database, error);
    }
    for (const std::string& value : line.Get_Values("set")) {
        ready = ready && Host.Set_Value(value, error);
    }
    if (!ready) {
        return false;
    }
    Root = line.Has("root");
    if (!Root) {
        Host.Install(nullptr);
        return true;
    }
    if (!GameSessionClass::Enter_Root(line.Get_Value("root"), error)) {
        return false;
    }
    Session.Mount(Host);
    if (!Session.Load_Equations()) {
        std::fprintf(stderr, "cognexa %s: note: some equation files did not load (see cognexa check)\n",
                     command.c_str());
    }
    Host.Take_Notices();
    return true;
}
