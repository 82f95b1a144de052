#include "book_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextCharFormat>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace pile::ui {

namespace {

constexpr int kMargin = BookView::kTextMargin;
// Pixels of a horizontal scroll step, as QPlainTextEdit's.
constexpr int kHorizontalStep = 20;
constexpr int kAutoScrollMs = 50;
// Wide enough for any line of a book: lines are never wrapped.
constexpr double kUnboundedWidth = 1e6;

QString RawText(const std::u16string& line) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(line.data()),
                                static_cast<qsizetype>(line.size()));
}

int Length(const std::u16string& line) {
    return static_cast<int>(line.size());
}

// "\tCtrl+C" after a menu text, as Qt's text widgets show the shortcut.
QString ShortcutSuffix(QKeySequence::StandardKey key) {
    if (QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus)) {
        return {};
    }
    return u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
}

void SetThemeIcon(QAction* action, const QString& name) {
    const QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull()) {
        action->setIcon(icon);
    }
}

}  // namespace

BookView::BookView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);  // the vertical bar counts lines
    horizontalScrollBar()->setSingleStep(kHorizontalStep);
    MeasureFont();
    UpdateScrollRanges();
}

const BookLines& BookView::Lines() const {
    static const BookLines kNoBook;
    return book_ != nullptr ? *book_ : kNoBook;
}

