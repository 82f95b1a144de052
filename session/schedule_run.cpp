#include "session/schedule_run.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <variant>

#include "books/book_record.h"
#include "engine/utf_text.h"
#include "schedule/xlsx_schedule.h"

namespace pile::session {

using schedule::Column;
using schedule::DecimalText;
namespace {

// The schedule's column behind the box a failed check turns red.
Column ColumnOf(InputControl control) {
    switch (control) {
        case InputControl::Diameter:
            return Column::Dd;
        case InputControl::StraightLength:
            return Column::Tyzd;
        case InputControl::SocketDepth:
            return Column::Hr;
        case InputControl::Frk:
            return Column::Frk;
        case InputControl::Fuk:
            break;
    }
    return Column::Fuk;
}

const std::u16string& BoxText(const PanelInput& panel, Column column) {
    switch (column) {
        case Column::Dd:
            return panel.ddText;
        case Column::Tyzd:
            return panel.tyzdText;
        case Column::Hr:
            return panel.hrText;
        case Column::Frk:
            return panel.frkText;
        default:
            return panel.fukText;
    }
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The accepted form, for the texts a schedule holds that the window's boxes refuse: a
// multiple with the wrong letter ("1.5D", "1.5b" for a circle), a depth or a value written
// with its unit or a sign before it ("2000mm", "Φ1000"). Empty where the text is no such slip.
std::u16string Hint(Column column, SectionType section, std::u16string_view text) {
    while (!text.empty() && text.front() == u' ') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return {};
    }
    if (column == Column::Hr) {
        const std::u16string letter = section == SectionType::Rectangle ? u"b" : u"d";
        if (text.find(letter) != std::u16string_view::npos) {
            return {};  // the multiple's own letter: its number part is what is wrong
        }
        if (text.find_first_of(u"dDbB") != std::u16string_view::npos) {
            return u"（倍数写作小写 " + letter + u"，如 1.5" + letter + u"）";
        }
        const bool letters = std::any_of(text.begin(), text.end(), [](char16_t c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        });
        if (IsDigit(text.front()) && letters) {
            return u"（毫米数只写数字，如 2000）";
        }
        return {};
    }
    if (!IsDigit(text.front()) && text.front() != u'.') {
        return column == Column::Frk || column == Column::Fuk ? u"（只写数字，如 25）"
                                                              : u"（只写数字，如 1000）";
    }
    return {};
}

}  // namespace

namespace {

// The change of one book over several appends: from the first line any of them touched to
// the end, which is where every append works.
BookChange Spanning(const BookChange& first, std::size_t oldSize, std::size_t newSize) {
    return {first.position, oldSize - first.position, newSize - first.position};
}

}  // namespace

ScheduleOutcome ComputeSchedule(const schedule::Schedule& schedule, char16_t decimalSeparator,
                                std::u16string_view calculationTime, PanelSession& session,
                                const RowProgress& progress) {
    ScheduleOutcome outcome;
    outcome.rows.reserve(schedule.entries.size());
    for (const schedule::Column column : {schedule::Column::Nk, schedule::Column::Nkmax,
                                          schedule::Column::N, schedule::Column::Gamma0}) {
        outcome.hasLoads |= schedule.header.field[static_cast<std::size_t>(column)].has_value();
    }
    const std::size_t tableBefore = session.Books().TableLines().size();
    const std::size_t textBefore = session.Books().TextLines().size();
    std::optional<BooksChange> first;
    for (const schedule::ScheduleEntry& entry : schedule.entries) {
        RowOutcome row;
        row.line = entry.line;
        row.pileLabel = entry.pileLabel;
        row.cell = entry.cell;
        const auto* reading = std::get_if<schedule::ScheduleRow>(&entry.result);
        std::optional<PileLoads> loads;
        if (entry.skipped) {
            row.skipped = true;
            row.pileLabel.clear();  // the 桩号 cell holds the note, which the listing shows
            row.refusal =
                u"跳过「" + schedule::ShownText(std::get<std::u16string>(entry.result)) + u"」";
            ++outcome.skipped;
            reading = nullptr;
        } else if (reading) {
            row.loads = reading->loads;
            // Loads that cannot be read refuse the row before it reaches the books.
            auto read =
                ReadLoads(reading->loads, reading->decimalSeparator.value_or(decimalSeparator));
            if (auto* why = std::get_if<std::u16string>(&read)) {
                row.refusal = std::move(*why);
                reading = nullptr;
            } else {
                loads = std::get<PileLoads>(read);
            }
        } else {
            row.refusal = std::get<std::u16string>(entry.result);
        }
        if (reading) {
            // A row that says when and how it was computed (the journal, 导出桩表) computes
            // into the same books again.
            PanelUpdate update = session.Compute(
                reading->panel, reading->precision,
                reading->decimalSeparator.value_or(decimalSeparator),
                reading->calculationTime ? *reading->calculationTime : calculationTime,
                entry.pileLabel, reading->loads);
            if (auto* results = std::get_if<ResultTexts>(&update.outcome)) {
                row.results = std::move(*results);
                row.pileNumber = session.PileCounter();
                row.check = CheckLoads(*loads, row.results->ra, row.results->rc,
                                       reading->decimalSeparator.value_or(decimalSeparator));
                outcome.failedChecks += row.check.passed ? 0 : 1;
                if (!first) {
                    first = update.booksChange;
                }
            } else {
                const ValidationFailure& failure = std::get<ValidationFailure>(update.outcome);
                const Column column = ColumnOf(failure.control);
                const std::u16string& text = BoxText(reading->panel, column);
                row.cell = schedule::CellName(schedule.header, column, entry.line, text);
                row.refusal = std::u16string(failure.message) +
                              Hint(column, reading->panel.sectionType, text) +
                              std::u16string(schedule::MergedCellHint(entry, column));
            }
        }
        if (!row.skipped) {
            ++(row.results ? outcome.computed : outcome.refused);
        }
        outcome.rows.push_back(std::move(row));
        if (progress && !progress(outcome.rows.size(), schedule.entries.size())) {
            break;
        }
    }
    if (first) {
        outcome.change.table =
            Spanning(first->table, tableBefore, session.Books().TableLines().size());
        outcome.change.text = Spanning(first->text, textBefore, session.Books().TextLines().size());
    } else {
        outcome.change.table.position = tableBefore;
        outcome.change.text.position = textBefore;
    }
    return outcome;
}

ScheduleRun RunSchedule(const schedule::ByteSource& source, char16_t decimalSeparator,
                        std::u16string_view calculationTime, PanelSession& session,
                        const schedule::ReaderLimits& limits, const RowProgress& progress) {
    ScheduleRun run;
    // The same progress follows the parsing of a workbook, before any row is computed.
    auto read = schedule::ReadScheduleFile(source, {}, limits, {}, progress);
    if (auto* why = std::get_if<std::u16string>(&read)) {
        run.unreadable = std::move(*why);
        return run;
    }
    auto& piles = std::get<schedule::Schedule>(read);
    run.outcome = ComputeSchedule(piles, decimalSeparator, calculationTime, session, progress);
    run.titleFields = std::move(piles.titleFields);
    return run;
}

int ExitStatus(const ScheduleOutcome& outcome) {
    if (outcome.refused != 0) {
        return 1;
    }
    return outcome.failedChecks == 0 ? 0 : kExitChecksFailed;
}

std::u16string CheckSummary(const ScheduleOutcome& outcome, std::size_t maxNames) {
    std::size_t passed = 0;
    std::size_t named = 0;
    std::u16string failed;
    for (const RowOutcome& row : outcome.rows) {
        if (!row.results || !row.check.checked) {
            continue;
        }
        if (row.check.passed) {
            ++passed;
        } else if (named++ < maxNames) {
            failed += (failed.empty() ? u"" : u"、") + PileName(row.pileNumber, row.pileLabel);
        } else if (named == maxNames + 1) {
            failed += u"等";
        }
    }
    if (passed == 0 && failed.empty()) {
        return {};
    }
    std::u16string summary = DecimalText(passed) + u" 根满足";
    if (!failed.empty()) {
        summary += u"，" + DecimalText(outcome.failedChecks) + u" 根不满足：" + failed;
    }
    return summary;
}

std::u16string RefusalLine(const RowOutcome& row) {
    std::u16string line = u"第 " + DecimalText(row.line) + u" 行";
    std::u16string_view label = row.pileLabel;
    while (!label.empty() && (label.front() == u' ' || label.back() == u' ')) {
        label = label.front() == u' ' ? label.substr(1) : label.substr(0, label.size() - 1);
    }
    const std::u16string mark = schedule::ShownText(label);
    const bool marked = !mark.empty();
    if (marked) {
        line += u"（" + mark + u"）";
    }
    if (!row.cell.empty()) {
        line += (marked ? u"" : u" ") + row.cell;
    }
    return line + u": " + row.refusal;
}

std::u16string RefusalText(const RowOutcome& row) {
    return row.cell.empty() ? row.refusal : row.cell + u": " + row.refusal;
}

std::u16string RefusalLines(const ScheduleOutcome& outcome) {
    std::u16string lines;
    for (const RowOutcome& row : outcome.rows) {
        if (!row.results) {
            lines += RefusalLine(row) + u"\n";
        }
    }
    return lines;
}

std::vector<std::u16string> DuplicateNames(const ScheduleOutcome& outcome) {
    // Each name with the lines of its rows, in the order the names first come.
    std::vector<std::pair<std::u16string, std::vector<std::size_t>>> names;
    std::unordered_map<std::u16string, std::size_t> index;
    for (const RowOutcome& row : outcome.rows) {
        if (!row.results) {
            continue;
        }
        // As the books print it: " ZJ5" and "ZJ5" are one name, and so are a mark ZH2 and the
        // second unmarked record.
        std::u16string name = PileName(row.pileNumber, row.pileLabel);
        const auto [at, added] = index.try_emplace(name, names.size());
        if (added) {
            names.push_back({std::move(name), {}});
        }
        names[at->second].second.push_back(row.line);
    }
    std::vector<std::u16string> lines;
    for (const auto& [name, rows] : names) {
        if (rows.size() < 2) {
            continue;
        }
        std::u16string line = u"桩号重复：" + name + u"（第 ";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            line += (i == 0 ? u"" : u"、") + DecimalText(rows[i]);
        }
        lines.push_back(line + u" 行）");
    }
    return lines;
}

