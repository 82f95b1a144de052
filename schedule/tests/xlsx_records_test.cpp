#include "schedule/xlsx_records.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "engine/utf_text.h"
#include "schedule/xlsx_schedule.h"
#include "testing/workbook_source.h"

namespace pile::schedule {
namespace {

using testing::Part;
using testing::SheetXml;
using testing::WorkbookParts;
using testing::ZipOf;

std::string Why(const std::variant<Worksheet, std::u16string>& read) {
    const auto* why = std::get_if<std::u16string>(&read);
    return why ? Utf16ToUtf8(*why) : "(read)";
}

// ------------------------------------------------------------ cells as a person sees them

struct CellCase {
    const char* name;
    std::string cell;    // the <c> element in row 1
    std::string shared;  // <si> items, if any
    std::string text;    // what the cell reads as
    bool formulaWithoutValue = false;
};

void PrintTo(const CellCase& row, std::ostream* os) {
    *os << row.name;
}

class CellTextTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellTextTest, ReadsAsShown) {
    const std::string sheet = SheetXml("<row r=\"1\">" + GetParam().cell + "</row>");
    const auto read = ReadWorksheet(ZipOf(WorkbookParts(sheet, GetParam().shared)), "");
    ASSERT_TRUE(std::holds_alternative<Worksheet>(read)) << Why(read);
    const auto& rows = std::get<Worksheet>(read).rows;
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].cells.size(), 1u);
    EXPECT_EQ(rows[0].cells[0].text, GetParam().text);
    EXPECT_EQ(rows[0].cells[0].formulaWithoutValue, GetParam().formulaWithoutValue);
}

