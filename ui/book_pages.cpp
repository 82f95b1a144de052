#include "book_pages.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "books/book_outline.h"
#include "books/book_record.h"
#include "io/qt_text.h"
#include "program_title.h"

namespace pile::ui {

using io::ToQString;
using io::ToQStringList;

namespace {

constexpr double kMarginPointSize = 9.0;
// Line pitch of the book's lines in ems: room for the CJK glyphs and a little air, so that a
// text book record of up to 58 lines fills one upright page.
constexpr double kLinePitch = 1.2;
// The widest line is fitted with this much to spare, against rounding in the glyph advances.
constexpr double kWidthSlack = 0.998;

// The record starts are the blocks: the last one runs to the end, so that the table's last row
// stays with the footer under it and the text book's last record with the time line.
PrintedBook Printed(const QString& title, const std::vector<std::u16string>& lines,
                    const BookOutline& outline, QPageLayout::Orientation orientation) {
    PrintedBook book;
    book.title = title;
    book.lines = ToQStringList(lines);
    book.calculationTime = ToQString(outline.calculationTime);
    book.orientation = orientation;
    book.repeatFirst = static_cast<int>(outline.headings.first);
    book.repeatCount = static_cast<int>(outline.headings.Size());
    book.blockStarts.reserve(outline.recordStarts.size());
    for (const std::size_t start : outline.recordStarts) {
        book.blockStarts.push_back(static_cast<int>(start));
    }
    return book;
}

QFont BookFont(const QString& family, double pointSize) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::TypeWriter);
    // Columns rest on equal advances: no kerning, and outlines not moved to a device grid.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Everything that places lines on a page of one device.
struct Geometry {
    QFont body;
    QFont margin;
    double width = 0;
    double height = 0;
    double pitch = 0;       // from one body line to the next
    double bodyTop = 0;     // top of the first body line
    double headerRule = 0;  // y of the rule under the running header
    double rulePen = 0;     // its width
    int firstCapacity = 1;  // body lines on the first page
    int laterCapacity = 1;  // on the others, below the repeated headings
    std::vector<PageLines> pages;
};

// The font size at which the widest line fits the width: the nominal size or smaller. The widest
// line is found once; without hinting the advances scale with the size.
QFont FittedBodyFont(const PrintedBook& book, const QString& family, QPaintDevice& device,
                     double width) {
    QFont font = BookFont(family, book.pointSize);
    const QFontMetricsF nominal(font, &device);
    qsizetype widestLine = -1;
    double widest = 0;
    for (qsizetype i = 0; i < book.lines.size(); ++i) {
        const double advance = nominal.horizontalAdvance(book.lines[i]);
        if (advance > widest) {
            widest = advance;
            widestLine = i;
        }
    }
    if (widestLine < 0 || widest <= width * kWidthSlack) {
        return font;
    }
    double size = book.pointSize * width * kWidthSlack / widest;
    for (int attempt = 0; attempt < 20; ++attempt) {
        font.setPointSizeF(size);
        if (QFontMetricsF(font, &device).horizontalAdvance(book.lines[widestLine]) <= width) {
            break;
        }
        size *= 0.99;
    }
    return font;
}

Geometry Measure(const PrintedBook& book, QPaintDevice& device, const QString& family) {
    Geometry g;
    g.width = device.width();
    g.height = device.height();
    const double pixelsPerPoint = device.logicalDpiY() / 72.0;
    g.body = FittedBodyFont(book, family, device, g.width);
    g.margin = BookFont(family, kMarginPointSize);
    const QFontMetricsF margin(g.margin, &device);
    const double gap = margin.height() * 0.5;
    g.headerRule = margin.height() + gap * 0.5;
    g.rulePen = 0.5 * pixelsPerPoint;
    g.bodyTop = margin.height() + gap;
    const double footer = margin.height() + gap;
    g.pitch = g.body.pointSizeF() * pixelsPerPoint * kLinePitch;
    const int capacity =
        std::max(1, static_cast<int>(std::floor((g.height - g.bodyTop - footer) / g.pitch)));
    g.firstCapacity = capacity;
    g.laterCapacity = std::max(1, capacity - book.repeatCount);
    g.pages = PlanPages(static_cast<int>(book.lines.size()), g.firstCapacity, g.laterCapacity,
                        book.blockStarts);
    return g;
}

void DrawLines(QPainter& painter, const Geometry& g, const QStringList& lines, int first, int end,
               double& top) {
    const QFontMetricsF metrics(g.body, painter.device());
    // The ascent-descent box centred in the pitch.
    const double baseline = (g.pitch + metrics.ascent() - metrics.descent()) / 2;
    painter.setFont(g.body);
    for (int i = first; i < end; ++i) {
        painter.drawText(QPointF(0, top + baseline), lines[i]);
        top += g.pitch;
    }
}

void DrawPage(QPainter& painter, const Geometry& g, const PrintedBook& book, int pageIndex) {
    painter.setFont(g.margin);
    const QFontMetricsF margin(g.margin, painter.device());
    painter.drawText(QPointF(0, margin.ascent()), book.title);
    if (!book.calculationTime.isEmpty()) {
        const QString time = ToQString(kTimeLinePrefix) + book.calculationTime;
        painter.drawText(QPointF(g.width - margin.horizontalAdvance(time), margin.ascent()), time);
    }
    painter.setPen(QPen(Qt::black, g.rulePen));
    painter.drawLine(QPointF(0, g.headerRule), QPointF(g.width, g.headerRule));

    double top = g.bodyTop;
    if (pageIndex > 0 && book.repeatCount > 0) {
        DrawLines(painter, g, book.lines, book.repeatFirst, book.repeatFirst + book.repeatCount,
                  top);
    }
    const PageLines& page = g.pages[static_cast<std::size_t>(pageIndex)];
    DrawLines(painter, g, book.lines, page.first, page.end, top);

    painter.setFont(g.margin);
    const QString foot = QStringLiteral("第 %1 页 共 %2 页").arg(pageIndex + 1).arg(g.pages.size());
    painter.drawText(
        QPointF((g.width - margin.horizontalAdvance(foot)) / 2, g.height - margin.descent()), foot);
}

}  // namespace

