#include "books/calculation_books.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace pile {

namespace {

constexpr int kBothBooksUnsaved = static_cast<int>(Book::Text) | static_cast<int>(Book::Table);

BookChange EmptyBook(BookLines& book) {
    const BookChange change{0, book.size(), 0};
    // clear() keeps the capacity of a book that may fill up again as large.
    book.clear();
    return change;
}

}  // namespace

BooksChange CalculationBooks::AppendRecord(const PileInput& input, const PileResult& result,
                                           std::u16string_view ddText, std::u16string_view tyzdText,
                                           PrecisionMode precision, char16_t decimalSeparator,
                                           std::u16string_view calculationTime,
                                           std::u16string_view mark) {
    ++counter_;
    const BookRecord record{input,    result,           ddText,          tyzdText, precision,
                            counter_, decimalSeparator, calculationTime, mark};
    BooksChange change;

    // The table book replaces its own footer (or writes its header).
    const std::size_t tableBefore = table_.size();
    const std::size_t tableKept =
        tableBefore - std::min(tableBefore, static_cast<std::size_t>(kTableFooterLines));
    AppendTableRecord(table_, record);
    change.table = {tableKept, tableBefore - tableKept, table_.size() - tableKept};

    // The text book's time line gives way to the new record and its own time line.
    const std::size_t textKept = text_.empty() ? 0 : text_.size() - 1;
    const std::size_t textRemoved = text_.size() - textKept;
    text_.resize(textKept);
    AppendTextRecord(text_, record);
    change.text = {textKept, textRemoved, text_.size() - textKept};

    unsaved_ = kBothBooksUnsaved;
    return change;
}

BooksChange CalculationBooks::DeleteLast() {
    // With two records or more, the newest one is removed from both books: the table row
    // just above the four footer lines, and in the text book every line from the one before
    // the time line up to (not including) the previous record's separator.
    if (counter_ >= 2 && table_.size() >= static_cast<std::size_t>(kTableFooterLines) + 1 &&
        text_.size() >= 2) {
        const std::size_t timeLine = text_.size() - 1;
        // The newest record's own last line goes whatever it holds; the walk up from there is
        // bounded by the top of the book.
        std::size_t first = timeLine - 1;
        while (first > 0 && text_[first - 1] != kRecordSeparator) {
            --first;
        }
        if (first > 0) {
            --counter_;
            BooksChange change;
            const std::size_t row = table_.size() - 1 - kTableFooterLines;
            table_.erase(table_.begin() + static_cast<std::ptrdiff_t>(row));
            change.table = {row, 1, 0};
            text_.erase(text_.begin() + static_cast<std::ptrdiff_t>(first),
                        text_.begin() + static_cast<std::ptrdiff_t>(timeLine));
            change.text = {first, timeLine - first, 0};
            return change;
        }
        // No earlier record in the text book although the counter says there is one: the books
        // disagree, and the only state that is consistent for both is an empty one.
    }
    BooksChange change;
    change.table = EmptyBook(table_);
    change.text = EmptyBook(text_);
    counter_ = 0;
    unsaved_ = 0;
    return change;
}

void CalculationBooks::MarkSaved(Book book) {
    unsaved_ &= ~static_cast<int>(book);
}

CalculationBooks CalculationBooks::FromState(BookLines table, BookLines text, int counter,
                                             int unsavedFlags) {
    CalculationBooks books;
    books.table_ = std::move(table);
    books.text_ = std::move(text);
    books.counter_ = counter;
    books.unsaved_ = unsavedFlags;
    return books;
}

}  // namespace pile
