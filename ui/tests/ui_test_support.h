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

namespace pile::ui::testing {

// Names the rows of a TEST_P table after their `name` member.
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

// One application object per test program, created on first use. The locale is pinned to
// zh_CN unless LC_ALL names another on purpose (the decimal-comma run sets de_DE).
inline QApplication& App() {
    if (qEnvironmentVariableIsEmpty("LC_ALL")) {
        qputenv("LC_ALL", "zh_CN.UTF-8");
    }
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() == nullptr
                                   ? new QApplication(argc, argv)
                                   : qobject_cast<QApplication*>(QApplication::instance());
    return *app;
}

// A first member that makes the application before the widgets of a fixture.
struct AppFirst {
    AppFirst() { App(); }
};

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
