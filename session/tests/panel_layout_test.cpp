#include "session/panel_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/pile_input.h"
#include "engine/utf_text.h"
#include "testing/row_name.h"

namespace pile::session {
namespace {

using pile::test::PrintTo;

std::string Joined(const ListItems& items) {
    std::string out;
    for (const std::u16string& item : items) {
        if (!out.empty()) {
            out += '|';
        }
        out += Utf16ToUtf8(item);
    }
    return out;
}

std::string U8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

// ------------------------------------------------------------------ rock mode

struct RockRow {
    const char* name;
    RockParameterMode mode;
    const char* sectionItems;
    const char* processItems;
    int processSelection;
    InputControl rockBox;
    const char* coefficientName;
    const char* formula;
};

class RockModeLayoutTest : public testing::TestWithParam<RockRow> {};

TEST_P(RockModeLayoutTest, ListsSelectionsLabelsAndTheRockBox) {
    const RockRow& row = GetParam();
    const RockModeLayout& layout = LayoutOf(row.mode);
    EXPECT_EQ(Joined(layout.sectionItems), row.sectionItems);
    EXPECT_EQ(Joined(layout.processItems), row.processItems);
    EXPECT_EQ(layout.processSelection, row.processSelection);
    EXPECT_EQ(layout.rockBox, row.rockBox);
    EXPECT_EQ(U8(layout.coefficientName), row.coefficientName);
    EXPECT_EQ(U8(layout.formula), row.formula);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RockModeLayoutTest,
    testing::Values(RockRow{"FrkOffersTheCircleAndThreeProcesses", RockParameterMode::Frk, "圆桩",
                            "干作业成桩(清底干净)|泥浆护壁成桩|泥浆护壁成桩后注浆", 1,
                            InputControl::Frk, "嵌岩段侧阻和端阻综合系数 ζr",
                            "单桩竖向承载力计算依据: 公式 8.4.8-6"},
                    RockRow{"FukOffersThreeSectionsAndTheDryProcess", RockParameterMode::Fuk,
                            "圆桩|椭圆桩|矩形桩", "干作业成孔且清底干净", 0, InputControl::Fuk,
                            "考虑嵌固力影响后承载力系数",
                            "单桩竖向承载力计算依据: 公式 8.4.8-4、5"}),
    pile::test::RowName{});

// The positions the lists offer are the ones the engine reads back.
TEST(RockModeLayout, ListPositionsAreTheEnginesIndices) {
    for (const RockParameterMode mode : {RockParameterMode::Frk, RockParameterMode::Fuk}) {
        const RockModeLayout& layout = LayoutOf(mode);
        for (std::size_t i = 0; i < layout.sectionItems.size(); ++i) {
            const auto type = SectionTypeFromIndex(static_cast<int>(i), mode);
            ASSERT_TRUE(type.has_value());
            EXPECT_EQ(layout.sectionItems[i], SectionTypeText(*type));
        }
        EXPECT_FALSE(SectionTypeFromIndex(static_cast<int>(layout.sectionItems.size()), mode));
        EXPECT_TRUE(ProcessFromIndex(layout.processSelection, mode).has_value());
        EXPECT_FALSE(ProcessFromIndex(static_cast<int>(layout.processItems.size()), mode));
    }
}

// ------------------------------------------------------------------ section type

struct SectionRow {
    const char* name;
    SectionType type;
    const char* ddLabel;
    const char* tyzdLabel;
    bool tyzdEnabled;
    const char* tyzdItems;  // first|last (count)
    const char* tyzdShown;  // the text the box shows after the change
    const char* hrItems;
};

class SectionLayoutTest : public testing::TestWithParam<SectionRow> {};

TEST_P(SectionLayoutTest, LabelsListsAndSelections) {
    const SectionRow& row = GetParam();
    const SectionLayout& layout = LayoutOf(row.type);
    EXPECT_EQ(U8(layout.ddLabel), row.ddLabel);
    EXPECT_EQ(U8(layout.tyzdLabel), row.tyzdLabel);
    EXPECT_EQ(layout.tyzdEnabled, row.tyzdEnabled);
    const ListItems& items = layout.tyzdItems;
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(
        U8(items.front()) + "|" + U8(items.back()) + " (" + std::to_string(items.size()) + ")",
        row.tyzdItems);
    const std::u16string shown = layout.tyzdSelection >= 0
                                     ? items.at(static_cast<std::size_t>(layout.tyzdSelection))
                                     : std::u16string(layout.tyzdText);
    EXPECT_EQ(U8(shown), row.tyzdShown);
    EXPECT_EQ(Joined(layout.hrItems), row.hrItems);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SectionLayoutTest,
    testing::Values(SectionRow{"Circle", SectionType::Circle, "桩  身   直   径      d (mm)",
                               "椭圆直段长度      c (mm)", false, "100|1200 (12)", "0",
                               "1.0d|1.5d|2.0d|2.5d|3.0d|3.5d|4.0d|1000|1500|2000|2500|3000"},
                    SectionRow{"Ellipse", SectionType::Ellipse, "桩  身   直   径      d (mm)",
                               "椭圆直段长度      c (mm)", true, "100|1200 (12)", "500",
                               "1.0d|1.5d|2.0d|2.5d|3.0d|3.5d|4.0d|1000|1500|2000|2500|3000"},
                    SectionRow{"Rectangle", SectionType::Rectangle, "矩形长边尺寸      a (mm)",
                               "矩形短边尺寸      b (mm)", true, "1000|2000 (11)", "1000",
                               "1.0b|1.5b|2.0b|2.5b|3.0b|3.5b|4.0b|1000|1500|2000|2500|3000"}),
    pile::test::RowName{});

TEST(FixedLists, GradesPrecisionsAndDimensions) {
    EXPECT_EQ(Joined(ConcreteGradeItems()), "C25|C30|C35|C40|C45|C50|C55|C60");
    EXPECT_EQ(Joined(PrecisionItems()), "两位小数|一位小数|个位取整|十位取整|百位取整");
    EXPECT_EQ(Joined(DimensionItems()), "1000|1100|1200|1300|1400|1500|1600|1700|1800|1900|2000");
    EXPECT_EQ(U8(StartFormula()), "单桩竖向承载力计算依据: 公式 8.7.8-4、5、6");
}

// ------------------------------------------------------------------ what a change empties

struct StaleRow {
    const char* name;
    PanelField field;
    StaleResults stale;
};

class StaleAfterChangeTest : public testing::TestWithParam<StaleRow> {};

TEST_P(StaleAfterChangeTest, EmptiesTheResultsTheInputFeeds) {
    const StaleRow& row = GetParam();
    const StaleResults stale = StaleAfterChange(row.field);
    EXPECT_EQ(stale.coefficient, row.stale.coefficient);
    EXPECT_EQ(stale.ra, row.stale.ra);
    EXPECT_EQ(stale.rc, row.stale.rc);
}

constexpr StaleResults kAll{true, true, true};
constexpr StaleResults kKeepsRc{true, true, false};

INSTANTIATE_TEST_SUITE_P(
    Fields, StaleAfterChangeTest,
    testing::Values(StaleRow{"SectionTypeEmptiesAll", PanelField::SectionType, kAll},
                    StaleRow{"DiameterEmptiesAll", PanelField::Diameter, kAll},
                    StaleRow{"StraightLengthEmptiesAll", PanelField::StraightLength, kAll},
                    StaleRow{"ProcessEmptiesAll", PanelField::Process, kAll},
                    StaleRow{"SocketDepthKeepsRc", PanelField::SocketDepth, kKeepsRc},
                    StaleRow{"FrkKeepsRc", PanelField::Frk, kKeepsRc},
                    StaleRow{"FukKeepsRc", PanelField::Fuk, kKeepsRc},
                    StaleRow{"RockModeKeepsRc", PanelField::RockMode, kKeepsRc},
                    StaleRow{"GradeEmptiesOnlyRc", PanelField::ConcreteGrade,
                             StaleResults{false, false, true}}),
    pile::test::RowName{});

// ------------------------------------------------------------------ quick checks

struct QuickRow {
    const char* name;
    PanelField field;
    const char* text;
    char16_t separator;
    CheckVerdict verdict;
    const char* message;  // when the check fails
    SectionType section = SectionType::Circle;
};

class QuickCheckTest : public testing::TestWithParam<QuickRow> {};

TEST_P(QuickCheckTest, PassesOrNamesTheBox) {
    const QuickRow& row = GetParam();
    const QuickCheckResult result =
        QuickCheck(row.field, row.section, Utf8ToUtf16(row.text), row.separator);
    EXPECT_EQ(result.verdict, row.verdict);
    EXPECT_EQ(U8(result.message), row.message);
}

using enum CheckVerdict;

INSTANTIATE_TEST_SUITE_P(
    Boxes, QuickCheckTest,
    testing::Values(
        QuickRow{"DiameterZero", PanelField::Diameter, "0", u'.', Failed, "桩身直径数据有错"},
        QuickRow{"DiameterEmpty", PanelField::Diameter, "", u'.', Failed, "桩身直径数据有错"},
        QuickRow{"DiameterLetters", PanelField::Diameter, "abc", u'.', Failed, "桩身直径数据有错"},
        QuickRow{"DiameterNegative", PanelField::Diameter, "-5", u'.', Failed, "桩身直径数据有错"},
        QuickRow{"DiameterLeadingBlank", PanelField::Diameter, " 800", u'.', Failed,
                 "桩身直径数据有错"},
        QuickRow{"DiameterBeyondDouble", PanelField::Diameter, "1e400", u'.', Failed,
                 "桩身直径数据有错"},
        QuickRow{"DiameterPasses", PanelField::Diameter, "1200", u'.', Passed, ""},
        QuickRow{"DiameterFractionPasses", PanelField::Diameter, "1200.5", u'.', Passed, ""},
        QuickRow{"StraightLengthZeroPasses", PanelField::StraightLength, "0", u'.', Passed, ""},
        QuickRow{"StraightLengthNegative", PanelField::StraightLength, "-1", u'.', Failed,
                 "椭圆直段长度数据有错"},
        QuickRow{"RectangleLongSide", PanelField::Diameter, "0", u'.', Failed,
                 "矩形长边尺寸数据有错", SectionType::Rectangle},
        QuickRow{"RectangleShortSide", PanelField::StraightLength, "x", u'.', Failed,
                 "矩形短边尺寸数据有错", SectionType::Rectangle},
        QuickRow{"FrkZeroPasses", PanelField::Frk, "0", u'.', Passed, ""},
        QuickRow{"FrkExponentPasses", PanelField::Frk, "2.5e1", u'.', Passed, ""},
        QuickRow{"FrkNegative", PanelField::Frk, "-1", u'.', Failed, "岩石单轴抗压强度值有错"},
        QuickRow{"FrkEmpty", PanelField::Frk, "", u'.', Failed, "岩石单轴抗压强度值有错"},
        QuickRow{"FrkInfinity", PanelField::Frk, "inf", u'.', Failed, "岩石单轴抗压强度值有错"},
        QuickRow{"FukZeroPasses", PanelField::Fuk, "0", u'.', Passed, ""},
        QuickRow{"FukLetters", PanelField::Fuk, "x", u'.', Failed, "桩端地基极限承载力值有错"},
        QuickRow{"CommaLocaleReadsTheComma", PanelField::Frk, "1,5", u',', Passed, ""},
        QuickRow{"CommaLocaleReadsThePointToo", PanelField::Frk, "1.5", u',', Passed, ""},
        QuickRow{"CommaLocaleTwoSeparators", PanelField::Frk, "1,5,0", u',', Failed,
                 "岩石单轴抗压强度值有错"},
        QuickRow{"PointLocaleRefusesTheComma", PanelField::Frk, "1,5", u'.', Failed,
                 "岩石单轴抗压强度值有错"},
        QuickRow{"SocketDepthHasNone", PanelField::SocketDepth, "1.5D", u'.', NotChecked, ""},
        QuickRow{"ListsHaveNone", PanelField::ConcreteGrade, "", u'.', NotChecked, ""}),
    pile::test::RowName{});

// The quick check and "计算" speak of a bad box in the same words.
struct SameWordsRow {
    const char* name;
    SectionType section;
    PanelField field;
};

class QuickCheckSameWordsTest : public testing::TestWithParam<SameWordsRow> {};

TEST_P(QuickCheckSameWordsTest, AsTheCalculationSays) {
    const SameWordsRow& row = GetParam();
    PanelInput panel = StartPanel();
    panel.rockMode = RockParameterMode::Fuk;
    panel.process = ConstructionProcess::DryClean;
    panel.sectionType = row.section;
    panel.tyzdText = u"500";
    (row.field == PanelField::Diameter ? panel.ddText : panel.tyzdText) = u"x";
    const ReadOutcome read = ReadPileInput(panel, u'.');
    ASSERT_TRUE(std::holds_alternative<ValidationFailure>(read.result));
    EXPECT_EQ(U8(QuickCheck(row.field, row.section, u"x", u'.').message),
              U8(std::get<ValidationFailure>(read.result).message));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, QuickCheckSameWordsTest,
    testing::Values(
        SameWordsRow{"CircleDiameter", SectionType::Circle, PanelField::Diameter},
        SameWordsRow{"EllipseDiameter", SectionType::Ellipse, PanelField::Diameter},
        SameWordsRow{"EllipseStraightLength", SectionType::Ellipse, PanelField::StraightLength},
        SameWordsRow{"RectangleLongSide", SectionType::Rectangle, PanelField::Diameter},
        SameWordsRow{"RectangleShortSide", SectionType::Rectangle, PanelField::StraightLength}),
    pile::test::RowName{});

}  // namespace
}  // namespace pile::session
