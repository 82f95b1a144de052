#include <gtest/gtest.h>

#include <string>

#include "books/calculation_books.h"
#include "books/column_layout.h"
#include "testing/book_fixtures.h"
#include "testing/row_name.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using namespace testing_piles;

struct MarkCase {
    const char* name;
    std::u16string_view mark;
    std::u16string_view title;  // after "1.基桩编号: "
    std::u16string_view cell;   // the name's cell in the table row and the summary
};

class PileMarkTest : public testing::TestWithParam<MarkCase> {};

// A marked pile's books are those of the same pile as ZH1, with only its name changed: the
// same cell of 6 columns, widened by a longer name as a long ZH number widens it.
TEST_P(PileMarkTest, TakesThePlaceOfTheNumberInBothBooks) {
    const MarkCase& c = GetParam();
    const Pile pile = Startup();
    const auto append = [&](CalculationBooks& books, std::u16string_view mark) {
        books.AppendRecord(pile.input, pile.result, pile.dd, pile.tyzd, PrecisionMode::Units, u'.',
                           u"2024/5/6 14:03:27", mark);
    };
    CalculationBooks plain;
    append(plain, {});
    CalculationBooks marked;
    append(marked, c.mark);

    const std::u16string number = PadRight(u"ZH1", u" ", 6);
    BookLines text = plain.TextLines();
    for (std::u16string& line : text) {
        if (line == u"1.基桩编号: ZH1") {
            line = u"1.基桩编号: " + std::u16string(c.title);
        } else if (line.starts_with(Spaces(8) + number)) {
            line.replace(8, number.size(), c.cell);
        }
    }
    EXPECT_EQ(marked.TextLines(), text) << Describe(marked.TextLines());
    BookLines table = plain.TableLines();
    table[5].replace(3, number.size(), c.cell);
    EXPECT_EQ(marked.TableLines(), table) << Describe(marked.TableLines());

    // Delete-last finds the newest record by its separator, whatever its name.
    append(plain, c.mark);
    plain.DeleteLast();
    append(marked, {});
    marked.DeleteLast();
    EXPECT_EQ(marked.TextLines(), text);
    EXPECT_EQ(plain.TableLines().size(), table.size());
}

INSTANTIATE_TEST_SUITE_P(
    Marks, PileMarkTest,
    testing::Values(MarkCase{"NoMark", u"", u"ZH1", u"ZH1   "},
                    MarkCase{"OnlyBlanks", u"  ", u"ZH1", u"ZH1   "},
                    MarkCase{"Short", u"ZJ5", u"ZJ5", u"ZJ5   "},
                    MarkCase{"BlanksAtTheEndsDropped", u" ZJ5 ", u"ZJ5", u"ZJ5   "},
                    MarkCase{"WideCharacterCountsTwo", u"桩A1", u"桩A1", u"桩A1  "},
                    MarkCase{"FillsTheCell", u"一号桩", u"一号桩", u"一号桩"},
                    MarkCase{"WiderThanTheCellAsZH10000", u"ZJ10000", u"ZJ10000", u"ZJ10000"},
                    MarkCase{"WideWiderThanTheCell", u"一号桩基础", u"一号桩基础", u"一号桩基础"},
                    MarkCase{"LineBreakAsBlank", u"Z\r\n1", u"Z  1", u"Z  1  "}),
    pile::test::RowName{});

// The rule the marks are padded by: ZH10000 is one column wider than the cell.
TEST(PileMark, LongNumberWidensTheCellLikeALongMark) {
    EXPECT_EQ(PadRight(PileName(10000, {}), u" ", 6), u"ZH10000");
    EXPECT_EQ(PileName(10000, u"桩"), u"桩");
}

}  // namespace
}  // namespace pile
