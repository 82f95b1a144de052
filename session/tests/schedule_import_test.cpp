#include "session/schedule_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/utf_text.h"
#include "testing/row_name.h"
#include "testing/schedule_source.h"
#include "testing/workbook_source.h"

namespace pile::session {
namespace {

namespace fs = std::filesystem;

constexpr char kPile[] = "Z,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,\n";
constexpr char kRefused[] = "Z,圆桩,frk,1000,0,1.0d,C99,泥浆护壁成桩,25,24,\n";
constexpr char kGrade[] = "应为 C25、C30、C35、C40、C45、C50、C55 或 C60";

class ImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ =
            fs::temp_directory_path() /
            ("schedule_import_test_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".csv");
    }
    void TearDown() override { fs::remove(file_); }

    void Write(const std::string& bytes) const { std::ofstream(file_, std::ios::binary) << bytes; }
    ImportResult Import(PanelSession& session) const {
        return session.Import(file_, u'.', u"2024/5/6 14:03:27");
    }

    fs::path file_;
};

TEST_F(ImportTest, AppendsToTheSessionAndListsTheRefusedRowsInOneMessage) {
    PanelSession session;
    Write(std::string(schedule::testing::kHeader) + kPile);
    ASSERT_TRUE(Import(session).read);
    std::string rows = schedule::testing::kHeader;
    for (int i = 0; i < 25; ++i) {
        rows += kRefused;
    }
    Write(rows + kPile);
    const ImportResult second = Import(session);
    EXPECT_TRUE(second.read);
    EXPECT_EQ(session.PileCounter(), 2);
    EXPECT_EQ(second.outcome.rows.back().pileNumber, 2);
    std::string expected = "导入 1 根桩；以下 25 行未算:";
    for (int line = 2; line < 22; ++line) {
        expected += "\n第 " + std::to_string(line) + " 行（Z）混凝土 G" + std::to_string(line) +
                    "「C99」: " + kGrade;
    }
    EXPECT_EQ(Utf16ToUtf8(second.message), expected + "\n……另有 5 行");
}

TEST_F(ImportTest, AFileThatCannotBeReadLeavesTheBooksAsTheyWere) {
    PanelSession session;
    Write(std::string(schedule::testing::kHeader) + kPile);
    Import(session);
    const CalculationBooks before = session.Books();
    Write("截面,d或a,混凝土,fuk\n");
    const ImportResult result = Import(session);
    EXPECT_FALSE(result.read);
    EXPECT_EQ(Utf16ToUtf8(result.message),
              "桩表未能导入: 第 1 行: 不是桩表的表头，缺少列：hr（又作 "
              "嵌岩深度、嵌岩长度、嵌岩段长度 或 入岩深度）；认出的列：截面、d或a、混凝土、fuk");
    EXPECT_EQ(session.Books().TableLines(), before.TableLines());
    EXPECT_EQ(session.Books().TextLines(), before.TextLines());
    fs::remove(file_);
    EXPECT_EQ(Utf16ToUtf8(Import(session).message), "桩表未能导入: 文件打不开");
}

// The window's import reads workbooks too: the same piles and messages as from the CSV of the
// same cells, for a schedule as engineers write it (a title, their column names, pile marks,
// full-width digits, a note under the table).
TEST_F(ImportTest, AWorkbookImportsAsItsCsv) {
    const std::string lines[] = {
        "某工程桩基设计表\n",
        "桩编号,截面形式,计算参数,桩径(mm),c或b,嵌岩深度,混凝土强度等级,成桩工艺,frk,fuk\n",
        "ZJ1,圆桩,frk,１200,,1.5d,C３0,泥浆护壁成桩,25,\n",
        "ZJ2,圆桩,frk,1000,,1.5D,C30,泥浆护壁成桩,25,\n", "注：岩石参数依据XX勘察院\n"};
    PanelSession fromCsv;
    Write(lines[0] + lines[1] + lines[2] + lines[3] + lines[4]);
    const ImportResult csv = Import(fromCsv);
    EXPECT_EQ(Utf16ToUtf8(csv.message),
              "导入 1 根桩；以下 1 行未算；跳过 1 行（不是桩）:\n"
              "第 4 行（ZJ2）嵌岩深度 F4「1.5D」: 嵌岩深度数据有错（倍数写作小写 d，如 1.5d）\n"
              "第 5 行: 跳过「注：岩石参数依据XX勘察院」");
    std::string rows;
    for (int r = 0; const std::string& line : lines) {
        rows += "<row r=\"" + std::to_string(++r) + "\">";
        std::string cells = line.substr(0, line.find_first_of("\r\n")) + ",";
        for (std::size_t start = 0, end; (end = cells.find(',', start)) != std::string::npos;
             start = end + 1) {
            rows +=
                "<c t=\"inlineStr\"><is><t>" + cells.substr(start, end - start) + "</t></is></c>";
        }
        rows += "</row>";
    }
    Write(schedule::testing::ZipOf(
        schedule::testing::WorkbookParts(schedule::testing::SheetXml(rows))));
    PanelSession fromWorkbook;
    const ImportResult workbook = Import(fromWorkbook);
    EXPECT_TRUE(workbook.read) << Utf16ToUtf8(workbook.message);
    EXPECT_EQ(workbook.message, csv.message);
    EXPECT_EQ(fromWorkbook.Books().TableLines(), fromCsv.Books().TableLines());
    EXPECT_EQ(fromWorkbook.Books().TextLines(), fromCsv.Books().TextLines());
}

}  // namespace
}  // namespace pile::session

