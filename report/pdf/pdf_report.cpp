#include "report/pdf/pdf_report.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <vector>

#include "report/report_sketch.h"
#include "report/report_texts.h"

namespace pile::report {
namespace {

// Tenths of a point, the sketch's unit: 720 device units an inch.
constexpr int kResolution = 720;
constexpr double kPageShort = 5953;  // A4
constexpr double kPageLong = 8419;
constexpr double kMargin = 567;          // as the Word report's
constexpr double kHeaderFromEdge = 283;  // the header's top and the footer's bottom
constexpr double kCellSide = 54;         // Word's own room left and right of a cell's text
constexpr double kCellTopBottom = 20;
constexpr double kThinLine = 5;

QString Q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// In the Word report's colours and sizes.
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kHeadingShade(0xE7, 0xE6, 0xE6);
const QColor kRock(0xD9, 0xD9, 0xD9);

struct Look {
    double points = 10.5;
    bool bold = false;
    QColor colour = Qt::black;
};
constexpr double kTablePoints = 9;
constexpr double kSummaryPoints = 6.5;
constexpr double kSketchPoints = 8;

struct TextItem {
    QRectF rect;
    QString text;
    Look look;
    int flags = 0;
    int pageOfEntry = -1;  // >= 0: the text is the page number of this contents entry
};

struct ShapeItem {
    enum class Kind { Rect, Oval, RoundRect, Line, Arrow };
    Kind kind = Kind::Rect;
    QRectF rect;
    QLineF line;
    QColor fill;     // invalid: none
    double pen = 0;  // 0: no outline
    Qt::PenStyle style = Qt::SolidLine;
};

struct Page {
    bool landscape = false;
    std::vector<ShapeItem> shapes;
    std::vector<TextItem> texts;
};

struct Cell {
    Cell(QString text_, Look look_ = {}, int align_ = Qt::AlignHCenter, int span_ = 1,
         QColor shade_ = {})
        : text(std::move(text_)), look(look_), align(align_), span(span_), shade(shade_) {}
    QString text;
    Look look;
    int align;
    int span;
    QColor shade;
};
struct Row {
    Row(std::vector<Cell> cells_ = {}, double minHeight_ = 0)
        : cells(std::move(cells_)), minHeight(minHeight_) {}
    std::vector<Cell> cells;
    double minHeight;
};

class Layout {
  public:
    Layout(QPaintDevice* device, QString family) : device_(device), family_(std::move(family)) {}

    QFont Font(const Look& look) const {
        QFont font(family_);
        font.setPointSizeF(look.points);
        font.setBold(look.bold);
        return font;
    }

    double TextHeight(const QString& text, const Look& look, double width, int flags) const {
        const QFontMetricsF metrics(Font(look), device_);
        if (text.isEmpty()) {
            return metrics.height();
        }
        return metrics.boundingRect(QRectF(0, 0, width, 1e6), flags | Qt::TextWordWrap, text)
            .height();
    }
    double TextWidth(const QString& text, const Look& look) const {
        return QFontMetricsF(Font(look), device_).horizontalAdvance(text);
    }

    void StartPage(bool landscape) {
        pages_.push_back(Page{landscape, {}, {}});
        y_ = kMargin;
    }
    int PageIndex() const { return static_cast<int>(pages_.size()) - 1; }
    Page& Current() { return pages_.back(); }
    const Page& Current() const { return pages_.back(); }
    bool AtTop() const { return y_ <= kMargin; }

    double Left() const { return kMargin; }
    double Width() const { return (Current().landscape ? kPageLong : kPageShort) - 2 * kMargin; }
    double Bottom() const { return (Current().landscape ? kPageShort : kPageLong) - kMargin; }
    double Y() const { return y_; }
    void Advance(double height) { y_ += height; }

    // A new page of the same orientation when `height` does not fit below.
    bool Need(double height) {
        if (y_ + height > Bottom() && !AtTop()) {
            StartPage(Current().landscape);
            return true;
        }
        return false;
    }

    void Paragraph(const QString& text, const Look& look = {}, int align = Qt::AlignLeft,
                   double before = 0, double after = 30) {
        const double height = TextHeight(text, look, Width(), align);
        Need(before + height);
        if (!AtTop()) {
            y_ += before;
        }
        Text(QRectF(Left(), y_, Width(), height), text, look, align | Qt::TextWordWrap);
        y_ += height + after;
    }

