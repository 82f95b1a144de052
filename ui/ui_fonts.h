// The program's fonts, named explicitly: left to itself, Qt draws Chinese outside a Chinese
// locale with Japanese glyph shapes, and a memo font in which a Chinese character is not
// exactly two Latin columns wide breaks the columns of the books.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace pile::ui {

inline constexpr double kMemoStartPointSize = 14.0;
// The three results, bold, where their text fits the box.
inline constexpr double kResultPointSize = 18.0;

// The Simplified-Chinese face of the controls ("Microsoft YaHei" on Windows); the size stays
// the toolkit's default.
QFont ControlFont();

// "SimHei" where it is installed, otherwise a CJK monospace face whose Chinese characters are
// two Latin columns wide ("NSimSun" on Windows).
QString MemoFontFamily();
QFont MemoFont(double pointSize);

// A font that sets only the given attributes, so that everything else (the family above all)
// still comes from the parent widget.
QFont PartialFont(double pointSize, bool bold);

// The point size of a widget's font, fractional sizes included.
void SetPointSize(QWidget& widget, double pointSize);

}  // namespace pile::ui
