#include "session/schedule_run.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>

#include "engine/utf_text.h"
#include "testing/schedule_source.h"

namespace pile::session {
namespace {

using schedule::testing::kHeader;
using schedule::testing::SourceOf;

constexpr std::u16string_view kTime = u"2024/5/6 14:03:27";

struct BatchRun {
    PanelSession session;
    ScheduleRun run;
};

BatchRun RunRows(const std::string& rows, char16_t separator = u'.') {
    BatchRun result;
    result.run =
        RunSchedule(SourceOf(std::string(kHeader) + rows), separator, kTime, result.session);
    EXPECT_FALSE(result.run.unreadable);
    return result;
}

constexpr char kCircle[] = "Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,\r\n";
constexpr char kBadGrade[] = "=1+1,圆桩,frk,1000,0,1.0d,C65,泥浆护壁成桩,25,24,\r\n";
constexpr char kBadDiameter[] = "\"-2,3\",圆桩,frk,0,0,1.0d,C30,泥浆护壁成桩,25,24,\r\n";
// Typed short side first: the window exchanges the sides and the books print 1200 and 1000.
constexpr char kRectangle[] = "@x,矩形桩,fuk,1000,1200,1.0b,C35,,,24,两位小数\r\n";

TEST(ResultsTableTest, WritesEachColumnAsTheWindowShowsIt) {
    const BatchRun r = RunRows(std::string(kCircle) + kBadGrade + kBadDiameter + kRectangle);
    EXPECT_EQ(ResultsTable(r.run.outcome),
              "\xEF\xBB\xBF"
              "行,桩号,编号,系数,Ra(kN),Rc(kN),岩石类别,说明\r\n"
              "2,Z1,Z1,0.8567,8410,7862,较软岩,\r\n"
              "3,'=1+1,,,,,,混凝土 G3「C65」: 应为 C25、C30、C35、C40、C45、C50、C55 或 C60\r\n"
              "4,\"'-2,3\",,,,,,d或a D4「0」: 桩身直径数据有错\r\n"
              "5,'@x,'@x,1.3100,12576.00,18036.00,,\r\n");
    EXPECT_EQ(ExitStatus(r.run.outcome), 1);
    EXPECT_EQ(Utf16ToUtf8(RefusalLines(r.run.outcome)),
              "第 3 行（=1+1）混凝土 G3「C65」: 应为 C25、C30、C35、C40、C45、C50、C55 或 C60\n"
              "第 4 行（-2,3）d或a D4「0」: 桩身直径数据有错\n");
    // The rectangle's boxes after the exchange, as the window would print them.
    const auto& table = r.session.Books().TableLines();
    EXPECT_NE(table[table.size() - 5].find(u"1200      1000"), std::u16string::npos);
}

TEST(ResultsTableTest, QuotesNumbersWrittenWithADecimalComma) {
    const BatchRun r = RunRows(kCircle, u',');
    const std::string table = ResultsTable(r.run.outcome);
    EXPECT_NE(table.find("2,Z1,Z1,\"0,8567\",8410,7862,较软岩,\r\n"), std::string::npos);
    EXPECT_EQ(ExitStatus(r.run.outcome), 0);
}

struct CellCase {
    const char* name;
    std::u16string text;
    std::u16string cell;
};

void PrintTo(const CellCase& row, std::ostream* os) {
    *os << row.name;
}

class CsvCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(CsvCellTest, NeverStartsAFormula) {
    EXPECT_EQ(CsvCell(GetParam().text), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    Results, CsvCellTest,
    ::testing::Values(CellCase{"Plain", u"ZH-1", u"ZH-1"}, CellCase{"Equals", u"=A1", u"'=A1"},
                      CellCase{"Plus", u"+1", u"'+1"}, CellCase{"Minus", u"-1", u"'-1"},
                      CellCase{"At", u"@SUM(A1)", u"'@SUM(A1)"}, CellCase{"Tab", u"\tx", u"'\tx"},
                      CellCase{"QuoteOnly", u"5\"", u"\"5\"\"\""},
                      CellCase{"QuoteAndLineBreak", u"a\"b\nc", u"\"a\"\"b\nc\""},
                      CellCase{"FormulaWithComma", u"=HYPERLINK(\"x\",1)",
                               u"\"'=HYPERLINK(\"\"x\"\",1)\""}),
    [](const auto& row) { return std::string(row.param.name); });

// One cell of kCircle replaced: what the row reads as, or the refusal listed for it.
struct CellTextCase {
    const char* name;
    std::size_t field;  // position in kHeader
    std::string text;
    std::string refusal;  // empty: computed
};

void PrintTo(const CellTextCase& row, std::ostream* os) {
    *os << row.name;
}

// The columns of kHeader as engineers name them, and a pile mark.
constexpr char kEngineersHeader[] =
    "桩编号,截面形式,参数,桩径(mm),c或b,嵌岩深度,混凝土强度等级,成桩工艺,"
    "岩石饱和单轴抗压强度标准值frk,fuk,精度\r\n";

std::string WithCell(std::size_t field, const std::string& text) {
    std::string row = std::string("ZJ5") + (kCircle + 2);
    std::size_t start = 0;
    for (std::size_t i = 0; i < field; ++i) {
        start = row.find(',', start) + 1;
    }
    return row.replace(start, row.find(',', start) - start, text);
}

class CellTextTest : public ::testing::TestWithParam<CellTextCase> {};

TEST_P(CellTextTest, ReadsOrSaysWhichCell) {
    const CellTextCase& c = GetParam();
    BatchRun r;
    r.run =
        RunSchedule(SourceOf(kEngineersHeader + WithCell(c.field, c.text)), u'.', kTime, r.session);
    EXPECT_EQ(Utf16ToUtf8(RefusalLines(r.run.outcome)), c.refusal);
    EXPECT_EQ(r.run.outcome.computed, c.refusal.empty() ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Schedule, CellTextTest,
    ::testing::Values(
        CellTextCase{"FullWidthDigit", 3, "１200", ""},
        CellTextCase{"FullWidthMultiple", 5, "１．５ｄ", ""},
        CellTextCase{"IdeographicSpaceBefore", 3, "\u30001200", ""},
        CellTextCase{"FullWidthRockValue", 8, "２５", ""},
        CellTextCase{
            "UpperCaseMultiple", 5, "1.5D",
            "第 2 行（ZJ5）嵌岩深度 F2「1.5D」: 嵌岩深度数据有错（倍数写作小写 d，如 1.5d）\n"},
        CellTextCase{
            "OtherFamilysLetter", 5, "1.5b",
            "第 2 行（ZJ5）嵌岩深度 F2「1.5b」: 嵌岩深度数据有错（倍数写作小写 d，如 1.5d）\n"},
        CellTextCase{
            "DepthWithUnit", 5, "2000mm",
            "第 2 行（ZJ5）嵌岩深度 F2「2000mm」: 嵌岩深度数据有错（毫米数只写数字，如 2000）\n"},
        CellTextCase{"NegativeDepthHasNoHint", 5, "-1",
                     "第 2 行（ZJ5）嵌岩深度 F2「-1」: 嵌岩深度数据有错\n"},
        CellTextCase{"DiameterSign", 3, "Φ1000",
                     "第 2 行（ZJ5）桩径(mm) D2「Φ1000」: 桩身直径数据有错（只写数字，如 1000）\n"},
        CellTextCase{"EmptyRockValue", 8, "",
                     "第 2 行（ZJ5）岩石饱和单轴抗压强度标准值frk I2: 岩石单轴抗压强度值有错\n"},
        CellTextCase{"ListTextNamed", 6, "C３5x",
                     "第 2 行（ZJ5）混凝土强度等级 G2「C35x」: 应为 "
                     "C25、C30、C35、C40、C45、C50、C55 或 C60\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ComputeScheduleTest, RowsThatAreNoPileAreListedAsSkippedAndLeaveTheExitStatus) {
    const BatchRun notes = RunRows(std::string(kCircle) +
                                   "注：岩石参数依据XX勘察院详细勘察报告,,,,,,,,,,\r\n"
                                   "合计,,,,,,C30,,,,\r\n"
                                   "设计：张三,,,,,,,校对：李四,,,\r\n");
    EXPECT_EQ(Utf16ToUtf8(RefusalLines(notes.run.outcome)),
              "第 3 行: 跳过「注：岩石参数依据XX勘察院详细勘察报告」\n"
              "第 4 行: 跳过「合计 C30」\n"
              "第 5 行: 跳过「设计：张三 校对：李四」\n");
    EXPECT_EQ(ExitStatus(notes.run.outcome), 0);
    EXPECT_EQ(notes.run.outcome.skipped, 3u);
    // A depth alone makes a pile whose other cells are missing.
    const BatchRun depth = RunRows("ZJ8,,,,,1.5d,,,,,\r\n");
    EXPECT_EQ(depth.run.outcome.refused, 1u);
}

TEST(ComputeScheduleTest, EmptyCellsUnderAFilledOneMayHaveBeenMerged) {
    const BatchRun r = RunRows(std::string(kCircle) +
                               "Z2,圆桩,frk,1000,0,1.0d,,泥浆护壁成桩,25,24,\r\n"
                               "Z3,圆桩,frk,1000,0,,,泥浆护壁成桩,25,24,\r\n");
    const std::string merged =
        "（上方的单元格有值，原表可能是合并单元格：另存为 CSV 时只有合并区域的第一行留有它的值，"
        "直接读 .xlsx 工作簿则每一行都读得到）";
    EXPECT_EQ(Utf16ToUtf8(RefusalLines(r.run.outcome)),
              "第 3 行（Z2）混凝土 G3: 为空，应为 C25、C30、C35、C40、C45、C50、C55 或 C60" +
                  merged +
                  "\n第 4 行（Z3）混凝土 G4: 为空，应为 C25、C30、C35、C40、C45、C50、C55 或 C60" +
                  merged + "\n");
    const BatchRun depth =
        RunRows(std::string(kCircle) + "Z2,圆桩,frk,1000,0,,C30,泥浆护壁成桩,25,24,\r\n");
    EXPECT_EQ(Utf16ToUtf8(RefusalLines(depth.run.outcome)),
              "第 3 行（Z2）hr F3: 嵌岩深度数据有错" + merged + "\n");
}

TEST(ComputeScheduleTest, ARefusedRowInTheMiddleAppendsNothing) {
    const BatchRun with = RunRows(std::string(kCircle) + kBadGrade + kBadDiameter + kRectangle);
    const BatchRun without = RunRows(std::string(kCircle) + kRectangle);
    EXPECT_EQ(with.session.Books().TableLines(), without.session.Books().TableLines());
    EXPECT_EQ(with.session.Books().TextLines(), without.session.Books().TextLines());
    EXPECT_EQ(with.session.PileCounter(), 2);
    EXPECT_EQ(with.run.outcome.computed, 2u);
    EXPECT_EQ(with.run.outcome.refused, 2u);
}

TEST(ComputeScheduleTest, AppendsToRunningBooksAndReportsTheChangeForTheMemos) {
    BatchRun r = RunRows(kCircle);
    const BookLines tableBefore = r.session.Books().TableLines();
    const BookLines textBefore = r.session.Books().TextLines();
    const ScheduleRun more =
        RunSchedule(SourceOf(std::string(kHeader) + kRectangle + kCircle), u'.', kTime, r.session);
    ASSERT_FALSE(more.unreadable);
    EXPECT_EQ(more.outcome.rows[0].pileNumber, 2);
    EXPECT_EQ(more.outcome.rows[1].pileNumber, 3);
    // Applying the change to the old lines gives the new books.
    for (const auto& [before, after, change] :
         {std::tuple{&tableBefore, &r.session.Books().TableLines(), more.outcome.change.table},
          std::tuple{&textBefore, &r.session.Books().TextLines(), more.outcome.change.text}}) {
        BookLines followed(before->begin(),
                           before->begin() + static_cast<std::ptrdiff_t>(change.position));
        ASSERT_EQ(change.position + change.removed, before->size());
        followed.insert(
            followed.end(), after->begin() + static_cast<std::ptrdiff_t>(change.position),
            after->begin() + static_cast<std::ptrdiff_t>(change.position + change.inserted));
        EXPECT_EQ(followed, *after);
    }
}

TEST(ComputeScheduleTest, AnUnreadableFileLeavesTheBooksAlone) {
    BatchRun r = RunRows(kCircle);
    const CalculationBooks before = r.session.Books();
    const ScheduleRun again =
        RunSchedule(SourceOf(std::string(kHeader) + kCircle + std::string(100, '\n')), u'.', kTime,
                    r.session, {.maxFileBytes = 100});
    EXPECT_TRUE(again.unreadable);
    EXPECT_EQ(r.session.Books().TableLines(), before.TableLines());
    EXPECT_EQ(r.session.Books().TextLines(), before.TextLines());
}

}  // namespace
}  // namespace pile::session
