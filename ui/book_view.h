// A read-only view of one calculation book. It draws only the lines on show, straight from the
// book's line list, which its owner keeps: the text is held once, and a repaint, a change of
// font or a scroll costs the same with ten thousand records as with one. A person uses it as
// the read-only QPlainTextEdit it replaces: scroll bars, wheel and keys scroll; the mouse and
// the shifted keys select; Ctrl+A, Ctrl+C and the standard context menu ("复制", "全选") copy.
//
// Every line has the height of the font's line spacing; a line is laid out (QTextLayout, no
// wrapping) only to draw it or to find a place in it, so Chinese characters of any width hit
// where they are drawn.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <optional>

#include "book_view_text.h"
#include "books/calculation_books.h"

class QMenu;
class QTextLayout;
class QTextLine;

namespace pile::ui {

class BookView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    // The text's distance from the frame, as a QPlainTextEdit's document margin keeps it.
    static constexpr int kTextMargin = 4;

    explicit BookView(QWidget* parent = nullptr);

    // Shows `book` (nullptr: nothing) from its beginning. The book must stay alive until the
    // view shows another one or is destroyed, and may change only as BookChanged reports.
    // One pass over the book finds its widest line.
    void SetBook(const BookLines* book);
    // The same for the book `measured` shows and follows: its widest line is taken over, so
    // that a second view of a book opens in the same time whatever the book holds.
    void SetBook(const BookView& measured);

    // The owner changed the shown book by `change` (a BookChange of CalculationBooks): call
    // it right after the change. The selection, the caret and the first line on show keep
    // to their text where it is still there, and the scroll ranges follow in time
    // proportional to the change.
    void BookChanged(const BookChange& change);

    // The book on show, as SetBook gave it.
    const BookLines* ShownBook() const { return book_; }

    // No selection; the caret and the view at the beginning of the text.
    void CaretToStart();

    BookPosition Anchor() const { return anchor_; }
    BookPosition Caret() const { return caret_; }
    // Selects from `anchor` to `caret` (the caret's end moves with shift and the keys).
    void Select(BookPosition anchor, BookPosition caret);
    // Selects from `anchor` to `caret` and scrolls the view until both ends are on show, a
    // line off the screen into its middle: a found match is seen whole where it fits.
    void Reveal(BookPosition anchor, BookPosition caret);
    bool HasSelection() const { return anchor_ != caret_; }
    QString SelectedText() const;

    // The place nearest to a point of the viewport, the point's row counted from the first
    // line on show: left of a line's text is its start, right of it its end, below the last
    // line a place in the last line.
    BookPosition PositionAt(QPoint viewportPoint) const;

    // The height of every line in pixels, and the line at the top of the viewport.
    int LineHeight() const { return lineHeight_; }
    std::size_t FirstVisibleLine() const;

    // As QPlainTextEdit's: the whole text, lines joined by "\n"; a new menu with Qt's own
    // "复制" and "全选" items that the caller owns and may add to (it is parented to the view,
    // so a menu the caller keeps is deleted with the view at the latest).
    QString toPlainText() const;
    QMenu* createStandardContextMenu();
    void selectAll();
    void copy();

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    enum class Motion {
        Left,
        Right,
        Up,
        Down,
        PageUp,
        PageDown,
        LineStart,
        LineEnd,
        BookStart,
        BookEnd
    };

    const BookLines& Lines() const;
    void MeasureFont();
    void MeasureWidestLine();
    void UpdateScrollRanges();
    int FullyVisibleLines() const;
    int LineTop(std::size_t line) const;  // in viewport pixels
    int TextLeft() const;                 // x of the lines' start in viewport pixels

    // Lays out `layout`, made of one line's text (not a copy) in the view's font.
    QTextLine LayOut(QTextLayout& layout) const;
    double XOf(BookPosition position) const;  // from the start of its line
    int ColumnAt(std::size_t line, double x) const;

    void MoveCaret(Motion motion, bool keepAnchor);
    void SetCaret(BookPosition caret, bool keepAnchor);
    void EnsureCaretVisible();
    void SelectWordAt(QPoint viewportPoint);
    void AutoScroll();
    void RestartCaretBlink();
    void ShareSelection();  // the X11 selection, as text widgets do after a mouse selection

    const BookLines* book_ = nullptr;
    BookPosition anchor_;
    BookPosition caret_;
    std::optional<double> preferredX_;  // where Up and Down keep the caret

    WidestLine widest_;
    double widestWidth_ = 0;  // the widest line in pixels, in the current font
    double seenWidth_ = 0;    // the widest line drawn since the last font change or removal

    int lineHeight_ = 1;
    double ascent_ = 0;
    double columnWidth_ = 0;  // one column of DisplayColumns, the wider of Latin and CJK

    bool selecting_ = false;  // the left button went down in the view and is still down
    QPoint dragPoint_;
    QBasicTimer autoScrollTimer_;
    QBasicTimer blinkTimer_;
    bool caretOn_ = false;
};

}  // namespace pile::ui
