// pile_batch as a person runs it: the program, a schedule file, the files it leaves behind.
// Its books must be the books pile_replay makes of the same steps, byte for byte as "保存"
// writes them.
#include <gtest/gtest.h>
#include <unzip.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/resource.h>

#include <csignal>
#endif

#include "engine/pile_types.h"
#include "engine/utf_text.h"
#include "io/book_file.h"
#include "io/output_files.h"
#include "report/project_info.h"
#include "schedule/schedule.h"
#include "schedule/schedule_text.h"
#include "schedule/xlsx_records.h"
#include "testing/workbook_source.h"
#include "tools/replay_session.h"

namespace {

const QString kTextBook = QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt");
const QString kTableBook = QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt");
const QString kResults = QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_结果.csv");

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome RunBatch(const QStringList& arguments, const QString& locale = QStringLiteral("C.UTF-8")) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PILE_BATCH_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    Outcome outcome;
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    // A Windows console program ends its lines with CR LF.
    outcome.out = process.readAllStandardOutput().replace("\r\n", "\n").toStdString();
    outcome.err = process.readAllStandardError().replace("\r\n", "\n").toStdString();
    return outcome;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A schedule row and the pile_replay step of the same panel (section, rock, dd, tyzd, hr, frk,
// fuk, grade, process and precision indices); no step for a row the schedule refuses.
struct ScheduleLine {
    const char* csv;
    const char* step;
};

const ScheduleLine kSchedule[] = {
    {"Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,个位取整",
     "0\t0\t1000\t0\t1.0d\t25\t24\t1\t1\t2"},
    {"Z2,圆桩,frk,1200,,2000,C35,干作业成桩(清底干净),8,,两位小数",
     "0\t0\t1200\t0\t2000\t8\t\t2\t0\t0"},
    // Reads as 1.5 d in a decimal-comma locale and fails the socket-depth check elsewhere.
    {"Z3,圆桩,frk,1500,,\"1,5d\",C40,泥浆护壁成桩后注浆,70,,十位取整",
     "0\t0\t1500\t0\t1,5d\t70\t\t3\t2\t3"},
    {"Z4,圆桩,frk,0,,1.0d,C30,泥浆护壁成桩,25,,", "0\t0\t0\t0\t1.0d\t25\t\t1\t1\t2"},
    {"X,圆桩,frk,1000,0,1.0d,C70,泥浆护壁成桩,25,24,", nullptr},
    {"Z5,圆桩,fuk,1000,,5.0d,C30,,,3.5,一位小数", "0\t1\t1000\t0\t5.0d\t\t3.5\t1\t0\t1"},
    {"Z6,椭圆桩,fuk,1000,600,1.5d,C45,干作业成孔且清底干净,,24,百位取整",
     "1\t1\t1000\t600\t1.5d\t\t24\t4\t0\t4"},
    {"Z7,矩形桩,fuk,800,1000,1.5b,C50,,,24,", "2\t1\t800\t1000\t1.5b\t\t24\t5\t0\t2"},
    // No mark: the books name it ZH and its place among the records.
    {",矩形桩,fuk,1000,1000,1.0b,C60,,,30,", "2\t1\t1000\t1000\t1.0b\t\t30\t7\t0\t2"},
    {"Z9,椭圆桩,fuk,1000,3000,1.0d,C30,,,24,", "1\t1\t1000\t3000\t1.0d\t\t24\t1\t0\t2"},
    // The mark of the second row again: both computed, and the summary says so.
    {"Z2,圆桩,frk,1000,0,9.5d,C25,泥浆护壁成桩,3,24,", "0\t0\t1000\t0\t9.5d\t3\t24\t0\t1\t2"},
};

QByteArray ScheduleUtf8() {
    QByteArray csv = "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,精度\r\n";
    for (const ScheduleLine& line : kSchedule) {
        csv += QByteArray(line.csv) + "\r\n";
    }
    return csv;
}

// A replay book line with the record ZH k named as the schedule's k-th computed row names it:
// the mark in the same cell, or ZH k again for a row without one.
QString Renamed(QString line, const QStringList& marks) {
    static const QRegularExpression number(QStringLiteral("ZH(\\d+)( *)"));
    const QRegularExpressionMatch match = number.match(line);
    const QString mark = match.hasMatch() ? marks.value(match.captured(1).toInt() - 1) : QString();
    if (mark.isEmpty()) {
        return line;
    }
    // At the end of the title line nothing pads the name; in a cell the blanks after it do.
    const qsizetype width = match.capturedLength(2) == 0 ? 0 : match.capturedLength(0);
    return line.replace(match.capturedStart(0), match.capturedLength(0), mark.leftJustified(width));
}

// The books pile_replay makes of the steps, as "保存" writes them.
std::pair<QByteArray, QByteArray> ReplayBooks(char separator, const std::string& time,
                                              const QStringList& marks) {
    std::string steps;
    for (const ScheduleLine& line : kSchedule) {
        if (line.step != nullptr) {
            steps += std::string("CALC\t") + line.step + "\t" + separator + "\t" + time + "\n";
        }
    }
    const pile::replay::ParsedSession session = pile::replay::ParseSession(steps);
    EXPECT_TRUE(session.errors.empty());
    std::string out;
    pile::replay::RunSession(session.steps, [&](std::string_view piece) { out.append(piece); });
    std::vector<std::u16string> table;
    std::vector<std::u16string> text;
    std::vector<std::u16string>* book = nullptr;
    for (const QString& line : QString::fromStdString(out).split(u'\n')) {
        if (line.startsWith(QStringLiteral("TABLE\t"))) {
            book = &table;
        } else if (line.startsWith(QStringLiteral("TEXT\t"))) {
            book = &text;
        } else if (book != nullptr) {
            book->push_back(Renamed(line, marks).toStdU16String());
        }
    }
    text.pop_back();  // the empty piece after the last LF
    const auto encode = [](const std::vector<std::u16string>& lines) {
        return pile::io::EncodeBook(lines, pile::io::BookCodec::Gbk).value();
    };
    return {encode(text), encode(table)};
}

struct LocaleCase {
    const char* name;
    const char* locale;
    char separator;
    std::string refusals;
    const char* marks;  // of the computed rows in order, comma-separated; blank: no mark
};

void PrintTo(const LocaleCase& row, std::ostream* os) {
    *os << row.name;
}

constexpr char kCommonRefusals[] =
    "第 5 行（Z4）d或a D5「0」: 桩身直径数据有错\n"
    "第 6 行（X）混凝土 G6「C70」: 应为 C25、C30、C35、C40、C45、C50、C55 或 C60\n"
    "第 11 行（Z9）c或b E11「3000」: 超出范围，限制条件0.2≤c/d≤2.0\n";

class ReplayEqualityTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(ReplayEqualityTest, BooksEqualPileReplaysForTheSameSteps) {
#ifdef _WIN32
    if (GetParam().separator != '.') {
        GTEST_SKIP() << "Windows takes the decimal separator from its settings, not from LC_ALL";
    }
#endif
    QTemporaryDir dir;
    const QString schedule = dir.filePath(QStringLiteral("桩表.csv"));
    WriteFile(schedule, ScheduleUtf8());
    const Outcome run = RunBatch({schedule}, QString::fromLatin1(GetParam().locale));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, GetParam().refusals);
    EXPECT_NE(run.out.find("\npile_batch: 桩号重复：Z2（第 3、12 行）\n"), std::string::npos)
        << run.out;

    const QByteArray textBook = ReadFile(dir.filePath(kTextBook));
    // Both sides get the time pile_batch wrote: the text after "计算时间：" on its last line.
    // (Qt for Windows has no GBK codec of its own: the schedule reader's decoder reads it.)
    pile::schedule::TextDecoder gbk(pile::schedule::TextEncoding::Legacy);
    const QString lastLine = QString::fromStdU16String(
        gbk.Decode(textBook.mid(textBook.lastIndexOf("\r\n") + 2).toStdString()).value_or(u""));
    ASSERT_TRUE(lastLine.startsWith(QStringLiteral("计算时间："))) << lastLine.toStdString();
    // A refused row's mark is not taken by the next pile: the marks follow the computed rows.
    const auto [text, table] = ReplayBooks(GetParam().separator, lastLine.mid(5).toStdString(),
                                           QString::fromUtf8(GetParam().marks).split(u','));
    EXPECT_EQ(textBook, text);
    EXPECT_EQ(ReadFile(dir.filePath(kTableBook)), table);
}

INSTANTIATE_TEST_SUITE_P(
    PileBatch, ReplayEqualityTest,
    ::testing::Values(
        LocaleCase{"DecimalPoint", "C.UTF-8", '.',
                   std::string("第 4 行（Z3）hr F4「1,5d」: 嵌岩深度数据有错\n") + kCommonRefusals,
                   "Z1,Z2,Z5,Z6,Z7,,Z2"},
        LocaleCase{"DecimalComma", "de_DE.UTF-8", ',', kCommonRefusals, "Z1,Z2,Z3,Z5,Z6,Z7,,Z2"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PileBatchTest, GbkAndUtf8SchedulesGiveTheSameFiles) {
    QTemporaryDir dir;
    QByteArray utf8 = ScheduleUtf8();
    const QByteArray gbk =
        pile::io::EncodeBook(QString::fromUtf8(utf8).split(QStringLiteral("\r\n")),
                             pile::io::BookCodec::Gbk)
            .value();
    WriteFile(dir.filePath(QStringLiteral("utf8.csv")), "\xEF\xBB\xBF" + utf8);
    WriteFile(dir.filePath(QStringLiteral("gbk.csv")), gbk);
    const Outcome a = RunBatch(
        {QStringLiteral("--out"), dir.filePath(QStringLiteral("a")), dir.filePath("utf8.csv")});
    const Outcome b = RunBatch(
        {dir.filePath(QStringLiteral("gbk.csv")), QStringLiteral("--out=") + dir.filePath("b")});
    EXPECT_EQ(a.status, 1);
    EXPECT_EQ(b.status, 1);
    EXPECT_EQ(a.err, b.err);
    // The books end with the time of the run, which may differ by a second.
    const auto untimed = [](const QByteArray& book) { return book.left(book.lastIndexOf("\r\n")); };
    for (const QString& name : {kTextBook, kTableBook, kResults}) {
        const QByteArray fromUtf8 = ReadFile(dir.filePath(QStringLiteral("a/") + name));
        const QByteArray fromGbk = ReadFile(dir.filePath(QStringLiteral("b/") + name));
        EXPECT_EQ(name == kResults ? fromUtf8 : untimed(fromUtf8),
                  name == kResults ? fromGbk : untimed(fromGbk))
            << name.toStdString();
    }
}

struct UnreadableCase {
    const char* name;
    QByteArray bytes;  // empty: no such file
    std::string message;
};

void PrintTo(const UnreadableCase& row, std::ostream* os) {
    *os << row.name;
}

class UnreadableFileTest : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableFileTest, WritesNothingAndKeepsEarlierFiles) {
    QTemporaryDir dir;
    const QString schedule = dir.filePath(QStringLiteral("s.csv"));
    if (!GetParam().bytes.isNull()) {
        WriteFile(schedule, GetParam().bytes);
    }
    for (const QString& name : {kTextBook, kTableBook, kResults}) {
        WriteFile(dir.filePath(name), "earlier");
    }
    const Outcome run = RunBatch({schedule});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "pile_batch: " + QDir::toNativeSeparators(schedule).toStdString() +
                           GetParam().message + "\n");
    for (const QString& name : {kTextBook, kTableBook, kResults}) {
        EXPECT_EQ(ReadFile(dir.filePath(name)), "earlier");
    }
    EXPECT_EQ(QDir(dir.path()).count(), 2u + 4u);  // ".", "..", the schedule and the three
}

INSTANTIATE_TEST_SUITE_P(
    PileBatch, UnreadableFileTest,
    ::testing::Values(
        UnreadableCase{"Empty", QByteArray(""), ": 文件是空的"},
        UnreadableCase{"NotCsv", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
                       ": 第 3 行: 不是 CSV 文本文件（含有空字符）"},
        UnreadableCase{"MissingColumn", QByteArray("截面,参数,d或a,c或b,混凝土,工艺,frk\n"),
                       ": 第 1 行: 不是桩表的表头，缺少列：hr（又作 嵌岩深度、嵌岩长度、嵌岩段长度 "
                       "或 入岩深度）；认出的列：截面、参数、d或a、c或b、混凝土、工艺、frk"},
        // Told apart by their bytes, whatever the file is called.
        UnreadableCase{"TruncatedWorkbook", QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10),
                       ": 工作簿已损坏或不完整（zip 压缩包读不了）"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PileBatchTest, AMissingFileIsRefused) {
    const QString missing = QStringLiteral("/nonexistent/桩表.csv");
    const Outcome run = RunBatch({missing});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "pile_batch: 不能打开 " + QDir::toNativeSeparators(missing).toStdString() +
                           ": 文件不存在\n");
}

// A disk that fills up part-way: the three files are a set, and the earlier set stays whole.
TEST(PileBatchTest, AFailedWriteReplacesNoneOfTheThreeFiles) {
#ifndef Q_OS_LINUX
    GTEST_SKIP() << "the file size limit of the child process is set the Linux way";
#else
    QTemporaryDir dir;
    const QString schedule = dir.filePath(QStringLiteral("s.csv"));
    QByteArray rows = "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,精度\n";
    for (int i = 0; i < 20; ++i) {
        rows += "Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25,24,个位取整\n";
    }
    WriteFile(schedule, rows);
    for (const QString& name : {kTextBook, kTableBook, kResults}) {
        WriteFile(dir.filePath(name), "earlier");
    }
    QProcess process;
    process.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};  // the results table fits, the books do not
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(PILE_BATCH_PROGRAM), {schedule});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 3);
    EXPECT_NE(process.readAllStandardError().indexOf("磁盘空间不足"), -1);
    for (const QString& name : {kTextBook, kTableBook, kResults}) {
        EXPECT_EQ(ReadFile(dir.filePath(name)), "earlier") << name.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).count(), 2u + 4u) << "no temporary file left behind";
