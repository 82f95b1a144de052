// An error that escapes a handler: shown in the standard error box, and the event loop goes on
// to the next event. This program's application object is the program's GuardedApplication.
#include "guarded_application.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace pile::ui {
namespace {

GuardedApplication& App() {
    static int argc = 1;
    static char name[] = "ui_guard_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: widgets of a failed test may still refer to it at exit.
    static auto* const app = new GuardedApplication(argc, argv);
    return *app;
}

std::vector<QMessageBox*> OpenBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

struct EscapeRow {
    const char* name;
    std::function<void()> handler;
    const char* boxText;
};

void PrintTo(const EscapeRow& row, std::ostream* out) {
    *out << row.name;
}

class EscapedError : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(EscapedError, IsShownAndTheNextEventIsHandled) {
    App();
    QWidget window;
    window.setWindowTitle(QStringLiteral("嵌岩桩承载力计算 (DBJ50-047-2016)"));
    window.show();
    int handledAfter = 0;
    QEventLoop loop;
    QTimer::singleShot(0, &window, GetParam().handler);
    QTimer::singleShot(0, &window, [&handledAfter] { ++handledAfter; });
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();  // an error that escaped would end here, and the test with it

    EXPECT_EQ(handledAfter, 1);
    const std::vector<QMessageBox*> boxes = OpenBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->icon(), QMessageBox::Critical);
    EXPECT_EQ(boxes[0]->text().toStdString(), GetParam().boxText);
    EXPECT_EQ(boxes[0]->windowTitle(), window.windowTitle());
    boxes[0]->button(QMessageBox::Ok)->click();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EscapedError,
    ::testing::Values(
        EscapeRow{"AnErrorWithItsMessage", [] { throw std::runtime_error("计算书记录已损坏"); },
                  "操作未能完成\n计算书记录已损坏"},
        EscapeRow{"OutOfMemory", [] { throw std::bad_alloc(); }, "操作未能完成\n内存不足"},
        EscapeRow{"NotAStandardError", [] { throw 42; }, "操作未能完成\n发生了意外的错误"}),
    [](const ::testing::TestParamInfo<EscapeRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pile::ui
