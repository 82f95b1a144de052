#include "engine/pile_types.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine_test_support.h"

namespace pile {
namespace {

using test::U8;
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

TEST(ListTexts, AreTheWindowsTexts) {
    EXPECT_EQ(U8(SectionTypeText(SectionType::Circle)), "圆桩");
    EXPECT_EQ(U8(SectionTypeText(SectionType::Ellipse)), "椭圆桩");
    EXPECT_EQ(U8(SectionTypeText(SectionType::Rectangle)), "矩形桩");
    const char* grades[] = {"C25", "C30", "C35", "C40", "C45", "C50", "C55", "C60"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(U8(ConcreteGradeText(static_cast<ConcreteGrade>(i))), grades[i]);
    }
    EXPECT_EQ(U8(ProcessText(kFrk, ConstructionProcess::DryClean)), "干作业成桩(清底干净)");
    EXPECT_EQ(U8(ProcessText(kFrk, ConstructionProcess::MudWall)), "泥浆护壁成桩");
    EXPECT_EQ(U8(ProcessText(kFrk, ConstructionProcess::MudWallGrouted)), "泥浆护壁成桩后注浆");
    EXPECT_EQ(U8(ProcessText(kFuk, ConstructionProcess::DryClean)), "干作业成孔且清底干净");
    EXPECT_EQ(U8(ProcessText(kFuk, ConstructionProcess::MudWall)), "");

    EXPECT_EQ(ControlName(InputControl::Diameter), "cbe_dd");
    EXPECT_EQ(ControlName(InputControl::StraightLength), "cbe_tyzd");
    EXPECT_EQ(ControlName(InputControl::SocketDepth), "cbe_hr");
    EXPECT_EQ(ControlName(InputControl::Frk), "edt_frk");
    EXPECT_EQ(ControlName(InputControl::Fuk), "edt_fuk");
}

}  // namespace
}  // namespace pile
