#include "session/panel_session.h"

#include <algorithm>
#include <utility>

#include "engine/code_tables.h"
#include "engine/pile_calculation.h"
#include "session/panel_layout.h"

namespace pile::session {

// The result panel's formats: the coefficient with four decimals whatever the precision
// choice, Ra and Rc with at most seven significant digits.
ResultTexts ResultTextsOf(const ComputedPile& pile, PrecisionMode precision, char16_t separator) {
    const PileResult& result = pile.result;
    const bool frk = pile.input.rockMode == RockParameterMode::Frk;
    ResultTexts texts;
    texts.coefficientName = LayoutOf(pile.input.rockMode).coefficientName;
    texts.coefficient = FixedText(frk ? result.zetaR : result.beta, 7, 4, separator);
    texts.ra = PrecisionText(result.Ra, precision, 7, separator);
    texts.rc = PrecisionText(result.Rc, precision, 7, separator);
    if (frk && result.rockHardness) {
        texts.rockClass = RockHardnessText(*result.rockHardness);
    }
    return texts;
}

namespace {

// The update of a calculation whose outcome is `outcome`, before any book step.
PanelUpdate UpdateOf(const ComputeOutcome& outcome, const PanelInput& panel,
                     PrecisionMode precision, char16_t decimalSeparator) {
    PanelUpdate update;
    update.sidesRewritten = outcome.rewritten.has_value();
    update.ddText = outcome.rewritten ? outcome.rewritten->ddText : panel.ddText;
    update.tyzdText = outcome.rewritten ? outcome.rewritten->tyzdText : panel.tyzdText;
    update.passed = outcome.passed;
    if (const auto* failure = std::get_if<ValidationFailure>(&outcome.result)) {
        update.outcome = *failure;
    } else {
        update.outcome =
            ResultTextsOf(std::get<ComputedPile>(outcome.result), precision, decimalSeparator);
    }
    return update;
}

}  // namespace

PanelUpdate PanelSession::Compute(const PanelInput& panel, PrecisionMode precision,
                                  char16_t decimalSeparator, std::u16string_view calculationTime,
                                  std::u16string_view mark, const schedule::LoadTexts& loads) {
    const ComputeOutcome outcome = ComputePile(panel, decimalSeparator);
    PanelUpdate update = UpdateOf(outcome, panel, precision, decimalSeparator);
    if (std::holds_alternative<ValidationFailure>(outcome.result)) {
        return update;
    }
    const ComputedPile& pile = std::get<ComputedPile>(outcome.result);
    // The books print the boxes as they stand after the exchange.
    update.booksChange =
        books_.AppendRecord(pile.input, pile.result, update.ddText, update.tyzdText, precision,
                            decimalSeparator, calculationTime, mark);
    records_.push_back({panel, precision, decimalSeparator, std::u16string(calculationTime),
                        std::u16string(mark), loads});
    timeSource_ = records_.back();
    timeSourceDeleted_ = false;
    bookScreenUsed_ = true;
    return update;
}

PanelUpdate PanelSession::Preview(const RecordInputs& record) const {
    return UpdateOf(ComputePile(record.panel, record.decimalSeparator), record.panel,
                    record.precision, record.decimalSeparator);
}

BooksChange PanelSession::DeleteLast() {
    bookScreenUsed_ = true;
    BooksChange change = books_.DeleteLast();
    if (books_.PileCounter() == 0) {
        records_.clear();
        timeSourceDeleted_ = false;
    } else if (records_.size() > static_cast<std::size_t>(books_.PileCounter())) {
        records_.pop_back();
        timeSourceDeleted_ = true;
    }
    for (std::size_t& saved : saved_) {
        saved = std::min(saved, static_cast<std::size_t>(books_.PileCounter()));
    }
    return change;
}

BooksChange PanelSession::Clear() {
    const BooksChange change{{0, books_.TableLines().size(), 0}, {0, books_.TextLines().size(), 0}};
    books_ = CalculationBooks();
    records_.clear();
    timeSourceDeleted_ = false;
    saved_[0] = saved_[1] = 0;
    bookScreenUsed_ = true;
    return change;
}

void PanelSession::SetLoads(std::size_t index, const schedule::LoadTexts& loads) {
    if (index < records_.size()) {
        records_[index].loads = loads;
    }
}

void PanelSession::MarkSaved(Book book) {
    books_.MarkSaved(book);
    saved_[Index(book)] = static_cast<std::size_t>(books_.PileCounter());
    bookScreenUsed_ = true;
}

std::size_t PanelSession::UnsavedRecords(Book book) const {
    const auto held = static_cast<std::size_t>(PileCounter());
    return HasUnsavedRecords(book) ? held - std::min(held, SavedRecords(book)) : 0;
}

void PanelSession::RestoreSaved(Book book, std::size_t records) {
    saved_[Index(book)] = std::min(records, static_cast<std::size_t>(PileCounter()));
}

Book PanelSession::SwitchBook() {
    bookOnShow_ = bookOnShow_ == Book::Text ? Book::Table : Book::Text;
    bookScreenUsed_ = true;
    return bookOnShow_;
}

// "保存" starts enabled, as the form has it. From the first calculation, switch, save or
// deletion on it follows the unsaved bit of the book on show: each calculation sets both bits,
// a save takes one off. "x" stays usable while a record is left to delete.
BookScreenState PanelSession::BookScreen() const {
    return {
        .canSave = !bookScreenUsed_ || HasUnsavedRecords(bookOnShow_),
        .canDelete = PileCounter() > 0,
        .onShow = bookOnShow_,
        .caption = bookOnShow_ == Book::Text ? u"1" : u"2",
    };
}

const BookLines& PanelSession::Lines(Book book) const {
    return book == Book::Text ? books_.TextLines() : books_.TableLines();
}

}  // namespace pile::session
