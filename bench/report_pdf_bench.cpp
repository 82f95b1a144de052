// The calculation report of 500 piles as a PDF: gathering the content, laying out every page
// and drawing it with Qt's PDF writer, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <variant>
#include <vector>

#include "bench/report_piles.h"
#include "report/pdf/pdf_report.h"
#include "report/pdf/report_font.h"

namespace {

void BM_PdfReport500Piles(benchmark::State& state) {
    const auto& records = pile::bench::Session500().Records();
    const pile::report::ReportFont font =
        pile::report::LoadReportFont(QCoreApplication::applicationDirPath());
    pile::report::ProjectInfo project;
    project.name = u"示例工程";
    qsizetype bytes = 0;
    for (auto _ : state) {
        auto pdf = pile::report::PdfReport(pile::report::GatherReport(records), project,
                                           pile::report::ThisProgram(), font.family);
        bytes = std::get<QByteArray>(pdf).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PdfReport500Piles)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    // The fonts need a QGuiApplication; no display is needed for a PDF.
    std::vector<char*> arguments(argv, argv + argc);
    static char platform[] = "-platform";
    static char offscreen[] = "offscreen";
    arguments.insert(arguments.begin() + 1, {platform, offscreen});
    int count = argc + 2;
    arguments.push_back(nullptr);
    const QGuiApplication app(count, arguments.data());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
