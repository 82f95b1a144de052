// A screen of the window: a layer drawn for a design of 363 x 693 units that fills its parent
// and scales the positions, sizes and font sizes of its controls to it, proportions kept and
// centred. At the window's design size the scale is 1 and every control stands at its design
// position in its design font; on a screen too small for the design the whole window shrinks.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace pile::ui {

inline constexpr QSize kDesignSize(363, 693);

class ScaledLayer : public QWidget {
    Q_OBJECT

  public:
    ScaledLayer(QWidget* parent, const QString& objectName);

    // Places `widget` (a control of this layer, or a control inside one of its group boxes,
    // relative to that group box) at its design rectangle, now and after every resize.
    static void Place(QWidget* widget, int x, int y, int width, int height);

    // A control that sets its own font size (a memo follows its track bar, a result box fits
    // its text): the layer's scale leaves its font alone.
    static void KeepOwnFontSize(QWidget* widget);

    double Scale() const;

  Q_SIGNALS:
    // After the controls took a new scale; for the controls that size their own fonts.
    void scaleChanged(double scale);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ApplyScale();
    void ScaleFonts(double scale);

    double appliedScale_ = 1.0;
};

// The scale at which a window of `design` client size fits into `available` (a screen's
// available geometry) with a frame of `frame` around it: 1 where it fits, never more.
double FittingScale(QSize design, QRect available, QMargins frame);

}  // namespace pile::ui
