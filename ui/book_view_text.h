// The text side of BookView, without a widget: places in a book, how they follow a change of
// the book, which line is the widest, and the text between two places. The book is the line
// list its owner keeps; nothing here copies it.
#pragma once

#include <QString>
#include <compare>
#include <cstddef>
#include <string_view>

#include "books/calculation_books.h"

namespace pile::ui {

// A place between two characters of a book: a line, and the UTF-16 code units before the
// place in that line.
struct BookPosition {
    std::size_t line = 0;
    int column = 0;
    friend auto operator<=>(const BookPosition&, const BookPosition&) = default;
};

// The place after the last character of `book` ({0, 0} for an empty book).
BookPosition EndOf(const BookLines& book);

// The nearest place that exists in `book`.
BookPosition Clamped(BookPosition position, const BookLines& book);

// Where `position` stands after `change`; `book` is the book after it. A place inside the
// replaced lines goes to the start of the change, a place after them moves with the lines.
BookPosition Followed(BookPosition position, const BookChange& change, const BookLines& book);

// The same for a line number alone, such as the first line on show.
std::size_t FollowedLine(std::size_t line, const BookChange& change, const BookLines& book);

// The text between two places, lines joined by "\n" as QPlainTextEdit copies them.
QString TextBetween(const BookLines& book, BookPosition from, BookPosition to);

// The columns a line takes in a CJK monospace face: two for a wide East-Asian character, one
// for anything else. Only used to find the candidate for the widest line; the pixels are
// measured in the view's font.
std::size_t DisplayColumns(std::u16string_view line);

// Which line of a book is the widest by DisplayColumns (the first of equals), kept in step
// with the book change by change: the work is in proportion to the change, except when a
// change removes the widest line itself, which calls for one pass over the book.
class WidestLine {
  public:
    void Reset(const BookLines& book);
    // `book` is the book after `change`. Returns true when the widest line is another one
    // or has another width.
    bool Follow(const BookLines& book, const BookChange& change);

    bool Exists() const { return exists_; }
    std::size_t Line() const { return line_; }
    std::size_t Columns() const { return columns_; }

  private:
    void Consider(std::size_t line, std::size_t columns);

    bool exists_ = false;
    std::size_t line_ = 0;
    std::size_t columns_ = 0;
};

}  // namespace pile::ui
