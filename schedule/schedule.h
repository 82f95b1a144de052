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

// One pile as the window's panel would hold it.
struct ScheduleRow {
    PanelInput panel;
    LoadTexts loads;
    PrecisionMode precision = PrecisionMode::Units;
    std::optional<std::u16string> calculationTime;  // none: the time of the run
    std::optional<char16_t> decimalSeparator;       // none: the separator of the run
};

struct RowReading {
    bool blank = false;        // every field empty: not a pile, skipped
    std::u16string pileLabel;  // 桩号, as written (empty when it cannot be decoded)
    std::variant<ScheduleRow, std::u16string> result;  // the row, or why it is refused
};

RowReading ReadRow(const RawRecord& record, const ScheduleHeader& header, TextDecoder& decoder);

// One row of the file: its line (the header is line 1) and what was read.
struct ScheduleEntry {
    std::size_t line = 0;
    std::u16string pileLabel;
    std::variant<ScheduleRow, std::u16string> result;
};

struct Schedule {
    ScheduleHeader header;
    std::vector<ScheduleEntry> entries;  // blank rows left out
};

// The whole file, or why it cannot be read (nothing of it is used then).
std::variant<Schedule, std::u16string> ReadSchedule(const ByteSource& source,
                                                    const ReaderLimits& limits = {});

// The 工艺 texts a row of the mode accepts, as a list for people: "A、B 或 C".
std::u16string ProcessChoices(RockParameterMode mode);

// A header and one example row of each section, UTF-8 with a byte-order mark and CR LF, as
// Excel reads and writes it; a last column 说明 (not read) lists the accepted texts.
std::string ScheduleTemplate();

}  // namespace pile::schedule
