#include "TestHost.h"

#include "foundation/ReportParseError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct NoticeStruct {
    std::string Caption;
    std::string Text;
};

std::vector<NoticeStruct> Notices;

void Record_Notice(const char* caption, const char* text)
{
    Notices.push_back(NoticeStruct{caption, text});
}

class ParseErrorNoticeTest : public testing::Test {
protected:
    void SetUp() override
    {
        TestHost::Install();
        Notices.clear();
        Set_Notice_Handler(&Record_Notice);
    }
    void TearDown() override { Set_Notice_Handler(nullptr); }
    PerceptionContextClass context;
};

TEST_F(ParseErrorNoticeTest, ShownOnceWithItsCaptionAndText)
{
    Report_Parse_Error();
    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(Notices[0].Caption, "Perception Parsing Error!");
    EXPECT_EQ(Notices[0].Text, "There were perception parsing errors.  See PerceptionErrors.txt for details.");
    EXPECT_TRUE(Parse_Error_Announced());
}

TEST_F(ParseErrorNoticeTest, OnceAcrossSeveralBuildFailures)
{
    EXPECT_EQ(TestHost::Build("1 +"), nullptr);
    EXPECT_EQ(TestHost::Build("max(1)"), nullptr);
    EXPECT_EQ(TestHost::Build("Unit.Mana"), nullptr);
    EXPECT_EQ(Notices.size(), 1u);
}

TEST_F(ParseErrorNoticeTest, DivisionByZeroAfterParseErrorGivesNoSecondNotice)
{
    EXPECT_EQ(TestHost::Build("1 +"), nullptr);
    const auto divide = TestHost::Build("5 / 0");
    ASSERT_NE(divide, nullptr);
    float result;
    EXPECT_FALSE(divide->Evaluate(context, result));
    EXPECT_EQ(Notices.size(), 1u);
}

TEST_F(ParseErrorNoticeTest, FirstDivisionByZeroIsShown)
{
    const auto divide = TestHost::Build("5 / 0");
    float result;
    EXPECT_FALSE(divide->Evaluate(context, result));
    EXPECT_FALSE(divide->Evaluate(context, result));
    EXPECT_EQ(Notices.size(), 1u);
}

TEST_F(ParseErrorNoticeTest, SuccessfulBuildsAndEvaluationsShowNothing)
{
    const auto equation = TestHost::Build("0 / 0 + Unit.Speed");
    float result;
    EXPECT_TRUE(equation->Evaluate(context, result));
    EXPECT_TRUE(equation->Rebuild("2"));
    EXPECT_TRUE(Notices.empty());
    EXPECT_FALSE(Parse_Error_Announced());
}

}  // namespace
