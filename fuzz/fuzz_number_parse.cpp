// Any text, as UTF-16, through the two number parses and the socket-depth rule: nothing may
// crash or hang, and no parse may hand out a number that is not finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/number_parse.h"
#include "testing/require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // First code unit: the decimal separator; the rest: the text.
    const char16_t separator = static_cast<char16_t>(data[0] | (data[1] << 8));
    std::u16string text;
    for (std::size_t i = 2; i + 1 < size; i += 2) {
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }

    PILE_REQUIRE(std::isfinite(pile::ParseLocaleFree(text)));
    if (const auto number = pile::ParseLocaleNumber(text, separator)) {
        PILE_REQUIRE(std::isfinite(*number));
    }
    for (const char16_t letter : {u'd', u'b'}) {
        for (const double reference : {1000.0, 1e-300, 1e300}) {
            if (const auto depth = pile::ResolveSocketDepth(text, letter, reference, separator)) {
                PILE_REQUIRE(std::isfinite(depth->hr) && depth->hr >= 0 &&
                             !std::signbit(depth->hr));
            }
        }
    }
    // What the rectangle's exchange writes back must read back as the same value to 15
    // significant digits.
    const double value = pile::ParseLocaleFree(text);
    const double reread = pile::ParseLocaleFree(pile::BoxNumberText(value));
    PILE_REQUIRE(std::fabs(reread - value) <= std::fabs(value) * 1e-14);
    return 0;
}
