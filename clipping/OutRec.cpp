#include "clipping/OutRec.h"

#include <algorithm>
#include <cmath>

#include "clipping/Edge.h"
#include "clipping/Path.h"

namespace clip {

double Area(const OutRec& record) {
    const OutPt* op = record.pts;
    if (!op) return 0;
    double sum = 0;
    do {
        sum += (static_cast<double>(op->prev->pt.X) + static_cast<double>(op->pt.X)) *
               (static_cast<double>(op->prev->pt.Y) - static_cast<double>(op->pt.Y));
        op = op->next;
    } while (op != record.pts);
    return sum * 0.5;
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

bool Poly2ContainsPoly1(const OutPt* ring1, const OutPt* ring2) {
    const OutPt* op = ring1;
    do {
        const int result = PointInPolygon(op->pt, ring2);
        if (result >= 0) return result > 0;
        op = op->next;
    } while (op != ring1);
    return true;
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
