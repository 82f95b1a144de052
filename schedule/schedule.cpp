#include "schedule/schedule.h"

#include <algorithm>
#include <limits>

#include "engine/pile_types.h"
#include "engine/utf_text.h"
#include "schedule/xlsx_records.h"

namespace pile::schedule {
namespace {

constexpr std::array<std::u16string_view, kColumnCount> kColumnNames = {
    u"桩号", u"截面", u"参数",     u"d或a",   u"c或b", u"hr",    u"混凝土", u"工艺", u"frk",
    u"fuk",  u"精度", u"计算时间", u"小数点", u"Nk",   u"Nkmax", u"N",      u"γ0"};

constexpr std::size_t kShownChars = 20;

// The first cell of the template's column list, where a schedule's table ends.
constexpr std::u16string_view kColumnListTitle = u"各列说明";

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Full-width forms as their ASCII ones and the ideographic space as a blank: what a Chinese
// input method types looks the same in Excel, so "１200" is read as 1200 in every cell.
void FoldWidth(std::u16string& text) {
    for (char16_t& c : text) {
        if (c >= u'\uFF01' && c <= u'\uFF5E') {
            c = static_cast<char16_t>(c - 0xFEE0);
        } else if (c == u'\u3000') {
            c = u' ';
        }
    }
}

// How a list text or a column name is compared: without surrounding blanks, full-width forms
// folded, Latin letters in lower case. So "C30", "c30" and "Ｃ30" pick the same item, and
// "干作业成桩（清底干净）" the item with ASCII brackets.
std::u16string Normalized(std::u16string_view text) {
    std::u16string out(Trim(text));
    FoldWidth(out);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return out;
}

// A header as engineers write it: full-width forms and the ideographic space folded, Latin
// letters in lower case, no blanks at all, and a unit in brackets at the end left off, so that
// "桩径 (mm)", "桩径（ｍｍ）" and "桩径" are one name.
std::u16string FoldedColumnName(std::u16string_view text) {
    std::u16string name;
    for (const char16_t c : Normalized(text)) {
        if (!IsBlank(c)) {
            name.push_back(c);
        }
    }
    if (!name.empty() && (name.back() == u')' || name.back() == u']')) {
        const std::size_t open = name.rfind(name.back() == u')' ? u'(' : u'[');
        if (open != std::u16string::npos && open > 0) {
            name.resize(open);
        }
    }
    return name;
}

struct ColumnSpelling {
    Column column;
    std::u16string_view name;
};

// Every name a column is known by after the program's own (kColumnNames), as design institutes
// head their schedules; folded as FoldedColumnName folds.
constexpr ColumnSpelling kOtherNames[] = {
    {Column::PileLabel, u"桩编号"},
    {Column::PileLabel, u"编号"},
    {Column::PileLabel, u"基桩编号"},
    {Column::PileLabel, u"桩名"},
    {Column::PileLabel, u"桩名称"},
    {Column::Section, u"截面类型"},
    {Column::Section, u"截面形式"},
    {Column::Section, u"截面形状"},
    {Column::Section, u"桩身截面"},
    {Column::Section, u"桩身截面类型"},
    {Column::Section, u"桩型"},
    {Column::Mode, u"计算参数"},
    {Column::Mode, u"岩石参数"},
    {Column::Dd, u"d"},
    {Column::Dd, u"桩径"},
    {Column::Dd, u"直径"},
    {Column::Dd, u"桩身直径"},
    {Column::Dd, u"设计桩径"},
    {Column::Dd, u"a"},
    {Column::Dd, u"长边"},
    {Column::Dd, u"矩形长边"},
    {Column::Tyzd, u"c"},
    {Column::Tyzd, u"b"},
    {Column::Tyzd, u"直段长度"},
    {Column::Tyzd, u"椭圆直段长度"},
    {Column::Tyzd, u"短边"},
    {Column::Tyzd, u"矩形短边"},
    {Column::Hr, u"嵌岩深度"},
    {Column::Hr, u"嵌岩长度"},
    {Column::Hr, u"嵌岩段长度"},
    {Column::Hr, u"入岩深度"},
    {Column::Grade, u"混凝土强度等级"},
    {Column::Grade, u"混凝土等级"},
    {Column::Grade, u"砼强度等级"},
    {Column::Grade, u"砼等级"},
    {Column::Grade, u"桩身混凝土"},
    {Column::Grade, u"桩身混凝土强度等级"},
    {Column::Process, u"成桩工艺"},
    {Column::Process, u"施工工艺"},
    {Column::Process, u"成孔工艺"},
    {Column::Frk, u"岩石单轴抗压强度"},
    {Column::Frk, u"岩石单轴抗压强度标准值"},
    {Column::Frk, u"岩石饱和单轴抗压强度"},
    {Column::Frk, u"岩石饱和单轴抗压强度标准值"},
    {Column::Fuk, u"桩端地基极限承载力"},
    {Column::Fuk, u"桩端地基极限承载力标准值"},
    {Column::Precision, u"取整"},
    {Column::Precision, u"结果精度"},
    {Column::Nk, u"标准组合"},
    {Column::Nk, u"桩顶竖向力标准值"},
    {Column::Nkmax, u"偏心竖向力"},
    {Column::N, u"基本组合"},
    {Column::N, u"桩顶竖向力设计值"},
    {Column::Gamma0, u"重要性系数"},
    {Column::Gamma0, u"结构重要性系数"},
    {Column::Gamma0, u"r0"},
};

// The symbols a Chinese name may end in: "桩径d", "嵌岩深度hr", "岩石抗压强度frk".
constexpr ColumnSpelling kSymbols[] = {
    {Column::Dd, u"d"},
    {Column::Dd, u"a"},
    {Column::Tyzd, u"c"},
    {Column::Tyzd, u"b"},
    {Column::Hr, u"hr"},
    {Column::Frk, u"frk"},
    {Column::Fuk, u"fuk"},
    // "桩顶竖向力标准值Nk", "偏心竖向力Nkmax", "基本组合N", "重要性系数γ0".
    {Column::Nkmax, u"nkmax"},
    {Column::Nk, u"nk"},
    {Column::N, u"n"},
    {Column::Gamma0, u"γ0"},
};

std::vector<std::u16string_view> OtherNames(Column column) {
    std::vector<std::u16string_view> names;
    for (const ColumnSpelling& spelling : kOtherNames) {
        if (spelling.column == column) {
            names.push_back(spelling.name);
        }
    }
    return names;
}

}  // namespace

std::optional<Column> ColumnOf(std::u16string_view headerText) {
    const std::u16string name = FoldedColumnName(headerText);
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        if (name == Normalized(kColumnNames[i])) {
            return static_cast<Column>(i);
        }
    }
    for (const ColumnSpelling& spelling : kOtherNames) {
        if (name == spelling.name) {
            return spelling.column;
        }
    }
    for (const ColumnSpelling& symbol : kSymbols) {
        const std::u16string_view text(name);
        if (text.size() > symbol.name.size() && text.ends_with(symbol.name) &&
            std::all_of(text.begin(), text.end() - static_cast<std::ptrdiff_t>(symbol.name.size()),
                        [](char16_t c) { return c >= u'\u2E80'; })) {
            return symbol.column;
        }
    }
    return std::nullopt;
}

