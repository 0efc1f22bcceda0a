// Paint-area outlines between Ruby and the clip engine.
//
// The clip engine works on integers: a model coordinate v becomes trunc(v * 100000), so the
// grid is 0.00001 model units. Outlines travel in Ruby as rings (Arrays of Points whose
// first Point is repeated at the end, the same object) and trees ([ring, is_hole, children]
// entries, outer rings at the top level).
#pragma once

#include <ruby.h>

#include <functional>
#include <vector>

#include "Math/Quat.h"
#include "Math/float3.h"
#include "clipping/IntPoint.h"
#include "clipping/PolyTree.h"

namespace engine {

// Deepest nesting of an outline tree read from Ruby.
constexpr int kMaxTreeDepth = 10000;

// Model units to clip engine points and back; a coordinate beyond the clip engine's range,
// or NaN, raises RangeError.
clip::IntPoint point3d_to_IntPoint(VALUE p);
VALUE IntPoint_to_point3d(const clip::IntPoint &pt);
math::float3 IntPoint_to_float3(const clip::IntPoint &pt);
// The vector's y and z trade places: z goes to the clip engine's Y.
clip::IntPoint float3_to_IntPoint(const math::float3 &v);

// Rotates a clip engine point by q, in single precision.
clip::IntPoint intpoint_quat_trans(const clip::IntPoint &pt, const math::Quat &q);

// One path per ring of the Ruby Array, each holding exactly the ring's points.
clip::Path path_from_rb(VALUE ring);
clip::Paths paths_from_rb(VALUE rings);
void rotate_path(clip::Path &path, const math::Quat &q);

// Outline rings and trees, rotated by q on the way out when rotate is on.
VALUE path_to_rb(const clip::Path &path, bool rotate, const math::Quat &q);
VALUE paths_to_rb(const clip::Paths &paths, bool rotate, const math::Quat &q);
VALUE childs_to_rb(const std::vector<clip::PolyNode *> &nodes, bool rotate, const math::Quat &q);

// Builds an outline tree in pre-order: an entry added at depth d goes into the children of
// the entry last added at depth d - 1, or into the tree itself at depth 0. A stack object:
// its Arrays are held by the C stack for the collector.
class TreeBuilder {
public:
    TreeBuilder();
    void add(long depth, VALUE ring, VALUE is_hole);
    VALUE tree() const;

private:
    VALUE levels_;  // levels_[d]: the Array that takes the entries at depth d
};

// Visits the entries of an outline tree in pre-order with their depths (0 at the top),
// without recursion; a tree nested deeper than kMaxTreeDepth raises ArgumentError. Every
// entry and every children list must be an Array.
void walk_tree(VALUE tree, const std::function<void(VALUE entry, long depth)> &visit);

// Rotates every contour of the nodes and their descendants in place; returns nodes.
std::vector<clip::PolyNode *> &childs_quat_trans(std::vector<clip::PolyNode *> &nodes, const math::Quat &q);

}  // namespace engine
