// The decimal separator of a locale, as the engine and the books take it.
#pragma once

#include <QLocale>

namespace pile::io {

// The first character of the locale's decimal point; the point where the locale names none.
inline char16_t DecimalSeparator(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    return point.isEmpty() ? u'.' : point.front().unicode();
}

}  // namespace pile::io
