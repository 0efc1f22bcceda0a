// The paint-area module functions: brush strokes added to or erased from an area outline,
// outline vertices thinned, a ring's orientation.
#include "engine/custom_axis.h"
#include "engine/paint_areas.h"
#include "clipping/Path.h"
#include "convert.h"
#include "guard.h"
#include "module_functions.h"

namespace binding {

static VALUE paint_area_union(VALUE settings) {
    const Where at("settings");
    const bool project = read_flag(hash_value(settings, "project_custom_axis", at));
    const math::Quat q = engine::quat_from_z_to_axis(
        read_point(hash_value(settings, "custom_axis", at), Where(at, "custom_axis")), false);
    const bool erase = read_flag(hash_value(settings, "erase", at));
    clip::Paths area = read_paths(hash_value(settings, "area", at), Where(at, "area"));
    clip::Path brush = read_path(hash_value(settings, "circle", at), Where(at, "circle"));

    const auto painted = engine::paint_union(std::move(area), std::move(brush), erase, project, q);

    // Back into world coordinates when the work was done in the custom-axis frame.
    const math::Quat back = q.Inverted();
    VALUE flat = paths_value(painted->rings, project, back);
    VALUE nested = tree_value(painted->tree.childs, project, back);
    const VALUE result = protect([&] { return rb_ary_new_from_args(2, flat, nested); });
    RB_GC_GUARD(flat);
    RB_GC_GUARD(nested);
    return result;
}

// The ring without the points that lie closer than the tolerance to their successor. Its
// last point is its closing repeat of the first and is left out; the result is closed again
// by its own first point, which is nil when no point is kept ([nil]), and it is empty only
// for an empty ring.
static VALUE simplify_path(VALUE ring, double tol_sq, const Where &at) {
    const std::vector<math::float3> points = read_points(ring, at);
    const std::vector<int> kept = engine::simplified_ring(points, tol_sq);
    const VALUE result = new_array();
    for (const int i : kept) array_push(result, point_value(points[i]));
    if (!points.empty()) array_push(result, rb_ary_entry(result, 0));
    return result;
}

static VALUE simplify_paths(VALUE paths, VALUE tol) {
    const double tol_sq = engine::tolerance_squared(read_double(tol, Where("tol")));
    const Where at("paths");
    const int n = array_length(paths, at);
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) array_push(result, simplify_path(array_entry(paths, i, at), tol_sq, Where(at, i)));
    return result;
}

static VALUE simplify_polytree(VALUE tree, VALUE tol) {
    const double tol_sq = engine::tolerance_squared(read_double(tol, Where("tol")));
    const Where at("tree");
    TreeBuilder builder;
    walk_tree(tree, at, [&](VALUE entry, long depth) {
        builder.add(depth, simplify_path(rb_ary_entry(entry, 0), tol_sq, at), rb_ary_entry(entry, 1));
    });
    return builder.tree();
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_paint_area_union(VALUE, VALUE settings) {
    return guarded("cpp_paint_area_union", [&] { return binding::paint_area_union(settings); });
}

extern "C" VALUE cpp_paint_area_simplify_paths(VALUE, VALUE paths, VALUE tol) {
    return guarded("cpp_paint_area_simplify_paths", [&] { return binding::simplify_paths(paths, tol); });
}

extern "C" VALUE cpp_paint_area_simplify_polytree(VALUE, VALUE tree, VALUE tol) {
    return guarded("cpp_paint_area_simplify_polytree", [&] { return binding::simplify_polytree(tree, tol); });
}

extern "C" VALUE cpp_paint_area_path_orientation(VALUE, VALUE path) {
    return guarded("cpp_paint_area_path_orientation",
                   [&] { return clip::Orientation(binding::read_path(path, binding::Where("path"))) ? Qtrue : Qfalse; });
}
