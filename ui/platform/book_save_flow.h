// "保存": asks the permission service for the right to write to storage, then writes the book
// on show to its file in the documents folder and only then takes that book's bit off
// UnsavedBookFlags. The window lends the flow what it reads and changes through Hooks (the
// session's book on show and its books), read when the permission's answer arrives: where the
// platform asks the user, the book written is the one on show at the answer, not at the click.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "io/book_file.h"
#include "session/book_screen.h"
#include "ui/platform/message_presenter.h"
#include "ui/platform/permission_service.h"

namespace pile::platform {

inline constexpr char16_t kNoPermissionText[] = u"无权存盘";
inline constexpr char16_t kRationaleText[] = u"需要存贮权限，否则计算结果不能存盘";

class BookSaveFlow {
  public:
    struct Hooks {
        // The book on show on the book screen.
        std::function<Book()> bookOnShow;
        // The lines of a book; nullptr counts as an empty book.
        std::function<const std::vector<std::u16string>*(Book)> bookLines;
        // The file is written and closed: take the book's bit off UnsavedBookFlags and
        // disable cbt_Save.
        std::function<void(Book)> bookSaved;
        // Then: where the file went, for a notice that needs no box to close.
        std::function<void(const QString& path)> savedTo;
    };

    BookSaveFlow(PermissionService& permissions, MessagePresenter& messages, Hooks hooks,
                 io::BookCodec codec = io::NativeBookCodec());
    ~BookSaveFlow();
    BookSaveFlow(const BookSaveFlow&) = delete;
    BookSaveFlow& operator=(const BookSaveFlow&) = delete;

    // The body of cbt_SaveClick: asks for the one permission `writePermission` (empty on the
    // desktop, which grants it at once) and returns; nothing is written by the request itself.
    void Request(const QString& writePermission);

    // The permission service's two callbacks; public so that a test can call them directly.
    void StoragePermissionResult(const QStringList& names, const QList<PermissionAnswer>& answers);
    void StoragePermissionRationale(const QStringList& names, std::function<void()> proceed);

  private:
    void SaveBook(Book book);
    bool WrittenHere(const QString& path) const;

    PermissionService& permissions_;
    MessagePresenter& messages_;
    Hooks hooks_;
    io::BookCodec codec_;
    QString writePermission_;
    // The files this flow wrote, as it left them: another program's file, or an earlier
    // session's, is kept before it is replaced; this session's own is not.
    struct Written {
        QString path;
        QDateTime changed;
        qint64 size = 0;
    };
    std::vector<Written> written_;
    // Callbacks that arrive after the flow is gone find this expired and do nothing.
    std::shared_ptr<BookSaveFlow*> self_;
};

}  // namespace pile::platform
