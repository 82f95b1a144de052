// A calculation book on paper: A4, the text book upright and the table book across, every line
// in the book font so that the columns stand under their headings as in the memos, a running
// header with the book's name and its calculation time, and "第 n 页 共 m 页" at the foot. One
// renderer draws on any QPagedPaintDevice: QPdfWriter for the PDF, QPrinter for the print-out.
#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace pile::ui {

// A book as it goes on paper.
struct PrintedBook {
    QString title;            // running header, left
    QString calculationTime;  // running header, right; empty when the book has no time line
    QStringList lines;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    // The size of the book's lines; smaller when the widest line would not fit the width.
    double pointSize = 10.0;
    // Lines [repeatFirst, repeatFirst + repeatCount) are drawn again at the top of every page
    // after the first: the table's column headings.
    int repeatFirst = 0;
    int repeatCount = 0;
    // Lines that start a block; a block that fits on one page is not split across two.
    std::vector<int> blockStarts;
};

// The text book: upright, a record that fits on a page starts on a new one.
PrintedBook PrintedTextBook(const QString& title, const std::vector<std::u16string>& lines);
// The table book: across, the column headings on every page, the last row kept with the notes
// under it.
PrintedBook PrintedTableBook(const QString& title, const std::vector<std::u16string>& lines);

// A4 in `orientation` with the book's margins.
QPageLayout BookPageLayout(QPageLayout::Orientation orientation);

// Body lines [first, end) of one page.
struct PageLines {
    int first = 0;
    int end = 0;
    friend bool operator==(const PageLines&, const PageLines&) = default;
};

// Splits `lineCount` lines into pages of `firstCapacity` lines on the first page and
// `laterCapacity` on the others (at least one line each). A page ends early, before a block
// start, when the block would run over the page's end but fits whole on the next page.
std::vector<PageLines> PlanPages(int lineCount, int firstCapacity, int laterCapacity,
                                 const std::vector<int>& blockStarts);

// The number of pages `book` takes on `device` as the device is set up now.
int CountPages(const PrintedBook& book, QPagedPaintDevice& device, const QString& fontFamily);

// Called after each page drawn with the pages done and the pages to draw; false stops the
// drawing there (the user pressed 取消).
using PageProgress = std::function<bool(int done, int total)>;

// Draws pages `fromPage` to `toPage` (numbered from 1; 0 and 0 for all) of `book` on `device`,
// whose page layout the caller has set. False when the device cannot be painted on, or when
// `progress` stopped it.
bool PaintBook(const PrintedBook& book, QPagedPaintDevice& device, const QString& fontFamily,
               int fromPage = 0, int toPage = 0, const PageProgress& progress = {});

// The whole PDF file of `book`; nullopt when it could not be drawn or `progress` stopped it.
std::optional<QByteArray> BookPdf(const PrintedBook& book, const QString& fontFamily,
                                  const PageProgress& progress = {});

}  // namespace pile::ui
