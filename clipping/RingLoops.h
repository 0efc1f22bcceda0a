#pragma once

#include <functional>
#include <vector>

#include "clipping/OutRec.h"

namespace clip {

// Whether the input shows that one loop of a ring cut into loops runs as it should.
using LoopJudge = std::function<bool(const OutPt* loop, const std::vector<const OutPt*>& loops)>;

// Gives every thin loop of a ring that passes a point more than once the orientation its
// nesting among the ring's other loops asks for: that of the ring (positive when
// outerPositive) at even depth, the opposite at odd depth. The sweep builds every loop that
// way, but rounding crossing points to integers can turn a thin loop inside out. A ring that
// passes no point twice, a loop too large to have been turned (Thin), and a loop whose nesting
// cannot be told clear of rounding, or that overlaps another loop rather than nesting, stay as
// they are; so do all loops of a ring where a loop too large to have been turned runs against
// its nesting. A loop that would be turned is first put to the judge: one that the input
// shows to run as it should stays as it is. useFullRange as for SlopesEqual.
void OrientLoops(OutPt* pts, bool outerPositive, bool useFullRange, const LoopJudge& judge);

// Rounding moves each vertex by less than a unit, which changes the area of a ring by less
// than its perimeter: only a ring of smaller area can have been turned inside out by it.
bool Thin(const OutPt* ring);

// Whether ring1 lies inside ring2 (1) or outside (0), judged at ring1's vertex farthest from
// ring2's edges: near a point the two share, rounding may have moved one across the other.
// -1 when no vertex of ring1 lies clear of ring2's edges.
int FarContainment(const OutPt* ring1, const OutPt* ring2);

// Exchanges the predecessors of two vertices: splits a ring that runs through both into two
// loops, or joins the loops of the two into one ring.
void SwapPredecessors(OutPt* a, OutPt* b);

}  // namespace clip
