// The journal's policy over a folder kept in memory, where a "process" can be killed after
// any number of writes: whatever the moment, the next start offers every record once.
#include "session/journal_keeper.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "testing/panels.h"
#include "testing/row_name.h"

namespace pile::session {
namespace {

using pile::test::Panel;
using pile::test::PrintTo;

struct Killed {};

// The journals of a folder. A journal is on the disk from its first write; Publish puts it
// there whole, as the program's folder does.
struct Disk {
    struct Journal {
        std::string bytes;
        std::optional<std::string> state;
    };
    std::map<std::string, Journal> journals;  // the names sort by start
    std::set<std::string> held;               // by a process that runs
    int writesLeft = -1;                      // then the process is killed; -1: never
    int failFrom = -1;                        // the writes from this one to `failTo` fail
    int failTo = 1 << 30;
    int writes = 0;

    // Whether the write goes through; throws when the process is killed before it.
    bool Write() {
        if (writesLeft == 0) {
            throw Killed{};
        }
        if (writesLeft > 0) {
            --writesLeft;
        }
        const int write = writes++;
        return write < failFrom || write >= failTo || failFrom < 0;
    }
};

class MemoryJournals final : public JournalStore {
  public:
    explicit MemoryJournals(Disk& disk) : disk_(disk) {}
    ~MemoryJournals() override {
        for (const std::string& name : mine_) {
            disk_.held.erase(name);  // the process ended, however it ended
        }
    }
    void Begin(const JournalTime& start, std::int64_t processId,
               const std::string& header) override {
        own_ = std::to_string(start.msecsSinceEpoch) + "-" + std::to_string(processId);
        header_ = header;
        rowEnds_.clear();
    }
    bool Append(const std::vector<std::string>& rows) override {
        if (!disk_.Write()) {
            return false;
        }
        Disk::Journal& journal = Own();
        for (const std::string& row : rows) {
            journal.bytes += row;
            rowEnds_.push_back(journal.bytes.size());
        }
        return true;
    }
    bool KeepRows(std::size_t rows) override {
        if (!disk_.Write()) {
            return false;
        }
        rowEnds_.resize(std::min(rows, rowEnds_.size()));
        Own().bytes.resize(rowEnds_.empty() ? header_.size() : rowEnds_.back());
        return true;
    }
    bool Replace(const std::vector<std::string>& rows) override {
        if (!disk_.Write()) {
            return false;
        }
        Disk::Journal& journal = Own();
        journal.bytes = header_;
        rowEnds_.clear();
        for (const std::string& row : rows) {
            journal.bytes += row;
            rowEnds_.push_back(journal.bytes.size());
        }
        return true;
    }
    bool WriteState(const std::string& state) override {
        if (!disk_.Write()) {
            return false;
        }
        Own().state = state;
        return true;
    }
    bool Publish(const std::vector<std::string>& rows, const std::string& state) override {
        if (!disk_.Write()) {
            return false;
        }
        Disk::Journal& journal = Own();
        journal.state = state;
        for (const std::string& row : rows) {
            journal.bytes += row;
            rowEnds_.push_back(journal.bytes.size());
        }
        return true;
    }
    std::size_t Rows() const override { return rowEnds_.size(); }
    std::u16string Error() const override { return u"磁盘已满"; }
    std::u16string Place() const override { return u"D:\\会话记录"; }
    std::optional<Earlier> NewestEarlier() const override {
        for (auto it = disk_.journals.rbegin(); it != disk_.journals.rend(); ++it) {
            if (it->first != own_ && disk_.held.count(it->first) == 0) {
                return Earlier{it->first, it->second.bytes, it->second.state};
            }
        }
        return std::nullopt;
    }
    bool WriteStateOf(const std::string& id, const std::string& state) override {
        if (!disk_.Write()) {
            return false;
        }
        disk_.journals.at(id).state = state;
        return true;
    }
    std::string OwnId() const override { return own_; }

  private:
    Disk::Journal& Own() {
        if (disk_.journals.count(own_) == 0) {
            disk_.journals[own_].bytes = header_;
            disk_.held.insert(own_);
            mine_.push_back(own_);
        }
        return disk_.journals[own_];
    }

