// A read-only box whose whole text must always be readable: a result an engineer copies into a
// design must never lose a digit to the box's edge. The box keeps its preferred size (18 pt
// bold for the results) where the text fits, and otherwise takes the largest size that fits.
#pragma once

#include <QFont>
#include <QObject>
#include <QString>

class QLineEdit;

namespace pile::ui {

// The width a line edit has for its text: its contents rectangle less the text margins and the
// line control's own margin on either side, and one pixel for the caret.
double LineEditTextWidth(const QLineEdit& box);

// The largest point size, at most `preferred`, in which `text` set in `font` is no wider than
// `width` pixels; never below `minimum`. Measured with the font's real metrics.
double FittingPointSize(const QFont& font, const QString& text, double width, double preferred,
                        double minimum = 4.0);

// Keeps the text of `box` fitting: refits when the text, the size or the preferred size
// changes. Owned by the box.
class TextFit : public QObject {
    Q_OBJECT

  public:
    TextFit(QLineEdit* box, double preferredPointSize);

    // The size the box shows where the text fits (the window's scale may change it).
    void SetPreferredPointSize(double pointSize);
    double PreferredPointSize() const { return preferred_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Refit();

    QLineEdit* box_;
    double preferred_;
};

}  // namespace pile::ui
