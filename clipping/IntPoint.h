#pragma once

#include <cstdint>
#include <vector>

namespace clip {

// A vertex. Geometry is decided by X and Y alone; Z rides along and never takes
// part in a comparison.
struct IntPoint {
    std::int64_t X;
    std::int64_t Y;
    std::int64_t Z;

    IntPoint(std::int64_t x = 0, std::int64_t y = 0, std::int64_t z = 0) : X(x), Y(y), Z(z) {}

    friend bool operator==(const IntPoint& a, const IntPoint& b) { return a.X == b.X && a.Y == b.Y; }
    friend bool operator!=(const IntPoint& a, const IntPoint& b) { return !(a == b); }
};

// One implicitly closed ring, and a set of rings.
using Path = std::vector<IntPoint>;
using Paths = std::vector<Path>;

struct DoublePoint {
    double X;
    double Y;
};

struct IntBounds {
    std::int64_t minX;
    std::int64_t minY;
    std::int64_t maxX;
    std::int64_t maxY;
};

}  // namespace clip
