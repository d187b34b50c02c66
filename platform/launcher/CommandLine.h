#ifndef VESTIBAR_COMMAND_LINE_H
#define VESTIBAR_COMMAND_LINE_H

#include <string>
#include <vector>

// Parameters written for Windows, split into arguments as a Windows program's start-up code
// splits its command line: blanks separate, double quotes group, "" inside quotes is a quote,
// and backslashes escape a quote only when they stand right before it.
std::vector<std::string> Split_Windows_Command_Line(const std::string& line);

#endif
