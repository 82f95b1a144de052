// A pile schedule read from a workbook's sheet: each row becomes the record a CSV file of the
// same cells would hold, so that the header, the rows and their messages are the CSV path's.
//
// The header is the first row that names every required column (a title may stand above it);
// the rows below it are the piles, numbered as Excel numbers them. Cells right of the header
// are not read.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "schedule/csv_records.h"
#include "schedule/schedule.h"
#include "schedule/xlsx_records.h"

namespace pile::schedule {

// `progress` (rows looked at, rows in all) follows the search for the header, which on a large
// sheet without one looks at every row.
std::variant<Schedule, std::u16string> ScheduleFromWorksheet(const Worksheet& sheet,
                                                             const ReaderLimits& limits = {},
                                                             const ReadProgress& progress = {});

// A schedule file of either kind, told apart by its first bytes: a workbook (its sheet chosen
// as ReadWorksheet does) or a CSV file. `sheet` (UTF-8) only for a workbook.
// `progress` follows the parsing of a workbook (a CSV file is parsed as `source` gives it).
std::variant<Schedule, std::u16string> ReadScheduleFile(const ByteSource& source,
                                                        std::string_view sheet = {},
                                                        const ReaderLimits& limits = {},
                                                        const WorkbookLimits& workbookLimits = {},
                                                        const ReadProgress& progress = {});

}  // namespace pile::schedule