#endif
}

TEST(PileBatchTest, TheTemplateComputesOnePileOfEachSection) {
    QTemporaryDir dir;
    const QString example = dir.filePath(QStringLiteral("样例.csv"));
    EXPECT_EQ(RunBatch({QStringLiteral("--template"), example}).status, 0);
    const Outcome run = RunBatch({example});
    EXPECT_EQ(run.status, 0) << run.err;
    const QList<QByteArray> rows = ReadFile(dir.filePath(kResults)).split('\n');
    ASSERT_EQ(rows.size(), 6);  // header, four piles, the empty piece after the last break
    EXPECT_TRUE(rows[4].startsWith("5,Z4,Z4,")) << rows[4].toStdString();
    EXPECT_NE(run.out.find("算出 4 根桩，0 行未算\n"), std::string::npos) << run.out;
}

TEST(PileBatchTest, HelpIsInChineseAndEnglish) {
    const Outcome run = RunBatch({QStringLiteral("--help")});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("用法:"), std::string::npos);
    EXPECT_NE(run.out.find("Usage:"), std::string::npos);
    EXPECT_EQ(RunBatch({QStringLiteral("--frobnicate")}).status, 2);
}

// ------------------------------------------------------------------ workbooks

const QString kWorkbooks = QStringLiteral(PILE_TEST_WORKBOOKS);