std::u16string ShownText(std::u16string_view text) {
    std::u16string shown;
    for (std::size_t i = 0; i < text.size() && i < kShownChars; ++i) {
        shown.push_back(text[i] < u' ' || text[i] == u'\x7F' ? u' ' : text[i]);
    }
    if (text.size() > kShownChars) {
        shown += u"…";
    }
    return shown;
}

std::u16string CellName(const ScheduleHeader& header, Column column, std::size_t row,
                        std::u16string_view text) {
    const auto index = static_cast<std::size_t>(column);
    if (!header.field[index]) {
        return std::u16string(ColumnName(column)) + u"（表中没有这一列）";
    }
    std::u16string name =
        ShownText(Trim(header.name[index])) + u" " +
        Utf8ToUtf16(CellReference(static_cast<std::uint32_t>(row),
                                  static_cast<std::uint32_t>(*header.field[index] + 1)));
    if (!Trim(text).empty()) {
        name += u"「" + ShownText(text) + u"」";
    }
    return name;
}

namespace {

bool HasControl(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c < u' ' || c == u'\x7F'; });
}

// Bytes that a spreadsheet writes for a row without content.
bool BlankBytes(std::string_view bytes, std::string_view separators) {
    return std::all_of(bytes.begin(), bytes.end(), [&](char c) {
        return c == ' ' || c == '"' || separators.find(c) != std::string_view::npos;
    });
}

struct HeaderReading {
    ScheduleHeader header;
    std::size_t found = 0;
    std::optional<Column> duplicate;
    std::u16string duplicateText;  // the second header cell naming that column
};

