// Schedules from anywhere and a fresh start: "导入桩表…" (Ctrl+O, the menus of both screens, a
// file dropped on the window, a file named on the command line), "生成桩表模板…" and
// "新建计算书" (Ctrl+N). What is asked before the books are added to or emptied:
// session/book_questions.h.
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <algorithm>
#include <functional>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "io/book_file.h"
#include "io/documents_folder.h"
#include "io/output_files.h"
#include "io/qt_text.h"
#include "io/workbook_file.h"
#include "project_info_dialog.h"
#include "report/docx_report.h"
#include "report/pdf/pdf_report.h"
#include "report/pdf/report_font.h"
#include "report/report_model.h"
#include "scaled_layer.h"
#include "schedule/schedule.h"
#include "session/book_questions.h"
#include "session/xlsx_results.h"
#include "ui/platform/file_dialogs.h"
#include "ui/platform/message_presenter.h"
#include "work_progress.h"

namespace {

constexpr char16_t kTemplateText[] = u"生成桩表模板…";
constexpr char16_t kTemplateCaption[] = u"生成桩表模板";
constexpr char16_t kTemplateName[] = u"桩表样例.xlsx";
constexpr char16_t kNewBooksText[] = u"新建计算书";
constexpr char16_t kReportText[] = u"导出计算书…";
constexpr char16_t kReportCaption[] = u"导出计算书";
constexpr char16_t kProjectText[] = u"项目信息…";
constexpr char16_t kImportText[] = u"导入桩表…";

const QKeySequence kImportKeys(Qt::CTRL | Qt::Key_O);
const QKeySequence kNewBooksKeys(Qt::CTRL | Qt::Key_N);

// A drop names one local schedule file: the same suffixes as the import's file filter.
QString DroppedSchedule(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) {
        return {};
    }
    const QString path = url.toLocalFile();
    const QString suffix = QFileInfo(path).suffix();
    const bool schedule = suffix.compare(u"xlsx", Qt::CaseInsensitive) == 0 ||
                          suffix.compare(u"csv", Qt::CaseInsensitive) == 0;
    return schedule ? path : QString();
}

// A schedule dropped on the window is imported; on a box of the input screen too, which would
// otherwise take its path as dropped text.
class ScheduleDropsToWindow : public QObject {
  public:
    ScheduleDropsToWindow(QObject* parent, std::function<void(const QString&)> open)
        : QObject(parent), open_(std::move(open)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
            return false;
        }
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedSchedule(drop->mimeData());
        if (path.isEmpty()) {
            return false;
        }
        drop->acceptProposedAction();
        if (type == QEvent::Drop) {
            open_(path);
        }
        return true;
    }

  private:
    std::function<void(const QString&)> open_;
};

// The file the user chose to write: a name typed without a suffix gets the suffix of the type
// picked (`suffixes` beside `request.filters`), and a file of that name is asked about again,
// since the dialog asked about the name as typed. Empty when the user cancels.
QString ChosenSavePath(pile::platform::FileDialogs& dialogs, QWidget* parent,
                       const pile::platform::SaveDialogRequest& request,
                       const QStringList& suffixes) {
    const pile::platform::SaveDialogAnswer answer = dialogs.askSaveFileName(parent, request);
    if (answer.path.isEmpty() || !QFileInfo(answer.path).suffix().isEmpty()) {
        return answer.path;
    }
    const qsizetype picked = request.filters.indexOf(answer.selectedFilter);
    const QString path = answer.path + suffixes.value(std::max<qsizetype>(picked, 0));
    return QFileInfo::exists(path) && !dialogs.askReplace(parent, path) ? QString() : path;
}

