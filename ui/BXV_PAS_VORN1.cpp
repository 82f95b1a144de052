#include "BXV_PAS_VORN1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>
#include <variant>

#include "book_export.h"
#include "book_view.h"
#include "book_window.h"
#include "change_events.h"
#include "io/book_file.h"
#include "io/calculation_time.h"
#include "io/documents_folder.h"
#include "io/journal_file.h"
#include "io/locale_number.h"
#include "io/qt_text.h"
#include "io/workbook_file.h"
#include "logo_strip.h"
#include "program_title.h"
#include "project_window.h"
#include "scaled_layer.h"
#include "session/journal_keeper.h"
#include "session/schedule_import.h"
#include "session/session_journal.h"
#include "session/xlsx_results.h"
#include "text_fit.h"
#include "ui/about/BXV_CZL_PAS_CopyRight.h"
#include "ui/platform/book_save_flow.h"
#include "ui/platform/file_dialogs.h"
#include "ui/platform/message_box_presenter.h"
#include "ui/platform/permission_service.h"
#include "ui/platform/system_shell.h"
#include "ui_colours.h"
#include "ui_fonts.h"
#include "wheel_guard.h"
#include "work_progress.h"

namespace {
// The schedule import's dialog; its menu item: BXV_PAS_VORN1_schedule.cpp.
constexpr char16_t kImportScheduleCaption[] = u"导入桩表";
constexpr char16_t kScheduleFilter[] = u"桩表 (*.xlsx *.csv)";
constexpr char16_t kAllFilesFilter[] = u"所有文件 (*)";
// The session's inputs out, as a schedule that pile_batch and "导入桩表…" read back.
constexpr char16_t kExportScheduleText[] = u"导出桩表…";
constexpr char16_t kExportScheduleCaption[] = u"导出桩表";
constexpr char16_t kExportScheduleName[] = u"桩表.csv";
// The export writes CSV only: a workbook filter would give the file a suffix it does not hold.
constexpr char16_t kExportScheduleFilter[] = u"桩表 (*.csv)";
constexpr char16_t kExportWorkbookFilter[] = u"Excel 工作簿 (*.xlsx)";
// The panel's five boxes, in InputControl order.
constexpr pile::InputControl kBoxes[] = {
    pile::InputControl::Diameter, pile::InputControl::StraightLength,
    pile::InputControl::SocketDepth, pile::InputControl::Frk, pile::InputControl::Fuk};
}  // namespace

using pile::io::ToQString;
using pile::io::ToQStringList;
using pile::io::ToU16;
using pile::session::LayoutOf;
using pile::session::PanelField;

using pile::ui::colours::kBlack;
using pile::ui::colours::kRed;

TBXV_FRM_VORN1::TBXV_FRM_VORN1(QWidget* parent) : TBXV_FRM_VORN1(WindowPlatform{}, parent) {}

TBXV_FRM_VORN1::TBXV_FRM_VORN1(WindowPlatform platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("BXV_FRM_VORN1"));
    setWindowTitle(pile::ui::kProgramTitle);
    setFont(pile::ui::ControlFont());
    setFixedSize(pile::ui::kDesignSize);
    CreateControls();
    ConnectHandlers();
    ConnectKeyboard();
    ConnectPlatform(platform);
    ConnectScheduleActions();
    CentreOnScreen();
    // The keyboard starts in the first box a person types into, its text selected as when
    // tabbed into, so that typing replaces the start value instead of adding to it.
    cbe_dd->setFocus();
    cbe_dd->lineEdit()->selectAll();
}

TBXV_FRM_VORN1::~TBXV_FRM_VORN1() = default;

void TBXV_FRM_VORN1::SetClock(std::function<QDateTime()> clock) {
    clock_ = std::move(clock);
}

