// Records of a CSV file as Excel writes them, read as a stream with fixed limits, so that no
// file (binary data, a line of a gigabyte, quotes that never close) can exhaust the memory.
//
// A record ends at CR LF, LF or CR outside quotes; a field that starts with a quote runs to the
// closing quote, line breaks and separators included, and "" inside it is one quote. Text after
// a closing quote belongs to the same field, as Excel reads it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/schedule_limits.h"

namespace pile::schedule {

struct ReaderLimits {
    std::size_t maxRecordBytes = kMaxRowBytes;
    std::size_t maxFileBytes = kMaxFileBytes;
    std::size_t maxFields = kMaxHeaderColumns;
    std::size_t maxRows = kMaxScheduleRows;
};

// Reads up to `capacity` bytes into `buffer`: the count, 0 at the end, -1 on a read error.
using ByteSource = std::function<long long(char* buffer, std::size_t capacity)>;

enum class RecordStatus {
    Ok,
    TooLong,        // longer than maxRecordBytes: skipped to the next line break
    UnclosedQuote,  // the file ended inside a quoted field
};

struct RawRecord {
    std::size_t line = 0;      // where the record starts, counted from 1
    std::size_t lastLine = 0;  // where it ends: later than `line` after quoted line breaks
    std::string bytes;         // the record as it stands, quotes included, without its line end
    RecordStatus status = RecordStatus::Ok;
};

enum class ReadStop { None, EndOfFile, FileTooLarge, ReadError };

enum class ByteOrderMark { None, Utf8, Utf16 };

class RecordReader {
  public:
    RecordReader(ByteSource source, ReaderLimits limits);

    // The next record; false at the end of the file or when reading stopped (see Stop()).
    // `separators` are the bytes after which a quote opens a field.
    bool Next(std::string_view separators, RawRecord& record);

    ReadStop Stop() const { return stop_; }
    // Seen at the start of the file; a UTF-8 mark is skipped, a UTF-16 one is left in place.
    ByteOrderMark Bom() const { return bom_; }
    const ReaderLimits& Limits() const { return limits_; }

  private:
    bool Fill();
    int Peek();
    void Advance() { ++pos_; }

    ByteSource source_;
    ReaderLimits limits_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t total_ = 0;
    std::size_t line_ = 1;
    bool started_ = false;
    ReadStop stop_ = ReadStop::None;
    ByteOrderMark bom_ = ByteOrderMark::None;
};

// Splits one record into its fields with `separator`, removing the quotes. False when the
// record has more than `maxFields` fields (the fields read so far are kept).
bool SplitFields(std::string_view record, char separator, std::size_t maxFields,
                 std::vector<std::string>& fields);

// `text` in quotes, each quote in it doubled: a field that SplitFields reads back as `text`.
std::u16string QuotedField(std::u16string_view text);

}  // namespace pile::schedule
