#include "clipping/RingLoops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace clip {

namespace {

using PointKey = std::pair<std::int64_t, std::int64_t>;

PointKey Key(const OutPt* op) { return {op->pt.X, op->pt.Y}; }

std::size_t PointHash(const IntPoint& p) {
    const std::uint64_t h =
        static_cast<std::uint64_t>(p.X) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(p.Y) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

// Hashing finds a repeated point in one pass: the check runs for every result ring, and most
// rings have none.
bool PassesAPointTwice(const OutPt* pts) {
    std::size_t capacity = 16;  // a power of two, at least twice the vertex count
    while (capacity < 2 * static_cast<std::size_t>(PointCount(pts))) capacity *= 2;
    std::vector<const OutPt*> table(capacity, nullptr);
    const OutPt* op = pts;
    do {
        std::size_t slot = PointHash(op->pt) & (capacity - 1);
        for (; table[slot]; slot = (slot + 1) & (capacity - 1)) {
            if (table[slot]->pt == op->pt) return true;
        }
        table[slot] = op;
        op = op->next;
    } while (op != pts);
    return false;
}

// Where a ring was cut into two loops: the first vertex heads the loop cut off.
using Cut = std::pair<OutPt*, OutPt*>;

// Cuts the ring into loops that pass no point twice, walking it once: every return to a
// point still on the walked part cuts off the loop since the last visit. Returns the loops,
// the part that remains last, and appends the cuts in the order made.
std::vector<OutPt*> CutIntoLoops(OutPt* pts, std::vector<Cut>& cuts) {
    std::vector<OutPt*> loops;
    std::map<PointKey, OutPt*> seen;  // the latest visit of each point on the remaining part
    OutPt* first = pts;
    seen.emplace(Key(first), first);
    for (OutPt* p = first->next; p != first; p = p->next) {
        const auto [visit, isNew] = seen.try_emplace(Key(p), p);
        if (isNew) continue;
        OutPt* q = visit->second;
        for (const OutPt* r = q->next; r != p; r = r->next) seen.erase(Key(r));
        SwapPredecessors(q, p);
        loops.push_back(q);
        cuts.emplace_back(q, p);
        visit->second = p;
        if (q == first) first = p;
    }
    loops.push_back(first);
    return loops;
}

double Length(const IntPoint& a, const IntPoint& b) {
    const double dx = static_cast<double>(b.X) - static_cast<double>(a.X);
    const double dy = static_cast<double>(b.Y) - static_cast<double>(a.Y);
    return std::hypot(dx, dy);
}

// Distance from p to the segment (a, b).
double Distance(const IntPoint& p, const IntPoint& a, const IntPoint& b) {
    const double px = static_cast<double>(p.X), py = static_cast<double>(p.Y);
    const double ax = static_cast<double>(a.X), ay = static_cast<double>(a.Y);
    const double dx = static_cast<double>(b.X) - ax, dy = static_cast<double>(b.Y) - ay;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    const double ex = ax + t * dx;
    const double ey = ay + t * dy;
    return std::hypot(px - ex, py - ey);
}

double Perimeter(const OutPt* loop) {
    double sum = 0;
    const OutPt* op = loop;
    do {
        sum += Length(op->pt, op->next->pt);
        op = op->next;
    } while (op != loop);
    return sum;
}

// Rounding moves a vertex, and the ends of an edge, by less than a unit each: a vertex
// farther than this from an edge lies on the same side of it as before rounding.
constexpr double kClearance = 1.5;

// Distance from v to the nearest edge of the loops other than its own.
double DistanceToOthers(const OutPt* v, const OutPt* loop, const std::vector<const OutPt*>& loops) {
    double nearest = HUGE_VAL;
    for (const OutPt* other : loops) {
        if (other == loop) continue;
        const OutPt* e = other;
        do {
            nearest = std::min(nearest, Distance(v->pt, e->pt, e->next->pt));
            e = e->next;
        } while (e != other);
    }
    return nearest;
}

// The loop's vertex farthest from the edges of the other loops, or null when none lies
// clear of them.
const OutPt* FarthestVertex(const OutPt* loop, const std::vector<const OutPt*>& loops) {
    const OutPt* best = nullptr;
    double bestDistance = kClearance;
    const OutPt* v = loop;
    do {
        const double nearest = DistanceToOthers(v, loop, loops);
        if (nearest > bestDistance) {
            best = v;
            bestDistance = nearest;
        }
        v = v->next;
    } while (v != loop);
    return best;
}

// Whether pt lies inside an odd number of the loops larger than `area`: only those can hold
// a loop of that size.
int ParityAmongLarger(const IntPoint& pt, double area, const std::vector<const OutPt*>& loops) {
    int parity = 0;
    for (const OutPt* other : loops) {
        if (std::fabs(Area(other)) > area && PointInPolygon(pt, other) == 1) parity = 1 - parity;
    }
    return parity;
}

// Whether the loop lies inside an odd number of the other loops: 1 or 0, or -1 when that
// cannot be told. Judged at the vertices clear of their edges, since near the point where a
// thin loop meets another, rounding may have moved it across. Loops cut from a ring that
// touches itself inside an edge can overlap rather than nest: where clear vertices disagree,
// nesting says nothing.
int DepthParity(const OutPt* loop, const std::vector<const OutPt*>& loops) {
    const double area = std::fabs(Area(loop));
    int parity = -1;
    const OutPt* v = loop;
    do {
        if (DistanceToOthers(v, loop, loops) > kClearance) {
            const int here = ParityAmongLarger(v->pt, area, loops);
            if (parity >= 0 && here != parity) return -1;
            parity = here;
        }
        v = v->next;
    } while (v != loop);
    return parity;
}

}  // namespace

bool Thin(const OutPt* ring) { return std::fabs(Area(ring)) <= Perimeter(ring); }

int FarContainment(const OutPt* ring1, const OutPt* ring2) {
    const OutPt* v = FarthestVertex(ring1, {ring2});
    return v ? PointInPolygon(v->pt, ring2) : -1;
}

void SwapPredecessors(OutPt* a, OutPt* b) {
    OutPt* beforeA = a->prev;
    OutPt* beforeB = b->prev;
    a->prev = beforeB;
    beforeB->next = a;
    b->prev = beforeA;
    beforeA->next = b;
}

void OrientLoops(OutPt* pts, bool outerPositive, bool useFullRange, const LoopJudge& judge) {
    if (!PassesAPointTwice(pts)) return;
    std::vector<Cut> cuts;
    const std::vector<OutPt*> heads = CutIntoLoops(pts, cuts);
    const std::vector<const OutPt*> loops(heads.begin(), heads.end());
    auto runsAgainstNesting = [&](const OutPt* loop) {
        const int sign = AreaSign(loop, useFullRange);
        const int depthParity = sign == 0 ? -1 : DepthParity(loop, loops);
        return depthParity >= 0 && (sign > 0) != (outerPositive == (depthParity == 0));
    };
    std::vector<OutPt*> inverted;
    for (OutPt* loop : heads) {
        if (Thin(loop) && runsAgainstNesting(loop) && !judge(loop, loops)) inverted.push_back(loop);
    }
    // A loop too large for rounding to have turned that runs against its nesting shows that
    // the ring's loops do not nest one in another, as where a join merged the ring with a part
    // lying in another ring: their nesting then says nothing of the thin ones either.
    const bool nestingHolds = inverted.empty() || std::none_of(heads.begin(), heads.end(), [&](const OutPt* loop) {
                                  return !Thin(loop) && runsAgainstNesting(loop);
                              });
    if (nestingHolds) {
        for (OutPt* loop : inverted) ReversePolyPtLinks(loop);
    }
    // Joining at the same vertices in reverse order restores one ring, whichever way its
    // loops now run.
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) SwapPredecessors(cut->first, cut->second);
}

}  // namespace clip
