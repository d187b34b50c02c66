#include "tools/PlotAxisClass.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The round number (1, 2 or 5 times a power of ten) nearest to the value, or the one at or
// above it.
double Nice_Number(double value, bool nearest)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    const double fraction = value / power;
    double nice = 10;
    if (nearest) {
        nice = fraction < 1.5 ? 1 : fraction < 3 ? 2 : fraction < 7 ? 5 : 10;
    } else {
        nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
    }
    return nice * power;
}

double Nice_Step(double low, double high, int tick_goal)
{
    return Nice_Number(Nice_Number(high - low, false) / std::max(tick_goal - 1, 1), true);
}

}  // namespace

PlotAxisClass::PlotAxisClass(double low, double high, double step) : Low(low), High(high), Step(step)
{
    // Ticks are counted in whole steps, so no rounding error accumulates along the axis. The
    // step is a fraction of the range, so a handful of ticks is all there ever is; the bound
    // only guards the loop.
    const double tolerance = step * 1e-6;
    const double first = std::ceil((low - tolerance) / step);
    for (double index = first; index * step <= high + tolerance && Ticks.size() < 50; index += 1) {
        const double tick = index * step;
        Ticks.push_back(std::fabs(tick) < tolerance ? 0.0 : tick);
    }
}

PlotAxisClass PlotAxisClass::Around(double low, double high, int tick_goal)
{
    if (!(high - low > std::max(std::fabs(low), std::fabs(high)) * 1e-6)) {
        const double middle = (low + high) / 2;
        const double half = middle == 0 ? 1 : std::fabs(middle) / 2;
        low = middle - half;
        high = middle + half;
    }
    const double step = Nice_Step(low, high, tick_goal);
    return PlotAxisClass(std::floor(low / step) * step, std::ceil(high / step) * step, step);
}

PlotAxisClass PlotAxisClass::Within(double low, double high, int tick_goal)
{
    return PlotAxisClass(low, high, Nice_Step(low, high, tick_goal));
}

std::string PlotAxisClass::Label_Of(double tick) const
{
    char text[64];
    const double magnitude = std::max(std::fabs(Low), std::fabs(High));
    if (magnitude >= 1e7 || Step < 1e-5) {
        std::snprintf(text, sizeof text, "%.6g", tick);
    } else {
        const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(Step) + 1e-9)));
        std::snprintf(text, sizeof text, "%.*f", decimals, tick);
    }
    return text;
}
