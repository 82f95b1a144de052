#include "session/load_check.h"

#include <cmath>

#include "engine/fixed_text.h"
#include "engine/number_parse.h"

namespace pile::session {

namespace {

// The code lets an eccentric load reach 1.2 Ra.
constexpr double kEccentricFactor = 1.2;

std::optional<double> ReadLoad(std::u16string_view text, char16_t separator) {
    const std::optional<double> value = ParseLocaleNumber(text, separator);
    if (!value || !std::isfinite(*value) || *value < 0) {
        return std::nullopt;
    }
    return *value + 0.0;  // no -0
}

std::u16string LoadMessage(std::u16string_view name, std::u16string_view text) {
    return std::u16string(name) + u"「" + std::u16string(text) + u"」应为不小于 0 的数（kN）";
}

// A ratio with two decimals in the program's one number format; "-" where the capacity
// printed is 0 and the load is not.
std::u16string RatioText(double load, double capacity, char16_t separator) {
    if (load == 0) {
        return FixedText(0, 18, 2, separator);
    }
    return FixedText(load / capacity, 18, 2, separator);
}

// load <= limit, where both are products of short decimals: 1.1 x 1000 and 1100 must compare
// equal though binary doubles put them a unit in the last place apart.
bool NotAbove(double load, double limit) {
    return load <= limit + std::abs(limit) * 1e-12;
}

}  // namespace

std::variant<PileLoads, std::u16string> ReadLoads(const LoadTexts& texts, char16_t separator) {
    PileLoads loads;
    const struct {
        std::u16string_view text;
        std::u16string_view name;
        std::optional<double>& value;
    } cells[] = {{texts.nk, u"Nk", loads.nk},
                 {texts.nkmax, u"Nkmax", loads.nkmax},
                 {texts.n, u"N", loads.n}};
    for (const auto& cell : cells) {
        if (cell.text.empty()) {
            continue;
        }
        cell.value = ReadLoad(cell.text, separator);
        if (!cell.value) {
            return LoadMessage(cell.name, cell.text);
        }
    }
    if (!texts.gamma0.empty()) {
        const std::optional<double> gamma = ParseLocaleNumber(texts.gamma0, separator);
        if (!gamma || !(*gamma >= schedule::kGamma0Min && *gamma <= schedule::kGamma0Max)) {
            return u"γ0「" + texts.gamma0 + u"」应在 " + schedule::Gamma0Range() + u" 之间";
        }
        loads.gamma0 = *gamma;
    }
    return loads;
}

LoadsMet MeetLoads(const PileLoads& loads, double ra, double rc) {
    LoadsMet met;
    met.nk = !loads.nk || NotAbove(*loads.nk, ra);
    met.nkmax = !loads.nkmax || NotAbove(*loads.nkmax, kEccentricFactor * ra);
    met.n = !loads.n || NotAbove(loads.gamma0 * *loads.n, rc);
    return met;
}

LoadCheck CheckLoads(const PileLoads& loads, std::u16string_view raText, std::u16string_view rcText,
                     char16_t separator) {
    LoadCheck check;
    if (!loads.Any()) {
        return check;
    }
    check.checked = true;
    // A printed capacity that does not read back (never, for the engine's own texts) fails
    // every check rather than passing one.
    const double ra = ParseLocaleNumber(raText, separator).value_or(0);
    const double rc = ParseLocaleNumber(rcText, separator).value_or(0);
    const LoadsMet met = MeetLoads(loads, ra, rc);
    if (loads.nk) {
        check.nkRatio = RatioText(*loads.nk, ra, separator);
    }
    if (loads.nkmax) {
        check.nkmaxRatio = RatioText(*loads.nkmax, kEccentricFactor * ra, separator);
    }
    if (loads.n) {
        check.nRatio = RatioText(loads.gamma0 * *loads.n, rc, separator);
    }
    check.nkFailed = !met.nk;
    check.nkmaxFailed = !met.nkmax;
    check.nFailed = !met.n;
    check.passed = met.All();
    std::u16string failed;
    for (const auto& [flag, name] :
         {std::pair{check.nkFailed, u"Nk>Ra"}, std::pair{check.nkmaxFailed, u"Nkmax>1.2Ra"},
          std::pair{check.nFailed, u"γ0N>Rc"}}) {
        if (flag) {
            failed += (failed.empty() ? u"" : u"、") + std::u16string(name);
        }
    }
    check.verdict = check.passed ? u"满足" : u"不满足（" + failed + u"）";
    return check;
}

}  // namespace pile::session
