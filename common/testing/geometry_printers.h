#pragma once
// How tests print the face's points and rectangles when a check fails.

#include <ostream>

#include "common/geometry.h"

namespace qm::band {

inline std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "(" << p.x << "," << p.y << ")";
}

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

}  // namespace qm::band
