// The dialogs of printing and saving a book under a name of the user's choice and of opening a
// pile schedule, behind an interface so that the actions run and are tested without a display:
// Qt's save and open dialogs, the question before a file is replaced, and Qt's print dialog.
// The real ones: DesktopFileDialogs.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace pile::platform {

struct SaveDialogRequest {
    QString caption;
    QString startPath;  // folder and proposed file name
    QStringList filters;
    QString selectedFilter;  // one of `filters`
};

struct SaveDialogAnswer {
    QString path;            // empty: the user cancelled
    QString selectedFilter;  // the file type chosen last
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // QFileDialog::getSaveFileName: returns when the user has chosen a name or cancelled. The
    // dialog itself asks before an existing file of the chosen name is replaced.
    virtual SaveDialogAnswer askSaveFileName(QWidget* parent, const SaveDialogRequest& request) = 0;
    // May the existing file `path` be replaced? For a name the dialog did not ask about: the
    // chosen one with the file type's suffix added.
    virtual bool askReplace(QWidget* parent, const QString& path) = 0;
    // QPrintDialog on `printer`, whose pages are numbered 1 to `pageCount`: true when the user
    // chose to print; the dialog's choices (printer, copies, pages) are left in `printer`.
    virtual bool askPrint(QWidget* parent, QPrinter& printer, int pageCount) = 0;
    // QFileDialog::getOpenFileName: the chosen existing file, or the empty text when the user
    // cancelled.
    virtual QString askOpenFileName(QWidget* parent, const QString& caption,
                                    const QString& startFolder, const QStringList& filters) = 0;
};

class DesktopFileDialogs final : public FileDialogs {
  public:
    SaveDialogAnswer askSaveFileName(QWidget* parent, const SaveDialogRequest& request) override;
    bool askReplace(QWidget* parent, const QString& path) override;
    bool askPrint(QWidget* parent, QPrinter& printer, int pageCount) override;
    QString askOpenFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                            const QStringList& filters) override;
};

}  // namespace pile::platform
