#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "testing/qt/qt_application.h"
#include "ui/platform/message_box_presenter.h"
#include "ui/platform/qt_translation.h"

namespace pile::platform {
namespace {

QMessageBox* OpenBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_.setWindowTitle(QStringLiteral("嵌岩桩承载力计算 (DBJ50-047-2016)"));
        owner_.show();
    }
    pile::test::AppFirst app_;
    QWidget owner_;
    MessageBoxPresenter presenter_{&owner_};
};

TEST_F(MessageBoxTest, AMessageReturnsAtOnceAndRunsItsRoutineWhenClosed) {
    int closed = 0;
    presenter_.showMessage(QStringLiteral("无权存盘"), [&closed] { ++closed; });
    QPointer<QMessageBox> box = OpenBox();
    ASSERT_FALSE(box.isNull());
    EXPECT_EQ(box->text(), QStringLiteral("无权存盘"));
    EXPECT_EQ(box->windowTitle(), owner_.windowTitle());
    EXPECT_EQ(closed, 0);
    box->button(QMessageBox::Ok)->click();
    EXPECT_EQ(closed, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull()) << "a closed box is released";
}

TEST_F(MessageBoxTest, AnErrorUsesTheStandardErrorBox) {
    presenter_.showError(QStringLiteral("计算书未能保存到文件"));
    QPointer<QMessageBox> box = OpenBox();
    ASSERT_FALSE(box.isNull());
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->text(), QStringLiteral("计算书未能保存到文件"));
    box->button(QMessageBox::Ok)->click();
}

TEST_F(MessageBoxTest, QtsChineseTextsNameTheButtons) {
    const QString file =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm");
    if (!QFileInfo::exists(file)) {
        GTEST_SKIP() << "qt6-translations-l10n is not installed";
    }
    ASSERT_TRUE(InstallQtChineseTranslation(pile::test::QtApplication()));
    presenter_.showMessage(QStringLiteral("需要存贮权限，否则计算结果不能存盘"), {});
    QPointer<QMessageBox> box = OpenBox();
    ASSERT_FALSE(box.isNull());
    EXPECT_TRUE(box->button(QMessageBox::Ok)->text().contains(QStringLiteral("确定")))
        << box->button(QMessageBox::Ok)->text().toStdString();
    box->button(QMessageBox::Ok)->click();
}

// Enter, Esc and a click on a button each give their answer.
TEST_F(MessageBoxTest, AQuestionReturnsTheAnswerOfEnterEscOrTheButtonPressed) {
    const QStringList answers = {QStringLiteral("追加到其后"), QStringLiteral("替换"),
                                 QStringLiteral("取消")};
    const auto ask = [&](const std::function<void(QMessageBox&)>& answer) {
        QTimer::singleShot(0, [&] {
            QMessageBox* box = OpenBox();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->buttons().size(), 3);
            answer(*box);
        });
        return presenter_.askChoice(QStringLiteral("计算书中已有 2 根桩"), answers, 0, 2);
    };
    EXPECT_EQ(ask([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }), 0u);
    EXPECT_EQ(ask([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }), 2u);
    EXPECT_EQ(ask([](QMessageBox& box) {
                  for (QAbstractButton* button : box.buttons()) {
                      if (button->text() == QStringLiteral("替换")) {
                          button->click();
                      }
                  }
              }),
              1u);
}

}  // namespace
}  // namespace pile::platform
