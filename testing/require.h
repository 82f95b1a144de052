// The fuzz targets' check: a violated property ends the run with the condition on standard
// error, which libFuzzer reports as a crash with its input.
#pragma once

#define PILE_REQUIRE(condition) ::pile::test::RequireImpl((condition), #condition)

namespace pile::test {

void RequireImpl(bool condition, const char* what);

}  // namespace pile::test
