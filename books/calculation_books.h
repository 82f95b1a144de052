// The two calculation books with their counter and unsaved flags, and the two actions that
// change them: the book step of a successful calculation and the delete-last action.
#pragma once

#include <cstddef>
#include <string_view>

#include "book.h"
#include "book_record.h"
#include "table_book.h"
#include "text_book.h"

namespace pile {

// How one action changed a book, so that a view can follow without re-reading it whole:
// the lines [position, position + removed) of the old book were replaced by the lines
// [position, position + inserted) of the new one.
struct BookChange {
    std::size_t position = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
    friend bool operator==(const BookChange&, const BookChange&) = default;
};

// A change of both books; the table book's change comes first.
struct BooksChange {
    BookChange table;
    BookChange text;
};

class CalculationBooks {
  public:
    const BookLines& TableLines() const { return table_; }
    const BookLines& TextLines() const { return text_; }
    int PileCounter() const { return counter_; }
    int UnsavedBookFlags() const { return unsaved_; }  // bit 1 text book, bit 2 table book
    bool HasUnsavedRecords(Book book) const { return (unsaved_ & static_cast<int>(book)) != 0; }

    // The book step of a successful calculation: counter + 1, the table row, the text record,
    // both time lines, flags 3. The counter numbers the record also when a `mark` names it.
    BooksChange AppendRecord(const PileInput& input, const PileResult& result,
                             std::u16string_view ddText, std::u16string_view tyzdText,
                             PrecisionMode precision, char16_t decimalSeparator,
                             std::u16string_view calculationTime, std::u16string_view mark = {});

    // "x": removes the newest record from both books, keeping the time lines; with one record
    // or none, empties both books and sets the counter and the flags to 0.
    BooksChange DeleteLast();

    // A book was written to its file: its bit leaves the flags.
    void MarkSaved(Book book);

    // For tests and tools that need a given state, such as damaged books.
    static CalculationBooks FromState(BookLines table, BookLines text, int counter,
                                      int unsavedFlags);

  private:
    BookLines table_;
    BookLines text_;
    int counter_ = 0;
    int unsaved_ = 0;
};

}  // namespace pile
