// What the window asks before an action adds to or empties books that hold records, and the
// answers it offers. The texts and the rule of when to ask live here; the box is the front
// end's (ui/platform/message_presenter.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "session/panel_session.h"

namespace pile::session {

struct Question {
    std::u16string text;
    std::vector<std::u16string> answers;  // the buttons, left to right
    std::size_t enter = 0;                // the answer of Enter: the least destructive one
    std::size_t escape = 0;               // the answer of Esc and of closing the box
};

// The answers of ImportQuestion, in the order of its buttons.
enum class ImportChoice { Append, Replace, Cancel };
// A schedule read while the books hold records: append to them or replace them. None: the
// books are empty, the import appends without a question.
std::optional<Question> ImportQuestion(const PanelSession& session);

// The answers of NewBooksQuestion.
enum class NewBooksChoice { Empty, Cancel };
// "新建计算书" while a book holds records not in its file. None: nothing would be lost.
std::optional<Question> NewBooksQuestion(const PanelSession& session);

// The answers of ReplaceDesignsQuestion.
enum class ReplaceDesignsChoice { Replace, Cancel };
// 选型 taken in place of `count` records: the books are computed afresh, and the files saved
// before no longer hold them.
Question ReplaceDesignsQuestion(std::size_t count);

}  // namespace pile::session
