#include "report/docx_report.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "report/report_sketch.h"
#include "report/report_texts.h"
#include "report/xml_writer.h"

namespace pile::report {

namespace {

constexpr char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char kRelationshipsNamespace[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::u16string_view kLatinFont = u"Times New Roman";
constexpr std::u16string_view kChineseFont = u"宋体";
constexpr std::u16string_view kRed = u"FF0000";

// A4 in twentieths of a point, and the text width between the margins.
constexpr long long kPageShort = 11906;
constexpr long long kPageLong = 16838;
constexpr long long kMargin = 1134;
constexpr long long kPortraitText = kPageShort - 2 * kMargin;
constexpr long long kLandscapeText = kPageLong - 2 * kMargin;

struct RunLook {
    bool bold = false;
    int halfPoints = 0;  // 0: the paragraph style's size
    std::u16string_view colour;
};

// One body of WordprocessingML (the document, a header, a footer or a text box), written with
// the fonts named on every run so that Word and WPS show 宋体 whatever their defaults.
class Body {
  public:
    explicit Body(XmlWriter& xml) : xml_(xml) {}

    void Run(std::u16string_view text, const RunLook& look = {}) {
        xml_.Open("w:r");
        RunProperties(look);
        xml_.Open("w:t").Attribute("xml:space", "preserve").Text(text).Close();
        xml_.Close();
    }

    void RunProperties(const RunLook& look) {
        xml_.Open("w:rPr");
        xml_.Open("w:rFonts")
            .Attribute("w:ascii", kLatinFont)
            .Attribute("w:hAnsi", kLatinFont)
            .Attribute("w:eastAsia", kChineseFont)
            .Attribute("w:cs", kLatinFont)
            .Close();
        if (look.bold) {
            xml_.Open("w:b").Close();
        }
        if (!look.colour.empty()) {
            xml_.Open("w:color").Attribute("w:val", look.colour).Close();
        }
        if (look.halfPoints > 0) {
            xml_.Open("w:sz").Attribute("w:val", static_cast<long long>(look.halfPoints)).Close();
            xml_.Open("w:szCs").Attribute("w:val", static_cast<long long>(look.halfPoints)).Close();
        }
        xml_.Close();
    }

    // <w:p> with its style and alignment; the caller writes the runs and calls EndParagraph.
    void StartParagraph(std::string_view style = {}, std::string_view align = {}) {
        xml_.Open("w:p");
        if (!style.empty() || !align.empty()) {
            xml_.Open("w:pPr");
            if (!style.empty()) {
                xml_.Open("w:pStyle").Attribute("w:val", style).Close();
            }
            if (!align.empty()) {
                xml_.Open("w:jc").Attribute("w:val", align).Close();
            }
            xml_.Close();
        }
    }
    void EndParagraph() { xml_.Close(); }

    void Paragraph(std::u16string_view text, std::string_view style = {},
                   std::string_view align = {}, const RunLook& look = {}) {
        StartParagraph(style, align);
        if (!text.empty()) {
            Run(text, look);
        }
        EndParagraph();
    }

    void PageBreak() {
        xml_.Open("w:p").Open("w:r");
        RunProperties({});
        xml_.Open("w:br").Attribute("w:type", "page").Close();
        xml_.Close().Close();
    }

    void Tab() {
        xml_.Open("w:r");
        RunProperties({});
        xml_.Open("w:tab").Close().Close();
    }

    // A complex field: its instruction and the result shown until it is updated.
    void Field(std::string_view instruction, std::u16string_view shown, const RunLook& look = {}) {
        FieldStart(instruction, look);
        Run(shown, look);
        FieldEnd(look);
    }
    void FieldStart(std::string_view instruction, const RunLook& look = {}, bool dirty = false) {
        xml_.Open("w:r");
        RunProperties(look);
        xml_.Open("w:fldChar").Attribute("w:fldCharType", "begin");
        if (dirty) {
            xml_.Attribute("w:dirty", "true");
        }
        xml_.Close().Close();
        xml_.Open("w:r");
        RunProperties(look);
        xml_.Open("w:instrText").Attribute("xml:space", "preserve").Text(instruction).Close();
        xml_.Close();
        xml_.Open("w:r");
        RunProperties(look);
        xml_.Open("w:fldChar").Attribute("w:fldCharType", "separate").Close().Close();
    }
    void FieldEnd(const RunLook& look = {}) {
        xml_.Open("w:r");
        RunProperties(look);
        xml_.Open("w:fldChar").Attribute("w:fldCharType", "end").Close().Close();
    }

    XmlWriter& Xml() { return xml_; }

  private:
    XmlWriter& xml_;
};

// A table of fixed column widths; cells are written one after another, row by row.
class Table {
  public:
    // `sideMargin`: the room left and right of a cell's text in twips, 0 for the style's.
    Table(Body& body, std::vector<long long> widths, bool borders = true, long long sideMargin = 0)
        : body_(body), xml_(body.Xml()), widths_(std::move(widths)) {
        xml_.Open("w:tbl").Open("w:tblPr");
        xml_.Open("w:tblStyle").Attribute("w:val", borders ? "TableGrid" : "TableNormal").Close();
        long long total = 0;
        for (const long long width : widths_) {
            total += width;
        }
        xml_.Open("w:tblW").Attribute("w:w", total).Attribute("w:type", "dxa").Close();
        xml_.Open("w:jc").Attribute("w:val", "center").Close();
        xml_.Open("w:tblLayout").Attribute("w:type", "fixed").Close();
        if (sideMargin > 0) {
            xml_.Open("w:tblCellMar");
            for (const char* side : {"w:left", "w:right"}) {
                xml_.Open(side).Attribute("w:w", sideMargin).Attribute("w:type", "dxa").Close();
            }
            xml_.Close();
        }
        xml_.Close();
        xml_.Open("w:tblGrid");
        for (const long long width : widths_) {
            xml_.Open("w:gridCol").Attribute("w:w", width).Close();
        }
        xml_.Close();
    }

    // `header`: repeated at the top of every page the table runs onto. `height` in twips.
    void StartRow(bool header = false, long long height = 0) {
        xml_.Open("w:tr");
        if (header || height > 0) {
            xml_.Open("w:trPr");
            xml_.Open("w:cantSplit").Close();
            if (header) {
                xml_.Open("w:tblHeader").Close();
            }
            if (height > 0) {
                xml_.Open("w:trHeight").Attribute("w:val", height).Attribute("w:hRule", "atLeast");
                xml_.Close();
            }
            xml_.Close();
        }
        column_ = 0;
    }
    void EndRow() { xml_.Close(); }

    // A cell over `span` columns.
    void Cell(std::u16string_view text, const RunLook& look = {}, std::string_view align = "center",
              int span = 1, std::u16string_view shading = {}) {
        long long width = 0;
        for (int i = 0; i < span && column_ < widths_.size(); ++i) {
            width += widths_[column_++];
        }
        xml_.Open("w:tc").Open("w:tcPr");
        xml_.Open("w:tcW").Attribute("w:w", width).Attribute("w:type", "dxa").Close();
        if (span > 1) {
            xml_.Open("w:gridSpan").Attribute("w:val", static_cast<long long>(span)).Close();
        }
        if (!shading.empty()) {
            xml_.Open("w:shd")
                .Attribute("w:val", "clear")
                .Attribute("w:color", "auto")
                .Attribute("w:fill", shading)
                .Close();
        }
        xml_.Open("w:vAlign").Attribute("w:val", "center").Close();
        xml_.Close();
        // A line break in the text starts a paragraph of its own.
        std::size_t start = 0;
        for (std::size_t end; (end = text.find(u'\n', start)) != std::u16string_view::npos;
             start = end + 1) {
            body_.Paragraph(text.substr(start, end - start), "TableText", align, look);
        }
        body_.Paragraph(text.substr(start), "TableText", align, look);
        xml_.Close();
    }

    void End() { xml_.Close(); }

  private:
    Body& body_;
    XmlWriter& xml_;
    std::vector<long long> widths_;
    std::size_t column_ = 0;
};

// Equal columns over `total` twips.
std::vector<long long> EqualColumns(std::size_t count, long long total) {
    return std::vector<long long>(std::max<std::size_t>(count, 1),
                                  total / static_cast<long long>(std::max<std::size_t>(count, 1)));
}

constexpr std::u16string_view kHeadingShade = u"E7E6E6";

// --- The sketch: VML shapes in one group, which Word, WPS and LibreOffice all draw. ---------

class Sketch {
  public:
    explicit Sketch(XmlWriter& xml) : xml_(xml) {}

    void Begin() {
        xml_.Open("w:p").Open("w:pPr").Open("w:jc").Attribute("w:val", "center").Close().Close();
        xml_.Open("w:r");
        Body(xml_).RunProperties({});
        xml_.Open("w:pict");
        xml_.Open("v:group")
            .Attribute("style", "width:" + std::to_string(kSketchWidth / 10) +
                                    "pt;height:" + std::to_string(kSketchHeight / 10) + "pt")
            .Attribute("coordorigin", "0,0")
            .Attribute("coordsize",
                       std::to_string(kSketchWidth) + "," + std::to_string(kSketchHeight));
    }
    void End() { xml_.Close().Close().Close().Close(); }

    static std::string Box(int x, int y, int w, int h) {
        return "position:absolute;left:" + std::to_string(x) + ";top:" + std::to_string(y) +
               ";width:" + std::to_string(std::max(w, 1)) +
               ";height:" + std::to_string(std::max(h, 1));
    }

    void Shape(std::string_view kind, int x, int y, int w, int h, std::u16string_view fill = {},
               std::string_view extra = {}, std::string_view extraValue = {}) {
        xml_.Open(kind).Attribute("style", Box(x, y, w, h)).Attribute("strokeweight", "1pt");
        if (fill.empty()) {
            xml_.Attribute("filled", "f");
        } else {
            xml_.Attribute("fillcolor", u"#" + std::u16string(fill));
        }
        if (!extra.empty()) {
            xml_.Attribute(extra, extraValue);
        }
        xml_.Close();
    }

    // A dimension line with arrows at both ends, or a plain line.
    void Line(int x1, int y1, int x2, int y2, bool arrows, std::string_view dash = {}) {
        xml_.Open("v:line")
            .Attribute("style", "position:absolute")
            .Attribute("from", std::to_string(x1) + "," + std::to_string(y1))
            .Attribute("to", std::to_string(x2) + "," + std::to_string(y2))
            .Attribute("strokeweight", arrows ? "0.5pt" : "1pt");
        if (arrows || !dash.empty()) {
            xml_.Open("v:stroke");
            if (arrows) {
                xml_.Attribute("startarrow", "classic").Attribute("endarrow", "classic");
            }
            if (!dash.empty()) {
                xml_.Attribute("dashstyle", dash);
            }
            xml_.Close();
        }
        xml_.Close();
    }

    // A label in a borderless text box.
    void Label(int x, int y, int width, std::u16string_view text) {
        xml_.Open("v:rect")
            .Attribute("style", Box(x, y, width, kSketchLabelHeight))
            .Attribute("stroked", "f")
            .Attribute("filled", "f");
        xml_.Open("v:textbox").Attribute("inset", "0,0,0,0");
        xml_.Open("w:txbxContent");
        Body body(xml_);
        body.Paragraph(text, "TableText", "center", RunLook{false, 16, {}});
        xml_.Close().Close().Close();
    }

  private:
    XmlWriter& xml_;
};

// The sketch's shapes in one VML group.
void WriteSketch(XmlWriter& xml, const PileSection& pile) {
    Sketch s(xml);
    s.Begin();
    for (const SketchShape& shape : SketchOf(pile)) {
        switch (shape.kind) {
            case SketchShape::Kind::Oval:
                s.Shape("v:oval", shape.x, shape.y, shape.w, shape.h, shape.fill);
                break;
            case SketchShape::Kind::RoundRect:
                s.Shape("v:roundrect", shape.x, shape.y, shape.w, shape.h, shape.fill, "arcsize",
                        "0.5");
                break;
            case SketchShape::Kind::Rect:
                s.Shape("v:rect", shape.x, shape.y, shape.w, shape.h, shape.fill);
                break;
            case SketchShape::Kind::Line:
                s.Line(shape.x, shape.y, shape.x2, shape.y2, shape.arrows,
                       shape.dashed ? "dash" : "");
                break;
            case SketchShape::Kind::Label:
                s.Label(shape.x, shape.y, shape.w, shape.text);
                break;
        }
    }
    s.End();
}

// --- The parts of the document. -------------------------------------------------------------

// A section's page: size, margins, header and footer; the cover has no header or footer.
void SectionProperties(XmlWriter& xml, bool landscape, bool titlePage) {
    xml.Open("w:sectPr");
    xml.Open("w:headerReference").Attribute("w:type", "default").Attribute("r:id", "rIdHeader");
    xml.Close();
    xml.Open("w:footerReference").Attribute("w:type", "default").Attribute("r:id", "rIdFooter");
    xml.Close();
    xml.Open("w:type").Attribute("w:val", "nextPage").Close();
    xml.Open("w:pgSz")
        .Attribute("w:w", landscape ? kPageLong : kPageShort)
        .Attribute("w:h", landscape ? kPageShort : kPageLong);
    if (landscape) {
        xml.Attribute("w:orient", "landscape");
    }
    xml.Close();
    xml.Open("w:pgMar")
        .Attribute("w:top", kMargin)
        .Attribute("w:right", kMargin)
        .Attribute("w:bottom", kMargin)
        .Attribute("w:left", kMargin)
        .Attribute("w:header", 567LL)
        .Attribute("w:footer", 567LL)
        .Attribute("w:gutter", 0LL)
        .Close();
    if (titlePage) {
        xml.Open("w:titlePg").Close();
    }
    xml.Close();
}

// Ends a section: its properties go into an empty last paragraph.
void SectionBreak(XmlWriter& xml, bool landscape, bool titlePage) {
    xml.Open("w:p").Open("w:pPr");
    SectionProperties(xml, landscape, titlePage);
    xml.Close().Close();
}

void WriteCover(Body& body, const ProjectInfo& project, const ProgramInfo& program,
                std::u16string_view code) {
    body.Paragraph(kReportTitle, "Title", "center");
    {
        Table fields(body, {2200, 5200}, false);
        for (const auto& [label, member] : kCoverFields) {
            fields.StartRow(false, 560);
            fields.Cell(label, RunLook{true, 28, {}}, "right");
            fields.Cell(project.*member, RunLook{false, 28, {}}, "left");
            fields.EndRow();
        }
        fields.End();
    }
    body.Paragraph(u"");
    {
        Table signOff(body, {1800, 2800, 2800});
        signOff.StartRow(false, 500);
        for (const std::u16string_view cell : kSignOffHeading) {
            signOff.Cell(cell, RunLook{true, 0, {}});
        }
        signOff.EndRow();
        for (const auto& [role, member] : kSignOffRoles) {
            signOff.StartRow(false, 760);
            signOff.Cell(role, RunLook{true, 24, {}});
            signOff.Cell(project.*member, RunLook{false, 24, {}});
            signOff.Cell(u"");
            signOff.EndRow();
        }
        signOff.End();
    }
    body.Paragraph(u"");
    body.Paragraph(CoverDate(project), {}, "center", RunLook{false, 24, {}});
    body.Paragraph(u"");
    for (const std::u16string& line : CoverProgramLines(program, code)) {
        body.Paragraph(line, {}, "center");
    }
}

struct TocEntry {
    std::u16string text;
    std::string bookmark;
};

void WriteContents(Body& body, const std::vector<TocEntry>& entries) {
    body.PageBreak();
    body.Paragraph(kContentsTitle, "TOCHeading", "center");
    // Each entry's page is a page reference to its heading's bookmark, rather than one
    // contents field: Word updates the references on opening (updateFields), and LibreOffice
    // and WPS work them out as they lay the pages out, where they would print a contents
    // field's result as it was written.
    for (const TocEntry& entry : entries) {
        body.StartParagraph("TOC1");
        body.Run(entry.text);
        body.Tab();
        body.Field(" PAGEREF " + entry.bookmark + " \\h ", u"1");
        body.EndParagraph();
    }
}

// A heading of the contents, with the bookmark its page reference names.
void Heading(Body& body, std::u16string_view text, const TocEntry& entry, long long id) {
    XmlWriter& xml = body.Xml();
    body.StartParagraph("Heading1");
    xml.Open("w:bookmarkStart").Attribute("w:id", id).Attribute("w:name", entry.bookmark).Close();
    body.Run(text);
    xml.Open("w:bookmarkEnd").Attribute("w:id", id).Close();
    body.EndParagraph();
}

void WriteBasis(Body& body, const ReportContent& content, const ProgramInfo& program) {
    for (const std::u16string& paragraph : BasisParagraphs(content, program)) {
        body.Paragraph(paragraph);
    }
}

void WriteSummary(Body& body, const ReportContent& content) {
    const std::size_t bookColumns =
        content.tableHeadings.empty() ? 0 : content.tableHeadings.front().size();
    const std::size_t checkColumns = content.anyCheck ? 3 : 0;
    const std::size_t columns = bookColumns + checkColumns;
    std::vector<long long> widths = EqualColumns(columns, kLandscapeText);
    if (content.anyCheck) {
        // The loads, the ratios and the verdict, each on lines of their own, in narrow columns
        // that leave the book's columns room for their values.
        const std::array<long long, 3> checkWidths{900, 1100, 900};
        const long long bookWidth = (kLandscapeText - 2900) / static_cast<long long>(bookColumns);
        widths.assign(bookColumns, bookWidth);
        widths.insert(widths.end(), checkWidths.begin(), checkWidths.end());
    }
    Table table(body, widths, true, 28);
    const RunLook small{true, 13, {}};
    for (std::size_t r = 0; r < content.tableHeadings.size(); ++r) {
        table.StartRow(true);
        for (const std::u16string& cell : content.tableHeadings[r]) {
            table.Cell(cell, small, "center", 1, kHeadingShade);
        }
        if (content.anyCheck) {
            for (const std::u16string_view cell : r == 0 ? kCheckColumns : kCheckColumnsSecond) {
                table.Cell(cell, small, "center", 1, kHeadingShade);
            }
        }
        table.EndRow();
    }
    for (const PileSection& pile : content.piles) {
        table.StartRow();
        if (pile.tableRow.size() == bookColumns) {
            for (const std::u16string& cell : pile.tableRow) {
                table.Cell(cell, RunLook{false, 13, {}});
            }
        } else {
            // A row whose typed texts hold blanks of their own: the row as one cell.
            std::u16string row;
            for (const std::u16string& cell : pile.tableRow) {
                row += (row.empty() ? u"" : u"  ") + cell;
            }
            table.Cell(row, RunLook{false, 13, {}}, "left", static_cast<int>(bookColumns));
        }
        if (content.anyCheck) {
            const PileCheck none;
            const PileCheck& check = pile.check ? *pile.check : none;
            table.Cell(check.loads, RunLook{false, 13, {}});
            table.Cell(check.ratios, RunLook{false, 13, {}});
            table.Cell(check.verdict, RunLook{!check.passed, 13, check.passed ? u"" : kRed});
        }
        table.EndRow();
    }
    table.End();
}

void WriteSteps(Body& body, const std::vector<StepRow>& steps) {
    Table table(body, {900, 4300, 1300, 1900, 1238});
    const RunLook head{true, 0, {}};
    table.StartRow(true);
    for (const std::u16string_view cell : kStepColumns) {
        table.Cell(cell, head, "center", 1, kHeadingShade);
    }
    table.EndRow();
    for (const StepRow& step : steps) {
        table.StartRow();
        table.Cell(step.number);
        table.Cell(step.quantity, {}, "left");
        table.Cell(step.symbol);
        table.Cell(step.value, {}, "right");
        table.Cell(step.unit);
        table.EndRow();
    }
    table.End();
}

void WriteFormulas(Body& body, const std::vector<FormulaRow>& formulas) {
    Table table(body, {6400, 2000}, false);
    for (const FormulaRow& row : formulas) {
        table.StartRow();
        if (row.clause.empty()) {
            table.Cell(row.formula, RunLook{true, 0, {}}, "left", 2);
        } else {
            table.Cell(row.formula, {}, "left");
            table.Cell(ClauseText(row.clause), {}, "right");
        }
        table.EndRow();
    }
    table.End();
}

void WriteCellTable(Body& body, const std::vector<Cells>& rows) {
    const std::size_t columns = rows.empty() ? 1 : rows.front().size();
    Table table(body, EqualColumns(columns, kPortraitText * 2 / 3));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool heading = r + 1 < rows.size();
        table.StartRow();
        for (std::size_t c = 0; c < columns; ++c) {
            const std::u16string_view cell =
                c < rows[r].size() ? std::u16string_view(rows[r][c]) : std::u16string_view();
            table.Cell(cell, RunLook{heading, 0, {}}, "center", 1, heading ? kHeadingShade : u"");
        }
        table.EndRow();
    }
    table.End();
}

// The first pile starts on the section's own new page.
void WritePile(Body& body, const PileSection& pile, const TocEntry& entry, long long id,
               bool first) {
    if (!first) {
        body.PageBreak();
    }
    Heading(body, entry.text, entry, id);
    body.Paragraph(kSketchTitle, "Heading2");
    WriteSketch(body.Xml(), pile);
    body.Paragraph(kStepsTitle, "Heading2");
    for (const Block& block : pile.blocks) {
        switch (block.kind) {
            case Block::Kind::Heading:
                body.Paragraph(block.text, "Heading3");
                break;
            case Block::Kind::Subheading:
                body.Paragraph(block.text, {}, {}, RunLook{true, 0, {}});
                break;
            case Block::Kind::Steps:
                WriteSteps(body, block.steps);
                break;
            case Block::Kind::Formulas:
                WriteFormulas(body, block.formulas);
                break;
            case Block::Kind::Text:
                body.Paragraph(block.text, {}, "center");
                break;
            case Block::Kind::CellTable:
                WriteCellTable(body, block.rows);
                body.Paragraph(u"");
                break;
        }
    }
    if (pile.check) {
        body.Paragraph(kCheckTitle, "Heading2");
        for (const CheckLine& line : pile.check->lines) {
            body.Paragraph(line.text, "Check", {},
                           RunLook{!line.passed, 0, line.passed ? u"" : kRed});
        }
    }
}

// None when `progress` stopped it.
std::optional<std::string> DocumentXml(const ReportContent& content, const ProjectInfo& project,
                                       const ProgramInfo& program, const ReportProgress& progress) {
    XmlWriter xml;
    xml.Open("w:document")
        .Attribute("xmlns:w", kWordNamespace)
        .Attribute("xmlns:r", kRelationshipsNamespace)
        .Attribute("xmlns:v", "urn:schemas-microsoft-com:vml")
        .Attribute("xmlns:o", "urn:schemas-microsoft-com:office:office");
    xml.Open("w:body");
    Body body(xml);

    std::vector<TocEntry> entries;
    entries.push_back({std::u16string(kBasisTitle), "_Toc_basis"});
    entries.push_back({std::u16string(kSummaryTitle), "_Toc_summary"});
    for (std::size_t i = 0; i < content.piles.size(); ++i) {
        entries.push_back({content.piles[i].title, "_Toc_pile" + std::to_string(i + 1)});
    }

    WriteCover(body, project, program, content.code);
    WriteContents(body, entries);
    body.PageBreak();
    Heading(body, entries[0].text, entries[0], 0);
    WriteBasis(body, content, program);
    SectionBreak(xml, false, true);

    Heading(body, entries[1].text, entries[1], 1);
    WriteSummary(body, content);
    SectionBreak(xml, true, false);

    for (std::size_t i = 0; i < content.piles.size(); ++i) {
        WritePile(body, content.piles[i], entries[i + 2], static_cast<long long>(i + 2), i == 0);
        if (progress && !progress(i + 1, content.piles.size() + 1)) {
            return std::nullopt;
        }
    }
    SectionProperties(xml, false, false);
    return xml.Finish();
}

std::string HeaderXml(const ProjectInfo& project) {
    XmlWriter xml;
    xml.Open("w:hdr").Attribute("xmlns:w", kWordNamespace);
    Body body(xml);
    body.StartParagraph("Header");
    body.Run(project.name);
    body.Tab();
    body.Run(kReportTitle);
    body.EndParagraph();
    return xml.Finish();
}

std::string FooterXml() {
    XmlWriter xml;
    xml.Open("w:ftr").Attribute("xmlns:w", kWordNamespace);
    Body body(xml);
    body.StartParagraph("Footer", "center");
    body.Run(kFooterBefore);
    body.Field(" PAGE ", u"1");
    body.Run(kFooterBetween);
    body.Field(" NUMPAGES ", u"1");
    body.Run(kFooterAfter);
    body.EndParagraph();
    return xml.Finish();
}

// updateFields: Word offers to update the contents and the page references on opening.
std::string SettingsXml() {
    XmlWriter xml;
    xml.Open("w:settings").Attribute("xmlns:w", kWordNamespace);
    // In the order the schema gives them: Word refuses a settings part out of order.
    xml.Open("w:defaultTabStop").Attribute("w:val", 420LL).Close();
    xml.Open("w:characterSpacingControl").Attribute("w:val", "compressPunctuation").Close();
    xml.Open("w:updateFields").Attribute("w:val", "true").Close();
    xml.Open("w:compat")
        .Open("w:compatSetting")
        .Attribute("w:name", "compatibilityMode")
        .Attribute("w:uri", "http://schemas.microsoft.com/office/word")
        .Attribute("w:val", "15")
        .Close()
        .Close();
    return xml.Finish();
}

std::string ContentTypesXml() {
    XmlWriter xml;
    xml.Open("Types").Attribute("xmlns",
                                "http://schemas.openxmlformats.org/package/2006/content-types");
    xml.Open("Default")
        .Attribute("Extension", "rels")
        .Attribute("ContentType", "application/vnd.openxmlformats-package.relationships+xml")
        .Close();
    xml.Open("Default").Attribute("Extension", "xml").Attribute("ContentType", "application/xml");
    xml.Close();
    const std::array<std::pair<const char*, const char*>, 7> parts{{
        {"/word/document.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
        {"/word/styles.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"},
        {"/word/settings.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"},
        {"/word/header1.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"},
        {"/word/footer1.xml",
         "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"},
        {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
        {"/docProps/app.xml",
         "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
    }};
    for (const auto& [name, type] : parts) {
        xml.Open("Override").Attribute("PartName", name).Attribute("ContentType", type).Close();
    }
    return xml.Finish();
}

std::string Relationships(const std::vector<std::array<const char*, 3>>& relations) {
    XmlWriter xml;
    xml.Open("Relationships")
        .Attribute("xmlns", "http://schemas.openxmlformats.org/package/2006/relationships");
    for (const auto& [id, type, target] : relations) {
        xml.Open("Relationship")
            .Attribute("Id", id)
            .Attribute("Type", type)
            .Attribute("Target", target)
            .Close();
    }
    return xml.Finish();
}

std::string PackageRelationships() {
    return Relationships({
        {"rId1",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
         "word/document.xml"},
        {"rId2",
         "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
         "docProps/core.xml"},
        {"rId3",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
         "docProps/app.xml"},
    });
}

std::string DocumentRelationships() {
    constexpr const char* kBase =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    static const std::string styles = std::string(kBase) + "styles";
    static const std::string settings = std::string(kBase) + "settings";
    static const std::string header = std::string(kBase) + "header";
    static const std::string footer = std::string(kBase) + "footer";
    return Relationships({
        {"rIdStyles", styles.c_str(), "styles.xml"},
        {"rIdSettings", settings.c_str(), "settings.xml"},
        {"rIdHeader", header.c_str(), "header1.xml"},
        {"rIdFooter", footer.c_str(), "footer1.xml"},
    });
}

std::string CoreXml(const ProjectInfo& project) {
    XmlWriter xml;
    xml.Open("cp:coreProperties")
        .Attribute("xmlns:cp",
                   "http://schemas.openxmlformats.org/package/2006/metadata/core-properties")
        .Attribute("xmlns:dc", "http://purl.org/dc/elements/1.1/");
    xml.Element("dc:title", DocumentTitle(project));
    xml.Element("dc:creator", project.calculation);
    return xml.Finish();
}

std::string AppXml(const ProgramInfo& program) {
    XmlWriter xml;
    xml.Open("Properties")
        .Attribute("xmlns",
                   "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
    xml.Element("Application",
                std::u16string(program.name) + u" " + std::u16string(program.version));
    return xml.Finish();
}

// libzip writing into memory; every part is a buffer that lives until the archive is closed.
class MemoryZip {
  public:
    MemoryZip() {
        zip_error_t error;
        zip_error_init(&error);
        source_ = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (source_) {
            archive_ = zip_open_from_source(source_, ZIP_TRUNCATE, &error);
            if (archive_) {
                zip_source_keep(source_);
            }
        }
        zip_error_fini(&error);
    }
    ~MemoryZip() {
        if (archive_) {
            zip_discard(archive_);
        }
        if (source_) {
            zip_source_free(source_);
        }
    }
    MemoryZip(const MemoryZip&) = delete;
    MemoryZip& operator=(const MemoryZip&) = delete;

    bool Add(const char* name, std::string bytes) {
        if (!archive_) {
            return false;
        }
        parts_.push_back(std::make_unique<std::string>(std::move(bytes)));
        const std::string& kept = *parts_.back();
        zip_source_t* part = zip_source_buffer(archive_, kept.data(), kept.size(), 0);
        if (!part) {
            return false;
        }
        const zip_int64_t index = zip_file_add(archive_, name, part, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(part);
            return false;
        }
        // A fixed time: the same report twice is the same file.
        zip_file_set_mtime(archive_, static_cast<zip_uint64_t>(index), 1609459200, 0);
        return true;
    }

    std::optional<std::string> Close() {
        if (!archive_ || zip_close(archive_) != 0) {
            return std::nullopt;
        }
        archive_ = nullptr;
        zip_stat_t stat;
        if (zip_source_stat(source_, &stat) != 0 || zip_source_open(source_) != 0) {
            return std::nullopt;
        }
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        const zip_int64_t read = zip_source_read(source_, bytes.data(), stat.size);
        zip_source_close(source_);
        if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
            return std::nullopt;
        }
        return bytes;
    }

  private:
    zip_source_t* source_ = nullptr;
    zip_t* archive_ = nullptr;
    std::vector<std::unique_ptr<std::string>> parts_;
};

}  // namespace

std::variant<std::string, std::u16string> DocxReport(const ReportContent& content,
                                                     const ProjectInfo& project,
                                                     const ProgramInfo& program,
                                                     const ReportProgress& progress) {
    std::optional<std::string> document = DocumentXml(content, project, program, progress);
    if (!document) {
        return std::u16string(kReportStopped);
    }
    MemoryZip zip;
    const bool added = zip.Add("[Content_Types].xml", ContentTypesXml()) &&
                       zip.Add("_rels/.rels", PackageRelationships()) &&
                       zip.Add("docProps/core.xml", CoreXml(project)) &&
                       zip.Add("docProps/app.xml", AppXml(program)) &&
                       zip.Add("word/document.xml", std::move(*document)) &&
                       zip.Add("word/styles.xml", std::string(StylesTemplate())) &&
                       zip.Add("word/settings.xml", SettingsXml()) &&
                       zip.Add("word/header1.xml", HeaderXml(project)) &&
                       zip.Add("word/footer1.xml", FooterXml()) &&
                       zip.Add("word/_rels/document.xml.rels", DocumentRelationships());
    if (!added) {
        return std::u16string(u"计算书的压缩包写不成");
    }
    std::optional<std::string> bytes = zip.Close();
    if (!bytes) {
        return std::u16string(u"计算书的压缩包写不成");
    }
    if (progress) {
        progress(content.piles.size() + 1, content.piles.size() + 1);
    }
    return std::move(*bytes);
}

}  // namespace pile::report
