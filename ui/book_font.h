// The font the books are printed and exported in: a copy of the memo font derived at build
// time (fonts/derive_book_font.py) whose character map leaves out the CJK radicals, so that a
// PDF gives back 入 and 石 when it is copied or searched, not the radicals ⼊ and ⽯ that share
// their glyphs. The font file is installed with the program; the build folder's copy serves the
// programs and tests that run from the build.
#pragma once

#include <QString>
#include <QStringList>

namespace pile::ui {

// Where the font file is looked for, in order: beside the program (Windows), the installed data
// folder (../share/rock-socketed-pile/fonts from the program's folder), the build folder.
QStringList BookFontCandidates(const QString& programFolder);

// The family of the book font, loaded on the first call. Without the file, the memo font's
// family: the columns still align, but copying from a PDF may give radicals for ideographs.
QString BookFontFamily();

// Whether BookFontFamily() is the derived font.
bool BookFontLoaded();

}  // namespace pile::ui
