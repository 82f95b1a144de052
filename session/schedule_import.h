// The window's "导入桩表…": a schedule file read with the same code as pile_batch and appended to
// the books of the running session (PanelSession::Import). The window asks for the file, lets
// its memos follow `outcome.change`, shows the book screen and, when `message` is not empty,
// shows it in one message box.
#pragma once

#include <cstddef>
#include <string>

#include "session/schedule_run.h"

namespace pile::session {

struct ImportResult {
    bool read = false;       // false: the file could not be read and the books are as they were
    bool cancelled = false;  // stopped part-way: the books are as they were
    // 替换: the books before gave way to the schedule's; not when no row of it was computed.
    bool replaced = false;
    // For the one message box: why the file could not be read, or the refused rows and the
    // names that more than one row gives (at most kListedRefusals of each, then how many
    // more); empty when every row was computed under a name of its own.
    std::u16string message;
    ScheduleOutcome outcome;  // the rows, and the change of both books for the memos
    // The project fields the schedule's lines above its header named: each replaced the
    // session's (PanelSession::Project).
    std::size_t projectFields = 0;
};

inline constexpr std::size_t kListedRefusals = 20;

// The message of an import that read the file, for the one message box.
std::u16string ImportMessage(const ScheduleOutcome& outcome);

}  // namespace pile::session
