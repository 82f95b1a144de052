// What the two books print of one computed pile, and the texts both books share.
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
    // The schedule's own mark for the pile (its 桩号); empty: the pile is "ZH" and its number.
    std::u16string_view mark = {};
};

// "ZH" and the pile number: the name of a record in both books.
std::u16string PileNumberText(int pileNumber);

// The name of a record in both books: its mark, without blanks at either end and with any
// control character as a blank (a book line never breaks inside a name), or "ZH" and the
// number when that leaves nothing.
std::u16string PileName(int pileNumber, std::u16string_view mark);
std::u16string PileName(const BookRecord& record);

// The last line of both books: this prefix and the time of the newest calculation.
inline constexpr std::u16string_view kTimeLinePrefix = u"计算时间：";
std::u16string TimeLine(std::u16string_view calculationTime);

// The name of the pile's section where the books tell a square from a rectangle ("方桩");
// the section list's own name otherwise.
std::u16string_view PileShapeName(const PileInput& input);

// A section name as a cell of 6 columns: a two-character name is spread with two blanks
// ("圆  桩"), a three-character one stays as it is.
std::u16string ShapeCellText(std::u16string_view name);

// The safety factor K the calculation used, always with the point and two decimals ("2.00"):
// the books print it as a fixed literal of the code, not in the user's number format.
std::u16string SafetyFactorText(double safetyFactorK);

}  // namespace pile
