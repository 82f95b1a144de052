#include "code_tables.h"

#include "engine_internal.h"

namespace pile {

namespace {

using internal::GridCell;

double ZetaRowPosition(double hrRatio) {
    return hrRatio / 0.5;
}

double ColumnAt(const std::array<double, 18>& column, double x, int lo) {
    return InterpolateLinear(x, column[lo + 1], lo + 1, column[lo], lo);
}

}  // namespace

std::optional<RockHardness> ClassifyRock(double frk) {
    if (!(frk > 0)) {
        return std::nullopt;
    }
    if (frk <= 5) {
        return RockHardness::ExtremelySoftRock;
    }
    if (frk <= 15) {
        return RockHardness::SoftRock;
    }
    if (frk <= 30) {
        return RockHardness::ModeratelySoftRock;
    }
    if (frk <= 60) {
        return RockHardness::ModeratelyHardRock;
    }
    return RockHardness::HardRock;
}

std::u16string_view RockHardnessText(RockHardness hardness) {
    switch (hardness) {
        case RockHardness::ExtremelySoftRock:
            return u"极软岩";
        case RockHardness::SoftRock:
            return u"软岩";
        case RockHardness::ModeratelySoftRock:
            return u"较软岩";
        case RockHardness::ModeratelyHardRock:
            return u"较硬岩";
        case RockHardness::HardRock:
            return u"坚硬岩";
    }
    return {};
}

double InterpolateLinear(double x, double y1, double x1, double y0, double x0) {
    return y0 + (y1 - y0) / (x1 - x0) * (x - x0);
}

double InterpolateBilinear(double z, double x, double z1, double z0, double yB1, double yB0,
                           double yA1, double x1, double yA0, double x0) {
    const double a = yA0 + (yA1 - yA0) / (x1 - x0) * (x - x0);
    const double b = yB0 + (yB1 - yB0) / (x1 - x0) * (x - x0);
    return a + (b - a) / (z1 - z0) * (z - z0);
}

CoefficientLookup LookupZetaR(double frk, double hrRatio) {
    // The soft column is read up to hr/d = 8 (row 16, with row 17 as the upper neighbour at
    // exactly 8); the blend and the hard column up to 4 (row 8, row 9 as the neighbour).
    constexpr int kSoftLastRow = 16;
    constexpr int kHardLastRow = 8;
    const double x = ZetaRowPosition(hrRatio);
    if (frk > 0 && frk <= 15) {
        if (hrRatio > 8) {
            return {kZetaSoftColumn[kSoftLastRow], 8, true};
        }
        const int lo = GridCell(x, 0, kSoftLastRow);
        return {ColumnAt(kZetaSoftColumn, x, lo), hrRatio, false};
    }
    if (frk > 15 && frk <= 30) {
        if (hrRatio > 4) {
            const double value = InterpolateLinear(frk, kZetaHardColumn[kHardLastRow], 30,
                                                   kZetaSoftColumn[kHardLastRow], 15);
            return {value, 4, true};
        }
        const int lo = GridCell(x, 0, kHardLastRow);
        const double value =
            InterpolateBilinear(frk, x, 30, 15, kZetaHardColumn[lo + 1], kZetaHardColumn[lo],
                                kZetaSoftColumn[lo + 1], lo + 1, kZetaSoftColumn[lo], lo);
        return {value, hrRatio, false};
    }
    if (frk > 30) {
        if (hrRatio > 4) {
            return {kZetaHardColumn[kHardLastRow], 4, true};
        }
        const int lo = GridCell(x, 0, kHardLastRow);
        return {ColumnAt(kZetaHardColumn, x, lo), hrRatio, false};
    }
    // frk <= 0 has no coefficient; the rock check refuses it before any lookup.
    return {0, hrRatio, false};
}

CoefficientLookup LookupCircleBeta(double hrRatio) {
    if (hrRatio < 0.5) {
        return {1.0, hrRatio, false};
    }
    if (hrRatio < 1) {
        return {1.2 * 1.0, hrRatio, false};
    }
    if (hrRatio < 5) {
        // The table starts at hr/d = 1: entry lo - 1 stands at hr/d = lo.
        const int lo = GridCell(hrRatio, 1, 4);
        const double beta =
            InterpolateLinear(hrRatio, kCircleBetaTable[lo], lo + 1, kCircleBetaTable[lo - 1], lo);
        return {1.2 * beta, hrRatio, false};
    }
    return {1.2 * kCircleBetaTable[4], 5, true};
}

ProcessFactor ProcessFactors(ConstructionProcess process) {
    switch (process) {
        case ConstructionProcess::DryClean:
            return {1.2, 0.9};
        case ConstructionProcess::MudWall:
            return {1.0, 0.7};
        case ConstructionProcess::MudWallGrouted:
            return {1.2, 0.8};
    }
    // Not reachable from a list position; the start-up process stands in.
    return {1.0, 0.7};
}

double ConcreteStrength(ConcreteGrade grade) {
    switch (grade) {
        case ConcreteGrade::C25:
            return 11.9;
        case ConcreteGrade::C30:
            return 14.3;
        case ConcreteGrade::C35:
            return 16.7;
        case ConcreteGrade::C40:
            return 19.1;
        case ConcreteGrade::C45:
            return 21.1;
        case ConcreteGrade::C50:
            return 23.1;
        case ConcreteGrade::C55:
            return 25.3;
        case ConcreteGrade::C60:
            return 27.5;
    }
    // Not reachable from a list position; the start-up grade stands in.
    return 14.3;
}

}  // namespace pile
