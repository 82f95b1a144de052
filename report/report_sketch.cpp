#include "report/report_sketch.h"

#include <algorithm>

namespace pile::report {
namespace {

class Shapes {
  public:
    void Box(SketchShape::Kind kind, int x, int y, int w, int h, std::u16string_view fill = {}) {
        SketchShape shape;
        shape.kind = kind;
        shape.x = x;
        shape.y = y;
        shape.w = std::max(w, 1);
        shape.h = std::max(h, 1);
        shape.fill = fill;
        list_.push_back(std::move(shape));
    }

    void Line(int x1, int y1, int x2, int y2, bool arrows, bool dashed = false) {
        SketchShape shape;
        shape.x = x1;
        shape.y = y1;
        shape.x2 = x2;
        shape.y2 = y2;
        shape.arrows = arrows;
        shape.dashed = dashed;
        list_.push_back(std::move(shape));
    }

    // A label whose centre is at (cx, cy).
    void Label(int cx, int cy, std::u16string_view text, int width = 1400) {
        SketchShape shape;
        shape.kind = SketchShape::Kind::Label;
        shape.x = cx - width / 2;
        shape.y = cy - kSketchLabelHeight / 2;
        shape.w = width;
        shape.h = kSketchLabelHeight;
        shape.text = text;
        list_.push_back(std::move(shape));
    }

    std::vector<SketchShape> Take() { return std::move(list_); }

  private:
    std::vector<SketchShape> list_;
};

// Scales a length in mm into the sketch, so that `longest` fills `room` units.
int Scaled(double value, double longest, int room) {
    if (!(longest > 0) || !(value > 0)) {
        return room;
    }
    return std::max(1, static_cast<int>(value / longest * room + 0.5));
}

std::u16string Labelled(std::u16string_view symbol, std::u16string_view text) {
    return std::u16string(symbol) + u"=" + std::u16string(text);
}

}  // namespace

// The drawing is to scale for the section; the socket is drawn at its ratio to the width, kept
// between a fifth and twice the width so that it stays legible, its label giving the true depth.
std::vector<SketchShape> SketchOf(const PileSection& pile) {
    using enum SketchShape::Kind;
    const PileInput& in = pile.input;
    const SketchTexts& t = pile.sketch;
    Shapes s;
    // Section, in a box of 1400 units centred at (1000, 1150).
    constexpr int kCx = 1000;
    constexpr int kCy = 1150;
    constexpr int kRoom = 1400;
    s.Label(kCx, 150, u"桩身截面", 1600);
    double width = in.d;  // across the elevation
    switch (in.sectionType) {
        case SectionType::Circle: {
            s.Box(Oval, kCx - kRoom / 2, kCy - kRoom / 2, kRoom, kRoom);
            s.Line(kCx - kRoom / 2, kCy, kCx + kRoom / 2, kCy, true);
            s.Label(kCx, kCy - 130, Labelled(u"d", t.d));
            break;
        }
        case SectionType::Ellipse: {
            const double longest = in.c + in.d;
            const int w = kRoom;
            const int h = Scaled(in.d, longest, kRoom);
            const int left = kCx - w / 2;
            const int top = kCy - h / 2;
            s.Box(RoundRect, left, top, w, h);
            // c: between the centres of the two half circles, above the section.
            s.Line(left + h / 2, top - 120, left + w - h / 2, top - 120, true);
            s.Line(left + h / 2, top - 200, left + h / 2, kCy, false, true);
            s.Line(left + w - h / 2, top - 200, left + w - h / 2, kCy, false, true);
            s.Label(kCx, top - 240, Labelled(u"c", t.c));
            s.Line(left + w + 120, top, left + w + 120, top + h, true);
            s.Label(left + w + 120, top + h + 130, Labelled(u"d", t.d), 1000);
            break;
        }
        case SectionType::Rectangle: {
            const double longest = std::max(in.a, in.b);
            const int w = Scaled(in.a, longest, kRoom - 200);
            const int h = Scaled(in.b, longest, kRoom - 200);
            const int left = kCx - w / 2;
            const int top = kCy - h / 2;
            s.Box(Rect, left, top, w, h);
            s.Line(left, top - 120, left + w, top - 120, true);
            s.Label(kCx, top - 240, Labelled(u"a", t.a));
            s.Line(left + w + 120, top, left + w + 120, top + h, true);
            s.Label(left + w + 120, top + h + 130, Labelled(u"b", t.b), 1000);
            width = in.b;
            break;
        }
    }

    // Elevation: the rock below y = 1250, the pile from the top into it.
    constexpr int kLeft = 2300;
    constexpr int kRight = 4300;
    constexpr int kRockTop = 1250;
    constexpr int kRockBottom = 2350;
    constexpr int kPileWidth = 500;
    constexpr int kPileX = 3050;
    s.Label((kLeft + kRight) / 2, 150, u"桩身立面", 1600);
    s.Box(Rect, kLeft, kRockTop, kRight - kLeft, kRockBottom - kRockTop, u"D9D9D9");
    const double ratio = width > 0 ? in.hr / width : 0;
    const int socket =
        std::clamp(static_cast<int>(ratio * kPileWidth + 0.5), kPileWidth / 5, 2 * kPileWidth);
    s.Box(Rect, kPileX, 620, kPileWidth, kRockTop - 620 + socket, u"FFFFFF");
    s.Line(kPileX, 500, kPileX + kPileWidth, 500, true);
    s.Label(kPileX + kPileWidth / 2, 400,
            Labelled(in.sectionType == SectionType::Rectangle ? u"b" : u"d",
                     in.sectionType == SectionType::Rectangle ? t.b : t.d));
    s.Label(kPileX + kPileWidth / 2, 900, t.grade, kPileWidth);
    s.Line(kPileX + kPileWidth + 120, kRockTop, kPileX + kPileWidth + 120, kRockTop + socket, true);
    s.Label(kPileX + kPileWidth + 520, kRockTop + socket / 2, Labelled(u"hr", t.hr), 760);
    s.Label(kLeft + 350, kRockTop - 110, u"岩面", 600);
    std::u16string rock = t.rockClass.empty() ? u"基岩" : t.rockClass;
    rock += u"  " + t.rockValue;
    s.Label((kLeft + kRight) / 2, kRockBottom - 150, rock, 1900);
    return s.Take();
}

}  // namespace pile::report
