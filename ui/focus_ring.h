// A plain ring around the control that has the keyboard: Fusion marks a focused box, list or
// radio button with a thin line of the highlight colour only, which on the window's blue
// gradient is easily missed. The rounded buttons show their own (their style sheet's :focus).
#pragma once

#include <QPointer>
#include <QWidget>

namespace pile::ui {

class FocusRing : public QWidget {
  public:
    // Follows the focus among the controls of `window`.
    explicit FocusRing(QWidget* window);

    // The control ringed, or nullptr while the ring is hidden.
    QWidget* Target() const { return isVisible() ? target_.data() : nullptr; }

    static inline const QColor kColour{0x0A, 0x3C, 0xA0};

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* focus);
    void Place();

    QWidget* window_;
    QPointer<QWidget> target_;
};

}  // namespace pile::ui
