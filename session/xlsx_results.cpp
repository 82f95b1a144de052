#include "session/xlsx_results.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "engine/utf_text.h"
#include "schedule/csv_records.h"
#include "schedule/schedule_limits.h"

namespace pile::session {

using schedule::DecimalText;
using schedule::SplitFields;
namespace {

// A cell of the sheet: text, or a number with its decimals.
struct Cell {
    std::string text;  // UTF-8; what the cell shows
    std::optional<double> number;
    int decimals = 0;
    // A verdict, filled green when met and red when not, so that a long sheet shows its
    // failures at a glance; the text says the same for whoever cannot tell the colours.
    std::optional<bool> verdictMet;
};

using Rows = std::vector<std::vector<Cell>>;

Cell TextCell(std::u16string_view text) {
    return {Utf16ToUtf8(text), std::nullopt, 0, std::nullopt};
}

// A number as the books print it ("1234.57", "1234,57" in a decimal-comma locale), kept as the
// double of the digits shown, so that a sum in Excel adds what the books say.
Cell NumberCell(std::u16string_view shown, char16_t decimalSeparator) {
    Cell cell = TextCell(shown);
    std::string digits = cell.text;
    const std::size_t point = shown.find(decimalSeparator);
    if (point != std::u16string_view::npos) {
        digits = Utf16ToUtf8(std::u16string(shown.substr(0, point)) + u"." +
                             std::u16string(shown.substr(point + 1)));
        cell.decimals = static_cast<int>(shown.size() - point - 1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
        std::isfinite(value)) {
        cell.number = value;
    }
    return cell;
}

// Columns in Excel's units, about one per Latin character and two per ideograph.
double Width(const std::string& utf8) {
    double width = 0;
    for (const char16_t c : Utf8ToUtf16(utf8)) {
        width += c >= 0x2E80 ? 2.1 : 1.1;
    }
    return width;
}

std::u16string Failed(lxw_error error) {
    return u"工作簿未能写出（" + Utf8ToUtf16(lxw_strerror(error)) + u"）";
}

struct Formats {
    lxw_format* header = nullptr;
    std::array<lxw_format*, 5> decimals{};
    lxw_format* met = nullptr;
    lxw_format* notMet = nullptr;
};

// One sheet: the columns as wide as their texts, the header row bold and frozen, numbers in
// the format of their decimals.
void WriteRows(lxw_worksheet* sheet, const Rows& rows, std::size_t header, const Formats& formats) {
    // In constant-memory mode the widths go first, then the rows in order.
    std::vector<double> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 4.0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], Width(row[c].text));
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c) {
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             std::min(widths[c] + 1.0, 80.0), nullptr);
    }
    worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(header + 1), 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const Cell& cell = rows[r][c];
            const auto row = static_cast<lxw_row_t>(r);
            const auto column = static_cast<lxw_col_t>(c);
            if (r == header) {
                worksheet_write_string(sheet, row, column, cell.text.c_str(), formats.header);
            } else if (cell.number) {
                worksheet_write_number(
                    sheet, row, column, *cell.number,
                    formats.decimals[static_cast<std::size_t>(std::clamp(cell.decimals, 0, 4))]);
            } else if (!cell.text.empty()) {
                lxw_format* tone =
                    cell.verdictMet ? (*cell.verdictMet ? formats.met : formats.notMet) : nullptr;
                worksheet_write_string(sheet, row, column, cell.text.c_str(), tone);
            }
        }
    }
}

struct Sheet {
    const char* name;
    Rows rows;
    std::size_t header = 0;  // the row of the header; title lines above it
};

std::optional<std::u16string> WriteSheets(const std::string& path, const std::string& scratch,
                                          const std::vector<Sheet>& sheets) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    std::string tmpdir = scratch;
    options.tmpdir = tmpdir.data();
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    if (workbook == nullptr) {
        return Failed(LXW_ERROR_CREATING_XLSX_FILE);
    }
    Formats formats;
    formats.header = workbook_add_format(workbook);
    format_set_bold(formats.header);
    const char* patterns[] = {"0", "0.0", "0.00", "0.000", "0.0000"};
    for (std::size_t i = 0; i < formats.decimals.size(); ++i) {
        formats.decimals[i] = workbook_add_format(workbook);
        format_set_num_format(formats.decimals[i], patterns[i]);
    }
    formats.met = workbook_add_format(workbook);
    format_set_bg_color(formats.met, 0xC6EFCE);
    formats.notMet = workbook_add_format(workbook);
    format_set_bg_color(formats.notMet, 0xFFC7CE);
    format_set_font_color(formats.notMet, 0x9C0006);

    for (const auto& [sheetName, rows, header] : sheets) {
        WriteRows(workbook_add_worksheet(workbook, sheetName), rows, header, formats);
    }
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        return Failed(closed);
    }
    return std::nullopt;
}

