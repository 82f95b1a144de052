// The reference for the window's results and memos: pile_replay, the headless driver of the
// engine and the books, run on the same inputs as the window.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>

namespace pile::ui::testing {

struct ReplayOutput {
    QStringList results;  // one line per step, fields separated by TAB
    int counter = -1;
    int flags = -1;
    QStringList table;
    QStringList text;
};

inline ReplayOutput RunReplay(const QStringList& steps) {
    QProcess replay;
    replay.start(QStringLiteral(PILE_REPLAY_PATH), {});
    replay.waitForStarted();
    replay.write((steps.join(u'\n') + u'\n').toUtf8());
    replay.closeWriteChannel();
    replay.waitForFinished(60000);
    const QStringList lines = QString::fromUtf8(replay.readAllStandardOutput()).split(u'\n');
    ReplayOutput out;
    qsizetype i = 0;
    for (; i < lines.size() && !lines[i].startsWith(u"COUNTER\t"); ++i) {
        out.results.append(lines[i]);
    }
    if (i == lines.size()) {
        return out;
    }
    const QStringList counter = lines[i++].split(u'\t');
    out.counter = counter.value(1).toInt();
    out.flags = counter.value(2).toInt();
    const qsizetype tableLines = lines.value(i++).section(u'\t', 1).toInt();
    out.table = lines.mid(i, tableLines);
    i += tableLines;
    const qsizetype textLines = lines.value(i++).section(u'\t', 1).toInt();
    out.text = lines.mid(i, textLines);
    return out;
}

// The CALC step of the panel as it stands in `window`, as the window would compute it.
inline QString CalcStep(const QWidget& window, QChar separator, const QString& time) {
    auto combo = [&](const char* name) {
        return window.findChild<QComboBox*>(QString::fromLatin1(name));
    };
    auto edit = [&](const char* name) {
        return window.findChild<QLineEdit*>(QString::fromLatin1(name));
    };
    const bool fuk = window.findChild<QRadioButton*>(QStringLiteral("rdb_fuk"))->isChecked();
    return QStringList{QStringLiteral("CALC"),
                       QString::number(combo("cbb_jmlx")->currentIndex()),
                       fuk ? QStringLiteral("1") : QStringLiteral("0"),
                       combo("cbe_dd")->currentText(),
                       combo("cbe_tyzd")->currentText(),
                       combo("cbe_hr")->currentText(),
                       edit("edt_frk")->text(),
                       edit("edt_fuk")->text(),
                       QString::number(combo("cbb_hnt")->currentIndex()),
                       QString::number(combo("cbb_czgy")->currentIndex()),
                       QString::number(combo("popbox_jingdu")->currentIndex()),
                       QString(separator),
                       time}
        .join(u'\t');
}

// A memo's lines; an empty memo holds no line.
inline QStringList MemoLines(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

}  // namespace pile::ui::testing
