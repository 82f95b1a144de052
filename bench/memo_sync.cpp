#include "memo_sync.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "io/qt_text.h"

namespace pile::ui {

using io::ToQString;

namespace {

QString JoinLines(const BookLines& book, std::size_t first, std::size_t count) {
    QString text;
    for (std::size_t i = first; i < first + count; ++i) {
        if (i > first) {
            text.append(u'\n');
        }
        text.append(ToQString(book[i]));
    }
    return text;
}

int BlockStart(const QTextDocument& document, std::size_t line) {
    return document.findBlockByNumber(static_cast<int>(line)).position();
}

int BlockEnd(const QTextDocument& document, std::size_t line) {
    const QTextBlock block = document.findBlockByNumber(static_cast<int>(line));
    return block.position() + block.length() - 1;  // before the block's separator
}

}  // namespace

void FollowBook(QTextDocument& document, const BookLines& book, const BookChange& change) {
    if (change.removed == 0 && change.inserted == 0) {
        return;
    }
    const std::size_t oldCount = book.size() + change.removed - change.inserted;
    const std::size_t first = change.position;
    const std::size_t end = first + change.removed;  // one past the last removed line
    QString text = JoinLines(book, first, change.inserted);

    // The lines are joined by separators, so the range to replace and the text put in its
    // place take a separator on one side, unless they reach both ends of the document.
    int from = 0;
    int to = 0;
    if (oldCount == 0) {
        to = 0;
    } else if (end < oldCount) {
        from = first < oldCount ? BlockStart(document, first) : BlockEnd(document, oldCount - 1);
        to = BlockStart(document, end);
        if (change.inserted > 0) {
            text.append(u'\n');
        }
    } else if (first > 0) {
        from = BlockEnd(document, first - 1);
        to = BlockEnd(document, oldCount - 1);
        if (change.inserted > 0) {
            text.prepend(u'\n');
        }
    } else {
        to = BlockEnd(document, oldCount - 1);
    }

    QTextCursor cursor(&document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void CaretToStart(QPlainTextEdit& memo) {
    memo.moveCursor(QTextCursor::Start);
}

}  // namespace pile::ui
