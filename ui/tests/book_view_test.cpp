#include "book_view.h"

#include <gtest/gtest.h>

#include "testing/qt/ui_test_support.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <cmath>
#include <functional>

#include "io/qt_text.h"
#include "testing/book_fixtures.h"
#include "testing/row_name.h"
#include "ui/platform/qt_translation.h"
#include "ui_fonts.h"

// Failures show the texts, not their code units.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using pile::BookLines;
using pile::io::ToQString;
using pile::io::ToU16;
using pile::ui::BookPosition;
using pile::ui::BookView;

QString Joined(const BookLines& book) {
    QStringList lines;
    for (const std::u16string& line : book) {
        lines.append(ToQString(line));
    }
    return lines.join(u'\n');
}

QString Clipboard() {
    return QGuiApplication::clipboard()->text();
}

// A view of 355 x 547 in the memo font, as on the book screen.
class BookViewTest : public ::testing::Test {
  protected:
    void Show(BookLines lines, double pointSize = 14) {
        book_ = std::move(lines);
        view_.setFont(pile::ui::MemoFont(pointSize));
        view_.SetBook(&book_);
        view_.resize(355, 547);
        view_.show();
        QApplication::processEvents();
    }

    // The middle of a character's cell (or `share` of the way across it), measured with the
    // font's own advances: no assumption about the columns a character takes.
    QPoint PointIn(BookPosition position, double share = 0.5) const {
        const QFontMetricsF metrics(view_.font(), view_.viewport());
        const QString line = ToQString(book_[position.line]);
        const double left = metrics.horizontalAdvance(line.left(position.column));
        const double width = position.column < line.size()
                                 ? metrics.horizontalAdvance(line.left(position.column + 1)) - left
                                 : 0;
        const auto row = static_cast<int>(position.line - view_.FirstVisibleLine());
        return QPoint(static_cast<int>(std::lround(BookView::kTextMargin + left + share * width -
                                                   view_.horizontalScrollBar()->value())),
                      BookView::kTextMargin + row * view_.LineHeight() + view_.LineHeight() / 2);
    }

    void Drag(BookPosition from, BookPosition to) {
        QTest::mousePress(view_.viewport(), Qt::LeftButton, {}, PointIn(from, 0));
        QTest::mouseMove(view_.viewport(), PointIn(to, 0));
        QTest::mouseRelease(view_.viewport(), Qt::LeftButton, {}, PointIn(to, 0));
    }

    pile::ui::testing::AppFirst app_;
    BookLines book_;
    BookView view_;
};

// Books of a session: the fixture piles in turn ("C" circle, "E" ellipse, "R" rectangle)
// appended, "D" the delete-last; `follow` sees each change.
void Play(pile::CalculationBooks& books, const std::string& steps,
          const std::function<void(const pile::BooksChange&)>& follow = {}) {
    namespace piles = pile::testing_piles;
    for (const char step : steps) {
        const piles::Pile pile = step == 'E'   ? piles::Ellipse()
                                 : step == 'R' ? piles::Rectangle()
                                               : piles::Startup();
        const pile::BooksChange change =
            step == 'D' ? books.DeleteLast()
                        : books.AppendRecord(pile.input, pile.result, pile.dd, pile.tyzd,
                                             pile::PrecisionMode::Units, u'.', u"2024/5/6 14:00");
        if (follow) {
            follow(change);
        }
    }
}

pile::CalculationBooks RealBooks(int records) {
    pile::CalculationBooks books;
    Play(books, std::string(static_cast<std::size_t>(records), 'C'));
    return books;
}

// ---------------------------------------------------------------- selection and copy

struct DragRow {
    const char* name;
    BookPosition from;
    BookPosition to;
    const char16_t* expected;
};

void PrintTo(const DragRow& row, std::ostream* out) {
    *out << row.name;
}

class DragAndCopy : public BookViewTest, public ::testing::WithParamInterface<DragRow> {};

