#include "schedule/schedule.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <variant>

#include "engine/utf_text.h"
#include "testing/schedule_source.h"

namespace pile::schedule {
namespace {

using testing::kHeader;
using testing::SourceOf;

std::variant<Schedule, std::u16string> Read(const std::string& bytes, ReaderLimits limits = {}) {
    return ReadSchedule(SourceOf(bytes), limits);
}

std::string Why(const std::variant<Schedule, std::u16string>& read) {
    const auto* why = std::get_if<std::u16string>(&read);
    return why ? Utf16ToUtf8(*why) : "(read)";
}

// ------------------------------------------------------------ files that cannot be read

struct UnreadableCase {
    const char* name;
    std::string bytes;
    std::string message;
};

void PrintTo(const UnreadableCase& row, std::ostream* os) {
    *os << row.name;
}

class UnreadableTest : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableTest, SaysWhy) {
    EXPECT_EQ(Why(Read(GetParam().bytes, {.maxFileBytes = 1 << 20, .maxRows = 3})),
              GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Schedule, UnreadableTest,
    ::testing::Values(
        UnreadableCase{"EmptyFile", "", "文件是空的"},
        UnreadableCase{"OnlyBlankLines", "\r\n,,,\r\n\r\n", "文件是空的"},
        UnreadableCase{"Binary",
                       std::string("\x7F"
                                   "ELF\x02\x01\x01\0\0\0",
                                   10) +
                           "\n",
                       "第 1 行: 不是 CSV 文本文件（含有空字符）"},
        UnreadableCase{"NotCsvText", "Hello, world\nsecond line\n",
                       "第 1 行: 不是桩表的表头，缺少列：d或a（又作 "
                       "d、桩径、直径、桩身直径、设计桩径、a、长边 或 矩形长边）、hr（又作 "
                       "嵌岩深度、嵌岩长度、嵌岩段长度 或 入岩深度）、混凝土（又作 "
                       "混凝土强度等级、混凝土等级、砼强度等级、砼等级、桩身混凝土 或 "
                       "桩身混凝土强度等级）、frk（又作 "
                       "岩石单轴抗压强度、岩石单轴抗压强度标准值、岩石饱和单轴抗压强度 或 "
                       "岩石饱和单轴抗压强度标准值） 或 fuk（又作 桩端地基极限承载力 或 "
                       "桩端地基极限承载力标准值）；没有认出任何列"},
        UnreadableCase{"MissingColumn", "桩号,截面,参数,d或a,c或b,混凝土,工艺,frk\n",
                       "第 1 行: 不是桩表的表头，缺少列：hr（又作 嵌岩深度、嵌岩长度、嵌岩段长度 "
                       "或 入岩深度）；认出的列：桩号、截面、参数、d或a、c或b、混凝土、工艺、frk"},
        UnreadableCase{"TwoNamesOfOneColumn", "桩径,hr,混凝土,frk,直径\n",
                       "第 1 行: 表头中「桩径」和「直径」都是「d或a」列，只能留一列"},
        UnreadableCase{"DuplicateColumn", "截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,截面\n",
                       "第 1 行: 表头中「截面」列出现了两次"},
        UnreadableCase{"HeaderAfterBlankLinesCountsItsLine", "\n\n截面,d或a,混凝土,fuk\n",
                       "第 3 行: 不是桩表的表头，缺少列：hr（又作 嵌岩深度、嵌岩长度、嵌岩段长度 "
                       "或 入岩深度）；认出的列：截面、d或a、混凝土、fuk"},
        UnreadableCase{"TitleAboveAHeaderThatLacksAColumn",
                       "某工程桩表,,\n\n截面,d或a,混凝土,fuk\n",
                       "第 3 行: 不是桩表的表头，缺少列：hr（又作 嵌岩深度、嵌岩长度、嵌岩段长度 "
                       "或 入岩深度）；认出的列：截面、d或a、混凝土、fuk"},
        UnreadableCase{"Utf16", "\xFF\xFE\x69\x68\n",
                       "文件是 UTF-16 编码；请在 Excel 中另存为“CSV (逗号分隔)”或“CSV UTF-8”"},
        UnreadableCase{"TooLarge", std::string(kHeader) + std::string(2 << 20, '\n'),
                       "文件超过 1 MB，不是桩表"},
        UnreadableCase{"TooManyRows",
                       std::string(kHeader) + "a\n\nb\n,,,\nc\nd\n",  // blank rows not counted
                       "桩表超过 3 行，请分成几个文件"}),
    [](const auto& row) { return std::string(row.param.name); });

// ------------------------------------------------------------ the header

TEST(HeaderTest, FindsColumnsInAnyOrderWithUnitsCaseAndOtherColumns) {
    const auto read =
        Read("备注;FRK (MPa);fuk（MPa）;工艺;混凝土;HR(mm);c或b;D或A(mm);参数;截面\n");
    ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Why(read);
    const ScheduleHeader& header = std::get<Schedule>(read).header;
    EXPECT_EQ(header.separator, ';');
    EXPECT_EQ(header.encoding, TextEncoding::Utf8);
    EXPECT_EQ(header.field[static_cast<std::size_t>(Column::Dd)], 7u);
    EXPECT_EQ(header.field[static_cast<std::size_t>(Column::Frk)], 1u);
    EXPECT_FALSE(header.field[static_cast<std::size_t>(Column::PileLabel)]);
}

// Header texts as engineers write them, and texts that name no column.
TEST(HeaderTest, KnowsTheNamesEngineersWrite) {
    const std::pair<std::u16string, std::optional<Column>> spellings[] = {
        {u"桩编号", Column::PileLabel},  {u"截面形式", Column::Section},
        {u"岩石参数", Column::Mode},     {u"桩径(mm)", Column::Dd},
        {u"桩径d（ｍｍ）", Column::Dd},  {u"Ｄ", Column::Dd},
        {u"矩形 短边", Column::Tyzd},    {u"嵌岩深度hr", Column::Hr},
        {u"嵌岩段长度 (m)", Column::Hr}, {u"砼强度等级", Column::Grade},
        {u"成桩工艺", Column::Process},  {u"岩石饱和单轴抗压强度标准值frk(MPa)", Column::Frk},
        {u"ＦＵＫ（kPa）", Column::Fuk}, {u"结果精度", Column::Precision},
        {u"备注", std::nullopt},         {u"xhr", std::nullopt},
        {u"桩长", std::nullopt},         {u"(mm)", std::nullopt},
    };
    for (const auto& [text, column] : spellings) {
        EXPECT_EQ(ColumnOf(text), column) << Utf16ToUtf8(text);
    }
}

TEST(HeaderTest, TellsGbkFromUtf8ByDecoding) {
    // "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk" and one row in GBK, as a Chinese
    // Windows saves "CSV (逗号分隔)".
    const std::string gbk =
        "\xd7\xae\xba\xc5\x2c\xbd\xd8\xc3\xe6\x2c\xb2\xce\xca\xfd\x2c\x64\xbb\xf2\x61\x2c\x63\xbb"
        "\xf2\x62\x2c\x68\x72\x2c\xbb\xec\xc4\xfd\xcd\xc1\x2c\xb9\xa4\xd2\xd5\x2c\x66\x72\x6b\x2c"
        "\x66\x75\x6b\x0d\x0a\xd7\xae\x41\x2c\xd4\xb2\xd7\xae\x2c\x66\x72\x6b\x2c\x31\x30\x30\x30"
        "\x2c\x30\x2c\x31\x2e\x30\x64\x2c\x43\x33\x30\x2c\xc4\xe0\xbd\xac\xbb\xa4\xb1\xda\xb3\xc9"
        "\xd7\xae\x2c\x32\x35\x2c\x32\x34\x0d\x0a";
    TextDecoder probe(TextEncoding::Legacy);
    if (probe.Decode("\xd7\xae") != u"桩") {
        GTEST_SKIP() << "the system's ANSI code page is not 936 (GBK)";
    }
    const auto read = Read(gbk);
    ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Why(read);
    const Schedule& schedule = std::get<Schedule>(read);
    EXPECT_EQ(schedule.header.encoding, TextEncoding::Legacy);
    ASSERT_EQ(schedule.entries.size(), 1u);
    EXPECT_EQ(schedule.entries[0].pileLabel, u"桩A");
    const auto& row = std::get<ScheduleRow>(schedule.entries[0].result);
    EXPECT_EQ(row.panel.process, ConstructionProcess::MudWall);
}

TEST(HeaderTest, AUtf8ByteOrderMarkMeansUtf8) {
    // After the mark, bytes that are not UTF-8 are not read as GBK instead.
    EXPECT_EQ(Why(Read("\xEF\xBB\xBF\xbd\xd8\xc3\xe6\n")),
              "第 1 行: 文件以 UTF-8 标记开头，却不是有效的 UTF-8 文字");
}

// ------------------------------------------------------------ one row

struct RowCase {
    const char* name;
    std::string row;      // the cells after the header kHeader
    std::string refusal;  // empty: read
    SectionType section = SectionType::Circle;
    RockParameterMode mode = RockParameterMode::Frk;
    std::u16string tyzd = u"0";
    ConcreteGrade grade = ConcreteGrade::C30;
    ConstructionProcess process = ConstructionProcess::MudWall;
    PrecisionMode precision = PrecisionMode::Units;
};

void PrintTo(const RowCase& row, std::ostream* os) {
    *os << row.name;
}

class RowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowTest, ReadsAsTheWindowWouldHoldIt) {
    const RowCase& c = GetParam();
    const auto read = Read(std::string(kHeader) + c.row + "\r\n");
    ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Why(read);
    const auto& entries = std::get<Schedule>(read).entries;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].line, 2u);
    if (!c.refusal.empty()) {
        const auto* why = std::get_if<std::u16string>(&entries[0].result);
        ASSERT_NE(why, nullptr);
        const std::u16string& cell = entries[0].cell;
        EXPECT_EQ(Utf16ToUtf8(cell.empty() ? *why : cell + u": " + *why), c.refusal);
        return;
    }
    const auto* row = std::get_if<ScheduleRow>(&entries[0].result);
    ASSERT_NE(row, nullptr) << Utf16ToUtf8(std::get<std::u16string>(entries[0].result));
    EXPECT_EQ(row->panel.sectionType, c.section);
    EXPECT_EQ(row->panel.rockMode, c.mode);
    EXPECT_EQ(row->panel.tyzdText, c.tyzd);
    EXPECT_EQ(row->panel.concreteGrade, c.grade);
    EXPECT_EQ(row->panel.process, c.process);
    EXPECT_EQ(row->precision, c.precision);
}

