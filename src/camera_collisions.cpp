// Filters that keep what a camera sees and remove instances whose footprints overlap.
// Both return the kept record objects themselves.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "Geometry/Plane.h"
#include "definitions.h"
#include "module_functions.h"
#include "random_draws.h"
#include "ruby_conv.h"
#include "overlaps.h"
#include "ruby_guard.h"
#include "shuffle.h"

namespace engine {

// ---------------------------------------------------------------- camera

struct View {
    math::float3 eye;
    math::float3 dir;
    math::Plane horizontal;  // through the eye, spanned by dir and right
    math::Plane vertical;    // through the eye, spanned by dir and up
    float half_h;
    float half_v;
};

static View read_view(VALUE camera, float margin, float eye_shift) {
    View view;
    view.eye = point3d_to_float3(array_entry(camera, 0));
    view.dir = point3d_to_float3(array_entry(camera, 1)).Normalized();
    const math::float3 up = point3d_to_float3(array_entry(camera, 2)).Normalized();
    const math::float3 right = up.Cross(view.dir).Normalized();
    const double hfov = read_double(array_entry(camera, 3));
    const double vfov = read_double(array_entry(camera, 4));
    if (eye_shift != 0.0f) view.eye = view.eye + view.dir.ScaledToLength(eye_shift);
    view.horizontal.Set(view.eye, view.eye + view.dir, view.eye + right);
    view.vertical.Set(view.eye, view.eye + view.dir, view.eye + up);
    view.half_h = (static_cast<float>(hfov) + margin) * 0.5f;
    view.half_v = (static_cast<float>(vfov) + margin) * 0.5f;
    return view;
}

static bool in_view(const View &view, const math::float3 &p) {
    const float a = view.dir.AngleBetween(view.horizontal.Project(p) - view.eye);
    if (!(a < view.half_h)) return false;
    const float b = view.dir.AngleBetween(view.vertical.Project(p) - view.eye);
    return b < view.half_v;
}

// Within the distance; in the band of width falloff just inside it, kept by chance
// growing towards the eye (one draw per record in the band).
static bool within_distance(const View &view, const math::float3 &p, float eye_shift, float max_distance,
                            float falloff) {
    const float d = view.eye.Distance(p) + eye_shift;
    if (max_distance < d) return false;
    if (falloff == 0.0f) return true;
    const float rem = max_distance - d;
    if (rem > falloff) return true;
    const float pct = percentage_draw();
    return rem / falloff * 100.0f >= pct;
}

static VALUE camera_filter(VALUE rows, VALUE camera, VALUE frustum_flag, VALUE margin_value, VALUE eye_shift_value,
                           VALUE distance_flag, VALUE max_distance_value, VALUE falloff_value, VALUE seed) {
    rng_seed(static_cast<unsigned>(read_int(seed)));
    const float max_distance = read_float(max_distance_value);
    const bool frustum = read_flag(frustum_flag);
    const float margin = frustum ? read_float(margin_value) : 0.0f;
    const float eye_shift = frustum ? read_float(eye_shift_value) : 0.0f;
    const bool distance = read_flag(distance_flag);
    const float falloff = distance ? read_float(falloff_value) : 0.0f;
    const View view = read_view(camera, margin, eye_shift);
    const int n = array_length(rows);
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) {
        const VALUE row = array_entry(rows, i);
        const math::float3 p = point3d_to_float3(array_entry(row, 0));
        if (frustum && !in_view(view, p)) continue;
        if (distance && !within_distance(view, p, eye_shift, max_distance, falloff)) continue;
        array_push(result, row);
    }
    return result;
}

// ---------------------------------------------------------------- collisions

struct HalfExtents {
    float rx, ry;
};

static std::vector<HalfExtents> footprint_half_extents(VALUE defs, int count, float pct) {
    std::vector<HalfExtents> extents;
    for (int i = 0; i < count; ++i) {
        const VALUE def = array_entry(defs, i);
        const bool centred = rb2cstr(array_entry(def, 3)) == "center";
        const math::float3 a = point3d_to_float3(array_entry(def, 4));
        const math::float3 b = point3d_to_float3(array_entry(def, 5));
        if (centred)
            extents.push_back({(b.x - a.x) * 0.5f * pct / 100.0f, (b.y - a.y) * 0.5f * pct / 100.0f});
        else
            extents.push_back({std::max(std::fabs(b.x), std::fabs(a.x)) * pct / 100.0f,
                               std::max(std::fabs(b.y), std::fabs(a.y)) * pct / 100.0f});
    }
    return extents;
}

static Footprint read_footprint(VALUE row, const std::vector<HalfExtents> &extents) {
    const math::float3 centre = point3d_to_float3(array_entry(row, 0));
    const int index = read_int(array_entry(row, 4));
    check_definition_index(index, static_cast<int>(extents.size()));
    read_double(array_entry(row, 2));  // must be a number, though the footprint ignores it
    const VALUE axis_scale = array_entry(row, 6);
    const float sx = read_float(array_entry(axis_scale, 0));
    const float sy = read_float(array_entry(axis_scale, 1));
    const HalfExtents &e = extents[index];
    return {centre, std::max(e.rx * sx, e.ry * sy)};
}

static VALUE collisions(VALUE rows, VALUE defs, VALUE size_percent, VALUE seed) {
    // Seeded for the steps that follow; the visiting order comes from the shuffle.
    rng_seed(static_cast<unsigned>(read_int(seed)));
    const int def_count = array_length(defs);
    const float pct = read_float(size_percent);
    const std::vector<HalfExtents> extents = footprint_half_extents(defs, def_count, pct);
    const int n = array_length(rows);
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    shuffle(order);
    // Read in the visiting order: the records are converted in the order the first
    // survivor would test them.
    std::vector<Footprint> footprints;
    footprints.reserve(order.size());
    for (const int index : order) footprints.push_back(read_footprint(array_entry(rows, index), extents));
    const std::vector<bool> removed = removed_by_overlaps(footprints);
    const VALUE result = new_array();
    for (size_t k = 0; k < order.size(); ++k)
        if (!removed[k]) array_push(result, array_entry(rows, order[k]));
    return result;
}

}  // namespace engine

extern "C" VALUE cpp_camera(VALUE, VALUE rows, VALUE camera, VALUE frustum_on, VALUE margin, VALUE eye_shift,
                            VALUE distance_on, VALUE max_distance, VALUE falloff, VALUE seed) {
    return engine::guarded([&] {
        return engine::camera_filter(rows, camera, frustum_on, margin, eye_shift, distance_on, max_distance, falloff,
                                     seed);
    });
}

extern "C" VALUE cpp_collisions(VALUE, VALUE rows, VALUE definitions, VALUE size_percent, VALUE seed) {
    return engine::guarded([&] { return engine::collisions(rows, definitions, size_percent, seed); });
}
