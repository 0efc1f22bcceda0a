#pragma once

#include "clipping/Enums.h"
#include "clipping/IntPoint.h"

namespace clip {

// Splits self-intersecting and self-touching rings into simple rings covering the region the
// fill rule gives (a strictly simple union).
void SimplifyPolygon(const Path& in, Paths& out, PolyFillType fill = EvenOdd);
void SimplifyPolygons(const Paths& in, Paths& out, PolyFillType fill);
void SimplifyPolygons(Paths& polys, PolyFillType fill);

}  // namespace clip