TEST_P(DragAndCopy, CopiesTheDraggedText) {
    Show({u"第一行 line one", u"", u"第三行 ζr=1.10"});
    const DragRow& row = GetParam();
    Drag(row.from, row.to);
    QTest::keyClick(&view_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QString::fromUtf16(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DragAndCopy,
    ::testing::Values(DragRow{"WithinALine", {0, 1}, {0, 5}, u"一行 l"},
                      DragRow{"AcrossLines", {0, 2}, {2, 4}, u"行 line one\n\n第三行 "},
                      DragRow{"Backwards", {2, 6}, {0, 9}, u"one\n\n第三行 ζr"},
                      DragRow{"FromAnEmptyLine", {1, 0}, {2, 3}, u"\n第三行"}),
    pile::test::RowName());

TEST_F(BookViewTest, SelectionIsDrawnInTheHighlightColour) {
    Show({u"第一行 line one", u"第二行"});
    const QPalette::ColorGroup group = view_.hasFocus() ? QPalette::Active : QPalette::Inactive;
    const QColor highlight = view_.palette().color(group, QPalette::Highlight);
    const QPoint firstCell = PointIn({0, 0}, 0.1) - QPoint(0, view_.LineHeight() / 2 - 1);
    EXPECT_NE(view_.viewport()->grab().toImage().pixelColor(firstCell), highlight);
    view_.Select({0, 0}, {1, 1});
    EXPECT_EQ(view_.viewport()->grab().toImage().pixelColor(firstCell), highlight);
}

TEST_F(BookViewTest, ShiftClickExtendsAndDoubleClickSelectsAWord) {
    Show({u"桩号 ZH1 Ra = 1234.5 kN"});
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, PointIn({0, 3}, 0));
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, Qt::ShiftModifier, PointIn({0, 6}, 0));
    EXPECT_EQ(view_.SelectedText(), QStringLiteral("ZH1"));
    QTest::mouseDClick(view_.viewport(), Qt::LeftButton, {}, PointIn({0, 15}));
    EXPECT_EQ(view_.SelectedText(), QStringLiteral("1234.5"));
}

// A drag past the bottom edge scrolls the book and selects on beyond the lines first on show.
TEST_F(BookViewTest, DragBeyondTheViewScrollsAndSelectsOn) {
    BookLines lines;
    for (int i = 0; i < 300; ++i) {
        lines.push_back(ToU16(QStringLiteral("第%1行").arg(i)));
    }
    Show(std::move(lines));
    const int onShow = view_.verticalScrollBar()->pageStep();
    QTest::mousePress(view_.viewport(), Qt::LeftButton, {}, PointIn({1, 0}, 0));
    const QPoint below(20, view_.viewport()->height() + 3 * view_.LineHeight());
    QTest::mouseMove(view_.viewport(), below);
    QTest::qWait(400);
    QTest::mouseRelease(view_.viewport(), Qt::LeftButton, {}, below);
    EXPECT_GT(view_.FirstVisibleLine(), 0u);
    EXPECT_GT(view_.Caret().line, static_cast<std::size_t>(onShow));
    EXPECT_EQ(view_.Anchor(), (BookPosition{1, 0}));
}

class SelectAllAndCopy : public BookViewTest, public ::testing::WithParamInterface<pile::Book> {};

TEST_P(SelectAllAndCopy, CopiesTheBookJoinedByNewlines) {
    const pile::CalculationBooks books = RealBooks(3);
    const BookLines& book = GetParam() == pile::Book::Text ? books.TextLines() : books.TableLines();
    Show(book);
    QTest::keyClick(&view_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&view_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), Joined(book));
    EXPECT_EQ(view_.toPlainText(), Joined(book));
}

INSTANTIATE_TEST_SUITE_P(Books, SelectAllAndCopy,
                         ::testing::Values(pile::Book::Text, pile::Book::Table),
                         [](const auto& row) {
                             return row.param == pile::Book::Text ? "TextBook" : "TableBook";
                         });

// ---------------------------------------------------------------- hit testing

struct HitRow {
    const char* name;
    const char16_t* line;
};

void PrintTo(const HitRow& row, std::ostream* out) {
    *out << row.name;
}

