// "另存为…", "导出 PDF…" and "打印…" through the scripted dialogs: a text file is exactly what
// "保存" writes and marks its book saved, a PDF leaves the flags alone, a failed write keeps the
// earlier file, a print-out is the PDF's layout; plus the page plan and the naming rules.
#include "book_export.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMenu>

#include "book_pages.h"
#include "book_print_support.h"
#include "ui/platform/book_save_flow.h"
#include "ui/platform/file_dialogs_double.h"
#include "ui/platform/test_doubles.h"
#include "ui/platform/tests/platform_test_support.h"
#include "ui_test_support.h"

namespace pile::ui {
namespace {

using platform::testing::ReadAll;
using platform::testing::WriteAll;
using testing::RowName;
using enum RockParameterMode;

const QString kTextFilter = QString::fromUtf16(kTextFileFilter);
const QString kPdfFilter = QString::fromUtf16(kPdfFileFilter);

// ---------------------------------------------------------------- the page plan

struct PlanRow {
    const char* name;
    int lines;
    int firstCapacity;
    int laterCapacity;
    std::vector<int> blockStarts;
    std::vector<PageLines> pages;
};

class PagePlan : public ::testing::TestWithParam<PlanRow> {};

TEST_P(PagePlan, SplitsTheLines) {
    const PlanRow& row = GetParam();
    EXPECT_EQ(PlanPages(row.lines, row.firstCapacity, row.laterCapacity, row.blockStarts),
              row.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PagePlan,
    ::testing::Values(
        PlanRow{"EmptyBookHasNoPage", 0, 20, 20, {}, {}},
        PlanRow{"FillsEachPage", 45, 20, 20, {}, {{0, 20}, {20, 40}, {40, 45}}},
        PlanRow{"RecordThatFitsStartsTheNextPage", 30, 20, 20, {15}, {{0, 15}, {15, 30}}},
        PlanRow{"RecordLongerThanAPageIsSplit", 50, 20, 20, {15}, {{0, 20}, {20, 40}, {40, 50}}},
        PlanRow{"RecordEndingWithThePageStays", 40, 20, 20, {20}, {{0, 20}, {20, 40}}},
        PlanRow{
            "LaterPagesHoldFewerUnderTheHeadings", 40, 20, 16, {}, {{0, 20}, {20, 36}, {36, 40}}},
        PlanRow{"LastRowStaysWithTheFooter", 24, 20, 16, {19}, {{0, 19}, {19, 24}}},
        PlanRow{"NoRoomStillOneLineAPage", 3, 0, -1, {}, {{0, 1}, {1, 2}, {2, 3}}}),
    RowName());

// ---------------------------------------------------------------- names and types

struct TargetRow {
    const char* name;
    const char* chosen;
    QString filter;
    bool pdfOnly;
    ExportTarget target;
};

class SaveDialogName : public ::testing::TestWithParam<TargetRow> {};

TEST_P(SaveDialogName, GivesTheFileAndItsType) {
    const TargetRow& row = GetParam();
    EXPECT_EQ(ResolveExportTarget(QString::fromUtf8(row.chosen), row.filter, row.pdfOnly),
              row.target);
}

using enum ExportFormat;
INSTANTIATE_TEST_SUITE_P(
    Rows, SaveDialogName,
    ::testing::Values(
        TargetRow{"TxtSuffixIsText", "/p/a.txt", kPdfFilter, false, {"/p/a.txt", Text, false}},
        TargetRow{"PdfSuffixIsPdf", "/p/a.pdf", kTextFilter, false, {"/p/a.pdf", Pdf, false}},
        TargetRow{"SuffixInCapitals", "/p/A.PDF", kTextFilter, false, {"/p/A.PDF", Pdf, false}},
        TargetRow{"BareNameTakesTheTextType", "/p/a", kTextFilter, false, {"/p/a.txt", Text, true}},
        TargetRow{"BareNameTakesThePdfType", "/p/a", kPdfFilter, false, {"/p/a.pdf", Pdf, true}},
        TargetRow{
            "OtherSuffixIsKept", "/p/桩.v2", kTextFilter, false, {"/p/桩.v2.txt", Text, true}},
        TargetRow{"TrailingDot", "/p/a.", kPdfFilter, false, {"/p/a.pdf", Pdf, true}},
        TargetRow{"PdfOnlyMakesEveryNameAPdf",
                  "/p/a.txt",
                  kPdfFilter,
                  true,
                  {"/p/a.txt.pdf", Pdf, true}}),
    RowName());

// ---------------------------------------------------------------- the actions

class BookExportTest : public platform::testing::TemporaryHomeTest {
  protected:
    void SetUp() override {
        testing::App();
        TemporaryHomeTest::SetUp();
        books_ = testing::Calculated({testing::Circle(Frk), testing::Circle(Fuk)});
        exporter_ = std::make_unique<BookExport>(
            nullptr, dialogs_, messages_,
            BookExport::Hooks{.bookLines = [this](Book book) -> const BookLines& {
                                  return book == Book::Text ? books_.TextLines()
                                                            : books_.TableLines();
                              },
                              .bookSaved = [this](Book book) { saved_.push_back(book); }});
    }

    // What "保存" writes for `book`, through its own flow.
    QByteArray SaveButtonBytes(Book book) {
        platform::BookSaveFlow flow(
            desktop_, messages_,
            {.pageBookCaption =
                 [book] { return book == Book::Text ? QStringLiteral("1") : QStringLiteral("2"); },
             .bookLines =
                 [this](platform::BookKind kind) {
                     return kind == platform::BookKind::Text ? &books_.TextLines()
                                                             : &books_.TableLines();
                 },
             .bookSaved = {}});
        flow.Request(QString());
        return ReadAll(Documents() + QLatin1Char('/') +
                       platform::BookFileName(static_cast<platform::BookKind>(book)));
    }

    QString Project(const QString& name) const {
        QDir(Home()).mkpath(QStringLiteral("项目"));
        return Home() + QStringLiteral("/项目/") + name;
    }

    CalculationBooks books_;
    platform::ScriptedFileDialogs dialogs_;
    platform::RecordingMessagePresenter messages_;
    platform::DesktopPermissionService desktop_;
    std::vector<Book> saved_;
    std::unique_ptr<BookExport> exporter_;
};

struct BookRow {
    const char* name;
    Book book;
    const char* fileName;
};

class SaveAsText : public BookExportTest, public ::testing::WithParamInterface<BookRow> {};

TEST_P(SaveAsText, WritesTheSaveBytesAndMarksTheBookSaved) {
    const Book book = GetParam().book;
    dialogs_.savePath = Project(QStringLiteral("桩基.txt"));
    exporter_->SaveAs(book);

    ASSERT_EQ(dialogs_.saveRequests.size(), 1U);
    const platform::SaveDialogRequest& asked = dialogs_.saveRequests[0];
    EXPECT_EQ(asked.caption, QStringLiteral("另存为"));
    EXPECT_EQ(asked.startPath, Documents() + QLatin1Char('/') + GetParam().fileName);
    EXPECT_EQ(asked.filters, QStringList({kTextFilter, kPdfFilter}));
    EXPECT_EQ(asked.selectedFilter, kTextFilter);

    const QByteArray written = ReadAll(dialogs_.savePath);
    EXPECT_EQ(platform::testing::Hex(written), platform::testing::Hex(SaveButtonBytes(book)));
    EXPECT_EQ(saved_, std::vector<Book>{book});
    EXPECT_TRUE(messages_.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Books, SaveAsText,
                         ::testing::Values(BookRow{"TextBook", Book::Text,
                                                   "嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt"},
                                           BookRow{"TableBook", Book::Table,
                                                   "嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt"}),
                         RowName());

TEST_F(BookExportTest, PdfLeavesTheFlagsAloneAndExportOffersPdfOnly) {
    dialogs_.savePath = Project(QStringLiteral("表格.pdf"));
    exporter_->SaveAs(Book::Table);
    EXPECT_TRUE(ReadAll(dialogs_.savePath).startsWith("%PDF-"));

    dialogs_.savePath = Project(QStringLiteral("文本"));  // no suffix: the PDF type adds it
    exporter_->ExportPdf(Book::Text);
    ASSERT_EQ(dialogs_.saveRequests.size(), 2U);
    EXPECT_EQ(dialogs_.saveRequests[1].caption, QStringLiteral("导出 PDF"));
    EXPECT_EQ(dialogs_.saveRequests[1].filters, QStringList{kPdfFilter});
    EXPECT_TRUE(dialogs_.saveRequests[1].startPath.endsWith(
        QStringLiteral("/嵌岩桩计算书(依据DBJ50-047-2016)_文本.pdf")));
    EXPECT_TRUE(ReadAll(dialogs_.savePath + QStringLiteral(".pdf")).startsWith("%PDF-"));
    EXPECT_TRUE(saved_.empty());
    EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(BookExportTest, AnAddedSuffixAsksBeforeReplacing) {
    const QString existing = Project(QStringLiteral("桩基.pdf"));
    WriteAll(existing, "earlier");
    dialogs_.savePath = Project(QStringLiteral("桩基"));
    dialogs_.selectedFilter = kPdfFilter;
    exporter_->SaveAs(Book::Text);
    EXPECT_EQ(dialogs_.replaceQuestions, std::vector<QString>{existing});
    EXPECT_EQ(ReadAll(existing), QByteArray("earlier"));

    dialogs_.replace = true;
    exporter_->SaveAs(Book::Text);
    EXPECT_TRUE(ReadAll(existing).startsWith("%PDF-"));
}

TEST_F(BookExportTest, CancelledDialogsAndEmptyBooksWriteNothing) {
    exporter_->SaveAs(Book::Text);                             // savePath empty: cancelled
    exporter_->Print(Book::Text);                              // printToPdf empty: cancelled
    EXPECT_EQ(dialogs_.printPageCounts, std::vector<int>{2});  // a record a page
    books_ = CalculationBooks();
    exporter_->ExportPdf(Book::Table);
    exporter_->Print(Book::Table);
    EXPECT_EQ(dialogs_.saveRequests.size(), 1U);
    EXPECT_EQ(dialogs_.printPageCounts.size(), 1U);
    QMenu menu;
    exporter_->AddActions(menu, Book::Table);
    for (QAction* action : menu.actions()) {
        EXPECT_FALSE(action->isEnabled() && !action->isSeparator()) << action->text().toStdString();
    }
    EXPECT_TRUE(saved_.empty());
    EXPECT_TRUE(messages_.boxes.empty());
}

// The superuser writes into any folder: for the length of one write the process acts as the
// unprivileged "nobody", to whom the home folder is opened for reading.
class AsUnprivilegedUser {
  public:
    explicit AsUnprivilegedUser(const QString& home) {
        const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (nobody != nullptr) {
            QFile::setPermissions(
                home, QFile::permissions(home) | QFileDevice::ReadOther | QFileDevice::ExeOther);
            switched_ = seteuid(nobody->pw_uid) == 0;
        }
    }
    ~AsUnprivilegedUser() {
        if (switched_) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;
    bool Unprivileged() const { return switched_ || geteuid() != 0; }

  private:
    bool switched_ = false;
};

struct FailureRow {
    const char* name;
    bool readOnlyFolder;  // else the earlier file itself is read-only
    const char* fileName;
};

class FailedWrite : public BookExportTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailedWrite, KeepsTheEarlierFileAndShowsTheError) {
    const FailureRow& row = GetParam();
    const QString path = Project(QString::fromUtf8(row.fileName));
    WriteAll(path, "earlier");
    const QString locked = row.readOnlyFolder ? QFileInfo(path).absolutePath() : path;
    const QFileDevice::Permissions before = QFile::permissions(locked);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::ReadUser |
                              (row.readOnlyFolder ? QFileDevice::ExeOwner | QFileDevice::ExeUser
                                                  : QFileDevice::Permissions()));
    dialogs_.savePath = path;
    {
        // A read-only file stops even the superuser; a read-only folder only the others.
        std::optional<AsUnprivilegedUser> user;
        if (row.readOnlyFolder) {
            user.emplace(Home());
            if (!user->Unprivileged()) {
                user.reset();
                QFile::setPermissions(locked, before);
                GTEST_SKIP() << "the superuser writes into a read-only folder, and there is no "
                                "user \"nobody\" to write as";
            }
        }
        exporter_->SaveAs(Book::Table);
    }
    QFile::setPermissions(locked, before);

    EXPECT_EQ(ReadAll(path), QByteArray("earlier"));
    ASSERT_EQ(messages_.boxes.size(), 1U);
    EXPECT_TRUE(messages_.boxes[0].error);
    EXPECT_TRUE(messages_.boxes[0].text.startsWith(QStringLiteral("计算书未能保存到文件\n")));
    EXPECT_TRUE(messages_.boxes[0].text.contains(QDir::toNativeSeparators(path)));
    EXPECT_TRUE(saved_.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, FailedWrite,
                         ::testing::Values(FailureRow{"ReadOnlyFolderText", true, "桩基.txt"},
                                           FailureRow{"ReadOnlyFolderPdf", true, "桩基.pdf"},
                                           FailureRow{"ReadOnlyFileText", false, "桩基.txt"},
                                           FailureRow{"ReadOnlyFilePdf", false, "桩基.pdf"}),
                         RowName());

// The print-out goes through the same renderer: printed to a PDF file it reads back as the book.
TEST_F(BookExportTest, PrintDrawsThePdfLayout) {
    dialogs_.printToPdf = Project(QStringLiteral("打印.pdf"));
    exporter_->Print(Book::Table);
    EXPECT_EQ(dialogs_.printPageCounts, std::vector<int>{1});
    const std::optional<QString> text =
        testing::Poppler(QStringLiteral("pdftotext"),
                         {QStringLiteral("-layout"), dialogs_.printToPdf, QStringLiteral("-")});
    if (!text) {
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps)";
    }
    EXPECT_EQ(testing::Joined(testing::ExtractedBody(*text, {})),
              testing::Joined(testing::WithoutBlanks(books_.TableLines())));
    const QString info =
        testing::Poppler(QStringLiteral("pdfinfo"), {dialogs_.printToPdf}).value_or(QString());
    EXPECT_TRUE(info.contains(QStringLiteral("842 x 595 pts (A4)"))) << info.toStdString();
    EXPECT_TRUE(saved_.empty());
    EXPECT_TRUE(messages_.boxes.empty());
}

}  // namespace
}  // namespace pile::ui
