// Books made by the real calculations, and a PDF read back as a reader reads it (poppler's
// pdftotext, pdffonts, pdfinfo), for the tests of the printed and exported books.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

#include "books/calculation_books.h"
#include "engine/pile_calculation.h"

namespace pile::ui::testing {

// The books after calculating circles of diameter `dd` (frk 25, fuk 24, "1.0d", C30), one per
// rock mode in `modes`.
inline CalculationBooks Calculated(const std::vector<RockParameterMode>& modes,
                                   const std::u16string& dd = u"1000") {
    CalculationBooks books;
    for (const RockParameterMode mode : modes) {
        const bool frk = mode == RockParameterMode::Frk;
        const PanelInput panel{SectionType::Circle,
                               mode,
                               dd,
                               u"0",
                               u"1.0d",
                               u"25",
                               u"24",
                               ConcreteGrade::C30,
                               frk ? ConstructionProcess::MudWall : ConstructionProcess::DryClean};
        // The outcome is kept by name: a reference into the temporary would dangle.
        const auto outcome = ComputePile(panel, u'.');
        const auto& pile = std::get<ComputedPile>(outcome.result);
        books.AppendRecord(pile.input, pile.result, dd, u"0", PrecisionMode::Units, u'.',
                           u"2024/5/6 14:03:27");
    }
    return books;
}

// The standard output of a poppler tool; nullopt when the tool is not installed.
inline std::optional<QString> Poppler(const char* tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (program.isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline std::optional<QString> PdfText(const QString& pdf) {
    return Poppler("pdftotext", {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// Without blanks of any kind, the ideographic space included: pdftotext puts its own.
inline QString WithoutBlanks(const QString& line) {
    QString kept;
    for (const QChar c : line) {
        if (!c.isSpace()) {
            kept.append(c);
        }
    }
    return kept;
}

// The book's lines without blanks, one a line, for readable comparisons.
inline std::string Joined(const std::vector<std::u16string>& lines) {
    QStringList kept;
    for (const std::u16string& line : lines) {
        kept.append(WithoutBlanks(QString::fromStdU16String(line)));
    }
    return kept.join(QLatin1Char('\n')).toStdString();
}

// The lines of pdftotext -layout, without blanks and without each page's running header (its
// first line) and foot ("第 n 页 共 m 页"); one a line.
inline std::string ExtractedBody(const QString& extracted) {
    static const QRegularExpression foot(QStringLiteral("^第\\d+页共\\d+页$"));
    QStringList body;
    const QStringList pages = extracted.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    for (const QString& page : pages) {
        QStringList lines;
        for (const QString& line : page.split(QLatin1Char('\n'))) {
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
        body.append(lines);
    }
    return body.join(QLatin1Char('\n')).toStdString();
}

// A character of the CJK radical blocks in `text`.
inline bool HasRadical(const QString& text) {
    const QList<uint> characters = text.toUcs4();
    return std::any_of(characters.begin(), characters.end(),
                       [](uint c) { return c >= 0x2E80 && c <= 0x2FDF; });
}

}  // namespace pile::ui::testing
