// "另存为…", "导出 PDF…" and "打印…" through scripted dialogs: a text file is exactly what "保存"
// writes and marks its book saved, a PDF leaves the flags alone, a failed write keeps the
// earlier file, a print-out is the PDF's layout; the menu and the keys; the page plan.
#include "book_export.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>
#include <optional>

#include "book_pages.h"
#include "book_print_support.h"
#include "io/book_file.h"
#include "testing/qt/file_dialogs_double.h"
#include "testing/qt/platform_test_support.h"
#include "testing/qt/test_doubles.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace pile::ui {
namespace {

using pile::test::ReadAll;
using pile::test::RowName;
using enum RockParameterMode;

const QString kTextFilter = QString::fromUtf16(kTextFileFilter);
const QString kPdfFilter = QString::fromUtf16(kPdfFileFilter);

struct PlanRow {
    const char* name;
    int lines, firstCapacity, laterCapacity;
    std::vector<int> blockStarts;
    std::vector<PageLines> pages;
};
class PagePlan : public ::testing::TestWithParam<PlanRow> {};
TEST_P(PagePlan, SplitsTheLines) {
    const PlanRow& r = GetParam();
    EXPECT_EQ(PlanPages(r.lines, r.firstCapacity, r.laterCapacity, r.blockStarts), r.pages);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, PagePlan,
    ::testing::Values(
        PlanRow{"RecordThatFitsStartsTheNextPage", 30, 20, 20, {15}, {{0, 15}, {15, 30}}},
        PlanRow{"RecordLongerThanAPageIsSplit", 50, 20, 20, {15}, {{0, 20}, {20, 40}, {40, 50}}},
        PlanRow{
            "LaterPagesHoldFewerUnderTheHeadings", 40, 20, 16, {}, {{0, 20}, {20, 36}, {36, 40}}},
        PlanRow{"LastRowStaysWithTheFooter", 24, 20, 16, {19}, {{0, 19}, {19, 24}}},
        PlanRow{"NoRoomStillOneLineAPage", 2, 0, -1, {}, {{0, 1}, {1, 2}}}),
    RowName());

class BookExportTest : public pile::test::TemporaryHomeTest {
  protected:
    void SetUp() override {
        pile::test::QtApplication();
        TemporaryHomeTest::SetUp();
        books_ = testing::Calculated({Frk, Fuk});
        exporter_ = std::make_unique<BookExport>(
            nullptr, dialogs_, messages_,
            BookExport::Hooks{.bookLines = [this](Book book) -> const BookLines& {
                                  return book == Book::Text ? books_.TextLines()
                                                            : books_.TableLines();
                              },
                              .bookSaved = [this](Book book) { saved_.push_back(book); },
                              .delivered =
                                  [this](const QString& where, bool toPrinter) {
                                      delivered_.push_back(
                                          toPrinter ? where + QStringLiteral("@printer") : where);
                                  }});
        QDir(Home()).mkpath(QStringLiteral("项目"));
    }
    QString Project(const char* name) const {
        return Home() + QStringLiteral("/项目/") + QString::fromUtf8(name);
    }
    CalculationBooks books_;
    platform::ScriptedFileDialogs dialogs_;
    platform::RecordingMessagePresenter messages_;
    std::vector<Book> saved_;
    std::vector<QString> delivered_;  // where each file went; a printer's name with "@printer"
    std::unique_ptr<BookExport> exporter_;
};

struct BookRow {
    const char* name;
    Book book;
    const char* fileName;
};
class SaveAsText : public BookExportTest, public ::testing::WithParamInterface<BookRow> {};

TEST_P(SaveAsText, WritesTheSaveBytesAndMarksTheBookSaved) {
    dialogs_.savePath = Project("桩基.txt");
    exporter_->SaveAs(GetParam().book);
    ASSERT_EQ(dialogs_.saveRequests.size(), 1U);
    const platform::SaveDialogRequest& asked = dialogs_.saveRequests[0];
    EXPECT_EQ(asked.startPath, Documents() + QLatin1Char('/') + GetParam().fileName);
    EXPECT_EQ(asked.filters, QStringList({kTextFilter, kPdfFilter}));
    EXPECT_EQ(asked.selectedFilter, kTextFilter);
    // The bytes "保存" writes: its encoder, with the system's code page.
    const auto& lines = GetParam().book == Book::Text ? books_.TextLines() : books_.TableLines();
    EXPECT_EQ(pile::test::Hex(ReadAll(dialogs_.savePath)),
              pile::test::Hex(*pile::io::EncodeBook(lines, pile::io::NativeBookCodec())));
    EXPECT_EQ(saved_, std::vector<Book>{GetParam().book});
    EXPECT_TRUE(messages_.boxes.empty());
}
INSTANTIATE_TEST_SUITE_P(Books, SaveAsText,
                         ::testing::Values(BookRow{"TextBook", Book::Text,
                                                   "嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt"},
                                           BookRow{"TableBook", Book::Table,
                                                   "嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt"}),
                         RowName());

TEST_F(BookExportTest, PdfLeavesTheFlagsAloneAndAnAddedSuffixAsksBeforeReplacing) {
    dialogs_.savePath = Project("表格.pdf");
    exporter_->SaveAs(Book::Table);
    EXPECT_TRUE(ReadAll(dialogs_.savePath).startsWith("%PDF-"));

    pile::test::WriteAll(Project("文本.pdf"), "earlier");
    dialogs_.savePath = Project("文本");  // the PDF-only dialog adds ".pdf" after it
    exporter_->ExportPdf(Book::Text);
    EXPECT_EQ(dialogs_.saveRequests.back().filters, QStringList{kPdfFilter});
    EXPECT_EQ(dialogs_.replaceQuestions, std::vector<QString>{Project("文本.pdf")});
    EXPECT_EQ(ReadAll(Project("文本.pdf")), QByteArray("earlier"));
    dialogs_.replace = true;
    exporter_->ExportPdf(Book::Text);
    EXPECT_TRUE(ReadAll(Project("文本.pdf")).startsWith("%PDF-"));
    EXPECT_EQ(delivered_, (std::vector<QString>{QDir::toNativeSeparators(Project("表格.pdf")),
                                                QDir::toNativeSeparators(Project("文本.pdf"))}))
        << "told where each PDF went, nothing for the one not replaced";
    EXPECT_TRUE(saved_.empty());
    EXPECT_TRUE(messages_.boxes.empty());
}

// The superuser writes into any folder: for one write the process acts as the user "nobody",
// to whom the home folder is opened for reading. (Windows has no superuser to step down from;
// these tests skip there, as the temporary home cannot move its documents folder.)
class AsUnprivilegedUser {
  public:
#ifdef _WIN32
    explicit AsUnprivilegedUser(const QString&) {}
    bool Unprivileged() const {
        return true;
    }
#else
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
    bool Unprivileged() const {
        return switched_ || geteuid() != 0;
    }

