// Books made by the real calculations, and a PDF read back as a reader reads it (poppler's
// pdftotext, pdffonts, pdfinfo), for the tests of the printed and exported books.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "books/calculation_books.h"
#include "engine/pile_calculation.h"

namespace pile::ui::testing {

// A circle 1000, "1.0d", C30, fuk 24 or frk 25 by `rock`.
inline PanelInput Circle(RockParameterMode rock, std::u16string dd = u"1000") {
    PanelInput panel;
    panel.rockMode = rock;
    panel.ddText = std::move(dd);
    panel.tyzdText = u"0";
    panel.hrText = u"1.0d";
    panel.frkText = u"25";
    panel.fukText = u"24";
    panel.process = rock == RockParameterMode::Frk ? ConstructionProcess::MudWall
                                                   : ConstructionProcess::DryClean;
    return panel;
}

// The books after calculating `panels` one after the other.
inline CalculationBooks Calculated(const std::vector<PanelInput>& panels) {
    CalculationBooks books;
    for (const PanelInput& panel : panels) {
        const ComputeOutcome outcome = ComputePile(panel, u'.');
        const auto& pile = std::get<ComputedPile>(outcome.result);
        books.AppendRecord(pile.input, pile.result, panel.ddText, panel.tyzdText,
                           PrecisionMode::Units, u'.', u"2024/5/6 14:03:27");
    }
    return books;
}

// The standard output of a poppler tool; nullopt when the tool is not installed.
inline std::optional<QString> Poppler(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Blanks of every kind, the ideographic space included.
inline QString WithoutBlanks(const QString& line) {
    QString kept;
    for (const QChar c : line) {
        if (!c.isSpace()) {
            kept.append(c);
        }
    }
    return kept;
}

// One line per line, for readable failure messages.
inline std::string Joined(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')).toStdString();
}

// The lines of pdftotext -layout, page by page, without each page's running header (its first
// line), its foot ("第 n 页 共 m 页") and the `repeated` headings at the top of later pages;
// blanks are removed, since the layout puts its own.
inline QStringList ExtractedBody(const QString& extracted, const QStringList& repeated) {
    static const QRegularExpression foot(QStringLiteral("^第\\d+页共\\d+页$"));
    QStringList body;
    const QStringList pages = extracted.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        QStringList lines;
        for (const QString& line : pages[page].split(QLatin1Char('\n'))) {
            if (!WithoutBlanks(line).isEmpty()) {
                lines.append(WithoutBlanks(line));
            }
        }
        if (!lines.isEmpty()) {
            lines.removeFirst();
        }
        if (!lines.isEmpty() && foot.match(lines.back()).hasMatch()) {
            lines.removeLast();
        }
        for (qsizetype i = 0; page > 0 && i < repeated.size() && !lines.isEmpty(); ++i) {
            if (lines.front() == WithoutBlanks(repeated[i])) {
                lines.removeFirst();
            }
        }
        body.append(lines);
    }
    return body;
}

inline QStringList WithoutBlanks(const std::vector<std::u16string>& lines) {
    QStringList result;
    for (const std::u16string& line : lines) {
        result.append(WithoutBlanks(QString::fromStdU16String(line)));
    }
    return result;
}

// The first code point of a CJK radical block in `text`, or 0.
inline char32_t FirstRadical(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x2E80 && c <= 0x2FDF) {
            return c;
        }
    }
    return 0;
}

}  // namespace pile::ui::testing
