#include "session/book_questions.h"

#include <algorithm>

#include "schedule/schedule_text.h"

namespace pile::session {

using schedule::DecimalText;

std::optional<Question> ImportQuestion(const PanelSession& session) {
    if (session.PileCounter() == 0) {
        return std::nullopt;
    }
    return Question{
        .text = u"计算书中已有 " + DecimalText(static_cast<std::size_t>(session.PileCounter())) +
                u" 根桩：追加到其后 / 替换（先清空计算书） / 取消",
        .answers = {u"追加到其后", u"替换（先清空计算书）", u"取消"},
        .enter = static_cast<std::size_t>(ImportChoice::Append),
        .escape = static_cast<std::size_t>(ImportChoice::Cancel),
    };
}

std::optional<Question> NewBooksQuestion(const PanelSession& session) {
    if (session.UnsavedBookFlags() == 0 || session.PileCounter() == 0) {
        return std::nullopt;
    }
    const std::size_t unsaved =
        std::max(session.UnsavedRecords(Book::Text), session.UnsavedRecords(Book::Table));
    // Saved, then records deleted: no pile is missing from the files, but they differ.
    const std::u16string what = unsaved == 0
                                    ? u"计算书的改动未保存"
                                    : u"计算书中有 " + DecimalText(unsaved) + u" 根桩未保存";
    return Question{
        .text = what + u"：清空两本计算书？（会话记录中留有它们）",
        .answers = {u"清空计算书", u"取消"},
        .enter = static_cast<std::size_t>(NewBooksChoice::Cancel),
        .escape = static_cast<std::size_t>(NewBooksChoice::Cancel),
    };
}

Question ReplaceDesignsQuestion(std::size_t count) {
    return Question{
        .text = u"用选型的桩替换 " + DecimalText(count) +
                u" 根桩的原记录？两本计算书将重新计算，需要再保存。",
        .answers = {u"替换原记录", u"取消"},
        .enter = static_cast<std::size_t>(ReplaceDesignsChoice::Cancel),
        .escape = static_cast<std::size_t>(ReplaceDesignsChoice::Cancel),
    };
}

}  // namespace pile::session
