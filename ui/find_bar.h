// Finding a text in a book: "ZH1234" among ten thousand records without scrolling. The search
// runs over the book's own line list, from the place of the last match, so that each key typed
// into the bar costs a search from where the eye already is, not from the book's beginning.
#pragma once

#include <QString>
#include <QStringView>
#include <QWidget>
#include <functional>
#include <optional>

#include "book_view_text.h"
#include "books/calculation_books.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pile::ui {

class BookView;

enum class FindDirection { Forward, Backward };

struct BookMatch {
    BookPosition from;
    BookPosition to;
    friend bool operator==(const BookMatch&, const BookMatch&) = default;
};

// The first match of `needle` (the letters A to Z in either case) that starts at `from` or after
// it, or, backwards, the last that starts before it; past the book's end (or beginning) the search
// goes round once. Nothing for an empty needle or none in the book.
std::optional<BookMatch> FindInBook(const BookLines& book, QStringView needle, BookPosition from,
                                    FindDirection direction);

// The bar under a book view: a box whose every change finds anew from the current match, the
// previous and next buttons (Shift+F3, F3), and Esc that closes it. The match is the view's
// selection; a text the book lacks turns the box red and says so.
class FindBar : public QWidget {
    Q_OBJECT

  public:
    // `view`: the view searched, which may change (the book on show).
    FindBar(std::function<BookView*()> view, QWidget* parent);

    // Ctrl+F, F3 and Shift+F3 on `host` and its children.
    void AddShortcuts(QWidget* host);

    // Shows the bar with the keyboard in its box, its text selected.
    void Open();
    void Close();
    void FindNext();
    void FindPrevious();
    bool Found() const { return found_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Find(BookPosition from, FindDirection direction);
    void ShowFound(bool found);

    std::function<BookView*()> view_;
    QLineEdit* box_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* status_ = nullptr;
    bool found_ = true;
};

}  // namespace pile::ui