void TBXV_FRM_VORN1::ConnectHandlers() {
    using pile::ui::ComboTextChange;
    using pile::ui::ListChange;
    using pile::ui::RadioChange;
    using pile::ui::TextChange;
    using W = TBXV_FRM_VORN1;

    for (const pile::InputControl control : kBoxes) {
        DrawnText(control) = Box(control)->text();  // the start panel, as the model's
    }
    jmlxChange_ = new ListChange(cbb_jmlx);
    ddChange_ = new ComboTextChange(cbe_dd);
    tyzdChange_ = new ComboTextChange(cbe_tyzd);
    hrChange_ = new ComboTextChange(cbe_hr);
    hntChange_ = new ListChange(cbb_hnt);
    czgyChange_ = new ListChange(cbb_czgy);
    frkChange_ = new TextChange(edt_frk);
    fukChange_ = new TextChange(edt_fuk);
    frkModeChange_ = new RadioChange(rdb_frk);
    fukModeChange_ = new RadioChange(rdb_fuk);
    jingduChange_ = new ListChange(popbox_jingdu);

    wheelGuard_ = new pile::ui::ClosedListWheelGuard(this);
    for (QComboBox* list : {cbb_jmlx, cbe_dd, cbe_tyzd, cbe_hr, cbb_hnt, cbb_czgy, popbox_jingdu}) {
        wheelGuard_->Guard(list);
    }
    // The result boxes fit their text at the window's scale.
    connect(MainFormLayer, &pile::ui::ScaledLayer::scaleChanged, this, [this](double scale) {
        for (pile::ui::TextFit* fit : resultFits_) {
            fit->SetPreferredPointSize(pile::ui::kResultPointSize * scale);
        }
    });

    connect(jmlxChange_, &ListChange::changed, this, &W::cbb_jmlxChange);
    connect(ddChange_, &TextChange::changed, this, &W::cbe_ddChange);
    connect(tyzdChange_, &TextChange::changed, this, &W::cbe_tyzdChange);
    connect(hrChange_, &TextChange::changed, this, &W::cbe_hrChange);
    connect(hntChange_, &ListChange::changed, this, &W::cbb_hntChange);
    connect(czgyChange_, &ListChange::changed, this, &W::cbb_czgyChange);
    connect(frkChange_, &TextChange::changed, this, &W::edt_frkChange);
    connect(fukChange_, &TextChange::changed, this, &W::edt_fukChange);
    connect(frkModeChange_, &RadioChange::changed, this, &W::rdb_frkChange);
    connect(fukModeChange_, &RadioChange::changed, this, &W::rdb_fukChange);
    connect(jingduChange_, &ListChange::changed, this, &W::popbox_jingduChange);

    connect(cbt_tuichu, &QPushButton::clicked, this, &W::cbt_tuichuClick);
    connect(cbt_CopyRight, &QPushButton::clicked, this, &W::cbt_CopyRightClick);
    connect(cbt_compute, &QPushButton::clicked, this, &W::cbt_computeClick);
    connect(cbt_JingDu, &QPushButton::clicked, this, &W::cbt_JingDuClick);
    connect(cbt_View, &QPushButton::clicked, this, &W::cbt_ViewClick);
}

void TBXV_FRM_VORN1::EnsureBookScreen() {
    if (JieGuo_DocLayer != nullptr) {
        return;
    }
    CreateBookScreen();
    ConnectBookScreen();
}

void TBXV_FRM_VORN1::ConnectBookScreen() {
    using W = TBXV_FRM_VORN1;
    connect(cbt_Exit, &QPushButton::clicked, this, &W::cbt_ExitClick);
    connect(cbt_PageBook, &QPushButton::clicked, this, &W::cbt_PageBookClick);
    connect(cbt_sanchu, &QPushButton::clicked, this, &W::cbt_sanchuClick);
    connect(cbt_Save, &QPushButton::clicked, this, &W::cbt_SaveClick);
    connect(tcb_meoFontSize, &QSlider::valueChanged, this, &W::tcb_meoFontSizeChange);

    ShowBookScreenState();
    // The views draw the session's books; nothing else holds their text.
    meo_jisuanjieguo_Doc->SetBook(&session_.Lines(pile::Book::Text));
    meo_jisuanjieguo_Xls->SetBook(&session_.Lines(pile::Book::Table));

    // "另存为…", "导出 PDF…" and "打印…" in the memos' menus, Ctrl+Shift+S and Ctrl+P on the book
    // screen.
    for (pile::ui::BookView* memo : {meo_jisuanjieguo_Doc, meo_jisuanjieguo_Xls}) {
        bookExport_->AttachMenu(
            memo, memo == meo_jisuanjieguo_Doc ? pile::Book::Text : pile::Book::Table,
            [memo] { return memo->createStandardContextMenu(); },
            [this](QMenu& menu) {
                menu.addSeparator();
                AddScheduleActions(menu);
                menu.addAction(QString::fromUtf16(kExportScheduleText), this,
                               &TBXV_FRM_VORN1::ExportScheduleClick);
                AddBookWindowAction(menu);
                AddProjectAction(menu);
            });
    }
    bookExport_->AddShortcuts(JieGuo_DocLayer, [this] { return session_.BookOnShow(); });
    ConnectBookScreenKeyboard();
}

