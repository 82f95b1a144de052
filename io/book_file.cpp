#include "io/book_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QStringEncoder>
#include <QStringView>
#include <cerrno>
#include <limits>
#include <memory>
#include <new>

#include "io/file_error_text.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pile::io {
namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Stateless: every line is encoded on its own, so a broken surrogate at the end of one line
// becomes "?" there and cannot pair with the next line across the CR LF.
QStringEncoder MakeEncoder(BookCodec codec) {
    constexpr auto kFlags = QStringConverter::Flag::Stateless;
    switch (codec) {
        case BookCodec::Gbk:
            // Debian's Qt takes GBK from ICU, which maps like Windows' code page 936 (on
            // Windows itself EncodeCodePage936 asks the system).
            return QStringEncoder("GBK", kFlags);
        case BookCodec::SystemAnsi:
            return QStringEncoder(QStringConverter::System, kFlags);
        case BookCodec::Utf8WithBom:
            return QStringEncoder(QStringConverter::Utf8, kFlags);
    }
    return QStringEncoder();
}

// A surrogate without its partner is no character: it becomes "?" like any character the code
// page lacks (left to the encoder, a lone high surrogate at the end of a line would vanish).
bool HasBrokenSurrogate(QStringView line) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            ++i;
        } else if (line[i].isSurrogate()) {
            return true;
        }
    }
    return false;
}

QString MendSurrogates(QStringView line) {
    QString mended;
    mended.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            mended.append(line[i]);
            mended.append(line[++i]);
        } else {
            mended.append(line[i].isSurrogate() ? QLatin1Char('?') : line[i]);
        }
    }
    return mended;
}

QStringView View(const std::u16string& line) {
    return QStringView(line.data(), static_cast<qsizetype>(line.size()));
}
QStringView View(const QString& line) {
    return QStringView(line);
}

#ifdef Q_OS_WIN
// Code page 936 as Windows itself maps it: Qt built without ICU knows no code page by name.
std::optional<QByteArray> EncodeCodePage936(QStringView line) {
    if (line.isEmpty()) {
        return QByteArray();
    }
    if (line.size() > std::numeric_limits<int>::max() / 2) {
        return std::nullopt;
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(line.utf16());
    const int units = static_cast<int>(line.size());
    const int size = WideCharToMultiByte(936, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::nullopt;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    if (WideCharToMultiByte(936, 0, wide, units, bytes.data(), size, nullptr, nullptr) != size) {
        return std::nullopt;
    }
    return bytes;
}
#endif

#ifdef Q_OS_WIN
// Windows' ANSI code pages turn each half of a character beyond the BMP into a default
// character: here, as elsewhere, one character that the code page lacks becomes one "?".
QString OneMarkPerCharacter(QStringView line) {
    QString mended;
    mended.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            ++i;
            mended.append(QLatin1Char('?'));
        } else {
            mended.append(line[i].isSurrogate() ? QLatin1Char('?') : line[i]);
        }
    }
    return mended;
}

template <typename Encode>
auto WithoutSupplementaryCharacters(Encode encode) {
    return [encode](QStringView line) -> std::optional<QByteArray> {
        for (const QChar unit : line) {
            if (unit.isSurrogate()) {
                const QString mended = OneMarkPerCharacter(line);
                return encode(QStringView(mended));
            }
        }
        return encode(line);
    };
}
#endif

// The lines encoded one by one by `encode` (QStringView -> optional bytes), CR LF between them.
template <typename Lines, typename Encode>
std::optional<QByteArray> JoinEncodedLines(const Lines& lines, BookCodec codec, qsizetype reserve,
                                           Encode encode) {
    QByteArray bytes;
    bytes.reserve(reserve + 3);
    if (codec == BookCodec::Utf8WithBom) {
        bytes.append(kUtf8Bom, 3);
    }
    bool first = true;
    for (const auto& line : lines) {
        if (!first) {
            // Every ANSI code page keeps ASCII, so CR LF are the bytes 0D 0A in all of them.
            bytes.append(kCrLf, 2);
        }
        first = false;
        const QStringView view = View(line);
        const std::optional<QByteArray> encoded =
            HasBrokenSurrogate(view) ? encode(QStringView(MendSurrogates(view))) : encode(view);
        if (!encoded) {
            return std::nullopt;
        }
        bytes.append(*encoded);
    }
    return bytes;
}