void BookView::SetBook(const BookLines* book) {
    book_ = book;
    anchor_ = {};
    caret_ = {};
    preferredX_.reset();
    widest_.Reset(Lines());
    seenWidth_ = 0;
    MeasureWidestLine();
    UpdateScrollRanges();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void BookView::SetBook(const BookView& measured) {
    book_ = measured.book_;
    anchor_ = {};
    caret_ = {};
    preferredX_.reset();
    widest_ = measured.widest_;
    seenWidth_ = 0;
    MeasureWidestLine();
    UpdateScrollRanges();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void BookView::BookChanged(const BookChange& change) {
    const BookLines& book = Lines();
    const std::size_t top = FollowedLine(FirstVisibleLine(), change, book);
    anchor_ = Followed(anchor_, change, book);
    caret_ = Followed(caret_, change, book);
    if (widest_.Follow(book, change)) {
        MeasureWidestLine();
    }
    if (change.removed > 0) {
        seenWidth_ = 0;  // it may have been a removed line's
    }
    UpdateScrollRanges();
    verticalScrollBar()->setValue(static_cast<int>(top));
    viewport()->update();
}

void BookView::CaretToStart() {
    anchor_ = {};
    caret_ = {};
    preferredX_.reset();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    RestartCaretBlink();
    viewport()->update();
}

void BookView::Select(BookPosition anchor, BookPosition caret) {
    anchor_ = Clamped(anchor, Lines());
    caret_ = Clamped(caret, Lines());
    preferredX_.reset();
    viewport()->update();
}

void BookView::Reveal(BookPosition anchor, BookPosition caret) {
    Select(anchor, caret);
    // A match off the screen comes into its middle, with what leads to it above it.
    QScrollBar* vertical = verticalScrollBar();
    const auto top = static_cast<std::size_t>(vertical->value());
    const auto visible = static_cast<std::size_t>(FullyVisibleLines());
    if (caret_.line < top || caret_.line >= top + visible) {
        const std::size_t half = visible / 2;
        vertical->setValue(static_cast<int>(caret_.line > half ? caret_.line - half : 0));
    }
    const BookPosition end = caret_;
    caret_ = anchor_;
    EnsureCaretVisible();  // the match's start, then its end across
    caret_ = end;
    EnsureCaretVisible();
}

QString BookView::SelectedText() const {
    return TextBetween(Lines(), std::min(anchor_, caret_), std::max(anchor_, caret_));
}

QString BookView::toPlainText() const {
    return TextBetween(Lines(), {}, EndOf(Lines()));
}

void BookView::selectAll() {
    anchor_ = {};
    caret_ = EndOf(Lines());
    preferredX_.reset();
    viewport()->update();
}

void BookView::copy() {
    if (HasSelection()) {
        QGuiApplication::clipboard()->setText(SelectedText());
    }
}

QMenu* BookView::createStandardContextMenu() {
    // Qt's own texts, so that Qt's translations name them as in every other text widget.
    auto* menu = new QMenu(this);
    QAction* copyAction =
        menu->addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy") +
                        ShortcutSuffix(QKeySequence::Copy));
    copyAction->setObjectName(QStringLiteral("edit-copy"));
    copyAction->setEnabled(HasSelection());
    SetThemeIcon(copyAction, QStringLiteral("edit-copy"));
    connect(copyAction, &QAction::triggered, this, &BookView::copy);

    menu->addSeparator();
    QAction* selectAllAction =
        menu->addAction(QCoreApplication::translate("QWidgetTextControl", "Select All") +
                        ShortcutSuffix(QKeySequence::SelectAll));
    selectAllAction->setObjectName(QStringLiteral("select-all"));
    selectAllAction->setEnabled(EndOf(Lines()) != BookPosition{});
    SetThemeIcon(selectAllAction, QStringLiteral("edit-select-all"));
    connect(selectAllAction, &QAction::triggered, this, &BookView::selectAll);
    return menu;
}

std::size_t BookView::FirstVisibleLine() const {
    return static_cast<std::size_t>(verticalScrollBar()->value());
}

BookPosition BookView::PositionAt(QPoint viewportPoint) const {
    const BookLines& book = Lines();
    if (book.empty()) {
        return {};
    }
    const double row = std::floor(double(viewportPoint.y() - kMargin) / lineHeight_);
    const double line = std::clamp(double(FirstVisibleLine()) + row, 0.0, double(book.size() - 1));
    const auto index = static_cast<std::size_t>(line);
    return {index, ColumnAt(index, viewportPoint.x() - TextLeft())};
}

// ---------------------------------------------------------------- measures and ranges

void BookView::MeasureFont() {
    const QFontMetricsF metrics(font(), viewport());
    lineHeight_ =
        std::max(1, static_cast<int>(std::ceil(std::max(metrics.height(), metrics.lineSpacing()))));
    ascent_ = metrics.ascent();
    columnWidth_ = std::max(metrics.horizontalAdvance(QLatin1Char('0')),
                            metrics.horizontalAdvance(QChar(0x4E2D)) / 2);  // 中
    seenWidth_ = 0;
    MeasureWidestLine();
}

void BookView::MeasureWidestLine() {
    widestWidth_ = 0;
    if (widest_.Exists() && widest_.Line() < Lines().size()) {
        QTextLayout layout(RawText(Lines()[widest_.Line()]), font(), viewport());
        widestWidth_ = LayOut(layout).naturalTextWidth();
    }
}

int BookView::FullyVisibleLines() const {
    return std::max(1, (viewport()->height() - kMargin) / lineHeight_);
}

void BookView::UpdateScrollRanges() {
    const std::size_t lines = Lines().size();
    const auto visible = static_cast<std::size_t>(FullyVisibleLines());
    const std::size_t maxTop =
        std::min<std::size_t>(lines > visible ? lines - visible : 0,
                              static_cast<std::size_t>(std::numeric_limits<int>::max()));
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(maxTop));
    vertical->setPageStep(static_cast<int>(visible));

    // The widest line by columns, measured; any line drawn wider (a face whose characters
    // are not exactly one or two columns wide); and the columns at the widest column.
    const double columnsWidth =
        widest_.Exists() ? static_cast<double>(widest_.Columns()) * columnWidth_ : 0;
    const double textWidth = std::max({widestWidth_, seenWidth_, columnsWidth});
    const int contentWidth = static_cast<int>(std::ceil(textWidth)) + 2 * kMargin + 1;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, contentWidth - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
}