void TBXV_FRM_VORN1::ConnectPlatform(WindowPlatform platform) {
    using namespace pile::platform;
    if (platform.permissions == nullptr) {
        desktopPermissions_ = std::make_unique<DesktopPermissionService>();
        platform.permissions = desktopPermissions_.get();
    }
    if (platform.messages == nullptr) {
        desktopMessages_ = std::make_unique<MessageBoxPresenter>(this);
        platform.messages = desktopMessages_.get();
    }
    if (platform.shell == nullptr) {
        desktopShell_ = std::make_unique<DesktopShell>();
        platform.shell = desktopShell_.get();
    }
    shell_ = platform.shell;
    messages_ = platform.messages;
    journals_ = std::make_unique<pile::io::FolderJournals>(
        platform.journalFolder.isEmpty() ? pile::io::JournalFolder() : platform.journalFolder);
    keeper_ = std::make_unique<pile::session::JournalKeeper>(
        *journals_, pile::io::JournalTimeOf(clock_()), QCoreApplication::applicationPid());
    saveFlow_ = std::make_unique<BookSaveFlow>(
        *platform.permissions, *platform.messages,
        BookSaveFlow::Hooks{
            .bookOnShow = [this] { return session_.BookOnShow(); },
            .bookLines = [this](pile::Book book) { return &session_.Lines(book); },
            .bookSaved =
                [this](pile::Book book) {
                    session_.MarkSaved(book);
                    ShowBookScreenState();
                    KeepBooksState();
                },
            .savedTo = [this](const QString& path) { ShowSavedNotice(path); },
        });
    ConnectBookExport(platform.dialogs, *platform.messages);
}

// Save as, PDF and print; the book screen attaches them to its memos. A text file saved as
// takes its book's bit off the flags as "保存" does.
void TBXV_FRM_VORN1::ConnectBookExport(pile::platform::FileDialogs* dialogs,
                                       pile::platform::MessagePresenter& messages) {
    using pile::Book;
    if (dialogs == nullptr) {
        desktopDialogs_ = std::make_unique<pile::platform::DesktopFileDialogs>();
        dialogs = desktopDialogs_.get();
    }
    dialogs_ = dialogs;
    bookExport_ = std::make_unique<pile::ui::BookExport>(
        this, *dialogs, messages,
        pile::ui::BookExport::Hooks{
            .bookLines = [this](Book book) -> const pile::BookLines& {
                return session_.Lines(book);
            },
            .bookSaved =
                [this](Book book) {
                    session_.MarkSaved(book);
                    ShowBookScreenState();
                    KeepBooksState();
                },
            .delivered =
                [this](const QString& where, bool toPrinter) {
                    ShowNotice(toPrinter ? QStringLiteral("已发送到打印机 %1").arg(where)
                                         : QStringLiteral("已保存到 %1").arg(where));
                },
        });
}

// ---------------------------------------------------------------- start and end

void TBXV_FRM_VORN1::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

// Closing goes ahead without a question, whatever the books hold; the event loop ends with the
// last window.
void TBXV_FRM_VORN1::FormClose(QCloseEvent* event) {
    // A shown about dialog must not keep the program alive once the main window is gone.
    if (BXV_CZL_FRM_CopyRight) {
        BXV_CZL_FRM_CopyRight->hide();
    }
    if (bookWindow_) {
        bookWindow_->close();  // the books go with the program
    }
    if (projectWindow_) {
        projectWindow_->close();
    }
    event->accept();
}

void TBXV_FRM_VORN1::cbt_tuichuClick() {
    close();
}

// "©" shows the dialog, and hides it when it is shown.
void TBXV_FRM_VORN1::cbt_CopyRightClick() {
    if (BXV_CZL_FRM_CopyRight && BXV_CZL_FRM_CopyRight->isVisible()) {
        BXV_CZL_FRM_CopyRight->hide();
        return;
    }
    // The report the dialog writes carries the last calculation's inputs, as a schedule.
    const auto& records = session_.Records();
    const QString lastInputs =
        records.empty()
            ? QString()
            : QString::fromStdString(pile::session::ScheduleOfRecords({records.back()}));
    TBXV_CZL_FRM_CopyRight::ShowSingle(BXV_CZL_FRM_CopyRight, *shell_, cbt_CopyRight, lastInputs,
                                       messages_);
}

// The desktop's permission service grants any name; a platform that asks the user would name
// its storage permission here.
void TBXV_FRM_VORN1::cbt_SaveClick() {
    saveFlow_->Request(QString());
}

// Before the first show the frame is not known yet: the client area is centred, and the
// whole window once its frame is known.
void TBXV_FRM_VORN1::CentreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TBXV_FRM_VORN1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !centred_) {
        centred_ = true;
        FitToScreen();
        CentreOnScreen();
    }
}

