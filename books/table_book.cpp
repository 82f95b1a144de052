#include "books/table_book.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "books/column_layout.h"
#include "engine/pile_types.h"

namespace pile {

namespace {

// The title line: 103 equals signs on each side of the title, 220 columns in all.
constexpr std::size_t kTitleRuleLength = 103;
constexpr std::u16string_view kTitle = u" 嵌岩桩计算书 ";
constexpr std::u16string_view kHeadingLine1 =
    u" 基    桩  桩身截面  桩身直径  椭圆直段  矩形长边  矩形短边  桩身面积  嵌岩深度  "
    u"单轴强度  极限强度  成    桩  深 径 比  综合系数  深 宽 比  截面比值  综合系数  "
    u"嵌岩阻力  安全系数  桩承载力  桩混凝土  工艺系数  桩身强度 ";
// Written as it stands although from "hr/b" on its labels do not sit exactly over the cells.
constexpr std::u16string_view kHeadingLine2 =
    u" 编    号  类    型    d(mm)     c(mm)     a(mm)     b(mm)    Ap(m^2)   hr(mm)   "
    u"frk(MPa)  fuk(MPa)  工    艺    hr/d      ζr       hr/b    c/d(b/a)     β      "
    u"Qrk(kN)      K      Ra(kN)   强度等级    ψc      Rc(kN)  ";
constexpr std::u16string_view kNote = u"注: 采用《建筑地基基础设计规范》(DBJ 50-047-2016)公式计算";
constexpr std::size_t kRuleWidth = 220;

// A cell of the row is appended to the row as it is built, never formed on its own.
class RowBuilder {
  public:
    // `cells`, when given, also receives each cell's text before its padding.
    RowBuilder(char16_t separator, std::vector<std::u16string>* cells)
        : separator_(separator), cells_(cells) {
        row_.reserve(240);
    }

    // The value right-aligned in `p` columns, then `s` blanks.
    void Right(std::u16string_view value, int p, int s) {
        Keep(value);
        row_ += PadLeft(value, u" ", p);
        row_ += Spaces(s);
    }
    void Centre(std::u16string_view value) {
        Keep(value);
        row_ += PadCenter(value, u" ", 8);
        row_ += Spaces(2);
    }
    // A cell that AsIs writes in pieces.
    void Keep(std::u16string_view cell) {
        if (cells_) {
            cells_->emplace_back(cell);
        }
    }
    // A column that does not apply to the pile.
    void Dash() { Centre(u"-"); }
    void AsIs(std::u16string_view value) { row_ += value; }
    void Fixed(double value, int significant, int decimals, int p, int s) {
        Right(FixedText(value, significant, decimals, separator_), p, s);
    }

    std::u16string Take() { return std::move(row_); }

