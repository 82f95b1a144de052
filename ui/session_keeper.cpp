#include "ui/session_keeper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

namespace pile::ui {

SessionKeeper::SessionKeeper(QString folder) : folder_(std::move(folder)), file_(NewFile()) {}

std::unique_ptr<io::JournalFile> SessionKeeper::NewFile() {
    QDateTime start = QDateTime::currentDateTime();
    if (lastStart_.isValid() && start <= lastStart_) {
        start = lastStart_.addMSecs(1);
    }
    lastStart_ = start;
    return std::make_unique<io::JournalFile>(
        folder_, io::JournalFileName(start, QCoreApplication::applicationPid()),
        session::JournalHeader());
}

void SessionKeeper::StartAfresh() {
    if (file_->Rows() > 0 && !failed_) {
        session::JournalState state;
        state.rows = file_->Rows();
        state.answered = true;
        file_->WriteState(session::StateText(state));
    }
    file_ = NewFile();
    failed_ = false;
}

std::optional<QString> SessionKeeper::Checked(bool written) {
    if (written) {
        return std::nullopt;
    }
    failed_ = true;
    if (std::exchange(warned_, true)) {
        return std::nullopt;
    }
    return QStringLiteral(
               "本次会话未能记录（%1: %2）。计算照常进行，但程序意外结束时，"
               "未保存的计算结果无法恢复。")
        .arg(file_->Error(), QDir::toNativeSeparators(folder_));
}

std::optional<QString> SessionKeeper::Recorded(const session::PanelSession& session,
                                               std::size_t before) {
    // A journal that missed a row would rebuild other books: once a write failed, it stops.
    if (failed_) {
        return std::nullopt;
    }
    std::vector<std::string> rows;
    const auto& records = session.Records();
    for (std::size_t i = before; i < records.size(); ++i) {
        rows.push_back(session::JournalRow(records[i]));
    }
    return Checked(rows.empty() || file_->Append(rows));
}

std::optional<QString> SessionKeeper::Restored(const session::PanelSession& session,
                                               const Offer& offer) {
    file_ = NewFile();
    failed_ = false;
    std::vector<std::string> rows;
    for (const session::RecordInputs& record : session.Records()) {
        rows.push_back(session::JournalRow(record));
    }
    // Not written: the earlier journal still offers the records at the next start.
    if (!file_->Publish(rows, session::StateText(session::StateOf(session)))) {
        return Checked(false);
    }
    Answered(offer);
    return std::nullopt;
}

std::optional<QString> SessionKeeper::Replaced(const session::PanelSession& session) {
    if (failed_) {
        return std::nullopt;
    }
    std::vector<std::string> rows;
    rows.reserve(session.Records().size());
    for (const session::RecordInputs& record : session.Records()) {
        rows.push_back(session::JournalRow(record));
    }
    if (!file_->Replace(rows)) {
        return Checked(false);
    }
    return Changed(session);
}

std::optional<QString> SessionKeeper::Changed(const session::PanelSession& session) {
    bool written = file_->KeepRows(session.Records().size());
    session::JournalState state = session::StateOf(session);
    // After a failed write the file holds fewer rows than the books: it says so.
    state.rows = file_->Rows();
    written = file_->WriteState(session::StateText(state)) && written;
    return Checked(written);
}

std::optional<SessionKeeper::Offer> SessionKeeper::Unsaved() const {
    std::optional<io::EarlierJournal> journal =
        io::NewestEarlierJournal(folder_, QFileInfo(file_->Path()).fileName());
    if (!journal) {
        return std::nullopt;
    }
    std::optional<session::JournalState> state;
    if (journal->state) {
        state = session::ReadState(std::string_view(
            journal->state->constData(), static_cast<std::size_t>(journal->state->size())));
    }
    Offer offer{
        journal->path,
        session::ReadJournal(std::string_view(journal->bytes.constData(),
                                              static_cast<std::size_t>(journal->bytes.size())),
                             state)};
    if (offer.recovery.answered || offer.recovery.unsavedFlags == 0 ||
        offer.recovery.records.empty()) {
        return std::nullopt;
    }
    return offer;
}

void SessionKeeper::Answered(const Offer& offer) {
    // The rows stay as they are among the kept journals; only the state learns the answer.
    session::JournalState state;
    state.rows = offer.recovery.records.size() + offer.recovery.skipped;
    state.unsavedFlags = offer.recovery.unsavedFlags;
    state.answered = true;
    state.timeSource = offer.recovery.timeSource;
    state.savedText = offer.recovery.savedText;
    state.savedTable = offer.recovery.savedTable;
    const std::string text = session::StateText(state);
    io::WriteJournalState(offer.path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace pile::ui
