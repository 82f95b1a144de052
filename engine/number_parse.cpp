#include "number_parse.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace pile {
namespace {

// A number that matched the grammar, spelled in the ASCII that std::from_chars reads (it
// ignores the C locale, so a comma locale cannot change what it reads). from_chars refuses a
// leading '+', so the plus sign is dropped here.
struct ScannedNumber {
    std::string ascii;
    // The decimal exponent of the first nonzero digit (0 for 1.5, 2 for 250, -3 for 0.004),
    // saturated. Only its sign is used: from_chars reports overflow and underflow alike as
    // result_out_of_range, and this tells them apart.
    std::int64_t magnitude = 0;
};

struct Grammar {
    bool blanksAround;               // blanks before and after the number are skipped
    bool digitsOptionalAroundPoint;  // ".5" and "5." are numbers
    char16_t separator;              // accepted as the decimal point, besides '.'
};

constexpr std::int64_t kExponentLimit = 1'000'000'000'000'000;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Linear in the length of the text; non-ASCII code units (U+0000 and lone surrogates
// included) never match and simply make the text not a number.
std::optional<ScannedNumber> Scan(std::u16string_view text, const Grammar& grammar) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (grammar.blanksAround) {
        while (i < n && text[i] == u' ') {
            ++i;
        }
    }
    ScannedNumber out;
    out.ascii.reserve(n - i);
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') {
            out.ascii.push_back('-');
        }
        ++i;
    }

    // Position of the first nonzero digit, counted as the decimal exponent it stands for.
    bool seenNonzero = false;
    std::int64_t integerDigitsAfterLead = 0;
    std::int64_t leadingFractionZeros = 0;

    std::size_t integerDigits = 0;
    while (i < n && IsDigit(text[i])) {
        if (text[i] != u'0') {
            seenNonzero = true;
        }
        if (seenNonzero) {
            ++integerDigitsAfterLead;
        }
        out.ascii.push_back(static_cast<char>(text[i]));
        ++i;
        ++integerDigits;
    }
    std::size_t fractionDigits = 0;
    if (i < n && (text[i] == u'.' || text[i] == grammar.separator)) {
        ++i;
        out.ascii.push_back('.');
        while (i < n && IsDigit(text[i])) {
            if (!seenNonzero) {
                if (text[i] != u'0') {
                    seenNonzero = true;
                } else {
                    ++leadingFractionZeros;
                }
            }
            out.ascii.push_back(static_cast<char>(text[i]));
            ++i;
            ++fractionDigits;
        }
        const bool pointed = grammar.digitsOptionalAroundPoint
                                 ? integerDigits + fractionDigits > 0
                                 : integerDigits > 0 && fractionDigits > 0;
        if (!pointed) {
            return std::nullopt;
        }
    } else if (integerDigits == 0) {
        return std::nullopt;
    }

    std::int64_t exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        out.ascii.push_back('e');
        bool negative = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            negative = text[i] == u'-';
            if (negative) {
                out.ascii.push_back('-');
            }
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            if (exponent < kExponentLimit) {
                exponent = exponent * 10 + (text[i] - u'0');
            }
            out.ascii.push_back(static_cast<char>(text[i]));
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
        if (negative) {
            exponent = -exponent;
        }
    }

    if (grammar.blanksAround) {
        while (i < n && text[i] == u' ') {
            ++i;
        }
    }
    if (i != n) {
        return std::nullopt;
    }
    const std::int64_t lead =
        integerDigitsAfterLead > 0 ? integerDigitsAfterLead - 1 : -(leadingFractionZeros + 1);
    out.magnitude = lead + exponent;
    return out;
}

enum class Conversion { Value, Overflow };

struct Converted {
    Conversion kind;
    double value;
};

Converted Convert(const ScannedNumber& number) {
    double value = 0;
    const char* first = number.ascii.data();
    const char* last = first + number.ascii.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large is no number.
        return number.magnitude < 0 ? Converted{Conversion::Value, 0.0}
                                    : Converted{Conversion::Overflow, 0.0};
    }
    if (ec != std::errc{} || end != last || !std::isfinite(value)) {
        return {Conversion::Overflow, 0.0};
    }
    // A zero that carries a minus sign is zero: it is never printed with a sign.
    return {Conversion::Value, value + 0.0};
}

}  // namespace

double ParseLocaleFree(std::u16string_view text) {
    const auto scanned = Scan(text, Grammar{true, true, u'.'});
    if (!scanned) {
        return 0.0;
    }
    const Converted converted = Convert(*scanned);
    return converted.kind == Conversion::Value ? converted.value : 0.0;
}

std::optional<double> ParseLocaleNumber(std::u16string_view text, char16_t decimalSeparator) {
    const auto scanned = Scan(text, Grammar{false, false, decimalSeparator});
    if (!scanned) {
        return std::nullopt;
    }
    const Converted converted = Convert(*scanned);
    if (converted.kind != Conversion::Value) {
        return std::nullopt;
    }
    return converted.value;
}

std::optional<SocketDepth> ResolveSocketDepth(std::u16string_view hrText, char16_t letter,
                                              double reference, char16_t decimalSeparator) {
    const std::size_t at = hrText.find(letter);
    const bool isMultiple = at != std::u16string_view::npos;
    // In the multiple form whatever follows the first letter is ignored ("1.5d20" is 1.5 d).
    const auto number =
        ParseLocaleNumber(isMultiple ? hrText.substr(0, at) : hrText, decimalSeparator);
    if (!number || *number < 0) {
        return std::nullopt;
    }
    const double hr = isMultiple ? *number * reference : *number;
    // "1e308d" with d = 1000 overflows: no depth rather than an infinite one.
    if (!std::isfinite(hr) || hr < 0) {
        return std::nullopt;
    }
    return SocketDepth{hr + 0.0, isMultiple};
}

std::u16string BoxNumberText(double value) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value + 0.0,
                                         std::chars_format::general, 15);
    if (ec != std::errc{}) {
        return u"0";
    }
    return std::u16string(buffer.data(), end);
}

}  // namespace pile
