// The scene loaders: each converts everything it is given into a new part of the scene and
// swaps the part in only when the whole load succeeded. A load that fails leaves the scene
// as it was; a load run by a conversion inside another load is simply an earlier load,
// which the outer one then replaces.
#include "engine/custom_axis.h"
#include "engine/scene.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"
#include "scene_store.h"

namespace binding {

// The face normals of the installed surface. They live in a Ruby Array that the collector
// marks (and updates when it compacts), so the engine refers to them by index only.
static VALUE surface_normals = Qnil;

HeldScene hold_scene() {
    if (NIL_P(surface_normals)) {
        protect([] {
            // Registered before the Array is made: registering allocates, and a collection
            // then must already see the new Array.
            rb_gc_register_address(&surface_normals);
            surface_normals = rb_ary_new();
            return Qnil;
        });
    }
    return {engine::current_scene(), surface_normals};
}

static VALUE initialize_surface(VALUE faces, VALUE use_axis, VALUE axis) {
    hold_scene();  // the normals' store exists before the new surface is installed
    const math::Quat q = engine::quat_from_z_to_axis(read_point(axis, Where("axis")), false);
    const bool rotate = read_flag(use_axis);
    const Where faces_at("faces");
    VALUE list = snapshot(faces, faces_at);
    const int n = array_length(list, faces_at);
    std::vector<std::vector<math::float3>> vertices(n);
    const VALUE normals = new_array(n);
    RubyHooks hooks;
    engine::Pace pace(hooks);
    for (int i = 0; i < n; ++i) {
        pace.tick();
        Prefetch::ahead<Depth::grandchildren>(list, i);
        const Where face_at(faces_at, i);
        const VALUE face = array_entry(list, i, faces_at);
        vertices[i] = read_points(array_entry(face, 0, face_at), Where(face_at, 0L));
        array_push(normals, rb_ary_entry(face, 1));
    }
    auto surface = std::make_shared<const engine::Surface>(std::move(vertices), rotate, q);
    const float min_x = surface->bounds().minCorner.x;
    engine::install_surface(std::move(surface));
    surface_normals = normals;
    RB_GC_GUARD(list);
    return float_value(min_x);
}

static VALUE initialize_curves(VALUE curves) {
    const Where at("curves");
    VALUE list = snapshot(curves, at);
    const int n = array_length(list, at);
    std::vector<std::vector<math::float3>> points(n);
    RubyHooks hooks;
    engine::Pace pace(hooks);
    for (int i = 0; i < n; ++i) {
        pace.tick();
        points[i] = read_points(array_entry(list, i, at), Where(at, i));
    }
    engine::install_curves(engine::make_curves(points));
    RB_GC_GUARD(list);
    return Qtrue;
}

static VALUE initialize_object_areas(VALUE areas) {
    const Where at("areas");
    VALUE list = snapshot(areas, at);
    const int n = array_length(list, at);
    std::vector<std::vector<std::vector<math::float3>>> outlines(n);
    RubyHooks hooks;
    engine::Pace pace(hooks);
    for (int i = 0; i < n; ++i) {
        const Where object_at(at, i);
        const VALUE object = array_entry(list, i, at);
        const int k = array_length(object, object_at);
        for (int j = 0; j < k; ++j) {
            pace.tick();
            outlines[i].push_back(read_points(rb_ary_entry(object, j), Where(object_at, j)));
        }
    }
    engine::install_object_areas(std::make_shared<const engine::ObjectAreas>(std::move(outlines)));
    RB_GC_GUARD(list);
    return Qtrue;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_initialize_surface(VALUE, VALUE faces, VALUE use_axis, VALUE axis) {
    return guarded("cpp_initialize_surface", [&] { return binding::initialize_surface(faces, use_axis, axis); });
}

extern "C" VALUE cpp_initialize_curves(VALUE, VALUE curves) {
    return guarded("cpp_initialize_curves", [&] { return binding::initialize_curves(curves); });
}

extern "C" VALUE cpp_initialize_object_areas(VALUE, VALUE areas) {
    return guarded("cpp_initialize_object_areas", [&] { return binding::initialize_object_areas(areas); });
}
