#include "engine/pile_calculation.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "engine/number_parse.h"
#include "engine_test_support.h"
#include "testing/panels.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using test::Printed;
using test::U16;
using test::U8;

constexpr auto kCircle = SectionType::Circle;
constexpr auto kEllipse = SectionType::Ellipse;
constexpr auto kRectangle = SectionType::Rectangle;
constexpr auto kFrk = RockParameterMode::Frk;
constexpr auto kFuk = RockParameterMode::Fuk;
constexpr auto kDry = ConstructionProcess::DryClean;
constexpr auto kMud = ConstructionProcess::MudWall;
constexpr auto kDd = InputControl::Diameter;
constexpr auto kTyzd = InputControl::StraightLength;
constexpr auto kHr = InputControl::SocketDepth;
constexpr auto kFrkBox = InputControl::Frk;
constexpr auto kFukBox = InputControl::Fuk;
constexpr double kPi = std::numbers::pi;

using test::Panel;

Panel Circle(RockParameterMode mode, std::u16string dd, std::u16string hr,
             ConstructionProcess process) {
    return Panel{kCircle, mode, dd, u"0", hr, u"25", u"24", process};
}

Panel Shaped(SectionType section, std::u16string dd, std::u16string tyzd, std::u16string hr) {
    return Panel{section, kFuk, dd, tyzd, hr, u"25", u"24", kDry};
}

const PileResult& ResultOf(const ComputeOutcome& out) {
    return std::get<ComputedPile>(out.result).result;
}

// --- The worked examples, as printed -------------------------------------------------------

struct ExampleRow {
    const char* name;
    Panel panel;
    const char* coefficient;  // zeta_r or beta, four decimals as the panel shows it
    const char* Qrk;          // two decimals
    const char* Ra;
    const char* Rc;  // nullptr where the example does not state it
    double hrRatio;
    double hrRatioUsed;
    bool clamped;
    const char* hardness;  // "" in fuk mode
};

class WorkedExampleTest : public testing::TestWithParam<ExampleRow> {};

TEST_P(WorkedExampleTest, GivesTheStatedFigures) {
    const ExampleRow& row = GetParam();
    const ComputeOutcome out = ComputePile(row.panel.Input(), u'.');
    ASSERT_TRUE(std::holds_alternative<ComputedPile>(out.result))
        << U8(std::get<ValidationFailure>(out.result).message);
    const PileResult& r = ResultOf(out);
    const bool frk = row.panel.mode == kFrk;
    EXPECT_EQ(Printed(frk ? r.zetaR : r.beta, 4), row.coefficient);
    EXPECT_EQ(Printed(r.Qrk, 2), row.Qrk);
    EXPECT_EQ(Printed(r.Quk, 2), row.Qrk);
    EXPECT_EQ(r.Qsk, 0);
    EXPECT_EQ(Printed(r.Ra, 2), row.Ra);
    if (row.Rc != nullptr) {
        EXPECT_EQ(Printed(r.Rc, 2), row.Rc);
    }
    EXPECT_EQ(Printed(r.hrRatio, 6), Printed(row.hrRatio, 6));
    EXPECT_EQ(r.hrRatioUsed, row.hrRatioUsed);
    EXPECT_EQ(r.ratioClamped, row.clamped);
    EXPECT_EQ(r.safetyFactorK, frk ? 2 : 3);
    EXPECT_EQ(r.rockHardness ? U8(RockHardnessText(*r.rockHardness)) : "", row.hardness);
}

