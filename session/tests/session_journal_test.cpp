#include "session/session_journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/schedule_run.h"
#include "testing/panels.h"
#include "testing/row_name.h"
#include "testing/schedule_source.h"

namespace pile::session {
namespace {

using pile::test::Panel;

// A session as the window drives it, with its journal kept as the window keeps it: a row
// after each calculation, the rows cut back and the state rewritten after a delete or a save.
struct JournalledSession {
    PanelSession session;
    std::string journal = JournalHeader();
    std::vector<std::size_t> rowEnds;
    std::optional<JournalState> state;

    void Compute(const Panel& panel, PrecisionMode precision, std::u16string_view time,
                 char16_t separator = u'.', std::u16string_view mark = {}) {
        const PanelUpdate update = session.Compute(panel.Input(), precision, separator, time, mark);
        ASSERT_TRUE(std::holds_alternative<ResultTexts>(update.outcome));
        journal += JournalRow(session.Records().back());
        rowEnds.push_back(journal.size());
    }
    void DeleteLast() {
        session.DeleteLast();
        rowEnds.resize(session.Records().size());
        journal.resize(rowEnds.empty() ? JournalHeader().size() : rowEnds.back());
        state = StateOf(session);
    }
    void Save(Book book) {
        session.MarkSaved(book);
        state = StateOf(session);
    }
    std::optional<JournalState> StateRead() const {
        return state ? ReadState(StateText(*state)) : std::nullopt;
    }
};

const Panel kCircle{.dd = u"1000", .hr = u"1.5d", .frk = u"25"};
const Panel kEllipse{.section = SectionType::Ellipse,
                     .mode = RockParameterMode::Fuk,
                     .dd = u"1200",
                     .tyzd = u"800",
                     .hr = u"2000",
                     .fuk = u"30"};
// Typed with its sides the wrong way round: the calculation exchanges them.
const Panel kRectangle{.section = SectionType::Rectangle,
                       .mode = RockParameterMode::Fuk,
                       .dd = u"900",
                       .tyzd = u"1500",
                       .hr = u"1.0b",
                       .fuk = u"+24.50"};

struct SessionRow {
    const char* name;
    void (*steps)(JournalledSession&);
    bool asked;  // the books held records unsaved when the session ended
};
using pile::test::PrintTo;

const SessionRow kSessions[] = {
    {"ThreeSectionsAtSeveralPrecisions",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Compute(kEllipse, PrecisionMode::TwoDecimals, u"2024/5/6 14:05:01");
         s.Compute(kRectangle, PrecisionMode::Hundreds, u"2024/5/6 14:06:40");
     },
     true},
    {"DeleteLastKeepsTheDeletedRecordsTime",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.Compute(kRectangle, PrecisionMode::Units, u"2024/5/6 14:06:40");
         s.DeleteLast();
         s.DeleteLast();
     },
     true},
    {"CalculationAfterADelete",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.DeleteLast();
         s.Compute(kRectangle, PrecisionMode::OneDecimal, u"2024/5/6 14:09:00");
     },
     true},
    {"OneBookSaved",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.Save(Book::Table);
     },
     true},
    {"DecimalComma",
     [](JournalledSession& s) {
         s.Compute(Panel{.dd = u"1000", .hr = u"1,5d", .frk = u"25"}, PrecisionMode::TwoDecimals,
                   u"06.05.24 14:03:27", u',');
     },
     true},
    {"BothBooksSaved",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Save(Book::Text);
         s.Save(Book::Table);
     },
     false},
    {"DeletedDownToNothing",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.DeleteLast();
         s.DeleteLast();
     },
     false},
    {"MarkedPiles",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27", u'.', u"ZJ-1");
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.Compute(kRectangle, PrecisionMode::Units, u"2024/5/6 14:06:40", u'.', u"桩\"2,3\"号");
         s.DeleteLast();
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:07:00", u'.', u"一号桩基础");
     },
     true},
    {"NothingComputed", [](JournalledSession&) {}, false},
    // The state says what each save wrote; the rows after it are the piles missing.
    {"SavedToDifferentExtentsThenMore",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Save(Book::Table);
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.Save(Book::Text);
         s.Compute(kRectangle, PrecisionMode::Units, u"2024/5/6 14:06:40");
     },
     true},
    {"DeletedBelowWhatWasSaved",
     [](JournalledSession& s) {
         s.Compute(kCircle, PrecisionMode::Units, u"2024/5/6 14:03:27");
         s.Compute(kEllipse, PrecisionMode::Units, u"2024/5/6 14:05:01");
         s.Save(Book::Text);
         s.DeleteLast();
         s.Compute(kRectangle, PrecisionMode::Units, u"2024/5/6 14:06:40");
     },
     true},
};

class RecoveredSession : public ::testing::TestWithParam<SessionRow> {};

