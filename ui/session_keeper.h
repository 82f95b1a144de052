// The window's side of the session journal: after each change of the books it hands the new
// rows or the new state to the journal file, and at start it finds the earlier session whose
// records were left unsaved. Nothing here stops a calculation: a journal that cannot be
// written yields one warning text, the first time.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstddef>
#include <memory>
#include <optional>

#include "io/journal_file.h"
#include "session/session_journal.h"

namespace pile::ui {

class SessionKeeper {
  public:
    // The journal goes into `folder` (io::JournalFolder() for the program).
    explicit SessionKeeper(QString folder);

    // Each returns the warning to show, once, when the journal could not be written.
    // Records() gained the entries from `before` on.
    std::optional<QString> Recorded(const session::PanelSession& session, std::size_t before);
    // The loads of some record changed: every row written afresh, in one step.
    std::optional<QString> Replaced(const session::PanelSession& session);
    // A delete-last or a save: the rows the books hold and their flags.
    std::optional<QString> Changed(const session::PanelSession& session);
    // The books were emptied ("新建计算书", "替换"): the journal so far stays among the kept
    // ones, marked as answered so that no later start offers it, and a new journal begins.
    void StartAfresh();

    struct Offer {
        QString path;
        session::Recovery recovery;
    };
    // The newest earlier session, when it left records unsaved and was not asked about.
    std::optional<Offer> Unsaved() const;
    // Asked once: a later start does not ask again, whatever the answer.
    static void Answered(const Offer& offer);
    // `session` rebuilt from `offer`: a new journal holds every row and the state on the disk
    // before the earlier one is marked as answered, so that one of the two offers the records
    // at any moment, and never both.
    std::optional<QString> Restored(const session::PanelSession& session, const Offer& offer);

  private:
    std::optional<QString> Checked(bool written);
    std::unique_ptr<io::JournalFile> NewFile();

    QString folder_;
    QDateTime lastStart_;  // of the newest journal file: two never share a name
    std::unique_ptr<io::JournalFile> file_;
    bool failed_ = false;  // this journal missed a write: it stops
    bool warned_ = false;  // the warning is shown once a run
};

}  // namespace pile::ui
