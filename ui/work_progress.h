// Long work (a PDF or a print-out of a thousand pages, a schedule of thousands of rows, the
// report of as many piles) shows how far it is in a dialog with 取消 once it has run for half a
// second; before that nothing appears.
#pragma once

#include <QProgressDialog>
#include <QString>

class QWidget;

namespace pile::ui {

class WorkProgress {
  public:
    WorkProgress(QWidget* window, const QString& label);

    // `done` of `total`; false once 取消 has been pressed.
    bool Step(long long done, long long total);
    bool Cancelled() const { return dialog_.wasCanceled(); }

    // Step as the callback of work that counts in any integer type (pages, rows, bytes).
    auto Follower() {
        return [this](auto done, auto total) {
            return Step(static_cast<long long>(done), static_cast<long long>(total));
        };
    }

  private:
    QProgressDialog dialog_;
};

}  // namespace pile::ui