// A screen whose free area is smaller than the design (a laptop at 150 % scaling offers about
// 650 units of height) would cut off the bottom row with "计算" and "退出": the whole window
// shrinks, proportions kept, until it fits. Where the design fits it stays 363 x 693 exactly.
void TBXV_FRM_VORN1::FitToScreen() {
    if (const QScreen* screen = this->screen()) {
        FitInto(screen->availableGeometry(), FrameMargins());
    }
}

void TBXV_FRM_VORN1::FitInto(const QRect& available, const QMargins& frame) {
    const double scale = pile::ui::FittingScale(pile::ui::kDesignSize, available, frame);
    const QSize size(static_cast<int>(std::lround(pile::ui::kDesignSize.width() * scale)),
                     static_cast<int>(std::lround(pile::ui::kDesignSize.height() * scale)));
    if (size != this->size()) {
        setFixedSize(size);
    }
}

// The window manager's frame around the client area; before it has framed the window, a title
// bar and a thin border as the style draws them.
QMargins TBXV_FRM_VORN1::FrameMargins() const {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    if (!margins.isNull()) {
        return margins;
    }
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QMargins(border, title + border, border, border);
}

void TBXV_FRM_VORN1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    MainFormLayer->setGeometry(rect());
    if (JieGuo_DocLayer != nullptr) {
        JieGuo_DocLayer->setGeometry(rect());
    }
}

void TBXV_FRM_VORN1::paintEvent(QPaintEvent*) {
    if (!bookScreenPosted_) {
        // Runs once this paint has been delivered and shown.
        bookScreenPosted_ = true;
        QTimer::singleShot(0, this, &TBXV_FRM_VORN1::EnsureBookScreen);
    }
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, pile::ui::colours::kDodgerBlue);
    background.setColorAt(1, Qt::white);
    painter.fillRect(rect(), background);
}

// ---------------------------------------------------------------- input panel
//
// The panel's rules are the model's (session/panel_model.h): each handler sends its event and
// the panel is drawn from the model's view. The window's own changes raise the handlers again
// while it draws; those are its drawing, not events, and pass.

void TBXV_FRM_VORN1::cbb_czgyChange() {
    PanelEvent([&] { panel_.PickProcess(cbb_czgy->currentIndex()); });
}

void TBXV_FRM_VORN1::cbe_ddChange() {
    CommitBox(pile::InputControl::Diameter);
}

void TBXV_FRM_VORN1::cbe_tyzdChange() {
    CommitBox(pile::InputControl::StraightLength);
}

void TBXV_FRM_VORN1::cbe_hrChange() {
    CommitBox(pile::InputControl::SocketDepth);
}

void TBXV_FRM_VORN1::cbb_hntChange() {
    PanelEvent([&] { panel_.PickGrade(cbb_hnt->currentIndex()); });
}

void TBXV_FRM_VORN1::edt_frkChange() {
    CommitBox(pile::InputControl::Frk);
}

void TBXV_FRM_VORN1::edt_fukChange() {
    CommitBox(pile::InputControl::Fuk);
}

// The box shows what it commits.
void TBXV_FRM_VORN1::CommitBox(pile::InputControl control) {
    const QString text = Box(control)->text();
    PanelEvent([&] {
        DrawnText(control) = text;
        panel_.CommitText(control, ToU16(text));
    });
}

void TBXV_FRM_VORN1::rdb_frkChange() {
    PanelEvent([&] {
        panel_.ChooseMode(rdb_frk->isChecked() ? pile::RockParameterMode::Frk
                                               : pile::RockParameterMode::Fuk);
    });
}

void TBXV_FRM_VORN1::rdb_fukChange() {
    PanelEvent([&] {
        panel_.ChooseMode(rdb_fuk->isChecked() ? pile::RockParameterMode::Fuk
                                               : pile::RockParameterMode::Frk);
    });
}

void TBXV_FRM_VORN1::cbb_jmlxChange() {
    PanelEvent([&] { panel_.ChooseSection(cbb_jmlx->currentIndex()); });
}

void TBXV_FRM_VORN1::PanelEvent(const std::function<void()>& event) {
    if (drawingPanel_) {
        return;
    }
    event();
    ShowPanel();
}

namespace {

// The list holds `items`; replaced only when it holds others, so that a redraw of the same
// list keeps it as it is.
template <typename Change>
bool ShowItems(QComboBox* list, Change* change, const pile::session::ListItems& items) {
    const QStringList wanted = ToQStringList(items);
    QStringList held;
    for (int i = 0; i < list->count(); ++i) {
        held.append(list->itemText(i));
    }
    if (held == wanted) {
        return false;
    }
    change->ReplaceItems(wanted);
    return true;
}

void ShowSelection(QComboBox* list, pile::ui::ListChange* change, int index) {
    if (list->currentIndex() != index) {
        change->Select(index);
    }
}

}  // namespace

