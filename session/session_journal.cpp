#include "session/session_journal.h"

#include <algorithm>
#include <charconv>
#include <tuple>
#include <utility>
#include <variant>

#include "engine/pile_calculation.h"
#include "engine/pile_types.h"
#include "engine/utf_text.h"
#include "schedule/schedule.h"
#include "schedule/schedule_limits.h"
#include "schedule/schedule_text.h"

namespace pile::session {
namespace {

using schedule::Column;

// The order of the columns the journal writes; the reader takes them in any order.
constexpr Column kJournalColumns[] = {Column::PileLabel,
                                      Column::Section,
                                      Column::Mode,
                                      Column::Dd,
                                      Column::Tyzd,
                                      Column::Hr,
                                      Column::Grade,
                                      Column::Process,
                                      Column::Frk,
                                      Column::Fuk,
                                      Column::Precision,
                                      Column::Time,
                                      Column::DecimalSeparator,
                                      Column::Nk,
                                      Column::Nkmax,
                                      Column::N,
                                      Column::Gamma0};
constexpr Column kLastJournalColumn = std::end(kJournalColumns)[-1];

// A cell exactly as the box held it: quoted only where the reader would otherwise split it.
// (No apostrophe before "+" or "-" as the results table has: the text must read back as typed.)
std::u16string Cell(std::u16string_view input) {
    // Only a cell the calculation does not read (the rock box of the other mode, after an
    // import) can hold a control character: as a blank it keeps every row on one line.
    std::u16string text(input);
    for (char16_t& c : text) {
        if (c < u' ' || c == u'\x7F') {
            c = u' ';
        }
    }
    if (text.find_first_of(u",;\t\"\r\n") == std::u16string_view::npos &&
        (text.empty() || (text.front() != u' ' && text.back() != u' '))) {
        return std::u16string(text);
    }
    return schedule::QuotedField(text);
}

std::u16string CellOf(Column column, const RecordInputs& record) {
    const PanelInput& panel = record.panel;
    switch (column) {
        case Column::Section:
            return std::u16string(SectionTypeText(panel.sectionType));
        case Column::Mode:
            return panel.rockMode == RockParameterMode::Frk ? u"frk" : u"fuk";
        case Column::Dd:
            return panel.ddText;
        case Column::Tyzd:
            return panel.tyzdText;
        case Column::Hr:
            return panel.hrText;
        case Column::Grade:
            return std::u16string(ConcreteGradeText(panel.concreteGrade));
        case Column::Process:
            return std::u16string(ProcessText(panel.rockMode, panel.process));
        case Column::Frk:
            return panel.frkText;
        case Column::Fuk:
            return panel.fukText;
        case Column::Precision:
            return std::u16string(PrecisionModeText(record.precision));
        case Column::Time:
            return record.calculationTime;
        case Column::DecimalSeparator:
            return std::u16string(1, record.decimalSeparator);
        case Column::Nk:
            return record.loads.nk;
        case Column::Nkmax:
            return record.loads.nkmax;
        case Column::N:
            return record.loads.n;
        case Column::Gamma0:
            return record.loads.gamma0;
        case Column::PileLabel:
            return record.mark;
    }
    return {};
}

// A session may run for days: far more rows than a schedule holds.
constexpr std::size_t kMaxFields = schedule::kMaxHeaderColumns;

// A row the books can be rebuilt from: whole, read, dated, and passing the checks again.
std::optional<RecordInputs> RecordOf(const schedule::ScheduleEntry& entry) {
    const auto* row = std::get_if<schedule::ScheduleRow>(&entry.result);
    if (row == nullptr || !row->calculationTime || !row->decimalSeparator) {
        return std::nullopt;
    }
    RecordInputs record{
        row->panel,      row->precision, *row->decimalSeparator, *row->calculationTime,
        entry.pileLabel, row->loads};
    if (!std::holds_alternative<ComputedPile>(
            ComputePile(record.panel, record.decimalSeparator).result)) {
        return std::nullopt;
    }
    return record;
}

struct Rows {
    std::vector<RecordInputs> records;
    std::size_t entries = 0;  // rows of the file, valid or not, blank ones left out
    std::optional<std::u16string> unreadable;
};

// Line by line, each line one row: the journal writes no line break inside a cell, so a stray
// quote in a damaged row cannot swallow the rows after it, as it would in a schedule.
Rows ReadRows(std::string_view text) {
    Rows rows;
    std::optional<schedule::ScheduleHeader> header;
    std::optional<schedule::TextDecoder> decoder;
    schedule::RawRecord record;
    for (std::size_t line = 1; !text.empty(); ++line) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view bytes = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!bytes.empty() && bytes.back() == '\r') {
            bytes.remove_suffix(1);
        }
        if (!header) {
            const bool bom = line == 1 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
            auto read = schedule::ReadHeader(bytes.substr(bom ? 3 : 0), bom, kMaxFields);
            if (auto* why = std::get_if<std::u16string>(&read)) {
                rows.unreadable = std::move(*why);
                return rows;
            }
            header = std::get<schedule::ScheduleHeader>(read);
            decoder.emplace(header->encoding);
            continue;
        }
        record.line = record.lastLine = line;
        record.bytes.assign(bytes);
        schedule::RowReading reading = schedule::ReadRow(record, *header, *decoder);
        if (reading.blank) {
            continue;
        }
        ++rows.entries;
        if (std::optional<RecordInputs> input = RecordOf(
                {line, std::move(reading.pileLabel), std::move(reading.result), {}, false, {}})) {
            rows.records.push_back(std::move(*input));
        }
    }
    if (!header) {
        rows.unreadable = std::u16string(schedule::kEmptyFileText);
    }
    return rows;
}

