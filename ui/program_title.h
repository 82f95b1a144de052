// The program's name as its window caption shows it; also the creator of its printed books.
#pragma once

#include <QString>

namespace pile::ui {

inline const QString kProgramTitle = QStringLiteral("嵌岩桩承载力计算 (DBJ50-047-2016)");

}  // namespace pile::ui
