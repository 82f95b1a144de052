#include "books/table_book.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>

#include "books/column_layout.h"
#include "testing/book_fixtures.h"
#include "testing/row_name.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using namespace testing_piles;

std::u16string Cells(std::initializer_list<std::u16string_view> cells) {
    std::u16string row;
    for (const std::u16string_view cell : cells) {
        row += cell;
    }
    return row;
}

int DisplayWidth(std::u16string_view text) {
    return static_cast<int>(text.size()) + WideCharCount(text);
}

constexpr std::u16string_view kDash = u"    -     ";

// The row of the first pile after start, with the three force cells of the mode.
std::u16string StartupRow(std::u16string_view qrk, std::u16string_view ra, std::u16string_view rc) {
    return Cells({u"   ZH1     ",
                  u" 圆  桩   ",
                  u"  1000    ",
                  kDash,
                  kDash,
                  kDash,
                  u"  0.79    ",
                  u"  1.0d    ",
                  u"  25.00   ",
                  kDash,
                  u"泥浆护壁  ",
                  u"  1.00    ",
                  u" 0.8567   ",
                  kDash,
                  kDash,
                  kDash,
                  qrk,
                  u"  2.00    ",
                  ra,
                  u"   C30    ",
                  u"  0.70    ",
                  rc});
}

struct RowCase {
    const char* name;
    Pile (*pile)();
    PrecisionMode mode;
    int pileNumber;
    char16_t separator;
    std::u16string expected;
};

// Test names and failure messages show the row by its name.
class TableRowTest : public testing::TestWithParam<RowCase> {};

TEST_P(TableRowTest, WritesEveryCellInItsColumn) {
    const RowCase& c = GetParam();
    const Pile pile = c.pile();
    const std::u16string row =
        TableRow(RecordOf(pile, c.mode, c.pileNumber, c.separator, u"2024/5/6 14:03:27"));
    EXPECT_EQ(row, c.expected) << Describe({row, c.expected});
}

const RowCase kRowCases[] = {
    {"StartupUnits", Startup, PrecisionMode::Units, 1, u'.',
     StartupRow(u"  16821   ", u"   8410   ", u"   7862  ")},
    {"StartupTwoDecimals", Startup, PrecisionMode::TwoDecimals, 1, u'.',
     StartupRow(u"16820.61  ", u" 8410.31  ", u" 7861.84 ")},
    {"StartupOneDecimal", Startup, PrecisionMode::OneDecimal, 1, u'.',
     StartupRow(u" 16820.6  ", u"  8410.3  ", u"  7861.8 ")},
    {"StartupTensCutDown", Startup, PrecisionMode::Tens, 1, u'.',
     StartupRow(u"  16820   ", u"   8410   ", u"   7860  ")},
    {"StartupHundredsCutDown", Startup, PrecisionMode::Hundreds, 1, u'.',
     StartupRow(u"  16800   ", u"   8400   ", u"   7800  ")},
    {"StartupCommaSeparatorKeepsKWithPoint", Startup, PrecisionMode::TwoDecimals, 1, u',',
     Cells({u"   ZH1     ", u" 圆  桩   ", u"  1000    ", kDash,       kDash,         kDash,
            u"  0,79    ",  u"  1.0d    ", u"  25,00   ", kDash,       u"泥浆护壁  ", u"  1,00    ",
            u" 0,8567   ",  kDash,         kDash,         kDash,       u"16820,61  ", u"  2.00    ",
            u" 8410,31  ",  u"   C30    ", u"  0,70    ", u" 7861,84 "})},
    {"FukCircle", FukCircle, PrecisionMode::Units, 1, u'.',
     Cells({u"   ZH1     ", u" 圆  桩   ", u"  1000    ", kDash,         kDash,
            kDash,          u"  0.79    ", u"  1.0d    ", kDash,         u"  24.00   ",
            u"干 作 业  ",  u"  1.00    ", kDash,         kDash,         kDash,
            u" 1.3260   ",  u"  24995   ", u"  3.00    ", u"   8332   ", u"   C30    ",
            u"  0.90    ",  u"  10108  "})},
    {"EllipseTwoDecimals", Ellipse, PrecisionMode::TwoDecimals, 12, u'.',
     Cells({u"   ZH12    ", u" 椭圆桩   ", u"  1000    ", u"  1000    ", kDash,
            kDash,          u"  1.79    ", u"  1.5d    ", kDash,         u"  24.00   ",
            u"干 作 业  ",  u"  1.50    ", kDash,         kDash,         u"  1.00    ",
            u" 1.3356   ",  u"57229.87  ", u"  3.00    ", u"19076.62  ", u"   C30    ",
            u"  0.90    ",  u"22978.07 "})},
    {"RectangleTens", Rectangle, PrecisionMode::Tens, 3, u'.',
     Cells({u"   ZH3     ", u" 矩形桩   ", kDash,         kDash,         u"  1000    ",
            u"   800    ",  u"  0.80    ", u"  1.5b    ", kDash,         u"  24.00   ",
            u"干 作 业  ",  kDash,         kDash,         u"  1.50    ", u"  0.80    ",
            u" 1.3620   ",  u"  26150   ", u"  3.00    ", u"   8710   ", u"   C30    ",
            u"  0.90    ",  u"  10290  "})},
    {"SquareHundredsNumberFillsItsColumn", Square, PrecisionMode::Hundreds, 1000, u'.',
     Cells({u"   ZH1000  ", u" 方  桩   ", kDash,         kDash,         u"  1000    ",
            u"  1000    ",  u"  1.00    ", u"  1.0b    ", kDash,         u"  24.00   ",
            u"干 作 业  ",  kDash,         kDash,         u"  1.00    ", u"  1.00    ",
            u" 1.3200   ",  u"  31600   ", u"  3.00    ", u"  10500   ", u"   C30    ",
            u"  0.90    ",  u"  12800  "})},
    {"ClampedCircleOneDecimal", ClampedCircle, PrecisionMode::OneDecimal, 2, u'.',
     Cells({u"   ZH2     ", u" 圆  桩   ", u"   800    ", kDash,       kDash,         kDash,
            u"  0.50    ",  u"   10d    ", u"  10.00   ", kDash,       u"泥浆护壁  ", u" 10.00    ",
            u" 1.7000   ",  kDash,         kDash,         kDash,       u"  8545.1  ", u"  2.00    ",
            u"  4272.6  ",  u"   C30    ", u"  0.70    ", u"  5031.6 "})},
};

