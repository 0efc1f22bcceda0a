// Painting scatter areas: adding brush strokes to an area outline or erasing them from it,
// thinning outline vertices and telling a ring's orientation.
//
// The clip engine works on integers: a model coordinate v becomes trunc(v * 100000), so the
// grid is 0.00001 model units.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Math/Quat.h"
#include "Math/float3.h"
#include "clipping/IntPoint.h"
#include "clipping/Path.h"
#include "clipping/PolyTree.h"

namespace engine {

// A model coordinate as a clip engine integer, truncated toward zero; RangeError beyond the
// clip engine's range, or for NaN.
std::int64_t clip_coordinate_of(double model);
double model_coordinate(std::int64_t c);

math::float3 IntPoint_to_float3(const clip::IntPoint &pt);
// The vector's y and z trade places: z goes to the clip engine's Y.
clip::IntPoint float3_to_IntPoint(const math::float3 &v);

// Rotates a clip engine point by q, in single precision.
clip::IntPoint intpoint_quat_trans(const clip::IntPoint &pt, const math::Quat &q);
void rotate_path(clip::Path &path, const math::Quat &q);

// Rotates every contour of the nodes and their descendants in place; returns nodes.
std::vector<clip::PolyNode *> &childs_quat_trans(std::vector<clip::PolyNode *> &nodes, const math::Quat &q);

// The area with the brush added (or cut out when erasing), as a tree of outer rings and
// holes and as its flat list of rings. With project on, the work is done in the custom-axis
// frame that q turns into, and the caller turns the results back with q's inverse.
struct PaintResult {
    clip::PolyTree tree;
    clip::Paths rings;
};
std::unique_ptr<PaintResult> paint_union(clip::Paths area, clip::Path brush, bool erase, bool project,
                                         const math::Quat &q);

// The ring (its closing repeat of the first point already left out) without the points
// that lie closer than the tolerance to their successor: the indices of the points kept.
std::vector<int> simplified_ring(const std::vector<math::float3> &points, double tol_sq);

// Both simplifications take a tenth of the given tolerance, compared squared.
double tolerance_squared(double tol);

}  // namespace engine
