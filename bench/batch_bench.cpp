// A schedule of 10 000 piles: read and computed into the books (the library alone), and the
// whole pile_batch command with its three files written (when built with the window); and
// 20 000 piles as a workbook in and a results workbook out, beside the same rows as CSV.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "session/pile_design.h"
#include "session/schedule_run.h"

#ifdef PILE_BATCH_COMMAND
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>

#include "testing/workbook_source.h"
#include "tools/pile_batch_command.h"
#endif

namespace {

// Circles, ellipses and rectangles in turn, with varied sizes and precisions. (Built with
// append: GCC 12 warns falsely about chains of string + in Release.)
std::string Schedule(int rows) {
    std::string csv = "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,精度\r\n";
    const char* precisions[] = {"两位小数", "一位小数", "个位取整", "十位取整", "百位取整"};
    for (int i = 0; i < rows; ++i) {
        const std::string d = std::to_string(800 + (i % 13) * 100);
        csv.append("Z").append(std::to_string(i));
        switch (i % 3) {
            case 0:
                csv.append(",圆桩,frk,").append(d).append(",0,1.5d,C30,泥浆护壁成桩,");
                csv.append(std::to_string(5 + i % 60)).append(",24,");
                break;
            case 1:
                csv.append(",椭圆桩,fuk,").append(d).append(",600,2.0d,C35,,,18,");
                break;
            default:
                csv.append(",矩形桩,fuk,1000,").append(d).append(",1.0b,C40,,,30,");
                break;
        }
        csv.append(precisions[i % 5]).append("\r\n");
    }
    return csv;
}

pile::schedule::ByteSource SourceOf(const std::string& bytes) {
    auto pos = std::make_shared<std::size_t>(0);
    return [&bytes, pos](char* buffer, std::size_t capacity) -> long long {
        const std::size_t count = std::min(capacity, bytes.size() - *pos);
        std::memcpy(buffer, bytes.data() + *pos, count);
        *pos += count;
        return static_cast<long long>(count);
    };
}

void BM_ReadAndComputeSchedule(benchmark::State& state) {
    const std::string csv = Schedule(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pile::session::PanelSession session;
        const pile::session::ScheduleRun run =
            pile::session::RunSchedule(SourceOf(csv), u'.', u"2024/5/6 14:03:27", session);
        std::string table = pile::session::ResultsTable(run.outcome);
        benchmark::DoNotOptimize(table.data());
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ReadAndComputeSchedule)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// Sizing every circle of a schedule with loads: diameters from 800 mm up and depths from 0.5d,
// each candidate a whole calculation, loads spread so that the search stops early and late.
void BM_DesignSchedule(benchmark::State& state) {
    std::string csv = "桩号,d,hr,混凝土,工艺,frk,Nk,N\r\n";
    for (int i = 0; i < state.range(0); ++i) {
        csv.append("Z").append(std::to_string(i)).append(",1000,1.0d,C30,泥浆护壁成桩,");
        csv.append(std::to_string(5 + i % 60))
            .append(",")
            .append(std::to_string(2000 + i % 97 * 150));
        csv.append(",").append(std::to_string(3000 + i % 89 * 300)).append("\r\n");
    }
    const auto read = pile::schedule::ReadSchedule(SourceOf(csv));
    const auto& schedule = std::get<pile::schedule::Schedule>(read);
    for (auto _ : state) {
        pile::schedule::Schedule sized = schedule;
        const pile::session::ScheduleDesign design =
            pile::session::DesignSchedule(sized, pile::session::DesignOptions{}, u'.');
        benchmark::DoNotOptimize(design.sized);
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_DesignSchedule)->Arg(1)->Arg(20000)->Unit(benchmark::kMillisecond);

#ifdef PILE_BATCH_COMMAND
// The command as the program runs it: the file read, the books encoded in GBK, three files
// written through temporary files. Only the process start is left out.
void BM_PileBatchCommand(benchmark::State& state) {
    QTemporaryDir dir;
    const QString schedule = dir.filePath(QStringLiteral("schedule.csv"));
    {
        const std::string csv = Schedule(static_cast<int>(state.range(0)));
        QFile file(schedule);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(csv.data(), static_cast<qint64>(csv.size())) !=
                static_cast<qint64>(csv.size())) {
            state.SkipWithError("cannot write the schedule");
            return;
        }
    }
    pile::batch::CommandEnvironment environment;
    environment.calculationTime = QStringLiteral("2024/5/6 14:03:27");
    environment.out = [](std::string_view) {};
    environment.err = [](std::string_view) {};
    for (auto _ : state) {
        if (pile::batch::RunBatchCommand({schedule}, environment) != 0) {
            state.SkipWithError("pile_batch refused rows");
            return;
        }
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PileBatchCommand)->Arg(10000)->Unit(benchmark::kMillisecond);

// The CSV's rows as a workbook as Excel writes one: texts in the shared-string table, numbers
// as numbers.
std::string Workbook(const std::string& csv) {
    std::map<std::string, std::size_t> shared;
    std::string sharedXml;
    std::string rows;
    std::size_t line = 0;
    std::size_t start = 0;
    while (start < csv.size()) {
        const std::size_t end = csv.find("\r\n", start);
        const std::string record = csv.substr(start, end - start);
        start = end + 2;
        ++line;
        rows += "<row r=\"" + std::to_string(line) + "\">";
        std::size_t column = 0;
        for (std::size_t from = 0; from <= record.size();) {
            const std::size_t comma = std::min(record.find(',', from), record.size());
            const std::string field = record.substr(from, comma - from);
            from = comma + 1;
            ++column;
            if (field.empty()) {
                continue;
            }
            const std::string ref =
                std::string(1, static_cast<char>('A' + column - 1)) + std::to_string(line);
            if (field.find_first_not_of("0123456789") == std::string::npos) {
                rows += "<c r=\"" + ref + "\"><v>" + field + "</v></c>";
                continue;
            }
            const auto [it, added] = shared.emplace(field, shared.size());
            if (added) {
                sharedXml += "<si><t>" + field + "</t></si>";
            }
            rows += "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string(it->second) + "</v></c>";
        }
        rows += "</row>";
    }
    using pile::schedule::testing::SheetXml;
    using pile::schedule::testing::WorkbookParts;
    return pile::schedule::testing::ZipOf(WorkbookParts(SheetXml(rows), sharedXml));
}

// The command on 20 000 rows with the results as a workbook: from the workbook (arg 1) or from
// the CSV of the same rows (arg 0).
void BM_PileBatchCommandXlsx(benchmark::State& state) {
    QTemporaryDir dir;
    const bool fromWorkbook = state.range(1) == 1;
    const QString schedule =
        dir.filePath(fromWorkbook ? QStringLiteral("schedule.xlsx") : QStringLiteral("s.csv"));
    {
        const std::string csv = Schedule(static_cast<int>(state.range(0)));
        const std::string bytes = fromWorkbook ? Workbook(csv.substr(3)) : csv;
        QFile file(schedule);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            state.SkipWithError("cannot write the schedule");
            return;
        }
    }
    pile::batch::CommandEnvironment environment;
    environment.calculationTime = QStringLiteral("2024/5/6 14:03:27");
    environment.out = [](std::string_view) {};
    std::string errors;
    environment.err = [&errors](std::string_view text) { errors.append(text); };
    for (auto _ : state) {
        if (pile::batch::RunBatchCommand(
                {QStringLiteral("--results"), QStringLiteral("xlsx"), schedule}, environment) !=
            0) {
            state.SkipWithError(errors.c_str());
            return;
        }
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PileBatchCommandXlsx)
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
#endif

}  // namespace
