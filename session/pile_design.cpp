#include "session/pile_design.h"

#include <algorithm>
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
    // A load as given (900.5 stays 900.5), in the separator the capacities are printed with.
    const auto number = [&](double value) {
        std::u16string text = BoxNumberText(value);
        std::replace(text.begin(), text.end(), u'.', separator);
        return text;
    };
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
    const auto printed = [&](double value) {
        return ParseLocaleNumber(PrecisionText(value, precision, 7, separator), separator)
            .value_or(0);
    };
    const auto design = [&](Candidate&& candidate) {
        Design found;
        found.results =
            ResultTextsOf(std::get<ComputedPile>(candidate.result), precision, separator);
        found.check = CheckLoads(loads, found.results.ra, found.results.rc, separator);
        found.found = found.check.passed;
        found.panel = std::move(candidate.panel);
        return found;
    };
    // One diameter's depths, shallowest first, until one passes or the table clamps: the pile
    // that passes, else the deepest tried. The body's capacity does not depend on the depth,
    // so once gamma0 N > Rc no depth of this diameter passes and `stopAtBody` ends the search.
    std::optional<std::u16string> refused;
    const auto search = [&](double d, bool stopAtBody) -> std::optional<Candidate> {
        std::optional<Candidate> deepest;
        for (int step = 0; step < kMaxDepthsPerDiameter; ++step) {
            const double multiple = options.hrMin + step * options.hrStep;
            Candidate candidate =
                Compute(row, d, FixedText(multiple, 15, decimals, u'.') + u"d", separator);
            const auto* pile = std::get_if<ComputedPile>(&candidate.result);
            if (!pile) {
                const ValidationFailure& failure = std::get<ValidationFailure>(candidate.result);
                // A size the checks refuse (a depth of 0) is no candidate; a rock value they
                // refuse fails every size.
                if (failure.control != InputControl::Diameter &&
                    failure.control != InputControl::SocketDepth) {
                    refused = std::u16string(failure.message);
                    return std::nullopt;
                }
                continue;
            }
            if (pile->result.ratioClamped) {
                break;
            }
            const LoadsMet met =
                MeetLoads(loads, printed(pile->result.Ra), printed(pile->result.Rc));
            const bool last = met.All() || (stopAtBody && !met.n);
            deepest = std::move(candidate);
            if (last) {
                break;
            }
        }
        return deepest;
    };
    for (double d : options.diameters) {
        std::optional<Candidate> tried = search(d, true);
        if (refused) {
            return *refused;
        }
        if (tried) {
            Design found = design(std::move(*tried));
            if (found.found) {
                return found;
            }
        }
    }
    // Nothing passes: how far the largest diameter got at its deepest socket.
    std::optional<Candidate> largest = search(options.diameters.back(), false);
    if (!largest) {
        return std::u16string(u"没有不超出系数表范围的嵌岩深度可选");
    }
    Design last = design(std::move(*largest));
    last.shortfall = Shortfall(last, loads, separator);
    return last;
}

RowDesign DesignRow(const PanelInput& panel, PrecisionMode precision,
                    const schedule::LoadTexts& loadTexts, const DesignOptions& options,
                    char16_t separator) {
    RowDesign row;
    if (panel.sectionType != SectionType::Circle) {
        row.note = u"非圆桩，只验算";
        return row;
    }
    const auto loads = ReadLoads(loadTexts, separator);
    const auto* given = std::get_if<PileLoads>(&loads);
    // Loads that cannot be read refuse the row when it is computed, with their message.
    if (given == nullptr || !given->Any()) {
        row.note = given == nullptr ? std::get<std::u16string>(loads) : u"无荷载，不选型";
        return row;
    }
    row.searched = true;
    const auto found = DesignCircle(panel, precision, *given, options, separator);
    if (const auto* why = std::get_if<std::u16string>(&found)) {
        row.note = u"未选型：" + *why;
        return row;
    }
    row.design = std::get<Design>(found);
    row.outcome = row.design->found ? RowDesign::Outcome::Sized : RowDesign::Outcome::Unmet;
    if (!row.design->found) {
        row.note = u"没有满足要求的桩：" + row.design->shortfall;
    }
    return row;
}

ScheduleDesign DesignSchedule(schedule::Schedule& schedule, const DesignOptions& options,
                              char16_t separator) {
    ScheduleDesign design;
    design.notes.resize(schedule.entries.size());
    for (std::size_t i = 0; i < schedule.entries.size(); ++i) {
        auto* row = std::get_if<schedule::ScheduleRow>(&schedule.entries[i].result);
        if (row == nullptr || row->panel.sectionType != SectionType::Circle) {
            continue;
        }
        const RowDesign found = DesignRow(row->panel, row->precision, row->loads, options,
                                          row->decimalSeparator.value_or(separator));
        // A circle without loads is only computed, and loads that do not read refuse the row
        // with their own message: neither needs a note in a schedule's results.
        if (!found.searched) {
            continue;
        }
        design.notes[i] = found.note;
        if (found.outcome == RowDesign::Outcome::Sized) {
            row->panel.ddText = found.design->panel.ddText;
            row->panel.hrText = found.design->panel.hrText;
            ++design.sized;
        } else if (found.outcome == RowDesign::Outcome::Unmet) {
            ++design.unmet;
        }
    }
    return design;
}

namespace {

bool Taken(const std::vector<RowDesign>& designs, const std::vector<bool>& accepted,
           std::size_t i) {
    return i < designs.size() && i < accepted.size() && accepted[i] &&
           designs[i].outcome == RowDesign::Outcome::Sized;
}

}  // namespace

std::vector<RowDesign> DesignRecords(const std::vector<RecordInputs>& records,
                                     const DesignOptions& options) {
    std::vector<RowDesign> designs;
    designs.reserve(records.size());
    for (const RecordInputs& record : records) {
        designs.push_back(DesignRow(record.panel, record.precision, record.loads, options,
                                    record.decimalSeparator));
    }
    return designs;
}

std::vector<RecordInputs> RecordsWithDesigns(const std::vector<RecordInputs>& records,
                                             const std::vector<RowDesign>& designs,
                                             const std::vector<bool>& accepted, bool append,
                                             std::u16string_view time) {
    std::vector<RecordInputs> result = append ? records : std::vector<RecordInputs>{};
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!Taken(designs, accepted, i)) {
            if (!append) {
                result.push_back(records[i]);
            }
            continue;
        }
        RecordInputs designed = records[i];
        designed.panel.ddText = designs[i].design->panel.ddText;
        designed.panel.hrText = designs[i].design->panel.hrText;
        designed.calculationTime = time;
        result.push_back(std::move(designed));
    }
    return result;
}

std::size_t TakeDesigns(PanelSession& session, const std::vector<RowDesign>& designs,
                        const std::vector<bool>& accepted, bool append, std::u16string_view time) {
    const std::vector<RecordInputs> before = session.Records();
    const std::vector<RecordInputs> after =
        RecordsWithDesigns(before, designs, accepted, append, time);
    std::size_t first = before.size();
    if (!append) {
        session.Clear();
        first = 0;
    }
    std::size_t designed = 0;
    for (std::size_t i = first; i < after.size(); ++i) {
        const RecordInputs& record = after[i];
        const PanelUpdate update =
            session.Compute(record.panel, record.precision, record.decimalSeparator,
                            record.calculationTime, record.mark, record.loads);
        const bool isDesign = append || Taken(designs, accepted, i);
        if (std::holds_alternative<ResultTexts>(update.outcome) && isDesign) {
            ++designed;
        }
    }
    return designed;
}

}  // namespace pile::session
