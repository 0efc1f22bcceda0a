// The area filters: records kept by where they lie in plan view against the outlines given
// in the call (curves, painted areas) or against the stored object footprints, each kept
// record carrying its distance to the nearest boundary measured.
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Geometry/AABB2D.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Polygon.h"
#include "Math/Quat.h"
#include "custom_axis.h"
#include "footprint_index.h"
#include "module_functions.h"
#include "prompt.h"
#include "random_draws.h"
#include "records.h"
#include "reference.h"
#include "ruby_conv.h"
#include "ruby_guard.h"
#include "scene.h"
#include "segment_grid.h"

namespace engine {

static constexpr float kNoDistance = -1.0f;
static constexpr int kCurves = 1;
static constexpr int kInside = 2;
static constexpr int kOutside = 3;

static math::float3 plan(const math::float3 &p) { return math::float3(p.x, p.y, 0.0f); }

// Appends a copy of row that shares its elements, with slot 5 set to distance when it held
// none (-1.0) or a larger one. Only the copy changes.
static void push_copy(VALUE copies, VALUE row, float distance) {
    const VALUE copy = append_copy(copies, row);
    const float old = read_float(array_entry(copy, 5));
    if (old == kNoDistance || old > distance) array_store(copy, 5, float_value(distance));
}

// One entry of the curve list in plan view: its segments and, for an area ring, its outline
// and x-y bounds. The bounds of an empty ring are empty, so it contains nothing. Built from
// the call's arguments, it refers back to no Ruby object.
struct Outline {
    math::Polygon polygon;
    math::PolygonAxes axes{};  // of the polygon, derived once for all records
    std::vector<math::LineSegment> segments;
    std::optional<SegmentGrid> grid;  // over the segments, once they are all read
    math::AABB2D bounds{math::float2(std::numeric_limits<float>::infinity()),
                        math::float2(-std::numeric_limits<float>::infinity())};

    void enclose(const math::float3 &v) {
        if (v.x < bounds.minCorner.x) bounds.minCorner.x = v.x;
        if (v.x > bounds.maxCorner.x) bounds.maxCorner.x = v.x;
        if (v.y < bounds.minCorner.y) bounds.minCorner.y = v.y;
        if (v.y > bounds.maxCorner.y) bounds.maxCorner.y = v.y;
    }

    bool contains(const math::float3 &p) const {
        return bounds.minCorner.x <= p.x && p.x <= bounds.maxCorner.x && bounds.minCorner.y <= p.y &&
               p.y <= bounds.maxCorner.y && polygon.Contains(p, 1e-5f, axes);
    }

