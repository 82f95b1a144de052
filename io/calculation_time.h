// The date-time text that ends both calculation books.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace pile::io {

// The locale's long time format without its time-zone field ("t" ... "tttt") and without the
// brackets and blanks that only framed it: "t HH:mm:ss" becomes "HH:mm:ss", "H:mm:ss (t)"
// becomes "H:mm:ss". Quoted literals are kept as they are.
QString TimeFormatWithoutZone(const QString& format);

// The locale's short date, then one blank and the long time without the zone; the date alone
// when the time of day is exactly midnight (milliseconds included).
QString CalculationTime(const QLocale& locale, const QDateTime& when);

}  // namespace pile::io
