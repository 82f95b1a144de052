#include "books/text_book.h"

#include <algorithm>
#include <array>
#include <utility>

#include "books/column_layout.h"
#include "engine/code_tables.h"
#include "engine/pile_types.h"

namespace pile {

namespace {

constexpr std::u16string_view kRule = u"      ---------------------------------------";

// The lines a record writes differently in the two rock modes.
struct RockLines {
    std::u16string_view inputLabel;               // 2.2
    std::array<std::u16string_view, 4> formulas;  // 3.2, after the common ones; empty ones skipped
    std::u16string_view calculationLabel;         // 4.2
    std::u16string_view coefficientLabel;
    int coefficientWidth;  // the β label is wider: its value gets 6 columns, not 10
    std::u16string_view summaryHeading;
    std::u16string_view summaryUnits;
};

constexpr RockLines kFrkLines{
    u"      岩石单轴抗压强度标准值frk:   ",
    {u"              Qrk=ζr.frk.Ap        (8.7.8-6)"},
    u"  4.2 岩石单轴抗压强度标准值frk:   ",
    u"      嵌岩段侧阻和端阻综合系数ζr: ",
    10,
    u"      嵌岩深度  岩石强度  桩承载力  桩身强度 ",
    u"       hr(mm)   frk(MPa)   Ra(kN)    Rc(kN)  ",
};

constexpr RockLines kFukLines{
    u"      桩端地基极限承载力标准值fuk: ",
    {u"          hr＜0.5d 或 0.5b 时", u"              Qrk=fuk.Ap            (8.7.8-4)",
     u"          hr≥0.5d 或 0.5b 时", u"              Qrk=1.2βfuk.Ap       (8.7.8-5)"},
    u"  4.2 桩端地基极限承载力标准值fuk: ",
    u"      考虑嵌固力影响后承载力综合系数β:",
    6,
    u"      嵌岩深度  极限强度  桩承载力  桩身强度 ",
    u"       hr(mm)   fuk(MPa)   Ra(kN)    Rc(kN)  ",
};

// Writes the lines of one record straight into the book, with the pile's values at hand.
class RecordWriter {
  public:
    // `parts`, when given, also keeps how each value line was put together.
    RecordWriter(BookLines& book, const BookRecord& record,
                 std::vector<TextRecordLine>* parts = nullptr)
        : book_(book),
          record_(record),
          parts_(parts),
          frk_(record.input.rockMode == RockParameterMode::Frk),
          rock_(frk_ ? kFrkLines : kFukLines) {}

    void Literal(std::u16string_view line) { Push(std::u16string(line)); }

    // label, the value right-aligned in `width` columns, unit: nothing in between.
    void Value(std::u16string_view label, std::u16string_view value, int width,
               std::u16string_view unit = {}) {
        std::u16string line;
        line.reserve(label.size() + std::max(static_cast<std::size_t>(width), value.size()) +
                     unit.size());
        line.append(label).append(PadLeft(value, u" ", width)).append(unit);
        if (parts_) {
            parts_->push_back({line, label, std::u16string(value), unit});
        }
        book_.push_back(std::move(line));
    }

    void Fixed(std::u16string_view label, double value, int significant, int decimals, int width,
               std::u16string_view unit = {}) {
        Value(label, FixedText(value, significant, decimals, record_.decimalSeparator), width,
              unit);
    }

    void Push(std::u16string line) {
        if (parts_) {
            parts_->push_back({line, {}, {}, {}});
        }
        book_.push_back(std::move(line));
    }

    const BookRecord& Record() const { return record_; }
    const PileInput& In() const { return record_.input; }
    const PileResult& Res() const { return record_.result; }
    // The rock value in force and the coefficient that goes with it.
    double RockValue() const { return frk_ ? In().frk : In().fuk; }
    double Coefficient() const { return frk_ ? Res().zetaR : Res().beta; }
    const RockLines& Rock() const { return rock_; }
    bool Frk() const { return frk_; }
    bool Rectangle() const { return In().sectionType == SectionType::Rectangle; }
    bool Ellipse() const { return In().sectionType == SectionType::Ellipse; }

