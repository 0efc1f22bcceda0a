#include "clipping/Path.h"

#include <algorithm>
#include <utility>

#include "clipping/IntMath.h"

namespace clip {

double Area(const Path& path) {
    const std::size_t n = path.size();
    if (n < 3) return 0;
    double sum = 0;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        sum += (static_cast<double>(path[j].X) + static_cast<double>(path[i].X)) *
               (static_cast<double>(path[j].Y) - static_cast<double>(path[i].Y));
    }
    return -sum * 0.5;
}

bool Orientation(const Path& path) { return Area(path) >= 0; }

void ReversePath(Path& path) { std::reverse(path.begin(), path.end()); }

void ReversePaths(Paths& paths) {
    for (Path& path : paths) ReversePath(path);
}

bool PointOnEdgeOrCrossing(const IntPoint& point, const IntPoint& p, const IntPoint& q, int& inside) {
    if (q.Y == point.Y && (q.X == point.X || (p.Y == point.Y && ((q.X > point.X) == (p.X < point.X))))) return true;
    if ((p.Y < point.Y) == (q.Y < point.Y)) return false;
    if (p.X >= point.X && q.X > point.X) {
        inside = 1 - inside;
    } else if (p.X >= point.X || q.X > point.X) {
        const double d = static_cast<double>(p.X - point.X) * static_cast<double>(q.Y - point.Y) -
                         static_cast<double>(q.X - point.X) * static_cast<double>(p.Y - point.Y);
        if (d == 0) return true;
        if ((d > 0) == (q.Y > p.Y)) inside = 1 - inside;
    }
    return false;
}

int PointInPolygon(const IntPoint& point, const Path& path) {
    const std::size_t n = path.size();
    if (n < 3) return 0;
    int inside = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (PointOnEdgeOrCrossing(point, path[i], path[(i + 1) % n], inside)) return -1;
    }
    return inside;
}

bool ProductsEqual(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d, bool useFullRange) {
    if (useFullRange) return Int128Mul(a, b) == Int128Mul(c, d);
    return a * b == c * d;
}

bool SlopesEqual(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3, bool useFullRange) {
    return ProductsEqual(p1.Y - p2.Y, p2.X - p3.X, p1.X - p2.X, p2.Y - p3.Y, useFullRange);
}

bool SlopesEqual(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3, const IntPoint& p4, bool useFullRange) {
    return ProductsEqual(p1.Y - p2.Y, p3.X - p4.X, p1.X - p2.X, p3.Y - p4.Y, useFullRange);
}

namespace {
// No abs(): the most negative 64-bit value has no positive counterpart.
bool Beyond(std::int64_t v, std::int64_t range) { return v > range || v < -range; }
}  // namespace

void RangeTest(const IntPoint& point, bool& useFullRange) {
    if (!useFullRange && (Beyond(point.X, kLowRange) || Beyond(point.Y, kLowRange))) useFullRange = true;
    if (Beyond(point.X, kHighRange) || Beyond(point.Y, kHighRange)) throw kRangeError;
}

bool Pt2IsBetweenPt1AndPt3(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3) {
    if (p1 == p3 || p1 == p2 || p3 == p2) return false;
    if (p1.X != p3.X) return (p2.X > p1.X) == (p2.X < p3.X);
    return (p2.Y > p1.Y) == (p2.Y < p3.Y);
}

void SwapPoints(IntPoint& a, IntPoint& b) { std::swap(a, b); }

bool GetOverlapSegment(const IntPoint& a1, const IntPoint& a2, const IntPoint& b1, const IntPoint& b2, IntPoint& out1,
                       IntPoint& out2) {
    const bool alongX = (a1.Y > a2.Y ? a1.Y - a2.Y : a2.Y - a1.Y) < (a1.X > a2.X ? a1.X - a2.X : a2.X - a1.X);
    auto key = [alongX](const IntPoint& p) { return alongX ? p.X : p.Y; };
    const IntPoint& aLow = key(a1) < key(a2) ? a1 : a2;
    const IntPoint& aHigh = key(a1) < key(a2) ? a2 : a1;
    const IntPoint& bLow = key(b1) < key(b2) ? b1 : b2;
    const IntPoint& bHigh = key(b1) < key(b2) ? b2 : b1;
    out1 = key(aLow) > key(bLow) ? aLow : bLow;
    out2 = key(aHigh) < key(bHigh) ? aHigh : bHigh;
    return key(out1) < key(out2);
}

}  // namespace clip
