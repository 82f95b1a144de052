#include "io/journal_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "io/file_error_text.h"
#include "testing/qt/platform_test_support.h"
#include "testing/row_name.h"

namespace pile::io {
namespace {

using pile::test::PrintTo;
using pile::test::ReadAll;

const std::string kHeader =
    "\xEF\xBB\xBF"
    "截面,参数\r\n";
const std::string kRow1 = "圆桩,frk\r\n";
const std::string kRow2 = "矩形桩,fuk\r\n";

class JournalFileTest : public ::testing::Test {
  protected:
    QString Folder() const { return dir_.path() + QStringLiteral("/会话记录"); }
    QString Name(int minute) const {
        return JournalFileName(QDateTime(QDate(2026, 12, 10), QTime(9, minute), Qt::UTC), 4242);
    }
    QTemporaryDir dir_;
};

// The wall clock of the start, not UTC: 23:07 in Chongqing is 15:07 UTC.
TEST(JournalFileName, NamesTheStartInItsOwnTimeZone) {
    const QDateTime chongqing(QDate(2026, 12, 10), QTime(23, 7, 4), Qt::OffsetFromUTC, 8 * 3600);
    EXPECT_EQ(JournalFileName(chongqing, 4242),
              QStringLiteral("会话-20261210-230704-000-4242.csv"));
}

// Appended rows are on the disk as written; delete-last cuts the file back, never rewrites it.
TEST_F(JournalFileTest, HoldsTheHeaderAndTheRowsKept) {
    JournalFile journal(Folder(), Name(0), kHeader);
    EXPECT_FALSE(QFile::exists(journal.Path())) << "nothing before the first record";
    ASSERT_TRUE(journal.Append({kRow1}));
    ASSERT_TRUE(journal.Append({kRow2, kRow1}));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader + kRow1 + kRow2 + kRow1));
    ASSERT_TRUE(journal.KeepRows(2));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader + kRow1 + kRow2));
    ASSERT_TRUE(journal.Append({kRow2}));
    ASSERT_TRUE(journal.KeepRows(0));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader));
    EXPECT_EQ(journal.Rows(), 0u);
}

// A load edit writes every row afresh in one step; rows appended after it and a delete-last
// go on from the new rows.
TEST_F(JournalFileTest, ReplacesItsRowsWhole) {
    JournalFile journal(Folder(), Name(0), kHeader);
    ASSERT_TRUE(journal.Append({kRow1, kRow1}));
    ASSERT_TRUE(journal.Replace({kRow2, kRow1}));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader + kRow2 + kRow1));
    ASSERT_TRUE(journal.Append({kRow2}));
    ASSERT_TRUE(journal.KeepRows(2));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader + kRow2 + kRow1));
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files).size(), 2) << "the journal and its lock";
}

struct FailureRow {
    const char* name;
    bool readOnlyFolder;
    bool rowBefore;    // a row is written before the failure
    qint64 diskTakes;  // 0: no limit
    const char16_t* reason;
};

const FailureRow kFailures[] = {
    {"ReadOnlyFolder", true, false, 0, kNoPermissionToWriteText},
    {"DiskFullInTheHeader", false, false, 5, kNoSpaceText},
    {"DiskFullInTheSecondRow", false, true, 35, kNoSpaceText},
};

class JournalFailure : public JournalFileTest, public ::testing::WithParamInterface<FailureRow> {};

