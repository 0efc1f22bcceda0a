#include "clipping/OutRec.h"

#include <algorithm>
#include <cmath>

#include "clipping/Edge.h"
#include "clipping/IntMath.h"
#include "clipping/Path.h"

namespace clip {

double Area(const OutPt* pts) {
    if (!pts) return 0;
    double sum = 0;
    const OutPt* op = pts;
    do {
        sum += (static_cast<double>(op->prev->pt.X) + static_cast<double>(op->pt.X)) *
               (static_cast<double>(op->prev->pt.Y) - static_cast<double>(op->pt.Y));
        op = op->next;
    } while (op != pts);
    return sum * 0.5;
}

double Area(const OutRec& record) { return Area(record.pts); }

namespace {

// Twice the area as the results list the ring, as the sum of the cross products of its
// vertices taken relative to the first. Within the low range every product fits 64 bits.
int NarrowAreaSign(const OutPt* pts) {
    const IntPoint& o = pts->pt;
    Int128 sum = 0;
    const OutPt* op = pts;
    do {
        const OutPt* b = op->prev;  // along prev, as the results list the ring
        sum += (op->pt.X - o.X) * (b->pt.Y - o.Y) - (b->pt.X - o.X) * (op->pt.Y - o.Y);
        op = b;
    } while (op != pts);
    return (sum > 0) - (sum < 0);
}

// A sum of 128-bit products, which may outgrow 128 bits: kept as a high and a low 64-bit half.
class WideSum {
public:
    void Add(Int128 value) {
        high += value >> 64;
        low += static_cast<U128>(value) & kLowMask;
    }
    int Sign() const {
        const Int128 h = high + static_cast<Int128>(low >> 64);
        if (h != 0) return h > 0 ? 1 : -1;
        return (low & kLowMask) > 0 ? 1 : 0;
    }

private:
    using U128 = unsigned __int128;
    static constexpr U128 kLowMask = (U128(1) << 64) - 1;
    Int128 high = 0;
    U128 low = 0;
};

// Adds twice the ring's area, as the sum of the cross products of its vertices relative to o:
// for any coordinates each product is exact in 128 bits.
void AddTwiceArea(const OutPt* pts, const IntPoint& o, WideSum& sum) {
    const OutPt* op = pts;
    do {
        const OutPt* b = op->prev;
        sum.Add((Int128(op->pt.X) - o.X) * (Int128(b->pt.Y) - o.Y) - (Int128(b->pt.X) - o.X) * (Int128(op->pt.Y) - o.Y));
        op = b;
    } while (op != pts);
}

int WideAreaSign(const OutPt* pts) {
    WideSum sum;
    AddTwiceArea(pts, pts->pt, sum);
    return sum.Sign();
}

}  // namespace

int AreaSign(const OutPt* pts, bool useFullRange) {
    if (!pts) return 0;
    return useFullRange ? WideAreaSign(pts) : NarrowAreaSign(pts);
}

int SummedAreaSign(const std::vector<const OutPt*>& rings) {
    WideSum sum;
    for (const OutPt* ring : rings) AddTwiceArea(ring, rings.front()->pt, sum);
    return sum.Sign();
}

int PointCount(const OutPt* pts) {
    if (!pts) return 0;
    int count = 0;
    const OutPt* p = pts;
    do {
        ++count;
        p = p->next;
    } while (p != pts);
    return count;
}

bool RunsBackAlong(const OutPt* a, const OutPt* b) {
    if (PointCount(a) != PointCount(b)) return false;
    const OutPt* start = b;
    do {
        if (start->pt == a->pt) {
            const OutPt* p = a->next;
            const OutPt* q = start->prev;
            while (p != a && p->pt == q->pt) {
                p = p->next;
                q = q->prev;
            }
            if (p == a) return true;
        }
        start = start->next;
    } while (start != b);
    return false;
}

void ReversePolyPtLinks(OutPt* pts) {
    if (!pts) return;
    OutPt* p = pts;
    do {
        std::swap(p->next, p->prev);
        p = p->prev;  // the former next
    } while (p != pts);
}

void DisposeOutPts(OutPt*& pts) {
    if (!pts) return;
    pts->prev->next = nullptr;
    while (pts) {
        OutPt* next = pts->next;
        delete pts;
        pts = next;
    }
}

OutPt* DupOutPt(OutPt* op, bool insertAfter) {
    OutPt* copy = new OutPt{op->index, op->pt, nullptr, nullptr};
    if (insertAfter) {
        copy->next = op->next;
        copy->prev = op;
        op->next->prev = copy;
        op->next = copy;
    } else {
        copy->prev = op->prev;
        copy->next = op;
        op->prev->next = copy;
        op->prev = copy;
    }
    return copy;
}

int PointInPolygon(const IntPoint& pt, const OutPt* op) {
    int inside = 0;
    const OutPt* start = op;
    do {
        if (PointOnEdgeOrCrossing(pt, op->pt, op->next->pt, inside)) return -1;
        op = op->next;
    } while (op != start);
    return inside;
}

namespace {

// Sign of a * b - c * d, exact for magnitudes below 2^64: the products are compared as
// unsigned 128-bit magnitudes, which a signed 128-bit product could overflow.
int SignOfProductDifference(Int128 a, Int128 b, Int128 c, Int128 d) {
    using U128 = unsigned __int128;
    auto sign = [](Int128 v) { return (v > 0) - (v < 0); };
    auto magnitude = [](Int128 v) { return static_cast<U128>(v < 0 ? -v : v); };
    const int s1 = sign(a) * sign(b);
    const int s2 = sign(c) * sign(d);
    if (s1 != s2) return s1 > s2 ? 1 : -1;
    if (s1 == 0) return 0;
    const U128 m1 = magnitude(a) * magnitude(b);
    const U128 m2 = magnitude(c) * magnitude(d);
    if (m1 == m2) return 0;
    return (m1 > m2) == (s1 > 0) ? 1 : -1;
}

// Where the midpoint of the segment (a, b) lies against the ring: 0 outside, 1 inside, -1
// on the boundary. The walk is that of PointInPolygon in doubled coordinates, where the
// midpoint is a lattice point; exact, since the doubled differences reach 2^64.
int MidpointInPolygon(const IntPoint& a, const IntPoint& b, const OutPt* ring) {
    const Int128 mx = Int128(a.X) + b.X;
    const Int128 my = Int128(a.Y) + b.Y;
    int inside = 0;
    const OutPt* op = ring;
    do {
        const Int128 px = 2 * Int128(op->pt.X) - mx, py = 2 * Int128(op->pt.Y) - my;
        const Int128 qx = 2 * Int128(op->next->pt.X) - mx, qy = 2 * Int128(op->next->pt.Y) - my;
        if (qy == 0 && (qx == 0 || (py == 0 && (qx > 0) == (px < 0)))) return -1;
        if ((py < 0) != (qy < 0)) {
            if (px >= 0 && qx > 0) {
                inside = 1 - inside;
            } else if (px >= 0 || qx > 0) {
                const int d = SignOfProductDifference(px, qy, qx, py);
                if (d == 0) return -1;
                if ((d > 0) == (qy > py)) inside = 1 - inside;
            }
        }
        op = op->next;
    } while (op != ring);
    return inside;
}

// The first of the given points that does not lie on ring2's boundary decides.
template <class Locate>
int FirstOffBoundary(const OutPt* ring1, Locate locate) {
    const OutPt* op = ring1;
    do {
        const int result = locate(op);
        if (result >= 0) return result;
        op = op->next;
    } while (op != ring1);
    return -1;
}

}  // namespace

bool Poly2ContainsPoly1(const OutPt* ring1, const OutPt* ring2) {
    const int byVertex = FirstOffBoundary(ring1, [ring2](const OutPt* op) { return PointInPolygon(op->pt, ring2); });
    if (byVertex >= 0) return byVertex > 0;
    // Every vertex on ring2's boundary, as when a join splits one ring in two: the parts
    // share vertices but not, in general, edges, so an edge midpoint tells inside from out.
    const int byMidpoint = FirstOffBoundary(
        ring1, [ring2](const OutPt* op) { return MidpointInPolygon(op->pt, op->next->pt, ring2); });
    return byMidpoint != 0;
}

bool PointIsVertex(const IntPoint& pt, const OutPt* op) {
    const OutPt* p = op;
    do {
        if (p->pt == pt) return true;
        p = p->next;
    } while (p != op);
    return false;
}

bool GetOverlap(std::int64_t a1, std::int64_t a2, std::int64_t b1, std::int64_t b2, std::int64_t& left,
                std::int64_t& right) {
    left = std::max(std::min(a1, a2), std::min(b1, b2));
    right = std::min(std::max(a1, a2), std::max(b1, b2));
    return left < right;
}

void LinkRuns(OutPt* op1, OutPt* op1b, OutPt* op2, OutPt* op2b, bool backward) {
    if (backward) {
        op1->prev = op2;
        op2->next = op1;
        op1b->next = op2b;
        op2b->prev = op1b;
    } else {
        op1->next = op2;
        op2->prev = op1;
        op1b->prev = op2b;
        op2b->next = op1b;
    }
}

namespace {

// Moves op along its horizontal run up to pt and leaves a duplicate at pt beside it, on the
// side that survives; returns the duplicate.
OutPt* SplitRunAt(OutPt*& op, bool leftToRight, const IntPoint& pt, bool discardLeft) {
    for (;;) {
        const std::int64_t x = op->next->pt.X;
        const bool onTheWay = leftToRight ? x <= pt.X && x >= op->pt.X : x >= pt.X && x <= op->pt.X;
        if (!onTheWay || op->next->pt.Y != pt.Y) break;
        op = op->next;
    }
    if (leftToRight == discardLeft && op->pt.X != pt.X) op = op->next;
    const bool after = leftToRight != discardLeft;
    OutPt* dup = DupOutPt(op, after);
    if (dup->pt != pt) {
        op = dup;
        op->pt = pt;
        dup = DupOutPt(op, after);
    }
    return dup;
}

}  // namespace

bool JoinHorz(OutPt* op1, OutPt* op1b, OutPt* op2, OutPt* op2b, const IntPoint& pt, bool discardLeft) {
    const bool leftToRight1 = !(op1->pt.X > op1b->pt.X);
    const bool leftToRight2 = !(op2->pt.X > op2b->pt.X);
    if (leftToRight1 == leftToRight2) return false;
    op1b = SplitRunAt(op1, leftToRight1, pt, discardLeft);
    op2b = SplitRunAt(op2, leftToRight2, pt, discardLeft);
    LinkRuns(op1, op1b, op2, op2b, leftToRight1 == discardLeft);
    return true;
}

namespace {

double AbsSlope(const IntPoint& from, const IntPoint& to) {
    if (from.Y == to.Y) return -kHorizontal;
    return std::fabs(static_cast<double>(to.X - from.X) / static_cast<double>(to.Y - from.Y));
}

// The nearest vertex at another point, walking along prev or next.
const OutPt* NearestDistinct(const OutPt* op, bool forward) {
    const OutPt* p = forward ? op->next : op->prev;
    while (p->pt == op->pt && p != op) p = forward ? p->next : p->prev;
    return p;
}

}  // namespace

bool FirstIsBottomPt(const OutPt* btm1, const OutPt* btm2) {
    const double prev1 = AbsSlope(btm1->pt, NearestDistinct(btm1, false)->pt);
    const double next1 = AbsSlope(btm1->pt, NearestDistinct(btm1, true)->pt);
    const double prev2 = AbsSlope(btm2->pt, NearestDistinct(btm2, false)->pt);
    const double next2 = AbsSlope(btm2->pt, NearestDistinct(btm2, true)->pt);
    return (prev1 >= prev2 && prev1 >= next2) || (next1 >= prev2 && next1 >= next2);
}

OutPt* GetBottomPt(OutPt* pts) {
    OutPt* best = pts;
    for (OutPt* p = pts->next; p != pts; p = p->next) {
        if (p->pt.Y > best->pt.Y || (p->pt.Y == best->pt.Y && p->pt.X < best->pt.X)) best = p;
    }
    // The same point may recur at non-adjacent vertices (a ring touching itself).
    OutPt* const first = best;
    for (OutPt* p = first->next; p != first; p = p->next) {
        if (p->pt == best->pt && p->next != best && p->prev != best && !FirstIsBottomPt(best, p)) best = p;
    }
    return best;
}

OutRec* GetLowermostRec(OutRec* rec1, OutRec* rec2) {
    if (!rec1->bottomPt) rec1->bottomPt = GetBottomPt(rec1->pts);
    if (!rec2->bottomPt) rec2->bottomPt = GetBottomPt(rec2->pts);
    const OutPt* b1 = rec1->bottomPt;
    const OutPt* b2 = rec2->bottomPt;
    if (b1->pt.Y != b2->pt.Y) return b1->pt.Y > b2->pt.Y ? rec1 : rec2;
    if (b1->pt.X != b2->pt.X) return b1->pt.X < b2->pt.X ? rec1 : rec2;
    if (b1->next == b1) return rec2;
    if (b2->next == b2) return rec1;
    return FirstIsBottomPt(b1, b2) ? rec1 : rec2;
}

bool Param1RightOfParam2(const OutRec* rec1, const OutRec* rec2, std::size_t maxSteps) {
    for (const OutRec* r = rec1->firstLeft; r && maxSteps > 0; r = r->firstLeft, --maxSteps) {
        if (r == rec2) return true;
    }
    return false;
}

OutRec* ParseFirstLeft(OutRec* rec, std::size_t maxSteps) {
    while (rec && !rec->pts && maxSteps-- > 0) rec = rec->firstLeft;
    return rec && rec->pts ? rec : nullptr;
}

}  // namespace clip
