// The colours that carry meaning on the main window.
#pragma once

#include <QColor>

namespace pile::ui::colours {

inline const QColor kDodgerBlue(0x1E, 0x90, 0xFF);  // top of the window's background
inline const QColor kBlueViolet(0x8A, 0x2B, 0xE2);  // the program title
inline const QColor kGreen(0x00, 0x80, 0x00);       // the three results
inline const QColor kRed(0xFF, 0x00, 0x00);         // messages and boxes that fail a check
inline const QColor kBlack(0x00, 0x00, 0x00);       // boxes that pass
inline const QColor kBlue(0x00, 0x00, 0xFF);        // the book screen's title

}  // namespace pile::ui::colours
