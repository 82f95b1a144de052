// Panels for the tests, benchmarks and fuzz targets, written as a table row writes them: the
// section, the rock mode and the texts that matter to the case, the rest as the window starts.
#pragma once

#include <optional>
#include <string>

#include "engine/pile_input.h"

namespace pile::test {

struct Panel {
    SectionType section = SectionType::Circle;
    RockParameterMode mode = RockParameterMode::Frk;
    std::u16string dd = u"1000";
    std::u16string tyzd = u"0";
    std::u16string hr = u"1.0d";
    std::u16string frk = u"25";
    std::u16string fuk = u"24";
    // None: the process the mode selects when it is applied (mud wall in frk mode, the dry
    // process in fuk mode).
    std::optional<ConstructionProcess> process = std::nullopt;
    ConcreteGrade grade = ConcreteGrade::C30;

    PanelInput Input() const;
};

// The panel as the window starts: circle 1000, "1.0d", frk 25, C30, mud wall.
inline PanelInput StartPanel() {
    return Panel{}.Input();
}

}  // namespace pile::test
