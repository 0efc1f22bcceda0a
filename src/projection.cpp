// Dropping points vertically onto the topmost face that contains them.
#include "Geometry/Line.h"
#include "Geometry/Plane.h"
#include "module_functions.h"
#include "prompt.h"
#include "records.h"
#include "ruby_conv.h"
#include "ruby_guard.h"
#include "scene.h"

namespace engine {

static bool under_bounds(const math::AABB2D &b, const math::float3 &p) {
    return b.minCorner.x <= p.x && b.minCorner.y <= p.y && p.x <= b.maxCorner.x && p.y <= b.maxCorner.y;
}

// The highest point where the vertical line through p meets a face containing it; the
// lower face index wins a tie. False when no face is hit.
static bool topmost_hit(const math::float3 &p, math::float3 &best, long &best_face) {
    const math::Line line(p, math::float3(0.0f, 0.0f, -1.0f));
    bool found = false;
    for (size_t t = 0; t < surface.size(); ++t) {
        if (!under_bounds(poly_bboxes[t], p)) continue;
        float d = 0.0f;
        if (!surface[t].PlaneCCW().Intersects(line, &d)) continue;
        const math::float3 h = line.GetPoint(d);
        if (surface[t].Contains(h, 1e-5f) && (!found || h.z > best.z)) {
            best = h;
            best_face = static_cast<long>(t);
            found = true;
        }
    }
    return found;
}

static VALUE project_down(VALUE receiver, VALUE points, VALUE status) {
    const VALUE records = new_array();
    TimeLimitPrompt prompt(receiver, status);
    // The prompt runs the host's Ruby code, which may even reload the scene: nothing that
    // refers into the scene state is held across it.
    for (long i = 0; i < array_length(points); ++i) {
        if (prompt.aborted()) return aborted_triple();
        const math::float3 p = point3d_to_float3(rb_ary_entry(points, i));
        math::float3 hit;
        long face = 0;
        if (!topmost_hit(p, hit, face)) continue;
        protect([&] { return rb_ary_push(records, new_point_record(new_point3d(hit), surface_normal(face), 0.0f)); });
    }
    return status_triple(false, prompt.confirmed(), records);
}

}  // namespace engine

extern "C" VALUE cpp_project_down(VALUE self, VALUE points, VALUE status) {
    return engine::guarded([&] { return engine::project_down(self, points, status); });
}
