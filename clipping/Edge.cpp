#include "clipping/Edge.h"

#include <utility>

#include "clipping/IntMath.h"
#include "clipping/Path.h"

namespace clip {

namespace {

// An edge's X at a scan line: whole + num / den, with 0 <= num < den.
struct ExactX {
    Int128 whole;
    Int128 num;
    Int128 den;
};

// Exact in 128 bits: coordinate differences stay below 2^63, so their products below 2^126.
ExactX XAt(const TEdge& e, std::int64_t y) {
    if (IsHorizontal(e)) return ExactX{e.current.X, 0, 1};
    const Int128 num = Int128(e.delta.X) * (Int128(e.bottom.Y) - y);
    const Int128 den = Int128(e.bottom.Y) - e.top.Y;  // positive: the bottom has the larger Y
    Int128 whole = num / den;
    Int128 rest = num - whole * den;
    if (rest < 0) {  // the division truncates toward zero; the fraction must not be negative
        rest += den;
        whole -= 1;
    }
    return ExactX{e.bottom.X + whole, rest, den};
}

}  // namespace

int CompareExactX(const TEdge& a, const TEdge& b, std::int64_t y) {
    const ExactX xa = XAt(a, y);
    const ExactX xb = XAt(b, y);
    if (xa.whole != xb.whole) return xa.whole < xb.whole ? -1 : 1;
    // Both fractions lie in [0, 1): numerators and denominators below 2^63.
    const Int128 fa = xa.num * xb.den;
    const Int128 fb = xb.num * xa.den;
    return (fa > fb) - (fa < fb);
}

bool SlopesEqual(const TEdge& e1, const TEdge& e2, bool useFullRange) {
    return ProductsEqual(e1.delta.Y, e2.delta.X, e1.delta.X, e2.delta.Y, useFullRange);
}

void InitEdge2(TEdge& e, PolyType polyType) {
    const IntPoint& start = e.current;
    const IntPoint& end = e.next->current;
    if (start.Y >= end.Y) {
        e.bottom = start;
        e.top = end;
    } else {
        e.bottom = end;
        e.top = start;
    }
    e.delta = IntPoint(e.top.X - e.bottom.X, e.top.Y - e.bottom.Y);
    e.dx = e.delta.Y == 0 ? kHorizontal : static_cast<double>(e.delta.X) / static_cast<double>(e.delta.Y);
    e.polyType = polyType;
}

void ReverseHorizontal(TEdge& e) {
    std::swap(e.top.X, e.bottom.X);
    std::swap(e.top.Z, e.bottom.Z);
}

TEdge* RemoveEdge(TEdge* e) {
    e->prev->next = e->next;
    e->next->prev = e->prev;
    TEdge* next = e->next;
    e->prev = nullptr;
    return next;
}

TEdge* FindNextLocMin(TEdge* e) {
    for (;;) {
        while (e->bottom != e->prev->bottom || e->current == e->top) e = e->next;
        if (!IsHorizontal(*e) && !IsHorizontal(*e->prev)) return e;
        while (IsHorizontal(*e->prev)) e = e->prev;
        TEdge* const horizontalStart = e;
        while (IsHorizontal(*e)) e = e->next;
        if (e->top.Y == e->prev->bottom.Y) continue;  // only an intermediate step
        return horizontalStart->prev->bottom.X < e->bottom.X ? horizontalStart : e;
    }
}

}  // namespace clip
