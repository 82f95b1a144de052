#include "session/panel_layout.h"

#include <charconv>
#include <initializer_list>
#include <string>

#include "engine/number_parse.h"

namespace pile::session {

namespace {

constexpr std::u16string_view kDiameterLabel = u"桩  身   直   径      d (mm)";
constexpr std::u16string_view kStraightLengthLabel = u"椭圆直段长度      c (mm)";
constexpr std::u16string_view kLongSideLabel = u"矩形长边尺寸      a (mm)";
constexpr std::u16string_view kShortSideLabel = u"矩形短边尺寸      b (mm)";
constexpr std::u16string_view kZetaRName = u"嵌岩段侧阻和端阻综合系数 ζr";
constexpr std::u16string_view kBetaName = u"考虑嵌固力影响后承载力系数";
constexpr std::u16string_view kFrkFormula = u"单桩竖向承载力计算依据: 公式 8.4.8-6";
constexpr std::u16string_view kFukFormula = u"单桩竖向承载力计算依据: 公式 8.4.8-4、5";
constexpr std::u16string_view kStartFormula = u"单桩竖向承载力计算依据: 公式 8.7.8-4、5、6";

// "from", "from + step", ... "to".
ListItems NumberItems(int from, int to, int step) {
    ListItems items;
    for (int value = from; value <= to; value += step) {
        char digits[12] = {};  // g++ 12 at -O3 cannot see that to_chars fills it
        const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        items.emplace_back(static_cast<const char*>(digits), end);
    }
    return items;
}

// The multiples of the reference dimension ("1.0d" ... "4.0d"), then millimetres.
ListItems SocketDepthItems(char16_t letter) {
    ListItems items;
    for (const std::u16string_view multiple :
         {u"1.0", u"1.5", u"2.0", u"2.5", u"3.0", u"3.5", u"4.0"}) {
        items.push_back(std::u16string(multiple) + letter);
    }
    for (std::u16string& millimetres : NumberItems(1000, 3000, 500)) {
        items.push_back(std::move(millimetres));
    }
    return items;
}

ListItems SectionItems(RockParameterMode mode) {
    ListItems items;
    for (int index = 0; const auto type = SectionTypeFromIndex(index, mode); ++index) {
        items.emplace_back(SectionTypeText(*type));
    }
    return items;
}

ListItems ProcessItems(RockParameterMode mode) {
    ListItems items;
    for (int index = 0; const auto process = ProcessFromIndex(index, mode); ++index) {
        items.emplace_back(ProcessText(mode, *process));
    }
    return items;
}

}  // namespace

const RockModeLayout& LayoutOf(RockParameterMode mode) {
    static const RockModeLayout frk{
        .sectionItems = SectionItems(RockParameterMode::Frk),
        .rockBox = InputControl::Frk,
        .coefficientName = kZetaRName,
        .formula = kFrkFormula,
        .processItems = ProcessItems(RockParameterMode::Frk),
        .processSelection = static_cast<int>(ConstructionProcess::MudWall),
    };
    static const RockModeLayout fuk{
        .sectionItems = SectionItems(RockParameterMode::Fuk),
        .rockBox = InputControl::Fuk,
        .coefficientName = kBetaName,
        .formula = kFukFormula,
        .processItems = ProcessItems(RockParameterMode::Fuk),
        .processSelection = static_cast<int>(ConstructionProcess::DryClean),
    };
    return mode == RockParameterMode::Frk ? frk : fuk;
}

const SectionLayout& LayoutOf(SectionType type) {
    static const SectionLayout circle{
        .ddLabel = kDiameterLabel,
        .tyzdLabel = kStraightLengthLabel,
        .tyzdEnabled = false,
        .tyzdItems = NumberItems(100, 1200, 100),
        .tyzdSelection = -1,
        .tyzdText = u"0",  // the circle has no straight length; the check lets 0 pass
        .hrItems = SocketDepthItems(u'd'),
    };
    static const SectionLayout ellipse{
        .ddLabel = kDiameterLabel,
        .tyzdLabel = kStraightLengthLabel,
        .tyzdEnabled = true,
        .tyzdItems = NumberItems(100, 1200, 100),
        .tyzdSelection = 4,  // "500"
        .tyzdText = {},
        .hrItems = SocketDepthItems(u'd'),
    };
    static const SectionLayout rectangle{
        .ddLabel = kLongSideLabel,
        .tyzdLabel = kShortSideLabel,
        .tyzdEnabled = true,
        .tyzdItems = NumberItems(1000, 2000, 100),
        .tyzdSelection = 0,  // "1000"
        .tyzdText = {},
        .hrItems = SocketDepthItems(u'b'),
    };
    switch (type) {
        case SectionType::Circle:
            break;
        case SectionType::Ellipse:
            return ellipse;
        case SectionType::Rectangle:
            return rectangle;
    }
    return circle;
}

const ListItems& DimensionItems() {
    static const ListItems items = NumberItems(1000, 2000, 100);
    return items;
}

const ListItems& ConcreteGradeItems() {
    static const ListItems items = [] {
        ListItems grades;
        for (int index = 0; const auto grade = ConcreteGradeFromIndex(index); ++index) {
            grades.emplace_back(ConcreteGradeText(*grade));
        }
        return grades;
    }();
    return items;
}

const ListItems& PrecisionItems() {
    static const ListItems items = [] {
        ListItems modes;
        for (int index = 0; const auto mode = PrecisionModeFromIndex(index); ++index) {
            modes.emplace_back(PrecisionModeText(*mode));
        }
        return modes;
    }();
    return items;
}

std::u16string_view StartFormula() {
    return kStartFormula;
}

StaleResults StaleAfterChange(PanelField field) {
    // The coefficient and Ra hang on the rock and the socket; Rc on the section's size, the
    // concrete and the process alone.
    switch (field) {
        case PanelField::SocketDepth:
        case PanelField::RockMode:
        case PanelField::Frk:
        case PanelField::Fuk:
            return {.coefficient = true, .ra = true, .rc = false};
        case PanelField::ConcreteGrade:
            return {.coefficient = false, .ra = false, .rc = true};
        case PanelField::SectionType:
        case PanelField::Diameter:
        case PanelField::StraightLength:
        case PanelField::Process:
            break;
    }
    return {.coefficient = true, .ra = true, .rc = true};
}

QuickCheckResult QuickCheck(PanelField field, SectionType section, std::u16string_view text,
                            char16_t decimalSeparator) {
    const bool rectangle = section == SectionType::Rectangle;
    bool zeroPasses = true;
    std::u16string_view message;
    switch (field) {
        case PanelField::Diameter:
            zeroPasses = false;
            message = rectangle ? messages::kLongSide : messages::kDiameter;
            break;
        case PanelField::StraightLength:
            message = rectangle ? messages::kShortSide : messages::kStraightLength;
            break;
        case PanelField::Frk:
            message = messages::kFrk;
            break;
        case PanelField::Fuk:
            message = messages::kFuk;
            break;
        default:
            return {};
    }
    const std::optional<double> value = ParseLocaleNumber(text, decimalSeparator);
    const bool passes = value && (zeroPasses ? *value >= 0 : *value > 0);
    if (passes) {
        return {CheckVerdict::Passed, {}};
    }
    return {CheckVerdict::Failed, message};
}

}  // namespace pile::session