    Disk& disk_;
    std::string own_;
    std::string header_;
    std::vector<std::size_t> rowEnds_;
    std::vector<std::string> mine_;
};

// One run of the program: its clock starts at `minute`.
struct ProgramRun {
    ProgramRun(Disk& disk, int minute, std::int64_t process = 7)
        : store(disk), keeper(store, At(minute), process) {}
    static JournalTime At(int minute) { return {1'765'000'000'000 + minute * 60'000, 8 * 3600}; }

    // `journalled`: each record as after its "计算"; otherwise as an import leaves them.
    std::vector<std::u16string> Compute(int piles, bool journalled = true) {
        std::vector<std::u16string> warnings;
        for (int i = 0; i < piles; ++i) {
            const Panel panel{.dd = u"1" + std::u16string(1, char16_t(u'0' + i % 10)) + u"00",
                              .frk = u"25"};
            EXPECT_TRUE(std::holds_alternative<ResultTexts>(
                session.Compute(panel.Input(), PrecisionMode::Units, u'.', u"09:00:07").outcome));
            if (!journalled) {
                continue;
            }
            if (auto warning = keeper.Recorded(session, session.Records().size() - 1)) {
                warnings.push_back(*warning);
            }
        }
        return warnings;
    }
    // The size of the offer at start, 0 for none; answered 不恢复.
    std::size_t Declines() {
        const std::optional<JournalKeeper::Offer> offer = keeper.Unsaved();
        if (!offer) {
            return 0;
        }
        keeper.Declined(*offer);
        return offer->recovery.records.size();
    }

    MemoryJournals store;
    JournalKeeper keeper;
    PanelSession session;
};

enum class Step { Restore, Replace, Clear };

struct KillRow {
    const char* name;
    Step step;
    int writes;           // before the kill; -1: the step ends
    std::size_t offered;  // by the next start
};

// 8 records unsaved at the kill of the first run; the second restores them, or imports 3 in
// their place, or empties the books, and is killed on the way.
const KillRow kKills[] = {
    {"RestoreKilledFirst", Step::Restore, 0, 8},
    {"RestoreKilledBetweenTheJournals", Step::Restore, 1, 8},
    {"RestoreDone", Step::Restore, -1, 8},
    {"ReplaceKilledFirst", Step::Replace, 0, 8},
    {"ReplaceKilledBetweenTheJournals", Step::Replace, 1, 3},
    {"ReplaceDone", Step::Replace, -1, 3},
    {"ClearKilledFirst", Step::Clear, 0, 8},
    {"ClearDone", Step::Clear, -1, 0},
};

class KillDuring : public ::testing::TestWithParam<KillRow> {};

TEST_P(KillDuring, LeavesEveryRecordOfferedOnce) {
    const KillRow& row = GetParam();
    Disk disk;
    bool killed = false;
    try {
        ProgramRun first(disk, 0);
        first.Compute(8);
        if (row.step != Step::Restore) {
            first.session = PanelSession();  // as "新建计算书" leaves it
            if (row.step == Step::Replace) {
                first.Compute(3, false);  // as "替换" leaves it
            }
            disk.writesLeft = row.writes;
            EXPECT_FALSE(first.keeper.StartAfresh(first.session, ProgramRun::At(0)));
        }
    } catch (const Killed&) {
        killed = true;
    }
    if (row.step == Step::Restore) {
        try {
            ProgramRun second(disk, 1);
            const std::optional<JournalKeeper::Offer> offer = second.keeper.Unsaved();
            ASSERT_TRUE(offer);
            ASSERT_EQ(offer->recovery.records.size(), 8u);
            disk.writesLeft = row.writes;
            EXPECT_FALSE(second.keeper.Restore(*offer, second.session, ProgramRun::At(1)));
            EXPECT_EQ(second.session.Records().size(), 8u);
        } catch (const Killed&) {
            killed = true;
        }
    }
    EXPECT_EQ(killed, row.writes != -1);
    disk.writesLeft = -1;
    EXPECT_EQ(ProgramRun(disk, 2).Declines(), row.offered);
    EXPECT_EQ(ProgramRun(disk, 3).Declines(), 0u) << "offered twice";
}

INSTANTIATE_TEST_SUITE_P(Steps, KillDuring, ::testing::ValuesIn(kKills), pile::test::RowName{});

struct FailureRow {
    const char* name;
    int failFrom;  // the writes that fail, counted from 0: 3 rows, a state, 2 rows
    int failTo;
    std::size_t warnings;
    std::size_t offered;  // by the next start
};

const FailureRow kFailures[] = {
    {"NoFailure", -1, 0, 0, 2},
    {"FirstRow", 0, 1, 1, 2},
    {"EveryWrite", 0, 99, 1, 0},
    // Without it the records given up may be offered once more, which loses nothing.
    {"TheAnsweredState", 3, 4, 0, 2},
    {"TheNextJournalsFirstRow", 4, 5, 1, 0},
};

class JournalFailure : public ::testing::TestWithParam<FailureRow> {};

// A journal that missed a write writes nothing more, the next journal tries again; one warning
// a run, whatever fails.
TEST_P(JournalFailure, WarnsOnceAndStopsTheJournalThatMissedAWrite) {
    const FailureRow& row = GetParam();
    Disk disk;
    disk.failFrom = row.failFrom;
    disk.failTo = row.failTo;
    std::size_t warnings = 0;
    {
        ProgramRun run(disk, 0);
        warnings += run.Compute(3).size();
        run.session = PanelSession();
        warnings += run.keeper.StartAfresh(run.session, ProgramRun::At(0)) ? 1 : 0;
        warnings += run.Compute(2).size();
        warnings += run.keeper.Changed(run.session) ? 1 : 0;
    }
    EXPECT_EQ(warnings, row.warnings);
    disk.failFrom = -1;
    EXPECT_EQ(ProgramRun(disk, 1).Declines(), row.offered);
}

INSTANTIATE_TEST_SUITE_P(Failures, JournalFailure, ::testing::ValuesIn(kFailures),
                         pile::test::RowName{});

}  // namespace
}  // namespace pile::session
