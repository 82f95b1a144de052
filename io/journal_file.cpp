#include "io/journal_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>

#include "io/book_file.h"
#include "io/file_error_text.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pile::io {
namespace {

const QString kPrefix = QStringLiteral("会话-");
const QString kSuffix = QStringLiteral(".csv");
const QString kStateSuffix = QStringLiteral(".state");
const QString kLockSuffix = QStringLiteral(".lock");
// A journal being published: not a journal's name, so that no reader lists it.
const QString kPartSuffix = QStringLiteral(".part");

// The bytes written reach the disk before the call returns, so that a killed process or a
// power cut after it loses nothing of the record. Only the data: the file's times may lag.
bool DataSync(QFile& file) {
#if defined(Q_OS_WIN)
    return ::_commit(file.handle()) == 0;
#elif defined(Q_OS_LINUX)
    return ::fdatasync(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// The folder's entry of a new or renamed file, on the disk as its bytes are: without it a power
// cut may lose the name of a journal whose rows were synced. Windows commits names itself.
bool SyncFolder(const QString& folder) {
#if defined(Q_OS_WIN)
    Q_UNUSED(folder);
    return true;
#else
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (handle < 0) {
        return false;
    }
    const bool synced = ::fsync(handle) == 0;
    ::close(handle);
    return synced;
#endif
}

int LastError() {
#ifdef Q_OS_WIN
    return 0;
#else
    return errno;
#endif
}

QString ReasonOf(int error, const char16_t* withoutNumber) {
    return error != 0 ? FileErrorReason(error) : QString::fromUtf16(withoutNumber);
}

// Newest first.
QStringList JournalNames(const QString& folder) {
    QStringList names = QDir(folder).entryList({kPrefix + QStringLiteral("*") + kSuffix},
                                               QDir::Files, QDir::Name | QDir::Reversed);
    return names;
}

// Whether a running program holds the journal: its lock cannot be taken. A lock left by a
// process that ended, however it ended, is stale and taken.
bool Held(const QString& journalPath) {
    QLockFile lock(journalPath + kLockSuffix);
    if (!lock.tryLock(0)) {
        return true;
    }
    lock.unlock();
    return false;
}

}  // namespace

QString JournalFolder() {
    const QString location = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return location.isEmpty() ? QString() : location + QStringLiteral("/会话记录");
}

QString JournalFileName(const QDateTime& start, qint64 processId) {
    // The time as the caller gives it, the wall clock for the program: the name a user sees
    // matches the hour the session started.
    return kPrefix + start.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QStringLiteral("-") +
           QString::number(processId) + kSuffix;
}

JournalFile::JournalFile(QString folder, QString fileName, std::string header)
    : folder_(std::move(folder)), fileName_(std::move(fileName)), header_(std::move(header)) {}

JournalFile::~JournalFile() = default;

QString JournalFile::Path() const {
    return QDir(folder_).filePath(fileName_);
}

bool JournalFile::Fail(const QString& reason) {
    error_ = reason;
    return false;
}

bool JournalFile::Sync() {
    errno = 0;
    if (!DataSync(*file_)) {
        return Fail(ReasonOf(LastError(), kWriteFailedText));
    }
    return true;
}

namespace {

// The reason of a write that took fewer bytes than it was given.
QString ShortWriteReason(const QFile& file, qint64 written) {
    return written >= 0 || file.error() == QFileDevice::ResourceError
               ? QString::fromUtf16(kNoSpaceText)
               : ReasonOf(LastError(), kWriteFailedText);
}

}  // namespace

bool JournalFile::Prepare() {
    if (folder_.isEmpty()) {
        return Fail(QStringLiteral("系统没有给出程序的数据文件夹"));
    }
    errno = 0;
    if (!QDir().mkpath(folder_)) {
        return Fail(ReasonOf(LastError(), kCannotCreateText));
    }
    RemoveOldJournals(folder_, kKeptJournals - 1);
    return true;
}

bool JournalFile::Open() {
    if (!Prepare()) {
        return false;
    }
    file_ = std::make_unique<QFile>(Path());
    errno = 0;
    // Unbuffered: a disk that fills up shows in write() as a short count. Never another
    // journal's file, even one of the same name.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::NewOnly |
                     QIODevice::Unbuffered)) {
        const QString reason = ReasonOf(LastError(), kCannotCreateText);
        file_.reset();
        return Fail(reason);
    }
    errno = 0;
    const qint64 written = file_->write(header_.data(), static_cast<qint64>(header_.size()));
    if (written != static_cast<qint64>(header_.size())) {
        const QString reason = ShortWriteReason(*file_, written);
        file_->remove();
        file_.reset();
        return Fail(reason);
    }
    headerEnd_ = written;
    errno = 0;
    if (!SyncFolder(folder_)) {
        const QString reason = ReasonOf(LastError(), kWriteFailedText);
        file_->remove();
        file_.reset();
        return Fail(reason);
    }
    // The file is made first, so that its own failure names the reason; a second program
    // that looks before the lock is taken finds a journal without rows, and asks nothing.
    lock_ = std::make_unique<QLockFile>(Path() + kLockSuffix);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        file_->remove();
        file_.reset();
        return Fail(QString::fromUtf16(kCannotCreateText));
    }
    return Sync();
}

