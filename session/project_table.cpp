#include "session/project_table.h"

#include <cmath>
#include <limits>
#include <utility>
#include <variant>

#include "books/book_record.h"
#include "books/table_book.h"
#include "engine/number_parse.h"
#include "engine/pile_calculation.h"
#include "session/load_check.h"
#include "session/schedule_run.h"

namespace pile::session {

namespace {

using enum ProjectColumn;

std::size_t At(ProjectColumn column) {
    return static_cast<std::size_t>(column);
}

// The table book's cells, in its column order, that the project table shows.
enum TableCell : std::size_t { kD = 2, kC = 3, kA = 4, kB = 5, kHr = 7, kFrk = 8, kFuk = 9 };
constexpr std::size_t kProcessCell = 10;
constexpr std::size_t kGradeCell = 19;
constexpr std::u16string_view kNotApplicable = u"-";

// The table book pads its process cell to ten columns; a cell of the project table has no
// columns to fill.
std::u16string WithoutTrailingBlanks(std::u16string text) {
    while (!text.empty() && text.back() == u' ') {
        text.pop_back();
    }
    return text;
}

bool SameRecord(const RecordInputs& a, const RecordInputs& b) {
    const PanelInput& p = a.panel;
    const PanelInput& q = b.panel;
    return p.sectionType == q.sectionType && p.rockMode == q.rockMode && p.ddText == q.ddText &&
           p.tyzdText == q.tyzdText && p.hrText == q.hrText && p.frkText == q.frkText &&
           p.fukText == q.fukText && p.concreteGrade == q.concreteGrade && p.process == q.process &&
           a.precision == b.precision && a.decimalSeparator == b.decimalSeparator &&
           a.calculationTime == b.calculationTime && a.mark == b.mark && a.loads == b.loads;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// -1, 0 or 1; a run of digits compares as the number it writes, leading zeros aside.
int NaturalCompare(std::u16string_view a, std::u16string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t si = i;
            const std::size_t sj = j;
            while (i < a.size() && IsDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && IsDigit(b[j])) {
                ++j;
            }
            std::u16string_view x = a.substr(si, i - si);
            std::u16string_view y = b.substr(sj, j - sj);
            while (x.size() > 1 && x.front() == u'0') {
                x.remove_prefix(1);
            }
            while (y.size() > 1 && y.front() == u'0') {
                y.remove_prefix(1);
            }
            if (x.size() != y.size()) {
                return x.size() < y.size() ? -1 : 1;
            }
            if (const int c = x.compare(y); c != 0) {
                return c < 0 ? -1 : 1;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j] ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i == a.size() && j == b.size()) {
        return 0;
    }
    return i == a.size() ? -1 : 1;
}

bool IsNumberColumn(ProjectColumn column) {
    switch (column) {
        case Mark:
        case Section:
        case Size:
        case Grade:
        case Process:
        case Verdict:
            return false;
        default:
            return true;
    }
}

}  // namespace

std::u16string_view ProjectColumnName(ProjectColumn column) {
    // The names the results table gives the same cells.
    const std::vector<std::u16string_view> results = ResultsHeader(true);
    switch (column) {
        case Mark:
            return results[1];
        case Section:
            return u"截面";
        case Size:
            return u"尺寸(mm)";
        case Hr:
            return u"hr";  // as typed: millimetres or a multiple of d
        case Grade:
            return u"混凝土";
        case Process:
            return u"工艺";
        case Rock:
            return u"frk/fuk(MPa)";
        case Coefficient:
            return results[3];
        case Ra:
            return results[4];
        case Rc:
            return results[5];
        default:
            break;
    }
    // The load columns close both tables in the same order.
    return results[8 + (At(column) - At(Nk))];
}

bool IsLoadColumn(ProjectColumn column) {
    return column == Nk || column == Nkmax || column == N || column == Gamma0;
}

ProjectRow ProjectRowOf(const RecordInputs& record, int number) {
    ProjectRow row;
    row.cells[At(Mark)] = PileName(number, record.mark);
    row.cells[At(Nk)] = record.loads.nk;
    row.cells[At(Nkmax)] = record.loads.nkmax;
    row.cells[At(N)] = record.loads.n;
    row.cells[At(Gamma0)] = record.loads.gamma0;
    const char16_t separator = record.decimalSeparator;
    const ComputeOutcome outcome = ComputePile(record.panel, separator);
    // A record is in the books only once it computed, so this always holds.
    if (const auto* pile = std::get_if<ComputedPile>(&outcome.result)) {
        // The books print the boxes as they stand after a rectangle's exchange.
        const std::u16string& dd =
            outcome.rewritten ? outcome.rewritten->ddText : record.panel.ddText;
        const std::u16string& tyzd =
            outcome.rewritten ? outcome.rewritten->tyzdText : record.panel.tyzdText;
        const BookRecord book{pile->input, pile->result,           dd,
                              tyzd,        record.precision,       number,
                              separator,   record.calculationTime, record.mark};
        std::vector<std::u16string> cells = TableCells(book);
        row.cells[At(Section)] = std::u16string(PileShapeName(pile->input));
        switch (pile->input.sectionType) {
            case SectionType::Circle:
                row.cells[At(Size)] = cells[kD];
                break;
            case SectionType::Ellipse:
                row.cells[At(Size)] = cells[kD] + u" / " + cells[kC];
                break;
            case SectionType::Rectangle:
                row.cells[At(Size)] = cells[kA] + u"×" + cells[kB];
                break;
        }
        row.cells[At(Hr)] = cells[kHr];
        row.cells[At(Grade)] = cells[kGradeCell];
        row.cells[At(Process)] = WithoutTrailingBlanks(std::move(cells[kProcessCell]));
        row.cells[At(Rock)] = cells[kFrk] != kNotApplicable ? cells[kFrk] : cells[kFuk];
        // As the result panel and the results table print them, which the checks read back.
        ResultTexts results = ResultTextsOf(*pile, record.precision, separator);
        row.cells[At(Coefficient)] = std::move(results.coefficient);
        row.cells[At(Ra)] = results.ra;
        row.cells[At(Rc)] = results.rc;
        const auto loads = ReadLoads(record.loads, separator);
        if (const auto* why = std::get_if<std::u16string>(&loads)) {
            // Loads are read before they reach a record; a journal edited by hand aside.
            row.cells[At(Verdict)] = *why;
            row.failed = true;
        } else {
            LoadCheck check =
                CheckLoads(std::get<PileLoads>(loads), results.ra, results.rc, separator);
            row.cells[At(NkRatio)] = std::move(check.nkRatio);
            row.cells[At(NkmaxRatio)] = std::move(check.nkmaxRatio);
            row.cells[At(NRatio)] = std::move(check.nRatio);
            row.cells[At(Verdict)] = std::move(check.verdict);
            row.failed = check.checked && !check.passed;
        }
    }
    for (std::size_t i = 0; i < kProjectColumns; ++i) {
        const std::optional<double> value = IsNumberColumn(static_cast<ProjectColumn>(i))
                                                ? ParseLocaleNumber(row.cells[i], separator)
                                                : std::nullopt;
        row.numbers[i] =
            value && std::isfinite(*value) ? *value : std::numeric_limits<double>::quiet_NaN();
    }
    return row;
}

bool ProjectLess(const ProjectRow& left, const ProjectRow& right, ProjectColumn column) {
    const double a = left.numbers[At(column)];
    const double b = right.numbers[At(column)];
    if (!std::isnan(a) || !std::isnan(b)) {
        if (std::isnan(a) || std::isnan(b)) {
            return std::isnan(b);
        }
        if (a != b) {
            return a < b;
        }
    }
    return NaturalCompare(left.Cell(column), right.Cell(column)) < 0;
}

ProjectChange ProjectTable::Follow(const PanelSession& session) {
    const std::vector<RecordInputs>& records = session.Records();
    ProjectChange change;
    const std::size_t kept = std::min(records.size(), rows_.size());
    for (std::size_t i = 0; i < kept; ++i) {
        if (!SameRecord(records[i], sources_[i])) {
            sources_[i] = records[i];
            rows_[i] = ProjectRowOf(records[i], static_cast<int>(i + 1));
            change.rebuilt.push_back(i);
        }
    }
    if (rows_.size() > kept) {
        change.removed = {kept, rows_.size() - kept};
        rows_.resize(kept);
        sources_.resize(kept);
    }
    if (records.size() > kept) {
        change.added = {kept, records.size() - kept};
        rows_.reserve(records.size());
        sources_.reserve(records.size());
        for (std::size_t i = kept; i < records.size(); ++i) {
            sources_.push_back(records[i]);
            rows_.push_back(ProjectRowOf(records[i], static_cast<int>(i + 1)));
        }
    }
    return change;
}

std::optional<std::u16string> SetLoad(PanelSession& session, std::size_t index,
                                      ProjectColumn column, std::u16string_view text) {
    if (index >= session.Records().size() || !IsLoadColumn(column)) {
        return std::nullopt;
    }
    const RecordInputs& record = session.Records()[index];
    schedule::LoadTexts loads = record.loads;
    std::u16string& cell = column == Nk      ? loads.nk
                           : column == Nkmax ? loads.nkmax
                           : column == N     ? loads.n
                                             : loads.gamma0;
    cell = text;
    const auto read = ReadLoads(loads, record.decimalSeparator);
    if (const auto* why = std::get_if<std::u16string>(&read)) {
        return *why;
    }
    session.SetLoads(index, loads);
    return std::nullopt;
}

}  // namespace pile::session
