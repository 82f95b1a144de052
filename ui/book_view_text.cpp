#include "book_view_text.h"

#include <algorithm>

namespace pile::ui {

namespace {

// East-Asian wide and full-width characters of the Basic Multilingual Plane.
bool IsWide(char16_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

int LengthOf(const std::u16string& line) {
    return static_cast<int>(line.size());
}

}  // namespace

BookPosition EndOf(const BookLines& book) {
    if (book.empty()) {
        return {};
    }
    return {book.size() - 1, LengthOf(book.back())};
}

BookPosition Clamped(BookPosition position, const BookLines& book) {
    if (book.empty()) {
        return {};
    }
    if (position.line >= book.size()) {
        return EndOf(book);
    }
    position.column = std::clamp(position.column, 0, LengthOf(book[position.line]));
    return position;
}

BookPosition Followed(BookPosition position, const BookChange& change, const BookLines& book) {
    const std::size_t removedEnd = change.position + change.removed;
    if (position.line >= removedEnd) {
        position.line = position.line - change.removed + change.inserted;
    } else if (position.line >= change.position) {
        position = {change.position, 0};
    }
    return Clamped(position, book);
}

std::size_t FollowedLine(std::size_t line, const BookChange& change, const BookLines& book) {
    return Followed({line, 0}, change, book).line;
}

QString TextBetween(const BookLines& book, BookPosition from, BookPosition to) {
    from = Clamped(from, book);
    to = Clamped(to, book);
    if (book.empty() || !(from < to)) {
        return {};
    }
    // One allocation for the whole text: a selection can hold every line of a big book.
    qsizetype size = 0;
    for (std::size_t line = from.line; line <= to.line; ++line) {
        size += static_cast<qsizetype>(book[line].size()) + 1;
    }
    QString text;
    text.reserve(size);
    for (std::size_t line = from.line; line <= to.line; ++line) {
        const std::u16string& content = book[line];
        const int begin = line == from.line ? from.column : 0;
        const int end = line == to.line ? to.column : LengthOf(content);
        if (line > from.line) {
            text.append(u'\n');
        }
        text.append(reinterpret_cast<const QChar*>(content.data()) + begin, end - begin);
    }
    return text;
}

std::size_t DisplayColumns(std::u16string_view line) {
    std::size_t columns = 0;
    for (const char16_t c : line) {
        if (c >= 0xDC00 && c <= 0xDFFF) {
            continue;  // the second half of a pair: its first half counted
        }
        // Characters beyond the Basic Multilingual Plane in these books are CJK ideographs.
        columns += (IsWide(c) || (c >= 0xD800 && c <= 0xDBFF)) ? 2 : 1;
    }
    return columns;
}

void WidestLine::Reset(const BookLines& book) {
    exists_ = false;
    line_ = 0;
    columns_ = 0;
    for (std::size_t i = 0; i < book.size(); ++i) {
        Consider(i, DisplayColumns(book[i]));
    }
}

bool WidestLine::Follow(const BookLines& book, const BookChange& change) {
    const bool existed = exists_;
    const std::size_t oldColumns = columns_;
    const std::size_t removedEnd = change.position + change.removed;
    const bool widestRemoved = exists_ && line_ >= change.position && line_ < removedEnd;
    if (widestRemoved || change.position + change.inserted > book.size()) {
        // The widest line is gone (or the change does not fit the book): look afresh.
        Reset(book);
        return true;
    }
    if (exists_ && line_ >= removedEnd) {
        line_ = line_ - change.removed + change.inserted;
    }
    const std::size_t movedLine = line_;
    for (std::size_t i = change.position; i < change.position + change.inserted; ++i) {
        Consider(i, DisplayColumns(book[i]));
    }
    return exists_ != existed || columns_ != oldColumns || line_ != movedLine;
}

void WidestLine::Consider(std::size_t line, std::size_t columns) {
    if (!exists_ || columns > columns_ || (columns == columns_ && line < line_)) {
        exists_ = true;
        line_ = line;
        columns_ = columns;
    }
}

}  // namespace pile::ui
