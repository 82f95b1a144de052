// The three section calculations and the one entry point the drivers call.
#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "code_tables.h"
#include "pile_input.h"
#include "pile_types.h"

namespace pile {

// Every quantity computed for one pile. mm, mm^2, MPa, kN.
struct PileResult {
    double sectionArea = 0;       // Ap, mm^2
    double sectionPerimeter = 0;  // mu, mm
    double hrRatio = 0;           // socket ratio as entered: hr/d, or hr/b for the rectangle
    double hrRatioUsed = 0;       // the ratio the coefficient was taken at
    bool ratioClamped = false;    // the ratio lay beyond the table's end
    double shapeRatio = 0;        // c/d or b/a; 0 for the circle
    std::optional<RockHardness> rockHardness;  // frk mode only
    double zetaR = 0;                          // frk mode: zeta_r including the process factor
    double beta = 0;                           // fuk mode: factor on fuk * Ap (1, 1.2 or 1.2 beta)
    double Qrk = 0;
    double Qsk = 0;  // soil side resistance, not considered
    double Quk = 0;
    double safetyFactorK = 0;  // 2 in frk mode, 3 in fuk mode
    double Ra = 0;
    double psiC = 0;
    double fc = 0;
    double Rc = 0;
};

using CalculationResult = std::variant<PileResult, ValidationFailure>;

// Each runs its remaining checks (shape ratio, rock value) and then the computation, on an
// input made by ReadPileInput for its section type. The ellipse and the rectangle exist in fuk
// mode only and refuse frk mode with the fuk message.
CalculationResult CalculateCircularPile(const PileInput& input);
CalculationResult CalculateEllipticalPile(const PileInput& input);
CalculationResult CalculateRectangularPile(const PileInput& input);

// A pile that passed every check.
struct ComputedPile {
    PileInput input;
    PileResult result;
};

// The whole road of one "计算": ReadPileInput, then the calculation of the section type.
struct ComputeOutcome {
    std::variant<ComputedPile, ValidationFailure> result;
    std::optional<RewrittenSides> rewritten;  // as in ReadOutcome
    std::vector<InputControl> passed;         // every passed check, in order
};
ComputeOutcome ComputePile(const PanelInput& panel, char16_t decimalSeparator);

}  // namespace pile
