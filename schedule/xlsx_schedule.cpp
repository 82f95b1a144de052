#include "schedule/xlsx_schedule.h"

#include <algorithm>
#include <cstring>

#include "engine/utf_text.h"

namespace pile::schedule {
namespace {

// The row as one CSV record of `width` fields, every field quoted.
std::string RecordBytes(const SheetRow& row, std::uint32_t width) {
    std::string bytes;
    auto cell = row.cells.begin();
    for (std::uint32_t column = 1; column <= width; ++column) {
        if (column > 1) {
            bytes.push_back(',');
        }
        bytes.push_back('"');
        while (cell != row.cells.end() && cell->column < column) {
            ++cell;
        }
        if (cell != row.cells.end() && cell->column == column) {
            for (const char c : cell->text) {
                bytes.append(c == '"' ? 2 : 1, c);
            }
        }
        bytes.push_back('"');
    }
    return bytes;
}

// A formula Excel never calculated (a workbook written by a program) has no value to read:
// the cell it stands in.
std::optional<std::u16string> Uncalculated(const SheetRow& row, const ScheduleHeader& header) {
    for (const SheetCell& cell : row.cells) {
        if (!cell.formulaWithoutValue) {
            continue;
        }
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            if (header.field[i] && *header.field[i] + 1 == cell.column) {
                return CellName(header, static_cast<Column>(i), row.number, {});
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::variant<Schedule, std::u16string> ScheduleFromWorksheet(const Worksheet& sheet,
                                                             const ReaderLimits& limits,
                                                             const ReadProgress& progress) {
    const std::u16string name = Utf8ToUtf16(sheet.name);
    if (sheet.rows.empty()) {
        return u"工作表「" + name + u"」是空的";
    }
    Schedule schedule;
    std::size_t first = 0;
    bool found = false;
    HeaderSearch search;
    constexpr std::size_t kProgressRows = 4096;
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        if (progress && i % kProgressRows == kProgressRows - 1 && !progress(i, sheet.rows.size())) {
            return std::u16string(kReadingStopped);
        }
        const SheetRow& row = sheet.rows[i];
        // A row that would make a CSV file no schedule (a cell far to the right) is only one
        // row of a sheet: the search goes on below it.
        const HeaderSearch::Offered offered = search.Offer(
            row.number, RecordBytes(row, row.cells.back().column), true, limits.maxFields);
        if (offered == HeaderSearch::Offered::Header) {
            schedule.header = search.Header();
            first = i + 1;
            found = true;
            break;
        }
    }
    if (!found) {
        return u"工作表「" + name + u"」" + search.Why();
    }

    TextDecoder decoder(TextEncoding::Utf8);
    for (std::size_t i = 0; i + 1 < first && i < kMaxTitleLines; ++i) {
        const SheetRow& row = sheet.rows[i];
        for (TitleField& field :
             TitleFieldsOf(row.number, RecordBytes(row, row.cells.back().column), ',', decoder)) {
            schedule.titleFields.push_back(std::move(field));
        }
    }
    const auto width = static_cast<std::uint32_t>(schedule.header.fieldCount);
    for (std::size_t i = first; i < sheet.rows.size(); ++i) {
        const SheetRow& row = sheet.rows[i];
        const RawRecord record{row.number, row.number, RecordBytes(row, width), RecordStatus::Ok};
        RowReading reading = ReadRow(record, schedule.header, decoder);
        if (reading.endOfTable) {
            break;
        }
        const std::optional<std::u16string> uncalculated = Uncalculated(row, schedule.header);
        if (reading.blank && !uncalculated) {
            continue;
        }
        if (uncalculated) {
            reading.skipped = false;
            reading.cell = *uncalculated;
            reading.result = std::u16string(u"公式没有计算结果，请在 Excel 中保存一次");
        }
        if (schedule.entries.size() == limits.maxRows) {
            return TooManyRowsText(limits.maxRows);
        }
        schedule.entries.push_back({row.number,
                                    std::move(reading.pileLabel),
                                    std::move(reading.result),
                                    std::move(reading.cell),
                                    reading.skipped,
                                    {}});
    }
    return schedule;
}

std::variant<Schedule, std::u16string> ReadScheduleFile(const ByteSource& source,
                                                        std::string_view sheet,
                                                        const ReaderLimits& limits,
                                                        const WorkbookLimits& workbookLimits,
                                                        const ReadProgress& progress) {
    std::string start;
    const std::u16string readError(kReadErrorText);
    while (start.size() < 8) {
        char buffer[8];
        const long long got = source(buffer, sizeof buffer - start.size());
        if (got < 0) {
            return readError;
        }
        if (got == 0) {
            break;
        }
        start.append(buffer, static_cast<std::size_t>(got));
    }
    if (KindOf(start) == FileKind::Text) {
        if (!sheet.empty()) {
            return std::u16string(u"只有 Excel 工作簿才有工作表，这个文件不是工作簿");
        }
        ByteSource replay = [&source, &start, offset = std::size_t{0}](
                                char* buffer, std::size_t capacity) mutable -> long long {
            if (offset < start.size()) {
                const std::size_t count = std::min(capacity, start.size() - offset);
                std::memcpy(buffer, start.data() + offset, count);
                offset += count;
                return static_cast<long long>(count);
            }
            return source(buffer, capacity);
        };
        return ReadSchedule(replay, limits);
    }
    std::string file = std::move(start);
    for (;;) {
        const std::size_t size = file.size();
        if (size > workbookLimits.maxFileBytes) {
            return FileTooBigText(workbookLimits.maxFileBytes);
        }
        file.resize(size + (1 << 20));
        const long long got = source(file.data() + size, 1 << 20);
        if (got < 0) {
            return readError;
        }
        file.resize(size + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
    }
    auto worksheet = ReadWorksheet(file, sheet, workbookLimits, progress);
    if (auto* why = std::get_if<std::u16string>(&worksheet)) {
        return std::move(*why);
    }
    return ScheduleFromWorksheet(std::get<Worksheet>(worksheet), limits, progress);
}

}  // namespace pile::schedule
