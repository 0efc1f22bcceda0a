// Finishing the rings of a sweep: orientation, joins, fix-up, strictly simple splitting and
// the two result forms.
#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/RingLoops.h"

namespace clip {

namespace {

// The ring as results list it: from pts->prev along prev.
Path RingPath(const OutPt* pts) {
    Path path;
    path.reserve(PointCount(pts));
    const OutPt* p = pts->prev;
    do {
        path.push_back(p->pt);
        p = p->prev;
    } while (p != pts->prev);
    return path;
}

void SetRingIndex(OutRec& record) {
    OutPt* p = record.pts;
    do {
        p->index = record.index;
        p = p->prev;
    } while (p != record.pts);
}

// The end of the segment from op towards off that both rings of a join share, looking
// forward first and then backward; null when neither way runs up along that segment.
OutPt* SharedSegmentEnd(OutPt* op, const IntPoint& off, bool useFullRange, bool& reverse) {
    auto walk = [op](bool forward) {
        OutPt* p = forward ? op->next : op->prev;
        while (p->pt == op->pt && p != op) p = forward ? p->next : p->prev;
        return p;
    };
    auto runsUp = [&](const OutPt* b) {
        return !(b->pt.Y > op->pt.Y) && SlopesEqual(op->pt, b->pt, off, useFullRange);
    };
    OutPt* b = walk(true);
    reverse = !runsUp(b);
    if (!reverse) return b;
    b = walk(false);
    return runsUp(b) ? b : nullptr;
}

// Splices two rings (or one ring twice) at op1 and op2; returns the duplicate of op1.
OutPt* SpliceAt(OutPt* op1, OutPt* op2, bool reverse) {
    OutPt* op1b = DupOutPt(op1, !reverse);
    OutPt* op2b = DupOutPt(op2, reverse);
    LinkRuns(op1, op1b, op2, op2b, reverse);
    return op1b;
}

// Widens a to the start and b to the end of the horizontal run through a; false for a flat ring.
bool WidenRun(OutPt*& a, OutPt*& b, const OutPt* prevStop, const OutPt* nextStop) {
    const OutPt* start = a;
    b = a;
    while (a->prev->pt.Y == a->pt.Y && a->prev != start && a->prev != prevStop) a = a->prev;
    while (b->next->pt.Y == b->pt.Y && b->next != a && b->next != nextStop) b = b->next;
    return b->next != a && b->next != nextStop;
}

// Steps from op along next past the vertices at off; back at op when all of them are there.
OutPt* PastPoint(OutPt* op, const IntPoint& off) {
    OutPt* p = op->next;
    while (p != op && p->pt == off) p = p->next;
    return p;
}

// One ring touching itself at the join's point (strictly simple output): split it there.
bool JoinAtTouchingPoint(Join& join) {
    const OutPt* op1b = PastPoint(join.outPt1, join.offPt);
    const OutPt* op2b = PastPoint(join.outPt2, join.offPt);
    if (op1b == join.outPt1 || op2b == join.outPt2) return false;
    const bool reverse1 = op1b->pt.Y > join.offPt.Y;
    const bool reverse2 = op2b->pt.Y > join.offPt.Y;
    if (reverse1 == reverse2) return false;
    join.outPt2 = SpliceAt(join.outPt1, join.outPt2, reverse1);
    return true;
}

// Two horizontal runs along the join's scan line: joined where they overlap.
bool JoinHorizontalRuns(Join& join) {
    OutPt* op1 = join.outPt1;
    OutPt* op2 = join.outPt2;
    OutPt* op1b;
    OutPt* op2b;
    if (!WidenRun(op1, op1b, op2, op2)) return false;
    if (!WidenRun(op2, op2b, op1b, op1)) return false;
    std::int64_t left, right;
    if (!GetOverlap(op1->pt.X, op1b->pt.X, op2->pt.X, op2b->pt.X, left, right)) return false;
    // Join at the first run end inside the overlap; discard the side that points away.
    const OutPt* const candidates[4][2] = {{op1, op1b}, {op2, op2b}, {op1b, op1}, {op2b, op2}};
    std::size_t k = 0;
    while (k < 3 && !(candidates[k][0]->pt.X >= left && candidates[k][0]->pt.X <= right)) ++k;
    const IntPoint pt = candidates[k][0]->pt;
    const bool discardLeft = candidates[k][0]->pt.X > candidates[k][1]->pt.X;
    join.outPt1 = op1;
    join.outPt2 = op2;
    return JoinHorz(op1, op1b, op2, op2b, pt, discardLeft);
}

}  // namespace

void Engine::AddJoin(OutPt* op1, OutPt* op2, const IntPoint& offPt) { joins.push_back(Join{op1, op2, offPt}); }

void Engine::AddGhostJoin(OutPt* op, const IntPoint& offPt) { ghostJoins.push_back(Join{op, nullptr, offPt}); }

void Engine::ClearJoins() { joins.clear(); }

void Engine::ClearGhostJoins() { ghostJoins.clear(); }

void Engine::Reorient(OutRec* record) const {
    // A zero-area outer ring counts as wrongly oriented too.
    if ((record->isHole != reverseOutput) == (AreaSign(record->pts, useFullRange) > 0)) ReversePolyPtLinks(record->pts);
}

void Engine::FinishRings() {
    for (OutRec* record : outRecords) {
        if (record->pts && !record->isOpen) Reorient(record);
    }
    if (!joins.empty()) JoinCommonEdges();
    for (OutRec* record : outRecords) {
        if (record->pts) FixupOutPolygon(*record);
    }
    DropCancellingPairs();
    for (OutRec* record : outRecords) {
        if (!record->pts) continue;
        const int sign = AreaSign(record->pts, useFullRange);
        // A ring of no area encloses nothing: its rounded loops cancel.
        if (sign == 0) {
            DisposeOutPts(record->pts);
            continue;
        }
        SettleOrientation(record, sign);
        // Loops of a ring that joins merged from two rings need not nest one in another: an
        // outer ring and a hole lying apart can meet at a point. A merge turns no loop, and
        // their nesting would misjudge whole rings as turned by rounding.
        if (!record->merged) {
            OrientLoops(record->pts, record->isHole == reverseOutput, useFullRange,
                        [this, record](const OutPt* loop, const std::vector<const OutPt*>& loops) {
                            RowPoint p;
                            return InputKeeps(loop, loops, record, p);
                        });
        }
    }
    if (strictlySimple) DoSimplePolygons();
    SettleOrphanHoles();
}

void Engine::JoinCommonEdges() {
    for (Join& join : joins) {
        const std::size_t limit = outRecords.size();
        OutRec* r1 = GetOutRec(join.outPt1->index);
        OutRec* r2 = GetOutRec(join.outPt2->index);
        if (!r1->pts || !r2->pts) continue;
        const OutRec* holeStateRec = r1 == r2                             ? r1
                                     : Param1RightOfParam2(r1, r2, limit) ? r2
                                     : Param1RightOfParam2(r2, r1, limit) ? r1
                                                                          : Enclosing(r1, r2);
        if (!JoinPoints(join, r1, r2)) continue;
        if (r1 == r2) {
            SplitJoinedRing(join, r1);
        } else {
            MergeJoinedRings(r1, r2, holeStateRec);
        }
    }
}

void Engine::SplitJoinedRing(const Join& join, OutRec* r1) {
    r1->pts = join.outPt1;
    r1->bottomPt = nullptr;
    OutRec* r2 = CreateOutRec();
    r2->pts = join.outPt2;
    r2->merged = r1->merged;
    SetRingIndex(*r2);
    // Rings of the opposite hole state that r1 held may now lie in the split-off part. Kept
    // for both result forms: later joins decide hole states by these links.
    for (std::size_t i = 0; i + 1 < outRecords.size(); ++i) {
        OutRec* r = outRecords[i];
        if (!r->pts || ParseFirstLeft(r->firstLeft, outRecords.size()) != r1 || r->isHole == r1->isHole) continue;
        if (InSplitPart(*r, *r1, *r2)) r->firstLeft = r2;
    }
    SplitHoleState(r1, r2);
}

void Engine::MergeJoinedRings(OutRec* r1, OutRec* r2, const OutRec* holeStateRec) {
    r2->pts = nullptr;
    r2->bottomPt = nullptr;
    r2->index = r1->index;
    r1->isHole = holeStateRec->isHole;
    r1->merged = true;
    if (holeStateRec == r2) r1->firstLeft = r2->firstLeft;
    r2->firstLeft = r1;
    FixupFirstLefts2(r2, r1);
}

bool Engine::JoinPoints(Join& join, OutRec* rec1, OutRec* rec2) {
    OutPt* op1 = join.outPt1;
    OutPt* op2 = join.outPt2;
    const IntPoint& off = join.offPt;
    if (op1->pt.Y == off.Y) {
        if (off == op1->pt && off == op2->pt) return rec1 == rec2 && JoinAtTouchingPoint(join);
        return JoinHorizontalRuns(join);
    }
    bool reverse1, reverse2;
    const OutPt* op1b = SharedSegmentEnd(op1, off, useFullRange, reverse1);
    const OutPt* op2b = SharedSegmentEnd(op2, off, useFullRange, reverse2);
    if (!op1b || !op2b) return false;
    if (op1b == op1 || op2b == op2 || op1b == op2b || (rec1 == rec2 && reverse1 == reverse2)) return false;
    join.outPt2 = SpliceAt(op1, op2, reverse1);
    return true;
}

void Engine::FixupOutPolygon(OutRec& record) {
    record.bottomPt = nullptr;
    OutPt* p = record.pts;
    const OutPt* lastOK = nullptr;
    for (;;) {
        if (p->prev == p || p->prev == p->next) {
            DisposeOutPts(p);
            record.pts = nullptr;
            return;
        }
        const IntPoint& a = p->prev->pt;
        const IntPoint& c = p->next->pt;
        const bool redundant =
            p->pt == c || p->pt == a ||
            (SlopesEqual(a, p->pt, c, useFullRange) && (!preserveCollinear || !Pt2IsBetweenPt1AndPt3(a, p->pt, c)));
        if (redundant) {
            OutPt* gone = p;
            p->prev->next = p->next;
            p->next->prev = p->prev;
            p = p->prev;
            delete gone;
            lastOK = nullptr;
        } else if (p == lastOK) {
            break;
        } else {
            if (!lastOK) lastOK = p;
            p = p->next;
        }
    }
    record.pts = p;
}

void Engine::DropCancellingPairs() {
    // A ring and one that runs back along its points add nothing to any winding number. Edges
    // given twice make such pairs where rounded crossings on the shared edges defeat the joins
    // that would merge the two. Kept, each ring would be finished its own way: a thin loop
    // turned in one and not in the other, or the two cut apart at their repeated points into
    // parts that no longer pair up, which would then be taken for rings that hold or fill
    // something.
    std::map<std::tuple<int, std::int64_t, std::int64_t>, std::vector<OutRec*>> alikeRings;
    for (OutRec* record : outRecords) {
        if (!record->pts) continue;
        const IntPoint lowest = GetBottomPt(record->pts)->pt;
        std::vector<OutRec*>& alike = alikeRings[{PointCount(record->pts), lowest.X, lowest.Y}];
        const auto twin = std::find_if(alike.begin(), alike.end(),
                                       [record](const OutRec* r) { return RunsBackAlong(r->pts, record->pts); });
        if (twin == alike.end()) {
            alike.push_back(record);
            continue;
        }
        DisposeOutPts((*twin)->pts);
        DisposeOutPts(record->pts);
        alike.erase(twin);
    }
}

void Engine::DoSimplePolygons() {
    // The record each one was cut from; the parts of one ring are settled together.
    std::vector<OutRec*> origin(outRecords.begin(), outRecords.end());
    for (std::size_t i = 0; i < outRecords.size(); ++i) {
        OutRec* record = outRecords[i];
        OutPt* op = record->pts;
        if (!op || record->isOpen) continue;
        do {
            for (OutPt* op2 = op->next; op2 != record->pts; op2 = op2->next) {
                if (op->pt != op2->pt || op2->next == op || op2->prev == op) continue;
                SwapPredecessors(op, op2);  // cuts the ring in two at the repeated point
                record->pts = op;
                OutRec* part = CreateOutRec();
                part->pts = op2;
                SetRingIndex(*part);
                origin.push_back(origin[i]);
                op2 = op;  // search on from op
            }
            op = op->next;
        } while (op != record->pts);
    }
    for (std::size_t i = 0; i < origin.size(); ++i) {
        if (origin[i] != outRecords[i]) continue;
        std::vector<OutRec*> parts;
        for (std::size_t j = i; j < origin.size(); ++j) {
            if (origin[j] == outRecords[i]) parts.push_back(outRecords[j]);
        }
        if (parts.size() > 1) SettleParts(parts);
    }
}


void Engine::BuildResult(Paths& paths) const {
    paths.reserve(outRecords.size());
    for (const OutRec* record : outRecords) {
        if (record->pts && PointCount(record->pts) >= 2) paths.push_back(RingPath(record->pts));
    }
}

void Engine::BuildResult2(PolyTree& tree) {
    tree.Clear();
    tree.allNodes.reserve(outRecords.size());
    for (OutRec* record : outRecords) {
        if (PointCount(record->pts) < 3) continue;
        auto node = std::make_unique<PolyNode>();
        node->contour = RingPath(record->pts);
        record->polyNode = node.get();
        tree.allNodes.push_back(node.release());
    }
    const std::vector<double> sizes = RingSizes();
    for (OutRec* record : outRecords) {
        if (!record->polyNode) continue;
        const OutRec* holder = Container(*record, sizes);
        if (holder && holder->polyNode)
            holder->polyNode->AddChild(*record->polyNode);
        else
            tree.AddChild(*record->polyNode);
    }
}

}  // namespace clip
