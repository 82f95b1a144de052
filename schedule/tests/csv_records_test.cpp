#include "schedule/csv_records.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "testing/schedule_source.h"

namespace pile::schedule {
namespace {

using testing::SourceOf;

struct Read {
    std::vector<RawRecord> records;
    ReadStop stop = ReadStop::None;
    ByteOrderMark bom = ByteOrderMark::None;
};

Read ReadAll(const std::string& bytes, std::size_t piece, ReaderLimits limits = {}) {
    RecordReader reader(SourceOf(bytes, piece), limits);
    Read read;
    RawRecord record;
    while (reader.Next(",", record)) {
        read.records.push_back(record);
    }
    read.stop = reader.Stop();
    read.bom = reader.Bom();
    return read;
}

struct RecordCase {
    const char* name;
    std::string bytes;
    std::vector<std::size_t> lines;                // where each record starts
    std::vector<std::vector<std::string>> fields;  // the fields of each record
    std::vector<RecordStatus> status;
};

void PrintTo(const RecordCase& row, std::ostream* os) {
    *os << row.name;
}

class RecordsTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecordsTest, GivesRecordsLinesAndFieldsInAnyPieces) {
    const RecordCase& c = GetParam();
    // One byte at a time and all at once must read alike: no state may hang on a buffer edge.
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
        SCOPED_TRACE(piece);
        const Read read = ReadAll(c.bytes, piece, {.maxRecordBytes = 24});
        EXPECT_EQ(read.stop, ReadStop::EndOfFile);
        ASSERT_EQ(read.records.size(), c.lines.size());
        for (std::size_t i = 0; i < read.records.size(); ++i) {
            EXPECT_EQ(read.records[i].line, c.lines[i]) << "record " << i;
            EXPECT_EQ(read.records[i].status, c.status[i]) << "record " << i;
            if (c.status[i] == RecordStatus::Ok) {
                std::vector<std::string> fields;
                ASSERT_TRUE(SplitFields(read.records[i].bytes, ',', 100, fields));
                EXPECT_EQ(fields, c.fields[i]) << "record " << i;
            }
        }
    }
}

constexpr auto kOk = RecordStatus::Ok;
constexpr auto kLong = RecordStatus::TooLong;
constexpr auto kOpen = RecordStatus::UnclosedQuote;

INSTANTIATE_TEST_SUITE_P(
    Csv, RecordsTest,
    ::testing::Values(
        RecordCase{"CrLfLfAndLoneCr",
                   "a,b\r\nc\nd\re",
                   {1, 2, 3, 4},
                   {{"a", "b"}, {"c"}, {"d"}, {"e"}},
                   {kOk, kOk, kOk, kOk}},
        RecordCase{"QuotedSeparatorAndDoubledQuote",
                   "\"1,5\",\"say \"\"hi\"\"\"\n",
                   {1},
                   {{"1,5", "say \"hi\""}},
                   {kOk}},
        RecordCase{"LineBreaksInsideQuotesCountAsLines",
                   "\"a\r\nb\nc\",x\r\ny\n",
                   {1, 4},
                   {{"a\r\nb\nc", "x"}, {"y"}},
                   {kOk, kOk}},
        RecordCase{"TextAfterClosingQuoteJoinsTheField", "\"ab\"c,d\n", {1}, {{"abc", "d"}}, {kOk}},
        RecordCase{"QuoteInsideUnquotedFieldIsText",
                   "ab\"c,d\ne\n",
                   {1, 2},
                   {{"ab\"c", "d"}, {"e"}},
                   {kOk, kOk}},
        RecordCase{"EmptyFieldsAndEmptyLine",
                   ",,\n\nx",
                   {1, 2, 3},
                   {{"", "", ""}, {""}, {"x"}},
                   {kOk, kOk, kOk}},
        RecordCase{"UnclosedQuoteRunsToTheEnd", "a\n\"b\nc\nd", {1, 2}, {{"a"}, {}}, {kOk, kOpen}},
        RecordCase{"TooLongSkipsToTheNextLineBreak",
                   "a\n0123456789abcdefghijklmnopXYZ\"\nb\n",
                   {1, 2, 3},
                   {{"a"}, {}, {"b"}},
                   {kOk, kLong, kOk}},
        RecordCase{"TooLongInsideQuotesResumesAtTheNextLineBreak",
                   "\"0123456789abcdefghijklmnopqrst\nb\n",
                   {1, 2},
                   {{}, {"b"}},
                   {kLong, kOk}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RecordReaderTest, SkipsAUtf8ByteOrderMarkAndReportsIt) {
    const Read read = ReadAll("\xEF\xBB\xBF\"a\",b\n", 1);
    EXPECT_EQ(read.bom, ByteOrderMark::Utf8);
    ASSERT_EQ(read.records.size(), 1u);
    std::vector<std::string> fields;
    SplitFields(read.records[0].bytes, ',', 10, fields);
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "b"}));  // the quote opens the field
}

TEST(RecordReaderTest, KnowsTheLineWhereAQuotedRecordEnds) {
    const Read read = ReadAll("\"a\nb\",c\nd\n\"e\nf\n", 2);
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].lastLine, 2u);
    EXPECT_EQ(read.records[1].line, 3u);
    EXPECT_EQ(read.records[1].lastLine, 3u);
    EXPECT_EQ(read.records[2].status, RecordStatus::UnclosedQuote);
    EXPECT_EQ(read.records[2].lastLine, 5u);
}

TEST(RecordReaderTest, StopsAtTheFileLimitWithoutReadingOn) {
    std::size_t served = 0;
    // An endless stream of one line, like /dev/zero.
    RecordReader reader(
        [&](char* buffer, std::size_t capacity) -> long long {
            std::fill(buffer, buffer + capacity, 'x');
            served += capacity;
            return static_cast<long long>(capacity);
        },
        {.maxRecordBytes = 100, .maxFileBytes = 1 << 20});
    RawRecord record;
    EXPECT_FALSE(reader.Next(",", record));
    EXPECT_EQ(reader.Stop(), ReadStop::FileTooLarge);
    EXPECT_LE(served, std::size_t{2} << 20);
    EXPECT_LE(record.bytes.capacity(), std::size_t{1024});
}

TEST(RecordReaderTest, AReadErrorStopsTheFile) {
    int calls = 0;
    RecordReader reader(
        [&](char* buffer, std::size_t) -> long long {
            if (calls++ == 0) {
                buffer[0] = 'a';
                buffer[1] = '\n';
                return 2;
            }
            return -1;
        },
        {});
    RawRecord record;
    EXPECT_TRUE(reader.Next(",", record));
    EXPECT_FALSE(reader.Next(",", record));
    EXPECT_EQ(reader.Stop(), ReadStop::ReadError);
}

TEST(SplitFieldsTest, RefusesMoreFieldsThanAllowed) {
    std::vector<std::string> fields;
    EXPECT_TRUE(SplitFields("a,b,c", ',', 3, fields));
    EXPECT_FALSE(SplitFields("a,b,c,d", ',', 3, fields));
    EXPECT_TRUE(SplitFields("a;b,c", ';', 3, fields));
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "b,c"}));
}

}  // namespace
}  // namespace pile::schedule
