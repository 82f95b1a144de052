// The compute step of one schedule row: the panel session's "计算", with the texts the window's
// result panel would show.
#pragma once

#include <string>
#include <string_view>

#include "books/calculation_books.h"
#include "engine/fixed_text.h"
#include "engine/pile_input.h"
#include "session/panel_session.h"

namespace pile::batch {

// The texts the window shows after the step.
struct StepTexts {
    bool computed = false;
    std::u16string message;      // the failed check's message (not computed)
    std::u16string coefficient;  // edt_kesair: zeta_r or beta, four decimals
    std::u16string ra;           // edt_ra at the precision
    std::u16string rc;           // edt_rc at the precision
    std::u16string hardness;     // lb_shuoming after a calculation in frk mode, else empty
    int pileNumber = 0;          // the record's ZH number
};

// Computes one pile from `panel` in `session` and, when every check passes, appends its record
// to the session's books; `change` receives the lines the step replaced.
StepTexts ComputeStep(const PanelInput& panel, PrecisionMode precision, char16_t decimalSeparator,
                      std::u16string_view calculationTime, session::PanelSession& session,
                      BooksChange& change);

}  // namespace pile::batch
