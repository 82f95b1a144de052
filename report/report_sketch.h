// The 计算简图 of a pile as shapes, in one place for the Word and the PDF report: the section
// (left) and the elevation with the socket in the rock (right), every dimension labelled with its
// text from the book. Coordinates are tenths of a point, y downwards, in a box of
// kSketchWidth × kSketchHeight.
#pragma once

#include <string>
#include <vector>

#include "report/report_model.h"

namespace pile::report {

inline constexpr int kSketchWidth = 4400;
inline constexpr int kSketchHeight = 2500;
// A label's box is this high; its text is centred in it.
inline constexpr int kSketchLabelHeight = 180;

struct SketchShape {
    enum class Kind {
        Oval,       // in the box x, y, w, h
        RoundRect,  // the box, its short sides half circles
        Rect,       // the box
        Line,       // from (x, y) to (x2, y2)
        Label,      // `text` centred in the box
    };
    Kind kind = Kind::Line;
    int x = 0, y = 0, w = 0, h = 0;
    int x2 = 0, y2 = 0;
    std::u16string fill;  // "D9D9D9"; empty: not filled
    bool arrows = false;  // a dimension line, arrows at both ends
    bool dashed = false;
    std::u16string text;
};

// The shapes of a pile's sketch, in drawing order.
std::vector<SketchShape> SketchOf(const PileSection& pile);

}  // namespace pile::report
