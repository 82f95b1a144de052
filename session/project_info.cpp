#include "session/project_info.h"

namespace pile::session {

namespace {

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

std::size_t ApplyProjectLines(ProjectInfo& info, const std::vector<schedule::TitleField>& lines) {
    std::size_t named = 0;
    for (const ProjectField& field : kProjectFields) {
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            if (line->key == field.key) {
                info.*field.member = line->value;
                ++named;
                break;
            }
        }
    }
    return named;
}

std::vector<std::u16string> ProjectLineCells(const ProjectInfo& info) {
    std::vector<std::u16string> cells;
    for (const ProjectField& field : kProjectFields) {
        const std::u16string& value = info.*field.member;
        if (!Trimmed(value).empty()) {
            cells.push_back(std::u16string(field.key) + u"：" + value);
        }
    }
    return cells;
}

std::u16string ProjectLines(const ProjectInfo& info) {
    std::u16string lines;
    for (const std::u16string& cell : ProjectLineCells(info)) {
        // Quoted where the reader would otherwise split the cell or end the line.
        lines += cell.find_first_of(u",;\t\"\r\n") == std::u16string::npos
                     ? cell
                     : schedule::QuotedField(cell);
        lines += u"\r\n";
    }
    return lines;
}

}  // namespace pile::session
