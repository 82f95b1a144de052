// The manual installed with the program (docs/manual.md, as HTML): F1 and the about dialog
// open it in the system's browser, from the disk, so that it reads the same offline.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace pile::platform {

class MessagePresenter;
class SystemShell;

// The manual's sections that the program opens directly, by their anchors in the page.
namespace manual {
inline constexpr char kUpdateSection[] = "update";  // installing a newer version
}  // namespace manual

// Where the manual is looked for, in order: beside the program (Windows), the installed data
// folder (../share/rock-socketed-pile from the program's folder), the build folder.
QStringList ManualCandidates(const QString& programFolder);

// The first candidate that exists, as a file address with `section` as its fragment; an empty
// address when there is none.
QUrl ManualUrl(const QString& programFolder, const QString& section = QString());

// Opens the manual at `section` for the running program; without the file, says so in an error
// box.
void OpenManual(SystemShell& shell, MessagePresenter& messages, const QString& section = QString());

}  // namespace pile::platform
