#ifndef COGNEXA_TOOLS_PLOT_AXIS_CLASS_H
#define COGNEXA_TOOLS_PLOT_AXIS_CLASS_H

#include <string>
#include <vector>

// One axis of a plot: its range and round ticks, each step 1, 2 or 5 times a power of ten, so
// labels read 0, 100, 200 rather than 0, 83.3, 166.7.
class PlotAxisClass {
public:
    // The range widened to the ticks just outside the values, as for measured values. An empty
    // range (one value) is widened around it.
    static PlotAxisClass Around(double low, double high, int tick_goal);
    // The range as given, with the round ticks inside it, as for a range the user chose.
    static PlotAxisClass Within(double low, double high, int tick_goal);

    double Get_Low() const { return Low; }
    double Get_High() const { return High; }
    const std::vector<double>& Get_Ticks() const { return Ticks; }
    // A tick's label, with as many decimals as the step needs.
    std::string Label_Of(double tick) const;
    // Where a value lies: 0 at the low end, 1 at the high end.
    double Fraction_Of(double value) const { return (value - Low) / (High - Low); }

private:
    PlotAxisClass(double low, double high, double step);

    double Low;
    double High;
    double Step;
    std::vector<double> Ticks;
};

#endif
