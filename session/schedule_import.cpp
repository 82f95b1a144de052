#include "session/schedule_import.h"

#include <fstream>
#include <vector>

namespace pile::session {

using schedule::DecimalText;

std::u16string ImportMessage(const ScheduleOutcome& outcome) {
    const std::vector<std::u16string> duplicates = DuplicateNames(outcome);
    const std::u16string checks = CheckSummary(outcome, kListedRefusals);
    if (outcome.refused == 0 && outcome.skipped == 0 && duplicates.empty() && checks.empty()) {
        return {};
    }
    std::u16string message = u"导入 " + DecimalText(outcome.computed) + u" 根桩";
    if (outcome.refused > 0) {
        message += u"；以下 " + DecimalText(outcome.refused) + u" 行未算";
    }
    if (outcome.skipped > 0) {
        message += u"；跳过 " + DecimalText(outcome.skipped) + u" 行（不是桩）";
    }
    const std::size_t listable = outcome.refused + outcome.skipped;
    if (listable > 0) {
        message += u":";
    }
    std::size_t listed = 0;
    for (const RowOutcome& row : outcome.rows) {
        if (row.results) {
            continue;
        }
        if (listed++ == kListedRefusals) {
            message += u"\n……另有 " + DecimalText(listable - kListedRefusals) + u" 行";
            break;
        }
        message += u"\n" + RefusalLine(row);
    }
    // The box stays on the screen however many names repeat.
    for (std::size_t i = 0; i < duplicates.size(); ++i) {
        if (i == kListedRefusals) {
            message +=
                u"\n……另有 " + DecimalText(duplicates.size() - kListedRefusals) + u" 个桩号重复";
            break;
        }
        message += u"\n" + duplicates[i];
    }
    if (!checks.empty()) {
        message += u"\n荷载验算：" + checks;
    }
    return message;
}

ImportResult PanelSession::Import(const std::filesystem::path& file, char16_t decimalSeparator,
                                  std::u16string_view calculationTime,
                                  const std::function<bool(std::size_t, std::size_t)>& progress,
                                  bool replace) {
    if (replace) {
        // Into empty books first: a file that cannot be read takes nothing away.
        PanelSession fresh;
        fresh.bookOnShow_ = bookOnShow_;
        fresh.project_ = project_;
        ImportResult result = fresh.Import(file, decimalSeparator, calculationTime, progress);
        if (result.read) {
            project_ = fresh.project_;
        }
        // A schedule whose every row is refused replaces nothing: its message says why.
        if (result.read && fresh.PileCounter() > 0) {
            result.outcome.change = {
                {0, Lines(Book::Table).size(), fresh.Lines(Book::Table).size()},
                {0, Lines(Book::Text).size(), fresh.Lines(Book::Text).size()}};
            result.replaced = true;
            fresh.bookScreenUsed_ = true;
            *this = std::move(fresh);
        }
        return result;
    }
    ImportResult result;
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        result.message = u"桩表未能导入: 这是文件夹";
        return result;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        result.message = u"桩表未能导入: 文件打不开";
        return result;
    }
    // The reading says how far it is every kReadTick bytes: a large file is parsed as it is
    // read, and the window stays drawn and can stop it.
    constexpr std::size_t kReadTick = 256 * 1024;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    std::size_t bytesRead = 0;
    std::size_t nextTick = kReadTick;
    bool stopped = false;
    const schedule::ByteSource source = [&](char* buffer, std::size_t capacity) -> long long {
        if (stopped) {
            return -1;
        }
        stream.read(buffer, static_cast<std::streamsize>(capacity));
        if (stream.bad()) {
            return -1;
        }
        bytesRead += static_cast<std::size_t>(stream.gcount());
        if (progress && !error && bytesRead >= nextTick && bytesRead < size) {
            nextTick = bytesRead + kReadTick;
            stopped = !progress(bytesRead, static_cast<std::size_t>(size));
        }
        return stopped ? -1 : static_cast<long long>(stream.gcount());
    };
    // Stopped part-way, the session goes back to this copy.
    std::optional<PanelSession> before;
    if (progress) {
        before = *this;
    }
    const RowProgress rows = [&](std::size_t done, std::size_t total) {
        stopped = progress && !progress(done, total);
        return !stopped;
    };
    ScheduleRun run = RunSchedule(source, decimalSeparator, calculationTime, *this, {}, rows);
    if (stopped) {
        *this = std::move(*before);
        result.cancelled = true;
        return result;
    }
    if (run.unreadable) {
        result.message = u"桩表未能导入: " + *run.unreadable;
        return result;
    }
    result.read = true;
    result.outcome = std::move(run.outcome);
    result.projectFields = ApplyProjectLines(project_, run.titleFields);
    result.message = ImportMessage(result.outcome);
    return result;
}

}  // namespace pile::session
