#pragma once

#include <cstdint>
#include <queue>
#include <vector>

#include "clipping/EngineBase.h"
#include "clipping/OutRec.h"
#include "clipping/PolyTree.h"
#include "clipping/RingLoops.h"
#include "clipping/RowPoint.h"

namespace clip {

// One crossing of two active edges inside the current scanbeam.
struct IntersectNode {
    TEdge* edge1;
    TEdge* edge2;
    IntPoint pt;
    long double y;  // the crossing's Y before rounding: it orders crossings that round alike
};

// Where edges e1 and e2 cross (Z 0), kept inside the scanbeam that ends at topY and inside
// the edges' spans. useFullRange as for SlopesEqual.
void IntersectPoint(const TEdge& e1, const TEdge& e2, std::int64_t topY, bool useFullRange, IntPoint& pt);
// The edge that closes a maximum with e, or null.
TEdge* GetMaximaPair(const TEdge& e);
void GetHorzDirection(const TEdge& h, Direction& dir, std::int64_t& left, std::int64_t& right);
TEdge* GetNextInAEL(const TEdge* e, Direction dir);
// True when the open X spans overlap (touching ends do not).
bool HorzSegmentsOverlap(std::int64_t a1, std::int64_t a2, std::int64_t b1, std::int64_t b2);
// Y where the lines of two edges cross; exact for coordinates below 2^20. A scan line of the
// edges when they are parallel.
long double CrossingY(const TEdge& e1, const TEdge& e2);
// The crossing with the larger Y comes first; of two that round to the same Y, the one whose
// unrounded Y is larger.
bool IntersectListSort(const IntersectNode& node1, const IntersectNode& node2);

using ZFillCallback = void (*)(IntPoint& bottom1, IntPoint& top1, IntPoint& bottom2, IntPoint& top2, IntPoint& pt);

// A boolean operation of the subject and clip paths added through EngineBase, computed by a
// scan-line sweep from the largest Y to the smallest. Z rides along: a vertex where two edges
// cross gets the truncated mean of the four edge ends' Z.
class Engine : public virtual EngineBase {
public:
    explicit Engine(int initOptions = 0);
    ~Engine() override;

    // False when already executing or when the sweep failed; the tree then keeps what it held.
    bool Execute(ClipType clipType, PolyTree& tree, PolyFillType subjectFill, PolyFillType clipFill);
    // False when already executing or when the sweep failed; the solution is then empty.
    bool Execute(ClipType clipType, Paths& solution, PolyFillType subjectFill, PolyFillType clipFill);
    // Stored only: it has no effect on any result.
    void ZFillFunction(ZFillCallback callback);
    static void SetZ(IntPoint& pt, const TEdge& e1, const TEdge& e2);

protected:
    void Reset() override;
    virtual bool ExecuteInternal();

private:
    class ExecutionScope;

    // Scanbeam and local minima.
    void InsertScanbeam(std::int64_t y);
    std::int64_t PopScanbeam();
    void InsertLocalMinimaIntoAEL(std::int64_t botY);
    void SetWindingCount(TEdge& edge) const;
    bool IsContributing(const TEdge& edge) const;
    bool IsEvenOddFillType(const TEdge& edge) const;
    bool IsEvenOddAltFillType(const TEdge& edge) const;
    PolyFillType OwnFill(const TEdge& edge) const;
    PolyFillType OtherFill(const TEdge& edge) const;

    // The active and sorted edge lists.
    void InsertEdgeIntoAEL(TEdge* edge, TEdge* startEdge);
    void DeleteFromAEL(TEdge* edge);
    void DeleteFromSEL(TEdge* edge);
    void AddEdgeToSEL(TEdge* edge);
    void CopyAELToSEL();
    void SwapPositionsInAEL(TEdge* e1, TEdge* e2);
    void SwapPositionsInSEL(TEdge* e1, TEdge* e2);
    void UpdateEdgeIntoAEL(TEdge*& edge);

    // Crossings.
    bool ProcessIntersections(std::int64_t topY);
    void BuildIntersectList(std::int64_t topY);
    bool FixupIntersectionOrder();
    void ProcessIntersectList();
    void DisposeIntersectNodes();
    void IntersectEdges(TEdge* e1, TEdge* e2, IntPoint& pt);
    void CrossWindingCounts(TEdge& e1, TEdge& e2) const;
    // Whether two non-contributing edges of one type start a ring where they cross.
    bool StartsRingAtCrossing(const TEdge& e1, const TEdge& e2) const;

    // Scan line tops, maxima and horizontals.
    void ProcessEdgesAtTopOfScanbeam(std::int64_t topY);
    void DoMaxima(TEdge* e);
    void ProcessHorizontals(bool atTop);
    void ProcessHorizontal(TEdge* h, bool atTop);
    // The horizontal h ends at a maximum with its pair.
    void CloseHorizontalMaximum(TEdge* h, TEdge* pair);
    void JoinWithNeighbour(OutPt* op, const TEdge* e);
    void JoinOverlappingHorizontals(const TEdge* h, OutPt* op);

    // Output rings.
    OutPt* AddOutPt(TEdge* e, const IntPoint& pt);
    OutPt* AddLocalMinPoly(TEdge* e1, TEdge* e2, const IntPoint& pt);
    void AddLocalMaxPoly(TEdge* e1, TEdge* e2, const IntPoint& pt);
    void AppendPolygon(TEdge* e1, TEdge* e2);
    OutRec* CreateOutRec();
    OutRec* GetOutRec(std::int32_t index) const;
    void SetHoleState(const TEdge* e, OutRec* record) const;
    void DisposeOutRec(std::size_t index);
    void DisposeAllOutRecs();

