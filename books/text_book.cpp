#include "books/text_book.h"

#include <algorithm>
#include <utility>

#include "books/column_layout.h"
#include "engine/code_tables.h"
#include "engine/pile_types.h"

namespace pile {

namespace {

constexpr std::u16string_view kRule = u"      ---------------------------------------";
constexpr std::u16string_view kTimeLabel = u"计算时间：";

// Writes the lines of one record straight into the book.
class RecordWriter {
  public:
    RecordWriter(BookLines& book, char16_t separator) : book_(book), separator_(separator) {}

    void Literal(std::u16string_view line) { book_.emplace_back(line); }

    // label, the value right-aligned in `width` columns, unit: nothing in between.
    void Value(std::u16string_view label, std::u16string_view value, int width,
               std::u16string_view unit = {}) {
        std::u16string line;
        line.reserve(label.size() + std::max(static_cast<std::size_t>(width), value.size()) +
                     unit.size());
        line.append(label).append(PadLeft(value, u" ", width)).append(unit);
        book_.push_back(std::move(line));
    }

    void Fixed(std::u16string_view label, double value, int significant, int decimals, int width,
               std::u16string_view unit = {}) {
        Value(label, FixedText(value, significant, decimals, separator_), width, unit);
    }

    void Push(std::u16string line) { book_.push_back(std::move(line)); }