// The books rebuilt from the journal are the books as they stood, flags and all.
TEST_P(RecoveredSession, RebuildsTheBooksAsTheyStood) {
    JournalledSession original;
    GetParam().steps(original);
    const Recovery recovery = ReadJournal(original.journal, original.StateRead());
    EXPECT_EQ(recovery.skipped, 0u);
    EXPECT_EQ(recovery.unsavedFlags != 0, GetParam().asked);
    PanelSession restored;
    RestoreSession(recovery, restored);
    EXPECT_EQ(restored.Books().TextLines(), original.session.Books().TextLines());
    EXPECT_EQ(restored.Books().TableLines(), original.session.Books().TableLines());
    EXPECT_EQ(restored.UnsavedBookFlags(), original.session.UnsavedBookFlags());
    EXPECT_EQ(restored.PileCounter(), original.session.PileCounter());
    for (const Book book : {Book::Text, Book::Table}) {
        EXPECT_EQ(restored.UnsavedRecords(book), original.session.UnsavedRecords(book));
    }
}

// The journal (and "导出桩表…", which writes the same text) is a schedule: run as one, it gives
// the books again.
TEST_P(RecoveredSession, ExportedScheduleRunsIntoTheSameBooks) {
    JournalledSession original;
    GetParam().steps(original);
    if (original.session.Records().empty()) {
        GTEST_SKIP() << "no records to export";
    }
    if (original.session.DeletedTimeSource() != nullptr) {
        GTEST_SKIP() << "the books end with the time of a deleted record, which no row holds";
    }
    PanelSession batch;
    const ScheduleRun run =
        RunSchedule(schedule::testing::SourceOf(ScheduleOfRecords(original.session.Records())),
                    u'.', u"2030/1/1 0:00:00", batch);
    ASSERT_FALSE(run.unreadable);
    EXPECT_EQ(run.outcome.refused, 0u);
    EXPECT_EQ(batch.Books().TextLines(), original.session.Books().TextLines());
    EXPECT_EQ(batch.Books().TableLines(), original.session.Books().TableLines());
}

INSTANTIATE_TEST_SUITE_P(Sessions, RecoveredSession, ::testing::ValuesIn(kSessions),
                         pile::test::RowName{});

// ------------------------------------------------------------------ damaged journals

struct DamageRow {
    const char* name;
    std::string (*damage)(const std::string& journal);  // of a journal of three records
    std::size_t recovered;
    std::size_t skipped;
};
using pile::test::PrintTo;

const DamageRow kDamages[] = {
    {"CutShortInTheLastRow", [](const std::string& j) { return j.substr(0, j.size() - 7); }, 2, 1},
    {"CutShortInsideAQuotedTime",
     [](const std::string& j) { return j.substr(0, j.rfind("2024") + 3); }, 2, 1},
    {"GarbageRowInTheMiddle",
     [](const std::string& j) {
         const std::size_t second = j.find('\n', j.find('\n') + 1) + 1;
         return j.substr(0, second) + std::string("\x01\xFF\xFE garbage,\0,\"\n", 16) +
                j.substr(second);
     },
     3, 1},
    {"RowOfAFutureVersion",
     [](const std::string& j) {
         return j +
                ",六边形桩,fuk,1000,800,2000,C30,干作业成孔且清底干净,"
                "25,24,个位取整,2024/5/6 14:07:00,.\r\n";
     },
     3, 1},
    {"FutureColumnsAreIgnored",
     [](const std::string& j) {
         std::string out;
         std::size_t start = 0;
         for (std::size_t end; (end = j.find("\r\n", start)) != std::string::npos;
              start = end + 2) {
             out += j.substr(start, end - start) + (start == 0 ? ",新的列\r\n" : ",x\r\n");
         }
         return out;
     },
     3, 0},
    {"AnEarlierVersionWithoutTheMarkColumn",
     [](const std::string& j) {
         std::string out;
         std::size_t start = 0;
         for (std::size_t end; (end = j.find("\r\n", start)) != std::string::npos;
              start = end + 2) {
             std::string line = j.substr(start, end - start);
             // The header loses its 桩号, each row its empty first cell.
             line.erase(start == 0 ? line.find("桩号,") : 0, start == 0 ? 7 : 1);
             out += line + "\r\n";
         }
         return out;
     },
     3, 0},
    {"RowWithoutItsTime",
     [](const std::string& j) {
         return j + ",圆桩,frk,1000,0,1.5d,C30,泥浆护壁成桩,25,24,个位取整,,.\r\n";
     },
     3, 1},
    {"RowFailingTheChecks",
     [](const std::string& j) {
         return j +
                ",圆桩,frk,-1000,0,1.5d,C30,泥浆护壁成桩,25,24,个位取整,"
                "2024/5/6 14:07:00,.\r\n";
     },
     3, 1},
    {"NoHeader", [](const std::string&) { return std::string("\x89PNG\r\n\x1A\n\0\0\n", 11); }, 0,
     0},
    {"Empty", [](const std::string&) { return std::string(); }, 0, 0},
};

class DamagedJournal : public ::testing::TestWithParam<DamageRow> {};

