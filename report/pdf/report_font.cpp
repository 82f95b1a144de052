#include "report/pdf/report_font.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace pile::report {
namespace {

// The family of the first candidate that loads, or empty.
QString LoadFirst(const QStringList& paths) {
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        const QStringList families =
            QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(path));
        if (!families.isEmpty()) {
            return families.front();
        }
    }
    return {};
}

constexpr char16_t kSystemSerif[] = u"Noto Serif CJK SC";

}  // namespace

QStringList FontFileCandidates(const QString& programFolder, const QString& file) {
    const QDir folder(programFolder);
    return {
        folder.filePath(file),
        QDir::cleanPath(
            folder.filePath(QStringLiteral("../share/rock-socketed-pile/fonts/") + file)),
        QDir(QStringLiteral(PILE_FONT_BUILD_DIR)).filePath(file),
    };
}

ReportFont LoadReportFont(const QString& programFolder) {
    const QString report =
        LoadFirst(FontFileCandidates(programFolder, QStringLiteral(PILE_REPORT_FONT_FILE)));
    if (!report.isEmpty()) {
        return {report, {}};
    }
    const QString serif = QString::fromUtf16(kSystemSerif);
    if (QFontDatabase::families().contains(serif)) {
        return {serif, u"未找到计算书字体 " PILE_REPORT_FONT_FILE u"，改用系统的 Noto Serif CJK SC："
                       u"从 PDF 复制或搜索时，个别汉字可能成为部首"};
    }
    const QString book =
        LoadFirst(FontFileCandidates(programFolder, QStringLiteral(PILE_BOOK_FONT_FILE)));
    if (!book.isEmpty()) {
        return {book, u"未找到计算书字体 " PILE_REPORT_FONT_FILE u"，改用计算书文本的等宽字体"};
    }
    return {QString(), u"未找到计算书字体 " PILE_REPORT_FONT_FILE
                       u"，也没有 Noto Serif CJK SC：PDF 用系统的默认字体，汉字可能显示不全"};
}

}  // namespace pile::report
