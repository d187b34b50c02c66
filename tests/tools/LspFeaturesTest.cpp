// The language server's features as plain calls: positions in UTF-16 units, the postfix
// listing, where an XML error is marked, and the workspace's checks, completion, hover and
// symbols.
#include "tools/EquationWorkspaceClass.h"
#include "tools/PostfixListingClass.h"
#include "tools/TextPositionsClass.h"
#include "tools/XMLErrorLocatorClass.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const char HEADER[] = "<?xml version=\"1.0\"?>\n";

fs::path Fresh_Folder()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder = fs::path(COGNEXA_LSP_SCRATCH) / (std::string(test->test_suite_name()) + "." + test->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void Write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

const EquationWorkspaceClass::DiagnosticStruct* Find_Kind(
    const std::vector<EquationWorkspaceClass::DiagnosticStruct>& found, const std::string& kind)
{
    for (const auto& diagnostic : found) {
        if (diagnostic.Kind == kind) {
            return &diagnostic;
        }
    }
    return nullptr;
}

}  // namespace

TEST(TextPositions, ColumnsCountUtf16UnitsAndInvalidBytesAsOne)
{
    // "a", "é" (2 bytes), "✓" (3 bytes), "𝄞" (4 bytes, a surrogate pair), a lone 0xFF, "x".
    const std::string text = "line one\r\na\xC3\xA9\xE2\x9C\x93\xF0\x9D\x84\x9E\xFFx";
    const TextPositionsClass positions(text);
    struct {
        std::size_t Offset;
        int Character;
    } const CASES[] = {{10, 0}, {11, 1}, {13, 2}, {16, 3}, {20, 5}, {21, 6}};
    for (const auto& entry : CASES) {
        const TextPositionsClass::PositionStruct position = positions.Position_Of(entry.Offset);
        EXPECT_EQ(position.Line, 1) << entry.Offset;
        EXPECT_EQ(position.Character, entry.Character) << entry.Offset;
        EXPECT_EQ(positions.Offset_Of(position), entry.Offset) << entry.Offset;
    }
    EXPECT_EQ(positions.Offset_Of({0, 99}), 9u) << "a column past the end stops before the line break";
    EXPECT_EQ(positions.Offset_Of({7, 0}), text.size());
}

TEST(PostfixListing, OperandsComeBeforeTheirOperatorAndBoundValuesBeforeTheToken)
{
    EXPECT_EQ(PostfixListingClass::Steps_Of("clamp(Unit.Speed * 2, 0, 1)"),
              (std::vector<std::string>{"token Unit.Speed", "constant 2", "multiply", "constant 0", "constant 1",
                                        "call clamp"}));
    EXPECT_EQ(PostfixListingClass::Steps_Of("8 - 2 - 1"),
              (std::vector<std::string>{"constant 8", "constant 2", "subtract", "constant 1", "subtract"}));
    EXPECT_EQ(PostfixListingClass::Steps_Of("-Units[Tank] <= A.B.C{P = 1 + 2, Q = \"X\"}"),
              (std::vector<std::string>{"object Units[Tank]", "negate", "constant 1", "constant 2", "add", "string \"X\"",
                                        "token A.B.C {P, Q}", "less or equal"}));
    EXPECT_TRUE(PostfixListingClass::Steps_Of("Unit.Speed + ;").empty());

    // Chains, paths and argument lists of any length: no recursion per link.
    std::string chain = "1";
    std::string path = "A";
    std::string arguments = "f(1";
    for (int link = 0; link < 100000; ++link) {
        chain += " + 1";
        path += ".B";
        arguments += ", 1";
    }
    EXPECT_EQ(PostfixListingClass::Steps_Of(chain).size(), 200001u);
    EXPECT_EQ(PostfixListingClass::Steps_Of(path).size(), 1u);
    EXPECT_EQ(PostfixListingClass::Steps_Of(arguments + ")").size(), 100002u);
}

TEST(XMLErrorLocator, MarksThePlaceTheMessageNames)
{
    struct {
        const char* Name;
        std::string Bytes;
        const char* Message;
        const char* Marked;
    } const CASES[] = {
        {"end tag of another name", std::string(HEADER) + "<R><A>1</a></R>", "file has syntax errors, see log file",
         "</a"},
        {"attribute with a blank before =", std::string(HEADER) + "<R><A k =\"v\"/></R>",
         "file has syntax errors, see log file", "k"},
        {"second root", std::string(HEADER) + "<R><A>1</A></R>\n<B/>", "file has multiple root nodes. Aborting!", "<B"},
        {"comment with a double hyphen", std::string(HEADER) + "<R><!-- a -- b --><A/></R>",
         "file has syntax errors, see log file", "<!-- a --"},
        {"root alone", std::string(HEADER) + "<R/>", "file only has a root node with no other content.", "<R"},
        {"no header", "<R><A>1</A></R>", "error reading xml header.", "<R><A>1</A></R>"},
        {"cut short", std::string(HEADER) + "<R><A>1</A>", "file has syntax errors, see log file", "<R><A>1</A>"},
    };
    for (const auto& entry : CASES) {
        const XMLErrorLocatorClass::PlaceStruct place = XMLErrorLocatorClass::Locate(entry.Bytes, entry.Message);
        EXPECT_EQ(entry.Bytes.substr(place.Start, place.End - place.Start), entry.Marked) << entry.Name;
    }
}

