// The text book: one step-by-step report per pile, then a single time line.
#pragma once

#include <string>
#include <string_view>

#include "book_record.h"
#include "table_book.h"

namespace pile {

// The last line of every record, and nowhere else in the book.
inline constexpr std::u16string_view kRecordSeparator =
    u"==================================================";

// Appends the record and the time line. The caller has removed the previous time line.
void AppendTextRecord(BookLines& textBook, const BookRecord& record);

}  // namespace pile
