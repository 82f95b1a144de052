#include "session/load_check.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "engine/utf_text.h"
#include "session/pile_design.h"
#include "testing/panels.h"
#include "testing/row_name.h"

namespace pile::session {
namespace {

using pile::test::Panel;
using pile::test::PrintTo;
using enum RockParameterMode;

std::string U8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

struct CheckRow {
    const char* name;
    LoadTexts loads;
    const char16_t* ra;
    const char16_t* rc;
    char16_t separator;
    // Nk/Ra, Nkmax/1.2Ra, γ0N/Rc and the verdict, or the message of a load refused.
    const char* nkRatio;
    const char* nkmaxRatio;
    const char* nRatio;
    const char* verdict;
};

class LoadChecks : public testing::TestWithParam<CheckRow> {};

TEST_P(LoadChecks, GiveRatiosAndAVerdictAgainstThePrintedCapacities) {
    const CheckRow& row = GetParam();
    const auto read = ReadLoads(row.loads, row.separator);
    if (const auto* message = std::get_if<std::u16string>(&read)) {
        EXPECT_EQ(U8(*message), row.verdict);
        return;
    }
    const LoadCheck check = CheckLoads(std::get<PileLoads>(read), row.ra, row.rc, row.separator);
    EXPECT_EQ(U8(check.nkRatio), row.nkRatio);
    EXPECT_EQ(U8(check.nkmaxRatio), row.nkmaxRatio);
    EXPECT_EQ(U8(check.nRatio), row.nRatio);
    EXPECT_EQ(U8(check.verdict), row.verdict);
    EXPECT_EQ(check.passed, std::string(row.verdict) == "满足" || !check.checked);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadChecks,
    testing::Values(
        CheckRow{"NoLoads", {}, u"1000", u"2000", u'.', "", "", "", ""},
        CheckRow{"AllPass",
                 {u"900", u"1100", u"1500", u""},
                 u"1000",
                 u"2000",
                 u'.',
                 "0.90",
                 "0.92",
                 "0.75",
                 "满足"},
        // Equal to the limit passes, though 1.1 x 1000 and 1.2 x 1000 are not exact in binary.
        CheckRow{"OnTheLimit",
                 {u"1000", u"1200", u"1000", u"1.1"},
                 u"1000",
                 u"1100",
                 u'.',
                 "1.00",
                 "1.00",
                 "1.00",
                 "满足"},
        CheckRow{"EveryCheckFails",
                 {u"1001", u"1201", u"2001", u""},
                 u"1000",
                 u"2000",
                 u'.',
                 "1.00",
                 "1.00",
                 "1.00",
                 "不满足（Nk>Ra、Nkmax>1.2Ra、γ0N>Rc）"},
        CheckRow{"GammaRaisesTheDesignForce",
                 {u"", u"", u"1900", u"1.1"},
                 u"1000",
                 u"2010",
                 u'.',
                 "",
                 "",
                 "1.04",
                 "不满足（γ0N>Rc）"},
        // The printed Ra after 百位取整 is what a checker reads, not the unrounded value.
        CheckRow{"PrintedCapacityCounts",
                 {u"1050", u"", u"", u""},
                 u"1000",
                 u"2000",
                 u'.',
                 "1.05",
                 "",
                 "",
                 "不满足（Nk>Ra）"},
        CheckRow{"CapacityPrintedAsZero",
                 {u"50", u"", u"", u""},
                 u"0",
                 u"0",
                 u'.',
                 "-",
                 "",
                 "",
                 "不满足（Nk>Ra）"},
        CheckRow{"DecimalComma",
                 {u"900,5", u"", u"", u""},
                 u"1000,25",
                 u"2000",
                 u',',
                 "0,90",
                 "",
                 "",
                 "满足"},
        CheckRow{"NegativeLoad",
                 {u"-5", u"", u"", u""},
                 u"1000",
                 u"2000",
                 u'.',
                 "",
                 "",
                 "",
                 "Nk「-5」应为不小于 0 的数（kN）"},
        CheckRow{"LoadWithUnit",
                 {u"", u"", u"900kN", u""},
                 u"1000",
                 u"2000",
                 u'.',
                 "",
                 "",
                 "",
                 "N「900kN」应为不小于 0 的数（kN）"},
        CheckRow{"GammaOutOfRange",
                 {u"900", u"", u"", u"1.2"},
                 u"1000",
                 u"2000",
                 u'.',
                 "",
                 "",
                 "",
                 "γ0「1.2」应在 0.9 到 1.1 之间"}),
    pile::test::RowName{});

// ------------------------------------------------------------------ sizing

// Nk, Nkmax and N in kN; 0 for a load not given.
PileLoads Loads(double nk, double nkmax = 0, double n = 0) {
    PileLoads loads;
    const auto given = [](double value) { return value > 0 ? std::optional(value) : std::nullopt; };
    loads.nk = given(nk);
    loads.nkmax = given(nkmax);
    loads.n = given(n);
    return loads;
}

struct DesignRow {
    const char* name;
    Panel panel;
    PileLoads loads;
    bool found;
    const char* shortfallStart;  // when nothing is found
};

class Designs : public testing::TestWithParam<DesignRow> {};

// The pile found passes, and no smaller diameter and no shallower socket of its diameter does.
TEST_P(Designs, FindTheSmallestPassingPile) {
    const DesignRow& row = GetParam();
    const DesignOptions options;
    const auto outcome =
        DesignCircle(row.panel.Input(), PrecisionMode::Units, row.loads, options, u'.');
    ASSERT_TRUE(std::holds_alternative<Design>(outcome)) << U8(std::get<std::u16string>(outcome));
    const Design& design = std::get<Design>(outcome);
    ASSERT_EQ(design.found, row.found) << U8(design.shortfall);
    if (!row.found) {
        EXPECT_EQ(U8(design.shortfall).rfind(row.shortfallStart, 0), 0u) << U8(design.shortfall);
        return;
    }
    EXPECT_EQ(design.check.verdict, u"满足");
    const double d = std::stod(U8(design.panel.ddText));
    const double multiple = std::stod(U8(design.panel.hrText));
    const auto passes = [&](double tryD, double tryMultiple) {
        DesignOptions one;
        one.diameters = {tryD};
        one.hrMin = tryMultiple;
        const auto tried =
            DesignCircle(row.panel.Input(), PrecisionMode::Units, row.loads, one, u'.');
        const Design& first = std::get<Design>(tried);
        return first.found && first.panel.hrText == design.panel.hrText && tryD == d;
    };
    EXPECT_TRUE(passes(d, multiple));
    if (multiple > options.hrMin) {
        DesignOptions shallower;
        shallower.diameters = {d};
        shallower.hrStep = multiple - options.hrMin;  // only hrMin below the depth found
        const auto tried =
            DesignCircle(row.panel.Input(), PrecisionMode::Units, row.loads, shallower, u'.');
        EXPECT_EQ(std::get<Design>(tried).panel.hrText, design.panel.hrText);
    }
    if (d > options.diameters.front()) {
        DesignOptions smaller;
        smaller.diameters = {d - 100};
        EXPECT_FALSE(std::get<Design>(DesignCircle(row.panel.Input(), PrecisionMode::Units,
                                                   row.loads, smaller, u'.'))
                         .found);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Designs,
    testing::Values(
        DesignRow{"FrkSmallLoad", {.frk = u"25"}, Loads(3000, 0, 4000), true, ""},
        DesignRow{"FrkDepthGoverns", {.frk = u"10"}, Loads(9000), true, ""},
        DesignRow{"BodyGoverns", {.frk = u"80"}, Loads(1000, 0, 30000), true, ""},
        DesignRow{"FukCircle", {.mode = Fuk, .fuk = u"6000"}, Loads(5000), true, ""},
        DesignRow{
            "NothingCarriesIt", {.frk = u"5"}, Loads(1e6), false, "d=3000 mm, hr=8.0d 时 Ra="}),
    pile::test::RowName{});

TEST(Designs, RefuseRowsWithoutLoadsAndOptionsThatCannotBeSearched) {
    const PanelInput panel = Panel{}.Input();
    DesignOptions noStep;
    noStep.hrStep = 0;
    EXPECT_TRUE(std::holds_alternative<std::u16string>(
        DesignCircle(panel, PrecisionMode::Units, {}, DesignOptions{}, u'.')));
    EXPECT_TRUE(std::holds_alternative<std::u16string>(
        DesignCircle(panel, PrecisionMode::Units, Loads(1), noStep, u'.')));
    EXPECT_EQ(
        std::get<std::u16string>(DesignCircle(Panel{.frk = u"0"}.Input(), PrecisionMode::Units,
                                              Loads(1), DesignOptions{}, u'.')),
        u"岩石单轴抗压强度值有错");
}

// ------------------------------------------------------------------ sizing a session's records

RecordInputs Record(const Panel& panel, LoadTexts loads, std::u16string mark) {
    RecordInputs record;
    record.panel = panel.Input();
    record.loads = std::move(loads);
    record.mark = std::move(mark);
    record.calculationTime = u"2024/5/6 14:03:27";
    return record;
}

// Each record is proposed for, or told why not; taking the proposals keeps every record's mark,
// loads and time, appended after the records or in place of the ones they came from.
TEST(Designs, ProposeForRecordsAndTakeTheAcceptedOnes) {
    using Outcome = RowDesign::Outcome;
    const std::vector<RecordInputs> records = {
        Record({.frk = u"25"}, {u"3000", u"", u"4000", u""}, u"ZJ1"),
        Record({.frk = u"5"}, {u"1000000", u"", u"", u""}, u"ZJ2"),
        Record({.section = SectionType::Rectangle, .mode = Fuk, .tyzd = u"800", .fuk = u"6000"},
               {u"100", u"", u"", u""}, u"ZJ3"),
        Record({.frk = u"25"}, {}, u"ZJ4"),
        Record({.frk = u"25"}, {u"-5", u"", u"", u""}, u"ZJ5"),
        Record({.frk = u"25"}, {u"4000", u"", u"", u""}, u"ZJ6"),
    };
    const std::vector<RowDesign> designs = DesignRecords(records, DesignOptions{});
    ASSERT_EQ(designs.size(), records.size());
    const struct {
        Outcome outcome;
        const char* noteStart;
    } expected[] = {{Outcome::Sized, ""},
                    {Outcome::Unmet, "没有满足要求的桩：d=3000 mm"},
                    {Outcome::NotSized, "非圆桩，只验算"},
                    {Outcome::NotSized, "无荷载，不选型"},
                    {Outcome::NotSized, "Nk"},
                    {Outcome::Sized, ""}};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(U8(records[i].mark));
        EXPECT_EQ(designs[i].outcome, expected[i].outcome);
        EXPECT_EQ(U8(designs[i].note).rfind(expected[i].noteStart, 0), 0u) << U8(designs[i].note);
    }

    // ZJ6 is declined; only Sized proposals can be taken, whatever the flags say.
    const std::vector<bool> accepted = {true, true, true, true, true, false};
    const auto appended = RecordsWithDesigns(records, designs, accepted, true, u"2024/5/7 9:00:00");
    ASSERT_EQ(appended.size(), records.size() + 1);
    EXPECT_EQ(appended.back().mark, u"ZJ1");
    EXPECT_EQ(appended.back().loads, records[0].loads);
    EXPECT_EQ(appended.back().calculationTime, u"2024/5/7 9:00:00");
    EXPECT_EQ(appended[0].calculationTime, records[0].calculationTime);
    EXPECT_EQ(appended.back().panel.ddText, designs[0].design->panel.ddText);
    EXPECT_EQ(appended.back().panel.hrText, designs[0].design->panel.hrText);

    // Into a session: the books hold what the records say, the designed pile at its new size.
    PanelSession session;
    for (const RecordInputs& record : records) {
        session.Compute(record.panel, record.precision, record.decimalSeparator,
                        record.calculationTime, record.mark, record.loads);
    }
    const std::size_t computed = session.Records().size();  // the refused rectangle is not one
    const auto designsOfSession = DesignRecords(session.Records(), DesignOptions{});
    const std::vector<bool> all(computed, true);
    EXPECT_EQ(TakeDesigns(session, designsOfSession, all, false, u"2024/5/7 9:00:00"), 2u);
    ASSERT_EQ(session.Records().size(), computed);
    EXPECT_EQ(session.Records()[0].panel.ddText, designs[0].design->panel.ddText);
    EXPECT_EQ(session.Records()[0].mark, u"ZJ1");
    EXPECT_EQ(TakeDesigns(session, DesignRecords(session.Records(), DesignOptions{}), all, true,
                          u"2024/5/7 9:00:00"),
              2u);
    EXPECT_EQ(session.Records().size(), computed + 2);

    const auto replaced =
        RecordsWithDesigns(records, designs, accepted, false, u"2024/5/7 9:00:00");
    ASSERT_EQ(replaced.size(), records.size());
    EXPECT_EQ(replaced[0].panel.ddText, designs[0].design->panel.ddText);
    for (std::size_t i = 1; i < records.size(); ++i) {
        EXPECT_EQ(replaced[i].panel.ddText, records[i].panel.ddText) << i;
        EXPECT_EQ(replaced[i].panel.hrText, records[i].panel.hrText) << i;
    }
}

}  // namespace
}  // namespace pile::session