TEST_P(DamagedJournal, RecoversTheWholeValidRowsAndCountsTheRest) {
    JournalledSession original;
    kSessions[0].steps(original);
    const std::string damaged = GetParam().damage(original.journal);
    const Recovery recovery = ReadJournal(damaged, std::nullopt);
    EXPECT_EQ(recovery.records.size(), GetParam().recovered);
    EXPECT_EQ(recovery.skipped, GetParam().skipped);
    PanelSession restored;
    RestoreSession(recovery, restored);
    EXPECT_EQ(restored.PileCounter(), static_cast<int>(GetParam().recovered));
    // The records recovered are the first ones of the original, unchanged.
    for (std::size_t i = 0; i < recovery.records.size() && i < 3; ++i) {
        EXPECT_EQ(JournalRow(recovery.records[i]), JournalRow(original.session.Records()[i]));
    }
    EXPECT_EQ(recovery.unsavedFlags != 0, GetParam().recovered > 0);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedJournal, ::testing::ValuesIn(kDamages),
                         pile::test::RowName{});

// A schedule's loads go into the journal with their record, come back on recovery and go out
// again with "导出桩表…", where the run checks them as the first import did.
TEST(JournalLoads, SurviveRecoveryAndTheExport) {
    PanelSession session;
    const schedule::LoadTexts loads{u"5000", u"", u"6500", u"1.1"};
    ASSERT_TRUE(
        std::holds_alternative<ResultTexts>(session
                                                .Compute(Panel{}.Input(), PrecisionMode::Units,
                                                         u'.', u"2024/5/6 14:03:27", u"ZJ1", loads)
                                                .outcome));
    const Recovery recovery =
        ReadJournal(JournalHeader() + JournalRow(session.Records().back()), std::nullopt);
    ASSERT_EQ(recovery.records.size(), 1u);
    EXPECT_EQ(recovery.records[0].loads, loads);

    PanelSession again;
    const std::string exported = ScheduleOfRecords(session.Records());
    const ScheduleRun run =
        RunSchedule(schedule::testing::SourceOf(exported), u'.', u"2024/5/6 14:03:27", again);
    ASSERT_EQ(run.outcome.rows.size(), 1u);
    EXPECT_TRUE(run.outcome.rows[0].check.checked);
    EXPECT_EQ(run.outcome.rows[0].loads, loads);
}

TEST(JournalState, OfAnotherVersionOrDamagedIsNotRead) {
    JournalledSession session;
    kSessions[1].steps(session);
    const std::string text = StateText(*session.state);
    ASSERT_TRUE(ReadState(text));
    for (const std::string& damaged :
         {"pile-journal-state 4" + text.substr(text.find('\n')), text.substr(0, 30),
          text.substr(0, text.size() - 5), text + "garbage"}) {
        EXPECT_FALSE(ReadState(damaged)) << damaged;
    }
}

// A journal of an earlier version wrote no saved extents: it reads, counting every record.
TEST(JournalState, OfTheFirstVersionReadsWithNothingSaved) {
    const std::optional<JournalState> state =
        ReadState("pile-journal-state 1\nrows 45\nunsaved 3\nanswered 0\n");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->rows, 45u);
    EXPECT_EQ(state->savedText + state->savedTable, 0u);
}

struct QuestionRow {
    const char* name;
    int unsavedFlags;
    std::size_t savedText;
    std::size_t savedTable;
    std::size_t records;
    std::size_t skipped;
    const char16_t* question;
};
using pile::test::PrintTo;

const QuestionRow kQuestions[] = {
    {"NothingEverSaved", 3, 0, 0, 3, 0, u"上次有 3 根桩未保存（共 3 根），是否恢复？"},
    {"BothSavedAlike", 3, 42, 42, 45, 0, u"上次有 3 根桩未保存（共 45 根），是否恢复？"},
    {"SavedToDifferentExtents", 3, 42, 40, 45, 0,
     u"上次有桩未保存：文本计算书 3 根，表格计算书 5 根（共 45 根），是否恢复？"},
    {"OneBookSavedWhole", 2, 45, 40, 45, 0,
     u"上次有桩未保存：文本计算书已保存，表格计算书 5 根（共 45 根），是否恢复？"},
    {"DeletedAfterTheSave", 3, 45, 45, 45, 0, u"上次的计算书有改动未保存（共 45 根），是否恢复？"},
    {"RowsSkipped", 3, 0, 0, 3, 2,
     u"上次有 3 根桩未保存（共 3 根），是否恢复？\n（记录中有 2 行已损坏或无法读取，不能恢复）"},
};

class RecoveryQuestionOf : public ::testing::TestWithParam<QuestionRow> {};

TEST_P(RecoveryQuestionOf, NamesWhatIsMissingFromEachBook) {
    Recovery recovery;
    recovery.records.resize(GetParam().records);
    recovery.unsavedFlags = GetParam().unsavedFlags;
    recovery.savedText = GetParam().savedText;
    recovery.savedTable = GetParam().savedTable;
    recovery.skipped = GetParam().skipped;
    EXPECT_EQ(RecoveryQuestion(recovery), GetParam().question);
}

INSTANTIATE_TEST_SUITE_P(Questions, RecoveryQuestionOf, ::testing::ValuesIn(kQuestions),
                         pile::test::RowName{});

}  // namespace
}  // namespace pile::session
