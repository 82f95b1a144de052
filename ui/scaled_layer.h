// A screen of the window: a layer drawn for a design of 363 x 693 units that fills its parent
// and scales the positions and sizes of its controls to it, proportions kept and centred.
// In the fixed-size window the scale is 1 and every control stands at its design position.
#pragma once

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

    double Scale() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ApplyScale();
};

}  // namespace pile::ui
