#ifndef COGNEXA_TOOLS_EVALUATION_SETUP_CLASS_H
#define COGNEXA_TOOLS_EVALUATION_SETUP_CLASS_H

#include "tools/CommandLineClass.h"
#include "tools/GameSessionClass.h"
#include "tools/ToolHostClass.h"

#include <string>
#include <vector>

// What the evaluating commands share: the token list (--tokens), the databases (--database),
// the token values (--set) and, with --root, the game's equations, handed to the library.
class EvaluationSetupClass {
public:
    // Their options' lines for a usage text.
    static const char OPTIONS_USAGE[];

    // The shared options followed by the command's own.
    static std::vector<CommandLineClass::OptionStruct> Options_With(
        const std::vector<CommandLineClass::OptionStruct>& own);

    // False, with why in error, when an option is unusable (bad usage). A game whose equation
    // files do not all load is still usable: a note for the command goes to stderr.
    bool Prepare(const CommandLineClass& line, const std::string& command, std::string& error);

    ToolHostClass& Get_Host() { return Host; }
    bool Has_Root() const { return Root; }

private:
    ToolHostClass Host;
    GameSessionClass Session;  // after Host: shuts the registry down while the host is installed
    bool Root = false;
};

#endif
