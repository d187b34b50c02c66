#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cstdio>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

// The fields of one CSV line (no field of these tests is quoted).
std::vector<std::string> Fields_Of(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1) {
        fields.push_back(line.substr(start, comma - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

// A value as eval prints it. The test links the library, which rounds toward zero.
std::string Printed_As_Eval_Does(const std::string& field)
{
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    char text[32];
    std::snprintf(text, sizeof text, "%g\n", static_cast<double>(std::strtof(field.c_str(), nullptr)));
    std::fesetround(saved);
    return text;
}

// How many runs (subpaths started by "M") the line drawn for a text has.
std::size_t Runs_Of_Line(const std::string& svg, const std::string& text)
{
    const std::size_t series = svg.find("<title>" + text + "</title>\n<path d=\"");
    if (series == std::string::npos) {
        return 0;
    }
    const std::size_t start = svg.find("d=\"", series) + 3;
    const std::string path = svg.substr(start, svg.find('"', start) - start);
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), 'M'));
}

const std::vector<std::string> HELD = {"--set", "Unit.Max_Health=100", "--set", "Enemy.Count=3",
                                       "--set", "Enemy.Strength=2",    "--set", "Unit.Count=1",
                                       "--set", "Unit.Strength=4"};

// One sweep of the sample game: a registered equation, another, a call and a text with a
// division by zero in the middle of the range, at points that are not whole numbers.
TEST(Plot, SampledValuesAreWhatEvalGivesAndFailingPointsAreGaps)
{
    const fs::path work = Fresh_Folder("work");
    const std::vector<std::string> texts = {"Threat_Level", "Retreat_Desire", "Threat_Level{Enemy=Unit}",
                                            "Enemy.Strength / (Unit.Health - 50)"};
    std::vector<std::string> arguments = {"plot"};
    arguments.insert(arguments.end(), texts.begin(), texts.end());
    for (const char* option : {"--root", COGNEXA_SAMPLE_GAME, "--sweep", "Unit.Health=0:100", "--samples", "7",
                                      "-o", "chart.svg", "--csv", "values.csv"}) {
        arguments.push_back(option);
    }
    arguments.insert(arguments.end(), HELD.begin(), HELD.end());
    const ToolRunStruct plot = Run_Tool(arguments, work);
    ASSERT_EQ(plot.Status, 0) << plot.Err;

    const std::vector<std::string> rows = Lines_Of(Read_File(work / "values.csv"));
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], "Unit.Health,Threat_Level,Retreat_Desire,Threat_Level{Enemy=Unit},"
                       "Enemy.Strength / (Unit.Health - 50)");
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const std::vector<std::string> fields = Fields_Of(rows[row]);
        ASSERT_EQ(fields.size(), texts.size() + 1) << rows[row];
        for (std::size_t column = 0; column < texts.size(); ++column) {
            std::vector<std::string> eval = {"eval", texts[column], "--root", COGNEXA_SAMPLE_GAME, "--set",
                                             "Unit.Health=" + fields[0]};
            eval.insert(eval.end(), HELD.begin(), HELD.end());
            const ToolRunStruct run = Run_Tool(eval);
            const std::string& value = fields[column + 1];
            if (value.empty()) {
                EXPECT_EQ(run.Status, 1) << rows[row] << ": a gap where eval gives " << run.Out;
                EXPECT_NE(run.Err.find("division by zero"), std::string::npos) << run.Err;
            } else {
                EXPECT_EQ(run.Out, Printed_As_Eval_Does(value)) << texts[column] << " at Unit.Health=" << fields[0];
            }
        }
    }
    EXPECT_EQ(Fields_Of(rows[4])[0], "50");
    EXPECT_EQ(Fields_Of(rows[4])[4], "") << "the division by zero is a gap, not a value";

    const std::string svg = Read_File(work / "chart.svg");
    EXPECT_EQ(Runs_Of_Line(svg, "Threat_Level"), 1u);
    EXPECT_EQ(Runs_Of_Line(svg, "Enemy.Strength / (Unit.Health - 50)"), 2u) << "the line breaks at the gap";
    for (const char* tick : {">0<", ">20<", ">40<", ">60<", ">80<", ">100<"}) {
        EXPECT_NE(svg.find(tick), std::string::npos) << "round tick label " << tick;
    }
    EXPECT_NE(svg.find("Held: Enemy.Count = 3, Enemy.Strength = 2, Unit.Count = 1"), std::string::npos);
}

