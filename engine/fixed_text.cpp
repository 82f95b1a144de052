#include "fixed_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace pile {
namespace {

constexpr int kStringDigits = 18;

// A non-negative number as 0.digits x 10^exponent; `exponent` is the count of digits before
// the decimal point (0 or negative below 1: 0.05 has exponent -1).
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

// The value with 18 significant digits, rounded to nearest by std::to_chars, which ignores
// the C locale.
DecimalDigits EighteenDigits(double magnitude) {
    DecimalDigits out;
    if (magnitude == 0) {
        out.digits.assign(kStringDigits, '0');
        out.exponent = 1;
        return out;
    }
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                         std::chars_format::scientific, kStringDigits - 1);
    (void)ec;  // 64 characters always hold 18 digits and the exponent
    // Layout: d.ddddddddddddddddde[+-]XXX
    const char* p = buffer.data();
    out.digits.push_back(*p);
    p += 2;  // the digit and the point
    while (*p != 'e') {
        out.digits.push_back(*p++);
    }
    ++p;
    const bool negativeExponent = *p == '-';
    ++p;
    int exponent = 0;
    std::from_chars(p, end, exponent);
    out.exponent = (negativeExponent ? -exponent : exponent) + 1;
    return out;
}

// Keeps `keep` digits and rounds on the first dropped one, halves away from zero; a carry out
// of the first digit makes the string "1" and raises the exponent. Returns false when nothing
// is left (the number rounds to zero).
bool RoundToDigits(DecimalDigits& number, int keep) {
    if (keep < 0) {
        return false;
    }
    const bool roundUp = keep < kStringDigits && number.digits[keep] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && number.digits[i] == '9') {
            number.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++number.digits[i];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.exponent;
        }
    }
    return number.digits.find_first_not_of('0') != std::string::npos;
}

char DigitAt(const DecimalDigits& number, int index) {
    if (index < 0 || index >= static_cast<int>(number.digits.size())) {
        return '0';
    }
    return number.digits[index];
}

// The general format's scientific notation for numbers too wide for the digit limit:
// 1.2345678E+12, trailing zeros of the mantissa dropped.
std::u16string ScientificText(const DecimalDigits& number, char16_t decimalSeparator) {
    std::u16string text(1, static_cast<char16_t>(number.digits[0]));
    const std::size_t last = number.digits.find_last_not_of('0');
    if (last != std::string::npos && last > 0) {
        text.push_back(decimalSeparator);
        for (std::size_t i = 1; i <= last; ++i) {
            text.push_back(static_cast<char16_t>(number.digits[i]));
        }
    }
    text += u"E+";
    const int exponent = number.exponent - 1;
    if (exponent < 10) {
        text.push_back(u'0');
    }
    std::array<char, 16> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), exponent);
    (void)ec;
    text.append(buffer.data(), end);
    return text;
}

}  // namespace

std::u16string FixedText(double value, int significantDigits, int decimals,
                         char16_t decimalSeparator) {
    if (!std::isfinite(value)) {
        return u"-";
    }
    const int limit = std::clamp(significantDigits, 2, kStringDigits);
    const int decimalCount = std::max(decimals, 0);
    const bool negative = value < 0;  // a negative zero is zero: it never gets a sign

    DecimalDigits number = EighteenDigits(std::fabs(value));
    const bool nonZero = RoundToDigits(number, std::min(limit, number.exponent + decimalCount));
    if (!nonZero) {
        number.exponent = 1;
        number.digits.clear();
    }

    std::u16string text;
    if (negative && nonZero) {
        text.push_back(u'-');
    }
    if (number.exponent > limit) {
        return text + ScientificText(number, decimalSeparator);
    }
    if (number.exponent <= 0) {
        text.push_back(u'0');
    } else {
        for (int i = 0; i < number.exponent; ++i) {
            text.push_back(static_cast<char16_t>(DigitAt(number, i)));
        }
    }
    if (decimalCount > 0) {
        text.push_back(decimalSeparator);
        for (int i = 0; i < decimalCount; ++i) {
            text.push_back(static_cast<char16_t>(DigitAt(number, number.exponent + i)));
        }
    }
    return text;
}

std::u16string PrecisionText(double value, PrecisionMode mode, int significantDigits,
                             char16_t decimalSeparator) {
    // Tens and hundreds cut the value down on the floating value itself: divide, truncate
    // toward zero, multiply, in this order.
    switch (mode) {
        case PrecisionMode::TwoDecimals:
            return FixedText(value, significantDigits, 2, decimalSeparator);
        case PrecisionMode::OneDecimal:
            return FixedText(value, significantDigits, 1, decimalSeparator);
        case PrecisionMode::Tens:
            return FixedText(std::trunc(value / 10) * 10, significantDigits, 0, decimalSeparator);
        case PrecisionMode::Hundreds:
            return FixedText(std::trunc(value / 100) * 100, significantDigits, 0, decimalSeparator);
        case PrecisionMode::Units:
            break;
    }
    return FixedText(value, significantDigits, 0, decimalSeparator);
}

std::u16string_view PrecisionModeText(PrecisionMode mode) {
    switch (mode) {
        case PrecisionMode::TwoDecimals:
            return u"两位小数";
        case PrecisionMode::OneDecimal:
            return u"一位小数";
        case PrecisionMode::Units:
            break;
        case PrecisionMode::Tens:
            return u"十位取整";
        case PrecisionMode::Hundreds:
            return u"百位取整";
    }
    return u"个位取整";
}

std::optional<PrecisionMode> PrecisionModeFromIndex(int index) {
    if (index < 0 || index > static_cast<int>(PrecisionMode::Hundreds)) {
        return std::nullopt;
    }
    return static_cast<PrecisionMode>(index);
}

}  // namespace pile