    // A heading kept with at least `keep` of what follows.
    void Heading(const QString& text, const Look& look, double before, double after,
                 double keep = 600) {
        const double height = TextHeight(text, look, Width(), Qt::AlignLeft);
        Need(before + height + after + keep);
        Paragraph(text, look, Qt::AlignLeft, before, after);
    }

    void Text(const QRectF& rect, const QString& text, const Look& look, int flags,
              int pageOfEntry = -1) {
        Current().texts.push_back({rect, text, look, flags, pageOfEntry});
    }
    void Shape(ShapeItem shape) { Current().shapes.push_back(std::move(shape)); }

    std::vector<Page> Take() { return std::move(pages_); }

  private:
    QPaintDevice* device_;
    QString family_;
    std::vector<Page> pages_;
    double y_ = kMargin;
};

// A table centred between the margins; `head` rows are drawn again at the top of every page
// the table runs onto.
void Table(Layout& layout, const std::vector<double>& widths, const std::vector<Row>& head,
           const std::vector<Row>& rows, bool borders, double side = kCellSide) {
    double total = 0;
    for (const double width : widths) {
        total += width;
    }
    const auto heightOf = [&](const Row& row) {
        double height = row.minHeight;
        std::size_t column = 0;
        for (const Cell& cell : row.cells) {
            double width = 0;
            for (int i = 0; i < cell.span && column < widths.size(); ++i) {
                width += widths[column++];
            }
            height = std::max(
                height, layout.TextHeight(cell.text, cell.look, width - 2 * side, cell.align) +
                            2 * kCellTopBottom);
        }
        return height;
    };
    const auto draw = [&](const Row& row, double height) {
        double x = layout.Left() + (layout.Width() - total) / 2;
        const double y = layout.Y();
        std::size_t column = 0;
        for (const Cell& cell : row.cells) {
            double width = 0;
            for (int i = 0; i < cell.span && column < widths.size(); ++i) {
                width += widths[column++];
            }
            const QRectF box(x, y, width, height);
            if (cell.shade.isValid() || borders) {
                ShapeItem shape;
                shape.rect = box;
                shape.fill = cell.shade;
                shape.pen = borders ? kThinLine : 0;
                layout.Shape(shape);
            }
            layout.Text(box.adjusted(side, kCellTopBottom, -side, -kCellTopBottom), cell.text,
                        cell.look, cell.align | Qt::AlignVCenter | Qt::TextWordWrap);
            x += width;
        }
        layout.Advance(height);
    };
    double headHeight = 0;
    for (const Row& row : head) {
        headHeight += heightOf(row);
    }
    const auto drawHead = [&] {
        for (const Row& row : head) {
            draw(row, heightOf(row));
        }
    };
    layout.Need(headHeight + (rows.empty() ? 0 : heightOf(rows.front())));
    drawHead();
    for (const Row& row : rows) {
        const double height = heightOf(row);
        if (layout.Need(height)) {
            drawHead();
        }
        draw(row, height);
    }
    layout.Advance(60);
}

// Twips of the Word report's tables into tenths of a point.
double Twips(double twips) {
    return twips / 2;
}

const Look kHeading1{16, true};
const Look kHeading2{14, true};
const Look kHeading3{12, true};

void Cover(Layout& layout, const ProjectInfo& project, const ProgramInfo& program,
           std::u16string_view code) {
    layout.StartPage(false);
    layout.Advance(1200);
    layout.Paragraph(Q(kReportTitle), Look{28, true}, Qt::AlignHCenter, 0, 600);
    std::vector<Row> fields;
    for (const auto& [label, member] : kCoverFields) {
        fields.push_back({{{Q(label), Look{14, true}, Qt::AlignRight},
                           {Q(project.*member), Look{14, false}, Qt::AlignLeft}},
                          Twips(560)});
    }
    Table(layout, {Twips(2200), Twips(5200)}, {}, fields, false);
    layout.Advance(300);
    std::vector<Row> signOff;
    Row heading{{}, Twips(500)};
    for (const std::u16string_view cell : kSignOffHeading) {
        heading.cells.push_back({Q(cell), Look{10.5, true}});
    }
    signOff.push_back(heading);
    for (const auto& [role, member] : kSignOffRoles) {
        signOff.push_back(
            {{{Q(role), Look{12, true}}, {Q(project.*member), Look{12, false}}, {QString()}},
             Twips(760)});
    }
    Table(layout, {Twips(1800), Twips(2800), Twips(2800)}, {}, signOff, true);
    layout.Advance(300);
    layout.Paragraph(Q(CoverDate(project)), Look{12, false}, Qt::AlignHCenter, 0, 300);
    for (const std::u16string& line : CoverProgramLines(program, code)) {
        layout.Paragraph(Q(line), {}, Qt::AlignHCenter);
    }
}

// Each entry with a dotted leader to its page, which is known only once all pages are laid out.
void Contents(Layout& layout, const std::vector<std::u16string>& entries) {
    layout.StartPage(false);
    layout.Paragraph(Q(kContentsTitle), kHeading1, Qt::AlignHCenter, 120, 180);
    const Look look;
    constexpr double kNumberWidth = 500;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QString text = Q(entries[i]);
        const double height = layout.TextHeight(text, look, layout.Width(), Qt::AlignLeft);
        layout.Need(height);
        const double y = layout.Y();
        const double textWidth =
            std::min(layout.TextWidth(text, look), layout.Width() - kNumberWidth - 100);
        layout.Text(QRectF(layout.Left(), y, layout.Width() - kNumberWidth - 100, height), text,
                    look, Qt::AlignLeft | Qt::AlignVCenter);
        ShapeItem leader;
        leader.kind = ShapeItem::Kind::Line;
        const double baseline = y + height * 0.7;
        leader.line = QLineF(layout.Left() + textWidth + 60, baseline,
                             layout.Left() + layout.Width() - kNumberWidth - 20, baseline);
        leader.pen = 8;
        leader.style = Qt::DotLine;
        layout.Shape(leader);
        layout.Text(QRectF(layout.Left() + layout.Width() - kNumberWidth, y, kNumberWidth, height),
                    QString(), look, Qt::AlignRight | Qt::AlignVCenter, static_cast<int>(i));
        layout.Advance(height + 30);
    }
}

void Summary(Layout& layout, const ReportContent& content) {
    const std::size_t bookColumns =
        content.tableHeadings.empty() ? 0 : content.tableHeadings.front().size();
    const double width = layout.Width();
    std::vector<double> widths;
    if (content.anyCheck) {
        // The loads, the ratios and the verdict in narrow columns, as in the Word report.
        const double checks = Twips(900) + Twips(1100) + Twips(900);
        widths.assign(bookColumns, (width - checks) /
                                       static_cast<double>(std::max<std::size_t>(bookColumns, 1)));
        widths.insert(widths.end(), {Twips(900), Twips(1100), Twips(900)});
    } else {
        widths.assign(std::max<std::size_t>(bookColumns, 1),
                      width / static_cast<double>(std::max<std::size_t>(bookColumns, 1)));
    }
    const Look head{kSummaryPoints, true};
    const Look body{kSummaryPoints, false};
    std::vector<Row> heads;
    for (std::size_t r = 0; r < content.tableHeadings.size(); ++r) {
        Row row;
        for (const std::u16string& cell : content.tableHeadings[r]) {
            row.cells.push_back({Q(cell), head, Qt::AlignHCenter, 1, kHeadingShade});
        }
        if (content.anyCheck) {
            for (const std::u16string_view cell : r == 0 ? kCheckColumns : kCheckColumnsSecond) {
                row.cells.push_back({Q(cell), head, Qt::AlignHCenter, 1, kHeadingShade});
            }
        }
        heads.push_back(std::move(row));
    }
    std::vector<Row> rows;
    for (const PileSection& pile : content.piles) {
        Row row;
        if (pile.tableRow.size() == bookColumns) {
            for (const std::u16string& cell : pile.tableRow) {
                row.cells.push_back({Q(cell), body});
            }
        } else {
            // A row whose typed texts hold blanks of their own: the row as one cell.
            std::u16string joined;
            for (const std::u16string& cell : pile.tableRow) {
                joined += (joined.empty() ? u"" : u"  ") + cell;
            }
            row.cells.push_back({Q(joined), body, Qt::AlignLeft,
                                 static_cast<int>(std::max<std::size_t>(bookColumns, 1))});
        }
        if (content.anyCheck) {
            const PileCheck none;
            const PileCheck& check = pile.check ? *pile.check : none;
            row.cells.push_back({Q(check.loads), body});
            row.cells.push_back({Q(check.ratios), body});
            row.cells.push_back({Q(check.verdict), Look{kSummaryPoints, !check.passed,
                                                        check.passed ? QColor(Qt::black) : kRed}});
        }
        rows.push_back(std::move(row));
    }
    Table(layout, widths, heads, rows, true, 14);
}

void Sketch(Layout& layout, const PileSection& pile) {
    layout.Need(kSketchHeight);
    const double x0 = layout.Left() + (layout.Width() - kSketchWidth) / 2;
    const double y0 = layout.Y();
    for (const SketchShape& s : SketchOf(pile)) {
        ShapeItem shape;
        const QRectF box(x0 + s.x, y0 + s.y, s.w, s.h);
        shape.rect = box;
        shape.pen = 10;
        if (!s.fill.empty()) {
            shape.fill = QColor(QStringLiteral("#") + Q(s.fill));
        }
        switch (s.kind) {
            case SketchShape::Kind::Oval:
                shape.kind = ShapeItem::Kind::Oval;
                break;
            case SketchShape::Kind::RoundRect:
                shape.kind = ShapeItem::Kind::RoundRect;
                break;
            case SketchShape::Kind::Rect:
                shape.kind = ShapeItem::Kind::Rect;
                break;
            case SketchShape::Kind::Line:
                shape.kind = s.arrows ? ShapeItem::Kind::Arrow : ShapeItem::Kind::Line;
                shape.line = QLineF(x0 + s.x, y0 + s.y, x0 + s.x2, y0 + s.y2);
                shape.pen = s.arrows ? kThinLine : 10;
                shape.style = s.dashed ? Qt::DashLine : Qt::SolidLine;
                break;
            case SketchShape::Kind::Label:
                // Centred on its box and never clipped: a longer text than the box still shows.
                layout.Text(box, Q(s.text), Look{kSketchPoints, false},
                            Qt::AlignCenter | Qt::TextDontClip);
                continue;
        }
        layout.Shape(shape);
    }
    layout.Advance(kSketchHeight + 60);
}

void Steps(Layout& layout, const std::vector<StepRow>& steps) {
    const Look head{kTablePoints, true};
    const Look body{kTablePoints, false};
    Row heading;
    for (const std::u16string_view cell : kStepColumns) {
        heading.cells.push_back({Q(cell), head, Qt::AlignHCenter, 1, kHeadingShade});
    }
    std::vector<Row> rows;
    for (const StepRow& step : steps) {
        rows.push_back({{{Q(step.number), body},
                         {Q(step.quantity), body, Qt::AlignLeft},
                         {Q(step.symbol), body},
                         {Q(step.value), body, Qt::AlignRight},
                         {Q(step.unit), body}}});
    }
    Table(layout, {Twips(900), Twips(4300), Twips(1300), Twips(1900), Twips(1238)}, {heading}, rows,
          true);
}

void Formulas(Layout& layout, const std::vector<FormulaRow>& formulas) {
    const Look body{kTablePoints, false};
    std::vector<Row> rows;
    for (const FormulaRow& formula : formulas) {
        if (formula.clause.empty()) {
            rows.push_back({{{Q(formula.formula), Look{kTablePoints, true}, Qt::AlignLeft, 2}}});
        } else {
            rows.push_back({{{Q(formula.formula), body, Qt::AlignLeft},
                             {Q(ClauseText(formula.clause)), body, Qt::AlignRight}}});
        }
    }
    Table(layout, {Twips(6400), Twips(2000)}, {}, rows, false);
}

void CellTable(Layout& layout, const std::vector<Cells>& cells) {
    const std::size_t columns = cells.empty() ? 1 : std::max<std::size_t>(cells.front().size(), 1);
    std::vector<Row> rows;
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const bool heading = r + 1 < cells.size();
        Row row;
        for (std::size_t c = 0; c < columns; ++c) {
            row.cells.push_back({c < cells[r].size() ? Q(cells[r][c]) : QString(),
                                 Look{kTablePoints, heading}, Qt::AlignHCenter, 1,
                                 heading ? kHeadingShade : QColor()});
        }
        rows.push_back(std::move(row));
    }
    Table(layout,
          std::vector<double>(columns, layout.Width() * 2 / 3 / static_cast<double>(columns)), {},
          rows, true);
    layout.Advance(150);
}

