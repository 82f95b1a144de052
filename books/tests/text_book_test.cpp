#include "books/text_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "books/table_book.h"
#include "engine/utf_text.h"
#include "testing/book_fixtures.h"
#include "testing/row_name.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using namespace testing_piles;

// Hand-written records: label literal, then the value padded to its width, then the unit.
const BookLines kFormulasHead = {
    u"3.采用规范及公式",
    u"  3.1 采用规范: ",
    u"                 《建筑地基基础设计规范》",
    u"                    (DBJ 50-047-2016)",
    u"  3.2 规范公式: ",
    u"               Ra=Quk/K             (8.7.8-7)",
    u"              Quk=Qsk+Qrk           (8.7.8-2)",
    u"              Qsk=μ∑ψsi.qsik.li  (8.7.8-3)",
};
const BookLines kFrkFormula = {u"              Qrk=ζr.frk.Ap        (8.7.8-6)"};
const BookLines kFukFormulas = {
    u"          hr＜0.5d 或 0.5b 时",
    u"              Qrk=fuk.Ap            (8.7.8-4)",
    u"          hr≥0.5d 或 0.5b 时",
    u"              Qrk=1.2βfuk.Ap       (8.7.8-5)",
};
const std::u16string kPileBodyFormula = u"           γ0.N≤ψc.fc.A         (8.7.13-2)";
const std::u16string kRule = u"      ---------------------------------------";
const std::u16string kSeparator = u"==================================================";

