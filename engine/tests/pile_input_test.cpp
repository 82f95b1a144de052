#include "engine/pile_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "engine_test_support.h"
#include "testing/panels.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using test::U16;
using test::U8;

constexpr auto kCircle = SectionType::Circle;
constexpr auto kEllipse = SectionType::Ellipse;
constexpr auto kRectangle = SectionType::Rectangle;
constexpr auto kFrk = RockParameterMode::Frk;
constexpr auto kFuk = RockParameterMode::Fuk;
constexpr auto kDd = InputControl::Diameter;
constexpr auto kTyzd = InputControl::StraightLength;
constexpr auto kHr = InputControl::SocketDepth;

// A panel row in UTF-8 for readable rows, with the user's decimal separator.
struct Panel {
    SectionType section;
    RockParameterMode mode;
    const char* dd;
    const char* tyzd;
    const char* hr;
    char16_t separator = u'.';
};

PanelInput MakePanel(const Panel& p) {
    return test::Panel{
        .section = p.section, .mode = p.mode, .dd = U16(p.dd), .tyzd = U16(p.tyzd), .hr = U16(p.hr)}
        .Input();
}

// --- Failures: the first failed check, in the fixed order, with its box -------------------

struct FailureRow {
    const char* name;
    Panel panel;
    std::u16string_view message;
    InputControl control;
    std::vector<InputControl> passed;
};

class ReadPileInputFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(ReadPileInputFailureTest, StopsAtTheFirstFailedCheck) {
    const FailureRow& row = GetParam();
    const ReadOutcome out = ReadPileInput(MakePanel(row.panel), row.panel.separator);
    const auto* failure = std::get_if<ValidationFailure>(&out.result);
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(U8(failure->message), U8(row.message));
    EXPECT_EQ(failure->control, row.control);
    EXPECT_EQ(out.passed, row.passed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadPileInputFailureTest,
    testing::Values(
        FailureRow{"EmptyDiameter", {kCircle, kFrk, "", "0", "1.0d"}, messages::kDiameter, kDd, {}},
        FailureRow{"ZeroDiameter", {kCircle, kFrk, "0", "0", "1.0d"}, messages::kDiameter, kDd, {}},
        FailureRow{
            "NegativeDiameter", {kCircle, kFrk, "-5", "0", "1.0d"}, messages::kDiameter, kDd, {}},
        FailureRow{
            "LettersDiameter", {kCircle, kFrk, "abc", "0", "1.0d"}, messages::kDiameter, kDd, {}},
        FailureRow{"DiameterWithUnit",
                   {kCircle, kFrk, "800mm", "0", "1.0d"},
                   messages::kDiameter,
                   kDd,
                   {}},
        FailureRow{"CommaDiameterInCommaLocale",
                   {kCircle, kFrk, "1200,5", "0", "1,0d", u','},
                   messages::kDiameter,
                   kDd,
                   {}},
        FailureRow{"DiameterFailsBeforeDepth",
                   {kCircle, kFrk, "0", "0", "xd"},
                   messages::kDiameter,
                   kDd,
                   {}},
        FailureRow{"DiameterBodyProductOverflows",
                   {kCircle, kFuk, "5e153", "0", "1.0d"},
                   messages::kDiameter,
                   kDd,
                   {}},
        FailureRow{"NegativeDepth",
                   {kCircle, kFrk, "1000", "0", "-1"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd}},
        FailureRow{"NegativeMultiple",
                   {kCircle, kFrk, "1000", "0", "-1d"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd}},
        FailureRow{"UpperCaseLetter",
                   {kCircle, kFrk, "1000", "0", "1.5D"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd}},
        FailureRow{"RectangleLetterOnCircle",
                   {kCircle, kFrk, "1000", "0", "1.5b"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd}},
        FailureRow{
            "EmptyDepth", {kCircle, kFrk, "1000", "0", ""}, messages::kSocketDepth, kHr, {kDd}},
        FailureRow{"CommaDepthInPointLocale",
                   {kCircle, kFrk, "1000", "0", "1,5d"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd}},
        FailureRow{"EllipseZeroStraight",
                   {kEllipse, kFuk, "1000", "0", "1.5d"},
                   u"椭圆直段长度数据有错",
                   kTyzd,
                   {kDd}},
        FailureRow{"EllipseStraightOverflows",
                   {kEllipse, kFuk, "1000", "1e307", "1.5d"},
                   u"椭圆直段长度数据有错",
                   kTyzd,
                   {kDd}},
        FailureRow{"EllipseDiameterFirst",
                   {kEllipse, kFuk, "0", "0", "1.5d"},
                   messages::kDiameter,
                   kDd,
                   {}},
        FailureRow{"EllipseDepth",
                   {kEllipse, kFuk, "1000", "500", "1.5b"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd, kTyzd}},
        FailureRow{"RectangleLongSide",
                   {kRectangle, kFuk, "0", "800", "1.0b"},
                   u"矩形长边尺寸数据有错",
                   kDd,
                   {}},
        FailureRow{"RectangleShortSide",
                   {kRectangle, kFuk, "1000", "", "1.0b"},
                   u"矩形短边尺寸数据有错",
                   kTyzd,
                   {kDd}},
        FailureRow{"RectangleShortSideAsTyped",
                   {kRectangle, kFuk, "1000", "-800", "1.0b"},
                   u"矩形短边尺寸数据有错",
                   kTyzd,
                   {kDd}},
        FailureRow{"RectangleAreaUnderflows",
                   {kRectangle, kFuk, "1e-200", "1e-200", "1.0b"},
                   u"矩形短边尺寸数据有错",
                   kTyzd,
                   {kDd}},
        FailureRow{"RectangleCircleLetter",
                   {kRectangle, kFuk, "1000", "800", "1.5d"},
                   messages::kSocketDepth,
                   kHr,
                   {kDd, kTyzd}}),
    test::RowName{});

// --- Success: the values read, and the rectangle's exchange ------------------------------

struct SuccessRow {
    const char* name;
    Panel panel;
    double d, c, a, b, hr;
    bool hrIsMultiple;
    std::optional<std::pair<const char*, const char*>> rewritten;
};

class ReadPileInputSuccessTest : public testing::TestWithParam<SuccessRow> {};

TEST_P(ReadPileInputSuccessTest, ReadsThePile) {
    const SuccessRow& row = GetParam();
    const PanelInput panel = MakePanel(row.panel);
    const ReadOutcome out = ReadPileInput(panel, row.panel.separator);
    const auto* input = std::get_if<PileInput>(&out.result);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->sectionType, row.panel.section);
    EXPECT_EQ(input->d, row.d);
    EXPECT_EQ(input->c, row.c);
    EXPECT_EQ(input->a, row.a);
    EXPECT_EQ(input->b, row.b);
    EXPECT_EQ(input->hr, row.hr);
    EXPECT_FALSE(std::signbit(input->hr));
    EXPECT_EQ(input->hrIsMultiple, row.hrIsMultiple);
    EXPECT_EQ(input->hrText, panel.hrText);
    EXPECT_EQ(input->frk, 25);
    EXPECT_EQ(input->fuk, 24);
    ASSERT_EQ(out.rewritten.has_value(), row.rewritten.has_value());
    if (out.rewritten) {
        EXPECT_EQ(U8(out.rewritten->ddText), row.rewritten->first);
        EXPECT_EQ(U8(out.rewritten->tyzdText), row.rewritten->second);
    }
    const std::vector<InputControl> expectedPassed =
        row.panel.section == kCircle ? std::vector{kDd, kHr} : std::vector{kDd, kTyzd, kHr};
    EXPECT_EQ(out.passed, expectedPassed);
}

