// The main window: the input screen MainFormLayer and the book screen JieGuo_DocLayer.
//
// Each handler reads control texts and list positions, calls the panel session
// (session/panel_session.h: the compute step, the books, the book on show) or the panel's layout
// rules (session/panel_layout.h), and writes texts and colours back. The rules of when an input
// counts as changed live in change_events.h; the two book views draw the session's books.
// The controls are built in BXV_PAS_VORN1_form.cpp.
#pragma once

#include <QDateTime>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "session/book_questions.h"
#include "session/panel_layout.h"
#include "session/panel_model.h"
#include "session/panel_session.h"
#include "session/project_table.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;

namespace pile::platform {
class BookSaveFlow;
class FileDialogs;
class MessagePresenter;
class PermissionService;
class SystemShell;
}  // namespace pile::platform
class TBXV_CZL_FRM_CopyRight;

// What the window asks of the platform: the storage permission, message boxes and the system
// shell. Left empty, each is the desktop's own; tests lend their doubles.
struct WindowPlatform {
    pile::platform::PermissionService* permissions = nullptr;
    pile::platform::MessagePresenter* messages = nullptr;
    pile::platform::SystemShell* shell = nullptr;
    pile::platform::FileDialogs* dialogs = nullptr;  // save as, export PDF, print
    QString journalFolder =
        QString();  // the session journal's folder; empty: the program's data folder
};

namespace pile::io {
class FolderJournals;
}  // namespace pile::io
namespace pile::session {
class JournalKeeper;
}  // namespace pile::session
namespace pile::ui {
class BookExport;
class BookView;
class BookWindow;
class ComboTextChange;
class FindBar;
class ListChange;
class ClosedListWheelGuard;
class LogoStrip;
class ProjectWindow;
class RadioChange;
class ReturnPressesButton;
class ScaledLayer;
class TextChange;
class TextFit;
}  // namespace pile::ui

class TBXV_FRM_VORN1 : public QWidget {
    Q_OBJECT

  public:
    explicit TBXV_FRM_VORN1(QWidget* parent = nullptr);
    explicit TBXV_FRM_VORN1(WindowPlatform platform, QWidget* parent = nullptr);
    ~TBXV_FRM_VORN1() override;

    // The two books with PileCounter and UnsavedBookFlags; the memos show them.
    const pile::CalculationBooks& Books() const { return session_.Books(); }

    // The book window once opened, else nullptr.
    pile::ui::BookWindow* BookWindowIfOpened() const;
    // The project table's window once opened, else nullptr.
    pile::ui::ProjectWindow* ProjectWindowIfOpened() const;

    // The clock that dates each calculation; the local clock unless a test pins it.
    void SetClock(std::function<QDateTime()> clock);

    // Shrinks the window, proportions kept, until its frame fits `available` (a screen's free
    // area); where the design size fits, the window keeps it exactly.
    void FitInto(const QRect& available, const QMargins& frame);

    // At start, before the first interaction: when the previous session left records unsaved,
    // `ask` gets the question (true: restore); the books and the panel then stand as after
    // that session's last "计算".
    void OfferRecovery(const std::function<bool(const QString& question)>& ask);

    // A schedule named on the command line or dropped on the window, read as "导入桩表…" reads
    // the file it asks for: the question when the books hold records, the book screen after.
    void OpenSchedule(const QString& path);

    // The track bar moves in tenths of a point: 40 to 240 stand for 4 to 24 points.
    static constexpr int kFontSizeSteps = 10;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private Q_SLOTS:
    void cbt_tuichuClick();
    void cbt_CopyRightClick();

    void cbb_jmlxChange();
    void cbe_ddChange();
    void cbe_tyzdChange();
    void cbe_hrChange();
    void cbb_hntChange();
    void cbb_czgyChange();
    void edt_frkChange();
    void edt_fukChange();
    void rdb_frkChange();
    void rdb_fukChange();

    void cbt_computeClick();
    void cbt_JingDuClick();
    void popbox_jingduChange();

    void cbt_ViewClick();
    void cbt_ExitClick();
    void cbt_PageBookClick();
    void cbt_sanchuClick();
    void tcb_meoFontSizeChange();
    void cbt_SaveClick();
    // "导入桩表…" (Ctrl+O, both screens' menus): a pile schedule computed into the books.
    void ImportScheduleClick();
    // "导出桩表…" beside it: the inputs of every record in the books, as a schedule.
    void ExportScheduleClick();
    // BXV_PAS_VORN1_schedule.cpp: "新建计算书" and "生成桩表模板…".
    void NewBooksClick();
    void TemplateClick();
    void ReportClick();
    // "项目信息…" beside "导出计算书…": the project the report's cover names, kept by the session.
    void ProjectInfoClick();

