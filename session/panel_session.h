// The panel session: the calculation books of one window, the book on show, and the compute
// step, in plain C++ for every front end (the window, pile_replay, a batch of piles).
//
// Data flow of one "计算":
//
//   the front end reads its controls        -> PanelInput, PrecisionMode, decimal separator,
//                                              the calculation time as text
//   PanelSession::Compute
//     engine: ReadPileInput, Calculate*Pile -> the checks passed, a failure or a PileResult
//     books:  AppendRecord                  -> one record more in both books (on success)
//   -> PanelUpdate                          -> the side texts to write back, the boxes to turn
//                                              black or red, the texts of the result panel, and
//                                              the BooksChange that the book views follow
//   the front end writes texts and colours
//
// The book screen's actions (switching the book on show, delete-last, a finished save) change
// the session the same way, and PileCounter, UnsavedBookFlags and the book on show are read
// from it. How the panel is laid out for a rock mode and a section type, and what each input
// change empties and checks: panel_layout.h. Nothing here reads global state: the separator
// and the time come in as arguments.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "books/calculation_books.h"
#include "engine/fixed_text.h"
#include "engine/pile_calculation.h"
#include "engine/pile_input.h"
#include "schedule/schedule.h"
#include "session/book_screen.h"
#include "session/project_info.h"

namespace pile::session {

// The result panel after a successful calculation.
struct ResultTexts {
    std::u16string_view coefficientName;  // lb_kesair: the coefficient of the mode used
    std::u16string coefficient;           // edt_kesair: zeta_r or beta, four decimals
    std::u16string ra;                    // edt_ra, under the precision choice
    std::u16string rc;                    // edt_rc, likewise
    // frk mode: the rock class, shown in black in the message label in place of the logo.
    // fuk mode: none; the label keeps the empty text that the passed checks left in it.
    std::optional<std::u16string_view> rockClass;
};

// The result panel of a pile computed under `precision`; the books print the same texts.
ResultTexts ResultTextsOf(const ComputedPile& pile, PrecisionMode precision, char16_t separator);

// What one compute step asks the front end to show, in this order.
struct PanelUpdate {
    // The texts of cbe_dd and cbe_tyzd after the step. When `sidesRewritten`, a rectangle's
    // exchange changed them: they are written back first, as the program's own change, also
    // when a later check fails.
    std::u16string ddText;
    std::u16string tyzdText;
    bool sidesRewritten = false;
    // The boxes whose checks passed, in order: each turns black and empties the message label.
    std::vector<InputControl> passed;
    // The failed check (its message in red in the label, its box red, and nothing else
    // changes), or the results of the calculation.
    std::variant<ValidationFailure, ResultTexts> outcome;
    // The lines of the books the step replaced; nothing on a failure.
    BooksChange booksChange;
};

struct ImportResult;  // schedule_import.h

// What one record of the books was computed from: the panel as read, the precision, the
// separator and the time. The session journal and "导出桩表…" write these.
struct RecordInputs {
    PanelInput panel;
    PrecisionMode precision = PrecisionMode::Units;
    char16_t decimalSeparator = u'.';
    std::u16string calculationTime;
    std::u16string mark;  // the schedule's 桩号; empty: the books name the pile ZH and its number
    schedule::LoadTexts loads;  // from a schedule; the books never print them
};

class PanelSession {
  public:
    // Reads and checks the panel, calculates the pile and, when it passes, appends its record
    // to both books. `calculationTime` ends both books. `mark` names the record in the books
    // in place of ZH and its number. A schedule's loads go with the record (the journal keeps
    // them); the books never print them.
    PanelUpdate Compute(const PanelInput& panel, PrecisionMode precision, char16_t decimalSeparator,
                        std::u16string_view calculationTime, std::u16string_view mark = {},
                        const schedule::LoadTexts& loads = {});

    // The panel after `record`'s "计算", without a record more: how the window shows a record
    // that is in the books already (the last one of an import).
    PanelUpdate Preview(const RecordInputs& record) const;

    // "导入桩表…": the schedule in `file` computed row after row into the books, as pile_batch
    // reads it; a file that cannot be read leaves them as they were, and so does a run that
    // `progress` (rows done, rows in all; while a large file is read, its bytes read and in
    // all) stops by answering false.
    // `replace`: the books as the schedule alone makes them, the records before gone; a file
    // that cannot be read or a stopped run leaves the records before as they were all the same.
    ImportResult Import(const std::filesystem::path& file, char16_t decimalSeparator,
                        std::u16string_view calculationTime,
                        const std::function<bool(std::size_t, std::size_t)>& progress = {},
                        bool replace = false);

    // The project the records belong to, as the report's cover names it: a schedule's project
    // lines and the window's "项目信息…" set it, the journal keeps it. "新建计算书" keeps it.
    const ProjectInfo& Project() const { return project_; }
    void SetProject(ProjectInfo project) { project_ = std::move(project); }

    // "新建计算书": both books empty, no records, nothing unsaved; the book on show stays.
    BooksChange Clear();

    // "x": removes the newest record from both books (with one record or none, empties them).
    BooksChange DeleteLast();

    // The book's file is written: its records are saved.
    void MarkSaved(Book book);
    // The records the book held when it was last written (0 before that); a delete-last below
    // it lowers it with the books, as the first records are still those written.
    std::size_t SavedRecords(Book book) const { return saved_[Index(book)]; }
    // The records of the book not in its file: none when it is saved.
    std::size_t UnsavedRecords(Book book) const;
    // A session rebuilt from its journal: the book was last written with `records`.
    void RestoreSaved(Book book, std::size_t records);

    // The book on show on the book screen, the text book at start; "保存" writes this one.
    Book BookOnShow() const { return bookOnShow_; }
    // The other book comes on show; returns it.
    Book SwitchBook();

    BookScreenState BookScreen() const;

    bool HasUnsavedRecords(Book book) const { return books_.HasUnsavedRecords(book); }
    int PileCounter() const { return books_.PileCounter(); }
    int UnsavedBookFlags() const { return books_.UnsavedBookFlags(); }
    const BookLines& Lines(Book book) const;
    const CalculationBooks& Books() const { return books_; }

    // One entry per record in the books, oldest first.
    const std::vector<RecordInputs>& Records() const { return records_; }
    // Record `index` takes `loads`, read already (project_table.h: SetLoad); the books never
    // print loads, so they stay as they are.
    void SetLoads(std::size_t index, const schedule::LoadTexts& loads);
    // After a delete-last the books keep the time line of the newest calculation, whose record
    // is gone; that calculation, while it is not in Records().
    const RecordInputs* DeletedTimeSource() const {
        return timeSourceDeleted_ ? &timeSource_ : nullptr;
    }

  private:
    static std::size_t Index(Book book) { return book == Book::Text ? 0 : 1; }

    CalculationBooks books_;
    std::size_t saved_[2] = {0, 0};
    std::vector<RecordInputs> records_;
    RecordInputs timeSource_;
    bool timeSourceDeleted_ = false;
    Book bookOnShow_ = Book::Text;
    ProjectInfo project_;
    bool bookScreenUsed_ = false;  // a record, a switch, a save or a deletion since the start
};

}  // namespace pile::session
