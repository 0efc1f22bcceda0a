#pragma once

#include "clipping/IntPoint.h"
#include "clipping/OutRec.h"

namespace clip {

// Removes vertices closer than distance to a neighbour, vertices within distance of the line
// through their neighbours, and spikes; a ring left with fewer than three vertices comes back
// empty. Z rides along.
void CleanPolygon(const Path& in, Path& out, double distance);
void CleanPolygon(Path& poly, double distance);
// out is resized to in's size.
void CleanPolygons(const Paths& in, Paths& out, double distance);
void CleanPolygons(Paths& polys, double distance);

// (a.X - b.X)² + (a.Y - b.Y)² <= distSq, in doubles.
bool PointsAreClose(const IntPoint& a, const IntPoint& b, double distSq);
// Squared distance of pt from the line through l1 and l2, in doubles.
double DistanceFromLineSqrd(const IntPoint& pt, const IntPoint& l1, const IntPoint& l2);
// Whether whichever of the three points lies between the other two (along the axis of p1 and
// p2's larger difference) is nearer than sqrt(distSq) to the line through the other two.
bool SlopesNearCollinear(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3, double distSq);
// Unlinks op from its ring; returns op.prev, unmarked.
OutPt* ExcludeOp(OutPt* op);

}  // namespace clip
