// The calculation report of 500 piles as a .docx: gathering the content from the session's
// records (the books' own lines again, the sketches' texts) and writing and zipping the parts.
#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#include "engine/utf_text.h"
#include "report/docx_report.h"
#include "testing/panels.h"

namespace {

// Circles, ellipses and rectangles in turn, of varied sizes.
const pile::session::PanelSession& Session500() {
    static const pile::session::PanelSession session = [] {
        using pile::test::Panel;
        using enum pile::SectionType;
        using enum pile::RockParameterMode;
        pile::session::PanelSession s;
        for (int i = 0; i < 500; ++i) {
            const std::u16string d = pile::Utf8ToUtf16(std::to_string(800 + (i % 13) * 100));
            Panel panel;
            switch (i % 3) {
                case 0:
                    panel = Panel{.dd = d, .hr = u"1.5d"};
                    break;
                case 1:
                    panel = Panel{
                        .section = Ellipse, .mode = Fuk, .dd = d, .tyzd = u"600", .hr = u"2.0d"};
                    break;
                default:
                    panel = Panel{
                        .section = Rectangle, .mode = Fuk, .dd = u"1000", .tyzd = d, .hr = u"1.0b"};
                    break;
            }
            s.Compute(panel.Input(), pile::PrecisionMode::Units, u'.', u"2026-12-11 10:00:00");
        }
        return s;
    }();
    return session;
}

void BM_DocxReport500Piles(benchmark::State& state) {
    const auto& records = Session500().Records();
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
