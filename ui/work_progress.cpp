#include "work_progress.h"

#include <algorithm>
#include <climits>

namespace pile::ui {

WorkProgress::WorkProgress(QWidget* window, const QString& label)
    : dialog_(label, QStringLiteral("取消"), 0, 1, window) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
}

bool WorkProgress::Step(long long done, long long total) {
    const auto bar = [](long long count) {
        return static_cast<int>(std::clamp<long long>(count, 0, INT_MAX));
    };
    dialog_.setMaximum(bar(total));
    dialog_.setValue(bar(done));
    return !dialog_.wasCanceled();
}

}  // namespace pile::ui
