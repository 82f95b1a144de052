// Beyond "保存": a book on paper, as a PDF, or under a name and folder of the engineer's choice.
// Each memo's context menu keeps the view's own "复制" and "全选" and adds "另存为…" (a text file
// in exactly the bytes "保存" writes, or a PDF, by the chosen name's suffix), "导出 PDF…" and
// "打印…"; on the book screen Ctrl+Shift+S saves as and Ctrl+P prints the book on show. The
// dialogs come through platform::FileDialogs, failures go to the message presenter's error box.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "books/calculation_books.h"
#include "io/book_file.h"

class QMenu;
class QWidget;

namespace pile::platform {
class FileDialogs;
class MessagePresenter;
}  // namespace pile::platform

namespace pile::ui {

struct PrintedBook;

inline constexpr char16_t kSaveAsText[] = u"另存为…";
inline constexpr char16_t kExportPdfText[] = u"导出 PDF…";
inline constexpr char16_t kPrintText[] = u"打印…";
inline constexpr char16_t kTextFileFilter[] = u"文本文件 (*.txt)";
inline constexpr char16_t kPdfFileFilter[] = u"PDF 文件 (*.pdf)";
// Spelled out: Windows binds no key to QKeySequence::SaveAs.
inline const QKeySequence kSaveAsKeys{Qt::CTRL | Qt::SHIFT | Qt::Key_S};
inline const QKeySequence kPrintKeys{Qt::CTRL | Qt::Key_P};

enum class ExportFormat { Text, Pdf };

struct ExportTarget {
    QString path;
    ExportFormat format = ExportFormat::Text;
    bool suffixAdded = false;  // the dialog did not ask about replacing this name
    friend bool operator==(const ExportTarget&, const ExportTarget&) = default;
};

// The file and its type from the save dialog's answer: a name ending in ".txt" or ".pdf" (any
// case) is of that type; any other name gets the suffix of the file type chosen in the dialog.
// With `pdfOnly` every name is a PDF.
ExportTarget ResolveExportTarget(const QString& chosenPath, const QString& selectedFilter,
                                 bool pdfOnly);

// The book as it goes on paper, its running header named after the file "保存" writes.
PrintedBook PrintedBookOf(Book book, const std::vector<std::u16string>& lines);

class BookExport final : public QObject {
  public:
    struct Hooks {
        std::function<const std::vector<std::u16string>&(Book)> bookLines;
        // A text file of the book was written and closed: its bit leaves UnsavedBookFlags, as
        // on "保存". A PDF or a print-out leaves the flags alone.
        std::function<void(Book)> bookSaved;
        // A file was written (`toPrinter` false: `where` is its path) or the pages went to the
        // printer named `where`: the user is told where.
        std::function<void(const QString& where, bool toPrinter)> delivered;
    };

    // `window`: the parent of the dialogs.
    BookExport(QWidget* window, platform::FileDialogs& dialogs,
               platform::MessagePresenter& messages, Hooks hooks,
               pile::io::BookCodec codec = pile::io::NativeBookCodec());

    void SaveAs(Book book);
    void ExportPdf(Book book);
    void Print(Book book);

    // Right click on `memo` opens the menu `standardMenu` makes (the view's own, with "复制" and
    // "全选") with the book's actions under it, then what `moreActions` adds. Sets the memo's
    // Qt::CustomContextMenu.
    void AttachMenu(QWidget* memo, Book book, std::function<QMenu*()> standardMenu,
                    std::function<void(QMenu&)> moreActions = {});
    // Appends the three actions for `book` to `menu`; disabled while the book is empty.
    void AddActions(QMenu& menu, Book book);
    // Ctrl+Shift+S and Ctrl+P while `screen` is shown, for the book `bookOnShow` names.
    void AddShortcuts(QWidget* screen, std::function<Book()> bookOnShow);

  private:
    void AskAndWrite(Book book, bool pdfOnly);
    void Write(Book book, const ExportTarget& target);
    const std::vector<std::u16string>& Lines(Book book) const;

    QPointer<QWidget> window_;
    platform::FileDialogs& dialogs_;
    platform::MessagePresenter& messages_;
    Hooks hooks_;
    pile::io::BookCodec codec_;
};

}  // namespace pile::ui
