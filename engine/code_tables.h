// The coefficient tables of the design code as the program stores them, the two
// interpolation functions, and the lookups with their ranges and clamping.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "pile_types.h"

namespace pile {

enum class RockHardness {
    ExtremelySoftRock,   // 0 < frk <= 5
    SoftRock,            // 5 < frk <= 15
    ModeratelySoftRock,  // 15 < frk <= 30
    ModeratelyHardRock,  // 30 < frk <= 60
    HardRock,            // frk > 60
};

// nullopt for frk <= 0 (and for a value that is not a number).
std::optional<RockHardness> ClassifyRock(double frk);
std::u16string_view RockHardnessText(RockHardness hardness);  // "极软岩" ... "坚硬岩"

// The value at x of the line through (x0, y0) and (x1, y1): y0 + (y1 - y0) / (x1 - x0) * (x - x0).
// Does not clamp.
double InterpolateLinear(double x, double y1, double x1, double y0, double x0);

// A = curve A at x, B = curve B at x (each linear between x0 and x1), then the value at z
// between A (at z0) and B (at z1). The argument order and the arithmetic order are fixed, so
// that results agree to the bit with other implementations of the same formulas.
double InterpolateBilinear(double z, double x, double z1, double z0, double yB1, double yB0,
                           double yA1, double x1, double yA0, double x0);

// A coefficient taken from a table, with the ratio it was taken at.
struct CoefficientLookup {
    double value = 0;
    double ratioUsed = 0;  // the ratio given, or the table's end when clamped
    bool clamped = false;
};

// zeta_r before the process factor, for frk > 0 and hrRatio >= 0.
CoefficientLookup LookupZetaR(double frk, double hrRatio);
// The factor that multiplies fuk * Ap for a circular pile: 1.0, 1.2 or 1.2 * beta.
CoefficientLookup LookupCircleBeta(double hrRatio);

struct ProcessFactor {
    double zetaFactor;  // multiplies the table value of zeta_r (frk mode)
    double psiC;        // construction-process factor of the pile body
};
ProcessFactor ProcessFactors(ConstructionProcess process);
double ConcreteStrength(ConcreteGrade grade);  // fc in MPa

// zeta_r table: rows at hr/d = 0, 0.5, ... 8.5, nine to a line.
// clang-format off
inline constexpr std::array<double, 18> kZetaSoftColumn = {
    0.60, 0.80, 0.95, 1.065, 1.18, 1.265, 1.35, 1.415, 1.48,
    1.525, 1.57, 1.60, 1.63, 1.645, 1.66, 1.68, 1.70, 1.70};
inline constexpr std::array<double, 18> kZetaHardColumn = {
    0.45, 0.65, 0.81, 0.855, 0.90, 0.95, 1.00, 1.02, 1.04,
    1.04, 1.04, 1.04, 1.04, 1.04, 1.04, 1.04, 1.04, 1.04};
// clang-format on

// beta of the circular pile at hr/d = 1 ... 5 (index 0 is hr/d = 1).
inline constexpr std::array<double, 5> kCircleBetaTable = {1.105, 1.21, 1.315, 1.42, 1.525};

// beta_0 of the elliptical pile: [row hr/d = 1..5][column c/d = 0.2, 0.4, ... 2.0].
inline constexpr std::array<std::array<double, 10>, 5> EllipseBetaTable = {{
    {1.094, 1.087, 1.090, 1.082, 1.075, 1.073, 1.071, 1.070, 1.068, 1.067},
    {1.188, 1.174, 1.180, 1.164, 1.151, 1.146, 1.142, 1.139, 1.137, 1.134},
    {1.282, 1.261, 1.246, 1.235, 1.226, 1.219, 1.214, 1.209, 1.205, 1.201},
    {1.376, 1.348, 1.328, 1.313, 1.302, 1.292, 1.285, 1.278, 1.273, 1.269},
    {1.471, 1.435, 1.410, 1.392, 1.377, 1.365, 1.356, 1.348, 1.341, 1.336},
}};

// beta_0 of the rectangular pile: [row hr/b = 1..5][column b/a = 0.5, 0.6, ... 1.0].
inline constexpr std::array<std::array<double, 6>, 5> RectangleBetaTable = {{
    {1.075, 1.080, 1.085, 1.090, 1.095, 1.100},
    {1.150, 1.160, 1.175, 1.180, 1.190, 1.200},
    {1.225, 1.240, 1.255, 1.270, 1.285, 1.300},
    {1.300, 1.320, 1.340, 1.360, 1.380, 1.400},
    {1.375, 1.400, 1.425, 1.450, 1.475, 1.500},
}};

}  // namespace pile
