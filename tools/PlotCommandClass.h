#ifndef COGNEXA_TOOLS_PLOT_COMMAND_CLASS_H
#define COGNEXA_TOOLS_PLOT_COMMAND_CLASS_H

#include <string>
#include <vector>

// cognexa plot TEXT... --sweep OBJECT.TOKEN=LOW:HIGH: evaluates each text (as eval does) at
// evenly spaced values of one token while the --set tokens hold, and draws the values as an
// SVG line chart and/or writes them as CSV.
class PlotCommandClass {
public:
    static std::string Usage();

    int Run(const std::vector<std::string>& arguments);
};

#endif
