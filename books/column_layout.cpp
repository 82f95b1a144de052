#include "books/column_layout.h"

#include <cstddef>

namespace pile {

namespace {

constexpr bool IsWide(char16_t unit) {
    return unit >= u'\u1000' && unit <= u'\u9FA5';
}

// Display columns still missing to reach `width`.
int MissingColumns(std::u16string_view text, int width) {
    // Clamp before the subtraction so that a very long text cannot overflow the int.
    const std::size_t length = text.size();
    if (length >= static_cast<std::size_t>(width < 0 ? 0 : width)) {
        return 0;
    }
    return width - static_cast<int>(length) - WideCharCount(text);
}

void AppendFills(std::u16string& out, std::u16string_view fill, int count) {
    for (int i = 0; i < count; ++i) {
        out.append(fill);
    }
}

}  // namespace

int WideCharCount(std::u16string_view text) {
    int count = 0;
    for (const char16_t unit : text) {
        if (unit == u'\0') {
            break;
        }
        if (IsWide(unit)) {
            ++count;
        }
    }
    return count;
}

std::u16string PadRight(std::u16string_view text, std::u16string_view fill, int width) {
    const int missing = MissingColumns(text, width);
    std::u16string out;
    out.reserve(text.size() + (missing > 0 ? static_cast<std::size_t>(missing) * fill.size() : 0));
    out.append(text);
    AppendFills(out, fill, missing);
    return out;
}

std::u16string PadLeft(std::u16string_view text, std::u16string_view fill, int width) {
    const int missing = MissingColumns(text, width);
    std::u16string out;
    out.reserve(text.size() + (missing > 0 ? static_cast<std::size_t>(missing) * fill.size() : 0));
    AppendFills(out, fill, missing);
    out.append(text);
    return out;
}

std::u16string PadCenter(std::u16string_view text, std::u16string_view fill, int width) {
    const int missing = MissingColumns(text, width);
    const int right = missing / 2;
    const int left = missing - right;
    std::u16string out;
    out.reserve(text.size() + (missing > 0 ? static_cast<std::size_t>(missing) * fill.size() : 0));
    AppendFills(out, fill, left);
    out.append(text);
    AppendFills(out, fill, right);
    return out;
}

std::u16string Spaces(int count) {
    return count > 0 ? std::u16string(static_cast<std::size_t>(count), u' ') : std::u16string();
}

}  // namespace pile
