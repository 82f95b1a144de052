#include "tools/pile_batch_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "engine/utf_text.h"
#include "io/book_file.h"
#include "io/file_error_text.h"
#include "io/output_files.h"
#include "io/qt_text.h"
#include "io/workbook_file.h"
#include "report/docx_report.h"
#include "report/pdf/pdf_report.h"
#include "report/pdf/report_font.h"
#include "schedule/schedule_limits.h"
#include "schedule/xlsx_schedule.h"
#include "session/pile_design.h"
#include "session/schedule_run.h"
#include "session/session_journal.h"
#include "session/xlsx_results.h"

namespace pile::batch {
namespace {

using io::ToQString;
using schedule::ProcessChoices;
using session::ScheduleOutcome;

// @BOOK_TEXT@, @BOOK_TABLE@ and @RESULTS@: the names of the three files written (io/).

constexpr char kHelp[] =
    "用法:\n"
    "  pile_batch [--out 文件夹] [--sheet 工作表] [--results csv|xlsx|文件名]\n"
    "             [--report docx|pdf] [--project 名称=内容]... 桩表.xlsx|桩表.csv\n"
    "  pile_batch --design [--diameters 800,900,…] [--hr-min 0.5] [--hr-step 0.5] 桩表\n"
    "  pile_batch --template [桩表样例.csv|桩表样例.xlsx]\n"
    "  pile_batch --help\n"
    "\n"
    "读入桩表（Excel 工作簿 .xlsx，或 Excel 另存的 CSV：UTF-8 或 GBK，逗号或分号分隔），逐行按\n"
    "计算器窗口的规则计算每根桩，在输出文件夹（默认为桩表所在的文件夹）写出:\n"
    "  @BOOK_TEXT@   文本计算书，与窗口“保存”的文件相同\n"
    "  @BOOK_TABLE@   表格计算书，与窗口“保存”的文件相同\n"
    "  @RESULTS@   结果表（UTF-8），每行一根桩\n"
    "已有的同名文件只在新文件都完整写好后才被替换；有一个写不出时都不替换。\n"
    "工作簿读名为“桩表”的工作表，没有时读第一个可见的工作表（--sheet 另选）；表头可以不在第一行。\n"
    "--results xlsx 把结果表写成 .xlsx（Ra、Rc、系数为数值）；也可给文件名，按后缀定格式。\n"
    "--report docx 另写计算书 @REPORT@（Word 文档：封面、目录、设计依据、计算汇总，\n"
    "每根桩一节，含计算简图和计算过程），与其他文件一同替换。--report pdf 写出内容相同的\n"
    "@REPORT_PDF@（A4，计算汇总为横向页，文字可搜索），不需要显示器。\n"
    "--project 名称=内容 填写计算书封面的项目信息，可给多次；名称为 @PROJECT_KEYS@。\n"
    "表头上方写作“工程名称：某某”（或名称、内容各占一格）的行也填入，--project 在其后。\n"
    "\n"
    "表头各列，顺序不限，其他列不读；列名也可写作常用的名称（桩径(mm)、嵌岩深度、成桩工艺…，\n"
    "全角、大小写、空格和括号里的单位都不论），--template 的“各列说明”逐列列出:\n"
    "  桩号（可选）、截面（圆桩/椭圆桩/矩形桩；没有这一列时都是圆桩）、\n"
    "  参数（frk/fuk；可不填，按这一行填了 frk 还是 fuk）、d或a、c或b（mm；圆桩不用）、\n"
    "  hr（mm 或 1.5d、1.5b 这样的倍数）、混凝土（C25…C60）、工艺、frk、fuk（MPa）、\n"
    "  精度（可选：两位小数/一位小数/个位取整/十位取整/百位取整，默认个位取整）、\n"
    "  计算时间（可选：写在计算书末尾的时间，默认为当前时间）、小数点（可选：. 或 ,）\n"
    "  荷载（可选，kN）：Nk（标准组合）、Nkmax（偏心竖向力）、N（基本组合）、\n"
    "  γ0（重要性系数，0.9～1.1，空为 1.0）\n"
    "有荷载的行按计算书印出的 Ra、Rc 验算 Nk≤Ra、Nkmax≤1.2Ra、γ0N≤Rc，结果表加各比值和\n"
    "“满足”或“不满足（…）”，并列出不满足的桩。\n"
    "--design 为有荷载的圆桩选型：在桩径表（默认 800～3000 mm，每 100 一档）中取能满足全部\n"
    "验算的最小桩径，再取其最小嵌岩深度（d 的倍数，自 0.5d 起每 0.5d 一档，到系数表的末端\n"
    "为止），另写出选型桩表 @DESIGN@，可再读入计算。\n"
    "@PROCESSES@"
    "表头上方可以有标题行和空行。窗口“导出桩表…”写出的桩表和会话记录都带计算时间，\n"
    "再算一次得到相同的计算书。\n"
    "不能计算的行在标准错误上列为“第 N 行（桩号）列名 单元格「内容」: 原因”，不写入计算书，\n"
    "其余行照常计算；不含截面、尺寸、嵌岩深度和岩石参数的行（附注、合计、签名）列为“跳过”。\n"
    "桩号代替计算书中的“ZH”和序号；几行算出的桩同名时，在汇总之后列为“桩号重复：…”。\n"
    "--template 写出表头、每种截面和参数各一行样例（只填该行要用的格）和各列说明，\n"
    "不给文件名时写到标准输出。\n"
    "\n"
    "退出码: 0 全部算出; 1 有行未算; 2 桩表不能读或命令行有错（不写任何文件）;\n"
    "        3 输出文件未能写出; 4 全部算出，但有桩不满足荷载验算\n"
    "@LIMITS@"
    "\n"
    "Usage:\n"
    "  pile_batch [--out DIR] [--sheet SHEET] [--results csv|xlsx|FILE]\n"
    "             [--report docx|pdf] [--project KEY=VALUE]... SCHEDULE.xlsx|.csv\n"
    "  pile_batch --design [--diameters 800,900,...] [--hr-min 0.5] [--hr-step 0.5] SCHEDULE\n"
    "  pile_batch --template [EXAMPLE.csv|EXAMPLE.xlsx]\n"
    "  pile_batch --help\n"
    "\n"
    "Reads a pile schedule (an Excel workbook, .xlsx: the sheet 桩表, else the first visible\n"
    "one, or --sheet; or a CSV file as Excel saves it: UTF-8 or GBK, comma or semicolon\n"
    "separated), computes every row by the rules of the calculator's window and writes into DIR\n"
    "(default: the folder of the schedule) the text book and the table book, byte for byte as\n"
    "the window's \"保存\" writes them after \"计算\" for each valid row, and a results table\n"
    "(UTF-8 CSV, one row per pile; --results xlsx, or a file name ending in .xlsx, writes it\n"
    "as a workbook with Ra, Rc and the coefficient as numbers). Existing files are replaced\n"
    "only once all the new ones are complete; when one cannot be written, none is replaced.\n"
    "--report docx also writes the calculation report @REPORT@ (a Word document: cover,\n"
    "contents, basis, summary table, and one section per pile with its sketch and steps), in\n"
    "the same set; --report pdf writes the same report as @REPORT_PDF@ (A4, the summary on\n"
    "landscape pages, searchable text), without a display.\n"
    "--project KEY=VALUE fills a field of the report's cover, repeatable; the keys are\n"
    "@PROJECT_KEYS@. Lines above the header such as \"工程名称：NAME\" (or the key and the\n"
    "value in two cells) fill it too; --project overrides them.\n"
    "\n"
    "Header columns, in any order, other columns ignored, also under the names engineers give\n"
    "them (桩径(mm), 嵌岩深度, 成桩工艺, ...; full-width, case, blanks and a unit in brackets do\n"
    "not matter; the template's 各列说明 lists them): 桩号 (optional), 截面 (圆桩 when the column\n"
    "is absent), 参数 (may be empty: told by which of frk and fuk the row fills), d或a, c或b (not\n"
    "for circles), hr, 混凝土, 工艺, frk, fuk, 精度 (optional, default 个位取整), 计算时间\n"
    "(optional: the time that ends the books, default now), 小数点 (optional: . or ,). A title\n"
    "and empty rows may stand above the header.\n"
    "@PROCESSES_EN@"
    "A row that cannot be computed is listed on standard error as\n"
    "\"第 N 行（mark）column cell「text」: reason\" and appends nothing; the run goes on. A row\n"
    "with no section, dimension, depth or rock value (a note, a subtotal) is listed as \"跳过\".\n"
    "A 桩号 names its pile in the books in place of ZH and its number; a name that several\n"
    "computed rows share is listed after the summary as \"桩号重复：name（第 N、M 行）\".\n"
    "Optional load columns Nk, Nkmax, N (kN) and γ0 (0.9 to 1.1, default 1.0) are checked\n"
    "against Ra and Rc as the books print them: Nk <= Ra, Nkmax <= 1.2 Ra, γ0 N <= Rc; the\n"
    "results add the ratios and a verdict. --design sizes each circle with loads: the smallest\n"
    "diameter of the list (default 800 to 3000 mm by 100) for which some socket depth passes\n"
    "every check, with its smallest depth (multiples of d from --hr-min by --hr-step, up to\n"
    "the end of the coefficient table), and also writes the sized schedule.\n"
    "--template writes a header, one example row per section and mode with only the cells it\n"
    "needs, and the list of columns, to standard output when no file is named.\n"
    "\n"
    "Exit status: 0 all rows computed; 1 some rows refused; 2 the schedule cannot be read or the\n"
    "command line is wrong (nothing written); 3 an output file could not be written; 4 all\n"
    "rows computed, but some fail their load check.\n"
    "@LIMITS_EN@";

static_assert(kChecksFailed == session::kExitChecksFailed);
static_assert(kSomeRefused == 1 && kAllComputed == 0);

constexpr char kUsageHint[] = "pile_batch --help 列出用法 (prints the usage)\n";

// The usage with the names of the files and the 工艺 texts of each mode, from their own lists.
std::string HelpText() {
    std::string help = kHelp;
    const std::string frk = Utf16ToUtf8(ProcessChoices(RockParameterMode::Frk));
    const std::string fuk = Utf16ToUtf8(ProcessChoices(RockParameterMode::Fuk));
    const auto put = [&help](std::string_view marker, const std::string& text) {
        help.replace(help.find(marker), marker.size(), text);
    };
    put("@BOOK_TEXT@", io::BookFileName(Book::Text).toStdString());
    put("@BOOK_TABLE@", io::BookFileName(Book::Table).toStdString());
    put("@RESULTS@", io::ResultsFileName().toStdString());
    put("@REPORT@", io::ReportFileName().toStdString());  // the Chinese text
    put("@REPORT@", io::ReportFileName().toStdString());  // the English one
    put("@REPORT_PDF@", io::PdfReportFileName().toStdString());
    put("@REPORT_PDF@", io::PdfReportFileName().toStdString());
    std::u16string keys;
    for (const report::ProjectField& field : report::kProjectFields) {
        keys += (keys.empty() ? u"" : u"、") + std::u16string(field.key);
    }
    put("@PROJECT_KEYS@", Utf16ToUtf8(keys));  // the Chinese text
    put("@PROJECT_KEYS@", Utf16ToUtf8(keys));  // the English one
    put("@DESIGN@", io::DesignScheduleFileName().toStdString());
    put("@PROCESSES@",
        "  工艺: 参数为 frk 时 " + frk + "；\n        参数为 fuk 时 " + fuk + "（可不填）\n");
    using namespace schedule;
    const std::string rowBytes = SizeText(kMaxRowBytes);
    const std::string fileBytes = SizeText(kMaxFileBytes);
    put("@LIMITS@", "限制: 每行 " + rowBytes + "，文件 " + fileBytes + "，表头 " +
                        std::to_string(kMaxHeaderColumns) + " 列，每个桩表 " +
                        std::to_string(kMaxScheduleRows) + " 行\n");
    put("@LIMITS_EN@", "Limits: " + rowBytes + " a row, " + fileBytes + " a file, " +
                           std::to_string(kMaxHeaderColumns) + " header columns, " +
                           std::to_string(kMaxScheduleRows) + " rows a schedule.\n");
    put("@PROCESSES_EN@",
        "工艺 for frk rows: " + frk + ";\n    for fuk rows: " + fuk + " (may be empty).\n");
    return help;
}

struct Arguments {
    bool help = false;
    bool makeTemplate = false;
    QString schedule;
    QString outFolder;
    QString sheet;
    QString results;  // "csv", "xlsx" or a file name ending in one of them; empty: csv
    QString report;   // "docx", or empty for none
    // Each "--project KEY=VALUE" as given, checked: set over the schedule's own project lines.
    std::vector<std::u16string> project;
    bool design = false;
    session::DesignOptions designOptions;
    QString error;
};

// "--diameters 800,1000,1200", "--hr-min 1", "--hr-step 0.5": numbers with the point.
std::optional<double> OptionNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

QString ReadDesignOption(const QString& name, const QString& value,
                         session::DesignOptions& options) {
    if (name == u"--diameters") {
        options.diameters.clear();
        for (const QString& item : value.split(u',')) {
            const std::optional<double> d = OptionNumber(item);
            if (!d) {
                return QStringLiteral("--diameters 应为以逗号分隔的桩径（mm），如 800,1000,1200");
            }
            options.diameters.push_back(*d);
        }
    } else {
        const std::optional<double> number = OptionNumber(value);
        if (!number) {
            return QStringLiteral("%1 应为 d 的倍数，如 0.5").arg(name);
        }
        (name == u"--hr-min" ? options.hrMin : options.hrStep) = *number;
    }
    if (const auto wrong = session::CheckDesignOptions(options)) {
        return io::ToQString(*wrong);
    }
    return {};
}

// A value option as "--name VALUE" or "--name=VALUE"; false when it is not this option.
bool TakeValue(const QStringList& arguments, qsizetype& i, const QString& name, QString& value,
               QString& error) {
    const QString& argument = arguments[i];
    if (argument.startsWith(name + u'=')) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (argument != name) {
        return false;
    }
    if (i + 1 == arguments.size()) {
        error = QStringLiteral("%1 后面缺少值").arg(name);
        return true;
    }
    value = arguments[++i];
    return true;
}

Arguments ParseArguments(const QStringList& arguments) {
    Arguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h") {
            parsed.help = true;
        } else if (argument == u"--template") {
            parsed.makeTemplate = true;
        } else if (argument == u"--design") {
            parsed.design = true;
        } else if (argument == u"--out" || argument == u"-o") {
            if (i + 1 == arguments.size()) {
                parsed.error = QStringLiteral("--out 后面缺少文件夹");
                return parsed;
            }
            parsed.outFolder = arguments[++i];
        } else if (argument.startsWith(u"--out=")) {
            parsed.outFolder = argument.mid(6);
        } else if (TakeValue(arguments, i, QStringLiteral("--sheet"), parsed.sheet, parsed.error) ||
                   TakeValue(arguments, i, QStringLiteral("--results"), parsed.results,
                             parsed.error) ||
                   TakeValue(arguments, i, QStringLiteral("--report"), parsed.report,
                             parsed.error)) {
            if (!parsed.error.isEmpty()) {
                return parsed;
            }
        } else if (QString field;
                   TakeValue(arguments, i, QStringLiteral("--project"), field, parsed.error)) {
            if (!parsed.error.isEmpty()) {
                return parsed;
            }
            report::ProjectInfo checked;
            if (auto why = report::SetProjectField(checked, io::ToU16(field))) {
                parsed.error = ToQString(*why);
                return parsed;
            }
            parsed.project.push_back(io::ToU16(field));
        } else if (QString name = argument.section(u'=', 0, 0), value;
                   (name == u"--diameters" || name == u"--hr-min" || name == u"--hr-step") &&
                   TakeValue(arguments, i, name, value, parsed.error)) {
            if (parsed.error.isEmpty()) {
                parsed.error = ReadDesignOption(name, value, parsed.designOptions);
            }
            if (!parsed.error.isEmpty()) {
                return parsed;
            }
            parsed.design = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            parsed.error = QStringLiteral("不认识的选项 %1").arg(argument);
            return parsed;
        } else if (parsed.schedule.isEmpty()) {
            parsed.schedule = argument;
        } else {
            parsed.error = QStringLiteral("只能给一个桩表文件");
            return parsed;
        }
    }
    if (!parsed.help && !parsed.makeTemplate && parsed.schedule.isEmpty()) {
        parsed.error = QStringLiteral("缺少桩表文件");
    }
    if (parsed.makeTemplate && !parsed.outFolder.isEmpty()) {
        parsed.error = QStringLiteral("--template 不用 --out，文件名直接写在后面");
    }
    const QString kind = parsed.results.toLower();
    if (!kind.isEmpty() && kind != u"csv" && kind != u"xlsx" && !kind.endsWith(u".csv") &&
        !kind.endsWith(u".xlsx")) {
        parsed.error = QStringLiteral("--results 应为 csv、xlsx 或以 .csv、.xlsx 结尾的文件名");
    }
    if (!parsed.report.isEmpty() && !IsPdfReport(parsed.report) &&
        parsed.report.compare(u"docx", Qt::CaseInsensitive) != 0) {
        parsed.error = QStringLiteral("--report 应为 docx 或 pdf");
    }
    return parsed;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

std::string Utf8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

int WriteTemplate(const QString& path, const CommandEnvironment& env) {
    const std::string csv = schedule::ScheduleTemplate();
    if (path.isEmpty()) {
        env.out(csv);
        return kAllComputed;
    }
    const io::BookFileResult written =
        io::WriteTemplateFile(path, csv, session::WriteTemplateWorkbook);
    if (!written.ok) {
        env.err("pile_batch: 未能写出 " + Utf8(written.path) + ": " + Utf8(written.error) + "\n");
        return kNotWritten;
    }
    return kAllComputed;
}

}  // namespace

