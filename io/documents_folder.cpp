#include "io/documents_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

#include "io/file_error_text.h"

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>

#include <vector>
#endif

namespace pile::io {
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

// Makes `folder` and the folders above it that are missing; the reason when it cannot. What
// stands in the folder's place is named first: the system's answer for it ("File exists" for
// a broken link) would mislead.
QString CreateFolder(const QString& folder) {
    namespace fs = std::filesystem;
    const fs::path path(folder.toStdU16String());
    std::error_code failure;
    const fs::file_status status = fs::symlink_status(path, failure);
    if (fs::is_symlink(status)) {
        return fs::exists(path, failure) ? QStringLiteral("此处的链接指向的不是文件夹")
                                         : QStringLiteral("此处是一个目标已不存在的链接");
    }
    if (fs::exists(status)) {
        return QStringLiteral("此处已有同名的文件");
    }
    failure.clear();
    fs::create_directories(path, failure);
    if (failure) {
        // The portable error number, whatever the category the library reported it in.
        const std::error_condition reason = failure.default_error_condition();
        return reason.category() == std::generic_category()
                   ? FileErrorReason(reason.value())
                   : QStringLiteral("系统错误（%1）").arg(failure.value());
    }
    // A race lost to another program, or a file system that did not keep the folder.
    return QFileInfo(folder).isDir() ? QString() : FileErrorReason(ENOTDIR);
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
        if (const QString reason = CreateFolder(folder); !reason.isEmpty()) {
            result.error = QStringLiteral("无法建立文件夹 %1：%2")
                               .arg(QDir::toNativeSeparators(folder), reason);
            return result;
        }
        result.path = folder;
    } catch (const std::bad_alloc&) {
        result.path.clear();
        result.error = QString::fromUtf16(kOutOfMemoryText);
    }
    return result;
}

}  // namespace pile::io