// The files of a run on `schedule` into `folder`, the books without their time line.
struct RunFiles {
    Outcome run;
    QByteArray text, table, results;
};

RunFiles RunInto(const QString& schedule, const QString& folder, QStringList options = {}) {
    const auto untimed = [](const QByteArray& book) { return book.left(book.lastIndexOf("\r\n")); };
    RunFiles files;
    files.run = RunBatch(options << QStringLiteral("--out") << folder << schedule);
    files.text = untimed(ReadFile(QDir(folder).filePath(kTextBook)));
    files.table = untimed(ReadFile(QDir(folder).filePath(kTableBook)));
    files.results = ReadFile(QDir(folder).filePath(kResults));
    return files;
}

struct WorkbookCase {
    const char* name;
    // The workbook of the rows of every_section.csv, made in `folder`; empty to skip.
    QString (*make)(const QString& folder);
};

void PrintTo(const WorkbookCase& row, std::ostream* os) {
    *os << row.name;
}

class WorkbookEqualityTest : public ::testing::TestWithParam<WorkbookCase> {};

TEST_P(WorkbookEqualityTest, GivesTheFilesOfItsCsv) {
    QTemporaryDir dir;
    const QString workbook = GetParam().make(dir.path());
    if (workbook.isEmpty()) {
        GTEST_SKIP() << "soffice (LibreOffice) is not installed: its workbook is not tested";
    }
    const RunFiles fromCsv =
        RunInto(kWorkbooks + QStringLiteral("/every_section.csv"), dir.filePath("csv"));
    const RunFiles fromWorkbook = RunInto(workbook, dir.filePath("xlsx"));
    EXPECT_EQ(fromCsv.run.status, 1);
    EXPECT_EQ(fromWorkbook.run.status, fromCsv.run.status) << fromWorkbook.run.err;
    EXPECT_EQ(fromWorkbook.run.err, fromCsv.run.err);
    EXPECT_EQ(fromWorkbook.text, fromCsv.text);
    EXPECT_EQ(fromWorkbook.table, fromCsv.table);
    EXPECT_EQ(fromWorkbook.results, fromCsv.results);
}

