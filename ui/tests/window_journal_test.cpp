// The session journal under the real window: a session that ended with records unsaved comes
// back whole on the next start when the user answers 恢复, and not at all with 不恢复; a
// journal that cannot be written says so once and stops nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "BXV_PAS_VORN1.h"
#include "testing/qt/file_dialogs_double.h"
#include "testing/qt/platform_test_support.h"
#include "testing/qt/test_doubles.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace {

using namespace pile::platform;
using pile::test::PrintTo;
using pile::ui::testing::AppFirst;
using pile::ui::testing::Control;
using pile::ui::testing::Enter;
using pile::ui::testing::PickFromList;

class WindowJournal : public ::testing::Test {
  protected:
    WindowJournal() {
        qputenv("HOME", QFile::encodeName(home_.path()));
        minute_ = 0;
    }
    std::unique_ptr<TBXV_FRM_VORN1> Start() {
        auto window = std::make_unique<TBXV_FRM_VORN1>(
            WindowPlatform{&permissions_, &messages, &shell_, &dialogs_, Journals()});
        window->SetClock([this] { return QDateTime(QDate(2026, 12, 10), QTime(9, minute_++, 7)); });
        window->show();
        return window;
    }
    static void Click(const TBXV_FRM_VORN1& window, const char* name) {
        QTest::mouseClick(Control<QPushButton>(window, name), Qt::LeftButton);
    }
    // A session of the three sections and two precisions, a delete-last in the middle.
    static void Work(TBXV_FRM_VORN1& window) {
        Click(window, "cbt_compute");
        Enter(Control<QComboBox>(window, "cbe_dd"), QStringLiteral("1200"));
        Click(window, "cbt_compute");
        Click(window, "cbt_View");
        Click(window, "cbt_sanchu");
        Click(window, "cbt_Exit");
        Control<QRadioButton>(window, "rdb_fuk")->click();
        PickFromList(Control<QComboBox>(window, "cbb_jmlx"), 2);
        Enter(Control<QComboBox>(window, "cbe_tyzd"), QStringLiteral("1500"));
        Click(window, "cbt_compute");
        Click(window, "cbt_JingDu");
        PickFromList(Control<QComboBox>(window, "popbox_jingdu"), 0);
    }
    static QStringList Panel(const TBXV_FRM_VORN1& window) {
        QStringList texts;
        for (const char* box : {"edt_kesair", "edt_ra", "edt_rc", "edt_frk", "edt_fuk"}) {
            texts << Control<QLineEdit>(window, box)->text();
        }
        for (const char* list :
             {"cbb_jmlx", "cbe_dd", "cbe_tyzd", "cbe_hr", "cbb_hnt", "cbb_czgy"}) {
            texts << Control<QComboBox>(window, list)->currentText();
        }
        texts << QString::number(Control<QPushButton>(window, "cbt_View")->isVisible());
        const auto* save = window.findChild<QPushButton*>(QStringLiteral("cbt_Save"));
        texts << QString::number(save != nullptr && save->isEnabled());
        return texts;
    }

    QString Journals() const { return data_.path() + QStringLiteral("/会话记录"); }
    QString Documents() const { return home_.path() + QStringLiteral("/Documents"); }

    AppFirst app;
    QTemporaryDir data_;
    QTemporaryDir home_;
    int minute_ = 0;
    DesktopPermissionService permissions_;
    RecordingMessagePresenter messages;
    RecordingShell shell_;
    ScriptedFileDialogs dialogs_;
};

struct AnswerRow {
    const char* name;
    bool restore;
};
const AnswerRow kAnswers[] = {{"Restore", true}, {"StartAfresh", false}};

class RecoveryAnswer : public WindowJournal, public ::testing::WithParamInterface<AnswerRow> {};

