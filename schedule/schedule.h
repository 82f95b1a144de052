// A pile schedule: the header that names the columns, and each row turned into the panel's
// texts and list positions, as the window would hold them after the same texts were typed
// into its boxes and picked from its lists.
//
//   bytes -> RecordReader (csv_records.h) -> ReadHeader: encoding, separator, columns
//         -> ReadRow: list texts to positions, box texts unchanged -> ScheduleRow or a refusal
//
// Reading is complete before anything is computed: a file that cannot be read changes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/fixed_text.h"
#include "engine/pile_input.h"
#include "schedule/csv_records.h"
#include "schedule/schedule_text.h"

namespace pile::schedule {

enum class Column {
    PileLabel,  // 桩号, optional
    Section,    // 截面
    Mode,       // 参数
    Dd,         // d或a
    Tyzd,       // c或b
    Hr,         // hr
    Grade,      // 混凝土
    Process,    // 工艺
    Frk,        // frk
    Fuk,        // fuk
    Precision,  // 精度, optional
    // The session journal's and 导出桩表's: when and under which decimal separator the record
    // was computed, so that a row computes into the books it made then. Both optional.
    Time,              // 计算时间
    DecimalSeparator,  // 小数点
    // The loads on the pile, each optional; the books never print them, the checks use them.
    Nk,      // characteristic pile-top force, kN
    Nkmax,   // its largest value under eccentric loads, kN
    N,       // design pile-top force, kN
    Gamma0,  // γ0, the structural importance factor
};
inline constexpr std::size_t kColumnCount = 17;

std::u16string_view ColumnName(Column column);  // the header text, such as u"d或a"
// The column a header text names, if any: the program's own names and the ones engineers use
// ("桩径(mm)", "嵌岩深度hr", "ＦＲＫ（MPa）"), in either case, blanks and a unit left off.
std::optional<Column> ColumnOf(std::u16string_view headerText);

struct ScheduleHeader {
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = ',';
    std::size_t fieldCount = 0;
    std::array<std::optional<std::size_t>, kColumnCount> field;  // position of each column
    std::array<std::u16string, kColumnCount> name;  // each column as the header writes it
};

// The header record, or why it is not one. It needs d或a, hr, 混凝土 and one of frk and fuk;
// the other columns may be left out where no row needs them. Tries UTF-8 (alone after a UTF-8
// byte-order mark) and then GBK, and comma, semicolon and tab, and keeps the reading that names
// most columns.
std::variant<ScheduleHeader, std::u16string> ReadHeader(std::string_view record, bool utf8Bom,
                                                        std::size_t maxFields);

// The load cells of one row as written, blanks trimmed; empty for a load not given.
struct LoadTexts {
    std::u16string nk;
    std::u16string nkmax;
    std::u16string n;
    std::u16string gamma0;  // 1.0 when empty
    bool Empty() const { return nk.empty() && nkmax.empty() && n.empty() && gamma0.empty(); }
    friend bool operator==(const LoadTexts&, const LoadTexts&) = default;
};

// γ0 where its cell is empty, and the range a cell may give it: read by the load checks and
// told by the template's column list.
inline constexpr double kGamma0Default = 1.0;
inline constexpr double kGamma0Min = 0.9;
inline constexpr double kGamma0Max = 1.1;
// "0.9 到 1.1".
std::u16string Gamma0Range();

// Where a sheet's header is, the same for CSV files and workbooks: the first row that is one
// (a title and empty rows may stand above it); when no row is, why not, said of the row that
// names most columns.
class HeaderSearch {
  public:
    enum class Offered { Header, NotHeader, NotASchedule };
    // NotASchedule: the row says the file is none (binary, not text, too wide): stop there.
    Offered Offer(std::size_t line, std::string_view record, bool utf8Bom, std::size_t maxFields);
    const ScheduleHeader& Header() const { return header_; }
    // "第 N 行: why", of the row naming most columns.
    const std::u16string& Why() const { return why_; }
    // The same of the row offered last.
    const std::u16string& LastWhy() const { return lastWhy_; }