INSTANTIATE_TEST_SUITE_P(
    Schedule, RowTest,
    ::testing::Values(
        RowCase{"CircleFrk", "Z1,圆桩,frk,1000,500,1.0d,C30,泥浆护壁成桩,25,24,", ""},
        RowCase{"ListTextsWithBlanksCaseAndFullWidth",
                "Z1, 圆桩 ,FRK,1000,0,1.0d,ｃ45,干作业成桩（清底干净）,25,,一位小数", "",
                SectionType::Circle, RockParameterMode::Frk, u"0", ConcreteGrade::C45,
                ConstructionProcess::DryClean, PrecisionMode::OneDecimal},
        RowCase{"RectangleFukEmptyProcess", "Z3,矩形桩,fuk,800,1000,1.5b,C25,,,24,百位取整", "",
                SectionType::Rectangle, RockParameterMode::Fuk, u"1000", ConcreteGrade::C25,
                ConstructionProcess::DryClean, PrecisionMode::Hundreds},
        RowCase{"FukProcessOfBlanks", "Z3,圆桩,fuk,800,0,1.5d,C25,  ,,24,", "", SectionType::Circle,
                RockParameterMode::Fuk, u"0", ConcreteGrade::C25, ConstructionProcess::DryClean},
        RowCase{"FukProcessOfAnIdeographicSpace", "Z3,圆桩,fuk,800,0,1.5d,C25,\u3000,,24,", "",
                SectionType::Circle, RockParameterMode::Fuk, u"0", ConcreteGrade::C25,
                ConstructionProcess::DryClean},
        RowCase{"ShortRowReadsMissingCellsAsEmpty", "Z3,椭圆桩,fuk,1000,500,1.0d,C30", "",
                SectionType::Ellipse, RockParameterMode::Fuk, u"500", ConcreteGrade::C30,
                ConstructionProcess::DryClean},
        RowCase{"UnknownSection", "Z1,方桩,fuk,1000,0,1.0d,C30,,25,24",
                "截面 B2「方桩」: 应为 圆桩、椭圆桩 或 矩形桩"},
        RowCase{"EmptyMode", "Z1,圆桩,,1000,0,1.0d,C30,,25,24",
                "参数 C2: 为空，应为 frk 或 fuk（frk I2 和 fuk J2 都已填写）"},
        RowCase{"EmptyModeTakenFromFrk", "Z1,圆桩,,1000,0,1.0d,C30,泥浆护壁成桩,25,", ""},
        RowCase{"EllipseInFrkMode", "Z1,椭圆桩,frk,1000,500,1.0d,C30,泥浆护壁成桩,25,24",
                "截面 B2「椭圆桩」: 按 frk 计算时截面只能是圆桩，椭圆桩须按 fuk 计算"},
        RowCase{"FrkProcessInFukMode", "Z1,圆桩,fuk,1000,0,1.0d,C30,泥浆护壁成桩,25,24",
                "工艺 H2「泥浆护壁成桩」: 应为 干作业成孔且清底干净"},
        RowCase{"EmptyProcessInFrkMode", "Z1,圆桩,frk,1000,0,1.0d,C30,,25,24",
                "工艺 H2: 为空，应为 干作业成桩(清底干净)、泥浆护壁成桩 或 泥浆护壁成桩后注浆"},
        RowCase{"UnknownGrade", "Z1,圆桩,frk,1000,0,1.0d,C65,泥浆护壁成桩,25,24",
                "混凝土 G2「C65」: 应为 C25、C30、C35、C40、C45、C50、C55 或 C60"},
        RowCase{"UnknownPrecision", "Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,三位小数",
                "精度 K2「三位小数」: 应为 两位小数、一位小数、个位取整、十位取整 或 百位取整"},
        RowCase{"LongCellCutInTheMessage",
                "Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,abcdefghijklmnopqrstuvwxyz",
                "精度 K2「abcdefghijklmnopqrst…」: 应为 两位小数、一位小数、个位取整、十位取整 或 "
                "百位取整"},
        RowCase{"TooManyFieldsAThousandsSeparator",
                "Z1,圆桩,frk,1,000,0,1.0d,C30,泥浆护壁成桩,25,24,",
                "有 12 个字段，多于表头的 11 个（数中的分隔符须放在引号里）"},
        RowCase{"LineBreakInABoxCell", "Z1,圆桩,frk,1000,0,\"1.0d\nx\",C30,泥浆护壁成桩,25,24",
                "hr F2「1.0d x」: 含有换行或控制字符"},
        RowCase{"NulByte",
                std::string("Z1,圆桩,frk,10\0"
                            "00,0,1.0d,C30,泥浆护壁成桩,25,24",
                            55),
                "含有空字符（NUL），不是文本"},
        RowCase{"InvalidUtf8", "Z1,圆桩,frk,1000,0,1.0d,C30,\xC4\xE0,25,24",
                "不是有效的 UTF-8 文字"},
        RowCase{"UnclosedQuote", "Z1,\"圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24",
                "引号不成对，从这一行到文件末尾（第 2 行）都未能读取"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RowTest, AScheduleWithOneRockColumnIsOfItsModeEvenWhereTheCellIsEmpty) {
    struct OneRock {
        std::string column;
        std::string process;
        RockParameterMode mode;
    };
    for (const OneRock& c : {OneRock{"frk", "泥浆护壁成桩", RockParameterMode::Frk},
                             OneRock{"fuk", "", RockParameterMode::Fuk}}) {
        const std::string row = "1000,1.0d,C30," + c.process + ",";
        const auto read =
            Read("d或a,hr,混凝土,工艺," + c.column + "\n" + row + "\n" + row + "25\n");
        ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Why(read);
        for (const ScheduleEntry& entry : std::get<Schedule>(read).entries) {
            const auto* pile = std::get_if<ScheduleRow>(&entry.result);
            ASSERT_NE(pile, nullptr) << Utf16ToUtf8(std::get<std::u16string>(entry.result));
            EXPECT_EQ(pile->panel.rockMode, c.mode);
        }
    }
}

TEST(RowTest, KeepsBoxTextsExactlyAndLabelsAsWritten) {
    const auto read = Read(std::string(kHeader) +
                           "\" =A1\",矩形桩,fuk, 800 ,1000.50,1.5b,C30,,x, 24,\r\n,,,,\r\n");
    ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Why(read);
    const auto& entries = std::get<Schedule>(read).entries;
    ASSERT_EQ(entries.size(), 1u);  // the blank row is no pile
    EXPECT_EQ(entries[0].pileLabel, u" =A1");
    const auto& panel = std::get<ScheduleRow>(entries[0].result).panel;
    EXPECT_EQ(panel.ddText, u" 800 ");
    EXPECT_EQ(panel.tyzdText, u"1000.50");
    EXPECT_EQ(panel.hrText, u"1.5b");
    EXPECT_EQ(panel.frkText, u"x");
    EXPECT_EQ(panel.fukText, u" 24");
}

TEST(TemplateTest, ReadsBackAsOneRowOfEachSectionAndModeWithOnlyItsRockValue) {
    const auto read = Read(ScheduleTemplate());
    ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Why(read);
    std::set<std::pair<SectionType, RockParameterMode>> kinds;
    for (const ScheduleEntry& entry : std::get<Schedule>(read).entries) {
        const auto* row = std::get_if<ScheduleRow>(&entry.result);
        ASSERT_NE(row, nullptr) << entry.line;  // the column list is not read as rows
        EXPECT_TRUE(kinds.insert({row->panel.sectionType, row->panel.rockMode}).second);
        const bool frk = row->panel.rockMode == RockParameterMode::Frk;
        EXPECT_TRUE((frk ? row->panel.fukText : row->panel.frkText).empty()) << entry.line;
    }
    EXPECT_EQ(kinds.size(), 4u);  // the circle in both modes, the other sections in fuk
}

// The list names every column once, each with the names the reader takes for it.
TEST(TemplateTest, ColumnListAgreesWithTheReader) {
    std::set<Column> listed;
    const std::string list = ColumnList();
    for (std::size_t start = list.find("\r\n") + 2; start < list.size();) {
        const std::size_t end = list.find("\r\n", start);
        std::vector<std::string> fields;
        SplitFields(std::string_view(list).substr(start, end - start), ',', 8, fields);
        start = end + 2;
        const std::optional<Column> column = ColumnOf(Utf8ToUtf16(fields[0]));
        ASSERT_TRUE(column) << fields[0];
        EXPECT_TRUE(listed.insert(*column).second) << fields[0];
        for (std::size_t at = 0; at < fields[1].size();) {
            const std::size_t next = std::min(fields[1].find("、", at), fields[1].size());
            EXPECT_EQ(ColumnOf(Utf8ToUtf16(fields[1].substr(at, next - at))), column) << fields[1];
            at = next + std::string_view("、").size();
        }
    }
    EXPECT_EQ(listed.size(), kColumnCount);
}

}  // namespace
}  // namespace pile::schedule
