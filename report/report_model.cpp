#include "report/report_model.h"

#include <utility>

#include "books/book_outline.h"
#include "books/table_book.h"
#include "books/text_book.h"
#include "engine/pile_calculation.h"

namespace pile::report {

namespace {

// The books' own rule for a character two columns wide.
bool Wide(char16_t c) {
    return c >= 0x1000 && c <= 0x9FA5;
}

bool Blank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && Blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && Blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool Digit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool Letter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0x370 && c <= 0x3FF);
}

// A character a symbol such as "Ap(A)", "hr/b" or "ζr" can hold.
bool SymbolChar(char16_t c) {
    return Letter(c) || Digit(c) || c == u'/' || c == u'(' || c == u')' || c == u'.';
}

bool IsRule(std::u16string_view trimmed) {
    return !trimmed.empty() && trimmed.find_first_not_of(u"=-") == std::u16string_view::npos;
}

// "深 径 比" -> "深径比", "圆  桩" -> "圆桩": the blanks that spread a name over its cell, and
// those around it.
std::u16string ClosedUp(std::u16string_view cell) {
    cell = Trimmed(cell);
    std::u16string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == u' ' && !out.empty() && Wide(out.back())) {
            std::size_t next = i;
            while (next < cell.size() && cell[next] == u' ') {
                ++next;
            }
            if (next < cell.size() && Wide(cell[next])) {
                i = next - 1;
                continue;
            }
        }
        out.push_back(cell[i]);
    }
    return out;
}

bool SingleWide(std::u16string_view cell) {
    return cell.size() == 1 && Wide(cell[0]);
}

// The label of a value line without its blanks and colon, as number, quantity and symbol.
StepRow SplitLabel(std::u16string_view label) {
    label = Trimmed(label);
    while (!label.empty() &&
           (label.back() == u':' || label.back() == u'：' || Blank(label.back()))) {
        label.remove_suffix(1);
    }
    StepRow row;
    std::size_t numberEnd = 0;
    while (numberEnd < label.size() && (Digit(label[numberEnd]) || label[numberEnd] == u'.')) {
        ++numberEnd;
    }
    if (numberEnd > 0 && Digit(label[0])) {
        std::u16string_view number = label.substr(0, numberEnd);
        if (number.back() == u'.') {
            number.remove_suffix(1);
        }
        row.number = number;
        label = Trimmed(label.substr(numberEnd));
    }
    std::size_t symbolStart = label.size();
    while (symbolStart > 0 && SymbolChar(label[symbolStart - 1])) {
        --symbolStart;
    }
    while (symbolStart < label.size() && !Letter(label[symbolStart])) {
        ++symbolStart;
    }
    std::u16string_view symbol = label.substr(symbolStart);
    int depth = 0;
    for (const char16_t c : symbol) {
        depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
        if (depth < 0) {
            break;
        }
    }
    if (depth != 0 || symbolStart == 0) {
        symbol = {};
        symbolStart = label.size();
    }
    row.quantity = label.substr(0, symbolStart);
    row.symbol = symbol;
    return row;
}

std::u16string UnitText(std::u16string_view unit) {
    std::u16string text(Trimmed(unit));
    if (const std::size_t power = text.find(u"^2"); power != std::u16string::npos) {
        text.replace(power, 2, u"²");
    }
    return text;
}

// A literal line that holds a value after its colon ("4.4 …Qsk(不考虑): 0.00 kN").
StepRow LiteralValueRow(std::u16string_view label, std::u16string_view rest) {
    StepRow row = SplitLabel(label);
    rest = Trimmed(rest);
    const std::size_t blank = rest.find_last_of(u' ');
    if (blank != std::u16string_view::npos && blank + 1 < rest.size() && Letter(rest[blank + 1])) {
        row.value = Trimmed(rest.substr(0, blank));
        row.unit = UnitText(rest.substr(blank + 1));
    } else {
        row.value = rest;
    }
    return row;
}

// Turns the lines of one record into blocks, keeping their order.
class RecordReader {
  public:
    explicit RecordReader(PileSection& pile) : pile_(pile) {}

    void Line(const TextRecordLine& line) {
        if (!line.label.empty()) {
            StepRow row = SplitLabel(line.label);
            row.value = line.value;
            row.unit = UnitText(line.unit);
            Step(std::move(row));
            return;
        }
        const std::u16string_view trimmed = Trimmed(line.text);
        if (trimmed.empty() || trimmed.front() == u'=' || IsRule(trimmed)) {
            return;
        }
        // The summary is the record's last part: a line of values there may start with a digit.
        if (Digit(trimmed.front()) && section_ != 5) {
            Numbered(trimmed);
            return;
        }
        if (section_ == 3) {
            Formula(trimmed);
        } else if (section_ == 5) {
            pending_.push_back(SplitCells(trimmed));
            // Two heading lines and a line of values between rules make one table.
            if (pending_.size() == 3) {
                Block& table = Add(Block::Kind::CellTable);
                table.rows = std::move(pending_);
                pending_.clear();
            }
        } else {
            Add(Block::Kind::Text).text = trimmed;
        }
    }