bool IsPdfReport(const QString& kind) {
    return kind.compare(u"pdf", Qt::CaseInsensitive) == 0;
}

bool AsksForPdfReport(const QStringList& arguments) {
    return IsPdfReport(ParseArguments(arguments).report);
}

int RunBatchCommand(const QStringList& arguments, const CommandEnvironment& env) {
    const Arguments args = ParseArguments(arguments);
    if (!args.error.isEmpty()) {
        env.err("pile_batch: " + Utf8(args.error) + "\n" + kUsageHint);
        return kUnreadable;
    }
    if (args.help) {
        env.out(HelpText());
        return kAllComputed;
    }
    if (args.makeTemplate) {
        return WriteTemplate(args.schedule, env);
    }

    const QFileInfo info(args.schedule);
    const std::string shownName = Utf8(QDir::toNativeSeparators(args.schedule));
    if (info.isDir()) {
        env.err("pile_batch: " + shownName + " 是文件夹，不是桩表\n");
        return kUnreadable;
    }
    // Windows' file calls leave errno unset: a missing file is named as such on every system.
    if (!info.exists()) {
        env.err("pile_batch: 不能打开 " + shownName + ": 文件不存在\n");
        return kUnreadable;
    }
    QFile file(args.schedule);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // Qt's own text is English ("No such file or directory"): the reason in Chinese.
        const int error = errno;
        env.err("pile_batch: 不能打开 " + shownName + ": " +
                Utf8(error == ENOENT ? QStringLiteral("文件不存在")
                     : error != 0    ? io::FileErrorReason(error)
                                     : QStringLiteral("文件打不开")) +
                "\n");
        return kUnreadable;
    }
    const schedule::ByteSource source = [&file](char* buffer, std::size_t capacity) -> long long {
        return file.read(buffer, static_cast<qint64>(capacity));
    };
    const auto schedule = schedule::ReadScheduleFile(source, Utf8(args.sheet));
    if (const auto* why = std::get_if<std::u16string>(&schedule)) {
        env.err("pile_batch: " + shownName + ": " + Utf8(*why) + "\n");
        return kUnreadable;
    }
    session::PanelSession session;
    const QString time = env.calculationTime;
    schedule::Schedule piles = std::get<schedule::Schedule>(std::move(schedule));
    report::ProjectInfo project;
    session::ApplyProjectLines(project, piles.titleFields);
    for (const std::u16string& field : args.project) {
        report::SetProjectField(project, field);
    }
    std::optional<session::ScheduleDesign> design;
    if (args.design) {
        design = session::DesignSchedule(piles, args.designOptions, env.decimalSeparator);
    }
    ScheduleOutcome outcome =
        session::ComputeSchedule(piles, env.decimalSeparator, io::ToU16(time), session);
    env.err(Utf8(session::RefusalLines(outcome)));
    if (design) {
        for (std::size_t i = 0; i < outcome.rows.size(); ++i) {
            outcome.rows[i].note = design->notes[i];
            if (!design->notes[i].empty() && outcome.rows[i].results) {
                env.err("第 " + std::to_string(outcome.rows[i].line) +
                        " 行: " + Utf8(design->notes[i]) + "\n");
            }
        }
    }

    const QString folder = args.outFolder.isEmpty() ? info.absolutePath() : args.outFolder;
    if (!QDir().mkpath(folder)) {
        env.err("pile_batch: 不能建立文件夹 " + Utf8(QDir::toNativeSeparators(folder)) + "\n");
        return kNotWritten;
    }
    // The three files as a set: all written whole before any earlier one is replaced.
    std::vector<io::NamedBytes> files;
    // With nothing computed the books would be empty files: an earlier pair stays instead.
    if (outcome.computed > 0) {
        for (const Book book : {Book::Text, Book::Table}) {
            std::optional<QByteArray> bytes =
                io::EncodeBook(session.Lines(book), io::NativeBookCodec());
            if (!bytes) {
                env.err("pile_batch: 此系统不能以所需的编码写文件\n");
                return kNotWritten;
            }
            files.push_back({io::BookFileName(book), std::move(*bytes)});
        }
    } else {
        env.err("pile_batch: 没有算出任何桩，计算书未写出\n");
    }
    // The report is made from the same records as the books, and only when they are written.
    if (!args.report.isEmpty() && outcome.computed > 0) {
        report::ProjectInfo cover = project;
        if (cover.date.empty()) {
            cover.date = io::ToU16(env.reportDate);
        }
        const report::ReportContent content =
            report::GatherReport(session.Records(), report::ChecksOf(outcome));
        const bool pdf = IsPdfReport(args.report);
        const QString name = pdf ? io::PdfReportFileName() : io::ReportFileName();
        std::variant<QByteArray, std::u16string> bytes;
        if (pdf) {
            const report::ReportFont font = report::LoadReportFont(env.programFolder);
            if (!font.warning.empty()) {
                env.err("pile_batch: " + Utf8(font.warning) + "\n");
            }
            bytes = report::PdfReport(content, cover, report::ThisProgram(), font.family);
        } else if (auto docx = report::DocxReport(content, cover, report::ThisProgram());
                   const auto* written = std::get_if<std::string>(&docx)) {
            bytes = QByteArray(written->data(), static_cast<qsizetype>(written->size()));
        } else {
            bytes = std::get<std::u16string>(docx);
        }
        if (const auto* why = std::get_if<std::u16string>(&bytes)) {
            env.err("pile_batch: 未能写出 " + Utf8(name) + ": " + Utf8(*why) +
                    "；输出文件夹中的文件都未改动\n");
            return kNotWritten;
        }
        files.push_back({name, std::get<QByteArray>(std::move(bytes))});
    }
    // --results: a format (the usual name) or a file name, in the output folder unless it
    // names a folder of its own.
    QString resultsName = io::ResultsFileName();
    const bool asWorkbook =
        args.results.compare(u"xlsx", Qt::CaseInsensitive) == 0 || io::IsWorkbookName(args.results);
    if (args.results.contains(u'.')) {
        resultsName = args.results;
    } else if (asWorkbook) {
        resultsName.replace(QStringLiteral(".csv"), QStringLiteral(".xlsx"));
    }
    if (asWorkbook) {
        auto workbook = io::WorkbookBytes([&](const std::string& path, const std::string& scratch) {
            return session::WriteResultsWorkbook(outcome, env.decimalSeparator, path, scratch);
        });
        if (const auto* why = std::get_if<std::u16string>(&workbook)) {
            env.err("pile_batch: 未能写出 " +
                    Utf8(QDir::toNativeSeparators(QDir(folder).filePath(resultsName))) + ": " +
                    Utf8(*why) + "；输出文件夹中的文件都未改动\n");
            return kNotWritten;
        }
        files.push_back({resultsName, std::get<QByteArray>(std::move(workbook))});
    } else {
        const std::string table = session::ResultsTable(outcome);
        files.push_back(
            {resultsName, QByteArray(table.data(), static_cast<qsizetype>(table.size()))});
    }
    // The sized schedule reads back into the same books: each record as the journal keeps it.
    if (design && outcome.computed > 0) {
        const std::string sized = session::ScheduleOfRecords(session.Records(), project);
        files.push_back({io::DesignScheduleFileName(),
                         QByteArray(sized.data(), static_cast<qsizetype>(sized.size()))});
    }
    const io::BookFileResult written = io::WriteFileSet(folder, files);
    if (!written.ok) {
        env.err("pile_batch: 未能写出 " + Utf8(written.path) + ": " + Utf8(written.error) +
                "；输出文件夹中的文件都未改动\n");
        return kNotWritten;
    }
    for (const io::NamedBytes& output : files) {
        env.out(Utf8(QDir::toNativeSeparators(QDir(folder).filePath(output.fileName))) + "\n");
    }
    env.out(
        "pile_batch: 算出 " + std::to_string(outcome.computed) + " 根桩，" +
        std::to_string(outcome.refused) + " 行未算" +
        (outcome.skipped > 0 ? "，跳过 " + std::to_string(outcome.skipped) + " 行（不是桩）" : "") +
        "\n");
    if (design) {
        env.out("pile_batch: 选型 " + std::to_string(design->sized) + " 根，" +
                std::to_string(design->unmet) + " 根没有满足要求的桩\n");
    }
    if (const std::u16string checks = session::CheckSummary(outcome); !checks.empty()) {
        env.out("pile_batch: " + Utf8(checks) + "\n");
    }
    for (const std::u16string& line : session::DuplicateNames(outcome)) {
        env.out("pile_batch: " + Utf8(line) + "\n");
    }
    return session::ExitStatus(outcome);
}

}  // namespace pile::batch
