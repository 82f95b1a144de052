// The session journal: what each record of the books was computed from, kept as a pile
// schedule so that nothing an engineer computed is lost with the process.
//
//   PanelSession::Records()  -> JournalRow per record (UTF-8 CSV, the columns pile_batch reads
//                               plus 计算时间 and 小数点), appended as it happens
//                               (io/journal_file.h)
//   save, delete-last        -> JournalState: the rows the books hold, which books are saved
//                               and how many records each save wrote, and the record whose
//                               time still ends the books after a delete
//   a later start            -> ReadJournal: the whole, valid rows and the state -> Recovery
//                            -> RestoreSession: the books rebuilt, byte for byte
//
// The journal is a schedule: pile_batch and "导入桩表…" read it as one, and "导出桩表…" writes the
// same text for the records in the books.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/panel_session.h"

namespace pile::session {

// The header with a UTF-8 byte-order mark, CR LF.
std::string JournalHeader();
// One record's row, CR LF at its end.
std::string JournalRow(const RecordInputs& record);
// The header and a row for each record: what "导出桩表…" writes; the project's fields that are
// not empty stand above the header as a schedule's project lines.
std::string ScheduleOfRecords(const std::vector<RecordInputs>& records,
                              const ProjectInfo& project = {});

// What the rows alone cannot say; rewritten whole after each save and delete-last.
struct JournalState {
    std::size_t rows = 0;   // the journal's rows when the state was written
    int unsavedFlags = 0;   // UnsavedBookFlags then
    bool answered = false;  // a later start has asked about this journal already
    // After a delete-last the books still end with the time of the deleted record.
    std::optional<RecordInputs> timeSource;
    // The records each book held when it was last written (PanelSession::SavedRecords): the
    // rows only grow after a state, so these still count what is missing after a crash.
    std::size_t savedText = 0;
    std::size_t savedTable = 0;
    // The session's project: rewritten whole with the state, so a change of it needs no row.
    ProjectInfo project;
};
std::string StateText(const JournalState& state);
// The state of `session`, whose journal holds a row for each of its records.
JournalState StateOf(const PanelSession& session);
std::optional<JournalState> ReadState(std::string_view text);

struct Recovery {
    std::vector<RecordInputs> records;  // the whole, valid rows in order
    std::optional<RecordInputs> timeSource;
    int unsavedFlags = 0;     // the books' flags once rebuilt
    std::size_t skipped = 0;  // rows cut short, unreadable or refused by the checks
    bool answered = false;
    std::optional<std::u16string> unreadable;  // the journal is no schedule at all
    // The records each book held when last written, at most `records.size()`.
    std::size_t savedText = 0;
    std::size_t savedTable = 0;
    ProjectInfo project;  // as the last state wrote it, whatever rows came after it
};

// `journal` is the whole file. A last row without its line end was being written when the
// process ended and is skipped, as is any row the schedule reader or the checks refuse.
Recovery ReadJournal(std::string_view journal, const std::optional<JournalState>& state);

// Rebuilds the books of `session` (a fresh one) from `recovery`. The last record goes through
// `computeLast` (empty: the session's own Compute), so that a window shows it as after "计算".
void RestoreSession(const Recovery& recovery, PanelSession& session,
                    const std::function<void(const RecordInputs&)>& computeLast = {});

// "上次有 N 根桩未保存（共 M 根），是否恢复？", each book's count named where they differ, and
// the skipped rows, if any.
std::u16string RecoveryQuestion(const Recovery& recovery);

}  // namespace pile::session