  private:
    char16_t separator_;
    std::vector<std::u16string>* cells_;
    std::u16string row_;
};

// The process cell is written without padding: each text is 10 columns wide already.
std::u16string_view ProcessCellText(ConstructionProcess process) {
    switch (process) {
        case ConstructionProcess::DryClean:
            return u"干 作 业  ";
        case ConstructionProcess::MudWall:
            return u"泥浆护壁  ";
        case ConstructionProcess::MudWallGrouted:
            break;
    }
    return u"后 注 浆  ";
}

// Cells 17, 19 and 22: two decimal modes take one column more for the value.
void AppendForce(RowBuilder& row, double value, PrecisionMode mode, char16_t separator,
                 bool lastCell) {
    const bool withDecimals =
        mode == PrecisionMode::TwoDecimals || mode == PrecisionMode::OneDecimal;
    const int p = withDecimals ? 8 : 7;
    const int s = (withDecimals ? 2 : 3) - (lastCell ? 1 : 0);
    row.Right(PrecisionText(value, mode, 10, separator), p, s);
}

std::u16string WriteRow(const BookRecord& record, std::vector<std::u16string>* cells) {
    const PileInput& in = record.input;
    const PileResult& res = record.result;
    const bool frkMode = in.rockMode == RockParameterMode::Frk;
    const bool circle = in.sectionType == SectionType::Circle;
    const bool ellipse = in.sectionType == SectionType::Ellipse;
    const bool rectangle = in.sectionType == SectionType::Rectangle;

    RowBuilder row(record.decimalSeparator, cells);
    // 1: pile number
    row.Keep(PileName(record));
    row.AsIs(Spaces(3));
    row.AsIs(PadRight(PileName(record), u" ", 6));
    row.AsIs(Spaces(2));
    // 2: section type
    row.Centre(ShapeCellText(PileShapeName(in)));
    // 3 to 6: the dimension boxes as they stand
    if (rectangle) {
        row.Dash();
        row.Dash();
        row.Right(record.ddText, 6, 4);
        row.Right(record.tyzdText, 6, 4);
    } else {
        row.Right(record.ddText, 6, 4);
        if (ellipse) {
            row.Right(record.tyzdText, 6, 4);
        } else {
            row.Dash();
        }
        row.Dash();
        row.Dash();
    }
    // 7: Ap in m^2; 8: the socket depth as typed
    row.Fixed(res.sectionArea / 1000000, 6, 2, 6, 4);
    row.Right(in.hrText, 6, 4);
    // 9, 10: the rock value in force
    if (frkMode) {
        row.Fixed(in.frk, 6, 2, 7, 3);
        row.Dash();
    } else {
        row.Dash();
        row.Fixed(in.fuk, 6, 2, 7, 3);
    }
    // 11: process
    row.Keep(ProcessCellText(in.process));
    row.AsIs(ProcessCellText(in.process));
    // 12: hr/d
    if (rectangle) {
        row.Dash();
    } else {
        row.Fixed(res.hrRatio, 6, 2, 6, 4);
    }
    // 13: zeta_r
    if (frkMode) {
        row.Fixed(res.zetaR, 5, 4, 7, 3);
    } else {
        row.Dash();
    }
    // 14: hr/b; 15: c/d or b/a
    if (rectangle) {
        row.Fixed(res.hrRatio, 6, 2, 6, 4);
    } else {
        row.Dash();
    }
    if (circle) {
        row.Dash();
    } else {
        row.Fixed(res.shapeRatio, 6, 2, 6, 4);
    }
    // 16: beta
    if (frkMode) {
        row.Dash();
    } else {
        row.Fixed(res.beta, 6, 4, 7, 3);
    }
    // 17 to 22
    AppendForce(row, res.Qrk, record.precision, record.decimalSeparator, false);
    row.Centre(SafetyFactorText(res.safetyFactorK));
    AppendForce(row, res.Ra, record.precision, record.decimalSeparator, false);
    row.Right(ConcreteGradeText(in.concreteGrade), 6, 4);
    row.Fixed(res.psiC, 3, 2, 6, 4);
    AppendForce(row, res.Rc, record.precision, record.decimalSeparator, true);
    return row.Take();
}

}  // namespace

std::u16string TableRow(const BookRecord& record) {
    return WriteRow(record, nullptr);
}

std::vector<std::u16string> TableCells(const BookRecord& record) {
    std::vector<std::u16string> cells;
    cells.reserve(22);
    WriteRow(record, &cells);
    return cells;
}

void AppendTableRecord(BookLines& tableBook, const BookRecord& record) {
    if (!tableBook.empty()) {
        // The previous record's footer; a damaged book shorter than a footer loses what it has.
        const std::size_t drop =
            std::min(tableBook.size(), static_cast<std::size_t>(kTableFooterLines));
        tableBook.resize(tableBook.size() - drop);
    }
    if (tableBook.empty()) {
        std::u16string title(kTitleRuleLength, u'=');
        title.append(kTitle).append(kTitleRuleLength, u'=');
        tableBook.push_back(std::move(title));
        tableBook.emplace_back(kRuleWidth, u'-');
        tableBook.emplace_back(kHeadingLine1);
        tableBook.emplace_back(kHeadingLine2);
        tableBook.emplace_back(kRuleWidth, u'-');
    }
    tableBook.push_back(TableRow(record));
    tableBook.emplace_back(kRuleWidth, u'-');
    tableBook.emplace_back(kNote);
    tableBook.emplace_back(kRuleWidth, u'=');
    tableBook.push_back(TimeLine(record.calculationTime));
}

}  // namespace pile