std::optional<HeaderReading> TryHeader(std::string_view record, TextEncoding encoding,
                                       char separator, std::size_t maxFields, bool& tooWide) {
    std::vector<std::string> fields;
    if (!SplitFields(record, separator, maxFields, fields)) {
        tooWide = true;
        return std::nullopt;
    }
    TextDecoder decoder(encoding);
    HeaderReading reading;
    reading.header.encoding = encoding;
    reading.header.separator = separator;
    reading.header.fieldCount = fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<std::u16string> text = decoder.Decode(fields[i]);
        if (!text) {
            return std::nullopt;
        }
        const std::optional<Column> column = ColumnOf(*text);
        if (!column) {
            continue;
        }
        auto& slot = reading.header.field[static_cast<std::size_t>(*column)];
        if (slot) {
            if (!reading.duplicate) {
                reading.duplicate = *column;
                reading.duplicateText = *text;
            }
            continue;
        }
        slot = i;
        reading.header.name[static_cast<std::size_t>(*column)] = *text;
        ++reading.found;
    }
    return reading;
}

std::u16string Joined(const std::vector<std::u16string_view>& items) {
    std::u16string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += i + 1 == items.size() ? u" 或 " : u"、";
        }
        text += items[i];
    }
    return text;
}

// ------------------------------------------------------------------ one row

struct Cells {
    std::array<std::u16string, kColumnCount> text;  // empty where the row has no such cell
    const std::u16string& operator[](Column c) const { return text[static_cast<std::size_t>(c)]; }
};

std::optional<RockParameterMode> ModeOf(std::u16string_view text) {
    const std::u16string name = Normalized(text);
    if (name == u"frk") {
        return RockParameterMode::Frk;
    }
    if (name == u"fuk") {
        return RockParameterMode::Fuk;
    }
    return std::nullopt;
}

std::optional<SectionType> SectionOf(std::u16string_view text) {
    const std::u16string name = Normalized(text);
    for (const SectionType type :
         {SectionType::Circle, SectionType::Ellipse, SectionType::Rectangle}) {
        if (name == SectionTypeText(type)) {
            return type;
        }
    }
    return std::nullopt;
}

std::optional<ConcreteGrade> GradeOf(std::u16string_view text) {
    const std::u16string name = Normalized(text);
    for (int i = 0; i <= static_cast<int>(ConcreteGrade::C60); ++i) {
        const auto grade = static_cast<ConcreteGrade>(i);
        if (name == Normalized(ConcreteGradeText(grade))) {
            return grade;
        }
    }
    return std::nullopt;
}

std::vector<std::u16string_view> SectionTexts() {
    return {SectionTypeText(SectionType::Circle), SectionTypeText(SectionType::Ellipse),
            SectionTypeText(SectionType::Rectangle)};
}

std::vector<std::u16string_view> GradeTexts() {
    std::vector<std::u16string_view> texts;
    for (int i = 0; const auto grade = ConcreteGradeFromIndex(i); ++i) {
        texts.push_back(ConcreteGradeText(*grade));
    }
    return texts;
}

std::vector<std::u16string_view> PrecisionTexts() {
    std::vector<std::u16string_view> texts;
    for (int i = 0; const auto mode = PrecisionModeFromIndex(i); ++i) {
        texts.push_back(PrecisionModeText(*mode));
    }
    return texts;
}

std::vector<std::u16string_view> ProcessTexts(RockParameterMode mode) {
    std::vector<std::u16string_view> texts;
    for (int i = 0; const auto process = ProcessFromIndex(i, mode); ++i) {
        texts.push_back(ProcessText(mode, *process));
    }
    return texts;
}

std::optional<ConstructionProcess> ProcessOf(std::u16string_view text, RockParameterMode mode) {
    const std::u16string name = Normalized(text);
    for (int i = 0; const auto process = ProcessFromIndex(i, mode); ++i) {
        if (name == Normalized(ProcessText(mode, *process))) {
            return process;
        }
    }
    return std::nullopt;
}

std::optional<PrecisionMode> PrecisionOf(std::u16string_view text) {
    const std::u16string name = Normalized(text);
    if (name.empty()) {
        return kStartPrecision;
    }
    for (int index = 0; const auto mode = PrecisionModeFromIndex(index); ++index) {
        if (name == PrecisionModeText(*mode)) {
            return mode;
        }
    }
    return std::nullopt;
}

// Why a row is refused, and the cell that says so (none: the whole row).
struct Refused {
    std::optional<Column> column;
    std::u16string why;
};

// A list text that names no item (the cell's name shows what was written): the items.
Refused NotAnItem(Column column, std::u16string_view text,
                  const std::vector<std::u16string_view>& items) {
    const std::u16string choice = u"应为 " + Joined(items);
    return {column, Trim(text).empty() ? u"为空，" + choice : choice};
}

