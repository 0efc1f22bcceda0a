#include "clipping/Edge.h"

#include <utility>

#include "clipping/IntMath.h"
#include "clipping/Path.h"

namespace clip {

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
