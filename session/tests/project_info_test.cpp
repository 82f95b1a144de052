#include "session/project_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/utf_text.h"
#include "schedule/xlsx_records.h"
#include "schedule/xlsx_schedule.h"
#include "session/schedule_import.h"
#include "session/session_journal.h"
#include "session/xlsx_results.h"
#include "testing/panels.h"
#include "testing/row_name.h"
#include "testing/schedule_source.h"
#include "testing/workbook_source.h"

namespace pile::session {
namespace {

using Cells = std::vector<std::string>;

const Cells kHeader = {"桩号", "截面", "参数", "d或a", "c或b", "hr", "混凝土", "工艺", "frk"};
const Cells kPile = {"Z1", "圆桩", "frk", "1000", "0", "1.0d", "C30", "泥浆护壁成桩", "25"};

std::string CsvOf(const std::vector<Cells>& rows) {
    std::string csv;
    for (const Cells& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            csv += (i > 0 ? "," : "") + row[i];
        }
        csv += "\r\n";
    }
    return csv;
}

std::string WorkbookOf(const std::vector<Cells>& rows) {
    std::string xml;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto number = static_cast<std::uint32_t>(r + 1);
        xml += "<row r=\"" + std::to_string(number) + "\">";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (!rows[r][c].empty()) {
                xml += "<c r=\"" +
                       schedule::CellReference(number, static_cast<std::uint32_t>(c + 1)) +
                       "\" t=\"inlineStr\"><is><t>" + rows[r][c] + "</t></is></c>";
            }
        }
        xml += "</row>";
    }
    return schedule::testing::ZipOf(
        schedule::testing::WorkbookParts(schedule::testing::SheetXml(xml)));
}

// The project a file's lines give a session whose project is empty, as "KEY=VALUE" lines.
std::string ProjectText(const ProjectInfo& info) {
    std::string text;
    for (const ProjectField& field : kProjectFields) {
        if (!(info.*field.member).empty()) {
            text += Utf16ToUtf8(std::u16string(field.key) + u"=" + info.*field.member) + "\n";
        }
    }
    return text;
}

struct TitleRow {
    const char* name;
    std::vector<Cells> titles;  // the lines above the header
    const char* project;        // as ProjectText writes it
    std::size_t named;
};
using pile::test::PrintTo;

const TitleRow kTitles[] = {
    {"FullWidthColonInOneCell", {{"工程名称：江北嘴大厦"}}, "工程名称=江北嘴大厦\n", 1},
    {"AsciiColonAndBlanks", {{" 工程编号 : A-01 "}}, "工程编号=A-01\n", 1},
    {"KeyAndValueInTwoCells", {{"设计阶段", "施工图"}}, "设计阶段=施工图\n", 1},
    {"KeyWithColonThenValueCell", {{"子项：", "", "1#楼"}}, "子项=1#楼\n", 1},
    {"TwoFieldsOnOneLine", {{"计算：张三", "校对：李四"}}, "计算=张三\n校对=李四\n", 2},
    {"FullWidthBlankInsideTheKey", {{"审　核：王五"}}, "审核=王五\n", 1},
    {"UnknownKeysStayTitles", {{"某工程桩基设计表"}, {"备注：见说明"}, {"日期"}}, "", 0},
    {"LaterLineOverTheEarlier",
     {{"工程名称：甲"}, {}, {"工程名称：乙"}, {"日期：2026-12-11"}},
     "工程名称=乙\n日期=2026-12-11\n",
     2},
};

class ProjectLinesOf : public ::testing::TestWithParam<TitleRow> {};

TEST_P(ProjectLinesOf, ACsvFileAndAWorkbookGiveTheSameProject) {
    std::vector<Cells> rows = GetParam().titles;
    rows.push_back(kHeader);
    rows.push_back(kPile);
    for (const bool workbook : {false, true}) {
        SCOPED_TRACE(workbook ? "xlsx" : "csv");
        const auto read = schedule::ReadScheduleFile(
            schedule::testing::SourceOf(workbook ? WorkbookOf(rows) : CsvOf(rows)));
        ASSERT_TRUE(std::holds_alternative<schedule::Schedule>(read))
            << Utf16ToUtf8(std::get<std::u16string>(read));
        const schedule::Schedule& piles = std::get<schedule::Schedule>(read);
        EXPECT_EQ(piles.entries.size(), 1u);  // the titles are no rows
        ProjectInfo project;
        EXPECT_EQ(ApplyProjectLines(project, piles.titleFields), GetParam().named);
        EXPECT_EQ(ProjectText(project), GetParam().project);
    }
}

INSTANTIATE_TEST_SUITE_P(Titles, ProjectLinesOf, ::testing::ValuesIn(kTitles),
                         pile::test::RowName{});