std::optional<std::size_t> NumberAfter(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key) {
        return std::nullopt;
    }
    line.remove_prefix(key.size());
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end != line.data() + line.size()) {
        return std::nullopt;
    }
    return value;
}

// Version 1 wrote no saved extents: its journals read as if nothing was ever written.
// Version 2 no project: its journals restore an empty one.
constexpr std::string_view kStateVersion1 = "pile-journal-state 1";
constexpr std::string_view kStateVersion2 = "pile-journal-state 2";
constexpr std::string_view kStateVersion = "pile-journal-state 3";
// A line of the state for each project field not empty: the key, "=" and the text, as
// `pile_batch --project` takes it.
constexpr std::string_view kProjectLine = "project ";
constexpr int kBothBooks = static_cast<int>(Book::Text) | static_cast<int>(Book::Table);

// "saved <text book> <table book>".
std::optional<std::pair<std::size_t, std::size_t>> SavedExtents(std::string_view line) {
    constexpr std::string_view kKey = "saved ";
    if (line.substr(0, kKey.size()) != kKey) {
        return std::nullopt;
    }
    line.remove_prefix(kKey.size());
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    const auto text = NumberAfter(line.substr(0, blank), "");
    const auto table = NumberAfter(line.substr(blank + 1), "");
    if (!text || !table) {
        return std::nullopt;
    }
    return std::pair(*text, *table);
}

// The piles of one book missing from its file, in the question's words; `unsaved` is the book's
// flag, `saved` the records in its file.
std::u16string BookCount(std::u16string_view book, bool unsaved, std::size_t saved,
                         std::size_t total) {
    if (!unsaved) {
        return std::u16string(book) + u"已保存";
    }
    if (saved >= total) {
        return std::u16string(book) + u"有改动";
    }
    return std::u16string(book) + u" " + schedule::DecimalText(total - saved) + u" 根";
}

}  // namespace

std::string JournalHeader() {
    std::u16string header = u"\uFEFF";
    for (const Column column : kJournalColumns) {
        header += schedule::ColumnName(column);
        header += column == kLastJournalColumn ? u"\r\n" : u",";
    }
    return Utf16ToUtf8(header);
}