// An empty 参数 is told by the rock value the row fills; with both or neither filled it
// cannot be, and the message says which cells it looked at.
std::variant<RockParameterMode, Refused> RowMode(const Cells& cells, const ScheduleHeader& header,
                                                 std::size_t line) {
    if (!Trim(cells[Column::Mode]).empty()) {
        if (const std::optional<RockParameterMode> mode = ModeOf(cells[Column::Mode])) {
            return *mode;
        }
        return NotAnItem(Column::Mode, cells[Column::Mode], {u"frk", u"fuk"});
    }
    // A schedule with one rock column is of its mode, its cell filled or not.
    const bool frkColumn = header.field[static_cast<std::size_t>(Column::Frk)].has_value();
    const bool fukColumn = header.field[static_cast<std::size_t>(Column::Fuk)].has_value();
    if (frkColumn != fukColumn) {
        return frkColumn ? RockParameterMode::Frk : RockParameterMode::Fuk;
    }
    const bool frk = !Trim(cells[Column::Frk]).empty();
    const bool fuk = !Trim(cells[Column::Fuk]).empty();
    if (frk != fuk) {
        return frk ? RockParameterMode::Frk : RockParameterMode::Fuk;
    }
    Refused refused = NotAnItem(Column::Mode, cells[Column::Mode], {u"frk", u"fuk"});
    refused.why += u"（" + CellName(header, Column::Frk, line, {}) + u" 和 " +
                   CellName(header, Column::Fuk, line, {}) +
                   (frk ? u" 都已填写）" : u" 都未填写）");
    return refused;
}

std::variant<ScheduleRow, Refused> RowFromCells(const Cells& cells, const ScheduleHeader& header,
                                                std::size_t line) {
    const auto modeOrWhy = RowMode(cells, header, line);
    if (const auto* why = std::get_if<Refused>(&modeOrWhy)) {
        return *why;
    }
    const std::optional<RockParameterMode> mode = std::get<RockParameterMode>(modeOrWhy);
    // A schedule without a 截面 column is a schedule of circles.
    const bool sectionAbsent = !header.field[static_cast<std::size_t>(Column::Section)];
    const std::optional<SectionType> section = sectionAbsent
                                                   ? std::optional<SectionType>(SectionType::Circle)
                                                   : SectionOf(cells[Column::Section]);
    if (!section) {
        return NotAnItem(Column::Section, cells[Column::Section], SectionTexts());
    }
    if (*mode == RockParameterMode::Frk && *section != SectionType::Circle) {
        return Refused{Column::Section, u"按 frk 计算时截面只能是圆桩，" +
                                            std::u16string(SectionTypeText(*section)) +
                                            u"须按 fuk 计算"};
    }
    // The fuk list holds one process, which the window selects by itself.
    std::optional<ConstructionProcess> process;
    if (*mode == RockParameterMode::Fuk && Trim(cells[Column::Process]).empty()) {
        process = ConstructionProcess::DryClean;
    } else {
        process = ProcessOf(cells[Column::Process], *mode);
    }
    if (!process) {
        return NotAnItem(Column::Process, cells[Column::Process], ProcessTexts(*mode));
    }
    const std::optional<ConcreteGrade> grade = GradeOf(cells[Column::Grade]);
    if (!grade) {
        return NotAnItem(Column::Grade, cells[Column::Grade], GradeTexts());
    }
    const std::optional<PrecisionMode> precision = PrecisionOf(cells[Column::Precision]);
    if (!precision) {
        return NotAnItem(Column::Precision, cells[Column::Precision], PrecisionTexts());
    }

    // The boxes the calculation reads keep their texts exactly; the books print some of them,
    // so a line break or another control character, which no box can hold, refuses the row.
    std::vector<Column> used = {Column::Dd, Column::Hr,
                                *mode == RockParameterMode::Frk ? Column::Frk : Column::Fuk};
    if (*section != SectionType::Circle) {
        used.push_back(Column::Tyzd);
    }
    for (const Column column : used) {
        if (HasControl(cells[column])) {
            return Refused{column, u"含有换行或控制字符"};
        }
    }

    // The time ends both books, so it obeys the boxes' rule; an empty cell takes the run's.
    if (HasControl(cells[Column::Time])) {
        return Refused{Column::Time, u"含有换行或控制字符"};
    }
    const std::u16string_view separator = Trim(cells[Column::DecimalSeparator]);
    if (!separator.empty() && separator != u"." && separator != u",") {
        return Refused{Column::DecimalSeparator, u"应为 . 或 ,"};
    }

    ScheduleRow row;
    if (!cells[Column::Time].empty()) {
        row.calculationTime = cells[Column::Time];
    }
    if (!separator.empty()) {
        row.decimalSeparator = separator.front();
    }
    row.panel.sectionType = *section;
    row.panel.rockMode = *mode;
    row.panel.ddText = cells[Column::Dd];
    // A circle's second box is disabled and shows "0", whatever the schedule says.
    row.panel.tyzdText = *section == SectionType::Circle ? u"0" : cells[Column::Tyzd];
    row.panel.hrText = cells[Column::Hr];
    row.panel.frkText = cells[Column::Frk];
    row.panel.fukText = cells[Column::Fuk];
    row.panel.concreteGrade = *grade;
    row.panel.process = *process;
    row.precision = *precision;
    row.loads = {std::u16string(Trim(cells[Column::Nk])),
                 std::u16string(Trim(cells[Column::Nkmax])), std::u16string(Trim(cells[Column::N])),
                 std::u16string(Trim(cells[Column::Gamma0]))};
    return row;
}

