// The scripts that drive the real window click at points of their own list
// (scripts/lib/panel-controls.sh); each point must lie inside the control it names, as the
// form's table places it.
#include "form_layout.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "BXV_PAS_VORN1.h"
#include "testing/qt/ui_test_support.h"

namespace {

using pile::ui::DesignRect;

// The control's rectangle in the window's design: its own place plus its parents'.
QRect InWindow(const QWidget& control) {
    QRect rect = DesignRect(control.objectName().toLatin1().constData());
    for (const QWidget* parent = control.parentWidget(); parent != nullptr;
         parent = parent->parentWidget()) {
        rect.translate(DesignRect(parent->objectName().toLatin1().constData()).topLeft());
    }
    return rect;
}

class FormLayout : public ::testing::Test {
  protected:
    pile::test::AppFirst app;
    TBXV_FRM_VORN1 window;
};

TEST_F(FormLayout, EveryScriptPointLiesInsideTheControlItNames) {
    window.show();
    // The book screen is built after the first paint: on a loaded machine later than 50 ms.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.findChild<QWidget*>(QStringLiteral("JieGuo_DocLayer")) != nullptr; }));
    QFile file(QStringLiteral(PILE_SOURCE_DIR "/scripts/lib/panel-controls.sh"));
#ifdef _WIN32
    if (!file.exists()) {
        GTEST_SKIP() << "the source tree is out of the cross-built test's reach";
    }
#endif
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(file.readAll());
    const QRegularExpression point(QStringLiteral(R"((\w+)=\((\d+) (\d+)\))"));
    int points = 0;
    for (const QRegularExpressionMatch& match : point.globalMatch(script)) {
        const QString name = match.captured(1);
        const QWidget* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name.toStdString();
        const QPoint at(match.captured(2).toInt(), match.captured(3).toInt());
        const QRect place = InWindow(*control);
        EXPECT_TRUE(place.contains(at)) << name.toStdString() << " at " << at.x() << "," << at.y();
        ++points;
    }
    EXPECT_GE(points, 10);
}

TEST_F(FormLayout, EveryControlOfTheTableIsInTheWindow) {
    window.show();
    // The book screen is built after the first paint: on a loaded machine later than 50 ms.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.findChild<QWidget*>(QStringLiteral("JieGuo_DocLayer")) != nullptr; }));
    for (const pile::ui::Placement& placement : pile::ui::FormPlacements()) {
        EXPECT_NE(window.findChild<QWidget*>(QString::fromLatin1(placement.name)), nullptr)
            << placement.name;
    }
}

}  // namespace
