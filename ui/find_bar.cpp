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

// Letters A to Z match in either case; everything else, Chinese above all, as it is.
constexpr char16_t Folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// The needle folded once; a line is scanned for its first character in either case, and only
// there compared on. Qt's own case-insensitive search folds every character of the book it
// passes, several times slower over the text book's half a million lines.
class Needle {
  public:
    explicit Needle(QStringView text) {
        for (const QChar c : text) {
            folded_.push_back(Folded(c.unicode()));
        }
        first_ = folded_.front();
        firstUpper_ = first_ >= u'a' && first_ <= u'z'
                          ? static_cast<char16_t>(first_ - (u'a' - u'A'))
                          : first_;
    }
    std::size_t Size() const { return folded_.size(); }

    bool At(const std::u16string& line, std::size_t i) const {
        const char16_t c = line[i];
        if (c != first_ && c != firstUpper_) {
            return false;
        }
        for (std::size_t k = 1; k < folded_.size(); ++k) {
            if (Folded(line[i + k]) != folded_[k]) {
                return false;
            }
        }
        return true;
    }

  private:
    std::u16string folded_;
    char16_t first_ = 0;
    char16_t firstUpper_ = 0;
};

BookMatch MatchAt(std::size_t line, std::size_t column, const Needle& needle) {
    const int start = static_cast<int>(column);
    return BookMatch{{line, start}, {line, start + static_cast<int>(needle.Size())}};
}

// The first match in `line` that starts at `from` or after it.
std::optional<BookMatch> FirstIn(const BookLines& book, std::size_t line, std::size_t from,
                                 const Needle& needle) {
    const std::u16string& text = book[line];
    if (text.size() < needle.Size()) {
        return std::nullopt;
    }
    for (std::size_t i = from, last = text.size() - needle.Size(); i <= last; ++i) {
        if (needle.At(text, i)) {
            return MatchAt(line, i, needle);
        }
    }
    return std::nullopt;
}

// The last match in `line` that starts before `before`.
std::optional<BookMatch> LastIn(const BookLines& book, std::size_t line, std::size_t before,
                                const Needle& needle) {
    const std::u16string& text = book[line];
    if (text.size() < needle.Size() || before == 0) {
        return std::nullopt;
    }
    for (std::size_t i = std::min(before - 1, text.size() - needle.Size()) + 1; i-- > 0;) {
        if (needle.At(text, i)) {
            return MatchAt(line, i, needle);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<BookMatch> FindInBook(const BookLines& book, QStringView text, BookPosition from,
                                    FindDirection direction) {
    if (text.isEmpty() || book.empty()) {
        return std::nullopt;
    }
    const Needle needle(text);
    from = Clamped(from, book);
    const auto column = static_cast<std::size_t>(from.column);
    const std::size_t lines = book.size();
    if (direction == FindDirection::Forward) {
        if (auto match = FirstIn(book, from.line, column, needle)) {
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
    if (auto match = LastIn(book, from.line, column, needle)) {
        return match;
    }
    for (std::size_t step = 1; step <= lines; ++step) {
        const std::size_t line = (from.line + lines - step) % lines;
        if (auto match = LastIn(book, line, book[line].size() + 1, needle)) {
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
