#include "book_export.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPrinter>
#include <QShortcut>
#include <QWidget>
#include <utility>

#include "book_font.h"
#include "book_pages.h"
#include "io/documents_folder.h"
#include "io/file_error_text.h"
#include "io/output_files.h"
#include "program_title.h"
#include "ui/platform/file_dialogs.h"
#include "ui/platform/message_presenter.h"
#include "work_progress.h"

namespace pile::ui {
namespace {

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

// A book of a thousand records takes seconds to lay out: the pointer says so meanwhile.
class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString PdfName(const QString& textFileName) {
    return QFileInfo(textFileName).completeBaseName() + QStringLiteral(".pdf");
}

}  // namespace

ExportTarget ResolveExportTarget(const QString& chosenPath, const QString& selectedFilter,
                                 bool pdfOnly) {
    const QString suffix = QFileInfo(chosenPath).suffix().toLower();
    if (suffix == QLatin1String("pdf")) {
        return {chosenPath, ExportFormat::Pdf, false};
    }
    if (suffix == QLatin1String("txt") && !pdfOnly) {
        return {chosenPath, ExportFormat::Text, false};
    }
    const bool pdf = pdfOnly || selectedFilter == Text(kPdfFileFilter);
    // "name." asks for no suffix of its own: the type's suffix follows the dot already there.
    const QString dot = chosenPath.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    return {chosenPath + dot + (pdf ? QStringLiteral("pdf") : QStringLiteral("txt")),
            pdf ? ExportFormat::Pdf : ExportFormat::Text, true};
}

PrintedBook PrintedBookOf(Book book, const std::vector<std::u16string>& lines) {
    const QString title = QFileInfo(pile::io::BookFileName(book)).completeBaseName();
    return book == Book::Text ? PrintedTextBook(title, lines) : PrintedTableBook(title, lines);
}

BookExport::BookExport(QWidget* window, platform::FileDialogs& dialogs,
                       platform::MessagePresenter& messages, Hooks hooks, pile::io::BookCodec codec)
    : window_(window),
      dialogs_(dialogs),
      messages_(messages),
      hooks_(std::move(hooks)),
      codec_(codec) {}

const std::vector<std::u16string>& BookExport::Lines(Book book) const {
    static const std::vector<std::u16string> kEmptyBook;
    return hooks_.bookLines ? hooks_.bookLines(book) : kEmptyBook;
}

void BookExport::SaveAs(Book book) {
    AskAndWrite(book, false);
}

void BookExport::ExportPdf(Book book) {
    AskAndWrite(book, true);
}

void BookExport::AskAndWrite(Book book, bool pdfOnly) {
    if (Lines(book).empty()) {
        return;
    }
    const QString fileName = pile::io::BookFileName(book);
    platform::SaveDialogRequest request;
    request.caption = pdfOnly ? QStringLiteral("导出 PDF") : QStringLiteral("另存为");
    request.startPath =
        QDir(pile::io::DocumentsFolder().path).filePath(pdfOnly ? PdfName(fileName) : fileName);
    if (!pdfOnly) {
        request.filters.append(Text(kTextFileFilter));
    }
    request.filters.append(Text(kPdfFileFilter));
    request.selectedFilter = request.filters.front();

    const platform::SaveDialogAnswer answer = dialogs_.askSaveFileName(window_, request);
    if (answer.path.isEmpty()) {
        return;
    }
    const ExportTarget target = ResolveExportTarget(answer.path, answer.selectedFilter, pdfOnly);
    if (target.suffixAdded && QFileInfo::exists(target.path) &&
        !dialogs_.askReplace(window_, target.path)) {
        return;
    }
    Write(book, target);
}

void BookExport::Write(Book book, const ExportTarget& target) {
    const QFileInfo file(target.path);
    const QString folder = file.absolutePath();
    pile::io::BookFileResult written;
    if (target.format == ExportFormat::Text) {
        written = pile::io::WriteBookFile(folder, file.fileName(), Lines(book), codec_);
    } else {
        const WaitCursor busy;
        WorkProgress pages(window_, QStringLiteral("正在生成 PDF…"));
        // The PDF is made in memory and written whole: 取消 leaves no file behind.
        if (const auto pdf =
                BookPdf(PrintedBookOf(book, Lines(book)), BookFontFamily(), pages.Follower())) {
            written = pile::io::WriteBookFile(folder, file.fileName(), *pdf);
        } else if (pages.Cancelled()) {
            return;
        } else {
            written.path = QDir::toNativeSeparators(target.path);
            written.error = QStringLiteral("PDF 文件未能生成");
        }
    }
    if (!written.ok) {
        messages_.showError(pile::io::BookSaveFailureText(written.path, written.error));
        return;
    }
    if (target.format == ExportFormat::Text && hooks_.bookSaved) {
        hooks_.bookSaved(book);
    }
    if (hooks_.delivered) {
        hooks_.delivered(written.path, false);
    }
}

void BookExport::Print(Book book) {
    if (Lines(book).empty()) {
        return;
    }
    const PrintedBook printed = PrintedBookOf(book, Lines(book));
    const QString family = BookFontFamily();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(BookPageLayout(printed.orientation));
    printer.setDocName(printed.title);
    printer.setCreator(kProgramTitle);
    if (!dialogs_.askPrint(window_, printer, CountPages(printed, printer, family))) {
        return;
    }
    WorkProgress pages(window_, QStringLiteral("正在打印…"));
    const bool painted =
        PaintBook(printed, printer, family, printer.fromPage(), printer.toPage(), pages.Follower());
    if (pages.Cancelled()) {
        printer.abort();  // nothing more goes to the printer
        if (!printer.outputFileName().isEmpty()) {
            QFile::remove(printer.outputFileName());  // no partial file
        }
        return;
    }
    if (!painted || printer.printerState() == QPrinter::Error) {
        const QString where = printer.outputFileName().isEmpty()
                                  ? printer.printerName()
                                  : QDir::toNativeSeparators(printer.outputFileName());
        messages_.showError(QStringLiteral("计算书未能打印\n%1").arg(where));
        return;
    }
    if (hooks_.delivered) {
        const bool toPrinter = printer.outputFileName().isEmpty();
        hooks_.delivered(
            toPrinter ? printer.printerName() : QDir::toNativeSeparators(printer.outputFileName()),
            toPrinter);
    }
}

void BookExport::AddActions(QMenu& menu, Book book) {
    const bool hasLines = !Lines(book).empty();
    menu.addSeparator();
    const auto add = [&](const char16_t* text, const QKeySequence& keys,
                         void (BookExport::*act)(Book)) {
        QAction* action = menu.addAction(Text(text));
        action->setEnabled(hasLines);
        if (!keys.isEmpty()) {
            // Shown beside the item; the keys themselves belong to the book screen.
            action->setShortcut(keys);
            action->setShortcutContext(Qt::WidgetShortcut);
            action->setShortcutVisibleInContextMenu(true);
        }
        connect(action, &QAction::triggered, this, [this, act, book] { (this->*act)(book); });
    };
    add(kSaveAsText, kSaveAsKeys, &BookExport::SaveAs);
    add(kExportPdfText, QKeySequence(), &BookExport::ExportPdf);
    add(kPrintText, kPrintKeys, &BookExport::Print);
}

void BookExport::AttachMenu(QWidget* memo, Book book, std::function<QMenu*()> standardMenu,
                            std::function<void(QMenu&)> moreActions) {
    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo, &QWidget::customContextMenuRequested, this,
            [this, memo, book, standardMenu = std::move(standardMenu),
             moreActions = std::move(moreActions)](const QPoint& position) {
                QMenu* menu = standardMenu ? standardMenu() : nullptr;
                if (menu == nullptr) {
                    menu = new QMenu(memo);
                }
                AddActions(*menu, book);
                if (moreActions) {
                    moreActions(*menu);
                }
                menu->setAttribute(Qt::WA_DeleteOnClose);
                // A scroll area reports the position in its viewport's coordinates.
                const auto* area = qobject_cast<QAbstractScrollArea*>(memo);
                const QWidget* origin = area ? area->viewport() : memo;
                menu->popup(origin->mapToGlobal(position));
            });
}

void BookExport::AddShortcuts(QWidget* screen, std::function<Book()> bookOnShow) {
    // A shortcut of a hidden widget does not fire: the keys work on the book screen only.
    auto* saveAs = new QShortcut(kSaveAsKeys, screen);
    connect(saveAs, &QShortcut::activated, this, [this, bookOnShow] { SaveAs(bookOnShow()); });
    auto* print = new QShortcut(kPrintKeys, screen);
    connect(print, &QShortcut::activated, this, [this, bookOnShow] { Print(bookOnShow()); });
}

}  // namespace pile::ui
