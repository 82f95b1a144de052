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

// Emptied, the session is as at the start but for the book on show.
TEST(NewBooks, ClearEmptiesBooksRecordsAndSavedExtents) {
    PanelSession session;
    Compute(session, 2);
    session.MarkSaved(Book::Text);
    session.SwitchBook();
    const std::size_t lines = session.Lines(Book::Text).size();
    EXPECT_EQ(session.Clear().text, (BookChange{0, lines, 0}));
    EXPECT_EQ(session.PileCounter(), 0);
    EXPECT_TRUE(session.Records().empty());
    EXPECT_TRUE(session.Lines(Book::Table).empty());
    EXPECT_EQ(session.SavedRecords(Book::Text), 0u);
    EXPECT_EQ(session.BookOnShow(), Book::Table);
}

}  // namespace
}  // namespace pile::session