TEST_P(RecoveryAnswer, RebuildsTheSessionOrStartsAsAlways) {
    auto before = Start();
    Work(*before);
    const pile::CalculationBooks books = before->Books();
    const QStringList panel = Panel(*before);
    before.reset();  // ended without a save: by 退出, a crash or a kill alike

    const auto fresh = Start();
    const QStringList startPanel = Panel(*fresh);
    QStringList questions;
    auto again = Start();
    again->OfferRecovery([&](const QString& question) {
        questions << question;
        return GetParam().restore;
    });
    ASSERT_EQ(questions, QStringList{QStringLiteral("上次有 3 根桩未保存（共 3 根），是否恢复？")});
    if (GetParam().restore) {
        EXPECT_EQ(again->Books().TextLines(), books.TextLines());
        EXPECT_EQ(again->Books().TableLines(), books.TableLines());
        EXPECT_EQ(again->Books().UnsavedBookFlags(), books.UnsavedBookFlags());
        EXPECT_EQ(Panel(*again), panel);
    } else {
        EXPECT_EQ(again->Books().PileCounter(), 0);
        EXPECT_EQ(Panel(*again), startPanel);
    }
    // The session restored is journalled in turn, whole; the journal answered is not asked
    // about again.
    again.reset();
    QStringList laterQuestions;
    const auto later = Start();
    later->OfferRecovery([&](const QString& question) {
        laterQuestions << question;
        return true;
    });
    if (GetParam().restore) {
        EXPECT_EQ(laterQuestions, questions);
        EXPECT_EQ(later->Books().TextLines(), books.TextLines());
        EXPECT_EQ(later->Books().TableLines(), books.TableLines());
    } else {
        EXPECT_TRUE(laterQuestions.empty());
    }
    EXPECT_TRUE(messages.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, RecoveryAnswer, ::testing::ValuesIn(kAnswers),
                         pile::test::RowName{});

// The project a schedule gave comes back with the records it went with.
TEST_F(WindowJournal, RecoveryRestoresTheProject) {
    QFile schedule(home_.filePath(QStringLiteral("项目.csv")));
    ASSERT_TRUE(schedule.open(QIODevice::WriteOnly));
    schedule.write("设计单位,重庆院\r\nd,hr,混凝土,工艺,frk\r\n1000,1.0d,C30,泥浆护壁成桩,25\r\n");
    schedule.close();
    Start()->OpenSchedule(schedule.fileName());

    auto again = Start();
    again->OfferRecovery([](const QString&) { return true; });
    ASSERT_EQ(again->Books().PileCounter(), 1);
    // The recovered session's journal, the one not answered, keeps the project in its state.
    QStringList kept;
    for (const QFileInfo& file : QDir(Journals()).entryInfoList(QDir::Files)) {
        QFile state(file.filePath());
        ASSERT_TRUE(state.open(QIODevice::ReadOnly));
        const QByteArray text = state.readAll();
        if (text.startsWith("pile-journal-state") && text.contains("answered 0")) {
            kept << QString::fromUtf8(text.mid(text.indexOf("project ")).split('\n').front());
        }
    }
    EXPECT_EQ(kept, QStringList{QStringLiteral("project 设计单位=重庆院")});
}

TEST_F(WindowJournal, SavedBooksAskNothing) {
    auto before = Start();
    Click(*before, "cbt_compute");
    Click(*before, "cbt_View");
    Click(*before, "cbt_Save");
    Click(*before, "cbt_PageBook");
    Click(*before, "cbt_Save");
    before.reset();
    bool asked = false;
    Start()->OfferRecovery([&](const QString&) { return asked = true; });
    EXPECT_FALSE(asked);
}

// A data folder that takes no files: the calculations go on, one box says why, once.
TEST_F(WindowJournal, UnwritableJournalWarnsOnceAndStopsNothing) {
    const pile::test::PermissionChecksApply asAnyUser;
    const QString folder = Journals();
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!pile::test::RefusesNewFiles(folder)) {
        GTEST_SKIP() << "this test process can write into a read-only folder";
    }
    auto window = Start();
    Click(*window, "cbt_compute");
    Enter(Control<QComboBox>(*window, "cbe_dd"), QStringLiteral("1200"));
    Click(*window, "cbt_compute");
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(window->Books().PileCounter(), 2);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.startsWith(QStringLiteral("本次会话未能记录（没有写入权限")))
        << messages.boxes[0].text.toStdString();
}

const QString kTextFile = QStringLiteral(u"嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt");
const QString kKept =
    QStringLiteral(u"嵌岩桩计算书(旧)/嵌岩桩计算书(依据DBJ50-047-2016)_文本_20261209-173000.txt");

// Another session's book at the fixed name survives, byte for byte, before "保存" replaces it;
// this session's own is replaced without a copy. When it cannot be kept, nothing is replaced.
TEST_F(WindowJournal, SaveKeepsAnotherSessionsBookFirst) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "HOME does not move the documents folder of Windows";
#endif
    ASSERT_TRUE(QDir().mkpath(Documents()));
    const QString fixed = Documents() + u'/' + kTextFile;
    pile::test::WriteAll(fixed, QByteArray("yesterday's 19 records\r\n"));
    {
        QFile file(fixed);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(17, 30)),
                         QFileDevice::FileModificationTime);
    }
    auto window = Start();
    Click(*window, "cbt_compute");
    Click(*window, "cbt_View");
    Click(*window, "cbt_Save");
    EXPECT_EQ(pile::test::ReadAll(Documents() + u'/' + kKept), "yesterday's 19 records\r\n");
    EXPECT_NE(pile::test::ReadAll(fixed), "yesterday's 19 records\r\n");
    const auto* notice = window->findChild<QLabel*>(QStringLiteral("lb_savedNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->text().contains(QDir::toNativeSeparators(fixed)));

    Click(*window, "cbt_Exit");
    Enter(Control<QComboBox>(*window, "cbe_dd"), QStringLiteral("1200"));
    Click(*window, "cbt_compute");
    Click(*window, "cbt_View");
    Click(*window, "cbt_Save");
    EXPECT_EQ(QDir(Documents() + QStringLiteral("/嵌岩桩计算书(旧)")).entryList(QDir::Files).size(),
              1);
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WindowJournal, SaveReplacesNothingWhenTheEarlierBookCannotBeKept) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "HOME does not move the documents folder of Windows";
#endif
    ASSERT_TRUE(QDir().mkpath(Documents()));
    const QString fixed = Documents() + u'/' + kTextFile;
    pile::test::WriteAll(fixed, QByteArray("yesterday"));
    pile::test::WriteAll(Documents() + QStringLiteral("/嵌岩桩计算书(旧)"),
                         QByteArray("in the way"));
    auto window = Start();
    Click(*window, "cbt_compute");
    Click(*window, "cbt_View");
    Click(*window, "cbt_Save");
    EXPECT_EQ(pile::test::ReadAll(fixed), "yesterday");
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].error);
    EXPECT_TRUE(messages.boxes[0].text.contains(QStringLiteral("原有文件未能留存到")))
        << messages.boxes[0].text.toStdString();
    EXPECT_EQ(window->Books().UnsavedBookFlags(), 3);
}

}  // namespace
