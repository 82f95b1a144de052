// The folder the books are saved in: the user's documents folder as the system names it,
// created when a fresh account does not have it yet.
#pragma once

#include <QString>
#include <QStringList>

namespace pile::io {

struct DocumentsFolderResult {
    QString path;   // empty: no usable folder, nothing may be written
    QString error;  // why, when `path` is empty
};

// Picks the folder from what the system answered: the documents location when it names a real
// folder, else the first usable home folder, else the empty text. Unusable are the empty text,
// a relative path, the root of a file system, and (outside Windows, where "//" starts a network
// path) a path starting with "//", which is what Qt answers with HOME unset.
QString ChooseDocumentsFolder(const QString& documentsLocation, const QStringList& homeFolders);

// QStandardPaths' documents location, else the home folder (HOME, then the account's entry in
// the user database); the folder is created when missing.
DocumentsFolderResult DocumentsFolder();

}  // namespace pile::io