class HitTest : public BookViewTest,
                public ::testing::WithParamInterface<std::tuple<HitRow, double>> {};

// The left quarter of every character hits before it, the right quarter after it.
TEST_P(HitTest, EveryCharacterIsHitWhereItIsDrawn) {
    const auto& [row, pointSize] = GetParam();
    Show({u"x", row.line}, pointSize);
    const int length = static_cast<int>(std::u16string_view(row.line).size());
    for (int column = 0; column < length; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(view_.PositionAt(PointIn({1, column}, 0.25)), (BookPosition{1, column}));
        EXPECT_EQ(view_.PositionAt(PointIn({1, column}, 0.75)), (BookPosition{1, column + 1}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HitTest,
    ::testing::Combine(
        ::testing::Values(HitRow{"Latin", u"Ra=1234.5kN"}, HitRow{"Chinese", u"单桩竖向承载力"},
                          HitRow{"ChineseAndLatin", u"桩身直径 d=1000mm 嵌岩"},
                          HitRow{"GreekAndSuperscript", u"ζr=1.10 Ap=0.785m² ψc"},
                          HitRow{"FullWidthPunctuation", u"（依据DBJ50-047-2016），完"}),
        ::testing::Values(4.0, 14.0, 23.25)),
    [](const auto& row) {
        const double size = std::get<1>(row.param);
        return std::string(std::get<0>(row.param).name) + "At" +
               std::to_string(static_cast<int>(size * 100)) + "Hundredths";
    });

// ---------------------------------------------------------------- scroll ranges

// The widest line of the book in pixels, measured line by line.
int ExpectedHorizontalMaximum(const BookView& view, const BookLines& book) {
    const QFontMetricsF metrics(view.font(), view.viewport());
    double widest = 0;
    for (const std::u16string& line : book) {
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(line)));
    }
    const int content = static_cast<int>(std::ceil(widest)) + 2 * BookView::kTextMargin + 1;
    return std::max(0, content - view.viewport()->width());
}

class ScrollRanges : public BookViewTest, public ::testing::WithParamInterface<pile::Book> {};

TEST_P(ScrollRanges, FollowAppendsAndDeletions) {
    pile::CalculationBooks books;
    const bool text = GetParam() == pile::Book::Text;
    const BookLines& book = text ? books.TextLines() : books.TableLines();
    Show({});
    view_.SetBook(&book);
    QScrollBar* vertical = view_.verticalScrollBar();
    QScrollBar* horizontal = view_.horizontalScrollBar();
    // Ellipses write wider lines than circles: deletions take the widest line away.
    Play(books, "CEREDDCCEDDDDDC", [&](const pile::BooksChange& change) {
        view_.BookChanged(text ? change.text : change.table);
        QApplication::processEvents();
        SCOPED_TRACE(std::to_string(books.PileCounter()) + " records");
        const int lines = static_cast<int>(book.size());
        EXPECT_EQ(vertical->maximum(), std::max(0, lines - vertical->pageStep()));
        EXPECT_NEAR(horizontal->maximum(), ExpectedHorizontalMaximum(view_, book), 1);
    });
    // A second view of the same book (the book window) takes the measures over.
    BookView second;
    second.setFont(view_.font());
    second.resize(view_.size());
    second.SetBook(view_);
    second.show();
    QApplication::processEvents();
    EXPECT_EQ(second.horizontalScrollBar()->maximum(), horizontal->maximum());
    EXPECT_EQ(second.verticalScrollBar()->maximum(), vertical->maximum());
}

INSTANTIATE_TEST_SUITE_P(Books, ScrollRanges,
                         ::testing::Values(pile::Book::Text, pile::Book::Table),
                         [](const auto& row) {
                             return row.param == pile::Book::Text ? "TextBook" : "TableBook";
                         });

// A found match: selected, its line off the screen brought into the middle, one on the screen
// left where it is.
TEST_F(BookViewTest, RevealBringsAMatchIntoTheMiddle) {
    BookLines lines(300, u"ZH");
    Show(std::move(lines));
    const int visible = view_.verticalScrollBar()->pageStep();
    view_.Reveal({200, 0}, {200, 2});
    EXPECT_EQ(view_.SelectedText(), QStringLiteral("ZH"));
    EXPECT_EQ(view_.FirstVisibleLine(), static_cast<std::size_t>(200 - visible / 2));
    view_.Reveal({201, 0}, {201, 2});
    EXPECT_EQ(view_.FirstVisibleLine(), static_cast<std::size_t>(200 - visible / 2));
}

TEST_F(BookViewTest, SelectionKeepsToItsTextWhileTheBookChanges) {
    Show({u"a", u"桩号 ZH1", u"c"});
    view_.Select({1, 0}, {1, 2});
    book_.insert(book_.begin(), u"new first line");
    view_.BookChanged({0, 0, 1});
    EXPECT_EQ(view_.SelectedText(), QStringLiteral("桩号"));
    book_.erase(book_.begin() + 2);
    view_.BookChanged({2, 1, 0});
    EXPECT_FALSE(view_.HasSelection());
    EXPECT_EQ(view_.Caret(), (BookPosition{2, 0}));
}

// ---------------------------------------------------------------- keys, caret, fonts

struct KeyRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    BookPosition anchor;
    BookPosition caret;
};

