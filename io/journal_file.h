// The session journal's files in the program's data folder (QStandardPaths'
// AppLocalDataLocation): one journal per running program, named by its start and process,
// locked while the program runs, and the last 20 kept. What goes into them: session_journal.h.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session/journal_store.h"

namespace pile::io {

inline constexpr int kKeptJournals = 20;

// <AppLocalDataLocation>/会话记录; empty when the system names no such location.
QString JournalFolder();

// "会话-<start>-<process>.csv": the name sorts by start time, written in the time zone of
// `start` (the program passes local time).
QString JournalFileName(const QDateTime& start, qint64 processId);

// One session's journal. Nothing touches the disk before the first Append; each call returns
// once the bytes are on the disk (fdatasync, FlushFileBuffers), or fails with a reason.
class JournalFile {
  public:
    JournalFile(QString folder, QString fileName, std::string header);
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Rows at the end, each with its line end; the first call creates the file with `header`,
    // takes its lock and removes the journals older than the last kKeptJournals.
    bool Append(const std::vector<std::string>& rows);
    // Cuts the file back to its first `rows` rows.
    bool KeepRows(std::size_t rows);
    // The header and `rows` in place of every row: the new file takes the old one's place
    // whole, so that a process ended meanwhile leaves the one or the other.
    bool Replace(const std::vector<std::string>& rows);
    // The state beside the journal, replaced whole.
    bool WriteState(const std::string& state);
    // A journal written whole before any Append: the state first, then the header and the rows
    // under a name no reader lists, which takes the journal's name only once it is on the
    // disk. A process killed on the way leaves no journal with part of the rows; another
    // program sees none of it, or all.
    bool Publish(const std::vector<std::string>& rows, const std::string& state);

    QString Path() const;
    std::size_t Rows() const { return rowEnds_.size(); }
    // Why the last call failed, in Chinese.
    const QString& Error() const { return error_; }

  private:
    bool Prepare();
    bool Open();
    bool Sync();
    bool Fail(const QString& reason);

    QString folder_;
    QString fileName_;
    std::string header_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QFile> file_;
    std::vector<qint64> rowEnds_;  // where each row ends, for KeepRows
    qint64 headerEnd_ = 0;
    QString error_;
};

// The journals of a folder, as the session's journal keeper writes them.
class FolderJournals final : public session::JournalStore {
  public:
    explicit FolderJournals(QString folder);
    ~FolderJournals() override;
    FolderJournals(const FolderJournals&) = delete;
    FolderJournals& operator=(const FolderJournals&) = delete;

    void Begin(const session::JournalTime& start, std::int64_t processId,
               const std::string& header) override;
    bool Append(const std::vector<std::string>& rows) override;
    bool KeepRows(std::size_t rows) override;
    bool Replace(const std::vector<std::string>& rows) override;
    bool WriteState(const std::string& state) override;
    bool Publish(const std::vector<std::string>& rows, const std::string& state) override;
    std::size_t Rows() const override;
    std::u16string Error() const override;
    std::u16string Place() const override;
    std::optional<Earlier> NewestEarlier() const override;
    bool WriteStateOf(const std::string& id, const std::string& state) override;
    std::string OwnId() const override;

  private:
    QString folder_;
    std::unique_ptr<JournalFile> file_;
    // Held until the next journal begins, so that no other program takes it for an ended
    // session's while this one is being replaced.
    std::unique_ptr<JournalFile> previous_;
};

// The window's clock as the journal keeper takes it.
session::JournalTime JournalTimeOf(const QDateTime& time);

// The newest journal of an earlier session that no running program holds, with its state
// file's text (if any); never `ownFileName`.
struct EarlierJournal {
    QString path;
    QByteArray bytes;
    std::optional<QByteArray> state;
};
std::optional<EarlierJournal> NewestEarlierJournal(const QString& folder,
                                                   const QString& ownFileName);

// The state file beside `journalPath`, replaced whole.
bool WriteJournalState(const QString& journalPath, const QByteArray& state);

// Removes the journals (and their state files) beyond the newest `keep`, except locked ones.
void RemoveOldJournals(const QString& folder, int keep);

}  // namespace pile::io