INSTANTIATE_TEST_SUITE_P(
    PileBatch, WorkbookEqualityTest,
    ::testing::Values(
        // Written by scripts/make-test-workbooks: a title, merged and hidden cells, numbers.
        WorkbookCase{
            "Openpyxl",
            [](const QString&) { return kWorkbooks + QStringLiteral("/every_section.xlsx"); }},
        WorkbookCase{"LibreOffice",
                     [](const QString& folder) {
                         const QString soffice =
                             QStandardPaths::findExecutable(QStringLiteral("soffice"));
                         if (soffice.isEmpty()) {
                             return QString();
                         }
                         QProcess convert;
                         convert.start(soffice,
                                       {QStringLiteral("--headless"),
                                        QStringLiteral("-env:UserInstallation=file://") + folder +
                                            QStringLiteral("/profile"),
                                        QStringLiteral("--infilter=CSV:44,34,76,1"),
                                        QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                                        QStringLiteral("--outdir"), folder,
                                        kWorkbooks + QStringLiteral("/every_section.csv")});
                         EXPECT_TRUE(convert.waitForFinished(120000));
                         return QDir(folder).filePath(QStringLiteral("every_section.xlsx"));
                     }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PileBatchTest, AFormulaWithoutValueRefusesItsRowNamingTheCell) {
    QTemporaryDir dir;
    const Outcome run = RunBatch(
        {QStringLiteral("--out"), dir.path(), kWorkbooks + QStringLiteral("/uncalculated.xlsx")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "第 7 行（Z1）frk I7: 公式没有计算结果，请在 Excel 中保存一次\n");
}

// The first sheet's XML of a workbook (or another part of a zip), read with minizip.
std::string SheetPart(const std::string& workbook, const char* part = "xl/worksheets/sheet1.xml") {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "pile-batch-results-part.xlsx";
    std::ofstream(path, std::ios::binary) << workbook;
    std::string xml;
    if (unzFile zip = unzOpen64(path.string().c_str())) {
        if (unzLocateFile(zip, part, 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
            char buffer[4096];
            for (int got; (got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0;) {
                xml.append(buffer, static_cast<std::size_t>(got));
            }
            unzCloseCurrentFile(zip);
        }
        unzClose(zip);
    }
    std::filesystem::remove(path);
    return xml;
}

// The results workbook holds the CSV's table: texts as texts, the numbers as numbers of the
// same digits; the template workbook computes as the CSV template does.
TEST(PileBatchTest, ResultsAndTemplateWorkbooksHoldTheCsvTexts) {
    QTemporaryDir dir;
    const QString workbook = kWorkbooks + QStringLiteral("/every_section.xlsx");
    const RunFiles csv = RunInto(workbook, dir.filePath("a"));
    const RunFiles xlsx =
        RunInto(workbook, dir.filePath("b"), {QStringLiteral("--results"), QStringLiteral("xlsx")});
    EXPECT_EQ(xlsx.run.status, 1) << xlsx.run.err;
    const QByteArray book =
        ReadFile(dir.filePath(QStringLiteral("b/嵌岩桩计算书(依据DBJ50-047-2016)_结果.xlsx")));
    const auto sheet = pile::schedule::ReadWorksheet(book.toStdString(), "");
    ASSERT_TRUE(std::holds_alternative<pile::schedule::Worksheet>(sheet));
    const auto& rows = std::get<pile::schedule::Worksheet>(sheet).rows;
    const QList<QByteArray> lines = csv.results.mid(3).split('\n');
    ASSERT_EQ(rows.size() + 1, static_cast<std::size_t>(lines.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QList<QByteArray> fields = lines[static_cast<qsizetype>(r)].trimmed().split(',');
        for (const pile::schedule::SheetCell& cell : rows[r].cells) {
            const QByteArray expected = fields.value(static_cast<qsizetype>(cell.column - 1));
            const bool number = cell.column >= 4 && cell.column <= 6 && r > 0;
            EXPECT_EQ(number ? QByteArray::number(expected.toDouble(), 'g', 17) : expected,
                      number ? QByteArray::number(std::stod(cell.text), 'g', 17)
                             : QByteArray::fromStdString(cell.text))
                << "row " << r + 1 << " column " << cell.column;
        }
    }

    // Numbers are cells without a type (t="s" or "inlineStr" would be text); the header frozen.
    const std::string part = SheetPart(book.toStdString());
    for (const char* numberCell :
         {"<c r=\"A2\" s=", "<c r=\"D2\" s=", "<c r=\"E2\" s=", "<c r=\"F2\" s="}) {
        const std::size_t at = part.find(numberCell);
        ASSERT_NE(at, std::string::npos) << numberCell;
        EXPECT_EQ(part.substr(at, part.find('>', at) - at).find(" t="), std::string::npos)
            << numberCell;
    }
    EXPECT_NE(part.find("ySplit=\"1\""), std::string::npos);
    EXPECT_NE(part.find("state=\"frozen\""), std::string::npos);

    const QString example = dir.filePath(QStringLiteral("样例.xlsx"));
    EXPECT_EQ(RunBatch({QStringLiteral("--template"), example}).status, 0);
    const RunFiles fromTemplate = RunInto(example, dir.filePath("t"));
    EXPECT_EQ(fromTemplate.run.status, 0) << fromTemplate.run.err;
    EXPECT_TRUE(fromTemplate.results.contains("\r\n5,Z4,Z4,"))
        << fromTemplate.results.toStdString();
    const QByteArray templateBook = ReadFile(example);
    const auto list = pile::schedule::ReadWorksheet(templateBook.toStdString(), "各列说明");
    ASSERT_TRUE(std::holds_alternative<pile::schedule::Worksheet>(list));
    EXPECT_EQ(std::get<pile::schedule::Worksheet>(list).rows.size(),
              1 + pile::schedule::kColumnCount);
}

// What a hostile workbook does to the program: nothing written, exit 2.
TEST(PileBatchTest, AZipBombIsRefusedWithExitTwo) {
    using pile::schedule::testing::WorkbookParts;
    QTemporaryDir dir;
    const QString bomb = dir.filePath(QStringLiteral("bomb.xlsx"));
    WriteFile(bomb, QByteArray::fromStdString(pile::schedule::testing::ZipOf(
                        WorkbookParts(std::string(1 << 20, ' ')), 260)));
    const Outcome run = RunBatch({bomb});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "pile_batch: " + QDir::toNativeSeparators(bomb).toStdString() +
                           ": 工作簿解压后超过 256 MB，不是桩表（可能是压缩炸弹）\n");
    EXPECT_EQ(QDir(dir.path()).count(), 3u);  // ".", "..", the workbook
}

// Every 工艺 text of each mode is in --help and in the manual page, from the engine's lists.
// Loads are checked against the capacities printed, a failed check has an exit status of its
// own, and --design writes a schedule that computes into the books of the sized run.
TEST(PileBatchTest, LoadsAreCheckedAndTheSizedScheduleReadsBackIntoTheSameBooks) {
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("s.csv")),
              "桩号,桩径(mm),嵌岩深度,混凝土强度等级,成桩工艺,frk,Nk,N,γ0\r\n"
              "ZJ1,1000,1.0d,C30,泥浆护壁成桩,25,3000,4000,\r\n"
              "ZJ2,1000,1.0d,C30,泥浆护壁成桩,25,12000,,1.1\r\n"
              "ZJ3,1200,1.5d,C30,泥浆护壁成桩,5,900000,,\r\n");
    const Outcome checked = RunBatch({dir.filePath(QStringLiteral("s.csv"))});
    EXPECT_EQ(checked.status, 4) << checked.err;
    EXPECT_NE(checked.out.find("1 根满足，2 根不满足：ZJ2、ZJ3"), std::string::npos) << checked.out;
    const QByteArray results = ReadFile(dir.filePath(kResults));
    EXPECT_TRUE(results.contains(",Nk/Ra,Nkmax/1.2Ra,γ0N/Rc,验算\r\n"));
    EXPECT_TRUE(results.contains(",3000,,4000,,0.36,,0.51,满足\r\n")) << results.toStdString();

    const QString sized = dir.filePath(QStringLiteral("sized"));
    const Outcome design = RunBatch({QStringLiteral("--design"), QStringLiteral("--out"), sized,
                                     dir.filePath(QStringLiteral("s.csv"))});
    EXPECT_EQ(design.status, 4) << "ZJ3 carries no pile of the list";
    EXPECT_NE(design.out.find("选型 2 根，1 根没有满足要求的桩"), std::string::npos);
    EXPECT_NE(design.err.find("第 4 行: 没有满足要求的桩：d=3000 mm, hr=8.0d 时 Ra="),
              std::string::npos)
        << design.err;
    const QString schedule =
        sized + QStringLiteral("/嵌岩桩计算书(依据DBJ50-047-2016)_选型桩表.csv");
    const Outcome again =
        RunBatch({QStringLiteral("--out"), dir.filePath(QStringLiteral("again")), schedule});
    EXPECT_EQ(again.status, 4);
    for (const QString& book : {kTextBook, kTableBook}) {
        EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("again/") + book)),
                  ReadFile(sized + u'/' + book))
            << book.toStdString();
    }
    EXPECT_EQ(RunBatch({QStringLiteral("--hr-step"), QStringLiteral("0"), schedule}).status, 2);
}

