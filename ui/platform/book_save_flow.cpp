#include "ui/platform/book_save_flow.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "io/documents_folder.h"
#include "io/file_error_text.h"
#include "io/output_files.h"

namespace pile::platform {

using io::BookCodec;
using io::BookFileName;
using io::BookFileResult;
using io::BookSaveFailureText;
using io::DocumentsFolder;
using io::DocumentsFolderResult;
using io::WriteBookFile;

BookSaveFlow::BookSaveFlow(PermissionService& permissions, MessagePresenter& messages, Hooks hooks,
                           BookCodec codec)
    : permissions_(permissions),
      messages_(messages),
      hooks_(std::move(hooks)),
      codec_(codec),
      self_(std::make_shared<BookSaveFlow*>(this)) {}

BookSaveFlow::~BookSaveFlow() = default;

void BookSaveFlow::Request(const QString& writePermission) {
    writePermission_ = writePermission;
    const std::weak_ptr<BookSaveFlow*> alive = self_;
    permissions_.request(
        QStringList{writePermission},
        [alive](const QStringList& names, const QList<PermissionAnswer>& answers) {
            if (const auto flow = alive.lock()) {
                (*flow)->StoragePermissionResult(names, answers);
            }
        },
        [alive](const QStringList& names, std::function<void()> proceed) {
            if (const auto flow = alive.lock()) {
                (*flow)->StoragePermissionRationale(names, std::move(proceed));
            }
        });
}

void BookSaveFlow::StoragePermissionRationale(const QStringList& names,
                                              std::function<void()> proceed) {
    QString explanation;
    for (const QString& name : names) {
        if (name == writePermission_) {
            explanation += QString::fromUtf16(kRationaleText);
        }
    }
    messages_.showMessage(explanation, std::move(proceed));
}

void BookSaveFlow::StoragePermissionResult(const QStringList& /*names*/,
                                           const QList<PermissionAnswer>& answers) {
    if (answers.size() != 1 || answers.front() != PermissionAnswer::Granted) {
        messages_.showMessage(QString::fromUtf16(kNoPermissionText), {});
        return;
    }
    if (hooks_.bookOnShow) {
        SaveBook(hooks_.bookOnShow());
    }
}

void BookSaveFlow::SaveBook(Book book) {
    const QString fileName = BookFileName(book);
    const DocumentsFolderResult folder = DocumentsFolder();
    if (folder.path.isEmpty()) {
        messages_.showError(BookSaveFailureText(fileName, folder.error));
        return;
    }
    const QString path = QDir(folder.path).filePath(fileName);
    if (!WrittenHere(path)) {
        const BookFileResult kept = io::KeepEarlierFile(folder.path, fileName);
        if (!kept.ok) {
            messages_.showError(
                BookSaveFailureText(QDir::toNativeSeparators(path),
                                    QStringLiteral("原有文件未能留存到 %1（%2），因此没有替换它")
                                        .arg(kept.path, kept.error)));
            return;
        }
    }
    static const std::vector<std::u16string> kEmptyBook;
    const std::vector<std::u16string>* lines = hooks_.bookLines ? hooks_.bookLines(book) : nullptr;
    const BookFileResult written =
        WriteBookFile(folder.path, fileName, lines ? *lines : kEmptyBook, codec_);
    if (!written.ok) {
        messages_.showError(BookSaveFailureText(written.path, written.error));
        return;
    }
    const QFileInfo info(path);
    std::erase_if(written_, [&](const Written& file) { return file.path == path; });
    written_.push_back({path, info.lastModified(), info.size()});
    if (hooks_.bookSaved) {
        hooks_.bookSaved(book);
    }
    if (hooks_.savedTo) {
        hooks_.savedTo(written.path);
    }
}

bool BookSaveFlow::WrittenHere(const QString& path) const {
    const QFileInfo info(path);
    return std::any_of(written_.begin(), written_.end(), [&](const Written& file) {
        return file.path == path && file.changed == info.lastModified() && file.size == info.size();
    });
}

}  // namespace pile::platform
