#include "ToolTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace {

const char SAMPLE_TOKENS[] =
    "Unit\nEnemy\nPlayer\nGame\nCount\nStrength\nHealth\nMax_Health\nAttack\nSpeed\nDistance\nCredits\n"
    "Difficulty\nUnits_Of_Type\nHas_Upgrade\nType\nUpgrade\n";
const char SAMPLE_UNIT_TYPES[] = "Infantry\nScout_Bike\nHeavy_Tank\nArtillery\n";
const char EQUATIONS[] = "Data/XML/AI/PerceptualEquations/";

bool Has_Line(const std::string& text, const std::string& line)
{
    for (const std::string& candidate : Lines_Of(text)) {
        if (candidate == line) {
            return true;
        }
    }
    return false;
}

// A folder with the sample game's token and database lists.
fs::path Game_Lists()
{
    const fs::path lists = Fresh_Folder("lists");
    Write_File(lists / "tokens.txt", SAMPLE_TOKENS);
    Write_File(lists / "unit_types.txt", SAMPLE_UNIT_TYPES);
    return lists;
}

std::vector<std::string> Check_Arguments(const fs::path& root, const fs::path& lists)
{
    return {"check", root.string(), "--tokens", (lists / "tokens.txt").string(), "--database",
            "UnitTypes=" + (lists / "unit_types.txt").string()};
}

