#include "change_events.h"

#include <gtest/gtest.h>

#include <QRadioButton>
#include <functional>
#include <memory>

#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace {

using pile::test::PrintTo;

using pile::ui::ComboTextChange;
using pile::ui::ListChange;
using pile::ui::RadioChange;
using pile::ui::TextChange;
using namespace pile::ui::testing;

// A window with one box of each kind; counts what each adapter raises and what the box held
// at that moment.
struct Panel {
    Panel() {
        edit = new QLineEdit(QStringLiteral("25"), &window);
        combo = new QComboBox(&window);
        combo->setEditable(true);
        combo->addItems({QStringLiteral("1000"), QStringLiteral("1100"), QStringLiteral("1200")});
        list = new QComboBox(&window);
        list->addItems({QStringLiteral("C25"), QStringLiteral("C30")});
        list->setCurrentIndex(1);
        other = new QLineEdit(&window);
        editChange = new TextChange(edit);
        comboChange = new ComboTextChange(combo);
        listChange = new ListChange(list);
        QObject::connect(editChange, &TextChange::changed, &window,
                         [this] { raised.push_back(edit->text()); });
        QObject::connect(comboChange, &TextChange::changed, &window,
                         [this] { raised.push_back(combo->currentText()); });
        QObject::connect(listChange, &ListChange::changed, &window,
                         [this] { raised.push_back(QString::number(list->currentIndex())); });
        window.show();
        window.activateWindow();
    }

    AppFirst app;
    QWidget window;
    QLineEdit* edit;
    QComboBox* combo;
    QComboBox* list;
    QLineEdit* other;
    TextChange* editChange;
    ComboTextChange* comboChange;
    ListChange* listChange;
    QStringList raised;  // the value seen by each raise, in order
};

struct Row {
    const char* name;
    std::function<void(Panel&)> act;
    QStringList raised;
};

class ChangeRules : public ::testing::TestWithParam<Row> {};

TEST_P(ChangeRules, RaiseExactlyWhenTheValueChanges) {
    Panel panel;
    GetParam().act(panel);
    EXPECT_EQ(panel.raised.join(u'|').toStdString(), GetParam().raised.join(u'|').toStdString());
}

const QString k1 = QStringLiteral("1");

INSTANTIATE_TEST_SUITE_P(
    EditBox, ChangeRules,
    ::testing::Values(
        Row{"TypingAloneRaisesNothing", [](Panel& p) { Type(p.edit, QStringLiteral("30")); }, {}},
        Row{"EnterCommitsTheTypedText",
            [](Panel& p) { Enter(p.edit, QStringLiteral("30")); },
            {QStringLiteral("30")}},
        Row{"EnterOnTheUnchangedTextRaisesNothing",
            [](Panel& p) { Enter(p.edit, QStringLiteral("25")); },
            {}},
        Row{"TypedAwayAndBackRaisesNothing",
            [](Panel& p) {
                Type(p.edit, QStringLiteral("3"));
                Enter(p.edit, QStringLiteral("25"));
            },
            {}},
        Row{"SecondEnterRaisesNothing",
            [](Panel& p) {
                Enter(p.edit, QStringLiteral("30"));
                QTest::keyClick(p.edit, Qt::Key_Return);
            },
            {QStringLiteral("30")}},
        Row{"ProgramChangeRaisesAtOnce",
            [](Panel& p) { p.editChange->SetText(QStringLiteral("0")); },
            {QStringLiteral("0")}},
        Row{"ProgramSetTextRaisesAtOnce",
            [](Panel& p) { p.edit->setText(QStringLiteral("7")); },
            {QStringLiteral("7")}},
        Row{"ProgramSameTextRaisesNothing",
            [](Panel& p) { p.editChange->SetText(QStringLiteral("25")); },
            {}},
        Row{"ProgramChangeOverUncommittedTyping",
            [](Panel& p) {
                Type(p.edit, QStringLiteral("99"));
                p.editChange->SetText(QStringLiteral("25"));
                QTest::keyClick(p.edit, Qt::Key_Return);
            },
            {}},
        Row{"EmptyTextCommits", [](Panel& p) { Enter(p.edit, QString()); }, {QString()}}),
    pile::test::RowName{});

