// An error that escapes a handler: shown in the standard error box, and the program goes on.
// This program's application object is the program's own GuardedApplication.
#include "guarded_application.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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

void CloseBoxes() {
    for (QMessageBox* box : OpenBoxes()) {
        box->button(QMessageBox::Ok)->click();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct EscapeRow {
    const char* name;
    std::function<void()> handler;
    const char* boxText;
};

void PrintTo(const EscapeRow& row, std::ostream* out) {
    *out << row.name;
}

// A window with a button whose handler throws, and a second one that counts its clicks.
class EscapedError : public ::testing::TestWithParam<EscapeRow> {
  protected:
    EscapedError() {
        window_.setWindowTitle(QStringLiteral("嵌岩桩承载力计算 (DBJ50-047-2016)"));
        throwing_ = new QPushButton(QStringLiteral("计算"), &window_);
        counting_ = new QPushButton(QStringLiteral("退出"), &window_);
        counting_->move(0, 40);
        QObject::connect(counting_, &QPushButton::clicked, &window_, [this] { ++counted_; });
        window_.show();
    }
    ~EscapedError() override { CloseBoxes(); }

    void ExpectOneErrorBox(const char* text) {
        const std::vector<QMessageBox*> boxes = OpenBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->icon(), QMessageBox::Critical);
        EXPECT_EQ(boxes[0]->text().toStdString(), text);
        EXPECT_EQ(boxes[0]->windowTitle(), window_.windowTitle());
    }

    struct AppFirst {
        AppFirst() { App(); }
    } app_;
    QWidget window_;
    QPushButton* throwing_ = nullptr;
    QPushButton* counting_ = nullptr;
    int counted_ = 0;
};

TEST_P(EscapedError, FromAClickIsShownAndTheWindowGoesOn) {
    QObject::connect(throwing_, &QPushButton::clicked, &window_, GetParam().handler);
    QTest::mouseClick(throwing_, Qt::LeftButton);
    ExpectOneErrorBox(GetParam().boxText);
    CloseBoxes();
    QTest::mouseClick(counting_, Qt::LeftButton);
    EXPECT_EQ(counted_, 1);
    EXPECT_TRUE(window_.isVisible());
}

TEST_P(EscapedError, FromATimerDoesNotEndTheEventLoop) {
    QEventLoop loop;
    QTimer::singleShot(0, &window_, GetParam().handler);
    QTimer::singleShot(0, &window_, [this] { counting_->click(); });
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    ExpectOneErrorBox(GetParam().boxText);
    EXPECT_EQ(counted_, 1);
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
