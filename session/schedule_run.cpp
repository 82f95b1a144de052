#include "session/schedule_run.h"

#include <algorithm>
#include <variant>

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
    const std::size_t tableBefore = session.Books().TableLines().size();
    const std::size_t textBefore = session.Books().TextLines().size();
    std::optional<BooksChange> first;
    for (const schedule::ScheduleEntry& entry : schedule.entries) {
        RowOutcome row;
        row.line = entry.line;
        row.pileLabel = entry.pileLabel;
        row.cell = entry.cell;
        if (entry.skipped) {
            row.skipped = true;
            row.pileLabel.clear();  // the 桩号 cell holds the note, which the listing shows
            row.refusal =
                u"跳过「" + schedule::ShownText(std::get<std::u16string>(entry.result)) + u"」";
            ++outcome.skipped;
        } else if (const auto* reading = std::get_if<schedule::ScheduleRow>(&entry.result)) {
            // A row that says when and how it was computed (the journal, 导出桩表) computes
            // into the same books again.
            PanelUpdate update = session.Compute(
                reading->panel, reading->precision,
                reading->decimalSeparator.value_or(decimalSeparator),
                reading->calculationTime ? *reading->calculationTime : calculationTime);
            if (auto* results = std::get_if<ResultTexts>(&update.outcome)) {
                row.results = std::move(*results);
                row.pileNumber = session.PileCounter();
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
        } else {
            row.refusal = std::get<std::u16string>(entry.result);
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
            row.results ? u"ZH" + DecimalText(static_cast<std::size_t>(row.pileNumber)) : u"";
        const std::u16string hardness(t.rockClass.value_or(u""));
        const std::u16string why = RefusalText(row);
        const std::u16string* cells[] = {&line, &row.pileLabel, &pileNumber, &t.coefficient,
                                         &t.ra, &t.rc,          &hardness,   &why};
        for (const std::u16string* cell : cells) {
            table += CsvCell(*cell);
            table += cell == cells[7] ? u"\r\n" : u",";
        }
    }
    return Utf16ToUtf8(table);
}

}  // namespace pile::session