bool JournalFile::Append(const std::vector<std::string>& rows) {
    if (!file_ && !Open()) {
        return false;
    }
    std::string bytes;
    std::vector<qint64> ends;
    qint64 end = rowEnds_.empty() ? headerEnd_ : rowEnds_.back();
    for (const std::string& row : rows) {
        bytes += row;
        end += static_cast<qint64>(row.size());
        ends.push_back(end);
    }
    errno = 0;
    const qint64 written = file_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size())) {
        const QString reason = ShortWriteReason(*file_, written);
        // A row cut off by a full disk must not run into the next one.
        file_->resize(rowEnds_.empty() ? headerEnd_ : rowEnds_.back());
        return Fail(reason);
    }
    rowEnds_.insert(rowEnds_.end(), ends.begin(), ends.end());
    return Sync();
}

bool JournalFile::KeepRows(std::size_t rows) {
    if (!file_) {
        return rows == 0 || Open();
    }
    rows = std::min(rows, rowEnds_.size());
    const qint64 end = rows == 0 ? headerEnd_ : rowEnds_[rows - 1];
    errno = 0;
    if (!file_->resize(end)) {
        return Fail(ReasonOf(LastError(), kWriteFailedText));
    }
    rowEnds_.resize(rows);
    return Sync();
}

bool JournalFile::Replace(const std::vector<std::string>& rows) {
    if (!file_ && !Open()) {
        return false;
    }
    std::string bytes = header_;
    std::vector<qint64> ends;
    for (const std::string& row : rows) {
        bytes += row;
        ends.push_back(static_cast<qint64>(bytes.size()));
    }
    // Closed first: Windows does not rename over a file that is open.
    file_->close();
    QSaveFile replacement(Path());
    const bool written = replacement.open(QIODevice::WriteOnly) &&
                         replacement.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                             static_cast<qint64>(bytes.size()) &&
                         replacement.commit();
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return Fail(QString::fromUtf16(kWriteFailedText));
    }
    if (!written) {
        return Fail(QString::fromUtf16(kWriteFailedText));
    }
    headerEnd_ = static_cast<qint64>(header_.size());
    rowEnds_ = std::move(ends);
    return true;
}

bool JournalFile::WriteState(const std::string& state) {
    if (!file_ && !Open()) {
        return false;
    }
    if (!WriteJournalState(Path(),
                           QByteArray(state.data(), static_cast<qsizetype>(state.size())))) {
        return Fail(QString::fromUtf16(kWriteFailedText));
    }
    return true;
}

bool JournalFile::Publish(const std::vector<std::string>& rows, const std::string& state) {
    if (file_) {
        return Fail(QString::fromUtf16(kWriteFailedText));  // only a journal not yet begun
    }
    if (!Prepare()) {
        return false;
    }
    // Taken first: until the rows are in, no other program is to take the name.
    lock_ = std::make_unique<QLockFile>(Path() + kLockSuffix);
    if (!lock_->tryLock(0) || QFile::exists(Path())) {
        lock_.reset();
        return Fail(QString::fromUtf16(kCannotCreateText));
    }
    // The state alone is no journal: a reader lists the journals, never their states.
    if (!WriteJournalState(Path(),
                           QByteArray(state.data(), static_cast<qsizetype>(state.size())))) {
        lock_.reset();
        return Fail(QString::fromUtf16(kWriteFailedText));
    }
    std::string bytes = header_;
    std::vector<qint64> ends;
    for (const std::string& row : rows) {
        bytes += row;
        ends.push_back(static_cast<qint64>(bytes.size()));
    }
    const QString part = Path() + kPartSuffix;
    auto whole = std::make_unique<QFile>(part);
    errno = 0;
    if (!whole->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const QString reason = ReasonOf(LastError(), kCannotCreateText);
        QFile::remove(Path() + kStateSuffix);
        lock_.reset();
        return Fail(reason);
    }
    errno = 0;
    const qint64 written = whole->write(bytes.data(), static_cast<qint64>(bytes.size()));
    QString reason;
    if (written != static_cast<qint64>(bytes.size())) {
        reason = ShortWriteReason(*whole, written);
    } else if (errno = 0; !DataSync(*whole)) {
        reason = ReasonOf(LastError(), kWriteFailedText);
    } else if (whole->close(); !QFile::rename(part, Path())) {
        reason = QString::fromUtf16(kWriteFailedText);
    } else if (errno = 0; !SyncFolder(folder_)) {
        // The name may be lost yet: the journal asked about is not to be marked as answered.
        return Fail(ReasonOf(LastError(), kWriteFailedText));
    }
    if (!reason.isEmpty()) {
        whole->close();
        QFile::remove(part);
        QFile::remove(Path() + kStateSuffix);
        lock_.reset();
        return Fail(reason);
    }
    // Later rows go on at its end, as in a journal begun by Append; a file that does not open
    // again fails them, and is never begun a second time.
    whole->setFileName(Path());
    file_ = std::move(whole);
    headerEnd_ = static_cast<qint64>(header_.size());
    rowEnds_ = std::move(ends);
    errno = 0;
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return Fail(ReasonOf(LastError(), kWriteFailedText));
    }
    return true;
}

