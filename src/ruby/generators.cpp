// The point generators' module functions.
#include "engine/generators.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"
#include "scene_store.h"

namespace binding {

static VALUE generated_value(const engine::Generated &generated, engine::Pace &pace) {
    return generated.bare_points ? bare_points(generated.points, pace) : point_records(generated.points, pace);
}

static VALUE generate_uniform_points(VALUE sx, VALUE sy, VALUE jx, VALUE jy, VALUE ox, VALUE oy, VALUE angle,
                                     VALUE seed) {
    const HeldScene held = hold_scene();
    const engine::Scene &scene = *held.scene;
    const int s = read_int(seed, Where("seed"));
    RubyHooks hooks;
    engine::Pace pace(hooks);
    if (scene.kind == engine::SceneKind::surface) {
        const float a = read_float(angle, Where("angle"));
        // Named locals: the settings are read in this order.
        const float vsx = read_float(sx, Where("sx")), vsy = read_float(sy, Where("sy"));
        const float vjx = read_float(jx, Where("jx")), vjy = read_float(jy, Where("jy"));
        const float vox = read_float(ox, Where("ox")), voy = read_float(oy, Where("oy"));
        return generated_value(engine::grid_points(*scene.surface, a, s, {vsx, vsy, vjx, vjy, vox, voy}, pace), pace);
    }
    if (scene.kind == engine::SceneKind::curve) {
        const float spacing = read_float(sx, Where("sx"));
        const float offset = read_float(ox, Where("ox"));
        const float jitter = read_float(jx, Where("jx"));
        return generated_value(engine::curve_spacing_points(*scene.curves, s, spacing, offset, jitter, pace), pace);
    }
    return bare_points({}, pace);
}

static VALUE generate_random_points(VALUE density, VALUE mode, VALUE factor, VALUE seed) {
    const HeldScene held = hold_scene();
    const std::string m = read_text(mode, Where("mode"));
    const int s = read_int(seed, Where("seed"));
    const float dens = read_float(density, Where("density"));
    const float fac = read_float(factor, Where("factor"));
    RubyHooks hooks;
    engine::Pace pace(hooks);
    return generated_value(engine::random_points(*held.scene, {m == "projection", s, dens, fac}, pace), pace);
}

static VALUE generate_vertices_points(VALUE arg) {
    const HeldScene held = hold_scene();
    if (held.scene->kind != engine::SceneKind::curve) return arg;
    RubyHooks hooks;
    engine::Pace pace(hooks);
    return generated_value(engine::curve_vertex_points(*held.scene->curves), pace);
}

static VALUE generate_faces_points() {
    const HeldScene held = hold_scene();
    RubyHooks hooks;
    engine::Pace pace(hooks);
    return generated_value(engine::face_centre_points(*held.scene->surface), pace);
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_generate_uniform_points(VALUE, VALUE sx, VALUE sy, VALUE jx, VALUE jy, VALUE ox, VALUE oy,
                                              VALUE angle, VALUE seed) {
    return guarded("cpp_generate_uniform_points",
                   [&] { return binding::generate_uniform_points(sx, sy, jx, jy, ox, oy, angle, seed); });
}

extern "C" VALUE cpp_generate_random_points(VALUE, VALUE density, VALUE mode, VALUE factor, VALUE seed) {
    return guarded("cpp_generate_random_points",
                   [&] { return binding::generate_random_points(density, mode, factor, seed); });
}

extern "C" VALUE cpp_generate_vertices_points(VALUE, VALUE arg) {
    return guarded("cpp_generate_vertices_points", [&] { return binding::generate_vertices_points(arg); });
}

extern "C" VALUE cpp_generate_faces_points(VALUE) {
    return guarded("cpp_generate_faces_points", [] { return binding::generate_faces_points(); });
}
