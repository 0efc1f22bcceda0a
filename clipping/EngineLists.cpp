// The active edge list (ordered by X along the scan line) and the sorted edge list (the queue
// of horizontals and the scratch order for finding crossings) of the sweep.
#include <utility>

#include "clipping/ClipError.h"
#include "clipping/Engine.h"

namespace clip {

namespace {

// True when `edge` belongs before `f` in the active list.
bool GoesBefore(const TEdge& edge, const TEdge& f) {
    const int order = CompareAtScanLine(edge, f, edge.current.Y);
    if (order != 0) return order < 0;
    if (edge.top.Y > f.top.Y) return edge.top.X < TopX(f, edge.top.Y);
    return f.top.X > TopX(edge, f.top.Y);
}

// Exchanges two edges of one doubly linked list given by its link members and head.
void SwapInList(TEdge*& head, TEdge* e1, TEdge* e2, TEdge* TEdge::*next, TEdge* TEdge::*prev) {
    if (e1->*next == e1->*prev || e2->*next == e2->*prev) return;  // one of them is not listed
    if (e1->*next == e2 || e2->*next == e1) {
        if (e2->*next == e1) std::swap(e1, e2);  // now e1 directly precedes e2
        TEdge* before = e1->*prev;
        TEdge* after = e2->*next;
        if (before) before->*next = e2;
        if (after) after->*prev = e1;
        e2->*prev = before;
        e2->*next = e1;
        e1->*prev = e2;
        e1->*next = after;
    } else {
        std::swap(e1->*next, e2->*next);
        std::swap(e1->*prev, e2->*prev);
        for (TEdge* e : {e1, e2}) {
            if (e->*next) (e->*next)->*prev = e;
            if (e->*prev) (e->*prev)->*next = e;
        }
    }
    if (!(e1->*prev))
        head = e1;
    else if (!(e2->*prev))
        head = e2;
}

void RemoveFromList(TEdge*& head, TEdge* e, TEdge* TEdge::*next, TEdge* TEdge::*prev) {
    TEdge* before = e->*prev;
    TEdge* after = e->*next;
    if (!before && !after && e != head) return;  // not listed
    if (before)
        before->*next = after;
    else
        head = after;
    if (after) after->*prev = before;
    e->*next = nullptr;
    e->*prev = nullptr;
}

}  // namespace

void Engine::InsertEdgeIntoAEL(TEdge* edge, TEdge* startEdge) {
    if (!activeEdges) {
        edge->prevActive = edge->nextActive = nullptr;
        activeEdges = edge;
    } else if (!startEdge && GoesBefore(*edge, *activeEdges)) {
        edge->prevActive = nullptr;
        edge->nextActive = activeEdges;
        activeEdges->prevActive = edge;
        activeEdges = edge;
    } else {
        TEdge* after = startEdge ? startEdge : activeEdges;
        while (after->nextActive && !GoesBefore(*edge, *after->nextActive)) after = after->nextActive;
        edge->nextActive = after->nextActive;
        if (after->nextActive) after->nextActive->prevActive = edge;
        edge->prevActive = after;
        after->nextActive = edge;
    }
}

void Engine::DeleteFromAEL(TEdge* edge) { RemoveFromList(activeEdges, edge, &TEdge::nextActive, &TEdge::prevActive); }

void Engine::DeleteFromSEL(TEdge* edge) { RemoveFromList(sortedEdges, edge, &TEdge::nextSorted, &TEdge::prevSorted); }

void Engine::AddEdgeToSEL(TEdge* edge) {
    edge->prevSorted = nullptr;
    edge->nextSorted = sortedEdges;
    if (sortedEdges) sortedEdges->prevSorted = edge;
    sortedEdges = edge;
}

void Engine::CopyAELToSEL() {
    sortedEdges = activeEdges;
    for (TEdge* e = activeEdges; e; e = e->nextActive) {
        e->prevSorted = e->prevActive;
        e->nextSorted = e->nextActive;
    }
}

void Engine::SwapPositionsInAEL(TEdge* e1, TEdge* e2) {
    SwapInList(activeEdges, e1, e2, &TEdge::nextActive, &TEdge::prevActive);
}

void Engine::SwapPositionsInSEL(TEdge* e1, TEdge* e2) {
    SwapInList(sortedEdges, e1, e2, &TEdge::nextSorted, &TEdge::prevSorted);
}

void Engine::UpdateEdgeIntoAEL(TEdge*& e) {
    if (!e->nextInBound) throw ClipError("UpdateEdgeIntoAEL: invalid call");
    TEdge* successor = e->nextInBound;
    successor->outIndex = e->outIndex;
    successor->side = e->side;
    successor->windDelta = e->windDelta;
    successor->windCount = e->windCount;
    successor->windCount2 = e->windCount2;
    successor->prevActive = e->prevActive;
    successor->nextActive = e->nextActive;
    if (e->prevActive)
        e->prevActive->nextActive = successor;
    else
        activeEdges = successor;
    if (e->nextActive) e->nextActive->prevActive = successor;
    e->prevActive = e->nextActive = nullptr;
    e = successor;
    e->current = e->bottom;
    if (!IsHorizontal(*e)) InsertScanbeam(e->top.Y);
}

}  // namespace clip