  private:
    bool switched_ = false;
#endif
};

struct FailureRow {
    const char* name;
    bool readOnlyFolder;  // else the earlier file itself is read-only
    const char* fileName;
};
class FailedWrite : public BookExportTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailedWrite, KeepsTheEarlierFileAndShowsTheError) {
    const FailureRow& row = GetParam();
    const QString path = Project(row.fileName);
    pile::test::WriteAll(path, "earlier");
    const QString locked = row.readOnlyFolder ? QFileInfo(path).absolutePath() : path;
    const QFileDevice::Permissions before = QFile::permissions(locked);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    dialogs_.savePath = path;
    {
        // A read-only file stops even the superuser; a read-only folder only the others.
        std::optional<AsUnprivilegedUser> user;
        if (row.readOnlyFolder && !user.emplace(Home()).Unprivileged()) {
            user.reset();
            QFile::setPermissions(locked, before);
            GTEST_SKIP() << "the superuser writes into a read-only folder, and there is no "
                            "user \"nobody\" to write as";
        }
        exporter_->SaveAs(Book::Table);
    }
    QFile::setPermissions(locked, before);
    EXPECT_EQ(ReadAll(path), QByteArray("earlier"));
    ASSERT_EQ(messages_.boxes.size(), 1U);
    EXPECT_TRUE(messages_.boxes[0].error);
    EXPECT_TRUE(messages_.boxes[0].text.startsWith(QStringLiteral("计算书未能保存到文件\n") + path))
        << messages_.boxes[0].text.toStdString();
    EXPECT_TRUE(saved_.empty());
}
INSTANTIATE_TEST_SUITE_P(Rows, FailedWrite,
                         ::testing::Values(FailureRow{"ReadOnlyFolderText", true, "桩基.txt"},
                                           FailureRow{"ReadOnlyFolderPdf", true, "桩基.pdf"},
                                           FailureRow{"ReadOnlyFileText", false, "桩基.txt"},
                                           FailureRow{"ReadOnlyFilePdf", false, "桩基.pdf"}),
                         RowName());

