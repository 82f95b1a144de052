#include "books/book_outline.h"

#include "books/text_book.h"

namespace pile {

namespace {

bool IsTimeLine(std::u16string_view line) {
    return line.starts_with(kTimeLinePrefix);
}

std::u16string_view TimeOfLastLine(const BookLines& book) {
    if (book.empty() || !IsTimeLine(book.back())) {
        return {};
    }
    return std::u16string_view(book.back()).substr(kTimeLinePrefix.size());
}

}  // namespace

BookOutline TextBookOutline(const BookLines& textBook) {
    BookOutline outline;
    outline.calculationTime = TimeOfLastLine(textBook);
    const std::size_t size = textBook.size();
    if (size > 0 && IsTimeLine(textBook.back())) {
        outline.foot = {size - 1, size};
    }
    const std::size_t recordsEnd = size - outline.foot.Size();
    if (recordsEnd > 0) {
        outline.recordStarts.push_back(0);
    }
    // Every record ends with the separator. In a damaged book a time line may follow one before
    // the end: it starts no record.
    for (std::size_t i = 0; i + 1 < recordsEnd; ++i) {
        if (textBook[i] == kRecordSeparator && !IsTimeLine(textBook[i + 1])) {
            outline.recordStarts.push_back(i + 1);
        }
    }
    return outline;
}

BookOutline TableBookOutline(const BookLines& tableBook) {
    BookOutline outline;
    outline.calculationTime = TimeOfLastLine(tableBook);
    const std::size_t size = tableBook.size();
    constexpr auto kHeader = static_cast<std::size_t>(kTableHeaderLines);
    constexpr auto kFooter = static_cast<std::size_t>(kTableFooterLines);
    if (size < kHeader + 1 + kFooter || outline.calculationTime.empty()) {
        return outline;
    }
    outline.head = {0, kHeader};
    outline.headings = {kHeader - static_cast<std::size_t>(kTableHeadingLines), kHeader};
    outline.foot = {size - kFooter, size};
    // One row per record.
    outline.recordStarts.reserve(outline.foot.first - kHeader);
    for (std::size_t row = kHeader; row < outline.foot.first; ++row) {
        outline.recordStarts.push_back(row);
    }
    return outline;
}

}  // namespace pile
