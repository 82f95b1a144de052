// The one fixed-point number format of the program, and the rounding choices for Ra and Rc.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pile {

// Selection index of the precision pop-up.
enum class PrecisionMode { TwoDecimals = 0, OneDecimal = 1, Units = 2, Tens = 3, Hundreds = 4 };

// The pop-up's pick at every start, and a schedule's where it names none.
inline constexpr PrecisionMode kStartPrecision = PrecisionMode::Units;

// The pop-up's items: "两位小数", "一位小数", "个位取整", "十位取整", "百位取整".
std::u16string_view PrecisionModeText(PrecisionMode mode);
// nullopt past the last item.
std::optional<PrecisionMode> PrecisionModeFromIndex(int index);

// At most `significantDigits` (limited to 2..18) significant digits, exactly `decimals`
// decimals, halves away from zero, the user's decimal separator, no sign on zero. The value is
// first written with 18 significant digits, then rounded on that decimal string. Values of
// 10^P or more are written in scientific notation with P significant digits (1.2345E+12).
// A value that is not finite is written "-", never inf or nan; the engine refuses every input
// that would produce one, so this is a last guard only.
std::u16string FixedText(double value, int significantDigits, int decimals,
                         char16_t decimalSeparator);

// Ra and Rc under a precision choice: two decimals, one, units (rounded), tens or hundreds
// (cut down, never rounded up).
std::u16string PrecisionText(double value, PrecisionMode mode, int significantDigits,
                             char16_t decimalSeparator);

}  // namespace pile
