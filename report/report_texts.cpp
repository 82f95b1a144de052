#include "report/report_texts.h"

namespace pile::report {

std::u16string CoverDate(const ProjectInfo& project) {
    return u"日期：" + project.date;
}

std::array<std::u16string, 3> CoverProgramLines(const ProgramInfo& program,
                                                std::u16string_view code) {
    return {
        u"计算程序：" + std::u16string(program.name) + u"  版本 " + std::u16string(program.version),
        u"程序编制：" + std::u16string(program.maker),
        u"依据规范：" + std::u16string(code),
    };
}

std::vector<std::u16string> BasisParagraphs(const ReportContent& content,
                                            const ProgramInfo& program) {
    std::vector<std::u16string> paragraphs{
        u"1. 依据规范：" + content.code + u"。",
        u"2. 计算程序：" + std::u16string(program.name) + u"，版本 " +
            std::u16string(program.version) + u"，由" + std::u16string(program.maker) + u"编制。",
        u"3. 单位：长度 mm，截面面积 m²，截面周长 m，强度 MPa，力 kN。",
        u"4. 桩侧土的总极限侧阻力标准值 Qsk 取 0：不计嵌岩段以上土层的侧阻力，单桩竖向极限"
        u"承载力标准值 Quk 只由嵌岩段的侧阻力和端阻力 Qrk 组成，结果偏于安全。",
        u"5. 计算汇总和各桩“基桩主要数据汇总”中的 Ra、Rc 按所选的取整精度给出。",
    };
    if (content.anyCheck) {
        paragraphs.push_back(
            u"6. 给出荷载时验算：Nk ≤ Ra；Nkmax ≤ 1.2Ra；γ0N ≤ Rc。Nk、Nkmax 为荷载效应标准组合"
            u"下的竖向力，N 为基本组合下的竖向力，γ0 为结构重要性系数。");
    }
    // The time that ends both books, as they print it.
    paragraphs.push_back(content.timeLine);
    return paragraphs;
}

std::u16string ClauseText(std::u16string_view clause) {
    return u"式 " + std::u16string(clause);
}

std::u16string DocumentTitle(const ProjectInfo& project) {
    std::u16string title(kReportTitle);
    if (!project.name.empty()) {
        title = project.name + u" " + title;
    }
    return title;
}

}  // namespace pile::report