std::string JournalRow(const RecordInputs& record) {
    std::u16string row;
    for (const Column column : kJournalColumns) {
        row += Cell(CellOf(column, record));
        row += column == kLastJournalColumn ? u"\r\n" : u",";
    }
    return Utf16ToUtf8(row);
}

std::string ScheduleOfRecords(const std::vector<RecordInputs>& records,
                              const ProjectInfo& project) {
    std::string text = JournalHeader();
    // Between the byte-order mark and the header, as a title block stands above it.
    text.insert(3, Utf16ToUtf8(ProjectLines(project)));
    for (const RecordInputs& record : records) {
        text += JournalRow(record);
    }
    return text;
}

// Five lines, then the time source's row (a header and one row) when there is one.
std::string StateText(const JournalState& state) {
    std::string text = std::string(kStateVersion) + "\n";
    text += "rows " + std::to_string(state.rows) + "\n";
    text += "unsaved " + std::to_string(state.unsavedFlags) + "\n";
    text += std::string("answered ") + (state.answered ? "1" : "0") + "\n";
    text +=
        "saved " + std::to_string(state.savedText) + " " + std::to_string(state.savedTable) + "\n";
    for (const ProjectField& field : kProjectFields) {
        std::u16string value = state.project.*field.member;
        if (value.empty()) {
            continue;
        }
        // One line each: a line break in a schedule's cell becomes a blank.
        for (char16_t& c : value) {
            c = c == u'\r' || c == u'\n' ? u' ' : c;
        }
        text += std::string(kProjectLine) + Utf16ToUtf8(std::u16string(field.key) + u"=" + value) +
                "\n";
    }
    if (state.timeSource) {
        text += JournalHeader() + JournalRow(*state.timeSource);
    }
    return text;
}

JournalState StateOf(const PanelSession& session) {
    JournalState state;
    state.rows = session.Records().size();
    state.unsavedFlags = session.UnsavedBookFlags();
    if (const RecordInputs* source = session.DeletedTimeSource()) {
        state.timeSource = *source;
    }
    state.savedText = session.SavedRecords(Book::Text);
    state.savedTable = session.SavedRecords(Book::Table);
    state.project = session.Project();
    return state;
}

std::optional<JournalState> ReadState(std::string_view text) {
    std::vector<std::string_view> lines;
    const auto takeLine = [&text, &lines] {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return false;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
        return true;
    };
    if (!takeLine() ||
        (lines[0] != kStateVersion && lines[0] != kStateVersion2 && lines[0] != kStateVersion1)) {
        return std::nullopt;
    }
    const bool withSaved = lines[0] != kStateVersion1;
    for (int i = 0; i < (withSaved ? 4 : 3); ++i) {
        if (!takeLine()) {
            return std::nullopt;
        }
    }
    const auto rows = NumberAfter(lines[1], "rows ");
    const auto unsaved = NumberAfter(lines[2], "unsaved ");
    const auto answered = NumberAfter(lines[3], "answered ");
    if (!rows || !unsaved || *unsaved > kBothBooks || !answered || *answered > 1) {
        return std::nullopt;
    }
    JournalState state;
    state.rows = *rows;
    state.unsavedFlags = static_cast<int>(*unsaved);
    state.answered = *answered == 1;
    if (withSaved) {
        const std::optional<std::pair<std::size_t, std::size_t>> saved = SavedExtents(lines[4]);
        if (!saved) {
            return std::nullopt;
        }
        std::tie(state.savedText, state.savedTable) = *saved;
    }
    while (lines[0] == kStateVersion && text.substr(0, kProjectLine.size()) == kProjectLine) {
        text.remove_prefix(kProjectLine.size());
        if (!takeLine() || SetProjectField(state.project, Utf8ToUtf16(lines.back()))) {
            return std::nullopt;
        }
    }
    if (!text.empty()) {
        // As in the journal, a row without its line break was cut short.
        if (text.back() != '\n') {
            return std::nullopt;
        }
        Rows source = ReadRows(text);
        if (source.records.size() != 1 || source.entries != 1) {
            return std::nullopt;
        }
        state.timeSource = std::move(source.records.front());
    }
    return state;
}