// The one place where the input screen follows the model.
void TBXV_FRM_VORN1::ShowPanel() {
    using pile::InputControl;
    const pile::session::PanelView& view = panel_.View();
    const bool wasDrawing = std::exchange(drawingPanel_, true);
    (view.rockMode == pile::RockParameterMode::Frk ? rdb_frk : rdb_fuk)->setChecked(true);
    ShowItems(cbb_jmlx, jmlxChange_, view.sectionItems);
    ShowSelection(cbb_jmlx, jmlxChange_, view.section);
    // The names a screen reader speaks follow the labels.
    const bool relabelled = lb_dd->text() != ToQString(view.ddLabel) ||
                            lb_tyzd->text() != ToQString(view.tyzdLabel) ||
                            lb_kesair->text() != ToQString(view.coefficientName);
    lb_dd->setText(ToQString(view.ddLabel));
    lb_tyzd->setText(ToQString(view.tyzdLabel));
    lb_tyzd->setEnabled(view.tyzdEnabled);
    cbe_tyzd->setEnabled(view.tyzdEnabled);
    edt_frk->setEnabled(view.rockBox == InputControl::Frk);
    edt_fuk->setEnabled(view.rockBox == InputControl::Fuk);
    lb_kesair->setText(ToQString(view.coefficientName));
    lb_tiaowen->setText(ToQString(view.formula));
    ShowItems(cbb_czgy, czgyChange_, view.processItems);
    ShowSelection(cbb_czgy, czgyChange_, view.process);
    ShowSelection(cbb_hnt, hntChange_, view.grade);
    ShowText(InputControl::Diameter, false);
    ShowText(InputControl::StraightLength, ShowItems(cbe_tyzd, tyzdChange_, view.tyzdItems));
    ShowText(InputControl::SocketDepth, ShowItems(cbe_hr, hrChange_, view.hrItems));
    ShowText(InputControl::Frk, false);
    ShowText(InputControl::Fuk, false);
    for (const InputControl control : kBoxes) {
        if (const auto colour = view.Box(control).colour) {
            SetBoxColour(Box(control), Colour(*colour));
        }
    }
    for (const auto& [box, text] : {std::pair{edt_kesair, &view.coefficient},
                                    std::pair{edt_ra, &view.ra}, std::pair{edt_rc, &view.rc}}) {
        if (box->text() != ToQString(*text)) {
            box->setText(ToQString(*text));  // a text selected for copying stays selected
        }
    }
    // Once shown, the message label stays in place of the logo until the program ends.
    if (view.messageShown) {
        img_Logo->hide();
        lb_shuoming->show();
        QPalette palette = lb_shuoming->palette();
        palette.setColor(QPalette::WindowText, Colour(view.messageColour));
        lb_shuoming->setPalette(palette);
        lb_shuoming->setText(ToQString(view.message));
    }
    if (view.resultShown) {
        cbt_View->show();
        cbt_compute->hide();
    } else {
        cbt_compute->setEnabled(true);
        cbt_compute->show();
        cbt_View->hide();
    }
    ShowSelection(popbox_jingdu, jingduChange_, static_cast<int>(view.precision));
    popbox_jingdu->setVisible(view.precisionShown);
    drawingPanel_ = wasDrawing;
    if (relabelled) {
        NameControls();
    }
}

// A box is written when the model's text is not the one last drawn or committed there: a text
// typed and not yet committed stays as typed. An editable list shows its item when it holds it.
void TBXV_FRM_VORN1::ShowText(pile::InputControl control, bool itemsReplaced) {
    const QString wanted = ToQString(panel_.View().Box(control).text);
    QString& drawn = DrawnText(control);
    if (!itemsReplaced && drawn == wanted) {
        return;
    }
    drawn = wanted;
    const std::pair<QComboBox*, pile::ui::ComboTextChange*> lists[] = {
        {cbe_dd, ddChange_}, {cbe_tyzd, tyzdChange_}, {cbe_hr, hrChange_}};
    const auto index = static_cast<std::size_t>(control);
    if (index < std::size(lists)) {
        const auto [list, change] = lists[index];
        if (const int item = list->findText(wanted, Qt::MatchExactly); item >= 0) {
            change->Select(item);
        } else {
            change->SetText(wanted);
        }
        return;
    }
    (control == pile::InputControl::Frk ? frkChange_ : fukChange_)->SetText(wanted);
}

