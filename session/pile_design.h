// Sizing a circular pile for its loads: the smallest diameter from a list for which some
// socket depth passes every load check, and with it the smallest such depth, searched as
// multiples of d. Every candidate is the engine's own calculation, printed under the row's
// precision and checked as its books would be, never a formula solved backwards.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/fixed_text.h"
#include "engine/pile_input.h"
#include "schedule/schedule.h"
#include "session/load_check.h"
#include "session/panel_session.h"

namespace pile::session {

struct DesignOptions {
    std::vector<double> diameters = DefaultDiameters();  // mm, tried in this order
    double hrMin = 0.5;                                  // the first socket depth, a multiple of d
    double hrStep = 0.5;                                 // and the step to the next
    static std::vector<double> DefaultDiameters();       // 800 to 3000 mm in steps of 100
};

// What is wrong with the options, if anything: no diameter, a diameter not above 0, a depth
// start below 0 or a step not above 0.
std::optional<std::u16string> CheckDesignOptions(const DesignOptions& options);

struct Design {
    bool found = false;
    // The row with d and hr as found; when nothing is found, the largest candidate tried.
    PanelInput panel;
    ResultTexts results;
    LoadCheck check;
    // When nothing is found, how far the largest candidate got:
    // "d=3000 mm, hr=4.0d 时 Ra=… kN < Nk=… kN".
    std::u16string shortfall;
};

// Sizes `row`, a circle whose other inputs (mode, grade, process, rock value) stay as given.
// Depths stop before the first one whose coefficient the table clamps. A row the engine
// refuses whatever its size (its rock value) gives that check's message.
std::variant<Design, std::u16string> DesignCircle(const PanelInput& row, PrecisionMode precision,
                                                  const PileLoads& loads,
                                                  const DesignOptions& options, char16_t separator);

// One row sized: a circle with loads that read, or why nothing was searched ("非圆桩，只验算",
// "无荷载，不选型", the message of a load that does not read, "未选型：" and the engine's).
struct RowDesign {
    enum class Outcome { NotSized, Sized, Unmet };
    Outcome outcome = Outcome::NotSized;
    bool searched = false;         // a circle whose loads read: the candidates were tried
    std::optional<Design> design;  // Sized and Unmet: the pile found, or the largest tried
    std::u16string note;  // NotSized: why; Unmet: "没有满足要求的桩：" and how far
};
RowDesign DesignRow(const PanelInput& panel, PrecisionMode precision,
                    const schedule::LoadTexts& loads, const DesignOptions& options,
                    char16_t separator);

// 选型 over a session's records, one design per record; nothing goes into the books, so that
// the proposals can be shown before any is taken.
std::vector<RowDesign> DesignRecords(const std::vector<RecordInputs>& records,
                                     const DesignOptions& options);

// The records the books are to hold once the `accepted` proposals (one flag per record; only
// Sized ones count) are taken: the designed piles after the records (`append`), or each in the
// place of the record it came from. Mark, loads and precision go with each pile; a designed
// pile is calculated at `time`, the others keep theirs.
std::vector<RecordInputs> RecordsWithDesigns(const std::vector<RecordInputs>& records,
                                             const std::vector<RowDesign>& designs,
                                             const std::vector<bool>& accepted, bool append,
                                             std::u16string_view time);

// `session`'s books once the accepted proposals are taken (see RecordsWithDesigns): the designed
// piles computed after the records, or the books computed afresh with each designed pile in
// place of its record, in which case what was saved of them no longer is. The designs must be
// of the session's records as they stand. Returns the number of piles designed into the books.
std::size_t TakeDesigns(PanelSession& session, const std::vector<RowDesign>& designs,
                        const std::vector<bool>& accepted, bool append, std::u16string_view time);

// A schedule sized row by row: every circle with loads gets the d and hr found (a row no
// candidate satisfies keeps its own and is told how far the largest got); other rows stay as
// they are and are only checked when computed. One note per entry, empty where there is none.
struct ScheduleDesign {
    std::vector<std::u16string> notes;
    std::size_t sized = 0;  // rows given a new d and hr
    std::size_t unmet = 0;  // circles with loads that no candidate satisfies
};
ScheduleDesign DesignSchedule(schedule::Schedule& schedule, const DesignOptions& options,
                              char16_t separator);

}  // namespace pile::session