template <typename Lines>
std::optional<QByteArray> EncodeLines(const Lines& lines, BookCodec codec) {
    qsizetype units = 0;
    for (const auto& line : lines) {
        units += static_cast<qsizetype>(line.size()) + 2;
    }
#ifdef Q_OS_WIN
    if (codec == BookCodec::Gbk) {
        return JoinEncodedLines(lines, codec, units * 2,
                                WithoutSupplementaryCharacters(EncodeCodePage936));
    }
#endif
    QStringEncoder encoder = MakeEncoder(codec);
    if (!encoder.isValid()) {
        return std::nullopt;
    }
    const auto encode = [&encoder](QStringView line) -> std::optional<QByteArray> {
        return QByteArray(encoder.encode(line));
    };
#ifdef Q_OS_WIN
    if (codec == BookCodec::SystemAnsi) {
        return JoinEncodedLines(lines, codec, encoder.requiredSpace(units),
                                WithoutSupplementaryCharacters(encode));
    }
#endif
    return JoinEncodedLines(lines, codec, encoder.requiredSpace(units), encode);
}

// No write permission for anybody: the owner marked the file read-only.
bool MarkedReadOnly(const QFileInfo& file) {
    // WriteUser is left out: Qt answers it for the running user, who may be an administrator.
    constexpr QFileDevice::Permissions kAnyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (file.permissions() & kAnyWrite) == 0;
}

QString FullPath(const QString& folder, const QString& fileName) {
    return QDir::toNativeSeparators(QDir(folder).filePath(fileName));
}

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The error number of the file call that just failed. Windows' file calls do not set errno:
// there the kind of failure alone chooses the text.
int LastErrorNumber() {
#ifdef Q_OS_UNIX
    return errno;
#else
    return 0;
#endif
}

QString Reason(int error, const char16_t* withoutNumber) {
    return error != 0 ? FileErrorReason(error) : Text(withoutNumber);
}

// Whether a new file can be made in `folder`, as the temporary file needs. (QSaveFile writes
// in place only on Unix-like systems; elsewhere the answer does not matter.)
bool FolderTakesNewFiles(const QString& folder) {
#ifdef Q_OS_UNIX
    // With the effective user's rights, as the open of the temporary file will have them.
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) ==
           0;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

// Written in place there is no second copy: a disk that cannot hold what the book grows by
// is refused before the earlier file is touched.
bool RoomToGrow(const QString& folder, qint64 growth) {
    if (growth <= 0) {
        return true;
    }
    const QStorageInfo disk(folder);
    return !disk.isValid() || disk.bytesAvailable() >= growth;
}

// After a failed write in place: the earlier content back, unless the file still holds it.
bool PutBack(const QString& path, const QByteArray& earlier) {
    if (ReadWholeFile(path) == earlier) {
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(earlier) != earlier.size()) {
        return false;
    }
    file.close();
    return file.error() == QFileDevice::NoError;
}

QString WithEarlierPutBack(const QString& reason, const QString& path,
                           const std::optional<QByteArray>& earlier) {
    if (!earlier || PutBack(path, *earlier)) {
        return reason;
    }
    return reason + QStringLiteral("；原有文件未能恢复");
}

// The rename is an entry in the folder: until the folder is flushed too, a power cut right
// after the save may keep the old entry or none. Returns the error number, 0 when flushed or
// when the folder cannot be opened for it (the file is in place then all the same).
int FlushFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    int error = 0;
    // EINVAL: a file system that cannot flush a folder; there is nothing more to do.
    if (::fsync(fd) != 0 && errno != EINVAL) {
        error = errno;
    }
    ::close(fd);
    return error;
#else
    // NTFS records the rename in its journal.
    Q_UNUSED(folder);
    return 0;
#endif
}

// Qt versions differ in what a QSaveFile destroyed while open does with what it wrote; some
// remove it, which after the fall back to writing in place is the book file itself. So a
// failed save always ends through commit(), which never removes the file it wrote in place.
class EndWithoutRemoving {
  public:
    explicit EndWithoutRemoving(QSaveFile& file) : file_(file) {}
    ~EndWithoutRemoving() {
        if (file_.isOpen()) {
            file_.cancelWriting();
            file_.commit();
        }
    }
    EndWithoutRemoving(const EndWithoutRemoving&) = delete;
    EndWithoutRemoving& operator=(const EndWithoutRemoving&) = delete;

