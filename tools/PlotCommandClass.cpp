#include "tools/PlotCommandClass.h"

#include "tools/CommandLineClass.h"
#include "tools/EvaluationSetupClass.h"
#include "tools/EvaluationTargetClass.h"
#include "tools/NearestRoundingScopeClass.h"
#include "tools/SvgPlotWriterClass.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

namespace {

const int DEFAULT_SAMPLES = 101;
const int MOST_SAMPLES = 10000;

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A number a token can hold: finite and within the range of a float; false with why.
bool Parse_Value(const std::string& text, float& value, std::string& why)
{
    const std::string number = Trimmed(text);
    const NearestRoundingScopeClass rounding;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0') {
        why = "\"" + number + "\" is not a number";
        return false;
    }
    if (errno == ERANGE || !std::isfinite(parsed) || std::fabs(parsed) > FLT_MAX) {
        why = "\"" + number + "\" is beyond what a token holds (a 32-bit float)";
        return false;
    }
    value = static_cast<float>(parsed);
    return true;
}

bool Parse_Sweep(const std::string& argument, std::string& path, float& low_value, float& high_value,
                 std::string& error)
{
    const std::size_t equals = argument.find('=');
    const std::size_t colon = argument.find(':', equals == std::string::npos ? 0 : equals);
    path = Trimmed(argument.substr(0, equals));
    const std::string path_dots = "." + path + ".";
    if (equals == std::string::npos || colon == std::string::npos || path.find('.') == std::string::npos ||
        path_dots.find("..") != std::string::npos) {
        error = "--sweep wants OBJECT.TOKEN=LOW:HIGH, not \"" + argument + "\"";
        return false;
    }
    const std::string low = Trimmed(argument.substr(equals + 1, colon - equals - 1));
    const std::string high = Trimmed(argument.substr(colon + 1));
    for (const std::string* end : {&low, &high}) {
        float value = 0;
        std::string why;
        if (!Parse_Value(*end, value, why)) {
            error = "--sweep " + path + ": " + why;
            return false;
        }
        (end == &low ? low_value : high_value) = value;
    }
    const std::string range = low + ":" + high;
    if (low_value == high_value) {
        error = "--sweep " + path + ": the range " + range + " is empty";
        return false;
    }
    if (low_value > high_value) {
        error = "--sweep " + path + ": the range " + range + " is reversed (give the lower end first)";
        return false;
    }
    return true;
}

bool Parse_Samples(const std::string& text, int& samples, std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE) {
        error = "--samples wants a whole number, not \"" + text + "\"";
        return false;
    }
    if (parsed < 2 || parsed > MOST_SAMPLES) {
        error = "--samples " + text + ": give from 2 to " + std::to_string(MOST_SAMPLES) + " samples";
        return false;
    }
    samples = static_cast<int>(parsed);
    return true;
}

// Enough digits that reading the text back gives the same float.
std::string Float_Text(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string Short_Float_Text(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string Csv_Field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char byte : text) {
        quoted += byte == '"' ? std::string("\"\"") : std::string(1, byte);
    }
    return quoted + "\"";
}

// "-" is standard output.
bool Write_Output(const std::string& path, const std::string& bytes)
{
    if (path == "-") {
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    file.close();
    return static_cast<bool>(file);
}

// The game root becomes the current folder, so outputs are named from where the user is.
std::string Output_Path(const std::string& path)
{
    if (path.empty() || path == "-") {
        return path;
    }
    std::error_code failure;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failure);
    return failure ? path : absolute.string();
}

}  // namespace

std::string PlotCommandClass::Usage()
{
    return std::string(
               "usage: cognexa plot TEXT... --sweep OBJECT.TOKEN=LOW:HIGH [-o FILE.svg] [--csv FILE.csv]\n"
               "                    [--samples N] [--title TITLE] [--set TOKEN.PATH=NUMBER]...\n"
               "                    [--root GAME_ROOT] [--tokens FILE] [--database NAME=FILE]...\n"
               "\n"
               "Evaluates each TEXT (an equation text, or with --root an equation of the game or a call\n"
               "text, as cognexa eval does) while one token sweeps a range and the --set tokens hold, and\n"
               "draws the values as an SVG line chart. Points without a value (a division by zero) are\n"
               "gaps in the line.\n"
               "\n"
               "  --sweep Enemy.Distance=0:500\n"
               "                         the token that changes, and its range\n"
               "  -o, --output FILE      write the chart as SVG to FILE (- for standard output)\n"
               "  --csv FILE             write the sampled values as CSV to FILE (- for standard output)\n"
               "  --samples N            how many evenly spaced points, ends included (default " +
               std::to_string(DEFAULT_SAMPLES) +
               ")\n"
               "  --title TITLE          the chart's title (default: the texts and the swept token)\n") +
           EvaluationSetupClass::OPTIONS_USAGE +
           "\n"
           "Exit status: 0 written, 1 a text could not be evaluated or an output not written,\n"
           "2 bad usage.\n";
}

