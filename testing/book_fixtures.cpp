#include "testing/book_fixtures.h"

#include <charconv>

#include "engine/utf_text.h"

namespace pile::testing_piles {

Pile Startup() {
    Pile p;
    p.input.sectionType = SectionType::Circle;
    p.input.rockMode = RockParameterMode::Frk;
    p.input.d = 1000;
    p.input.hrText = u"1.0d";
    p.input.hrIsMultiple = true;
    p.input.hr = 1000;
    p.input.concreteGrade = ConcreteGrade::C30;
    p.input.process = ConstructionProcess::MudWall;
    p.input.frk = 25;
    p.result.sectionArea = 785398.1633974483;
    p.result.sectionPerimeter = 3141.592653589793;
    p.result.hrRatio = 1;
    p.result.hrRatioUsed = 1;
    p.result.rockHardness = RockHardness::ModeratelySoftRock;
    p.result.zetaR = 0.8566666666666667;
    p.result.Qrk = 16820.61;
    p.result.Quk = 16820.61;
    p.result.safetyFactorK = 2;
    p.result.Ra = 8410.31;
    p.result.psiC = 0.7;
    p.result.fc = 14.3;
    p.result.Rc = 7861.84;
    p.dd = u"1000";
    p.tyzd = u"0";
    return p;
}

Pile FukCircle() {
    Pile p;
    p.input.sectionType = SectionType::Circle;
    p.input.rockMode = RockParameterMode::Fuk;
    p.input.d = 1000;
    p.input.hrText = u"1.0d";
    p.input.hrIsMultiple = true;
    p.input.hr = 1000;
    p.input.concreteGrade = ConcreteGrade::C30;
    p.input.process = ConstructionProcess::DryClean;
    p.input.fuk = 24;
    p.result.sectionArea = 785398.1633974483;
    p.result.sectionPerimeter = 3141.592653589793;
    p.result.hrRatio = 1;
    p.result.hrRatioUsed = 1;
    p.result.beta = 1.326;
    p.result.Qrk = 24994.51;
    p.result.Quk = 24994.51;
    p.result.safetyFactorK = 3;
    p.result.Ra = 8331.5;
    p.result.psiC = 0.9;
    p.result.fc = 14.3;
    p.result.Rc = 10108.07;
    p.dd = u"1000";
    p.tyzd = u"0";
    return p;
}

Pile Ellipse() {
    Pile p;
    p.input.sectionType = SectionType::Ellipse;
    p.input.rockMode = RockParameterMode::Fuk;
    p.input.d = 1000;
    p.input.c = 1000;
    p.input.hrText = u"1.5d";
    p.input.hrIsMultiple = true;
    p.input.hr = 1500;
    p.input.concreteGrade = ConcreteGrade::C30;
    p.input.process = ConstructionProcess::DryClean;
    p.input.fuk = 24;
    p.result.sectionArea = 1785398.1633974483;
    p.result.sectionPerimeter = 5141.592653589793;
    p.result.hrRatio = 1.5;
    p.result.hrRatioUsed = 1.5;
    p.result.shapeRatio = 1;
    p.result.beta = 1.3356;
    p.result.Qrk = 57229.87;
    p.result.Quk = 57229.87;
    p.result.safetyFactorK = 3;
    p.result.Ra = 19076.62;
    p.result.psiC = 0.9;
    p.result.fc = 14.3;
    p.result.Rc = 22978.07;
    p.dd = u"1000";
    p.tyzd = u"1000";
    return p;
}

Pile Rectangle() {
    Pile p;
    p.input.sectionType = SectionType::Rectangle;
    p.input.rockMode = RockParameterMode::Fuk;
    p.input.a = 1000;
    p.input.b = 800;
    p.input.hrText = u"1.5b";
    p.input.hrIsMultiple = true;
    p.input.hr = 1200;
    p.input.concreteGrade = ConcreteGrade::C30;
    p.input.process = ConstructionProcess::DryClean;
    p.input.fuk = 24;
    p.result.sectionArea = 800000;
    p.result.sectionPerimeter = 3600;
    p.result.hrRatio = 1.5;
    p.result.hrRatioUsed = 1.5;
    p.result.shapeRatio = 0.8;
    p.result.beta = 1.362;
    p.result.Qrk = 26150.4;
    p.result.Quk = 26150.4;
    p.result.safetyFactorK = 3;
    p.result.Ra = 8716.8;
    p.result.psiC = 0.9;
    p.result.fc = 14.3;
    p.result.Rc = 10296;
    p.dd = u"1000";
    p.tyzd = u"800";
    return p;
}

Pile Square() {
    Pile p = Rectangle();
    p.input.a = 1000;
    p.input.b = 1000;
    p.input.hrText = u"1.0b";
    p.input.hr = 1000;
    p.result.sectionArea = 1000000;
    p.result.sectionPerimeter = 4000;
    p.result.hrRatio = 1;
    p.result.hrRatioUsed = 1;
    p.result.shapeRatio = 1;
    p.result.beta = 1.32;
    p.result.Qrk = 31680;
    p.result.Quk = 31680;
    p.result.Ra = 10560;
    p.result.Rc = 12870;
    p.dd = u"1000";
    p.tyzd = u"1000";
    return p;
}

Pile ClampedCircle() {
    Pile p = Startup();
    p.input.d = 800;
    p.input.hrText = u"10d";
    p.input.hr = 8000;
    p.input.frk = 10;
    p.result.sectionArea = 502654.8245743669;
    p.result.sectionPerimeter = 2513.2741228718346;
    p.result.hrRatio = 10;
    p.result.hrRatioUsed = 8;
    p.result.ratioClamped = true;
    p.result.rockHardness = RockHardness::SoftRock;
    p.result.zetaR = 1.7;
    p.result.Qrk = 8545.13;
    p.result.Quk = 8545.13;
    p.result.Ra = 4272.57;
    p.result.Rc = 5031.57;
    p.dd = u"800";
    return p;
}

BookRecord RecordOf(const Pile& pile, PrecisionMode mode, int pileNumber, char16_t separator,
                    std::u16string_view time) {
    return BookRecord{pile.input, pile.result, pile.dd,   pile.tyzd,
                      mode,       pileNumber,  separator, time};
}

std::string Describe(const BookLines& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        out.append(digits, end).append(": [").append(Utf16ToUtf8(lines[i])).append("]\n");
    }
    return out;
}

}  // namespace pile::testing_piles
