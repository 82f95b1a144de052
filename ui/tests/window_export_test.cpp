// The book actions on the real window: each memo's right click keeps Qt's "复制" and "全选" and
// offers the three actions for its own book; Ctrl+Shift+S and Ctrl+P act on the book on show,
// on the book screen only; a text file saved as counts as "保存" for the flags and the button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "BXV_PAS_VORN1.h"
#include "book_export.h"
#include "ui/platform/file_dialogs_double.h"
#include "ui/platform/qt_translation.h"
#include "ui/platform/test_doubles.h"
#include "ui_test_support.h"

namespace {

using namespace pile::platform;

class WindowExport : public ::testing::Test {
  protected:
    WindowExport() {
        static const bool translated = InstallQtChineseTranslation(pile::ui::testing::App());
        translated_ = translated;
        qputenv("HOME", home_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home_.path() + QStringLiteral("/.config")).toLocal8Bit());
        window_ = std::make_unique<TBXV_FRM_VORN1>(
            WindowPlatform{&permissions_, &messages_, &shell_, &dialogs_});
        window_->show();
        QApplication::setActiveWindow(window_.get());
    }

    QPushButton* Button(const char* name) {
        return window_->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QPlainTextEdit* Memo(const char* name) {
        return window_->findChild<QPlainTextEdit*>(QString::fromLatin1(name));
    }
    void Keys(const QKeySequence& keys) {
        const QKeyCombination combination = keys[0];
        QTest::keyClick(window_.get(), combination.key(), combination.keyboardModifiers());
    }
    // The menu a right click on the memo opens.
    static QMenu* RightClick(QPlainTextEdit* memo) {
        const QPoint inside(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside,
                                memo->viewport()->mapToGlobal(inside));
        QApplication::sendEvent(memo->viewport(), &event);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    QTemporaryDir home_;
    bool translated_ = false;
    DesktopPermissionService permissions_;
    RecordingMessagePresenter messages_;
    RecordingShell shell_;
    ScriptedFileDialogs dialogs_;
    std::unique_ptr<TBXV_FRM_VORN1> window_;
};

struct MemoRow {
    const char* name;
    const char* memo;
    bool switchBook;       // press the "1"/"2" button first
    const char* fileName;  // the book's "保存" name, as PDF
};

class MemoMenu : public WindowExport, public ::testing::WithParamInterface<MemoRow> {};

TEST_P(MemoMenu, KeepsCopyAndSelectAllAndOffersItsBook) {
    Click("cbt_compute");
    Click("cbt_View");
    if (GetParam().switchBook) {
        Click("cbt_PageBook");
    }
    QMenu* menu = RightClick(Memo(GetParam().memo));
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            items.append(action->text().section(QLatin1Char('\t'), 0, 0));
        }
    }
    ASSERT_EQ(items.size(), 5) << items.join(QLatin1Char('|')).toStdString();
    if (translated_) {
        EXPECT_TRUE(items[0].startsWith(QStringLiteral("复制"))) << items[0].toStdString();
        EXPECT_TRUE(items[1].startsWith(QStringLiteral("全选"))) << items[1].toStdString();
    }
    EXPECT_EQ(items.mid(2), QStringList({QStringLiteral("另存为…"), QStringLiteral("导出 PDF…"),
                                         QStringLiteral("打印…")}));
    menu->actions().at(menu->actions().size() - 2)->trigger();  // 导出 PDF…
    menu->close();
    ASSERT_EQ(dialogs_.saveRequests.size(), 1U);
    EXPECT_TRUE(
        dialogs_.saveRequests[0].startPath.endsWith(QString::fromUtf8(GetParam().fileName)));
}

INSTANTIATE_TEST_SUITE_P(Memos, MemoMenu,
                         ::testing::Values(MemoRow{"TextMemo", "meo_jisuanjieguo_Doc", false,
                                                   "嵌岩桩计算书(依据DBJ50-047-2016)_文本.pdf"},
                                           MemoRow{"TableMemo", "meo_jisuanjieguo_Xls", true,
                                                   "嵌岩桩计算书(依据DBJ50-047-2016)_表格.pdf"}),
                         pile::ui::testing::RowName());

TEST_F(WindowExport, KeysActOnTheBookOnShowOnTheBookScreenOnly) {
    if (QApplication::activeWindow() != window_.get()) {
        GTEST_SKIP() << "this platform does not activate windows, and shortcuts need that";
    }
    Click("cbt_compute");
    Keys(pile::ui::kPrintKeys);
    Keys(pile::ui::kSaveAsKeys);
    EXPECT_TRUE(dialogs_.printPageCounts.empty()) << "a key of the book screen on the input screen";
    EXPECT_TRUE(dialogs_.saveRequests.empty());

    Click("cbt_View");
    dialogs_.savePath = home_.filePath(QStringLiteral("文本.txt"));
    Keys(pile::ui::kSaveAsKeys);
    ASSERT_EQ(dialogs_.saveRequests.size(), 1U);
    EXPECT_TRUE(dialogs_.saveRequests[0].startPath.endsWith(QStringLiteral("_文本.txt")));
    EXPECT_TRUE(QFile::exists(dialogs_.savePath));
    EXPECT_EQ(window_->Books().UnsavedBookFlags(), 2);
    EXPECT_FALSE(Button("cbt_Save")->isEnabled());

    Click("cbt_PageBook");  // the table book is still unsaved
    EXPECT_TRUE(Button("cbt_Save")->isEnabled());
    dialogs_.savePath = home_.filePath(QStringLiteral("表格.pdf"));
    Keys(pile::ui::kSaveAsKeys);
    EXPECT_EQ(window_->Books().UnsavedBookFlags(), 2) << "a PDF is no save";
    EXPECT_TRUE(Button("cbt_Save")->isEnabled());
    Keys(pile::ui::kPrintKeys);
    EXPECT_EQ(dialogs_.printPageCounts, std::vector<int>{1});
    EXPECT_TRUE(messages_.boxes.empty());
}

}  // namespace