QString& TBXV_FRM_VORN1::DrawnText(pile::InputControl control) {
    return drawnTexts_[static_cast<std::size_t>(control)];
}

QColor TBXV_FRM_VORN1::Colour(pile::session::TextColour colour) {
    return colour == pile::session::TextColour::Red ? kRed : kBlack;
}

// Only the normal state: a disabled box keeps the style's grey.
void TBXV_FRM_VORN1::SetBoxColour(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Active, QPalette::Text, colour);
    palette.setColor(QPalette::Inactive, QPalette::Text, colour);
    box->setPalette(palette);
}

QLineEdit* TBXV_FRM_VORN1::Box(pile::InputControl control) const {
    switch (control) {
        case pile::InputControl::Diameter:
            return cbe_dd->lineEdit();
        case pile::InputControl::StraightLength:
            return cbe_tyzd->lineEdit();
        case pile::InputControl::SocketDepth:
            return cbe_hr->lineEdit();
        case pile::InputControl::Frk:
            return edt_frk;
        case pile::InputControl::Fuk:
            return edt_fuk;
    }
    return nullptr;
}

char16_t TBXV_FRM_VORN1::DecimalSeparator() {
    return pile::io::DecimalSeparator(QLocale::system());
}

// ---------------------------------------------------------------- compute action

void TBXV_FRM_VORN1::cbt_computeClick() {
    ComputeAction();
}

void TBXV_FRM_VORN1::cbt_JingDuClick() {
    PanelEvent([&] { panel_.TogglePrecision(); });
}

// A new precision picked in the shown pop-up is a whole new calculation, one record more.
void TBXV_FRM_VORN1::popbox_jingduChange() {
    const std::optional<pile::PrecisionMode> precision =
        pile::PrecisionModeFromIndex(popbox_jingdu->currentIndex());
    if (drawingPanel_ || !precision) {
        return;
    }
    if (panel_.PickPrecision(*precision)) {
        ComputeAction();
    } else {
        ShowPanel();
    }
}

void TBXV_FRM_VORN1::ComputeAction() {
    ComputeRecord(pile::io::CalculationTime(QLocale::system(), clock_()), DecimalSeparator());
}

void TBXV_FRM_VORN1::ComputeRecord(const QString& time, char16_t decimalSeparator,
                                   std::u16string_view mark,
                                   const pile::schedule::LoadTexts& loads) {
    EnsureBookScreen();  // its views follow the books from the first record on
    // Typed and not committed: the calculation reads the box as it stands.
    for (const pile::InputControl control : kBoxes) {
        if (const QString typed = Box(control)->text(); typed != DrawnText(control)) {
            DrawnText(control) = typed;
            panel_.TakeTyped(control, ToU16(typed));
        }
    }
    const pile::session::PanelUpdate update =
        panel_.Compute(session_, decimalSeparator, ToU16(time), mark, loads);
    ShowPanel();
    if (std::holds_alternative<pile::ValidationFailure>(update.outcome)) {
        return;
    }
    FollowBooks(update.booksChange);
    ShowBookScreenState();
    KeepRecords(session_.Records().size() - 1);
}

void TBXV_FRM_VORN1::FollowBooks(const pile::BooksChange& change) {
    meo_jisuanjieguo_Xls->BookChanged(change.table);
    meo_jisuanjieguo_Doc->BookChanged(change.text);
    if (bookWindow_) {
        bookWindow_->BooksChanged(change);
    }
    FollowProject();
}

// ---------------------------------------------------------------- book screen

void TBXV_FRM_VORN1::cbt_ViewClick() {
    EnsureBookScreen();
    MainFormLayer->hide();
    JieGuo_DocLayer->show();
    // Up by two and back: each memo lays its text out afresh at the size it had.
    for (pile::ui::BookView* memo : {meo_jisuanjieguo_Xls, meo_jisuanjieguo_Doc}) {
        const double size = memo->font().pointSizeF();
        pile::ui::SetPointSize(*memo, size + 2);
        pile::ui::SetPointSize(*memo, size);
    }
    KeyboardToScreen();
}

void TBXV_FRM_VORN1::cbt_ExitClick() {
    MainFormLayer->show();
    JieGuo_DocLayer->hide();
    KeyboardToScreen();
}

void TBXV_FRM_VORN1::cbt_PageBookClick() {
    session_.SwitchBook();
    ShowBookScreenState();
}