INSTANTIATE_TEST_SUITE_P(
    Xlsx, CellTextTest,
    ::testing::Values(
        CellCase{"SharedString", "<c r=\"A1\" t=\"s\"><v>1</v></c>",
                 "<si><t>圆桩</t></si><si><t>椭圆桩</t></si>", "椭圆桩"},
        CellCase{"RichTextRunsWithoutPhoneticGuide", "<c r=\"A1\" t=\"s\"><v>0</v></c>",
                 "<si><r><t>泥浆</t></r><r><t xml:space=\"preserve\">护壁成桩</t></r>"
                 "<rPh sb=\"0\" eb=\"2\"><t>ni jiang</t></rPh></si>",
                 "泥浆护壁成桩"},
        CellCase{"InlineString", "<c r=\"A1\" t=\"inlineStr\"><is><t>1.5d</t></is></c>", "",
                 "1.5d"},
        CellCase{"IntegerDoubleWithoutPoint", "<c r=\"A1\"><v>1200.0</v></c>", "", "1200"},
        CellCase{"ShortestRoundTrip", "<c r=\"A1\"><v>0.10000000000000001</v></c>", "", "0.1"},
        CellCase{"SeventeenDigitsOfExcel", "<c r=\"A1\" t=\"n\"><v>1.1000000000000001</v></c>", "",
                 "1.1"},
        CellCase{"Exponent", "<c r=\"A1\"><v>1.5E-3</v></c>", "", "0.0015"},
        CellCase{"NotANumberStaysAsWritten", "<c r=\"A1\"><v>12abc</v></c>", "", "12abc"},
        CellCase{"Boolean", "<c r=\"A1\" t=\"b\"><v>1</v></c>", "", "TRUE"},
        CellCase{"ErrorValue", "<c r=\"A1\" t=\"e\"><v>#DIV/0!</v></c>", "", "#DIV/0!"},
        CellCase{"FormulaWithCachedNumber", "<c r=\"A1\"><f>20+5</f><v>25</v></c>", "", "25"},
        CellCase{"FormulaWithCachedText", "<c r=\"A1\" t=\"str\"><f>\"C\"&amp;30</f><v>C30</v></c>",
                 "", "C30"},
        CellCase{"FormulaNeverCalculated", "<c r=\"A1\"><f>20+5</f><v></v></c>", "", "", true},
        CellCase{"PrefixedNamespace",
                 "<x:c xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                 "r=\"A1\" t=\"inlineStr\"><x:is><x:t>C30</x:t></x:is></x:c>",
                 "", "C30"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(WorksheetTest, MergedRangesFillTheirRowsAndCellsWithoutPositionFollowOn) {
    const std::string sheet = SheetXml(
        "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>C30</t></is></c><c><v>7</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>1</v></c></row>"
        "<row r=\"4\"><c r=\"D4\"><v>2</v></c></row>",  // row 5 of the range has no content
        "<mergeCells><mergeCell ref=\"B2:B5\"/></mergeCells>");
    const auto read = ReadWorksheet(ZipOf(WorkbookParts(sheet)), "");
    ASSERT_TRUE(std::holds_alternative<Worksheet>(read)) << Why(read);
    const auto& rows = std::get<Worksheet>(read).rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].cells[1].column, 3u);  // C2, after B2
    for (const SheetRow& row : rows) {
        const auto b = std::find_if(row.cells.begin(), row.cells.end(),
                                    [](const SheetCell& c) { return c.column == 2; });
        ASSERT_NE(b, row.cells.end()) << row.number;
        EXPECT_EQ(b->text, "C30");
    }
}

// The range's last row and last column are its own: both filled where the row has content.
TEST(WorksheetTest, AMergedRangeFillsItsLastRowAndColumn) {
    const std::string sheet = SheetXml(
        "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>C30</t></is></c></row>"
        "<row r=\"3\"><c r=\"E3\"><v>2</v></c></row>",
        "<mergeCells><mergeCell ref=\"B2:C3\"/></mergeCells>");
    const auto read = ReadWorksheet(ZipOf(WorkbookParts(sheet)), "");
    ASSERT_TRUE(std::holds_alternative<Worksheet>(read)) << Why(read);
    std::vector<std::string> filled;
    for (const SheetRow& row : std::get<Worksheet>(read).rows) {
        for (const SheetCell& cell : row.cells) {
            if (cell.text == "C30") {
                filled.push_back(CellReference(row.number, cell.column));
            }
        }
    }
    EXPECT_EQ(filled, (std::vector<std::string>{"B2", "C2", "B3", "C3"}));
}

TEST(WorksheetTest, ARowWrittenAsTwoElementsReadsAsOneSortedRow) {
    const std::string sheet = SheetXml(
        "<row r=\"2\"><c r=\"C2\"><v>3</v></c></row>"
        "<row r=\"1\"><c r=\"A1\"><v>9</v></c></row>"
        "<row r=\"2\"><c r=\"A2\"><v>1</v></c></row>");
    const auto read = ReadWorksheet(ZipOf(WorkbookParts(sheet)), "");
    ASSERT_TRUE(std::holds_alternative<Worksheet>(read)) << Why(read);
    const auto& rows = std::get<Worksheet>(read).rows;
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows[1].cells.size(), 2u);
    EXPECT_EQ(rows[1].cells[0].column, 1u);
    EXPECT_EQ(rows[1].cells[1].column, 3u);
}

TEST(WorksheetTest, ALongTextReadsInPiecesWithinTheTagLimit) {
    std::string text;
    for (int i = 0; i < 32767; ++i) {
        text += "桩";
    }
    const std::string sheet =
        SheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + text + "</t></is></c></row>");
    const auto read = ReadWorksheet(ZipOf(WorkbookParts(sheet)), "", {.maxTokenBytes = 16 << 10});
    ASSERT_TRUE(std::holds_alternative<Worksheet>(read)) << Why(read);
    EXPECT_EQ(std::get<Worksheet>(read).rows[0].cells[0].text, text);
}

