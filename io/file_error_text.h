// Why a book file or the documents folder could not be written, in Chinese. The system's own
// texts, and Qt's, come in English ("Permission denied") or name the path a second time, so
// the reasons the save error box shows are fixed texts of this program, chosen by the error
// number the system gave or by the kind of failure where it gave none.
#pragma once

#include <QString>

namespace pile::io {

inline constexpr char16_t kNoSpaceText[] = u"磁盘空间不足";
inline constexpr char16_t kNoPermissionToWriteText[] = u"没有写入权限";
inline constexpr char16_t kReadOnlyFileText[] = u"文件是只读的";
inline constexpr char16_t kFolderOfThatNameText[] = u"已有同名的文件夹";
inline constexpr char16_t kOutOfMemoryText[] = u"内存不足";
// No file could be made, nothing could be written, or the new file could not take the old
// one's place, and the system named no reason.
inline constexpr char16_t kCannotCreateText[] = u"无法建立文件";
inline constexpr char16_t kWriteFailedText[] = u"写入失败";
inline constexpr char16_t kCannotReplaceText[] = u"新文件无法替换原有文件";

// The reason for the error number `error` (an errno value); a number without a text of its
// own gets a general text with the number, so that support can still tell the cause.
QString FileErrorReason(int error);

// The error box's text when a book could not be written to `path`, with the reason.
QString BookSaveFailureText(const QString& path, const QString& reason);

}  // namespace pile::io
