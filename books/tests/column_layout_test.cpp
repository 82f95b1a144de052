#include "books/column_layout.h"
#include "testing/row_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace pile {
namespace {

using pile::test::PrintTo;

enum class Pad { Right, Left, Center };

struct PadRow {
    const char* name;
    Pad pad;
    std::u16string_view text;
    std::u16string_view fill;
    int width;
    std::u16string_view expected;
};

// Test names and failure messages show the row by its name.
std::u16string Apply(const PadRow& row) {
    switch (row.pad) {
        case Pad::Right:
            return PadRight(row.text, row.fill, row.width);
        case Pad::Left:
            return PadLeft(row.text, row.fill, row.width);
        case Pad::Center:
            break;
    }
    return PadCenter(row.text, row.fill, row.width);
}

class PaddingTest : public testing::TestWithParam<PadRow> {};

TEST_P(PaddingTest, GivesTheExactText) {
    const PadRow& row = GetParam();
    EXPECT_EQ(Apply(row), row.expected);
}

const PadRow kPadRows[] = {
    // The worked examples of the helpers.
    {"RightPilenumber", Pad::Right, u"ZH1", u" ", 6, u"ZH1   "},
    {"LeftNumber", Pad::Left, u"1000", u" ", 6, u"  1000"},
    {"LeftWideText", Pad::Left, u"较软岩", u" ", 12, u"      较软岩"},
    {"CenterWideWithInnerBlanks", Pad::Center, u"圆  桩", u" ", 8, u" 圆  桩 "},
    {"CenterEven", Pad::Center, u"1.0d", u" ", 8, u"  1.0d  "},
    {"CenterOddLeftGetsExtra", Pad::Center, u"ZH12", u" ", 9, u"   ZH12  "},
    {"LeftTooWideUnchanged", Pad::Left, u"1234567", u" ", 6, u"1234567"},
    {"CenterDash", Pad::Center, u"-", u" ", 8, u"    -   "},
    {"CenterAllWide", Pad::Center, u"椭圆桩", u" ", 8, u" 椭圆桩 "},
    // A text exactly as wide as its column, and wider.
    {"RightExactWidth", Pad::Right, u"ZH1000", u" ", 6, u"ZH1000"},
    {"LeftExactWidthWide", Pad::Left, u"泥浆护壁", u" ", 8, u"泥浆护壁"},
    {"CenterExactWidth", Pad::Center, u"12345678", u" ", 8, u"12345678"},
    {"RightTooWide", Pad::Right, u"ZH10000", u" ", 6, u"ZH10000"},
    {"CenterWideTooWide", Pad::Center, u"桩身混凝土", u" ", 8, u"桩身混凝土"},
    // A negative or zero width never pads and never cuts.
    {"RightNegativeWidth", Pad::Right, u"ab", u" ", -5, u"ab"},
    {"LeftNegativeWidth", Pad::Left, u"ab", u" ", -5, u"ab"},
    {"CenterNegativeWidth", Pad::Center, u"ab", u" ", -5, u"ab"},
    {"LeftZeroWidthEmpty", Pad::Left, u"", u" ", 0, u""},
    {"LeftEmptyText", Pad::Left, u"", u" ", 3, u"   "},
    // One missing column goes to the left.
    {"CenterOneMissing", Pad::Center, u"abc", u" ", 4, u" abc"},
    // Greek letters and the fullwidth colon are narrow; the summation sign and the
    // book-title bracket are wide.
    {"GreekNarrow", Pad::Left, u"ζrβψμγ", u" ", 8, u"  ζrβψμγ"},
    {"FullwidthColonNarrow", Pad::Right, u"时间：", u" ", 7, u"时间：  "},
    {"FullwidthLessThanNarrow", Pad::Left, u"＜", u" ", 3, u"  ＜"},
    {"SummationWide", Pad::Left, u"∑", u" ", 3, u" ∑"},
    {"BookTitleBracketWide", Pad::Right, u"《", u" ", 3, u"《 "},
    // The ends of the wide range.
    {"BelowWideRangeNarrow", Pad::Left, u"\u0FFF", u" ", 3, u"  \u0FFF"},
    {"WideRangeStart", Pad::Left, u"\u1000", u" ", 3, u" \u1000"},
    {"WideRangeEnd", Pad::Left, u"\u9FA5", u" ", 3, u" \u9FA5"},
    {"AboveWideRangeNarrow", Pad::Left, u"\u9FA6", u" ", 3, u"  \u9FA6"},
    // A fill of two characters is repeated whole, so the result is wider than the column.
    {"TwoCharacterFill", Pad::Left, u"ab", u"-=", 5, u"-=-=-=ab"},
    {"TwoCharacterFillCenter", Pad::Center, u"a", u"<>", 4, u"<><>a<>"},
    // A NUL ends the wide count: the wide characters after it are padded as narrow.
    {"NulStopsWideCount", Pad::Left, std::u16string_view(u"a\0桩", 3), u" ", 6,
     std::u16string_view(u"   a\0桩", 6)},
};

INSTANTIATE_TEST_SUITE_P(Rows, PaddingTest, testing::ValuesIn(kPadRows), pile::test::RowName{});

TEST(WideCharCount, CountsTheWideRangeUpToTheFirstNul) {
    struct Row {
        std::u16string_view text;
        int expected;
    };
    const Row rows[] = {
        {u"", 0},
        {u"ZH1", 0},
        {u"椭圆桩", 3},
        {u"计算时间：", 4},
        {u"Qsk=μ∑ψsi", 1},
        {u"hr≥0.5d", 1},
        {std::u16string_view(u"桩\0桩桩", 4), 1},
        {std::u16string_view(u"\0桩", 2), 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WideCharCount(row.text), row.expected)
            << "text of " << row.text.size() << " code units";
    }
}

TEST(Spaces, GivesCountBlanksAndNothingForZeroOrLess) {
    EXPECT_EQ(Spaces(4), u"    ");
    EXPECT_EQ(Spaces(1), u" ");
    EXPECT_EQ(Spaces(0), u"");
    EXPECT_EQ(Spaces(-3), u"");
}

}  // namespace
}  // namespace pile
