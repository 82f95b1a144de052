// Any bytes as a pile schedule, handed out in pieces of any size. Checked for every input:
// - reading ends, within the limits, with a schedule or a reason;
// - rows come in file order, and no box text the books print holds a control character;
// - no book line holds a control character after the rows are computed;
// - the results table reads back as one record per row, each as wide as its header, and no
//   text a schedule brought in (the mark, the loads) starts a spreadsheet formula;
// - the same bytes as a session journal (and as its state) rebuild a session of exactly the
//   rows recovered, without a control character in its books.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "session/schedule_run.h"
#include "session/session_journal.h"
#include "testing/require.h"

namespace {

bool HasControl(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < u' '; });
}

pile::schedule::ByteSource PiecesOf(const std::uint8_t* bytes, std::size_t size,
                                    std::size_t piece) {
    return [=, pos = std::size_t{0}](char* buffer, std::size_t capacity) mutable -> long long {
        const std::size_t count = std::min({capacity, piece, size - pos});
        std::memcpy(buffer, bytes + pos, count);
        pos += count;
        return static_cast<long long>(count);
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace pile::schedule;
    using namespace pile::session;
    const ReaderLimits limits{
        .maxRecordBytes = 512, .maxFileBytes = 1 << 16, .maxFields = 64, .maxRows = 64};
    {
        const std::string_view text(reinterpret_cast<const char*>(bytes), size);
        const Recovery recovery = ReadJournal(text, ReadState(text));
        PanelSession restored;
        RestoreSession(recovery, restored);
        PILE_REQUIRE(static_cast<std::size_t>(restored.PileCounter()) == recovery.records.size());
        PILE_REQUIRE(recovery.unsavedFlags == 0 || !recovery.records.empty());
        for (const auto* book : {&restored.Books().TableLines(), &restored.Books().TextLines()}) {
            for (const std::u16string& bookLine : *book) {
                PILE_REQUIRE(!HasControl(bookLine));
            }
        }
    }
    const std::size_t piece = 1 + size % 61;  // the reads a pipe might return
    auto read = ReadSchedule(PiecesOf(bytes, size, piece), limits);
    if (std::holds_alternative<std::u16string>(read)) {
        PILE_REQUIRE(!std::get<std::u16string>(read).empty());
        return 0;
    }
    const Schedule& schedule = std::get<Schedule>(read);
    PILE_REQUIRE(schedule.entries.size() <= limits.maxRows);
    std::size_t line = 1;
    for (const ScheduleEntry& entry : schedule.entries) {
        PILE_REQUIRE(entry.line > line);
        line = entry.line;
        if (const auto* row = std::get_if<ScheduleRow>(&entry.result)) {
            PILE_REQUIRE(!HasControl(row->panel.ddText) && !HasControl(row->panel.hrText));
            PILE_REQUIRE(!HasControl(row->panel.tyzdText));
        }
    }

    pile::session::PanelSession session;
    const ScheduleOutcome outcome = ComputeSchedule(schedule, u'.', u"2024/5/6 14:03:27", session);
    const pile::CalculationBooks& books = session.Books();
    PILE_REQUIRE(outcome.computed + outcome.refused + outcome.skipped == schedule.entries.size());
    PILE_REQUIRE(static_cast<std::size_t>(books.PileCounter()) == outcome.computed);
    for (const auto* book : {&books.TableLines(), &books.TextLines()}) {
        for (const std::u16string& bookLine : *book) {
            PILE_REQUIRE(!HasControl(bookLine));
        }
    }

    const std::string table = ResultsTable(outcome);
    RecordReader reader(
        PiecesOf(reinterpret_cast<const std::uint8_t*>(table.data()), table.size(), table.size()),
        {.maxRecordBytes = table.size() + 1, .maxFileBytes = table.size() + 1});
    RawRecord record;
    std::vector<std::string> fields;
    std::size_t records = 0;
    const std::size_t width = ResultsHeader(outcome.hasLoads).size();
    const auto startsFormula = [](const std::string& field) {
        return !field.empty() && std::strchr("=+-@\t\r", field[0]) != nullptr;
    };
    while (reader.Next(",", record)) {
        PILE_REQUIRE(record.status == RecordStatus::Ok);
        PILE_REQUIRE(SplitFields(record.bytes, ',', width, fields) && fields.size() == width);
        if (records > 0) {
            PILE_REQUIRE(!startsFormula(fields[1]));
            for (std::size_t load = 8; load < std::min<std::size_t>(width, 12); ++load) {
                PILE_REQUIRE(!startsFormula(fields[load]));
            }
        }
        ++records;
    }
    PILE_REQUIRE(records == outcome.rows.size() + 1);
    return 0;
}
