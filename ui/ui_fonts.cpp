#include "ui_fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <QWidget>

namespace pile::ui {
namespace {

// The faces the program asks for, best first; the last one is taken when none is installed.
#ifdef Q_OS_WIN
// "Microsoft YaHei" is on every Simplified-Chinese Windows since Vista, "SimSun" before it.
// "NSimSun" is the monospaced face of every Chinese Windows, a Chinese character two Latin
// columns wide like "SimHei". The Noto faces serve under wine, which shows the Linux fonts.
QStringList ControlFamilies() {
    return {QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
            QStringLiteral("Noto Sans CJK SC")};
}
QStringList MemoFamilies() {
    return {QStringLiteral("SimHei"), QStringLiteral("NSimSun"),
            QStringLiteral("Noto Sans Mono CJK SC")};
}
// Windows lists its Chinese faces under their Chinese names ("黑体"); hasFamily also knows them
// by the English ones.
bool Installed(const QString& family) {
    return QFontDatabase::hasFamily(family);
}
#else
QStringList ControlFamilies() {
    return {QStringLiteral("Noto Sans CJK SC")};
}
QStringList MemoFamilies() {
    return {QStringLiteral("SimHei"), QStringLiteral("Noto Sans Mono CJK SC")};
}
// Exactly the listed families: fontconfig would answer "installed" for any name it can
// substitute.
bool Installed(const QString& family) {
    return QFontDatabase::families().contains(family);
}
#endif

}  // namespace

QFont ControlFont() {
    QFont font;
    font.setFamilies(ControlFamilies());
    return font;
}

QString MemoFontFamily() {
    static const QString family = [] {
        const QStringList families = MemoFamilies();
        for (const QString& candidate : families) {
            if (Installed(candidate)) {
                return candidate;
            }
        }
        return families.back();
    }();
    return family;
}

QFont MemoFont(double pointSize) {
    QFont font(MemoFontFamily());
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

QFont PartialFont(double pointSize, bool bold) {
    QFont font;
    if (pointSize > 0) {
        font.setPointSizeF(pointSize);
    }
    if (bold) {
        font.setBold(true);
    }
    return font;
}

void SetPointSize(QWidget& widget, double pointSize) {
    QFont font = widget.font();
    font.setPointSizeF(pointSize);
    widget.setFont(font);
}

}  // namespace pile::ui