void Pile(Layout& layout, const PileSection& pile, std::vector<int>& pageOf, std::size_t entry) {
    layout.StartPage(false);
    pageOf[entry] = layout.PageIndex();
    layout.Heading(Q(pile.title), kHeading1, 0, 120);
    layout.Heading(Q(kSketchTitle), kHeading2, 100, 60, kSketchHeight);
    Sketch(layout, pile);
    layout.Heading(Q(kStepsTitle), kHeading2, 100, 60);
    for (const Block& block : pile.blocks) {
        switch (block.kind) {
            case Block::Kind::Heading:
                layout.Heading(Q(block.text), kHeading3, 80, 30);
                break;
            case Block::Kind::Subheading:
                layout.Heading(Q(block.text), Look{10.5, true}, 0, 30);
                break;
            case Block::Kind::Steps:
                Steps(layout, block.steps);
                break;
            case Block::Kind::Formulas:
                Formulas(layout, block.formulas);
                break;
            case Block::Kind::Text:
                layout.Paragraph(Q(block.text), {}, Qt::AlignHCenter);
                break;
            case Block::Kind::CellTable:
                CellTable(layout, block.rows);
                break;
        }
    }
    if (pile.check) {
        layout.Heading(Q(kCheckTitle), kHeading2, 100, 60);
        for (const CheckLine& line : pile.check->lines) {
            layout.Paragraph(Q(line.text),
                             Look{10.5, !line.passed, line.passed ? QColor(Qt::black) : kRed},
                             Qt::AlignLeft, 30, 30);
        }
    }
}