void PrintTo(const KeyRow& row, std::ostream* out) {
    *out << row.name;
}

class Keys : public BookViewTest, public ::testing::WithParamInterface<KeyRow> {};

// From the caret at line 50, column 2 of a book of 100 lines "桩050 abc".
TEST_P(Keys, MoveTheCaretAndKeepItOnShow) {
    BookLines lines;
    for (int i = 0; i < 100; ++i) {
        lines.push_back(ToU16(QStringLiteral("桩%1 abc").arg(i, 3, 10, QLatin1Char('0'))));
    }
    Show(std::move(lines));
    view_.Select({50, 2}, {50, 2});
    const KeyRow& row = GetParam();
    QTest::keyClick(&view_, row.key, row.modifiers);
    EXPECT_EQ(view_.Anchor(), row.anchor);
    EXPECT_EQ(view_.Caret(), row.caret);
    EXPECT_GE(view_.Caret().line, view_.FirstVisibleLine());
    EXPECT_LT(view_.Caret().line,
              view_.FirstVisibleLine() + std::size_t(view_.verticalScrollBar()->pageStep()));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Keys,
    ::testing::Values(
        KeyRow{"Right", Qt::Key_Right, {}, {50, 3}, {50, 3}},
        KeyRow{"ShiftLeftSelects", Qt::Key_Left, Qt::ShiftModifier, {50, 2}, {50, 1}},
        KeyRow{"DownKeepsTheColumn", Qt::Key_Down, {}, {51, 2}, {51, 2}},
        KeyRow{"ShiftEndSelectsToTheLineEnd", Qt::Key_End, Qt::ShiftModifier, {50, 2}, {50, 8}},
        KeyRow{"Home", Qt::Key_Home, {}, {50, 0}, {50, 0}},
        KeyRow{"CtrlEnd", Qt::Key_End, Qt::ControlModifier, {99, 8}, {99, 8}},
        KeyRow{"CtrlShiftHome",
               Qt::Key_Home,
               Qt::ControlModifier | Qt::ShiftModifier,
               {50, 2},
               {0, 0}}),
    pile::test::RowName());

TEST_F(BookViewTest, CaretToStartLeavesNoSelectionAndShowsTheBeginning) {
    const pile::CalculationBooks books = RealBooks(20);
    Show(books.TableLines());
    view_.Select({2, 0}, {60, 100});
    view_.verticalScrollBar()->setValue(view_.verticalScrollBar()->maximum());
    view_.horizontalScrollBar()->setValue(view_.horizontalScrollBar()->maximum());
    ASSERT_GT(view_.verticalScrollBar()->value(), 0);
    ASSERT_GT(view_.horizontalScrollBar()->value(), 0);
    view_.CaretToStart();
    EXPECT_FALSE(view_.HasSelection());
    EXPECT_EQ(view_.Caret(), (BookPosition{}));
    EXPECT_EQ(view_.verticalScrollBar()->value(), 0);
    EXPECT_EQ(view_.horizontalScrollBar()->value(), 0);
}