    // To the nearest segment when that is nearer than `known` (any distance when known is
    // kNoDistance); otherwise some distance not below known, or kNoDistance, which both
    // leave known as it is. kNoDistance when no segment gives a finite distance.
    float distance(const math::float3 &p, float known) const {
        const double limit_sq = known == kNoDistance ? std::numeric_limits<double>::infinity()
                                                     : static_cast<double>(known) * known;
        const float d2 = use_reference_algorithms ? nearest_sq_by_scan(segments, p) : grid->nearest_sq(p, limit_sq);
        return d2 == kNoSegment ? kNoDistance : sqrtf(d2);
    }
};

struct AreaSettings {
    int mode;
    bool distances;
    bool rotate;
    math::Quat to_frame;
    int seed;
};

// A vertex of the curve list in plan view, in the custom-axis frame when asked.
static math::float3 outline_vertex(VALUE point, const AreaSettings &settings) {
    const math::float3 v = point3d_to_float3(point);
    return plan(settings.rotate ? settings.to_frame.Transform(v) : v);
}

// A curve: an Array of segments [Point, Point].
static Outline read_curve(VALUE curve, const AreaSettings &settings) {
    Outline outline;
    const int n = array_length(curve);
    for (int k = 0; k < n; ++k) {
        const VALUE segment = array_entry(curve, k);
        const math::float3 a = outline_vertex(array_entry(segment, 0), settings);
        const math::float3 b = outline_vertex(array_entry(segment, 1), settings);
        outline.segments.emplace_back(a, b);
    }
    outline.grid.emplace(outline.segments);
    return outline;
}

// An area ring: an Array of Points, closed back to the first.
static Outline read_ring(VALUE ring, const AreaSettings &settings) {
    Outline outline;
    std::vector<math::float3> &vertices = outline.polygon.vertices;
    const int n = array_length(ring);
    for (int k = 0; k < n; ++k) {
        vertices.push_back(outline_vertex(array_entry(ring, k), settings));
        outline.enclose(vertices.back());
    }
    for (int k = 0; k < n; ++k) outline.segments.emplace_back(vertices[k], vertices[(k + 1) % n]);
    outline.axes = outline.polygon.ContainmentAxes();
    outline.grid.emplace(outline.segments);
    return outline;
}

static bool qualifies(int mode, const Outline &outline, const math::float3 &p) {
    switch (mode) {
        case kCurves: return true;
        case kInside: return outline.contains(p);
        case kOutside: return !outline.contains(p);
        default: return false;
    }
}

struct RecordState {
    math::float3 position;  // in plan view
    float distance = kNoDistance;
    bool kept = false;
    bool done = false;
};

static std::vector<RecordState> read_record_states(VALUE points) {
    const int n = array_length(points);
    std::vector<RecordState> states(n);
    for (int i = 0; i < n; ++i) states[i].position = plan(point3d_to_float3(array_entry(array_entry(points, i), 0)));
    return states;
}

// Classifies every open record against one outline; false when the user aborts.
static bool apply_outline(const Outline &outline, const AreaSettings &settings, VALUE points,
                          std::vector<RecordState> &states, TimeLimitPrompt &prompt) {
    for (size_t i = 0; i < states.size(); ++i) {
        if (prompt.aborted()) return false;
        RecordState &state = states[i];
        if (state.done) continue;
        // Slot 4, then slot 2: neither is used, but both must be numbers.
        const VALUE row = array_entry(points, static_cast<long>(i));
        read_int(array_entry(row, 4));
        read_double(array_entry(row, 2));
        if (!qualifies(settings.mode, outline, state.position)) {
            if (settings.mode == kOutside) state.done = true;  // inside this area: dropped
            continue;
        }
        if (settings.distances) {
            const float d = outline.distance(state.position, state.distance);
            if (d != kNoDistance && (state.distance == kNoDistance || state.distance > d)) state.distance = d;
        }
        if (settings.mode != kOutside) state.kept = state.done = true;
    }
    return true;
}

// Any falloff, or a boundary check that measures, needs the distances.
static bool distances_wanted(VALUE hash) {
    const bool density_falloff = read_flag(hash_value(hash, "area_density_falloff"));
    const bool scale_falloff = read_flag(hash_value(hash, "area_scale_falloff"));
    const std::string boundary_check = rb2cstr(hash_value(hash, "boundary_check"));
    return density_falloff || scale_falloff || boundary_check == "distance" || boundary_check == "size";
}

static TimeLimitPrompt start_prompt(VALUE receiver, VALUE hash) {
    const VALUE warning = hash_value(hash, "global_warning_time");
    const VALUE elapsed = hash_value(hash, "elapsed_time");
    const VALUE confirmed = hash_value(hash, "confirmed");
    VALUE status = protect([&] { return rb_ary_new_from_args(3, warning, elapsed, confirmed); });
    TimeLimitPrompt prompt(receiver, status);
    RB_GC_GUARD(status);
    return prompt;
}

static VALUE kept_copies(VALUE points, const std::vector<RecordState> &states) {
    const VALUE copies = new_array();
    for (size_t i = 0; i < states.size(); ++i) {
        if (states[i].kept) push_copy(copies, array_entry(points, static_cast<long>(i)), states[i].distance);
    }
    return copies;
}

static VALUE areas(VALUE receiver, VALUE hash) {
    AreaSettings settings{};
    settings.mode = read_int(hash_value(hash, "include"));
    VALUE points = hash_value(hash, "points");
    VALUE entries = hash_value(hash, "curves");
    settings.distances = distances_wanted(hash);
    settings.rotate = read_flag(hash_value(hash, "project_custom_axis"));
    settings.to_frame = quat_from_z_to_axis(point3d_to_float3(hash_value(hash, "custom_axis")), false);
    settings.seed = read_int(hash_value(hash, "seed"));
    TimeLimitPrompt prompt = start_prompt(receiver, hash);

    std::vector<RecordState> states = read_record_states(points);
    const int entry_count = array_length(entries);
    for (int y = 0; y < entry_count; ++y) {
        rng_seed(static_cast<unsigned>(settings.seed));
        const VALUE entry = array_entry(entries, y);
        const Outline outline = settings.mode == kCurves ? read_curve(entry, settings) : read_ring(entry, settings);
        if (!apply_outline(outline, settings, points, states, prompt)) return aborted_triple();
    }
    if (settings.mode == kOutside) {
        for (RecordState &state : states) state.kept = state.kept || !state.done;  // inside no area
    }
    const VALUE copies = kept_copies(points, states);
    RB_GC_GUARD(points);
    RB_GC_GUARD(entries);
    return status_triple(false, prompt.confirmed(), copies);
}

// The stored footprints as the filter measures them. The index is rebuilt whenever a load
// ran since it was built: the prompt and the conversions run Ruby code, which may reload the
// footprints in the middle of a call. No Ruby code runs while a record is measured.
class StoredFootprints {
public:
    Clearance clearance(const math::float3 &p) {
        if (use_reference_algorithms) return clearance_by_scan(object_areas, p);
        if (!index_ || generation_ != object_areas_generation) {
            index_.emplace(object_areas);
            generation_ = object_areas_generation;
        }
        return index_->clearance(p);
    }

private:
    std::optional<FootprintIndex> index_;
    unsigned generation_ = 0;
};

static VALUE object_areas_filter(VALUE receiver, VALUE rows, VALUE timing) {
    const int n = array_length(rows);
    TimeLimitPrompt prompt(receiver, timing);
    const VALUE copies = new_array();
    StoredFootprints footprints;
    for (int i = 0; i < n; ++i) {
        if (prompt.aborted()) return aborted_triple();
        const VALUE row = array_entry(rows, i);
        const math::float3 p = plan(point3d_to_float3(array_entry(row, 0)));
        const Clearance clearance = footprints.clearance(p);
        if (clearance.keep) push_copy(copies, row, clearance.nearest);
    }
    return status_triple(false, prompt.confirmed(), copies);
}

}  // namespace engine

extern "C" VALUE cpp_areas(VALUE self, VALUE settings) {
    return engine::guarded([&] { return engine::areas(self, settings); });
}

extern "C" VALUE cpp_object_areas(VALUE self, VALUE rows, VALUE, VALUE timing) {
    return engine::guarded([&] { return engine::object_areas_filter(self, rows, timing); });
}