// A failed write says why, and leaves no part of a row for the next one to run into.
TEST_P(JournalFailure, SaysWhyAndLeavesOnlyWholeRows) {
    const FailureRow& row = GetParam();
    const pile::test::PermissionChecksApply asAnyUser;
    ASSERT_TRUE(QDir().mkpath(Folder()));
    if (row.readOnlyFolder) {
        ASSERT_TRUE(
            QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (!pile::test::RefusesNewFiles(Folder())) {
            GTEST_SKIP() << "this test process can write into a read-only folder";
        }
    }
    JournalFile journal(Folder(), Name(0), kHeader);
    if (row.rowBefore) {
        ASSERT_TRUE(journal.Append({kRow1}));
    }
    bool written = true;
    {
        std::optional<pile::test::FileSizeLimit> disk;
        if (row.diskTakes > 0) {
            disk.emplace(row.diskTakes);
            if (!disk->Active()) {
                GTEST_SKIP() << "no file size limit on this system";
            }
        }
        written = journal.Append({row.rowBefore ? kRow2 : kRow1});
    }
    QFile::setPermissions(Folder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(journal.Error(), QString::fromUtf16(row.reason));
    const QByteArray bytes = ReadAll(journal.Path());
    if (row.rowBefore) {
        EXPECT_EQ(bytes, QByteArray::fromStdString(kHeader + kRow1)) << bytes.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, JournalFailure, ::testing::ValuesIn(kFailures),
                         pile::test::RowName{});

// The newest journal that no running program holds; the program's own is never offered.
TEST_F(JournalFileTest, OffersTheNewestJournalThatNoRunningProgramHolds) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps a held lock file from being removed, which is how this test "
                    "lets a lock go as an ended program does";
#endif
    JournalFile older(Folder(), Name(1), kHeader);
    ASSERT_TRUE(older.Append({kRow1}));
    ASSERT_TRUE(older.WriteState("state"));
    auto held = std::make_unique<JournalFile>(Folder(), Name(3), kHeader);
    ASSERT_TRUE(held->Append({kRow2}));
    JournalFile own(Folder(), Name(5), kHeader);
    ASSERT_TRUE(own.Append({kRow2}));

    const QString ownName = QFileInfo(own.Path()).fileName();
    const auto releasedOlder = [&] {
        // `older` still runs in this test: its lock is let go as a process that ended lets it go.
        QFile::remove(older.Path() + QStringLiteral(".lock"));
    };
    releasedOlder();
    std::optional<EarlierJournal> offered = NewestEarlierJournal(Folder(), ownName);
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->path, older.Path());
    EXPECT_EQ(offered->bytes, QByteArray::fromStdString(kHeader + kRow1));
    EXPECT_EQ(offered->state, QByteArray("state"));

    held.reset();  // that program ended
    offered = NewestEarlierJournal(Folder(), ownName);
    ASSERT_TRUE(offered);
    EXPECT_TRUE(offered->path.endsWith(Name(3)));
}

// A journal written whole shows among the others only with every row; the rows after go on
// at its end. A name in use is never written over.
TEST_F(JournalFileTest, PublishesAJournalWhole) {
    JournalFile journal(Folder(), Name(1), kHeader);
    ASSERT_TRUE(journal.Publish({kRow1, kRow2}, "state"));
    EXPECT_EQ(ReadAll(journal.Path() + QStringLiteral(".state")), QByteArray("state"));
    ASSERT_TRUE(journal.Append({kRow1}));
    ASSERT_TRUE(journal.KeepRows(2));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader + kRow1 + kRow2));
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files),
              QStringList({Name(1), Name(1) + QStringLiteral(".lock"),
                           Name(1) + QStringLiteral(".state")}));

    JournalFile again(Folder(), Name(1), kHeader);
    EXPECT_FALSE(again.Publish({kRow2}, "other"));
    EXPECT_EQ(ReadAll(journal.Path()), QByteArray::fromStdString(kHeader + kRow1 + kRow2));
    EXPECT_EQ(ReadAll(journal.Path() + QStringLiteral(".state")), QByteArray("state"));
}

// What a process killed in the middle of a publish leaves: its rows under a name no reader
// takes for a journal, and its state; the next journal clears both away.
TEST_F(JournalFileTest, APublishCutShortIsNoJournal) {
    ASSERT_TRUE(QDir().mkpath(Folder()));
    const QString cut = QDir(Folder()).filePath(Name(2));
    pile::test::WriteAll(cut + QStringLiteral(".part"), QByteArray::fromStdString(kHeader + kRow1));
    pile::test::WriteAll(cut + QStringLiteral(".state"), QByteArray("state"));
    EXPECT_FALSE(NewestEarlierJournal(Folder(), Name(9)));
    JournalFile next(Folder(), Name(9), kHeader);
    ASSERT_TRUE(next.Append({kRow1}));
    EXPECT_EQ(QDir(Folder()).entryList({QStringLiteral("*.part"), QStringLiteral("*.state")},
                                       QDir::Files),
              QStringList());
}

TEST_F(JournalFileTest, KeepsTheLastTwentyJournals) {
    for (int minute = 0; minute < 25; ++minute) {
        JournalFile earlier(Folder(), Name(minute), kHeader);
        ASSERT_TRUE(earlier.Append({kRow1}));
    }
    JournalFile now(Folder(), Name(30), kHeader);
    ASSERT_TRUE(now.Append({kRow1}));
    const QStringList left =
        QDir(Folder()).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    ASSERT_EQ(left.size(), kKeptJournals);
    EXPECT_EQ(left.front(), Name(6));
    EXPECT_EQ(left.back(), Name(30));
}

}  // namespace
}  // namespace pile::io
