// Output rings as the sweep builds them: vertices added at either end, rings started at
// local minima and closed or merged at local maxima.
#include <utility>

#include "clipping/Engine.h"

namespace clip {

OutRec* Engine::CreateOutRec() {
    outRecords.push_back(nullptr);
    OutRec* record = new OutRec;
    record->index = static_cast<std::int32_t>(outRecords.size() - 1);
    outRecords.back() = record;
    return record;
}

OutRec* Engine::GetOutRec(std::int32_t index) const {
    OutRec* record = outRecords[index];
    for (std::size_t steps = outRecords.size(); record != outRecords[record->index] && steps > 0; --steps)
        record = outRecords[record->index];
    return record;
}

void Engine::DisposeOutRec(std::size_t index) {
    OutRec* record = outRecords[index];
    DisposeOutPts(record->pts);
    delete record;
    outRecords[index] = nullptr;
}

void Engine::DisposeAllOutRecs() {
    for (std::size_t i = 0; i < outRecords.size(); ++i) DisposeOutRec(i);
    outRecords.clear();
}

void Engine::SetHoleState(const TEdge* e, OutRec* record) const {
    bool isHole = false;
    for (const TEdge* left = e->prevActive; left; left = left->prevActive) {
        if (left->outIndex < 0 || left->windDelta == 0) continue;
        isHole = !isHole;
        if (!record->firstLeft) record->firstLeft = outRecords[left->outIndex];
    }
    if (isHole) record->isHole = true;
}

OutPt* Engine::AddOutPt(TEdge* e, const IntPoint& pt) {
    if (e->outIndex < 0) {
        OutRec* record = CreateOutRec();
        OutPt* op = new OutPt{record->index, pt, nullptr, nullptr};
        op->next = op->prev = op;
        record->pts = op;
        SetHoleState(e, record);
        e->outIndex = record->index;
        return op;
    }
    OutRec* record = outRecords[e->outIndex];
    OutPt* first = record->pts;
    const bool toFront = e->side == LeftSide;
    OutPt* end = toFront ? first : first->prev;
    if (end->pt == pt) return end;  // the ring keeps the Z of the vertex that came first
    OutPt* op = new OutPt{record->index, pt, first, first->prev};
    op->prev->next = op;
    first->prev = op;
    if (toFront) record->pts = op;
    record->bottomPt = nullptr;
    return op;
}

OutPt* Engine::AddLocalMinPoly(TEdge* e1, TEdge* e2, const IntPoint& pt) {
    TEdge* e = IsHorizontal(*e2) || e1->dx > e2->dx ? e1 : e2;
    TEdge* other = e == e1 ? e2 : e1;
    OutPt* result = AddOutPt(e, pt);
    other->outIndex = e->outIndex;
    e->side = LeftSide;
    other->side = RightSide;
    TEdge* prevE = e->prevActive == other ? other->prevActive : e->prevActive;
    if (prevE && prevE->outIndex >= 0 && TopX(*prevE, pt.Y) == TopX(*e, pt.Y) &&
        SlopesEqual(*e, *prevE, useFullRange) && e->windDelta != 0 && prevE->windDelta != 0) {
        AddJoin(result, AddOutPt(prevE, pt), e->top);
    }
    return result;
}

void Engine::AddLocalMaxPoly(TEdge* e1, TEdge* e2, const IntPoint& pt) {
    AddOutPt(e1, pt);
    if (e1->outIndex == e2->outIndex) {
        e1->outIndex = -1;
        e2->outIndex = -1;
    } else if (e1->outIndex < e2->outIndex) {
        AppendPolygon(e1, e2);
    } else {
        AppendPolygon(e2, e1);
    }
}

void Engine::AppendPolygon(TEdge* e1, TEdge* e2) {
    OutRec* r1 = outRecords[e1->outIndex];
    OutRec* r2 = outRecords[e2->outIndex];
    const std::size_t limit = outRecords.size();
    OutRec* holeStateRec = Param1RightOfParam2(r1, r2, limit)   ? r2
                           : Param1RightOfParam2(r2, r1, limit) ? r1
                                                                : GetLowermostRec(r1, r2);
    OutPt* left1 = r1->pts;
    OutPt* right1 = left1->prev;
    OutPt* left2 = r2->pts;
    OutPt* right2 = left2->prev;
    // After reversing r2 its vertices run from right2 to left2 along next.
    if (e2->side == e1->side) ReversePolyPtLinks(left2);
    OutPt* head2 = e2->side == e1->side ? right2 : left2;
    OutPt* tail2 = e2->side == e1->side ? left2 : right2;
    tail2->next = left1;
    left1->prev = tail2;
    right1->next = head2;
    head2->prev = right1;
    if (e1->side == LeftSide) r1->pts = head2;  // r2 went in front of r1, else after it
    r1->bottomPt = nullptr;
    if (holeStateRec == r2) {
        if (r2->firstLeft != r1) r1->firstLeft = r2->firstLeft;
        r1->isHole = r2->isHole;
    }
    r2->pts = nullptr;
    r2->bottomPt = nullptr;
    r2->firstLeft = r1;

    const std::int32_t kept = e1->outIndex;
    const std::int32_t absorbed = e2->outIndex;
    const EdgeSide side = e1->side;
    e1->outIndex = -1;
    e2->outIndex = -1;
    for (TEdge* e = activeEdges; e; e = e->nextActive) {
        if (e->outIndex == absorbed) {
            e->outIndex = kept;
            e->side = side;
            break;
        }
    }
    r2->index = r1->index;
}

}  // namespace clip
