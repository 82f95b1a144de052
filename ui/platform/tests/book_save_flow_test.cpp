#include "ui/platform/book_save_flow.h"
#include "io/output_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "testing/qt/platform_test_support.h"
#include "testing/qt/test_doubles.h"
#include "testing/row_name.h"

namespace pile::platform {
namespace {

using pile::test::PrintTo;

using io::BookFileName;
using pile::test::Hex;
using pile::test::ReadAll;

const QString kTextFile = QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt");
const QString kTableFile = QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt");
const QString kNoPermission = QStringLiteral("无权存盘");

// The window as the flow sees it: the book on show, the two books, the flags and the enabled
// state of cbt_Save.
class BookSaveFlowTest : public pile::test::TemporaryHomeTest {
  protected:
    std::unique_ptr<BookSaveFlow> MakeFlow(PermissionService& permissions) {
        BookSaveFlow::Hooks hooks;
        hooks.bookOnShow = [this] { return bookOnShow_; };
        hooks.bookLines = [this](Book book) {
            return book == Book::Text ? &textBook_ : &tableBook_;
        };
        hooks.bookSaved = [this](Book book) {
            // The file is complete and closed before the flags change.
            fileAtFlagChange_ = ReadAll(PathOf(BookFileName(book)));
            flags_ &= ~static_cast<int>(book);
            saveEnabled_ = false;
        };
        return std::make_unique<BookSaveFlow>(permissions, messages_, std::move(hooks));
    }

    QString PathOf(const QString& name) const { return Documents() + QLatin1Char('/') + name; }
    bool Exists(const QString& name) const { return QFileInfo::exists(PathOf(name)); }

    Book bookOnShow_ = Book::Text;
    std::vector<std::u16string> textBook_{u"================== 嵌岩桩计算书 ==================",
                                          u"1.基桩编号: ZH1", u"计算时间：2024/5/6 14:03:27"};
    std::vector<std::u16string> tableBook_{u"ZH1  ζr  β", u"计算时间：2024/5/6 14:03:27"};
    int flags_ = 3;
    bool saveEnabled_ = true;
    QByteArray fileAtFlagChange_;
    RecordingMessagePresenter messages_;
    DesktopPermissionService desktop_;

