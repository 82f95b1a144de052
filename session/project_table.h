// The project table (项目表): one row per record of a panel session, every cell the very text
// the books and the results print for it, and the load check of the record against its printed
// Ra and Rc. A front end shows the rows as they are; it formats nothing and checks nothing.
//
//   PanelSession::Records() -> ProjectTable::Follow -> the rows that changed, rebuilt only
//                                                      (an append costs one row, not all)
//   an edited load cell     -> SetLoad -> ReadLoads as a schedule's cell is read -> the
//                                         record's loads, or the refusal in Chinese
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/panel_session.h"

namespace pile::session {

enum class ProjectColumn {
    Mark,         // 桩号: the schedule's mark, or ZH and the number
    Section,      // 截面
    Size,         // d; d / c for an ellipse; a×b for a rectangle
    Hr,           // the socket depth as typed
    Grade,        // 混凝土
    Process,      // 工艺
    Rock,         // frk or fuk, whichever the record was computed with
    Coefficient,  // ζr or β
    Ra,
    Rc,
    Nk,
    Nkmax,
    N,
    Gamma0,
    NkRatio,
    NkmaxRatio,
    NRatio,
    Verdict,  // 验算
};
inline constexpr std::size_t kProjectColumns = static_cast<std::size_t>(ProjectColumn::Verdict) + 1;

std::u16string_view ProjectColumnName(ProjectColumn column);
// The four load cells, which SetLoad changes; every other cell comes from the books.
bool IsLoadColumn(ProjectColumn column);

struct ProjectRow {
    std::array<std::u16string, kProjectColumns> cells;
    // Each cell read as a number, for sorting; NaN where it reads as none.
    std::array<double, kProjectColumns> numbers{};
    bool failed = false;  // some load check not met: the verdict says which

    const std::u16string& Cell(ProjectColumn column) const {
        return cells[static_cast<std::size_t>(column)];
    }
};

// The row of `record`, the `number`-th of its session (from 1).
ProjectRow ProjectRowOf(const RecordInputs& record, int number);

// The order of a sorted column, ascending: numbers by their value, before cells that are no
// number; the others by their text, a run of digits as one number ("ZH9" before "ZH10").
bool ProjectLess(const ProjectRow& left, const ProjectRow& right, ProjectColumn column);

// Rows [first, first + count) of the table.
struct RowSpan {
    std::size_t first = 0;
    std::size_t count = 0;
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};

// How one Follow changed the rows: some rows rebuilt in place, then rows taken off or added
// at the end.
struct ProjectChange {
    std::vector<std::size_t> rebuilt;
    RowSpan removed;
    RowSpan added;
    bool Any() const { return !rebuilt.empty() || removed.count > 0 || added.count > 0; }
};

class ProjectTable {
  public:
    // The rows of `session`'s records as they are now: a row whose record did not change is
    // kept, whatever happened since the last call (a new record, a delete, new books).
    ProjectChange Follow(const PanelSession& session);

    const std::vector<ProjectRow>& Rows() const { return rows_; }

  private:
    std::vector<RecordInputs> sources_;  // what each row was built from
    std::vector<ProjectRow> rows_;
};

// Sets one load cell of record `index` to `text`. The loads are read as a schedule's are;
// a value they refuse changes nothing and its message comes back. The books do not change.
std::optional<std::u16string> SetLoad(PanelSession& session, std::size_t index,
                                      ProjectColumn column, std::u16string_view text);

}  // namespace pile::session