// The one place where the book screen follows the session: the book on show with its caption,
// and whether "保存" and "x" can be pressed.
void TBXV_FRM_VORN1::ShowBookScreenState() {
    if (JieGuo_DocLayer == nullptr) {
        return;  // built later, in the session's state of then
    }
    const pile::session::BookScreenState state = session_.BookScreen();
    meo_jisuanjieguo_Doc->setVisible(state.onShow == pile::Book::Text);
    meo_jisuanjieguo_Xls->setVisible(state.onShow == pile::Book::Table);
    cbt_PageBook->setText(ToQString(state.caption));
    cbt_Save->setEnabled(state.canSave);
    cbt_sanchu->setEnabled(state.canDelete);
}

void TBXV_FRM_VORN1::tcb_meoFontSizeChange() {
    const double size = tcb_meoFontSize->value() / double(kFontSizeSteps);
    pile::ui::SetPointSize(*meo_jisuanjieguo_Xls, size);
    pile::ui::SetPointSize(*meo_jisuanjieguo_Doc, size);
}

void TBXV_FRM_VORN1::cbt_sanchuClick() {
    FollowBooks(session_.DeleteLast());
    meo_jisuanjieguo_Xls->CaretToStart();
    meo_jisuanjieguo_Doc->CaretToStart();
    ShowBookScreenState();
    KeepBooksState();
}

// A schedule exported from a spreadsheet, read with the same code as pile_batch: every row
// that passes its checks becomes one record more, as if typed and computed; the refused rows
// are listed in one message box.
void TBXV_FRM_VORN1::ImportScheduleClick() {
    const QString path = dialogs_->askOpenFileName(
        this, QString::fromUtf16(kImportScheduleCaption), pile::io::DocumentsFolder().path,
        {QString::fromUtf16(kScheduleFilter), QString::fromUtf16(kAllFilesFilter)});
    if (!path.isEmpty()) {
        OpenSchedule(path);
    }
}

void TBXV_FRM_VORN1::OpenSchedule(const QString& path) {
    using pile::session::ImportChoice;
    ImportChoice choice = ImportChoice::Append;
    if (const auto question = pile::session::ImportQuestion(session_)) {
        choice = static_cast<ImportChoice>(Ask(*question));
    }
    if (choice == ImportChoice::Cancel) {
        return;
    }
    const bool replace = choice == ImportChoice::Replace;
    const QDateTime now = clock_();
    const QString time = pile::io::CalculationTime(QLocale::system(), now);
    const std::size_t before = session_.Records().size();
    EnsureBookScreen();
    // Thousands of rows take a while: their count in a dialog with 取消, which leaves the
    // books as they were.
    pile::ui::WorkProgress progress(this, QStringLiteral("正在导入桩表…"));
    const pile::session::ImportResult imported =
        session_.Import(std::filesystem::path(path.toStdU16String()), DecimalSeparator(),
                        ToU16(time), progress.Follower(), replace);
    if (imported.cancelled) {
        ShowWholeBooks();
        ShowBookScreenState();
        return;
    }
    if (!imported.read) {
        messages_->showError(ToQString(imported.message));
        return;
    }
    const std::size_t first = imported.replaced ? 0 : before;
    FollowBooks(imported.outcome.change);
    ShowBookScreenState();
    if (imported.replaced) {
        // The books before stay in the journal that held them; the schedule starts a new one.
        StartJournalAfresh(now);
    } else {
        KeepRecords(first);
    }
    if (imported.projectFields > 0 && !imported.replaced) {
        KeepBooksState();  // the project is the state's
    }
    if (session_.Records().size() > first) {
        ShowLastRecord();
    }
    if (JieGuo_DocLayer->isHidden()) {
        cbt_ViewClick();
    }
    if (!imported.message.empty()) {
        messages_->showMessage(ToQString(imported.message), {});
    }
}

// ---------------------------------------------------------------- session journal

void TBXV_FRM_VORN1::KeepRecords(std::size_t before) {
    ShowJournalWarning(keeper_->Recorded(session_, before));
}

void TBXV_FRM_VORN1::KeepBooksState() {
    ShowJournalWarning(keeper_->Changed(session_));
}

void TBXV_FRM_VORN1::StartJournalAfresh(const QDateTime& now) {
    ShowJournalWarning(keeper_->StartAfresh(session_, pile::io::JournalTimeOf(now)));
}

void TBXV_FRM_VORN1::ShowJournalWarning(const std::optional<std::u16string>& warning) {
    if (warning) {
        messages_->showMessage(ToQString(*warning), {});
    }
}

