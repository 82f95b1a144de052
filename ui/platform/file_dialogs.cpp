#include "ui/platform/file_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace pile::platform {

SaveDialogAnswer DesktopFileDialogs::askSaveFileName(QWidget* parent,
                                                     const SaveDialogRequest& request) {
    SaveDialogAnswer answer;
    answer.selectedFilter = request.selectedFilter;
    answer.path = QFileDialog::getSaveFileName(parent, request.caption, request.startPath,
                                               request.filters.join(QStringLiteral(";;")),
                                               &answer.selectedFilter);
    return answer;
}

bool DesktopFileDialogs::askReplace(QWidget* parent, const QString& path) {
    // The question Qt's own save dialog asks, in Qt's own Chinese words.
    const QString question =
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .arg(QFileInfo(path).fileName());
    const QString caption = parent ? parent->window()->windowTitle() : QString();
    return QMessageBox::warning(parent, caption, question, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

bool DesktopFileDialogs::askPrint(QWidget* parent, QPrinter& printer, int pageCount) {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, qMax(1, pageCount));
    return dialog.exec() == QDialog::Accepted;
}

QString DesktopFileDialogs::askOpenFileName(QWidget* parent, const QString& caption,
                                            const QString& startFolder,
                                            const QStringList& filters) {
    return QFileDialog::getOpenFileName(parent, caption, startFolder,
                                        filters.join(QStringLiteral(";;")));
}

}  // namespace pile::platform
