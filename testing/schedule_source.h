// Byte sources over strings, for the schedule tests.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "schedule/csv_records.h"

namespace pile::schedule::testing {

// Hands out `text` in pieces of at most `piece` bytes, as a slow pipe would.
inline ByteSource SourceOf(std::string text, std::size_t piece = 1 << 20) {
    auto state = std::make_shared<std::pair<std::string, std::size_t>>(std::move(text), 0);
    return [state, piece](char* buffer, std::size_t capacity) -> long long {
        auto& [bytes, pos] = *state;
        const std::size_t count = std::min({capacity, piece, bytes.size() - pos});
        std::memcpy(buffer, bytes.data() + pos, count);
        pos += count;
        return static_cast<long long>(count);
    };
}

inline constexpr char kHeader[] = "桩号,截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,精度\r\n";

}  // namespace pile::schedule::testing
