// Fixed-width text columns for a monospaced font in which a Chinese character takes two
// columns: a UTF-16 code unit from U+1000 to U+9FA5 counts two columns, every other one.
#pragma once

#include <string>
#include <string_view>

namespace pile {

// Wide code units up to the end of the text or its first U+0000.
int WideCharCount(std::u16string_view text);

// Pad `text` with whole copies of `fill` up to `width` display columns; never shortens a text.
std::u16string PadRight(std::u16string_view text, std::u16string_view fill, int width);
std::u16string PadLeft(std::u16string_view text, std::u16string_view fill, int width);
// With an odd number of fills missing, the left side gets the extra one.
std::u16string PadCenter(std::u16string_view text, std::u16string_view fill, int width);
// `count` blanks; empty for a count of 0 or less.
std::u16string Spaces(int count);

}  // namespace pile
