// "保存" and "©" on the real window, with the platform services lent by the test: the book on
// show reaches its file, the flags and "保存" follow, a refusal writes nothing, and the about
// dialog is one window that opens its links through the window's shell.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <QMenu>
#include <QRegularExpression>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "testing/qt/file_dialogs_double.h"
#include "testing/qt/test_doubles.h"
#include "testing/qt/ui_test_support.h"
#include "ui/about/BXV_CZL_PAS_CopyRight.h"
#include "ui/platform/permission_service.h"

namespace {

using namespace pile::platform;
using pile::ui::testing::AppFirst;

const QString kTextFile = QStringLiteral(u"嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt");
const QString kTableFile = QStringLiteral(u"嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt");

// What a Simplified-Chinese desktop writes for a book: GBK, CR LF between lines, none after.
QByteArray GbkBytes(const std::vector<std::u16string>& lines) {
    QStringList joined;
    for (const auto& line : lines) {
        joined.append(QString::fromStdU16String(line));
    }
    QStringEncoder gbk("GBK");
    return gbk.encode(joined.join(QStringLiteral("\r\n")));
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WindowSaving : public ::testing::Test {
  protected:
    explicit WindowSaving(PermissionService& permissions) : permissions_(permissions) {
        // Documents go to a folder of the test's own.
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
        window = std::make_unique<TBXV_FRM_VORN1>(
            WindowPlatform{&permissions_, &messages, &shell, &fileDialogs});
        window->show();
    }
    QPushButton* Button(const char* name) {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QString Saved(const QString& name) const {
        return QDir(home.path() + QStringLiteral("/Documents")).filePath(name);
    }

    AppFirst app;
    QTemporaryDir home;
    PermissionService& permissions_;
    RecordingMessagePresenter messages;
    RecordingShell shell;
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<TBXV_FRM_VORN1> window;
};

class GrantedSaving : public WindowSaving {
  protected:
    GrantedSaving() : WindowSaving(desktop_) {}
    DesktopPermissionService desktop_;
};

class RefusedSaving : public WindowSaving {
  protected:
    RefusedSaving() : WindowSaving(refusing_) {}
    RefusingPermissionService refusing_;
};

TEST_F(GrantedSaving, EachBookReachesItsFileAndTheFlagsFollow) {
    Click("cbt_compute");
    Click("cbt_View");
    Click("cbt_Save");  // the text book is on show
    EXPECT_EQ(FileBytes(Saved(kTextFile)), GbkBytes(window->Books().TextLines()));
    EXPECT_FALSE(QFile::exists(Saved(kTableFile)));
    EXPECT_EQ(window->Books().UnsavedBookFlags(), 2);
    EXPECT_FALSE(Button("cbt_Save")->isEnabled());
    EXPECT_TRUE(messages.boxes.empty());

    Click("cbt_PageBook");  // the table book is unsaved: "保存" comes back
    EXPECT_TRUE(Button("cbt_Save")->isEnabled());
    Click("cbt_Save");
    EXPECT_EQ(FileBytes(Saved(kTableFile)), GbkBytes(window->Books().TableLines()));
    EXPECT_EQ(window->Books().UnsavedBookFlags(), 0);
    Click("cbt_PageBook");
    EXPECT_FALSE(Button("cbt_Save")->isEnabled());

    // A second calculation: the next save replaces the file with the whole book.
    Click("cbt_Exit");
    Click("cbt_View");  // "结果" is still shown: nothing changed on the input screen
    Click("cbt_Exit");
    window->findChild<QComboBox*>(QStringLiteral("cbb_hnt"))->setCurrentIndex(3);
    Click("cbt_compute");
    Click("cbt_View");
    Click("cbt_Save");
    EXPECT_EQ(window->Books().PileCounter(), 2);
    EXPECT_EQ(FileBytes(Saved(kTextFile)), GbkBytes(window->Books().TextLines()));
}

TEST_F(RefusedSaving, NoPermissionWritesNothingAndChangesNothing) {
    Click("cbt_compute");
    Click("cbt_View");
    Click("cbt_Save");
    ASSERT_EQ(refusing_.requested.size(), 1u);
    EXPECT_EQ(refusing_.requested[0], QStringList{QString()});  // the one, empty, name
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, QStringLiteral(u"无权存盘"));
    EXPECT_FALSE(QFile::exists(Saved(kTextFile)));
    EXPECT_EQ(window->Books().UnsavedBookFlags(), 3);
    EXPECT_TRUE(Button("cbt_Save")->isEnabled());
}

TEST_F(GrantedSaving, AboutDialogIsOneWindowThatOpensLinksThroughTheShell) {
    Click("cbt_CopyRight");
    Click("cbt_CopyRight");
    int dialogs = 0;
    TBXV_CZL_FRM_CopyRight* dialog = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<TBXV_CZL_FRM_CopyRight*>(top)) {
            ++dialogs;
            dialog = found;
        }
    }
    ASSERT_EQ(dialogs, 1);
    EXPECT_FALSE(dialog->isVisible()) << "a second © hides the dialog";
    Click("cbt_CopyRight");
    EXPECT_TRUE(dialog->isVisible()) << "and a third shows the same one again";
    EXPECT_FALSE(dialog->isModal());
    auto* mail = dialog->findChild<QLabel*>(QStringLiteral("lb_lianxiUr"));
    ASSERT_NE(mail, nullptr);
    QTest::mouseClick(mail, Qt::LeftButton);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].scheme(), QStringLiteral("mailto"));
}

