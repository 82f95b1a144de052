#include "session/project_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "books/book_outline.h"
#include "engine/utf_text.h"
#include "session/session_journal.h"
#include "testing/panels.h"
#include "testing/row_name.h"

namespace pile::session {
namespace {

using pile::test::Panel;
using pile::test::PrintTo;
using enum ProjectColumn;

std::string U8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

const Panel kCircle{.dd = u"1000", .hr = u"1.5d", .frk = u"25"};
const Panel kEllipse{.section = SectionType::Ellipse,
                     .mode = RockParameterMode::Fuk,
                     .dd = u"1200",
                     .tyzd = u"800",
                     .hr = u"2000",
                     .fuk = u"30"};
// Typed the wrong way round: the books print the sides exchanged.
const Panel kRectangle{.section = SectionType::Rectangle,
                       .mode = RockParameterMode::Fuk,
                       .dd = u"900",
                       .tyzd = u"1500",
                       .hr = u"1.0b",
                       .fuk = u"+24.50"};

struct RowCase {
    const char* name;
    Panel panel;
    char16_t separator;
    std::u16string mark;
    schedule::LoadTexts loads;
    // The cells that come from the panel and the marks; Ra and Rc are checked against the
    // result panel of the same calculation.
    const char* markCell;
    const char* section;
    const char* size;
    const char* hr;
    const char* rock;
    const char* process;
    const char* verdict;
    bool failed;
};

class ProjectRows : public testing::TestWithParam<RowCase> {};

TEST_P(ProjectRows, ShowWhatTheBooksAndResultsPrint) {
    const RowCase& c = GetParam();
    PanelSession session;
    session.Compute(kCircle.Input(), PrecisionMode::Units, u'.', u"2024/5/6 14:00:00");
    const PanelUpdate update = session.Compute(c.panel.Input(), PrecisionMode::OneDecimal,
                                               c.separator, u"2024/5/6 14:03:27", c.mark, c.loads);
    const auto& results = std::get<ResultTexts>(update.outcome);
    ProjectTable table;
    table.Follow(session);
    ASSERT_EQ(table.Rows().size(), 2u);
    const ProjectRow& row = table.Rows()[1];
    EXPECT_EQ(U8(row.Cell(Mark)), c.markCell);
    EXPECT_EQ(U8(row.Cell(Section)), c.section);
    EXPECT_EQ(U8(row.Cell(Size)), c.size);
    EXPECT_EQ(U8(row.Cell(Hr)), c.hr);
    EXPECT_EQ(U8(row.Cell(Rock)), c.rock);
    EXPECT_EQ(U8(row.Cell(Process)), c.process);
    EXPECT_EQ(row.Cell(Coefficient), results.coefficient);
    EXPECT_EQ(row.Cell(Ra), results.ra);
    EXPECT_EQ(row.Cell(Rc), results.rc);
    EXPECT_EQ(row.Cell(Nk), c.loads.nk);
    EXPECT_EQ(U8(row.Cell(Verdict)), c.verdict);
    EXPECT_EQ(row.failed, c.failed);
    // Every cell the table book prints of the record stands in its row of that book.
    const BookLines& book = session.Lines(Book::Table);
    const std::u16string& bookRow = book[TableBookOutline(book).recordStarts.at(1)];
    for (const ProjectColumn column : {Hr, Grade, Ra, Rc}) {
        EXPECT_NE(bookRow.find(row.Cell(column)), std::u16string::npos) << U8(row.Cell(column));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ProjectRows,
                         testing::Values(RowCase{"CircleWithoutLoads",
                                                 kCircle,
                                                 u'.',
                                                 u"",
                                                 {},
                                                 "ZH2",
                                                 "圆桩",
                                                 "1000",
                                                 "1.5d",
                                                 "25.00",
                                                 "泥浆护壁",
                                                 "",
                                                 false},
                                         RowCase{"EllipseWithAMarkAndAPassingLoad",
                                                 kEllipse,
                                                 u'.',
                                                 u"ZJ-7",
                                                 {u"100", u"", u"", u""},
                                                 "ZJ-7",
                                                 "椭圆桩",
                                                 "1200 / 800",
                                                 "2000",
                                                 "30.00",
                                                 "干 作 业",
                                                 "满足",
                                                 false},
                                         RowCase{"RectangleExchangedAndFailing",
                                                 kRectangle,
                                                 u'.',
                                                 u"",
                                                 {u"1e9", u"", u"5", u"1.1"},
                                                 "ZH2",
                                                 "矩形桩",
                                                 "1500×900",
                                                 "1.0b",
                                                 "24.50",
                                                 "干 作 业",
                                                 "不满足（Nk>Ra）",
                                                 true},
                                         RowCase{"DecimalCommaRecord",
                                                 {.dd = u"1000", .hr = u"1,5d", .frk = u"25"},
                                                 u',',
                                                 u"",
                                                 {u"10,5", u"", u"", u""},
                                                 "ZH2",
                                                 "圆桩",
                                                 "1000",
                                                 "1,5d",
                                                 "25,00",
                                                 "泥浆护壁",
                                                 "满足",
                                                 false}),
                         pile::test::RowName{});

// Follow rebuilds only what changed, whatever the session did since.
struct FollowCase {
    const char* name;
    void (*change)(PanelSession&);
    std::vector<std::size_t> rebuilt;
    RowSpan removed;
    RowSpan added;
};

void ComputeOne(PanelSession& s, const Panel& panel, std::u16string_view time) {
    s.Compute(panel.Input(), PrecisionMode::Units, u'.', time);
}

class ProjectFollow : public testing::TestWithParam<FollowCase> {};

TEST_P(ProjectFollow, RebuildsOnlyTheRowsThatChanged) {
    PanelSession session;
    ComputeOne(session, kCircle, u"t1");
    ComputeOne(session, kEllipse, u"t2");
    ComputeOne(session, kRectangle, u"t3");
    ProjectTable table;
    table.Follow(session);
    GetParam().change(session);
    const ProjectChange change = table.Follow(session);
    EXPECT_EQ(change.rebuilt, GetParam().rebuilt);
    EXPECT_EQ(change.removed, GetParam().removed);
    EXPECT_EQ(change.added, GetParam().added);
    // And the rows are those a table built afresh has.
    ProjectTable fresh;
    fresh.Follow(session);
    ASSERT_EQ(table.Rows().size(), fresh.Rows().size());
    for (std::size_t i = 0; i < fresh.Rows().size(); ++i) {
        EXPECT_EQ(table.Rows()[i].cells, fresh.Rows()[i].cells) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ProjectFollow,
    testing::Values(
        FollowCase{"Nothing", [](PanelSession&) {}, {}, {}, {}},
        FollowCase{
            "OneComputed", [](PanelSession& s) { ComputeOne(s, kCircle, u"t4"); }, {}, {}, {3, 1}},
        FollowCase{"DeleteLast", [](PanelSession& s) { s.DeleteLast(); }, {}, {2, 1}, {}},
        FollowCase{"NewBooksWithOtherRecords",
                   [](PanelSession& s) {
                       s.Clear();
                       ComputeOne(s, kCircle, u"t1");
                       ComputeOne(s, kRectangle, u"t5");
                   },
                   {1},
                   {2, 1},
                   {}},
        FollowCase{"ALoadEdited",
                   [](PanelSession& s) { ASSERT_FALSE(SetLoad(s, 1, Nk, u"50")); },
                   {1},
                   {},
                   {}}),
    pile::test::RowName{});

// A load cell takes what a schedule's load cell takes, and refuses the rest with its message.
struct EditCase {
    const char* name;
    ProjectColumn column;
    std::u16string text;
    const char* refusal;  // empty: taken
};

class LoadEdits : public testing::TestWithParam<EditCase> {};

TEST_P(LoadEdits, TakeWhatTheScheduleTakes) {
    const EditCase& c = GetParam();
    PanelSession session;
    session.Compute(kCircle.Input(), PrecisionMode::Units, u'.', u"t1", u"ZJ1",
                    {u"100", u"", u"", u""});
    const BookLines before = session.Lines(Book::Text);
    const std::optional<std::u16string> refusal = SetLoad(session, 0, c.column, c.text);
    EXPECT_EQ(U8(refusal.value_or(u"")), c.refusal);
    const schedule::LoadTexts& loads = session.Records()[0].loads;
    const std::u16string& cell = c.column == Nk      ? loads.nk
                                 : c.column == Nkmax ? loads.nkmax
                                 : c.column == N     ? loads.n
                                                     : loads.gamma0;
    EXPECT_EQ(cell, refusal ? (c.column == Nk ? u"100" : u"") : c.text);
    EXPECT_EQ(session.Lines(Book::Text), before);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, LoadEdits,
    testing::Values(EditCase{"Nk", Nk, u"250.5", ""}, EditCase{"NkEmptied", Nk, u"", ""},
                    EditCase{"Nkmax", Nkmax, u"300", ""}, EditCase{"Gamma0", Gamma0, u"1.1", ""},
                    EditCase{"NegativeNk", Nk, u"-1", "Nk「-1」应为不小于 0 的数（kN）"},
                    EditCase{"WordForN", N, u"abc", "N「abc」应为不小于 0 的数（kN）"},
                    EditCase{"Gamma0OutOfRange", Gamma0, u"1.5", "γ0「1.5」应在 0.9 到 1.1 之间"}),
    pile::test::RowName{});

TEST(LoadEdit, OfAColumnFromTheBooksChangesNothing) {
    PanelSession session;
    session.Compute(kCircle.Input(), PrecisionMode::Units, u'.', u"t1");
    EXPECT_FALSE(SetLoad(session, 0, Ra, u"1"));
    EXPECT_FALSE(SetLoad(session, 5, Nk, u"1"));
    EXPECT_TRUE(session.Records()[0].loads.Empty());
}

// An edited load is in the journal that the program writes afresh, and a recovery restores it.
TEST(LoadEdit, SurvivesTheJournal) {
    PanelSession session;
    session.Compute(kCircle.Input(), PrecisionMode::Units, u'.', u"t1");
    session.Compute(kEllipse.Input(), PrecisionMode::Units, u'.', u"t2", u"ZJ2",
                    {u"1", u"", u"", u""});
    ASSERT_FALSE(SetLoad(session, 1, Nk, u"1e9"));
    ASSERT_FALSE(SetLoad(session, 0, N, u"20"));
    const Recovery recovery = ReadJournal(ScheduleOfRecords(session.Records()), std::nullopt);
    ASSERT_EQ(recovery.records.size(), 2u);
    PanelSession restored;
    RestoreSession(recovery, restored);
    ProjectTable before;
    ProjectTable after;
    before.Follow(session);
    after.Follow(restored);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(after.Rows()[i].cells, before.Rows()[i].cells) << i;
    }
    EXPECT_TRUE(after.Rows()[1].failed);
}

// Sorting: numbers by value, text by its digits as numbers, the cells with no number last.
struct SortCase {
    const char* name;
    ProjectColumn column;
    std::vector<std::u16string> cells;  // as given
    std::vector<std::u16string> sorted;
};

class ProjectSort : public testing::TestWithParam<SortCase> {};

TEST_P(ProjectSort, OrdersTheCells) {
    const SortCase& c = GetParam();
    PanelSession session;
    for (std::size_t i = 0; i < c.cells.size(); ++i) {
        const bool mark = c.column == Mark;
        session.Compute(kCircle.Input(), PrecisionMode::Units, u'.', u"t", mark ? c.cells[i] : u"",
                        {mark ? u"" : c.cells[i], u"", u"", u""});
    }
    ProjectTable table;
    table.Follow(session);
    std::vector<ProjectRow> rows = table.Rows();
    std::stable_sort(rows.begin(), rows.end(), [&](const ProjectRow& a, const ProjectRow& b) {
        return ProjectLess(a, b, c.column);
    });
    std::vector<std::u16string> sorted;
    for (const ProjectRow& row : rows) {
        sorted.push_back(row.Cell(c.column));
    }
    EXPECT_EQ(sorted, c.sorted);
}

INSTANTIATE_TEST_SUITE_P(Orders, ProjectSort,
                         testing::Values(SortCase{"LoadsByValue",
                                                  Nk,
                                                  {u"100", u"", u"25.5", u"9", u"1e3"},
                                                  {u"9", u"25.5", u"100", u"1e3", u""}},
                                         SortCase{"MarksByTheirNumbers",
                                                  Mark,
                                                  {u"ZJ10", u"ZJ9", u"A1", u"ZJ09a", u"ZJ9"},
                                                  {u"A1", u"ZJ9", u"ZJ9", u"ZJ09a", u"ZJ10"}}),
                         pile::test::RowName{});

TEST(ProjectColumns, NameEachColumnOnce) {
    std::vector<std::u16string_view> names;
    for (std::size_t i = 0; i < kProjectColumns; ++i) {
        names.push_back(ProjectColumnName(static_cast<ProjectColumn>(i)));
    }
    EXPECT_EQ(U8(names.front()), "桩号");
    EXPECT_EQ(U8(names.back()), "验算");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace
}  // namespace pile::session
