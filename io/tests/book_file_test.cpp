#include "io/book_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testing/qt/platform_test_support.h"
#include "testing/row_name.h"

namespace pile::io {
namespace {

using pile::test::PrintTo;

using pile::test::Hex;
using pile::test::ReadAll;
using pile::test::WriteAll;

struct EncodingRow {
    const char* name;
    std::vector<std::u16string> lines;
    BookCodec codec;
    QByteArray bytes;
};

class BookEncoding : public ::testing::TestWithParam<EncodingRow> {};

// Both kinds of line list give the same bytes.
TEST_P(BookEncoding, GivesTheBytesOfTheCodePage) {
    const EncodingRow& row = GetParam();
    QStringList qtLines;
    for (const std::u16string& line : row.lines) {
        qtLines.append(QString::fromStdU16String(line));
    }
    const std::optional<QByteArray> bytes = EncodeBook(row.lines, row.codec);
    const std::optional<QByteArray> fromQt = EncodeBook(qtLines, row.codec);
    ASSERT_TRUE(bytes.has_value() && fromQt.has_value());
    EXPECT_EQ(Hex(*bytes), Hex(row.bytes));
    EXPECT_EQ(Hex(*fromQt), Hex(row.bytes));
}

QByteArray Bytes(std::initializer_list<unsigned char> bytes) {
    QByteArray out;
    for (unsigned char b : bytes) {
        out.append(static_cast<char>(b));
    }
    return out;
}

const std::u16string kLoneHighSurrogate(1, char16_t{0xD800});

INSTANTIATE_TEST_SUITE_P(
    Rows, BookEncoding,
    ::testing::Values(
        EncodingRow{"NoLinesIsAnEmptyFile", {}, BookCodec::Gbk, {}},
        EncodingRow{"OneEmptyLine", {u""}, BookCodec::Gbk, {}},
        EncodingRow{"CrLfBetweenLinesNoneAfterTheLast",
                    {u"a", u"bc", u"d"},
                    BookCodec::Gbk,
                    QByteArray("a\r\nbc\r\nd")},
        EncodingRow{"AnEmptyLastLineLeavesTheBreakBeforeIt",
                    {u"a", u""},
                    BookCodec::Gbk,
                    QByteArray("a\r\n")},
        EncodingRow{"ChineseTakesTwoBytesEach",
                    {u"嵌岩桩"},
                    BookCodec::Gbk,
                    Bytes({0xC7, 0xB6, 0xD1, 0xD2, 0xD7, 0xAE})},
        EncodingRow{"GreekLetters",
                    {u"ζ β ψ μ γ"},
                    BookCodec::Gbk,
                    Bytes({0xA6, 0xC6, 0x20, 0xA6, 0xC2, 0x20, 0xA6, 0xD7, 0x20, 0xA6, 0xCC, 0x20,
                           0xA6, 0xC3})},
        EncodingRow{"SymbolsOfTheBooks",
                    {u"≤ ≥ ∑ ＜ 《 》 ："},
                    BookCodec::Gbk,
                    Bytes({0xA1, 0xDC, 0x20, 0xA1, 0xDD, 0x20, 0xA1, 0xC6, 0x20, 0xA3,
                           0xBC, 0x20, 0xA1, 0xB6, 0x20, 0xA1, 0xB7, 0x20, 0xA3, 0xBA})},
        EncodingRow{"MiddleDotAsWindowsMapsIt", {u"·"}, BookCodec::Gbk, Bytes({0xA1, 0xA4})},
        EncodingRow{"EuroSignAsWindowsMapsIt", {u"€"}, BookCodec::Gbk, Bytes({0x80})},
        EncodingRow{"MixedLinesOfABook",
                    {u"1.基桩编号: ZH1", u"计算时间：2024/5/6 14:03:27"},
                    BookCodec::Gbk,
                    QByteArray("1.") + Bytes({0xBB, 0xF9, 0xD7, 0xAE, 0xB1, 0xE0, 0xBA, 0xC5}) +
                        QByteArray(": ZH1\r\n") +
                        Bytes({0xBC, 0xC6, 0xCB, 0xE3, 0xCA, 0xB1, 0xBC, 0xE4, 0xA3, 0xBA}) +
                        QByteArray("2024/5/6 14:03:27")},
        EncodingRow{
            "HangulAndThaiBecomeQuestionMarks", {u"a한ก"}, BookCodec::Gbk, QByteArray("a??")},
        EncodingRow{"ACharacterBeyondTheBmpBecomesOneQuestionMark",
                    {u"x😀y"},
                    BookCodec::Gbk,
                    QByteArray("x?y")},
        EncodingRow{"ABrokenSurrogateDoesNotPairAcrossTheLineBreak",
                    {kLoneHighSurrogate, u"\xDC00z"},
                    BookCodec::Gbk,
                    QByteArray("?\r\n?z")},
        EncodingRow{"Utf8CodePageGetsItsByteOrderMark",
                    {u"桩", u"ζ"},
                    BookCodec::Utf8WithBom,
                    Bytes({0xEF, 0xBB, 0xBF, 0xE6, 0xA1, 0xA9, 0x0D, 0x0A, 0xCE, 0xB6})}),
    pile::test::RowName{});

TEST(BookEncoding, ThisPlatformWritesGbkWithoutByteOrderMark) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows writes its own ANSI code page";
#else
    EXPECT_EQ(NativeBookCodec(), BookCodec::Gbk);
#endif
}

class BookFileWriting : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    QString Folder() const { return QDir::cleanPath(folder_.path()); }
    QString PathOf(const QString& name) const { return Folder() + QLatin1Char('/') + name; }
    QStringList Entries() const {
        return QDir(Folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    const QString name_ = QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt");

  private:
    QTemporaryDir folder_;
};

TEST_F(BookFileWriting, WritesTheEncodedLinesAndNamesTheFullPath) {
    const BookFileResult result =
        WriteBookFile(Folder(), name_, std::vector<std::u16string>{u"桩", u"ζr"});
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.path, QDir::toNativeSeparators(PathOf(name_)));
    EXPECT_EQ(Hex(ReadAll(PathOf(name_))), Hex(QByteArray("\xD7\xAE\r\n\xA6\xC6r")));
    EXPECT_EQ(Entries(), QStringList{name_}) << "no temporary file is left behind";
}

TEST_F(BookFileWriting, ReplacesALongerEarlierFileWhole) {
    WriteAll(PathOf(name_), QByteArray(1000, 'x'));
    const BookFileResult result = WriteBookFile(Folder(), name_, QStringList{QStringLiteral("ab")});
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(ReadAll(PathOf(name_)), QByteArray("ab"));
}

// What stands in the way of one save, and the one reason the save must give. Whatever the
// cause, the earlier file keeps its content and no temporary file is left behind.
struct RefusalRow {
    const char* name;
    const char* earlier;  // the earlier book file's content; nullptr: no earlier file
    bool readOnlyFile;    // the earlier file has no write permission
    bool folderInTheWay;  // a folder has the book's name
    bool missingFolder;   // the folder to write in does not exist
    bool readOnlyFolder;  // the folder takes no new files
    qint64 diskTakes;     // the disk is full after this many bytes of the file; 0: never
    std::u16string_view reason;
};

void PrintTo(const RefusalRow& row, std::ostream* out) {
    *out << row.name;
}

class BookFileRefusal : public BookFileWriting, public ::testing::WithParamInterface<RefusalRow> {
  protected:
    void TearDown() override {
        QFile::setPermissions(
            Folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

TEST_P(BookFileRefusal, KeepsTheEarlierFileAndGivesTheReason) {
    const RefusalRow& row = GetParam();
    const pile::test::PermissionChecksApply asAnyUser;
    if (row.earlier != nullptr) {
        WriteAll(PathOf(name_), row.earlier);
    }
    if (row.readOnlyFile) {
        ASSERT_TRUE(
            QFile::setPermissions(PathOf(name_), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    }
    if (row.folderInTheWay) {
        ASSERT_TRUE(QDir(Folder()).mkdir(name_));
    }
    if (row.readOnlyFolder) {
        ASSERT_TRUE(
            QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (!pile::test::RefusesNewFiles(Folder())) {
            GTEST_SKIP() << "this test process can write into a read-only folder";
        }
    }
    const QStringList entriesBefore = Entries();
    const QString folder = row.missingFolder ? PathOf(QStringLiteral("missing")) : Folder();
    std::optional<pile::test::FileSizeLimit> disk;
    if (row.diskTakes > 0) {
        disk.emplace(row.diskTakes);
        if (!disk->Active()) {
            GTEST_SKIP() << "no file size limit on this system";
        }
    }
    const BookFileResult result = WriteBookFile(folder, name_, QByteArray(4000, 'n'));
    disk.reset();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.toStdU16String(), row.reason);
    EXPECT_EQ(Entries(), entriesBefore);
    if (row.earlier != nullptr) {
        EXPECT_EQ(ReadAll(PathOf(name_)), QByteArray(row.earlier));
    }
    EXPECT_FALSE(QFileInfo::exists(PathOf(QStringLiteral("missing"))));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BookFileRefusal,
    ::testing::Values(
        RefusalRow{"ReadOnlyFile", "earlier book", true, false, false, false, 0, u"文件是只读的"},
        RefusalRow{"AFolderHasTheBooksName", nullptr, false, true, false, false, 0,
                   u"已有同名的文件夹"},
        RefusalRow{"MissingFolder", nullptr, false, false, true, false, 0, u"文件夹不存在"},
        RefusalRow{"ReadOnlyFolderWithoutTheFile", nullptr, false, false, false, true, 0,
                   u"没有写入权限"},
        RefusalRow{"DiskFullPartWay", "earlier book", false, false, false, false, 1000,
                   u"磁盘空间不足"},
        RefusalRow{"DiskFullPartWayWhileWritingInPlace", "earlier book", false, false, false, true,
                   1000, u"磁盘空间不足"}),
    [](const ::testing::TestParamInfo<RefusalRow>& row) { return std::string(row.param.name); });

TEST_F(BookFileWriting, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const pile::test::PermissionChecksApply asAnyUser;
    WriteAll(PathOf(name_), QByteArray(100, 'x'));
    ASSERT_TRUE(QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool refuses = pile::test::RefusesNewFiles(Folder());
    const BookFileResult result = WriteBookFile(Folder(), name_, QByteArray("new book"));
    QFile::setPermissions(Folder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!refuses) {
        GTEST_SKIP() << "this test process can write into a read-only folder";
    }
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(ReadAll(PathOf(name_)), QByteArray("new book"));
    EXPECT_EQ(Entries(), QStringList{name_});
}

}  // namespace
}  // namespace pile::io
