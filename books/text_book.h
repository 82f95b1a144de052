// The text book: one step-by-step report per pile, then a single time line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book_record.h"
#include "table_book.h"

namespace pile {

// The last line of every record, and nowhere else in the book.
inline constexpr std::u16string_view kRecordSeparator =
    u"==================================================";

// Appends the record and the time line. The caller has removed the previous time line.
void AppendTextRecord(BookLines& textBook, const BookRecord& record);

// One line of a record as the book prints it, and for a line that shows a value the three
// parts it was put together from, for a report that lays the same texts out as a table.
struct TextRecordLine {
    std::u16string text;
    std::u16string_view label;  // as printed, blanks and colon included; empty: no value line
    std::u16string value;       // before any padding
    std::u16string_view unit;   // with its leading blank, or empty
};

// The lines of one record up to its separator (neither it nor the time line).
std::vector<TextRecordLine> TextRecordLines(const BookRecord& record);

}  // namespace pile