int BookView::LineTop(std::size_t line) const {
    const auto row = static_cast<long long>(line) - static_cast<long long>(FirstVisibleLine());
    return kMargin + static_cast<int>(row) * lineHeight_;
}

int BookView::TextLeft() const {
    return kMargin - horizontalScrollBar()->value();
}

QTextLine BookView::LayOut(QTextLayout& layout) const {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(kUnboundedWidth);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    return line;
}

double BookView::XOf(BookPosition position) const {
    const BookLines& book = Lines();
    if (position.line >= book.size()) {
        return 0;
    }
    QTextLayout layout(RawText(book[position.line]), font(), viewport());
    return LayOut(layout).cursorToX(position.column);
}

int BookView::ColumnAt(std::size_t line, double x) const {
    QTextLayout layout(RawText(Lines()[line]), font(), viewport());
    return LayOut(layout).xToCursor(x);
}

// ---------------------------------------------------------------- painting

void BookView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const BookLines& book = Lines();
    const QRect area = event->rect();
    const std::size_t top = FirstVisibleLine();
    const int firstRow = std::max(0, (area.top() - kMargin) / lineHeight_);
    const int lastRow = std::max(0, (area.bottom() - kMargin) / lineHeight_);
    const BookPosition from = std::min(anchor_, caret_);
    const BookPosition to = std::max(anchor_, caret_);

    // As QPlainTextEdit: the active highlight while the view has the focus.
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    painter.setPen(palette().color(QPalette::Text));

    const double drawnWidth = seenWidth_;
    for (int row = firstRow; row <= lastRow; ++row) {
        const std::size_t line = top + static_cast<std::size_t>(row);
        if (line >= book.size()) {
            break;
        }
        QTextLayout layout(RawText(book[line]), font(), viewport());
        const QTextLine textLine = LayOut(layout);
        QList<QTextLayout::FormatRange> selections;
        if (from < to && from.line <= line && line <= to.line) {
            const int start = line == from.line ? from.column : 0;
            // A selection that goes on past the line's end takes its line break, which
            // QTextLayout draws as a short block after the text.
            const int end = line == to.line ? to.column : Length(book[line]) + 1;
            if (start < end) {
                selections.append({start, end - start, selected});
            }
        }
        // Every line on the same baseline grid, whatever faces its characters came from.
        const QPointF origin(TextLeft(), LineTop(line) + ascent_ - textLine.ascent());
        layout.draw(&painter, origin, selections, QRectF(area));
        if (caretOn_ && caret_.line == line) {
            layout.drawCursor(&painter, origin, caret_.column, 1);
        }
        seenWidth_ = std::max(seenWidth_, textLine.naturalTextWidth());
    }
    if (seenWidth_ > drawnWidth && seenWidth_ > widestWidth_) {
        // A line wider than its columns promised: widen the range once this paint is done.
        QMetaObject::invokeMethod(this, &BookView::UpdateScrollRanges, Qt::QueuedConnection);
    }
}

// ---------------------------------------------------------------- events

bool BookView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key == QKeySequence::Copy || key == QKeySequence::SelectAll) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void BookView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Nothing is laid out in advance, so a new size costs one measured line.
        MeasureFont();
        UpdateScrollRanges();
        viewport()->update();
    }
}

void BookView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void BookView::scrollContentsBy(int, int) {
    // The vertical bar counts lines, not pixels: draw afresh rather than move pixels.
    viewport()->update();
}

