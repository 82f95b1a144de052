// The project table's window: opened by "项目表…" in the book menus and by Ctrl+T on the main
// window and the book window; its rows follow the session from then on, its load edits reach
// the journal, and a double click shows the record in the panel and the books.
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "book_window.h"
#include "books/book_outline.h"
#include "design_dialog.h"
#include "io/calculation_time.h"
#include "io/qt_text.h"
#include "project_window.h"
#include "scaled_layer.h"
#include "session/book_questions.h"
#include "session/journal_keeper.h"
#include "session/pile_design.h"
#include "ui/platform/manual.h"
#include "ui/platform/message_presenter.h"

using pile::io::ToQString;
using pile::io::ToU16;

namespace {

const QKeySequence kProjectWindowKeys(Qt::CTRL | Qt::Key_T);

}  // namespace

void TBXV_FRM_VORN1::ConnectProjectWindow(QWidget& window) {
    connect(new QShortcut(kProjectWindowKeys, &window), &QShortcut::activated, this,
            &TBXV_FRM_VORN1::OpenProjectWindow);
}

void TBXV_FRM_VORN1::AddProjectAction(QMenu& menu) {
    QAction* action = menu.addAction(QStringLiteral("项目表…"));
    action->setShortcut(kProjectWindowKeys);
    action->setShortcutContext(Qt::WidgetShortcut);  // the window's own shortcut opens it
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, &TBXV_FRM_VORN1::OpenProjectWindow);
}

// Created on first use, kept until the program ends.
void TBXV_FRM_VORN1::OpenProjectWindow() {
    if (!projectWindow_) {
        projectTable_.Follow(session_);
        pile::ui::ProjectWindow::Hooks hooks{
            .setLoad = [this](std::size_t index, pile::session::ProjectColumn column,
                              const QString& text) -> std::optional<QString> {
                const pile::schedule::LoadTexts before = session_.Records().at(index).loads;
                if (const auto refusal =
                        pile::session::SetLoad(session_, index, column, ToU16(text))) {
                    return ToQString(*refusal);
                }
                if (session_.Records()[index].loads == before) {
                    return std::nullopt;
                }
                FollowProject();
                ShowJournalWarning(keeper_->Replaced(session_));
                return std::nullopt;
            },
            .showRecord = [this](std::size_t index) { ShowRecordOf(index); },
            .design = [this] { DesignClick(); },
        };
        projectWindow_ = std::make_unique<pile::ui::ProjectWindow>(projectTable_, hooks);
        connect(new QShortcut(QKeySequence::HelpContents, projectWindow_.get()),
                &QShortcut::activated, this,
                [this] { pile::platform::OpenManual(*shell_, *messages_); });
    }
    projectWindow_->Open();
}

pile::ui::ProjectWindow* TBXV_FRM_VORN1::ProjectWindowIfOpened() const {
    return projectWindow_.get();
}

void TBXV_FRM_VORN1::FollowProject() {
    if (projectWindow_) {
        projectWindow_->TableChanged(projectTable_.Follow(session_));
    }
}

// The panel as after the record's "计算", on the input screen; the books in their window,
// the record's first line selected in each.
void TBXV_FRM_VORN1::ShowRecordOf(std::size_t index) {
    if (index >= session_.Records().size()) {
        return;
    }
    const pile::session::RecordInputs record = session_.Records()[index];
    panel_.ShowRecord(session_, record);
    ShowPanel();
    if (JieGuo_DocLayer != nullptr && JieGuo_DocLayer->isVisible()) {
        cbt_ExitClick();
    }
    OpenBookWindow();
    for (const pile::Book book : {pile::Book::Text, pile::Book::Table}) {
        const pile::BookLines& lines = session_.Lines(book);
        const pile::BookOutline outline =
            book == pile::Book::Text ? pile::TextBookOutline(lines) : pile::TableBookOutline(lines);
        if (index >= outline.recordStarts.size()) {
            continue;
        }
        const std::size_t line = outline.recordStarts[index];
        const pile::ui::BookPosition start{line, 0};
        const pile::ui::BookPosition end{line, static_cast<int>(lines[line].size())};
        (book == pile::Book::Text ? meo_jisuanjieguo_Doc : meo_jisuanjieguo_Xls)
            ->Reveal(start, end);
        bookWindow_->View(book)->Reveal(start, end);
    }
}

// The proposals first, row by row; then the accepted ones as new records or, after a question,
// in place of the records they came from, the books computed afresh and journalled anew.
void TBXV_FRM_VORN1::DesignClick() {
    const std::vector<pile::session::RowDesign> designs =
        pile::session::DesignRecords(session_.Records(), pile::session::DesignOptions{});
    pile::ui::DesignDialog dialog(session_.Records(), designs, projectWindow_.get());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    using Choice = pile::ui::DesignDialog::Choice;
    const bool append = dialog.TakenAs() == Choice::Append;
    if (!append && static_cast<pile::session::ReplaceDesignsChoice>(
                       Ask(pile::session::ReplaceDesignsQuestion(dialog.AcceptedCount()))) !=
                       pile::session::ReplaceDesignsChoice::Replace) {
        return;
    }
    const QDateTime now = clock_();
    const QString time = pile::io::CalculationTime(QLocale::system(), now);
    const std::size_t before = session_.Records().size();
    EnsureBookScreen();
    pile::session::TakeDesigns(session_, designs, dialog.Accepted(), append, ToU16(time));
    ShowWholeBooks();
    ShowBookScreenState();
    if (append) {
        KeepRecords(before);
    } else {
        StartJournalAfresh(now);  // the books before stay in the journal that held them
    }
    ShowLastRecord();
}