// The report as the chosen file's suffix asks: a PDF for ".pdf", a Word document otherwise.
std::variant<QByteArray, std::u16string> ReportBytes(const QString& path,
                                                     const pile::report::ReportContent& content,
                                                     const pile::report::ProjectInfo& project,
                                                     const pile::report::ReportProgress& progress) {
    if (QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0) {
        static const pile::report::ReportFont font = [] {
            pile::report::ReportFont loaded =
                pile::report::LoadReportFont(QCoreApplication::applicationDirPath());
            if (!loaded.warning.empty()) {
                qWarning("%s", QString::fromStdU16String(loaded.warning).toUtf8().constData());
            }
            return loaded;
        }();
        return pile::report::PdfReport(content, project, pile::report::ThisProgram(), font.family,
                                       progress);
    }
    auto docx = pile::report::DocxReport(content, project, pile::report::ThisProgram(), progress);
    if (const auto* bytes = std::get_if<std::string>(&docx)) {
        return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
    }
    return std::get<std::u16string>(std::move(docx));
}

}  // namespace

using pile::io::ToQString;
using pile::io::ToU16;

void TBXV_FRM_VORN1::ConnectScheduleActions() {
    for (const auto& [keys, action] : {std::pair{kImportKeys, &TBXV_FRM_VORN1::ImportScheduleClick},
                                       std::pair{kNewBooksKeys, &TBXV_FRM_VORN1::NewBooksClick}}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
    // A right click on the input screen's background; its boxes keep their own menus.
    MainFormLayer->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MainFormLayer, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        AddScheduleActions(menu);
        menu.exec(MainFormLayer->mapToGlobal(at));
    });
    setAcceptDrops(true);
    auto* drops = new ScheduleDropsToWindow(this, [this](const QString& path) {
        // After the drop has ended: the source's drag must not wait for the import's questions.
        QMetaObject::invokeMethod(
            this, [this, path] { OpenSchedule(path); }, Qt::QueuedConnection);
    });
    installEventFilter(drops);
    for (QLineEdit* box : MainFormLayer->findChildren<QLineEdit*>()) {
        box->installEventFilter(drops);
    }
}

void TBXV_FRM_VORN1::AddScheduleActions(QMenu& menu) {
    QAction* import =
        menu.addAction(QString::fromUtf16(kImportText), this, &TBXV_FRM_VORN1::ImportScheduleClick);
    import->setShortcut(kImportKeys);
    import->setShortcutVisibleInContextMenu(true);
    menu.addAction(QString::fromUtf16(kTemplateText), this, &TBXV_FRM_VORN1::TemplateClick);
    menu.addAction(QString::fromUtf16(kReportText), this, &TBXV_FRM_VORN1::ReportClick)
        ->setEnabled(session_.PileCounter() > 0);
    menu.addAction(QString::fromUtf16(kProjectText), this, &TBXV_FRM_VORN1::ProjectInfoClick);
    QAction* fresh =
        menu.addAction(QString::fromUtf16(kNewBooksText), this, &TBXV_FRM_VORN1::NewBooksClick);
    fresh->setShortcut(kNewBooksKeys);
    fresh->setShortcutVisibleInContextMenu(true);
}

std::size_t TBXV_FRM_VORN1::Ask(const pile::session::Question& question) {
    return messages_->askChoice(ToQString(question.text), pile::io::ToQStringList(question.answers),
                                question.enter, question.escape);
}

// The books, the records and the results go; the journal so far stays among the kept ones.
void TBXV_FRM_VORN1::NewBooksClick() {
    using pile::session::NewBooksChoice;
    if (const auto question = pile::session::NewBooksQuestion(session_)) {
        if (static_cast<NewBooksChoice>(Ask(*question)) != NewBooksChoice::Empty) {
            return;
        }
    }
    EnsureBookScreen();
    FollowBooks(session_.Clear());
    StartJournalAfresh(clock_());
    if (session_.Project() != pile::session::ProjectInfo()) {
        KeepBooksState();  // the new journal keeps the project, which stays
    }
    ShowWholeBooks();
    ShowBookScreenState();
    panel_.NewBooks();
    ShowPanel();
}