TEST(PileBatchTest, HelpAndManualPageListTheProcessTexts) {
    const std::string help = RunBatch({QStringLiteral("--help")}).out;
    const QByteArray manual = ReadFile(QStringLiteral(PILE_SOURCE_DIR "/packaging/pile_batch.1"));
    for (const auto mode : {pile::RockParameterMode::Frk, pile::RockParameterMode::Fuk}) {
        for (int i = 0; const auto process = pile::ProcessFromIndex(i, mode); ++i) {
            const std::string text = pile::Utf16ToUtf8(pile::ProcessText(mode, *process));
            EXPECT_NE(help.find(text), std::string::npos) << text;
            EXPECT_TRUE(manual.contains(QByteArray::fromStdString(text))) << text;
        }
    }
}

// ------------------------------------------------------------------ the report

struct RefusedReportRow {
    const char* name;
    const char* option;
    const char* value;
    const char* message;
};

class RefusedReportOptionTest : public ::testing::TestWithParam<RefusedReportRow> {};

TEST_P(RefusedReportOptionTest, IsRefusedWithItsMessage) {
    QTemporaryDir dir;
    const QString example = dir.filePath(QStringLiteral("样例.csv"));
    ASSERT_EQ(RunBatch({QStringLiteral("--template"), example}).status, 0);
    const Outcome run = RunBatch(
        {QString::fromUtf8(GetParam().option), QString::fromUtf8(GetParam().value), example});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_EQ(QDir(dir.path()).count(), 3u) << "nothing written";
}

