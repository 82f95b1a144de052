// The project a calculation belongs to: what the report's cover says of it, what a schedule's
// lines above its header give, and what the session keeps and its journal restores.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/schedule.h"

namespace pile::session {

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
    friend bool operator==(const ProjectInfo&, const ProjectInfo&) = default;
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

// The lines above a schedule's header whose key is a field's name, into `info`, each over what
// it held (a later line over an earlier one); lines of other keys are titles and left alone.
// Returns how many fields the lines named.
std::size_t ApplyProjectLines(ProjectInfo& info, const std::vector<schedule::TitleField>& lines);

// "工程名称：…" for each field that is not empty, in the order of the cover: the lines that
// stand above the header of an exported schedule, one cell each.
std::vector<std::u16string> ProjectLineCells(const ProjectInfo& info);

// ProjectLineCells as CSV records, each CR LF.
std::u16string ProjectLines(const ProjectInfo& info);

}  // namespace pile::session
