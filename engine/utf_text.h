// UTF-8 <-> UTF-16 for the drivers, the schedule reader and the tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pile {

// A byte that starts no well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// The same for text that must be well-formed: nullopt at the first ill-formed sequence.
std::optional<std::u16string> StrictUtf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace pile
