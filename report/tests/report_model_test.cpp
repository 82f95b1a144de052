#include "report/report_model.h"

#include <gtest/gtest.h>

#include "testing/row_name.h"

#include "books/book_outline.h"
#include "report/tests/report_session.h"
#include "testing/schedule_source.h"

namespace pile::report {
namespace {

using test::PrintTo;

struct CellsRow {
    const char* name;
    std::u16string line;
    Cells cells;
};

class SplitCellsTest : public ::testing::TestWithParam<CellsRow> {};

TEST_P(SplitCellsTest, ClosesUpSpreadNames) {
    EXPECT_EQ(SplitCells(GetParam().line), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCellsTest,
    ::testing::Values(CellsRow{"SpreadHeadings",
                               u"      基    桩  桩身截面  桩身直径 ",
                               {u"基桩", u"桩身截面", u"桩身直径"}},
                      CellsRow{"SpreadOverSingleBlanks",
                               u" 成    桩  深 径 比  干 作 业  ",
                               {u"成桩", u"深径比", u"干作业"}},
                      CellsRow{"ShapeBetweenValues",
                               u"   ZH12    圆  桩    1000      -  ",
                               {u"ZH12", u"圆桩", u"1000", u"-"}},
                      CellsRow{"AThirdLoneCharacterStandsAlone", u"甲  乙  丙", {u"甲乙", u"丙"}},
                      CellsRow{"NothingButBlanks", u"     ", {}}),
    test::RowName{});

// Each value line of a record in the session's own text book, in order: the report's steps
// must hold its label and its value, unchanged.
class EveryValueLineTest : public ::testing::TestWithParam<char16_t> {};

TEST_P(EveryValueLineTest, IsAStepWithItsPrintedValue) {
    const session::PanelSession session = ThreePileSession(GetParam());
    const ReportContent content = GatherReport(session.Records());
    const BookLines& book = session.Lines(Book::Text);
    const BookOutline outline = TextBookOutline(book);
    ASSERT_EQ(content.piles.size(), 3u);
    for (std::size_t p = 0; p < content.piles.size(); ++p) {
        std::vector<const StepRow*> steps;
        for (const Block& block : content.piles[p].blocks) {
            for (const StepRow& step : block.steps) {
                steps.push_back(&step);
            }
        }
        const std::size_t end =
            p + 1 < outline.recordStarts.size() ? outline.recordStarts[p + 1] : outline.foot.first;
        std::size_t s = 0;
        for (std::size_t i = outline.recordStarts[p]; i < end; ++i) {
            const std::u16string& line = book[i];
            const std::size_t colon = line.find(u':');
            if (colon == std::u16string::npos ||
                line.find_first_not_of(u' ', colon + 1) == std::u16string::npos) {
                continue;
            }
            ASSERT_LT(s, steps.size()) << "pile " << p;
            const StepRow& step = *steps[s++];
            EXPECT_NE(line.find(step.quantity + step.symbol), std::u16string::npos) << i;
            EXPECT_NE(line.find(step.value, colon + 1), std::u16string::npos) << i;
        }
        EXPECT_EQ(s, steps.size()) << "pile " << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, EveryValueLineTest, ::testing::Values(u'.', u','),
                         [](const auto& row) {
                             return std::string(row.param == u'.' ? "Point" : "Comma");
                         });

TEST(GatherReportTest, TableRowsHaveACellUnderEveryHeading) {
    const ReportContent content = GatherReport(ThreePileSession().Records());
    ASSERT_EQ(content.tableHeadings.size(), 2u);
    EXPECT_EQ(content.tableHeadings[0].size(), content.tableHeadings[1].size());
    for (const PileSection& pile : content.piles) {
        EXPECT_EQ(pile.tableRow.size(), content.tableHeadings[0].size()) << pile.tableRow.size();
    }
}

struct SketchRow {
    const char* name;
    std::size_t pile;
    SketchTexts texts;
};

class SketchTextsTest : public ::testing::TestWithParam<SketchRow> {};

TEST_P(SketchTextsTest, LabelsTheDimensionsAsTheBookPrintsThem) {
    const ReportContent content = GatherReport(ThreePileSession().Records());
    const SketchTexts& got = content.piles.at(GetParam().pile).sketch;
    const SketchTexts& want = GetParam().texts;
    EXPECT_EQ(got.d, want.d);
    EXPECT_EQ(got.c, want.c);
    EXPECT_EQ(got.a, want.a);
    EXPECT_EQ(got.b, want.b);
    EXPECT_EQ(got.hr, want.hr);
    EXPECT_EQ(got.grade, want.grade);
    EXPECT_EQ(got.rockValue, want.rockValue);
    EXPECT_EQ(got.rockClass, want.rockClass);
}

INSTANTIATE_TEST_SUITE_P(
    Piles, SketchTextsTest,
    ::testing::Values(
        SketchRow{"CircleWithItsRockClass",
                  0,
                  {u"1000 mm", u"", u"", u"", u"1.0d", u"C30", u"frk=25.00 MPa", u"较软岩"}},
        SketchRow{"Ellipse",
                  1,
                  {u"1000 mm", u"500 mm", u"", u"", u"1.5d", u"C30", u"fuk=24.00 MPa", u""}},
        SketchRow{"RectangleAfterTheExchange",
                  2,
                  {u"", u"", u"1000 mm", u"800 mm", u"1.0b", u"C30", u"fuk=30.00 MPa", u""}}),
    test::RowName{});

TEST(GatherReportTest, NamesTheCodeAndTakesTheChecksOfTheirRecords) {
    PileCheck check;
    check.verdict = u"满足";
    const ReportContent content = GatherReport(ThreePileSession().Records(), {std::nullopt, check});
    EXPECT_EQ(content.code, u"《建筑地基基础设计规范》(DBJ 50-047-2016)");
    EXPECT_EQ(content.timeLine, u"计算时间：2026-12-11 10:00:00");
    EXPECT_TRUE(content.anyCheck);
    EXPECT_FALSE(content.piles[0].check);
    EXPECT_EQ(content.piles[1].check->verdict, u"满足");
    EXPECT_FALSE(content.piles[2].check);
}

// The window's report checks its records from the loads they carry: the same lines as the
// schedule run that computed them, for a record with loads, one without and one in a comma locale.
TEST(ChecksOfRecordsTest, AgreeWithTheChecksOfTheRunThatMadeThem) {
    session::PanelSession session;
    const std::string schedule =
        "桩号,d,hr,混凝土,工艺,frk,Nk,N,γ0,小数点\r\n"
        "ZJ1,1000,1.0d,C30,泥浆护壁成桩,25,5000,9000,1.1,\r\n"
        "ZJ2,1000,1.0d,C30,泥浆护壁成桩,25,,,,\r\n"
        "ZJ3,1200,1.5d,C30,泥浆护壁成桩,25,\"20000,5\",,,\",\"\r\n";
    const session::ScheduleRun run = session::RunSchedule(schedule::testing::SourceOf(schedule),
                                                          u'.', u"2026-12-11 10:00:00", session);
    ASSERT_EQ(run.outcome.computed, 3u);
    const auto expected = ChecksOf(run.outcome);
    const auto checks = ChecksOfRecords(session.Records());
    ASSERT_EQ(checks.size(), 3u);
    ASSERT_EQ(expected.size(), 3u);
    for (std::size_t i = 0; i < checks.size(); ++i) {
        ASSERT_EQ(checks[i].has_value(), expected[i].has_value()) << i;
        if (checks[i]) {
            EXPECT_EQ(checks[i]->verdict, expected[i]->verdict) << i;
            ASSERT_EQ(checks[i]->lines.size(), expected[i]->lines.size()) << i;
            for (std::size_t k = 0; k < checks[i]->lines.size(); ++k) {
                EXPECT_EQ(checks[i]->lines[k].text, expected[i]->lines[k].text);
            }
        }
    }
    EXPECT_FALSE(checks[1]);
    EXPECT_FALSE(checks[2]->passed) << "20000,5 kN on a 1200 mm pile";
}

}  // namespace
}  // namespace pile::report

namespace pile::report {
namespace {

struct CheckRow {
    const char* name;
    schedule::LoadTexts loads;  // Nk, Nkmax, N, γ0
    bool nkFailed;
    std::vector<CheckLine> lines;
};

class CheckOfTest : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckOfTest, WritesEachGivenLoadAgainstItsCapacity) {
    session::RowOutcome row;
    row.results.emplace();
    row.results->ra = u"10628";
    row.results->rc = u"20000";
    row.loads = GetParam().loads;
    row.check.checked = true;
    row.check.nkFailed = GetParam().nkFailed;
    const PileCheck check = CheckOf(row);
    ASSERT_EQ(check.lines.size(), GetParam().lines.size());
    for (std::size_t i = 0; i < check.lines.size(); ++i) {
        EXPECT_EQ(check.lines[i].text, GetParam().lines[i].text) << i;
        EXPECT_EQ(check.lines[i].passed, GetParam().lines[i].passed) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loads, CheckOfTest,
    ::testing::Values(CheckRow{"NkMet",
                               {u"5000", u"", u"", u""},
                               false,
                               {{u"Nk = 5000 kN ≤ Ra = 10628 kN，满足要求", true}}},
                      CheckRow{"NkFailedNWithoutFactor",
                               {u"12000", u"", u"9000", u""},
                               true,
                               {{u"Nk = 12000 kN > Ra = 10628 kN，不满足要求", false},
                                {u"γ0N = 9000 kN ≤ Rc = 20000 kN，满足要求", true}}},
                      CheckRow{"EccentricAndFactor",
                               {u"", u"6000", u"9000", u"1.1"},
                               false,
                               {{u"Nkmax = 6000 kN ≤ 1.2Ra = 1.2×10628 kN，满足要求", true},
                                {u"γ0N = 1.1×9000 kN ≤ Rc = 20000 kN，满足要求", true}}}),
    test::RowName{});

}  // namespace
}  // namespace pile::report
