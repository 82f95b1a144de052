// The program's QApplication. An error that escapes an event handler (an exception out of a
// click, a key, a paint or a timer) would otherwise end the program and take the unsaved
// books with it; here it is caught where the event loop hands the event over, shown in the
// standard error box, and the program goes on with the state the handler had reached.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>

namespace pile::ui {

class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The text of the error box for an error that escaped a handler.
QString EscapedErrorText(std::exception_ptr error);

}  // namespace pile::ui
