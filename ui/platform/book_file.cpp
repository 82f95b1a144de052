#include "ui/platform/book_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>
#include <QStringView>
#include <limits>
#include <new>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace pile::platform {
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

QString OutOfMemory() {
    return QStringLiteral("内存不足");
}

QString FullPath(const QString& folder, const QString& fileName) {
    return QDir::toNativeSeparators(QDir(folder).filePath(fileName));
}

}  // namespace

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
        const QString path = QDir(folder).filePath(fileName);
        result.path = FullPath(folder, fileName);
        const QFileInfo existing(path);
        if (existing.exists() && existing.isFile() && MarkedReadOnly(existing)) {
            // QSaveFile's own words for the same case, translated with Qt's texts.
            result.error =
                QCoreApplication::translate("QSaveFile", "Existing file %1 is not writable")
                    .arg(result.path);
            return result;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            result.error = file.errorString();
            return result;
        }
        if (file.write(bytes) != bytes.size()) {
            result.error = file.errorString();
            file.cancelWriting();
            return result;
        }
        if (!file.commit()) {
            result.error = file.errorString();
            return result;
        }
        result.ok = true;
    } catch (const std::bad_alloc&) {
        result.ok = false;
        result.error = OutOfMemory();
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
        failed.error = OutOfMemory();
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

}  // namespace pile::platform