// A text with commas or quotes stays one CSV field; "-" is standard output.
TEST(Plot, CsvFieldsHoldTextsWithCommas)
{
    const ToolRunStruct run =
        Run_Tool({"plot", "clamp(Unit.Speed, 0, 1)", "--sweep", "Unit.Speed=-1:2", "--samples", "4", "--csv", "-"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "Unit.Speed,\"clamp(Unit.Speed, 0, 1)\"\n-1,0\n0,0\n1,1\n2,1\n");
}

#if !defined(_WIN32)
// The chart is well-formed XML (expat is strict), also with markup characters and a byte that
// is not UTF-8 in its texts, and a real renderer draws it.
TEST(Plot, ChartIsWellFormedAndRenders)
{
    const fs::path work = Fresh_Folder("work");
    const ToolRunStruct plot = Run_Tool({"plot", "Threat_Level", "Retreat_Desire", "1 / (Unit.Health - 30) < 0",
                                         "--root", COGNEXA_SAMPLE_GAME, "--sweep", "Unit.Health=-20:120",
                                         "--title", "<Threat> & \"retreat\" \xC3\xA9\xFF", "-o", "chart.svg",
                                         "--set", "Unit.Max_Health=100", "--set", "Enemy.Count=3",
                                         "--set", "Enemy.Strength=2"},
                                        work);
    ASSERT_EQ(plot.Status, 0) << plot.Err;
    const std::string svg = "'" + (work / "chart.svg").string() + "'";
    const std::string png = (work / "chart.png").string();
    const std::string parse = "import sys, xml.parsers.expat as x; x.ParserCreate().ParseFile(open(sys.argv[1], 'rb'))";
    EXPECT_EQ(std::system(("python3 -c \"" + parse + "\" " + svg).c_str()), 0) << "expat rejects the chart";
    ASSERT_EQ(std::system(("rsvg-convert -o '" + png + "' " + svg).c_str()), 0)
        << "rsvg-convert (librsvg2-bin) should turn the chart into a PNG";
    EXPECT_EQ(Read_File(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
}
#endif

struct BadCaseStruct {
    const char* Shows;
    std::vector<std::string> Arguments;
    int Status;
    const char* Err;
};

TEST(Plot, BadInputIsRefusedAndWritesNothing)
{
    const std::string root = COGNEXA_SAMPLE_GAME;
    const fs::path work = Fresh_Folder("work");
    Write_File(work / "tokens.txt", "Unit\nSpeed\nHealth\n");
    const std::string tokens = (work / "tokens.txt").string();
    const std::string out = (work / "out.svg").string();
    const BadCaseStruct CASES[] = {
        {"unknown equation", {"plot", "Nothing", "--root", root, "--sweep", "Unit.Health=0:1", "-o", out}, 1,
         "Nothing: no equation named \"Nothing\""},
        {"a name without the game", {"plot", "Threat_Level", "--sweep", "Unit.Health=0:1", "-o", out}, 1,
         "give the game with --root"},
        {"syntax error", {"plot", "Unit.Speed +", "--sweep", "Unit.Speed=0:1", "-o", out}, 1, "syntax error"},
        {"token not in the list", {"plot", "Unit.Speed", "--tokens", tokens, "--sweep", "Unit.Sped=0:1", "-o", out}, 2,
         "unknown token name \"Sped\""},
        {"token no text reads",
         {"plot", "Unit.Speed * 2", "--set", "Unit.Speed=1", "--sweep", "Unit.Sped=0:1", "-o", out}, 1,
         "no text reads Unit.Sped"},
        {"a token without value", {"plot", "Unit.Speed * Unit.Health", "--sweep", "Unit.Speed=0:1", "-o", out}, 1,
         "no value for Unit.Health"},
        {"empty range", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=5:5", "-o", out}, 2, "the range 5:5 is empty"},
        {"reversed range", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=10:-1", "-o", out}, 2, "is reversed"},
        {"range not numeric", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:far", "-o", out}, 2,
         "\"far\" is not a number"},
        {"range beyond a float", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1e39", "-o", out}, 2,
         "\"1e39\" is beyond what a token holds"},
        {"sweep without range", {"plot", "Unit.Speed", "--sweep", "Unit.Speed", "-o", out}, 2,
         "--sweep wants OBJECT.TOKEN=LOW:HIGH"},
        {"held value not numeric", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1", "--set", "Unit.Health=full",
                                    "-o", out}, 2, "\"full\" is not a number"},
        {"swept token also held", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1", "--set", "Unit.Speed=1", "-o",
                                   out}, 2, "cannot also be held"},
        {"no samples", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1", "--samples", "0", "-o", out}, 2,
         "give from 2 to"},
        {"samples not a number", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1", "--samples", "many", "-o", out},
         2, "whole number"},
        {"no sweep", {"plot", "Unit.Speed", "-o", out}, 2, "--sweep OBJECT.TOKEN=LOW:HIGH"},
        {"no output", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1"}, 2, "give an output"},
        {"no text", {"plot", "--sweep", "Unit.Speed=0:1", "-o", out}, 2, "give at least one"},
        {"output cannot be written", {"plot", "Unit.Speed", "--sweep", "Unit.Speed=0:1", "-o",
                                      (work / "missing" / "out.svg").string()}, 1, "cannot write the chart"},
    };
    for (const BadCaseStruct& test : CASES) {
        const ToolRunStruct run = Run_Tool(test.Arguments);
        EXPECT_EQ(run.Status, test.Status) << test.Shows << "\n" << run.Err;
        EXPECT_NE(run.Err.find(test.Err), std::string::npos) << test.Shows << ":\n" << run.Err;
        EXPECT_FALSE(fs::exists(out)) << test.Shows;
    }
}

}  // namespace
