// The book window beside the fixed main window: how it opens, that a whole table row fits it
// at full HD, that it follows the books live with a switch of its own, that find reaches the
// last record, and that it comes back where it was.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <memory>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "book_window.h"
#include "find_bar.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace {

using pile::Book;
using pile::test::PrintTo;
using pile::ui::BookView;
using pile::ui::BookWindow;
using namespace pile::ui::testing;

class BookWindowTest : public ::testing::Test {
  protected:
    BookWindowTest() {
        // The kept size and place go to a folder of the test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        Start();
    }
    void Start() {
        window = std::make_unique<TBXV_FRM_VORN1>();
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    void Click(const char* name) {
        auto* button = Control<QPushButton>(*window, name);
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Another frk value committed, then "计算": one record more.
    void Compute(int frk) {
        Enter(Control<QLineEdit>(*window, "edt_frk"), QString::number(frk));
        Click("cbt_compute");
    }
    BookView* Memo(const char* name) { return Control<BookView>(*window, name); }
    BookWindow* Opened() { return window->BookWindowIfOpened(); }
    static void Keys(int key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    void OpenByKeys() {
        Click("cbt_View");
        Keys(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_NE(Opened(), nullptr);
    }

    AppFirst app;
    QTemporaryDir settings;
    std::unique_ptr<TBXV_FRM_VORN1> window;
};

enum class Opening { DoubleClick, Menu, Keys };
struct OpenRow {
    const char* name;
    Opening opening;
};

class OpensFromTheBookScreen : public BookWindowTest,
                               public ::testing::WithParamInterface<OpenRow> {};

TEST_P(OpensFromTheBookScreen, WithTheBookOnShow) {
    Compute(25);
    Click("cbt_View");
    Click("cbt_PageBook");  // the table book on show
    BookView* memo = Memo("meo_jisuanjieguo_Xls");
    switch (GetParam().opening) {
        case Opening::DoubleClick:
            QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
            QApplication::processEvents();
            break;
        case Opening::Menu: {
            Q_EMIT memo->customContextMenuRequested(QPoint(10, 10));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text() == u"在新窗口中查看") {
                    menu->close();
                    action->trigger();
                }
            }
            break;
        }
        case Opening::Keys:
            memo->setFocus();
            Keys(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
            break;
    }
    ASSERT_NE(Opened(), nullptr);
    EXPECT_TRUE(Opened()->isVisible());
    EXPECT_EQ(Opened()->OnShow(), Book::Table);
    EXPECT_EQ(window->size(), QSize(363, 693)) << "the main window stays as it is";
}

INSTANTIATE_TEST_SUITE_P(Ways, OpensFromTheBookScreen,
                         ::testing::Values(OpenRow{"DoubleClick", Opening::DoubleClick},
                                           OpenRow{"Menu", Opening::Menu},
                                           OpenRow{"Keys", Opening::Keys}),
                         pile::test::RowName{});

// 1600 x 900 shows a whole table row at the start size, and it can be maximized; a "计算"
// after the opening is there at once, the window's own book unchanged by the main window's
// switch; find goes to the last record and shows it.
TEST_F(BookWindowTest, FollowsTheBooksAndFindsTheLastRecord) {
    for (int frk = 20; frk < 23; ++frk) {
        Compute(frk);
    }
    OpenByKeys();
    BookWindow* books = Opened();
    books->resize(1600, 900);
    Control<QTabBar>(*books, "tab_jisuanshu")->setCurrentIndex(1);
    QApplication::processEvents();
#ifndef _WIN32  // under wine the offscreen stand-in face draws Latin letters as wide as CJK
    EXPECT_EQ(books->View(Book::Table)->horizontalScrollBar()->maximum(), 0) << "the row is cut";
#endif
    books->showMaximized();
    QApplication::processEvents();
    EXPECT_TRUE(books->isMaximized());

    QApplication::setActiveWindow(window.get());
    Click("cbt_Exit");
    BookView* text = books->View(Book::Text);
    const int textRange = text->verticalScrollBar()->maximum();
    const std::size_t textLines = text->ShownBook()->size();
    Compute(30);
    Click("cbt_View");
    Click("cbt_PageBook");  // the main window's switch
    EXPECT_EQ(books->OnShow(), Book::Table);
    EXPECT_EQ(text->verticalScrollBar()->maximum(),
              textRange + static_cast<int>(text->ShownBook()->size() - textLines));

    QApplication::setActiveWindow(books);
    Control<QTabBar>(*books, "tab_jisuanshu")->setCurrentIndex(0);
    text->setFocus();
    Keys(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(books->Finder()->isVisible());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("zh4"));
    EXPECT_EQ(text->SelectedText().toStdString(), "ZH4");
    const std::size_t line = text->Caret().line;
    EXPECT_GE(line, text->FirstVisibleLine());
    EXPECT_LT(line, text->FirstVisibleLine() + text->viewport()->height() / text->LineHeight());
    Keys(Qt::Key_F3, {});
    EXPECT_GT(text->Caret().line, line);
    Keys(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(text->Caret().line, line);
    Keys(Qt::Key_Escape, {});
    EXPECT_FALSE(books->Finder()->isVisible());
    EXPECT_TRUE(books->isVisible());
}

TEST_F(BookWindowTest, ComesBackWhereItWas) {
    Compute(25);
    OpenByKeys();
    Opened()->setGeometry(120, 80, 1100, 640);
    const QRect kept = Opened()->geometry();
    window.reset();  // the program ends with the window open
    Start();
    Compute(25);
    OpenByKeys();
    EXPECT_EQ(Opened()->geometry(), kept);
}

// On the book screen: Ctrl+F finds in the book on show, Esc closes the bar first and then
// leaves the screen.
TEST_F(BookWindowTest, FindOnTheBookScreen) {
    Compute(25);
    Compute(26);
    Click("cbt_View");
    BookView* text = Memo("meo_jisuanjieguo_Doc");
    Keys(Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ZH2"));
    EXPECT_EQ(text->SelectedText().toStdString(), "ZH2");
    Keys(Qt::Key_Escape, {});
    QWidget* bookScreen = window->findChild<QWidget*>(QStringLiteral("JieGuo_DocLayer"));
    EXPECT_TRUE(bookScreen->isVisible());
    Keys(Qt::Key_Escape, {});
    EXPECT_FALSE(bookScreen->isVisible());
}

}  // namespace
