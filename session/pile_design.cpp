#include "session/pile_design.h"

#include <cmath>

#include "engine/number_parse.h"
#include "engine/pile_calculation.h"

namespace pile::session {

namespace {

// However small a step is asked for, a search stays a bounded number of calculations.
constexpr int kMaxDepthsPerDiameter = 1000;

// Decimals enough to write every multiple of the step from the start exactly, one at least,
// so that depths read "1.0d", "1.5d" as engineers write them.
int DepthDecimals(const DesignOptions& options) {
    for (int decimals = 1; decimals < 4; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const auto whole = [&](double x) {
            return std::abs(x * scale - std::round(x * scale)) < 1e-9 * scale;
        };
        if (whole(options.hrMin) && whole(options.hrStep)) {
            return decimals;
        }
    }
    return 4;
}

struct Candidate {
    PanelInput panel;
    std::variant<ComputedPile, ValidationFailure> result;
};

Candidate Compute(const PanelInput& row, double d, std::u16string hrText, char16_t separator) {
    Candidate candidate{row, {}};
    candidate.panel.sectionType = SectionType::Circle;
    candidate.panel.ddText = BoxNumberText(d);
    candidate.panel.hrText = std::move(hrText);
    candidate.result = ComputePile(candidate.panel, separator).result;
    return candidate;
}

std::u16string Shortfall(const Design& design, const PileLoads& loads, char16_t separator) {
    const auto number = [&](double value) { return FixedText(value, 15, 0, separator); };
    std::u16string text = u"d=" + design.panel.ddText + u" mm, hr=" + design.panel.hrText + u" 时 ";
    std::u16string parts;
    const auto add = [&](std::u16string part) { parts += (parts.empty() ? u"" : u"，") + part; };
    const double ra = ParseLocaleNumber(design.results.ra, separator).value_or(0);
    if (design.check.nkFailed) {
        add(u"Ra=" + design.results.ra + u" kN < Nk=" + number(*loads.nk) + u" kN");
    }
    if (design.check.nkmaxFailed) {
        add(u"1.2Ra=" + number(1.2 * ra) + u" kN < Nkmax=" + number(*loads.nkmax) + u" kN");
    }
    if (design.check.nFailed) {
        add(u"Rc=" + design.results.rc + u" kN < γ0N=" + number(loads.gamma0 * *loads.n) + u" kN");
    }
    return text + parts;
}

}  // namespace

std::vector<double> DesignOptions::DefaultDiameters() {
    std::vector<double> diameters;
    for (int d = 800; d <= 3000; d += 100) {
        diameters.push_back(d);
    }
    return diameters;
}

std::optional<std::u16string> CheckDesignOptions(const DesignOptions& options) {
    if (options.diameters.empty()) {
        return u"没有可选的桩径";
    }
    for (double d : options.diameters) {
        if (!(std::isfinite(d) && d > 0)) {
            return u"桩径应为大于 0 的数（mm）";
        }
    }
    if (!(std::isfinite(options.hrMin) && options.hrMin >= 0)) {
        return u"嵌岩深度的起点应为不小于 0 的倍数";
    }
    if (!(std::isfinite(options.hrStep) && options.hrStep > 0)) {
        return u"嵌岩深度的步长应为大于 0 的倍数";
    }
    return std::nullopt;
}

std::variant<Design, std::u16string> DesignCircle(const PanelInput& row, PrecisionMode precision,
                                                  const PileLoads& loads,
                                                  const DesignOptions& options,
                                                  char16_t separator) {
    if (auto wrong = CheckDesignOptions(options)) {
        return *wrong;
    }
    if (!loads.Any()) {
        return std::u16string(u"没有荷载（Nk、Nkmax 或 N），无法选型");
    }
    const int decimals = DepthDecimals(options);
    Design last;
    bool any = false;
    for (double d : options.diameters) {
        for (int step = 0; step < kMaxDepthsPerDiameter; ++step) {
            const double multiple = options.hrMin + step * options.hrStep;
            Candidate candidate =
                Compute(row, d, FixedText(multiple, 15, decimals, u'.') + u"d", separator);
            const auto* pile = std::get_if<ComputedPile>(&candidate.result);
            if (!pile) {
                const ValidationFailure& failure = std::get<ValidationFailure>(candidate.result);
                // A size the checks refuse (a depth of 0) is no candidate; a rock value they
                // refuse fails every size.
                if (failure.control == InputControl::Diameter ||
                    failure.control == InputControl::SocketDepth) {
                    continue;
                }
                return std::u16string(failure.message);
            }
            if (pile->result.ratioClamped) {
                break;
            }
            Design design;
            design.panel = std::move(candidate.panel);
            design.results = ResultTextsOf(*pile, precision, separator);
            design.check = CheckLoads(loads, design.results.ra, design.results.rc, separator);
            design.found = design.check.passed;
            if (design.found) {
                return design;
            }
            last = std::move(design);
            any = true;
        }
    }
    if (!any) {
        return std::u16string(u"没有不超出系数表范围的嵌岩深度可选");
    }
    last.shortfall = Shortfall(last, loads, separator);
    return last;
}

}  // namespace pile::session