INSTANTIATE_TEST_SUITE_P(
    Circle, WorkedExampleTest,
    testing::Values(ExampleRow{"InitialFrkPanel", Circle(kFrk, u"1000", u"1.0d", kMud), "0.8567",
                               "16820.61", "8410.31", "7861.84", 1, 1, false, "较软岩"},
                    ExampleRow{"DryProcessFrk", Circle(kFrk, u"1000", u"1.0d", kDry), "1.0280",
                               "20184.73", "10092.37", "10108.07", 1, 1, false, "较软岩"},
                    ExampleRow{"InitialFukPanel", Circle(kFuk, u"1000", u"1.0d", kDry), "1.3260",
                               "24994.51", "8331.50", "10108.07", 1, 1, false, ""},
                    ExampleRow{"FukShallowSocket", Circle(kFuk, u"1000", u"300", kDry), "1.0000",
                               "18849.56", "6283.19", nullptr, 0.3, 0.3, false, ""},
                    ExampleRow{"FukRatioFiveClamped", Circle(kFuk, u"1000", u"5.0d", kDry),
                               "1.8300", "34494.69", "11498.23", nullptr, 5, 5, true, ""},
                    ExampleRow{"SoftRockDeepSocketClamped",
                               Panel{kCircle, kFrk, u"800", u"0", u"10d", u"10", u"24", kMud},
                               "1.7000", "8545.13", "4272.57", nullptr, 10, 8, true, "软岩"},
                    ExampleRow{"HardRockBeyondFourClamped",
                               Panel{kCircle, kFrk, u"1000", u"0", u"4.5d", u"40", u"24", kMud},
                               "1.0400", "32672.56", "16336.28", nullptr, 4.5, 4, true, "较硬岩"},
                    ExampleRow{"HardRockAtFourNotClamped",
                               Panel{kCircle, kFrk, u"1000", u"0", u"4.0d", u"40", u"24", kMud},
                               "1.0400", "32672.56", "16336.28", nullptr, 4, 4, false, "较硬岩"},
                    ExampleRow{"ZeroDepthBlend",
                               Panel{kCircle, kFrk, u"1000", u"0", u"0", u"20", u"24", kMud},
                               "0.5500", "8639.38", "4319.69", nullptr, 0, 0, false, "较软岩"},
                    ExampleRow{"ZeroMultipleBlend",
                               Panel{kCircle, kFrk, u"1000", u"0", u"0d", u"20", u"24", kMud},
                               "0.5500", "8639.38", "4319.69", nullptr, 0, 0, false, "较软岩"}),
    test::RowName{});

INSTANTIATE_TEST_SUITE_P(
    Ellipse, WorkedExampleTest,
    testing::Values(
        ExampleRow{"WorkedExample", Shaped(kEllipse, u"1000", u"1000", u"1.5d"), "1.3356",
                   "57229.87", "19076.62", "22978.07", 1.5, 1.5, false, ""},
        ExampleRow{"RatioLowerBound", Shaped(kEllipse, u"1000", u"200", u"1000"), "1.3128",
                   "31047.14", "10349.05", nullptr, 1, 1, false, ""},
        ExampleRow{"RatioUpperBoundClamped", Shaped(kEllipse, u"1000", u"2000", u"5.0d"), "1.6032",
                   "107173.21", "35724.40", nullptr, 5, 5, true, ""},
        ExampleRow{"ShallowSocket", Shaped(kEllipse, u"1000", u"500", u"400"), "1.0000", "30849.56",
                   "10283.19", "16543.07", 0.4, 0.4, false, ""},
        ExampleRow{"HalfToOne", Shaped(kEllipse, u"1000", u"500", u"700"), "1.2000", "37019.47",
                   "12339.82", nullptr, 0.7, 0.7, false, ""},
        ExampleRow{"BeyondFiveClamped", Shaped(kEllipse, u"1000", u"300", u"6500"), "1.7436",
                   "45420.01", "15140.00", nullptr, 6.5, 5, true, ""},
        // The middle rows of the table, each at a column where it differs from its neighbours:
        // row 2 dips at c/d = 0.6.
        ExampleRow{"MiddleRowTwoWhereItDips", Shaped(kEllipse, u"1000", u"600", u"2.0d"), "1.4160",
                   "47081.37", "15693.79", "17830.07", 2, 2, false, ""},
        ExampleRow{"MiddleRowThree", Shaped(kEllipse, u"1000", u"800", u"3000"), "1.4820",
                   "56389.44", "18796.48", "20404.07", 3, 3, false, ""},
        ExampleRow{"MiddleRowFour", Shaped(kEllipse, u"1000", u"1600", u"4.0d"), "1.5336",
                   "87797.92", "29265.97", "30700.07", 4, 4, false, ""},
        ExampleRow{"BetweenRowsThreeAndFour", Shaped(kEllipse, u"1000", u"1600", u"3.5d"), "1.4922",
                   "85427.79", "28475.93", nullptr, 3.5, 3.5, false, ""}),
    test::RowName{});