Recovery ReadJournal(std::string_view journal, const std::optional<JournalState>& state) {
    Recovery recovery;
    // Every row the journal writes ends with its line break: without one, the last row was
    // being written when the process ended, and what stands of it may read as other numbers.
    bool cutShort = false;
    if (!journal.empty() && journal.back() != '\n') {
        const std::size_t lastBreak = journal.rfind('\n');
        journal = lastBreak == std::string_view::npos ? std::string_view()
                                                      : journal.substr(0, lastBreak + 1);
        cutShort = true;
    }
    Rows rows = ReadRows(journal);
    recovery.unreadable = std::move(rows.unreadable);
    recovery.skipped =
        rows.entries - rows.records.size() + (cutShort && !recovery.unreadable ? 1 : 0);
    recovery.records = std::move(rows.records);
    if (state && state->rows == rows.entries && !cutShort && recovery.skipped == 0) {
        recovery.unsavedFlags = recovery.records.empty() ? 0 : state->unsavedFlags;
        recovery.timeSource = state->timeSource;
    } else {
        // Rows since the last state: each calculation leaves both books unsaved.
        recovery.unsavedFlags = recovery.records.empty() ? 0 : kBothBooks;
    }
    recovery.answered = state && state->answered;
    if (state) {
        recovery.project = state->project;
        recovery.savedText = std::min(state->savedText, recovery.records.size());
        recovery.savedTable = std::min(state->savedTable, recovery.records.size());
    }
    return recovery;
}

void RestoreSession(const Recovery& recovery, PanelSession& session,
                    const std::function<void(const RecordInputs&)>& computeLast) {
    session.SetProject(recovery.project);
    const auto compute = [&session](const RecordInputs& record) {
        session.Compute(record.panel, record.precision, record.decimalSeparator,
                        record.calculationTime, record.mark, record.loads);
    };
    for (std::size_t i = 0; i < recovery.records.size(); ++i) {
        const bool last = i + 1 == recovery.records.size();
        (last && computeLast ? computeLast : compute)(recovery.records[i]);
    }
    if (recovery.timeSource && !recovery.records.empty()) {
        compute(*recovery.timeSource);
        session.DeleteLast();
    }
    for (const Book book : {Book::Text, Book::Table}) {
        if ((recovery.unsavedFlags & static_cast<int>(book)) == 0) {
            session.MarkSaved(book);
        } else {
            session.RestoreSaved(book,
                                 book == Book::Text ? recovery.savedText : recovery.savedTable);
        }
    }
}

std::u16string RecoveryQuestion(const Recovery& recovery) {
    const std::size_t total = recovery.records.size();
    const bool textUnsaved = (recovery.unsavedFlags & static_cast<int>(Book::Text)) != 0;
    const bool tableUnsaved = (recovery.unsavedFlags & static_cast<int>(Book::Table)) != 0;
    const std::size_t textMissing = textUnsaved ? total - recovery.savedText : 0;
    const std::size_t tableMissing = tableUnsaved ? total - recovery.savedTable : 0;
    const std::u16string all = u"（共 " + schedule::DecimalText(total) + u" 根），是否恢复？";
    std::u16string question;
    if (textUnsaved == tableUnsaved && textMissing == tableMissing) {
        question = textMissing == 0
                       ? u"上次的计算书有改动未保存" + all
                       : u"上次有 " + schedule::DecimalText(textMissing) + u" 根桩未保存" + all;
    } else {
        question = u"上次有桩未保存：" +
                   BookCount(u"文本计算书", textUnsaved, recovery.savedText, total) + u"，" +
                   BookCount(u"表格计算书", tableUnsaved, recovery.savedTable, total) + all;
    }
    if (recovery.skipped > 0) {
        question += u"\n（记录中有 " + schedule::DecimalText(recovery.skipped) +
                    u" 行已损坏或无法读取，不能恢复）";
    }
    return question;
}

}  // namespace pile::session
