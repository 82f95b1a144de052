// The books in a window of their own, beside the fixed main window: as large as the screen, so
// that a whole table row from 基桩编号 to Rc is read at once. It shows the same line lists as
// the book screen and follows every change of them at once; its own tabs switch between the
// two books, its own track bar sets their size, and its menus, keys and find bar are the book
// screen's. Where it stood and how large it was is kept for the next time (QSettings).
#pragma once

#include <QWidget>
#include <functional>

#include "books/calculation_books.h"

class QMenu;
class QSlider;
class QStackedWidget;
class QTabBar;

namespace pile::ui {

class BookExport;
class BookView;
class FindBar;

class BookWindow : public QWidget {
    Q_OBJECT

  public:
    // `lines`: the books, which must outlive the window; `exporter`: the book screen's save as,
    // PDF and print, for the menus and keys; `measured`, where given, the views that already
    // show and follow each book, whose measures the window takes over instead of reading the
    // books through; `moreActions`, where given, end each view's menu.
    BookWindow(std::function<const BookLines&(Book)> lines, BookExport& exporter,
               std::function<const BookView*(Book)> measured = {},
               std::function<void(QMenu&)> moreActions = {});
    ~BookWindow() override;

    // A new window's size before any was kept: the whole table row at the start font on a
    // full-HD screen, within the screen's free area.
    static constexpr QSize kFirstSize{1600, 900};
    // Big enough to read at full HD with the table's 220 columns inside 1600 pixels.
    static constexpr double kStartPointSize = 10.0;

    // Shows `book`, and the window raised, where it was last time.
    void ShowBook(Book book);
    // The books changed by `change`: right after the change, as the book screen's views.
    void BooksChanged(const BooksChange& change);

    Book OnShow() const { return onShow_; }
    BookView* View(Book book) const;
    FindBar* Finder() const { return findBar_; }

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void Switch(Book book);
    void KeepGeometry() const;

    std::function<const BookLines&(Book)> lines_;
    Book onShow_ = Book::Text;
    bool placed_ = false;
    QTabBar* tabs_ = nullptr;
    QSlider* fontSize_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    BookView* textView_ = nullptr;
    BookView* tableView_ = nullptr;
    FindBar* findBar_ = nullptr;
};

}  // namespace pile::ui
