#include "camera_collisions.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "Geometry/Plane.h"
#include "overlaps.h"
#include "random_draws.h"
#include "reseeding_scope.h"
#include "shuffle.h"

namespace engine {

// ---------------------------------------------------------------- camera

namespace {
struct View {
    math::float3 eye;
    math::float3 dir;
    math::Plane horizontal;  // through the eye, spanned by dir and right
    math::Plane vertical;    // through the eye, spanned by dir and up
    float half_h;
    float half_v;
};
}  // namespace

static View make_view(const Camera &camera, float margin, float eye_shift) {
    View view;
    view.eye = camera.eye;
    view.dir = camera.dir.Normalized();
    const math::float3 up = camera.up.Normalized();
    const math::float3 right = up.Cross(view.dir).Normalized();
    if (eye_shift != 0.0f) view.eye = view.eye + view.dir.ScaledToLength(eye_shift);
    view.horizontal.Set(view.eye, view.eye + view.dir, view.eye + right);
    view.vertical.Set(view.eye, view.eye + view.dir, view.eye + up);
    view.half_h = (static_cast<float>(camera.hfov) + margin) * 0.5f;
    view.half_v = (static_cast<float>(camera.vfov) + margin) * 0.5f;
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

std::vector<int> camera_filter(const std::vector<math::float3> &positions, const Camera &camera,
                               const CameraSettings &s, Pace &pace) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    rng_seed(static_cast<unsigned>(s.seed));
    const float margin = s.frustum ? s.margin : 0.0f;
    const float eye_shift = s.frustum ? s.eye_shift : 0.0f;
    const float falloff = s.distance ? s.falloff : 0.0f;
    const View view = make_view(camera, margin, eye_shift);
    std::vector<int> kept;
    for (size_t i = 0; i < positions.size(); ++i) {
        pace.tick();
        const math::float3 &p = positions[i];
        if (s.frustum && !in_view(view, p)) continue;
        if (s.distance && !within_distance(view, p, eye_shift, s.max_distance, falloff)) continue;
        kept.push_back(static_cast<int>(i));
    }
    return kept;
}

// ---------------------------------------------------------------- collisions

namespace {
struct HalfExtents {
    float rx, ry;
};
}  // namespace

static std::vector<HalfExtents> footprint_half_extents(const std::vector<Definition> &definitions, float pct) {
    std::vector<HalfExtents> extents;
    for (const Definition &d : definitions) {
        const math::float3 &a = d.box_min, &b = d.box_max;
        if (d.centred)
            extents.push_back({(b.x - a.x) * 0.5f * pct / 100.0f, (b.y - a.y) * 0.5f * pct / 100.0f});
        else
            extents.push_back({std::max(std::fabs(b.x), std::fabs(a.x)) * pct / 100.0f,
                               std::max(std::fabs(b.y), std::fabs(a.y)) * pct / 100.0f});
    }
    return extents;
}

static bool has_definition(const PointRecord &r, const std::vector<HalfExtents> &extents) {
    return r.definition >= 0 && r.definition < static_cast<int>(extents.size());
}

static Footprint footprint_of(const PointRecord &r, const std::vector<HalfExtents> &extents) {
    const HalfExtents &e = extents[r.definition];
    return {r.position, std::max(e.rx * r.axis_scale.x, e.ry * r.axis_scale.y)};
}

// The footprints in the records' own order, which reads the records one after the other. A
// record without a valid definition fails the step, which names the first one it visits.
static std::vector<Footprint> footprints_of(const std::vector<PointRecord> &records,
                                            const std::vector<HalfExtents> &extents, const std::vector<int> &order,
                                            Pace &pace) {
    std::vector<Footprint> footprints;
    footprints.reserve(records.size());
    for (const PointRecord &r : records) {
        pace.tick();
        if (!has_definition(r, extents)) break;
        footprints.push_back(footprint_of(r, extents));
    }
    if (footprints.size() < records.size())
        for (const int index : order)
            check_definition_index(records[index].definition, static_cast<int>(extents.size()));
    return footprints;
}

std::vector<int> collisions(const std::vector<PointRecord> &records, const std::vector<Definition> &definitions,
                            float size_percent, int seed, Pace &pace) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    // Seeded for the steps that follow; the visiting order comes from the shuffle.
    rng_seed(static_cast<unsigned>(seed));
    const std::vector<HalfExtents> extents = footprint_half_extents(definitions, size_percent);
    std::vector<int> order(records.size());
    std::iota(order.begin(), order.end(), 0);
    shuffle(order);
    const std::vector<bool> removed = removed_by_overlaps(footprints_of(records, extents, order, pace), order, pace);
    std::vector<int> survivors;
    survivors.reserve(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        if (!removed[k]) survivors.push_back(order[k]);
    return survivors;
}

}  // namespace engine
