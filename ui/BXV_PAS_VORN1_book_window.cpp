// The book screen's ways out of its 355-unit memo: the book window (a double click on the book,
// "在新窗口中查看" in its menu, Ctrl+Shift+O) and the find bar (Ctrl+F, F3, Shift+F3).
#include <QEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "BXV_PAS_VORN1.h"
#include "book_export.h"
#include "book_view.h"
#include "book_window.h"
#include "find_bar.h"
#include "form_layout.h"
#include "scaled_layer.h"
#include "ui/platform/manual.h"

namespace {

const QKeySequence kBookWindowKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_O);

// A double click on a memo opens the book window; the click still selects its word.
class DoubleClickOpens : public QObject {
  public:
    DoubleClickOpens(QObject* parent, std::function<void()> open)
        : QObject(parent), open_(std::move(open)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            open_();
        }
        return false;
    }

  private:
    std::function<void()> open_;
};

}  // namespace

void TBXV_FRM_VORN1::ConnectBookWindow() {
    auto* open = new QShortcut(kBookWindowKeys, JieGuo_DocLayer);
    open->setContext(Qt::WidgetWithChildrenShortcut);
    connect(open, &QShortcut::activated, this, &TBXV_FRM_VORN1::OpenBookWindow);
    auto* opens = new DoubleClickOpens(this, [this] {
        // After the press that the view takes for its word selection.
        QMetaObject::invokeMethod(this, &TBXV_FRM_VORN1::OpenBookWindow, Qt::QueuedConnection);
    });
    for (pile::ui::BookView* memo : {meo_jisuanjieguo_Doc, meo_jisuanjieguo_Xls}) {
        memo->viewport()->installEventFilter(opens);
    }

    // Over the foot of the memo while open; Esc or the memo's focus leaves it there.
    bookFind_ = new pile::ui::FindBar(
        [this] {
            return session_.BookOnShow() == pile::Book::Text ? meo_jisuanjieguo_Doc
                                                             : meo_jisuanjieguo_Xls;
        },
        JieGuo_DocLayer);
    const QRect place = pile::ui::DesignRect("fnd_chazhao");
    pile::ui::ScaledLayer::Place(bookFind_, place.x(), place.y(), place.width(), place.height());
    bookFind_->AddShortcuts(JieGuo_DocLayer);
}

void TBXV_FRM_VORN1::AddBookWindowAction(QMenu& menu) {
    QAction* action = menu.addAction(QStringLiteral("在新窗口中查看"));
    action->setShortcut(kBookWindowKeys);
    action->setShortcutContext(Qt::WidgetShortcut);  // the book screen's own key opens it
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, &TBXV_FRM_VORN1::OpenBookWindow);
}

// Created on first use, kept until the program ends; each opening shows the book on show.
void TBXV_FRM_VORN1::OpenBookWindow() {
    if (!bookWindow_) {
        bookWindow_ = std::make_unique<pile::ui::BookWindow>(
            [this](pile::Book book) -> const pile::BookLines& { return session_.Lines(book); },
            *bookExport_,
            [this](pile::Book book) -> const pile::ui::BookView* {
                return book == pile::Book::Text ? meo_jisuanjieguo_Doc : meo_jisuanjieguo_Xls;
            },
            [this](QMenu& menu) { AddProjectAction(menu); });
        ConnectProjectWindow(*bookWindow_);
        // F1 in the book window too: the manual, as from the main window.
        connect(new QShortcut(QKeySequence::HelpContents, bookWindow_.get()), &QShortcut::activated,
                this, [this] { pile::platform::OpenManual(*shell_, *messages_); });
    }
    bookWindow_->ShowBook(session_.BookOnShow());
}

pile::ui::BookWindow* TBXV_FRM_VORN1::BookWindowIfOpened() const {
    return bookWindow_.get();
}

void TBXV_FRM_VORN1::EscapeOnBookScreen() {
    if (bookFind_ != nullptr && bookFind_->isVisible()) {
        bookFind_->Close();
        return;
    }
    cbt_Exit->setFocus(Qt::ShortcutFocusReason);
    cbt_Exit->click();
}