TEST(WorksheetTest, CellReferencesAndNumbers) {
    EXPECT_EQ(CellReference(7, 9), "I7");
    EXPECT_EQ(CellReference(12, 28), "AB12");
    EXPECT_EQ(CellReference(1, 1024), "AMJ1");
    EXPECT_EQ(NumberText(-0.5), "-0.5");
    EXPECT_EQ(NumberText(1e21), "1e+21");
}

// ------------------------------------------------------------ workbooks that are refused

std::string BillionLaughs() {
    std::string dtd = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c) {
        const std::string previous = std::string("&") + static_cast<char>(c - 1) + ";";
        std::string tenTimes;
        for (int i = 0; i < 10; ++i) {
            tenTimes += previous;
        }
        dtd += std::string("<!ENTITY ") + c + " \"" + tenTimes + "\">";
    }
    return dtd +
           "]><worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&j;</t></is></c></row>"
           "</sheetData></worksheet>";
}

std::string Nested(int depth) {
    std::string open;
    std::string close;
    for (int i = 0; i < depth; ++i) {
        open += "<x>";
        close += "</x>";
    }
    return SheetXml("", open + close);
}

std::string Rows(int count) {
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        rows += "<row r=\"" + std::to_string(i) + "\"><c r=\"A" + std::to_string(i) +
                "\"><v>1</v></c></row>";
    }
    return rows;
}

std::string Valid() {
    return ZipOf(WorkbookParts(SheetXml(Rows(3))));
}

std::string WithSheetByteChanged() {
    auto parts = WorkbookParts(SheetXml(Rows(3)));
    parts.back().stored = true;
    std::string zip = ZipOf(parts);
    zip[zip.find("<v>1</v>") + 3] = '3';  // still XML, no longer its CRC
    return zip;
}

// A zip written byte by byte, so that its sizes and checksums may lie: each part deflated,
// with the CRC and uncompressed size given (else its own), and when asked in the ZIP64 form
// (every size and offset in the extra fields, the end records of ZIP64) that large archives take.
struct RawPart {
    std::string name;
    std::string bytes;
    std::uint32_t sizeOverstatedBy = 0;
    std::optional<std::uint32_t> crc;
};

std::uint32_t Crc(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string RawZip(const std::vector<RawPart>& parts, bool zip64 = false) {
    // Little-endian fields, each a value and its width in bytes.
    const auto put = [](std::string& out,
                        std::initializer_list<std::pair<std::uint64_t, int>> fields) {
        for (const auto& [value, bytes] : fields) {
            // A field wider than the value (ten zero bytes) is zeros past its eighth byte.
            for (int i = 0; i < bytes; ++i) {
                out.push_back(i < 8 ? static_cast<char>(value >> (8 * i)) : '\0');
            }
        }
    };
    const std::uint32_t all = 0xFFFFFFFF;
    std::string zip;
    std::string central;
    for (const RawPart& part : parts) {
        std::string deflated(compressBound(static_cast<uLong>(part.bytes.size())) + 64, '\0');
        z_stream z{};
        deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.bytes.data()));
        z.avail_in = static_cast<uInt>(part.bytes.size());
        z.next_out = reinterpret_cast<Bytef*>(deflated.data());
        z.avail_out = static_cast<uInt>(deflated.size());
        deflate(&z, Z_FINISH);
        deflated.resize(z.total_out);
        deflateEnd(&z);
        const std::uint64_t size = part.bytes.size() + part.sizeOverstatedBy;
        const std::uint64_t offset = zip.size();
        // From "version needed" to the name's length: UTF-8 names, deflated, 1980-01-01.
        std::string common;
        put(common, {{zip64 ? 45 : 20, 2},
                     {0x0800, 2},
                     {8, 2},
                     {0x00210000, 4},
                     {part.crc.value_or(Crc(part.bytes)), 4},
                     {zip64 ? all : deflated.size(), 4},
                     {zip64 ? all : size, 4},
                     {part.name.size(), 2}});
        std::string localExtra;
        std::string centralExtra;
        if (zip64) {
            put(localExtra, {{1, 2}, {16, 2}, {size, 8}, {deflated.size(), 8}});
            put(centralExtra, {{1, 2}, {24, 2}, {size, 8}, {deflated.size(), 8}, {offset, 8}});
        }
        put(zip, {{0x04034b50, 4}});
        zip += common;
        put(zip, {{localExtra.size(), 2}});
        zip += part.name + localExtra + deflated;
        put(central, {{0x02014b50, 4}, {45, 2}});
        central += common;
        // The extra field's length; comment, disk, attributes; the local header's offset.
        put(central, {{centralExtra.size(), 2}, {0, 10}, {zip64 ? all : offset, 4}});
        central += part.name + centralExtra;
    }
    const std::uint64_t centralAt = zip.size();
    zip += central;
    if (zip64) {  // the end record of ZIP64 and its locator
        put(zip, {{0x06064b50, 4},
                  {44, 8},
                  {45, 2},
                  {45, 2},
                  {0, 8},
                  {parts.size(), 8},
                  {parts.size(), 8},
                  {central.size(), 8},
                  {centralAt, 8}});
        put(zip, {{0x07064b50, 4}, {0, 4}, {centralAt + central.size(), 8}, {1, 4}});
    }
    put(zip, {{0x06054b50, 4},
              {0, 4},
              {zip64 ? 0xFFFF : parts.size(), 2},
              {zip64 ? 0xFFFF : parts.size(), 2},
              {zip64 ? all : central.size(), 4},
              {zip64 ? all : centralAt, 4},
              {0, 2}});
    return zip;
}

