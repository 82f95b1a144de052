// Schedules from anywhere on the real window: the question before an import adds to or
// replaces books that hold records, "新建计算书", the last imported pile in the panel, and the
// template and the PDF that say where they went.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include <unzip.h>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "project_info_dialog.h"
#include "schedule/schedule.h"
#include "testing/qt/file_dialogs_double.h"
#include "testing/qt/test_doubles.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace {

using namespace pile::platform;
using pile::test::PrintTo;
using pile::ui::testing::AppFirst;
using pile::ui::testing::Control;

constexpr char kSchedule[] =
    "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk\r\n"
    "A1,圆桩,frk,1000,,1.0d,C30,泥浆护壁成桩,25,\r\n"
    "A2,矩形桩,fuk,800,1000,1.0b,C35,干作业成孔且清底干净,,24\r\n";

class WindowSchedule : public ::testing::Test {
  protected:
    WindowSchedule() { qputenv("HOME", QFile::encodeName(home_.path())); }
    std::unique_ptr<TBXV_FRM_VORN1> Start() {
        auto window = std::make_unique<TBXV_FRM_VORN1>(
            WindowPlatform{&permissions_, &messages, &shell_, &dialogs, data_.path()});
        window->SetClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 30, 7)); });
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        return window;
    }
    QString Write(const QString& name, const QByteArray& bytes) const {
        QFile file(home_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString Home(const QString& name) const { return home_.filePath(name); }

    // An item of the input screen's right-click menu.
    static void ChooseInInputMenu(TBXV_FRM_VORN1& window, const QString& item) {
        auto* screen = Control<QWidget>(window, "MainFormLayer");
        QTimer::singleShot(0, [item] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text() == item && action->isEnabled()) {
                    action->trigger();
                }
            }
            menu->close();
        });
        Q_EMIT screen->customContextMenuRequested(QPoint(5, 5));
    }

    AppFirst app;
    QTemporaryDir data_;
    QTemporaryDir home_;
    DesktopPermissionService permissions_;
    RecordingMessagePresenter messages;
    RecordingShell shell_;
    ScriptedFileDialogs dialogs;
};

struct AnswerRow {
    const char* name;
    std::size_t answer;  // the button pressed
    int piles;           // in the books after the second import
};
const AnswerRow kAnswers[] = {{"Append", 0, 4}, {"Replace", 1, 2}, {"Cancel", 2, 2}};

class SecondImport : public WindowSchedule, public ::testing::WithParamInterface<AnswerRow> {};

TEST_P(SecondImport, AsksAndAppendsReplacesOrLeavesTheBooks) {
    const QString schedule = Write(QStringLiteral("桩表.csv"), kSchedule);
    auto window = Start();
    window->OpenSchedule(schedule);
    ASSERT_TRUE(messages.questions.empty()) << "empty books take a schedule without a question";
    const pile::CalculationBooks once = window->Books();
    messages.answers = {GetParam().answer};
    window->OpenSchedule(schedule);
    ASSERT_EQ(messages.questions, std::vector<QString>{QStringLiteral(
                                      "计算书中已有 2 根桩：追加到其后 / 替换（先清空计算书） / "
                                      "取消\n追加到其后|替换（先清空计算书）|取消")});
    EXPECT_EQ(window->Books().PileCounter(), GetParam().piles);
    if (GetParam().piles == 2) {
        EXPECT_EQ(window->Books().TextLines(), once.TextLines());
        EXPECT_EQ(window->Books().TableLines(), once.TableLines());
    }
    // The last pile stands in the panel as after its 计算: the rectangle's sides exchanged.
    EXPECT_EQ(Control<QComboBox>(*window, "cbe_dd")->currentText(), QStringLiteral("1000"));
    EXPECT_FALSE(Control<QLineEdit>(*window, "edt_ra")->text().isEmpty());
    EXPECT_FALSE(Control<QPushButton>(*window, "cbt_View")->isHidden());
    EXPECT_TRUE(Control<QWidget>(*window, "JieGuo_DocLayer")->isVisible());
    // A later start offers the journal of the books as they stood, not the one replaced.
    window.reset();
    QStringList asked;
    Start()->OfferRecovery([&](const QString& question) {
        asked << question;
        return false;
    });
    EXPECT_EQ(
        asked,
        QStringList{
            QStringLiteral("上次有 %1 根桩未保存（共 %1 根），是否恢复？").arg(GetParam().piles)});
}

