// The one QApplication of a widget test program, under the offscreen platform, created before
// the first test's fixture builds any widget, with HOME and XDG_CONFIG_HOME in a temporary
// folder of the program's own (CTest runs every test in a process of its own).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

namespace pile::platform::testing {

inline QApplication& Application() {
    static QApplication* const app = [] {
        static QTemporaryDir home;  // removed at exit
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
        static int argc = 1;
        static char name[] = "about_tests";
        static char* argv[] = {name, nullptr};
        // Never destroyed: widgets of a failed test may still refer to it at exit.
        return new QApplication(argc, argv);
    }();
    return *app;
}

class ApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { Application(); }
};

inline ::testing::Environment* const kApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace pile::platform::testing
