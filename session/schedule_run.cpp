#include "session/schedule_run.h"

#include <unordered_map>
#include <utility>
#include <variant>

#include "books/book_record.h"
#include "engine/utf_text.h"
#include "schedule/xlsx_schedule.h"

namespace pile::session {

using schedule::DecimalText;
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
    const std::size_t tableBefore = session.Books().TableLines().size();
    const std::size_t textBefore = session.Books().TextLines().size();
    std::optional<BooksChange> first;
    for (const schedule::ScheduleEntry& entry : schedule.entries) {
        RowOutcome row;
        row.line = entry.line;
        row.pileLabel = entry.pileLabel;
        if (const auto* reading = std::get_if<schedule::ScheduleRow>(&entry.result)) {
            // A row that says when and how it was computed (the journal, 导出桩表) computes
            // into the same books again.
            PanelUpdate update = session.Compute(
                reading->panel, reading->precision,
                reading->decimalSeparator.value_or(decimalSeparator),
                reading->calculationTime ? *reading->calculationTime : calculationTime,
                entry.pileLabel);
            if (auto* results = std::get_if<ResultTexts>(&update.outcome)) {
                row.results = std::move(*results);
                row.pileNumber = session.PileCounter();
                if (!first) {
                    first = update.booksChange;
                }
            } else {
                row.refusal = std::get<ValidationFailure>(update.outcome).message;
            }
        } else {
            row.refusal = std::get<std::u16string>(entry.result);
        }
        ++(row.results ? outcome.computed : outcome.refused);
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
    auto read = schedule::ReadScheduleFile(source, {}, limits);
    if (auto* why = std::get_if<std::u16string>(&read)) {
        run.unreadable = std::move(*why);
        return run;
    }
    run.outcome = ComputeSchedule(std::get<schedule::Schedule>(read), decimalSeparator,
                                  calculationTime, session, progress);
    return run;
}

int ExitStatus(const ScheduleOutcome& outcome) {
    return outcome.refused == 0 ? 0 : 1;
}

std::u16string RefusalLines(const ScheduleOutcome& outcome) {
    std::u16string lines;
    for (const RowOutcome& row : outcome.rows) {
        if (!row.results) {
            lines += u"第 " + DecimalText(row.line) + u" 行: " + row.refusal + u"\n";
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

std::string ResultsTable(const ScheduleOutcome& outcome) {
    std::u16string table = u"\uFEFF行,桩号,编号,系数,Ra(kN),Rc(kN),岩石类别,说明\r\n";
    const ResultTexts none;
    for (const RowOutcome& row : outcome.rows) {
        const ResultTexts& t = row.results ? *row.results : none;
        const std::u16string line = DecimalText(row.line);
        const std::u16string pileNumber =
            row.results ? PileName(row.pileNumber, row.pileLabel) : u"";
        const std::u16string hardness(t.rockClass.value_or(u""));
        const std::u16string* cells[] = {&line, &row.pileLabel, &pileNumber, &t.coefficient,
                                         &t.ra, &t.rc,          &hardness,   &row.refusal};
        for (const std::u16string* cell : cells) {
            table += CsvCell(*cell);
            table += cell == cells[7] ? u"\r\n" : u",";
        }
    }
    return Utf16ToUtf8(table);
}

}  // namespace pile::session
