#include "ui/platform/manual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "ui/platform/message_presenter.h"
#include "ui/platform/system_shell.h"

namespace pile::platform {

QStringList ManualCandidates(const QString& programFolder) {
    const QString file = QStringLiteral(PILE_MANUAL_FILE);
    const QDir folder(programFolder);
    return {
        folder.filePath(file),
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/rock-socketed-pile/") + file)),
        QDir(QStringLiteral(PILE_MANUAL_BUILD_DIR)).filePath(file),
    };
}

QUrl ManualUrl(const QString& programFolder, const QString& section) {
    for (const QString& path : ManualCandidates(programFolder)) {
        if (QFileInfo(path).isFile()) {
            QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
            if (!section.isEmpty()) {
                url.setFragment(section);
            }
            return url;
        }
    }
    return QUrl();
}

void OpenManual(SystemShell& shell, MessagePresenter& messages, const QString& section) {
    const QString programFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QUrl url = ManualUrl(programFolder, section);
    if (url.isEmpty()) {
        messages.showError(QStringLiteral("找不到使用说明 %1，程序的安装可能不完整。")
                               .arg(QStringLiteral(PILE_MANUAL_FILE)));
        return;
    }
    shell.open(url);
}

}  // namespace pile::platform