    // Finishing the rings and the results.
    void FinishRings();
    void AddJoin(OutPt* op1, OutPt* op2, const IntPoint& offPt);
    void AddGhostJoin(OutPt* op, const IntPoint& offPt);
    void ClearJoins();
    void ClearGhostJoins();
    void JoinCommonEdges();
    bool JoinPoints(Join& join, OutRec* rec1, OutRec* rec2);
    // Which of two rings a join merges decides the merged ring's hole state, when their links
    // do not tell.
    OutRec* Enclosing(OutRec* r1, OutRec* r2) const;
    void SplitJoinedRing(const Join& join, OutRec* r1);
    void MergeJoinedRings(OutRec* r1, OutRec* r2, const OutRec* holeStateRec);
    // Whether r, which the ring a join split held, lies in the part split off rather than in
    // the part kept.
    bool InSplitPart(const OutRec& r, const OutRec& kept, const OutRec& split) const;
    // Hole states and containing records of the two rings a join made of one.
    void SplitHoleState(OutRec* oldRec, OutRec* newRec);
    enum Nesting { NewInsideOld, OldInsideNew, Apart };
    Nesting JoinedPartsNesting(const OutRec* oldRec, const OutRec* newRec) const;
    void Reorient(OutRec* record) const;
    // Gives a ring that a join split off the hole state the way it runs says.
    void KeepDirection(OutRec* record);
    // Gives a ring the hole state that the way it runs (the sign of its area) says, once joins
    // are resolved.
    void SettleOrientation(OutRec* record, int sign);
    void FixupOutPolygon(OutRec& record);
    // Drops every pair of rings of which one runs back along the other.
    void DropCancellingPairs();
    void DoSimplePolygons();
    // Hole states and containing records of the parts a ring was cut into at its repeated
    // points, the first part in the ring's own record.
    void SettleParts(const std::vector<OutRec*>& parts);
    // What held the ring before it was cut: its containing record and its hole state.
    struct Holding {
        OutRec* outside;
        bool wholeIsHole;
    };
    // The record that holds r once the ring beside or around it is cut into parts: the
    // smallest part of the other hole state that contains r; failing that, what held the ring
    // when r has the ring's hole state, else the largest part of the other state.
    OutRec* PartHolder(const OutRec& r, const std::vector<OutRec*>& parts, const Holding& holding) const;
    // The smallest of the candidates with the other hole state that contains r, or null.
    OutRec* SmallestHolder(const OutRec& r, const std::vector<OutRec*>& candidates) const;
    void FixupFirstLefts1(OutRec* oldRec, OutRec* newRec);
    void FixupFirstLefts2(OutRec* oldRec, OutRec* newRec);
    // |area| of each finished ring, by record index.
    std::vector<double> RingSizes() const;
    // The nearest record on the firstLeft chain that can hold this one: with vertices, the
    // other hole state and larger (sizes from RingSizes).
    OutRec* Container(const OutRec& record, const std::vector<double>& sizes) const;
    // Finds the ring that holds a hole whose links lead to none; a hole that no ring holds is
    // an outer ring.
    void SettleOrphanHoles();
    // Judging rings by the input's winding numbers, where rounding cannot reach.
    template <class Visit>
    void ForEachInputEdge(Visit visit) const;
    // Whether the operation fills p; false when p lies on an input edge.
    bool InputFills(const RowPoint& p, bool& filled) const;
    // The point inside the ring farthest from every input edge, when farther than rounding
    // moves an edge; false when there is none.
    bool ClearInnerPoint(const OutPt* ring, RowPoint& p) const;
    // Winding number at p of the rings of every record but `skipped`, positive inside outer
    // rings; false when p lies on one of them.
    bool ResultWinding(const RowPoint& p, const OutRec* skipped, int& winding) const;
    // Whether the input shows that one loop of `record`'s ring (`ring` lists its loops, or
    // holds the whole ring) runs as it should: at the clear point p inside the loop, the
    // result's winding number, the ring as it runs, is the one the input asks for. False also
    // when no point is clear.
    bool InputKeeps(const OutPt* loop, const std::vector<const OutPt*>& ring, const OutRec* record, RowPoint& p) const;
    // Drops a hole and the rings inside it when their areas cancel: inside rings that do not
    // overlap, that leaves every winding number as it was.
    void DropIfCancelled(OutRec* hole);
    // The smallest ring of the other hole state that may hold r and covers p, or null.
    OutRec* HolderAt(const OutRec& r, const RowPoint& p) const;
    void BuildResult(Paths& paths) const;
    void BuildResult2(PolyTree& tree);

    std::vector<OutRec*> outRecords;
    std::vector<Join> joins;
    std::vector<Join> ghostJoins;
    std::vector<IntersectNode> intersections;
    ClipType clipType;
    std::priority_queue<std::int64_t> scanbeam;
    TEdge* activeEdges;
    TEdge* sortedEdges;
    bool executeLocked;
    PolyFillType clipFillType;
    PolyFillType subjectFillType;
    bool reverseOutput;
    bool strictlySimple;
    ZFillCallback zFill;
};

}  // namespace clip