// The lines above a GBK header are read in GBK, though the header search meets them first.
TEST(ProjectLines, AboveAGbkHeaderAreReadInGbk) {
    const auto read = schedule::ReadScheduleFile(schedule::testing::SourceOf(
        "\xB9\xA4\xB3\xCC\xC3\xFB\xB3\xC6\xA3\xBA\xBD\xAD\xB1\xB1\xD7\xEC\r\n"
        "d,hr,\xBB\xEC\xC4\xFD\xCD\xC1,\xB9\xA4\xD2\xD5,frk\r\n"
        "1000,1.0d,C30,\xC4\xE0\xBD\xAC\xBB\xA4\xB1\xDA\xB3\xC9\xD7\xAE,25\r\n"));
    ASSERT_TRUE(std::holds_alternative<schedule::Schedule>(read));
    ProjectInfo project;
    EXPECT_EQ(ApplyProjectLines(project, std::get<schedule::Schedule>(read).titleFields), 1u);
    EXPECT_EQ(project.name, u"江北嘴");
}

ProjectInfo FullProject() {
    ProjectInfo project;
    project.name = u"江北嘴大厦,二期";  // a separator: the cell is quoted
    project.number = u"2026-\"07\"";    // quotes, doubled in the quoted cell
    project.stage = u"施工图：第二版";  // a colon in the text
    project.designer = u"重庆市设计院";
    project.date = u"2026年12月11日";
    return project;
}

// "导出桩表…" with a project, as CSV and as a workbook, then "导入桩表…" into another window's
// session: the same project and the same books.
class ExportedSchedule : public ::testing::TestWithParam<bool> {};

TEST_P(ExportedSchedule, ImportsWithItsProject) {
    const bool workbook = GetParam();
    PanelSession session;
    session.SetProject(FullProject());
    const pile::test::Panel circle{.dd = u"1000", .hr = u"1.5d", .frk = u"25"};
    session.Compute(circle.Input(), PrecisionMode::Units, u'.', u"2024/5/6 14:03:27");
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::filesystem::path file =
        folder / (workbook ? "project_info_test_export.xlsx" : "project_info_test_export.csv");
    std::filesystem::remove(file);
    if (workbook) {
        ASSERT_EQ(
            WriteScheduleWorkbook(session.Records(), FullProject(), file.string(), folder.string()),
            std::nullopt);
    } else {
        std::ofstream(file, std::ios::binary)
            << ScheduleOfRecords(session.Records(), FullProject());
    }

    PanelSession other;
    ProjectInfo before;
    before.review = u"赵六";  // a field the schedule does not name stays
    other.SetProject(before);
    const ImportResult result = other.Import(file, u'.', u"2025/1/1 00:00:00");
    std::filesystem::remove(file);
    EXPECT_EQ(result.message, u"");
    EXPECT_EQ(result.projectFields, 5u);
    ProjectInfo expected = FullProject();
    expected.review = u"赵六";
    EXPECT_EQ(ProjectText(other.Project()), ProjectText(expected));
    EXPECT_EQ(other.Lines(Book::Text), session.Lines(Book::Text));
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportedSchedule, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Xlsx" : "Csv"; });

TEST(ProjectLines, OnlyTheFieldsNotEmptyAreWritten) {
    ProjectInfo project;
    project.name = u"甲";
    project.review = u"  ";
    EXPECT_EQ(ProjectLines(project), u"工程名称：甲\r\n");
}

// The state keeps the project whatever rows follow it; a state of the version before reads
// with none.
TEST(JournalProject, SurvivesTheStateAndTheRecovery) {
    PanelSession session;
    const pile::test::Panel circle{.dd = u"1000", .hr = u"1.5d", .frk = u"25"};
    session.Compute(circle.Input(), PrecisionMode::Units, u'.', u"2024/5/6 14:03:27");
    ProjectInfo project = FullProject();
    project.subproject = u"1#楼\n地下室";  // a line break from a workbook's cell
    session.SetProject(project);
    const std::string journal = JournalHeader() + JournalRow(session.Records().back());
    const std::optional<JournalState> state = ReadState(StateText(StateOf(session)));
    ASSERT_TRUE(state);
    project.subproject = u"1#楼 地下室";
    EXPECT_EQ(ProjectText(state->project), ProjectText(project));

    // Two rows more than the state counts: the books come from the rows, the project still
    // from the state.
    const std::string longer =
        journal + JournalRow(session.Records().back()) + JournalRow(session.Records().back());
    PanelSession restored;
    RestoreSession(ReadJournal(longer, state), restored);
    EXPECT_EQ(restored.Records().size(), 3u);
    EXPECT_EQ(ProjectText(restored.Project()), ProjectText(project));

    const std::optional<JournalState> old =
        ReadState("pile-journal-state 2\nrows 1\nunsaved 3\nanswered 0\nsaved 0 0\n");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->project, ProjectInfo());
    EXPECT_FALSE(ReadState(StateText(StateOf(session)) + "project 地址=某处\n"));
}

}  // namespace
}  // namespace pile::session
