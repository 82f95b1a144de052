// Any bytes as a workbook: the zip, the XML of its parts, the cells, the schedule of the sheet.
// Checked for every input:
// - reading ends, within the limits, with a sheet or a reason;
// - rows come by number and cells by column, each once, every text valid UTF-8 within the
//   cell limit, no column past the limit;
// - the schedule of the sheet has its rows in sheet order below the header, and computes.
// Seeds: the workbooks of scripts/make-test-workbooks and the results and template workbooks
// pile_batch writes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "engine/utf_text.h"
#include "schedule/xlsx_records.h"
#include "schedule/xlsx_schedule.h"
#include "session/schedule_run.h"

namespace {

#define Require(condition) RequireImpl((condition), #condition)

void RequireImpl(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

std::size_t Characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace pile::schedule;
    const WorkbookLimits limits{.maxFileBytes = 1 << 20,
                                .maxUncompressedBytes = 8 << 20,
                                .maxEntries = 64,
                                .maxRows = 200,
                                .maxColumns = 64,
                                .maxCellChars = 256,
                                .maxSharedStrings = 1024,
                                .maxCells = 4096,
                                .maxMergedRanges = 64,
                                .maxDepth = 32};
    const std::string_view file(reinterpret_cast<const char*>(bytes), size);
    // Half the inputs ask for a sheet by name, the name taken from the input's last bytes.
    const std::string sheet = size % 2 == 0 ? "" : std::string(file.substr(size - size % 7));
    auto read = ReadWorksheet(file, sheet, limits);
    if (const auto* why = std::get_if<std::u16string>(&read)) {
        Require(!why->empty());
        return 0;
    }
    const Worksheet& worksheet = std::get<Worksheet>(read);
    Require(worksheet.rows.size() <= limits.maxRows);
    std::uint32_t lastRow = 0;
    std::size_t cells = 0;
    for (const SheetRow& row : worksheet.rows) {
        Require(row.number > lastRow && !row.cells.empty());
        lastRow = row.number;
        std::uint32_t lastColumn = 0;
        for (const SheetCell& cell : row.cells) {
            Require(cell.column > lastColumn && cell.column <= limits.maxColumns);
            lastColumn = cell.column;
            Require(pile::StrictUtf8ToUtf16(cell.text).has_value());
            Require(Characters(cell.text) <= limits.maxCellChars);
            ++cells;
        }
    }
    Require(cells <= limits.maxCells);

    const ReaderLimits scheduleLimits{.maxFields = limits.maxColumns, .maxRows = 100};
    auto schedule = ScheduleFromWorksheet(worksheet, scheduleLimits);
    if (std::holds_alternative<std::u16string>(schedule)) {
        return 0;
    }
    std::size_t line = 0;
    for (const ScheduleEntry& entry : std::get<Schedule>(schedule).entries) {
        Require(entry.line > line);
        line = entry.line;
    }
    pile::session::PanelSession session;
    const pile::session::ScheduleOutcome outcome = pile::session::ComputeSchedule(
        std::get<Schedule>(schedule), u'.', u"2024/5/6 14:03:27", session);
    Require(outcome.computed + outcome.refused + outcome.skipped ==
            std::get<Schedule>(schedule).entries.size());
    return 0;
}
