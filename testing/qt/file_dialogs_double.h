// A stand-in for the save and print dialogs, for tests: it records what it was asked and answers
// what the test set, without a display.
#pragma once

#include <QPrinter>
#include <QString>
#include <vector>

#include "ui/platform/file_dialogs.h"

namespace pile::platform {

class ScriptedFileDialogs final : public FileDialogs {
  public:
    SaveDialogAnswer askSaveFileName(QWidget* /*parent*/,
                                     const SaveDialogRequest& request) override {
        saveRequests.push_back(request);
        return {savePath, selectedFilter.isEmpty() ? request.selectedFilter : selectedFilter};
    }
    bool askReplace(QWidget* /*parent*/, const QString& path) override {
        replaceQuestions.push_back(path);
        return replace;
    }
    // With `printToPdf` set, the printer writes that PDF file instead of going to paper.
    bool askPrint(QWidget* /*parent*/, QPrinter& printer, int pageCount) override {
        printPageCounts.push_back(pageCount);
        if (printToPdf.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
        return true;
    }

    QString askOpenFileName(QWidget* /*parent*/, const QString& /*caption*/,
                            const QString& startFolder, const QStringList& filters) override {
        openRequests.push_back({startFolder, filters});
        return openPath;
    }

    // The answers; an empty savePath or openPath is a cancelled dialog.
    QString savePath;
    QString selectedFilter;  // empty: the one the request selected
    bool replace = false;
    QString printToPdf;
    QString openPath;

    std::vector<SaveDialogRequest> saveRequests;
    std::vector<QString> replaceQuestions;
    std::vector<int> printPageCounts;
    struct OpenRequest {
        QString startFolder;
        QStringList filters;
    };
    std::vector<OpenRequest> openRequests;
};

}  // namespace pile::platform
