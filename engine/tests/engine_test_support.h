// Small helpers shared by the engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/fixed_text.h"
#include "engine/utf_text.h"

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

// Names each row of a TEST_P table by its `name` member.
struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

// Prints a row by its name, so that test listings (and CTest) show the row's name, not its
// bytes. Brought into each test file's namespace with `using pile::test::PrintTo;`.
template <class Row>
requires requires(const Row& row) {
    { row.name } -> std::convertible_to<const char*>;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

}  // namespace pile::test