  private:
    void CreateControls();    // the input screen; BXV_PAS_VORN1_form.cpp
    void CreateBookScreen();  // BXV_PAS_VORN1_form.cpp
    // The book screen, its memo font above all, plays no part in the first paint: it is built
    // right after it, or before it by the first handler that needs it.
    void EnsureBookScreen();
    void ConnectHandlers();
    void ConnectBookScreen();
    // BXV_PAS_VORN1_keyboard.cpp: Tab order, Return on buttons, shortcuts, accessible names.
    void ConnectKeyboard();
    void ConnectBookScreenKeyboard();
    void NameControls();
    // The keyboard follows a change of screen: into the book on show, or back to the first box.
    void KeyboardToScreen();
    // BXV_PAS_VORN1_book_window.cpp: the book window and the book screen's find bar.
    void ConnectBookWindow();
    void AddBookWindowAction(QMenu& menu);
    void OpenBookWindow();
    void EscapeOnBookScreen();
    // BXV_PAS_VORN1_project.cpp: the project table's window, "项目表…" and Ctrl+T.
    void ConnectProjectWindow(QWidget& window);
    void AddProjectAction(QMenu& menu);
    void OpenProjectWindow();
    void FollowProject();
    void ShowRecordOf(std::size_t index);
    void DesignClick();
    void ShowBookScreenState();
    void CentreOnScreen();
    void FitToScreen();
    QMargins FrameMargins() const;
    void FormClose(QCloseEvent* event);

    // Input panel: the model's event, then the panel drawn from its view.
    void PanelEvent(const std::function<void()>& event);
    void ShowPanel();
    void CommitBox(pile::InputControl control);
    void ShowText(pile::InputControl control, bool itemsReplaced);
    QString& DrawnText(pile::InputControl control);
    static QColor Colour(pile::session::TextColour colour);
    void SetBoxColour(QLineEdit* box, const QColor& colour);
    QLineEdit* Box(pile::InputControl control) const;
    static char16_t DecimalSeparator();

    // Compute action.
    void ComputeAction();
    // `mark`: a recovered record's 桩号, which names it in the books.
    void ComputeRecord(const QString& time, char16_t decimalSeparator,
                       std::u16string_view mark = {}, const pile::schedule::LoadTexts& loads = {});
    void FollowBooks(const pile::BooksChange& change);

    // The session journal (session/journal_keeper.h): after each change of the books.
    void KeepRecords(std::size_t before);
    void KeepBooksState();
    void StartJournalAfresh(const QDateTime& now);
    void ShowJournalWarning(const std::optional<std::u16string>& warning);
    // Today as the report's cover dates it, from the window's clock.
    QString ReportDate() const;
    void ShowLastRecord();
    void ShowWholeBooks();
    void ShowSavedNotice(const QString& path);
    // Where a file or a print went, for a few seconds on the screen shown.
    void ShowNotice(const QString& text);
    static constexpr int kSavedNoticeMs = 5000;

    // BXV_PAS_VORN1_schedule.cpp: Ctrl+O, Ctrl+N, the input screen's menu and drops.
    void ConnectScheduleActions();
    // 导入桩表…, 生成桩表模板… and 新建计算书, in the menus of both screens.
    void AddScheduleActions(QMenu& menu);
    std::size_t Ask(const pile::session::Question& question);

    void ConnectPlatform(WindowPlatform platform);
    void ConnectBookExport(pile::platform::FileDialogs* dialogs,
                           pile::platform::MessagePresenter& messages);

    pile::session::PanelSession session_;
    pile::session::PanelModel panel_{DecimalSeparator()};
    bool drawingPanel_ = false;  // ShowPanel's own changes raise the handlers: no events
    // The texts of the five boxes as last drawn or committed, in InputControl order.
    std::array<QString, 5> drawnTexts_;
    std::function<QDateTime()> clock_;
    std::unique_ptr<pile::io::FolderJournals> journals_;  // before the keeper that writes them
    std::unique_ptr<pile::session::JournalKeeper> keeper_;

    // The desktop's own services, for what the caller did not lend.
    std::unique_ptr<pile::platform::PermissionService> desktopPermissions_;
    std::unique_ptr<pile::platform::MessagePresenter> desktopMessages_;
    std::unique_ptr<pile::platform::SystemShell> desktopShell_;
    pile::platform::SystemShell* shell_ = nullptr;
    std::unique_ptr<pile::platform::BookSaveFlow> saveFlow_;
    std::unique_ptr<pile::platform::FileDialogs> desktopDialogs_;
    pile::platform::FileDialogs* dialogs_ = nullptr;
    pile::platform::MessagePresenter* messages_ = nullptr;
    std::unique_ptr<pile::ui::BookExport> bookExport_;
    // The about dialog, created on the first "©" and kept until the program ends.
    std::unique_ptr<TBXV_CZL_FRM_CopyRight> BXV_CZL_FRM_CopyRight;
    bool centred_ = false;
    bool bookScreenPosted_ = false;