void TBXV_FRM_VORN1::OfferRecovery(const std::function<bool(const QString& question)>& ask) {
    const std::optional<pile::session::JournalKeeper::Offer> offer = keeper_->Unsaved();
    if (!offer) {
        return;
    }
    if (!ask(ToQString(pile::session::RecoveryQuestion(offer->recovery)))) {
        keeper_->Declined(*offer);
        return;
    }
    EnsureBookScreen();
    const std::optional<std::u16string> warning =
        keeper_->Restore(*offer, session_, pile::io::JournalTimeOf(clock_()));
    ShowWholeBooks();
    ShowBookScreenState();
    ShowLastRecord();
    ShowJournalWarning(warning);
}

// The books' last record stands in the panel as after its "计算", without a record more: after
// an import and a recovery alike.
void TBXV_FRM_VORN1::ShowLastRecord() {
    panel_.ShowLastRecord(session_);
    ShowPanel();
}

void TBXV_FRM_VORN1::ShowWholeBooks() {
    meo_jisuanjieguo_Doc->SetBook(&session_.Lines(pile::Book::Text));
    meo_jisuanjieguo_Xls->SetBook(&session_.Lines(pile::Book::Table));
    FollowProject();
}

void TBXV_FRM_VORN1::ShowSavedNotice(const QString& path) {
    ShowNotice(QStringLiteral("已保存到 %1").arg(path));
}

// For a few seconds at the foot of the screen shown, no box to close: the greyed "保存" alone
// does not say where the file went. Behind the book window it would not be seen: a box there.
void TBXV_FRM_VORN1::ShowNotice(const QString& text) {
    if (bookWindow_ && bookWindow_->isActiveWindow()) {
        messages_->showMessage(text, {});
        return;
    }
    const bool onBooks = JieGuo_DocLayer != nullptr && JieGuo_DocLayer->isVisible();
    QWidget* screen = onBooks ? JieGuo_DocLayer : MainFormLayer;
    if (savedNotice_ == nullptr) {
        savedNotice_ = new QLabel(screen);
        savedNotice_->setObjectName(QStringLiteral("lb_savedNotice"));
        savedNotice_->setWordWrap(true);
        savedNotice_->setAutoFillBackground(true);
        savedNotice_->setMargin(4);
        // Over the foot of the book, never in the way of a click.
        savedNotice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    } else if (savedNotice_->parentWidget() != screen) {
        savedNotice_->setParent(screen);
    }
    savedNotice_->setText(text);
    const QRect over = onBooks ? meo_jisuanjieguo_Doc->geometry() : screen->rect();
    savedNotice_->setFixedWidth(over.width() - 16);
    savedNotice_->adjustSize();
    // Above the book's scroll bar; on the input screen below its buttons, over the logo.
    savedNotice_->move(over.left() + 8,
                       over.bottom() - savedNotice_->height() - (onBooks ? 24 : 2));
    savedNotice_->raise();
    savedNotice_->show();
    const QPointer<QLabel> notice = savedNotice_;
    QTimer::singleShot(kSavedNoticeMs, savedNotice_, [notice, text] {
        if (notice && notice->text() == text) {
            notice->hide();
        }
    });
}

// One row per record in the books, with the time that ends it in the books, and the project's
// lines above the header: run through pile_batch or imported into a fresh window, the schedule
// gives these books and this project again. A workbook when the name ends in .xlsx.
void TBXV_FRM_VORN1::ExportScheduleClick() {
    pile::platform::SaveDialogRequest request;
    request.caption = QString::fromUtf16(kExportScheduleCaption);
    request.startPath =
        QDir(pile::io::DocumentsFolder().path).filePath(QString::fromUtf16(kExportScheduleName));
    request.filters = {QString::fromUtf16(kExportScheduleFilter),
                       QString::fromUtf16(kExportWorkbookFilter),
                       QString::fromUtf16(kAllFilesFilter)};
    request.selectedFilter = request.filters.front();
    const pile::platform::SaveDialogAnswer answer = dialogs_->askSaveFileName(this, request);
    if (answer.path.isEmpty()) {
        return;
    }
    QString path = answer.path;
    if (QFileInfo(path).suffix().isEmpty() &&
        answer.selectedFilter == QString::fromUtf16(kExportWorkbookFilter)) {
        path += QStringLiteral(".xlsx");
    }
    const auto& records = session_.Records();
    const auto& project = session_.Project();
    const pile::io::BookFileResult written = pile::io::WriteTemplateFile(
        path, pile::session::ScheduleOfRecords(records, project),
        [&](const std::string& file, const std::string& scratch) {
            return pile::session::WriteScheduleWorkbook(records, project, file, scratch);
        });
    if (!written.ok) {
        messages_->showError(
            QStringLiteral("桩表未能导出到文件\n%1\n%2").arg(written.path, written.error));
    }
}