  private:
    BookLines& book_;
    const BookRecord& record_;
    std::vector<TextRecordLine>* parts_;
    bool frk_;
    const RockLines& rock_;
};

// The dimension lines of section 2.1, written again at the start of section 4.1.
void WriteDimensions(RecordWriter& out) {
    const BookRecord& record = out.Record();
    if (out.Rectangle()) {
        out.Value(u"      矩形长边尺寸a:               ", record.ddText, 10, u" mm");
        out.Value(u"      矩形短边尺寸b:               ", record.tyzdText, 10, u" mm");
        return;
    }
    out.Value(u"      桩身直径d:                   ", record.ddText, 10, u" mm");
    if (out.Ellipse()) {
        out.Value(u"      椭圆直段长度c:               ", record.tyzdText, 10, u" mm");
    }
}

void WriteTitle(RecordWriter& out) {
    out.Literal(u"================== 嵌岩桩计算书 ==================");
    out.Push(u"1.基桩编号: " + PileName(out.Record()));
}

// 2: the inputs as entered.
void WriteInputs(RecordWriter& out) {
    const PileInput& in = out.In();
    out.Literal(u"2.输入数据");
    out.Literal(u"  2.1 基桩参数");
    // The list's name: a square is "矩形桩" here, only section 4.1 names it apart.
    out.Value(u"      桩身截面类型:", SectionTypeText(in.sectionType), 26);
    WriteDimensions(out);
    // A multiple such as "1.5d" carries its own unit.
    out.Value(u"      桩身嵌岩深度hr:              ", in.hrText, 10,
              in.hrIsMultiple ? u"" : u" mm");
    out.Value(u"      桩身混凝土强度等级:          ", ConcreteGradeText(in.concreteGrade), 10);
    out.Literal(u"  2.2 基岩参数");
    out.Fixed(out.Rock().inputLabel, out.RockValue(), 6, 2, 10, u" MPa");
    out.Value(u"  2.3 基桩成桩工艺:", ProcessText(in.rockMode, in.process), 26);
}

// 3: the code and its formulas.
void WriteCodeAndFormulas(RecordWriter& out) {
    out.Literal(u"3.采用规范及公式");
    out.Literal(u"  3.1 采用规范: ");
    out.Literal(u"                 《建筑地基基础设计规范》");
    out.Literal(u"                    (DBJ 50-047-2016)");
    out.Literal(u"  3.2 规范公式: ");
    out.Literal(u"               Ra=Quk/K             (8.7.8-7)");
    out.Literal(u"              Quk=Qsk+Qrk           (8.7.8-2)");
    out.Literal(u"              Qsk=μ∑ψsi.qsik.li  (8.7.8-3)");
    for (const std::u16string_view formula : out.Rock().formulas) {
        if (!formula.empty()) {
            out.Literal(formula);
        }
    }
    out.Literal(u"           γ0.N≤ψc.fc.A         (8.7.13-2)");
}

// 4: the calculation, every value with its own fixed decimals.
void WriteCalculation(RecordWriter& out) {
    const PileInput& in = out.In();
    const PileResult& res = out.Res();
    out.Literal(u"4.承载力计算");
    out.Value(u"  4.1 桩身截面类型:", PileShapeName(in), 26);
    WriteDimensions(out);
    out.Fixed(u"      桩身截面面积Ap(A):           ", res.sectionArea / 1000000, 6, 2, 10, u" m^2");
    out.Fixed(u"      桩身截面周长μ:              ", res.sectionPerimeter / 1000, 6, 2, 10, u" m");
    out.Fixed(out.Rock().calculationLabel, out.RockValue(), 6, 2, 10, u" MPa");
    if (out.Frk()) {
        out.Value(u"      岩石坚硬程度:              ",
                  res.rockHardness ? RockHardnessText(*res.rockHardness) : u"", 12);
    }
    if (out.Rectangle()) {
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
        if (out.Ellipse()) {
            out.Fixed(u"      椭圆桩直段长度与直径之比c/d:", res.shapeRatio, 6, 2, 11);
        }
    }
    out.Fixed(out.Rock().coefficientLabel, out.Coefficient(), 5, 4, out.Rock().coefficientWidth);
    out.Fixed(u"      嵌岩段总极限阻力标准值Qrk:   ", res.Qrk, 10, 2, 10, u" kN");
    out.Literal(u"  4.4 土的总极限侧阻力标准值Qsk(不考虑): 0.00 kN");
    out.Fixed(u"  4.5 桩竖向极限承载力标准值Quk:   ", res.Quk, 10, 2, 10, u" kN");
    out.Value(u"      安全系数K:                   ", SafetyFactorText(res.safetyFactorK), 10);
    out.Fixed(u"      单桩竖向承载力特征值Ra:      ", res.Ra, 10, 2, 10, u" kN");
    out.Value(u"  4.6 基桩成桩工艺:", ProcessText(in.rockMode, in.process), 26);
    out.Fixed(u"      基桩成桩工艺系数ψc:         ", res.psiC, 3, 2, 10);
    out.Fixed(u"      桩身混凝土强度设计值fc:      ", res.fc, 6, 2, 10, u" MPa");
    out.Fixed(u"      桩身正截面受压承载力设计值Rc:", res.Rc, 10, 2, 10, u" kN");
}

// Summary cells: centred in 8 columns, then `gap` blanks.
void AppendCentred(std::u16string& line, std::u16string_view value, int gap) {
    line.append(PadCenter(value, u" ", 8)).append(Spaces(gap));
}

// 5: two summary rows under their headings.
void WriteSummary(RecordWriter& out) {
    const BookRecord& record = out.Record();
    const char16_t sep = record.decimalSeparator;
    out.Literal(u"5.基桩主要数据汇总");
    out.Literal(kRule);
    if (out.Rectangle()) {
        out.Literal(u"      基    桩  桩身截面  矩形长边  矩形短边 ");
        out.Literal(u"      编    号  类    型    a(mm)     b(mm)  ");
    } else {
        out.Literal(u"      基    桩  桩身截面  桩身直径  椭圆直段 ");
        out.Literal(u"      编    号  类    型    d(mm)     c(mm)  ");
    }
    out.Literal(kRule);
    std::u16string pile = Spaces(8);
    pile.append(PadRight(PileName(record), u" ", 6)).append(Spaces(2));
    AppendCentred(pile, ShapeCellText(PileShapeName(out.In())), 2);
    AppendCentred(pile, record.ddText, 2);
    AppendCentred(pile, out.Rectangle() || out.Ellipse() ? record.tyzdText : u"-", 1);
    out.Push(std::move(pile));
    out.Literal(kRule);
    out.Literal(out.Rock().summaryHeading);
    out.Literal(out.Rock().summaryUnits);
    out.Literal(kRule);
    // The only place of the record where the precision choice matters.
    std::u16string values = Spaces(6);
    AppendCentred(values, out.In().hrText, 2);
    AppendCentred(values, FixedText(out.RockValue(), 6, 2, sep), 2);
    AppendCentred(values, PrecisionText(out.Res().Ra, record.precision, 10, sep), 2);
    AppendCentred(values, PrecisionText(out.Res().Rc, record.precision, 10, sep), 1);
    out.Push(std::move(values));
    out.Literal(kRule);
}

void WriteRecord(RecordWriter& out) {
    WriteTitle(out);
    WriteInputs(out);
    WriteCodeAndFormulas(out);
    WriteCalculation(out);
    WriteSummary(out);
}

}  // namespace

void AppendTextRecord(BookLines& textBook, const BookRecord& record) {
    RecordWriter out(textBook, record);
    WriteRecord(out);
    out.Literal(kRecordSeparator);
    textBook.push_back(TimeLine(record.calculationTime));
}

std::vector<TextRecordLine> TextRecordLines(const BookRecord& record) {
    BookLines lines;
    std::vector<TextRecordLine> parts;
    RecordWriter out(lines, record, &parts);
    WriteRecord(out);
    return parts;
}

}  // namespace pile
