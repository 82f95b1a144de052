// The zip room of the workbook reader: the archive, read by libzip from the file's bytes in
// memory, and its parts inflated one chunk at a time.
//
// The archive is written by anyone and its stated sizes may lie, so the room guards the rest
// of the reader from it: no more entries than the limit, the inflated bytes counted against
// the uncompressed limit as they come (a zip bomb stops there), every part exactly as long as
// the archive says and with its CRC checked at its end, and an encrypted part refused. Part
// names compare without case, as the packaging rules say.
#pragma once

#include <zip.h>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/xlsx_records.h"

namespace pile::schedule::xlsx {

// Said after 请, 或 or 在 … 中: the save-as step itself, once.
inline const std::u16string kSaveAs = u"另存为“Excel 工作簿 (*.xlsx)”或“CSV UTF-8”";

// Part names compare without case.
std::string Folded(std::string_view name);

class Archive {
  public:
    Archive(std::string_view bytes, const WorkbookLimits& limits, const ReadProgress& progress)
        : bytes_(bytes), limits_(limits), progress_(progress) {}
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // The reason when the bytes are no archive to read.
    std::optional<std::u16string> Open();

    bool Has(std::string_view part) const { return entries_.count(Folded(part)) > 0; }

    // Receives a part's bytes as they are inflated, `last` (with no bytes) once at its end
    // after its CRC is checked; the reason stops the reading.
    using Sink = std::function<std::optional<std::u16string>(std::string_view chunk, bool last)>;
    // Inflates the part into `sink`; the reason when it fails.
    std::optional<std::u16string> Read(std::string_view part, const Sink& sink);

  private:
    struct Entry {
        zip_uint64_t index;
        zip_uint64_t size;
        bool encrypted;
    };
    std::string_view bytes_;
    WorkbookLimits limits_;
    static constexpr std::size_t kProgressTick = 256 * 1024;
    zip_t* zip_ = nullptr;
    std::map<std::string, Entry> entries_;
    std::size_t inflated_ = 0;
    const ReadProgress& progress_;
    std::size_t statedTotal_ = 0;  // the parts' stated sizes, within the uncompressed limit
    std::size_t nextTick_ = kProgressTick;
};

}  // namespace pile::schedule::xlsx
