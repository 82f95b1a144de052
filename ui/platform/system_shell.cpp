#include "ui/platform/system_shell.h"

#include <QDesktopServices>

namespace pile::platform {

void DesktopShell::open(const QUrl& target) {
    QDesktopServices::openUrl(target);
}

}  // namespace pile::platform
