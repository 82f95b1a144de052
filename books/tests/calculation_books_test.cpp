#include "books/calculation_books.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "testing/book_fixtures.h"
#include "testing/row_name.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using namespace testing_piles;

const std::u16string kSeparator(50, u'=');

// What a view does with a reported change: the lines [position, position + removed) of its
// copy give way to the lines [position, position + inserted) of the new book.
BookLines Follow(BookLines view, const BookLines& now, const BookChange& change) {
    EXPECT_LE(change.position + change.removed, view.size());
    EXPECT_LE(change.position + change.inserted, now.size());
    if (change.position + change.removed > view.size() ||
        change.position + change.inserted > now.size()) {
        return view;
    }
    const auto at = view.begin() + static_cast<std::ptrdiff_t>(change.position);
    view.erase(at, at + static_cast<std::ptrdiff_t>(change.removed));
    const auto from = now.begin() + static_cast<std::ptrdiff_t>(change.position);
    view.insert(view.begin() + static_cast<std::ptrdiff_t>(change.position), from,
                from + static_cast<std::ptrdiff_t>(change.inserted));
    return view;
}

// Runs one action and checks that the change it reports turns the old books into the new.
template <typename Action>
BooksChange Checked(CalculationBooks& books, Action action) {
    const BookLines table = books.TableLines();
    const BookLines text = books.TextLines();
    const BooksChange change = action(books);
    EXPECT_EQ(Follow(table, books.TableLines(), change.table), books.TableLines());
    EXPECT_EQ(Follow(text, books.TextLines(), change.text), books.TextLines());
    return change;
}

BooksChange Append(CalculationBooks& books, const Pile& pile, std::u16string_view time,
                   PrecisionMode mode = PrecisionMode::Units) {
    return Checked(books, [&](CalculationBooks& b) {
        return b.AppendRecord(pile.input, pile.result, pile.dd, pile.tyzd, mode, u'.', time);
    });
}

BooksChange Delete(CalculationBooks& books) {
    return Checked(books, [](CalculationBooks& b) { return b.DeleteLast(); });
}

TEST(CalculationBooks, FirstRecordFillsBothBooksAndSetsCounterAndFlags) {
    CalculationBooks books;
    const BooksChange change = Append(books, Startup(), u"2024/5/6 14:03:27");
    EXPECT_EQ(books.PileCounter(), 1);
    EXPECT_EQ(books.UnsavedBookFlags(), 3);
    ASSERT_EQ(books.TableLines().size(), 10u);
    ASSERT_EQ(books.TextLines().size(), 53u);
    EXPECT_EQ(books.TableLines()[5].substr(0, 11), u"   ZH1     ");
    EXPECT_EQ(books.TextLines()[1], u"1.基桩编号: ZH1");
    EXPECT_EQ(books.TableLines().back(), u"计算时间：2024/5/6 14:03:27");
    EXPECT_EQ(books.TextLines().back(), u"计算时间：2024/5/6 14:03:27");
    EXPECT_EQ(books.TextLines()[51], kSeparator);
    EXPECT_EQ(change.table, (BookChange{0, 0, 10}));
    EXPECT_EQ(change.text, (BookChange{0, 0, 53}));
}

TEST(CalculationBooks, FurtherRecordsReplaceOnlyTheEndsOfTheBooks) {
    CalculationBooks books;
    Append(books, Startup(), u"t1");
    const BooksChange second = Append(books, FukCircle(), u"t2");
    EXPECT_EQ(second.table, (BookChange{6, 4, 5}));
    EXPECT_EQ(second.text, (BookChange{52, 1, 55}));
    const BooksChange third = Append(books, Ellipse(), u"2024/5/7");
    EXPECT_EQ(third.table, (BookChange{7, 4, 5}));
    EXPECT_EQ(third.text, (BookChange{106, 1, 58}));
    EXPECT_EQ(books.PileCounter(), 3);
    EXPECT_EQ(books.TableLines().size(), 12u);
    EXPECT_EQ(books.TextLines().size(), 52u + 54u + 57u + 1u);
    EXPECT_EQ(books.TableLines()[7].substr(0, 11), u"   ZH3     ");
    EXPECT_EQ(books.TextLines()[107], u"1.基桩编号: ZH3");
    EXPECT_EQ(books.TableLines().back(), u"计算时间：2024/5/7");
    EXPECT_EQ(books.TextLines().back(), u"计算时间：2024/5/7");
}