    std::u16string code;

  private:
    void Numbered(std::u16string_view trimmed) {
        const std::size_t colon = trimmed.find_first_of(u":：");
        if (colon != std::u16string_view::npos && !Trimmed(trimmed.substr(colon + 1)).empty()) {
            Step(LiteralValueRow(trimmed.substr(0, colon), trimmed.substr(colon + 1)));
            return;
        }
        const StepRow heading = SplitLabel(trimmed);
        const bool top = heading.number.find(u'.') == std::u16string::npos;
        if (top) {
            section_ = 0;
            for (const char16_t c : heading.number) {
                section_ = section_ * 10 + (c - u'0');
            }
        }
        Add(top ? Block::Kind::Heading : Block::Kind::Subheading).text =
            heading.number + (top ? u"." : u" ") + heading.quantity + heading.symbol;
    }

    void Formula(std::u16string_view trimmed) {
        const bool isFormula =
            trimmed.back() == u')' && trimmed.find_first_of(u"=≤") != std::u16string_view::npos;
        if (isFormula || trimmed.ends_with(u"时")) {
            FormulaRow row;
            if (isFormula) {
                const std::size_t open = trimmed.find_last_of(u'(');
                row.formula = Trimmed(trimmed.substr(0, open));
                row.clause = trimmed.substr(open);
            } else {
                row.formula = trimmed;
            }
            Current(Block::Kind::Formulas).formulas.push_back(std::move(row));
            return;
        }
        code += trimmed;
        Block& text = Current(Block::Kind::Text);
        text.text += trimmed;
    }

    void Step(StepRow row) {
        Sketch(row);
        Current(Block::Kind::Steps).steps.push_back(std::move(row));
    }

    // The first line naming each quantity the sketch labels: the inputs come before the
    // calculation repeats them.
    void Sketch(const StepRow& row) {
        SketchTexts& s = pile_.sketch;
        const auto take = [&row](std::u16string& into) {
            if (into.empty()) {
                into = row.value + (row.unit.empty() ? u"" : u" " + row.unit);
            }
        };
        if (row.symbol == u"d") {
            take(s.d);
        } else if (row.symbol == u"c") {
            take(s.c);
        } else if (row.symbol == u"a") {
            take(s.a);
        } else if (row.symbol == u"b") {
            take(s.b);
        } else if (row.symbol == u"hr") {
            take(s.hr);
        } else if ((row.symbol == u"frk" || row.symbol == u"fuk") && s.rockValue.empty()) {
            s.rockValue = row.symbol + u"=" + row.value + u" " + row.unit;
        } else if (row.quantity.ends_with(u"混凝土强度等级")) {
            take(s.grade);
        } else if (row.quantity == u"岩石坚硬程度") {
            take(s.rockClass);
        }
    }

    Block& Add(Block::Kind kind) {
        Block& block = pile_.blocks.emplace_back();
        block.kind = kind;
        return block;
    }

    // The block at the end when it is of this kind, else a new one.
    Block& Current(Block::Kind kind) {
        if (!pile_.blocks.empty() && pile_.blocks.back().kind == kind) {
            return pile_.blocks.back();
        }
        return Add(kind);
    }

    PileSection& pile_;
    int section_ = 0;
    std::vector<Cells> pending_;
};

}  // namespace

Cells SplitCells(std::u16string_view line) {
    Cells cells;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && Blank(line[i])) {
            ++i;
        }
        std::size_t end = i;
        while (end < line.size() &&
               !(Blank(line[end]) && end + 1 < line.size() && Blank(line[end + 1]))) {
            ++end;
        }
        const std::u16string_view cell = Trimmed(line.substr(i, end - i));
        if (!cell.empty()) {
            // A merged name is two characters long: a third lone one starts a cell of its own.
            if (SingleWide(cell) && !cells.empty() && SingleWide(cells.back())) {
                cells.back() += cell;
            } else {
                cells.push_back(ClosedUp(cell));
            }
        }
        i = end;
    }
    return cells;
}

