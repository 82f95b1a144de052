#include "book_view_text.h"

#include <gtest/gtest.h>

#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

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
        FollowRow{"InsideTheReplacedLinesGoesToTheirStart",
                  {u"a", u"x", u"y", u"z"},
                  {1, 2, 3},
                  {2, 1},
                  {1, 0}},
        FollowRow{
            "InsideRemovedLinesAtTheEndGoesToTheEnd", {u"a", u"bc"}, {2, 3, 0}, {3, 2}, {1, 2}},
        FollowRow{"EmptiedBookGoesToTheStart", {}, {0, 4, 0}, {3, 2}, {0, 0}},
        FollowRow{"ColumnBeyondTheLineIsClamped", {u"ab"}, {1, 1, 0}, {0, 9}, {0, 2}}),
    pile::test::RowName());

TEST(DisplayColumns, WideCharactersTakeTwoColumns) {
    EXPECT_EQ(pile::ui::DisplayColumns(u"d=1000"), 6u);
    EXPECT_EQ(pile::ui::DisplayColumns(u"桩径d"), 5u);
    EXPECT_EQ(pile::ui::DisplayColumns(u"（ζr）"), 6u);
    EXPECT_EQ(pile::ui::DisplayColumns(u"\U00020000x"), 3u);  // a pair of code units
}

}  // namespace
