// The book view beside the QPlainTextEdit memos it replaces, on books of 1 and 10 000 records.
// Like the book screen, each side has two widgets, the text book's on show and the table
// book's hidden, in the memo font at 14 points, 355 x 547:
//
// 1. "结果": both widgets' font 2 points up and back, then a repaint of the one on show
//    (goal: within 2 times the time with 1 record, or under 16 ms);
// 2. a font-size change as the track bar makes it, fractional sizes, then the repaint;
// 3. the append of one record to both books, both widgets told, then the repaint;
// 4. the resident memory per record at 10 000 records, each side in a process of its own:
//    the books alone, and what the widgets add to them (goal for books and view: 8 KB).
//
// Times are this thread's CPU time (the widgets paint in it), medians of the rounds.
//
//   book_view_bench [rounds]           prints the figures (medians; default 11 rounds)
//   book_view_bench --memory KIND N    (internal) KIND view, memo or none; prints the resident
//                                      bytes the books and then the widgets added
//
// Without a display the widgets run on the offscreen platform.

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "book_view.h"
#include "child_process.h"
#include "memo_sync.h"
#include "testing/book_fixtures.h"
#include "ui_fonts.h"

namespace {

using pile::bench::Median;
using pile::bench::OffscreenWithoutDisplay;
using pile::bench::ResidentBytes;
using pile::bench::RunChild;
using pile::bench::SelfPath;

constexpr int kManyRecords = 10000;

// The CPU time of this thread, so that the other builds on a shared machine do not count.
double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double MillisecondsOf(const std::function<void()>& action) {
    const double start = ThreadCpuMs();
    action();
    return ThreadCpuMs() - start;
}

// The books of a session: the fixture piles in turn, as many records as asked.
class Session {
  public:
    explicit Session(int records) {
        for (int i = 0; i < records; ++i) {
            Append();
        }
    }
    pile::BooksChange Append() {
        const auto& pile = piles_[next_++ % piles_.size()];
        return books_.AppendRecord(pile.input, pile.result, pile.dd, pile.tyzd,
                                   pile::PrecisionMode::Units, u'.', u"2026/12/9 14:30:00");
    }
    pile::BooksChange DeleteLast() { return books_.DeleteLast(); }
    const pile::CalculationBooks& Books() const { return books_; }

  private:
    std::vector<pile::testing_piles::Pile> piles_ = {
        pile::testing_piles::Startup(), pile::testing_piles::FukCircle(),
        pile::testing_piles::Ellipse(), pile::testing_piles::Rectangle(),
        pile::testing_piles::Square(),  pile::testing_piles::ClampedCircle()};
    std::size_t next_ = 0;
    pile::CalculationBooks books_;
};

// The two widgets of one side, the text book's on show and the table book's hidden.
class Screen {
  public:
    virtual ~Screen() = default;
    virtual void Follow(const pile::BooksChange& change) = 0;
    QAbstractScrollArea* Shown() const { return text_; }

    void Show() {
        parent_.resize(363, 693);
        for (QAbstractScrollArea* widget : {table_, text_}) {
            widget->setFont(pile::ui::MemoFont(pile::ui::kMemoStartPointSize));
            widget->setGeometry(4, 56, 355, 547);
        }
        table_->hide();
        parent_.show();
        QApplication::processEvents();
        Repaint();
    }
    void SetPointSize(double size) {
        pile::ui::SetPointSize(*table_, size);
        pile::ui::SetPointSize(*text_, size);
    }
    // Posted work done, then the visible area painted now.
    void Repaint() {
        QApplication::processEvents();
        text_->viewport()->repaint();
    }

  protected:
    QWidget parent_;
    QAbstractScrollArea* table_ = nullptr;
    QAbstractScrollArea* text_ = nullptr;
};

class ViewScreen : public Screen {
  public:
    explicit ViewScreen(const pile::CalculationBooks& books) {
        auto* table = new pile::ui::BookView(&parent_);
        auto* text = new pile::ui::BookView(&parent_);
        table->SetBook(&books.TableLines());
        text->SetBook(&books.TextLines());
        table_ = table;
        text_ = text;
        Show();
    }
    void Follow(const pile::BooksChange& change) override {
        static_cast<pile::ui::BookView*>(table_)->BookChanged(change.table);
        static_cast<pile::ui::BookView*>(text_)->BookChanged(change.text);
    }
};

// The memos as the window makes them today.
class MemoScreen : public Screen {
  public:
    explicit MemoScreen(const pile::CalculationBooks& books) : books_(books) {
        table_ = MakeMemo();
        text_ = MakeMemo();
        const pile::BooksChange whole{{0, 0, books.TableLines().size()},
                                      {0, 0, books.TextLines().size()}};
        Follow(whole);
        Show();
    }
    void Follow(const pile::BooksChange& change) override {
        pile::ui::FollowBook(*Memo(table_)->document(), books_.TableLines(), change.table);
        pile::ui::FollowBook(*Memo(text_)->document(), books_.TextLines(), change.text);
    }

