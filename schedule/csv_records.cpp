#include "schedule/csv_records.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pile::schedule {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

}  // namespace

RecordReader::RecordReader(ByteSource source, ReaderLimits limits)
    : source_(std::move(source)), limits_(limits), buffer_(kChunk) {}

// Keeps the bytes not yet consumed and reads more behind them.
bool RecordReader::Fill() {
    if (stop_ != ReadStop::None) {
        return false;
    }
    if (pos_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == buffer_.size()) {
        return true;
    }
    const long long got = source_(buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0) {
        stop_ = ReadStop::ReadError;
        return false;
    }
    if (got == 0) {
        stop_ = ReadStop::EndOfFile;
        return false;
    }
    const auto count = std::min(static_cast<std::size_t>(got), buffer_.size() - end_);
    total_ += count;
    if (total_ > limits_.maxFileBytes) {
        stop_ = ReadStop::FileTooLarge;
        return false;
    }
    end_ += count;
    return true;
}

int RecordReader::Peek() {
    while (pos_ == end_) {
        if (!Fill()) {
            return -1;
        }
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool RecordReader::Next(std::string_view separators, RawRecord& record) {
    if (!started_) {
        started_ = true;
        // A byte-order mark needs its first bytes together, whatever the reads return.
        while (end_ - pos_ < 3 && Fill()) {
        }
        const auto* b = reinterpret_cast<const unsigned char*>(buffer_.data() + pos_);
        const std::size_t have = end_ - pos_;
        if (have >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
            bom_ = ByteOrderMark::Utf8;
            pos_ += 3;
        } else if (have >= 2 &&
                   ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
            bom_ = ByteOrderMark::Utf16;
        }
        if (stop_ == ReadStop::EndOfFile && pos_ < end_) {
            stop_ = ReadStop::None;  // the last bytes are still to be read
        }
    }
    if (Peek() < 0) {
        return false;
    }
    record.line = line_;
    record.bytes.clear();
    record.status = RecordStatus::Ok;
    State state = State::FieldStart;
    for (;;) {
        const int c = Peek();
        if (c < 0) {
            if (stop_ != ReadStop::EndOfFile) {
                return false;  // too large or unreadable: the whole file is refused
            }
            if (state == State::Quoted && record.status == RecordStatus::Ok) {
                record.status = RecordStatus::UnclosedQuote;
            }
            // A line break just before the end opens no line of its own.
            const bool brokeLast = !record.bytes.empty() &&
                                   (record.bytes.back() == '\n' || record.bytes.back() == '\r');
            record.lastLine = brokeLast ? line_ - 1 : line_;
            return true;
        }
        Advance();
        const bool lineBreak = c == '\n' || c == '\r';
        if (lineBreak) {
            // CR LF is one break; a CR alone is one too.
            const bool crLf = c == '\r' && Peek() == '\n';
            const bool ends = state != State::Quoted || record.status == RecordStatus::TooLong;
            if (ends) {
                if (crLf) {
                    Advance();
                }
                record.lastLine = line_++;
                return true;
            }
            if (!crLf) {
                ++line_;
            }
        }
        if (record.status == RecordStatus::TooLong) {
            continue;  // skipping to the next line break, quotes no longer counted
        }
        if (record.bytes.size() == limits_.maxRecordBytes) {
            record.status = RecordStatus::TooLong;
            std::string().swap(record.bytes);
            continue;
        }
        record.bytes.push_back(static_cast<char>(c));
        const bool separator = separators.find(static_cast<char>(c)) != std::string_view::npos;
        switch (state) {
            case State::FieldStart:
                state = c == '"' ? State::Quoted : separator ? State::FieldStart : State::Unquoted;
                break;
            case State::Unquoted:
                if (separator) {
                    state = State::FieldStart;
                }
                break;
            case State::Quoted:
                if (c == '"') {
                    state = State::QuoteInQuoted;
                }
                break;
            case State::QuoteInQuoted:
                state = c == '"' ? State::Quoted : separator ? State::FieldStart : State::Unquoted;
                break;
        }
    }
}

bool SplitFields(std::string_view record, char separator, std::size_t maxFields,
                 std::vector<std::string>& fields) {
    fields.clear();
    fields.emplace_back();
    State state = State::FieldStart;
    for (const char c : record) {
        switch (state) {
            case State::FieldStart:
                if (c == '"') {
                    state = State::Quoted;
                    continue;
                }
                state = State::Unquoted;
                break;
            case State::Unquoted:
                break;
            case State::Quoted:
                if (c == '"') {
                    state = State::QuoteInQuoted;
                } else {
                    fields.back().push_back(c);
                }
                continue;
            case State::QuoteInQuoted:
                if (c == '"') {
                    fields.back().push_back('"');
                    state = State::Quoted;
                    continue;
                }
                state = State::Unquoted;  // text after the closing quote joins the field
                break;
        }
        if (c == separator) {
            if (fields.size() == maxFields) {
                return false;
            }
            fields.emplace_back();
            state = State::FieldStart;
        } else {
            fields.back().push_back(c);
        }
    }
    return true;
}

std::u16string QuotedField(std::u16string_view text) {
    std::u16string quoted = u"\"";
    for (const char16_t c : text) {
        if (c == u'"') {
            quoted.push_back(u'"');
        }
        quoted.push_back(c);
    }
    quoted.push_back(u'"');
    return quoted;
}

}  // namespace pile::schedule
