// Driving widgets as a person would, for the GoogleTest programs of the window. The tests
// run under QT_QPA_PLATFORM=offscreen (set by CMake).
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <string>

#include "testing/qt/qt_application.h"

namespace pile::ui::testing {

using pile::test::AppFirst;
using pile::test::QtApplication;

// The control of `window` named `name`; a missing one fails the test.
template <typename T = QWidget>
T* Control(const QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        ADD_FAILURE() << "no control " << name;
    }
    return widget;
}

// The control of `window` whose accessible name is `name`, as a screen reader finds it; a
// missing one fails the test.
template <typename T = QWidget>
T* Named(const QWidget& window, const char* name) {
    const QString wanted = QString::fromUtf8(name);
    for (T* widget : window.findChildren<T*>()) {
        if (widget->accessibleName() == wanted) {
            return widget;
        }
    }
    ADD_FAILURE() << "no control named " << name;
    return nullptr;
}

// Types `text` over the box's whole content without committing it.
inline void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Delete);
    } else {
        QTest::keyClicks(box, text);
    }
}

// Types `text` and presses Enter.
inline void Enter(QLineEdit* box, const QString& text) {
    Type(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

inline void Enter(QComboBox* box, const QString& text) {
    Enter(box->lineEdit(), text);
}

// Opens the list of a drop-down and clicks the item, as a person picks it. A list that opened
// over its box ignores a release that follows the opening within a double-click interval (it
// takes it for the end of the opening click); a person who then clicks again picks the item.
inline void PickFromList(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    const QPoint item = view->visualRect(view->model()->index(index, 0))
                            .intersected(view->viewport()->rect())
                            .center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item);
    if (view->isVisible()) {
        QTest::qWait(QApplication::doubleClickInterval() + 20);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item);
    }
    if (view->isVisible()) {
        box->hidePopup();  // the item was not under the click: the caller's check fails
    }
}

}  // namespace pile::ui::testing