using Sides = std::pair<const char*, const char*>;

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadPileInputSuccessTest,
    testing::Values(
        SuccessRow{"InitialPanel",
                   {kCircle, kFrk, "1000", "0", "1.0d"},
                   1000,
                   0,
                   0,
                   0,
                   1000,
                   true,
                   std::nullopt},
        SuccessRow{"LeadingBlankDiameter",
                   {kCircle, kFrk, " 800", "0", "2000"},
                   800,
                   0,
                   0,
                   0,
                   2000,
                   false,
                   std::nullopt},
        SuccessRow{"PointDiameterCommaDepth",
                   {kCircle, kFrk, "1200.5", "0", "1,5d", u','},
                   1200.5,
                   0,
                   0,
                   0,
                   1800.75,
                   true,
                   std::nullopt},
        SuccessRow{"OwnItemInCommaLocale",
                   {kCircle, kFrk, "1000", "0", "1.0d", u','},
                   1000,
                   0,
                   0,
                   0,
                   1000,
                   true,
                   std::nullopt},
        SuccessRow{
            "ZeroDepth", {kCircle, kFrk, "1000", "0", "0d"}, 1000, 0, 0, 0, 0, true, std::nullopt},
        SuccessRow{"MinusZeroDepth",
                   {kCircle, kFrk, "1000", "0", "-0"},
                   1000,
                   0,
                   0,
                   0,
                   0,
                   false,
                   std::nullopt},
        SuccessRow{"DepthRestIgnored",
                   {kCircle, kFrk, "1000", "0", "1.5d20"},
                   1000,
                   0,
                   0,
                   0,
                   1500,
                   true,
                   std::nullopt},
        SuccessRow{"CircleIgnoresStraightBox",
                   {kCircle, kFrk, "1000", "abc", "1.0d"},
                   1000,
                   0,
                   0,
                   0,
                   1000,
                   true,
                   std::nullopt},
        SuccessRow{"Ellipse",
                   {kEllipse, kFuk, "1000", "1000", "1.5d"},
                   1000,
                   1000,
                   0,
                   0,
                   1500,
                   true,
                   std::nullopt},
        SuccessRow{"EllipseMillimetres",
                   {kEllipse, kFuk, "1000", "500", "2000"},
                   1000,
                   500,
                   0,
                   0,
                   2000,
                   false,
                   std::nullopt},
        SuccessRow{"RectangleExchanged",
                   {kRectangle, kFuk, "800", "1000", "1.5b"},
                   0,
                   0,
                   1000,
                   800,
                   1200,
                   true,
                   Sides{"1000", "800"}},
        SuccessRow{"SquareRewrittenUnchanged",
                   {kRectangle, kFuk, "1000", "1000", "1.0b"},
                   0,
                   0,
                   1000,
                   1000,
                   1000,
                   true,
                   Sides{"1000", "1000"}},
        SuccessRow{"RectangleInOrder",
                   {kRectangle, kFuk, "1000", "800", "1.0b"},
                   0,
                   0,
                   1000,
                   800,
                   800,
                   true,
                   std::nullopt},
        SuccessRow{"ExchangeWritesThePoint",
                   {kRectangle, kFuk, "1000.5", "2000.25", "1,0b", u','},
                   0,
                   0,
                   2000.25,
                   1000.5,
                   1000.5,
                   true,
                   Sides{"2000.25", "1000.5"}},
        SuccessRow{"ExchangeBeforeRatioCheck",
                   {kRectangle, kFuk, "800", "1800", "1.0b"},
                   0,
                   0,
                   1800,
                   800,
                   800,
                   true,
                   Sides{"1800", "800"}}),
    test::RowName{});

TEST(ReadPileInput, ExchangeIsReportedEvenWhenTheDepthFails) {
    const ReadOutcome out =
        ReadPileInput(MakePanel({kRectangle, kFuk, "800", "1000", "1.5d"}), u'.');
    ASSERT_TRUE(std::holds_alternative<ValidationFailure>(out.result));
    ASSERT_TRUE(out.rewritten.has_value());
    EXPECT_EQ(U8(out.rewritten->ddText), "1000");
    EXPECT_EQ(U8(out.rewritten->tyzdText), "800");
}

TEST(CheckRockValue, TestsOnlyTheValueOfTheModeInForce) {
    struct Row {
        RockParameterMode mode;
        double frk, fuk;
        std::optional<ValidationFailure> failure;
    };
    const Row rows[] = {
        {kFrk, 25, 0, std::nullopt},
        {kFrk, 0, 24, ValidationFailure{messages::kFrk, InputControl::Frk}},
        {kFrk, -1, 24, ValidationFailure{messages::kFrk, InputControl::Frk}},
        {kFuk, 0, 24, std::nullopt},
        {kFuk, 25, 0, ValidationFailure{messages::kFuk, InputControl::Fuk}},
    };
    for (const Row& row : rows) {
        PileInput input;
        input.rockMode = row.mode;
        input.frk = row.frk;
        input.fuk = row.fuk;
        EXPECT_EQ(CheckRockValue(input), row.failure) << row.frk << " " << row.fuk;
    }
}

}  // namespace
}  // namespace pile
