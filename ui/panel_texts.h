// The fixed texts and list items of the input panel that the handlers write more than once.
// Texts written only when the form is built stand in BXV_PAS_VORN1_form.cpp.
#pragma once

#include <QString>
#include <QStringList>

namespace pile::ui::texts {

inline const QString kTitle = QStringLiteral("嵌岩桩承载力计算 (DBJ50-047-2016)");

inline const QString kDiameterLabel = QStringLiteral("桩  身   直   径      d (mm)");
inline const QString kStraightLengthLabel = QStringLiteral("椭圆直段长度      c (mm)");
inline const QString kLongSideLabel = QStringLiteral("矩形长边尺寸      a (mm)");
inline const QString kShortSideLabel = QStringLiteral("矩形短边尺寸      b (mm)");

inline const QString kZetaRName = QStringLiteral("嵌岩段侧阻和端阻综合系数 ζr");
inline const QString kBetaName = QStringLiteral("考虑嵌固力影响后承载力系数");
inline const QString kFrkFormula = QStringLiteral("单桩竖向承载力计算依据: 公式 8.4.8-6");
inline const QString kFukFormula = QStringLiteral("单桩竖向承载力计算依据: 公式 8.4.8-4、5");
// Shown from the start until the first change of the rock mode or the section type.
inline const QString kStartFormula = QStringLiteral("单桩竖向承载力计算依据: 公式 8.7.8-4、5、6");

inline const QStringList kFrkSectionItems = {QStringLiteral("圆桩")};
inline const QStringList kFukSectionItems = {QStringLiteral("圆桩"), QStringLiteral("椭圆桩"),
                                             QStringLiteral("矩形桩")};
inline const QStringList kFrkProcessItems = {QStringLiteral("干作业成桩(清底干净)"),
                                             QStringLiteral("泥浆护壁成桩"),
                                             QStringLiteral("泥浆护壁成桩后注浆")};
inline const QStringList kFukProcessItems = {QStringLiteral("干作业成孔且清底干净")};
inline constexpr int kFrkProcessSelection = 1;
inline constexpr int kFukProcessSelection = 0;

inline const QStringList kGradeItems = {
    QStringLiteral("C25"), QStringLiteral("C30"), QStringLiteral("C35"), QStringLiteral("C40"),
    QStringLiteral("C45"), QStringLiteral("C50"), QStringLiteral("C55"), QStringLiteral("C60")};

inline const QStringList kPrecisionItems = {QStringLiteral("两位小数"), QStringLiteral("一位小数"),
                                            QStringLiteral("个位取整"), QStringLiteral("十位取整"),
                                            QStringLiteral("百位取整")};

// "from", "from + step", ... "to".
inline QStringList NumberItems(int from, int to, int step) {
    QStringList items;
    for (int value = from; value <= to; value += step) {
        items.append(QString::number(value));
    }
    return items;
}
inline const QStringList kSideItems = NumberItems(1000, 2000, 100);           // d, a, b
inline const QStringList kStraightLengthItems = NumberItems(100, 1200, 100);  // c

inline QStringList SocketDepthItems(QChar letter) {
    QStringList items;
    for (const char* multiple : {"1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"}) {
        items.append(QString::fromLatin1(multiple) + letter);
    }
    return items + NumberItems(1000, 3000, 500);
}

}  // namespace pile::ui::texts