INSTANTIATE_TEST_SUITE_P(Answers, SecondImport, ::testing::ValuesIn(kAnswers),
                         pile::test::RowName{});

// A schedule dropped on the window or on a box is imported, not typed into the box as a path;
// another file is refused.
TEST_F(WindowSchedule, ADroppedScheduleIsImported) {
    auto window = Start();
    QLineEdit* box = Control<QComboBox>(*window, "cbe_dd")->lineEdit();
    const auto drop = [&](QWidget* target, const QString& name) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Write(name, kSchedule))});
        data.setText(data.urls().front().toString());
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        return enter.isAccepted();
    };
    EXPECT_FALSE(drop(window.get(), QStringLiteral("说明.txt")));
    EXPECT_EQ(window->Books().PileCounter(), 0);
    EXPECT_TRUE(drop(box, QStringLiteral("桩表.csv")));
    EXPECT_EQ(window->Books().PileCounter(), 2);
    messages.answers = {0};
    EXPECT_TRUE(drop(window.get(), QStringLiteral("桩表.csv")));
    EXPECT_EQ(window->Books().PileCounter(), 4);
}

// Ctrl+N asks while a pile is unsaved; emptied, the books and the results go, and the journal
// of what was there is not offered again.
TEST_F(WindowSchedule, NewBooksEmptiesAfterTheQuestion) {
    auto window = Start();
    QTest::mouseClick(Control<QPushButton>(*window, "cbt_compute"), Qt::LeftButton);
    messages.answers = {1, 0};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(window->Books().PileCounter(), 1) << "取消";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(messages.questions.size(), 2u);
    EXPECT_EQ(window->Books().PileCounter(), 0);
    EXPECT_TRUE(window->Books().TextLines().empty());
    EXPECT_TRUE(Control<QLineEdit>(*window, "edt_ra")->text().isEmpty());
    EXPECT_TRUE(Control<QPushButton>(*window, "cbt_compute")->isVisible());
    window.reset();
    bool asked = false;
    Start()->OfferRecovery([&](const QString&) { return asked = true; });
    EXPECT_FALSE(asked);
}

