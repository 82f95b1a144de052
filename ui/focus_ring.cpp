#include "focus_ring.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QPushButton>

namespace pile::ui {

namespace {

constexpr int kWidth = 2;  // the ring, outside the control by one pixel more

}  // namespace

FocusRing::FocusRing(QWidget* window) : QWidget(window), window_(window) {
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { Follow(now); });
}

void FocusRing::Follow(QWidget* focus) {
    if (target_ != nullptr) {
        target_->removeEventFilter(this);
    }
    // An editable list holds the focus in its edit part; the ring goes round the whole list.
    if (focus != nullptr) {
        if (auto* list = qobject_cast<QComboBox*>(focus->parentWidget())) {
            focus = list;
        }
    }
    const bool ringed = focus != nullptr && focus != window_ && window_->isAncestorOf(focus) &&
                        qobject_cast<QPushButton*>(focus) == nullptr;
    target_ = ringed ? focus : nullptr;
    if (target_ == nullptr) {
        hide();
        return;
    }
    setParent(target_->parentWidget());
    target_->installEventFilter(this);
    Place();
    show();
    raise();
}

void FocusRing::Place() {
    const int margin = kWidth + 1;
    setGeometry(target_->geometry().adjusted(-margin, -margin, margin, margin));
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
                Place();
                break;
            case QEvent::Hide:
                hide();
                break;
            case QEvent::Show:
                if (target_->hasFocus() || target_->isAncestorOf(QApplication::focusWidget())) {
                    show();
                }
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kColour, kWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = kWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 3, 3);
}

}  // namespace pile::ui