bool PlotCommandClass::Read_Options(const CommandLineClass& line, std::string& error)
{
    Samples = DEFAULT_SAMPLES;
    Svg_Path = Output_Path(line.Get_Value("output"));
    Csv_Path = Output_Path(line.Get_Value("csv"));
    if (line.Get_Positionals().empty()) {
        error = "give at least one equation, equation text or call to plot";
    } else if (line.Get_Values("sweep").size() != 1) {
        error = "give the token to sweep, once, with --sweep OBJECT.TOKEN=LOW:HIGH";
    } else if (!Parse_Sweep(line.Get_Value("sweep"), Swept_Path, Low, High, error)) {
    } else if (line.Has("samples") && !Parse_Samples(line.Get_Value("samples"), Samples, error)) {
    } else if (Svg_Path.empty() && Csv_Path.empty()) {
        error = "give an output: -o FILE.svg for the chart, --csv FILE.csv for the values";
    } else if (Svg_Path == Csv_Path) {
        error = "the chart and the values cannot both go to " + Svg_Path;
    }
    return error.empty();
}

int PlotCommandClass::Resolve_Texts(EvaluationSetupClass& setup, const std::vector<std::string>& texts)
{
    ToolHostClass& host = setup.Get_Host();
    if (host.Get_Context().Values.count(Swept_Path) != 0) {
        std::fprintf(stderr, "cognexa plot: --set %s: the swept token cannot also be held\n", Swept_Path.c_str());
        return 2;
    }
    for (std::size_t start = 0; start < Swept_Path.size();) {
        const std::size_t dot = std::min(Swept_Path.find('.', start), Swept_Path.size());
        const std::string name = Swept_Path.substr(start, dot - start);
        PerceptionTokenType token = -1;
        if (!host.Get_Tokens().String_To_Enum(name, token)) {
            std::fprintf(stderr, "cognexa plot: --sweep %s: unknown token name \"%s\"\n", Swept_Path.c_str(),
                         name.c_str());
            return 2;
        }
        start = dot + 1;
    }

    // Every text resolves, and every token it reads has a value, before anything is drawn.
    Targets.resize(texts.size());
    std::vector<bool> reads_sweep(texts.size(), true);
    bool resolved = true;
    for (std::size_t index = 0; index < texts.size(); ++index) {
        std::string failure;
        float value = 0;
        if (!Targets[index].Resolve(host, texts[index], setup.Has_Root(), failure)) {
            std::fprintf(stderr, "cognexa plot: %s: %s\n", texts[index].c_str(), failure.c_str());
            resolved = false;
            continue;
        }
        // The swept token has no value yet, so an evaluation that reads it stops there.
        const EvaluationTargetClass::OutcomeType outcome = Targets[index].Evaluate(host, value, failure);
        if (outcome == EvaluationTargetClass::OUTCOME_NO_TOKEN_VALUE && host.Get_Missing_Value() != Swept_Path) {
            std::fprintf(stderr, "cognexa plot: %s: %s\n", texts[index].c_str(), failure.c_str());
            resolved = false;
        }
        reads_sweep[index] = outcome != EvaluationTargetClass::OUTCOME_VALUE;
    }
    if (!resolved) {
        return 1;
    }
    if (std::find(reads_sweep.begin(), reads_sweep.end(), true) == reads_sweep.end()) {
        std::fprintf(stderr,
                     "cognexa plot: no text reads %s, so nothing changes along the sweep (is the name right?)\n",
                     Swept_Path.c_str());
        return 1;
    }
    for (std::size_t index = 0; index < texts.size(); ++index) {
        if (!reads_sweep[index]) {
            std::fprintf(stderr, "cognexa plot: note: %s does not read %s: its line is flat\n", texts[index].c_str(),
                         Swept_Path.c_str());
        }
    }
    return 0;
}

