// The one QApplication of a test program or benchmark that makes widgets.
#pragma once

#include <QApplication>

namespace pile::test {

// Created on first use and never destroyed (widgets of a failed test may still refer to it at
// exit). Before it is made: the offscreen platform unless QT_QPA_PLATFORM names another, the
// zh_CN locale unless LC_ALL names another on purpose (the decimal-comma run sets de_DE), and
// HOME and XDG_CONFIG_HOME in a temporary folder of the program's own, so that nothing lands in
// the real home.
QApplication& QtApplication();

// A fixture's first member: the application exists before the fixture's widgets.
struct AppFirst {
    AppFirst() { QtApplication(); }
};

}  // namespace pile::test