bool WriteJournalState(const QString& journalPath, const QByteArray& state) {
    // QSaveFile syncs the new file before it takes the old one's place.
    QSaveFile file(journalPath + kStateSuffix);
    return file.open(QIODevice::WriteOnly) && file.write(state) == state.size() && file.commit();
}

std::optional<EarlierJournal> NewestEarlierJournal(const QString& folder,
                                                   const QString& ownFileName) {
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    for (const QString& name : JournalNames(folder)) {
        if (name == ownFileName) {
            continue;
        }
        const QString path = QDir(folder).filePath(name);
        if (Held(path)) {
            continue;  // another program's session, still running
        }
        std::optional<QByteArray> bytes = ReadWholeFile(path);
        if (!bytes) {
            return std::nullopt;
        }
        return EarlierJournal{path, std::move(*bytes), ReadWholeFile(path + kStateSuffix)};
    }
    return std::nullopt;
}

FolderJournals::FolderJournals(QString folder) : folder_(std::move(folder)) {}

FolderJournals::~FolderJournals() = default;

void FolderJournals::Begin(const session::JournalTime& start, std::int64_t processId,
                           const std::string& header) {
    previous_ = std::move(file_);
    file_ = std::make_unique<JournalFile>(
        folder_,
        JournalFileName(QDateTime::fromMSecsSinceEpoch(start.msecsSinceEpoch, Qt::UTC)
                            .toOffsetFromUtc(start.offsetFromUtc),
                        processId),
        header);
}

bool FolderJournals::Append(const std::vector<std::string>& rows) {
    return file_->Append(rows);
}

bool FolderJournals::KeepRows(std::size_t rows) {
    return file_->KeepRows(rows);
}

bool FolderJournals::Replace(const std::vector<std::string>& rows) {
    return file_->Replace(rows);
}

bool FolderJournals::WriteState(const std::string& state) {
    return file_->WriteState(state);
}

bool FolderJournals::Publish(const std::vector<std::string>& rows, const std::string& state) {
    return file_->Publish(rows, state);
}

std::size_t FolderJournals::Rows() const {
    return file_->Rows();
}

std::u16string FolderJournals::Error() const {
    return file_->Error().toStdU16String();
}

std::u16string FolderJournals::Place() const {
    return QDir::toNativeSeparators(folder_).toStdU16String();
}

std::optional<session::JournalStore::Earlier> FolderJournals::NewestEarlier() const {
    std::optional<EarlierJournal> journal =
        NewestEarlierJournal(folder_, QFileInfo(file_->Path()).fileName());
    if (!journal) {
        return std::nullopt;
    }
    Earlier earlier{journal->path.toStdString(), journal->bytes.toStdString(), std::nullopt};
    if (journal->state) {
        earlier.state = journal->state->toStdString();
    }
    return earlier;
}

bool FolderJournals::WriteStateOf(const std::string& id, const std::string& state) {
    return WriteJournalState(QString::fromStdString(id),
                             QByteArray(state.data(), static_cast<qsizetype>(state.size())));
}

std::string FolderJournals::OwnId() const {
    return file_->Path().toStdString();
}

session::JournalTime JournalTimeOf(const QDateTime& time) {
    return {time.toMSecsSinceEpoch(), time.offsetFromUtc()};
}

void RemoveOldJournals(const QString& folder, int keep) {
    // What a publish cut short by the end of its process left: rows no reader takes for a
    // journal, and the state written before them.
    const QDir dir(folder);
    for (const QString& part :
         dir.entryList({kPrefix + QStringLiteral("*") + kSuffix + kPartSuffix}, QDir::Files)) {
        const QString path = dir.filePath(part.chopped(kPartSuffix.size()));
        if (!Held(path)) {
            QFile::remove(dir.filePath(part));
            if (!QFile::exists(path)) {
                QFile::remove(path + kStateSuffix);
            }
        }
    }
    const QStringList names = JournalNames(folder);
    for (qsizetype i = std::max(keep, 0); i < names.size(); ++i) {
        const QString path = QDir(folder).filePath(names[i]);
        if (Held(path)) {
            continue;
        }
        QFile::remove(path + kStateSuffix);
        QFile::remove(path);
    }
}

}  // namespace pile::io
