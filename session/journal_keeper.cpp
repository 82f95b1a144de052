#include "session/journal_keeper.h"

#include <utility>
#include <vector>

namespace pile::session {
namespace {

std::vector<std::string> RowsOf(const PanelSession& session, std::size_t from) {
    std::vector<std::string> rows;
    const auto& records = session.Records();
    for (std::size_t i = from; i < records.size(); ++i) {
        rows.push_back(JournalRow(records[i]));
    }
    return rows;
}

// The rows stay as they are; only the state learns that a start has asked.
JournalState AnsweredState(std::size_t rows) {
    JournalState state;
    state.rows = rows;
    state.answered = true;
    return state;
}

}  // namespace

std::u16string JournalWarning(std::u16string_view reason, std::u16string_view place) {
    return u"本次会话未能记录（" + std::u16string(reason) + u": " + std::u16string(place) +
           u"）。计算照常进行，但程序意外结束时，未保存的计算结果无法恢复。";
}

JournalKeeper::JournalKeeper(JournalStore& store, const JournalTime& start, std::int64_t processId)
    : store_(store), processId_(processId) {
    Begin(start);
}

void JournalKeeper::Begin(const JournalTime& now) {
    JournalTime start = now;
    if (lastStart_ != 0 && start.msecsSinceEpoch <= lastStart_) {
        start.msecsSinceEpoch = lastStart_ + 1;
    }
    lastStart_ = start.msecsSinceEpoch;
    store_.Begin(start, processId_, JournalHeader());
    failed_ = false;
}

std::optional<std::u16string> JournalKeeper::Checked(bool written) {
    if (written) {
        return std::nullopt;
    }
    failed_ = true;
    if (std::exchange(warned_, true)) {
        return std::nullopt;
    }
    return JournalWarning(store_.Error(), store_.Place());
}

std::optional<std::u16string> JournalKeeper::Recorded(const PanelSession& session,
                                                      std::size_t before) {
    if (failed_) {
        return std::nullopt;
    }
    const std::vector<std::string> rows = RowsOf(session, before);
    return Checked(rows.empty() || store_.Append(rows));
}

std::optional<std::u16string> JournalKeeper::Changed(const PanelSession& session) {
    bool written = store_.KeepRows(session.Records().size());
    JournalState state = StateOf(session);
    // After a failed write the journal holds fewer rows than the books: it says so.
    state.rows = store_.Rows();
    written = store_.WriteState(StateText(state)) && written;
    return Checked(written);
}

std::optional<std::u16string> JournalKeeper::Replaced(const PanelSession& session) {
    if (failed_) {
        return std::nullopt;
    }
    if (!store_.Replace(RowsOf(session, 0))) {
        return Checked(false);
    }
    return Changed(session);
}

bool JournalKeeper::Publish(const PanelSession& session) {
    return session.Records().empty() ||
           store_.Publish(RowsOf(session, 0), StateText(StateOf(session)));
}

std::optional<std::u16string> JournalKeeper::StartAfresh(const PanelSession& session,
                                                         const JournalTime& now) {
    const std::size_t rowsBefore = store_.Rows();
    const std::string before = store_.OwnId();
    Begin(now);
    if (!Publish(session)) {
        // The records of the journal before are offered rather than none.
        return Checked(false);
    }
    if (rowsBefore > 0) {
        store_.WriteStateOf(before, StateText(AnsweredState(rowsBefore)));
    }
    return std::nullopt;
}

std::optional<JournalKeeper::Offer> JournalKeeper::Unsaved() const {
    std::optional<JournalStore::Earlier> journal = store_.NewestEarlier();
    if (!journal) {
        return std::nullopt;
    }
    std::optional<JournalState> state;
    if (journal->state) {
        state = ReadState(*journal->state);
    }
    Offer offer{std::move(journal->id), ReadJournal(journal->bytes, state)};
    if (offer.recovery.answered || offer.recovery.unsavedFlags == 0 ||
        offer.recovery.records.empty()) {
        return std::nullopt;
    }
    return offer;
}

void JournalKeeper::Declined(const Offer& offer) {
    JournalState state = AnsweredState(offer.recovery.records.size() + offer.recovery.skipped);
    state.unsavedFlags = offer.recovery.unsavedFlags;
    state.timeSource = offer.recovery.timeSource;
    state.savedText = offer.recovery.savedText;
    state.savedTable = offer.recovery.savedTable;
    store_.WriteStateOf(offer.id, StateText(state));
}

std::optional<std::u16string> JournalKeeper::Restore(const Offer& offer, PanelSession& session,
                                                     const JournalTime& now) {
    RestoreSession(offer.recovery, session);
    Begin(now);
    if (!Publish(session)) {
        // Not written: the earlier journal still offers the records at the next start.
        return Checked(false);
    }
    Declined(offer);
    return std::nullopt;
}

}  // namespace pile::session
