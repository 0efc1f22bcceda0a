// The camera and collision filters' module functions: both return the kept record objects
// themselves.
#include "engine/camera_collisions.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"

namespace binding {

static VALUE selected_rows(VALUE list, const std::vector<int> &selected, engine::Pace &pace) {
    return build_array(selected.size(), pace, [&](size_t k) { return RARRAY_AREF(list, selected[k]); });
}

static engine::Camera read_camera(VALUE camera, const Where &at) {
    engine::Camera c;
    c.eye = read_point(array_entry(camera, 0, at), Where(at, 0L));
    c.dir = read_point(array_entry(camera, 1, at), Where(at, 1L));
    c.up = read_point(array_entry(camera, 2, at), Where(at, 2L));
    c.hfov = read_double(array_entry(camera, 3, at), Where(at, 3L));
    c.vfov = read_double(array_entry(camera, 4, at), Where(at, 4L));
    return c;
}

static VALUE camera_filter(VALUE rows, VALUE camera, VALUE frustum_flag, VALUE margin, VALUE eye_shift,
                           VALUE distance_flag, VALUE max_distance, VALUE falloff, VALUE seed) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    engine::CameraSettings s{};
    s.seed = read_int(seed, Where("seed"));
    s.max_distance = read_float(max_distance, Where("max_distance"));
    s.frustum = read_flag(frustum_flag);
    if (s.frustum) {
        s.margin = read_float(margin, Where("margin"));
        s.eye_shift = read_float(eye_shift, Where("eye_shift"));
    }
    s.distance = read_flag(distance_flag);
    if (s.distance) s.falloff = read_float(falloff, Where("falloff"));
    const engine::Camera view = read_camera(camera, Where("camera"));
    const Where at("rows");
    VALUE list = snapshot(rows, at);
    const int n = array_length(list, at);
    std::vector<math::float3> positions(n);
    for (int i = 0; i < n; ++i) {
        pace.tick();
        Prefetch::ahead<Depth::elements>(list, i);
        positions[i] = RecordReader(list, i, at).position();
    }
    const VALUE result = selected_rows(list, engine::camera_filter(positions, view, s, pace), pace);
    RB_GC_GUARD(list);
    return result;
}

static VALUE collisions(VALUE rows, VALUE defs, VALUE size_percent, VALUE seed) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const int s = read_int(seed, Where("seed"));
    const Where defs_at("definitions");
    array_length(defs, defs_at);
    const float pct = read_float(size_percent, Where("size_percent"));
    const std::vector<engine::Definition> definitions = read_definitions(defs, kReadOrigin | kReadBox, defs_at);
    const Where at("rows");
    VALUE list = snapshot(rows, at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records =
        read_records(list, at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
            record.position = r.position();
            record.definition = r.definition();
            r.scale();  // must be a number, though the footprint ignores it
            record.axis_scale = r.plan_axis_scale();
        });
    const VALUE result = selected_rows(list, engine::collisions(records, definitions, pct, s, pace), pace);
    RB_GC_GUARD(list);
    return result;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_camera(VALUE, VALUE rows, VALUE camera, VALUE frustum_on, VALUE margin, VALUE eye_shift,
                            VALUE distance_on, VALUE max_distance, VALUE falloff, VALUE seed) {
    return guarded("cpp_camera", [&] {
        return binding::camera_filter(rows, camera, frustum_on, margin, eye_shift, distance_on, max_distance, falloff,
                                      seed);
    });
}

extern "C" VALUE cpp_collisions(VALUE, VALUE rows, VALUE definitions, VALUE size_percent, VALUE seed) {
    return guarded("cpp_collisions", [&] { return binding::collisions(rows, definitions, size_percent, seed); });
}
