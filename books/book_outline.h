// Where the parts of a book stand among its lines, for whoever lays the lines out again, such as
// the pages of a print-out: found by the rules and the constants the books are written with.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "table_book.h"

namespace pile {

// Lines [first, end) of a book.
struct LineRange {
    std::size_t first = 0;
    std::size_t end = 0;
    std::size_t Size() const { return end - first; }
    friend bool operator==(const LineRange&, const LineRange&) = default;
};

struct BookOutline {
    // The first line of every record, in order; a record runs up to the next one, the last up
    // to the foot.
    std::vector<std::size_t> recordStarts;
    LineRange head;      // the table's title and column headings; none in the text book
    LineRange headings;  // the part of the head that names the columns: the headings and rules
    LineRange foot;      // after the last record: the table's footer, the text book's time line
    // The last line's time without kTimeLinePrefix, a view into the book's lines; empty when
    // the last line is no time line.
    std::u16string_view calculationTime;
    friend bool operator==(const BookOutline&, const BookOutline&) = default;
};

// Any lines: a damaged book (CalculationBooks::FromState) gets the outline of what it holds.
BookOutline TextBookOutline(const BookLines& textBook);
// Only a book with a header, a row and a footer ending with a time has a head, rows and a foot.
BookOutline TableBookOutline(const BookLines& tableBook);

}  // namespace pile