// The parts of a workbook whose sheet reads 1000 in A1, as a byte-by-byte zip takes them.
std::vector<RawPart> RawParts(const std::string& number = "1000") {
    std::vector<RawPart> parts;
    for (Part& part :
         WorkbookParts(SheetXml("<row r=\"1\"><c r=\"A1\"><v>" + number + "</v></c></row>"))) {
        parts.push_back({part.name, part.bytes, 0, std::nullopt});
    }
    return parts;
}

std::string SheetSizesOverstated() {
    std::vector<RawPart> parts = RawParts();
    parts.back().sizeOverstatedBy = 1000;
    return RawZip(parts);
}

// 1000 changed to 9000 in the sheet, its CRC left as it was: a reader that checks the CRC
// only when the stated size was read to its end reads 9000 as good.
std::string DigitChangedUnderOverstatedSizes() {
    std::vector<RawPart> parts = RawParts("9000");
    parts.back().crc = Crc(RawParts().back().bytes);
    parts.back().sizeOverstatedBy = 1000;
    return RawZip(parts);
}

struct HostileCase {
    const char* name;
    std::string bytes;
    WorkbookLimits limits;
    std::string message;
};

void PrintTo(const HostileCase& row, std::ostream* os) {
    *os << row.name;
}

class HostileWorkbookTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileWorkbookTest, IsRefusedWithItsReason) {
    EXPECT_EQ(Why(ReadWorksheet(GetParam().bytes, "", GetParam().limits)), GetParam().message);
}

constexpr char kSaveAs[] = "另存为“Excel 工作簿 (*.xlsx)”或“CSV UTF-8”";

