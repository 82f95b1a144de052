// The results table and the schedule template as .xlsx workbooks (libxlsxwriter): one sheet,
// the header row frozen, Ra, Rc and the coefficient as numbers in the number format of the
// digits shown, so that Excel can sum and sort them, and columns as wide as their texts.
#pragma once

#include <optional>
#include <string>

#include "session/schedule_run.h"
#include "session/session_journal.h"

namespace pile::session {

// Writes the workbook to `path` (a new file; UTF-8 name), libxlsxwriter's temporary files into
// `scratchFolder`. The reason when it fails.
std::optional<std::u16string> WriteResultsWorkbook(const ScheduleOutcome& outcome,
                                                   char16_t decimalSeparator,
                                                   const std::string& path,
                                                   const std::string& scratchFolder);

// "导出桩表…" as a workbook with the sheet "桩表": the cells of ScheduleOfRecords, every one a
// text so that it reads back as typed, the project's lines above the header.
std::optional<std::u16string> WriteScheduleWorkbook(const std::vector<RecordInputs>& records,
                                                    const ProjectInfo& project,
                                                    const std::string& path,
                                                    const std::string& scratchFolder);

// The rows of ScheduleTemplate() as a workbook with the sheet "桩表".
std::optional<std::u16string> WriteTemplateWorkbook(const std::string& path,
                                                    const std::string& scratchFolder);

}  // namespace pile::session
