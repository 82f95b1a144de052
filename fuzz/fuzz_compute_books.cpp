// Arbitrary sessions of the compute step and the book actions of the panel session, with any
// box texts, list positions, separators and precision choices. Checked after every step:
// - a refused input leaves the books, the counter and the flags exactly as they were;
// - every quantity of an accepted pile is finite, and no book line holds "inf" or "nan"
//   (unless the user typed it into a box whose text the books echo);
// - every table row is at least 220 display columns wide.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/pile_calculation.h"
#include "engine/utf_text.h"
#include "session/panel_session.h"
#include "testing/require.h"

namespace {

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
        PILE_REQUIRE(std::isfinite(v));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    pile::session::PanelSession session;
    const char16_t separators[] = {u'.', u',', u'\u066B', u' '};

    for (int step = 0; step < 8 && data.remaining_bytes() > 0; ++step) {
        const int action = data.ConsumeIntegralInRange(0, 5);
        if (action == 4) {
            session.DeleteLast();
            continue;
        }
        if (action == 5) {
            session.MarkSaved(data.ConsumeBool() ? session.SwitchBook() : session.BookOnShow());
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

        const pile::session::PanelSession before = session;
        const pile::session::PanelUpdate update =
            session.Compute(panel, precision, separator, u"2024/5/6 14:03:27");
        const auto* shown = std::get_if<pile::session::ResultTexts>(&update.outcome);
        const pile::CalculationBooks& books = session.Books();
        if (shown == nullptr) {
            PILE_REQUIRE(books.TableLines() == before.Books().TableLines());
            PILE_REQUIRE(books.TextLines() == before.Books().TextLines());
            PILE_REQUIRE(books.PileCounter() == before.Books().PileCounter());
            PILE_REQUIRE(books.UnsavedBookFlags() == before.Books().UnsavedBookFlags());
            continue;
        }
        const pile::ComputeOutcome engine = pile::ComputePile(panel, separator);
        RequireFinite(std::get<pile::ComputedPile>(engine.result).result);
        for (const std::u16string& text : {shown->coefficient, shown->ra, shown->rc}) {
            PILE_REQUIRE(!HoldsNonNumber(text));
        }

        const bool echoedNonNumber = HoldsNonNumber(update.ddText) ||
                                     HoldsNonNumber(update.tyzdText) ||
                                     HoldsNonNumber(panel.hrText);
        if (!echoedNonNumber) {
            for (const auto& line : books.TableLines()) {
                PILE_REQUIRE(!HoldsNonNumber(line));
            }
            for (const auto& line : books.TextLines()) {
                PILE_REQUIRE(!HoldsNonNumber(line));
            }
        }
        const auto& table = books.TableLines();
        const std::u16string& row = table[table.size() - 5];
        PILE_REQUIRE(DisplayWidth(row) >= 220);
    }
    return 0;
}
