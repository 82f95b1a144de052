// Where every control of the main window stands in its 363 x 693 design, relative to its parent
// (one of the two screens or a group box): the form's one table of positions, which the scripts
// that drive a real display are checked against.
#pragma once

#include <QRect>
#include <span>

namespace pile::ui {

struct Placement {
    const char* name;  // the control's object name
    QRect rect;        // in design units
};

std::span<const Placement> FormPlacements();

// The rectangle of the control named `name`; an empty one for a name the table lacks.
QRect DesignRect(const char* name);

}  // namespace pile::ui
