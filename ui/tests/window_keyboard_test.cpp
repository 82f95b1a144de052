// The main window by keyboard alone and by accessible name: the Tab order of each panel
// layout, the keys that press the buttons, the visible focus, the names a screen reader reads.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include "BXV_PAS_VORN1.h"
#include "focus_ring.h"
#include "replay_reference.h"
#include "testing/qt/ui_test_support.h"
#include "testing/row_name.h"

namespace {

using pile::test::PrintTo;
using namespace pile::ui::testing;

class WindowKeyboard : public ::testing::Test {
  protected:
    WindowKeyboard() {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }

    // The layout of a table row: -1 frk mode, 0 to 2 that section in fuk mode, by name.
    void Layout(int section) {
        if (section < 0) {
            return;
        }
        QTest::mouseClick(Named<QRadioButton>(window, "桩端地基极限承载力 fuk (MPa)"),
                          Qt::LeftButton);
        PickFromList(Named<QComboBox>(window, "桩身截面类型"), section);
    }

    // The named control that holds the keyboard focus (a drop-down list for its edit part).
    static QString FocusName() {
        for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
            if (!w->objectName().isEmpty()) {
                return w->objectName();
            }
        }
        return QStringLiteral("(none)");
    }
    static void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }

    AppFirst app;
    TBXV_FRM_VORN1 window;
};

struct TabRow {
    const char* name;
    int section;
    const char* order;  // the Tab stops from 截面类型 round to it again
};

class TabOrder : public WindowKeyboard, public ::testing::WithParamInterface<TabRow> {};

TEST_P(TabOrder, ReadsThePanelTopToBottomLeftToRight) {
    Layout(GetParam().section);
    Named(window, "桩身截面类型")->setFocus(Qt::TabFocusReason);
    QStringList stops{FocusName()};
    for (int i = 0; i < 20; ++i) {
        Key(Qt::Key_Tab);
        if (FocusName() == stops.first()) {
            break;
        }
        stops.append(FocusName());
    }
    EXPECT_EQ(stops.join(u' ').toStdString(), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, TabOrder,
    ::testing::Values(
        TabRow{"FrkCircle", -1,
               "cbb_jmlx cbe_dd cbe_hr cbb_hnt cbb_czgy rdb_frk edt_frk cbt_compute cbt_tuichu"},
        TabRow{"FukCircle", 0,
               "cbb_jmlx cbe_dd cbe_hr cbb_hnt cbb_czgy rdb_fuk edt_fuk cbt_compute cbt_tuichu"},
        TabRow{"FukEllipse", 1,
               "cbb_jmlx cbe_dd cbe_tyzd cbe_hr cbb_hnt cbb_czgy rdb_fuk edt_fuk cbt_compute "
               "cbt_tuichu"},
        TabRow{"FukRectangle", 2,
               "cbb_jmlx cbe_dd cbe_tyzd cbe_hr cbb_hnt cbb_czgy rdb_fuk edt_fuk cbt_compute "
               "cbt_tuichu"}),
    pile::test::RowName{});

struct NameRow {
    const char* name;
    int section;
    const char* accessibleName;
    const char* control;
};

class AccessibleName : public WindowKeyboard, public ::testing::WithParamInterface<NameRow> {};

TEST_P(AccessibleName, FindsTheControlByItsLabel) {
    Layout(GetParam().section);
    QWidget* found = Named(window, GetParam().accessibleName);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->objectName().toStdString(), GetParam().control);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, AccessibleName,
    ::testing::Values(NameRow{"Diameter", -1, "桩身直径 d (mm)", "cbe_dd"},
                      NameRow{"Frk", -1, "岩石单轴抗压强度 frk (MPa)", "rdb_frk"},
                      NameRow{"Beta", 0, "考虑嵌固力影响后承载力系数", "edt_kesair"},
                      NameRow{"RectangleLongSide", 2, "矩形长边尺寸 a (mm)", "cbe_dd"},
                      NameRow{"About", -1, "版权信息", "cbt_CopyRight"}),
    pile::test::RowName{});

TEST_F(WindowKeyboard, EveryControlIsNamedAndTheResultsSayTheirUnit) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool input =
            qobject_cast<QAbstractButton*>(control) != nullptr ||
            qobject_cast<QComboBox*>(control) != nullptr ||
            (qobject_cast<QLineEdit*>(control) != nullptr && !control->objectName().isEmpty());
        if (input) {
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << control->objectName().toStdString();
        }
    }
    EXPECT_TRUE(
        Named(window, "单桩竖向承载力特征值 Ra(kN)")->accessibleDescription().contains(u"kN"));
    EXPECT_TRUE(
        Named(window, "桩身正截面受压承载力 Rc(kN)")->accessibleDescription().contains(u"kN"));
}

// Typed, not committed, Ctrl+Return: the text is committed as Enter commits it and "计算"
// pressed, also right after a calculation; Return presses a focused button ("结果"), Ctrl+S
// presses "保存" and Esc goes back.
TEST_F(WindowKeyboard, KeysPressTheButtons) {
    QWidget* diameter = Named(window, "桩身直径 d (mm)");
    for (const char* typed : {"1200", "1300"}) {
        diameter->setFocus(Qt::TabFocusReason);
        Key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
        Key(Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(diameter->findChild<QLineEdit*>()->text().toStdString(), typed);
    }
    EXPECT_EQ(window.Books().PileCounter(), 2);
    EXPECT_EQ(CalcStep(window, u'.', QStringLiteral("T")).section(u'\t', 3, 3), u"1300");

    Named(window, "结果")->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Return);
    QWidget* bookScreen = window.findChild<QWidget*>(QStringLiteral("JieGuo_DocLayer"));
    ASSERT_TRUE(bookScreen->isVisible());
    QSignalSpy saved(Named<QPushButton>(window, "保存"), &QPushButton::clicked);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saved.count(), 1);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(bookScreen->isVisible());
    EXPECT_EQ(FocusName().toStdString(), "cbe_dd") << "back in the first box";
}

// The focused rounded button wears a border of its own colour, at any scale of the window.
TEST_F(WindowKeyboard, FocusShowsOnTheRoundedButtons) {
    const auto focusInk = [](QWidget* button) {
        const QImage image = button->grab().toImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ink += image.pixelColor(x, y) == QColor(0x0A, 0x3C, 0xA0);
            }
        }
        return ink;
    };
    for (const char* name : {"计算", "退出"}) {
        QWidget* button = Named(window, name);
        EXPECT_EQ(focusInk(button), 0) << name;
        button->setFocus(Qt::TabFocusReason);
        EXPECT_GT(focusInk(button), 2 * button->width()) << name;
    }
}

// The other controls get a ring of the same colour around them, which follows the keyboard.
TEST_F(WindowKeyboard, FocusRingFollowsTheKeyboard) {
    auto* ring =
        dynamic_cast<pile::ui::FocusRing*>(window.findChild<QWidget*>(QStringLiteral("FocusRing")));
    ASSERT_NE(ring, nullptr);
    for (const char* name :
         {"桩身直径 d (mm)", "桩身混凝土强度等级", "岩石单轴抗压强度 frk (MPa)"}) {
        QWidget* control = Named(window, name);
        control->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(ring->Target(), control) << name;
        EXPECT_EQ(ring->parentWidget(), control->parentWidget());
        EXPECT_TRUE(ring->geometry().contains(control->geometry())) << name;
    }
    Named(window, "计算")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(ring->Target(), nullptr) << "the rounded buttons show their own";
}

}  // namespace
