#include "engine/number_parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine_test_support.h"

namespace pile {
namespace {

using pile::test::PrintTo;

using namespace std::string_literals;
using test::U8;

// --- ParseLocaleFree: read whole, or 0 ---------------------------------------------------

struct FreeRow {
    const char* name;
    std::u16string text;
    double expected;
};

class ParseLocaleFreeTest : public testing::TestWithParam<FreeRow> {};

TEST_P(ParseLocaleFreeTest, ReadsTheWholeTextOrZero) {
    const FreeRow& row = GetParam();
    const double value = ParseLocaleFree(row.text);
    EXPECT_EQ(value, row.expected);
    EXPECT_FALSE(std::signbit(value) && value == 0) << "a zero never carries a sign";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseLocaleFreeTest,
    testing::Values(
        FreeRow{"Plain", u"800", 800}, FreeRow{"LeadingBlank", u" 800", 800},
        FreeRow{"BlanksAround", u"  1200.5  ", 1200.5}, FreeRow{"PointOnlyFraction", u".5", 0.5},
        FreeRow{"TrailingPoint", u"5.", 5}, FreeRow{"PlusSign", u"+5", 5},
        FreeRow{"MinusSign", u"-5", -5}, FreeRow{"Exponent", u"1e3", 1000},
        FreeRow{"ExponentUpperWithSign", u"1.5E+3", 1500},
        FreeRow{"NegativeExponent", u"25e-1", 2.5}, FreeRow{"LargestDouble", u"1e308", 1e308},
        FreeRow{"SubnormalKept", u"1e-320", 1e-320},
        // Refused texts read as 0, which the following check rejects.
        FreeRow{"Empty", u"", 0}, FreeRow{"BlanksOnly", u"   ", 0}, FreeRow{"Letters", u"abc", 0},
        FreeRow{"NumberThenLetters", u"12abc", 0}, FreeRow{"NumberThenLetter", u"1.5x", 0},
        FreeRow{"Unit", u"800mm", 0}, FreeRow{"DecimalComma", u"1200,5", 0},
        FreeRow{"InnerBlank", u"1 2", 0}, FreeRow{"Tab", u"\t800", 0},
        FreeRow{"PointAlone", u".", 0}, FreeRow{"SignAlone", u"-", 0},
        FreeRow{"DoubleSign", u"--1", 0}, FreeRow{"ExponentWithoutDigits", u"1e", 0},
        FreeRow{"ExponentSignOnly", u"1e+", 0}, FreeRow{"ExponentWithoutMantissa", u"e5", 0},
        FreeRow{"Inf", u"inf", 0}, FreeRow{"Infinity", u"Infinity", 0}, FreeRow{"Nan", u"nan", 0},
        FreeRow{"HexFloat", u"0x10", 0}, FreeRow{"Overflow", u"1e400", 0},
        FreeRow{"OverflowJustBeyond", u"1.8e308", 0}, FreeRow{"Underflow", u"1e-400", 0},
        FreeRow{"NegativeUnderflow", u"-1e-400", 0}, FreeRow{"MinusZero", u"-0", 0},
        FreeRow{"HugeExponentOverflow", u"1e99999999999999999999", 0},
        FreeRow{"HugeExponentUnderflow", u"1e-99999999999999999999", 0},
        FreeRow{"ZeroWithHugeExponent", u"0e99999999999999999999", 0},
        FreeRow{"FullWidthDigits", u"８００", 0},
        FreeRow{"NulInside",
                u"8\x00"
                u"00"s,
                0},
        FreeRow{"NulAfter", u"800\x00"s, 0}, FreeRow{"LoneSurrogate", u"8\xD800", 0},
        FreeRow{"IdeographicBlank",
                u"\x3000"
                u"800",
                0}),
    test::RowName{});

// Texts of 100 000 characters: read in linear time, never in part, never as inf.
struct LongRow {
    const char* name;
    std::u16string text;
    double expected;
};

// `before`, then `count` times `c`, then `after`. Built by appending: for `u"0." + text`, the
// insert at the front draws a false -Wrestrict warning from g++ 12 at -O3.
std::u16string Long(std::u16string_view before, char16_t c, std::size_t count,
                    std::u16string_view after = {}) {
    std::u16string text(before);
    text.append(count, c);
    text.append(after);
    return text;
}

TEST(ParseLocaleFreeLongTexts, ReadsHundredThousandCharacterTexts) {
    const std::vector<LongRow> rows = {
        {"NinesOverflow", Long(u"", u'9', 100'000), 0},
        {"ZerosThenOne", Long(u"", u'0', 100'000, u"1"), 1},
        {"TinyFractionUnderflows", Long(u"0.", u'0', 100'000, u"1"), 0},
        {"LongMantissaScaledBack", Long(u"1", u'0', 100'000, u"e-100000"), 1},
        {"LongFractionScaledUp", Long(u"0.", u'0', 99'999, u"1e100000"), 1},
        {"LongTextThenLetter", Long(u"", u'1', 100'000, u"x"), 0},
        {"BlanksThenNumber", Long(u"", u' ', 100'000, u"7"), 7},
        {"NulCharacters", Long(u"", u'\0', 100'000), 0},
    };
    for (const LongRow& row : rows) {
        const double value = ParseLocaleFree(row.text);
        EXPECT_TRUE(std::isfinite(value)) << row.name;
        EXPECT_EQ(value, row.expected) << row.name;
    }
}

// --- ParseLocaleNumber: the user's format, the whole text, the point accepted too ----------

struct LocaleRow {
    const char* name;
    std::u16string text;
    char16_t separator;
    std::optional<double> expected;
};

class ParseLocaleNumberTest : public testing::TestWithParam<LocaleRow> {};

TEST_P(ParseLocaleNumberTest, ReadsTheWholeTextInTheUsersFormat) {
    const LocaleRow& row = GetParam();
    const std::optional<double> value = ParseLocaleNumber(row.text, row.separator);
    ASSERT_EQ(value.has_value(), row.expected.has_value());
    if (value) {
        EXPECT_EQ(*value, *row.expected);
        EXPECT_FALSE(std::signbit(*value) && *value == 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseLocaleNumberTest,
    testing::Values(LocaleRow{"PointInPointLocale", u"1.5", u'.', 1.5},
                    LocaleRow{"CommaInCommaLocale", u"1,5", u',', 1.5},
                    LocaleRow{"PointInCommaLocale", u"1.5", u',', 1.5},
                    LocaleRow{"Integer", u"2000", u',', 2000}, LocaleRow{"Plus", u"+2", u'.', 2},
                    LocaleRow{"Minus", u"-2", u'.', -2}, LocaleRow{"Exponent", u"1e3", u'.', 1000},
                    LocaleRow{"ExponentWithComma", u"1,5E-1", u',', 0.15},
                    LocaleRow{"Underflow", u"1e-400", u'.', 0.0},
                    LocaleRow{"MinusZero", u"-0", u'.', 0.0},
                    LocaleRow{"CommaInPointLocale", u"1,5", u'.', std::nullopt},
                    LocaleRow{"Empty", u"", u'.', std::nullopt},
                    LocaleRow{"LeadingBlank", u" 1", u'.', std::nullopt},
                    LocaleRow{"TrailingBlank", u"1 ", u'.', std::nullopt},
                    LocaleRow{"TrailingSeparator", u"1.", u'.', std::nullopt},
                    LocaleRow{"LeadingSeparator", u".5", u'.', std::nullopt},
                    LocaleRow{"GroupSeparator", u"1.000,5", u',', std::nullopt},
                    LocaleRow{"TwoSeparators", u"1,5,0", u',', std::nullopt},
                    LocaleRow{"Inf", u"inf", u'.', std::nullopt},
                    LocaleRow{"Nan", u"nan", u'.', std::nullopt},
                    LocaleRow{"Overflow", u"1e400", u'.', std::nullopt},
                    LocaleRow{"TrailingLetter", u"1.5d", u'.', std::nullopt},
                    LocaleRow{"Nul", u"1\x00"s, u'.', std::nullopt},
                    LocaleRow{"LoneSurrogate", u"\xDC00", u'.', std::nullopt}),
    test::RowName{});

// --- ResolveSocketDepth ------------------------------------------------------------------

struct DepthRow {
    const char* name;
    std::u16string text;
    char16_t letter;
    double reference;
    char16_t separator;
    std::optional<double> hr;  // nullopt: the check fails
    bool isMultiple;
};

class ResolveSocketDepthTest : public testing::TestWithParam<DepthRow> {};

TEST_P(ResolveSocketDepthTest, ResolvesOrFails) {
    const DepthRow& row = GetParam();
    const auto depth = ResolveSocketDepth(row.text, row.letter, row.reference, row.separator);
    ASSERT_EQ(depth.has_value(), row.hr.has_value());
    if (depth) {
        EXPECT_EQ(depth->hr, *row.hr);
        EXPECT_FALSE(std::signbit(depth->hr)) << "never a negative zero";
        EXPECT_EQ(depth->isMultiple, row.isMultiple);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ResolveSocketDepthTest,
    testing::Values(
        DepthRow{"MultipleOfD", u"1.5d", u'd', 1000, u'.', 1500, true},
        DepthRow{"Millimetres", u"2000", u'd', 1000, u'.', 2000, false},
        DepthRow{"MultipleOfB", u"1.5b", u'b', 800, u'.', 1200, true},
        DepthRow{"ZeroMultiple", u"0d", u'd', 1000, u'.', 0, true},
        DepthRow{"ZeroMillimetres", u"0", u'd', 1000, u'.', 0, false},
        DepthRow{"MinusZero", u"-0", u'd', 1000, u'.', 0, false},
        DepthRow{"MinusZeroMultiple", u"-0d", u'd', 1000, u'.', 0, true},
        DepthRow{"RestAfterLetterIgnored", u"1.5d20", u'd', 1000, u'.', 1500, true},
        DepthRow{"DoubleLetter", u"1.5dd", u'd', 1000, u'.', 1500, true},
        DepthRow{"CommaMultiple", u"1,5d", u'd', 1000, u',', 1500, true},
        DepthRow{"OwnItemInCommaLocale", u"1.0d", u'd', 1000, u',', 1000, true},
        DepthRow{"HugeButFinite", u"1e308", u'd', 1000, u'.', 1e308, false},
        DepthRow{"NegativeMultiple", u"-1d", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"NegativeMillimetres", u"-1", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"LetterAlone", u"d", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"LetterAfterText", u"xd", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"UpperCaseLetter", u"1.5D", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"Unit", u"1500mm", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"Empty", u"", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"OtherFamilyOnCircle", u"1.5b", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"OtherFamilyOnRectangle", u"1.5d", u'b', 800, u'.', std::nullopt, false},
        DepthRow{"CommaInPointLocale", u"1,5d", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"MultipleOverflows", u"1e308d", u'd', 1000, u'.', std::nullopt, false},
        DepthRow{"MillimetresOverflow", u"1e400", u'd', 1000, u'.', std::nullopt, false}),
    test::RowName{});

// --- BoxNumberText -----------------------------------------------------------------------

TEST(BoxNumberText, WritesFifteenDigitsWithThePoint) {
    struct Row {
        double value;
        const char* text;
    };
    const Row rows[] = {
        {1000, "1000"},  {800, "800"},       {1000.5, "1000.5"},
        {1e20, "1e+20"}, {0.1 + 0.2, "0.3"}, {123456789012345678.0, "1.23456789012346e+17"},
        {-0.0, "0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(U8(BoxNumberText(row.value)), row.text) << row.value;
    }
}

TEST(BoxNumberText, ReadsBackAsTheSameNumber) {
    for (const double value : {1000.0, 1000.5, 812.25, 1e20, 3.14159}) {
        EXPECT_EQ(ParseLocaleFree(BoxNumberText(value)), value);
    }
}

}  // namespace
}  // namespace pile
