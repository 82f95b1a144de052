// The books line up their columns on the assumption that the memo font draws a Chinese
// character exactly as wide as two Latin characters, and every Latin character equally wide.
// Whichever face the platform's fallback picks must keep that (a proportional face misses by
// several pixels).
#include "ui_fonts.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace pile::ui {
namespace {

struct ColumnRow {
    const char* name;
    QString text;
    int columns;
};

class MemoFontColumns : public ::testing::TestWithParam<ColumnRow> {};

TEST_P(MemoFontColumns, TakesTheRoomOfWholeLatinColumns) {
    pile::test::QtApplication();
    const ColumnRow& row = GetParam();
    for (const double size : {kMemoStartPointSize, 9.0, 24.0}) {
        const QFontMetricsF metrics(MemoFont(size));
        const double column = metrics.horizontalAdvance(QLatin1Char('0'));
        ASSERT_GT(column, 0) << size;
        // A font engine may round each advance to whole pixels: up to one pixel per character.
        EXPECT_NEAR(metrics.horizontalAdvance(row.text), row.columns * column,
                    static_cast<double>(row.text.size()))
            << MemoFontFamily().toStdString() << " at " << size << " pt";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MemoFontColumns,
    ::testing::Values(ColumnRow{"OneChineseCharacter", QStringLiteral("桩"), 2},
                      ColumnRow{"ChineseLabel", QStringLiteral("桩身混凝土"), 10},
                      ColumnRow{"BookTitleMarks", QStringLiteral("《》"), 4},
                      ColumnRow{"NarrowAndWideLetters", QStringLiteral("il WM"), 5},
                      ColumnRow{"DigitsAndPoint", QStringLiteral("8331.50"), 7},
                      ColumnRow{"MixedCell", QStringLiteral("ZH12 桩"), 7}),
    pile::test::RowName());

}  // namespace
}  // namespace pile::ui