    // The books above in GBK, CR LF between the lines.
    const QByteArray textBytes_ =
        QByteArray(18, '=') + " \xC7\xB6\xD1\xD2\xD7\xAE\xBC\xC6\xCB\xE3\xCA\xE9 " +
        QByteArray(18, '=') + "\r\n1.\xBB\xF9\xD7\xAE\xB1\xE0\xBA\xC5: ZH1\r\n" +
        "\xBC\xC6\xCB\xE3\xCA\xB1\xBC\xE4\xA3\xBA" + "2024/5/6 14:03:27";
    const QByteArray tableBytes_ = QByteArray("ZH1  \xA6\xC6r  \xA6\xC2\r\n") +
                                   "\xBC\xC6\xCB\xE3\xCA\xB1\xBC\xE4\xA3\xBA" + "2024/5/6 14:03:27";
};

struct BookRow {
    const char* name;
    Book bookOnShow;
    int flagsBefore;
    int flagsAfter;
    bool textWritten;
    bool tableWritten;
};

class SaveTheBookOnShow : public BookSaveFlowTest, public ::testing::WithParamInterface<BookRow> {};

TEST_P(SaveTheBookOnShow, WritesItThenTakesItsBitOff) {
    const BookRow& row = GetParam();
    bookOnShow_ = row.bookOnShow;
    flags_ = row.flagsBefore;
    const auto flow = MakeFlow(desktop_);
    flow->Request(QString());  // the desktop answers inside the call

    EXPECT_EQ(flags_, row.flagsAfter);
    EXPECT_EQ(saveEnabled_, row.flagsAfter == row.flagsBefore);
    EXPECT_EQ(Exists(kTextFile), row.textWritten);
    EXPECT_EQ(Exists(kTableFile), row.tableWritten);
    if (row.textWritten) {
        EXPECT_EQ(Hex(ReadAll(PathOf(kTextFile))), Hex(textBytes_));
        EXPECT_EQ(Hex(fileAtFlagChange_), Hex(textBytes_));
    }
    if (row.tableWritten) {
        EXPECT_EQ(Hex(ReadAll(PathOf(kTableFile))), Hex(tableBytes_));
        EXPECT_EQ(Hex(fileAtFlagChange_), Hex(tableBytes_));
    }
    EXPECT_TRUE(messages_.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SaveTheBookOnShow,
    ::testing::Values(BookRow{"TextBookFromThree", Book::Text, 3, 2, true, false},
                      BookRow{"TableBookFromThree", Book::Table, 3, 1, false, true},
                      BookRow{"TableBookAfterTheTextBook", Book::Table, 2, 0, false, true},
                      BookRow{"TextBookAfterTheTableBook", Book::Text, 1, 0, true, false}),
    pile::test::RowName{});

struct AnswerRow {
    const char* name;
    QList<PermissionAnswer> answers;
    bool written;
};

class PermissionAnswers : public BookSaveFlowTest,
                          public ::testing::WithParamInterface<AnswerRow> {};

TEST_P(PermissionAnswers, OnlyOneGrantedAnswerWrites) {
    const AnswerRow& row = GetParam();
    const auto flow = MakeFlow(desktop_);
    flow->StoragePermissionResult(QStringList{QString()}, row.answers);
    EXPECT_EQ(Exists(kTextFile), row.written);
    EXPECT_EQ(flags_, row.written ? 2 : 3);
    EXPECT_EQ(saveEnabled_, !row.written);
    if (row.written) {
        EXPECT_TRUE(messages_.boxes.empty());
    } else {
        ASSERT_EQ(messages_.boxes.size(), 1u);
        EXPECT_FALSE(messages_.boxes[0].error);
        EXPECT_EQ(messages_.boxes[0].text, kNoPermission);
        EXPECT_FALSE(QFileInfo::exists(Documents())) << "nothing is touched";
    }
}

using enum PermissionAnswer;
INSTANTIATE_TEST_SUITE_P(
    Rows, PermissionAnswers,
    ::testing::Values(AnswerRow{"Granted", {Granted}, true}, AnswerRow{"Denied", {Denied}, false},
                      AnswerRow{"PermanentlyDenied", {PermanentlyDenied}, false},
                      AnswerRow{"NoAnswer", {}, false},
                      AnswerRow{"TwoGrantedAnswers", {Granted, Granted}, false},
                      AnswerRow{"GrantedThenDenied", {Granted, Denied}, false}),
    pile::test::RowName{});

TEST_F(BookSaveFlowTest, ARefusingServiceGivesNoPermissionAndWritesNothing) {
    RefusingPermissionService service(PermanentlyDenied);
    const auto flow = MakeFlow(service);
    flow->Request(QString());
    EXPECT_EQ(service.requested, std::vector<QStringList>{QStringList{QString()}});
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_EQ(messages_.boxes[0].text, kNoPermission);
    EXPECT_FALSE(QFileInfo::exists(Documents()));
    EXPECT_EQ(flags_, 3);
    EXPECT_TRUE(saveEnabled_);
}

TEST_F(BookSaveFlowTest, TheRationaleExplainsThenTheBookOnShowAtTheAnswerIsSaved) {
    RationaleFirstPermissionService service;
    const auto flow = MakeFlow(service);
    flow->Request(QString());
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_FALSE(messages_.boxes[0].error);
    EXPECT_EQ(messages_.boxes[0].text, QStringLiteral("需要存贮权限，否则计算结果不能存盘"));
    EXPECT_FALSE(Exists(kTextFile)) << "nothing is written before the box is closed";
    EXPECT_EQ(flags_, 3);

    bookOnShow_ = Book::Table;  // the user switched books while the box was open
    messages_.CloseBox(0);
    EXPECT_FALSE(Exists(kTextFile));
    EXPECT_EQ(Hex(ReadAll(PathOf(kTableFile))), Hex(tableBytes_));
    EXPECT_EQ(flags_, 1);
    EXPECT_EQ(messages_.boxes.size(), 1u);
}

TEST_F(BookSaveFlowTest, TheRationaleThenARefusal) {
    RationaleFirstPermissionService service(Denied);
    const auto flow = MakeFlow(service);
    flow->Request(QString());
    messages_.CloseBox(0);
    ASSERT_EQ(messages_.boxes.size(), 2u);
    EXPECT_EQ(messages_.boxes[1].text, kNoPermission);
    EXPECT_FALSE(QFileInfo::exists(Documents()));
}

TEST_F(BookSaveFlowTest, TheRationaleExplainsOnlyTheWritePermission) {
    const auto flow = MakeFlow(desktop_);
    flow->Request(QString());
    bool proceeded = false;
    flow->StoragePermissionRationale(QStringList{QStringLiteral("camera")},
                                     [&proceeded] { proceeded = true; });
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_EQ(messages_.boxes[0].text, QString());
    EXPECT_FALSE(proceeded);
    messages_.CloseBox(0);
    EXPECT_TRUE(proceeded);
}

TEST_F(BookSaveFlowTest, AReadOnlyFileStaysAndTheErrorNamesItOnceWithTheReason) {
    ASSERT_TRUE(QDir().mkpath(Documents()));
    pile::test::WriteAll(PathOf(kTextFile), "earlier");
    ASSERT_TRUE(
        QFile::setPermissions(PathOf(kTextFile), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const auto flow = MakeFlow(desktop_);
    flow->Request(QString());

    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_TRUE(messages_.boxes[0].error);
    EXPECT_EQ(messages_.boxes[0].text.toStdString(),
              "计算书未能保存到文件\n" + QDir::toNativeSeparators(PathOf(kTextFile)).toStdString() +
                  "\n文件是只读的");
    EXPECT_EQ(ReadAll(PathOf(kTextFile)), QByteArray("earlier"));
    EXPECT_EQ(flags_, 3);
    EXPECT_TRUE(saveEnabled_);
}

TEST_F(BookSaveFlowTest, NoDocumentsFolderIsAnErrorNamingTheFileAndTheFolder) {
    pile::test::WriteAll(Documents(), "a file where the folder belongs");
    const auto flow = MakeFlow(desktop_);
    flow->Request(QString());
    ASSERT_EQ(messages_.boxes.size(), 1u);
    EXPECT_TRUE(messages_.boxes[0].error);
    EXPECT_EQ(messages_.boxes[0].text.toStdString(),
              "计算书未能保存到文件\n" + kTextFile.toStdString() + "\n无法建立文件夹 " +
                  QDir::toNativeSeparators(Documents()).toStdString() + "：此处已有同名的文件");
    EXPECT_EQ(flags_, 3);
    EXPECT_TRUE(saveEnabled_);
}

// Holds the callbacks to answer later, as a platform that asks the user does.
class LaterPermissionService final : public PermissionService {
  public:
    void request(const QStringList& names, PermissionResultCallback result,
                 PermissionRationaleCallback) override {
        answer = [names, result] { result(names, {Granted}); };
    }
    std::function<void()> answer;
};

TEST_F(BookSaveFlowTest, AnAnswerAfterTheFlowIsGoneDoesNothing) {
    LaterPermissionService service;
    auto flow = MakeFlow(service);
    flow->Request(QString());
    flow.reset();
    ASSERT_TRUE(service.answer);
    service.answer();
    EXPECT_FALSE(QFileInfo::exists(Documents()));
    EXPECT_EQ(flags_, 3);
}

}  // namespace
}  // namespace pile::platform