INSTANTIATE_TEST_SUITE_P(
    Rectangle, WorkedExampleTest,
    testing::Values(
        ExampleRow{"WorkedExampleExchanged", Shaped(kRectangle, u"800", u"1000", u"1.5b"), "1.3620",
                   "26150.40", "8716.80", "10296.00", 1.5, 1.5, false, ""},
        ExampleRow{"Square", Shaped(kRectangle, u"1000", u"1000", u"1.0b"), "1.3200", "31680.00",
                   "10560.00", nullptr, 1, 1, false, ""},
        ExampleRow{"RatioLowerBound", Shaped(kRectangle, u"1000", u"500", u"2000"), "1.5600",
                   "18720.00", "6240.00", nullptr, 4, 4, false, ""},
        ExampleRow{"ShallowSocket", Shaped(kRectangle, u"1000", u"750", u"300"), "1.0000",
                   "18000.00", "6000.00", nullptr, 0.4, 0.4, false, ""},
        ExampleRow{"HalfToOne", Shaped(kRectangle, u"1000", u"750", u"600"), "1.2000", "21600.00",
                   "7200.00", nullptr, 0.8, 0.8, false, ""},
        ExampleRow{"BeyondFiveClamped", Shaped(kRectangle, u"1200", u"900", u"5400"), "1.7250",
                   "44712.00", "14904.00", nullptr, 6, 5, true, ""},
        // 0.7/0.1 is 6.999999999999999: the cell 6..7 is taken and column 0.7 has a
        // weight of almost 1, which prints as the table value 1.085.
        ExampleRow{"RatioJustBelowAColumn", Shaped(kRectangle, u"1000", u"700", u"1.0b"), "1.3020",
                   "21873.60", "7291.20", nullptr, 1, 1, false, ""},
        // The middle rows of the table; row 2 rises in unequal steps (0.7: 1.175).
        ExampleRow{"MiddleRowTwoUnequalStep", Shaped(kRectangle, u"1000", u"700", u"2.0b"),
                   "1.4100", "23688.00", "7896.00", "9009.00", 2, 2, false, ""},
        ExampleRow{"MiddleRowThree", Shaped(kRectangle, u"1000", u"900", u"2700"), "1.5420",
                   "33307.20", "11102.40", "11583.00", 3, 3, false, ""},
        ExampleRow{"MiddleRowFour", Shaped(kRectangle, u"1000", u"600", u"4.0b"), "1.5840",
                   "22809.60", "7603.20", "7722.00", 4, 4, false, ""},
        ExampleRow{"BetweenRowsTwoAndThree", Shaped(kRectangle, u"1000", u"800", u"2000"), "1.4700",
                   "28224.00", "9408.00", nullptr, 2.5, 2.5, false, ""}),
    test::RowName{});

// --- To the bit: the formulas evaluated here in the order they are written ----------------

