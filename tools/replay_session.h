// A pile_replay session: the step lines read whole and checked first, then run against one
// panel session (session/panel_session.h), the one the window's compute action and book screen
// use.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "books/book.h"
#include "engine/fixed_text.h"
#include "engine/pile_input.h"

namespace pile::replay {

struct CalcStep {
    PanelInput panel;
    PrecisionMode precision = PrecisionMode::Units;
    char16_t decimalSeparator = u'.';
    std::u16string calculationTime;
};
struct DeleteStep {};
struct SavedStep {
    Book book = Book::Text;
};
using Step = std::variant<CalcStep, DeleteStep, SavedStep>;

// A step line that cannot be read; `line` counts from 1.
struct StepError {
    std::size_t line = 0;
    std::string message;
    friend bool operator==(const StepError&, const StepError&) = default;
};

struct ParsedSession {
    std::vector<Step> steps;
    std::vector<StepError> errors;  // every unreadable line, in order; no step runs if any
};

// UTF-8 text, lines separated by LF (a last line may lack it), fields by TAB.
ParsedSession ParseSession(std::string_view input);

// Receives the UTF-8 output in large pieces, in order.
using OutputSink = std::function<void(std::string_view)>;

// Runs the steps and writes one result line per step, then the counter, the flags and both
// books. Lines end with LF.
void RunSession(const std::vector<Step>& steps, const OutputSink& sink);

// The whole driver: parse, then run or report. Returns the exit status (0, or 2 with the
// errors written to `errors`, one line each, and nothing to `sink`).
int ReplaySession(std::string_view input, const OutputSink& sink, std::string& errors);

}  // namespace pile::replay
