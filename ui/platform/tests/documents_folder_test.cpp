#include "ui/platform/documents_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

#include "testing/row_name.h"
#include "ui/platform/tests/platform_test_support.h"

namespace pile::platform {
namespace {

using pile::test::PrintTo;

struct ChoiceRow {
    const char* name;
    QString documentsLocation;
    QStringList homeFolders;
    QString chosen;
};

class DocumentsFolderChoice : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(DocumentsFolderChoice, PicksAUsableFolderOrNone) {
    const ChoiceRow& row = GetParam();
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the rows use Unix paths";
#endif
    EXPECT_EQ(ChooseDocumentsFolder(row.documentsLocation, row.homeFolders).toStdString(),
              row.chosen.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DocumentsFolderChoice,
    ::testing::Values(
        ChoiceRow{"TheSystemsDocumentsFolder",
                  "/home/ann/Documents",
                  {"/home/ann"},
                  "/home/ann/Documents"},
        ChoiceRow{"ATrailingSlashIsCleaned", "/home/ann/Documents/", {}, "/home/ann/Documents"},
        ChoiceRow{"QtsAnswerWithoutHomeFallsBackToTheAccountHome",
                  "//Documents",
                  {"/", "/home/ann"},
                  "/home/ann"},
        ChoiceRow{"NoHomeAnywhereRefuses", "//Documents", {"/", ""}, ""},
        ChoiceRow{"AnEmptyAnswerFallsBack", "", {"/home/ann"}, "/home/ann"},
        ChoiceRow{"ARelativeAnswerFallsBack", "Documents", {"/home/ann"}, "/home/ann"},
        ChoiceRow{"TheRootFallsBack", "/", {"/home/ann"}, "/home/ann"},
        ChoiceRow{"ARelativeHomeIsSkipped", "", {"ann", "/home/ann"}, "/home/ann"},
        ChoiceRow{"NothingAtAllRefuses", "", {}, ""}),
    pile::test::RowName{});

class DocumentsFolderOfTheUser : public testing::TemporaryHomeTest {};

TEST_F(DocumentsFolderOfTheUser, AMissingFolderIsCreated) {
    ASSERT_FALSE(QFileInfo::exists(Documents()));
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_EQ(folder.path, Documents());
    EXPECT_TRUE(folder.error.isEmpty());
    EXPECT_TRUE(QFileInfo(Documents()).isDir());
}

TEST_F(DocumentsFolderOfTheUser, TheFolderTheUserDirsFileNamesIsUsed) {
    ASSERT_TRUE(QDir(Home()).mkpath(QStringLiteral(".config")));
    testing::WriteAll(Home() + QStringLiteral("/.config/user-dirs.dirs"),
                      "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_EQ(folder.path, Home() + QStringLiteral("/Papers"));
    EXPECT_TRUE(QFileInfo(folder.path).isDir());
}

TEST_F(DocumentsFolderOfTheUser, AFileInTheWayIsReportedNotReplaced) {
    testing::WriteAll(Documents(), "a file, not a folder");
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_TRUE(folder.path.isEmpty());
    EXPECT_TRUE(folder.error.contains(QDir::toNativeSeparators(Documents())))
        << folder.error.toStdString();
    EXPECT_TRUE(QFileInfo(Documents()).isFile());
}

TEST_F(DocumentsFolderOfTheUser, WithoutHomeTheAccountsHomeIsUsedNotTheRoot) {
#ifndef Q_OS_UNIX
    GTEST_SKIP() << "HOME decides only on Unix-like systems";
#else
    const bool rootDocumentsExisted = QFileInfo::exists(QStringLiteral("/Documents"));
    qunsetenv("HOME");
    // What Qt answers here, and the reason for the fallback.
    ASSERT_TRUE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                    .startsWith(QLatin1String("//")));
    const passwd* account = getpwuid(geteuid());
    ASSERT_NE(account, nullptr);
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_EQ(folder.path, QDir::cleanPath(QFile::decodeName(account->pw_dir)));
    EXPECT_EQ(QFileInfo::exists(QStringLiteral("/Documents")), rootDocumentsExisted);
#endif
}

}  // namespace
}  // namespace pile::platform