TEST(WorkedExamplesToTheBit, AgreeWithTheFormulasInTheirOrder) {
    struct Expected {
        double area, perimeter, coefficient, Qrk, Ra, Rc;
    };
    struct Row {
        const char* name;
        Panel panel;
        Expected expected;
    };

    const double circleArea = kPi * 1000.0 * 1000.0 / 4;
    // Blend at frk = 25 on the row hr/d = 1 (x = 2): A and B are the table values themselves.
    const double blendA = 0.95 + (1.065 - 0.95) / (3.0 - 2) * (2.0 - 2);
    const double blendB = 0.81 + (0.855 - 0.81) / (3.0 - 2) * (2.0 - 2);
    const double zeta = (blendA + (blendB - blendA) / (30.0 - 15) * (25.0 - 15)) * 1.0;
    const double circleQrkFrk = circleArea * (zeta * 25.0) / 1000;
    const double betaCircle = 1.2 * (1.105 + (1.21 - 1.105) / (2.0 - 1) * (1.0 - 1));
    const double circleQrkFuk = circleArea * (betaCircle * 24.0) / 1000;

    const double ellipseArea = kPi * 1000.0 * 1000.0 / 4 + 1000.0 * 1000.0;
    const double eS = (1000.0 / 1000.0) / 0.2;  // 5: the cell between columns 1.0 and 1.2
    const double eA = 1.075 + (1.151 - 1.075) / (2.0 - 1) * (1.5 - 1);
    const double eB = 1.073 + (1.146 - 1.073) / (2.0 - 1) * (1.5 - 1);
    const double betaEllipse = 1.2 * (eA + (eB - eA) / (6.0 - 5) * (eS - 5));
    const double ellipseQrk = ellipseArea * (betaEllipse * 24.0) / 1000;

    const double rectangleArea = 1000.0 * 800.0;
    const double rS = (800.0 / 1000.0) / 0.1;  // 8: the cell between columns 0.8 and 0.9
    const double rA = 1.090 + (1.180 - 1.090) / (2.0 - 1) * (1.5 - 1);
    const double rB = 1.095 + (1.190 - 1.095) / (2.0 - 1) * (1.5 - 1);
    const double betaRectangle = 1.2 * (rA + (rB - rA) / (9.0 - 8) * (rS - 8));
    const double rectangleQrk = rectangleArea * (betaRectangle * 24.0) / 1000;

    // Awkward inputs, on which another order of the same operations gives other bits.
    const double awkwardD = 1234.567;
    const double awkwardArea = kPi * awkwardD * awkwardD / 4;
    const double awkwardX = (1.37 * awkwardD / awkwardD) / 0.5;  // 2.74: rows 2 and 3
    const double awkwardA = 0.95 + (1.065 - 0.95) / (3.0 - 2) * (awkwardX - 2);
    const double awkwardB = 0.81 + (0.855 - 0.81) / (3.0 - 2) * (awkwardX - 2);
    const double awkwardZeta = (awkwardA + (awkwardB - awkwardA) / (30.0 - 15) * (21.2 - 15)) * 1.2;
    const double awkwardQrk = awkwardArea * (awkwardZeta * 21.2) / 1000;

    const double oddD = 1163.2;
    const double oddC = 777.9;
    const double oddEllipseArea = kPi * oddD * oddD / 4 + oddD * oddC;
    const double oddEx = 4.56 * oddD / oddD;   // row cell 4
    const double oddEs = (oddC / oddD) / 0.2;  // 3.34: column cell 3
    const double oddEA = 1.328 + (1.410 - 1.328) / (5.0 - 4) * (oddEx - 4);
    const double oddEB = 1.313 + (1.392 - 1.313) / (5.0 - 4) * (oddEx - 4);
    const double oddEllipseBeta = 1.2 * (oddEA + (oddEB - oddEA) / (4.0 - 3) * (oddEs - 3));
    const double oddEllipseQrk = oddEllipseArea * (oddEllipseBeta * 24.4) / 1000;

    const double oddRx = 4.48 * 828.2 / 828.2;    // row cell 4
    const double oddRs = (828.2 / 1067.5) / 0.1;  // 7.76: column cell 7
    const double oddRA = 1.340 + (1.425 - 1.340) / (5.0 - 4) * (oddRx - 4);
    const double oddRB = 1.360 + (1.450 - 1.360) / (5.0 - 4) * (oddRx - 4);
    const double oddRectangleBeta = 1.2 * (oddRA + (oddRB - oddRA) / (8.0 - 7) * (oddRs - 7));
    const double oddRectangleQrk = 1067.5 * 828.2 * (oddRectangleBeta * 15.6) / 1000;

    // 0.7/0.1 is 6.999999999999999: truncated to the cell 6..7, as written.
    const double belowS = (700.0 / 1000.0) / 0.1;
    ASSERT_LT(belowS, 7.0);
    const double belowA = 1.080 + (1.160 - 1.080) / (2.0 - 1) * (1.0 - 1);
    const double belowB = 1.085 + (1.175 - 1.085) / (2.0 - 1) * (1.0 - 1);
    const double belowColumnBeta = 1.2 * (belowA + (belowB - belowA) / (7.0 - 6) * (belowS - 6));
    const double belowColumnQrk = 700000 * (belowColumnBeta * 24.0) / 1000;

    const Row rows[] = {
        {"CircleFrk",
         Circle(kFrk, u"1000", u"1.0d", kMud),
         {circleArea, kPi * 1000.0, zeta, circleQrkFrk, (0 + circleQrkFrk) / 2,
          circleArea * (0.7 * 14.3) / 1000}},
        {"CircleFuk",
         Circle(kFuk, u"1000", u"1.0d", kDry),
         {circleArea, kPi * 1000.0, betaCircle, circleQrkFuk, (0 + circleQrkFuk) / 3,
          circleArea * (0.9 * 14.3) / 1000}},
        {"Ellipse",
         Shaped(kEllipse, u"1000", u"1000", u"1.5d"),
         {ellipseArea, kPi * 1000.0 + 2 * 1000.0, betaEllipse, ellipseQrk, (0 + ellipseQrk) / 3,
          ellipseArea * (0.9 * 14.3) / 1000}},
        {"Rectangle",
         Shaped(kRectangle, u"800", u"1000", u"1.5b"),
         {rectangleArea, (1000.0 + 800.0) * 2, betaRectangle, rectangleQrk, (0 + rectangleQrk) / 3,
          rectangleArea * (0.9 * 14.3) / 1000}},
        {"CircleBlendAwkward",
         Panel{kCircle, kFrk, u"1234.567", u"0", u"1.37d", u"21.2", u"24", kDry,
               ConcreteGrade::C35},
         {awkwardArea, kPi * 1234.567, awkwardZeta, awkwardQrk, (0 + awkwardQrk) / 2,
          awkwardArea * (0.9 * 16.7) / 1000}},
        {"EllipseAwkward",
         Panel{kEllipse, kFuk, u"1163.2", u"777.9", u"4.56d", u"25", u"24.4", kDry},
         {oddEllipseArea, kPi * 1163.2 + 2 * 777.9, oddEllipseBeta, oddEllipseQrk,
          (0 + oddEllipseQrk) / 3, oddEllipseArea * (0.9 * 14.3) / 1000}},
        {"RectangleAwkward",
         Panel{kRectangle, kFuk, u"1067.5", u"828.2", u"4.48b", u"25", u"15.6", kDry},
         {1067.5 * 828.2, (1067.5 + 828.2) * 2, oddRectangleBeta, oddRectangleQrk,
          (0 + oddRectangleQrk) / 3, 1067.5 * 828.2 * (0.9 * 14.3) / 1000}},
        {"RectangleRatioJustBelowAColumn",
         Shaped(kRectangle, u"1000", u"700", u"1.0b"),
         {700000, (1000.0 + 700.0) * 2, belowColumnBeta, belowColumnQrk, (0 + belowColumnQrk) / 3,
          700000 * (0.9 * 14.3) / 1000}},
    };
    for (const Row& row : rows) {
        const ComputeOutcome out = ComputePile(row.panel.Input(), u'.');
        ASSERT_TRUE(std::holds_alternative<ComputedPile>(out.result)) << row.name;
        const PileResult& r = ResultOf(out);
        EXPECT_EQ(r.sectionArea, row.expected.area) << row.name;
        EXPECT_EQ(r.sectionPerimeter, row.expected.perimeter) << row.name;
        EXPECT_EQ(row.panel.mode == kFrk ? r.zetaR : r.beta, row.expected.coefficient) << row.name;
        EXPECT_EQ(r.Qrk, row.expected.Qrk) << row.name;
        EXPECT_EQ(r.Ra, row.expected.Ra) << row.name;
        EXPECT_EQ(r.Rc, row.expected.Rc) << row.name;
    }
}

