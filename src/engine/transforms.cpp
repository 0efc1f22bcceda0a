#include "transforms.h"

#include <cmath>

#include "Geometry/AABB.h"
#include "instance_composition.h"
#include "random_draws.h"
#include "reference.h"
#include "reseeding_scope.h"

namespace engine {

DrawRange DrawRange::of(double low, double high) {
    const float l = static_cast<float>(low);
    return {l, static_cast<float>(high) - l};
}

DrawRange DrawRange::percent(double low, double high) {
    const float l = static_cast<float>(low) / 100.0f;
    return {l, static_cast<float>(high) / 100.0f - l};
}

float DrawRange::value(int raw) const { return unit_value(raw) * width + lo; }

float DrawRange::draw() const { return value(rng_next()); }

ScaleSettings::ScaleSettings(bool randomise_, std::string mode_, const Bounds6 &p)
    : randomise(randomise_),
      mode(std::move(mode_)),
      x(DrawRange::percent(p.bound[0], p.bound[1])),
      y(DrawRange::percent(p.bound[2], p.bound[3])),
      z(DrawRange::percent(p.bound[4], p.bound[5])) {}

math::float3 ScaleSettings::draw() const {
    const float fx = x.draw();
    const float fy = (mode == "xyz" || mode == "xy") ? fx : y.draw();
    const float fz = mode == "xyz" ? fx : z.draw();
    return math::float3(fx, fy, fz);
}

std::vector<Scaled> scale_records(const std::vector<PointRecord> &records, const std::vector<Definition> &definitions,
                                  const ScaleSettings &settings, Pace &pace) {
    std::vector<Scaled> scaled;
    scaled.reserve(records.size());
    const ReseedingScope reseeding;  // every record reseeds
    for (const PointRecord &r : records) {
        pace.tick();
        Scaled out{false, 0.0f, math::float3(1.0f, 1.0f, 1.0f)};
        if (r.definition != -1) {
            check_definition_index(r.definition, static_cast<int>(definitions.size()));
            const double p = definitions[r.definition].scale_percent;
            out.rescaled = true;
            out.scale = static_cast<float>(p) / 100.0f * static_cast<float>(r.scale);
            rng_seed(static_cast<unsigned>(r.seed));
            if (settings.randomise) out.axis_scale = settings.draw();
        }
        scaled.push_back(out);
    }
    return scaled;
}

TransformRange::TransformRange(bool on_, const Bounds6 &b)
    : on(on_),
      x(DrawRange::of(b.bound[0], b.bound[1])),
      y(DrawRange::of(b.bound[2], b.bound[3])),
      z(DrawRange::of(b.bound[4], b.bound[5])) {}

math::float3 TransformRange::draw() const {
    const int rx = rng_next();
    const int ry = rng_next();
    const int rz = rng_next();
    return math::float3(x.value(rx), y.value(ry), z.value(rz));
}

static float round5(float c) { return roundf(c * 100000.0f) / 100000.0f; }

// Turns the instance from world up toward the record's normal, as far as `pointing` says.
static void point_along(InstanceComposition &m, const math::float3 &n, const TransformSettings &s) {
    const math::float3 rounded(round5(n.x), round5(n.y), round5(n.z));
    const math::float3 up(0.0f, 0.0f, 1.0f);
    if (rounded.x == 0.0f && rounded.y == 0.0f && rounded.z == 1.0f) return;
    const math::float3 target = up.Lerp(n, s.pointing / 100.0f);
    if (rounded.x == 0.0f && rounded.y == 0.0f && rounded.z == -1.0f)
        m.rotate_from_to(up, target);
    else if (!s.swap_yz)
        m.look_at(up, target, m.matrix().WorldY(), up);
    else
        m.look_at(math::float3(0.0f, 1.0f, 0.0f), target, m.matrix().WorldZ(), up);
}

// A step that applies with probability 1/4 per draw: at most one of the three, the draws
// stopping at the first that applies. Returns the index applied, or -1.
static int first_quarter_of_three() {
    for (int k = 0; k < 3; ++k)
        if (percentage_draw() <= 25.0f) return k;
    return -1;
}

math::float4x4 position_less_pivot_by_product(const math::float3 &pos, const math::float3 &pivot) {
    math::float4x4 m = math::float4x4::identity;
    m.SetTranslatePart(pos);
    math::float4x4 base = math::float4x4::identity;
    base.SetTranslatePart(pivot);
    return m * base.Inverted();
}

// With finite values the elimination inverts the pivot's translation to exactly 0 - pivot
// (which makes a zero +0), and every other term of the product is a zero that leaves its sum
// as it is. A NaN or an infinity spreads through those zero terms instead: the full product.
math::float4x4 position_less_pivot(const math::float3 &pos, const math::float3 &pivot) {
    if (!pos.IsFinite() || !pivot.IsFinite()) return position_less_pivot_by_product(pos, pivot);
    math::float4x4 m = math::float4x4::identity;
    m.SetTranslatePart((math::float3(0.0f, 0.0f, 0.0f) - pivot) + pos);
    return m;
}

static math::float4x4 instance_transform(const PointRecord &r, const std::vector<math::float3> &base_points,
                                         bool centred, const TransformSettings &s) {
    const math::float3 &pos = r.position;
    const double uniform = r.scale;
    math::float4x4 start = math::float4x4::identity;
    start.SetTranslatePart(pos);
    math::float3 pivot(0.0f, 0.0f, 0.0f);
    if (centred) {
        pivot = base_points[r.definition];
        start = use_reference_algorithms ? position_less_pivot_by_product(pos, pivot) : position_less_pivot(pos, pivot);
    }
    InstanceComposition m(start, pivot);
    if (s.pointing > 0.0f) point_along(m, r.normal, s);
    rng_seed(static_cast<unsigned>(r.seed));
    if (s.mirror) {
        static const math::float3 mirrors[3] = {{-1, 1, 1}, {1, -1, 1}, {-1, -1, 1}};
        const int k = first_quarter_of_three();
        if (k >= 0) m.scale(mirrors[k]);
    }
    if (s.vmirror && percentage_draw() <= 50.0f) m.scale(math::float3(1, 1, -1));
    if (s.translation.on) m.translate(s.translation.draw());
    const float u = static_cast<float>(uniform);
    if (u != 1.0f) m.scale(math::float3(u, u, u));
    if (s.scale) m.scale(r.axis_scale);
    m.rotate(Axis::z, r.heading);
    if (s.rotation.on) {
        const math::float3 a = s.rotation.draw();
        m.rotate(Axis::x, a.x);
        m.rotate(Axis::y, a.y);
        m.rotate(Axis::z, a.z);
    }
    if (s.quarter_turns) {
        static const float turns[3] = {1.5707964f, 3.1415927f, 4.712389f};
        static const math::float3x3 parts[3] = {axis_rotation(Axis::z, turns[0]), axis_rotation(Axis::z, turns[1]),
                                                axis_rotation(Axis::z, turns[2])};
        const int k = first_quarter_of_three();
        if (k >= 0) m.rotate(Axis::z, turns[k], parts[k]);
    }
    return m.matrix();
}

std::vector<Placement> random_transforms(const std::vector<PointRecord> &records,
                                         const std::vector<Definition> &definitions, const TransformSettings &settings,
                                         Pace &pace) {
    // Per definition: the centre of its box's bottom face.
    std::vector<math::float3> base_points;
    for (const Definition &d : definitions) base_points.push_back(math::AABB(d.box_min, d.box_max).FaceCenterPoint(4));
    std::vector<Placement> placements;
    placements.reserve(records.size());
    const ReseedingScope reseeding;  // every record reseeds
    for (const PointRecord &r : records) {
        pace.tick();
        if (r.definition == -1) continue;
        check_definition_index(r.definition, static_cast<int>(definitions.size()));
        const bool centred = definitions[r.definition].centred;
        placements.push_back({instance_transform(r, base_points, centred, settings), r.definition});
    }
    return placements;
}

}  // namespace engine