// The print dialog's printer, set to print into a PDF file, gets the PDF's layout.
TEST_F(BookExportTest, PrintDrawsThePdfLayout) {
    dialogs_.printToPdf = Project("打印.pdf");
    exporter_->Print(Book::Table);
    EXPECT_EQ(dialogs_.printPageCounts, std::vector<int>{1});
    EXPECT_EQ(delivered_, std::vector<QString>{QDir::toNativeSeparators(dialogs_.printToPdf)});
    const std::optional<QString> text = testing::PdfText(dialogs_.printToPdf);
    if (!text) {
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps)";
    }
    EXPECT_EQ(testing::ExtractedBody(*text), testing::Joined(books_.TableLines()));
    EXPECT_TRUE(testing::Poppler("pdfinfo", {dialogs_.printToPdf})
                    ->contains(QStringLiteral("842 x 595 pts (A4)")));
    EXPECT_TRUE(saved_.empty());
}

// The view's own menu comes first, the book's actions after it; the keys act only while their
// screen is shown.
TEST_F(BookExportTest, MenuKeepsTheViewsItemsAndTheKeysNeedTheScreen) {
    QWidget screen;
    auto* memo = new QPlainTextEdit(&screen);
    memo->setReadOnly(true);
    exporter_->AttachMenu(memo, Book::Table, [memo] { return memo->createStandardContextMenu(); });
    exporter_->AddShortcuts(&screen, [] { return Book::Table; });
    const auto rightClick = [memo] {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                memo->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(memo->viewport(), &event);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    };
    screen.show();
    QApplication::setActiveWindow(&screen);
    QMenu* menu = rightClick();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items.append(action->isEnabled() ? action->text() : QStringLiteral("(off)"));
    }
    menu->close();
    QStringList expected;
    const std::unique_ptr<QMenu> standard(memo->createStandardContextMenu());
    for (const QAction* action : standard->actions()) {
        expected.append(action->isEnabled() ? action->text() : QStringLiteral("(off)"));
    }
    expected << QString() << QStringLiteral("另存为…") << QStringLiteral("导出 PDF…")
             << QStringLiteral("打印…");
    EXPECT_EQ(items.join(QLatin1Char('|')).toStdString(),
              expected.join(QLatin1Char('|')).toStdString());

    // Shortcuts need an active window, which not every platform gives.
    const bool active = QApplication::activeWindow() == &screen;
    QTest::keyClick(&screen, Qt::Key_P, Qt::ControlModifier);
    screen.hide();
    QTest::keyClick(&screen, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialogs_.printPageCounts.size(), active ? 1U : 0U) << "Ctrl+P shown, then hidden";
}

}  // namespace
}  // namespace pile::ui

namespace pile::ui {
namespace {

struct CancelRow {
    const char* name;
    bool print;  // else "导出 PDF…"
};

class CancelledPages : public BookExportTest, public ::testing::WithParamInterface<CancelRow> {};

// 取消 in the progress dialog of a long book: no file, no partial file, no error box, and an
// earlier file at the name stays as it was.
TEST_P(CancelledPages, LeaveNoFileBehind) {
    books_ = testing::Calculated(std::vector<RockParameterMode>(400, RockParameterMode::Frk));
    const QString path = Project("长.pdf");
    if (!GetParam().print) {
        pile::test::WriteAll(path, "earlier");
        dialogs_.savePath = path;
        dialogs_.replace = true;
    } else {
        dialogs_.printToPdf = path;
    }
    bool cancelled = false;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QProgressDialog*>(widget);
                dialog && dialog->isVisible()) {
                dialog->cancel();
                cancelled = true;
            }
        }
    });
    canceller.start(50);
    if (GetParam().print) {
        exporter_->Print(Book::Text);
    } else {
        exporter_->ExportPdf(Book::Text);
    }
    ASSERT_TRUE(cancelled) << "no progress dialog showed";
    EXPECT_EQ(ReadAll(path), GetParam().print ? QByteArray("<missing>") : QByteArray("earlier"));
    EXPECT_TRUE(messages_.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Work, CancelledPages,
                         ::testing::Values(CancelRow{"ExportPdf", false}, CancelRow{"Print", true}),
                         RowName());

}  // namespace
}  // namespace pile::ui
