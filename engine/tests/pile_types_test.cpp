#include "engine/pile_types.h"

#include <gtest/gtest.h>

#include <optional>

namespace pile {
namespace {

constexpr auto kFrk = RockParameterMode::Frk;
constexpr auto kFuk = RockParameterMode::Fuk;

TEST(ListPositions, OnlyPositionsTheListOfThatModeHolds) {
    struct SectionRow {
        int index;
        RockParameterMode mode;
        std::optional<SectionType> type;
    };
    const SectionRow sections[] = {
        {0, kFrk, SectionType::Circle},  {0, kFuk, SectionType::Circle},
        {1, kFuk, SectionType::Ellipse}, {2, kFuk, SectionType::Rectangle},
        {1, kFrk, std::nullopt},         {2, kFrk, std::nullopt},
        {-1, kFuk, std::nullopt},        {3, kFuk, std::nullopt},
    };
    for (const SectionRow& row : sections) {
        EXPECT_EQ(SectionTypeFromIndex(row.index, row.mode), row.type) << row.index;
    }

    struct ProcessRow {
        int index;
        RockParameterMode mode;
        std::optional<ConstructionProcess> process;
    };
    const ProcessRow processes[] = {
        {0, kFrk, ConstructionProcess::DryClean},
        {1, kFrk, ConstructionProcess::MudWall},
        {2, kFrk, ConstructionProcess::MudWallGrouted},
        {0, kFuk, ConstructionProcess::DryClean},
        {1, kFuk, std::nullopt},
        {3, kFrk, std::nullopt},
        {-1, kFrk, std::nullopt},
    };
    for (const ProcessRow& row : processes) {
        EXPECT_EQ(ProcessFromIndex(row.index, row.mode), row.process) << row.index;
    }

    EXPECT_EQ(RockModeFromIndex(0), kFrk);
    EXPECT_EQ(RockModeFromIndex(1), kFuk);
    EXPECT_EQ(RockModeFromIndex(2), std::nullopt);
    EXPECT_EQ(RockModeFromIndex(-1), std::nullopt);
    EXPECT_EQ(ConcreteGradeFromIndex(0), ConcreteGrade::C25);
    EXPECT_EQ(ConcreteGradeFromIndex(7), ConcreteGrade::C60);
    EXPECT_EQ(ConcreteGradeFromIndex(8), std::nullopt);
    EXPECT_EQ(ConcreteGradeFromIndex(-1), std::nullopt);
}

}  // namespace
}  // namespace pile
