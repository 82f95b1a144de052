#include "pile_calculation.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <utility>

#include "engine_internal.h"

namespace pile {
namespace {

using internal::AllFinite;
using internal::GridCell;

InputControl RockControl(RockParameterMode mode) {
    return mode == RockParameterMode::Frk ? InputControl::Frk : InputControl::Fuk;
}

ValidationFailure RockFailure(RockParameterMode mode) {
    return mode == RockParameterMode::Frk ? ValidationFailure{messages::kFrk, InputControl::Frk}
                                          : ValidationFailure{messages::kFuk, InputControl::Fuk};
}

void Pass(std::vector<InputControl>* passed, InputControl control) {
    if (passed != nullptr) {
        passed->push_back(control);
    }
}

// The rock check as a whole: the value is above 0, and the capacities it gives are finite
// (fuk = 1e308 overflows Qrk). Either way the rock value is to blame.
std::optional<ValidationFailure> CheckCapacities(const PileInput& input, const PileResult& r,
                                                 std::vector<InputControl>* passed) {
    if (!AllFinite({r.Qrk, r.Quk, r.Ra})) {
        return RockFailure(input.rockMode);
    }
    Pass(passed, RockControl(input.rockMode));
    return std::nullopt;
}

// Qrk, Qsk, Quk, K and Ra in fuk mode, from the coefficient that multiplies fuk*Ap.
void FukCapacities(const PileInput& input, PileResult& r) {
    r.Qrk = r.sectionArea * (r.beta * input.fuk) / 1000;
    r.Qsk = 0;
    r.Quk = r.Qsk + r.Qrk;
    r.safetyFactorK = 3;
    r.Ra = r.Quk / 3;
}

void PileBody(const PileInput& input, PileResult& r) {
    r.psiC = ProcessFactors(input.process).psiC;
    r.fc = ConcreteStrength(input.concreteGrade);
    r.Rc = internal::BodyProduct(r.sectionArea, r.psiC, r.fc) / 1000;
}

// A two-way beta_0 table of the ellipse or the rectangle: rows at hr/d (hr/b) = 1 ... 5, and
// columns at whole shape positions firstColumn ... firstColumn + Columns - 1.
template <std::size_t Columns>
struct ShapeTable {
    const std::array<std::array<double, Columns>, 5>& rows;
    int firstColumn;

