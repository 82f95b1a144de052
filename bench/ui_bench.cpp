// The speed of the window, in two figures:
//
// 1. Start to first paint: the median time from spawning a process to the end of the first
//    paint of its window, for the program's main window beside a bare QWidget of the same size
//    started the same way (goal: within 1.3 times the bare window).
// 2. "计算" with 10 000 records already in the books beside the same click with one record:
//    the median time from the click to the updated memos (goal: within 2 times).
//
//   ui_bench [starts [clicks]]     runs both and prints the figures (defaults 21 and 200)
//   ui_bench --first-paint window|bare|fonts
//                                  (internal) one start; prints the monotonic clock in ns at
//                                  the end of the first paint
//
// A third start, "fonts", shows the floor that the program's fonts set: the bare window with
// two labels in the Chinese face the controls use, regular and bold (each a 20 MB file that
// FreeType opens), beside which the rest of the window is measured.
//
// Without a display the measured processes run on the offscreen platform.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BXV_PAS_VORN1.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Prints the clock once the first paint of `window` has been handled (and flushed: the
// zero timer runs after the paint event's whole delivery), then ends the process.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(QWidget* window) : window_(window) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, this, [] {
                std::printf("%lld\n", NowNs());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

  private:
    QWidget* window_;
    bool seen_ = false;
};

int FirstPaintChild(int argc, char** argv, const std::string& kind) {
    QApplication application(argc, argv);
    if (kind == "window") {
        TBXV_FRM_VORN1 window;
        FirstPaint probe(&window);
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
    FirstPaint probe(&window);
    window.show();
    window.raise();
    window.activateWindow();
    return QApplication::exec();
}

// Milliseconds from the spawn of `self --first-paint kind` to the first paint it reports.
double TimeOneStart(const char* self, const char* kind) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string selfArg = self;
    std::string flag = "--first-paint";
    std::string kindArg = kind;
    char* args[] = {selfArg.data(), flag.data(), kindArg.data(), nullptr};
    pid_t pid = 0;
    const long long start = NowNs();
    if (posix_spawn(&pid, self, &actions, nullptr, args, environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[64] = {};
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer - 1);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got <= 0) {
        std::fprintf(stderr, "the %s window reported no paint\n", kind);
        std::exit(1);
    }
    return static_cast<double>(std::atoll(buffer) - start) / 1e6;
}

template <typename T>
T* Find(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

// One "计算" after an input change has brought the button back; only the click is timed,
// up to the moment the memos hold the new record and the events it posted are handled.
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

struct ComputeFigures {
    double medianMs;
    double viewMs;  // "结果" once at that size: the memos lay their text out afresh
    int records;
};

ComputeFigures MeasureCompute(int recordsBefore, int clicks) {
    TBXV_FRM_VORN1 window;
    window.show();
    bool toggle = false;
    while (window.Books().PileCounter() < recordsBefore) {
        TimeOneCompute(window, toggle);
    }
    std::vector<double> times;
    for (int i = 0; i < clicks; ++i) {
        times.push_back(TimeOneCompute(window, toggle));
        // Back to the size under test, so that every click meets the same books.
        Find<QPushButton>(window, "cbt_sanchu")->click();
    }
    const auto start = Clock::now();
    QTest::mouseClick(Find<QPushButton>(window, "cbt_View"), Qt::LeftButton);
    QApplication::processEvents();
    const double view = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {Median(times), view, window.Books().PileCounter()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--first-paint") == 0) {
        return FirstPaintChild(argc, argv, argv[2]);
    }
    const int starts = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    const int clicks = argc > 2 ? std::max(3, std::atoi(argv[2])) : 200;
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const char* self = "/proc/self/exe";
    char path[4096] = {};
    if (const ssize_t n = readlink(self, path, sizeof path - 1); n > 0) {
        self = path;
    }

    // Starts, alternating, after one unmeasured start of each to warm the caches.
    TimeOneStart(self, "bare");
    TimeOneStart(self, "fonts");
    TimeOneStart(self, "window");
    std::vector<double> bare;
    std::vector<double> fonts;
    std::vector<double> program;
    for (int i = 0; i < starts; ++i) {
        bare.push_back(TimeOneStart(self, "bare"));
        fonts.push_back(TimeOneStart(self, "fonts"));
        program.push_back(TimeOneStart(self, "window"));
    }
    const double bareMedian = Median(bare);
    const double fontsMedian = Median(fonts);
    const double programMedian = Median(program);
    std::printf("platform: %s\n", std::getenv("QT_QPA_PLATFORM") != nullptr
                                      ? std::getenv("QT_QPA_PLATFORM")
                                      : "the display's");
    std::printf("start to first paint, median of %d starts:\n", starts);
    std::printf("  bare QWidget 363 x 693      %8.1f ms\n", bareMedian);
    std::printf("  bare QWidget + 2 CJK labels %8.1f ms   (%.2f x the bare window)\n", fontsMedian,
                fontsMedian / bareMedian);
    std::printf("  main window TBXV_FRM_VORN1  %8.1f ms   (%.2f x the bare window; goal 1.3)\n",
                programMedian, programMedian / bareMedian);

    QApplication application(argc, argv);
    const ComputeFigures one = MeasureCompute(1, clicks);
    const ComputeFigures many = MeasureCompute(10000, clicks);
    std::printf("\"计算\" from the click to the updated memos, median of %d clicks:\n", clicks);
    std::printf("  with %5d record in the books   %8.3f ms\n", one.records, one.medianMs);
    std::printf("  with %5d records in the books  %8.3f ms   (%.2f x; goal 2)\n", many.records,
                many.medianMs, many.medianMs / one.medianMs);
    std::printf("\"结果\" (the memos laid out afresh): %.1f ms with %d record, %.1f ms with %d\n",
                one.viewMs, one.records, many.viewMs, many.records);
    return 0;
}
