#include "testing/panels.h"

namespace pile::test {

PanelInput Panel::Input() const {
    PanelInput panel;
    panel.sectionType = section;
    panel.rockMode = mode;
    panel.ddText = dd;
    panel.tyzdText = tyzd;
    panel.hrText = hr;
    panel.frkText = frk;
    panel.fukText = fuk;
    panel.concreteGrade = grade;
    panel.process =
        process.value_or(mode == RockParameterMode::Frk ? ConstructionProcess::MudWall
                                                        : ConstructionProcess::DryClean);
    return panel;
}

}  // namespace pile::test
