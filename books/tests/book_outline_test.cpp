#include "books/book_outline.h"

#include <gtest/gtest.h>

#include "books/calculation_books.h"
#include "testing/book_fixtures.h"
#include "testing/row_name.h"

namespace pile {
namespace {

using pile::test::PrintTo;
using namespace testing_piles;

struct SessionRow {
    const char* name;
    int appended;  // a circle, a rectangle, an ellipse: records of three lengths
    bool deleteLast;
};
class OutlineOfWrittenBooks : public testing::TestWithParam<SessionRow> {};

TEST_P(OutlineOfWrittenBooks, FindsEveryPileHeadFootAndTime) {
    CalculationBooks books;
    const Pile piles[] = {Startup(), Rectangle(), Ellipse()};
    for (int n = 0; n < GetParam().appended; ++n) {
        books.AppendRecord(piles[n].input, piles[n].result, piles[n].dd, piles[n].tyzd,
                           PrecisionMode::Units, u'.', u"t");
    }
    if (GetParam().deleteLast) {
        books.DeleteLast();
    }
    const BookLines& text = books.TextLines();
    const BookLines& table = books.TableLines();
    const BookOutline t = TextBookOutline(text);
    const BookOutline r = TableBookOutline(table);
    const auto records = static_cast<std::size_t>(books.PileCounter());
    ASSERT_EQ(t.recordStarts.size(), records) << Describe(text);
    ASSERT_EQ(r.recordStarts.size(), records) << Describe(table);
    for (std::size_t n = 0; n < records; ++n) {
        const std::size_t start = t.recordStarts[n];
        EXPECT_TRUE(text[start + 1].ends_with(PileNumberText(int(n) + 1))) << start;
        EXPECT_TRUE(n == 0 ? start == 0 : text[start - 1] == kRecordSeparator) << start;
        EXPECT_EQ(table[r.recordStarts[n]],
                  TableRow(RecordOf(piles[n], PrecisionMode::Units, int(n) + 1, u'.', u"t")));
    }
    if (records == 0) {
        EXPECT_EQ(t, BookOutline{});
        EXPECT_EQ(r, BookOutline{});
        return;
    }
    EXPECT_EQ(t.calculationTime, u"t");
    EXPECT_EQ(r.calculationTime, u"t");
    EXPECT_EQ(t.foot, (LineRange{text.size() - 1, text.size()}));
    EXPECT_EQ(r.head, (LineRange{0, r.recordStarts[0]}));
    EXPECT_EQ(r.headings, (LineRange{1, r.head.end})) << "all of the head but the title line";
    EXPECT_EQ(r.foot, (LineRange{r.recordStarts.back() + 1, table.size()}));
}

INSTANTIATE_TEST_SUITE_P(Sessions, OutlineOfWrittenBooks,
                         testing::Values(SessionRow{"EmptyBooks", 0, false},
                                         SessionRow{"OneRecord", 1, false},
                                         SessionRow{"SeveralRecords", 3, false},
                                         SessionRow{"AfterDeleteLast", 3, true},
                                         SessionRow{"DeleteTheOnlyRecord", 1, true}),
                         pile::test::RowName{});

// A time line after a separator starts no record; a table too short for its frame has none.
struct DamagedRow {
    const char* name;
    BookOutline (*outline)(const BookLines&);
    BookLines lines;
    std::vector<std::size_t> recordStarts;
    LineRange foot;
};
class OutlineOfDamagedBooks : public testing::TestWithParam<DamagedRow> {};
TEST_P(OutlineOfDamagedBooks, OutlinesWhatTheLinesHold) {
    const BookOutline outline = GetParam().outline(GetParam().lines);
    EXPECT_EQ(outline.recordStarts, GetParam().recordStarts);
    EXPECT_EQ(outline.foot, GetParam().foot);
}
const std::u16string kSeparator(kRecordSeparator);
const DamagedRow kDamagedRows[] = {
    {"TextTimeLineInTheMiddle", TextBookOutline, {kSeparator, u"计算时间：s", u"b"}, {0}, {}},
    {"TextSeparatorFirst", TextBookOutline, {kSeparator, u"a", u"计算时间：t"}, {0, 1}, {2, 3}},
    {"TableTooShort", TableBookOutline, BookLines(9, u"计算时间：t"), {}, {}},
};
INSTANTIATE_TEST_SUITE_P(Books, OutlineOfDamagedBooks, testing::ValuesIn(kDamagedRows),
                         pile::test::RowName{});

}  // namespace
}  // namespace pile