TEST(EquationWorkspace, DuplicateInAFileNotOpenPointsAtTheFirstDefinition)
{
    const fs::path root = Fresh_Folder();
    const fs::path folder = root / "data" / "xml" / "ai" / "perceptualequations";
    fs::create_directories(folder);
    Write(folder / "A.xml", std::string(HEADER) + "<E>\n  <Threat>Unit.Speed</Threat>\n</E>\n");
    Write(folder / "B.XML", std::string(HEADER) + "<E>\n  <THREAT>1</THREAT>\n</E>\n");
    Write(folder / "notes.txt", "not an equation file");
    EquationWorkspaceClass workspace;
    workspace.Set_Folder(root.generic_string());
    const std::string a = workspace.Get_Equation_Folder() + "/A.xml";
    const std::string b = workspace.Get_Equation_Folder() + "/B.XML";

    auto found = workspace.Analyse();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(found[a].empty());
    const auto* duplicate = Find_Kind(found[b], "duplicate");
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(duplicate->Message, "duplicate equation name; first defined at A.xml:3:4");
    EXPECT_EQ(duplicate->Range.Start.Line, 2);
    EXPECT_EQ(duplicate->Range.Start.Character, 3);
    EXPECT_EQ(duplicate->Range.End.Character, 9);
    ASSERT_EQ(duplicate->Related.size(), 1u);
    EXPECT_EQ(duplicate->Related[0].Path, a);

    // The editor's text replaces the disk's: renamed there, the duplicate goes.
    workspace.Open_Document(a, std::string(HEADER) + "<E>\n  <Other>Unit.Speed</Other>\n</E>\n");
    found = workspace.Analyse();
    EXPECT_TRUE(found[b].empty());
    EXPECT_EQ(workspace.Workspace_Symbols("oth").size(), 1u);
}

TEST(EquationWorkspace, FindingsCarryCheckWordingAndEditorColumns)
{
    const fs::path folder = Fresh_Folder();
    Write(folder / "tokens.txt", "Unit\nSpeed  # how fast it moves\n");
    EquationWorkspaceClass workspace;
    std::string error;
    ASSERT_TRUE(workspace.Load_Token_File((folder / "tokens.txt").string(), error)) << error;
    workspace.Set_Folder(folder.generic_string());
    const std::string path = (folder / "F.xml").generic_string();
    // "é" is two bytes and one UTF-16 unit; the Latin-1 byte 0xE9 on its own counts one too.
    workspace.Open_Document(path, std::string(HEADER) +
                                      "<E>\n"
                                      "  <!-- \xC3\xA9 --><Bad>Unit.Speed + ;</Bad>\n"
                                      "  <!-- \xE9 --><Typo>Unit.Sped</Typo>\n"
                                      "</E>\n");
    const auto found = workspace.Analyse().at(path);
    const auto* syntax = Find_Kind(found, "syntax");
    ASSERT_NE(syntax, nullptr);
    EXPECT_EQ(syntax->Message, "syntax error: parsing stopped here");
    EXPECT_EQ(syntax->Range.Start.Line, 2);
    EXPECT_EQ(syntax->Range.Start.Character, 30);
    const auto* unknown = Find_Kind(found, "unknown-token");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->Message, "unknown token name \"Sped\"");
    EXPECT_EQ(unknown->Range.Start.Character, 23);
    EXPECT_EQ(unknown->Range.End.Character, 27);

    const std::string hover = workspace.Hover(path, {2, 24});
    EXPECT_NE(hover.find("how fast it moves"), std::string::npos) << hover;
}

TEST(EquationWorkspace, CompletionHoverAndSymbolsFollowTheEquations)
{
    const fs::path folder = Fresh_Folder();
    EquationWorkspaceClass workspace;
    workspace.Set_Folder(folder.generic_string());
    workspace.Set_Value("Unit.Speed", 3);
    workspace.Set_Value("Enemy.Health", 4);
    const std::string path = (folder / "F.xml").generic_string();
    workspace.Open_Document(path, std::string(HEADER) +
                                      "<E>\n"
                                      "  <Fast>Unit.Speed * 2 + Enemy.Health - 1 + Units[Tank] * 0</Fast>\n"
                                      "  <Slow>Enemy.Health + Unit.</Slow>\n"
                                      "</E>\n");
    workspace.Analyse();

    auto labels = [&](int line, int character) {
        std::vector<std::string> names;
        for (const auto& item : workspace.Complete(path, {line, character})) {
            names.push_back(item.Label);
        }
        return names;
    };
    EXPECT_EQ(labels(3, 28), (std::vector<std::string>{"Health", "Speed"})) << "names the workspace uses";
    EXPECT_EQ(labels(2, 50), (std::vector<std::string>{"Tank"}));
    EXPECT_EQ(labels(2, 8).front(), "clamp");

    const std::string hover = workspace.Hover(path, {2, 4});
    EXPECT_NE(hover.find("1  token Unit.Speed\n2  constant 2\n3  multiply"), std::string::npos) << hover;
    EXPECT_NE(hover.find("Value: 9"), std::string::npos) << hover;
    EXPECT_EQ(workspace.Hover(path, {0, 3}), "");

    const auto symbols = workspace.Document_Symbols(path);
    ASSERT_EQ(symbols.size(), 2u);
    EXPECT_EQ(symbols[1].Name, "Slow");
    EXPECT_EQ(symbols[1].Range.Start.Line, 3);
    EXPECT_EQ(symbols[1].Range.Start.Character, 2);
    EXPECT_EQ(symbols[1].Range.End.Character, 35);
}