// Arrowheads at both ends of a dimension line.
void DrawArrow(QPainter& painter, const QLineF& line) {
    constexpr double kLength = 60;
    constexpr double kHalf = 20;
    if (line.length() <= 0) {
        return;
    }
    const QPointF along = (line.p2() - line.p1()) / line.length();
    const QPointF across(-along.y(), along.x());
    painter.save();
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    for (const auto& [tip, inward] : {std::pair{line.p1(), along}, std::pair{line.p2(), -along}}) {
        const QPointF base = tip + inward * kLength;
        const QPointF head[] = {tip, base + across * kHalf, base - across * kHalf};
        painter.drawPolygon(head, 3);
    }
    painter.restore();
}

void Draw(QPainter& painter, const Page& page, const Layout& layout, const std::vector<int>& pageOf,
          int index, int count, const ProjectInfo& project) {
    for (const ShapeItem& shape : page.shapes) {
        painter.setPen(shape.pen > 0 ? QPen(QBrush(Qt::black), shape.pen, shape.style)
                                     : QPen(Qt::NoPen));
        painter.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
        switch (shape.kind) {
            case ShapeItem::Kind::Rect:
                painter.drawRect(shape.rect);
                break;
            case ShapeItem::Kind::Oval:
                painter.drawEllipse(shape.rect);
                break;
            case ShapeItem::Kind::RoundRect: {
                const double radius = std::min(shape.rect.width(), shape.rect.height()) / 2;
                painter.drawRoundedRect(shape.rect, radius, radius);
                break;
            }
            case ShapeItem::Kind::Line:
                painter.drawLine(shape.line);
                break;
            case ShapeItem::Kind::Arrow:
                painter.drawLine(shape.line);
                DrawArrow(painter, shape.line);
                break;
        }
    }
    for (const TextItem& text : page.texts) {
        painter.setFont(layout.Font(text.look));
        painter.setPen(text.look.colour);
        const QString shown =
            text.pageOfEntry >= 0
                ? QString::number(pageOf[static_cast<std::size_t>(text.pageOfEntry)] + 1)
                : text.text;
        painter.drawText(text.rect, text.flags, shown);
    }
    if (index == 0) {
        return;  // the cover has no header or footer
    }
    const double width = page.landscape ? kPageLong : kPageShort;
    const double height = page.landscape ? kPageShort : kPageLong;
    const Look small{9, false};
    painter.setFont(layout.Font(small));
    painter.setPen(Qt::black);
    const double lineHeight = layout.TextHeight(QStringLiteral("第"), small, width, 0);
    const QRectF header(kMargin, kHeaderFromEdge, width - 2 * kMargin, lineHeight);
    painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, Q(project.name));
    painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, Q(kReportTitle));
    painter.setPen(QPen(QBrush(Qt::black), kThinLine));
    painter.drawLine(QLineF(kMargin, header.bottom() + 20, width - kMargin, header.bottom() + 20));
    painter.setPen(Qt::black);
    const QString footer = Q(kFooterBefore) + QString::number(index + 1) + Q(kFooterBetween) +
                           QString::number(count) + Q(kFooterAfter);
    painter.drawText(
        QRectF(kMargin, height - kHeaderFromEdge - lineHeight, width - 2 * kMargin, lineHeight),
        Qt::AlignHCenter | Qt::AlignVCenter, footer);
}