TEST(CalculationBooks, DeleteLastRemovesTheNewestRecordAndKeepsTheTimeLines) {
    CalculationBooks one;
    CalculationBooks two;
    CalculationBooks three;
    Append(one, Startup(), u"t1");
    Append(two, Startup(), u"t1");
    Append(two, Rectangle(), u"t2");
    Append(three, Startup(), u"t1");
    Append(three, Rectangle(), u"t2");
    Append(three, Square(), u"t3");
    three.MarkSaved(Book::Text);

    const BooksChange change = Delete(three);
    EXPECT_EQ(change.table, (BookChange{7, 1, 0}));
    EXPECT_EQ(change.text, (BookChange{52 + 57, 57, 0}));
    EXPECT_EQ(three.PileCounter(), 2);
    EXPECT_EQ(three.UnsavedBookFlags(), 2);  // a deletion leaves the flags as they were
    // The books read as before the third calculation, but for the time of the deleted one.
    BookLines table = two.TableLines();
    BookLines text = two.TextLines();
    table.back() = u"计算时间：t3";
    text.back() = u"计算时间：t3";
    EXPECT_EQ(three.TableLines(), table);
    EXPECT_EQ(three.TextLines(), text);

    Delete(three);
    EXPECT_EQ(three.PileCounter(), 1);
    table = one.TableLines();
    text = one.TextLines();
    table.back() = u"计算时间：t3";
    text.back() = u"计算时间：t3";
    EXPECT_EQ(three.TableLines(), table);
    EXPECT_EQ(three.TextLines(), text);

    // The next calculation takes the freed number and replaces the old time lines.
    Append(three, Ellipse(), u"t4");
    EXPECT_EQ(three.PileCounter(), 2);
    EXPECT_EQ(three.UnsavedBookFlags(), 3);
    EXPECT_EQ(three.TableLines()[6].substr(0, 11), u"   ZH2     ");
    EXPECT_EQ(three.TextLines()[53], u"1.基桩编号: ZH2");
    EXPECT_EQ(three.TableLines().back(), u"计算时间：t4");
    EXPECT_EQ(three.TextLines().back(), u"计算时间：t4");
    EXPECT_EQ(three.TableLines().size(), 11u);
}

TEST(CalculationBooks, DeleteWithOneRecordOrNoneEmptiesEverything) {
    CalculationBooks books;
    Append(books, Startup(), u"t1");
    const BooksChange change = Delete(books);
    EXPECT_EQ(change.table, (BookChange{0, 10, 0}));
    EXPECT_EQ(change.text, (BookChange{0, 53, 0}));
    EXPECT_TRUE(books.TableLines().empty());
    EXPECT_TRUE(books.TextLines().empty());
    EXPECT_EQ(books.PileCounter(), 0);
    EXPECT_EQ(books.UnsavedBookFlags(), 0);

    const BooksChange again = Delete(books);
    EXPECT_EQ(again.table, (BookChange{0, 0, 0}));
    EXPECT_EQ(again.text, (BookChange{0, 0, 0}));
    EXPECT_EQ(books.PileCounter(), 0);

    // The next calculation writes a new header and ZH1.
    Append(books, FukCircle(), u"t2");
    EXPECT_EQ(books.TableLines().size(), 10u);
    EXPECT_EQ(books.TableLines()[5].substr(0, 11), u"   ZH1     ");
}