INSTANTIATE_TEST_SUITE_P(
    Options, RefusedReportOptionTest,
    ::testing::Values(RefusedReportRow{"UnknownProjectKey", "--project", "项目经理=李四",
                                       "没有“项目经理”这一项目信息（可用 工程名称、"},
                      RefusedReportRow{"ProjectWithoutValue", "--project", "工程名称",
                                       "项目信息应写成 名称=内容"},
                      RefusedReportRow{"ReportOfAnotherKind", "--report", "odt",
                                       "--report 应为 docx"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PileBatchTest, TheReportIsWrittenWithTheBooksAndHoldsTheProject) {
    QTemporaryDir dir;
    const QString example = dir.filePath(QStringLiteral("样例.csv"));
    ASSERT_EQ(RunBatch({QStringLiteral("--template"), example}).status, 0);
    const Outcome run =
        RunBatch({QStringLiteral("--report"), QStringLiteral("docx"),
                  QStringLiteral("--project=工程名称=示例<大厦>"), QStringLiteral("--project"),
                  QStringLiteral("审核＝王五"), example});
    EXPECT_EQ(run.status, 0) << run.err;
    const QString report = dir.filePath(pile::io::ReportFileName());
    EXPECT_NE(run.out.find(QDir::toNativeSeparators(report).toStdString()), std::string::npos);
    const QByteArray bytes = ReadFile(report);
    ASSERT_TRUE(bytes.startsWith("PK")) << bytes.left(40).toStdString();
    const std::string document = SheetPart(bytes.toStdString(), "word/document.xml");
    EXPECT_NE(document.find("示例&lt;大厦&gt;"), std::string::npos);
    EXPECT_NE(document.find("王五"), std::string::npos);
    EXPECT_NE(document.find(">Z4<"), std::string::npos) << "the last pile by its mark";
}

// The schedule's title lines fill the cover, "--project" over them.
TEST(PileBatchTest, TheScheduleNamesTheProjectAndTheCommandLineOverridesIt) {
    QTemporaryDir dir;
    const QString schedule = dir.filePath(QStringLiteral("桩表.csv"));
    WriteFile(schedule, QStringLiteral("工程名称：表上的大厦\r\n审核,表上的审核人\r\n"
                                       "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk\r\n"
                                       "Z1,圆桩,frk,1000,0,1.0d,C30,泥浆护壁成桩,25\r\n")
                            .toUtf8());
    const Outcome run = RunBatch({QStringLiteral("--report"), QStringLiteral("docx"),
                                  QStringLiteral("--project=审核=王五"), schedule});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string document = SheetPart(
        ReadFile(dir.filePath(pile::io::ReportFileName())).toStdString(), "word/document.xml");
    EXPECT_NE(document.find("表上的大厦"), std::string::npos);
    EXPECT_NE(document.find("王五"), std::string::npos);
    EXPECT_EQ(document.find("表上的审核人"), std::string::npos);
}

// A PDF needs Qt Gui's fonts: drawn on the offscreen platform even when the caller's
// environment names one that cannot start here.
TEST(PileBatchTest, TheReportAsPdfNeedsNoDisplay) {
    QTemporaryDir dir;
    const QString example = dir.filePath(QStringLiteral("样例.csv"));
    ASSERT_EQ(RunBatch({QStringLiteral("--template"), example}).status, 0);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PILE_BATCH_PROGRAM),
                  {QStringLiteral("--report"), QStringLiteral("PDF"),
                   QStringLiteral("--project=工程名称=示例大厦"), example});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray bytes = ReadFile(dir.filePath(pile::io::PdfReportFileName()));
    EXPECT_TRUE(bytes.startsWith("%PDF-")) << bytes.left(40).toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(pile::io::ReportFileName())));
}

TEST(PileBatchTest, HelpAndManualPageNameTheReportAndEveryProjectKey) {
    const std::string help = RunBatch({QStringLiteral("--help")}).out;
    const QByteArray manual = ReadFile(QStringLiteral(PILE_SOURCE_DIR "/packaging/pile_batch.1"));
    for (const QString& file : {pile::io::ReportFileName(), pile::io::PdfReportFileName()}) {
        const QByteArray name = file.toUtf8();
        EXPECT_NE(help.find(name.toStdString()), std::string::npos) << name.toStdString();
        EXPECT_TRUE(manual.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(help.find('@'), std::string::npos) << "every marker replaced";
    for (const pile::report::ProjectField& field : pile::report::kProjectFields) {
        const std::string key = pile::Utf16ToUtf8(field.key);
        EXPECT_NE(help.find(key), std::string::npos) << key;
        EXPECT_TRUE(manual.contains(QByteArray::fromStdString(key))) << key;
    }
}

}  // namespace
