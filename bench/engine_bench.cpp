// The cost of one "计算" in the engine: reading the panel, and the whole road for each section
// type on the worked-example panels; and of the one number format.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "engine/fixed_text.h"
#include "engine/pile_calculation.h"
#include "engine/pile_input.h"

namespace {

using pile::ConstructionProcess;
using pile::PanelInput;
using pile::RockParameterMode;
using pile::SectionType;

PanelInput Panel(SectionType section, RockParameterMode mode, std::u16string dd,
                 std::u16string tyzd, std::u16string hr, ConstructionProcess process) {
    PanelInput panel;
    panel.sectionType = section;
    panel.rockMode = mode;
    panel.ddText = std::move(dd);
    panel.tyzdText = std::move(tyzd);
    panel.hrText = std::move(hr);
    panel.frkText = u"25";
    panel.fukText = u"24";
    panel.process = process;
    return panel;
}

const PanelInput kCircleFrk = Panel(SectionType::Circle, RockParameterMode::Frk, u"1000", u"0",
                                    u"1.0d", ConstructionProcess::MudWall);
const PanelInput kCircleFuk = Panel(SectionType::Circle, RockParameterMode::Fuk, u"1000", u"0",
                                    u"1.0d", ConstructionProcess::DryClean);
const PanelInput kEllipse = Panel(SectionType::Ellipse, RockParameterMode::Fuk, u"1000", u"1000",
                                  u"1.5d", ConstructionProcess::DryClean);
const PanelInput kRectangle = Panel(SectionType::Rectangle, RockParameterMode::Fuk, u"800", u"1000",
                                    u"1.5b", ConstructionProcess::DryClean);

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