TEST(CalculationBooks, SavesTakeTheirOwnBitOff) {
    CalculationBooks books;
    Append(books, Startup(), u"t1");
    books.MarkSaved(Book::Table);
    EXPECT_EQ(books.UnsavedBookFlags(), 1);
    books.MarkSaved(Book::Table);
    EXPECT_EQ(books.UnsavedBookFlags(), 1);
    books.MarkSaved(Book::Text);
    EXPECT_EQ(books.UnsavedBookFlags(), 0);
    Append(books, Startup(), u"t2");
    EXPECT_EQ(books.UnsavedBookFlags(), 3);
}

// Books whose counter claims more records than they hold. The delete action must end, and it
// leaves the one state that is consistent whatever was damaged: both books empty.
struct DamagedCase {
    const char* name;
    BookLines table;
    BookLines text;
    int counter;
};

// Test names and failure messages show the row by its name.
BookLines Lines(std::size_t count, std::u16string_view line) {
    return BookLines(count, std::u16string(line));
}

class DamagedBooksTest : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedBooksTest, DeleteEndsAndEmptiesBothBooks) {
    const DamagedCase& c = GetParam();
    CalculationBooks books = CalculationBooks::FromState(c.table, c.text, c.counter, 3);
    const BooksChange change = Delete(books);
    EXPECT_TRUE(books.TableLines().empty());
    EXPECT_TRUE(books.TextLines().empty());
    EXPECT_EQ(books.PileCounter(), 0);
    EXPECT_EQ(books.UnsavedBookFlags(), 0);
    EXPECT_EQ(change.table, (BookChange{0, c.table.size(), 0}));
    EXPECT_EQ(change.text, (BookChange{0, c.text.size(), 0}));
}

const DamagedCase kDamagedCases[] = {
    {"NoSeparatorAtAll", Lines(11, u"row"), Lines(100000, u"line"), 2},
    {"OnlyTheNewestSeparator", Lines(11, u"row"),
     [] {
         BookLines text = Lines(60, u"line");
         text[58] = kSeparator;
         text[59] = u"计算时间：t";
         return text;
     }(),
     5},
    {"TextBookOnlyTimeLine", Lines(11, u"row"), Lines(1, u"计算时间：t"), 2},
    {"TextBookEmpty", Lines(11, u"row"), {}, 2},
    {"TableBookShorterThanRowAndFooter", Lines(4, u"row"),
     [] {
         BookLines text = Lines(5, u"line");
         text[1] = kSeparator;
         text[3] = kSeparator;
         return text;
     }(),
     2},
    {"NegativeCounter", Lines(11, u"row"), Lines(3, u"line"), -4},
};

INSTANTIATE_TEST_SUITE_P(States, DamagedBooksTest, testing::ValuesIn(kDamagedCases),
                         pile::test::RowName{});

TEST(CalculationBooks, DeleteStopsAtTheSeparatorNearestTheEnd) {
    // A separator as the very first line is an earlier record's end, however short.
    BookLines text = {kSeparator, u"a", u"b", kSeparator, u"计算时间：t"};
    CalculationBooks books = CalculationBooks::FromState(Lines(11, u"row"), text, 2, 1);
    const BooksChange change = Delete(books);
    EXPECT_EQ(books.TextLines(), (BookLines{kSeparator, u"计算时间：t"}));
    EXPECT_EQ(change.text, (BookChange{1, 3, 0}));
    EXPECT_EQ(change.table, (BookChange{6, 1, 0}));
    EXPECT_EQ(books.PileCounter(), 1);
    EXPECT_EQ(books.UnsavedBookFlags(), 1);
}

TEST(CalculationBooks, AppendToADamagedTableBookDoesNotFail) {
    const Pile pile = Startup();
    CalculationBooks books = CalculationBooks::FromState({u"x", u"y"}, {}, 4, 0);
    Append(books, pile, u"t");
    EXPECT_EQ(books.PileCounter(), 5);
    // Shorter than a footer: it loses what it has and starts afresh with a header.
    EXPECT_EQ(books.TableLines().size(), 10u);
    EXPECT_EQ(books.TextLines().size(), 53u);
}

}  // namespace
}  // namespace pile