BookLines Join(std::initializer_list<BookLines> parts) {
    BookLines all;
    for (const BookLines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

BookLines StartupRecord(std::u16string_view number, char16_t sep, std::u16string_view ra,
                        std::u16string_view rc) {
    auto s = [sep](std::u16string text) {
        for (char16_t& c : text) {
            if (c == u'.') {
                c = sep;
            }
        }
        return text;
    };
    std::u16string summary1 = u"        ";
    summary1.append(number).append(6 - number.size(), u' ');
    summary1 += u"   圆  桩     1000        -    ";
    return Join({
        {
            u"================== 嵌岩桩计算书 ==================",
            u"1.基桩编号: " + std::u16string(number),
            u"2.输入数据",
            u"  2.1 基桩参数",
            u"      桩身截面类型:                      圆桩",
            u"      桩身直径d:                   "
            u"      1000"
            u" mm",
            u"      桩身嵌岩深度hr:              "
            u"      1.0d",
            u"      桩身混凝土强度等级:          "
            u"       C30",
            u"  2.2 基岩参数",
            u"      岩石单轴抗压强度标准值frk:   " + s(u"     25.00") + u" MPa",
            u"  2.3 基桩成桩工艺:"
            u"              泥浆护壁成桩",
        },
        kFormulasHead,
        kFrkFormula,
        {
            kPileBodyFormula,
            u"4.承载力计算",
            u"  4.1 桩身截面类型:                      圆桩",
            u"      桩身直径d:                   "
            u"      1000"
            u" mm",
            u"      桩身截面面积Ap(A):           " + s(u"      0.79") + u" m^2",
            u"      桩身截面周长μ:              " + s(u"      3.14") + u" m",
            u"  4.2 岩石单轴抗压强度标准值frk:   " + s(u"     25.00") + u" MPa",
            u"      岩石坚硬程度:              "
            u"      较软岩",
            u"  4.3 嵌岩深径比hr/d:              " + s(u"      1.00"),
            u"      嵌岩段侧阻和端阻综合系数ζr: " + s(u"    0.8567"),
            u"      嵌岩段总极限阻力标准值Qrk:   " + s(u"  16820.61") + u" kN",
            u"  4.4 土的总极限侧阻力标准值Qsk(不考虑): 0.00 kN",
            u"  4.5 桩竖向极限承载力标准值Quk:   " + s(u"  16820.61") + u" kN",
            u"      安全系数K:                         2.00",
            u"      单桩竖向承载力特征值Ra:      " + s(u"   8410.31") + u" kN",
            u"  4.6 基桩成桩工艺:"
            u"              泥浆护壁成桩",
            u"      基桩成桩工艺系数ψc:         " + s(u"      0.70"),
            u"      桩身混凝土强度设计值fc:      " + s(u"     14.30") + u" MPa",
            u"      桩身正截面受压承载力设计值Rc:" + s(u"   7861.84") + u" kN",
            u"5.基桩主要数据汇总",
            kRule,
            u"      基    桩  桩身截面  桩身直径  椭圆直段 ",
            u"      编    号  类    型    d(mm)     c(mm)  ",
            kRule,
            summary1,
            kRule,
            u"      嵌岩深度  岩石强度  桩承载力  桩身强度 ",
            u"       hr(mm)   frk(MPa)   Ra(kN)    Rc(kN)  ",
            kRule,
            u"        1.0d    " + s(u"  25.00   ") + std::u16string(ra) + std::u16string(rc),
            kRule,
            kSeparator,
        },
    });
}

// The lines of section 3 and 4 a fuk-mode record shares between its section types.
BookLines FukTail(std::u16string_view qrk, std::u16string_view ra, std::u16string_view rc) {
    return {
        u"      嵌岩段总极限阻力标准值Qrk:   " + std::u16string(qrk) + u" kN",
        u"  4.4 土的总极限侧阻力标准值Qsk(不考虑): 0.00 kN",
        u"  4.5 桩竖向极限承载力标准值Quk:   " + std::u16string(qrk) + u" kN",
        u"      安全系数K:                         3.00",
        u"      单桩竖向承载力特征值Ra:      " + std::u16string(ra) + u" kN",
        u"  4.6 基桩成桩工艺:"
        u"      干作业成孔且清底干净",
        u"      基桩成桩工艺系数ψc:         "
        u"      0.90",
        u"      桩身混凝土强度设计值fc:      "
        u"     14.30"
        u" MPa",
        u"      桩身正截面受压承载力设计值Rc:" + std::u16string(rc) + u" kN",
        u"5.基桩主要数据汇总",
        kRule,
    };
}

const BookLines kFukInputHead = {
    u"  2.2 基岩参数",
    u"      桩端地基极限承载力标准值fuk: "
    u"     24.00"
    u" MPa",
    u"  2.3 基桩成桩工艺:"
    u"      干作业成孔且清底干净",
};

const BookLines kFukSummaryHead = {
    kRule,
    u"      嵌岩深度  极限强度  桩承载力  桩身强度 ",
    u"       hr(mm)   fuk(MPa)   Ra(kN)    Rc(kN)  ",
    kRule,
};

BookLines FukCircleRecord() {
    const BookLines dims = {
        u"      桩身直径d:                   "
        u"      1000"
        u" mm"};
    return Join({
        {u"================== 嵌岩桩计算书 ==================", u"1.基桩编号: ZH1", u"2.输入数据",
         u"  2.1 基桩参数", u"      桩身截面类型:                      圆桩"},
        dims,
        {u"      桩身嵌岩深度hr:              "
         u"      1.0d",
         u"      桩身混凝土强度等级:          "
         u"       C30"},
        kFukInputHead,
        kFormulasHead,
        kFukFormulas,
        {kPileBodyFormula, u"4.承载力计算", u"  4.1 桩身截面类型:                      圆桩"},
        dims,
        {u"      桩身截面面积Ap(A):           "
         u"      0.79"
         u" m^2",
         u"      桩身截面周长μ:              "
         u"      3.14"
         u" m",
         u"  4.2 桩端地基极限承载力标准值fuk: "
         u"     24.00"
         u" MPa",
         u"  4.3 嵌岩深径比hr/d:              "
         u"      1.00",
         u"      考虑嵌固力影响后承载力综合系数β:"
         u"1.3260"},
        FukTail(u"  24994.51", u"   8331.50", u"  10108.07"),
        {u"      基    桩  桩身截面  桩身直径  椭圆直段 ",
         u"      编    号  类    型    d(mm)     c(mm)  ", kRule,
         u"        ZH1      圆  桩     1000        -    "},
        kFukSummaryHead,
        {u"        1.0d      24.00     8332      10108  ", kRule, kSeparator},
    });
}

BookLines EllipseRecord() {
    const BookLines dims = {
        u"      桩身直径d:                   "
        u"      1000"
        u" mm",
        u"      椭圆直段长度c:               "
        u"      1000"
        u" mm",
    };
    return Join({
        {u"================== 嵌岩桩计算书 ==================", u"1.基桩编号: ZH5", u"2.输入数据",
         u"  2.1 基桩参数", u"      桩身截面类型:                    椭圆桩"},
        dims,
        {u"      桩身嵌岩深度hr:              "
         u"      1.5d",
         u"      桩身混凝土强度等级:          "
         u"       C30"},
        kFukInputHead,
        kFormulasHead,
        kFukFormulas,
        {kPileBodyFormula, u"4.承载力计算", u"  4.1 桩身截面类型:                    椭圆桩"},
        dims,
        {u"      桩身截面面积Ap(A):           "
         u"      1.79"
         u" m^2",
         u"      桩身截面周长μ:              "
         u"      5.14"
         u" m",
         u"  4.2 桩端地基极限承载力标准值fuk: "
         u"     24.00"
         u" MPa",
         u"  4.3 嵌岩深径比hr/d:              "
         u"      1.50",
         u"      椭圆桩直段长度与直径之比c/d:"
         u"       1.00",
         u"      考虑嵌固力影响后承载力综合系数β:"
         u"1.3356"},
        FukTail(u"  57229.87", u"  19076.62", u"  22978.07"),
        {u"      基    桩  桩身截面  桩身直径  椭圆直段 ",
         u"      编    号  类    型    d(mm)     c(mm)  ", kRule,
         u"        ZH5      椭圆桩     1000      1000   "},
        kFukSummaryHead,
        {u"        1.5d      24.00   19076.62  22978.07 ", kRule, kSeparator},
    });
}

// A rectangle, or with `square` the 1000 by 1000 pile.
BookLines RectangleRecord(bool square) {
    const std::u16string b = square ? u"1000" : u" 800";
    const BookLines dims = {
        u"      矩形长边尺寸a:               "
        u"      1000"
        u" mm",
        u"      矩形短边尺寸b:               "
        u"      " +
            b + u" mm",
    };
    return Join({
        {u"================== 嵌岩桩计算书 ==================", u"1.基桩编号: ZH2", u"2.输入数据",
         u"  2.1 基桩参数", u"      桩身截面类型:                    矩形桩"},
        dims,
        {square ? u"      桩身嵌岩深度hr:              "
                  u"      1.0b"
                : u"      桩身嵌岩深度hr:              "
                  u"      1.5b",
         u"      桩身混凝土强度等级:          "
         u"       C30"},
        kFukInputHead,
        kFormulasHead,
        kFukFormulas,
        {kPileBodyFormula, u"4.承载力计算",
         square ? u"  4.1 桩身截面类型:                      方桩"
                : u"  4.1 桩身截面类型:                    矩形桩"},
        dims,
        square ? BookLines{u"      桩身截面面积Ap(A):           "
                           u"      1.00"
                           u" m^2",
                           u"      桩身截面周长μ:              "
                           u"      4.00"
                           u" m",
                           u"  4.2 桩端地基极限承载力标准值fuk: "
                           u"     24.00"
                           u" MPa",
                           u"  4.3 嵌岩深宽比hr/b:              "
                           u"      1.00",
                           u"      矩形桩短边尺寸与长边尺寸之比b/a:"
                           u"   1.00",
                           u"      考虑嵌固力影响后承载力综合系数β:"
                           u"1.3200"}
               : BookLines{u"      桩身截面面积Ap(A):           "
                           u"      0.80"
                           u" m^2",
                           u"      桩身截面周长μ:              "
                           u"      3.60"
                           u" m",
                           u"  4.2 桩端地基极限承载力标准值fuk: "
                           u"     24.00"
                           u" MPa",
                           u"  4.3 嵌岩深宽比hr/b:              "
                           u"      1.50",
                           u"      矩形桩短边尺寸与长边尺寸之比b/a:"
                           u"   0.80",
                           u"      考虑嵌固力影响后承载力综合系数β:"
                           u"1.3620"},
        square ? FukTail(u"  31680.00", u"  10560.00", u"  12870.00")
               : FukTail(u"  26150.40", u"   8716.80", u"  10296.00"),
        {u"      基    桩  桩身截面  矩形长边  矩形短边 ",
         u"      编    号  类    型    a(mm)     b(mm)  ", kRule,
         square ? u"        ZH2      方  桩     1000      1000   "
                : u"        ZH2      矩形桩     1000       800   "},
        kFukSummaryHead,
        {square ? u"        1.0b      24.00     10500     12800  "
                : u"        1.5b      24.00     8710      10290  ",
         kRule, kSeparator},
    });
}

struct RecordCase {
    const char* name;
    Pile (*pile)();
    PrecisionMode mode;
    int pileNumber;
    char16_t separator;
    BookLines expected;  // the record without the time line
};

// Test names and failure messages show the row by its name.
class TextRecordTest : public testing::TestWithParam<RecordCase> {};

TEST_P(TextRecordTest, WritesEveryLineOfTheRecordThenTheTimeLine) {
    const RecordCase& c = GetParam();
    const Pile pile = c.pile();
    BookLines book;
    AppendTextRecord(book, RecordOf(pile, c.mode, c.pileNumber, c.separator, u"2024/5/6 14:03:27"));
    BookLines expected = c.expected;
    expected.push_back(u"计算时间：2024/5/6 14:03:27");
    EXPECT_EQ(book, expected) << "actual:\n"
                              << Describe(book) << "expected:\n"
                              << Describe(expected);
}

const RecordCase kRecordCases[] = {
    {"StartupUnits", Startup, PrecisionMode::Units, 1, u'.',
     StartupRecord(u"ZH1", u'.', u"  8410    ", u"  7862   ")},
    {"StartupTwoDecimals", Startup, PrecisionMode::TwoDecimals, 1, u'.',
     StartupRecord(u"ZH1", u'.', u" 8410.31  ", u" 7861.84 ")},
    {"StartupOneDecimal", Startup, PrecisionMode::OneDecimal, 1, u'.',
     StartupRecord(u"ZH1", u'.', u" 8410.3   ", u" 7861.8  ")},
    {"StartupTens", Startup, PrecisionMode::Tens, 1, u'.',
     StartupRecord(u"ZH1", u'.', u"  8410    ", u"  7860   ")},
    {"StartupHundreds", Startup, PrecisionMode::Hundreds, 1, u'.',
     StartupRecord(u"ZH1", u'.', u"  8400    ", u"  7800   ")},
    {"StartupCommaSeparator", Startup, PrecisionMode::TwoDecimals, 27, u',',
     StartupRecord(u"ZH27", u',', u" 8410,31  ", u" 7861,84 ")},
    {"FukCircle", FukCircle, PrecisionMode::Units, 1, u'.', FukCircleRecord()},
    {"EllipseTwoDecimals", Ellipse, PrecisionMode::TwoDecimals, 5, u'.', EllipseRecord()},
    {"RectangleTens", Rectangle, PrecisionMode::Tens, 2, u'.', RectangleRecord(false)},
    {"SquareHundreds", Square, PrecisionMode::Hundreds, 2, u'.', RectangleRecord(true)},
};

INSTANTIATE_TEST_SUITE_P(Piles, TextRecordTest, testing::ValuesIn(kRecordCases),
                         pile::test::RowName{});

TEST(TextBook, RecordLineCountsBySectionModeAndClamping) {
    struct Row {
        const char* name;
        Pile (*pile)();
        bool clamped;
        std::size_t lines;
    };
    const Row rows[] = {
        {"circle frk", Startup, false, 52},   {"circle frk clamped", Startup, true, 53},
        {"circle fuk", FukCircle, false, 54}, {"circle fuk clamped", FukCircle, true, 55},
        {"ellipse", Ellipse, false, 57},      {"ellipse clamped", Ellipse, true, 58},
        {"rectangle", Rectangle, false, 57},  {"rectangle clamped", Rectangle, true, 58},
        {"square", Square, false, 57},        {"square clamped", Square, true, 58},
    };
    for (const Row& row : rows) {
        Pile pile = row.pile();
        pile.result.ratioClamped = row.clamped;
        BookLines book;
        AppendTextRecord(book, RecordOf(pile, PrecisionMode::Units, 1, u'.', u"t"));
        EXPECT_EQ(book.size(), row.lines + 1) << row.name;
        ASSERT_GE(book.size(), 2u);
        EXPECT_EQ(book[book.size() - 2], kSeparator) << row.name;
        EXPECT_EQ(book.back(), u"计算时间：t") << row.name;
    }
}

TEST(TextBook, ClampedRatioAddsTheRatioUsedAfterTheRatio) {
    struct Row {
        const char* name;
        Pile (*pile)();
        std::u16string ratioLine;
        std::u16string usedLine;
    };
    Pile (*fukClamped)() = [] {
        Pile p = FukCircle();
        p.result.hrRatio = 6;
        p.result.hrRatioUsed = 5;
        p.result.ratioClamped = true;
        return p;
    };
    Pile (*rectangleClamped)() = [] {
        Pile p = Rectangle();
        p.result.hrRatio = 6.25;
        p.result.hrRatioUsed = 5;
        p.result.ratioClamped = true;
        return p;
    };
    const Row rows[] = {
        {"soft rock beyond 8", ClampedCircle,
         u"  4.3 嵌岩深径比hr/d:              "
         u"     10.00",
         u"      计算承载力采用的嵌岩深径比:  "
         u"      8.00"},
        {"fuk circle beyond 5", fukClamped,
         u"  4.3 嵌岩深径比hr/d:              "
         u"      6.00",
         u"      计算承载力采用的嵌岩深径比:  "
         u"      5.00"},
        {"rectangle beyond 5", rectangleClamped,
         u"  4.3 嵌岩深宽比hr/b:              "
         u"      6.25",
         u"      计算承载力采用的嵌岩深宽比:  "
         u"      5.00"},
    };
    for (const Row& row : rows) {
        const Pile pile = row.pile();
        BookLines book;
        AppendTextRecord(book, RecordOf(pile, PrecisionMode::Units, 1, u'.', u"t"));
        const auto at = std::find(book.begin(), book.end(), row.ratioLine);
        ASSERT_NE(at, book.end()) << row.name << "\n" << Describe(book);
        ASSERT_NE(at + 1, book.end()) << row.name;
        EXPECT_EQ(*(at + 1), row.usedLine) << row.name;
    }
}

TEST(TextBook, SocketDepthInMillimetresCarriesItsUnit) {
    Pile pile = Startup();
    pile.input.hrText = u"1500";
    pile.input.hrIsMultiple = false;
    BookLines book;
    AppendTextRecord(book, RecordOf(pile, PrecisionMode::Units, 1, u'.', u"t"));
    EXPECT_EQ(book[6],
              u"      桩身嵌岩深度hr:              "
              u"      1500"
              u" mm");
    // The summary prints the text as entered, without a unit.
    EXPECT_EQ(book[49].substr(0, 16), u"        1500    ");
}

TEST(TextBook, DryProcessOfFrkModeAndGroutedProcess) {
    struct Row {
        ConstructionProcess process;
        std::u16string line;
    };
    const Row rows[] = {
        {ConstructionProcess::DryClean,
         u"  2.3 基桩成桩工艺:"
         u"      干作业成桩(清底干净)"},
        {ConstructionProcess::MudWallGrouted,
         u"  2.3 基桩成桩工艺:"
         u"        泥浆护壁成桩后注浆"},
    };
    for (const Row& row : rows) {
        Pile pile = Startup();
        pile.input.process = row.process;
        BookLines book;
        AppendTextRecord(book, RecordOf(pile, PrecisionMode::Units, 1, u'.', u"t"));
        EXPECT_EQ(book[10], row.line) << Describe(book);
    }
}

TEST(TextBook, SecondRecordFollowsTheFirstAfterItsTimeLineWasRemoved) {
    const Pile first = Startup();
    const Pile second = FukCircle();
    BookLines book;
    AppendTextRecord(book, RecordOf(first, PrecisionMode::Units, 1, u'.', u"2024/5/6 23:59:59"));
    book.pop_back();
    // Midnight: the date alone.
    AppendTextRecord(book, RecordOf(second, PrecisionMode::Units, 2, u'.', u"2024/5/7"));
    ASSERT_EQ(book.size(), 52u + 54u + 1u);
    EXPECT_EQ(book[51], kSeparator);
    EXPECT_EQ(book[52], u"================== 嵌岩桩计算书 ==================");
    EXPECT_EQ(book[53], u"1.基桩编号: ZH2");
    EXPECT_EQ(book.back(), u"计算时间：2024/5/7");
}

}  // namespace
}  // namespace pile

