// Computed piles for the book tests, with results set by hand to the worked values, so that
// the books are tested without the calculations.
#pragma once

#include <string>
#include <vector>

#include "books/book_record.h"
#include "books/table_book.h"

namespace pile::testing_piles {

struct Pile {
    PileInput input;
    PileResult result;
    std::u16string dd;    // cbe_dd as the book is to print it
    std::u16string tyzd;  // cbe_tyzd likewise
};

// The initial panel: circle 1000, "1.0d", frk 25, C30, mud wall.
Pile Startup();
// Fuk mode, circle 1000, "1.0d", fuk 24, C30, the dry process.
Pile FukCircle();
// Ellipse d 1000, c 1000, "1.5d", fuk 24.
Pile Ellipse();
// Rectangle typed 800 by 1000, after the exchange a 1000, b 800; "1.5b", fuk 24.
Pile Rectangle();
// Square 1000 by 1000, "1.0b", fuk 24.
Pile Square();
// Circle 800, "10d", frk 10: the ratio 10 is taken at 8.
Pile ClampedCircle();

BookRecord RecordOf(const Pile& pile, PrecisionMode mode, int pileNumber, char16_t separator,
                    std::u16string_view time);

// Lines for failure messages: one per line, with its position.
std::string Describe(const BookLines& lines);

}  // namespace pile::testing_piles
