// The command pile_batch: its arguments, the schedule file, the three output files and what
// it reports. The program itself only supplies the environment (locale, clock, streams).
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>

namespace pile::batch {

struct CommandEnvironment {
    char16_t decimalSeparator = u'.';  // the user's locale, as the window uses it
    QString calculationTime;           // as the window forms it, for every record of the run
    QString reportDate;                // the report cover's 日期 when --project gives none
    QString programFolder;             // where the report's font is looked for first
    std::function<void(std::string_view)> out;  // UTF-8
    std::function<void(std::string_view)> err;  // UTF-8
};

enum ExitCode {
    kAllComputed = 0,
    kSomeRefused = 1,
    kUnreadable = 2,  // the schedule cannot be read, or the command line is wrong: nothing written
    kNotWritten = 3,  // an output file could not be written
    kChecksFailed = 4,  // every row computed, but some fail their load check
};

// Whether `--report`'s value asks for a PDF, which needs a QGuiApplication.
bool IsPdfReport(const QString& kind);

// Whether these arguments (without the program name) ask for a PDF report.
bool AsksForPdfReport(const QStringList& arguments);

// `arguments` without the program name.
int RunBatchCommand(const QStringList& arguments, const CommandEnvironment& environment);

}  // namespace pile::batch
