#include "session/panel_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/utf_text.h"
#include "testing/row_name.h"

namespace pile::session {
namespace {

using pile::test::PrintTo;
using enum InputControl;
constexpr RockParameterMode kFrk = RockParameterMode::Frk;
constexpr RockParameterMode kFuk = RockParameterMode::Fuk;

constexpr std::u16string_view kTime = u"2024/5/6 14:03:27";

std::string U8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

// "-" for the style's own colour, "k" black, "r" red.
std::string Colour(const std::optional<TextColour>& colour) {
    return !colour ? "-" : *colour == TextColour::Black ? "k" : "r";
}

// ------------------------------------------------------------------ cascades of the inputs

struct CascadeRow {
    const char* name;
    std::function<void(PanelModel&)> events;
    int sectionItems;
    int section;
    const char* tyzd;  // its text, then its colour
    const char* tyzdColour;
    const char* hr;
    int process;
    const char* dd;
    const char* ddColour;
    const char* message;  // "" and shown, or "(hidden)"
};

class PanelCascade : public testing::TestWithParam<CascadeRow> {};

TEST_P(PanelCascade, LeavesThePanelSo) {
    const CascadeRow& row = GetParam();
    PanelModel model;
    row.events(model);
    const PanelView& view = model.View();
    EXPECT_EQ(static_cast<int>(view.sectionItems.size()), row.sectionItems);
    EXPECT_EQ(view.section, row.section);
    EXPECT_EQ(U8(view.Box(StraightLength).text), row.tyzd);
    EXPECT_EQ(Colour(view.Box(StraightLength).colour), row.tyzdColour);
    EXPECT_EQ(U8(view.Box(SocketDepth).text), row.hr);
    EXPECT_EQ(view.process, row.process);
    EXPECT_EQ(U8(view.Box(Diameter).text), row.dd);
    EXPECT_EQ(Colour(view.Box(Diameter).colour), row.ddColour);
    EXPECT_EQ(view.messageShown ? U8(view.message) : "(hidden)", row.message);
    EXPECT_FALSE(view.resultShown);
}

INSTANTIATE_TEST_SUITE_P(
    Events, PanelCascade,
    testing::Values(CascadeRow{"StartPanel", [](PanelModel&) {}, 1, 0, "0", "-", "1.0d", 1, "1000",
                               "-", "(hidden)"},
                    // The circle's "0" is unchanged: no check runs on it.
                    CascadeRow{"FukKeepsTheCircleAndPicksDryClean",
                               [](PanelModel& m) { m.ChooseMode(kFuk); }, 3, 0, "0", "-", "1.0d", 0,
                               "1000", "-", "(hidden)"},
                    CascadeRow{"EllipseStartsAt500Checked",
                               [](PanelModel& m) {
                                   m.ChooseMode(kFuk);
                                   m.ChooseSection(1);
                               },
                               3, 1, "500", "k", "1.0d", 0, "1000", "-", "(hidden)"},
                    CascadeRow{"RectangleTakesSidesOfBAndSocketInB",
                               [](PanelModel& m) {
                                   m.ChooseMode(kFuk);
                                   m.ChooseSection(2);
                               },
                               3, 2, "1000", "k", "1.0b", 0, "1000", "-", "(hidden)"},
                    CascadeRow{"FrkAgainLaysOutTheCircle",
                               [](PanelModel& m) {
                                   m.ChooseMode(kFuk);
                                   m.ChooseSection(2);
                                   m.ChooseMode(kFrk);
                               },
                               1, 0, "0", "k", "1.0d", 1, "1000", "-", "(hidden)"},
                    CascadeRow{"SectionChangePutsTheProcessBack",
                               [](PanelModel& m) {
                                   m.ChooseMode(kFuk);
                                   m.PickProcess(2);
                                   m.ChooseSection(1);
                               },
                               3, 1, "500", "k", "1.0d", 0, "1000", "-", "(hidden)"},
                    CascadeRow{"SocketDepthTypedGoesWithTheSection",
                               [](PanelModel& m) {
                                   m.ChooseMode(kFuk);
                                   m.CommitText(SocketDepth, u"2500");
                                   m.ChooseSection(1);
                               },
                               3, 1, "500", "k", "1.0d", 0, "1000", "-", "(hidden)"},
                    CascadeRow{"FailedQuickCheckInRed",
                               [](PanelModel& m) { m.CommitText(Diameter, u"abc"); }, 1, 0, "0",
                               "-", "1.0d", 1, "abc", "r", "桩身直径数据有错"},
                    CascadeRow{"RectangleNamesItsLongSide",
                               [](PanelModel& m) {
                                   m.ChooseMode(kFuk);
                                   m.ChooseSection(2);
                                   m.CommitText(Diameter, u"0");
                               },
                               3, 2, "1000", "k", "1.0b", 0, "0", "r", "矩形长边尺寸数据有错"},
                    // A passed check empties the message; the label stays in place of the logo.
                    CascadeRow{"PassedCheckEmptiesTheMessage",
                               [](PanelModel& m) {
                                   m.CommitText(Diameter, u"abc");
                                   m.ChooseMode(kFuk);
                                   m.ChooseSection(1);
                               },
                               3, 1, "500", "k", "1.0d", 0, "abc", "r", ""},
                    CascadeRow{"AnUnchangedTextIsNoCommit",
                               [](PanelModel& m) { m.CommitText(Diameter, u"1000"); }, 1, 0, "0",
                               "-", "1.0d", 1, "1000", "-", "(hidden)"},
                    CascadeRow{"AnItemOutsideTheListChangesNothing",
                               [](PanelModel& m) {
                                   m.ChooseSection(1);  // frk offers the circle alone
                                   m.PickProcess(7);
                               },
                               1, 0, "0", "-", "1.0d", 1, "1000", "-", "(hidden)"}),
    pile::test::RowName{});

TEST(PanelModel, ModeSwitchSetsTheRockBoxTheNameAndTheFormula) {
    PanelModel model;
    EXPECT_EQ(U8(model.View().formula), U8(StartFormula()));
    model.ChooseMode(kFuk);
    EXPECT_EQ(model.View().rockBox, InputControl::Fuk);
    EXPECT_EQ(U8(model.View().coefficientName), U8(LayoutOf(kFuk).coefficientName));
    EXPECT_EQ(U8(model.View().formula), U8(LayoutOf(kFuk).formula));
    EXPECT_EQ(model.Input().process, ConstructionProcess::DryClean);
}

// ------------------------------------------------------------------ what makes results stale

struct StaleRow {
    const char* name;
    std::function<void(PanelModel&)> change;
    bool coefficientKept;
    bool raKept;
    bool rcKept;
};

class PanelStale : public testing::TestWithParam<StaleRow> {};

TEST_P(PanelStale, EmptiesTheStaleResultsAndBringsComputeBack) {
    const StaleRow& row = GetParam();
    PanelSession session;
    PanelModel model;
    model.Compute(session, u'.', kTime);
    ASSERT_TRUE(model.View().resultShown);
    row.change(model);
    EXPECT_EQ(!model.View().coefficient.empty(), row.coefficientKept);
    EXPECT_EQ(!model.View().ra.empty(), row.raKept);
    EXPECT_EQ(!model.View().rc.empty(), row.rcKept);
    EXPECT_EQ(model.View().resultShown, row.coefficientKept && row.raKept && row.rcKept);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PanelStale,
    testing::Values(
        StaleRow{"Grade", [](PanelModel& m) { m.PickGrade(3); }, true, true, false},
        StaleRow{"SocketDepth", [](PanelModel& m) { m.CommitText(SocketDepth, u"2.0d"); }, false,
                 false, true},
        StaleRow{"Frk", [](PanelModel& m) { m.CommitText(Frk, u"30"); }, false, false, true},
        StaleRow{"Process", [](PanelModel& m) { m.PickProcess(0); }, false, false, false},
        StaleRow{"Mode", [](PanelModel& m) { m.ChooseMode(kFuk); }, false, false, false},
        StaleRow{"NewBooks", [](PanelModel& m) { m.NewBooks(); }, false, false, false},
        // Typed and not committed: nothing goes until it is committed.
        StaleRow{"Typed", [](PanelModel& m) { m.TakeTyped(Frk, u"30"); }, true, true, true},
        StaleRow{"TypedThenCommitted",
                 [](PanelModel& m) {
                     m.TakeTyped(Frk, u"30");
                     m.CommitText(Frk, u"30");
                 },
                 false, false, true},
        StaleRow{"Unchanged", [](PanelModel& m) { m.PickGrade(1); }, true, true, true}),
    pile::test::RowName{});

// ------------------------------------------------------------------ compute

TEST(PanelModel, ComputeShowsTheResultsAndTheRockClassInBlack) {
    PanelSession session;
    PanelModel model;
    model.TogglePrecision();
    model.Compute(session, u'.', kTime);
    const PanelView& view = model.View();
    EXPECT_EQ(U8(view.ra), "8410");
    EXPECT_EQ(U8(view.message), "较软岩");
    EXPECT_EQ(view.messageColour, TextColour::Black);
    EXPECT_TRUE(view.resultShown);
    EXPECT_FALSE(view.precisionShown);
    EXPECT_EQ(Colour(view.Box(Frk).colour), "k");
    EXPECT_EQ(session.Records().size(), 1U);
}

TEST(PanelModel, AFailedCheckIsRedAndKeepsCompute) {
    PanelSession session;
    PanelModel model;
    model.CommitText(SocketDepth, u"abc");  // no quick check for the socket
    EXPECT_FALSE(model.View().messageShown);
    model.Compute(session, u'.', kTime);
    const PanelView& view = model.View();
    EXPECT_EQ(U8(view.message), U8(messages::kSocketDepth));
    EXPECT_EQ(view.messageColour, TextColour::Red);
    EXPECT_EQ(Colour(view.Box(SocketDepth).colour), "r");
    EXPECT_EQ(Colour(view.Box(Diameter).colour), "k");  // passed before it
    EXPECT_FALSE(view.resultShown);
    EXPECT_TRUE(session.Records().empty());
}

TEST(PanelModel, TheRectanglesExchangeIsWrittenIntoTheBoxes) {
    PanelSession session;
    PanelModel model;
    model.ChooseMode(kFuk);
    model.ChooseSection(2);
    model.CommitText(Diameter, u"800");
    model.Compute(session, u'.', kTime);
    EXPECT_EQ(U8(model.View().Box(Diameter).text), "1000");
    EXPECT_EQ(U8(model.View().Box(StraightLength).text), "800");
    EXPECT_TRUE(model.View().resultShown);
}

// ------------------------------------------------------------------ the precision pop-up

struct PrecisionRow {
    const char* name;
    bool shown;
    PrecisionMode pick;
    bool calculates;
};

class PanelPrecision : public testing::TestWithParam<PrecisionRow> {};

TEST_P(PanelPrecision, APickInTheShownPopUpIsACalculation) {
    const PrecisionRow& row = GetParam();
    PanelModel model;
    if (row.shown) {
        model.TogglePrecision();
    }
    EXPECT_EQ(model.PickPrecision(row.pick), row.calculates);
    EXPECT_EQ(model.View().precision, row.pick);
    EXPECT_EQ(model.View().precisionShown, row.shown);
}

INSTANTIATE_TEST_SUITE_P(Picks, PanelPrecision,
                         testing::Values(PrecisionRow{"Shown", true, PrecisionMode::Tens, true},
                                         PrecisionRow{"Hidden", false, PrecisionMode::Tens, false},
                                         PrecisionRow{"ShownUnchanged", true, kStartPrecision,
                                                      false}),
                         pile::test::RowName{});

// ------------------------------------------------------------------ the books' actions

TEST(PanelModel, DeleteLastLeavesThePanelAsItIs) {
    PanelSession session;
    PanelModel model;
    model.Compute(session, u'.', kTime);
    model.PickGrade(4);
    model.Compute(session, u'.', kTime);
    const PanelView before = model.View();
    model.DeleteLast(session);
    EXPECT_EQ(model.View(), before);
    EXPECT_EQ(session.Records().size(), 1U);
}

TEST(PanelModel, ARecordShownStandsAsAfterItsCompute) {
    PanelSession session;
    PanelModel computed;
    computed.ChooseMode(kFuk);
    computed.ChooseSection(1);
    computed.CommitText(StraightLength, u"800");
    computed.PickGrade(2);
    computed.PickProcess(2);
    computed.TogglePrecision();
    computed.PickPrecision(PrecisionMode::TwoDecimals);
    computed.Compute(session, u'.', kTime);

    PanelModel shown;
    shown.TogglePrecision();
    shown.ShowLastRecord(session);
    EXPECT_EQ(shown.Input().sectionType, SectionType::Ellipse);
    EXPECT_EQ(U8(shown.Input().tyzdText), "800");
    EXPECT_EQ(shown.View().grade, computed.View().grade);
    EXPECT_EQ(shown.View().process, computed.View().process);
    EXPECT_EQ(shown.View().precision, PrecisionMode::TwoDecimals);
    EXPECT_EQ(U8(shown.View().ra), U8(computed.View().ra));
    EXPECT_EQ(U8(shown.View().rc), U8(computed.View().rc));
    EXPECT_TRUE(shown.View().resultShown);
    EXPECT_FALSE(shown.View().precisionShown);
    EXPECT_EQ(session.Records().size(), 1U);  // no record more
}

}  // namespace
}  // namespace pile::session
