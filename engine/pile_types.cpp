#include "pile_types.h"

namespace pile {

std::optional<SectionType> SectionTypeFromIndex(int index, RockParameterMode mode) {
    // The ellipse and the rectangle are offered only while fuk is the rock value in force.
    switch (index) {
        case 0:
            return SectionType::Circle;
        case 1:
            return mode == RockParameterMode::Fuk ? std::optional(SectionType::Ellipse)
                                                  : std::nullopt;
        case 2:
            return mode == RockParameterMode::Fuk ? std::optional(SectionType::Rectangle)
                                                  : std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<RockParameterMode> RockModeFromIndex(int index) {
    switch (index) {
        case 0:
            return RockParameterMode::Frk;
        case 1:
            return RockParameterMode::Fuk;
        default:
            return std::nullopt;
    }
}

std::optional<ConstructionProcess> ProcessFromIndex(int index, RockParameterMode mode) {
    // In fuk mode the list holds the dry process alone.
    const int count = mode == RockParameterMode::Frk ? 3 : 1;
    if (index < 0 || index >= count) {
        return std::nullopt;
    }
    return static_cast<ConstructionProcess>(index);
}

std::optional<ConcreteGrade> ConcreteGradeFromIndex(int index) {
    if (index < 0 || index > static_cast<int>(ConcreteGrade::C60)) {
        return std::nullopt;
    }
    return static_cast<ConcreteGrade>(index);
}

std::u16string_view SectionTypeText(SectionType type) {
    switch (type) {
        case SectionType::Circle:
            return u"圆桩";
        case SectionType::Ellipse:
            return u"椭圆桩";
        case SectionType::Rectangle:
            return u"矩形桩";
    }
    return {};
}

std::u16string_view ConcreteGradeText(ConcreteGrade grade) {
    switch (grade) {
        case ConcreteGrade::C25:
            return u"C25";
        case ConcreteGrade::C30:
            return u"C30";
        case ConcreteGrade::C35:
            return u"C35";
        case ConcreteGrade::C40:
            return u"C40";
        case ConcreteGrade::C45:
            return u"C45";
        case ConcreteGrade::C50:
            return u"C50";
        case ConcreteGrade::C55:
            return u"C55";
        case ConcreteGrade::C60:
            return u"C60";
    }
    return {};
}

std::u16string_view ProcessText(RockParameterMode mode, ConstructionProcess process) {
    if (mode == RockParameterMode::Fuk) {
        // The fuk-mode list has one item; an index it cannot hold has no text.
        return process == ConstructionProcess::DryClean ? u"干作业成孔且清底干净"
                                                        : std::u16string_view{};
    }
    switch (process) {
        case ConstructionProcess::DryClean:
            return u"干作业成桩(清底干净)";
        case ConstructionProcess::MudWall:
            return u"泥浆护壁成桩";
        case ConstructionProcess::MudWallGrouted:
            return u"泥浆护壁成桩后注浆";
    }
    return {};
}

}  // namespace pile
