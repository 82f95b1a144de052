#include "schedule/schedule.h"

#include <algorithm>
#include <limits>

#include "engine/pile_types.h"
#include "engine/utf_text.h"

namespace pile::schedule {
namespace {

constexpr std::array<std::u16string_view, kColumnCount> kColumnNames = {
    u"桩号", u"截面", u"参数",     u"d或a",   u"c或b", u"hr",    u"混凝土", u"工艺", u"frk",
    u"fuk",  u"精度", u"计算时间", u"小数点", u"Nk",   u"Nkmax", u"N",      u"γ0"};

constexpr std::size_t kShownChars = 20;

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

// How a list text or a column name is compared: without surrounding blanks, full-width Latin
// letters, digits and brackets as their ASCII forms, Latin letters in lower case. So "C30",
// "c30" and "Ｃ30" pick the same item, and "干作业成桩（清底干净）" the item with ASCII brackets.
std::u16string Normalized(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : Trim(text)) {
        if (c >= u'\uFF01' && c <= u'\uFF5E') {
            c = static_cast<char16_t>(c - 0xFEE0);
        }
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        out.push_back(c);
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

namespace {

// A cell text inside a message: at most kShownChars characters, control characters as blanks.
std::u16string Shown(std::u16string_view text) {
    std::u16string shown = u"「";
    for (std::size_t i = 0; i < text.size() && i < kShownChars; ++i) {
        shown.push_back(text[i] < u' ' || text[i] == u'\x7F' ? u' ' : text[i]);
    }
    if (text.size() > kShownChars) {
        shown += u"…";
    }
    return shown + u"」";
}

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

// A list text that names no item: what was written, and the items to choose from.
std::u16string NotAnItem(Column column, std::u16string_view text,
                         const std::vector<std::u16string_view>& items) {
    const std::u16string choice = u"应为 " + Joined(items);
    if (Trim(text).empty()) {
        return std::u16string(ColumnName(column)) + u"为空，" + choice;
    }
    return std::u16string(ColumnName(column)) + Shown(text) + choice;
}

// An empty 参数 is told by the rock value the row fills; with both or neither filled it
// cannot be, and the message says which cells it looked at.
std::variant<RockParameterMode, std::u16string> RowMode(const Cells& cells) {
    if (!Trim(cells[Column::Mode]).empty()) {
        if (const std::optional<RockParameterMode> mode = ModeOf(cells[Column::Mode])) {
            return *mode;
        }
        return NotAnItem(Column::Mode, cells[Column::Mode], {u"frk", u"fuk"});
    }
    const bool frk = !Trim(cells[Column::Frk]).empty();
    const bool fuk = !Trim(cells[Column::Fuk]).empty();
    if (frk != fuk) {
        return frk ? RockParameterMode::Frk : RockParameterMode::Fuk;
    }
    return NotAnItem(Column::Mode, cells[Column::Mode], {u"frk", u"fuk"}) +
           (frk ? u"（frk 和 fuk 都已填写）" : u"（frk 和 fuk 都未填写）");
}

std::variant<ScheduleRow, std::u16string> RowFromCells(const Cells& cells,
                                                       const ScheduleHeader& header) {
    const auto modeOrWhy = RowMode(cells);
    if (const auto* why = std::get_if<std::u16string>(&modeOrWhy)) {
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
        return u"按 frk 计算时截面只能是圆桩，" + std::u16string(SectionTypeText(*section)) +
               u"须按 fuk 计算";
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
            return u"「" + std::u16string(ColumnName(column)) + u"」一栏含有换行或控制字符";
        }
    }

    // The time ends both books, so it obeys the boxes' rule; an empty cell takes the run's.
    if (HasControl(cells[Column::Time])) {
        return u"「" + std::u16string(ColumnName(Column::Time)) + u"」一栏含有换行或控制字符";
    }
    const std::u16string_view separator = Trim(cells[Column::DecimalSeparator]);
    if (!separator.empty() && separator != u"." && separator != u",") {
        return std::u16string(ColumnName(Column::DecimalSeparator)) + Shown(separator) +
               u"应为 . 或 ,";
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

std::u16string NotText(TextEncoding encoding) {
    return u"不是有效的 " + std::u16string(EncodingName(encoding)) + u" 文字";
}

}  // namespace

std::u16string_view ColumnName(Column column) {
    return kColumnNames[static_cast<std::size_t>(column)];
}

std::variant<ScheduleHeader, std::u16string> ReadHeader(std::string_view record, bool utf8Bom,
                                                        std::size_t maxFields) {
    if (record.find('\0') != std::string_view::npos) {
        return std::u16string(u"不是 CSV 文本文件（含有空字符）");
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
            return u"表头超过 " + DecimalText(maxFields) + u" 列，不是桩表";
        }
        if (decoded) {
            return std::u16string(u"不是桩表");
        }
        if (utf8Bom) {
            return std::u16string(u"文件以 UTF-8 标记开头，却不是有效的 UTF-8 文字");
        }
        return u"不是 CSV 文本文件（既不是 UTF-8 也不是 " +
               std::u16string(EncodingName(TextEncoding::Legacy)) + u" 文字）";
    }
    if (best->duplicate) {
        const std::u16string& first = best->header.name[static_cast<std::size_t>(*best->duplicate)];
        if (first == best->duplicateText) {
            return u"表头中「" + first + u"」列出现了两次";
        }
        return u"表头中「" + first + u"」和「" + best->duplicateText + u"」都是「" +
               std::u16string(ColumnName(*best->duplicate)) + u"」列，只能留一列";
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
        return best->header;
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
    return u"不是桩表的表头，缺少列：" + names +
           (found.empty() ? u"；没有认出任何列" : u"；认出的列：" + found);
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
        cells.text[i] = std::move(*text);
    }
    reading.pileLabel = cells[Column::PileLabel];
    if (undecodable) {
        reading.result = NotText(decoder.Encoding());
        return reading;
    }
    if (fields.size() > header.fieldCount) {
        reading.result = u"有 " + DecimalText(fields.size()) + u" 个字段，多于表头的 " +
                         DecimalText(header.fieldCount) + u" 个（数中的分隔符须放在引号里）";
        return reading;
    }
    reading.result = RowFromCells(cells, header);
    return reading;
}

std::variant<Schedule, std::u16string> ReadSchedule(const ByteSource& source,
                                                    const ReaderLimits& limits) {
    RecordReader reader(source, limits);
    RawRecord record;
    Schedule schedule;

    const auto stopped = [&]() -> std::u16string {
        switch (reader.Stop()) {
            case ReadStop::FileTooLarge:
                return u"文件超过 " + DecimalText(limits.maxFileBytes >> 20) + u" MB，不是桩表";
            case ReadStop::ReadError:
                return u"读文件时出错";
            case ReadStop::EndOfFile:
            case ReadStop::None:
                break;
        }
        return u"文件是空的";
    };

    // The header: the first record that is not blank.
    constexpr std::string_view kAnySeparator = ",;\t";
    for (;;) {
        if (!reader.Next(kAnySeparator, record)) {
            return stopped();
        }
        if (reader.Bom() == ByteOrderMark::Utf16) {
            return std::u16string(
                u"文件是 UTF-16 编码；请在 Excel 中另存为“CSV (逗号分隔)”或“CSV UTF-8”");
        }
        const std::u16string where = u"第 " + DecimalText(record.line) + u" 行: ";
        if (record.status == RecordStatus::TooLong) {
            return where + u"表头太长，不是桩表";
        }
        if (record.status == RecordStatus::UnclosedQuote) {
            return where + u"表头的引号不成对";
        }
        if (BlankBytes(record.bytes, kAnySeparator)) {
            continue;
        }
        auto header =
            ReadHeader(record.bytes, reader.Bom() == ByteOrderMark::Utf8, limits.maxFields);
        if (const auto* why = std::get_if<std::u16string>(&header)) {
            return where + *why;
        }
        schedule.header = std::get<ScheduleHeader>(header);
        break;
    }

    TextDecoder decoder(schedule.header.encoding);
    const std::string separator(1, schedule.header.separator);
    while (reader.Next(separator, record)) {
        RowReading row = ReadRow(record, schedule.header, decoder);
        if (row.blank) {
            continue;
        }
        if (schedule.entries.size() == limits.maxRows) {
            return u"桩表超过 " + DecimalText(limits.maxRows) + u" 行，请分成几个文件";
        }
        schedule.entries.push_back({record.line, std::move(row.pileLabel), std::move(row.result)});
    }
    if (reader.Stop() != ReadStop::EndOfFile) {
        return stopped();
    }
    return schedule;
}

std::u16string ProcessChoices(RockParameterMode mode) {
    return Joined(ProcessTexts(mode));
}

std::string ScheduleTemplate() {
    const std::u16string notes[] = {
        u"frk 时工艺为 " + ProcessChoices(RockParameterMode::Frk),
        u"fuk 时工艺为 " + ProcessChoices(RockParameterMode::Fuk) + u"（可不填）",
        u"精度为 " + Joined(PrecisionTexts()) + u"（可不填）"};
    return "\xEF\xBB\xBF"
           "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,精度,说明\r\n"
           "Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,个位取整," +
           Utf16ToUtf8(notes[0]) +
           "\r\n"
           "Z2,椭圆桩,fuk,1000,500,1.5d,C30,干作业成孔且清底干净,25,24,个位取整," +
           Utf16ToUtf8(notes[1]) +
           "\r\n"
           "Z3,矩形桩,fuk,1200,1000,1.0b,C35,干作业成孔且清底干净,25,24,个位取整," +
           Utf16ToUtf8(notes[2]) + "\r\n";
}

}  // namespace pile::schedule