namespace pile {
namespace {

using namespace testing_piles;

// K is the factor the calculation used, printed with the point in every locale; the books do
// not derive it from the rock mode.
TEST(BothBooks, PrintTheSafetyFactorTheCalculationUsed) {
    Pile pile = Startup();
    pile.result.safetyFactorK = 2.5;
    BookLines text;
    AppendTextRecord(text, RecordOf(pile, PrecisionMode::Units, 1, u',', u"t"));
    EXPECT_NE(std::find(text.begin(), text.end(), u"      安全系数K:                         2.50"),
              text.end())
        << Describe(text);
    const std::u16string row = TableRow(RecordOf(pile, PrecisionMode::Units, 1, u',', u"t"));
    EXPECT_NE(row.find(u"  2.50    "), std::u16string::npos) << Utf16ToUtf8(row);
}

TEST(BothBooks, ShareTheTimeLineAndTheNamesOfTheShapes) {
    EXPECT_EQ(TimeLine(u"2024/5/6 14:03:27"), u"计算时间：2024/5/6 14:03:27");
    EXPECT_EQ(PileShapeName(Square().input), u"方桩");
    EXPECT_EQ(PileShapeName(Rectangle().input), u"矩形桩");
    EXPECT_EQ(ShapeCellText(PileShapeName(Startup().input)), u"圆  桩");
    EXPECT_EQ(ShapeCellText(PileShapeName(Square().input)), u"方  桩");
    EXPECT_EQ(ShapeCellText(PileShapeName(Ellipse().input)), u"椭圆桩");
}

}  // namespace
}  // namespace pile