// --- The check order through the whole road, with the boxes that passed -------------------

struct OrderRow {
    const char* name;
    Panel panel;
    std::u16string_view message;
    InputControl control;
    std::vector<InputControl> passed;
};

class CheckOrderTest : public testing::TestWithParam<OrderRow> {};

TEST_P(CheckOrderTest, ReportsTheFirstFailedCheck) {
    const OrderRow& row = GetParam();
    const ComputeOutcome out = ComputePile(row.panel.Input(), u'.');
    const auto* failure = std::get_if<ValidationFailure>(&out.result);
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(U8(failure->message), U8(row.message));
    EXPECT_EQ(failure->control, row.control);
    EXPECT_EQ(out.passed, row.passed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CheckOrderTest,
    testing::Values(OrderRow{"FrkZero",
                             Panel{kCircle, kFrk, u"1000", u"0", u"1.0d", u"0", u"24"},
                             messages::kFrk,
                             kFrkBox,
                             {kDd, kHr}},
                    OrderRow{"FrkEmpty",
                             Panel{kCircle, kFrk, u"1000", u"0", u"1.0d", u"", u"24"},
                             messages::kFrk,
                             kFrkBox,
                             {kDd, kHr}},
                    OrderRow{"FukZeroInFukMode",
                             Panel{kCircle, kFuk, u"1000", u"0", u"1.0d", u"25", u"0", kDry},
                             messages::kFuk,
                             kFukBox,
                             {kDd, kHr}},
                    OrderRow{"DepthBeforeRock",
                             Panel{kCircle, kFrk, u"1000", u"0", u"abc", u"0", u"24"},
                             messages::kSocketDepth,
                             kHr,
                             {kDd}},
                    OrderRow{"EllipseRatioBelow",
                             Shaped(kEllipse, u"1000", u"150", u"1.0d"),
                             messages::kEllipseRatio,
                             kTyzd,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"EllipseRatioAbove",
                             Shaped(kEllipse, u"1000", u"2100", u"1.0d"),
                             messages::kEllipseRatio,
                             kTyzd,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"EllipseRatioOverflows",
                             Shaped(kEllipse, u"1e-5", u"1e300", u"0"),
                             messages::kEllipseRatio,
                             kTyzd,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"EllipseRatioBeforeRock",
                             Panel{kEllipse, kFuk, u"1000", u"150", u"1.0d", u"25", u"0", kDry},
                             messages::kEllipseRatio,
                             kTyzd,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"EllipseRockAfterRatio",
                             Panel{kEllipse, kFuk, u"1000", u"500", u"1.0d", u"25", u"0", kDry},
                             messages::kFuk,
                             kFukBox,
                             {kDd, kTyzd, kHr, kTyzd}},
                    OrderRow{"EllipseStraightZero",
                             Shaped(kEllipse, u"1000", u"0", u"1.0d"),
                             u"椭圆直段长度数据有错",
                             kTyzd,
                             {kDd}},
                    OrderRow{"RectangleRatioBelow",
                             Shaped(kRectangle, u"1000", u"450", u"1.0b"),
                             messages::kRectangleRatio,
                             kTyzd,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"RectangleExchangedThenRatio",
                             Shaped(kRectangle, u"800", u"1800", u"1.0b"),
                             messages::kRectangleRatio,
                             kTyzd,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"RectangleRockAfterRatio",
                             Panel{kRectangle, kFuk, u"1000", u"800", u"1.0b", u"25", u"-3", kDry},
                             messages::kFuk,
                             kFukBox,
                             {kDd, kTyzd, kHr, kTyzd}},
                    OrderRow{"EllipseInFrkModeRefused",
                             Panel{kEllipse, kFrk, u"1000", u"500", u"1.0d", u"25", u"24"},
                             messages::kFuk,
                             kFukBox,
                             {kDd, kTyzd, kHr}},
                    OrderRow{"RectangleInFrkModeRefused",
                             Panel{kRectangle, kFrk, u"1000", u"800", u"1.0b", u"25", u"24"},
                             messages::kFuk,
                             kFukBox,
                             {kDd, kTyzd, kHr}}),
    test::RowName{});

TEST(ComputePile, PassedChecksOfASuccessEndWithTheRockBox) {
    const ComputeOutcome circle = ComputePile(Circle(kFrk, u"1000", u"1.0d", kMud).Input(), u'.');
    EXPECT_EQ(circle.passed, (std::vector{kDd, kHr, kFrkBox}));
    const ComputeOutcome rectangle =
        ComputePile(Shaped(kRectangle, u"800", u"1000", u"1.5b").Input(), u'.');
    EXPECT_EQ(rectangle.passed, (std::vector{kDd, kTyzd, kHr, kTyzd, kFukBox}));
    ASSERT_TRUE(rectangle.rewritten.has_value());
    EXPECT_EQ(U8(rectangle.rewritten->ddText), "1000");
    const auto& input = std::get<ComputedPile>(rectangle.result).input;
    EXPECT_EQ(input.a, 1000);
    EXPECT_EQ(input.b, 800);
}

// --- Absurd inputs: a clear refusal, or a result whose every number is finite ---------------

bool AllFinite(const PileResult& r) {
    for (const double v :
         {r.sectionArea, r.sectionPerimeter, r.hrRatio, r.hrRatioUsed, r.shapeRatio, r.zetaR,
          r.beta, r.Qrk, r.Qsk, r.Quk, r.safetyFactorK, r.Ra, r.psiC, r.fc, r.Rc}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

struct AbsurdRow {
    const char* name;
    Panel panel;
    std::optional<ValidationFailure> failure;  // nullopt: computed
};

class AbsurdInputTest : public testing::TestWithParam<AbsurdRow> {};

TEST_P(AbsurdInputTest, NeverPutsInfOrNanIntoAResult) {
    const AbsurdRow& row = GetParam();
    const ComputeOutcome out = ComputePile(row.panel.Input(), u'.');
    if (row.failure) {
        const auto* failure = std::get_if<ValidationFailure>(&out.result);
        ASSERT_NE(failure, nullptr);
        EXPECT_EQ(U8(failure->message), U8(row.failure->message));
        EXPECT_EQ(failure->control, row.failure->control);
    } else {
        const auto* pile = std::get_if<ComputedPile>(&out.result);
        ASSERT_NE(pile, nullptr) << U8(std::get<ValidationFailure>(out.result).message);
        EXPECT_TRUE(AllFinite(pile->result));
        for (const double v : {pile->input.d, pile->input.c, pile->input.a, pile->input.b,
                               pile->input.hr, pile->input.frk, pile->input.fuk}) {
            EXPECT_TRUE(std::isfinite(v));
        }
    }
}

std::u16string Digits(std::size_t n) {
    return std::u16string(n, u'9');
}
const ValidationFailure kDiameterFailure{messages::kDiameter, kDd};
const ValidationFailure kShortSideFailure{messages::kShortSide, kTyzd};
const ValidationFailure kDepthFailure{messages::kSocketDepth, kHr};
const ValidationFailure kFrkFailure{messages::kFrk, kFrkBox};
const ValidationFailure kFukFailure{messages::kFuk, kFukBox};

INSTANTIATE_TEST_SUITE_P(
    Rows, AbsurdInputTest,
    testing::Values(
        AbsurdRow{"Diameter1e200", Circle(kFuk, u"1e200", u"1.0d", kDry), kDiameterFailure},
        AbsurdRow{"Diameter1e308", Circle(kFrk, u"1e308", u"1.0d", kMud), kDiameterFailure},
        AbsurdRow{"DiameterSubnormal", Circle(kFuk, u"1e-320", u"2000", kDry), kDiameterFailure},
        AbsurdRow{"DiameterHundredThousandDigits", Circle(kFuk, Digits(100'000), u"1.0d", kDry),
                  kDiameterFailure},
        AbsurdRow{"DiameterWithNul", Circle(kFuk, std::u16string(u"1000\0", 5), u"1.0d", kDry),
                  kDiameterFailure},
        AbsurdRow{"DiameterTinyButFine", Circle(kFuk, u"1e-100", u"2000", kDry), std::nullopt},
        AbsurdRow{"DepthMultipleOverflows", Circle(kFuk, u"1000", u"1e308d", kDry), kDepthFailure},
        AbsurdRow{"DepthHugeButFinite", Circle(kFrk, u"1000", u"1e308", kMud), std::nullopt},
        AbsurdRow{"DepthHundredThousandDigits",
                  Panel{kCircle, kFuk, u"1000", u"0", Digits(100'000), u"25", u"24", kDry},
                  kDepthFailure},
        AbsurdRow{
            "DepthWithNul",
            Panel{kCircle, kFuk, u"1000", u"0", std::u16string(u"1\0d", 3), u"25", u"24", kDry},
            kDepthFailure},
        AbsurdRow{"DepthOverTinyDiameter", Circle(kFuk, u"1e-160", u"1e300", kDry),
                  kDiameterFailure},
        AbsurdRow{"Fuk1e308", Panel{kCircle, kFuk, u"1000", u"0", u"1.0d", u"25", u"1e308", kDry},
                  kFukFailure},
        AbsurdRow{"Frk1e308", Panel{kCircle, kFrk, u"1000", u"0", u"1.0d", u"1e308", u"24", kMud},
                  kFrkFailure},
        AbsurdRow{"FrkHundredThousandDigits",
                  Panel{kCircle, kFrk, u"1000", u"0", u"1.0d", Digits(100'000), u"24", kMud},
                  kFrkFailure},
        AbsurdRow{"FrkTinyUnderflowsTheCapacity",
                  Panel{kCircle, kFrk, u"1000", u"0", u"1.0d", u"1e-320", u"24", kMud},
                  std::nullopt},
        AbsurdRow{"FukJustLargeEnough",
                  Panel{kCircle, kFuk, u"1000", u"0", u"1.0d", u"25", u"1e300", kDry},
                  std::nullopt},
        AbsurdRow{"InactiveFrkIgnored",
                  Panel{kCircle, kFuk, u"1000", u"0", u"1.0d", u"1e400", u"24", kDry},
                  std::nullopt},
        AbsurdRow{"EllipseHugeDepth", Shaped(kEllipse, u"1000", u"1000", u"1e308"), std::nullopt},
        AbsurdRow{"EllipseFuk1e308",
                  Panel{kEllipse, kFuk, u"1000", u"1000", u"1.0d", u"25", u"1e308", kDry},
                  kFukFailure},
        AbsurdRow{"RectangleSides1e200", Shaped(kRectangle, u"1e200", u"1e200", u"1.0b"),
                  kShortSideFailure},
        AbsurdRow{"RectangleHugeButFine", Shaped(kRectangle, u"1e150", u"1e150", u"1.0b"),
                  std::nullopt},
        AbsurdRow{"RectangleDepthOverTinyShortSide",
                  Shaped(kRectangle, u"1e-150", u"1e-160", u"1e300"), kShortSideFailure},
        AbsurdRow{"RectangleMultipleOverflows", Shaped(kRectangle, u"1000", u"800", u"1e306b"),
                  kDepthFailure}),
    test::RowName{});

// --- Direct calls outside the reading's guarantees ---------------------------------------

TEST(DirectCalls, RefuseRatherThanComputeNonsense) {
    PileInput ellipse;
    ellipse.sectionType = kEllipse;
    ellipse.rockMode = kFrk;
    ellipse.d = 1000;
    ellipse.c = 500;
    ellipse.frk = 25;
    const ValidationFailure refusedFrk{messages::kFuk, kFukBox};
    EXPECT_EQ(std::get<ValidationFailure>(CalculateEllipticalPile(ellipse)), refusedFrk);

    PileInput rectangle;
    rectangle.sectionType = kRectangle;
    rectangle.rockMode = kFrk;
    rectangle.a = 1000;
    rectangle.b = 800;
    rectangle.frk = 25;
    EXPECT_EQ(std::get<ValidationFailure>(CalculateRectangularPile(rectangle)), refusedFrk);

    // A diameter of 0 never passes the reading; called directly it must not give NaN.
    PileInput circle;
    circle.rockMode = kFuk;
    circle.d = 0;
    circle.fuk = 24;
    const CalculationResult result = CalculateCircularPile(circle);
    if (const auto* r = std::get_if<PileResult>(&result)) {
        EXPECT_TRUE(AllFinite(*r));
    }
}

// --- A comma locale changes nothing -------------------------------------------------------

// The window calls setlocale(LC_ALL, ""); strtod, printf and to_string would then read and
// write a comma. The engine must give the same bits whatever the process locale.
TEST(CommaLocale, AnswersAreUnchanged) {
    const std::vector<Panel> panels = {
        Circle(kFrk, u"1000", u"1.0d", kMud),
        Circle(kFuk, u"1200.5", u"1.5d", kDry),
        Shaped(kEllipse, u"1000", u"1000", u"1.5d"),
        Shaped(kRectangle, u"800.5", u"1000.25", u"1.5b"),
    };
    std::vector<ComputeOutcome> reference;
    for (const Panel& p : panels) {
        reference.push_back(ComputePile(p.Input(), u','));
    }

    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                             "nl_NL.UTF-8", "ru_RU.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::localeconv()->decimal_point == std::string(",")) {
            commaLocale = name;
            break;
        }
    }
    if (commaLocale == nullptr) {
        std::setlocale(LC_ALL, saved.c_str());
        GTEST_SKIP() << "no decimal-comma locale is installed (locale -a); "
                        "generate one such as de_DE.UTF-8 to run this test";
    }

    for (std::size_t i = 0; i < panels.size(); ++i) {
        const ComputeOutcome out = ComputePile(panels[i].Input(), u',');
        ASSERT_TRUE(std::holds_alternative<ComputedPile>(out.result)) << commaLocale << " " << i;
        const PileResult& r = ResultOf(out);
        const PileResult& expected = ResultOf(reference[i]);
        EXPECT_EQ(r.sectionArea, expected.sectionArea) << i;
        EXPECT_EQ(r.zetaR, expected.zetaR) << i;
        EXPECT_EQ(r.beta, expected.beta) << i;
        EXPECT_EQ(r.Ra, expected.Ra) << i;
        EXPECT_EQ(r.Rc, expected.Rc) << i;
        EXPECT_EQ(out.rewritten.has_value(), reference[i].rewritten.has_value()) << i;
        if (out.rewritten) {
            // Written with the point for boxes read with the point.
            EXPECT_EQ(U8(out.rewritten->ddText), "1000.25");
            EXPECT_EQ(U8(out.rewritten->tyzdText), "800.5");
        }
    }
    // The point in a dimension still reads, the socket depth follows the locale, and the
    // program's own items with a point still read.
    const ComputeOutcome comma = ComputePile(Circle(kFrk, u"1200.5", u"1,5d", kMud).Input(), u',');
    ASSERT_TRUE(std::holds_alternative<ComputedPile>(comma.result));
    EXPECT_EQ(std::get<ComputedPile>(comma.result).input.hr, 1.5 * 1200.5);
    EXPECT_EQ(Printed(ResultOf(reference[0]).Ra, 2), "8410.31");
    EXPECT_EQ(U8(BoxNumberText(1000.5)), "1000.5");
    EXPECT_EQ(ParseLocaleFree(u"1200.5"), 1200.5);

    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace pile