  private:
    BookLines& book_;
    char16_t separator_;
};

// Summary cells: centred in 8 columns, then `gap` blanks.
void AppendCentred(std::u16string& line, std::u16string_view value, int gap) {
    line.append(PadCenter(value, u" ", 8)).append(Spaces(gap));
}

// The dimension lines of section 2.1, written again at the start of section 4.1.
void WriteDimensions(RecordWriter& out, const BookRecord& record) {
    switch (record.input.sectionType) {
        case SectionType::Circle:
            out.Value(u"      桩身直径d:                   ", record.ddText, 10, u" mm");
            break;
        case SectionType::Ellipse:
            out.Value(u"      桩身直径d:                   ", record.ddText, 10, u" mm");
            out.Value(u"      椭圆直段长度c:               ", record.tyzdText, 10, u" mm");
            break;
        case SectionType::Rectangle:
            out.Value(u"      矩形长边尺寸a:               ", record.ddText, 10, u" mm");
            out.Value(u"      矩形短边尺寸b:               ", record.tyzdText, 10, u" mm");
            break;
    }
}

}  // namespace

void AppendTextRecord(BookLines& textBook, const BookRecord& record) {
    const PileInput& in = record.input;
    const PileResult& res = record.result;
    const char16_t sep = record.decimalSeparator;
    const bool frkMode = in.rockMode == RockParameterMode::Frk;
    const bool rectangle = in.sectionType == SectionType::Rectangle;
    const bool ellipse = in.sectionType == SectionType::Ellipse;
    const bool square = rectangle && in.a == in.b;
    const std::u16string pileNumber = PileNumberText(record.pileNumber);
    const std::u16string_view processText = ProcessText(in.rockMode, in.process);

    RecordWriter out(textBook, sep);
    out.Literal(u"================== 嵌岩桩计算书 ==================");
    out.Push(u"1.基桩编号: " + pileNumber);
    out.Literal(u"2.输入数据");

    // 2.1 the pile
    out.Literal(u"  2.1 基桩参数");
    switch (in.sectionType) {
        case SectionType::Circle:
            out.Literal(u"      桩身截面类型:                      圆桩");
            break;
        case SectionType::Ellipse:
            out.Literal(u"      桩身截面类型:                    椭圆桩");
            break;
        case SectionType::Rectangle:  // a square too: only section 4.1 names it apart
            out.Literal(u"      桩身截面类型:                    矩形桩");
            break;
    }
    WriteDimensions(out, record);
    // A multiple such as "1.5d" carries its own unit.
    out.Value(u"      桩身嵌岩深度hr:              ", in.hrText, 10,
              in.hrIsMultiple ? u"" : u" mm");
    out.Value(u"      桩身混凝土强度等级:          ", ConcreteGradeText(in.concreteGrade), 10);

    // 2.2 the rock; 2.3 the process
    out.Literal(u"  2.2 基岩参数");
    if (frkMode) {
        out.Fixed(u"      岩石单轴抗压强度标准值frk:   ", in.frk, 6, 2, 10, u" MPa");
    } else {
        out.Fixed(u"      桩端地基极限承载力标准值fuk: ", in.fuk, 6, 2, 10, u" MPa");
    }
    out.Value(u"  2.3 基桩成桩工艺:", processText, 26);

    // 3 the code and its formulas
    out.Literal(u"3.采用规范及公式");
    out.Literal(u"  3.1 采用规范: ");
    out.Literal(u"                 《建筑地基基础设计规范》");
    out.Literal(u"                    (DBJ 50-047-2016)");
    out.Literal(u"  3.2 规范公式: ");
    out.Literal(u"               Ra=Quk/K             (8.7.8-7)");
    out.Literal(u"              Quk=Qsk+Qrk           (8.7.8-2)");
    out.Literal(u"              Qsk=μ∑ψsi.qsik.li  (8.7.8-3)");
    if (frkMode) {
        out.Literal(u"              Qrk=ζr.frk.Ap        (8.7.8-6)");
    } else {
        out.Literal(u"          hr＜0.5d 或 0.5b 时");
        out.Literal(u"              Qrk=fuk.Ap            (8.7.8-4)");
        out.Literal(u"          hr≥0.5d 或 0.5b 时");
        out.Literal(u"              Qrk=1.2βfuk.Ap       (8.7.8-5)");
    }
    out.Literal(u"           γ0.N≤ψc.fc.A         (8.7.13-2)");

    // 4 the calculation
    out.Literal(u"4.承载力计算");
    if (square) {
        out.Literal(u"  4.1 桩身截面类型:                      方桩");
    } else if (rectangle) {
        out.Literal(u"  4.1 桩身截面类型:                    矩形桩");
    } else if (ellipse) {
        out.Literal(u"  4.1 桩身截面类型:                    椭圆桩");
    } else {
        out.Literal(u"  4.1 桩身截面类型:                      圆桩");
    }
    WriteDimensions(out, record);
    out.Fixed(u"      桩身截面面积Ap(A):           ", res.sectionArea / 1000000, 6, 2, 10, u" m^2");
    out.Fixed(u"      桩身截面周长μ:              ", res.sectionPerimeter / 1000, 6, 2, 10, u" m");
    if (frkMode) {
        out.Fixed(u"  4.2 岩石单轴抗压强度标准值frk:   ", in.frk, 6, 2, 10, u" MPa");
        out.Value(u"      岩石坚硬程度:              ",
                  res.rockHardness ? RockHardnessText(*res.rockHardness) : u"", 12);
    } else {
        out.Fixed(u"  4.2 桩端地基极限承载力标准值fuk: ", in.fuk, 6, 2, 10, u" MPa");
    }
    if (rectangle) {
        out.Fixed(u"  4.3 嵌岩深宽比hr/b:              ", res.hrRatio, 6, 2, 10);
        if (res.ratioClamped) {
            out.Fixed(u"      计算承载力采用的嵌岩深宽比:  ", res.hrRatioUsed, 6, 2, 10);
        }
        out.Fixed(u"      矩形桩短边尺寸与长边尺寸之比b/a:", res.shapeRatio, 6, 2, 7);
    } else {
        out.Fixed(u"  4.3 嵌岩深径比hr/d:              ", res.hrRatio, 6, 2, 10);
        if (res.ratioClamped) {
            out.Fixed(u"      计算承载力采用的嵌岩深径比:  ", res.hrRatioUsed, 6, 2, 10);
        }
        if (ellipse) {
            out.Fixed(u"      椭圆桩直段长度与直径之比c/d:", res.shapeRatio, 6, 2, 11);
        }
    }
    if (frkMode) {
        out.Fixed(u"      嵌岩段侧阻和端阻综合系数ζr: ", res.zetaR, 5, 4, 10);
    } else {
        out.Fixed(u"      考虑嵌固力影响后承载力综合系数β:", res.beta, 5, 4, 6);
    }
    out.Fixed(u"      嵌岩段总极限阻力标准值Qrk:   ", res.Qrk, 10, 2, 10, u" kN");
    out.Literal(u"  4.4 土的总极限侧阻力标准值Qsk(不考虑): 0.00 kN");
    out.Fixed(u"  4.5 桩竖向极限承载力标准值Quk:   ", res.Quk, 10, 2, 10, u" kN");
    out.Literal(frkMode ? u"      安全系数K:                         2.00"
                        : u"      安全系数K:                         3.00");
    out.Fixed(u"      单桩竖向承载力特征值Ra:      ", res.Ra, 10, 2, 10, u" kN");
    out.Value(u"  4.6 基桩成桩工艺:", processText, 26);
    out.Fixed(u"      基桩成桩工艺系数ψc:         ", res.psiC, 3, 2, 10);
    out.Fixed(u"      桩身混凝土强度设计值fc:      ", res.fc, 6, 2, 10, u" MPa");
    out.Fixed(u"      桩身正截面受压承载力设计值Rc:", res.Rc, 10, 2, 10, u" kN");

    // 5 the summary
    out.Literal(u"5.基桩主要数据汇总");
    out.Literal(kRule);
    if (rectangle) {
        out.Literal(u"      基    桩  桩身截面  矩形长边  矩形短边 ");
        out.Literal(u"      编    号  类    型    a(mm)     b(mm)  ");
    } else {
        out.Literal(u"      基    桩  桩身截面  桩身直径  椭圆直段 ");
        out.Literal(u"      编    号  类    型    d(mm)     c(mm)  ");
    }
    out.Literal(kRule);
    {
        std::u16string row = Spaces(8);
        row.append(PadRight(pileNumber, u" ", 6)).append(Spaces(2));
        std::u16string_view sectionText = u"圆  桩";
        if (square) {
            sectionText = u"方  桩";
        } else if (rectangle) {
            sectionText = u"矩形桩";
        } else if (ellipse) {
            sectionText = u"椭圆桩";
        }
        AppendCentred(row, sectionText, 2);
        AppendCentred(row, record.ddText, 2);
        AppendCentred(row, rectangle || ellipse ? record.tyzdText : u"-", 1);
        out.Push(std::move(row));
    }
    out.Literal(kRule);
    if (frkMode) {
        out.Literal(u"      嵌岩深度  岩石强度  桩承载力  桩身强度 ");
        out.Literal(u"       hr(mm)   frk(MPa)   Ra(kN)    Rc(kN)  ");
    } else {
        out.Literal(u"      嵌岩深度  极限强度  桩承载力  桩身强度 ");
        out.Literal(u"       hr(mm)   fuk(MPa)   Ra(kN)    Rc(kN)  ");
    }
    out.Literal(kRule);
    {
        // The only place of the record where the precision choice matters.
        std::u16string row = Spaces(6);
        AppendCentred(row, in.hrText, 2);
        AppendCentred(row, FixedText(frkMode ? in.frk : in.fuk, 6, 2, sep), 2);
        AppendCentred(row, PrecisionText(res.Ra, record.precision, 10, sep), 2);
        AppendCentred(row, PrecisionText(res.Rc, record.precision, 10, sep), 1);
        out.Push(std::move(row));
    }
    out.Literal(kRule);
    out.Literal(kRecordSeparator);

    std::u16string timeLine;
    timeLine.reserve(kTimeLabel.size() + record.calculationTime.size());
    timeLine.append(kTimeLabel).append(record.calculationTime);
    textBook.push_back(std::move(timeLine));
}

}  // namespace pile
