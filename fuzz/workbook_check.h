// The check both workbook fuzz targets make of one workbook: reading ends, within the limits,
// with a sheet or a reason; rows come by number and cells by column, each once, every text
// valid UTF-8 within the cell limit, no column past the limit; the schedule of the sheet has
// its rows in sheet order below the header, and computes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "engine/utf_text.h"
#include "schedule/xlsx_records.h"
#include "schedule/xlsx_schedule.h"
#include "session/schedule_run.h"
#include "testing/require.h"

namespace pile::fuzz {

inline std::size_t Characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

// `sheet` as pile_batch --sheet takes it; empty for the sheet 桩表 or the first.
inline void CheckWorkbook(std::string_view file, const std::string& sheet) {
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
                                .maxDepth = 32,
                                .maxKeptBytes = 1 << 20};
    auto read = ReadWorksheet(file, sheet, limits);
    if (const auto* why = std::get_if<std::u16string>(&read)) {
        PILE_REQUIRE(!why->empty());
        return;
    }
    const Worksheet& worksheet = std::get<Worksheet>(read);
    PILE_REQUIRE(worksheet.rows.size() <= limits.maxRows);
    std::uint32_t lastRow = 0;
    std::size_t cells = 0;
    for (const SheetRow& row : worksheet.rows) {
        PILE_REQUIRE(row.number > lastRow && !row.cells.empty());
        lastRow = row.number;
        std::uint32_t lastColumn = 0;
        for (const SheetCell& cell : row.cells) {
            PILE_REQUIRE(cell.column > lastColumn && cell.column <= limits.maxColumns);
            lastColumn = cell.column;
            PILE_REQUIRE(pile::StrictUtf8ToUtf16(cell.text).has_value());
            PILE_REQUIRE(Characters(cell.text) <= limits.maxCellChars);
            ++cells;
        }
    }
    PILE_REQUIRE(cells <= limits.maxCells);

    const ReaderLimits scheduleLimits{.maxFields = limits.maxColumns, .maxRows = 100};
    auto schedule = ScheduleFromWorksheet(worksheet, scheduleLimits);
    if (std::holds_alternative<std::u16string>(schedule)) {
        return;
    }
    std::size_t line = 0;
    for (const ScheduleEntry& entry : std::get<Schedule>(schedule).entries) {
        PILE_REQUIRE(entry.line > line);
        line = entry.line;
    }
    pile::session::PanelSession session;
    const pile::session::ScheduleOutcome outcome = pile::session::ComputeSchedule(
        std::get<Schedule>(schedule), u'.', u"2024/5/6 14:03:27", session);
    PILE_REQUIRE(outcome.computed + outcome.refused + outcome.skipped ==
                 std::get<Schedule>(schedule).entries.size());
}

}  // namespace pile::fuzz
