// Arbitrary sessions of the compute action and the book actions, with any box texts, list
// positions, separators and precision choices. Checked after every step:
// - a refused input leaves the books, the counter and the flags exactly as they were;
// - every quantity of an accepted pile is finite, and no book line holds "inf" or "nan"
//   (unless the user typed it into a box whose text the books echo);
// - every table row is at least 220 display columns wide.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "books/calculation_books.h"
#include "engine/pile_calculation.h"
#include "engine/utf_text.h"

namespace {

#define Require(condition) RequireImpl((condition), #condition)

void RequireImpl(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

bool HoldsWord(std::u16string_view line, std::u16string_view word) {
    const auto lower = [](char16_t c) {
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    return std::search(line.begin(), line.end(), word.begin(), word.end(),
                       [&](char16_t a, char16_t b) { return lower(a) == b; }) != line.end();
}

bool HoldsNonNumber(std::u16string_view line) {
    return HoldsWord(line, u"inf") || HoldsWord(line, u"nan");
}

std::u16string BoxText(FuzzedDataProvider& data) {
    const std::string bytes = data.ConsumeRandomLengthString(48);
    return data.ConsumeBool() ? pile::Utf8ToUtf16(bytes)
                              : std::u16string(bytes.begin(), bytes.end());
}

// Columns as a monospaced CJK font shows them. Unlike WideCharCount, a U+0000 that a user
// typed into a box does not end the count: the cells after it are still on the line.
int DisplayWidth(std::u16string_view line) {
    int width = 0;
    for (const char16_t c : line) {
        width += (c >= 0x1000 && c <= 0x9FA5) ? 2 : 1;
    }
    return width;
}

void RequireFinite(const pile::PileResult& r) {
    for (const double v :
         {r.sectionArea, r.sectionPerimeter, r.hrRatio, r.hrRatioUsed, r.shapeRatio, r.zetaR,
          r.beta, r.Qrk, r.Qsk, r.Quk, r.safetyFactorK, r.Ra, r.psiC, r.fc, r.Rc}) {
        Require(std::isfinite(v));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    pile::CalculationBooks books;
    const char16_t separators[] = {u'.', u',', u'\u066B', u' '};

    for (int step = 0; step < 8 && data.remaining_bytes() > 0; ++step) {
        const int action = data.ConsumeIntegralInRange(0, 5);
        if (action == 4) {
            books.DeleteLast();
            continue;
        }
        if (action == 5) {
            books.MarkSaved(data.ConsumeBool() ? pile::Book::Text : pile::Book::Table);
            continue;
        }
        const auto mode = pile::RockModeFromIndex(data.ConsumeIntegralInRange(-1, 2));
        if (!mode) {
            continue;
        }
        const auto section = pile::SectionTypeFromIndex(data.ConsumeIntegralInRange(-1, 3), *mode);
        const auto grade = pile::ConcreteGradeFromIndex(data.ConsumeIntegralInRange(-1, 8));
        const auto process = pile::ProcessFromIndex(data.ConsumeIntegralInRange(-1, 3), *mode);
        const auto precision = static_cast<pile::PrecisionMode>(data.ConsumeIntegralInRange(0, 4));
        const char16_t separator = data.ConsumeBool()
                                       ? separators[data.ConsumeIntegralInRange(0, 3)]
                                       : data.ConsumeIntegral<char16_t>();
        pile::PanelInput panel;
        panel.rockMode = *mode;
        panel.ddText = BoxText(data);
        panel.tyzdText = BoxText(data);
        panel.hrText = BoxText(data);
        panel.frkText = BoxText(data);
        panel.fukText = BoxText(data);
        if (!section || !grade || !process) {
            continue;  // the window computes nothing without a selection
        }
        panel.sectionType = *section;
        panel.concreteGrade = *grade;
        panel.process = *process;

        const pile::CalculationBooks before = books;
        const pile::ComputeOutcome outcome = pile::ComputePile(panel, separator);
        const auto* pile = std::get_if<pile::ComputedPile>(&outcome.result);
        if (pile == nullptr) {
            Require(books.TableLines() == before.TableLines());
            Require(books.TextLines() == before.TextLines());
            Require(books.PileCounter() == before.PileCounter());
            Require(books.UnsavedBookFlags() == before.UnsavedBookFlags());
            continue;
        }
        RequireFinite(pile->result);
        const std::u16string& dd = outcome.rewritten ? outcome.rewritten->ddText : panel.ddText;
        const std::u16string& tyzd =
            outcome.rewritten ? outcome.rewritten->tyzdText : panel.tyzdText;
        books.AppendRecord(pile->input, pile->result, dd, tyzd, precision, separator,
                           u"2024/5/6 14:03:27");

        const bool echoedNonNumber =
            HoldsNonNumber(dd) || HoldsNonNumber(tyzd) || HoldsNonNumber(panel.hrText);
        if (!echoedNonNumber) {
            for (const auto& line : books.TableLines()) {
                Require(!HoldsNonNumber(line));
            }
            for (const auto& line : books.TextLines()) {
                Require(!HoldsNonNumber(line));
            }
        }
        const auto& table = books.TableLines();
        const std::u16string& row = table[table.size() - 5];
        Require(DisplayWidth(row) >= 220);
    }
    return 0;
}
