#include "find_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "book_view.h"

namespace pile::ui {

namespace {

QStringView View(const std::u16string& line) {
    return QStringView(line.data(), static_cast<qsizetype>(line.size()));
}

std::optional<BookMatch> MatchAt(std::size_t line, qsizetype column, QStringView needle) {
    if (column < 0) {
        return std::nullopt;
    }
    const int start = static_cast<int>(column);
    return BookMatch{{line, start}, {line, start + static_cast<int>(needle.size())}};
}

// The first match in `line` that starts at `from` or after it.
std::optional<BookMatch> FirstIn(const BookLines& book, std::size_t line, qsizetype from,
                                 QStringView needle) {
    return MatchAt(line, View(book[line]).indexOf(needle, from, Qt::CaseInsensitive), needle);
}

// The last match in `line` that starts at `before - 1` or earlier.
std::optional<BookMatch> LastIn(const BookLines& book, std::size_t line, qsizetype before,
                                QStringView needle) {
    const QStringView text = View(book[line]);
    const qsizetype latest = std::min(before - 1, text.size() - needle.size());
    if (latest < 0) {
        return std::nullopt;
    }
    return MatchAt(line, text.lastIndexOf(needle, latest, Qt::CaseInsensitive), needle);
}

}  // namespace

std::optional<BookMatch> FindInBook(const BookLines& book, QStringView needle, BookPosition from,
                                    FindDirection direction) {
    if (needle.isEmpty() || book.empty()) {
        return std::nullopt;
    }
    from = Clamped(from, book);
    const std::size_t lines = book.size();
    if (direction == FindDirection::Forward) {
        if (auto match = FirstIn(book, from.line, from.column, needle)) {
            return match;
        }
        // On to the end, then round from the beginning up to the line started in.
        for (std::size_t step = 1; step <= lines; ++step) {
            if (auto match = FirstIn(book, (from.line + step) % lines, 0, needle)) {
                return match;
            }
        }
        return std::nullopt;
    }
    if (auto match = LastIn(book, from.line, from.column, needle)) {
        return match;
    }
    for (std::size_t step = 1; step <= lines; ++step) {
        const std::size_t line = (from.line + lines - step) % lines;
        if (auto match = LastIn(book, line, View(book[line]).size() + 1, needle)) {
            return match;
        }
    }
    return std::nullopt;
}

FindBar::FindBar(std::function<BookView*()> view, QWidget* parent)
    : QWidget(parent), view_(std::move(view)) {
    setObjectName(QStringLiteral("fnd_chazhao"));
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(4);
    box_ = new QLineEdit(this);
    box_->setObjectName(QStringLiteral("edt_chazhao"));
    box_->setAccessibleName(QStringLiteral("查找"));
    box_->setPlaceholderText(QStringLiteral("查找"));
    box_->setClearButtonEnabled(true);
    box_->installEventFilter(this);
    previous_ = new QPushButton(QStringLiteral("▲"), this);
    previous_->setObjectName(QStringLiteral("cbt_shangyige"));
    previous_->setAccessibleName(QStringLiteral("上一个"));
    previous_->setToolTip(QStringLiteral("上一个 (Shift+F3)"));
    next_ = new QPushButton(QStringLiteral("▼"), this);
    next_->setObjectName(QStringLiteral("cbt_xiayige"));
    next_->setAccessibleName(QStringLiteral("下一个"));
    next_->setToolTip(QStringLiteral("下一个 (F3)"));
    for (QPushButton* button : {previous_, next_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedWidth(button->fontMetrics().height() * 2);
    }
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lb_chazhao"));
    row->addWidget(box_, 1);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addWidget(status_);
    hide();

    // Each change of the text finds again from the start of the match on show, so that typing
    // on narrows the match in place.
    connect(box_, &QLineEdit::textEdited, this, [this] {
        const BookView* shown = view_();
        if (shown != nullptr) {
            Find(std::min(shown->Anchor(), shown->Caret()), FindDirection::Forward);
        }
    });
    connect(box_, &QLineEdit::returnPressed, this, &FindBar::FindNext);
    connect(next_, &QPushButton::clicked, this, &FindBar::FindNext);
    connect(previous_, &QPushButton::clicked, this, &FindBar::FindPrevious);
}

void FindBar::AddShortcuts(QWidget* host) {
    const auto add = [this, host](const QKeySequence& keys, void (FindBar::*act)()) {
        auto* shortcut = new QShortcut(keys, host);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, act);
    };
    add(QKeySequence::Find, &FindBar::Open);
    add(QKeySequence(Qt::Key_F3), &FindBar::FindNext);
    add(QKeySequence(Qt::SHIFT | Qt::Key_F3), &FindBar::FindPrevious);
}

void FindBar::Open() {
    show();
    raise();
    box_->setFocus(Qt::ShortcutFocusReason);
    box_->selectAll();
}

void FindBar::Close() {
    hide();
    if (BookView* shown = view_()) {
        shown->setFocus(Qt::OtherFocusReason);
    }
}

// F3 with the bar closed, or still empty, opens it first.
void FindBar::FindNext() {
    const BookView* shown = view_();
    if (isHidden() || box_->text().isEmpty()) {
        Open();
    }
    if (shown != nullptr) {
        Find(std::max(shown->Anchor(), shown->Caret()), FindDirection::Forward);
    }
}

void FindBar::FindPrevious() {
    const BookView* shown = view_();
    if (isHidden() || box_->text().isEmpty()) {
        Open();
    }
    if (shown != nullptr) {
        Find(std::min(shown->Anchor(), shown->Caret()), FindDirection::Backward);
    }
}

void FindBar::Find(BookPosition from, FindDirection direction) {
    BookView* shown = view_();
    if (shown == nullptr || shown->ShownBook() == nullptr || box_->text().isEmpty()) {
        ShowFound(true);
        return;
    }
    const std::optional<BookMatch> match =
        FindInBook(*shown->ShownBook(), box_->text(), from, direction);
    if (match) {
        shown->Reveal(match->from, match->to);
    }
    ShowFound(match.has_value());
}

void FindBar::ShowFound(bool found) {
    found_ = found;
    status_->setText(found ? QString() : QStringLiteral("未找到"));
    QPalette palette = box_->palette();
    palette.setColor(QPalette::Text, found ? QColor(Qt::black) : QColor(Qt::red));
    box_->setPalette(palette);
    status_->setPalette(palette);
    status_->setForegroundRole(QPalette::Text);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    const bool escape =
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (watched == box_ && escape) {
        // Esc in the box is the bar's, before any shortcut of the screen around it.
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            Close();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pile::ui