// The cells that make a row a pile: a row without any of them is a note or a subtotal.
constexpr Column kPileColumns[] = {Column::Section, Column::Dd,  Column::Tyzd,
                                   Column::Hr,      Column::Frk, Column::Fuk};

// The filled cells of a row as written, whatever their columns, one blank between them.
std::u16string RowText(const std::vector<std::string>& fields, TextDecoder& decoder) {
    std::u16string text;
    for (const std::string& field : fields) {
        const std::u16string cell = decoder.Decode(field).value_or(u"");
        const std::u16string_view trimmed = Trim(cell);
        if (!trimmed.empty()) {
            text += (text.empty() ? u"" : u" ") + std::u16string(trimmed);
        }
    }
    return text;
}

std::u16string NotText(TextEncoding encoding) {
    return u"不是有效的 " + std::u16string(EncodingName(encoding)) + u" 文字";
}

}  // namespace

std::u16string_view ColumnName(Column column) {
    return kColumnNames[static_cast<std::size_t>(column)];
}

namespace {

struct HeaderAttempt {
    std::variant<ScheduleHeader, std::u16string> result;
    std::size_t named = 0;  // columns the record names
    bool notASchedule = false;
};

HeaderAttempt TryReadHeader(std::string_view record, bool utf8Bom, std::size_t maxFields) {
    if (record.find('\0') != std::string_view::npos) {
        return {std::u16string(u"不是 CSV 文本文件（含有空字符）"), 0, true};
    }
    std::optional<HeaderReading> best;
    bool tooWide = false;
    bool decoded = false;
    std::vector<TextEncoding> encodings = {TextEncoding::Utf8};
    if (!utf8Bom) {
        encodings.push_back(TextEncoding::Legacy);
    }
    for (const TextEncoding encoding : encodings) {
        for (const char separator : {',', ';', '\t'}) {
            auto reading = TryHeader(record, encoding, separator, maxFields, tooWide);
            if (!reading) {
                continue;
            }
            decoded = true;
            if (!best || reading->found > best->found) {
                best = std::move(reading);
            }
        }
    }
    if (!best) {
        if (tooWide) {
            return {u"表头超过 " + DecimalText(maxFields) + u" 列，不是桩表", 0, true};
        }
        if (decoded) {
            return {std::u16string(u"不是桩表"), 0, false};
        }
        if (utf8Bom) {
            return {std::u16string(u"文件以 UTF-8 标记开头，却不是有效的 UTF-8 文字"), 0, true};
        }
        return {u"不是 CSV 文本文件（既不是 UTF-8 也不是 " +
                    std::u16string(EncodingName(TextEncoding::Legacy)) + u" 文字）",
                0, true};
    }
    const std::size_t named = best->found;
    if (best->duplicate) {
        const std::u16string& first = best->header.name[static_cast<std::size_t>(*best->duplicate)];
        if (first == best->duplicateText) {
            return {u"表头中「" + first + u"」列出现了两次", named, false};
        }
        return {u"表头中「" + first + u"」和「" + best->duplicateText + u"」都是「" +
                    std::u16string(ColumnName(*best->duplicate)) + u"」列，只能留一列",
                named, false};
    }
    const auto has = [&](Column column) {
        return best->header.field[static_cast<std::size_t>(column)].has_value();
    };
    std::vector<Column> missing;
    for (const Column column : {Column::Dd, Column::Hr, Column::Grade}) {
        if (!has(column)) {
            missing.push_back(column);
        }
    }
    const bool noRock = !has(Column::Frk) && !has(Column::Fuk);
    if (missing.empty() && !noRock) {
        return {best->header, named, false};
    }
    std::u16string found;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        if (best->header.field[i]) {
            found += (found.empty() ? u"" : u"、") + best->header.name[i];
        }
    }
    std::u16string names;
    const auto knownAs = [](Column column) {
        return std::u16string(ColumnName(column)) + u"（又作 " + Joined(OtherNames(column)) + u"）";
    };
    for (const Column column : missing) {
        names += (names.empty() ? u"" : u"、") + knownAs(column);
    }
    if (noRock) {
        names +=
            (names.empty() ? u"" : u"、") + knownAs(Column::Frk) + u" 或 " + knownAs(Column::Fuk);
    }
    return {u"不是桩表的表头，缺少列：" + names +
                (found.empty() ? u"；没有认出任何列" : u"；认出的列：" + found),
            named, false};
}

}  // namespace

