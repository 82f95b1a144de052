// The calculation report of 500 piles as a .docx: gathering the content from the session's
// records (the books' own lines again, the sketches' texts) and writing and zipping the parts.
#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#include "bench/report_piles.h"
#include "engine/utf_text.h"
#include "report/docx_report.h"

namespace {

void BM_DocxReport500Piles(benchmark::State& state) {
    const auto& records = pile::bench::Session500().Records();
    pile::report::ProjectInfo project;
    project.name = u"示例工程";
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto docx = pile::report::DocxReport(pile::report::GatherReport(records), project,
                                             pile::report::ThisProgram());
        bytes = std::get<std::string>(docx).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["docx_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DocxReport500Piles)->Unit(benchmark::kMillisecond);

}  // namespace
