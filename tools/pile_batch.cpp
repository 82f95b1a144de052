// pile_batch [--out DIR] SCHEDULE.csv: a pile schedule in, both calculation books and a results
// table out. See pile_batch --help.
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

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
    // A PDF report is drawn with Qt Gui's fonts, which need a QGuiApplication; on the offscreen
    // platform, so that the command still runs without a display whatever the caller's
    // environment names. Without a PDF, Qt Core alone.
    QStringList given;
    for (int i = 1; i < argc; ++i) {
        given.push_back(QString::fromLocal8Bit(argv[i]));
    }
    std::vector<char*> guiArgv(argv, argv + argc);
    static char platformOption[] = "-platform";
    static char offscreen[] = "offscreen";
    std::unique_ptr<QCoreApplication> app;
    if (pile::batch::AsksForPdfReport(given)) {
        guiArgv.insert(guiArgv.begin() + 1, {platformOption, offscreen});
        guiArgv.push_back(nullptr);
        static int guiArgc = 0;
        guiArgc = argc + 2;
        app = std::make_unique<QGuiApplication>(guiArgc, guiArgv.data());
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    pile::batch::CommandEnvironment environment;
    // The decimal separator and the time text exactly as the window takes them.
    environment.decimalSeparator = pile::io::DecimalSeparator(QLocale::system());
    environment.calculationTime =
        pile::io::CalculationTime(QLocale::system(), QDateTime::currentDateTime());
    environment.reportDate = QDate::currentDate().toString(QStringLiteral("yyyy年M月d日"));
    environment.programFolder = QCoreApplication::applicationDirPath();
    environment.out = [](std::string_view text) { Write(stdout, text); };
    environment.err = [](std::string_view text) { Write(stderr, text); };

    const int status = pile::batch::RunBatchCommand(arguments, environment);
    if (std::fflush(stdout) != 0) {
        return pile::batch::kNotWritten;
    }
    return status;
}
