#include "guarded_application.h"

#include <QWidget>
#include <new>

#include "ui/platform/message_box_presenter.h"

namespace pile::ui {
namespace {

// The window the box belongs to and takes its caption from: the active one, else the first
// shown, else none.
QWidget* BoxOwner() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowType() == Qt::Window) {
            return top;
        }
    }
    return nullptr;
}

void ShowEscapedError(std::exception_ptr error) {
    // Without a box at all (no memory left even for it) the program still goes on.
    try {
        platform::MessageBoxPresenter(BoxOwner()).showError(EscapedErrorText(error));
    } catch (...) {
    }
}

}  // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowEscapedError(std::current_exception());
        return false;
    }
}

QString EscapedErrorText(std::exception_ptr error) {
    QString reason = QStringLiteral("发生了意外的错误");
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("内存不足");
    } catch (const std::exception& e) {
        if (const QString what = QString::fromUtf8(e.what()); !what.isEmpty()) {
            reason = what;
        }
    } catch (...) {
    }
    return QStringLiteral("操作未能完成\n%1").arg(reason);
}

}  // namespace pile::ui
