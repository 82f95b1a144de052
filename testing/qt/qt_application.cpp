#include "testing/qt/qt_application.h"

#include <QFile>
#include <QTemporaryDir>

namespace pile::test {

QApplication& QtApplication() {
    static QApplication* const app = [] {
        if (QApplication::instance() != nullptr) {
            return qobject_cast<QApplication*>(QApplication::instance());
        }
        static QTemporaryDir home;  // removed at exit
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        if (qEnvironmentVariableIsEmpty("LC_ALL")) {
            qputenv("LC_ALL", "zh_CN.UTF-8");
        }
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
        // The session journal of every window goes there too, never into the real data folder.
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
        static int argc = 1;
        static char name[] = "pile_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace pile::test
