// A QPlainTextEdit that follows the books line by line: an action of the books says which lines
// it replaced (BookChange), and only those lines of the memo are rewritten. The book screen
// draws its books with BookView, which holds no copy of them; this memo stays as the reference
// that the book view's benchmark measures against.
#pragma once

#include "books/calculation_books.h"

class QPlainTextEdit;
class QTextDocument;

namespace pile::ui {

// Applies `change` to `document`, which held the book before the change; `book` is the book
// after it. A book of n lines is a document of n blocks (one empty block for an empty book).
void FollowBook(QTextDocument& document, const BookLines& book, const BookChange& change);

// The memo's caret to the beginning of the text, as after a deletion.
void CaretToStart(QPlainTextEdit& memo);

}  // namespace pile::ui
