// What the two books print of one computed pile.
#pragma once

#include <string>
#include <string_view>

#include "engine/fixed_text.h"
#include "engine/pile_calculation.h"

namespace pile {

struct BookRecord {
    const PileInput& input;
    const PileResult& result;
    std::u16string_view ddText;    // cbe_dd as it stands when the record is written
    std::u16string_view tyzdText;  // cbe_tyzd likewise (after a rectangle's exchange)
    PrecisionMode precision;
    int pileNumber;  // PileCounter, already incremented for this record
    char16_t decimalSeparator;
    std::u16string_view calculationTime;  // ends both books
};

// "ZH" and the pile number: the name of a record in both books.
std::u16string PileNumberText(int pileNumber);

}  // namespace pile
