// The loads a schedule gives a pile and their checks against the capacities the books print:
// Nk <= Ra, Nkmax <= 1.2 Ra where Nkmax is given, and gamma0 N <= Rc. The checks read Ra and Rc
// back from their printed texts, after the row's precision, so that whoever checks the book by
// hand reaches the same verdict.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "schedule/schedule.h"

namespace pile::session {

// The load cells of one schedule row: Nk, Nkmax, N and γ0 as written.
using schedule::LoadTexts;

struct PileLoads {
    std::optional<double> nk;
    std::optional<double> nkmax;
    std::optional<double> n;
    double gamma0 = schedule::kGamma0Default;
    bool Any() const { return nk || nkmax || n; }
};

// The loads read, or the message of the first cell that cannot be (a load is a finite number
// of at least 0; gamma0 lies from 0.9 to 1.1). Numbers are read with the point or `separator`.
std::variant<PileLoads, std::u16string> ReadLoads(const LoadTexts& texts, char16_t separator);

// Which checks the loads meet against capacities already read back from their printed texts.
struct LoadsMet {
    bool nk = true;     // Nk <= Ra
    bool nkmax = true;  // Nkmax <= 1.2 Ra
    bool n = true;      // gamma0 N <= Rc
    bool All() const { return nk && nkmax && n; }
};
LoadsMet MeetLoads(const PileLoads& loads, double ra, double rc);

struct LoadCheck {
    bool checked = false;  // some load was given
    bool passed = true;
    bool nkFailed = false;     // Nk > Ra
    bool nkmaxFailed = false;  // Nkmax > 1.2 Ra
    bool nFailed = false;      // gamma0 N > Rc
    // Each ratio to two decimals; empty where its load is not given.
    std::u16string nkRatio;     // Nk/Ra
    std::u16string nkmaxRatio;  // Nkmax/1.2Ra
    std::u16string nRatio;      // gamma0 N/Rc
    // "满足", or "不满足（Nk>Ra、γ0N>Rc）" naming each failed check; empty when nothing was
    // checked.
    std::u16string verdict;
};

// `raText` and `rcText` as the result panel and the books print them.
LoadCheck CheckLoads(const PileLoads& loads, std::u16string_view raText, std::u16string_view rcText,
                     char16_t separator);

}  // namespace pile::session
