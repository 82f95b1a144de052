#include "ui_fonts.h"

#include <QFontDatabase>
#include <QWidget>

namespace pile::ui {

QFont ControlFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC")});
    return font;
}

QString MemoFontFamily() {
    static const QString family = QFontDatabase::families().contains(QStringLiteral("SimHei"))
                                      ? QStringLiteral("SimHei")
                                      : QStringLiteral("Noto Sans Mono CJK SC");
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
