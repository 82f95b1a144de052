// The cost of the book actions against the size of the books, the memory the books hold, and
// the replay of whole sessions.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "books/calculation_books.h"
#include "engine/pile_calculation.h"
#include "testing/panels.h"
#include "tools/replay_session.h"

namespace {

using pile::CalculationBooks;

struct BookPile {
    pile::PileInput input;
    pile::PileResult result;
    std::u16string dd;
    std::u16string tyzd;
};

// One pile of each kind, computed as the window would, in the order the books receive them.
const std::vector<BookPile>& Piles() {
    static const std::vector<BookPile> piles = [] {
        using pile::test::Panel;
        using enum pile::SectionType;
        using enum pile::RockParameterMode;
        const pile::PanelInput panels[] = {
            pile::test::StartPanel(),
            Panel{.mode = Fuk, .dd = u"1200", .hr = u"2000"}.Input(),
            Panel{.section = Ellipse, .mode = Fuk, .tyzd = u"1000", .hr = u"1.5d"}.Input(),
            Panel{.section = Rectangle, .mode = Fuk, .dd = u"800", .tyzd = u"1000", .hr = u"1.5b"}
                .Input(),
        };
        std::vector<BookPile> out;
        for (const pile::PanelInput& panel : panels) {
            const pile::ComputeOutcome outcome = pile::ComputePile(panel, u'.');
            const auto& computed = std::get<pile::ComputedPile>(outcome.result);
            out.push_back({computed.input, computed.result,
                           outcome.rewritten ? outcome.rewritten->ddText : panel.ddText,
                           outcome.rewritten ? outcome.rewritten->tyzdText : panel.tyzdText});
        }
        return out;
    }();
    return piles;
}

void AppendOne(CalculationBooks& books, std::size_t index) {
    const BookPile& p = Piles()[index % Piles().size()];
    benchmark::DoNotOptimize(books.AppendRecord(
        p.input, p.result, p.dd, p.tyzd, pile::PrecisionMode::Units, u'.', u"2024/5/6 14:03:27"));
}

// Books of a given size, built once and brought back to that size after each run.
CalculationBooks& BooksOf(int records) {
    static std::map<int, CalculationBooks> cache;
    auto [it, added] = cache.try_emplace(records);
    if (added) {
        for (int i = 0; i < records; ++i) {
            AppendOne(it->second, static_cast<std::size_t>(i));
        }
    }
    return it->second;
}

void TrimTo(CalculationBooks& books, int records) {
    while (books.PileCounter() > records) {
        books.DeleteLast();
    }
}

std::size_t BytesHeld(const pile::BookLines& lines) {
    // The vector's slots, and each line's own heap block where it has one (libstdc++ keeps
    // up to 7 UTF-16 code units inside the string). Allocator overhead is not counted.
    std::size_t bytes = lines.capacity() * sizeof(std::u16string);
    const std::u16string empty;
    for (const std::u16string& line : lines) {
        if (line.capacity() > empty.capacity()) {
            bytes += (line.capacity() + 1) * sizeof(char16_t);
        }
    }
    return bytes;
}

// Time per record appended to books that hold `range(0)` records already. The books are
// trimmed back (untimed) every 1000 appends so that their size stays within 1000 of it.
void BM_AppendRecord(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    CalculationBooks& books = BooksOf(size);
    std::size_t next = static_cast<std::size_t>(size);
    int sinceTrim = 0;
    for (auto _ : state) {
        AppendOne(books, next++);
        if (++sinceTrim == 1000) {
            state.PauseTiming();
            TrimTo(books, size);
            sinceTrim = 0;
            state.ResumeTiming();
        }
    }
    TrimTo(books, size);
    if (size == 100000) {
        const double bytes =
            static_cast<double>(BytesHeld(books.TableLines()) + BytesHeld(books.TextLines()));
        state.counters["bytes_per_record"] = bytes / size;
        state.counters["text_lines_per_record"] =
            static_cast<double>(books.TextLines().size()) / size;
    }
}
BENCHMARK(BM_AppendRecord)->Arg(1)->Arg(1000)->Arg(10000)->Arg(100000);

// The delete-last action on the largest book; each record removed is put back untimed.
void BM_DeleteLast(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    CalculationBooks& books = BooksOf(size);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(books.DeleteLast());
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        AppendOne(books, static_cast<std::size_t>(size - 1));
    }
}
BENCHMARK(BM_DeleteLast)->Arg(100000)->UseManualTime();

// A whole pile_replay session of `range(0)` CALC steps, output discarded.
void BM_Replay(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const char* lines[] = {
        "CALC\t0\t0\t1000\t0\t1.0d\t25\t0\t1\t1\t2\t.\t2024/5/6 14:03:27\n",
        "CALC\t0\t1\t1200\t0\t2000\t0\t24\t3\t0\t0\t.\t2024/5/6 14:03:28\n",
        "CALC\t1\t1\t1000\t1000\t1.5d\t0\t24\t1\t0\t3\t.\t2024/5/6 14:03:29\n",
        "CALC\t2\t1\t800\t1000\t1.5b\t0\t24\t1\t0\t4\t,\t2024/5/6 14:03:30\n",
    };
    std::string input;
    for (int i = 0; i < steps; ++i) {
        input += lines[i % 4];
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string errors;
        bytes = 0;
        const int status = pile::replay::ReplaySession(
            input, [&](std::string_view piece) { bytes += piece.size(); }, errors);
        if (status != 0) {
            state.SkipWithError("the session was refused");
        }
    }
    state.counters["output_bytes"] = static_cast<double>(bytes);
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(steps),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Replay)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
