// What a person meets in the window beyond the calculation: every result readable whole, the
// about dialog that takes no click away, a wheel that picks nothing, typing at start, and a
// window that fits a small screen.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWheelEvent>
#include <array>

#include "BXV_PAS_VORN1.h"
#include "engine/fixed_text.h"
#include "testing/qt/test_doubles.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"
#include "text_fit.h"
#include "ui_fonts.h"

namespace {

using namespace pile::ui::testing;

class WindowTouch : public ::testing::Test {
  protected:
    WindowTouch() : window(WindowPlatform{.shell = &shell}) {
        window.show();
        window.activateWindow();
    }

    template <typename T = QWidget>
    T* Get(const char* name) {
        return Control<T>(window, name);
    }
    // A click through the window system, as a mouse gives it: a grabbing pop-up sees it first.
    void ClickInWindow(const char* name) {
        QWidget* target = Get(name);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          target->mapTo(&window, target->rect().center()));
    }
    static void Wheel(QWidget* target) {
        const QPointF at = QRectF(target->rect()).center();
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
    }

    AppFirst app;
    pile::platform::RecordingShell shell;
    TBXV_FRM_VORN1 window;
};

// The pixels of the result colour (green) in a picture of `box`.
int InkPixels(QWidget& box) {
    const QImage image = box.grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ink += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
        }
    }
    return ink;
}

// Whether the box shows its whole text: as much ink as the same text in the same font in a
// box three times as wide. A text wider than its box is scrolled so that its end shows, and
// its first digits are cut or lost.
bool ShowsWholeText(QLineEdit* box) {
    QLineEdit wide;
    wide.setReadOnly(true);
    wide.setFont(box->font());
    wide.setPalette(box->palette());
    wide.setAlignment(box->alignment());
    wide.resize(box->width() * 3, box->height());
    wide.setText(box->text());
    const int whole = InkPixels(wide);
    return whole > 0 && InkPixels(*box) >= whole * 0.97;
}

struct FitRow {
    std::string name;
    pile::PrecisionMode mode;
};

class ResultTexts : public WindowTouch, public ::testing::WithParamInterface<FitRow> {};

// The longest texts each precision can give, at 7 significant digits as the boxes show them,
// and two that fit at the preferred size.
TEST_P(ResultTexts, AreShownWhole) {
    for (const char* name : {"edt_kesair", "edt_ra", "edt_rc"}) {
        QLineEdit* box = Get<QLineEdit>(name);
        for (const double value :
             {8410.31, 7861.84, 88888.88, 888888.88, 8888888.8, 98765432.1, 1.5e11}) {
            const QString text =
                QString::fromStdU16String(pile::PrecisionText(value, GetParam().mode, 7, u'.'));
            box->setText(text);
            const double width = QFontMetricsF(box->font()).horizontalAdvance(text);
            EXPECT_LE(width, pile::ui::LineEditTextWidth(*box))
                << name << " " << text.toStdString();
            EXPECT_TRUE(ShowsWholeText(box)) << name << " cuts " << text.toStdString();
            EXPECT_TRUE(box->font().bold());
        }
        box->setText(QStringLiteral("8410"));
        EXPECT_EQ(box->font().pointSizeF(), pile::ui::kResultPointSize) << name;
        box->setText(QStringLiteral("1.1400"));
        EXPECT_EQ(box->font().pointSizeF(), pile::ui::kResultPointSize) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Precision, ResultTexts,
                         ::testing::Values(FitRow{"TwoDecimals", pile::PrecisionMode::TwoDecimals},
                                           FitRow{"OneDecimal", pile::PrecisionMode::OneDecimal},
                                           FitRow{"Units", pile::PrecisionMode::Units},
                                           FitRow{"Tens", pile::PrecisionMode::Tens},
                                           FitRow{"Hundreds", pile::PrecisionMode::Hundreds}),
                         pile::test::RowName{});

TEST_F(WindowTouch, TheStartPileInTwoDecimalsShowsEveryDigit) {
    ClickInWindow("cbt_JingDu");
    PickFromList(Get<QComboBox>("popbox_jingdu"), 0);
    EXPECT_EQ(Get<QLineEdit>("edt_ra")->text(), QStringLiteral("8410.31"));
    EXPECT_EQ(Get<QLineEdit>("edt_rc")->text(), QStringLiteral("7861.84"));
    EXPECT_TRUE(ShowsWholeText(Get<QLineEdit>("edt_ra")));
    EXPECT_TRUE(ShowsWholeText(Get<QLineEdit>("edt_rc")));
}

TEST_F(WindowTouch, AClickOnTheWindowWorksWhileTheAboutDialogIsShown) {
    ClickInWindow("cbt_CopyRight");
    QWidget* about = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("BXV_CZL_FRM_CopyRight")) {
            about = top;
        }
    }
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->isVisible());
    ClickInWindow("cbt_JingDu");
    EXPECT_TRUE(Get("popbox_jingdu")->isVisible()) << "the click on ≈ did its job";
    EXPECT_FALSE(about->isVisible());

    ClickInWindow("cbt_CopyRight");
    ASSERT_TRUE(about->isVisible());
    ClickInWindow("cbt_CopyRight");
    EXPECT_FALSE(about->isVisible()) << "a second © hides it";
}

