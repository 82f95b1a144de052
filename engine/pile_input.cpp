#include "pile_input.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "code_tables.h"
#include "engine_internal.h"
#include "number_parse.h"

namespace pile {
namespace {

using internal::AllFinite;

// A dimension passes only when it is above 0 and keeps every quantity derived from the
// dimensions read so far finite, with a section area above 0: d = 1e200 squares to infinity,
// d = 1e-200 to an area of 0. Such a value is refused with that dimension's own message.
bool DiameterValid(double d, double psiC, double fc) {
    if (!(d > 0)) {
        return false;
    }
    const double area = internal::CircleArea(d);
    return AllFinite({area, internal::CirclePerimeter(d), internal::BodyProduct(area, psiC, fc)}) &&
           area > 0;
}

bool StraightLengthValid(double d, double c, double psiC, double fc) {
    if (!(c > 0)) {
        return false;
    }
    const double area = internal::EllipseArea(d, c);
    return AllFinite(
        {area, internal::EllipsePerimeter(d, c), internal::BodyProduct(area, psiC, fc)});
}

// Tested on the short-side box as typed, before the exchange.
bool ShortSideValid(double a, double b, double psiC, double fc) {
    if (!(b > 0)) {
        return false;
    }
    const double area = internal::RectangleArea(a, b);
    return AllFinite(
               {area, internal::RectanglePerimeter(a, b), internal::BodyProduct(area, psiC, fc)}) &&
           area > 0;
}

// Ends the reading: the checks passed so far and a rectangle's exchange stay in the outcome.
ReadOutcome Failed(ReadOutcome out, std::u16string_view message, InputControl control) {
    out.result = ValidationFailure{message, control};
    return out;
}

}  // namespace

const PanelInput& StartPanel() {
    static const PanelInput start{
        .sectionType = SectionType::Circle,
        .rockMode = RockParameterMode::Frk,
        .ddText = u"1000",
        .tyzdText = u"0",
        .hrText = u"1.0d",
        .frkText = u"25",
        .fukText = u"24",
        .concreteGrade = ConcreteGrade::C30,
        .process = ConstructionProcess::MudWall,
    };
    return start;
}

ReadOutcome ReadPileInput(const PanelInput& panel, char16_t decimalSeparator) {
    ReadOutcome out;

    PileInput input;
    input.sectionType = panel.sectionType;
    input.hrText = panel.hrText;
    input.concreteGrade = panel.concreteGrade;
    input.process = panel.process;
    input.rockMode = panel.rockMode;

    // Every box is parsed before any check runs; the straight-length box only for the
    // sections that use it.
    const bool twoDimensions =
        panel.sectionType == SectionType::Ellipse || panel.sectionType == SectionType::Rectangle;
    const double first = ParseLocaleFree(panel.ddText);
    const double second = twoDimensions ? ParseLocaleFree(panel.tyzdText) : 0.0;
    input.frk = ParseLocaleFree(panel.frkText);
    input.fuk = ParseLocaleFree(panel.fukText);

    const double psiC = ProcessFactors(panel.process).psiC;
    const double fc = ConcreteStrength(panel.concreteGrade);

    char16_t letter = u'd';
    double reference = 0;
    // The message and box blamed when hr / reference is not finite: a finite depth over a
    // reference of 1 mm or more cannot overflow, so the reference is at fault.
    std::u16string_view referenceMessage = messages::kDiameter;
    InputControl referenceControl = InputControl::Diameter;

    if (panel.sectionType == SectionType::Rectangle) {
        double a = first;
        double b = second;
        if (!(a > 0)) {
            return Failed(std::move(out), messages::kLongSide, InputControl::Diameter);
        }
        out.passed.push_back(InputControl::Diameter);
        if (!ShortSideValid(a, b, psiC, fc)) {
            return Failed(std::move(out), messages::kShortSide, InputControl::StraightLength);
        }
        out.passed.push_back(InputControl::StraightLength);
        // Equal sides are exchanged too (the boxes are rewritten with the same values). The
        // texts are written with the point, since these boxes are read with the point.
        if (b >= a) {
            std::swap(a, b);
            out.rewritten = RewrittenSides{BoxNumberText(a), BoxNumberText(b)};
        }
        input.a = a;
        input.b = b;
        letter = u'b';
        reference = b;
        referenceMessage = messages::kShortSide;
        referenceControl = InputControl::StraightLength;
    } else {
        if (panel.sectionType != SectionType::Ellipse) {
            // Only the circle is left; a value outside the list is read as one.
            input.sectionType = SectionType::Circle;
        }
        const double d = first;
        if (!DiameterValid(d, psiC, fc)) {
            return Failed(std::move(out), messages::kDiameter, InputControl::Diameter);
        }
        out.passed.push_back(InputControl::Diameter);
        input.d = d;
        if (input.sectionType == SectionType::Ellipse) {
            const double c = second;
            if (!StraightLengthValid(d, c, psiC, fc)) {
                return Failed(std::move(out), messages::kStraightLength,
                              InputControl::StraightLength);
            }
            out.passed.push_back(InputControl::StraightLength);
            input.c = c;
        }
        reference = d;
    }

    const auto depth = ResolveSocketDepth(panel.hrText, letter, reference, decimalSeparator);
    if (!depth) {
        return Failed(std::move(out), messages::kSocketDepth, InputControl::SocketDepth);
    }
    if (!std::isfinite(depth->hr / reference)) {
        return Failed(std::move(out), referenceMessage, referenceControl);
    }
    out.passed.push_back(InputControl::SocketDepth);
    input.hr = depth->hr;
    input.hrIsMultiple = depth->isMultiple;

    out.result = std::move(input);
    return out;
}

std::optional<ValidationFailure> CheckRockValue(const PileInput& input) {
    // Only the value of the mode in force is tested.
    if (input.rockMode == RockParameterMode::Frk) {
        if (!(input.frk > 0)) {
            return ValidationFailure{messages::kFrk, InputControl::Frk};
        }
    } else if (!(input.fuk > 0)) {
        return ValidationFailure{messages::kFuk, InputControl::Fuk};
    }
    return std::nullopt;
}

}  // namespace pile