TEST(CheckCleanGame, TheSampleGameHasNoProblemsWithAndWithoutTheGamesNames)
{
    const fs::path lists = Game_Lists();
    ToolRunStruct run = Run_Tool(Check_Arguments(COGNEXA_SAMPLE_GAME, lists));
    EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
    EXPECT_EQ(run.Out, "");

    run = Run_Tool({"check"}, COGNEXA_SAMPLE_GAME);
    EXPECT_EQ(run.Status, 0) << run.Out << run.Err;

    run = Run_Tool({"check", COGNEXA_SAMPLE_GAME, "--json"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(nlohmann::json::parse(run.Out), nlohmann::json::parse(R"({"problems": [], "count": 0})"));
}

// One fault of each kind, planted at known places (lines and columns count from 1; the
// elements are indented with a tab).
const char FAULTS_XML[] =
    "<?xml version=\"1.0\"?>\n"
    "<Faults>\n"
    "\t<Threat_Level>Unit.Speed * 2</Threat_Level>\n"
    "\t<Broken>\n"
    "\t\tUnit.Speed + ;\n"
    "\t</Broken>\n"
    "\t<Typo>Unit.Sped * 2</Typo>\n"
    "\t<Weapon>Weapons[Laser] + 1</Weapon>\n"
    "\t<Hover>UnitTypes[Hover_Tank] <!-- not built yet --> * Enemy.Count</Hover>\n"
    "\t<Biggest>max(1, 2)</Biggest>\n"
    "\t<Spaced>clamp (1, 2, 3)</Spaced>\n"
    "</Faults>\n";

const char SECOND_XML[] =
    "<?xml version=\"1.0\"?>\n"
    "<More>\n"
    "  <Threat_Level>Enemy.Count</Threat_Level>\n"
    "</More>\n";

const char BAD_XML[] =
    "<?xml version=\"1.0\"?>\n"
    "<R><A>1</a></R>\n";

const char PACKED_XML[] =
    "<?xml version=\"1.0\"?>\n"
    "<Packed>\n"
    "  <Colour>Enemy.Colour</Colour>\n"
    "</Packed>\n";

fs::path Faulty_Game()
{
    const fs::path root = Fresh_Folder("game");
    Write_File(root / EQUATIONS / "Faults.xml", FAULTS_XML);
    Write_File(root / EQUATIONS / "Second.xml", SECOND_XML);
    Write_File(root / EQUATIONS / "Bad.xml", BAD_XML);
    Write_File(root / "packed" / EQUATIONS / "Packed.xml", PACKED_XML);
    Write_File(root / "Data" / "MegaFiles.xml", "<?xml version=\"1.0\"?>\n<M><F>Data\\Packed.meg</F></M>\n");
    EXPECT_EQ(Run_Tool({"mega", "create", "Data/Packed.meg", "packed"}, root).Status, 0);
    fs::remove_all(root / "packed");
    return root;
}

struct PlantedFaultStruct {
    const char* Fault;
    std::string Line;  // the whole report line
};

TEST(CheckPlantedFaults, EachIsFoundWithItsFileEquationPlaceAndCause)
{
    const std::string faults = std::string(EQUATIONS) + "Faults.xml";
    const PlantedFaultStruct PLANTED[] = {
        {"syntax error", faults + ":5:16: Broken: syntax error: parsing stopped here"},
        {"unknown token", faults + ":7:13: Typo: unknown token name \"Sped\""},
        {"unknown database", faults + ":8:10: Weapon: unknown database \"Weapons\""},
        {"unknown object past a comment", faults + ":9:19: Hover: unknown object \"Hover_Tank\" in database \"UnitTypes\""},
        {"unknown function", faults + ":10:11: Biggest: unknown function \"max\" (the only function is clamp)"},
        {"blank before a call's parenthesis",
         faults + ":11:10: Spaced: unknown function \"clamp \": no blank may stand before its \"(\""},
        {"duplicate", std::string(EQUATIONS) + "Second.xml:3:3: Threat_Level: duplicate equation name; first defined at " +
                          faults + ":3:2"},
        {"XML reader", std::string(EQUATIONS) + "Bad.xml: XML reader: file has syntax errors, see log file"},
        {"archive member", std::string(EQUATIONS) + "PACKED.XML (in Data/Packed.meg):3:17: Colour: unknown token name "
                                                    "\"Colour\""},
    };
    const fs::path root = Faulty_Game();
    const ToolRunStruct run = Run_Tool(Check_Arguments(root, Game_Lists()));
    EXPECT_EQ(run.Status, 1);
    for (const PlantedFaultStruct& planted : PLANTED) {
        EXPECT_TRUE(Has_Line(run.Out, planted.Line)) << planted.Fault << ": " << planted.Line << "\nin:\n" << run.Out;
    }
    EXPECT_EQ(Lines_Of(run.Out).size(), std::size(PLANTED) + 2) << "one line a problem, two more for the caret";
    EXPECT_NE(run.Out.find("\t\tUnit.Speed + ;\n    \t\t             ^\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find("9 problems"), std::string::npos) << run.Err;
}

TEST(CheckPlantedFaults, ReportIsSortedByFileAndWrittenToTheErrorsFile)
{
    const fs::path root = Faulty_Game();
    std::vector<std::string> arguments = Check_Arguments(root, Game_Lists());
    const fs::path errors = root.parent_path() / "PerceptionErrors.txt";
    arguments.push_back("--errors-file");
    arguments.push_back(errors.string());
    const ToolRunStruct run = Run_Tool(arguments, root.parent_path());
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(Read_File(errors), run.Out);

    std::string previous;
    for (const std::string& line : Lines_Of(run.Out)) {
        if (line.compare(0, 4, "    ") == 0) {
            continue;  // a source line or its caret
        }
        const std::string file = line.substr(0, line.find(':'));
        EXPECT_LE(previous, file) << run.Out;
        previous = file;
    }
}

TEST(CheckPlantedFaults, JsonCarriesTheSameFindings)
{
    const fs::path root = Faulty_Game();
    std::vector<std::string> arguments = Check_Arguments(root, Game_Lists());
    arguments.push_back("--json");
    const ToolRunStruct run = Run_Tool(arguments);
    EXPECT_EQ(run.Status, 1);
    const nlohmann::json report = nlohmann::json::parse(run.Out);
    EXPECT_EQ(report["count"], 9) << run.Out;
    const nlohmann::json broken = nlohmann::json::parse(R"({"file": "Data/XML/AI/PerceptualEquations/Faults.xml",
        "archive": null, "equation": "Broken", "line": 5, "column": 16, "kind": "syntax",
        "message": "syntax error: parsing stopped here", "source": "\t\tUnit.Speed + ;"})");
    bool broken_found = false;
    bool packed_found = false;
    for (const nlohmann::json& problem : report["problems"]) {
        broken_found = broken_found || problem == broken;
        packed_found = packed_found || problem["archive"] == "Data/Packed.meg";
    }
    EXPECT_TRUE(broken_found) << run.Out;
    EXPECT_TRUE(packed_found) << run.Out;
}

TEST(CheckPlantedFaults, WithoutTheGamesNamesOnlyTheirFaultsGoUnreported)
{
    const fs::path root = Faulty_Game();
    const ToolRunStruct run = Run_Tool({"check", root.string()});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out.find("unknown token"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("unknown database"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("Broken: syntax error"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("Biggest: unknown function"), std::string::npos) << run.Out;
}

TEST(CheckGameLayout, AGameWithoutEquationsAndADamagedArchiveAreProblems)
{
    const fs::path root = Fresh_Folder("game");
    Write_File(root / "Data" / "MegaFiles.xml",
               "<?xml version=\"1.0\"?>\n<M><F>Data\\Broken.meg</F><F>Data\\Absent.meg</F></M>\n");
    Write_File(root / "Data" / "Broken.meg", "\x01\0\0\0garbage");
    const ToolRunStruct run = Run_Tool({"check", root.string()});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Has_Line(run.Out, "Data/MegaFiles.xml: the archive Data/Broken.meg exists but does not open (see "
                                  "cognexa mega verify)"))
        << run.Out;
    EXPECT_EQ(run.Out.find("Absent.meg"), std::string::npos) << "a listed archive may be missing";
    EXPECT_TRUE(Has_Line(run.Out, "Data/XML/AI/PerceptualEquations: no equation files (*.XML) found")) << run.Out;
}

struct UsageCaseStruct {
    std::vector<std::string> Arguments;
    int Status;
    const char* Said;
};

TEST(CheckUsage, BadUsageExitsWithTwoAndNamesTheFile)
{
    const UsageCaseStruct CASES[] = {
        {{"check", "--help"}, 0, "usage: cognexa check"},
        {{"check", "a", "b"}, 2, "one game root at most"},
        {{"check", "--verbose"}, 2, "unknown option --verbose"},
        {{"check", "--tokens"}, 2, "option --tokens needs a value"},
        {{"check", "--tokens", "no-such-tokens.txt"}, 2, "no-such-tokens.txt: cannot read the token list"},
        {{"check", "--database", "UnitTypes"}, 2, "--database wants NAME=FILE"},
        {{"check", "no-such-game"}, 2, "no-such-game: cannot enter the game root"},
    };
    for (const UsageCaseStruct& usage : CASES) {
        const ToolRunStruct run = Run_Tool(usage.Arguments);
        EXPECT_EQ(run.Status, usage.Status) << usage.Said;
        EXPECT_NE((run.Out + run.Err).find(usage.Said), std::string::npos) << usage.Said << " in:\n" << run.Err;
    }
}

}  // namespace
