// The PDF of the books as a reader gets it back: every line of the book, character for
// character and in order (no CJK radical in place of an ideograph), the book font embedded, the
// table book across the page with its widest row whole.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetricsF>
#include <QRawFont>
#include <QTemporaryDir>

#include "book_export.h"
#include "book_font.h"
#include "book_pages.h"
#include "book_print_support.h"
#include "books/column_layout.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace pile::ui {
namespace {

using enum RockParameterMode;

class BookPdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pile::test::QtApplication();
        ASSERT_TRUE(BookFontLoaded()) << "the derived book font was not found";
        if (!testing::Poppler("pdfinfo", {})) {
            GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps)";
        }
    }
    // The PDF of `book` in a file; returns its path.
    QString Write(const PrintedBook& book) {
        const QString path = folder_.filePath(QStringLiteral("book.pdf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(BookPdf(book, BookFontFamily()).value_or(QByteArray()));
        return path;
    }
    QTemporaryDir folder_;
};

struct SessionRow {
    const char* name;
    Book book;
    const char* pageSize;  // as pdfinfo names it
};

class TwoRecordSession : public BookPdfTest, public ::testing::WithParamInterface<SessionRow> {};

TEST_P(TwoRecordSession, ReadsBackEveryLineInTheEmbeddedBookFont) {
    // A diameter typed with 12 characters makes the second table row the widest line.
    const CalculationBooks books = testing::Calculated({Frk, Fuk}, u"1000.0000000");
    const auto& lines = GetParam().book == Book::Text ? books.TextLines() : books.TableLines();
    const QString pdf = Write(PrintedBookOf(GetParam().book, lines));
    const QString text = testing::PdfText(pdf).value_or(QString());

    EXPECT_FALSE(testing::HasRadical(text)) << text.toStdString();
    EXPECT_EQ(testing::ExtractedBody(text), testing::Joined(lines));
    EXPECT_TRUE(text.section(QLatin1Char('\n'), 0, 0)
                    .endsWith(QStringLiteral("计算时间：2024/5/6 14:03:27")));

    const QString fonts = testing::Poppler("pdffonts", {pdf}).value_or(QString());
    EXPECT_TRUE(fonts.contains(QRegularExpression(
        QStringLiteral("-\n[A-Z+]*PileBookMonoCJKsc-Regular +CID TrueType +Identity-H +yes +\\w+ "
                       "+yes +\\d+ +\\d+\n$"))))
        << "the book font, embedded, and no other\n"
        << fonts.toStdString();
    const QString info = testing::Poppler("pdfinfo", {pdf}).value_or(QString());
    EXPECT_TRUE(info.contains(QString::fromLatin1(GetParam().pageSize))) << info.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Books, TwoRecordSession,
    ::testing::Values(SessionRow{"TextBookUpright", Book::Text, "595 x 842 pts (A4)"},
                      SessionRow{"TableBookAcross", Book::Table, "842 x 595 pts (A4)"}),
    pile::test::RowName());

// Characters whose glyphs the original font shares with lower code points (radicals, CJK
// extension A, compatibility forms) come back as the book holds them.
TEST_F(BookPdfTest, SharedGlyphsComeBackAsTheBooksCharacters) {
    const std::vector<std::u16string> lines = {u"输入数据 入身面土石工 基桩成桩工艺",
                                               u"胶 幐 曶 ／ ～ 〈〉 　全角空格"};
    const QString text =
        testing::PdfText(Write(PrintedTextBook(QStringLiteral("字符"), lines))).value_or(QString());
    EXPECT_FALSE(testing::HasRadical(text));
    EXPECT_EQ(testing::ExtractedBody(text), testing::Joined(lines)) << text.toStdString();
}

// The book font holds GBK, what a saved book can hold (a typed socket depth goes into the book
// as typed, so the books' characters are no closed set), and nothing beyond it.
struct RepertoireRow {
    const char* name;
    QString text;
    bool held;
};

class BookFontRepertoire : public ::testing::TestWithParam<RepertoireRow> {};

TEST_P(BookFontRepertoire, HoldsGbkWithoutTheRadicals) {
    pile::test::QtApplication();
    ASSERT_TRUE(BookFontLoaded()) << "the derived book font was not found";
    const QRawFont font = QRawFont::fromFont(QFont(BookFontFamily()));
    for (const uint c : GetParam().text.toUcs4()) {
        EXPECT_EQ(font.supportsCharacter(c), GetParam().held) << "U+" << std::hex << c;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BookFontRepertoire,
    ::testing::Values(
        RepertoireRow{"AsciiLettersDigitsSymbols", QStringLiteral("AZaz09.,:;()^-=+/<>%"), true},
        RepertoireRow{"TheBooksSymbols", QStringLiteral("ζμψγβ∑≤≥＜《》：（）　"), true},
        RepertoireRow{"Gb2312Hanzi", QStringLiteral("嵌岩桩计算书第页共"), true},
        RepertoireRow{"GbkBeyondGb2312", QStringLiteral("幐曶堃喆"), true},
        RepertoireRow{"KangxiAndSupplementRadicals", QStringLiteral("⼊⾝⽯⺀⻍"), false},
        RepertoireRow{"CjkExtensionA", QStringLiteral("㭵䶮"), false},
        RepertoireRow{"Hangul", QStringLiteral("한글"), false}),
    pile::test::RowName());

// The columns the books count for a text, drawn in the book font: every character the font holds
// (the books can print all of GBK) and the lines whose Greek letters and full-width forms stood
// off their neighbours, each exactly as many half-width cells as the books pad it to.
struct CellsRow {
    const char* name;
    QString text;  // empty: every character of the font, one at a time
};

class BookFontCells : public ::testing::TestWithParam<CellsRow> {};

TEST_P(BookFontCells, DrawsEveryTextAsWideAsTheBooksCountIt) {
    pile::test::QtApplication();
    ASSERT_TRUE(BookFontLoaded()) << "the derived book font was not found";
    QFont font(BookFontFamily());
    font.setPixelSize(64);  // a cell of 32 pixels, no rounding to 1/64
    const QFontMetricsF metrics(font);
    const qreal cell = metrics.horizontalAdvance(QStringLiteral("0"));
    ASSERT_NEAR(cell, 32.0, 0.02);
    QStringList texts{GetParam().text};
    if (GetParam().text.isEmpty()) {
        texts.clear();
        const QRawFont raw = QRawFont::fromFont(font);
        for (char32_t c = 0x20; c <= 0xFFFF; ++c) {
            if (c != 0x7F && raw.supportsCharacter(c)) {
                texts.append(QString(QChar(c)));
            }
        }
        ASSERT_GT(texts.size(), 21000);
    }
    for (const QString& text : texts) {
        const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size()));
        const int columns = static_cast<int>(units.size()) + WideCharCount(units);
        EXPECT_NEAR(metrics.horizontalAdvance(text), columns * cell, 0.02 * columns)
            << text.toStdString() << " U+" << std::hex
            << static_cast<unsigned>(text.front().unicode());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BookFontCells,
    ::testing::Values(CellsRow{"EveryCharacterOfTheFont", QString()},
                      CellsRow{"SocketRatioLine", QStringLiteral("ζr: 0.95")},
                      CellsRow{"PerimeterLine", QStringLiteral("桩身截面周长μ: 3.142 m")},
                      CellsRow{"FullWidthForms", QStringLiteral("（Ra）：≤1.5d，满足要求")},
                      CellsRow{"DashesTheFontJoins", QStringLiteral("————")}),
    pile::test::RowName());

}  // namespace
}  // namespace pile::ui
