// The session journal's policy, driven by the session's changes: what the journal writes after
// each of them, which earlier journal a start offers, and when a journal counts as answered.
// The bytes go through a JournalStore (journal_store.h); what they say: session_journal.h.
//
//   "计算", a precision's re-run, the rows of an import -> Recorded: the new rows at the end
//   "x", "保存"                                         -> Changed: the rows the books hold
//                                                          and the state
//   "新建计算书", "替换"                                 -> StartAfresh: a new journal, whole
//   a start                                             -> Unsaved, then Restore or Declined
//
// Nothing here stops a calculation: a journal that cannot be written gives one warning a run,
// and writes nothing more until the next journal begins (a journal that missed a row would
// rebuild other books). The journal that holds a session's records is marked as answered
// only once another journal holds them on the disk, or they are given up: at any moment one
// journal offers them, never two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "session/journal_store.h"
#include "session/panel_session.h"
#include "session/session_journal.h"

namespace pile::session {

class JournalKeeper {
  public:
    // `start` and `processId` name this run's first journal.
    JournalKeeper(JournalStore& store, const JournalTime& start, std::int64_t processId);

    // Each returns the warning to show when the journal could not be written, once a run.
    // Records() gained the entries from `before` on.
    std::optional<std::u16string> Recorded(const PanelSession& session, std::size_t before);
    // A delete-last or a save: the rows the books hold and their flags.
    std::optional<std::u16string> Changed(const PanelSession& session);
    // Some record changed in place (its loads): every row written afresh, in one step, and
    // the state.
    std::optional<std::u16string> Replaced(const PanelSession& session);
    // The books were emptied ("新建计算书") or replaced by a schedule ("替换"): a new journal
    // holds `session`'s records, and the one so far, marked as answered, stays among the kept
    // ones without being offered again.
    std::optional<std::u16string> StartAfresh(const PanelSession& session, const JournalTime& now);

    struct Offer {
        std::string id;
        Recovery recovery;
    };
    // The newest earlier journal, when it left records unsaved and was not asked about.
    std::optional<Offer> Unsaved() const;
    // Asked once: a later start does not ask again, whatever the answer.
    void Declined(const Offer& offer);
    // 恢复: `session` (a fresh one) rebuilt from `offer` as an import builds it, without a
    // journal row on the way; then a new journal holds it.
    std::optional<std::u16string> Restore(const Offer& offer, PanelSession& session,
                                          const JournalTime& now);

  private:
    void Begin(const JournalTime& now);
    bool Publish(const PanelSession& session);
    std::optional<std::u16string> Checked(bool written);

    JournalStore& store_;
    std::int64_t processId_;
    std::int64_t lastStart_ = 0;  // of the newest journal: two never share a start
    bool failed_ = false;         // this journal missed a write: it stops
    bool warned_ = false;         // the warning is shown once a run
};

// The warning of a journal that could not be written: `reason`, where.
std::u16string JournalWarning(std::u16string_view reason, std::u16string_view place);

}  // namespace pile::session