void BookView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    struct Key {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Motion motion;
    };
    static constexpr Key kKeys[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Motion::Left},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::Right},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::Up},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::Down},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::PageUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::PageDown},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument,
         Motion::BookStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::BookEnd},
    };
    for (const Key& key : kKeys) {
        if (event == key.move || event == key.select) {
            MoveCaret(key.motion, event == key.select);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void BookView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    preferredX_.reset();
    dragPoint_ = event->position().toPoint();
    SetCaret(PositionAt(dragPoint_), event->modifiers().testFlag(Qt::ShiftModifier));
    selecting_ = true;
}

void BookView::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    dragPoint_ = event->position().toPoint();
    const QRect area = viewport()->rect();
    if (area.contains(dragPoint_)) {
        autoScrollTimer_.stop();
        SetCaret(PositionAt(dragPoint_), true);
    } else if (!autoScrollTimer_.isActive()) {
        // Beyond the edge the selection goes on with the text scrolling towards the mouse.
        autoScrollTimer_.start(kAutoScrollMs, this);
        AutoScroll();
    }
}

void BookView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    selecting_ = false;
    autoScrollTimer_.stop();
    ShareSelection();
}

void BookView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    SelectWordAt(event->position().toPoint());
    selecting_ = false;
}

void BookView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void BookView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartCaretBlink();
    viewport()->update();  // the selection takes the active colours
}

void BookView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blinkTimer_.stop();
    caretOn_ = false;
    viewport()->update();
}