  private:
    ScheduleHeader header_;
    std::u16string why_;
    std::u16string lastWhy_;
    std::optional<std::size_t> bestNamed_;
};

// One pile as the window's panel would hold it.
struct ScheduleRow {
    PanelInput panel;
    LoadTexts loads;
    PrecisionMode precision = PrecisionMode::Units;
    std::optional<std::u16string> calculationTime;  // none: the time of the run
    std::optional<char16_t> decimalSeparator;       // none: the separator of the run
};

struct RowReading {
    bool blank = false;       // every field empty: not a pile, skipped
    bool endOfTable = false;  // the template's column list starts: no more rows
    // Cells but none naming a section, a dimension, a depth or a rock value: a note, a
    // subtotal, a signature line. Not a pile: `result` holds the row's text, to be listed.
    bool skipped = false;
    std::u16string pileLabel;  // 桩号, as written (empty when it cannot be decoded)
    std::variant<ScheduleRow, std::u16string> result;  // the row, or why it is refused
    std::u16string cell;  // the cell a refusal is about (CellName), empty for the whole row
    std::optional<Column> refusedColumn;      // the column of that cell
    std::array<bool, kColumnCount> filled{};  // which of the header's cells hold text
};

RowReading ReadRow(const RawRecord& record, const ScheduleHeader& header, TextDecoder& decoder);

// One row of the file: its line (the header is line 1) and what was read.
struct ScheduleEntry {
    std::size_t line = 0;
    std::u16string pileLabel;
    std::variant<ScheduleRow, std::u16string> result;
    std::u16string cell;   // as RowReading::cell
    bool skipped = false;  // as RowReading::skipped
    // CSV only: the cells empty under a filled one (directly, or under a run of empty ones):
    // what a merged range leaves in the rows below its first when saved as CSV.
    std::array<bool, kColumnCount> emptyUnderFilled{};
};

// For a refusal about `column`'s cell: the note that the cell may have been merged, where it
// is empty under a filled one in a CSV file; else empty.
std::u16string_view MergedCellHint(const ScheduleEntry& entry, Column column);

// A cell as messages name it: the column as the header writes it, the cell's reference (A1;
// a CSV field by the same letters) and its text as read: "嵌岩深度 F7「1.5D」". A column the
// header lacks is named by the program's name and said to be missing.
std::u16string CellName(const ScheduleHeader& header, Column column, std::size_t row,
                        std::u16string_view text);

// A cell text inside a message: at most 20 characters, control characters as blanks.
std::u16string ShownText(std::u16string_view text);

// A name and its text on a line above the header, as a title block gives the project:
// "工程名称：某某" in one cell (the first ":" or "：" divides it), or the name in one cell and
// the text in the next filled one; a line may hold several. The name is folded as a header's
// names are (full-width forms, blanks and a unit in brackets left off); the text is as written,
// blanks around it trimmed. Which names mean something is the session's business.
struct TitleField {
    std::size_t line = 0;
    std::u16string key;
    std::u16string value;
    friend bool operator==(const TitleField&, const TitleField&) = default;
};

// The lines above a header that are looked at for title fields: a title block, not a sheet of
// notes, so what is kept of a file without a header stays small.
inline constexpr std::size_t kMaxTitleLines = 32;

// The title fields of one record above the header, in the header's encoding and separator.
std::vector<TitleField> TitleFieldsOf(std::size_t line, std::string_view record, char separator,
                                      TextDecoder& decoder);

struct Schedule {
    ScheduleHeader header;
    std::vector<ScheduleEntry> entries;   // blank rows left out
    std::vector<TitleField> titleFields;  // top to bottom
};

// The whole file, or why it cannot be read (nothing of it is used then).
std::variant<Schedule, std::u16string> ReadSchedule(const ByteSource& source,
                                                    const ReaderLimits& limits = {});

// The 工艺 texts a row of the mode accepts, as a list for people: "A、B 或 C".
std::u16string ProcessChoices(RockParameterMode mode);

// The template's table: a header and one example row for each section and mode, each row
// with only the cells it needs. CSV records, CR LF, no byte-order mark.
std::string TemplateRows();

// Every column for people, from the names the reader knows: heading "各列说明,又作,单位,填写",
// then one record per column. Its first cell ends a schedule's table: the reader reads no row
// from a row starting with it.
std::string ColumnList();

// TemplateRows, an empty record and ColumnList: UTF-8 with a byte-order mark, as Excel reads
// and writes it.
std::string ScheduleTemplate();

}  // namespace pile::schedule
