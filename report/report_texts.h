// The words of a calculation report that are not the books': titles, the cover's labels, the
// basis and the page footer. The Word and the PDF report both print them from here, so that the
// two say the same.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/project_info.h"
#include "report/report_model.h"

namespace pile::report {

// The report's title: the cover, the running header and the document's properties.
inline constexpr std::u16string_view kReportTitle = u"嵌岩桩计算书";

inline constexpr std::u16string_view kContentsTitle = u"目  录";
inline constexpr std::u16string_view kBasisTitle = u"设计依据";
inline constexpr std::u16string_view kSummaryTitle = u"计算汇总";
inline constexpr std::u16string_view kSketchTitle = u"计算简图";
inline constexpr std::u16string_view kStepsTitle = u"计算过程";
inline constexpr std::u16string_view kCheckTitle = u"承载力验算";

// The project lines of the cover: the label and its field.
inline constexpr std::array<std::pair<std::u16string_view, std::u16string ProjectInfo::*>, 5>
    kCoverFields{{
        {u"工程名称：", &ProjectInfo::name},
        {u"工程编号：", &ProjectInfo::number},
        {u"设计阶段：", &ProjectInfo::stage},
        {u"子    项：", &ProjectInfo::subproject},
        {u"设计单位：", &ProjectInfo::designer},
    }};

// The sign-off table: its heading row (the first cell empty) and a row for each role.
inline constexpr std::array<std::u16string_view, 3> kSignOffHeading{u"", u"姓名", u"签名"};
inline constexpr std::array<std::pair<std::u16string_view, std::u16string ProjectInfo::*>, 3>
    kSignOffRoles{{
        {u"计算", &ProjectInfo::calculation},
        {u"校对", &ProjectInfo::checking},
        {u"审核", &ProjectInfo::review},
    }};

// The cover's closing lines: the date, then the program, its maker and the code.
std::u16string CoverDate(const ProjectInfo& project);
std::array<std::u16string, 3> CoverProgramLines(const ProgramInfo& program,
                                                std::u16string_view code);

// The paragraphs of 设计依据, numbered, the books' time line last.
std::vector<std::u16string> BasisParagraphs(const ReportContent& content,
                                            const ProgramInfo& program);

// The columns of a steps table.
inline constexpr std::array<std::u16string_view, 5> kStepColumns{u"序号", u"计算项目", u"符号",
                                                                 u"数值", u"单位"};

// The summary's columns after the table book's, where loads were checked: two heading rows.
inline constexpr std::array<std::u16string_view, 3> kCheckColumns{u"荷载", u"比值", u"验算"};
inline constexpr std::array<std::u16string_view, 3> kCheckColumnsSecond{u"(kN)", u"", u"结论"};

// The clause of a formula as its table prints it: "式 (8.7.8-7)".
std::u16string ClauseText(std::u16string_view clause);

// The footer around the page number and the page count: "第 3 页 共 12 页".
inline constexpr std::u16string_view kFooterBefore = u"第 ";
inline constexpr std::u16string_view kFooterBetween = u" 页 共 ";
inline constexpr std::u16string_view kFooterAfter = u" 页";

// The document's title in its properties: the project's name before the report's.
std::u16string DocumentTitle(const ProjectInfo& project);

}  // namespace pile::report