INSTANTIATE_TEST_SUITE_P(
    Xlsx, HostileWorkbookTest,
    ::testing::Values(
        HostileCase{"Truncated",
                    Valid().substr(0, Valid().size() / 2),
                    {},
                    "工作簿已损坏或不完整（zip 压缩包读不了）"},
        HostileCase{"ChangedByte",
                    WithSheetByteChanged(),
                    {},
                    "工作簿已损坏：xl/worksheets/sheet1.xml 的校验和不对"},
        HostileCase{"SizesOverstated",
                    SheetSizesOverstated(),
                    {},
                    "工作簿已损坏：xl/worksheets/sheet1.xml 的校验和不对"},
        HostileCase{"DigitChangedUnderOverstatedSizes",
                    DigitChangedUnderOverstatedSizes(),
                    {},
                    "工作簿已损坏：xl/worksheets/sheet1.xml 的校验和不对"},
        HostileCase{"ZipBomb",
                    ZipOf(WorkbookParts(std::string(1 << 16, ' ')), 40),
                    {.maxUncompressedBytes = 2 << 20},
                    "工作簿解压后超过 2 MB，不是桩表（可能是压缩炸弹）"},
        HostileCase{
            "TooManyEntries", Valid(), {.maxEntries = 3}, "工作簿含有超过 3 个部件，不是桩表"},
        HostileCase{"BillionLaughs",
                    ZipOf(WorkbookParts(BillionLaughs())),
                    {},
                    "xl/worksheets/sheet1.xml 含有 DTD 声明，不予读取"},
        HostileCase{"ExternalEntity",
                    ZipOf(WorkbookParts("<!DOCTYPE w SYSTEM \"file:///etc/passwd\"><w/>")),
                    {},
                    "xl/worksheets/sheet1.xml 含有 DTD 声明，不予读取"},
        HostileCase{"DeepXml",
                    ZipOf(WorkbookParts(Nested(100))),
                    {},
                    "xl/worksheets/sheet1.xml 的 XML 嵌套超过 64 层，不予读取"},
        HostileCase{"BrokenXml",
                    ZipOf(WorkbookParts("<worksheet><sheetData>\n<row>")),
                    {},
                    "工作簿已损坏：xl/worksheets/sheet1.xml 第 2 行不是有效的 XML"},
        HostileCase{"TooManyRows",
                    ZipOf(WorkbookParts(SheetXml(Rows(4)))),
                    {.maxRows = 3},
                    "工作表「Sheet1」有内容的行超过 3 行，请分成几个文件"},
        HostileCase{"ColumnBeyondLimit",
                    ZipOf(WorkbookParts(SheetXml("<row r=\"1\"><c r=\"AMK1\"><v>1</v></c></row>"))),
                    {},
                    "单元格 AMK1 在第 1024 列之后，不是桩表"},
        HostileCase{"LongCellText",
                    ZipOf(WorkbookParts(SheetXml("<row r=\"2\"><c r=\"C2\" t=\"inlineStr\"><is>"
                                                 "<t>一二三四五六</t></is></c></row>"))),
                    {.maxCellChars = 5},
                    "单元格 C2 的文字超过 5 个字符"},
        HostileCase{"TooManySharedStrings",
                    ZipOf(WorkbookParts(SheetXml(""), "<si><t>a</t></si><si><t>b</t></si>")),
                    {.maxSharedStrings = 1},
                    "共享字符串超过 1 个，不是桩表"},
        HostileCase{
            "SharedIndexPastTable",
            ZipOf(WorkbookParts(SheetXml("<row r=\"5\"><c r=\"C5\" t=\"s\"><v>7</v></c></row>"),
                                "<si><t>a</t></si>")),
            {},
            "单元格 C5 引用第 7 号共享字符串，但只有 1 个（文件已损坏）"},
        HostileCase{"MergedRangeBeyondCells",
                    ZipOf(WorkbookParts(SheetXml(Rows(50),
                                                 "<mergeCells><mergeCell ref=\"A1:AMJ50\"/>"
                                                 "</mergeCells>"))),
                    {.maxCells = 1000},
                    "工作表「Sheet1」的单元格（合并单元格逐格计）超过 1000 个，不是桩表"},
        HostileCase{
            "CellsSharingOneLongString",
            ZipOf(WorkbookParts(SheetXml(std::string("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                                                     "<c r=\"B1\" t=\"s\"><v>0</v></c></row>")),
                                "<si><t>" + std::string(700 * 1024, 'x') + "</t></si>")),
            {.maxCellChars = 1 << 20, .maxKeptBytes = 1 << 20},
            "工作表「Sheet1」的单元格文字（共享字符串和合并单元格逐格计）超过 1 MB，不是桩表"},
        HostileCase{
            "SharedStringsBeyondTheTextKept",
            ZipOf(WorkbookParts(SheetXml(""), "<si><t>" + std::string(700 * 1024, 'x') +
                                                  "</t></si><si><t>" +
                                                  std::string(700 * 1024, 'y') + "</t></si>")),
            {.maxCellChars = 1 << 20, .maxKeptBytes = 1 << 20},
            "共享字符串共超过 1 MB，不是桩表"},
        HostileCase{
            "LongValueMergedOverARange",
            ZipOf(WorkbookParts(SheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" +
                                             std::string(600 * 1024, 'x') +
                                             "</t></is></c><c r=\"C1\"><v>1</v></c></row>",
                                         "<mergeCells><mergeCell ref=\"A1:B1\"/></mergeCells>"))),
            {.maxCellChars = 1 << 20, .maxKeptBytes = 1 << 20},
            "工作表「Sheet1」的单元格文字（共享字符串和合并单元格逐格计）超过 1 MB，不是桩表"},
        HostileCase{"CellReferenceNamingAnotherRow",
                    ZipOf(WorkbookParts(SheetXml("<row r=\"2\"><c r=\"C7\"><v>1</v></c></row>"))),
                    {},
                    "工作表「Sheet1」的单元格 C7 写在第 2 行里（文件已损坏）"},
        HostileCase{"OverlappingMergedRanges",
                    ZipOf(WorkbookParts(SheetXml(Rows(50),
                                                 [] {
                                                     std::string ranges = "<mergeCells>";
                                                     for (int i = 0; i < 30; ++i) {
                                                         ranges += "<mergeCell ref=\"A1:A50\"/>";
                                                     }
                                                     return ranges + "</mergeCells>";
                                                 }()))),
                    {.maxCells = 1000},
                    "工作表「Sheet1」的单元格（合并单元格逐格计）超过 1000 个，不是桩表"},
        HostileCase{
            "LongAttribute",
            ZipOf(WorkbookParts(SheetXml("<row r=\"1\"><c r=\"A1\" x=\"" +
                                         std::string(3 << 20, 'x') + "\"><v>1</v></c></row>"))),
            {},
            "xl/worksheets/sheet1.xml 中有一个标签、属性或注释超过 1 MB，不予读取"},
        HostileCase{"OldBinaryXls",
                    std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(512, '\0'),
                    {},
                    std::string("这是 Excel 97-2003 工作簿（.xls）或 WPS 表格（.et），读不了；请在 "
                                "Excel 或 WPS 中") +
                        kSaveAs},
        HostileCase{"PasswordToOpen",
                    std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                        std::string("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32),
                    {},
                    std::string("工作簿设有打开密码，读不了；请在 Excel 中去掉密码（文件 → 信息 → "
                                "保护工作簿 → 用密码进行加密，清空）后保存，或") +
                        kSaveAs},
        HostileCase{"Xlsb",
                    ZipOf({{"_rels/.rels",
                            "<Relationships><Relationship Id=\"r\" Type=\"x/officeDocument\" "
                            "Target=\"xl/workbook.bin\"/></Relationships>"},
                           {"xl/workbook.bin", "\x83\x01"}}),
                    {},
                    std::string("这是 Excel 二进制工作簿（.xlsb），读不了；请") + kSaveAs},
        HostileCase{"Ods",
                    ZipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true},
                           {"content.xml", "<office:document-content/>"}}),
                    {},
                    "这是 OpenDocument 表格（.ods），读不了；请另存为“Excel 2007-365 (.xlsx)”或 "
                    "CSV"},
        HostileCase{"OtherZip",
                    ZipOf({{"readme.txt", "hello"}}),
                    {},
                    "是 zip 压缩包，但不是 Excel 工作簿；能读的是 .xlsx 工作簿和 CSV 文件"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(WorksheetTest, AZip64ArchiveReads) {
    const auto read = ReadWorksheet(RawZip(RawParts(), true), "");
    ASSERT_TRUE(std::holds_alternative<Worksheet>(read)) << Why(read);
    EXPECT_EQ(std::get<Worksheet>(read).rows.at(0).cells.at(0).text, "1000");
}

TEST(WorksheetTest, ANamedSheetThatIsMissingListsTheSheets) {
    EXPECT_EQ(Why(ReadWorksheet(Valid(), "桩表2")),
              "工作簿中没有名为「桩表2」的工作表；有 「Sheet1」");
}

// ------------------------------------------------------------ the schedule of a sheet

std::variant<Schedule, std::u16string> ScheduleOf(const std::string& rows) {
    const auto sheet = ReadWorksheet(ZipOf(WorkbookParts(SheetXml(rows))), "");
    if (const auto* why = std::get_if<std::u16string>(&sheet)) {
        return *why;
    }
    return ScheduleFromWorksheet(std::get<Worksheet>(sheet));
}

std::string InlineRow(int number, const std::vector<std::string>& texts) {
    std::string row = "<row r=\"" + std::to_string(number) + "\">";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!texts[i].empty()) {
            row += "<c r=\"" +
                   CellReference(static_cast<std::uint32_t>(number),
                                 static_cast<std::uint32_t>(i + 1)) +
                   "\" t=\"inlineStr\"><is><t>" + texts[i] + "</t></is></c>";
        }
    }
    return row + "</row>";
}

