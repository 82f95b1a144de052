#include "book_font.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QtGlobal>

#include "ui_fonts.h"

namespace pile::ui {
namespace {

struct LoadedFont {
    QString family;
    bool derived = false;
};

LoadedFont Load() {
    const QString programFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    for (const QString& path : BookFontCandidates(programFolder)) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        const int id = QFontDatabase::addApplicationFont(path);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) {
            return {families.front(), true};
        }
    }
    qWarning("The book font %s was not found: printed books use the memo font.",
             PILE_BOOK_FONT_FILE);
    return {MemoFontFamily(), false};
}

const LoadedFont& Loaded() {
    static const LoadedFont font = Load();
    return font;
}

}  // namespace

QStringList BookFontCandidates(const QString& programFolder) {
    const QString file = QStringLiteral(PILE_BOOK_FONT_FILE);
    const QDir folder(programFolder);
    return {
        folder.filePath(file),
        QDir::cleanPath(
            folder.filePath(QStringLiteral("../share/rock-socketed-pile/fonts/") + file)),
        QDir(QStringLiteral(PILE_BOOK_FONT_BUILD_DIR)).filePath(file),
    };
}

QString BookFontFamily() {
    return Loaded().family;
}

bool BookFontLoaded() {
    return Loaded().derived;
}

}  // namespace pile::ui
