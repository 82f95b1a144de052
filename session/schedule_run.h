// A schedule computed row after row into the books of a panel session, as if each valid row had
// been typed into the window and "计算" pressed; and what the run reports: the results table
// and the refused rows. pile_batch runs it on a fresh session, the window's import on its own.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "books/calculation_books.h"
#include "schedule/schedule.h"
#include "session/load_check.h"
#include "session/panel_session.h"

namespace pile::session {

struct RowOutcome {
    std::size_t line = 0;  // where the row starts in the file; the header is line 1
    std::u16string pileLabel;
    // The result panel after the row's "计算"; none when the row was refused.
    std::optional<ResultTexts> results;
    std::u16string refusal;  // why it was refused: a failed reading or a failed check
    std::u16string cell;     // the cell it is about, as schedule::CellName names it; or empty
    bool skipped = false;    // not a pile (a note, a subtotal): `refusal` says so, with its text
    int pileNumber = 0;      // the record's number when computed; its mark names it if it has one
    schedule::LoadTexts loads;  // as the row gives them
    LoadCheck check;            // against the Ra and Rc computed; unchecked without loads
    std::u16string note;        // what sizing says of the row, if it was sized
};

struct ScheduleOutcome {
    std::vector<RowOutcome> rows;
    std::size_t computed = 0;
    std::size_t refused = 0;
    std::size_t skipped = 0;       // rows that are no pile; they change no exit status
    std::size_t failedChecks = 0;  // rows computed whose loads fail a check
    bool hasLoads = false;         // the schedule has a load column: the results show the checks
    // Both books' change over the whole run, for memos that follow them.
    BooksChange change;
};

// Called after each row with the rows done and the rows in all; false stops the run there.
using RowProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Computes every row in order; a refused row appends nothing. All records get the same time,
// but for rows that carry their own. `progress` may stop the run part-way.
ScheduleOutcome ComputeSchedule(const schedule::Schedule& schedule, char16_t decimalSeparator,
                                std::u16string_view calculationTime, PanelSession& session,
                                const RowProgress& progress = {});

// Reading and computing together; the message of a file that cannot be read, in which case
// the session's books are left as they were.
struct ScheduleRun {
    std::optional<std::u16string> unreadable;
    ScheduleOutcome outcome;
    std::vector<schedule::TitleField> titleFields;  // the lines above the header
};
ScheduleRun RunSchedule(const schedule::ByteSource& source, char16_t decimalSeparator,
                        std::u16string_view calculationTime, PanelSession& session,
                        const schedule::ReaderLimits& limits = {},
                        const RowProgress& progress = {});

// 0 every row computed and every check met, 1 some refused, 4 every row computed but some
// fail their load check.
int ExitStatus(const ScheduleOutcome& outcome);
inline constexpr int kExitChecksFailed = 4;

// "38 根满足，2 根不满足：ZJ7、ZJ31" over the rows computed with loads; empty when no row has any.
// Past `maxNames` failing piles the list ends in "等".
std::u16string CheckSummary(const ScheduleOutcome& outcome,
                            std::size_t maxNames = static_cast<std::size_t>(-1));

// A refused row for people: "第 7 行（ZJ5）嵌岩深度 F7「1.5D」: 嵌岩深度数据有错（…）", its
// pile mark and cell left out where it has none.
std::u16string RefusalLine(const RowOutcome& row);

// The cell and why, "嵌岩深度 F7「1.5D」: 嵌岩深度数据有错（…）", as the results say it.
std::u16string RefusalText(const RowOutcome& row);

// RefusalLine, one line each (LF), for every refused or skipped row.
std::u16string RefusalLines(const ScheduleOutcome& outcome);

// "桩号重复：ZJ5（第 7、9 行）", one for each name that the books give to the records of more
// than one row of the run (a refused row names no record), in the order of their first rows.
std::vector<std::u16string> DuplicateNames(const ScheduleOutcome& outcome);

// The results table: UTF-8 with a byte-order mark, CR LF, one row per schedule row. A cell
// that a spreadsheet would take for a formula gets a leading apostrophe.
std::string ResultsTable(const ScheduleOutcome& outcome);

// The results table's columns, and one row's cells as it writes them; the load columns
// follow the others where the schedule has loads.
std::vector<std::u16string_view> ResultsHeader(bool withLoads);
std::vector<std::u16string> ResultsCells(const RowOutcome& row, bool withLoads);

// One CSV cell as the results table writes it.
std::u16string CsvCell(std::u16string_view text);

}  // namespace pile::session
