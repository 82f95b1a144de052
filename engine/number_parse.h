// The two number parses of typed values, and the writing of a number back into a box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pile {

// Reads d, c, a, b, frk and fuk. The decimal separator is always the point, whatever the
// user's locale. Grammar: blanks (U+0020), an optional sign, digits with an optional point and
// fraction (".5" and "5." are numbers), an optional exponent (e or E, optional sign, digits),
// then only blanks. Anything else reads as 0: an empty text, a number followed by other
// characters ("12abc", "800mm", "1200,5"), inf, nan, and a number beyond the range of a
// double ("1e400"). A text is thus read whole or refused by the check that follows (every one
// of these values must be greater than 0); it is never read in part. Never fails, never
// returns a non-finite value. A magnitude too small for a double reads as 0.
double ParseLocaleFree(std::u16string_view text);

// Reads the socket depth and the values of the quick checks, in the user's number format.
// The whole text must be: an optional + or -, digits, optionally a decimal separator followed by
// digits, optionally an exponent (e or E, optional sign, digits). The separator is
// `decimalSeparator`, and the point is accepted as well, so that the program's own items such
// as "1.5d" read in every locale. No blanks, no group separators, no inf or nan; a number beyond
// the range of a double fails. A magnitude too small for a double reads as 0.
std::optional<double> ParseLocaleNumber(std::u16string_view text, char16_t decimalSeparator);

struct SocketDepth {
    double hr = 0;            // mm, never negative, never -0
    bool isMultiple = false;  // written as a multiple of the reference
};

// The socket-depth rule. `letter` is u'd' (circle, ellipse) or u'b' (rectangle), lower case
// only. When the letter occurs, the text before its first occurrence is the multiple of
// `reference` and the rest is ignored ("1.5d20" is 1.5 d); otherwise the whole text is
// millimetres. Fails on an unreadable or negative number, and on a depth that is not finite.
std::optional<SocketDepth> ResolveSocketDepth(std::u16string_view hrText, char16_t letter,
                                              double reference, char16_t decimalSeparator);

// A dimension as the rectangle's exchange writes it back into its box: up to 15 significant
// digits, always with the point (the boxes are read with the point): 1000, 1000.5, 1e+20.
std::u16string BoxNumberText(double value);

}  // namespace pile
