// What one schedule may hold, whatever file it comes in. The CSV and workbook readers take
// their limits from here, and pile_batch's usage states them from here, so that the numbers a
// user reads are the numbers the readers keep.
#pragma once

#include <cstddef>
#include <string>

namespace pile::schedule {

inline constexpr std::size_t kMaxScheduleRows = 20000;     // piles, blank rows not counted
inline constexpr std::size_t kMaxHeaderColumns = 1024;     // columns of the header
inline constexpr std::size_t kMaxRowBytes = 64 * 1024;     // a row has a few hundred bytes
inline constexpr std::size_t kMaxFileBytes = 64ull << 20;  // the rows fit many times over
// A workbook counts every row with content: the title, the project lines, the header and the
// notes under the table besides the piles.
inline constexpr std::size_t kMaxWorkbookRows = kMaxScheduleRows + 1000;

// "64 KB", "64 MB": a size in the unit the usage writes it in.
inline std::string SizeText(std::size_t bytes) {
    return bytes >= (std::size_t{1} << 20) ? std::to_string(bytes >> 20) + " MB"
                                           : std::to_string(bytes >> 10) + " KB";
}

}  // namespace pile::schedule
