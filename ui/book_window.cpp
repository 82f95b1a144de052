#include "book_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "book_export.h"
#include "book_view.h"
#include "find_bar.h"
#include "program_title.h"
#include "ui_fonts.h"

namespace pile::ui {

namespace {

// Tenths of a point, as the book screen's track bar.
constexpr int kSteps = 10;

QSettings Settings() {
    return QSettings(QStringLiteral("rock-socketed-pile"), QStringLiteral("BXV_PRJ_VORN1"));
}
const QString kGeometryKey = QStringLiteral("BookWindow/geometry");

}  // namespace

BookWindow::BookWindow(std::function<const BookLines&(Book)> lines, BookExport& exporter,
                       std::function<const BookView*(Book)> measured,
                       std::function<void(QMenu&)> moreActions)
    : QWidget(nullptr, Qt::Window), lines_(std::move(lines)) {
    setObjectName(QStringLiteral("BookWindow"));
    setWindowTitle(QStringLiteral("计算书 - ") + kProgramTitle);
    setFont(ControlFont());
    // The main window alone keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("tab_jisuanshu"));
    tabs_->setAccessibleName(QStringLiteral("计算书"));
    tabs_->addTab(QStringLiteral("文本计算书"));
    tabs_->addTab(QStringLiteral("表格计算书"));
    tabs_->setFocusPolicy(Qt::TabFocus);
    fontSize_ = new QSlider(Qt::Horizontal, this);
    fontSize_->setObjectName(QStringLiteral("tcb_meoFontSize"));
    fontSize_->setRange(4 * kSteps, 24 * kSteps);
    fontSize_->setSingleStep(kSteps);
    fontSize_->setPageStep(2 * kSteps);
    fontSize_->setValue(static_cast<int>(kStartPointSize * kSteps));
    fontSize_->setToolTip(QStringLiteral("调整字体大小"));
    fontSize_->setAccessibleName(QStringLiteral("调整字体大小"));
    fontSize_->setFixedWidth(240);

    stack_ = new QStackedWidget(this);
    findBar_ = new FindBar([this] { return View(onShow_); }, this);
    for (const Book book : {Book::Text, Book::Table}) {
        auto* view = new BookView(stack_);
        view->setObjectName(book == Book::Text ? QStringLiteral("meo_jisuanjieguo_Doc")
                                               : QStringLiteral("meo_jisuanjieguo_Xls"));
        view->setAccessibleName(book == Book::Text ? QStringLiteral("文本计算书")
                                                   : QStringLiteral("表格计算书"));
        view->setFont(MemoFont(kStartPointSize));
        const BookView* known = measured ? measured(book) : nullptr;
        if (known != nullptr && known->ShownBook() == &lines_(book)) {
            view->SetBook(*known);
        } else {
            view->SetBook(&lines_(book));
        }
        stack_->addWidget(view);
        (book == Book::Text ? textView_ : tableView_) = view;
        exporter.AttachMenu(
            view, book, [view] { return view->createStandardContextMenu(); },
            moreActions ? std::function<void(QMenu&)>([moreActions](QMenu& menu) {
                menu.addSeparator();
                moreActions(menu);
            })
                        : std::function<void(QMenu&)>());
    }
    exporter.AddShortcuts(this, [this] { return onShow_; });
    // The other book, as a tabbed window switches its tabs.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { Switch(onShow_ == Book::Text ? Book::Table : Book::Text); });
    }
    findBar_->AddShortcuts(this);

    auto* top = new QHBoxLayout;
    top->addWidget(tabs_);
    top->addStretch(1);
    auto* sizeLabel = new QLabel(QStringLiteral("字号"), this);
    sizeLabel->setBuddy(fontSize_);
    top->addWidget(sizeLabel);
    top->addWidget(fontSize_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(top);
    column->addWidget(stack_, 1);
    column->addWidget(findBar_);

    connect(tabs_, &QTabBar::currentChanged, this,
            [this](int index) { Switch(index == 0 ? Book::Text : Book::Table); });
    connect(fontSize_, &QSlider::valueChanged, this, [this](int value) {
        for (BookView* view : {textView_, tableView_}) {
            SetPointSize(*view, value / double(kSteps));
        }
    });
    setTabOrder(tabs_, fontSize_);
    setTabOrder(fontSize_, textView_);
    setTabOrder(textView_, tableView_);
}

BookWindow::~BookWindow() {
    if (isVisible()) {
        KeepGeometry();
    }
}

BookView* BookWindow::View(Book book) const {
    return book == Book::Text ? textView_ : tableView_;
}

void BookWindow::ShowBook(Book book) {
    Switch(book);
    if (!placed_) {
        placed_ = true;
        if (!restoreGeometry(Settings().value(kGeometryKey).toByteArray())) {
            QRect frame(QPoint(), kFirstSize);
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                const QRect free = screen->availableGeometry();
                frame.setSize(kFirstSize.boundedTo(free.size() - QSize(40, 80)));
                frame.moveCenter(free.center());
            }
            setGeometry(frame);
        }
    }
    show();
    raise();
    activateWindow();
    View(book)->setFocus(Qt::OtherFocusReason);
}

void BookWindow::BooksChanged(const BooksChange& change) {
    tableView_->BookChanged(change.table);
    textView_->BookChanged(change.text);
}

void BookWindow::Switch(Book book) {
    onShow_ = book;
    const int index = book == Book::Text ? 0 : 1;
    if (tabs_->currentIndex() != index) {
        tabs_->setCurrentIndex(index);  // comes back here through currentChanged
        return;
    }
    stack_->setCurrentIndex(index);
}

void BookWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        KeepGeometry();
    }
}

void BookWindow::KeepGeometry() const {
    Settings().setValue(kGeometryKey, saveGeometry());
}

}  // namespace pile::ui