INSTANTIATE_TEST_SUITE_P(Piles, TableRowTest, testing::ValuesIn(kRowCases), pile::test::RowName{});

TEST(TableRow, Is220ColumnsWideForOrdinaryPiles) {
    for (Pile (*make)() : {Startup, FukCircle, Ellipse, Rectangle, Square, ClampedCircle}) {
        const Pile pile = make();
        for (int mode = 0; mode <= 4; ++mode) {
            const std::u16string row =
                TableRow(RecordOf(pile, static_cast<PrecisionMode>(mode), 7, u'.', u""));
            EXPECT_EQ(DisplayWidth(row), 220) << Describe({row});
        }
    }
}

// The cells, in order, are what the row holds between its blanks: a second path through the row.
TEST(TableCells, AreTheRowsTwentyTwoCellsInOrder) {
    for (Pile (*make)() : {Startup, FukCircle, Ellipse, Rectangle, Square, ClampedCircle}) {
        const Pile pile = make();  // the record's texts are views into it
        const BookRecord record = RecordOf(pile, PrecisionMode::TwoDecimals, 7, u'.', u"");
        const std::u16string row = TableRow(record);
        const std::vector<std::u16string> cells = TableCells(record);
        EXPECT_EQ(cells.size(), 22u);
        std::size_t at = 0;
        for (const std::u16string& cell : cells) {
            const std::size_t found = row.find(cell, at);
            ASSERT_NE(found, std::u16string::npos) << Describe({row, cell});
            EXPECT_EQ(row.find_first_not_of(u' ', at), found) << Describe({row, cell});
            at = found + cell.size();
        }
        EXPECT_EQ(row.find_first_not_of(u' ', at), std::u16string::npos);
    }
}

TEST(TableRow, WiderValuesPushTheRestOfTheRowRight) {
    Pile pile = Startup();
    // Record 10 000 makes the first cell 12 columns wide.
    std::u16string row = TableRow(RecordOf(pile, PrecisionMode::Units, 10000, u'.', u""));
    EXPECT_EQ(row.substr(0, 14), u"   ZH10000   圆");
    EXPECT_EQ(DisplayWidth(row), 221);

    // A box text is printed as it stands (the second cell is 8 code units, 10 columns): seven
    // characters widen the cell by one, and a leading blank stays.
    pile.dd = u"1000.25";
    row = TableRow(RecordOf(pile, PrecisionMode::Units, 1, u'.', u""));
    EXPECT_EQ(row.substr(19, 16), u"1000.25        -");
    EXPECT_EQ(DisplayWidth(row), 221);
    pile.dd = u" 1000";
    row = TableRow(RecordOf(pile, PrecisionMode::Units, 1, u'.', u""));
    EXPECT_EQ(row.substr(19, 10), u"  1000    ");
}

