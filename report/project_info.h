// What the cover of a calculation report says about the project, and the program that made it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pile::report {

struct ProjectInfo {
    std::u16string name;         // 工程名称
    std::u16string number;       // 工程编号
    std::u16string stage;        // 设计阶段
    std::u16string subproject;   // 子项
    std::u16string designer;     // 设计单位
    std::u16string calculation;  // 计算
    std::u16string checking;     // 校对
    std::u16string review;       // 审核
    std::u16string date;         // 日期
};

// Every field by its Chinese name, in the order of the cover; the names are also the keys of
// `pile_batch --project` and of a schedule's project lines.
struct ProjectField {
    std::u16string_view key;
    std::u16string ProjectInfo::*member;
};
inline constexpr std::array<ProjectField, 9> kProjectFields{{
    {u"工程名称", &ProjectInfo::name},
    {u"工程编号", &ProjectInfo::number},
    {u"设计阶段", &ProjectInfo::stage},
    {u"子项", &ProjectInfo::subproject},
    {u"设计单位", &ProjectInfo::designer},
    {u"计算", &ProjectInfo::calculation},
    {u"校对", &ProjectInfo::checking},
    {u"审核", &ProjectInfo::review},
    {u"日期", &ProjectInfo::date},
}};

// "KEY=VALUE" (the first "=" or "＝" divides them) into its field; the message for a text
// without one or an unknown key, in Chinese, naming the keys there are.
std::optional<std::u16string> SetProjectField(ProjectInfo& info, std::u16string_view assignment);

// The program that writes the report, as its cover and 设计依据 name it.
struct ProgramInfo {
    std::u16string_view name;
    std::u16string_view version;
    std::u16string_view maker;
};
// This program: its name and maker as the about box shows them (program_identity.h), and the
// project's version.
ProgramInfo ThisProgram();

}  // namespace pile::report