// The template pile_batch --template writes, where the user chooses; a workbook unless the
// user picks the CSV type.
void TBXV_FRM_VORN1::TemplateClick() {
    pile::platform::SaveDialogRequest request;
    request.caption = QString::fromUtf16(kTemplateCaption);
    request.startPath =
        QDir(pile::io::DocumentsFolder().path).filePath(QString::fromUtf16(kTemplateName));
    request.filters = {QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("桩表 (*.csv)")};
    request.selectedFilter = request.filters.front();
    const QString path =
        ChosenSavePath(*dialogs_, this, request, {QStringLiteral(".xlsx"), QStringLiteral(".csv")});
    if (path.isEmpty()) {
        return;
    }
    const pile::io::BookFileResult written = pile::io::WriteTemplateFile(
        path, pile::schedule::ScheduleTemplate(), pile::session::WriteTemplateWorkbook);
    if (!written.ok) {
        messages_->showError(
            QStringLiteral("桩表模板未能写出到文件\n%1\n%2").arg(written.path, written.error));
        return;
    }
    ShowSavedNotice(written.path);
}

QString TBXV_FRM_VORN1::ReportDate() const {
    return clock_().date().toString(QStringLiteral("yyyy年M月d日"));
}

void TBXV_FRM_VORN1::ProjectInfoClick() {
    pile::ui::ProjectInfoDialog dialog(this, session_.Project(), ReportDate());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    session_.SetProject(dialog.Project());
    KeepBooksState();  // the journal's state keeps the project
}

// The calculation report of the books' records as a Word document or a PDF, where the user
// chooses, with the session's project on its cover (dated today when it has no date) and the
// file named after the project when it has a name.
void TBXV_FRM_VORN1::ReportClick() {
    if (session_.PileCounter() == 0) {
        return;
    }
    pile::report::ProjectInfo project = session_.Project();
    if (project.date.empty()) {
        project.date = ToU16(ReportDate());
    }
    QString name = QFileInfo(pile::io::ReportFileName()).fileName();
    if (!project.name.empty()) {
        // Characters no file name may hold on Windows become "_".
        QString projectName = ToQString(project.name);
        for (QChar& c : projectName) {
            if (QStringView(u"\\/:*?\"<>|").contains(c) || c.unicode() < 0x20) {
                c = u'_';
            }
        }
        name = projectName + u'_' + name;
    }
    pile::platform::SaveDialogRequest request;
    request.caption = QString::fromUtf16(kReportCaption);
    request.startPath = QDir(pile::io::DocumentsFolder().path).filePath(name);
    request.filters = {QStringLiteral("Word 文档 (*.docx)"), QStringLiteral("PDF 文档 (*.pdf)")};
    request.selectedFilter = request.filters.front();
    const QString path =
        ChosenSavePath(*dialogs_, this, request, {QStringLiteral(".docx"), QStringLiteral(".pdf")});
    if (path.isEmpty()) {
        return;
    }
    pile::ui::WorkProgress progress(this, QStringLiteral("正在生成计算书…"));
    const auto bytes =
        ReportBytes(path,
                    pile::report::GatherReport(session_.Records(),
                                               pile::report::ChecksOfRecords(session_.Records())),
                    project, progress.Follower());
    if (progress.Cancelled()) {
        return;  // nothing written
    }
    if (const auto* why = std::get_if<std::u16string>(&bytes)) {
        messages_->showError(QStringLiteral("计算书未能导出\n%1").arg(ToQString(*why)));
        return;
    }
    const QFileInfo file(path);
    const pile::io::BookFileResult written =
        pile::io::WriteBookFile(file.absolutePath(), file.fileName(), std::get<QByteArray>(bytes));
    if (!written.ok) {
        messages_->showError(
            QStringLiteral("计算书未能写出到文件\n%1\n%2").arg(written.path, written.error));
        return;
    }
    ShowSavedNotice(written.path);
}
