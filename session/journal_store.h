// Where the session journals live, as the journal's policy (journal_keeper.h) sees them: the
// program's data folder (io/journal_file.h) or, in the tests, memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pile::session {

// A moment of the window's clock: a journal's name shows it in its own time zone, so that
// the name a user sees matches the hour the session started.
struct JournalTime {
    std::int64_t msecsSinceEpoch = 0;
    std::int32_t offsetFromUtc = 0;  // seconds east of UTC
};

// One journal at a time is this run's own; each write returns once the bytes are on the disk,
// or false, with Error() saying why.
class JournalStore {
  public:
    virtual ~JournalStore() = default;

    // This run's next journal, started at `start` by process `processId`: nothing is on the
    // disk before its first write. The journal before keeps what it holds.
    virtual void Begin(const JournalTime& start, std::int64_t processId,
                       const std::string& header) = 0;
    // Rows at the end, each with its line end; the first write puts the header first.
    virtual bool Append(const std::vector<std::string>& rows) = 0;
    // Cuts the journal back to its first `rows` rows.
    virtual bool KeepRows(std::size_t rows) = 0;
    // `rows` in place of every row, whole: a process ended on the way leaves the rows before
    // or these, never part of them.
    virtual bool Replace(const std::vector<std::string>& rows) = 0;
    // The journal's state, replaced whole.
    virtual bool WriteState(const std::string& state) = 0;
    // A journal not written yet, written whole: no reader sees part of its rows.
    virtual bool Publish(const std::vector<std::string>& rows, const std::string& state) = 0;
    virtual std::size_t Rows() const = 0;
    // The reason of the last failure, in Chinese, and the folder as the user knows it.
    virtual std::u16string Error() const = 0;
    virtual std::u16string Place() const = 0;

    // The newest journal of an earlier run that no running program holds.
    struct Earlier {
        std::string id;
        std::string bytes;
        std::optional<std::string> state;
    };
    virtual std::optional<Earlier> NewestEarlier() const = 0;
    // The state of that journal, or of this run's journal before the last Begin (`OwnId`).
    virtual bool WriteStateOf(const std::string& id, const std::string& state) = 0;
    virtual std::string OwnId() const = 0;
};

}  // namespace pile::session
