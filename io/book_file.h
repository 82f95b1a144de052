// Writing a calculation book to its file, in the bytes a Simplified-Chinese Windows desktop
// writes: the ANSI code page (936, GBK), CR LF between two lines and none after the last, no
// byte-order mark. The new file takes the place of the old one only once it is complete, so a
// failed save leaves the engineer's earlier file as it was.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace pile::io {

enum class BookCodec {
    Gbk,          // code page 936, no byte-order mark
    SystemAnsi,   // the system's ANSI code page (Windows), no byte-order mark
    Utf8WithBom,  // what Windows writes when its ANSI code page is UTF-8 (65001)
};

// Windows: its ANSI code page, UTF-8 with a byte-order mark when that code page is UTF-8.
// Elsewhere: GBK, the bytes the same book gets on a Simplified-Chinese Windows desktop.
BookCodec NativeBookCodec();

// The whole file content of a book. A character the code page lacks becomes "?" (one per
// code point). nullopt when this Qt build cannot encode `codec`.
std::optional<QByteArray> EncodeBook(const std::vector<std::u16string>& lines, BookCodec codec);
std::optional<QByteArray> EncodeBook(const QStringList& lines, BookCodec codec);

struct BookFileResult {
    bool ok = false;
    QString path;   // the full path of the file, in the platform's notation
    QString error;  // why the file was not written: one short Chinese text, without the path
};

// Writes `bytes` as `fileName` in `folder` through a temporary file beside it that replaces
// an earlier file only when it is complete, then flushes the folder so that the replacement
// survives a power cut. A folder that refuses new files but holds a writable earlier file gets
// the file written in place, with the earlier content put back when the write fails. A file
// without any write permission is treated as read-only even for an administrator, as Windows
// treats its read-only attribute. Never throws.
BookFileResult WriteBookFile(const QString& folder, const QString& fileName,
                             const QByteArray& bytes);
BookFileResult WriteBookFile(const QString& folder, const QString& fileName,
                             const std::vector<std::u16string>& lines,
                             BookCodec codec = NativeBookCodec());
BookFileResult WriteBookFile(const QString& folder, const QString& fileName,
                             const QStringList& lines, BookCodec codec = NativeBookCodec());

// The whole content of the file at `path`; nullopt when it cannot be opened or read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

struct NamedBytes {
    QString fileName;
    QByteArray bytes;
};
// Several files that belong together (pile_batch's two books and results table): every one is
// written whole beside its earlier file before any replaces it, so that a failed write (a full
// disk) replaces none and the folder never holds a table that does not go with its books.
BookFileResult WriteFileSet(const QString& folder, const std::vector<NamedBytes>& files);

// The folder beside the books where "保存" keeps a file it is about to replace.
QString KeptFolderName();

// Before "保存" replaces a file that this session did not write: `fileName` in `folder` is
// copied, unchanged and with its time of last change, into KeptFolderName() beside it, named
// with that time ("…_文本_20261209-1730.txt"). Nothing to keep is success; `path` names the copy.
BookFileResult KeepEarlierFile(const QString& folder, const QString& fileName);

}  // namespace pile::io
