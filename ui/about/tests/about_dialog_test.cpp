#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "testing/qt/qt_application.h"
#include "testing/qt/test_doubles.h"
#include "testing/row_name.h"
#include "ui/about/BXV_CZL_PAS_CopyRight.h"
#include "ui/platform/manual.h"

namespace pile::platform {
namespace {

using pile::test::PrintTo;

const QColor kBlack(0x00, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The installed manual (here the build's page) at `section`.
QString Manual(const char* section) {
    return ManualUrl(QCoreApplication::applicationDirPath(), QString::fromLatin1(section))
        .toString();
}

class AboutDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { pile::test::QtApplication(); }

    TBXV_CZL_FRM_CopyRight* Show() { return TBXV_CZL_FRM_CopyRight::ShowSingle(dialog_, shell_); }

    template <typename T>
    T* Child(const char* name) {
        T* child = dialog_ ? dialog_->findChild<T*>(QLatin1String(name)) : nullptr;
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    static QColor TextColour(const QLabel* label) {
        return label->palette().color(QPalette::WindowText);
    }

    static void MoveOver(QWidget* target, QPoint at) {
        QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    static void Leave(QWidget* target) {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(target, &event);
    }

    RecordingShell shell_;
    std::unique_ptr<TBXV_CZL_FRM_CopyRight> dialog_;
};

TEST_F(AboutDialogTest, TwoClicksGiveOneDialogThatIsNotModal) {
    TBXV_CZL_FRM_CopyRight* first = Show();
    TBXV_CZL_FRM_CopyRight* second = Show();
    EXPECT_EQ(first, second);
    int found = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        found += widget->objectName() == QLatin1String("BXV_CZL_FRM_CopyRight");
    }
    EXPECT_EQ(found, 1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr) << "the main window stays usable";
    EXPECT_EQ(first->parentWidget(), nullptr);
    // A pop-up in look (no title bar), but not Qt::Popup, which would grab mouse and keyboard.
    EXPECT_EQ(first->windowType(), Qt::Tool);
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("关于"));
}

TEST_F(AboutDialogTest, TheClientAreaIsTheDesignSizeCentredOnTheScreen) {
    TBXV_CZL_FRM_CopyRight* dialog = Show();
    const auto* layer = Child<QWidget>("CopyRightLayer");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->size(), QSize(260, 330));
    EXPECT_EQ(dialog->size(), QSize(262, 332)) << "a single one-pixel border around it";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // A few pixels of slack for the margins a window system may add.
    EXPECT_LE((dialog->frameGeometry().center() - screen.center()).manhattanLength(), 6)
        << dialog->frameGeometry().x() << "," << dialog->frameGeometry().y() << " in "
        << screen.width() << "x" << screen.height();
}

TEST_F(AboutDialogTest, TheBackgroundRunsFromSalmonToPinkAndStaysFlat) {
    Show();
    auto* layer = Child<QWidget>("CopyRightLayer");
    ASSERT_NE(layer, nullptr);
    const QImage image = layer->grab().toImage();
    const auto colourAt = [&](int y) { return image.pixelColor(2, y * image.height() / 330); };
    EXPECT_EQ(colourAt(0), QColor(0xF4, 0x8D, 0x72));
    EXPECT_EQ(colourAt(200), QColor(0xFE, 0xE9, 0xE9));
    EXPECT_EQ(colourAt(329), QColor(0xFE, 0xE9, 0xE9));
    const QColor middle = colourAt(86);  // about halfway to 0.52 of the height
    EXPECT_GT(middle.green(), 0x8D);
    EXPECT_LT(middle.green(), 0xE9);
}

struct ControlRow {
    const char* name;
    QRect geometry;
    QString text;   // null: not checked
    int pointSize;  // 0: not checked
    bool bold;
    QColor colour;  // invalid: not checked
};

class AboutDialogControls : public AboutDialogTest,
                            public ::testing::WithParamInterface<ControlRow> {};

TEST_P(AboutDialogControls, StandWhereTheDesignPutsThem) {
    const ControlRow& row = GetParam();
    Show();
    auto* control = Child<QWidget>(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QStringLiteral("CopyRightLayer"));
    EXPECT_EQ(control->geometry(), row.geometry);
    if (!row.text.isNull()) {
        const auto* label = qobject_cast<QLabel*>(control);
        const auto* button = qobject_cast<QPushButton*>(control);
        EXPECT_EQ(label ? label->text() : button->text(), row.text);
    }
    if (row.pointSize != 0) {
        EXPECT_EQ(control->font().pointSize(), row.pointSize);
    }
    EXPECT_EQ(control->font().bold(), row.bold);
    if (row.colour.isValid()) {
        EXPECT_EQ(control->palette().color(QPalette::WindowText), row.colour);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AboutDialogControls,
    ::testing::Values(
        ControlRow{"lb_mokuaiming", {0, 16, 265, 33}, Text(copyright::kTitle), 18, true, kBlue},
        ControlRow{"lb_fubiaoti", {0, 48, 265, 17}, Text(copyright::kSubtitle), 14, false, {}},
        ControlRow{"lb_xinxi1", {32, 72, 217, 25}, Text(copyright::kInformation1), 0, false, {}},
        ControlRow{"lb_xinxi2", {32, 104, 100, 25}, Text(copyright::kInformation2), 0, false, {}},
        ControlRow{"lb_xinxi3", {122, 96, 128, 25}, Text(copyright::kInformation3), 10, false, {}},
        ControlRow{"lb_xinxi4", {122, 112, 128, 25}, Text(copyright::kInformation4), 10, false, {}},
        ControlRow{
            "lb_danwei", {32, 128, 218, 25}, Text(copyright::kFontLicence), 10, false, kBlack},
        ControlRow{"lb_wangzhilb", {32, 152, 50, 25}, QStringLiteral("网址："), 0, false, {}},
        ControlRow{"lb_wangzhi", {70, 152, 146, 25}, Text(copyright::kManual), 0, false, kBlue},
        ControlRow{"cbt_update", {216, 154, 36, 21}, QStringLiteral("更新"), 10, false, {}},
        ControlRow{"lb_lianxi", {32, 176, 50, 25}, QStringLiteral("邮箱："), 0, false, {}},
        ControlRow{"lb_lianxiUr", {70, 176, 146, 25}, Text(copyright::kReport), 0, false, kBlue},
        ControlRow{"ImageQQ", {72, 212, 100, 100}, QString(), 0, false, {}},
        ControlRow{"lb_banben", {0, 312, 265, 17}, QString(), 8, false, {}}),
    pile::test::RowName{});

TEST_F(AboutDialogTest, NamesTheProjectAndTheQtVersion) {
    Show();
    const QString version = Child<QLabel>("lb_banben")->text();
    EXPECT_TRUE(version.contains(QString::fromLatin1(PILE_TEST_PROJECT_VERSION)))
        << version.toStdString();
    EXPECT_TRUE(version.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
}

struct LinkRow {
    const char* name;
    QString hoverText;
    QString normalText;
    QColor normalColour;
    QString target;
};

class AboutDialogLinks : public AboutDialogTest, public ::testing::WithParamInterface<LinkRow> {};

TEST_P(AboutDialogLinks, HoverAddsBoldUnderlineAndRedOnly) {
    const LinkRow& row = GetParam();
    Show();
    auto* link = Child<QLabel>(row.name);
    ASSERT_NE(link, nullptr);
    QFont italic = link->font();
    italic.setItalic(true);  // a style the hover must leave alone
    link->setFont(italic);
    const int pointSize = link->font().pointSize();

    MoveOver(link, {5, 5});
    MoveOver(link, {9, 6});  // again: nothing further changes
    EXPECT_EQ(link->text(), row.hoverText);
    EXPECT_TRUE(link->font().bold());
    EXPECT_TRUE(link->font().underline());
    EXPECT_TRUE(link->font().italic());
    EXPECT_EQ(link->font().pointSize(), pointSize);
    EXPECT_EQ(TextColour(link), kRed);

    Leave(link);
    EXPECT_EQ(link->text(), row.normalText);
    EXPECT_FALSE(link->font().bold());
    EXPECT_FALSE(link->font().underline());
    EXPECT_TRUE(link->font().italic());
    EXPECT_EQ(link->font().pointSize(), pointSize);
    EXPECT_EQ(TextColour(link), row.normalColour);
    EXPECT_TRUE(shell_.opened.empty()) << "hovering opens nothing";
}

TEST_P(AboutDialogLinks, AClickHandsTheTargetToTheShell) {
    const LinkRow& row = GetParam();
    Show();
    auto* link = Child<QLabel>(row.name);
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0].toString(), row.target);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AboutDialogLinks,
    ::testing::Values(LinkRow{"lb_danwei", Text(copyright::kFontLicenceHover),
                              Text(copyright::kFontLicence), kBlack,
                              Manual(copyright::kLicenceSection)},
                      LinkRow{"lb_wangzhi", Text(copyright::kManual), Text(copyright::kManual),
                              kBlue, Manual("")},
                      LinkRow{"lb_lianxiUr", Text(copyright::kReport), Text(copyright::kReport),
                              kBlue, TBXV_CZL_FRM_CopyRight::ReportUrl(QString()).toString()}),
    pile::test::RowName{});

TEST_F(AboutDialogTest, UpdateOpensTheManualAtItsSectionOnANewerVersion) {
    Show();
    auto* update = Child<QPushButton>("cbt_update");
    ASSERT_NE(update, nullptr);
    QTest::mouseClick(update, Qt::LeftButton);
    ASSERT_EQ(shell_.opened.size(), 1u);
    const QUrl opened = shell_.opened[0];
    ASSERT_TRUE(opened.isLocalFile()) << opened.toString().toStdString();
    EXPECT_TRUE(QFileInfo(opened.toLocalFile()).isFile());
    EXPECT_EQ(opened.fragment(), QString::fromLatin1(manual::kUpdateSection));
}

// Every line stands on one line in its box, whole: none wraps or loses its end to the edge,
// the link that changes its text on hover included.
TEST_F(AboutDialogTest, EveryTextFitsOnOneLineInItsBox) {
    Show();
    auto* layer = Child<QWidget>("CopyRightLayer");
    ASSERT_NE(layer, nullptr);
    const auto fits = [](const QWidget* box, const QString& text, int margin) {
        const QFontMetrics metrics(box->font());
        EXPECT_LE(metrics.horizontalAdvance(text) + margin, box->width())
            << box->objectName().toStdString() << ": " << text.toStdString();
    };
    for (const QLabel* label : layer->findChildren<QLabel*>()) {
        EXPECT_FALSE(label->wordWrap()) << label->objectName().toStdString();
        fits(label, label->text(), 0);
    }
    fits(Child<QLabel>("lb_danwei"), Text(copyright::kFontLicenceHover), 0);
    fits(Child<QPushButton>("cbt_update"), QStringLiteral("更新"), 4);
}

TEST_F(AboutDialogTest, EscapeHidesWithoutDestroyingAndTheNextShowIsTheSameWindow) {
    QPointer<TBXV_CZL_FRM_CopyRight> dialog = Show();
    auto* link = Child<QLabel>("lb_danwei");
    ASSERT_NE(link, nullptr);
    MoveOver(link, {5, 5});
    QTest::keyClick(dialog.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Show(), dialog.data());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(link->text(), Text(copyright::kFontLicence)) << "the hidden dialog was left";
    EXPECT_FALSE(link->font().bold());
}

// The click that dismisses the dialog is not swallowed: it does its job in the main window too.
// The clicks go through the window system, where a grabbing pop-up would take them.
TEST_F(AboutDialogTest, AClickInTheMainWindowWorksAndHidesTheDialog) {
    QWidget mainWindow;
    mainWindow.setGeometry(0, 0, 400, 300);
    auto* button = new QPushButton(QStringLiteral("≈"), &mainWindow);
    button->setGeometry(10, 10, 60, 30);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, button, [&clicks] { ++clicks; });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    QPointer<TBXV_CZL_FRM_CopyRight> dialog = Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.data()));

    QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->geometry().center());
    EXPECT_EQ(clicks, 1) << "the click reached the main window";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(AboutDialogTest, EscapeHidesTheDialogAndAClickOnItKeepsIt) {
    QWidget mainWindow;
    mainWindow.setGeometry(0, 0, 400, 300);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    TBXV_CZL_FRM_CopyRight* dialog = Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(dialog->isVisible()) << "a click on the dialog itself";
    QTest::keyClick(mainWindow.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace pile::platform
