#include "io/calculation_time.h"

#include <QList>

namespace pile::io {

namespace {

struct FormatChar {
    QChar ch;
    bool quoted;  // inside '...': printed as it stands, never a field
};

bool IsBlank(const FormatChar& c) {
    return !c.quoted && c.ch.isSpace();
}

bool IsOpening(QChar c) {
    return c == u'(' || c == u'[' || c == u'\uFF08';
}

bool Closes(QChar open, QChar close) {
    return (open == u'(' && close == u')') || (open == u'[' && close == u']') ||
           (open == u'\uFF08' && close == u'\uFF09');
}

// Brackets that held nothing but the zone field (and blanks) go with it.
void RemoveEmptyBrackets(QList<FormatChar>& chars) {
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (chars[i].quoted || !IsOpening(chars[i].ch)) {
            continue;
        }
        qsizetype j = i + 1;
        while (j < chars.size() && IsBlank(chars[j])) {
            ++j;
        }
        if (j < chars.size() && !chars[j].quoted && Closes(chars[i].ch, chars[j].ch)) {
            chars.remove(i, j - i + 1);
            i = -1;  // a removal may leave a new empty pair around it
        }
    }
}

// One blank where the removal left several, none at the ends.
QList<FormatChar> TidyBlanks(const QList<FormatChar>& chars) {
    QList<FormatChar> tidy;
    for (const FormatChar& c : chars) {
        if (IsBlank(c) && (tidy.isEmpty() || IsBlank(tidy.last()))) {
            continue;
        }
        tidy.append(c);
    }
    while (!tidy.isEmpty() && IsBlank(tidy.last())) {
        tidy.removeLast();
    }
    return tidy;
}

}  // namespace

QString TimeFormatWithoutZone(const QString& format) {
    QList<FormatChar> chars;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') {
            // The quote marks stay, so that '' (a literal quote) and 'text' read as before.
            chars.append({c, true});
            quoted = !quoted;
            continue;
        }
        if (!quoted && c == u't') {
            continue;
        }
        chars.append({c, quoted});
    }
    RemoveEmptyBrackets(chars);
    QString result;
    for (const FormatChar& c : TidyBlanks(chars)) {
        result.append(c.ch);
    }
    return result;
}

QString CalculationTime(const QLocale& locale, const QDateTime& when) {
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime time = when.time();
    if (time == QTime(0, 0)) {
        return date;
    }
    const QString format = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
    return date + u' ' + locale.toString(time, format);
}

}  // namespace pile::io