std::variant<ScheduleHeader, std::u16string> ReadHeader(std::string_view record, bool utf8Bom,
                                                        std::size_t maxFields) {
    return TryReadHeader(record, utf8Bom, maxFields).result;
}

HeaderSearch::Offered HeaderSearch::Offer(std::size_t line, std::string_view record, bool utf8Bom,
                                          std::size_t maxFields) {
    HeaderAttempt attempt = TryReadHeader(record, utf8Bom, maxFields);
    if (auto* header = std::get_if<ScheduleHeader>(&attempt.result)) {
        header_ = std::move(*header);
        return Offered::Header;
    }
    lastWhy_ = LinePrefix(line) + std::get<std::u16string>(attempt.result);
    if (!bestNamed_ || attempt.named > *bestNamed_) {
        bestNamed_ = attempt.named;
        why_ = lastWhy_;
    }
    return attempt.notASchedule ? Offered::NotASchedule : Offered::NotHeader;
}

std::u16string_view MergedCellHint(const ScheduleEntry& entry, Column column) {
    if (!entry.emptyUnderFilled[static_cast<std::size_t>(column)]) {
        return {};
    }
    return u"（上方的单元格有值，原表可能是合并单元格：另存为 CSV "
           u"时只有合并区域的第一行留有它的值，"
           u"直接读 .xlsx 工作簿则每一行都读得到）";
}

RowReading ReadRow(const RawRecord& record, const ScheduleHeader& header, TextDecoder& decoder) {
    RowReading reading;
    const std::string_view bytes = record.bytes;
    // Both come from a quote that never closes, or from data that is no schedule: say how far
    // the damage reaches, so that nobody misses the rows that went with it.
    if (record.status == RecordStatus::TooLong) {
        reading.result = u"这一行太长，到第 " + DecimalText(record.lastLine) +
                         u" 行为止都未能读取（引号可能不成对）";
        return reading;
    }
    if (record.status == RecordStatus::UnclosedQuote) {
        reading.result = u"引号不成对，从这一行到文件末尾（第 " + DecimalText(record.lastLine) +
                         u" 行）都未能读取";
        return reading;
    }
    if (BlankBytes(bytes, std::string_view(&header.separator, 1))) {
        reading.blank = true;
        return reading;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        reading.result = std::u16string(u"含有空字符（NUL），不是文本");
        return reading;
    }
    std::vector<std::string> fields;
    SplitFields(bytes, header.separator, std::numeric_limits<std::size_t>::max(), fields);
    if (const auto first = decoder.Decode(fields.front());
        first && Trim(*first) == kColumnListTitle) {
        reading.endOfTable = true;
        return reading;
    }

    Cells cells;
    bool undecodable = false;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        const auto& position = header.field[i];
        if (!position || *position >= fields.size()) {
            continue;  // a short row: its missing cells are empty, as Excel leaves them
        }
        std::optional<std::u16string> text = decoder.Decode(fields[*position]);
        if (!text) {
            undecodable = true;
            continue;
        }
        FoldWidth(*text);
        reading.filled[i] = !Trim(*text).empty();
        cells.text[i] = std::move(*text);
    }
    reading.pileLabel = cells[Column::PileLabel];
    if (undecodable) {
        reading.result = NotText(decoder.Encoding());
        return reading;
    }
    if (std::all_of(std::begin(kPileColumns), std::end(kPileColumns),
                    [&](Column column) { return Trim(cells[column]).empty(); })) {
        reading.skipped = true;
        reading.result = RowText(fields, decoder);
        return reading;
    }
    if (fields.size() > header.fieldCount) {
        reading.result = u"有 " + DecimalText(fields.size()) + u" 个字段，多于表头的 " +
                         DecimalText(header.fieldCount) + u" 个（数中的分隔符须放在引号里）";
        return reading;
    }
    auto row = RowFromCells(cells, header, record.line);
    if (auto* refused = std::get_if<Refused>(&row)) {
        if (refused->column) {
            reading.cell = CellName(header, *refused->column, record.line, cells[*refused->column]);
            reading.refusedColumn = refused->column;
        }
        reading.result = std::move(refused->why);
    } else {
        reading.result = std::move(std::get<ScheduleRow>(row));
    }
    return reading;
}

