// Helpers shared by the engine's own sources; not part of its interface.
#pragma once

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace pile::internal {

// The section formulas, used both by the input checks (which refuse a dimension whose derived
// quantities are not finite) and by the calculations. Each is written in the order of the
// design formula, so that the doubles agree to the bit with any other implementation of it:
// pi*d*d/4 is ((pi*d)*d)/4.
inline double CircleArea(double d) {
    return std::numbers::pi * d * d / 4;
}
inline double CirclePerimeter(double d) {
    return std::numbers::pi * d;
}
inline double EllipseArea(double d, double c) {
    return std::numbers::pi * d * d / 4 + d * c;
}
inline double EllipsePerimeter(double d, double c) {
    return std::numbers::pi * d + 2 * c;
}
inline double RectangleArea(double a, double b) {
    return a * b;
}
inline double RectanglePerimeter(double a, double b) {
    return (a + b) * 2;
}

// The pile body's capacity before the division into kN: Ap*(psiC*fc).
inline double BodyProduct(double area, double psiC, double fc) {
    return area * (psiC * fc);
}

inline bool AllFinite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// The lower grid row (or column) of a position, by truncation, kept within [low, high]. The
// bounds are applied on the double before the cast, so that a huge ratio (or a NaN, which
// lands on `low`) never overflows the conversion to int.
inline int GridCell(double position, int low, int high) {
    if (!(position >= low)) {
        return low;
    }
    if (position >= high) {
        return high;
    }
    return static_cast<int>(position);
}

}  // namespace pile::internal