  private:
    QSaveFile& file_;
};

// The reason the book was not written, or the empty text once it is written whole.
QString WriteWhole(const QString& path, const QByteArray& bytes) {
    const QFileInfo existing(path);
    if (existing.isDir()) {
        return Text(kFolderOfThatNameText);
    }
    if (existing.isFile() && MarkedReadOnly(existing)) {
        return Text(kReadOnlyFileText);
    }
    // QSaveFile writes the target of a link, and makes its temporary file beside that.
    const QFileInfo target(existing.isSymLink() && existing.exists() ? existing.canonicalFilePath()
                                                                     : path);
    QSaveFile file(path);
    std::optional<QByteArray> earlier;
    if (target.isFile() && !FolderTakesNewFiles(target.absolutePath())) {
        // A temporary file and a rename need a folder that takes new files; a shared folder
        // may refuse them and still let the user change the book file in it. Saving asks only
        // that the file be written anew, so it is written in place. That has no second copy
        // to fall back on: the earlier content is read first, so that a failed write can put
        // it back.
        file.setDirectWriteFallback(true);
        earlier = ReadWholeFile(target.filePath());
        if (!earlier) {
            return QStringLiteral("原有文件无法读取，为免丢失未予改写");
        }
        if (!RoomToGrow(target.absolutePath(), bytes.size() - earlier->size())) {
            return Text(kNoSpaceText);
        }
    }
    // Unbuffered: the bytes reach the file inside write(), where a disk that fills part-way
    // shows as a short count. Through Qt's buffer they would reach it in commit(), which in Qt
    // 6.4 does not notice a failed flush and puts the cut-off book in place of the earlier one.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = LastErrorNumber();
        // Without an error number (Windows) a missing folder is still told apart by looking.
        const QFileInfo folder(target.absolutePath());
        if (error == 0 && !folder.isDir()) {
            return FileErrorReason(folder.exists() ? ENOTDIR : ENOENT);
        }
        return Reason(error, kCannotCreateText);
    }
    const EndWithoutRemoving end(file);
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const int error = LastErrorNumber();
        const bool diskFull = written >= 0 || file.error() == QFileDevice::ResourceError;
        file.cancelWriting();
        file.commit();
        // A short count is the disk taking part of the book and refusing the rest; Qt records
        // no error for it.
        return WithEarlierPutBack(diskFull ? Text(kNoSpaceText) : Reason(error, kWriteFailedText),
                                  target.filePath(), earlier);
    }
    errno = 0;
    if (!file.commit()) {
        return WithEarlierPutBack(Reason(LastErrorNumber(), kCannotReplaceText), target.filePath(),
                                  earlier);
    }
    if (!earlier) {
        if (const int error = FlushFolder(target.absolutePath())) {
            return FileErrorReason(error);
        }
    }
    return {};
}

}  // namespace

std::optional<QByteArray> ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

BookCodec NativeBookCodec() {
#ifdef Q_OS_WIN
    return GetACP() == CP_UTF8 ? BookCodec::Utf8WithBom : BookCodec::SystemAnsi;
#else
    return BookCodec::Gbk;
#endif
}

std::optional<QByteArray> EncodeBook(const std::vector<std::u16string>& lines, BookCodec codec) {
    return EncodeLines(lines, codec);
}

std::optional<QByteArray> EncodeBook(const QStringList& lines, BookCodec codec) {
    return EncodeLines(lines, codec);
}

BookFileResult WriteBookFile(const QString& folder, const QString& fileName,
                             const QByteArray& bytes) {
    BookFileResult result;
    try {
        result.path = FullPath(folder, fileName);
        result.error = WriteWhole(QDir(folder).filePath(fileName), bytes);
        result.ok = result.error.isEmpty();
    } catch (const std::bad_alloc&) {
        result.ok = false;
        result.error = Text(kOutOfMemoryText);
    }
    return result;
}

namespace {

template <typename Lines>
BookFileResult EncodeAndWrite(const QString& folder, const QString& fileName, const Lines& lines,
                              BookCodec codec) {
    BookFileResult failed;
    try {
        failed.path = FullPath(folder, fileName);
        const std::optional<QByteArray> bytes = EncodeBook(lines, codec);
        if (bytes) {
            return WriteBookFile(folder, fileName, *bytes);
        }
        failed.error = QStringLiteral("此系统不能以所需的编码写文件");
    } catch (const std::bad_alloc&) {
        failed.error = Text(kOutOfMemoryText);
    }
    return failed;
}

}  // namespace