std::vector<TitleField> TitleFieldsOf(std::size_t line, std::string_view record, char separator,
                                      TextDecoder& decoder) {
    std::vector<TitleField> found;
    std::vector<std::string> fields;
    if (record.find('\0') != std::string_view::npos ||
        !SplitFields(record, separator, std::numeric_limits<std::size_t>::max(), fields)) {
        return found;
    }
    std::vector<std::u16string> cells;
    for (const std::string& field : fields) {
        std::optional<std::u16string> text = decoder.Decode(field);
        if (!text) {
            return found;  // not text in this encoding: a title of no use
        }
        if (!Trim(*text).empty()) {
            cells.emplace_back(Trim(*text));
        }
    }
    const auto add = [&](std::u16string_view key, std::u16string_view value) {
        std::u16string name = FoldedColumnName(key);
        if (!name.empty() && !Trim(value).empty()) {
            found.push_back({line, std::move(name), std::u16string(Trim(value))});
        }
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::u16string_view cell = cells[i];
        const std::size_t colon = cell.find_first_of(u":：");
        if (colon != std::u16string_view::npos && !Trim(cell.substr(colon + 1)).empty()) {
            add(cell.substr(0, colon), cell.substr(colon + 1));
        } else if (i + 1 < cells.size()) {
            add(cell.substr(0, colon), cells[i + 1]);
            ++i;
        }
    }
    return found;
}

std::variant<Schedule, std::u16string> ReadSchedule(const ByteSource& source,
                                                    const ReaderLimits& limits) {
    RecordReader reader(source, limits);
    RawRecord record;
    Schedule schedule;

    const auto stopped = [&]() -> std::u16string {
        switch (reader.Stop()) {
            case ReadStop::FileTooLarge:
                return FileTooBigText(limits.maxFileBytes);
            case ReadStop::ReadError:
                return std::u16string(kReadErrorText);
            case ReadStop::EndOfFile:
            case ReadStop::None:
                break;
        }
        return std::u16string(kEmptyFileText);
    };

    // The header, with a title and empty rows above it as a workbook may have them.
    constexpr std::string_view kAnySeparator = ",;\t";
    HeaderSearch search;
    std::vector<RawRecord> titles;  // the lines above the header, read in its encoding
    for (;;) {
        if (!reader.Next(kAnySeparator, record)) {
            if (reader.Stop() == ReadStop::EndOfFile && !search.Why().empty()) {
                return search.Why();
            }
            return stopped();
        }
        if (reader.Bom() == ByteOrderMark::Utf16) {
            return std::u16string(
                u"文件是 UTF-16 编码；请在 Excel 中另存为“CSV (逗号分隔)”或“CSV UTF-8”");
        }
        const std::u16string where = LinePrefix(record.line);
        if (record.status == RecordStatus::TooLong) {
            return where + u"表头太长，不是桩表";
        }
        if (record.status == RecordStatus::UnclosedQuote) {
            return where + u"表头的引号不成对";
        }
        if (BlankBytes(record.bytes, kAnySeparator)) {
            continue;
        }
        const HeaderSearch::Offered offered = search.Offer(
            record.line, record.bytes, reader.Bom() == ByteOrderMark::Utf8, limits.maxFields);
        if (offered == HeaderSearch::Offered::NotASchedule) {
            return search.LastWhy();
        }
        if (offered == HeaderSearch::Offered::Header) {
            schedule.header = search.Header();
            break;
        }
        if (titles.size() < kMaxTitleLines) {
            titles.push_back(record);
        }
    }

    TextDecoder decoder(schedule.header.encoding);
    for (const RawRecord& title : titles) {
        for (TitleField& field :
             TitleFieldsOf(title.line, title.bytes, schedule.header.separator, decoder)) {
            schedule.titleFields.push_back(std::move(field));
        }
    }
    const std::string separator(1, schedule.header.separator);
    std::array<bool, kColumnCount> filledAbove{};
    while (reader.Next(separator, record)) {
        RowReading row = ReadRow(record, schedule.header, decoder);
        if (row.endOfTable) {
            return schedule;  // the rest of the file is not read
        }
        if (row.blank) {
            continue;
        }
        if (schedule.entries.size() == limits.maxRows) {
            return TooManyRowsText(limits.maxRows);
        }
        ScheduleEntry entry{record.line,           std::move(row.pileLabel),
                            std::move(row.result), std::move(row.cell),
                            row.skipped,           {}};
        // A merged range saved as CSV keeps its value in its first row only.
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            entry.emptyUnderFilled[i] = !row.filled[i] && filledAbove[i];
            filledAbove[i] = row.filled[i] || filledAbove[i];
        }
        if (row.refusedColumn && !row.skipped) {
            std::get<std::u16string>(entry.result) += MergedCellHint(entry, *row.refusedColumn);
        }
        schedule.entries.push_back(std::move(entry));
    }
    if (reader.Stop() != ReadStop::EndOfFile) {
        return stopped();
    }
    return schedule;
}

