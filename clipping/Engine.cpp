#include "clipping/Engine.h"

#include <cstdlib>

#include "clipping/ClipError.h"
#include "clipping/IntMath.h"

namespace clip {

// Holds the lock of one execution and disposes of its output records on every exit.
class Engine::ExecutionScope {
public:
    ExecutionScope(Engine& engine, ClipType clipType, PolyFillType subjectFill, PolyFillType clipFill)
        : engine_(engine) {
        engine_.executeLocked = true;
        engine_.clipType = clipType;
        engine_.subjectFillType = subjectFill;
        engine_.clipFillType = clipFill;
    }
    ~ExecutionScope() {
        engine_.DisposeAllOutRecs();
        engine_.ClearJoins();
        engine_.ClearGhostJoins();
        engine_.executeLocked = false;
    }
    ExecutionScope(const ExecutionScope&) = delete;
    ExecutionScope& operator=(const ExecutionScope&) = delete;

private:
    Engine& engine_;
};

Engine::Engine(int initOptions)
    : clipType(Intersection),
      activeEdges(nullptr),
      sortedEdges(nullptr),
      executeLocked(false),
      clipFillType(EvenOdd),
      subjectFillType(EvenOdd),
      reverseOutput((initOptions & ReverseSolution) != 0),
      strictlySimple((initOptions & StrictlySimple) != 0),
      zFill(nullptr) {
    preserveCollinear = (initOptions & PreserveCollinear) != 0;
}

Engine::~Engine() { DisposeAllOutRecs(); }

bool Engine::Execute(ClipType type, PolyTree& tree, PolyFillType subjectFill, PolyFillType clipFill) {
    if (executeLocked) return false;
    ExecutionScope scope(*this, type, subjectFill, clipFill);
    const bool succeeded = ExecuteInternal();
    if (succeeded) BuildResult2(tree);
    return succeeded;
}

bool Engine::Execute(ClipType type, Paths& solution, PolyFillType subjectFill, PolyFillType clipFill) {
    if (executeLocked) return false;
    if (hasOpenPaths) throw ClipError("Error: PolyTree struct is need for open path clipping.");
    solution.clear();
    ExecutionScope scope(*this, type, subjectFill, clipFill);
    const bool succeeded = ExecuteInternal();
    if (succeeded) BuildResult(solution);
    return succeeded;
}

void Engine::ZFillFunction(ZFillCallback callback) { zFill = callback; }

void Engine::SetZ(IntPoint& pt, const TEdge& e1, const TEdge& e2) {
    // Summed in 128 bits: four 64-bit values may overflow 64, their mean never does.
    const Int128 sum = static_cast<Int128>(e1.top.Z) + e1.bottom.Z + e2.bottom.Z + e2.top.Z;
    pt.Z = static_cast<std::int64_t>(sum / 4);
}

void Engine::Reset() {
    EngineBase::Reset();
    scanbeam = std::priority_queue<std::int64_t>();
    activeEdges = nullptr;
    sortedEdges = nullptr;
    for (const LocalMinimum& minimum : minimaList) InsertScanbeam(minimum.y);
}

bool Engine::ExecuteInternal() {
    try {
        Reset();
        if (minimaList.empty()) return true;
        std::int64_t botY = PopScanbeam();
        do {
            InsertLocalMinimaIntoAEL(botY);
            ClearGhostJoins();
            ProcessHorizontals(false);
            if (scanbeam.empty()) break;
            const std::int64_t topY = PopScanbeam();
            if (!ProcessIntersections(topY)) return false;
            ProcessEdgesAtTopOfScanbeam(topY);
            botY = topY;
        } while (!scanbeam.empty() || currentMinimum < minimaList.size());
    } catch (...) {
        return false;
    }
    FinishRings();
    return true;
}

void Engine::InsertScanbeam(std::int64_t y) { scanbeam.push(y); }

std::int64_t Engine::PopScanbeam() {
    const std::int64_t y = scanbeam.top();
    while (!scanbeam.empty() && scanbeam.top() == y) scanbeam.pop();
    return y;
}

void Engine::InsertLocalMinimaIntoAEL(std::int64_t botY) {
    while (currentMinimum < minimaList.size() && minimaList[currentMinimum].y == botY) {
        TEdge* lb = minimaList[currentMinimum].leftBound;
        TEdge* rb = minimaList[currentMinimum].rightBound;
        PopLocalMinima();
        InsertEdgeIntoAEL(lb, nullptr);
        InsertEdgeIntoAEL(rb, lb);
        SetWindingCount(*lb);
        rb->windCount = lb->windCount;
        rb->windCount2 = lb->windCount2;
        OutPt* op1 = IsContributing(*lb) ? AddLocalMinPoly(lb, rb, lb->bottom) : nullptr;
        InsertScanbeam(lb->top.Y);
        if (IsHorizontal(*rb)) {
            AddEdgeToSEL(rb);
        } else {
            InsertScanbeam(rb->top.Y);
        }
        if (op1 && IsHorizontal(*rb)) {
            for (const Join& ghost : ghostJoins) {
                if (HorzSegmentsOverlap(ghost.outPt1->pt.X, ghost.offPt.X, rb->bottom.X, rb->top.X))
                    AddJoin(ghost.outPt1, op1, ghost.offPt);
            }
        }
        TEdge* left = lb->prevActive;
        if (op1 && left && left->current.X == lb->bottom.X && left->outIndex >= 0 &&
            SlopesEqual(*left, *lb, useFullRange) && lb->windDelta != 0 && left->windDelta != 0) {
            AddJoin(op1, AddOutPt(left, lb->bottom), lb->top);
        }
        if (lb->nextActive == rb) continue;
        TEdge* beforeRb = rb->prevActive;
        if (rb->outIndex >= 0 && beforeRb->outIndex >= 0 && SlopesEqual(*beforeRb, *rb, useFullRange) &&
            rb->windDelta != 0 && beforeRb->windDelta != 0) {
            AddJoin(op1, AddOutPt(beforeRb, rb->bottom), rb->top);
        }
        for (TEdge* e = lb->nextActive; e != rb; e = e->nextActive) IntersectEdges(rb, e, lb->current);
    }
}

PolyFillType Engine::OwnFill(const TEdge& edge) const {
    return edge.polyType == Subject ? subjectFillType : clipFillType;
}

PolyFillType Engine::OtherFill(const TEdge& edge) const {
    return edge.polyType == Subject ? clipFillType : subjectFillType;
}

bool Engine::IsEvenOddFillType(const TEdge& edge) const { return OwnFill(edge) == EvenOdd; }

bool Engine::IsEvenOddAltFillType(const TEdge& edge) const { return OtherFill(edge) == EvenOdd; }

void Engine::SetWindingCount(TEdge& edge) const {
    const TEdge* e = edge.prevActive;
    while (e && (e->polyType != edge.polyType || e->windDelta == 0)) e = e->prevActive;
    const TEdge* from;
    if (!e) {
        edge.windCount = edge.windDelta;
        edge.windCount2 = 0;
        from = activeEdges;
    } else {
        const bool sameDirection = e->windDelta * edge.windDelta >= 0;
        const std::int32_t continued = sameDirection ? e->windCount + edge.windDelta : e->windCount;
        if (IsEvenOddFillType(edge)) {
            edge.windCount = edge.windDelta;
        } else if (e->windCount * e->windDelta < 0 && std::abs(e->windCount) <= 1) {
            edge.windCount = edge.windDelta;  // e brings its count back to zero
        } else {
            edge.windCount = continued;
        }
        edge.windCount2 = e->windCount2;
        from = e->nextActive;
    }
    const bool parity = IsEvenOddAltFillType(edge);
    for (; from != &edge; from = from->nextActive) {
        if (from->windDelta == 0) continue;
        edge.windCount2 = parity ? 1 - edge.windCount2 : edge.windCount2 + from->windDelta;
    }
}

bool Engine::IsContributing(const TEdge& edge) const {
    switch (OwnFill(edge)) {
        case NonZero:
            if (std::abs(edge.windCount) != 1) return false;
            break;
        case Positive:
            if (edge.windCount != 1) return false;
            break;
        case Negative:
            if (edge.windCount != -1) return false;
            break;
        case EvenOdd:
            break;
    }
    const std::int32_t w2 = edge.windCount2;
    bool insideOther = w2 != 0;
    if (OtherFill(edge) == Positive) insideOther = w2 > 0;
    if (OtherFill(edge) == Negative) insideOther = w2 < 0;
    switch (clipType) {
        case Intersection:
            return insideOther;
        case Union:
            return !insideOther;
        case Difference:
            return edge.polyType == Subject ? !insideOther : insideOther;
        case Xor:
            return true;
    }
    return false;
}

}  // namespace clip