std::u16string CsvCell(std::u16string_view text) {
    std::u16string cell;
    // =, +, -, @ and a leading tab or CR start a formula in Excel and its kin.
    if (!text.empty() &&
        std::u16string_view(u"=+-@\t\r").find(text.front()) != std::u16string_view::npos) {
        cell.push_back(u'\'');
    }
    cell += text;
    if (cell.find_first_of(u",\"\r\n") == std::u16string::npos) {
        return cell;
    }
    return schedule::QuotedField(cell);
}

std::vector<std::u16string_view> ResultsHeader(bool withLoads) {
    std::vector<std::u16string_view> header = {u"行",     u"桩号",   u"编号",     u"系数",
                                               u"Ra(kN)", u"Rc(kN)", u"岩石类别", u"说明"};
    if (withLoads) {
        header.insert(header.end(), {u"Nk(kN)", u"Nkmax(kN)", u"N(kN)", u"γ0", u"Nk/Ra",
                                     u"Nkmax/1.2Ra", u"γ0N/Rc", u"验算"});
    }
    return header;
}

std::vector<std::u16string> ResultsCells(const RowOutcome& row, bool withLoads) {
    const ResultTexts none;
    const ResultTexts& t = row.results ? *row.results : none;
    std::vector<std::u16string> cells = {
        DecimalText(row.line),
        row.pileLabel,
        row.results ? PileName(row.pileNumber, row.pileLabel) : u"",
        t.coefficient,
        t.ra,
        t.rc,
        std::u16string(t.rockClass.value_or(u"")),
        row.refusal.empty() ? row.note : RefusalText(row)};
    if (withLoads) {
        const LoadCheck& c = row.check;
        cells.insert(cells.end(), {row.loads.nk, row.loads.nkmax, row.loads.n, row.loads.gamma0,
                                   c.nkRatio, c.nkmaxRatio, c.nRatio, c.verdict});
    }
    return cells;
}

std::string ResultsTable(const ScheduleOutcome& outcome) {
    std::u16string table = u"\uFEFF";
    const auto addLine = [&](const auto& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            table += CsvCell(cells[i]);
            table += i + 1 == cells.size() ? u"\r\n" : u",";
        }
    };
    addLine(ResultsHeader(outcome.hasLoads));
    for (const RowOutcome& row : outcome.rows) {
        addLine(ResultsCells(row, outcome.hasLoads));
    }
    return Utf16ToUtf8(table);
}

}  // namespace pile::session