    pile::ui::ScaledLayer* MainFormLayer = nullptr;
    pile::ui::ScaledLayer* JieGuo_DocLayer = nullptr;  // null until EnsureBookScreen

    // Input screen.
    QLabel* lb_cxm = nullptr;
    QPushButton* cbt_CopyRight = nullptr;
    QGroupBox* gpb_srcs = nullptr;
    QLabel* lb_jmlx = nullptr;
    QComboBox* cbb_jmlx = nullptr;
    QLabel* lb_dd = nullptr;
    QComboBox* cbe_dd = nullptr;
    QLabel* lb_tyzd = nullptr;
    QComboBox* cbe_tyzd = nullptr;
    QLabel* lb_hr = nullptr;
    QComboBox* cbe_hr = nullptr;
    QLabel* lb_hnt = nullptr;
    QComboBox* cbb_hnt = nullptr;
    QLabel* lb_czgy = nullptr;
    QComboBox* cbb_czgy = nullptr;
    QGroupBox* gpb_ysqdqz = nullptr;
    QRadioButton* rdb_fuk = nullptr;
    QLineEdit* edt_fuk = nullptr;
    QRadioButton* rdb_frk = nullptr;
    QLineEdit* edt_frk = nullptr;
    QGroupBox* gpb_scjg = nullptr;
    QPushButton* cbt_JingDu = nullptr;
    QComboBox* popbox_jingdu = nullptr;
    QLabel* lb_kesair = nullptr;
    QLineEdit* edt_kesair = nullptr;
    QLabel* lb_ra = nullptr;
    QLineEdit* edt_ra = nullptr;
    QLabel* lb_rc = nullptr;
    QLineEdit* edt_rc = nullptr;
    QLabel* lb_guifan = nullptr;
    QLabel* lb_tiaowen = nullptr;
    QPushButton* cbt_compute = nullptr;
    QPushButton* cbt_View = nullptr;
    QPushButton* cbt_tuichu = nullptr;
    pile::ui::LogoStrip* img_Logo = nullptr;
    QLabel* lb_shuoming = nullptr;

    // Book screen, built by EnsureBookScreen.
    QLabel* lb_jisuanjieguo = nullptr;
    QPushButton* cbt_PageBook = nullptr;
    pile::ui::BookView* meo_jisuanjieguo_Doc = nullptr;
    pile::ui::BookView* meo_jisuanjieguo_Xls = nullptr;
    QPushButton* cbt_sanchu = nullptr;
    QPushButton* cbt_Exit = nullptr;
    QPushButton* cbt_Save = nullptr;
    QSlider* tcb_meoFontSize = nullptr;
    QLabel* savedNotice_ = nullptr;  // where the last file went, for a few seconds

    // When each input counts as changed.
    pile::ui::ListChange* jmlxChange_ = nullptr;
    pile::ui::ComboTextChange* ddChange_ = nullptr;
    pile::ui::ComboTextChange* tyzdChange_ = nullptr;
    pile::ui::ComboTextChange* hrChange_ = nullptr;
    pile::ui::ListChange* hntChange_ = nullptr;
    pile::ui::ListChange* czgyChange_ = nullptr;
    pile::ui::TextChange* frkChange_ = nullptr;
    pile::ui::TextChange* fukChange_ = nullptr;
    pile::ui::RadioChange* frkModeChange_ = nullptr;
    pile::ui::RadioChange* fukModeChange_ = nullptr;
    pile::ui::ListChange* jingduChange_ = nullptr;

    // A wheel over a closed list changes nothing.
    pile::ui::ClosedListWheelGuard* wheelGuard_ = nullptr;
    pile::ui::ReturnPressesButton* returnPresses_ = nullptr;
    // The books in a window of their own, created on first use; the book screen's find bar.
    std::unique_ptr<pile::ui::BookWindow> bookWindow_;
    // The records as rows, followed from the first opening of their window on.
    pile::session::ProjectTable projectTable_;
    std::unique_ptr<pile::ui::ProjectWindow> projectWindow_;
    pile::ui::FindBar* bookFind_ = nullptr;
    // The three result boxes keep their whole text readable.
    QList<pile::ui::TextFit*> resultFits_;
};
