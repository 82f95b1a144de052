// The speed and memory of the window:
//
// 1. Start to first paint: the median time from spawning a process to the end of the first
//    paint of its window, for the program's main window beside a bare QWidget of the same size
//    with two labels in the controls' Chinese face, regular and bold, started the same way
//    (goal: within 1.2 times that window). A bare window without the labels shows what the
//    two fonts alone cost; a further start of the main window runs on until its book screen,
//    built right after the first paint, is there too.
// 2. "计算" with 10 000 records already in the books beside the same click with one record:
//    the median time from the click to the updated book views (goal: within 2 times), with
//    the session journal on the disk (the benchmark's folder) and without it (a data folder
//    that cannot be made), and the journal's bytes per record.
// 3. "结果" and a step of the font-size track bar, each up to the repaint of the book on show,
//    with 1 and with 10 000 records (goal: within 2 times the time with 1 record, or under
//    16 ms).
// 4. The book window (Ctrl+Shift+O on the book screen): its first opening, each later one and
//    a repaint of its table book maximized, with 1 and with 10 000 records (goal: within 2
//    times), and the last key of "ZH1234" typed into its find bar with 10 000 records, up to
//    the match on show (goal: one frame, 16 ms).
// 5. The project table's window (Ctrl+T): its first opening (the rows built), each later one,
//    a sort by a column of numbers and by the marks, a page of scrolling and "只看不满足" on
//    and off, each up to the repaint, and "计算" while it is open, with 1 and with 10 000
//    records (goal: 16 ms each).
// 6. The resident memory the running window gains per record from 10 000 "计算" (goal: 8 KB
//    or less), in a process of its own.
//
//   ui_bench [starts [clicks]]     runs them all and prints the figures (defaults 21 and 200)
//   ui_bench --first-paint window|ready|bare|fonts
//                                  (internal) one start; prints the monotonic clock in ns at
//                                  the end of the first paint (ready: once the book screen is
//                                  built as well)
//   ui_bench --memory N            (internal) prints the resident bytes of the shown window
//                                  before and after N records
//
// Without a display the measured processes run on the offscreen platform.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "book_window.h"
#include "child_process.h"
#include "find_bar.h"
#include "project_window.h"
#include "ui/platform/message_presenter.h"

namespace {

using pile::bench::Median;
using pile::bench::OffscreenWithoutDisplay;
using pile::bench::ResidentBytes;
using pile::bench::RunChild;
using pile::bench::SelfPath;
using Clock = std::chrono::steady_clock;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

template <typename T>
T* Find(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

// Prints the clock once the first paint of `window` has been handled (and flushed: the
// zero timer runs after the paint event's whole delivery), then ends the process. With
// `untilBookScreen`, waits on until the window's book screen exists as well.
class FirstPaint : public QObject {
  public:
    FirstPaint(QWidget* window, bool untilBookScreen)
        : window_(window), untilBookScreen_(untilBookScreen) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, this, [this] { ReportWhenReady(); });
        }
        return false;
    }

  private:
    void ReportWhenReady() {
        if (untilBookScreen_ && Find<QWidget>(*window_, "JieGuo_DocLayer") == nullptr) {
            QTimer::singleShot(0, this, [this] { ReportWhenReady(); });
            return;
        }
        std::printf("%lld\n", NowNs());
        std::fflush(stdout);
        std::_Exit(0);
    }

    QWidget* window_;
    bool untilBookScreen_;
    bool seen_ = false;
};

