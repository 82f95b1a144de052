#include "text_fit.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

namespace pile::ui {

namespace {

// QLineEdit draws its text this far inside the contents rectangle on either side.
constexpr int kLineControlMargin = 2;
constexpr double kCaretWidth = 1.0;
constexpr double kStep = 0.25;  // points

double TextWidth(QFont font, double pointSize, const QString& text) {
    font.setPointSizeF(pointSize);
    return QFontMetricsF(font).horizontalAdvance(text);
}

}  // namespace

double LineEditTextWidth(const QLineEdit& box) {
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.rect = box.rect();
    option.lineWidth =
        box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (box.isReadOnly()) {
        option.state |= QStyle::State_ReadOnly;
    }
    option.features = QStyleOptionFrame::None;
    const QRect contents = box.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &box)
                               .marginsRemoved(box.textMargins());
    return contents.width() - 2 * kLineControlMargin - kCaretWidth;
}

double FittingPointSize(const QFont& font, const QString& text, double width, double preferred,
                        double minimum) {
    if (text.isEmpty() || TextWidth(font, preferred, text) <= width) {
        return preferred;
    }
    // Widths grow almost in proportion to the size; hinting makes them step, so the estimate
    // is corrected downwards in small steps until the text really fits.
    const double wide = TextWidth(font, preferred, text);
    double size = std::floor(preferred * width / wide / kStep) * kStep;
    size = std::clamp(size, minimum, preferred);
    while (size > minimum && TextWidth(font, size, text) > width) {
        size = std::max(minimum, size - kStep);
    }
    return size;
}

TextFit::TextFit(QLineEdit* box, double preferredPointSize)
    : QObject(box), box_(box), preferred_(preferredPointSize) {
    connect(box_, &QLineEdit::textChanged, this, &TextFit::Refit);
    box_->installEventFilter(this);
    Refit();
}

void TextFit::SetPreferredPointSize(double pointSize) {
    preferred_ = pointSize;
    Refit();
}

bool TextFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::StyleChange)) {
        Refit();
    }
    return QObject::eventFilter(watched, event);
}

void TextFit::Refit() {
    QFont font = box_->font();
    const double size = FittingPointSize(font, box_->text(), LineEditTextWidth(*box_), preferred_);
    if (font.pointSizeF() != size) {
        font.setPointSizeF(size);
        box_->setFont(font);
    }
}

}  // namespace pile::ui
