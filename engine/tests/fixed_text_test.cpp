#include "engine/fixed_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "engine/utf_text.h"
#include "engine_test_support.h"

namespace pile {
namespace {

using pile::test::PrintTo;

std::string Fixed(double value, int p, int d, char16_t sep = u'.') {
    return Utf16ToUtf8(FixedText(value, p, d, sep));
}

struct FixedRow {
    const char* name;
    double value;
    int p;
    int d;
    const char* text;
};

class FixedTextTest : public testing::TestWithParam<FixedRow> {};

TEST_P(FixedTextTest, WritesTheExpectedText) {
    const FixedRow& row = GetParam();
    EXPECT_EQ(Fixed(row.value, row.p, row.d), row.text) << row.value;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FixedTextTest,
    testing::Values(
        FixedRow{"HalfUpNotToEven", 1234.5, 7, 0, "1235"},
        FixedRow{"HalfUpOddNeighbour", 1232.5, 7, 0, "1233"},
        FixedRow{"HalfInDecimals", 0.125, 7, 2, "0.13"},
        FixedRow{"PadsDecimalsWithZeros", 1.14, 7, 4, "1.1400"},
        FixedRow{"SignificantLimitThenZeros", 123456.789, 7, 2, "123456.80"},
        FixedRow{"TooSmallForTheDecimals", 0.004, 7, 2, "0.00"},
        FixedRow{"NoDigitKeptCarriesIntoNewOne", 0.7, 7, 0, "1"},
        FixedRow{"NoDigitKeptDropsToZero", 0.4, 7, 0, "0"},
        FixedRow{"NegativeKeepCountIsZero", 0.0007, 7, 2, "0.00"},
        FixedRow{"HalfBelowFirstDecimalCarries", 0.005, 7, 2, "0.01"},
        FixedRow{"CarryThroughNines", 99.99, 10, 1, "100.0"},
        FixedRow{"CarryThroughNinesToNewDigit", 9.9996, 5, 3, "10.000"},
        FixedRow{"Zero", 0.0, 6, 2, "0.00"}, FixedRow{"NegativeZeroHasNoSign", -0.0, 6, 2, "0.00"},
        FixedRow{"NegativeRoundingToZeroHasNoSign", -0.001, 6, 2, "0.00"},
        FixedRow{"AreaOfTheFirstPile", 0.7853981633974483, 6, 2, "0.79"},
        FixedRow{"ZetaOfTheFirstPile", 0.8566666666666667, 7, 4, "0.8567"},
        FixedRow{"CoefficientKeepsFourDecimals", 1.326, 7, 4, "1.3260"},
        FixedRow{"ForceWithTwoDecimals", 16820.61306, 10, 2, "16820.61"},
        FixedRow{"PLimitedToEighteen", 0.1, 40, 20, "0.10000000000000000600"},
        FixedRow{"PLimitedToTwo", 123.0, 0, 0, "1.2E+02"},
        FixedRow{"ExactlyTenToThePGoesScientific", 10000000.0, 7, 0, "1E+07"},
        FixedRow{"RoundingUpToTenToThePGoesScientific", 9999999.6, 7, 0, "1E+07"},
        FixedRow{"JustBelowTenToTheP", 9999999.4, 7, 0, "9999999"},
        FixedRow{"ScientificKeepsPDigits", 123456789012.0, 6, 2, "1.23457E+11"},
        FixedRow{"HugeValue", 1.5e300, 10, 2, "1.5E+300"},
        FixedRow{"NegativeDecimalsActAsZero", 12.5, 7, -3, "13"},
        FixedRow{"NotFiniteNeverPrinted", std::numeric_limits<double>::infinity(), 7, 2, "-"},
        FixedRow{"NanNeverPrinted", std::numeric_limits<double>::quiet_NaN(), 7, 2, "-"}),
    pile::test::RowName{});

TEST(FixedText, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(Fixed(1234.5, 10, 2, u','), "1234,50");
    EXPECT_EQ(Fixed(25, 6, 2, u','), "25,00");
    EXPECT_EQ(Fixed(1234.5, 10, 0, u','), "1235");
    EXPECT_EQ(Fixed(123456789012.0, 6, 2, u','), "1,23457E+11");
}

struct PrecisionRow {
    double value;
    const char* texts[5];  // TwoDecimals .. Hundreds
};

TEST(PrecisionText, FiveModesOfTheExamples) {
    const PrecisionRow rows[] = {
        {1259.96, {"1259.96", "1260.0", "1260", "1250", "1200"}},
        {1234.5, {"1234.50", "1234.5", "1235", "1230", "1200"}},
        {99.99, {"99.99", "100.0", "100", "90", "0"}},
        {8410.306530, {"8410.31", "8410.3", "8410", "8410", "8400"}},
        {7861.843463, {"7861.84", "7861.8", "7862", "7860", "7800"}},
        {9.5, {"9.50", "9.5", "10", "0", "0"}},
        {1229.9999999, {"1230.00", "1230.0", "1230", "1220", "1200"}},
    };
    for (const PrecisionRow& row : rows) {
        for (int mode = 0; mode < 5; ++mode) {
            EXPECT_EQ(
                Utf16ToUtf8(PrecisionText(row.value, static_cast<PrecisionMode>(mode), 7, u'.')),
                row.texts[mode])
                << row.value << " mode " << mode;
        }
    }
}

TEST(PrecisionText, CommaSeparatorOnlyWhereThereAreDecimals) {
    EXPECT_EQ(Utf16ToUtf8(PrecisionText(1234.5, PrecisionMode::TwoDecimals, 7, u',')), "1234,50");
    EXPECT_EQ(Utf16ToUtf8(PrecisionText(1234.5, PrecisionMode::Units, 7, u',')), "1235");
    EXPECT_EQ(Utf16ToUtf8(PrecisionText(1234.5, PrecisionMode::Tens, 7, u',')), "1230");
    EXPECT_EQ(Utf16ToUtf8(PrecisionText(1234.5, PrecisionMode::Hundreds, 7, u',')), "1200");
}

TEST(Utf, RoundTripsAndReplacesIllFormedInput) {
    const std::string text = "嵌岩桩 ζr ≤ 𝛽";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"), u"\uFFFD\uFFFD");  // cut short
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

}  // namespace
}  // namespace pile
