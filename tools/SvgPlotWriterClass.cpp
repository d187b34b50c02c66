#include "tools/SvgPlotWriterClass.h"

#include "tools/PlotAxisClass.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const double WIDTH = 800;
const double CHART_HEIGHT = 440;  // with one line of title and none of notes
const double MARGIN = 24;
const double CHAR_WIDTH = 0.6;  // of the font size, for a sans-serif face
const char FONT[] = "DejaVu Sans, Verdana, Arial, Helvetica, sans-serif";

// Colours told apart also by colour-blind readers; after them lines repeat dashed.
const char* const COLOURS[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7", "#E69F00", "#56B4E9", "#000000"};
const char* const DASHES[] = {"", "7 4", "2 3"};

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::size_t Characters_Of(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char byte) { return (byte & 0xC0) != 0x80; }));
}

// At most that many characters, the last an ellipsis when cut.
std::string Shortened(const std::string& text, std::size_t limit)
{
    if (Characters_Of(text) <= limit) {
        return text;
    }
    std::size_t kept = 0;
    std::size_t end = 0;
    while (end < text.size() && (kept < limit - 1 || (text[end] & 0xC0) == 0x80)) {
        kept += (text[end] & 0xC0) != 0x80;
        ++end;
    }
    return text.substr(0, end) + "\xE2\x80\xA6";
}

// Text as XML character data: markup characters escaped, control characters and bytes that are
// not UTF-8 replaced, so any argument yields a well-formed document.
std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            switch (byte) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += byte < 0x20 ? ' ' : static_cast<char>(byte);
            }
            continue;
        }
        const std::size_t length = byte >= 0xF0 && byte < 0xF5 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        bool valid = length != 0 && byte < 0xF5 && at + length <= text.size();
        for (std::size_t next = 1; valid && next < length; ++next) {
            valid = (text[at + next] & 0xC0) == 0x80;
        }
        // No overlong forms, surrogates or values beyond U+10FFFF.
        if (valid && length >= 3) {
            const unsigned char second = static_cast<unsigned char>(text[at + 1]);
            valid = !(byte == 0xE0 && second < 0xA0) && !(byte == 0xED && second >= 0xA0) &&
                    !(byte == 0xF0 && second < 0x90) && !(byte == 0xF4 && second >= 0x90);
        }
        if (!valid) {
            escaped += "\xEF\xBF\xBD";
            continue;
        }
        escaped.append(text, at, length);
        at += length - 1;
    }
    return escaped;
}

// The label with a true minus sign, which reads better than a hyphen.
std::string Label_Text(const std::string& label)
{
    return !label.empty() && label[0] == '-' ? "\xE2\x88\x92" + label.substr(1) : label;
}

// At most max_lines lines of at most limit characters, broken after ", " or else at a blank
// where possible; what does not fit ends in an ellipsis.
std::vector<std::string> Wrapped(const std::string& text, std::size_t limit, std::size_t max_lines)
{
    std::vector<std::string> lines;
    std::string rest = text;
    while (Characters_Of(rest) > limit && lines.size() + 1 < max_lines) {
        std::size_t cut = rest.rfind(", ", limit);
        std::size_t skip = 2;
        if (cut == std::string::npos || cut < limit / 2) {
            cut = rest.rfind(' ', limit);
            skip = 1;
        }
        if (cut == std::string::npos || cut == 0) {
            break;
        }
        lines.push_back(rest.substr(0, skip == 2 ? cut + 1 : cut));
        rest = rest.substr(cut + skip);
    }
    lines.push_back(Shortened(rest, limit));
    return lines;
}

std::string Text_Element(double x, double y, const std::string& attributes, const std::string& text)
{
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"" + attributes + ">" + Escaped(text) + "</text>\n";
}

}  // namespace