// The header and footer lines as they are to be printed.
const std::u16string kTitle =
    u"============================================================================================="
    u"=========="
    u" 嵌岩桩计算书 "
    u"============================================================================================="
    u"==========";
const std::u16string kHeading1 =
    u" 基    桩  桩身截面  桩身直径  椭圆直段  矩形长边  矩形短边  桩身面积  嵌岩深度  单轴强度  "
    u"极限强度  "
    u"成    桩  深 径 比  综合系数  深 宽 比  截面比值  综合系数  嵌岩阻力  安全系数  桩承载力  "
    u"桩混凝土  "
    u"工艺系数  桩身强度 ";
const std::u16string kHeading2 =
    u" 编    号  类    型    d(mm)     c(mm)     a(mm)     b(mm)    Ap(m^2)   hr(mm)   frk(MPa)  "
    u"fuk(MPa)  工    艺    hr/d      ζr       hr/b    c/d(b/a)     β      Qrk(kN)      K      "
    u"Ra(kN)   "
    u"强度等级    ψc      Rc(kN)  ";
const std::u16string kHyphens(220, u'-');
const std::u16string kEquals(220, u'=');
const std::u16string kNote = u"注: 采用《建筑地基基础设计规范》(DBJ 50-047-2016)公式计算";

TEST(TableBook, HeaderLinesHaveTheirFixedLengthsAndWidths) {
    ASSERT_EQ(kTitle.size(), 214u);
    EXPECT_EQ(DisplayWidth(kTitle), 220);
    ASSERT_EQ(kHeading1.size(), 138u);
    EXPECT_EQ(DisplayWidth(kHeading1), 220);
    ASSERT_EQ(kHeading2.size(), 207u);
    EXPECT_EQ(DisplayWidth(kHeading2), 217);
}

TEST(TableBook, FirstRecordWritesHeaderRowAndFooter) {
    BookLines book;
    const Pile pile = Startup();
    AppendTableRecord(book, RecordOf(pile, PrecisionMode::Units, 1, u'.', u"2024/5/6 14:03:27"));
    const BookLines expected = {
        kTitle,    kHyphens,
        kHeading1, kHeading2,
        kHyphens,  StartupRow(u"  16821   ", u"   8410   ", u"   7862  "),
        kHyphens,  kNote,
        kEquals,   u"计算时间：2024/5/6 14:03:27",
    };
    EXPECT_EQ(book, expected) << Describe(book);
}

TEST(TableBook, EachFurtherRecordReplacesTheFooterAndAddsOneLine) {
    BookLines book;
    const Pile first = Startup();
    const Pile second = FukCircle();
    const Pile third = Rectangle();
    AppendTableRecord(book, RecordOf(first, PrecisionMode::Units, 1, u'.', u"2024/5/6 14:03:27"));
    AppendTableRecord(book, RecordOf(second, PrecisionMode::Units, 2, u'.', u"2024/5/6 14:05:00"));
    ASSERT_EQ(book.size(), 11u) << Describe(book);
    EXPECT_EQ(book[5], TableRow(RecordOf(first, PrecisionMode::Units, 1, u'.', u"")));
    EXPECT_EQ(book[6], TableRow(RecordOf(second, PrecisionMode::Units, 2, u'.', u"")));
    EXPECT_EQ(book[7], kHyphens);
    EXPECT_EQ(book[10], u"计算时间：2024/5/6 14:05:00");

    // At midnight the time text is the date alone.
    AppendTableRecord(book, RecordOf(third, PrecisionMode::Units, 3, u'.', u"2024/5/7"));
    ASSERT_EQ(book.size(), 12u) << Describe(book);
    EXPECT_EQ(book[7], TableRow(RecordOf(third, PrecisionMode::Units, 3, u'.', u"")));
    EXPECT_EQ(book[8], kHyphens);
    EXPECT_EQ(book[9], kNote);
    EXPECT_EQ(book[10], kEquals);
    EXPECT_EQ(book[11], u"计算时间：2024/5/7");
    EXPECT_EQ(book[0], kTitle);
}

}  // namespace
}  // namespace pile
