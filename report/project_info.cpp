#include "report/project_info.h"

#include "report/program_identity.h"

namespace pile::report {

namespace {

// The version comes from the project's CMake version (one place for the number).
#define PILE_WIDEN2(x) u##x
#define PILE_WIDEN(x) PILE_WIDEN2(x)
constexpr std::u16string_view kVersion = PILE_WIDEN(PILE_PROJECT_VERSION);
#undef PILE_WIDEN
#undef PILE_WIDEN2

std::u16string_view Trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::u16string KeyList() {
    std::u16string keys;
    for (const ProjectField& field : kProjectFields) {
        if (!keys.empty()) {
            keys += u"、";
        }
        keys += field.key;
    }
    return keys;
}

}  // namespace

std::optional<std::u16string> SetProjectField(ProjectInfo& info, std::u16string_view assignment) {
    const std::size_t equals = assignment.find_first_of(u"=＝");
    if (equals == std::u16string_view::npos) {
        return u"项目信息应写成 名称=内容（名称为 " + KeyList() + u"）";
    }
    const std::u16string_view key = Trimmed(assignment.substr(0, equals));
    for (const ProjectField& field : kProjectFields) {
        if (field.key == key) {
            info.*field.member = std::u16string(Trimmed(assignment.substr(equals + 1)));
            return std::nullopt;
        }
    }
    return u"没有“" + std::u16string(key) + u"”这一项目信息（可用 " + KeyList() + u"）";
}

ProgramInfo ThisProgram() {
    return {kProgramName, kVersion, kProgramMaker};
}

}  // namespace pile::report
