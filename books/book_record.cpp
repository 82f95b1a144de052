#include "books/book_record.h"

#include <charconv>

namespace pile {

namespace {

constexpr std::u16string_view kSquareName = u"方桩";

}  // namespace

std::u16string PileNumberText(int pileNumber) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, pileNumber).ptr;
    std::u16string text = u"ZH";
    text.append(digits, end);
    return text;
}

std::u16string PileName(int pileNumber, std::u16string_view mark) {
    const auto blank = [](char16_t c) { return c <= u' ' || c == u'\x7F'; };
    while (!mark.empty() && blank(mark.front())) {
        mark.remove_prefix(1);
    }
    while (!mark.empty() && blank(mark.back())) {
        mark.remove_suffix(1);
    }
    if (mark.empty()) {
        return PileNumberText(pileNumber);
    }
    std::u16string name(mark);
    for (char16_t& c : name) {
        if (blank(c)) {
            c = u' ';
        }
    }
    return name;
}

std::u16string PileName(const BookRecord& record) {
    return PileName(record.pileNumber, record.mark);
}

std::u16string TimeLine(std::u16string_view calculationTime) {
    std::u16string line;
    line.reserve(kTimeLinePrefix.size() + calculationTime.size());
    line.append(kTimeLinePrefix).append(calculationTime);
    return line;
}

std::u16string_view PileShapeName(const PileInput& input) {
    if (input.sectionType == SectionType::Rectangle && input.a == input.b) {
        return kSquareName;
    }
    return SectionTypeText(input.sectionType);
}

std::u16string ShapeCellText(std::u16string_view name) {
    if (name.size() != 2) {
        return std::u16string(name);
    }
    std::u16string cell;
    cell.push_back(name[0]);
    cell.append(u"  ");
    cell.push_back(name[1]);
    return cell;
}

std::u16string SafetyFactorText(double safetyFactorK) {
    return FixedText(safetyFactorK, 3, 2, u'.');
}

}  // namespace pile
