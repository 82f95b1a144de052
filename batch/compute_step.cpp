#include "batch/compute_step.h"

#include <variant>

#include "engine/code_tables.h"
#include "engine/pile_calculation.h"

namespace pile::batch {

// ======================================================================================
// THE COMPUTE STEP. This body repeats the window's compute action: the engine, the result
// texts and the book step. Once the window's compute step lives in a library of its own (one
// call from the panel, precision, separator and time to every text the window shows and the
// books), this body becomes that call; nothing else in the batch code computes.
// ======================================================================================
StepTexts ComputeStep(const PanelInput& panel, PrecisionMode precision, char16_t decimalSeparator,
                      std::u16string_view calculationTime, CalculationBooks& books,
                      BooksChange& change) {
    StepTexts texts;
    const ComputeOutcome outcome = ComputePile(panel, decimalSeparator);
    if (const auto* failure = std::get_if<ValidationFailure>(&outcome.result)) {
        texts.message = failure->message;
        return texts;
    }
    const ComputedPile& pile = std::get<ComputedPile>(outcome.result);
    const PileResult& r = pile.result;
    const bool frk = pile.input.rockMode == RockParameterMode::Frk;
    texts.computed = true;
    texts.coefficient = FixedText(frk ? r.zetaR : r.beta, 7, 4, decimalSeparator);
    texts.ra = PrecisionText(r.Ra, precision, 7, decimalSeparator);
    texts.rc = PrecisionText(r.Rc, precision, 7, decimalSeparator);
    if (frk && r.rockHardness) {
        texts.hardness = RockHardnessText(*r.rockHardness);
    }
    // The boxes as they stand now: a rectangle's exchange has rewritten them.
    const std::u16string& dd = outcome.rewritten ? outcome.rewritten->ddText : panel.ddText;
    const std::u16string& tyzd = outcome.rewritten ? outcome.rewritten->tyzdText : panel.tyzdText;
    change =
        books.AppendRecord(pile.input, r, dd, tyzd, precision, decimalSeparator, calculationTime);
    texts.pileNumber = books.PileCounter();
    return texts;
}

}  // namespace pile::batch
