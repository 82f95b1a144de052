// The sheet room of the workbook reader: the shared strings, and a worksheet's cells by their
// references, with merged ranges filled in, as rows of the texts a person sees.
//
// A sheet is written by anyone, so the room keeps it within what a schedule could be: rows,
// columns, cells, merged ranges and the characters of a cell within their limits, and the
// bytes of text kept counted whole, every copy of a shared string or of a merged value with
// them (a few cells pointing at one long string would otherwise make gigabytes of copies). A
// cell written outside the row its reference names is refused: it would be read into another
// pile's row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "schedule/xlsx_records.h"
#include "schedule/xlsx_xml.h"

namespace pile::schedule::xlsx {

struct SharedStrings {
    std::vector<std::string> strings;  // UTF-8, by index
    std::size_t bytes = 0;             // of all the strings
};

// <si> items of the part: the text of their <t> elements, runs joined, phonetic guides left
// out; the reason when the part is refused.
std::optional<std::u16string> ReadSharedStrings(const PartParser& parse, std::string_view part,
                                                const WorkbookLimits& limits,
                                                SharedStrings& shared);

// The rows of the worksheet part, by number, cells by column, merged ranges filled; `name` as
// messages show it.
std::variant<std::vector<SheetRow>, std::u16string> ReadSheetRows(const PartParser& parse,
                                                                  std::string_view part,
                                                                  const std::u16string& name,
                                                                  const SharedStrings& shared,
                                                                  const WorkbookLimits& limits);

// "AB12" -> row 12, column 28; false when it is no cell reference within Excel's grid.
bool ParseReference(std::string_view ref, std::uint32_t& row, std::uint32_t& column);

}  // namespace pile::schedule::xlsx