const std::vector<std::string> kHeaderCells = {"桩号", "截面",   "参数", "d或a", "c或b",
                                               "hr",   "混凝土", "工艺", "frk",  "fuk"};
const std::vector<std::string> kPile = {"Z1",  "圆桩",         "frk", "1000", "0",   "1.0d",
                                        "C30", "泥浆护壁成桩", "25",  "24",   "备注"};

TEST(WorksheetScheduleTest, TitleAboveHeaderAndUncalculatedFormulaNamesItsCell) {
    const auto read =
        ScheduleOf(InlineRow(1, {"某工程桩表"}) + InlineRow(3, kHeaderCells) + InlineRow(4, kPile) +
                   "<row r=\"7\"><c r=\"A7\" t=\"inlineStr\"><is><t>Z2</t></is></c>"
                   "<c r=\"I7\"><f>20+5</f></c></row>");
    ASSERT_TRUE(std::holds_alternative<Schedule>(read)) << Utf16ToUtf8(std::get<1>(read));
    const auto& entries = std::get<Schedule>(read).entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].line, 4u);
    EXPECT_TRUE(std::holds_alternative<ScheduleRow>(entries[0].result));  // K4 is not read
    EXPECT_EQ(entries[1].line, 7u);
    EXPECT_EQ(entries[1].pileLabel, u"Z2");
    EXPECT_EQ(entries[1].cell + u": " + std::get<std::u16string>(entries[1].result),
              u"frk I7: 公式没有计算结果，请在 Excel 中保存一次");
}

TEST(WorksheetScheduleTest, WithoutHeaderTheRowNamingMostColumnsSaysWhatIsMissing) {
    const std::vector<std::string> partial = {"桩号", "截面", "d或a", "混凝土", "frk"};
    const auto read = ScheduleOf(InlineRow(1, {"某工程桩表"}) + InlineRow(2, partial));
    EXPECT_EQ(
        Utf16ToUtf8(std::get<std::u16string>(read)),
        "工作表「Sheet1」第 2 行: 不是桩表的表头，缺少列：hr（又作 嵌岩深度、嵌岩长度、嵌岩段长度 "
        "或 入岩深度）；认出的列：桩号、截面、d或a、混凝土、frk");
}

}  // namespace
}  // namespace pile::schedule
