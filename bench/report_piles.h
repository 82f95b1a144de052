// The 500 piles both report benchmarks write: circles, ellipses and rectangles in turn, of
// varied sizes, computed once.
#pragma once

#include <string>

#include "engine/utf_text.h"
#include "session/panel_session.h"
#include "testing/panels.h"

namespace pile::bench {

inline const pile::session::PanelSession& Session500() {
    static const pile::session::PanelSession session = [] {
        using pile::test::Panel;
        using enum pile::SectionType;
        using enum pile::RockParameterMode;
        pile::session::PanelSession s;
        for (int i = 0; i < 500; ++i) {
            const std::u16string d = pile::Utf8ToUtf16(std::to_string(800 + (i % 13) * 100));
            Panel panel;
            switch (i % 3) {
                case 0:
                    panel = Panel{.dd = d, .hr = u"1.5d"};
                    break;
                case 1:
                    panel = Panel{
                        .section = Ellipse, .mode = Fuk, .dd = d, .tyzd = u"600", .hr = u"2.0d"};
                    break;
                default:
                    panel = Panel{
                        .section = Rectangle, .mode = Fuk, .dd = u"1000", .tyzd = d, .hr = u"1.0b"};
                    break;
            }
            s.Compute(panel.Input(), pile::PrecisionMode::Units, u'.', u"2026-12-11 10:00:00");
        }
        return s;
    }();
    return session;
}

}  // namespace pile::bench
