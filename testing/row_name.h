// Table-driven GoogleTest rows named after their `name` member, in test names and in failure
// messages alike:
//
//   struct Row { const char* name; ... };
//   using pile::test::PrintTo;  // in the test file's namespace, beside the row type
//   INSTANTIATE_TEST_SUITE_P(Rows, SomeTest, testing::ValuesIn(kRows), pile::test::RowName{});
#pragma once

#include <concepts>
#include <ostream>
#include <string>

namespace pile::test {

template <class Row>
concept NamedRow = requires(const Row& row) {
    { row.name } -> std::convertible_to<const char*>;
};

// The test-name generator of INSTANTIATE_TEST_SUITE_P.
struct RowName {
    template <class ParamInfo>
    std::string operator()(const ParamInfo& info) const {
        return info.param.name;
    }
};

// Found by GoogleTest's printer through the using-declaration in the row's namespace.
template <NamedRow Row>
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

}  // namespace pile::test
