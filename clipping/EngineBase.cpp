#include "clipping/EngineBase.h"

#include <algorithm>

#include "clipping/ClipError.h"
#include "clipping/Path.h"

namespace clip {

EngineBase::EngineBase() : currentMinimum(0), useFullRange(false), preserveCollinear(false), hasOpenPaths(false) {}

EngineBase::~EngineBase() { Clear(); }

bool EngineBase::AddPath(const Path& path, PolyType polyType, bool closed) {
    if (!closed) throw ClipError("AddPath: Open paths have been disabled.");
    if (path.empty()) return false;
    std::size_t n = path.size() - 1;
    while (n > 0 && path[n] == path[0]) --n;
    while (n > 0 && path[n] == path[n - 1]) --n;
    if (n < 2) return false;

    std::vector<TEdge> edges(n + 1);
    for (std::size_t i = 0; i <= n; ++i) {
        edges[i].current = path[i];
        edges[i].next = &edges[i == n ? 0 : i + 1];
        edges[i].prev = &edges[i == 0 ? n : i - 1];
    }
    RangeTest(path[0], useFullRange);
    for (std::size_t i = n; i >= 1; --i) RangeTest(path[i], useFullRange);

    TEdge* start = CleanRing(&edges[0]);
    if (!start) return false;

    bool flat = true;
    TEdge* e = start;
    do {
        InitEdge2(*e, polyType);
        e = e->next;
        if (e->current.Y != start->current.Y) flat = false;
    } while (e != start);
    if (flat) return false;

    edgeArrays.push_back(std::move(edges));  // the buffer, and so every link, stays where it is
    if (start->prev->bottom == start->prev->top) start = start->next;
    AddLocalMinima(start);
    return true;
}

TEdge* EngineBase::CleanRing(TEdge* e) {
    TEdge* start = e;
    TEdge* stop = e;
    for (;;) {
        if (e->current == e->next->current) {
            if (e == e->next) break;
            if (e == start) start = e->next;
            e = RemoveEdge(e);
            stop = e;
            continue;
        }
        if (e->prev == e->next) break;
        const IntPoint& a = e->prev->current;
        const IntPoint& b = e->current;
        const IntPoint& c = e->next->current;
        if (SlopesEqual(a, b, c, useFullRange) && (!preserveCollinear || !Pt2IsBetweenPt1AndPt3(a, b, c))) {
            if (e == start) start = e->next;
            e = RemoveEdge(e)->prev;
            stop = e;
            continue;
        }
        e = e->next;
        if (e == stop) break;
    }
    return e->prev == e->next ? nullptr : start;
}

void EngineBase::AddLocalMinima(TEdge* e) {
    TEdge* first = nullptr;
    for (;;) {
        e = FindNextLocMin(e);
        if (e == first) return;
        if (!first) first = e;
        LocalMinimum minimum{e->bottom.Y, nullptr, nullptr};
        const bool leftForward = !(e->dx < e->prev->dx);
        minimum.leftBound = leftForward ? e : e->prev;
        minimum.rightBound = leftForward ? e->prev : e;
        minimum.leftBound->side = LeftSide;
        minimum.rightBound->side = RightSide;
        minimum.leftBound->windDelta = minimum.leftBound->next == minimum.rightBound ? -1 : 1;
        minimum.rightBound->windDelta = -minimum.leftBound->windDelta;
        TEdge* const afterLeft = ProcessBound(minimum.leftBound, leftForward);
        TEdge* const afterRight = ProcessBound(minimum.rightBound, !leftForward);
        minimaList.push_back(minimum);
        e = leftForward ? afterLeft : afterRight;
    }
}

TEdge* EngineBase::ProcessBound(TEdge* e, bool forward) {
    auto following = [forward](TEdge* x) { return forward ? x->next : x->prev; };
    auto preceding = [forward](TEdge* x) { return forward ? x->prev : x->next; };

    if (IsHorizontal(*e)) {
        const TEdge* before = preceding(e);
        const bool reverse = IsHorizontal(*before) ? before->bottom.X != e->bottom.X && before->top.X != e->bottom.X
                                                   : before->bottom.X != e->bottom.X;
        if (reverse) ReverseHorizontal(*e);
    }
    TEdge* r = e;
    while (r->top.Y == following(r)->bottom.Y) r = following(r);
    if (IsHorizontal(*r)) {
        TEdge* h = r;
        while (IsHorizontal(*h)) h = preceding(h);
        const std::int64_t beyond = following(r)->top.X;
        if (forward ? h->top.X > beyond : h->top.X >= beyond) r = h;
    }
    for (TEdge* x = e;; x = following(x)) {
        // A horizontal inside the bound must run on from the edge below it.
        if (x != e && IsHorizontal(*x) && x->bottom.X != preceding(x)->top.X) ReverseHorizontal(*x);
        if (x == r) break;
        x->nextInBound = following(x);
    }
    return following(r);
}

bool EngineBase::AddPaths(const Paths& paths, PolyType polyType, bool closed) {
    bool added = false;
    for (const Path& path : paths) added = AddPath(path, polyType, closed) || added;
    return added;
}

void EngineBase::Clear() {
    DisposeLocalMinimaList();
    edgeArrays.clear();
    useFullRange = false;
    hasOpenPaths = false;
}

void EngineBase::Reset() {
    currentMinimum = 0;
    // A failed sweep may have left list links behind; no edge may look active now.
    for (std::vector<TEdge>& edges : edgeArrays) {
        for (TEdge& e : edges) e.nextActive = e.prevActive = e.nextSorted = e.prevSorted = nullptr;
    }
    if (minimaList.empty()) return;
    // Sorted once: the sort is not stable, so sorting again could put minima of equal y in
    // another order, and a second execution of the same input must give the same result.
    if (!std::is_sorted(minimaList.begin(), minimaList.end(), LocMinSorter()))
        std::sort(minimaList.begin(), minimaList.end(), LocMinSorter());
    for (LocalMinimum& minimum : minimaList) {
        for (TEdge* bound : {minimum.leftBound, minimum.rightBound}) {
            if (!bound) continue;
            bound->current = bound->bottom;
            bound->side = bound == minimum.leftBound ? LeftSide : RightSide;
            bound->outIndex = -1;
        }
    }
}

void EngineBase::DisposeLocalMinimaList() {
    minimaList.clear();
    currentMinimum = 0;
}

void EngineBase::PopLocalMinima() {
    if (currentMinimum < minimaList.size()) ++currentMinimum;
}

IntBounds EngineBase::GetBounds() const {
    if (minimaList.empty()) return IntBounds{0, 0, 0, 0};
    const IntPoint& first = minimaList.front().leftBound->bottom;
    IntBounds b{first.X, first.Y, first.X, first.Y};
    for (const LocalMinimum& minimum : minimaList) {
        b.maxY = std::max(b.maxY, minimum.leftBound->bottom.Y);
        for (const TEdge* e : {minimum.leftBound, minimum.rightBound}) {
            for (; e->nextInBound; e = e->nextInBound) {
                b.minX = std::min(b.minX, e->bottom.X);
                b.maxX = std::max(b.maxX, e->bottom.X);
            }
            b.minX = std::min({b.minX, e->bottom.X, e->top.X});
            b.maxX = std::max({b.maxX, e->bottom.X, e->top.X});
            b.minY = std::min(b.minY, e->top.Y);
        }
    }
    return b;
}

}  // namespace clip
