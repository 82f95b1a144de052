// The logo strip at the foot of the input screen: a radial gradient from #F5BDBD to white
// behind a logo picture drawn at 0.2 of its size.
#pragma once

#include <QWidget>

namespace pile::ui {

class LogoStrip : public QWidget {
    Q_OBJECT

  public:
    explicit LogoStrip(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pile::ui
