#include "batch/compute_step.h"

#include <variant>

namespace pile::batch {

StepTexts ComputeStep(const PanelInput& panel, PrecisionMode precision, char16_t decimalSeparator,
                      std::u16string_view calculationTime, session::PanelSession& session,
                      BooksChange& change) {
    const session::PanelUpdate update =
        session.Compute(panel, precision, decimalSeparator, calculationTime);
    StepTexts texts;
    if (const auto* failure = std::get_if<ValidationFailure>(&update.outcome)) {
        texts.message = failure->message;
        return texts;
    }
    const auto& results = std::get<session::ResultTexts>(update.outcome);
    texts.computed = true;
    texts.coefficient = results.coefficient;
    texts.ra = results.ra;
    texts.rc = results.rc;
    if (results.rockClass) {
        texts.hardness = *results.rockClass;
    }
    texts.pileNumber = session.PileCounter();
    change = update.booksChange;
    return texts;
}

}  // namespace pile::batch