// The records of a CSV text as rows of cells (the header and template texts have one source).
Rows CsvRows(std::string_view csv) {
    if (csv.substr(0, 3) == "\xEF\xBB\xBF") {
        csv.remove_prefix(3);
    }
    Rows rows;
    while (!csv.empty()) {
        const std::size_t end = csv.find("\r\n");
        std::vector<std::string> fields;
        SplitFields(csv.substr(0, end), ',', schedule::kMaxHeaderColumns, fields);
        rows.emplace_back();
        for (const std::string& field : fields) {
            rows.back().push_back({field, std::nullopt, 0, std::nullopt});
        }
        csv.remove_prefix(end == std::string_view::npos ? csv.size() : end + 2);
    }
    return rows;
}

}  // namespace

std::optional<std::u16string> WriteResultsWorkbook(const ScheduleOutcome& outcome,
                                                   char16_t decimalSeparator,
                                                   const std::string& path,
                                                   const std::string& scratchFolder) {
    // The same columns as the CSV results; numbers as numbers, the rest as text. The loads are
    // written as the schedule gives them, so they are numbers in the point's notation.
    constexpr std::size_t kLine = 0, kCoefficient = 3, kRc = 5, kFirstLoad = 8, kVerdict = 15;
    const auto numeric = [](std::size_t c) {
        return c == kLine || (c >= kCoefficient && c <= kRc) || (c >= kFirstLoad && c < kVerdict);
    };
    Rows rows(1);
    for (const std::u16string_view name : ResultsHeader(outcome.hasLoads)) {
        rows[0].push_back(TextCell(name));
    }
    for (const RowOutcome& row : outcome.rows) {
        const std::vector<std::u16string> cells = ResultsCells(row, outcome.hasLoads);
        rows.emplace_back();
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const char16_t separator =
                c == kLine || (c >= kFirstLoad && c < kFirstLoad + 4) ? u'.' : decimalSeparator;
            rows.back().push_back(numeric(c) && !cells[c].empty() ? NumberCell(cells[c], separator)
                                                                  : TextCell(cells[c]));
        }
        if (outcome.hasLoads && row.check.checked) {
            rows.back()[kVerdict].verdictMet = row.check.passed;
        }
    }
    std::vector<Sheet> sheets;
    sheets.push_back({"结果", std::move(rows)});
    return WriteSheets(path, scratchFolder, sheets);
}

std::optional<std::u16string> WriteScheduleWorkbook(const std::vector<RecordInputs>& records,
                                                    const ProjectInfo& project,
                                                    const std::string& path,
                                                    const std::string& scratchFolder) {
    // The project lines as cells, not through CSV: a line break in one stays in its cell.
    Rows rows;
    for (const std::u16string& line : ProjectLineCells(project)) {
        rows.push_back({TextCell(line)});
    }
    const std::size_t header = rows.size();
    for (std::vector<Cell>& row : CsvRows(ScheduleOfRecords(records))) {
        rows.push_back(std::move(row));
    }
    return WriteSheets(path, scratchFolder, {{"桩表", std::move(rows), header}});
}

std::optional<std::u16string> WriteTemplateWorkbook(const std::string& path,
                                                    const std::string& scratchFolder) {
    Rows rows = CsvRows(schedule::TemplateRows());
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (Cell& cell : rows[r]) {
            const bool digits =
                !cell.text.empty() && std::all_of(cell.text.begin(), cell.text.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; });
            if (digits) {
                cell = NumberCell(Utf8ToUtf16(cell.text), u'.');
            }
        }
    }
    return WriteSheets(path, scratchFolder,
                       {{"桩表", rows}, {"各列说明", CsvRows(schedule::ColumnList())}});
}

}  // namespace pile::session