ReportContent GatherReport(const std::vector<session::RecordInputs>& records,
                           const std::vector<std::optional<PileCheck>>& checks) {
    ReportContent content;
    content.piles.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const session::RecordInputs& inputs = records[i];
        const ComputeOutcome outcome = ComputePile(inputs.panel, inputs.decimalSeparator);
        const auto* pile = std::get_if<ComputedPile>(&outcome.result);
        if (!pile) {
            continue;
        }
        // The boxes as the books print them: after a rectangle's exchange.
        const std::u16string& dd =
            outcome.rewritten ? outcome.rewritten->ddText : inputs.panel.ddText;
        const std::u16string& tyzd =
            outcome.rewritten ? outcome.rewritten->tyzdText : inputs.panel.tyzdText;
        const BookRecord record{.input = pile->input,
                                .result = pile->result,
                                .ddText = dd,
                                .tyzdText = tyzd,
                                .precision = inputs.precision,
                                .pileNumber = static_cast<int>(i) + 1,
                                .decimalSeparator = inputs.decimalSeparator,
                                .calculationTime = inputs.calculationTime,
                                .mark = inputs.mark};
        if (content.tableHeadings.empty()) {
            BookLines table;
            AppendTableRecord(table, record);
            const BookOutline outline = TableBookOutline(table);
            for (std::size_t line = outline.headings.first; line < outline.headings.end; ++line) {
                if (!IsRule(Trimmed(table[line]))) {
                    content.tableHeadings.push_back(SplitCells(table[line]));
                }
            }
        }
        PileSection& section = content.piles.emplace_back();
        section.title = PileName(record);
        section.input = pile->input;
        RecordReader reader(section);
        for (const TextRecordLine& line : TextRecordLines(record)) {
            reader.Line(line);
        }
        if (content.code.empty()) {
            content.code = reader.code;
        }
        for (const std::u16string& cell : TableCells(record)) {
            section.tableRow.push_back(ClosedUp(cell));
        }
        content.timeLine = TimeLine(record.calculationTime);
        if (i < checks.size() && checks[i]) {
            section.check = checks[i];
            content.anyCheck = true;
        }
    }
    return content;
}

PileCheck CheckOf(const session::RowOutcome& row) {
    const session::LoadCheck& check = row.check;
    const schedule::LoadTexts& loads = row.loads;
    PileCheck out;
    out.verdict = check.verdict;
    out.passed = check.passed;
    const session::ResultTexts none;
    const session::ResultTexts& results = row.results ? *row.results : none;
    const auto line = [&out](std::u16string load, bool failed, std::u16string capacity) {
        out.lines.push_back({load + (failed ? u" > " : u" ≤ ") + capacity +
                                 (failed ? u"，不满足要求" : u"，满足要求"),
                             !failed});
    };
    // One load a line.
    const auto add = [](std::u16string& cell, std::u16string_view text) {
        cell += (cell.empty() ? u"" : u"\n") + std::u16string(text);
    };
    if (!loads.nk.empty()) {
        add(out.loads, u"Nk=" + loads.nk);
        add(out.ratios, u"Nk/Ra=" + check.nkRatio);
        line(u"Nk = " + loads.nk + u" kN", check.nkFailed, u"Ra = " + results.ra + u" kN");
    }
    if (!loads.nkmax.empty()) {
        add(out.loads, u"Nkmax=" + loads.nkmax);
        add(out.ratios, u"Nkmax/1.2Ra=" + check.nkmaxRatio);
        line(u"Nkmax = " + loads.nkmax + u" kN", check.nkmaxFailed,
             u"1.2Ra = 1.2×" + results.ra + u" kN");
    }
    if (!loads.n.empty()) {
        add(out.loads, u"N=" + loads.n);
        add(out.ratios, u"γ0N/Rc=" + check.nRatio);
        const std::u16string factor = loads.gamma0.empty() ? u"" : loads.gamma0 + u"×";
        line(u"γ0N = " + factor + loads.n + u" kN", check.nFailed, u"Rc = " + results.rc + u" kN");
    }
    return out;
}

std::vector<std::optional<PileCheck>> ChecksOfRecords(
    const std::vector<session::RecordInputs>& records) {
    std::vector<std::optional<PileCheck>> checks;
    for (const session::RecordInputs& record : records) {
        std::optional<PileCheck>& check = checks.emplace_back();
        const auto loads = session::ReadLoads(record.loads, record.decimalSeparator);
        const auto* given = std::get_if<session::PileLoads>(&loads);
        const ComputeOutcome computed = ComputePile(record.panel, record.decimalSeparator);
        const auto* pile = std::get_if<ComputedPile>(&computed.result);
        if (given == nullptr || !given->Any() || pile == nullptr) {
            continue;
        }
        session::RowOutcome row;
        row.results = session::ResultTextsOf(*pile, record.precision, record.decimalSeparator);
        row.loads = record.loads;
        row.check =
            session::CheckLoads(*given, row.results->ra, row.results->rc, record.decimalSeparator);
        check = CheckOf(row);
    }
    return checks;
}

std::vector<std::optional<PileCheck>> ChecksOf(const session::ScheduleOutcome& outcome) {
    std::vector<std::optional<PileCheck>> checks;
    for (const session::RowOutcome& row : outcome.rows) {
        if (!row.results || row.pileNumber < 1) {
            continue;
        }
        const auto index = static_cast<std::size_t>(row.pileNumber - 1);
        if (checks.size() <= index) {
            checks.resize(index + 1);
        }
        if (row.check.checked) {
            checks[index] = CheckOf(row);
        }
    }
    return checks;
}

}  // namespace pile::report
