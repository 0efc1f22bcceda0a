#pragma once

#include "clipping/IntPoint.h"

namespace clip {

// The quadrilaterals that each pattern edge sweeps along each path edge (a sum, or a
// difference when isSum is false); every one has non-negative area.
void Minkowski(const Path& poly, const Path& path, Paths& solution, bool isSum, bool isClosed);
// The outline of the pattern swept along the path.
void MinkowskiSum(const Path& pattern, const Path& path, Paths& solution, bool pathIsClosed);
// The same for several paths; closed paths are filled.
void MinkowskiSum(const Path& pattern, const Paths& paths, Paths& solution, bool pathIsClosed);
void MinkowskiDiff(const Path& poly1, const Path& poly2, Paths& solution);
// Vertex i of out is path[i] + delta, with Z 0; throws kRangeError on overflow.
void TranslatePath(const Path& path, Path& out, const IntPoint& delta);

}  // namespace clip
