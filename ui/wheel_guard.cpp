#include "wheel_guard.h"

#include <QComboBox>
#include <QEvent>

namespace pile::ui {

void ClosedListWheelGuard::Guard(QComboBox* box) {
    box->installEventFilter(this);
}

bool ClosedListWheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(watched) != nullptr) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pile::ui
