#include "io/documents_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <string>
#include <string_view>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

#include "testing/qt/platform_test_support.h"
#include "testing/row_name.h"

namespace pile::io {
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

class DocumentsFolderOfTheUser : public pile::test::TemporaryHomeTest {};

TEST_F(DocumentsFolderOfTheUser, AMissingFolderIsCreated) {
    ASSERT_FALSE(QFileInfo::exists(Documents()));
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_EQ(folder.path, Documents());
    EXPECT_TRUE(folder.error.isEmpty());
    EXPECT_TRUE(QFileInfo(Documents()).isDir());
}

TEST_F(DocumentsFolderOfTheUser, TheFolderTheUserDirsFileNamesIsUsed) {
    ASSERT_TRUE(QDir(Home()).mkpath(QStringLiteral(".config")));
    pile::test::WriteAll(Home() + QStringLiteral("/.config/user-dirs.dirs"),
                         "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_EQ(folder.path, Home() + QStringLiteral("/Papers"));
    EXPECT_TRUE(QFileInfo(folder.path).isDir());
}

// What stands where the documents folder belongs is left as it is, and named in Chinese.
struct InTheWayRow {
    const char* name;
    void (*arrange)(const QString& home);
    const char* documents;  // relative to the home folder
    std::u16string_view reason;
};

void PrintTo(const InTheWayRow& row, std::ostream* out) {
    *out << row.name;
}

class DocumentsFolderInTheWay : public pile::test::TemporaryHomeTest,
                                public ::testing::WithParamInterface<InTheWayRow> {};

TEST_P(DocumentsFolderInTheWay, IsReportedNotReplaced) {
    const InTheWayRow& row = GetParam();
    row.arrange(Home());
    const QString documents = Home() + QLatin1Char('/') + QLatin1String(row.documents);
    const QFileInfo before(documents);
    const DocumentsFolderResult folder = DocumentsFolder();
    EXPECT_TRUE(folder.path.isEmpty());
    EXPECT_EQ(folder.error.toStdU16String(),
              (u"无法建立文件夹 " + QDir::toNativeSeparators(documents).toStdU16String() + u"：" +
               std::u16string(row.reason)));
    const QFileInfo after(documents);
    EXPECT_EQ(after.isSymLink(), before.isSymLink());
    EXPECT_EQ(after.isFile(), before.isFile());
    EXPECT_FALSE(after.isDir());
}

void FileInPlace(const QString& home) {
    pile::test::WriteAll(home + QStringLiteral("/Documents"), "a file, not a folder");
}
void BrokenLinkInPlace(const QString& home) {
    ASSERT_TRUE(QFile::link(home + QStringLiteral("/gone"), home + QStringLiteral("/Documents")));
}
void FileInThePath(const QString& home) {
    pile::test::WriteAll(home + QStringLiteral("/papers"), "a file, not a folder");
    ASSERT_TRUE(QDir(home).mkpath(QStringLiteral(".config")));
    pile::test::WriteAll(home + QStringLiteral("/.config/user-dirs.dirs"),
                         "XDG_DOCUMENTS_DIR=\"$HOME/papers/Documents\"\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DocumentsFolderInTheWay,
    ::testing::Values(InTheWayRow{"AFile", FileInPlace, "Documents", u"此处已有同名的文件"},
                      InTheWayRow{"ABrokenLink", BrokenLinkInPlace, "Documents",
                                  u"此处是一个目标已不存在的链接"},
                      InTheWayRow{"AFileInThePath", FileInThePath, "papers/Documents",
                                  u"路径中有一项不是文件夹"}),
    [](const ::testing::TestParamInfo<InTheWayRow>& row) { return std::string(row.param.name); });

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
}  // namespace pile::io
