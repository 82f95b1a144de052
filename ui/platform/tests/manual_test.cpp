// The manual as installed: the page built from docs/manual.md holds every section of it under
// the anchors the program opens, its list of schedule column names is what the schedule reader
// reads, and the program finds the installed page before the build's.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "schedule/schedule.h"
#include "ui/platform/manual.h"

namespace pile::platform {
namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString Markdown() {
    return Read(QStringLiteral(PILE_TEST_MANUAL_SOURCE));
}

TEST(Manual, ThePageHoldsEverySectionOfTheTextInOrder) {
    const QTemporaryDir elsewhere;  // no manual beside it: the build's page
    const QUrl url = ManualUrl(elsewhere.path());
    ASSERT_TRUE(url.isLocalFile()) << url.toString().toStdString();
    const QString page = Read(url.toLocalFile());

    const QRegularExpression sourceHeading(
        QStringLiteral(R"(^(#{1,3})\s+(.*?)(?:\s+\{#([A-Za-z][\w-]*)\})?\s*$)"),
        QRegularExpression::MultilineOption);
    const QRegularExpression pageHeading(
        QStringLiteral(R"re(<h([1-3]) id="([^"]+)">(.*?)</h\1>)re"));
    QStringList expected;
    for (const auto& m : sourceHeading.globalMatch(Markdown())) {
        expected << QString::number(m.captured(1).size()) + QStringLiteral(" ") + m.captured(3) +
                        QStringLiteral(" ") + m.captured(2);
    }
    QStringList found;
    for (const auto& m : pageHeading.globalMatch(page)) {
        found << m.captured(1) + QStringLiteral(" ") + m.captured(2) + QStringLiteral(" ") +
                     m.captured(3);
    }
    ASSERT_GE(expected.size(), 12);
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(page.contains(QStringLiteral(R"(<a href="#%1">)").arg(manual::kUpdateSection)))
        << "the table of contents leads to the section that 更新 opens";
}

// Each row of the manual's schedule table: the column's own name first, then every other name
// the manual gives it. All of them must name that column in a header.
TEST(Manual, EveryColumnNameItGivesIsReadAsThatColumn) {
    const QString text = Markdown();
    const qsizetype table = text.indexOf(QStringLiteral("| 列名 |"));
    ASSERT_GE(table, 0);
    QStringList rows = text.mid(table).split(QLatin1Char('\n'));
    rows = rows.mid(2);  // below the header and its rule
    std::size_t columns = 0;
    for (const QString& row : rows) {
        if (!row.startsWith(QLatin1Char('|'))) {
            break;
        }
        const QStringList cells = row.split(QLatin1Char('|'));
        ASSERT_GE(cells.size(), 5) << row.toStdString();
        const std::u16string own = cells[1].trimmed().toStdU16String();
        const std::optional<schedule::Column> column = schedule::ColumnOf(own);
        ASSERT_TRUE(column.has_value()) << row.toStdString();
        EXPECT_EQ(schedule::ColumnName(*column), own);
        ++columns;
        for (const QString& other :
             cells[3].trimmed().split(QStringLiteral("、"), Qt::SkipEmptyParts)) {
            EXPECT_EQ(schedule::ColumnOf(other.trimmed().toStdU16String()), column)
                << other.toStdString() << " in the row of " << cells[1].toStdString();
        }
    }
    EXPECT_EQ(columns, schedule::kColumnCount) << "every column the reader knows";
}

// Where the package puts it, seen from the program's folder, before the build's page.
TEST(Manual, TheInstalledPageComesFirst) {
    QTemporaryDir root;
    const QString page = root.filePath(QStringLiteral("share/rock-socketed-pile/manual.html"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(page).path()) &&
                QDir().mkpath(root.filePath(QStringLiteral("bin"))));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QUrl url = ManualUrl(root.filePath(QStringLiteral("bin")), QStringLiteral("update"));
    EXPECT_EQ(url.toLocalFile(), page);
    EXPECT_EQ(url.fragment(), QStringLiteral("update"));
}

}  // namespace
}  // namespace pile::platform