std::string SvgPlotWriterClass::Write(const PlotStruct& plot)
{
    const std::vector<std::string> title =
        Wrapped(plot.Title, static_cast<std::size_t>((WIDTH - 2 * MARGIN) / (CHAR_WIDTH * 18)), 2);
    const std::size_t note_limit = static_cast<std::size_t>((WIDTH - 2 * MARGIN) / (CHAR_WIDTH * 12.5));
    std::vector<std::string> notes;
    for (const std::string& note : plot.Notes) {
        for (const std::string& line : Wrapped(note, note_limit, 3)) {
            notes.push_back(line);
        }
    }
    const double notes_y = 32 + 22 * static_cast<double>(title.size());
    const double top = notes_y + 17 * static_cast<double>(notes.size()) + 4;
    const double height = CHART_HEIGHT + top - 60;

    // Legend names, and the widest of their lines, set the legend's width.
    std::vector<std::vector<std::string>> names;
    double legend_width = 0;
    for (const SeriesStruct& series : plot.Series) {
        names.push_back(Wrapped(series.Name, 28, 3));
        for (const std::string& name_line : names.back()) {
            legend_width = std::max(legend_width, CHAR_WIDTH * 13 * Characters_Of(name_line));
        }
    }
    legend_width = std::min(std::max(legend_width + 36, 120.0), 260.0);

    double low = 0;
    double high = 0;
    bool any_value = false;
    for (const SeriesStruct& series : plot.Series) {
        for (std::size_t index = 0; index < series.Values.size(); ++index) {
            if (series.Has_Value[index] && std::isfinite(series.Values[index])) {
                low = any_value ? std::min(low, series.Values[index]) : series.Values[index];
                high = any_value ? std::max(high, series.Values[index]) : series.Values[index];
                any_value = true;
            }
        }
    }
    const PlotAxisClass y_axis = any_value ? PlotAxisClass::Around(low, high, 6) : PlotAxisClass::Around(0, 1, 6);
    const PlotAxisClass x_axis = PlotAxisClass::Within(plot.X.front(), plot.X.back(), 7);

    std::size_t y_label_characters = 0;
    for (double tick : y_axis.Get_Ticks()) {
        y_label_characters = std::max(y_label_characters, Characters_Of(y_axis.Label_Of(tick)));
    }
    const double left = MARGIN + 26 + 8 + CHAR_WIDTH * 12 * y_label_characters;
    const double right = WIDTH - MARGIN - legend_width - 16;
    const double bottom = height - 58;
    const auto x_of = [&](double value) { return left + x_axis.Fraction_Of(value) * (right - left); };
    // Values keep clear of the frame, so a line at the lowest tick does not hide in the axis.
    const double inset = 8;
    const auto y_of = [&](double value) {
        return bottom - inset - y_axis.Fraction_Of(value) * (bottom - top - 2 * inset);
    };

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(WIDTH) + "\" height=\"" + Number(height) +
           "\" viewBox=\"0 0 " + Number(WIDTH) + " " + Number(height) + "\" font-family=\"" + FONT + "\">\n";
    svg += "<title>" + Escaped(plot.Title) + "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    for (std::size_t index = 0; index < title.size(); ++index) {
        svg += Text_Element(MARGIN, 32 + 22 * static_cast<double>(index),
                            " font-size=\"18\" font-weight=\"bold\" fill=\"#222222\"", title[index]);
    }
    for (std::size_t index = 0; index < notes.size(); ++index) {
        svg += Text_Element(MARGIN, notes_y + 17 * static_cast<double>(index), " font-size=\"12.5\" fill=\"#555555\"",
                            notes[index]);
    }

    // Grid, then axes and their labels.
    svg += "<g stroke=\"#e3e3e3\" stroke-width=\"1\">\n";
    for (double tick : x_axis.Get_Ticks()) {
        svg += "<line x1=\"" + Number(x_of(tick)) + "\" y1=\"" + Number(top) + "\" x2=\"" + Number(x_of(tick)) +
               "\" y2=\"" + Number(bottom) + "\"/>\n";
    }
    for (double tick : y_axis.Get_Ticks()) {
        svg += "<line x1=\"" + Number(left) + "\" y1=\"" + Number(y_of(tick)) + "\" x2=\"" + Number(right) +
               "\" y2=\"" + Number(y_of(tick)) + "\"/>\n";
    }
    svg += "</g>\n";
    if (y_axis.Get_Low() < 0 && y_axis.Get_High() > 0) {
        svg += "<line x1=\"" + Number(left) + "\" y1=\"" + Number(y_of(0)) + "\" x2=\"" + Number(right) + "\" y2=\"" +
               Number(y_of(0)) + "\" stroke=\"#9a9a9a\" stroke-width=\"1\"/>\n";
    }
    svg += "<path d=\"M" + Number(left) + " " + Number(top) + "V" + Number(bottom) + "H" + Number(right) +
           "\" fill=\"none\" stroke=\"#333333\" stroke-width=\"1.2\"/>\n";
    svg += "<g font-size=\"12\" fill=\"#333333\">\n";
    for (double tick : x_axis.Get_Ticks()) {
        svg += "<line x1=\"" + Number(x_of(tick)) + "\" y1=\"" + Number(bottom) + "\" x2=\"" + Number(x_of(tick)) +
               "\" y2=\"" + Number(bottom + 5) + "\" stroke=\"#333333\"/>\n";
        svg += Text_Element(x_of(tick), bottom + 19, " text-anchor=\"middle\"", Label_Text(x_axis.Label_Of(tick)));
    }
    for (double tick : y_axis.Get_Ticks()) {
        svg += "<line x1=\"" + Number(left - 5) + "\" y1=\"" + Number(y_of(tick)) + "\" x2=\"" + Number(left) +
               "\" y2=\"" + Number(y_of(tick)) + "\" stroke=\"#333333\"/>\n";
        svg += Text_Element(left - 8, y_of(tick) + 4, " text-anchor=\"end\"", Label_Text(y_axis.Label_Of(tick)));
    }
    svg += "</g>\n";
    svg += Text_Element((left + right) / 2, bottom + 44, " font-size=\"13\" text-anchor=\"middle\" fill=\"#222222\"",
                        plot.X_Label);
    const double y_title_x = MARGIN + 6;
    const double y_title_y = (top + bottom) / 2;
    svg += Text_Element(y_title_x, y_title_y,
                        " font-size=\"13\" text-anchor=\"middle\" fill=\"#222222\" transform=\"rotate(-90 " +
                            Number(y_title_x) + " " + Number(y_title_y) + ")\"",
                        plot.Y_Label);

    // The lines, clipped to the chart; a run of values is one path, a lone value a dot.
    svg += "<clipPath id=\"chart\"><rect x=\"" + Number(left) + "\" y=\"" + Number(top - 2) + "\" width=\"" +
           Number(right - left) + "\" height=\"" + Number(bottom - top + 4) + "\"/></clipPath>\n";
    const std::size_t colour_count = sizeof COLOURS / sizeof COLOURS[0];
    double legend_y = top + 10;
    for (std::size_t number = 0; number < plot.Series.size(); ++number) {
        const SeriesStruct& series = plot.Series[number];
        const std::string colour = COLOURS[number % colour_count];
        const std::string dash = DASHES[number / colour_count % (sizeof DASHES / sizeof DASHES[0])];
        const std::string dash_attribute = dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\"";
        std::string path;
        std::string dots;
        std::size_t gaps = 0;
        for (std::size_t index = 0; index < plot.X.size(); ++index) {
            const bool here = series.Has_Value[index] && std::isfinite(series.Values[index]);
            if (!here) {
                ++gaps;
                continue;
            }
            const bool before = index > 0 && series.Has_Value[index - 1] && std::isfinite(series.Values[index - 1]);
            const bool after = index + 1 < plot.X.size() && series.Has_Value[index + 1] &&
                               std::isfinite(series.Values[index + 1]);
            const std::string point = Number(x_of(plot.X[index])) + " " + Number(y_of(series.Values[index]));
            if (!before && !after) {
                dots += "<circle cx=\"" + Number(x_of(plot.X[index])) + "\" cy=\"" +
                        Number(y_of(series.Values[index])) + "\" r=\"2.5\"/>";
                continue;
            }
            path += (before ? "L" : "M") + point;
        }
        svg += "<g clip-path=\"url(#chart)\" fill=\"" + colour + "\">\n<title>" + Escaped(series.Name) + "</title>\n";
        if (!path.empty()) {
            svg += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + colour +
                   "\" stroke-width=\"2.2\" stroke-linejoin=\"round\" stroke-linecap=\"round\"" + dash_attribute +
                   "/>\n";
        }
        if (!dots.empty()) {
            svg += dots + "\n";
        }
        svg += "</g>\n";

        const double legend_x = WIDTH - MARGIN - legend_width;
        svg += "<line x1=\"" + Number(legend_x) + "\" y1=\"" + Number(legend_y - 4) + "\" x2=\"" +
               Number(legend_x + 24) + "\" y2=\"" + Number(legend_y - 4) + "\" stroke=\"" + colour +
               "\" stroke-width=\"3\"" + dash_attribute + "/>\n";
        for (const std::string& name_line : names[number]) {
            svg += Text_Element(legend_x + 32, legend_y, " font-size=\"13\" fill=\"#222222\"", name_line);
            legend_y += 16;
        }
        if (gaps != 0) {
            const std::string count = gaps == plot.X.size() ? "no value anywhere"
                                                            : "no value at " + std::to_string(gaps) + " of " +
                                                                  std::to_string(plot.X.size()) + " points";
            svg += Text_Element(legend_x + 32, legend_y, " font-size=\"11\" fill=\"#777777\"", count);
            legend_y += 14;
        }
        legend_y += 8;
    }
    svg += "</svg>\n";
    return svg;
}