// Evaluated as the game evaluates, with the library's rounding; the points themselves are
// spaced with round to nearest.
int PlotCommandClass::Sample(ToolHostClass& host)
{
    {
        const NearestRoundingScopeClass rounding;
        const double step = (static_cast<double>(High) - Low) / (Samples - 1);
        for (int sample = 0; sample + 1 < Samples; ++sample) {
            Plot.X.push_back(static_cast<float>(Low + step * sample));
        }
        Plot.X.push_back(High);
    }
    for (const EvaluationTargetClass& target : Targets) {
        Plot.Series.push_back(SvgPlotWriterClass::SeriesStruct{target.Get_Text(), {}, {}});
    }
    std::map<std::string, float>& values = host.Get_Context().Values;
    for (const double x : Plot.X) {
        values[Swept_Path] = static_cast<float>(x);
        for (std::size_t index = 0; index < Targets.size(); ++index) {
            float value = 0;
            std::string failure;
            const EvaluationTargetClass::OutcomeType outcome = Targets[index].Evaluate(host, value, failure);
            if (outcome == EvaluationTargetClass::OUTCOME_NO_TOKEN_VALUE) {
                std::fprintf(stderr, "cognexa plot: %s: %s\n", Targets[index].Get_Text().c_str(), failure.c_str());
                return 1;
            }
            Plot.Series[index].Values.push_back(value);
            Plot.Series[index].Has_Value.push_back(outcome == EvaluationTargetClass::OUTCOME_VALUE);
        }
    }
    values.erase(Swept_Path);

    const NearestRoundingScopeClass rounding;
    std::string held;
    for (const auto& value : values) {
        held += (held.empty() ? "Held: " : ", ") + value.first + " = " + Short_Float_Text(value.second);
    }
    Plot.Notes.push_back(held.empty() ? "No other token is held" : held);
    bool any_gap = false;
    for (const SvgPlotWriterClass::SeriesStruct& series : Plot.Series) {
        const auto gaps = static_cast<std::size_t>(std::count(series.Has_Value.begin(), series.Has_Value.end(), false));
        any_gap = any_gap || gaps != 0;
        if (gaps == Plot.X.size()) {
            std::fprintf(stderr, "cognexa plot: note: %s has no value anywhere in the range\n", series.Name.c_str());
        }
    }
    if (any_gap) {
        Plot.Notes.push_back("A break in a line: no value there (a division by zero)");
    }
    return 0;
}

std::string PlotCommandClass::Csv_Text() const
{
    std::string csv = Csv_Field(Swept_Path);
    for (const EvaluationTargetClass& target : Targets) {
        csv += "," + Csv_Field(target.Get_Text());
    }
    csv += "\n";
    for (std::size_t sample = 0; sample < Plot.X.size(); ++sample) {
        csv += Float_Text(static_cast<float>(Plot.X[sample]));
        for (const SvgPlotWriterClass::SeriesStruct& series : Plot.Series) {
            const float value = static_cast<float>(series.Values[sample]);
            csv += "," + (series.Has_Value[sample] ? Float_Text(value) : std::string());
        }
        csv += "\n";
    }
    return csv;
}

int PlotCommandClass::Write_Outputs(const std::string& title)
{
    const NearestRoundingScopeClass rounding;
    if (title.empty()) {
        for (const EvaluationTargetClass& target : Targets) {
            Plot.Title += (Plot.Title.empty() ? "" : ", ") + target.Get_Text();
        }
        Plot.Title += " over " + Swept_Path;
    } else {
        Plot.Title = title;
    }
    Plot.X_Label = Swept_Path;
    Plot.Y_Label = "Value";
    int status = 0;
    if (!Svg_Path.empty() && !Write_Output(Svg_Path, SvgPlotWriterClass::Write(Plot))) {
        std::fprintf(stderr, "cognexa plot: %s: cannot write the chart\n", Svg_Path.c_str());
        status = 1;
    }
    if (!Csv_Path.empty() && !Write_Output(Csv_Path, Csv_Text())) {
        std::fprintf(stderr, "cognexa plot: %s: cannot write the values\n", Csv_Path.c_str());
        status = 1;
    }
    return status;
}

int PlotCommandClass::Run(const std::vector<std::string>& arguments)
{
    CommandLineClass line;
    const std::vector<CommandLineClass::OptionStruct> options = EvaluationSetupClass::Options_With(
        {{"sweep", true}, {"samples", true}, {"output", true, 'o'}, {"csv", true}, {"title", true}});
    const int parsed = line.Parse_Or_Exit("plot", arguments, options, Usage());
    if (parsed >= 0) {
        return parsed;
    }
    std::string error;
    if (!Read_Options(line, error)) {
        std::fprintf(stderr, "cognexa plot: %s\n%s", error.c_str(), Usage().c_str());
        return 2;
    }
    EvaluationSetupClass setup;
    if (!setup.Prepare(line, "plot", error)) {
        std::fprintf(stderr, "cognexa plot: %s\n", error.c_str());
        return 2;
    }
    int status = Resolve_Texts(setup, line.Get_Positionals());
    status = status != 0 ? status : Sample(setup.Get_Host());
    status = status != 0 ? status : Write_Outputs(line.Get_Value("title"));
    // The equations the targets name go with the registry when the setup ends.
    Targets.clear();
    return status;
}