BookFileResult WriteBookFile(const QString& folder, const QString& fileName,
                             const std::vector<std::u16string>& lines, BookCodec codec) {
    return EncodeAndWrite(folder, fileName, lines, codec);
}

BookFileResult WriteBookFile(const QString& folder, const QString& fileName,
                             const QStringList& lines, BookCodec codec) {
    return EncodeAndWrite(folder, fileName, lines, codec);
}

BookFileResult WriteFileSet(const QString& folder, const std::vector<NamedBytes>& files) {
    BookFileResult result;
    try {
        std::vector<std::unique_ptr<QSaveFile>> written;
        for (const NamedBytes& file : files) {
            result.path = FullPath(folder, file.fileName);
            const QFileInfo existing(QDir(folder).filePath(file.fileName));
            if (existing.isDir()) {
                result.error = Text(kFolderOfThatNameText);
                return result;
            }
            if (existing.isFile() && MarkedReadOnly(existing)) {
                result.error = Text(kReadOnlyFileText);
                return result;
            }
            auto& out = written.emplace_back(
                std::make_unique<QSaveFile>(QDir(folder).filePath(file.fileName)));
            errno = 0;
            if (!out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
                result.error = Reason(LastErrorNumber(), kCannotCreateText);
                return result;  // the ones opened so far are dropped, their files removed
            }
            errno = 0;
            const qint64 count = out->write(file.bytes);
            if (count != file.bytes.size()) {
                result.error = count >= 0 || out->error() == QFileDevice::ResourceError
                                   ? Text(kNoSpaceText)
                                   : Reason(LastErrorNumber(), kWriteFailedText);
                return result;
            }
        }
        for (std::size_t i = 0; i < written.size(); ++i) {
            result.path = FullPath(folder, files[i].fileName);
            errno = 0;
            if (!written[i]->commit()) {
                result.error = Reason(LastErrorNumber(), kCannotReplaceText);
                return result;
            }
        }
        if (const int error = FlushFolder(folder)) {
            result.error = FileErrorReason(error);
            return result;
        }
        result.ok = true;
    } catch (const std::bad_alloc&) {
        result.error = Text(kOutOfMemoryText);
    }
    return result;
}

QString KeptFolderName() {
    return QStringLiteral("嵌岩桩计算书(旧)");
}

BookFileResult KeepEarlierFile(const QString& folder, const QString& fileName) {
    const QFileInfo earlier(QDir(folder).filePath(fileName));
    if (!earlier.exists() || earlier.isDir()) {
        return {true, QString(), QString()};
    }
    const QString keptFolder = QDir(folder).filePath(KeptFolderName());
    const QDateTime changed = earlier.lastModified();
    const QString stem = earlier.completeBaseName() + QStringLiteral("_") +
                         changed.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix =
        earlier.suffix().isEmpty() ? QString() : QStringLiteral(".") + earlier.suffix();
    BookFileResult kept;
    kept.path = FullPath(keptFolder, stem + suffix);
    const std::optional<QByteArray> bytes = ReadWholeFile(earlier.filePath());
    if (!bytes) {
        kept.error = QStringLiteral("原有文件无法读取");
        return kept;
    }
    errno = 0;
    if (!QDir().mkpath(keptFolder)) {
        kept.error = Reason(LastErrorNumber(), kCannotCreateText);
        return kept;
    }
    // A copy of the same name from the same second: the same file, unless its bytes differ.
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(QDir(keptFolder).filePath(name)); ++n) {
        if (ReadWholeFile(QDir(keptFolder).filePath(name)) == bytes) {
            kept.ok = true;
            return kept;
        }
        name = stem + QStringLiteral("-%1").arg(n) + suffix;
    }
    kept = WriteBookFile(keptFolder, name, *bytes);
    if (kept.ok) {
        QFile copy(QDir(keptFolder).filePath(name));
        if (copy.open(QIODevice::ReadWrite)) {
            copy.setFileTime(changed, QFileDevice::FileModificationTime);
        }
    }
    return kept;
}

}  // namespace pile::io
