#include "tools/replay_session.h"
#include "testing/row_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pile::replay {
namespace {

using pile::test::PrintTo;

std::string Replay(std::string_view input, std::string& errors, int& status) {
    std::string out;
    status = ReplaySession(
        input, [&](std::string_view piece) { out.append(piece); }, errors);
    return out;
}

constexpr std::string_view kGoodCalc = "CALC\t0\t0\t1000\t0\t1.0d\t25\t0\t1\t1\t2\t.\tt";

struct BadLine {
    const char* name;
    std::string line;
    std::string message;
};

// Test names and failure messages show the row by its name.
class BadStepLineTest : public testing::TestWithParam<BadLine> {};

TEST_P(BadStepLineTest, IsReportedWithItsLineNumberAndNothingRuns) {
    const BadLine& bad = GetParam();
    const std::string input =
        std::string(kGoodCalc) + "\nDELETE\n" + bad.line + "\n" + std::string(kGoodCalc) + "\n";
    std::string errors;
    int status = 0;
    const std::string out = Replay(input, errors, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(out, "");
    EXPECT_EQ(errors, "pile_replay: line 3: " + bad.message + "\n");
}

std::string Calc(std::string_view section, std::string_view rock, std::string_view grade,
                 std::string_view process, std::string_view precision, std::string_view sep) {
    return "CALC\t" + std::string(section) + "\t" + std::string(rock) +
           "\t1000\t0\t1.0d\t25\t24\t" + std::string(grade) + "\t" + std::string(process) + "\t" +
           std::string(precision) + "\t" + std::string(sep) + "\tt";
}

const BadLine kBadLines[] = {
    {"UnknownVerb", "COMPUTE\t1", "unknown verb \"COMPUTE\""},
    {"LowerCaseVerb", "delete", "unknown verb \"delete\""},
    {"EmptyLine", "", "unknown verb \"\""},
    {"CalcTooFewFields", "CALC\t0\t0", "CALC takes 12 fields, found 2"},
    {"CalcTooManyFields", std::string(kGoodCalc) + "\textra", "CALC takes 12 fields, found 13"},
    {"DeleteWithField", "DELETE\t1", "DELETE takes no fields, found 1"},
    {"SavedWithoutBook", "SAVED", "SAVED takes 1 field, found 0"},
    {"SavedBookZero", "SAVED\t0", "book 0 is out of range (1 text, 2 table)"},
    {"SavedBookThree", "SAVED\t3", "book 3 is out of range (1 text, 2 table)"},
    {"SavedBookNotANumber", "SAVED\ttext", "book \"text\" is not a whole number"},
    {"SectionNotWhole", Calc("1.0", "1", "1", "0", "2", "."),
     "section \"1.0\" is not a whole number"},
    {"SectionWithBlank", Calc(" 0", "0", "1", "1", "2", "."),
     "section \" 0\" is not a whole number"},
    {"SectionEmpty", Calc("", "0", "1", "1", "2", "."), "section \"\" is not a whole number"},
    {"RockNotWhole", Calc("0", "x", "1", "1", "2", "."), "rock \"x\" is not a whole number"},
    {"GradeNotWhole", Calc("0", "0", "C30", "1", "2", "."), "grade \"C30\" is not a whole number"},
    {"ProcessNotWhole", Calc("0", "0", "1", "+1", "2", "."),
     "process \"+1\" is not a whole number"},
    {"PrecisionNotWhole", Calc("0", "0", "1", "1", "2e0", "."),
     "precision \"2e0\" is not a whole number"},
    {"RockTwo", Calc("0", "2", "1", "1", "2", "."), "rock 2 is out of range (0 to 1)"},
    {"EllipseInFrkMode", Calc("1", "0", "1", "1", "2", "."), "section 1 needs rock 1"},
    {"RectangleInFrkMode", Calc("2", "0", "1", "1", "2", "."), "section 2 needs rock 1"},
    {"SectionThree", Calc("3", "1", "1", "0", "2", "."), "section 3 is out of range (0 to 2)"},
    {"SectionNegative", Calc("-1", "0", "1", "1", "2", "."), "section -1 is out of range (0 to 2)"},
    {"GradeEight", Calc("0", "0", "8", "1", "2", "."), "grade 8 is out of range (0 to 7)"},
    {"ProcessThreeInFrkMode", Calc("0", "0", "1", "3", "2", "."),
     "process 3 is out of range (0 to 2)"},
    {"ProcessOneInFukMode", Calc("0", "1", "1", "1", "2", "."),
     "process 1 is out of range (0 only in fuk mode)"},
    {"PrecisionFive", Calc("0", "0", "1", "1", "5", "."), "precision 5 is out of range (0 to 4)"},
    {"SeparatorEmpty", Calc("0", "0", "1", "1", "2", ""), "sep \"\" is not exactly one character"},
    {"SeparatorTwoCharacters", Calc("0", "0", "1", "1", "2", ".,"),
     "sep \".,\" is not exactly one character"},
    {"SeparatorOutsideTheBasicPlane", Calc("0", "0", "1", "1", "2", "\xF0\x9F\x98\x80"),
     "sep \"\xF0\x9F\x98\x80\" is not exactly one character"},
    {"HugeIndex", Calc("99999999999999999999", "0", "1", "1", "2", "."),
     "section \"99999999999999999999\" is not a whole number"},
};

INSTANTIATE_TEST_SUITE_P(Lines, BadStepLineTest, testing::ValuesIn(kBadLines),
                         pile::test::RowName{});

TEST(ReplaySession, ReportsEveryBadLine) {
    std::string errors;
    int status = 0;
    Replay("FOO\nDELETE\nSAVED\t9\n", errors, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(errors,
              "pile_replay: line 1: unknown verb \"FOO\"\n"
              "pile_replay: line 3: book 9 is out of range (1 text, 2 table)\n");
}

TEST(ReplaySession, AnEmptySessionPrintsEmptyBooks) {
    std::string errors;
    int status = 1;
    EXPECT_EQ(Replay("", errors, status), "COUNTER\t0\t0\nTABLE\t0\nTEXT\t0\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "");
}

TEST(ReplaySession, TheLastLineNeedsNoLineFeedAndFieldsKeepTheirBlanks) {
    std::string errors;
    int status = 1;
    const std::string out =
        Replay("CALC\t0\t0\t 1000 \t0\t1.0d\t25\t\t1\t1\t2\t.\t 2024/5/6 \nDELETE", errors, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.substr(0, out.find('\n')), "OK\t0.8567\t8410\t7862\t较软岩\t 1000 \t0");
    EXPECT_NE(out.find("DELETED\t0\t0\n"), std::string::npos);
}

TEST(ReplaySession, LongSessionsComeOutInPiecesInOrder) {
    std::string input;
    for (int i = 0; i < 300; ++i) {
        input += std::string(kGoodCalc) + "\n";
    }
    std::string whole;
    int pieces = 0;
    std::string errors;
    const int status = ReplaySession(
        input,
        [&](std::string_view piece) {
            whole.append(piece);
            ++pieces;
        },
        errors);
    EXPECT_EQ(status, 0);
    EXPECT_GT(pieces, 1);
    EXPECT_NE(whole.find("COUNTER\t300\t3\nTABLE\t309\n"), std::string::npos);
    EXPECT_TRUE(whole.ends_with("\n计算时间：t\n"));
}

}  // namespace
}  // namespace pile::replay
