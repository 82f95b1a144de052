// One worksheet of an .xlsx workbook (Office Open XML, as Excel 2007 and later, WPS and
// LibreOffice save it) as rows of cell texts, the texts a person sees in the cells.
//
//   file bytes -> zip (libzip, from memory) -> _rels/.rels -> workbook part and its rels
//              -> the chosen sheet and the shared strings (expat, streamed) -> rows of cells
//
// A workbook is a zip of XML written by anyone, so every step has a limit: the inflated bytes
// are counted as they come (the sizes in the archive may lie), and the XML may not declare a
// DTD at all, which rules out entity expansion and external entities. A workbook beyond a
// limit is refused whole, with the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "schedule/schedule_limits.h"

namespace pile::schedule {

struct WorkbookLimits {
    std::size_t maxFileBytes = kMaxFileBytes;         // as for a CSV file
    std::size_t maxUncompressedBytes = 256ull << 20;  // of the parts read; a zip bomb stops here
    std::size_t maxEntries = 10000;                   // a workbook has a few dozen parts
    std::size_t maxRows = kMaxWorkbookRows;           // rows with content
    std::size_t maxColumns = kMaxHeaderColumns;       // as the CSV header
    std::size_t maxCellChars = 32767;                 // Excel's own limit for a cell
    std::size_t maxSharedStrings = 1u << 20;
    std::size_t maxCells = 2'000'000;  // with the copies a merged range makes
    std::size_t maxMergedRanges = 100000;
    std::size_t maxDepth = 64;  // of XML elements; a sheet needs six
    // Of the text kept: the shared strings once, then every cell's text, each copy of a shared
    // string or a merged value counted (a few cells pointing at one long string would
    // otherwise make gigabytes of copies).
    std::size_t maxKeptBytes = 64ull << 20;
    // Of one tag with its attributes, one comment or one processing instruction, fed to the
    // XML reader before it ends (text is read in pieces, so this is not a limit on text).
    std::size_t maxTokenBytes = 1u << 20;
};

struct SheetCell {
    std::uint32_t column = 0;  // from 1 (column A)
    std::string text;          // UTF-8, as the cell shows it (numbers in their shortest form)
    bool formulaWithoutValue = false;  // a formula never calculated: no text to read
};

struct SheetRow {
    std::uint32_t number = 0;      // from 1, as Excel numbers its rows
    std::vector<SheetCell> cells;  // by column, only cells with a value
};

struct Worksheet {
    std::string name;            // UTF-8
    std::vector<SheetRow> rows;  // by number, only rows with a value
};

enum class FileKind {
    Text,      // anything else: read as CSV
    Zip,       // .xlsx (or .xlsb, .ods: refused with the reason)
    Compound,  // an OLE compound file: .xls, .et, or an .xlsx with a password to open
};

// From the first bytes of the file (8 are enough).
FileKind KindOf(std::string_view start);

// The sheet named `sheet` (UTF-8), or when empty the sheet named "桩表", else the first
// visible worksheet. Merged cells are read as if every cell of the range held the range's
// value (in the rows that have content of their own). Hidden rows and columns are read.
// Called as the parts are inflated and parsed, with the bytes done and the bytes the archive
// says it holds; false stops the reading, which then ends with kReadingStopped.
using ReadProgress = std::function<bool(std::size_t done, std::size_t total)>;
inline constexpr std::u16string_view kReadingStopped = u"已取消";

std::variant<Worksheet, std::u16string> ReadWorksheet(std::string_view file, std::string_view sheet,
                                                      const WorkbookLimits& limits = {},
                                                      const ReadProgress& progress = {});

// "A1", "I7", "AB12".
std::string CellReference(std::uint32_t row, std::uint32_t column);

// The shortest decimal text that reads back as the same double: "1200", "0.1", "1e+21".
std::string NumberText(double value);

}  // namespace pile::schedule
