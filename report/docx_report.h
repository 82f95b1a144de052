// The calculation report as a Word document (.docx, for Word 2007 and later and WPS), in memory:
// a cover with the project and the sign-off, a contents field that updates on opening,
// 设计依据, 计算汇总 (the table book as a table, in a landscape section) and one section per
// pile with its sketch, its steps, its formulas and its checks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

#include "report/project_info.h"
#include "report/report_model.h"
#include "report/report_texts.h"

namespace pile::report {

// Called as the report is made, with the steps done and the steps in all (a step for each
// pile's section and one for the zip); false stops it, and the report ends with kReportStopped.
using ReportProgress = std::function<bool(std::size_t done, std::size_t total)>;
inline constexpr std::u16string_view kReportStopped = u"已取消";

// The bytes of the .docx, or why it could not be made.
std::variant<std::string, std::u16string> DocxReport(const ReportContent& content,
                                                     const ProjectInfo& project,
                                                     const ProgramInfo& program,
                                                     const ReportProgress& progress = {});

// The styles kept as report/templates/styles.xml, embedded at build time.
std::string_view StylesTemplate();

}  // namespace pile::report