QPageLayout::Orientation Orientation(bool landscape) {
    return landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

}  // namespace

std::variant<QByteArray, std::u16string> PdfReport(const ReportContent& content,
                                                   const ProjectInfo& project,
                                                   const ProgramInfo& program,
                                                   const QString& fontFamily,
                                                   const ReportProgress& progress) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return std::u16string(u"PDF 计算书需要图形界面的字体支持，未能写出");
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(Q(DocumentTitle(project)));
    writer.setCreator(Q(program.name) + QStringLiteral(" ") + Q(program.version));

    Layout layout(&writer, fontFamily);
    std::vector<std::u16string> entries{std::u16string(kBasisTitle), std::u16string(kSummaryTitle)};
    for (const PileSection& pile : content.piles) {
        entries.push_back(pile.title);
    }
    std::vector<int> pageOf(entries.size(), 0);

    Cover(layout, project, program, content.code);
    Contents(layout, entries);
    layout.StartPage(false);
    pageOf[0] = layout.PageIndex();
    layout.Heading(Q(kBasisTitle), kHeading1, 0, 120);
    for (const std::u16string& paragraph : BasisParagraphs(content, program)) {
        layout.Paragraph(Q(paragraph), {}, Qt::AlignLeft, 0, 60);
    }
    layout.StartPage(true);
    pageOf[1] = layout.PageIndex();
    layout.Heading(Q(kSummaryTitle), kHeading1, 0, 120);
    Summary(layout, content);
    // Half the steps lay the piles out, half draw their pages.
    const std::size_t steps = 2 * std::max<std::size_t>(content.piles.size(), 1);
    const auto stopped = [&](std::size_t done) { return progress && !progress(done, steps); };
    for (std::size_t i = 0; i < content.piles.size(); ++i) {
        if (stopped(i)) {
            return std::u16string(kReportStopped);
        }
        Pile(layout, content.piles[i], pageOf, i + 2);
    }

    const std::vector<Page> pages = layout.Take();
    writer.setPageOrientation(Orientation(pages.front().landscape));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return std::u16string(u"PDF 计算书未能写出");
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
        const Page& page = pages[static_cast<std::size_t>(i)];
        if (stopped(steps / 2 +
                    steps / 2 * static_cast<std::size_t>(i) / static_cast<std::size_t>(count))) {
            painter.end();
            return std::u16string(kReportStopped);
        }
        if (i > 0) {
            writer.setPageOrientation(Orientation(page.landscape));
            if (!writer.newPage()) {
                return std::u16string(u"PDF 计算书未能写出");
            }
        }
        Draw(painter, page, layout, pageOf, i, count, project);
    }
    if (!painter.end()) {
        return std::u16string(u"PDF 计算书未能写出");
    }
    if (stopped(steps)) {
        return std::u16string(kReportStopped);
    }
    buffer.close();
    return buffer.data();
}

}  // namespace pile::report
