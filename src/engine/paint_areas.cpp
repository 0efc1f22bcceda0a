#include "paint_areas.h"

#include <cmath>

#include "clipping/ClipError.h"
#include "clipping/Engine.h"
#include "clipping/IntMath.h"
#include "clipping/TreePaths.h"
#include "error.h"

namespace engine {

static constexpr double kScale = 100000.0;

// Beyond 2^62 the clip engine refuses X and Y and the conversion itself would overflow; Z
// is held to the same range. NaN fails the comparison too.
static std::int64_t clip_coordinate(double scaled) {
    if (!(std::fabs(scaled) < 0x1p62)) fail(ErrorKind::range, "%s", clip::kRangeError);
    return static_cast<std::int64_t>(scaled);
}

std::int64_t clip_coordinate_of(double model) { return clip_coordinate(model * kScale); }

double model_coordinate(std::int64_t c) { return static_cast<double>(c) / kScale; }

math::float3 IntPoint_to_float3(const clip::IntPoint &pt) {
    const float s = static_cast<float>(kScale);
    return math::float3(static_cast<float>(pt.X) / s, static_cast<float>(pt.Y) / s, static_cast<float>(pt.Z) / s);
}

clip::IntPoint float3_to_IntPoint(const math::float3 &v) {
    const float s = static_cast<float>(kScale);
    return clip::IntPoint(clip_coordinate(v.x * s), clip_coordinate(v.z * s), clip_coordinate(v.y * s));
}

clip::IntPoint intpoint_quat_trans(const clip::IntPoint &pt, const math::Quat &q) {
    const math::float3 v =
        q.Transform(math::float3(static_cast<float>(pt.X), static_cast<float>(pt.Y), static_cast<float>(pt.Z)));
    return clip::IntPoint(clip_coordinate(v.x), clip_coordinate(v.y), clip_coordinate(v.z));
}

void rotate_path(clip::Path &path, const math::Quat &q) {
    for (clip::IntPoint &pt : path) pt = intpoint_quat_trans(pt, q);
}

std::vector<clip::PolyNode *> &childs_quat_trans(std::vector<clip::PolyNode *> &nodes, const math::Quat &q) {
    std::vector<clip::PolyNode *> pending(nodes.begin(), nodes.end());
    while (!pending.empty()) {
        clip::PolyNode *node = pending.back();
        pending.pop_back();
        rotate_path(node->contour, q);
        pending.insert(pending.end(), node->childs.begin(), node->childs.end());
    }
    return nodes;
}

// A failed execution would leave an empty tree, which the caller would store as the new
// area: the painting would be lost, so it is raised instead.
static void execute(const clip::Paths &area, const clip::Path &brush, bool erase, clip::PolyTree &tree) {
    try {
        clip::Engine clipping(0);
        clipping.AddPaths(area, clip::Subject, true);  // degenerate rings are dropped
        clipping.AddPath(brush, clip::Clip, true);
        if (!clipping.Execute(erase ? clip::Difference : clip::Union, tree, clip::EvenOdd, clip::EvenOdd))
            fail(ErrorKind::runtime, "paint area %s failed: the clipping did not complete; the area is unchanged",
                 erase ? "erase" : "union");
    } catch (const clip::ClipError &error) {
        fail(ErrorKind::range, "%s", error.what());
    }
}

std::unique_ptr<PaintResult> paint_union(clip::Paths area, clip::Path brush, bool erase, bool project,
                                         const math::Quat &q) {
    if (project) {
        for (clip::Path &path : area) rotate_path(path, q);
        rotate_path(brush, q);
    }
    auto result = std::make_unique<PaintResult>();
    execute(area, brush, erase, result->tree);
    clip::PolyTreeToPaths(result->tree, result->rings);
    return result;
}

std::vector<int> simplified_ring(const std::vector<math::float3> &points, double tol_sq) {
    std::vector<int> kept;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        if (static_cast<double>(points[i].DistanceSq(points[i + 1])) < tol_sq) continue;
        kept.push_back(static_cast<int>(i));
    }
    return kept;
}

double tolerance_squared(double tol) {
    const double tenth = tol / 10.0;
    return tenth * tenth;
}

}  // namespace engine
