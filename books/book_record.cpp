#include "books/book_record.h"

#include <charconv>

namespace pile {

std::u16string PileNumberText(int pileNumber) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, pileNumber).ptr;
    std::u16string text = u"ZH";
    text.append(digits, end);
    return text;
}

}  // namespace pile