// From the input screen's menu: the template where the user chose (a workbook unless the CSV
// type is picked), which imports as its example piles, and a notice of where it went.
TEST_F(WindowSchedule, TemplateGoesWhereChosenAndImportsAsItsExamplePiles) {
    auto window = Start();
    const auto choose = [&](const QString& item) { ChooseInInputMenu(*window, item); };
    dialogs.savePath = Home(QStringLiteral("样例"));
    choose(QStringLiteral("生成桩表模板…"));
    const QString workbook = Home(QStringLiteral("样例.xlsx"));
    const auto* notice = window->findChild<QLabel*>(QStringLiteral("lb_savedNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(),
              QStringLiteral("已保存到 %1").arg(QDir::toNativeSeparators(workbook)));
    window->OpenSchedule(workbook);
    EXPECT_EQ(window->Books().PileCounter(), 4) << "a circle in each mode, an ellipse, a rectangle";

    dialogs.savePath = Home(QStringLiteral("样例.csv"));
    choose(QStringLiteral("生成桩表模板…"));
    QFile csv(dialogs.savePath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().toStdString(), pile::schedule::ScheduleTemplate());
    EXPECT_TRUE(messages.boxes.empty());
}

// The books' records as a Word report where the user chose, with the checks of the loads an
// imported schedule gave, and a notice of where it went; nothing to export before a pile.
TEST_F(WindowSchedule, ReportGoesWhereChosen) {
    auto window = Start();
    dialogs.savePath = Home(QStringLiteral("报告"));
    ChooseInInputMenu(*window, QStringLiteral("导出计算书…"));
    EXPECT_FALSE(QFileInfo::exists(Home(QStringLiteral("报告.docx")))) << "no pile yet";

    window->OpenSchedule(
        Write(QStringLiteral("荷载.csv"),
              "桩号,d,hr,混凝土,工艺,frk,Nk\r\nZJ1,1000,1.0d,C30,泥浆护壁成桩,25,5000\r\n"));
    ChooseInInputMenu(*window, QStringLiteral("导出计算书…"));
    QFile report(Home(QStringLiteral("报告.docx")));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_TRUE(report.read(2) == "PK");
    const auto* notice = window->findChild<QLabel*>(QStringLiteral("lb_savedNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(),
              QStringLiteral("已保存到 %1")
                  .arg(QDir::toNativeSeparators(Home(QStringLiteral("报告.docx")))));
    ASSERT_EQ(messages.boxes.size(), 1u) << "the import's, which tells the check";
    EXPECT_TRUE(messages.boxes[0].text.contains(QStringLiteral("荷载验算：1 根满足")));
}

// A part of a .docx, read with minizip.
std::string DocxPart(const QString& docx, const char* part) {
    std::string xml;
    if (unzFile zip = unzOpen64(QFile::encodeName(docx).constData())) {
        if (unzLocateFile(zip, part, 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
            char buffer[4096];
            for (int got; (got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0;) {
                xml.append(buffer, static_cast<std::size_t>(got));
            }
            unzCloseCurrentFile(zip);
        }
        unzClose(zip);
    }
    return xml;
}

// The schedule's project line and the dialog's edit reach the report's cover and its name.
TEST_F(WindowSchedule, ProjectInfoFromTheScheduleAndTheDialogReachesTheReport) {
    auto window = Start();
    window->OpenSchedule(
        Write(QStringLiteral("项目.csv"),
              "工程名称：江北嘴大厦\r\n"
              "桩号,d,hr,混凝土,工艺,frk\r\nZJ1,1000,1.0d,C30,泥浆护壁成桩,25\r\n"));
    QStringList shown;
    // The dialog opens inside the menu's handler: looked for until it is there.
    std::function<void()> edit = [&] {
        auto* dialog =
            qobject_cast<pile::ui::ProjectInfoDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(10, edit);
            return;
        }
        for (QLineEdit* box : dialog->findChildren<QLineEdit*>()) {
            shown << box->accessibleName() + u'=' + box->text();
            if (box->accessibleName() == u"校对") {
                box->setText(QStringLiteral("  李四 "));
            }
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == u"确定") {
                button->click();
            }
        }
    };
    QTimer::singleShot(10, edit);
    ChooseInInputMenu(*window, QStringLiteral("项目信息…"));
    EXPECT_EQ(shown, QStringList({"工程名称=江北嘴大厦", "工程编号=", "设计阶段=", "子项=",
                                  "设计单位=", "计算=", "校对=", "审核=", "日期=2026年12月10日"}));

    dialogs.savePath = Home(QStringLiteral("报告.docx"));
    ChooseInInputMenu(*window, QStringLiteral("导出计算书…"));
    ASSERT_FALSE(dialogs.saveRequests.empty());
    EXPECT_TRUE(QFileInfo(dialogs.saveRequests.back().startPath)
                    .fileName()
                    .startsWith(QStringLiteral("江北嘴大厦_")));
    const std::string document = DocxPart(Home(QStringLiteral("报告.docx")), "word/document.xml");
    for (const char* text : {"江北嘴大厦", ">李四<", "2026年12月10日"}) {
        EXPECT_NE(document.find(text), std::string::npos) << text;
    }
}

// The same report as a PDF: by the suffix typed, or by the type picked for a bare name.
TEST_F(WindowSchedule, ReportAsPdfByItsSuffixOrTheTypePicked) {
    auto window = Start();
    window->OpenSchedule(Write(QStringLiteral("桩.csv"),
                               "d,hr,混凝土,工艺,frk\r\n1000,1.0d,C30,泥浆护壁成桩,25\r\n"));
    const struct {
        const char16_t* typed;
        const char16_t* filter;
        const char16_t* written;
        QByteArray magic;
    } rows[] = {
        {u"甲.pdf", u"", u"甲.pdf", "%PDF"},
        {u"乙", u"PDF 文档 (*.pdf)", u"乙.pdf", "%PDF"},
        {u"丙", u"", u"丙.docx", "PK"},
    };
    for (const auto& row : rows) {
        dialogs.savePath = Home(QString::fromUtf16(row.typed));
        dialogs.selectedFilter = QString::fromUtf16(row.filter);
        ChooseInInputMenu(*window, QStringLiteral("导出计算书…"));
        QFile report(Home(QString::fromUtf16(row.written)));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly)) << report.fileName().toStdString();
        EXPECT_EQ(report.read(row.magic.size()), row.magic) << report.fileName().toStdString();
    }
    EXPECT_TRUE(dialogs.saveRequests.back().filters.contains(QStringLiteral("PDF 文档 (*.pdf)")));
}

}  // namespace
