// The cost of one "计算" in the engine: reading the panel, and the whole road for each section
// type on the worked-example panels; and of the one number format.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "engine/fixed_text.h"
#include "engine/pile_calculation.h"
#include "engine/pile_input.h"
#include "testing/panels.h"

namespace {

using pile::PanelInput;
using pile::test::Panel;
using enum pile::SectionType;
using enum pile::RockParameterMode;

const PanelInput kCircleFrk = pile::test::StartPanel();
const PanelInput kCircleFuk = Panel{.mode = Fuk}.Input();
const PanelInput kEllipse =
    Panel{.section = Ellipse, .mode = Fuk, .dd = u"1000", .tyzd = u"1000", .hr = u"1.5d"}.Input();
const PanelInput kRectangle =
    Panel{.section = Rectangle, .mode = Fuk, .dd = u"800", .tyzd = u"1000", .hr = u"1.5b"}.Input();

void BM_ReadPileInput(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(pile::ReadPileInput(kCircleFrk, u'.'));
    }
}
BENCHMARK(BM_ReadPileInput);

void BM_ComputePile(benchmark::State& state, const PanelInput* panel) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(pile::ComputePile(*panel, u'.'));
    }
}
BENCHMARK_CAPTURE(BM_ComputePile, CircleFrk, &kCircleFrk);
BENCHMARK_CAPTURE(BM_ComputePile, CircleFuk, &kCircleFuk);
BENCHMARK_CAPTURE(BM_ComputePile, Ellipse, &kEllipse);
BENCHMARK_CAPTURE(BM_ComputePile, Rectangle, &kRectangle);

void BM_FixedText(benchmark::State& state) {
    double value = 8410.306533;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(pile::FixedText(value, 7, 2, u'.'));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FixedText);

// A 100 000-digit box text: refused in linear time.
void BM_ReadPileInputHugeText(benchmark::State& state) {
    PanelInput panel = kCircleFrk;
    panel.ddText = std::u16string(100'000, u'9');
    for (auto _ : state) {
        benchmark::DoNotOptimize(pile::ReadPileInput(panel, u'.'));
    }
}
BENCHMARK(BM_ReadPileInputHugeText);

}  // namespace