int FirstPaintChild(int argc, char** argv, const std::string& kind) {
    QApplication application(argc, argv);
    if (kind == "window" || kind == "ready") {
        TBXV_FRM_VORN1 window;
        FirstPaint probe(&window, kind == "ready");
        window.show();
        window.raise();
        window.activateWindow();
        return QApplication::exec();
    }
    QWidget window;
    window.setFixedSize(363, 693);
    if (kind == "fonts") {
        QFont face;
        face.setFamilies({QStringLiteral("Noto Sans CJK SC")});
        window.setFont(face);
        auto* title = new QLabel(QStringLiteral("嵌岩桩承载力计算"), &window);
        QFont bold;
        bold.setPointSize(24);
        bold.setBold(true);
        title->setFont(bold);
        title->setGeometry(60, 12, 260, 33);
        auto* label = new QLabel(QStringLiteral("桩身截面类型"), &window);
        label->setGeometry(8, 84, 240, 32);
    }
    FirstPaint probe(&window, false);
    window.show();
    window.raise();
    window.activateWindow();
    return QApplication::exec();
}

// Milliseconds from the spawn of `self --first-paint kind` to the first paint it reports.
double TimeOneStart(const char* self, const char* kind) {
    const long long start = NowNs();
    const std::string reported = RunChild(self, {"--first-paint", kind});
    if (reported.empty()) {
        std::fprintf(stderr, "the %s window reported no paint\n", kind);
        std::exit(1);
    }
    return static_cast<double>(std::atoll(reported.c_str()) - start) / 1e6;
}

