// The PDF of the books as a reader gets it back: every line of the book, character for
// character and in order (no Kangxi radical in place of an ideograph), the book font embedded,
// the table book across the page with its widest row whole, long books paged sensibly.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "book_export.h"
#include "book_font.h"
#include "book_pages.h"
#include "book_print_support.h"
#include "ui_test_support.h"

namespace pile::ui {
namespace {

using testing::Calculated;
using testing::Circle;
using testing::ExtractedBody;
using testing::FirstRadical;
using testing::Joined;
using testing::Poppler;
using testing::WithoutBlanks;
using enum RockParameterMode;

class BookPdf : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::App();
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(BookFontLoaded()) << "the derived book font was not found";
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).size()) {
            GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps)";
        }
    }

    // Writes the PDF of `book` and returns its path.
    QString Write(const PrintedBook& book, const char* name) {
        const std::optional<QByteArray> pdf = pile::ui::BookPdf(book, BookFontFamily());
        EXPECT_TRUE(pdf.has_value());
        const QString path = folder_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(pdf.value_or(QByteArray()));
        return path;
    }

    static QString Text(const QString& pdf) {
        return Poppler(QStringLiteral("pdftotext"),
                       {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .value_or(QString());
    }

    QTemporaryDir folder_;
};

struct TwoRecordCase {
    const char* name;
    Book book;
    const char* pageSize;  // as pdfinfo names it
};

class TwoRecordSession : public BookPdf, public ::testing::WithParamInterface<TwoRecordCase> {};

TEST_P(TwoRecordSession, ReadsBackEveryLineInTheBookFont) {
    const CalculationBooks books = Calculated({Circle(Frk), Circle(Fuk)});
    const auto& lines = GetParam().book == Book::Text ? books.TextLines() : books.TableLines();
    const PrintedBook printed = PrintedBookOf(GetParam().book, lines);
    const QString pdf = Write(printed, "book.pdf");
    const QString text = Text(pdf);

    EXPECT_EQ(FirstRadical(text), 0U) << "a radical in place of an ideograph";
    EXPECT_EQ(
        Joined(ExtractedBody(text, printed.lines.mid(printed.repeatFirst, printed.repeatCount))),
        Joined(WithoutBlanks(lines)));

    // The running header names the book and its time.
    EXPECT_TRUE(text.startsWith(QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_")));
    EXPECT_TRUE(text.section(QLatin1Char('\n'), 0, 0)
                    .endsWith(QStringLiteral("计算时间：2024/5/6 14:03:27")));

    const QString fonts = Poppler(QStringLiteral("pdffonts"), {pdf}).value_or(QString());
    EXPECT_TRUE(fonts.contains(QRegularExpression(
        QStringLiteral("PileBookMonoCJKsc-Regular +CID TrueType +Identity-H +yes +\\w+ +yes"))))
        << fonts.toStdString();
    EXPECT_EQ(fonts.count(QLatin1Char('\n')), 3) << "one font only\n" << fonts.toStdString();

    const QString info = Poppler(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    EXPECT_TRUE(info.contains(QString::fromLatin1(GetParam().pageSize))) << info.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Books, TwoRecordSession,
    ::testing::Values(TwoRecordCase{"TextBookUpright", Book::Text, "595 x 842 pts (A4)"},
                      TwoRecordCase{"TableBookAcross", Book::Table, "842 x 595 pts (A4)"}),
    testing::RowName());

// The widest row of the table sits whole on the page, its last cell included, at a size still
// near the memos' proportions.
TEST_F(BookPdf, WidestTableRowIsNotCut) {
    // A diameter box text of 12 characters widens its row by six columns.
    const CalculationBooks books = Calculated({Circle(Frk), Circle(Frk, u"1000.0000000")});
    const PrintedBook printed = PrintedBookOf(Book::Table, books.TableLines());
    const QString text = Text(Write(printed, "wide.pdf"));
    const QString widest = WithoutBlanks(QString::fromStdU16String(books.TableLines()[6]));
    ASSERT_TRUE(widest.startsWith(QStringLiteral("ZH2圆桩1000.0000000")));
    EXPECT_TRUE(ExtractedBody(text, {}).contains(widest)) << text.toStdString();
}

// Characters whose glyphs the original font shares with lower code points come back as typed.
TEST_F(BookPdf, SharedGlyphsComeBackAsTheBooksCharacters) {
    const std::vector<std::u16string> lines = {u"输入数据 入身面土石工 基桩成桩工艺",
                                               u"胶 幐 曶 ／ ～ 〈〉 　全角空格",
                                               u"计算时间：2024/5/6"};
    const QString text = Text(Write(PrintedTextBook(QStringLiteral("字符"), lines), "chars.pdf"));
    EXPECT_EQ(FirstRadical(text), 0U);
    EXPECT_EQ(Joined(ExtractedBody(text, {})), Joined(WithoutBlanks(lines))) << text.toStdString();
}

// A long table is paged with the column headings on top of every page; a text book record that
// fits on a page starts a page of its own.
TEST_F(BookPdf, LongBooksArePagedSensibly) {
    const CalculationBooks books = Calculated(std::vector<PanelInput>(120, Circle(Frk)));
    const PrintedBook table = PrintedBookOf(Book::Table, books.TableLines());
    const QString tableText = Text(Write(table, "table.pdf"));
    const QStringList tablePages = tableText.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(tablePages.size(), 3);
    for (const QString& page : tablePages) {
        EXPECT_TRUE(WithoutBlanks(page).contains(WithoutBlanks(table.lines[3])))
            << "column headings missing on a page";
    }
    EXPECT_EQ(Joined(ExtractedBody(tableText, table.lines.mid(1, 4))),
              Joined(WithoutBlanks(books.TableLines())));

    const CalculationBooks three = Calculated({Circle(Frk), Circle(Fuk), Circle(Frk)});
    const QString textText = Text(Write(PrintedBookOf(Book::Text, three.TextLines()), "text.pdf"));
    const QStringList textPages = textText.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(textPages.size(), 3);
    for (qsizetype page = 0; page < textPages.size(); ++page) {
        EXPECT_EQ(ExtractedBody(textPages[page], {}).value(0),
                  QStringLiteral("==================嵌岩桩计算书=================="));
        EXPECT_TRUE(textPages[page].contains(QStringLiteral("第 %1 页 共 3 页").arg(page + 1)));
    }
}

}  // namespace
}  // namespace pile::ui
