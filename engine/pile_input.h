// Reading one pile from the panel's texts and list positions, with the checks in their fixed
// order: dimensions, socket depth (then, in the calculations, shape ratio and rock value).
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "pile_types.h"

namespace pile {

// The panel as the compute action finds it.
struct PanelInput {
    SectionType sectionType = SectionType::Circle;
    RockParameterMode rockMode = RockParameterMode::Frk;
    std::u16string ddText;    // cbe_dd: d, or the rectangle's long side as typed
    std::u16string tyzdText;  // cbe_tyzd: c, or the rectangle's short side as typed
    std::u16string hrText;    // cbe_hr
    std::u16string frkText;   // edt_frk
    std::u16string fukText;   // edt_fuk
    ConcreteGrade concreteGrade = ConcreteGrade::C30;
    ConstructionProcess process = ConstructionProcess::MudWall;
};

// The panel as the window starts: frk mode, a circle of 1000 with its second box at "0",
// "1.0d", frk 25 and fuk 24, C30, the mud wall process.
const PanelInput& StartPanel();

// The rectangle's sides after the exchange, as they are to be written back into the boxes.
struct RewrittenSides {
    std::u16string ddText;    // the long side a
    std::u16string tyzdText;  // the short side b
};

struct ReadOutcome {
    std::variant<PileInput, ValidationFailure> result;
    // Set when the rectangle's sides were exchanged (b >= a), even when a later check fails.
    std::optional<RewrittenSides> rewritten;
    // The boxes whose checks passed, in order; each passed check turns its box black and
    // clears the message label.
    std::vector<InputControl> passed;
};

// Parses d/c/a/b, frk and fuk with ParseLocaleFree and runs the dimension and socket-depth
// checks. A dimension must also keep every quantity derived from it finite and the section
// area above 0; a value that does not is refused with that dimension's message.
ReadOutcome ReadPileInput(const PanelInput& panel, char16_t decimalSeparator);

// frk > 0 in frk mode, fuk > 0 in fuk mode; the other value is not tested.
std::optional<ValidationFailure> CheckRockValue(const PileInput& input);

}  // namespace pile
