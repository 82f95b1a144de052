#include "scaled_layer.h"

#include <QFont>
#include <QResizeEvent>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace pile::ui {

namespace {

constexpr char kDesignRect[] = "designRect";
constexpr char kDesignPointSize[] = "designPointSize";
constexpr char kOwnFontSize[] = "ownFontSize";

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

void ScaledLayer::KeepOwnFontSize(QWidget* widget) {
    widget->setProperty(kOwnFontSize, true);
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
    ScaleFonts(scale);
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
    if (scale != appliedScale_) {
        appliedScale_ = scale;
        Q_EMIT scaleChanged(scale);
    }
}

// Every font size is recorded once, before the first change: the layer's own size (which the
// controls without a size of their own inherit) and every size a control sets itself. Then
// each is set to its design size times the scale.
void ScaledLayer::ScaleFonts(double scale) {
    const bool recorded = property(kDesignPointSize).isValid();
    if (!recorded && scale == 1.0) {
        return;  // at the design size every font is already as designed
    }
    const QList<QWidget*> controls = findChildren<QWidget*>();
    if (!recorded) {
        setProperty(kDesignPointSize, font().pointSizeF());
        for (QWidget* widget : controls) {
            const QWidget* parent = widget->parentWidget();
            const bool ownSize =
                parent && widget->font().pointSizeF() != parent->font().pointSizeF();
            if (ownSize && !widget->property(kOwnFontSize).toBool()) {
                widget->setProperty(kDesignPointSize, widget->font().pointSizeF());
            }
        }
    }
    QFont layerFont = font();
    layerFont.setPointSizeF(property(kDesignPointSize).toDouble() * scale);
    setFont(layerFont);
    for (QWidget* widget : controls) {
        const QVariant design = widget->property(kDesignPointSize);
        if (design.isValid()) {
            QFont own = widget->font();
            own.setPointSizeF(design.toDouble() * scale);
            widget->setFont(own);
        }
    }
}

double FittingScale(QSize design, QRect available, QMargins frame) {
    const double width = available.width() - frame.left() - frame.right();
    const double height = available.height() - frame.top() - frame.bottom();
    if (width <= 0 || height <= 0) {
        return 1.0;  // no usable answer from the screen: keep the design
    }
    return std::min({1.0, width / design.width(), height / design.height()});
}

}  // namespace pile::ui
