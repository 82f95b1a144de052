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
constexpr char kGrade[] = "混凝土「C99」应为 C25、C30、C35、C40、C45、C50、C55 或 C60";

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
        expected += "\n第 " + std::to_string(line) + " 行: " + kGrade;
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

// The window's import reads workbooks too: the same piles as from the CSV of the same cells.
TEST_F(ImportTest, AWorkbookImportsAsItsCsv) {
    PanelSession fromCsv;
    Write(std::string(schedule::testing::kHeader) + kPile + kRefused);
    const ImportResult csv = Import(fromCsv);
    std::string rows;
    for (int r = 0; const std::string& line : {std::string(schedule::testing::kHeader),
                                               std::string(kPile), std::string(kRefused)}) {
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
    ::testing::Values(DuplicateCase{"EachOwnName", {"ZJ1", "ZJ2", ""}, ""},
                      DuplicateCase{"BlanksAroundTheMark",
                                    {" ZJ5", "ZJ6", "ZJ5 "},
                                    "导入 3 根桩\n桩号重复：ZJ5（第 2、4 行）"},
                      DuplicateCase{"AMarkAsTheNumberOfAnUnmarkedPile",
                                    {"ZH2", ""},
                                    "导入 2 根桩\n桩号重复：ZH2（第 2、3 行）"},
                      DuplicateCase{
                          "TwoNamesInTheOrderOfTheirFirstRowsNotTheRefusedOne",
                          {"B", "A", "!B", "A", "B", "B"},
                          std::string("导入 5 根桩；以下 1 行未算:\n第 4 行: ") + kGrade +
                              "\n桩号重复：B（第 2、6、7 行）\n桩号重复：A（第 3、5 行）"}),
    pile::test::RowName{});

}  // namespace
}  // namespace pile::session
