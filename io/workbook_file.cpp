#include "io/workbook_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "io/qt_text.h"

namespace pile::io {

std::variant<QByteArray, std::u16string> WorkbookBytes(const WorkbookWriter& write) {
    const QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return std::u16string(u"临时文件夹建不了");
    }
    const QString path = scratch.filePath(QStringLiteral("results.xlsx"));
    if (auto why = write(QDir::toNativeSeparators(path).toStdString(),
                         QDir::toNativeSeparators(scratch.path()).toStdString())) {
        return *why;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::u16string(u"临时文件读不了");
    }
    return file.readAll();
}

bool IsWorkbookName(const QString& name) {
    return name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
}

BookFileResult WriteTemplateFile(const QString& path, const std::string& csv,
                                 const WorkbookWriter& writeWorkbook) {
    QByteArray bytes(csv.data(), static_cast<qsizetype>(csv.size()));
    if (IsWorkbookName(path)) {
        auto workbook = WorkbookBytes(writeWorkbook);
        if (const auto* why = std::get_if<std::u16string>(&workbook)) {
            return {false, QDir::toNativeSeparators(path), ToQString(*why)};
        }
        bytes = std::get<QByteArray>(std::move(workbook));
    }
    const QFileInfo file(path);
    return WriteBookFile(file.absolutePath(), file.fileName(), bytes);
}

}  // namespace pile::io
