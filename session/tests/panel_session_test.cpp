#include "session/panel_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "engine/utf_text.h"
#include "testing/panels.h"
#include "testing/row_name.h"

namespace pile::session {
namespace {

using pile::test::Panel;
using pile::test::PrintTo;
using enum SectionType;
using enum RockParameterMode;

constexpr std::u16string_view kTime = u"2024/5/6 14:03:27";

std::string U8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

const ResultTexts& Results(const PanelUpdate& update) {
    const auto* results = std::get_if<ResultTexts>(&update.outcome);
    if (results == nullptr) {
        ADD_FAILURE() << "refused: " << U8(std::get<ValidationFailure>(update.outcome).message);
        static const ResultTexts kNone;
        return kNone;
    }
    return *results;
}

// ------------------------------------------------------------------ the result panel

struct ShownRow {
    const char* name;
    Panel panel;
    PrecisionMode precision;
    char16_t separator;
    // What the panel shows: the coefficient, Ra, Rc, the message label, cbe_dd, cbe_tyzd.
    const char* coefficient;
    const char* ra;
    const char* rc;
    const char* rockClass;  // "" in fuk mode: no rock class
    const char* dd;
    const char* tyzd;
};

class ComputeShows : public testing::TestWithParam<ShownRow> {};

TEST_P(ComputeShows, TheResultTextsAndAppendsOneRecord) {
    const ShownRow& row = GetParam();
    PanelSession session;
    const PanelUpdate update =
        session.Compute(row.panel.Input(), row.precision, row.separator, kTime);
    const ResultTexts& shown = Results(update);
    EXPECT_EQ(U8(shown.coefficient), row.coefficient);
    EXPECT_EQ(U8(shown.ra), row.ra);
    EXPECT_EQ(U8(shown.rc), row.rc);
    EXPECT_EQ(shown.rockClass ? U8(*shown.rockClass) : "", row.rockClass);
    EXPECT_EQ(U8(shown.coefficientName),
              row.panel.mode == Frk ? "嵌岩段侧阻和端阻综合系数 ζr" : "考虑嵌固力影响后承载力系数");
    EXPECT_EQ(U8(update.ddText), row.dd);
    EXPECT_EQ(U8(update.tyzdText), row.tyzd);

    EXPECT_EQ(session.PileCounter(), 1);
    EXPECT_EQ(session.UnsavedBookFlags(), 3);
    // The first record is the whole of both books.
    EXPECT_EQ(update.booksChange.table, (BookChange{0, 0, session.Lines(Book::Table).size()}));
    EXPECT_EQ(update.booksChange.text, (BookChange{0, 0, session.Lines(Book::Text).size()}));
}

using enum PrecisionMode;

INSTANTIATE_TEST_SUITE_P(
    Panels, ComputeShows,
    testing::Values(
        ShownRow{"StartPanel", Panel{}, Units, u'.', "0.8567", "8410", "7862", "较软岩", "1000",
                 "0"},
        ShownRow{"DryProcessFrk", Panel{.process = ConstructionProcess::DryClean}, Units, u'.',
                 "1.0280", "10092", "10108", "较软岩", "1000", "0"},
        ShownRow{"ClampedSoftRock", Panel{.dd = u"800", .hr = u"10d", .frk = u"10"}, Units, u'.',
                 "1.7000", "4273", "5032", "软岩", "800", "0"},
        ShownRow{"FukCircle", Panel{.mode = Fuk}, Units, u'.', "1.3260", "8332", "10108", "",
                 "1000", "0"},
        ShownRow{"FukShallowSocket", Panel{.mode = Fuk, .hr = u"300"}, Units, u'.', "1.0000",
                 "6283", "10108", "", "1000", "0"},
        ShownRow{"Ellipse", Panel{.section = Ellipse, .mode = Fuk, .tyzd = u"1000", .hr = u"1.5d"},
                 TwoDecimals, u'.', "1.3356", "19076.62", "22978.07", "", "1000", "1000"},
        ShownRow{
            "RectangleSidesExchanged",
            Panel{.section = Rectangle, .mode = Fuk, .dd = u"800", .tyzd = u"1000", .hr = u"1.5b"},
            Units, u'.', "1.3620", "8717", "10296", "", "1000", "800"},
        ShownRow{"TwoDecimals", Panel{}, TwoDecimals, u'.', "0.8567", "8410.31", "7861.84",
                 "较软岩", "1000", "0"},
        ShownRow{"TensCutDown", Panel{}, Tens, u'.', "0.8567", "8410", "7860", "较软岩", "1000",
                 "0"},
        ShownRow{"DecimalComma", Panel{}, TwoDecimals, u',', "0,8567", "8410,31", "7861,84",
                 "较软岩", "1000", "0"}),
    pile::test::RowName{});

TEST(Compute, TheBooksPrintTheSidesAfterTheExchange) {
    PanelSession session;
    session.Compute(
        Panel{.section = Rectangle, .mode = Fuk, .dd = u"800", .tyzd = u"1000", .hr = u"1.5b"}
            .Input(),
        Units, u'.', kTime);
    const BookLines& text = session.Lines(Book::Text);
    EXPECT_NE(
        std::find(text.begin(), text.end(), u"      矩形长边尺寸a:                     1000 mm"),
        text.end());
    EXPECT_NE(
        std::find(text.begin(), text.end(), u"      矩形短边尺寸b:                      800 mm"),
        text.end());
}

TEST(Compute, EachCalculationIsOneRecordMoreInItsOwnPrecision) {
    PanelSession session;
    session.Compute(test::StartPanel(), Units, u'.', u"t1");
    const PanelUpdate second = session.Compute(test::StartPanel(), Tens, u'.', u"t2");
    EXPECT_EQ(session.PileCounter(), 2);
    EXPECT_EQ(U8(Results(second).rc), "7860");
    // The second record replaces the footer and the time line, nothing before them.
    EXPECT_EQ(second.booksChange.table.position, session.Lines(Book::Table).size() - 5);
    EXPECT_EQ(second.booksChange.table.removed, 4u);
    EXPECT_EQ(U8(session.Lines(Book::Text).back()), "计算时间：t2");
}

// ------------------------------------------------------------------ failed checks

struct FailRow {
    const char* name;
    Panel panel;
    std::u16string_view message;
    InputControl control;
};

class ComputeRefuses : public testing::TestWithParam<FailRow> {};

TEST_P(ComputeRefuses, WithTheMessageAndTheBoxAndLeavesTheBooks) {
    const FailRow& row = GetParam();
    PanelSession session;
    session.Compute(test::StartPanel(), Units, u'.', kTime);
    const BookLines table = session.Lines(Book::Table);
    const BookLines text = session.Lines(Book::Text);
    session.MarkSaved(Book::Text);

    const PanelUpdate update = session.Compute(row.panel.Input(), Units, u'.', u"later");
    const auto* failure = std::get_if<ValidationFailure>(&update.outcome);
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(U8(failure->message), U8(row.message));
    EXPECT_EQ(failure->control, row.control);
    EXPECT_EQ(update.booksChange.table, BookChange{});
    EXPECT_EQ(update.booksChange.text, BookChange{});
    EXPECT_EQ(session.PileCounter(), 1);
    EXPECT_EQ(session.UnsavedBookFlags(), 2);
    EXPECT_EQ(session.Lines(Book::Table), table);
    EXPECT_EQ(session.Lines(Book::Text), text);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ComputeRefuses,
    testing::Values(
        FailRow{"FrkZero", Panel{.frk = u"0"}, messages::kFrk, InputControl::Frk},
        FailRow{"DiameterBeforeDepth", Panel{.dd = u"abc", .hr = u"x"}, messages::kDiameter,
                InputControl::Diameter},
        FailRow{"UpperCaseD", Panel{.hr = u"1.5D"}, messages::kSocketDepth,
                InputControl::SocketDepth},
        FailRow{"FukZero", Panel{.mode = Fuk, .fuk = u"0"}, messages::kFuk, InputControl::Fuk},
        FailRow{"EllipseRatio", Panel{.section = Ellipse, .mode = Fuk, .tyzd = u"100"},
                messages::kEllipseRatio, InputControl::StraightLength},
        FailRow{"RectangleLongSide", Panel{.section = Rectangle, .mode = Fuk, .dd = u""},
                messages::kLongSide, InputControl::Diameter}),
    pile::test::RowName{});

// The exchange stands and is reported although the socket depth then fails: the window writes
// the boxes anyway.
TEST(Compute, RectangleExchangeStandsWhenALaterCheckFails) {
    PanelSession session;
    const PanelUpdate update = session.Compute(
        Panel{.section = Rectangle, .mode = Fuk, .dd = u"800", .tyzd = u"1000", .hr = u"1.5d"}
            .Input(),
        Units, u'.', kTime);
    ASSERT_TRUE(std::holds_alternative<ValidationFailure>(update.outcome));
    EXPECT_TRUE(update.sidesRewritten);
    EXPECT_EQ(U8(update.ddText), "1000");
    EXPECT_EQ(U8(update.tyzdText), "800");
    EXPECT_EQ(update.passed, (std::vector{InputControl::Diameter, InputControl::StraightLength}));
    EXPECT_EQ(session.PileCounter(), 0);
}

TEST(Compute, UnchangedSidesAreReportedAsTyped) {
    PanelSession session;
    const PanelUpdate update =
        session.Compute(Panel{.dd = u" 1000 ", .tyzd = u"0"}.Input(), Units, u'.', kTime);
    EXPECT_FALSE(update.sidesRewritten);
    EXPECT_EQ(U8(update.ddText), " 1000 ");
    EXPECT_EQ(U8(update.tyzdText), "0");
}

// ------------------------------------------------------------------ the book screen

TEST(BookOnShow, StartsWithTheTextBookAndSwitchesBackAndForth) {
    PanelSession session;
    EXPECT_EQ(session.BookOnShow(), Book::Text);
    EXPECT_EQ(session.SwitchBook(), Book::Table);
    EXPECT_EQ(session.BookOnShow(), Book::Table);
    EXPECT_EQ(session.SwitchBook(), Book::Text);
}

TEST(BookOnShow, SavesTakeOffOneBookEachAndACalculationPutsBothBack) {
    PanelSession session;
    EXPECT_FALSE(session.HasUnsavedRecords(Book::Text));
    session.Compute(test::StartPanel(), Units, u'.', kTime);
    session.MarkSaved(session.BookOnShow());
    EXPECT_FALSE(session.HasUnsavedRecords(Book::Text));
    EXPECT_TRUE(session.HasUnsavedRecords(Book::Table));
    EXPECT_EQ(session.UnsavedBookFlags(), 2);
    session.MarkSaved(session.SwitchBook());
    EXPECT_EQ(session.UnsavedBookFlags(), 0);
    session.Compute(test::StartPanel(), Units, u'.', kTime);
    EXPECT_EQ(session.UnsavedBookFlags(), 3);
    EXPECT_EQ(session.BookOnShow(), Book::Table);  // a calculation does not switch books
}

TEST(DeleteLast, RemovesRecordsDownToEmptyAndNumbersAgain) {
    PanelSession session;
    for (int i = 0; i < 3; ++i) {
        session.Compute(test::StartPanel(), Units, u'.', kTime);
    }
    session.MarkSaved(Book::Text);
    session.DeleteLast();
    EXPECT_EQ(session.PileCounter(), 2);
    EXPECT_EQ(session.UnsavedBookFlags(), 2);  // a deletion leaves the flags
    session.DeleteLast();
    const BooksChange emptied = session.DeleteLast();
    EXPECT_EQ(session.PileCounter(), 0);
    EXPECT_EQ(session.UnsavedBookFlags(), 0);
    EXPECT_TRUE(session.Lines(Book::Table).empty());
    EXPECT_TRUE(session.Lines(Book::Text).empty());
    EXPECT_EQ(emptied.text.inserted, 0u);
    session.Compute(test::StartPanel(), Units, u'.', kTime);
    EXPECT_EQ(U8(session.Lines(Book::Text)[1]), "1.基桩编号: ZH1");
}

// ------------------------------------------------------------------ the book screen

// The actions, one letter each: C a calculation, S "保存" of the book on show, P the page switch,
// X "x".
struct ScreenRow {
    const char* name;
    const char* actions;
    bool canSave;
    bool canDelete;
    const char* caption;
};

void PrintTo(const ScreenRow& row, std::ostream* os) {
    *os << row.name;
}

class BookScreen : public ::testing::TestWithParam<ScreenRow> {};

TEST_P(BookScreen, FollowsTheActions) {
    const ScreenRow& row = GetParam();
    PanelSession session;
    for (const char* action = row.actions; *action != 0; ++action) {
        switch (*action) {
            case 'C':
                session.Compute(test::StartPanel(), Units, u'.', kTime);
                break;
            case 'S':
                session.MarkSaved(session.BookOnShow());
                break;
            case 'P':
                session.SwitchBook();
                break;
            default:
                session.DeleteLast();
        }
    }
    const BookScreenState state = session.BookScreen();
    EXPECT_EQ(state.canSave, row.canSave);
    EXPECT_EQ(state.canDelete, row.canDelete);
    EXPECT_EQ(U8(state.caption), row.caption);
    EXPECT_EQ(state.onShow, session.BookOnShow());
}

INSTANTIATE_TEST_SUITE_P(
    Session, BookScreen,
    ::testing::Values(ScreenRow{"AtStart", "", true, false, "1"},
                      ScreenRow{"SwitchedAtStart", "P", false, false, "2"},
                      ScreenRow{"AfterACalculation", "C", true, true, "1"},
                      ScreenRow{"TextBookSaved", "CS", false, true, "1"},
                      ScreenRow{"ToTheUnsavedTableBook", "CSP", true, true, "2"},
                      ScreenRow{"BackToTheSavedTextBook", "CSPP", false, true, "1"},
                      ScreenRow{"BothSavedThenADeletion", "CCSPSX", false, true, "2"},
                      ScreenRow{"BothSavedDeletionAndSwitch", "CCSPSXP", false, true, "1"},
                      ScreenRow{"DeletionThatEmpties", "CX", false, false, "1"},
                      ScreenRow{"DeletionThatLeavesOne", "CCX", true, true, "1"},
                      ScreenRow{"ACalculationAfterSaving", "CSC", true, true, "1"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pile::session
