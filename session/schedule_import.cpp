#include "session/schedule_import.h"

#include <fstream>
#include <vector>

namespace pile::session {

using schedule::DecimalText;

std::u16string ImportMessage(const ScheduleOutcome& outcome) {
    const std::vector<std::u16string> duplicates = DuplicateNames(outcome);
    if (outcome.refused == 0 && duplicates.empty()) {
        return {};
    }
    std::u16string message = u"导入 " + DecimalText(outcome.computed) + u" 根桩";
    if (outcome.refused > 0) {
        message += u"；以下 " + DecimalText(outcome.refused) + u" 行未算:";
    }
    std::size_t listed = 0;
    for (const RowOutcome& row : outcome.rows) {
        if (row.results) {
            continue;
        }
        if (listed++ == kListedRefusals) {
            message += u"\n……另有 " + DecimalText(outcome.refused - kListedRefusals) + u" 行";
            break;
        }
        message += u"\n第 " + DecimalText(row.line) + u" 行: " + row.refusal;
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
    return message;
}

ImportResult PanelSession::Import(const std::filesystem::path& file, char16_t decimalSeparator,
                                  std::u16string_view calculationTime,
                                  const std::function<bool(std::size_t, std::size_t)>& progress) {
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
    const schedule::ByteSource source = [&stream](char* buffer, std::size_t capacity) -> long long {
        stream.read(buffer, static_cast<std::streamsize>(capacity));
        if (stream.bad()) {
            return -1;
        }
        return static_cast<long long>(stream.gcount());
    };
    // Stopped part-way, the session goes back to this copy.
    std::optional<PanelSession> before;
    if (progress) {
        before = *this;
    }
    bool stopped = false;
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
    result.message = ImportMessage(result.outcome);
    return result;
}

}  // namespace pile::session
