// What the input panel looks like for a rock mode and for a section type, and what a change of
// each input does to the result panel: data that every front end applies the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/fixed_text.h"
#include "engine/pile_types.h"

namespace pile::session {

using ListItems = std::vector<std::u16string>;

// The controls that follow the rock mode (rdb_frk, rdb_fuk).
struct RockModeLayout {
    ListItems sectionItems;               // cbb_jmlx, item 0 selected
    InputControl rockBox;                 // the rock-value box enabled; the other one is disabled
    std::u16string_view coefficientName;  // lb_kesair
    std::u16string_view formula;          // lb_tiaowen
    ListItems processItems;               // cbb_czgy
    int processSelection = 0;
};
const RockModeLayout& LayoutOf(RockParameterMode mode);

// The controls that follow the section type (cbb_jmlx).
struct SectionLayout {
    std::u16string_view ddLabel;    // lb_dd
    std::u16string_view tyzdLabel;  // lb_tyzd
    bool tyzdEnabled = false;       // lb_tyzd and cbe_tyzd
    ListItems tyzdItems;            // cbe_tyzd
    int tyzdSelection = -1;         // the item selected; -1: none, the box shows tyzdText
    std::u16string_view tyzdText;
    ListItems hrItems;  // cbe_hr, item 0 selected
};
const SectionLayout& LayoutOf(SectionType type);

// The lists and texts that no change reshapes.
const ListItems& DimensionItems();      // cbe_dd; cbe_tyzd too until the first reshaping
const ListItems& ConcreteGradeItems();  // cbb_hnt, in ConcreteGrade order
const ListItems& PrecisionItems();      // popbox_jingdu, in PrecisionMode order
// lb_tiaowen from the start until the rock mode or the section type is first applied.
std::u16string_view StartFormula();

// The inputs of the panel, each with a change handler of its own.
enum class PanelField {
    SectionType,     // cbb_jmlx
    Diameter,        // cbe_dd
    StraightLength,  // cbe_tyzd
    SocketDepth,     // cbe_hr
    ConcreteGrade,   // cbb_hnt
    Process,         // cbb_czgy
    RockMode,        // rdb_frk, rdb_fuk
    Frk,             // edt_frk
    Fuk,             // edt_fuk
};

// The result boxes whose value a change makes stale; the handler empties them.
struct StaleResults {
    bool coefficient = false;  // edt_kesair
    bool ra = false;           // edt_ra
    bool rc = false;           // edt_rc
    friend bool operator==(const StaleResults&, const StaleResults&) = default;
};
StaleResults StaleAfterChange(PanelField field);

// The quick check of a committed text: looser than the checks of "计算", and only for the four
// boxes that have one. The text is read in the user's number format (ParseLocaleNumber). A failed
// check names what the box holds for `section`, in the words "计算" uses for the same box: a
// rectangle's long side in cbe_dd is its long side, not a diameter.
enum class CheckVerdict { NotChecked, Passed, Failed };
struct QuickCheckResult {
    CheckVerdict verdict = CheckVerdict::NotChecked;
    std::u16string_view message;  // when Failed: the text for the message label
};
QuickCheckResult QuickCheck(PanelField field, SectionType section, std::u16string_view text,
                            char16_t decimalSeparator);

}  // namespace pile::session