INSTANTIATE_TEST_SUITE_P(
    EditableList, ChangeRules,
    ::testing::Values(
        Row{"TypedOneCommitsOneNotACompletion",
            [](Panel& p) { Enter(p.combo, QStringLiteral("1")); },
            {QStringLiteral("1")}},
        Row{"PickCountsAtOnce",
            [](Panel& p) { PickFromList(p.combo, 2); },
            {QStringLiteral("1200")}},
        Row{"RepickRaisesNothing",
            [](Panel& p) {
                PickFromList(p.combo, 2);
                PickFromList(p.combo, 2);
            },
            {QStringLiteral("1200")}},
        Row{"PickOverUncommittedTyping",
            [](Panel& p) {
                Type(p.combo->lineEdit(), QStringLiteral("12"));
                PickFromList(p.combo, 1);
            },
            {QStringLiteral("1100")}},
        Row{"PickOfTheCommittedTextOverTypingRaisesNothing",
            [](Panel& p) {
                Type(p.combo->lineEdit(), QStringLiteral("12"));
                PickFromList(p.combo, 0);
            },
            {}},
        Row{"ReplaceItemsKeepsTheTextAndRaisesNothing",
            [](Panel& p) {
                p.comboChange->ReplaceItems({QStringLiteral("100"), QStringLiteral("200")});
                if (p.combo->currentText() != QStringLiteral("1000") ||
                    p.combo->currentIndex() != -1 || p.combo->count() != 2) {
                    p.raised.append(QStringLiteral("wrong state"));
                }
            },
            {}},
        Row{"SelectRaisesWhenTheTextChanges",
            [](Panel& p) {
                p.comboChange->ReplaceItems({QStringLiteral("100"), QStringLiteral("1000")});
                p.comboChange->Select(1);  // "1000", as the box already reads
                p.comboChange->Select(0);
            },
            {QStringLiteral("100")}},
        Row{"EnterKeepsTheListAsItIs",
            [](Panel& p) {
                Enter(p.combo, QStringLiteral("1500"));
                if (p.combo->count() != 3) {
                    p.raised.append(QStringLiteral("item inserted"));
                }
            },
            {QStringLiteral("1500")}}),
    pile::test::RowName{});

INSTANTIATE_TEST_SUITE_P(
    PlainList, ChangeRules,
    ::testing::Values(
        Row{"PickRaises", [](Panel& p) { PickFromList(p.list, 0); }, {QStringLiteral("0")}},
        Row{"RepickRaisesNothing", [](Panel& p) { PickFromList(p.list, 1); }, {}},
        Row{"ReplaceAndSelectRaisesForTheEmptyingThenTheSelection",
            [](Panel& p) {
                p.listChange->ReplaceItems({QStringLiteral("a"), QStringLiteral("b")});
                p.listChange->Select(0);
            },
            {QStringLiteral("-1"), QStringLiteral("0")}},
        Row{"ReplaceLeavesNothingSelected",
            [](Panel& p) {
                p.listChange->ReplaceItems({QStringLiteral("a")});
                p.raised.append(QString::number(p.list->currentIndex()));
            },
            {QStringLiteral("-1"), QStringLiteral("-1")}},
        Row{"ReplacingAnUnselectedListRaisesNothing",
            [](Panel& p) {
                p.listChange->ReplaceItems({QStringLiteral("a")});
                p.listChange->ReplaceItems({QStringLiteral("b")});
            },
            {QStringLiteral("-1")}}),
    pile::test::RowName{});

// Leaving the box commits what was typed; needs a window that can hold the keyboard focus.
TEST(FocusOut, LeavingTheBoxCommitsTheTypedText) {
    Panel panel;
    if (!QTest::qWaitForWindowActive(&panel.window, 1000)) {
        GTEST_SKIP() << "this platform gives the test window no keyboard focus";
    }
    Type(panel.edit, QStringLiteral("31"));
    EXPECT_TRUE(panel.raised.isEmpty());
    panel.other->setFocus();
    EXPECT_EQ(panel.raised.join(u'|').toStdString(), "31");
    panel.edit->setFocus();
    panel.other->setFocus();  // left again without a change
    EXPECT_EQ(panel.raised.join(u'|').toStdString(), "31");
}

// The handler of the button that lost the selection runs first, and both see the final state.
TEST(RadioOrder, TheButtonThatLostRunsFirstAndBothSeeTheFinalState) {
    QtApplication();
    QWidget window;
    auto* frk = new QRadioButton(QStringLiteral("frk"), &window);
    auto* fuk = new QRadioButton(QStringLiteral("fuk"), &window);
    frk->setChecked(true);
    QStringList log;
    auto record = [&](const char* name) {
        log.append(QString::fromLatin1(name) +
                   QString::fromLatin1(frk->isChecked() ? ":frk" : ":fuk"));
    };
    QObject::connect(new RadioChange(frk), &RadioChange::changed, &window, [&] { record("frk"); });
    QObject::connect(new RadioChange(fuk), &RadioChange::changed, &window, [&] { record("fuk"); });
    window.show();

    QTest::mouseClick(fuk, Qt::LeftButton);
    EXPECT_EQ(log.join(u' ').toStdString(), "frk:fuk fuk:fuk");
    log.clear();
    QTest::mouseClick(fuk, Qt::LeftButton);  // already selected
    EXPECT_TRUE(log.isEmpty());
    QTest::mouseClick(frk, Qt::LeftButton);
    EXPECT_EQ(log.join(u' ').toStdString(), "fuk:frk frk:frk");
}

}  // namespace
