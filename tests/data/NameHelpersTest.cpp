#include "data/NameHelpers.h"
#include "data/MemberNameWildcard.h"

#include <gtest/gtest.h>

TEST(NameHelpers, ToUpperChangesOnlyAsciiLetters)
{
    EXPECT_EQ(To_Upper_Copy("abc XYZ 09 _-\xe9\xff"), "ABC XYZ 09 _-\xe9\xff");
}

TEST(NameHelpers, TrimRemovesOnlyTheFourWhitespaceBytesAtTheEnds)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {" \t\r\nx y\n \t", "x y"}, {"   ", ""}, {"", ""}, {"\vx\f", "\vx\f"}, {"a", "a"},
    };
    for (const Case& c : cases) EXPECT_EQ(Trim_Whitespace(c.in), c.out) << c.in;
}

TEST(NameHelpers, SplitPathNormalisesEveryWayOfWritingAName)
{
    struct Case {
        const char* path;
        const char* directory;
        const char* file;
    } cases[] = {
        {".\\Data\\XML\\AI\\PerceptualEquations\\*.XML", "DATA\\XML\\AI\\PERCEPTUALEQUATIONS", "*.XML"},
        {"  ./data/xml/ai/perceptualequations/*.xml  ", "DATA\\XML\\AI\\PERCEPTUALEQUATIONS", "*.XML"},
        {"\\Data\\File.xml", "DATA", "FILE.XML"},
        {".\\name.xml", "", "NAME.XML"},
        {"\\name.xml", "", "NAME.XML"},
        {"name.xml", "", "NAME.XML"},
        {".Data\\x", "DATA", "X"},
        {"dir\\", "DIR", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const SplitPathStruct parts = Split_Path(c.path);
        EXPECT_EQ(parts.Directory, c.directory) << c.path;
        EXPECT_EQ(parts.File_Name, c.file) << c.path;
    }
    EXPECT_EQ(Normalize_Member_Name(" ./Data/Art/Ship.tga"), "DATA\\ART\\SHIP.TGA");
    EXPECT_EQ(Normalize_Member_Name(".\\x.xml"), "X.XML");
}

TEST(MemberPattern, MatchTakesTheFirstOccurrenceOfALiteralRunWithoutBacktracking)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.XML", "A.XML", true},          {"*.XML", "A.XML.XML", false}, {"*.XML", "DIR\\A.XML", true},
        {"*.XML", "A.TXT", false},         {"*", "A", true},              {"*", "", false},
        {"A*", "A", false},                {"A?C", "ABC", true},          {"A?C", "AC", false},
        {"?", "", false},                  {"*B*D", "ABCD", true},        {"*B*D", "ABCDE", false},
        {"NAME", "NAME", true},            {"NAME", "NAMES", false},      {"*AB", "AAB", true},
        {"*?", "X", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Member_Name_Matches(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
    }
}