struct WheelRow {
    std::string name;
    const char* list;
    bool fukMode;
};

class WheelOverList : public WindowTouch, public ::testing::WithParamInterface<WheelRow> {};

TEST_P(WheelOverList, PicksNothingAndRecordsNothing) {
    if (GetParam().fukMode) {
        ClickInWindow("rdb_fuk");
    }
    ClickInWindow("cbt_compute");
    ClickInWindow("cbt_JingDu");  // the pop-up shown: a pick there would compute again
    auto* list = Get<QComboBox>(GetParam().list);
    const int index = list->currentIndex();
    const QString text = list->currentText();
    const QString ra = Get<QLineEdit>("edt_ra")->text();
    for (int notch = 0; notch < 3; ++notch) {
        Wheel(list);
        if (list->lineEdit()) {
            Wheel(list->lineEdit());
        }
    }
    EXPECT_EQ(list->currentIndex(), index);
    EXPECT_EQ(list->currentText(), text);
    EXPECT_EQ(window.Books().PileCounter(), 1) << "no record appended";
    EXPECT_EQ(Get<QLineEdit>("edt_ra")->text(), ra) << "no cascade emptied the results";
}

INSTANTIATE_TEST_SUITE_P(Lists, WheelOverList,
                         ::testing::Values(WheelRow{"Precision", "popbox_jingdu", false},
                                           WheelRow{"SectionType", "cbb_jmlx", true},
                                           WheelRow{"Grade", "cbb_hnt", false},
                                           WheelRow{"Process", "cbb_czgy", false},
                                           WheelRow{"SocketDepth", "cbe_hr", false},
                                           WheelRow{"Diameter", "cbe_dd", false}),
                         pile::test::RowName{});

TEST_F(WindowTouch, TypingAtStartReplacesTheDiameter) {
    QLineEdit* dd = Get<QComboBox>("cbe_dd")->lineEdit();
    ASSERT_TRUE(dd->hasFocus() || QApplication::focusWidget() == nullptr);
    QTest::keyClicks(dd, QStringLiteral("1500"));
    EXPECT_EQ(dd->text(), QStringLiteral("1500"));
}

struct ScreenRow {
    std::string name;
    QRect available;
    QSize expected;
};

class SmallScreen : public WindowTouch, public ::testing::WithParamInterface<ScreenRow> {};

// 1920 x 1080 at 150 %: 1280 x 720 units, less a task bar of 32; a title bar of 30 on top.
TEST_P(SmallScreen, TheWholeWindowFits) {
    const QMargins frame(1, 30, 1, 1);
    window.FitInto(GetParam().available, frame);
    EXPECT_EQ(window.size(), GetParam().expected);
    EXPECT_LE(window.height() + frame.top() + frame.bottom(),
              std::max(GetParam().available.height(), 693 + 31));
    for (const char* name : {"cbt_compute", "cbt_tuichu", "lb_shuoming", "edt_rc"}) {
        QWidget* control = Get(name);
        const QRect inWindow(control->mapTo(&window, QPoint(0, 0)), control->size());
        EXPECT_TRUE(window.rect().contains(inWindow)) << name;
    }
    // The proportions stay: the controls shrink with the window, their fonts too.
    const double scale = window.height() / 693.0;
    EXPECT_NEAR(Get("cbt_compute")->width(), 89 * scale, 1.0);
    EXPECT_NEAR(Get("lb_cxm")->font().pointSizeF(), 24 * scale, 0.01);
    ClickInWindow("cbt_compute");
    EXPECT_TRUE(ShowsWholeText(Get<QLineEdit>("edt_ra")));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, SmallScreen,
    ::testing::Values(ScreenRow{"Laptop150", QRect(0, 0, 1280, 688), QSize(344, 657)},
                      ScreenRow{"LargeEnough", QRect(0, 0, 1920, 1040), QSize(363, 693)}),
    pile::test::RowName{});

}  // namespace
