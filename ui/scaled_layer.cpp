#include "scaled_layer.h"

#include <QResizeEvent>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace pile::ui {

namespace {

constexpr char kDesignRect[] = "designRect";

int Scaled(int units, double scale) {
    return static_cast<int>(std::lround(units * scale));
}

}  // namespace

ScaledLayer::ScaledLayer(QWidget* parent, const QString& objectName) : QWidget(parent) {
    setObjectName(objectName);
    resize(kDesignSize);
}

void ScaledLayer::Place(QWidget* widget, int x, int y, int width, int height) {
    const QRect design(x, y, width, height);
    widget->setProperty(kDesignRect, design);
    widget->setGeometry(design);
}

double ScaledLayer::Scale() const {
    return std::min(width() / double(kDesignSize.width()), height() / double(kDesignSize.height()));
}

void ScaledLayer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyScale();
}

void ScaledLayer::ApplyScale() {
    const double scale = Scale();
    const int offsetX = (width() - Scaled(kDesignSize.width(), scale)) / 2;
    const int offsetY = (height() - Scaled(kDesignSize.height(), scale)) / 2;
    for (QWidget* widget : findChildren<QWidget*>()) {
        const QVariant design = widget->property(kDesignRect);
        if (!design.isValid()) {
            continue;
        }
        const QRect r = design.toRect();
        const bool direct = widget->parentWidget() == this;
        widget->setGeometry(Scaled(r.x(), scale) + (direct ? offsetX : 0),
                            Scaled(r.y(), scale) + (direct ? offsetY : 0), Scaled(r.width(), scale),
                            Scaled(r.height(), scale));
    }
}

}  // namespace pile::ui