std::u16string ProcessChoices(RockParameterMode mode) {
    return Joined(ProcessTexts(mode));
}

namespace {

// A record of the template: a field quoted where it holds a separator or a quote.
std::string Record(std::initializer_list<std::u16string_view> fields) {
    std::u16string record;
    bool first = true;
    for (const std::u16string_view field : fields) {
        if (!first) {
            record += u",";
        }
        first = false;
        record += field.find_first_of(u",\"") == std::u16string_view::npos ? std::u16string(field)
                                                                           : QuotedField(field);
    }
    return Utf16ToUtf8(record) + "\r\n";
}

struct ColumnHelp {
    Column column;
    std::u16string_view unit;
    std::u16string texts;
};

std::vector<ColumnHelp> ColumnHelps() {
    return {
        {Column::PileLabel, u"", u"可不填；计算书中桩的编号"},
        {Column::Section, u"", Joined(SectionTexts()) + u"；没有这一列时都是圆桩"},
        {Column::Mode, u"", u"frk 或 fuk；不填时看这一行填了 frk 还是 fuk"},
        {Column::Dd, u"mm", u"圆桩、椭圆桩的直径 d，矩形桩的长边 a"},
        {Column::Tyzd, u"mm", u"椭圆桩的直段长度 c，矩形桩的短边 b；圆桩不填"},
        {Column::Hr, u"mm 或倍数",
         u"毫米数如 2000，或 d 的倍数如 1.5d（矩形桩为 b 的倍数如 1.5b）"},
        {Column::Grade, u"", Joined(GradeTexts())},
        {Column::Process, u"",
         u"frk 时为 " + ProcessChoices(RockParameterMode::Frk) + u"；fuk 时为 " +
             ProcessChoices(RockParameterMode::Fuk) + u"，可不填"},
        {Column::Frk, u"MPa", u"参数为 frk 的行填"},
        {Column::Fuk, u"MPa", u"参数为 fuk 的行填"},
        {Column::Precision, u"", Joined(PrecisionTexts()) + u"；不填为个位取整"},
        {Column::Time, u"", u"可不填；写在计算书末尾的时间，不填为计算时的时间"},
        {Column::DecimalSeparator, u"", u". 或 ,；可不填，不填为本机的小数点"},
        {Column::Nk, u"kN", u"可不填；荷载效应标准组合下的桩顶竖向力，验算 Nk≤Ra"},
        {Column::Nkmax, u"kN", u"可不填；偏心竖向力作用下的最大桩顶竖向力，验算 Nkmax≤1.2Ra"},
        {Column::N, u"kN", u"可不填；荷载效应基本组合下的桩顶竖向力设计值，验算 γ0N≤Rc"},
        {Column::Gamma0, u"",
         u"可不填；结构重要性系数，" + Gamma0Range() + u"，不填为 " +
             FixedText(kGamma0Default, 15, 1, u'.')},
    };
}

}  // namespace

std::string TemplateRows() {
    // The circle in both modes, then the sections only fuk computes; fuk rows leave 工艺 empty.
    return Record({u"桩号", u"截面", u"参数", u"d或a", u"c或b", u"hr", u"混凝土", u"工艺", u"frk",
                   u"fuk", u"精度"}) +
           Record({u"Z1", u"圆桩", u"frk", u"1000", u"", u"1.0d", u"C30", u"泥浆护壁成桩", u"25",
                   u"", u""}) +
           Record({u"Z2", u"圆桩", u"fuk", u"1000", u"", u"2000", u"C30", u"", u"", u"24", u""}) +
           Record(
               {u"Z3", u"椭圆桩", u"fuk", u"1000", u"500", u"1.5d", u"C30", u"", u"", u"24", u""}) +
           Record({u"Z4", u"矩形桩", u"fuk", u"1200", u"1000", u"1.0b", u"C35", u"", u"", u"24",
                   u"一位小数"});
}

std::string ColumnList() {
    std::string list = Record({kColumnListTitle, u"又作", u"单位", u"填写"});
    for (const ColumnHelp& help : ColumnHelps()) {
        std::u16string others;
        for (const std::u16string_view name : OtherNames(help.column)) {
            // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about the chained + here.
            if (!others.empty()) {
                others += u"、";
            }
            others += name;
        }
        list += Record({ColumnName(help.column), others, help.unit, help.texts});
    }
    return list;
}

std::u16string Gamma0Range() {
    return FixedText(kGamma0Min, 15, 1, u'.') + u" 到 " + FixedText(kGamma0Max, 15, 1, u'.');
}

std::string ScheduleTemplate() {
    return "\xEF\xBB\xBF" + TemplateRows() + "\r\n" + ColumnList();
}

}  // namespace pile::schedule
