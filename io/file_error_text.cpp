#include "io/file_error_text.h"

#include <cerrno>

namespace pile::io {

QString FileErrorReason(int error) {
    switch (error) {
        case ENOSPC:
            return QString::fromUtf16(kNoSpaceText);
#ifdef EDQUOT
        case EDQUOT:
            return QStringLiteral("磁盘配额已用完");
#endif
        case EACCES:
        case EPERM:
            return QString::fromUtf16(kNoPermissionToWriteText);
        case EROFS:
            return QStringLiteral("磁盘是只读的");
        case ENOENT:
            return QStringLiteral("文件夹不存在");
        case ENOTDIR:
            return QStringLiteral("路径中有一项不是文件夹");
        case EISDIR:
            return QString::fromUtf16(kFolderOfThatNameText);
        case EEXIST:
            return QStringLiteral("已有同名的文件");
        case ENAMETOOLONG:
            return QStringLiteral("路径太长");
        case ELOOP:
            return QStringLiteral("路径中的链接层数太多");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("打开的文件太多");
        case EBUSY:
        case ETXTBSY:
            return QStringLiteral("文件正被其他程序使用");
        case EIO:
            return QStringLiteral("磁盘读写出错");
        case EFBIG:
            return QStringLiteral("文件超过了系统允许的大小");
        case ENOMEM:
            return QString::fromUtf16(kOutOfMemoryText);
        default:
            return QStringLiteral("系统错误（错误号 %1）").arg(error);
    }
}

QString BookSaveFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("计算书未能保存到文件\n%1\n%2").arg(path, reason);
}

}  // namespace pile::io
