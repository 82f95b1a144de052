// Finding in a book's line list: where each search starts, the way round past either end, and
// letters in either case.
#include "find_bar.h"

#include <gtest/gtest.h>

#include <optional>

#include "testing/row_name.h"

namespace pile::ui {
namespace {

using pile::test::PrintTo;

const BookLines kBook = {u"ZH1 圆桩 1000", u"", u"ZH2 zh2 矩形桩", u"ZH12"};

struct FindRow {
    const char* name;
    const char16_t* needle;
    BookPosition from;
    FindDirection direction;
    std::optional<BookMatch> match;
};

class FindInBookTest : public ::testing::TestWithParam<FindRow> {};

TEST_P(FindInBookTest, FindsFromThePlaceGiven) {
    const FindRow& row = GetParam();
    EXPECT_EQ(FindInBook(kBook, QStringView(row.needle), row.from, row.direction), row.match);
}

constexpr auto kForward = FindDirection::Forward;
constexpr auto kBackward = FindDirection::Backward;

INSTANTIATE_TEST_SUITE_P(
    Books, FindInBookTest,
    ::testing::Values(
        FindRow{"AtTheStartPlace", u"ZH1", {0, 0}, kForward, BookMatch{{0, 0}, {0, 3}}},
        FindRow{"OnAfterThePlace", u"ZH1", {0, 1}, kForward, BookMatch{{3, 0}, {3, 3}}},
        FindRow{"EitherCase", u"zh2", {0, 0}, kForward, BookMatch{{2, 0}, {2, 3}}},
        FindRow{"LaterInTheSameLine", u"zh2", {2, 1}, kForward, BookMatch{{2, 4}, {2, 7}}},
        FindRow{"RoundPastTheEnd", u"圆桩", {3, 2}, kForward, BookMatch{{0, 4}, {0, 6}}},
        FindRow{"RoundToEarlierInTheOwnLine", u"圆桩", {0, 6}, kForward, BookMatch{{0, 4}, {0, 6}}},
        FindRow{"BackwardRoundToLaterInTheOwnLine",
                u"1000",
                {0, 2},
                kBackward,
                BookMatch{{0, 7}, {0, 11}}},
        FindRow{"BackwardBeforeThePlace", u"zh2", {2, 4}, kBackward, BookMatch{{2, 0}, {2, 3}}},
        FindRow{"BackwardRoundPastTheStart", u"ZH12", {0, 0}, kBackward, BookMatch{{3, 0}, {3, 4}}},
        FindRow{"PlaceBeyondTheBook", u"ZH1", {9, 9}, kForward, BookMatch{{0, 0}, {0, 3}}},
        FindRow{"NoneInTheBook", u"ZH9", {0, 0}, kForward, std::nullopt},
        FindRow{"EmptyNeedle", u"", {0, 0}, kForward, std::nullopt}),
    pile::test::RowName{});

TEST(FindInBook, EmptyBookHasNone) {
    EXPECT_EQ(FindInBook({}, u"ZH1", {}, kForward), std::nullopt);
}

}  // namespace
}  // namespace pile::ui