    double At(int row, int column) const { return rows[row - 1][column - firstColumn]; }
    int LastColumn() const { return firstColumn + static_cast<int>(Columns) - 1; }
};

// The coefficient applied to fuk*Ap for a shaped section: x is the socket ratio, s the shape
// ratio in column units. The column cell stops one short of the last column, so that the
// last column is reached with full weight and nothing beyond the table is read.
template <std::size_t Columns>
CoefficientLookup ShapedBeta(const ShapeTable<Columns>& table, double x, double s) {
    if (x < 0.5) {
        return {1.0, x, false};
    }
    if (x < 1) {
        return {1.2 * 1.0, x, false};
    }
    const int k = GridCell(s, table.firstColumn, table.LastColumn() - 1);
    if (x < 5) {
        const int i = GridCell(x, 1, 4);
        const double beta0 =
            InterpolateBilinear(s, x, k + 1, k, table.At(i + 1, k + 1), table.At(i, k + 1),
                                table.At(i + 1, k), i + 1, table.At(i, k), i);
        return {1.2 * beta0, x, false};
    }
    const double beta0 = InterpolateLinear(s, table.At(5, k + 1), k + 1, table.At(5, k), k);
    return {1.2 * beta0, 5, true};
}

// A last guard for inputs that did not come through ReadPileInput: a result never holds a
// value that is not finite. The reading refuses every input that would produce one, so for
// its inputs this never fires.
std::optional<ValidationFailure> GuardFinite(const PileResult& r, ValidationFailure blame) {
    if (AllFinite({r.sectionArea, r.sectionPerimeter, r.hrRatio, r.hrRatioUsed, r.shapeRatio,
                   r.zetaR, r.beta, r.Qrk, r.Qsk, r.Quk, r.safetyFactorK, r.Ra, r.psiC, r.fc,
                   r.Rc})) {
        return std::nullopt;
    }
    return blame;
}

void ApplyLookup(const CoefficientLookup& lookup, PileResult& r) {
    r.hrRatioUsed = lookup.ratioUsed;
    r.ratioClamped = lookup.clamped;
}

CalculationResult Circular(const PileInput& input, std::vector<InputControl>* passed) {
    if (auto failure = CheckRockValue(input)) {
        return *failure;
    }
    PileResult r;
    r.sectionArea = internal::CircleArea(input.d);
    r.sectionPerimeter = internal::CirclePerimeter(input.d);
    r.hrRatio = input.hr / input.d;
    r.hrRatioUsed = r.hrRatio;
    r.ratioClamped = false;
    if (input.rockMode == RockParameterMode::Frk) {
        r.rockHardness = ClassifyRock(input.frk);
        const CoefficientLookup zeta0 = LookupZetaR(input.frk, r.hrRatio);
        ApplyLookup(zeta0, r);
        r.zetaR = zeta0.value * ProcessFactors(input.process).zetaFactor;
        r.Qrk = r.sectionArea * (r.zetaR * input.frk) / 1000;
        r.Qsk = 0;
        r.Quk = r.Qsk + r.Qrk;
        r.safetyFactorK = 2;
        r.Ra = r.Quk / 2;
    } else {
        const CoefficientLookup beta = LookupCircleBeta(r.hrRatio);
        ApplyLookup(beta, r);
        r.beta = beta.value;
        FukCapacities(input, r);
    }
    if (auto failure = CheckCapacities(input, r, passed)) {
        return *failure;
    }
    PileBody(input, r);
    if (auto failure = GuardFinite(r, {messages::kDiameter, InputControl::Diameter})) {
        return *failure;
    }
    return r;
}

// What sets the ellipse and the rectangle apart; the rest of their calculation is one.
template <std::size_t Columns>
struct ShapedSection {
    double area;
    double perimeter;
    double reference;   // d, or the short side b
    double shapeRatio;  // c/d or b/a
    double lowestRatio;
    double highestRatio;
    std::u16string_view ratioMessage;
    ShapeTable<Columns> table;
    double columnWidth;       // of the shape ratio: 0.2 for c/d, 0.1 for b/a
    ValidationFailure blame;  // for the last guard
};

template <std::size_t Columns>
CalculationResult ShapedPile(const PileInput& input, const ShapedSection<Columns>& section,
                             std::vector<InputControl>* passed) {
    // The window offers these sections in fuk mode only; any other call is refused.
    if (input.rockMode != RockParameterMode::Fuk) {
        return ValidationFailure{messages::kFuk, InputControl::Fuk};
    }
    PileResult r;
    r.sectionArea = section.area;
    r.sectionPerimeter = section.perimeter;
    r.hrRatio = input.hr / section.reference;
    r.hrRatioUsed = r.hrRatio;
    r.ratioClamped = false;
    r.shapeRatio = section.shapeRatio;
    // The ratio box is cbe_tyzd: c, or the short side after the rectangle's exchange.
    if (!(r.shapeRatio >= section.lowestRatio && r.shapeRatio <= section.highestRatio)) {
        return ValidationFailure{section.ratioMessage, InputControl::StraightLength};
    }
    Pass(passed, InputControl::StraightLength);

    // The column position may land a hair below a whole number ((b/a)/0.1 = 6.999999999999999
    // for 0.7); it is truncated as written, and the interpolation then gives the upper column a
    // weight of almost 1, so the value still agrees with the table.
    const CoefficientLookup beta =
        ShapedBeta(section.table, r.hrRatio, r.shapeRatio / section.columnWidth);
    ApplyLookup(beta, r);
    r.beta = beta.value;

    if (auto failure = CheckRockValue(input)) {
        return *failure;
    }
    FukCapacities(input, r);
    if (auto failure = CheckCapacities(input, r, passed)) {
        return *failure;
    }
    PileBody(input, r);
    if (auto failure = GuardFinite(r, section.blame)) {
        return *failure;
    }
    return r;
}

CalculationResult Elliptical(const PileInput& input, std::vector<InputControl>* passed) {
    return ShapedPile(input,
                      ShapedSection<10>{
                          .area = internal::EllipseArea(input.d, input.c),
                          .perimeter = internal::EllipsePerimeter(input.d, input.c),
                          .reference = input.d,
                          .shapeRatio = input.c / input.d,
                          .lowestRatio = 0.2,
                          .highestRatio = 2.0,
                          .ratioMessage = messages::kEllipseRatio,
                          .table = {EllipseBetaTable, 1},
                          .columnWidth = 0.2,
                          .blame = {messages::kDiameter, InputControl::Diameter},
                      },
                      passed);
}

CalculationResult Rectangular(const PileInput& input, std::vector<InputControl>* passed) {
    return ShapedPile(input,
                      ShapedSection<6>{
                          .area = internal::RectangleArea(input.a, input.b),
                          .perimeter = internal::RectanglePerimeter(input.a, input.b),
                          .reference = input.b,
                          .shapeRatio = input.b / input.a,
                          .lowestRatio = 0.5,
                          .highestRatio = 1.0,
                          .ratioMessage = messages::kRectangleRatio,
                          .table = {RectangleBetaTable, 5},
                          .columnWidth = 0.1,
                          .blame = {messages::kShortSide, InputControl::StraightLength},
                      },
                      passed);
}

}  // namespace

CalculationResult CalculateCircularPile(const PileInput& input) {
    return Circular(input, nullptr);
}

CalculationResult CalculateEllipticalPile(const PileInput& input) {
    return Elliptical(input, nullptr);
}

CalculationResult CalculateRectangularPile(const PileInput& input) {
    return Rectangular(input, nullptr);
}

ComputeOutcome ComputePile(const PanelInput& panel, char16_t decimalSeparator) {
    ReadOutcome read = ReadPileInput(panel, decimalSeparator);
    ComputeOutcome out;
    out.rewritten = std::move(read.rewritten);
    out.passed = std::move(read.passed);
    if (auto* failure = std::get_if<ValidationFailure>(&read.result)) {
        out.result = *failure;
        return out;
    }
    PileInput& input = std::get<PileInput>(read.result);
    CalculationResult calculated;
    switch (input.sectionType) {
        case SectionType::Ellipse:
            calculated = Elliptical(input, &out.passed);
            break;
        case SectionType::Rectangle:
            calculated = Rectangular(input, &out.passed);
            break;
        case SectionType::Circle:
        default:
            calculated = Circular(input, &out.passed);
            break;
    }
    if (auto* failure = std::get_if<ValidationFailure>(&calculated)) {
        out.result = *failure;
    } else {
        out.result = ComputedPile{std::move(input), std::get<PileResult>(calculated)};
    }
    return out;
}

}  // namespace pile
