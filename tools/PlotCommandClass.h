#ifndef COGNEXA_TOOLS_PLOT_COMMAND_CLASS_H
#define COGNEXA_TOOLS_PLOT_COMMAND_CLASS_H

#include "tools/EvaluationTargetClass.h"
#include "tools/SvgPlotWriterClass.h"

#include <string>
#include <vector>

class CommandLineClass;
class EvaluationSetupClass;
class ToolHostClass;

// cognexa plot TEXT... --sweep OBJECT.TOKEN=LOW:HIGH: evaluates each text (as eval does) at
// evenly spaced values of one token while the --set tokens hold, and draws the values as an
// SVG line chart and/or writes them as CSV.
class PlotCommandClass {
public:
    static std::string Usage();

    int Run(const std::vector<std::string>& arguments);

private:
    // The sweep, the samples and the outputs; false with why for bad usage.
    bool Read_Options(const CommandLineClass& line, std::string& error);
    // Resolves the texts and makes sure each can be evaluated; 0, or the exit status.
    int Resolve_Texts(EvaluationSetupClass& setup, const std::vector<std::string>& texts);
    // Evaluates every text at every point; 0, or the exit status.
    int Sample(ToolHostClass& host);
    std::string Csv_Text() const;
    int Write_Outputs(const std::string& title);

    std::string Swept_Path;
    float Low = 0;
    float High = 0;
    int Samples = 0;
    std::string Svg_Path;
    std::string Csv_Path;
    std::vector<EvaluationTargetClass> Targets;
    SvgPlotWriterClass::PlotStruct Plot;
};

#endif