namespace pile::session {
namespace {

// 取消 part-way through a long schedule: the books, the records and the flags as they were.
TEST_F(ImportTest, StoppedPartWayLeavesTheSessionAsItWas) {
    PanelSession session;
    Write(std::string(schedule::testing::kHeader) + kPile);
    ASSERT_TRUE(Import(session).read);
    session.MarkSaved(Book::Text);
    const CalculationBooks books = session.Books();
    std::string rows = schedule::testing::kHeader;
    for (int i = 0; i < 10; ++i) {
        rows += kPile;
    }
    Write(rows);
    std::size_t asked = 0;
    const ImportResult stopped =
        session.Import(file_, u'.', u"2024/5/6 14:03:27", [&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, 10u);
            asked = done;
            return done < 4;
        });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(asked, 4u);
    EXPECT_EQ(session.Books().TextLines(), books.TextLines());
    EXPECT_EQ(session.Books().TableLines(), books.TableLines());
    EXPECT_EQ(session.UnsavedBookFlags(), books.UnsavedBookFlags());
    EXPECT_EQ(session.Records().size(), 1u);
}

}  // namespace
}  // namespace pile::session

namespace pile::session {
namespace {

using pile::test::PrintTo;

struct DuplicateCase {
    const char* name;
    std::vector<std::string> marks;  // a row each, in order; "!" before the mark: it is refused
    std::string message;
};

class DuplicateNameTest : public ::testing::TestWithParam<DuplicateCase> {};

// Rows that give the books the same name are all computed, and the one box names them.
TEST_P(DuplicateNameTest, AreComputedAndNamedInTheMessage) {
    std::string rows = schedule::testing::kHeader;
    for (const std::string& mark : GetParam().marks) {
        const bool refused = mark.starts_with('!');
        rows += '"' + mark.substr(refused ? 1 : 0) + '"' + ((refused ? kRefused : kPile) + 1);
    }
    PanelSession session;
    const ScheduleRun run =
        RunSchedule(schedule::testing::SourceOf(rows), u'.', u"2024/5/6 14:03:27", session);
    EXPECT_EQ(Utf16ToUtf8(ImportMessage(run.outcome)), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, DuplicateNameTest,
    ::testing::Values(
        DuplicateCase{"EachOwnName", {"ZJ1", "ZJ2", ""}, ""},
        DuplicateCase{"BlanksAroundTheMark",
                      {" ZJ5", "ZJ6", "ZJ5 "},
                      "导入 3 根桩\n桩号重复：ZJ5（第 2、4 行）"},
        DuplicateCase{"AMarkAsTheNumberOfAnUnmarkedPile",
                      {"ZH2", ""},
                      "导入 2 根桩\n桩号重复：ZH2（第 2、3 行）"},
        DuplicateCase{"TwoNamesInTheOrderOfTheirFirstRowsNotTheRefusedOne",
                      {"B", "A", "!B", "A", "B", "B"},
                      std::string("导入 5 根桩；以下 1 行未算:\n第 4 行（B）混凝土 G4「C99」: ") +
                          kGrade + "\n桩号重复：B（第 2、6、7 行）\n桩号重复：A（第 3、5 行）"}),
    pile::test::RowName{});

// The box names the piles that fail their load check, and stops naming them where it must.
TEST(ImportMessageTest, NamesThePilesThatFailTheirLoadCheck) {
    std::string rows = "d,hr,混凝土,工艺,frk,Nk\r\n1000,1.0d,C30,泥浆护壁成桩,25,100\r\n";
    for (int i = 0; i < 22; ++i) {
        rows += "1000,1.0d,C30,泥浆护壁成桩,25,1e6\r\n";
    }
    PanelSession session;
    const ScheduleRun run =
        RunSchedule(schedule::testing::SourceOf(rows), u'.', u"2024/5/6 14:03:27", session);
    std::string names;
    for (std::size_t i = 2; i <= kListedRefusals + 1; ++i) {
        names += (names.empty() ? "" : "、") + std::string("ZH") + std::to_string(i);
    }
    EXPECT_EQ(Utf16ToUtf8(ImportMessage(run.outcome)),
              "导入 23 根桩\n荷载验算：1 根满足，22 根不满足：" + names + "等");
}

}  // namespace
}  // namespace pile::session

namespace pile::session {
namespace {

// 替换: the books as the schedule alone makes them; a file that cannot be read, or whose every
// row is refused, takes nothing away.
TEST_F(ImportTest, ReplacingGivesTheBooksOfTheScheduleAloneAndKeepsThemOnAnUnreadableFile) {
    Write(std::string(schedule::testing::kHeader) + kPile + kPile);
    PanelSession alone;
    ASSERT_TRUE(Import(alone).read);
    PanelSession session;
    Import(session);
    session.MarkSaved(Book::Text);
    const ImportResult replaced =
        session.Import(file_, u'.', u"2024/5/6 14:03:27", {}, /*replace=*/true);
    ASSERT_TRUE(replaced.read);
    EXPECT_EQ(session.Books().TextLines(), alone.Books().TextLines());
    EXPECT_EQ(session.Books().TableLines(), alone.Books().TableLines());
    EXPECT_EQ(session.Records().size(), 2u);
    EXPECT_EQ(session.UnsavedBookFlags(), 3);
    EXPECT_EQ(replaced.outcome.change.text,
              (BookChange{0, alone.Lines(Book::Text).size(), alone.Lines(Book::Text).size()}));

    EXPECT_TRUE(replaced.replaced);

    for (const std::string& bad :
         {std::string("no schedule\n"), std::string(schedule::testing::kHeader) + kRefused}) {
        Write(bad);
        EXPECT_FALSE(session.Import(file_, u'.', u"2024/5/6 14:03:27", {}, true).replaced);
        EXPECT_EQ(session.Books().TextLines(), alone.Books().TextLines());
        EXPECT_EQ(session.Records().size(), 2u);
    }
}

}  // namespace
}  // namespace pile::session

namespace pile::session {
namespace {

// A large file says how far its reading is, before a row is computed, and 取消 stops it there.
TEST_F(ImportTest, StoppedWhileReadingLeavesTheSessionAsItWas) {
    std::string rows = schedule::testing::kHeader;
    while (rows.size() < 300 * 1024) {
        rows += kPile;
    }
    Write(rows);
    PanelSession session;
    std::vector<std::size_t> totals;
    const ImportResult stopped =
        session.Import(file_, u'.', u"2024/5/6 14:03:27", [&](std::size_t, std::size_t total) {
            totals.push_back(total);
            return false;
        });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(totals, std::vector<std::size_t>{rows.size()}) << "the file's bytes, once";
    EXPECT_EQ(session.PileCounter(), 0);
}

// A workbook says how far its parsing is as well: a small file can inflate to a large sheet.
TEST_F(ImportTest, StoppedWhileParsingAWorkbookLeavesTheSessionAsItWas) {
    using namespace schedule::testing;
    const std::string zip = ZipOf(WorkbookParts(
        SheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>d</t></is></c></row>" +
                 std::string(400 * 1024, ' '))));
    ASSERT_LT(zip.size(), 256 * 1024u) << "reading the file alone would not report";
    Write(zip);
    PanelSession session;
    std::size_t calls = 0;
    const ImportResult stopped =
        session.Import(file_, u'.', u"2024/5/6 14:03:27", [&](std::size_t done, std::size_t total) {
            ++calls;
            EXPECT_LE(done, total);
            EXPECT_GT(total, 400 * 1024u) << "the inflated parts, not the file";
            return false;
        });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(calls, 1u);
    EXPECT_EQ(session.PileCounter(), 0);
}

}  // namespace
}  // namespace pile::session
