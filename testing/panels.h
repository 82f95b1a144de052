// Panels for the tests, benchmarks and fuzz targets, written as a table row writes them: the
// section, the rock mode and the texts that matter to the case, the rest as the window starts.
#pragma once

#include <optional>
#include <string>

#include "engine/pile_input.h"

namespace pile::test {

struct Panel {
    SectionType section = StartPanel().sectionType;
    RockParameterMode mode = StartPanel().rockMode;
    std::u16string dd = StartPanel().ddText;
    std::u16string tyzd = StartPanel().tyzdText;
    std::u16string hr = StartPanel().hrText;
    std::u16string frk = StartPanel().frkText;
    std::u16string fuk = StartPanel().fukText;
    // None: the process the mode selects when it is applied (mud wall in frk mode, the dry
    // process in fuk mode).
    std::optional<ConstructionProcess> process = std::nullopt;
    ConcreteGrade grade = StartPanel().concreteGrade;

    PanelInput Input() const;
};

using pile::StartPanel;

}  // namespace pile::test
