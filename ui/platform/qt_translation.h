// Qt's own Simplified-Chinese texts, so that the buttons of message boxes and standard dialogs
// speak the language of the rest of the program.
#pragma once

class QCoreApplication;

namespace pile::platform {

// Loads qtbase_zh_CN from Qt's translations folder into `app` (call once, at start). Returns
// false, leaving Qt's English texts, when the file is not installed.
bool InstallQtChineseTranslation(QCoreApplication& app);

}  // namespace pile::platform
