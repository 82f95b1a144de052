#include "book_view_text.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/pile_calculation.h"
#include "ui_test_support.h"

// Failures show the texts, not their code units.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using pile::BookChange;
using pile::BookLines;
using pile::ui::BookPosition;

// ---------------------------------------------------------------- places after a change

struct FollowRow {
    const char* name;
    BookLines after;
    BookChange change;
    BookPosition before;
    BookPosition expected;
};

void PrintTo(const FollowRow& row, std::ostream* out) {
    *out << row.name;
}

class PlaceAfterChange : public ::testing::TestWithParam<FollowRow> {};

TEST_P(PlaceAfterChange, KeepsToItsText) {
    const FollowRow& row = GetParam();
    EXPECT_EQ(pile::ui::Followed(row.before, row.change, row.after), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PlaceAfterChange,
    ::testing::Values(
        FollowRow{"BeforeTheChangeStays", {u"head", u"r1", u"r2"}, {2, 0, 1}, {0, 3}, {0, 3}},
        FollowRow{"AfterAnInsertMovesDown", {u"a", u"new", u"b"}, {1, 0, 1}, {1, 1}, {2, 1}},
        FollowRow{"AfterARemovalMovesUp", {u"a", u"c"}, {1, 1, 0}, {2, 1}, {1, 1}},
        FollowRow{"InsideTheReplacedLinesGoesToTheirStart",
                  {u"a", u"x", u"y", u"z"},
                  {1, 2, 3},
                  {2, 1},
                  {1, 0}},
        FollowRow{
            "InsideRemovedLinesAtTheEndGoesToTheEnd", {u"a", u"bc"}, {2, 3, 0}, {3, 2}, {1, 2}},
        FollowRow{"EmptiedBookGoesToTheStart", {}, {0, 4, 0}, {3, 2}, {0, 0}},
        FollowRow{"ColumnBeyondTheLineIsClamped", {u"ab"}, {1, 1, 0}, {0, 9}, {0, 2}}),
    pile::ui::testing::RowName());

// ---------------------------------------------------------------- text between places

struct TextRow {
    const char* name;
    BookPosition from;
    BookPosition to;
    QString expected;
};

void PrintTo(const TextRow& row, std::ostream* out) {
    *out << row.name;
}

class TextBetweenPlaces : public ::testing::TestWithParam<TextRow> {};

TEST_P(TextBetweenPlaces, JoinsLinesWithNewlines) {
    const BookLines book = {u"桩号 ZH1", u"", u"Ra=1234"};
    const TextRow& row = GetParam();
    EXPECT_EQ(pile::ui::TextBetween(book, row.from, row.to), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, TextBetweenPlaces,
    ::testing::Values(TextRow{"WithinALine", {0, 1}, {0, 4}, QStringLiteral("号 Z")},
                      TextRow{"AcrossAnEmptyLine", {0, 3}, {2, 2}, QStringLiteral("ZH1\n\nRa")},
                      TextRow{"WholeBook", {0, 0}, {2, 7}, QStringLiteral("桩号 ZH1\n\nRa=1234")},
                      TextRow{"LineBreakAlone", {0, 6}, {1, 0}, QStringLiteral("\n")},
                      TextRow{"BackwardsIsNothing", {2, 1}, {0, 0}, QString()},
                      TextRow{"BeyondTheEndIsClamped", {2, 3}, {9, 0}, QStringLiteral("1234")}),
    pile::ui::testing::RowName());

// ---------------------------------------------------------------- the widest line

TEST(DisplayColumns, WideCharactersTakeTwoColumns) {
    EXPECT_EQ(pile::ui::DisplayColumns(u"d=1000"), 6u);
    EXPECT_EQ(pile::ui::DisplayColumns(u"桩径d"), 5u);
    EXPECT_EQ(pile::ui::DisplayColumns(u"（ζr）"), 6u);
    EXPECT_EQ(pile::ui::DisplayColumns(u"\U00020000x"), 3u);  // a pair of code units
}

struct WidestRow {
    const char* name;
    BookLines after;
    BookChange change;
    std::size_t expectedLine;
};

void PrintTo(const WidestRow& row, std::ostream* out) {
    *out << row.name;
}

class WidestLineAfterChange : public ::testing::TestWithParam<WidestRow> {};

// Before every change the book is {"aa", "bbbb", "cc"}: line 1 is the widest.
TEST_P(WidestLineAfterChange, IsTheWidestOfTheNewBook) {
    const WidestRow& row = GetParam();
    pile::ui::WidestLine widest;
    widest.Reset({u"aa", u"bbbb", u"cc"});
    widest.Follow(row.after, row.change);
    EXPECT_EQ(widest.Line(), row.expectedLine);
    EXPECT_EQ(widest.Columns(), pile::ui::DisplayColumns(row.after[row.expectedLine]));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, WidestLineAfterChange,
    ::testing::Values(
        WidestRow{"AppendNarrowerKeepsIt", {u"aa", u"bbbb", u"cc", u"d"}, {3, 0, 1}, 1},
        WidestRow{"AppendWiderTakesOver", {u"aa", u"bbbb", u"cc", u"宽宽宽"}, {3, 0, 1}, 3},
        WidestRow{"AppendEqualKeepsTheFirst", {u"aa", u"bbbb", u"cc", u"dddd"}, {3, 0, 1}, 1},
        WidestRow{"InsertBeforeMovesIt", {u"x", u"aa", u"bbbb", u"cc"}, {0, 0, 1}, 2},
        WidestRow{"RemoveItFindsTheNext", {u"aa", u"cc"}, {1, 1, 0}, 0},
        WidestRow{"ReplaceItByAWiderLine", {u"aa", u"bbbbbb", u"cc"}, {1, 1, 1}, 1}),
    pile::ui::testing::RowName());

// The widest line kept change by change agrees with a fresh look over a session of real
// books, calculations and deletions mixed.
TEST(WidestLine, FollowsARealSessionAsAFreshLookFindsIt) {
    pile::PanelInput circle;
    circle.ddText = u"1000";
    circle.tyzdText = u"0";
    circle.hrText = u"1.0d";
    circle.frkText = u"25";
    circle.fukText = u"24";
    pile::PanelInput ellipse = circle;
    ellipse.rockMode = pile::RockParameterMode::Fuk;
    ellipse.process = pile::ConstructionProcess::DryClean;
    ellipse.sectionType = pile::SectionType::Ellipse;
    ellipse.tyzdText = u"1000";
    ellipse.hrText = u"1.5d";
    pile::CalculationBooks books;
    pile::ui::WidestLine table;
    pile::ui::WidestLine text;
    for (const char step : std::string("CEECDDECDDDDCE")) {
        SCOPED_TRACE(std::string(1, step) + " at record " + std::to_string(books.PileCounter()));
        pile::BooksChange change;
        if (step == 'D') {
            change = books.DeleteLast();
        } else {
            const pile::PanelInput& panel = step == 'C' ? circle : ellipse;
            const auto outcome = pile::ComputePile(panel, u'.');
            const auto& computed = std::get<pile::ComputedPile>(outcome.result);
            change =
                books.AppendRecord(computed.input, computed.result, panel.ddText, panel.tyzdText,
                                   pile::PrecisionMode::Units, u'.', u"2024/5/6 14:00:00");
        }
        table.Follow(books.TableLines(), change.table);
        text.Follow(books.TextLines(), change.text);
        pile::ui::WidestLine fresh;
        fresh.Reset(books.TableLines());
        EXPECT_EQ(table.Line(), fresh.Line());
        EXPECT_EQ(table.Columns(), fresh.Columns());
        fresh.Reset(books.TextLines());
        EXPECT_EQ(text.Line(), fresh.Line());
        EXPECT_EQ(text.Columns(), fresh.Columns());
    }
}

}  // namespace