void BookView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == autoScrollTimer_.timerId()) {
        AutoScroll();
    } else if (event->timerId() == blinkTimer_.timerId()) {
        caretOn_ = !caretOn_;
        viewport()->update(0, LineTop(caret_.line), viewport()->width(), lineHeight_);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

// ---------------------------------------------------------------- caret and selection

void BookView::SetCaret(BookPosition caret, bool keepAnchor) {
    caret_ = Clamped(caret, Lines());
    if (!keepAnchor) {
        anchor_ = caret_;
    }
    RestartCaretBlink();
    viewport()->update();
}

void BookView::MoveCaret(Motion motion, bool keepAnchor) {
    const BookLines& book = Lines();
    if (book.empty()) {
        return;
    }
    const bool vertical = motion == Motion::Up || motion == Motion::Down ||
                          motion == Motion::PageUp || motion == Motion::PageDown;
    if (vertical && !preferredX_) {
        preferredX_ = XOf(caret_);
    }
    const std::size_t last = book.size() - 1;
    const auto page = static_cast<std::size_t>(FullyVisibleLines());
    BookPosition to = caret_;
    switch (motion) {
        case Motion::Left:
            if (!keepAnchor && HasSelection()) {
                to = std::min(anchor_, caret_);  // the selection collapses to its start
            } else if (to.column > 0) {
                const std::u16string& text = book[to.line];
                const bool pair = to.column >= 2 && QChar::isLowSurrogate(text[to.column - 1]) &&
                                  QChar::isHighSurrogate(text[to.column - 2]);
                to.column -= pair ? 2 : 1;
            } else if (to.line > 0) {
                --to.line;
                to.column = Length(book[to.line]);
            }
            break;
        case Motion::Right:
            if (!keepAnchor && HasSelection()) {
                to = std::max(anchor_, caret_);
            } else if (to.column < Length(book[to.line])) {
                const std::u16string& text = book[to.line];
                const bool pair = to.column + 1 < Length(text) &&
                                  QChar::isHighSurrogate(text[to.column]) &&
                                  QChar::isLowSurrogate(text[to.column + 1]);
                to.column += pair ? 2 : 1;
            } else if (to.line < last) {
                ++to.line;
                to.column = 0;
            }
            break;
        case Motion::Up:
            to.line = to.line > 0 ? to.line - 1 : 0;
            break;
        case Motion::Down:
            to.line = std::min(last, to.line + 1);
            break;
        case Motion::PageUp:
            to.line = to.line > page ? to.line - page : 0;
            verticalScrollBar()->setValue(verticalScrollBar()->value() - static_cast<int>(page));
            break;
        case Motion::PageDown:
            to.line = std::min(last, to.line + page);
            verticalScrollBar()->setValue(verticalScrollBar()->value() + static_cast<int>(page));
            break;
        case Motion::LineStart:
            to.column = 0;
            break;
        case Motion::LineEnd:
            to.column = Length(book[to.line]);
            break;
        case Motion::BookStart:
            to = {};
            break;
        case Motion::BookEnd:
            to = EndOf(book);
            break;
    }
    if (vertical) {
        to.column = ColumnAt(to.line, *preferredX_);
    } else {
        preferredX_.reset();
    }
    SetCaret(to, keepAnchor);
    EnsureCaretVisible();
}

void BookView::EnsureCaretVisible() {
    QScrollBar* vertical = verticalScrollBar();
    const auto top = static_cast<std::size_t>(vertical->value());
    const auto visible = static_cast<std::size_t>(FullyVisibleLines());
    if (caret_.line < top) {
        vertical->setValue(static_cast<int>(caret_.line));
    } else if (caret_.line >= top + visible) {
        vertical->setValue(static_cast<int>(caret_.line - visible + 1));
    }
    QScrollBar* horizontal = horizontalScrollBar();
    const double x = XOf(caret_);
    const int width = std::max(1, viewport()->width() - 2 * kMargin);
    if (x < horizontal->value()) {
        horizontal->setValue(static_cast<int>(std::floor(x)));
    } else if (x > horizontal->value() + width) {
        horizontal->setValue(static_cast<int>(std::ceil(x)) - width);
    }
}

void BookView::SelectWordAt(QPoint viewportPoint) {
    const BookPosition hit = PositionAt(viewportPoint);
    const BookLines& book = Lines();
    if (book.empty() || book[hit.line].empty()) {
        SetCaret(hit, false);
        return;
    }
    // The character under the mouse, then the boundaries of the word (or the run of blanks,
    // or the punctuation) that holds it.
    const QString text = RawText(book[hit.line]);
    QTextLayout layout(text, font(), viewport());
    const int under = std::clamp(
        LayOut(layout).xToCursor(viewportPoint.x() - TextLeft(), QTextLine::CursorOnCharacter), 0,
        static_cast<int>(text.size()) - 1);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(under);
    const qsizetype start = finder.isAtBoundary() ? under : finder.toPreviousBoundary();
    finder.setPosition(under + 1);
    const qsizetype end = finder.isAtBoundary() ? under + 1 : finder.toNextBoundary();
    SetCaret({hit.line, static_cast<int>(std::max<qsizetype>(start, 0))}, false);
    SetCaret({hit.line, static_cast<int>(end < 0 ? text.size() : end)}, true);
    ShareSelection();
}

void BookView::AutoScroll() {
    const QRect area = viewport()->rect();
    int lines = 0;
    if (dragPoint_.y() < area.top()) {
        lines = -(1 + (area.top() - dragPoint_.y()) / lineHeight_);
    } else if (dragPoint_.y() > area.bottom()) {
        lines = 1 + (dragPoint_.y() - area.bottom()) / lineHeight_;
    }
    int pixels = 0;
    if (dragPoint_.x() < area.left()) {
        pixels = -(kHorizontalStep + area.left() - dragPoint_.x());
    } else if (dragPoint_.x() > area.right()) {
        pixels = kHorizontalStep + dragPoint_.x() - area.right();
    }
    verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + pixels);
    const QPoint inside(std::clamp(dragPoint_.x(), area.left(), area.right()),
                        std::clamp(dragPoint_.y(), area.top(), area.bottom()));
    SetCaret(PositionAt(inside), true);
}

void BookView::RestartCaretBlink() {
    if (!hasFocus()) {
        return;
    }
    caretOn_ = true;
    const int flashTime = QApplication::cursorFlashTime();
    if (flashTime >= 2) {
        blinkTimer_.start(flashTime / 2, this);
    } else {
        blinkTimer_.stop();
    }
}

void BookView::ShareSelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && HasSelection()) {
        clipboard->setText(SelectedText(), QClipboard::Selection);
    }
}

}  // namespace pile::ui
