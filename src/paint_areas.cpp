// Painting scatter areas: adding brush strokes to an area outline or erasing them from it,
// thinning outline vertices and telling a ring's orientation.
#include <vector>

#include "clipping/ClipError.h"
#include "clipping/Engine.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"
#include "custom_axis.h"
#include "module_functions.h"
#include "paint_conv.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

// The area with the brush added (or cut out when erasing), as a tree of outer rings and
// holes. A failed execution would leave an empty tree, which the caller would store as the
// new area: the painting would be lost, so it is raised instead.
static void paint_union(const clip::Paths &area, const clip::Path &brush, bool erase, clip::PolyTree &tree) {
    try {
        clip::Engine clipping(0);
        clipping.AddPaths(area, clip::Subject, true);  // degenerate rings are dropped
        clipping.AddPath(brush, clip::Clip, true);
        if (!clipping.Execute(erase ? clip::Difference : clip::Union, tree, clip::EvenOdd, clip::EvenOdd))
            throw RubyError(rb_eRuntimeError, "paint area %s failed: the clipping did not complete; the area is unchanged",
                            erase ? "erase" : "union");
    } catch (const clip::ClipError &error) {
        throw RubyError(rb_eRangeError, "%s", error.what());
    }
}

static VALUE paint_area_union(VALUE settings) {
    const bool project = read_flag(hash_value(settings, "project_custom_axis"));
    const math::Quat q = quat_from_z_to_axis(point3d_to_float3(hash_value(settings, "custom_axis")), false);
    const bool erase = read_flag(hash_value(settings, "erase"));
    clip::Paths area = paths_from_rb(hash_value(settings, "area"));
    if (project)
        for (clip::Path &path : area) rotate_path(path, q);
    clip::Path brush = path_from_rb(hash_value(settings, "circle"));
    if (project) rotate_path(brush, q);

    clip::PolyTree tree;
    paint_union(area, brush, erase, tree);
    clip::Paths rings;
    clip::PolyTreeToPaths(tree, rings);

    // Back into world coordinates when the work was done in the custom-axis frame.
    const math::Quat back = q.Inverted();
    VALUE flat = paths_to_rb(rings, project, back);
    VALUE nested = childs_to_rb(tree.childs, project, back);
    const VALUE result = protect([&] { return rb_ary_new_from_args(2, flat, nested); });
    RB_GC_GUARD(flat);
    RB_GC_GUARD(nested);
    return result;
}

// The ring without the vertices that lie closer than the tolerance to their successor.
// The ring's last point is its closing repeat and is dropped; the result is closed again
// by its own first point, and is empty when no point is kept.
static VALUE simplify_path(VALUE ring, double tol_sq) {
    const int n = array_length(ring);
    std::vector<math::float3> points;
    points.reserve(n);
    for (int i = 0; i < n; ++i) points.push_back(point3d_to_float3(rb_ary_entry(ring, i)));
    const VALUE result = new_array();
    // The last point is the ring's closing repeat of the first: it is left out, and the
    // result is closed again by its own first point (nil when every point was dropped).
    for (int i = 0; i + 1 < n; ++i) {
        if (static_cast<double>(points[i].DistanceSq(points[i + 1])) < tol_sq) continue;
        array_push(result, float3_to_point3d(points[i]));
    }
    if (n > 0) array_push(result, rb_ary_entry(result, 0));
    return result;
}

static VALUE simplify_polynode_childs(VALUE tree, double tol_sq) {
    TreeBuilder builder;
    walk_tree(tree, [&](VALUE entry, long depth) {
        builder.add(depth, simplify_path(rb_ary_entry(entry, 0), tol_sq), rb_ary_entry(entry, 1));
    });
    return builder.tree();
}

// Both simplifications take a tenth of the given tolerance, compared squared.
static double tolerance_squared(VALUE tol) {
    const double tenth = read_double(tol) / 10.0;
    return tenth * tenth;
}

static VALUE simplify_paths(VALUE paths, VALUE tol) {
    const double tol_sq = tolerance_squared(tol);
    const int n = array_length(paths);
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) array_push(result, simplify_path(array_entry(paths, i), tol_sq));
    return result;
}

}  // namespace engine

extern "C" VALUE cpp_paint_area_union(VALUE, VALUE settings) {
    return engine::guarded([&] { return engine::paint_area_union(settings); });
}

extern "C" VALUE cpp_paint_area_simplify_paths(VALUE, VALUE paths, VALUE tol) {
    return engine::guarded([&] { return engine::simplify_paths(paths, tol); });
}

extern "C" VALUE cpp_paint_area_simplify_polytree(VALUE, VALUE tree, VALUE tol) {
    return engine::guarded([&] { return engine::simplify_polynode_childs(tree, engine::tolerance_squared(tol)); });
}

extern "C" VALUE cpp_paint_area_path_orientation(VALUE, VALUE path) {
    return engine::guarded([&] { return clip::Orientation(engine::path_from_rb(path)) ? Qtrue : Qfalse; });
}
