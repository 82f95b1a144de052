// What the book screen shows of a panel session, computed once by the session
// (PanelSession::BookScreen) and shown by the window in one place.
#pragma once

#include <string>

#include "books/book.h"

namespace pile::session {

// What the book screen shows of the session: the buttons' states and the book on show.
struct BookScreenState {
    bool canSave = false;    // cbt_Save: the book on show has unsaved records
    bool canDelete = false;  // cbt_sanchu: the books hold a record
    Book onShow = Book::Text;
    std::u16string caption;  // cbt_PageBook: "1" the text book, "2" the table book
    friend bool operator==(const BookScreenState&, const BookScreenState&) = default;
};

}  // namespace pile::session