// "结果" raises the font by 2 points and lowers it again; nothing a person sees may move.
TEST_F(BookViewTest, FontRoundTripKeepsTheViewAsItWas) {
    const pile::CalculationBooks books = RealBooks(20);
    Show(books.TextLines(), 14.5);
    view_.verticalScrollBar()->setValue(300);
    view_.Select({310, 1}, {312, 4});
    const int lineHeight = view_.LineHeight();
    const int range = view_.verticalScrollBar()->maximum();
    pile::ui::SetPointSize(view_, 16.5);
    EXPECT_GT(view_.LineHeight(), lineHeight);
    pile::ui::SetPointSize(view_, 14.5);
    EXPECT_EQ(view_.font().pointSizeF(), 14.5);
    EXPECT_EQ(view_.LineHeight(), lineHeight);
    EXPECT_EQ(view_.verticalScrollBar()->maximum(), range);
    EXPECT_EQ(view_.FirstVisibleLine(), 300u);
    EXPECT_EQ(view_.SelectedText(), pile::ui::TextBetween(books.TextLines(), {310, 1}, {312, 4}));
}

// ---------------------------------------------------------------- empty book, context menu

TEST_F(BookViewTest, AnEmptyBookTakesEveryAction) {
    for (const bool noBook : {true, false}) {
        Show({});
        view_.SetBook(noBook ? nullptr : &book_);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(&view_, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&view_, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&view_, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(&view_, Qt::Key_PageDown);
        QTest::mouseDClick(view_.viewport(), Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mousePress(view_.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(view_.viewport(), QPoint(10, 900));
        QTest::mouseRelease(view_.viewport(), Qt::LeftButton, {}, QPoint(10, 900));
        EXPECT_FALSE(view_.grab().isNull());
        EXPECT_EQ(Clipboard(), QStringLiteral("before"));
        EXPECT_TRUE(view_.toPlainText().isEmpty());
        EXPECT_EQ(view_.verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(view_.horizontalScrollBar()->maximum(), 0);
    }
}

TEST_F(BookViewTest, ContextMenuHasQtsCopyAndSelectAll) {
    static const bool translated =
        pile::platform::InstallQtChineseTranslation(pile::test::QtApplication());
    if (!translated) {
        GTEST_SKIP() << "Qt's Chinese translation (qt6-translations-l10n) is not installed";
    }
    Show({u"桩号 ZH1", u"Ra"});
    for (const bool selected : {false, true}) {
        view_.Select({0, 0}, {0, selected ? 2 : 0});
        std::unique_ptr<QMenu> menu(view_.createStandardContextMenu());
        auto* copy = menu->findChild<QAction*>(QStringLiteral("edit-copy"));
        auto* all = menu->findChild<QAction*>(QStringLiteral("select-all"));
        ASSERT_NE(copy, nullptr);
        ASSERT_NE(all, nullptr);
        EXPECT_EQ(copy->text().section(u'\t', 0, 0), QStringLiteral("复制(&C)"));
        EXPECT_EQ(all->text().section(u'\t', 0, 0), QStringLiteral("全选"));
        EXPECT_EQ(copy->isEnabled(), selected);
        EXPECT_TRUE(all->isEnabled());
        if (selected) {
            copy->trigger();
            EXPECT_EQ(Clipboard(), QStringLiteral("桩号"));
            all->trigger();
            EXPECT_EQ(view_.SelectedText(), QStringLiteral("桩号 ZH1\nRa"));
        }
    }
    // The window adds its own items through a custom menu: the request reaches it.
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy requested(&view_, &QWidget::customContextMenuRequested);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                            view_.viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(view_.viewport(), &event);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested.at(0).at(0).toPoint(), QPoint(20, 20));  // in the viewport's pixels
}

}  // namespace
