// The system shell's default action for a web or "mailto:" address: the browser or the mail
// program opens it in a window of its own and the call returns at once.
#pragma once

#include <QUrl>

namespace pile::platform {

class SystemShell {
  public:
    virtual ~SystemShell() = default;
    // The result is not examined: when nothing can open the target, nothing is shown.
    virtual void open(const QUrl& target) = 0;
};

class DesktopShell final : public SystemShell {
  public:
    void open(const QUrl& target) override;  // QDesktopServices::openUrl
};

}  // namespace pile::platform
