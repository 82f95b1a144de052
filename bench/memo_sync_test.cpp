#include "memo_sync.h"

#include <gtest/gtest.h>

#include "testing/qt/ui_test_support.h"

#include <QTextDocument>

#include "engine/pile_calculation.h"
#include "io/qt_text.h"
#include "testing/row_name.h"

namespace {

using pile::test::PrintTo;

using pile::BookChange;
using pile::BookLines;
using pile::io::ToQString;
using pile::ui::FollowBook;

QString Joined(const BookLines& book) {
    QStringList lines;
    for (const std::u16string& line : book) {
        lines.append(ToQString(line));
    }
    return lines.join(u'\n');
}

struct Row {
    const char* name;
    BookLines before;
    BookLines after;
    BookChange change;
};

class FollowOneChange : public ::testing::TestWithParam<Row> {};

TEST_P(FollowOneChange, DocumentReadsAsTheBookAfterTheChange) {
    const Row& row = GetParam();
    QTextDocument document(Joined(row.before));
    FollowBook(document, row.after, row.change);
    EXPECT_EQ(document.toPlainText().toStdString(), Joined(row.after).toStdString());
    EXPECT_EQ(document.blockCount(), std::max<int>(1, static_cast<int>(row.after.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FollowOneChange,
    ::testing::Values(
        Row{"FirstLinesIntoEmpty", {}, {u"a", u"b"}, {0, 0, 2}},
        Row{"AppendAtTheEnd", {u"a"}, {u"a", u"b", u"c"}, {1, 0, 2}},
        Row{"ReplaceTheLastLine", {u"a", u"t1"}, {u"a", u"r", u"t2"}, {1, 1, 2}},
        Row{"ReplaceTheFooter",
            {u"h", u"r1", u"f1", u"f2"},
            {u"h", u"r1", u"r2", u"f1", u"f3"},
            {2, 2, 3}},
        Row{"RemoveALineInTheMiddle", {u"h", u"r1", u"r2", u"f"}, {u"h", u"r1", u"f"}, {2, 1, 0}},
        Row{"RemoveTheFirstLine", {u"a", u"b"}, {u"b"}, {0, 1, 0}},
        Row{"RemoveTheLastLines", {u"a", u"b", u"c"}, {u"a"}, {1, 2, 0}},
        Row{"InsertBeforeTheFirstLine", {u"b"}, {u"a", u"b"}, {0, 0, 1}},
        Row{"InsertInTheMiddle", {u"a", u"c"}, {u"a", u"b", u"c"}, {1, 0, 1}},
        Row{"EmptyEverything", {u"a", u"b", u"c"}, {}, {0, 3, 0}},
        Row{"ReplaceEverything", {u"a", u"b"}, {u"x"}, {0, 2, 1}},
        Row{"EmptyLinesStayLines", {u"a", u""}, {u"a", u"", u"", u"b"}, {2, 0, 2}},
        Row{"NothingChanged", {u"a"}, {u"a"}, {1, 0, 0}}),
    pile::test::RowName{});

// The memos against the books over a session of calculations and deletions.
TEST(FollowTheBooks, SessionOfCalculationsAndDeletions) {
    pile::PanelInput panel;
    panel.ddText = u"1000";
    panel.tyzdText = u"0";
    panel.hrText = u"1.0d";
    panel.frkText = u"25";
    panel.fukText = u"24";
    const auto outcome = pile::ComputePile(panel, u'.');
    const auto& computed = std::get<pile::ComputedPile>(outcome.result);

    pile::CalculationBooks books;
    QTextDocument table;
    QTextDocument text;
    auto follow = [&](const pile::BooksChange& change) {
        FollowBook(table, books.TableLines(), change.table);
        FollowBook(text, books.TextLines(), change.text);
        ASSERT_EQ(table.toPlainText(), Joined(books.TableLines()));
        ASSERT_EQ(text.toPlainText(), Joined(books.TextLines()));
    };
    auto append = [&](int minute) {
        const std::u16string time = u"2024/5/6 14:0" + std::u16string(1, char16_t(u'0' + minute));
        follow(books.AppendRecord(computed.input, computed.result, u"1000", u"0",
                                  pile::PrecisionMode::Units, u'.', time));
    };
    for (const char step : std::string("AAADDAADDDDA")) {
        SCOPED_TRACE(books.PileCounter());
        if (step == 'A') {
            append(books.PileCounter());
        } else {
            follow(books.DeleteLast());
        }
    }
    EXPECT_EQ(books.PileCounter(), 1);
}

}  // namespace
