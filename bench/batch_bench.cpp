// A schedule of 10 000 piles: read and computed into the books (the library alone), and the
// whole pile_batch command with its three files written (when built with the window).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "session/schedule_run.h"

#ifdef PILE_BATCH_COMMAND
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
#endif

}  // namespace
