// Three piles computed in a session as the window computes them, one of each section: the
// start panel, an ellipse and a rectangle typed short side first (the books print the sides
// after the exchange).
#pragma once

#include "session/panel_session.h"
#include "testing/panels.h"

namespace pile::report {

inline session::PanelSession ThreePileSession(char16_t decimalSeparator = u'.') {
    session::PanelSession session;
    const test::Panel panels[] = {
        {},
        {.section = SectionType::Ellipse,
         .mode = RockParameterMode::Fuk,
         .tyzd = u"500",
         .hr = u"1.5d"},
        {.section = SectionType::Rectangle,
         .mode = RockParameterMode::Fuk,
         .dd = u"800",
         .tyzd = u"1000",
         .hr = u"1.0b",
         .fuk = u"30"},
    };
    for (const test::Panel& panel : panels) {
        session.Compute(panel.Input(), PrecisionMode::TwoDecimals, decimalSeparator,
                        u"2026-12-11 10:00:00");
    }
    return session;
}

}  // namespace pile::report
