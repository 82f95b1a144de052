#include "engine/code_tables.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine_test_support.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using test::Printed;
using test::U8;

TEST(ClassifyRock, BoundsBelongToTheLowerClass) {
    struct Row {
        double frk;
        std::optional<RockHardness> hardness;
        const char* text;
    };
    const Row rows[] = {
        {0.5, RockHardness::ExtremelySoftRock, "极软岩"},
        {5, RockHardness::ExtremelySoftRock, "极软岩"},
        {5.01, RockHardness::SoftRock, "软岩"},
        {15, RockHardness::SoftRock, "软岩"},
        {15.0001, RockHardness::ModeratelySoftRock, "较软岩"},
        {30, RockHardness::ModeratelySoftRock, "较软岩"},
        {60, RockHardness::ModeratelyHardRock, "较硬岩"},
        {60.1, RockHardness::HardRock, "坚硬岩"},
        {1e308, RockHardness::HardRock, "坚硬岩"},
        {0, std::nullopt, ""},
        {-3, std::nullopt, ""},
    };
    for (const Row& row : rows) {
        const auto hardness = ClassifyRock(row.frk);
        EXPECT_EQ(hardness, row.hardness) << row.frk;
        if (hardness) {
            EXPECT_EQ(U8(RockHardnessText(*hardness)), row.text) << row.frk;
        }
    }
}

TEST(InterpolateLinear, FollowsItsArgumentOrderAndExtrapolates) {
    // (x, y1, x1, y0, x0): the line through (1, 1.105) and (2, 1.21), read at 3.
    EXPECT_EQ(Printed(InterpolateLinear(3, 1.21, 2, 1.105, 1), 3), "1.315");
    EXPECT_EQ(InterpolateLinear(1, 1.21, 2, 1.105, 1), 1.105);
    EXPECT_EQ(InterpolateLinear(2, 1.21, 2, 1.105, 1), 1.21);
    // Bit for bit the written formula y0 + (y1 - y0) / (x1 - x0) * (x - x0).
    const double x = 1.37;
    EXPECT_EQ(InterpolateLinear(x, 1.21, 2, 1.105, 1),
              1.105 + (1.21 - 1.105) / (2.0 - 1) * (x - 1));
}

TEST(InterpolateBilinear, MovesFromCurveAToCurveB) {
    // Curve A: 10 at x = 0, 20 at x = 1. Curve B: 100 at x = 0, 300 at x = 1.
    // (z, x, z1, z0, yB1, yB0, yA1, x1, yA0, x0)
    EXPECT_EQ(InterpolateBilinear(0, 0.5, 1, 0, 300, 100, 20, 1, 10, 0), 15);   // A at 0.5
    EXPECT_EQ(InterpolateBilinear(1, 0.5, 1, 0, 300, 100, 20, 1, 10, 0), 200);  // B at 0.5
    EXPECT_EQ(InterpolateBilinear(0.25, 0.5, 1, 0, 300, 100, 20, 1, 10, 0), 61.25);
    // Bit for bit the two-step formula of a blended zeta at frk = 25, x = 4.4.
    const double a = 1.18 + (1.265 - 1.18) / (5.0 - 4) * (4.4 - 4);
    const double b = 0.90 + (0.95 - 0.90) / (5.0 - 4) * (4.4 - 4);
    EXPECT_EQ(InterpolateBilinear(25, 4.4, 30, 15, 0.95, 0.90, 1.265, 5, 1.18, 4),
              a + (b - a) / (30.0 - 15) * (25 - 15));
}

struct ZetaRow {
    const char* name;
    double frk;
    double ratio;
    const char* value;  // at `decimals`
    int decimals;
    double ratioUsed;
    bool clamped;
};

class LookupZetaRTest : public testing::TestWithParam<ZetaRow> {};

