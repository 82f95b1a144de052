// pile_batch [--out DIR] SCHEDULE.csv: a pile schedule in, both calculation books and a results
// table out. See pile_batch --help.
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <cstdio>
#include <string_view>

#include "io/calculation_time.h"
#include "io/locale_number.h"
#include "tools/pile_batch_command.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void Write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
    const QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    pile::batch::CommandEnvironment environment;
    // The decimal separator and the time text exactly as the window takes them.
    environment.decimalSeparator = pile::io::DecimalSeparator(QLocale::system());
    environment.calculationTime =
        pile::io::CalculationTime(QLocale::system(), QDateTime::currentDateTime());
    environment.reportDate = QDate::currentDate().toString(QStringLiteral("yyyy年M月d日"));
    environment.out = [](std::string_view text) { Write(stdout, text); };
    environment.err = [](std::string_view text) { Write(stderr, text); };

    const int status = pile::batch::RunBatchCommand(arguments, environment);
    if (std::fflush(stdout) != 0) {
        return pile::batch::kNotWritten;
    }
    return status;
}
