// The table book: a header, one 220-column row per pile, a footer ending with the time.
#pragma once

#include <string>
#include <vector>

#include "book_record.h"

namespace pile {

using BookLines = std::vector<std::u16string>;

// The header: the title line, then the column headings between two rules. The footer: a rule,
// the note, a rule and the time line.
inline constexpr int kTableHeadingLines = 4;
inline constexpr int kTableHeaderLines = 1 + kTableHeadingLines;
inline constexpr int kTableFooterLines = 4;

// Appends one pile: the header when the book is empty, otherwise the old footer is removed
// first; then the row and a new footer. Costs the same whatever the size of the book.
void AppendTableRecord(BookLines& tableBook, const BookRecord& record);

// The 22-cell row of one pile alone (220 display columns while no value outgrows its cell).
std::u16string TableRow(const BookRecord& record);

// The same row's 22 cells, each as written into the row before its padding (a name spread over
// its cell, such as "圆  桩" or "干 作 业  ", stays spread).
std::vector<std::u16string> TableCells(const BookRecord& record);

}  // namespace pile
