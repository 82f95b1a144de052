// The calculation report as a PDF, with the content of the Word report (report/docx_report.h):
// the cover with the project and the sign-off, the contents with this PDF's own page numbers,
// 设计依据, 计算汇总 as a table on landscape pages, and a section per pile with its sketch drawn
// as vectors, its steps, its formulas and its checks; on every page but the cover the project and
// the title above and "第 x 页 共 y 页" below. All text is text, in the face given.
//
// The pages are laid out first, as lists of what each draws; only then are they drawn, when the
// page of every heading and the number of pages are known.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <variant>

#include "report/docx_report.h"
#include "report/project_info.h"
#include "report/report_model.h"

namespace pile::report {

// The bytes of the PDF, or why it could not be made. Needs a QGuiApplication (the fonts).
// `fontFamily`: the face LoadReportFont gave (report_font.h). `progress` follows the piles laid
// out, then the pages drawn; when it answers false the report ends with kReportStopped.
std::variant<QByteArray, std::u16string> PdfReport(const ReportContent& content,
                                                   const ProjectInfo& project,
                                                   const ProgramInfo& program,
                                                   const QString& fontFamily,
                                                   const ReportProgress& progress = {});

}  // namespace pile::report
