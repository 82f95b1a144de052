// The face the PDF report is set in: Noto Serif CJK SC as the build derives it
// (fonts/derive_book_font.py --proportional), whose character map leaves out the CJK radicals so
// that the PDF copies and searches as the ideographs it shows. Looked for where the book font
// is: beside the program (Windows), the installed data folder, the build folder.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace pile::report {

// The places a font file of the program is looked for, in order.
QStringList FontFileCandidates(const QString& programFolder, const QString& file);

struct ReportFont {
    QString family;
    // Empty when the report's own face was loaded; otherwise what the report is set in instead
    // and what that costs, in Chinese, for the caller to pass on.
    std::u16string warning;
};

// Loads the report's face into the application's font database (a QGuiApplication must exist):
// the derived face; without it the system's Noto Serif CJK SC; without that the books' face.
ReportFont LoadReportFont(const QString& programFolder);

}  // namespace pile::report