TEST_P(LookupZetaRTest, ReadsTheTable) {
    const ZetaRow& row = GetParam();
    const CoefficientLookup lookup = LookupZetaR(row.frk, row.ratio);
    EXPECT_EQ(Printed(lookup.value, row.decimals), row.value);
    EXPECT_EQ(lookup.ratioUsed, row.ratioUsed);
    EXPECT_EQ(lookup.clamped, row.clamped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LookupZetaRTest,
    testing::Values(ZetaRow{"SoftBetweenRows", 10, 1.25, "1.0075", 4, 1.25, false},
                    ZetaRow{"SoftAtZero", 10, 0, "0.60", 2, 0, false},
                    ZetaRow{"SoftAtEightNotClamped", 10, 8, "1.70", 2, 8, false},
                    ZetaRow{"SoftBeyondEightClamped", 10, 9, "1.70", 2, 8, true},
                    ZetaRow{"SoftHugeRatioClamped", 10, 1e300, "1.70", 2, 8, true},
                    ZetaRow{"SoftAtFifteenExactly", 15, 2, "1.18", 2, 2, false},
                    ZetaRow{"BlendAtOne", 20, 1.0, "0.90333", 5, 1.0, false},
                    ZetaRow{"BlendAtFourNotClamped", 20, 4, "1.33333", 5, 4, false},
                    ZetaRow{"BlendBeyondFourClamped", 20, 5, "1.33333", 5, 4, true},
                    ZetaRow{"BlendBetweenRows", 25, 2.2, "1.018", 3, 2.2, false},
                    ZetaRow{"BlendAtZero", 20, 0, "0.55", 2, 0, false},
                    ZetaRow{"BlendAtThirtyIsHard", 30, 2, "0.90", 2, 2, false},
                    ZetaRow{"BlendHugeRatioClamped", 20, 1e300, "1.33333", 5, 4, true},
                    ZetaRow{"HardBetweenRows", 40, 0.25, "0.55", 2, 0.25, false},
                    ZetaRow{"HardAtFourNotClamped", 40, 4, "1.04", 2, 4, false},
                    ZetaRow{"HardBeyondFourClamped", 40, 6, "1.04", 2, 4, true},
                    ZetaRow{"HardHugeRockAndRatio", 1e308, 1e300, "1.04", 2, 4, true}),
    test::RowName{});

struct BetaRow {
    const char* name;
    double ratio;
    const char* coefficient;  // four decimals
    double ratioUsed;
    bool clamped;
};

class LookupCircleBetaTest : public testing::TestWithParam<BetaRow> {};

TEST_P(LookupCircleBetaTest, GivesTheFactorOfFukAp) {
    const BetaRow& row = GetParam();
    const CoefficientLookup lookup = LookupCircleBeta(row.ratio);
    EXPECT_EQ(Printed(lookup.value, 4), row.coefficient);
    EXPECT_EQ(lookup.ratioUsed, row.ratioUsed);
    EXPECT_EQ(lookup.clamped, row.clamped);
}

INSTANTIATE_TEST_SUITE_P(Rows, LookupCircleBetaTest,
                         testing::Values(BetaRow{"ShallowNoEmbedment", 0.3, "1.0000", 0.3, false},
                                         BetaRow{"Zero", 0, "1.0000", 0, false},
                                         BetaRow{"HalfStartsTheFactor", 0.5, "1.2000", 0.5, false},
                                         BetaRow{"JustBelowOne", 0.99, "1.2000", 0.99, false},
                                         BetaRow{"One", 1.0, "1.3260", 1.0, false},
                                         BetaRow{"OneAndAHalf", 1.5, "1.3890", 1.5, false},
                                         BetaRow{"TwoAndAHalf", 2.5, "1.5150", 2.5, false},
                                         BetaRow{"JustBelowFive", 4.999, "1.8299", 4.999, false},
                                         BetaRow{"FiveIsClamped", 5, "1.8300", 5, true},
                                         BetaRow{"SevenIsClamped", 7, "1.8300", 5, true},
                                         BetaRow{"HugeIsClamped", 1e300, "1.8300", 5, true}),
                         test::RowName{});

TEST(ProcessAndConcrete, EveryListPositionHasItsRow) {
    struct ProcessRow {
        ConstructionProcess process;
        double zetaFactor;
        double psiC;
    };
    const ProcessRow processes[] = {
        {ConstructionProcess::DryClean, 1.2, 0.9},
        {ConstructionProcess::MudWall, 1.0, 0.7},
        {ConstructionProcess::MudWallGrouted, 1.2, 0.8},
    };
    for (const ProcessRow& row : processes) {
        const ProcessFactor factor = ProcessFactors(row.process);
        EXPECT_EQ(factor.zetaFactor, row.zetaFactor);
        EXPECT_EQ(factor.psiC, row.psiC);
    }
    const double fc[] = {11.9, 14.3, 16.7, 19.1, 21.1, 23.1, 25.3, 27.5};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ConcreteStrength(static_cast<ConcreteGrade>(i)), fc[i]) << i;
    }
}

}  // namespace
}  // namespace pile