// One "计算" after an input change has brought the button back; only the click is timed,
// up to the moment the book views hold the new record and the events it posted are handled.
double TimeOneCompute(TBXV_FRM_VORN1& window, bool& toggle) {
    auto* frk = Find<QLineEdit>(window, "edt_frk");
    frk->setText(toggle ? QStringLiteral("25") : QStringLiteral("26"));
    toggle = !toggle;
    auto* compute = Find<QPushButton>(window, "cbt_compute");
    const auto start = Clock::now();
    QTest::mouseClick(compute, Qt::LeftButton);
    QApplication::processEvents();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MillisecondsOf(const std::function<void()>& action) {
    const auto start = Clock::now();
    action();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct WindowFigures {
    double computeMs;  // "计算", median
    double viewMs;     // "结果" from the input screen to the book on show, median
    double trackMs;    // one step of the track bar, repaint included, median
    int records;
    double bookWindowFirstMs = 0;  // Ctrl+Shift+O the first time: built, shown, painted
    double bookWindowMs = 0;       // each later opening, painted, median
    double bookWindowPaintMs = 0;  // a repaint of its text book, maximized, median
    // The same of the table book, whose one record fills a few lines of the window only.
    double bookWindowTablePaintMs = 0;
    double findTableMs = 0;  // the last key of "ZH1234" in the find bar, median
    double findTextMs = 0;
    // The project table's window: Ctrl+T the first time and later, medians of the rest.
    double projectFirstMs = 0;
    double projectMs = 0;
    double projectSortNumberMs = 0;
    double projectSortTextMs = 0;
    double projectScrollMs = 0;
    double projectFilterMs = 0;
    double projectComputeMs = 0;  // "计算" with the window open
};

// The book window from the book screen by its keys, up to its table book painted.
double TimeBookWindowOpening(TBXV_FRM_VORN1& window, QWidget* memo) {
    return MillisecondsOf([&] {
        QTest::keyClick(memo, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents();
        if (pile::ui::BookWindow* books = window.BookWindowIfOpened()) {
            books->View(pile::Book::Table)->viewport()->repaint();
        }
    });
}

// "ZH123" typed into the find bar from the start of the book, then the key timed that makes it
// "ZH1234", up to the match on show and painted.
double TimeLastFindKey(pile::ui::BookWindow& books, pile::Book book) {
    pile::ui::BookView* view = books.View(book);
    view->CaretToStart();
    auto* box = Find<QLineEdit>(books, "edt_chazhao");
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("ZH123"));
    QApplication::processEvents();
    return MillisecondsOf([&] {
        QTest::keyClick(box, Qt::Key_4);
        view->viewport()->repaint();
    });
}

// Opening, repainting and finding in the book window, the book screen on show.
void MeasureBookWindow(TBXV_FRM_VORN1& window, int rounds, WindowFigures& figures) {
    QApplication::setActiveWindow(&window);
    auto* memo = Find<QWidget>(window, "meo_jisuanjieguo_Doc");
    memo->setFocus();
    figures.bookWindowFirstMs = TimeBookWindowOpening(window, memo);
    pile::ui::BookWindow* books = window.BookWindowIfOpened();
    if (books == nullptr) {
        std::fprintf(stderr, "Ctrl+Shift+O opened no book window\n");
        std::exit(1);
    }
    std::vector<double> openings;
    for (int i = 0; i < rounds; ++i) {
        books->hide();
        QApplication::setActiveWindow(&window);
        memo->setFocus();
        openings.push_back(TimeBookWindowOpening(window, memo));
    }
    books->showMaximized();
    QApplication::processEvents();
    std::vector<double> paints;
    std::vector<double> tablePaints;
    for (int i = 0; i < rounds; ++i) {
        Find<QTabBar>(*books, "tab_jisuanshu")->setCurrentIndex(0);
        QApplication::processEvents();
        paints.push_back(
            MillisecondsOf([&] { books->View(pile::Book::Text)->viewport()->repaint(); }));
        Find<QTabBar>(*books, "tab_jisuanshu")->setCurrentIndex(1);
        QApplication::processEvents();
        tablePaints.push_back(
            MillisecondsOf([&] { books->View(pile::Book::Table)->viewport()->repaint(); }));
    }
    books->Finder()->Open();
    std::vector<double> table;
    std::vector<double> text;
    for (int i = 0; i < rounds; ++i) {
        Find<QTabBar>(*books, "tab_jisuanshu")->setCurrentIndex(1);
        table.push_back(TimeLastFindKey(*books, pile::Book::Table));
        Find<QTabBar>(*books, "tab_jisuanshu")->setCurrentIndex(0);
        text.push_back(TimeLastFindKey(*books, pile::Book::Text));
    }
    books->hide();
    figures.bookWindowMs = Median(openings);
    figures.bookWindowPaintMs = Median(paints);
    figures.bookWindowTablePaintMs = Median(tablePaints);
    figures.findTableMs = Median(table);
    figures.findTextMs = Median(text);
}

// The project window's table repainted, after `action`.
double TimeProjectAction(pile::ui::ProjectWindow& project, const std::function<void()>& action) {
    return MillisecondsOf([&] {
        action();
        QApplication::processEvents();
        project.View()->viewport()->repaint();
    });
}

// Opening, sorting, scrolling and filtering the project table, from the main window's Ctrl+T.
void MeasureProjectWindow(TBXV_FRM_VORN1& window, int rounds, WindowFigures& figures) {
    const auto open = [&] {
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
        QApplication::processEvents();
        if (pile::ui::ProjectWindow* project = window.ProjectWindowIfOpened()) {
            project->View()->viewport()->repaint();
        }
    };
    figures.projectFirstMs = MillisecondsOf(open);
    pile::ui::ProjectWindow* project = window.ProjectWindowIfOpened();
    if (project == nullptr) {
        std::fprintf(stderr, "Ctrl+T opened no project window\n");
        std::exit(1);
    }
    std::vector<double> openings;
    std::vector<double> numbers;
    std::vector<double> texts;
    std::vector<double> scrolls;
    std::vector<double> filters;
    QHeaderView* header = project->View()->horizontalHeader();
    for (int i = 0; i < rounds; ++i) {
        project->hide();
        openings.push_back(MillisecondsOf(open));
        const Qt::SortOrder order = i % 2 == 0 ? Qt::DescendingOrder : Qt::AscendingOrder;
        numbers.push_back(TimeProjectAction(*project, [&] {
            header->setSortIndicator(static_cast<int>(pile::session::ProjectColumn::Ra), order);
        }));
        texts.push_back(TimeProjectAction(*project, [&] {
            header->setSortIndicator(static_cast<int>(pile::session::ProjectColumn::Mark), order);
        }));
        scrolls.push_back(TimeProjectAction(*project, [&] {
            QTest::keyClick(project->View(), i % 2 == 0 ? Qt::Key_PageDown : Qt::Key_PageUp);
        }));
        filters.push_back(TimeProjectAction(*project, [&] { project->FailedOnly()->click(); }));
        filters.push_back(TimeProjectAction(*project, [&] { project->FailedOnly()->click(); }));
    }
    std::vector<double> computes;
    bool toggle = true;
    for (int i = 0; i < rounds; ++i) {
        computes.push_back(TimeOneCompute(window, toggle));
        Find<QPushButton>(window, "cbt_sanchu")->click();
        QApplication::processEvents();
    }
    project->hide();
    figures.projectMs = Median(openings);
    figures.projectSortNumberMs = Median(numbers);
    figures.projectSortTextMs = Median(texts);
    figures.projectScrollMs = Median(scrolls);
    figures.projectFilterMs = Median(filters);
    figures.projectComputeMs = Median(computes);
}

// Takes the journal's one warning without a box that would block the clicks.
class SilentMessages final : public pile::platform::MessagePresenter {
  public:
    void showMessage(const QString&, std::function<void()>) override {}
    void showError(const QString&) override {}
    std::size_t askChoice(const QString&, const QStringList&, std::size_t enter,
                          std::size_t) override {
        return enter;
    }
};

// The session journal goes to `journalFolder`; one that cannot be made turns it off.
WindowFigures MeasureWindow(int recordsBefore, int clicks, const QString& journalFolder) {
    SilentMessages messages;
    TBXV_FRM_VORN1 window(WindowPlatform{.messages = &messages, .journalFolder = journalFolder});
    window.show();
    bool toggle = false;
    while (window.Books().PileCounter() < recordsBefore) {
        TimeOneCompute(window, toggle);
    }
    std::vector<double> computes;
    for (int i = 0; i < clicks; ++i) {
        computes.push_back(TimeOneCompute(window, toggle));
        // Back to the size under test, so that every click meets the same books.
        Find<QPushButton>(window, "cbt_sanchu")->click();
    }
    auto* view = Find<QPushButton>(window, "cbt_View");
    auto* back = Find<QPushButton>(window, "cbt_Exit");
    auto* slider = Find<QSlider>(window, "tcb_meoFontSize");
    const int rounds = std::max(11, clicks / 10);
    std::vector<double> views;
    for (int i = 0; i < rounds; ++i) {
        views.push_back(MillisecondsOf([&] {
            QTest::mouseClick(view, Qt::LeftButton);
            QApplication::processEvents();
        }));
        QTest::mouseClick(back, Qt::LeftButton);
        QApplication::processEvents();
    }
    // On the book screen: the arrow keys move the track bar by one point, up and down in turn.
    QTest::mouseClick(view, Qt::LeftButton);
    QApplication::processEvents();
    std::vector<double> steps;
    for (int i = 0; i < rounds; ++i) {
        steps.push_back(MillisecondsOf([&] {
            QTest::keyClick(slider, i % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
            QApplication::processEvents();
        }));
    }
    WindowFigures figures{Median(computes), Median(views), Median(steps),
                          window.Books().PileCounter()};
    MeasureBookWindow(window, rounds, figures);
    MeasureProjectWindow(window, rounds, figures);
    return figures;
}

// The resident memory of a shown window, its book screen built, before and after `records`
// clicks on "计算" (each a record more), then "结果": what the program holds per record.
int MemoryChild(int argc, char** argv, int records) {
    QApplication application(argc, argv);
    TBXV_FRM_VORN1 window;
    window.show();
    if (!QTest::qWaitFor([&] { return Find<QWidget>(window, "JieGuo_DocLayer") != nullptr; })) {
        std::fprintf(stderr, "the window built no book screen\n");
        std::_Exit(1);
    }
    QApplication::processEvents();
    const long long before = ResidentBytes();
    bool toggle = false;
    while (window.Books().PileCounter() < records) {
        TimeOneCompute(window, toggle);
    }
    QTest::mouseClick(Find<QPushButton>(window, "cbt_View"), Qt::LeftButton);
    QApplication::processEvents();
    std::printf("%lld %lld\n", before, ResidentBytes());
    std::fflush(stdout);
    std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--first-paint") == 0) {
        return FirstPaintChild(argc, argv, argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) {
        return MemoryChild(argc, argv, std::max(1, std::atoi(argv[2])));
    }
    const int starts = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    const int clicks = argc > 2 ? std::max(3, std::atoi(argv[2])) : 200;
    OffscreenWithoutDisplay();
    const std::string selfPath = SelfPath();
    const char* self = selfPath.c_str();

    // Starts, alternating, after one unmeasured start of each to warm the caches.
    const std::vector<const char*> kinds = {"bare", "fonts", "window", "ready"};
    std::vector<std::vector<double>> times(kinds.size());
    for (const char* kind : kinds) {
        TimeOneStart(self, kind);
    }
    for (int i = 0; i < starts; ++i) {
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            times[k].push_back(TimeOneStart(self, kinds[k]));
        }
    }
    const double bareMedian = Median(times[0]);
    const double fontsMedian = Median(times[1]);
    const double programMedian = Median(times[2]);
    const double readyMedian = Median(times[3]);
    std::printf("platform: %s\n", std::getenv("QT_QPA_PLATFORM") != nullptr
                                      ? std::getenv("QT_QPA_PLATFORM")
                                      : "the display's");
    std::printf("start to first paint, median of %d starts:\n", starts);
    std::printf("  bare QWidget 363 x 693      %8.1f ms\n", bareMedian);
    std::printf("  bare QWidget + 2 CJK labels %8.1f ms   (%.2f x the bare window)\n", fontsMedian,
                fontsMedian / bareMedian);
    std::printf("  main window TBXV_FRM_VORN1  %8.1f ms   (%.2f x the 2-label window; goal 1.2)\n",
                programMedian, programMedian / fontsMedian);
    std::printf("  ... and its book screen     %8.1f ms   (built right after the first paint)\n",
                readyMedian);

    constexpr int kManyRecords = 10000;
    QApplication application(argc, argv);
    // In the working folder: the disk the benchmark runs on, where a sync costs what it costs.
    const QTemporaryDir data(QDir::currentPath() + QStringLiteral("/ui_bench_data-XXXXXX"));
    const QString noFolder = QStringLiteral("/dev/null/none");
    const WindowFigures one = MeasureWindow(1, clicks, data.path() + QStringLiteral("/1"));
    const WindowFigures many =
        MeasureWindow(kManyRecords, clicks, data.path() + QStringLiteral("/many"));
    const WindowFigures oneOff = MeasureWindow(1, clicks, noFolder);
    const WindowFigures manyOff = MeasureWindow(kManyRecords, clicks, noFolder);
    std::printf("\"计算\" from the click to the updated book views, median of %d clicks:\n",
                clicks);
    std::printf("  with %5d record in the books   %8.3f ms   (%.3f ms without the journal)\n",
                one.records, one.computeMs, oneOff.computeMs);
    std::printf(
        "  with %5d records in the books  %8.3f ms   (%.2f x; goal 2)   (%.3f ms without "
        "the journal, %.2f x)\n",
        many.records, many.computeMs, many.computeMs / one.computeMs, manyOff.computeMs,
        manyOff.computeMs / oneOff.computeMs);
    const QDir journalFolder(data.path() + QStringLiteral("/many"));
    qint64 journalBytes = 0;
    for (const QString& name : journalFolder.entryList({QStringLiteral("*.csv")}, QDir::Files)) {
        journalBytes = std::max(journalBytes, QFileInfo(journalFolder.filePath(name)).size());
    }
    // The rows the journal holds at the end: the records in the books, the header aside.
    std::printf("session journal: %lld bytes with %d records, %.1f bytes per record\n",
                static_cast<long long>(journalBytes), many.records,
                static_cast<double>(journalBytes) / many.records);
    std::printf(
        "\"结果\" (the book screen, the views laid out afresh): %.1f ms with %d record, %.1f ms "
        "with %d   (%.2f x; goal 2 x or 16 ms)\n",
        one.viewMs, one.records, many.viewMs, many.records, many.viewMs / one.viewMs);
    std::printf(
        "track bar, one step of the memo font: %.1f ms with %d record, %.1f ms with %d   (%.2f "
        "x; goal 2 x or 16 ms)\n",
        one.trackMs, one.records, many.trackMs, many.records, many.trackMs / one.trackMs);

    std::printf(
        "book window, Ctrl+Shift+O the first time: %.1f ms with %d record, %.1f ms with %d   "
        "(%.2f x; goal 2 x)\n",
        one.bookWindowFirstMs, one.records, many.bookWindowFirstMs, many.records,
        many.bookWindowFirstMs / one.bookWindowFirstMs);
    std::printf(
        "book window, each later opening: %.1f ms with %d record, %.1f ms with %d   (%.2f x; "
        "goal 2 x)\n",
        one.bookWindowMs, one.records, many.bookWindowMs, many.records,
        many.bookWindowMs / one.bookWindowMs);
    std::printf(
        "book window, a repaint of the text book maximized: %.2f ms with %d record, %.2f ms "
        "with %d   (%.2f x; goal 2 x)\n",
        one.bookWindowPaintMs, one.records, many.bookWindowPaintMs, many.records,
        many.bookWindowPaintMs / one.bookWindowPaintMs);
    std::printf(
        "  ... of the table book: %.2f ms with %d record (its few lines), %.2f ms with %d (the "
        "window full)\n",
        one.bookWindowTablePaintMs, one.records, many.bookWindowTablePaintMs, many.records);
    std::printf(
        "find \"ZH1234\" with %d records, the last key to the match painted: table book %.2f "
        "ms, text book %.2f ms   (goal 16 ms)\n",
        many.records, many.findTableMs, many.findTextMs);

    std::printf("project table (Ctrl+T), with %d record and with %d   (goal 16 ms each):\n",
                one.records, many.records);
    const auto projectLine = [&](const char* what, double WindowFigures::*figure) {
        std::printf("  %-34s %8.2f ms %8.2f ms\n", what, one.*figure, many.*figure);
    };
    projectLine("first opening, the rows built", &WindowFigures::projectFirstMs);
    projectLine("each later opening", &WindowFigures::projectMs);
    projectLine("sort by Ra", &WindowFigures::projectSortNumberMs);
    projectLine("sort by 桩号", &WindowFigures::projectSortTextMs);
    projectLine("a page down or up", &WindowFigures::projectScrollMs);
    projectLine("只看不满足 on or off", &WindowFigures::projectFilterMs);
    projectLine("\"计算\" with the window open", &WindowFigures::projectComputeMs);

    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path() + QStringLiteral("/memory")));
    const std::string memory = RunChild(self, {"--memory", std::to_string(kManyRecords)});
    long long before = 0;
    long long after = 0;
    if (std::sscanf(memory.c_str(), "%lld %lld", &before, &after) != 2) {
        std::fprintf(stderr, "the memory run reported nothing\n");
        return 1;
    }
    std::printf(
        "resident memory of the window: %.1f MB shown, %.1f MB with %d records: %.2f KB per "
        "record (goal 8)\n",
        static_cast<double>(before) / 1e6, static_cast<double>(after) / 1e6, kManyRecords,
        static_cast<double>(after - before) / 1024.0 / kManyRecords);
    return 0;
}
