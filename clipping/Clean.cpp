#include "clipping/Clean.h"

#include <vector>

#include "clipping/IntMath.h"

namespace clip {

namespace {

// Exact, whatever the coordinates.
Int128 AbsDifference(std::int64_t a, std::int64_t b) {
    const Int128 d = static_cast<Int128>(a) - b;
    return d < 0 ? -d : d;
}

// Whether b lies between a and c: a < b < c, or c <= b <= a.
bool Between(std::int64_t b, std::int64_t a, std::int64_t c) { return (b > a) == (b < c); }

// The ring of in's vertices as a circular list, every vertex unmarked.
std::vector<OutPt> Ring(const Path& in) {
    const std::size_t n = in.size();
    std::vector<OutPt> ring(n);
    for (std::size_t i = 0; i < n; ++i) {
        ring[i].index = 0;
        ring[i].pt = in[i];
        ring[i].next = &ring[(i + 1) % n];
        ring[i].prev = &ring[(i + n - 1) % n];
    }
    return ring;
}

}  // namespace

bool PointsAreClose(const IntPoint& a, const IntPoint& b, double distSq) {
    const double dx = static_cast<double>(a.X) - static_cast<double>(b.X);
    const double dy = static_cast<double>(a.Y) - static_cast<double>(b.Y);
    return dx * dx + dy * dy <= distSq;
}

double DistanceFromLineSqrd(const IntPoint& pt, const IntPoint& l1, const IntPoint& l2) {
    const double a = static_cast<double>(l1.Y) - static_cast<double>(l2.Y);
    const double b = static_cast<double>(l2.X) - static_cast<double>(l1.X);
    const double c = a * static_cast<double>(l1.X) + b * static_cast<double>(l1.Y);
    const double e = a * static_cast<double>(pt.X) + b * static_cast<double>(pt.Y) - c;
    return e * e / (a * a + b * b);
}

bool SlopesNearCollinear(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3, double distSq) {
    // The middle point is tested, so that a spike (p3 doubling back past p2) is caught too.
    const bool alongX = AbsDifference(p1.X, p2.X) > AbsDifference(p1.Y, p2.Y);
    const std::int64_t a = alongX ? p1.X : p1.Y, b = alongX ? p2.X : p2.Y, c = alongX ? p3.X : p3.Y;
    if (Between(a, b, c)) return DistanceFromLineSqrd(p1, p2, p3) < distSq;
    if (Between(b, a, c)) return DistanceFromLineSqrd(p2, p1, p3) < distSq;
    return DistanceFromLineSqrd(p3, p1, p2) < distSq;
}

OutPt* ExcludeOp(OutPt* op) {
    OutPt* result = op->prev;
    result->next = op->next;
    op->next->prev = result;
    result->index = 0;
    return result;
}

void CleanPolygon(const Path& in, Path& out, double distance) {
    std::size_t n = in.size();
    if (n == 0) {
        out.clear();
        return;
    }
    std::vector<OutPt> ring = Ring(in);
    const double distSq = distance * distance;
    OutPt* op = &ring[0];
    while (op->index == 0 && op->next != op->prev) {
        if (PointsAreClose(op->pt, op->prev->pt, distSq)) {
            op = ExcludeOp(op);
            n -= 1;
        } else if (PointsAreClose(op->prev->pt, op->next->pt, distSq)) {
            ExcludeOp(op->next);
            op = ExcludeOp(op);
            n -= 2;
        } else if (SlopesNearCollinear(op->prev->pt, op->pt, op->next->pt, distSq)) {
            op = ExcludeOp(op);
            n -= 1;
        } else {
            op->index = 1;
            op = op->next;
        }
    }
    if (n < 3) n = 0;
    out.resize(n);
    for (IntPoint& p : out) {
        p = op->pt;
        op = op->next;
    }
}

void CleanPolygon(Path& poly, double distance) { CleanPolygon(poly, poly, distance); }

void CleanPolygons(const Paths& in, Paths& out, double distance) {
    out.resize(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) CleanPolygon(in[i], out[i], distance);
}

void CleanPolygons(Paths& polys, double distance) { CleanPolygons(polys, polys, distance); }

}  // namespace clip
