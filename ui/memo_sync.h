// The memos of the book screen follow the books line by line: an action of the books says
// which lines it replaced (BookChange), and only those lines of the memo are rewritten, so a
// calculation costs the same with ten thousand records in the books as with one.
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
