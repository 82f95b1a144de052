#include "tools/replay_session.h"

#include <charconv>
#include <optional>
#include <type_traits>

#include "engine/utf_text.h"
#include "session/panel_session.h"

namespace pile::replay {

namespace {

// The window's object name of the box a failed check turns red, as the session files name it.
std::string_view ControlName(InputControl control) {
    switch (control) {
        case InputControl::Diameter:
            return "cbe_dd";
        case InputControl::StraightLength:
            return "cbe_tyzd";
        case InputControl::SocketDepth:
            return "cbe_hr";
        case InputControl::Frk:
            return "edt_frk";
        case InputControl::Fuk:
            return "edt_fuk";
    }
    return {};
}

constexpr std::size_t kCalcFields = 13;
constexpr std::size_t kOutputChunk = std::size_t{1} << 16;

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// A list index: decimal digits only (a minus sign reads, and is then out of range).
std::optional<int> WholeNumber(std::string_view field) {
    int value = 0;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (field.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    out.append(text);
    out += '"';
    return out;
}

std::string Number(long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

// Reads one index field; on failure `error` receives why.
std::optional<int> IndexField(std::string_view name, std::string_view field, std::string& error) {
    const std::optional<int> value = WholeNumber(field);
    if (!value) {
        error = std::string(name) + " " + Quoted(field) + " is not a whole number";
    }
    return value;
}

std::string OutOfRange(std::string_view name, int value, std::string_view allowed) {
    return std::string(name) + " " + Number(value) + " is out of range (" + std::string(allowed) +
           ")";
}

// The CALC fields after the verb; returns the step or sets `error`.
std::optional<CalcStep> ParseCalc(const std::vector<std::string_view>& f, std::string& error) {
    if (f.size() != kCalcFields) {
        error = "CALC takes " + Number(kCalcFields - 1) + " fields, found " +
                Number(static_cast<long long>(f.size()) - 1);
        return std::nullopt;
    }
    CalcStep step;
    const auto section = IndexField("section", f[1], error);
    if (!section) {
        return std::nullopt;
    }
    const auto rock = IndexField("rock", f[2], error);
    if (!rock) {
        return std::nullopt;
    }
    const auto grade = IndexField("grade", f[8], error);
    if (!grade) {
        return std::nullopt;
    }
    const auto process = IndexField("process", f[9], error);
    if (!process) {
        return std::nullopt;
    }
    const auto precision = IndexField("precision", f[10], error);
    if (!precision) {
        return std::nullopt;
    }

    const std::optional<RockParameterMode> mode = RockModeFromIndex(*rock);
    if (!mode) {
        error = OutOfRange("rock", *rock, "0 to 1");
        return std::nullopt;
    }
    const bool fuk = *mode == RockParameterMode::Fuk;
    const std::optional<SectionType> type = SectionTypeFromIndex(*section, *mode);
    if (!type) {
        error = *section >= 1 && *section <= 2 ? "section " + Number(*section) + " needs rock 1"
                                               : OutOfRange("section", *section, "0 to 2");
        return std::nullopt;
    }
    const std::optional<ConcreteGrade> concrete = ConcreteGradeFromIndex(*grade);
    if (!concrete) {
        error = OutOfRange("grade", *grade, "0 to 7");
        return std::nullopt;
    }
    const std::optional<ConstructionProcess> how = ProcessFromIndex(*process, *mode);
    if (!how) {
        error = OutOfRange("process", *process, fuk ? "0 only in fuk mode" : "0 to 2");
        return std::nullopt;
    }
    if (*precision < 0 || *precision > 4) {
        error = OutOfRange("precision", *precision, "0 to 4");
        return std::nullopt;
    }
    const std::u16string separator = Utf8ToUtf16(f[11]);
    if (separator.size() != 1) {
        error = "sep " + Quoted(f[11]) + " is not exactly one character";
        return std::nullopt;
    }

    step.panel.sectionType = *type;
    step.panel.rockMode = *mode;
    step.panel.ddText = Utf8ToUtf16(f[3]);
    step.panel.tyzdText = Utf8ToUtf16(f[4]);
    step.panel.hrText = Utf8ToUtf16(f[5]);
    step.panel.frkText = Utf8ToUtf16(f[6]);
    step.panel.fukText = Utf8ToUtf16(f[7]);
    step.panel.concreteGrade = *concrete;
    step.panel.process = *how;
    step.precision = static_cast<PrecisionMode>(*precision);
    step.decimalSeparator = separator.front();
    step.calculationTime = Utf8ToUtf16(f[12]);
    return step;
}

std::optional<Step> ParseLine(std::string_view line, std::string& error) {
    const std::vector<std::string_view> fields = SplitFields(line);
    const std::string_view verb = fields.front();
    if (verb == "CALC") {
        if (auto step = ParseCalc(fields, error)) {
            return Step{std::move(*step)};
        }
        return std::nullopt;
    }
    if (verb == "DELETE") {
        if (fields.size() != 1) {
            error = "DELETE takes no fields, found " +
                    Number(static_cast<long long>(fields.size()) - 1);
            return std::nullopt;
        }
        return Step{DeleteStep{}};
    }
    if (verb == "SAVED") {
        if (fields.size() != 2) {
            error =
                "SAVED takes 1 field, found " + Number(static_cast<long long>(fields.size()) - 1);
            return std::nullopt;
        }
        const auto book = IndexField("book", fields[1], error);
        if (!book) {
            return std::nullopt;
        }
        if (*book != 1 && *book != 2) {
            error = OutOfRange("book", *book, "1 text, 2 table");
            return std::nullopt;
        }
        return Step{SavedStep{static_cast<Book>(*book)}};
    }
    error = "unknown verb " + Quoted(verb);
    return std::nullopt;
}

// Collects the output and hands it on in large pieces.
class Output {
  public:
    explicit Output(const OutputSink& sink) : sink_(sink) { buffer_.reserve(kOutputChunk * 2); }
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& Ascii(std::string_view text) {
        buffer_.append(text);
        return *this;
    }
    Output& Text(std::u16string_view text) {
        buffer_.append(Utf16ToUtf8(text));
        return *this;
    }
    Output& Int(long long value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        buffer_.append(digits, end);
        return *this;
    }
    Output& Tab() { return Ascii("\t"); }
    void EndLine() {
        buffer_ += '\n';
        if (buffer_.size() >= kOutputChunk) {
            Flush();
        }
    }

  private:
    void Flush() {
        if (!buffer_.empty()) {
            sink_(buffer_);
            buffer_.clear();
        }
    }

    const OutputSink& sink_;
    std::string buffer_;
};

void RunCalc(const CalcStep& step, session::PanelSession& session, Output& out) {
    const session::PanelUpdate update =
        session.Compute(step.panel, step.precision, step.decimalSeparator, step.calculationTime);
    if (const auto* failure = std::get_if<ValidationFailure>(&update.outcome)) {
        out.Ascii("FAIL").Tab().Text(failure->message).Tab().Ascii(ControlName(failure->control));
    } else {
        const auto& shown = std::get<session::ResultTexts>(update.outcome);
        out.Ascii("OK").Tab().Text(shown.coefficient).Tab().Text(shown.ra).Tab().Text(shown.rc);
        out.Tab().Text(shown.rockClass.value_or(std::u16string_view{}));
    }
    // The boxes as they stand after the step: a rectangle's exchange rewrites them even when a
    // later check fails.
    out.Tab().Text(update.ddText).Tab().Text(update.tyzdText).EndLine();
}

void WriteBook(std::string_view name, const BookLines& lines, Output& out) {
    out.Ascii(name).Tab().Int(static_cast<long long>(lines.size())).EndLine();
    for (const std::u16string& line : lines) {
        out.Text(line).EndLine();
    }
}

}  // namespace

ParsedSession ParseSession(std::string_view input) {
    ParsedSession session;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) {
            end = input.size();
        }
        ++lineNumber;
        std::string error;
        if (auto step = ParseLine(input.substr(start, end - start), error)) {
            session.steps.push_back(std::move(*step));
        } else {
            session.errors.push_back({lineNumber, std::move(error)});
        }
        start = end + 1;
    }
    return session;
}

void RunSession(const std::vector<Step>& steps, const OutputSink& sink) {
    session::PanelSession session;
    Output out(sink);
    for (const Step& step : steps) {
        std::visit(
            [&](const auto& s) {
                using T = std::decay_t<decltype(s)>;
                if constexpr (std::is_same_v<T, CalcStep>) {
                    RunCalc(s, session, out);
                } else if constexpr (std::is_same_v<T, DeleteStep>) {
                    session.DeleteLast();
                    out.Ascii("DELETED").Tab().Int(session.PileCounter()).Tab();
                    out.Int(session.UnsavedBookFlags()).EndLine();
                } else {
                    session.MarkSaved(s.book);
                    out.Ascii("FLAGS").Tab().Int(session.UnsavedBookFlags()).EndLine();
                }
            },
            step);
    }
    out.Ascii("COUNTER").Tab().Int(session.PileCounter()).Tab().Int(session.UnsavedBookFlags());
    out.EndLine();
    WriteBook("TABLE", session.Lines(Book::Table), out);
    WriteBook("TEXT", session.Lines(Book::Text), out);
}

int ReplaySession(std::string_view input, const OutputSink& sink, std::string& errors) {
    const ParsedSession session = ParseSession(input);
    if (!session.errors.empty()) {
        for (const StepError& error : session.errors) {
            errors += "pile_replay: line " + Number(static_cast<long long>(error.line)) + ": " +
                      error.message + "\n";
        }
        return 2;
    }
    RunSession(session.steps, sink);
    return 0;
}

}  // namespace pile::replay
