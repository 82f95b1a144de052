// Data flow of one calculation, from the panel to the books:
//
//   panel texts and list positions (PanelInput)
//     -> ReadPileInput: parse, check in a fixed order, exchange a rectangle's sides
//     -> Calculate{Circular,Elliptical,Rectangular}Pile: shape-ratio and rock checks,
//        coefficient lookups (code_tables.h), capacities          => PileResult
//     -> FixedText / PrecisionText: every number the program writes
//     -> the two calculation books (books/)
//
// The first failed check ends the road with a ValidationFailure: a fixed message and the
// input box to turn red. Nothing here reads global state: the user's decimal separator comes
// in as an argument, and every text is UTF-16 because the book columns count UTF-16 code units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pile {

// Item index of the section-type list.
enum class SectionType { Circle = 0, Ellipse = 1, Rectangle = 2 };

// Which rock value is in force; the books test the numeric values 0 and 1.
enum class RockParameterMode { Frk = 0, Fuk = 1 };

// Item index of the construction-process list. In fuk mode the list holds only item 0.
enum class ConstructionProcess { DryClean = 0, MudWall = 1, MudWallGrouted = 2 };

// Item index of the concrete-grade list, "C25" to "C60".
enum class ConcreteGrade { C25 = 0, C30, C35, C40, C45, C50, C55, C60 };

// List positions as the window reports them (-1 for no selection) turned into the enums;
// nullopt for a position that the list of that mode cannot hold.
std::optional<SectionType> SectionTypeFromIndex(int index, RockParameterMode mode);
std::optional<RockParameterMode> RockModeFromIndex(int index);
std::optional<ConstructionProcess> ProcessFromIndex(int index, RockParameterMode mode);
std::optional<ConcreteGrade> ConcreteGradeFromIndex(int index);

// The list texts behind the enums, as the window shows them and the books print them.
std::u16string_view SectionTypeText(SectionType type);       // "圆桩", "椭圆桩", "矩形桩"
std::u16string_view ConcreteGradeText(ConcreteGrade grade);  // "C25" ... "C60"
std::u16string_view ProcessText(RockParameterMode mode, ConstructionProcess process);

// The input boxes a failed check can turn red.
enum class InputControl { Diameter, StraightLength, SocketDepth, Frk, Fuk };

// A failed input check: its fixed message and the box to turn red.
struct ValidationFailure {
    std::u16string_view message;
    InputControl control;
    friend bool operator==(const ValidationFailure&, const ValidationFailure&) = default;
};

// The fixed messages of the checks.
namespace messages {
inline constexpr std::u16string_view kDiameter = u"桩身直径数据有错";
inline constexpr std::u16string_view kStraightLength = u"椭圆直段长度数据有错";
inline constexpr std::u16string_view kLongSide = u"矩形长边尺寸数据有错";
inline constexpr std::u16string_view kShortSide = u"矩形短边尺寸数据有错";
inline constexpr std::u16string_view kSocketDepth = u"嵌岩深度数据有错";
inline constexpr std::u16string_view kEllipseRatio = u"超出范围，限制条件0.2≤c/d≤2.0";
inline constexpr std::u16string_view kRectangleRatio = u"超出范围，限制条件0.5≤b/a≤1.0";
inline constexpr std::u16string_view kFrk = u"岩石单轴抗压强度值有错";
inline constexpr std::u16string_view kFuk = u"桩端地基极限承载力值有错";
}  // namespace messages

// All inputs of one calculation, read and checked; read-only afterwards. Lengths in mm,
// stresses in MPa. The dimensions a section does not use stay 0.
struct PileInput {
    SectionType sectionType = SectionType::Circle;
    double d = 0;               // diameter (circle, ellipse)
    double c = 0;               // straight length (ellipse)
    double a = 0;               // long side (rectangle, after the exchange)
    double b = 0;               // short side (rectangle, after the exchange)
    std::u16string hrText;      // socket depth exactly as typed; the books print it
    bool hrIsMultiple = false;  // typed as a multiple of d (or b), such as "1.5d"
    double hr = 0;              // resolved socket depth, never negative
    ConcreteGrade concreteGrade = ConcreteGrade::C30;
    ConstructionProcess process = ConstructionProcess::MudWall;
    RockParameterMode rockMode = RockParameterMode::Frk;
    double frk = 0;
    double fuk = 0;
};

}  // namespace pile