PrintedBook PrintedTextBook(const QString& title, const std::vector<std::u16string>& lines) {
    return Printed(title, lines, TextBookOutline(lines), QPageLayout::Portrait);
}

PrintedBook PrintedTableBook(const QString& title, const std::vector<std::u16string>& lines) {
    return Printed(title, lines, TableBookOutline(lines), QPageLayout::Landscape);
}

QPageLayout BookPageLayout(QPageLayout::Orientation orientation) {
    // Upright pages are bound on the left; the table needs all the width it can get.
    const QMarginsF margins = orientation == QPageLayout::Portrait ? QMarginsF(20, 15, 15, 15)
                                                                   : QMarginsF(12, 12, 12, 12);
    return QPageLayout(QPageSize(QPageSize::A4), orientation, margins, QPageLayout::Millimeter);
}

std::vector<PageLines> PlanPages(int lineCount, int firstCapacity, int laterCapacity,
                                 const std::vector<int>& blockStarts) {
    firstCapacity = std::max(1, firstCapacity);
    laterCapacity = std::max(1, laterCapacity);
    std::vector<int> starts = blockStarts;
    std::sort(starts.begin(), starts.end());
    std::vector<PageLines> pages;
    int first = 0;
    while (first < lineCount) {
        int end = std::min(lineCount, first + (pages.empty() ? firstCapacity : laterCapacity));
        if (end < lineCount) {
            // The block in which the page would end: the last one starting before `end`.
            const auto next = std::lower_bound(starts.begin(), starts.end(), end);
            if (next != starts.begin()) {
                const int start = *(next - 1);
                const int blockEnd = next != starts.end() ? std::min(*next, lineCount) : lineCount;
                if (start > first && blockEnd > end && blockEnd - start <= laterCapacity) {
                    end = start;
                }
            }
        }
        pages.push_back({first, end});
        first = end;
    }
    return pages;
}

int CountPages(const PrintedBook& book, QPagedPaintDevice& device, const QString& fontFamily) {
    return static_cast<int>(Measure(book, device, fontFamily).pages.size());
}

bool PaintBook(const PrintedBook& book, QPagedPaintDevice& device, const QString& fontFamily,
               int fromPage, int toPage, const PageProgress& progress) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const Geometry g = Measure(book, device, fontFamily);
    const int pageCount = static_cast<int>(g.pages.size());
    const int first = fromPage > 0 ? std::min(fromPage, pageCount) : 1;
    const int last = toPage > 0 ? std::clamp(toPage, first, pageCount) : pageCount;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            return false;
        }
        DrawPage(painter, g, book, page - 1);
        if (progress && !progress(page - first + 1, last - first + 1)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

std::optional<QByteArray> BookPdf(const PrintedBook& book, const QString& fontFamily,
                                  const PageProgress& progress) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(BookPageLayout(book.orientation));
        writer.setTitle(book.title);
        writer.setCreator(kProgramTitle);
        if (!PaintBook(book, writer, fontFamily, 0, 0, progress)) {
            return std::nullopt;
        }
    }
    buffer.close();
    return bytes;
}

}  // namespace pile::ui
