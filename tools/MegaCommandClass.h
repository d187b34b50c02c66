#ifndef COGNEXA_TOOLS_MEGA_COMMAND_CLASS_H
#define COGNEXA_TOOLS_MEGA_COMMAND_CLASS_H

#include <string>
#include <vector>

class CommandLineClass;

// cognexa mega list|extract|create|verify: mega files read with the library's archive class
// and written with its archive writer.
class MegaCommandClass {
public:
    static const char USAGE[];

    int Run(const std::vector<std::string>& arguments);

private:
    int List(const CommandLineClass& line);
    int Extract(const CommandLineClass& line);
    int Create(const CommandLineClass& line);
    int Verify(const CommandLineClass& line);
};

#endif
