// Small helpers shared by the engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/fixed_text.h"
#include "engine/utf_text.h"
#include "testing/row_name.h"

namespace pile::test {

// A number as the program prints it, with the point: comparisons of the worked examples are
// made on this text at the decimals the examples state.
inline std::string Printed(double value, int decimals) {
    return Utf16ToUtf8(FixedText(value, 15, decimals, u'.'));
}

inline std::u16string U16(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}
inline std::string U8(std::u16string_view utf16) {
    return Utf16ToUtf8(utf16);
}

}  // namespace pile::test
