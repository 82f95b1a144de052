#include "io/calculation_time.h"

#include <gtest/gtest.h>

#include "testing/row_name.h"

namespace {

using pile::test::PrintTo;

using pile::io::CalculationTime;
using pile::io::TimeFormatWithoutZone;

struct FormatRow {
    const char* name;
    const char* format;
    const char* expected;
};

class ZoneRemoval : public ::testing::TestWithParam<FormatRow> {};

TEST_P(ZoneRemoval, LeavesTheRestOfTheFormat) {
    const FormatRow& row = GetParam();
    EXPECT_EQ(TimeFormatWithoutZone(QString::fromUtf8(row.format)).toStdString(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ZoneRemoval,
    ::testing::Values(FormatRow{"ZoneFirst", "t HH:mm:ss", "HH:mm:ss"},
                      FormatRow{"ZoneLast", "HH:mm:ss t", "HH:mm:ss"},
                      FormatRow{"AmPmThenZone", "h:mm:ss AP t", "h:mm:ss AP"},
                      FormatRow{"LongZoneName", "HH:mm:ss tttt", "HH:mm:ss"},
                      FormatRow{"ZoneInParentheses", "H:mm:ss (t)", "H:mm:ss"},
                      FormatRow{"ZoneInBrackets", "Bh:mm:ss [t]", "Bh:mm:ss"},
                      FormatRow{"ZoneInFullWidthParentheses", "H:mm:ss（t）", "H:mm:ss"},
                      FormatRow{"ZoneInTheMiddle", "HH t mm", "HH mm"},
                      FormatRow{"QuotedTKept", "HH 'at' mm t", "HH 'at' mm"},
                      FormatRow{"EscapedQuoteKept", "HH 'o''clock' t", "HH 'o''clock'"},
                      FormatRow{"QuotedBlanksKept", "HH'  'mm t", "HH'  'mm"},
                      FormatRow{"NoZone", "HH:mm:ss", "HH:mm:ss"}, FormatRow{"OnlyZone", "t", ""}),
    pile::test::RowName{});

struct TimeRow {
    const char* name;
    const char* locale;
    QDateTime when;
    const char* expected;
};

class CalculationTimeText : public ::testing::TestWithParam<TimeRow> {};

TEST_P(CalculationTimeText, IsShortDateThenLongTimeWithoutZone) {
    const TimeRow& row = GetParam();
    EXPECT_EQ(CalculationTime(QLocale(QString::fromLatin1(row.locale)), row.when).toStdString(),
              row.expected);
}

const QDate kDay(2024, 5, 6);

INSTANTIATE_TEST_SUITE_P(
    Locales, CalculationTimeText,
    ::testing::Values(
        TimeRow{"ChineseAfternoon", "zh_CN", QDateTime(kDay, QTime(14, 3, 27)),
                "2024/5/6 14:03:27"},
        TimeRow{"ChineseMorning", "zh_CN", QDateTime(kDay, QTime(9, 5, 7)), "2024/5/6 09:05:07"},
        TimeRow{"ChineseMidnight", "zh_CN", QDateTime(kDay, QTime(0, 0)), "2024/5/6"},
        TimeRow{"ChineseOneMillisecondAfterMidnight", "zh_CN", QDateTime(kDay, QTime(0, 0, 0, 1)),
                "2024/5/6 00:00:00"},
        TimeRow{"ChineseOneSecondBeforeMidnight", "zh_CN", QDateTime(kDay, QTime(23, 59, 59)),
                "2024/5/6 23:59:59"},
        TimeRow{"AmericanAmPm", "en_US", QDateTime(kDay, QTime(14, 3, 27)), "5/6/24 2:03:27 PM"},
        TimeRow{"German", "de_DE", QDateTime(kDay, QTime(14, 3, 27)), "06.05.24 14:03:27"},
        TimeRow{"GermanMidnight", "de_DE", QDateTime(kDay, QTime(0, 0)), "06.05.24"},
        TimeRow{"Japanese", "ja_JP", QDateTime(kDay, QTime(14, 3, 27)), "2024/05/06 14時03分27秒"},
        TimeRow{"Utc", "zh_CN", QDateTime(kDay, QTime(14, 3, 27), Qt::UTC), "2024/5/6 14:03:27"}),
    pile::test::RowName{});

}  // namespace
