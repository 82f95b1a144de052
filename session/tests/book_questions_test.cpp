#include "session/book_questions.h"

#include <gtest/gtest.h>

#include "testing/panels.h"

namespace pile::session {
namespace {

void Compute(PanelSession& session, int piles) {
    for (int i = 0; i < piles; ++i) {
        session.Compute(pile::test::Panel{.dd = u"1000", .hr = u"1.5d", .frk = u"25"}.Input(),
                        PrecisionMode::Units, u'.', u"2024/5/6 14:03:27");
    }
}

TEST(NewBooksQuestion, AsksOnlyWhenAPileIsNotInItsFile) {
    PanelSession session;
    Compute(session, 3);
    session.MarkSaved(Book::Text);
    Compute(session, 2);
    session.MarkSaved(Book::Table);
    const std::optional<Question> question = NewBooksQuestion(session);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, u"计算书中有 2 根桩未保存：清空两本计算书？（会话记录中留有它们）");
    EXPECT_EQ(question->answers[question->escape], u"取消");
    session.MarkSaved(Book::Text);
    EXPECT_FALSE(NewBooksQuestion(session));
}

}  // namespace
}  // namespace pile::session
