#include "ui/platform/book_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <vector>

#include "testing/row_name.h"
#include "ui/platform/tests/platform_test_support.h"

namespace pile::platform {
namespace {

using pile::test::PrintTo;

using testing::Hex;
using testing::ReadAll;
using testing::WriteAll;

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

TEST_F(BookFileWriting, AReadOnlyFileStaysIntactAndTheReasonIsGiven) {
    const QByteArray earlier("earlier book");
    WriteAll(PathOf(name_), earlier);
    ASSERT_TRUE(
        QFile::setPermissions(PathOf(name_), QFileDevice::ReadOwner | QFileDevice::ReadUser |
                                                 QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const BookFileResult result =
        WriteBookFile(Folder(), name_, QStringList{QStringLiteral("new")});
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("not writable")))
        << result.error.toStdString();
    EXPECT_EQ(ReadAll(PathOf(name_)), earlier);
    EXPECT_EQ(Entries(), QStringList{name_});
}

TEST_F(BookFileWriting, AFolderOfTheSameNameIsNotReplaced) {
    ASSERT_TRUE(QDir(Folder()).mkdir(name_));
    const BookFileResult result =
        WriteBookFile(Folder(), name_, QStringList{QStringLiteral("new")});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(QFileInfo(PathOf(name_)).isDir());
}

TEST_F(BookFileWriting, AMissingFolderIsAnErrorNotACreation) {
    const QString missing = PathOf(QStringLiteral("missing"));
    const BookFileResult result = WriteBookFile(missing, name_, QStringList{QStringLiteral("x")});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

}  // namespace
}  // namespace pile::platform
