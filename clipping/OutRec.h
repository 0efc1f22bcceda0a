#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "clipping/IntPoint.h"

namespace clip {

class PolyNode;

// One vertex of an output ring: a node of a circular doubly linked list.
struct OutPt {
    std::int32_t index;  // the owning record's index
    IntPoint pt;
    OutPt* next;
    OutPt* prev;
};

// One output ring under construction. `pts` is the ring's left end while it grows; the
// ring is listed along `prev` from pts->prev in the results.
struct OutRec {
    std::int32_t index = 0;
    bool isHole = false;
    bool isOpen = false;
    bool merged = false;  // a join merged another ring into this one, or split it from such a ring
    OutRec* firstLeft = nullptr;  // the record that, as far as the sweep knows, contains this one
    PolyNode* polyNode = nullptr;
    OutPt* pts = nullptr;
    OutPt* bottomPt = nullptr;  // cached lowest vertex
};

// A request to merge two rings that run along the same segment; a ghost join has no outPt2.
struct Join {
    OutPt* outPt1;
    OutPt* outPt2;
    IntPoint offPt;
};

// Signed area of the ring starting at pts as the results list it; 0 for none.
double Area(const OutPt* pts);
double Area(const OutRec& record);
// The sign of that area, exact: summed in doubles, the area of a thin ring far from the
// origin can come out as zero or with the wrong sign. useFullRange as for SlopesEqual.
int AreaSign(const OutPt* pts, bool useFullRange);
// The sign of the rings' areas summed, exact for any coordinates.
int SummedAreaSign(const std::vector<const OutPt*>& rings);
int PointCount(const OutPt* pts);
// Whether ring b passes ring a's points (X and Y) in reverse order: the two enclose the same
// area with opposite signs.
bool RunsBackAlong(const OutPt* a, const OutPt* b);
void ReversePolyPtLinks(OutPt* pts);
void DisposeOutPts(OutPt*& pts);
// A copy of op linked in right after it (insertAfter) or right before it.
OutPt* DupOutPt(OutPt* op, bool insertAfter);
// The ring starting at op: 0 outside, 1 inside, -1 on the boundary.
int PointInPolygon(const IntPoint& pt, const OutPt* op);
bool Poly2ContainsPoly1(const OutPt* ring1, const OutPt* ring2);
bool PointIsVertex(const IntPoint& pt, const OutPt* op);
bool GetOverlap(std::int64_t a1, std::int64_t a2, std::int64_t b1, std::int64_t b2, std::int64_t& left,
                std::int64_t& right);
// Joins two horizontal runs at pt; false when they run the same way.
bool JoinHorz(OutPt* op1, OutPt* op1b, OutPt* op2, OutPt* op2b, const IntPoint& pt, bool discardLeft);

// The lowest vertex (largest Y, then smallest X) of a ring.
OutPt* GetBottomPt(OutPt* pts);
bool FirstIsBottomPt(const OutPt* btm1, const OutPt* btm2);
// The record whose lowest vertex is lower; it decides the hole state of a merge.
OutRec* GetLowermostRec(OutRec* rec1, OutRec* rec2);
// True when rec2 lies on rec1's firstLeft chain; the walk takes at most maxSteps links.
bool Param1RightOfParam2(const OutRec* rec1, const OutRec* rec2, std::size_t maxSteps);
// The first record with vertices on the firstLeft chain starting at rec (itself included).
OutRec* ParseFirstLeft(OutRec* rec, std::size_t maxSteps);

// Links op1 to op2 and op1b to op2b, closing one ring into two or two into one.
void LinkRuns(OutPt* op1, OutPt* op1b, OutPt* op2, OutPt* op2b, bool backward);

}  // namespace clip
