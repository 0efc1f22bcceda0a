#include "clipping/RowPoint.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "clipping/IntMath.h"

namespace clip {

namespace {

// Rows per ring for InnerPoints: enough to find room in a ring of any shape that has some.
constexpr std::int64_t kRows = 64;

// Twice the X where the segment (a, b) crosses the row y2 / 2, nearly.
long double RowX2(const IntPoint& a, const IntPoint& b, std::int64_t y2) {
    const long double run = static_cast<long double>(Int128(b.X) - a.X);
    const long double rise = static_cast<long double>(Int128(b.Y) - a.Y);
    return 2.0L * a.X + static_cast<long double>(y2 - Int128(a.Y) * 2) * run / rise;
}

}  // namespace

bool CrossesRow(const IntPoint& a, const IntPoint& b, const RowPoint& p, int& side) {
    const Int128 ay2 = Int128(a.Y) * 2, by2 = Int128(b.Y) * 2;
    if ((p.y2 < ay2) == (p.y2 < by2)) return false;
    // Twice the crossing's X minus x2, times dy = b.Y - a.Y: (2 a.X - x2) dy + (y2 - 2 a.Y) dx.
    // Each product stays within 127 bits; their sum might not, so they are compared.
    const Int128 dy = Int128(b.Y) - a.Y;
    const Int128 first = (Int128(a.X) * 2 - p.x2) * dy;
    const Int128 second = (p.y2 - ay2) * (Int128(b.X) - a.X);
    const int sign = (first > -second) - (first < -second);
    side = dy > 0 ? sign : -sign;
    return true;
}

bool RingWinding(const OutPt* pts, const RowPoint& p, int& winding) {
    winding = 0;
    const OutPt* op = pts;
    do {
        const OutPt* b = op->prev;  // along prev, as the results list the ring
        int side = 0;
        if (CrossesRow(op->pt, b->pt, p, side)) {
            if (side == 0) return false;
            if (side > 0) winding += b->pt.Y > op->pt.Y ? 1 : -1;
        }
        op = b;
    } while (op != pts);
    return true;
}

double DistanceBound(const RowPoint& p, const IntPoint& a, const IntPoint& b) {
    // In doubled units, from p: exact in long doubles up to 2^64, which the range keeps to.
    const long double ax = static_cast<long double>(Int128(a.X) * 2 - p.x2);
    const long double ay = static_cast<long double>(Int128(a.Y) * 2 - p.y2);
    const long double dx = static_cast<long double>(Int128(b.X) - a.X) * 2;
    const long double dy = static_cast<long double>(Int128(b.Y) - a.Y) * 2;
    const long double length2 = dx * dx + dy * dy;
    const long double t = length2 > 0 ? std::clamp(-(ax * dx + ay * dy) / length2, 0.0L, 1.0L) : 0.0L;
    const long double distance = std::hypot(ax + t * dx, ay + t * dy) / 2;
    // Each step errs by a few units in the last place of the largest magnitude.
    const long double error = 16 * std::numeric_limits<long double>::epsilon() *
                              (std::fabs(ax) + std::fabs(ay) + std::fabs(dx) + std::fabs(dy));
    return static_cast<double>(distance - error);
}

std::vector<RowPoint> InnerPoints(const OutPt* pts) {
    std::int64_t minY = pts->pt.Y, maxY = minY, minX2 = pts->pt.X, maxX2 = minX2;
    const OutPt* op = pts;
    do {
        minY = std::min(minY, op->pt.Y);
        maxY = std::max(maxY, op->pt.Y);
        minX2 = std::min(minX2, op->pt.X);
        maxX2 = std::max(maxX2, op->pt.X);
        op = op->next;
    } while (op != pts);
    minX2 *= 2;  // the range keeps doubled coordinates within 64 bits
    maxX2 *= 2;
    std::vector<RowPoint> points;
    const Int128 height = Int128(maxY) - minY;
    const Int128 rows = std::min<Int128>(kRows, height);
    for (Int128 k = 0; k < rows; ++k) {
        // Row k of `rows` across the ring's height, each between two grid rows.
        const Int128 y = minY + height * (2 * k + 1) / (2 * rows);
        const std::int64_t y2 = static_cast<std::int64_t>(2 * std::min<Int128>(y, Int128(maxY) - 1) + 1);
        std::vector<std::pair<long double, int>> crossings;  // X and the winding change there
        op = pts;
        do {
            const OutPt* b = op->prev;
            if ((y2 < Int128(op->pt.Y) * 2) != (y2 < Int128(b->pt.Y) * 2))
                crossings.emplace_back(RowX2(op->pt, b->pt, y2), b->pt.Y > op->pt.Y ? -1 : 1);
            op = b;
        } while (op != pts);
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding == 0) continue;
            const long double middle = (crossings[i].first + crossings[i + 1].first) / 2;
            points.push_back(RowPoint{static_cast<std::int64_t>(std::clamp<std::int64_t>(std::llround(middle), minX2, maxX2)), y2});
        }
    }
    return points;
}

}  // namespace clip