  private:
    QPlainTextEdit* MakeMemo() {
        auto* memo = new QPlainTextEdit(&parent_);
        memo->setReadOnly(true);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->setUndoRedoEnabled(false);
        memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        return memo;
    }
    static QPlainTextEdit* Memo(QAbstractScrollArea* widget) {
        return static_cast<QPlainTextEdit*>(widget);
    }
    const pile::CalculationBooks& books_;
};

std::unique_ptr<Screen> MakeScreen(const std::string& kind, const pile::CalculationBooks& books) {
    if (kind == "view") {
        return std::make_unique<ViewScreen>(books);
    }
    return std::make_unique<MemoScreen>(books);
}

struct Figures {
    double roundTripMs;
    double fontChangeMs;
    double appendMs;
};

Figures Measure(const std::string& kind, int records, int rounds) {
    Session session(records);
    const std::unique_ptr<Screen> screen = MakeScreen(kind, session.Books());
    const double start = pile::ui::kMemoStartPointSize;
    std::vector<double> roundTrips;
    std::vector<double> fontChanges;
    std::vector<double> appends;
    for (int i = 0; i < rounds; ++i) {
        roundTrips.push_back(MillisecondsOf([&] {
            screen->SetPointSize(start + 2);
            screen->SetPointSize(start);
            screen->Repaint();
        }));
        // The track bar moves in quarter points; every change meets a new size.
        const double size = start + 0.25 * (1 + i % 8);
        fontChanges.push_back(MillisecondsOf([&] {
            screen->SetPointSize(size);
            screen->Repaint();
        }));
        screen->SetPointSize(start);
        appends.push_back(MillisecondsOf([&] {
            screen->Follow(session.Append());
            screen->Repaint();
        }));
        screen->Follow(session.DeleteLast());  // back to the size under test
    }
    screen->Repaint();
    return {Median(roundTrips), Median(fontChanges), Median(appends)};
}

// One process: the resident bytes that books of `records` add, then those that `kind`'s
// widgets add once shown and painted. A first widget pays Qt's fixed costs beforehand.
int MemoryChild(int argc, char** argv, const std::string& kind, int records) {
    QApplication application(argc, argv);
    {
        Session warmUp(1);
        const std::unique_ptr<Screen> screen = MakeScreen(kind, warmUp.Books());
        screen->Repaint();
    }
    const long long beforeBooks = ResidentBytes();
    Session session(records);
    const long long beforeWidgets = ResidentBytes();
    std::unique_ptr<Screen> screen;
    if (kind != "none") {
        screen = MakeScreen(kind, session.Books());
        screen->SetPointSize(pile::ui::kMemoStartPointSize + 2);  // "结果"
        screen->SetPointSize(pile::ui::kMemoStartPointSize);
        screen->Repaint();
    }
    std::printf("%lld %lld\n", beforeWidgets - beforeBooks, ResidentBytes() - beforeWidgets);
    return 0;
}

struct Memory {
    double booksKb;
    double widgetsKb;
};

// Kilobytes per record that the books and the widgets of `kind` add, measured in a child.
Memory MeasureMemory(const char* self, const char* kind, int records) {
    const std::string reported = RunChild(self, {"--memory", kind, std::to_string(records)});
    long long books = 0;
    long long widgets = 0;
    if (std::sscanf(reported.c_str(), "%lld %lld", &books, &widgets) != 2) {
        std::fprintf(stderr, "the %s memory child reported nothing\n", kind);
        std::exit(1);
    }
    return {static_cast<double>(books) / 1024 / records,
            static_cast<double>(widgets) / 1024 / records};
}

void PrintLine(const char* what, double oneView, double manyView, double oneMemo, double manyMemo) {
    std::printf("%s\n", what);
    std::printf("  with %5d record     BookView %9.3f ms   QPlainTextEdit %9.3f ms\n", 1, oneView,
                oneMemo);
    std::printf(
        "  with %5d records    BookView %9.3f ms   QPlainTextEdit %9.3f ms   "
        "(%.2f x and %.2f x the 1-record time; memo / view %.0f x)\n",
        kManyRecords, manyView, manyMemo, manyView / oneView, manyMemo / oneMemo,
        manyMemo / manyView);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--memory") == 0) {
        return MemoryChild(argc, argv, argv[2], std::max(1, std::atoi(argv[3])));
    }
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 11;
    OffscreenWithoutDisplay();
    const std::string selfPath = SelfPath();
    const char* self = selfPath.c_str();
    const Memory books = MeasureMemory(self, "none", kManyRecords);
    const Memory view = MeasureMemory(self, "view", kManyRecords);
    const Memory memo = MeasureMemory(self, "memo", kManyRecords);

    QApplication application(argc, argv);
    const Figures oneView = Measure("view", 1, rounds);
    const Figures manyView = Measure("view", kManyRecords, rounds);
    const Figures oneMemo = Measure("memo", 1, rounds);
    const Figures manyMemo = Measure("memo", kManyRecords, rounds);

    std::printf("platform: %s\n", std::getenv("QT_QPA_PLATFORM") != nullptr
                                      ? std::getenv("QT_QPA_PLATFORM")
                                      : "the display's");
    std::printf(
        "both books' widgets, the text book's on show; this thread's CPU time, medians of %d "
        "rounds\n",
        rounds);
    PrintLine("\"结果\": font 2 points up and back, then the repaint (goal 2 x, or 16 ms)",
              oneView.roundTripMs, manyView.roundTripMs, oneMemo.roundTripMs, manyMemo.roundTripMs);
    PrintLine("a font-size change of the track bar, then the repaint", oneView.fontChangeMs,
              manyView.fontChangeMs, oneMemo.fontChangeMs, manyMemo.fontChangeMs);
    PrintLine("the append of one record, then the repaint", oneView.appendMs, manyView.appendMs,
              oneMemo.appendMs, manyMemo.appendMs);
    std::printf("resident memory per record at %d records:\n", kManyRecords);
    std::printf("  the books alone                 %6.2f KB\n", books.booksKb);
    std::printf("  BookView widgets on top         %6.2f KB   (books and view %.2f KB; goal 8)\n",
                view.widgetsKb, view.booksKb + view.widgetsKb);
    std::printf("  QPlainTextEdit memos on top     %6.2f KB   (books and memos %.2f KB)\n",
                memo.widgetsKb, memo.booksKb + memo.widgetsKb);
    return 0;
}
