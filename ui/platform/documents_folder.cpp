#include "ui/platform/documents_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <new>
#include <system_error>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>

#include <vector>
#endif

namespace pile::platform {
namespace {

bool Usable(const QString& folder) {
    if (folder.isEmpty() || QDir::isRelativePath(folder)) {
        return false;
    }
#ifndef Q_OS_WIN
    if (folder.startsWith(QLatin1String("//"))) {
        return false;
    }
#endif
    return !QDir(QDir::cleanPath(folder)).isRoot();
}

// The home folder the user database records, for a process started without HOME.
QString AccountHome() {
#ifdef Q_OS_UNIX
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
        return QFile::decodeName(found->pw_dir);
    }
#endif
    return {};
}

}  // namespace

QString ChooseDocumentsFolder(const QString& documentsLocation, const QStringList& homeFolders) {
    if (Usable(documentsLocation)) {
        return QDir::cleanPath(documentsLocation);
    }
    for (const QString& home : homeFolders) {
        if (Usable(home)) {
            return QDir::cleanPath(home);
        }
    }
    return {};
}

DocumentsFolderResult DocumentsFolder() {
    DocumentsFolderResult result;
    try {
        const QString folder = ChooseDocumentsFolder(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            {QDir::homePath(), AccountHome()});
        if (folder.isEmpty()) {
            result.error = QStringLiteral("系统没有指明文档文件夹，也没有可用的主文件夹");
            return result;
        }
        if (QFileInfo(folder).isDir()) {
            result.path = folder;
            return result;
        }
        std::error_code failure;
        std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()),
                                            failure);
        if (failure || !QFileInfo(folder).isDir()) {
            const std::error_code reason =
                failure ? failure : std::make_error_code(std::errc::not_a_directory);
            result.error = QStringLiteral("无法建立文件夹 %1：%2")
                               .arg(QDir::toNativeSeparators(folder),
                                    QString::fromLocal8Bit(reason.message()));
            return result;
        }
        result.path = folder;
    } catch (const std::bad_alloc&) {
        result.path.clear();
        result.error = QStringLiteral("内存不足");
    }
    return result;
}

}  // namespace pile::platform
