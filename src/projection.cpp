// Dropping points vertically onto the topmost face that contains them.
#include <vector>

#include "Geometry/Line.h"
#include "Geometry/Plane.h"
#include "face_grid.h"
#include "module_functions.h"
#include "prompt.h"
#include "records.h"
#include "reference.h"
#include "ruby_conv.h"
#include "ruby_guard.h"
#include "scene.h"

namespace engine {

bool use_reference_algorithms = false;

static bool under_bounds(const math::AABB2D &b, const math::float3 &p) {
    return b.minCorner.x <= p.x && b.minCorner.y <= p.y && p.x <= b.maxCorner.x && p.y <= b.maxCorner.y;
}

// The faces as the projection tests them: their planes and containment axes computed once,
// and a grid over their bounds. Rebuilt whenever a surface load happens, even from inside
// the prompt.
class ProjectionFaces {
public:
    void refresh() {
        if (built_ && generation_ == surface_generation) return;
        planes_.clear();
        axes_.clear();
        for (const math::Polygon &face : surface) {
            planes_.push_back(face.PlaneCCW());
            axes_.push_back(face.ContainmentAxes());
        }
        grid_ = FaceGrid(poly_bboxes);
        generation_ = surface_generation;
        built_ = true;
    }

    // Whether face t holds the vertical line's hit and it is higher than `best`.
    bool hit(size_t t, const math::Line &line, bool found, math::float3 &best) const {
        if (!under_bounds(poly_bboxes[t], line.pos)) return false;
        float d = 0.0f;
        if (!planes_[t].Intersects(line, &d)) return false;
        const math::float3 h = line.GetPoint(d);
        if (!surface[t].Contains(h, 1e-5f, axes_[t]) || (found && !(h.z > best.z))) return false;
        best = h;
        return true;
    }

    // The highest point where the vertical line through p meets a face containing it; the
    // lower face index wins a tie. False when no face is hit.
    bool topmost_hit(const math::float3 &p, math::float3 &best, long &best_face) const {
        const math::Line line(p, math::float3(0.0f, 0.0f, -1.0f));
        bool found = false;
        auto test = [&](size_t t) {
            if (hit(t, line, found, best)) {
                best_face = static_cast<long>(t);
                found = true;
            }
        };
        if (use_reference_algorithms) {
            for (size_t t = 0; t < surface.size(); ++t) test(t);
        } else {
            for (int t : grid_.candidates(p.x, p.y)) test(static_cast<size_t>(t));
        }
        return found;
    }

private:
    std::vector<math::Plane> planes_;
    std::vector<math::PolygonAxes> axes_;
    FaceGrid grid_{{}};
    unsigned generation_ = 0;
    bool built_ = false;
};

static VALUE project_down(VALUE receiver, VALUE points, VALUE status) {
    const VALUE records = new_array();
    TimeLimitPrompt prompt(receiver, status);
    ProjectionFaces faces;
    for (long i = 0; i < array_length(points); ++i) {
        if (prompt.aborted()) return aborted_triple();
        const math::float3 p = point3d_to_float3(rb_ary_entry(points, i));
        // The prompt and the conversion may have run Ruby code that loaded another surface.
        faces.refresh();
        math::float3 hit;
        long face = 0;
        if (!faces.topmost_hit(p, hit, face)) continue;
        protect([&] { return rb_ary_push(records, new_point_record(new_point3d(hit), surface_normal(face), 0.0f)); });
    }
    return status_triple(false, prompt.confirmed(), records);
}

}  // namespace engine

extern "C" VALUE cpp_project_down(VALUE self, VALUE points, VALUE status) {
    return engine::guarded([&] { return engine::project_down(self, points, status); });
}