// The report of a problem goes to no one (the user sends it to whoever supports them) and
// carries the version and the last calculation's inputs, as a schedule.
TEST_F(GrantedSaving, TheAboutDialogsReportCarriesTheLastInputs) {
    Click("cbt_compute");
    window->findChild<QComboBox*>(QStringLiteral("cbb_hnt"))->setCurrentIndex(3);
    Click("cbt_compute");
    Click("cbt_CopyRight");
    TBXV_CZL_FRM_CopyRight* dialog = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        dialog = dialog ? dialog : qobject_cast<TBXV_CZL_FRM_CopyRight*>(top);
    }
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QLabel*>(QStringLiteral("lb_lianxiUr")), Qt::LeftButton);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(shell.opened[0].path().isEmpty()) << "no recipient";
    const QString body =
        QUrlQuery(shell.opened[0]).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    EXPECT_TRUE(body.contains(TBXV_CZL_FRM_CopyRight::VersionText())) << body.toStdString();
    EXPECT_TRUE(body.contains(QStringLiteral(",C40,"))) << body.toStdString();
    EXPECT_FALSE(body.contains(QStringLiteral(",C30,"))) << "the last calculation only";
}

// "导入桩表…" in a book's menu: the rows that pass are computed into the books as if typed, the
// refused ones are listed in one box, and the book screen shows the result.
class ScheduleImport : public GrantedSaving {
  protected:
    void Import(const QByteArray& schedule) {
        QFile file(home.filePath(QStringLiteral("桩表.csv")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(schedule);
        file.close();
        fileDialogs.openPath = file.fileName();
        ChooseInMenu(QStringLiteral("导入桩表…"));
    }
    // Right click on the text book's view, then the menu item. The book screen is built right
    // after the window's first paint.
    void ChooseInMenu(const QString& item) {
        pile::ui::BookView* view = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            view = window->findChild<pile::ui::BookView*>(QStringLiteral("meo_jisuanjieguo_Doc"));
            return view != nullptr;
        })) << "no book screen after the first paint";
        Q_EMIT view->customContextMenuRequested(QPoint(10, 10));
        QMenu* menu = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QMenu*>(top); found && found->isVisible()) {
                menu = found;
            }
        }
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == item) {
                menu->close();
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << item.toStdString();
    }
    static constexpr char kHeader[] = "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk\r\n";
};

// The export offers CSV first (a workbook second, written as one) and writes a schedule.
TEST_F(ScheduleImport, ExportOffersCsvAndWritesASchedule) {
    Import(QByteArray(kHeader) + "A1,圆桩,frk,1000,,1.0d,C30,泥浆护壁成桩,25,\r\n");
    fileDialogs.savePath = home.filePath(QStringLiteral("导出.csv"));
    ChooseInMenu(QStringLiteral("导出桩表…"));
    ASSERT_EQ(fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(fileDialogs.saveRequests[0].filters.value(0), QStringLiteral("桩表 (*.csv)"));
    EXPECT_TRUE(fileDialogs.saveRequests[0].startPath.endsWith(QStringLiteral(".csv")));
    QFile exported(fileDialogs.savePath);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().startsWith("\xEF\xBB\xBF桩号,截面,参数,"));
}

TEST_F(ScheduleImport, ComputesTheRowsThatPassAndListsTheRefusedOnes) {
    Import(QByteArray(kHeader) + "A1,圆桩,frk,1000,,1.0d,C30,泥浆护壁成桩,25,\r\n" +
           "A2,圆桩,frk,0,,1.0d,C30,泥浆护壁成桩,25,\r\n" +
           "A3,矩形桩,fuk,800,1000,1.0b,C35,干作业成孔且清底干净,,24\r\n");
    ASSERT_EQ(fileDialogs.openRequests.size(), 1u);
    EXPECT_EQ(fileDialogs.openRequests[0].filters.value(0), QStringLiteral("桩表 (*.xlsx *.csv)"));
    EXPECT_EQ(window->Books().PileCounter(), 2);
    EXPECT_EQ(window->Books().UnsavedBookFlags(), 3);
    EXPECT_TRUE(window->findChild<QWidget*>(QStringLiteral("JieGuo_DocLayer"))->isVisible());
    EXPECT_TRUE(Button("cbt_Save")->isEnabled());
    EXPECT_TRUE(Button("cbt_sanchu")->isEnabled());
    ASSERT_EQ(messages.boxes.size(), 1u) << "one box for the refused rows";
    EXPECT_FALSE(messages.boxes[0].error);
    EXPECT_TRUE(messages.boxes[0].text.contains(QStringLiteral("第 3 行")))
        << "the line in the file";
    EXPECT_TRUE(messages.boxes[0].text.contains(QStringLiteral("桩身直径数据有错")));
    const QString text =
        window->findChild<pile::ui::BookView*>(QStringLiteral("meo_jisuanjieguo_Doc"))
            ->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("1.基桩编号: A3"))) << "the refused A2 named no pile";
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("矩形长边尺寸a: +1000 mm"))))
        << "the sides exchanged as the window exchanges them";
}

TEST_F(ScheduleImport, AFileThatIsNoScheduleChangesNothing) {
    Import(QByteArray("\x89PNG\r\n\x1a\n binary"));
    EXPECT_EQ(window->Books().PileCounter(), 0);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].error);
}

TEST_F(ScheduleImport, ACancelledDialogChangesNothing) {
    fileDialogs.openPath.clear();
    ChooseInMenu(QStringLiteral("导入桩表…"));
    EXPECT_EQ(window->Books().PileCounter(), 0);
    EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace
