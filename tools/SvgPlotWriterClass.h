#ifndef COGNEXA_TOOLS_SVG_PLOT_WRITER_CLASS_H
#define COGNEXA_TOOLS_SVG_PLOT_WRITER_CLASS_H

#include <string>
#include <vector>

// A line chart as an SVG document: a title, notes under it, axes with round ticks and a grid,
// one line per series with a legend beside the chart. Points without a value are left out, so
// a line breaks there instead of dropping to zero.
class SvgPlotWriterClass {
public:
    struct SeriesStruct {
        std::string Name;
        std::vector<double> Values;   // one per point of the X values
        std::vector<bool> Has_Value;  // false where the point has no value (a gap)
    };

    struct PlotStruct {
        std::string Title;
        std::vector<std::string> Notes;  // short lines under the title
        std::string X_Label;
        std::string Y_Label;
        std::vector<double> X;  // rising
        std::vector<SeriesStruct> Series;
    };

    static std::string Write(const PlotStruct& plot);
};

#endif
