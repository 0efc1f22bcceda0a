// The point generators: candidate points on, above or along the loaded scene.
//
// Each generator reads its arguments, computes the points into C++ values, then builds the
// Ruby result in one go. Float arithmetic follows a fixed order; the loops count in
// integers, so that counts that a float cannot step through end with an error instead of
// running for ever.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Math/Quat.h"
#include "Math/float3x4.h"
#include "module_functions.h"
#include "random_draws.h"
#include "records.h"
#include "reference.h"
#include "ruby_conv.h"
#include "ruby_guard.h"
#include "scene.h"

namespace engine {

// More points than this in one call are refused: float counters stop counting there.
// (A NaN count passes: its loop makes no point.)
static constexpr double kMaxPoints = 16777216.0;  // 2^24
static const math::float3 kUp(0.0f, 0.0f, 1.0f);

static void check_count(double count, const char *what) {
    if (count > kMaxPoints) throw RubyError(rb_eRangeError, "%s would make more than 16777216 points", what);
}

// Adds up per-part counts, refusing any part or total past the cap. A NaN part (an
// infinite density on a part of zero size) makes no point and adds nothing.
class CountCheck {
public:
    explicit CountCheck(const char *what) : what_(what) {}
    void add(double count) {
        check_count(count, what_);
        if (count == count) total_ += count;
        check_count(total_, what_);
    }

private:
    const char *what_;
    double total_ = 0.0;
};

// Grid lines from start up to (not past) length: at least one, as the loops make it.
static double line_count(float length, float start, float step) {
    return std::max(1.0, std::ceil((static_cast<double>(length) - start) / step));
}

static void check_spacing(float spacing, const char *name) {
    if (!(spacing >= 0.0f)) throw RubyError(rb_eArgError, "%s must be a number of at least 0", name);
}

// The signed angle from +X to the horizontal direction of the segment.
static float heading(const math::LineSegment &s) {
    const math::float3 dir = s.Dir();
    math::float3 h(dir.x, dir.y, 0.0f);
    h.Normalize();
    const float angle = math::float3::unitX.AngleBetweenNorm(h);
    return math::float3::unitX.Cross(h).z < 0.0f ? -angle : angle;
}

static const math::float3 *first_surface_vertex() {
    for (const math::Polygon &face : surface)
        if (!face.vertices.empty()) return &face.vertices[0];
    return nullptr;
}

// The grid box: around every face vertex, its first two axes turned about +Z by the angle.
static math::OBB get_obb(float angle, const math::float3 &centre) {
    const float rad = angle * 0.017453292f;
    const math::Quat q = math::Quat::RotateZ(rad);
    const math::float3 e0 = q.Transform(math::float3(1.0f, 0.0f, 0.0f));
    const math::float3 e1 = q.Transform(math::float3(0.0f, 1.0f, 0.0f));
    math::OBB box(centre, math::float3(0.01f, 0.01f, 0.01f), e0, e1, kUp);
    for (const math::Polygon &face : surface)
        for (const math::float3 &v : face.vertices) box.Enclose(v);
    return box;
}

// The first grid line: the offset, reduced into one step when it is larger.
static float grid_start(float offset, float step) {
    return (offset == 0.0f || step > offset) ? offset : fmodf(offset, step);
}

static float grid_jitter(float step, float jitter) {
    if (jitter == 0.0f) return 0.0f;
    const float f = fraction_draw();
    return f * step * jitter * 0.01f;
}

static float advance(float coordinate, float step) {
    const float next = coordinate + step;
    if (next == coordinate) throw RubyError(rb_eRangeError, "grid spacing too small to advance past %g", coordinate);
    return next;
}

struct GridSettings {
    float sx, sy, jx, jy, ox, oy;
};

static std::vector<math::float3> surface_grid(const math::OBB &box, const GridSettings &g) {
    const math::float3x4 m = box.LocalToWorld();
    const float w = 2.0f * box.halfSize.x, h = 2.0f * box.halfSize.y, depth = 2.0f * box.halfSize.z;
    const float stepx = g.sx == 0.0f ? w : g.sx;
    const float stepy = g.sy == 0.0f ? h : g.sy;
    const float jx = g.sx == 0.0f ? 0.0f : g.jx;
    const float jy = g.sy == 0.0f ? 0.0f : g.jy;
    const float x0 = grid_start(g.ox, stepx), y0 = grid_start(g.oy, stepy);
    check_count(line_count(w, x0, stepx) * line_count(h, y0, stepy), "the grid");
    std::vector<math::float3> points;
    for (float x = x0 + 0.0001f; w > x; x = advance(x, stepx)) {
        for (float y = y0 + 0.0001f; h > y; y = advance(y, stepy)) {
            const float dx = grid_jitter(stepx, jx);
            const float dy = grid_jitter(stepy, jy);
            const float px = dx + x, py = y + dy;
            if (w >= px && h >= py) points.push_back(m.TransformPos(math::float3(px, py, depth)));
        }
    }
    return points;
}

static float curve_length(const std::vector<math::LineSegment> &curve) {
    float length = 0.0f;
    for (const math::LineSegment &s : curve) length += s.Length();
    return length;
}

// Points every S along each curve, the spacing running on across joints.
static std::vector<GeneratedPoint> curve_spacing(int seed, float spacing, float offset, float jitter) {
    CountCheck estimate("the curve spacing");
    for (const auto &curve : curves) estimate.add(curve_length(curve) / spacing);
    std::vector<GeneratedPoint> points;
    for (const auto &curve : curves) {
        if (curve.empty()) continue;
        rng_seed_offset(seed, curve[0].a.x);
        float d = (spacing > offset || offset == 0.0f) ? offset : fmodf(offset, spacing);
        for (math::LineSegment s : curve) {
            int stalls = 0;
            while (s.Length() > d) {
                const math::float3 p = s.ToRay().GetPoint(d);
                points.push_back({p, kUp, heading(s)});
                // A spacing below the float resolution at these coordinates never moves on.
                stalls = p.BitEquals(s.a) ? stalls + 1 : 0;
                if (stalls > 64) throw RubyError(rb_eRangeError, "curve spacing too small to advance");
                check_count(static_cast<double>(points.size()), "the curve spacing");
                s.a = p;
                const float j = jitter != 0.0f ? fraction_draw() * spacing * jitter * 0.01f : 0.0f;
                const float pct = percentage_draw();
                d = (pct <= 50.0f ? -j : j) + spacing;
            }
            d = d - s.Length();
        }
    }
    return points;
}

static VALUE generate_uniform_points(VALUE sx, VALUE sy, VALUE jx, VALUE jy, VALUE ox, VALUE oy, VALUE angle, VALUE seed) {
    const int s = read_int(seed);
    if (surface_type == "surface") {
        const float a = read_float(angle);
        const math::float3 *centre = first_surface_vertex();
        if (!centre) return build_points({});
        const math::OBB box = get_obb(a, *centre);
        rng_seed_offset(s, bbox.minCorner.x);
        // Named locals: the settings are read in this order.
        const float vsx = read_float(sx), vsy = read_float(sy), vjx = read_float(jx);
        const float vjy = read_float(jy), vox = read_float(ox), voy = read_float(oy);
        check_spacing(vsx, "sx");
        check_spacing(vsy, "sy");
        return build_points(surface_grid(box, {vsx, vsy, vjx, vjy, vox, voy}));
    }
    if (surface_type == "curve") {
        const float spacing = read_float(sx);
        check_spacing(spacing, "sx");
        if (spacing == 0.0f || curves.empty()) return build_point_records({});
        const float offset = read_float(ox);
        const float jitter = read_float(jx);
        return build_point_records(curve_spacing(s, spacing, offset, jitter));
    }
    return build_points({});
}

// A seed that is a multiple of the modulus would keep the generator at 0 for ever,
// putting every point of a face on one spot.
static void seed_face_generator(math::LCG &lcg, int seed) {
    const uint32_t modulus = 2147483647u;
    const uint32_t s = static_cast<uint32_t>(seed);
    lcg.Seed(s % modulus == 0 ? 1u : s, 69621u, 0u, modulus);
}

// How many points a face of this area gets: the whole part for sure, one more by chance.
static float face_point_count(const math::Polygon &face, float dens, float fac) {
    return face.Area() * dens * fac * dens * fac;
}

// Random points inside one face. Its triangulation is made at its first point and serves
// all the others: re-triangulating for every point would cost more than the draws. The
// reference triangulates for every point.
class FaceSampler {
public:
    explicit FaceSampler(const math::Polygon &face) : face_(face) {}

    math::float3 point(math::LCG &lcg) {
        if (use_reference_algorithms) return face_.FastRandomPointInside(lcg);
        if (!triangulated_) {
            triangles_ = face_.Triangulate();
            triangulated_ = true;
        }
        return math::RandomPointInTriangles(triangles_, lcg);
    }

private:
    const math::Polygon &face_;
    std::vector<math::Triangle> triangles_;
    bool triangulated_ = false;
};

static std::vector<GeneratedPoint> face_points(math::LCG &lcg, float dens, float fac) {
    CountCheck total("the density");
    for (const math::Polygon &face : surface) total.add(std::ceil(face_point_count(face, dens, fac)));
    std::vector<GeneratedPoint> points;
    for (const math::Polygon &face : surface) {
        const float v = face_point_count(face, dens, fac);
        const math::float3 normal = face.PlaneCCW().normal;
        FaceSampler sampler(face);
        for (long k = 0; v > static_cast<float>(k); ++k) {
            const float rem = v - static_cast<float>(k);
            if (rem >= 1.0f || rem * 100.0f >= percentage_draw())
                points.push_back({sampler.point(lcg), normal, 0.0f});
        }
    }
    return points;
}

static std::vector<math::float3> points_above_faces(int seed, float dens, float fac) {
    const math::float3 lo = bbox.minCorner, hi = bbox.maxCorner;
    if (!lo.IsFinite() || !hi.IsFinite()) return {};  // no face loaded
    rng_seed_offset(seed, lo.x);
    const float n = (dens * (hi.x - lo.x) * fac) * (dens * (hi.y - lo.y) * fac);
    check_count(std::ceil(n), "the density");
    std::vector<math::float3> points;
    for (long k = 0; n > static_cast<float>(k); ++k) {
        const float fx = fraction_draw();
        const float fy = fraction_draw();
        points.emplace_back((hi.x - lo.x) * fx + lo.x, (hi.y - lo.y) * fy + lo.y, hi.z);
    }
    return points;
}

// The point at arc length t along the curve; false where float error leaves t past its end.
static bool point_along(const std::vector<math::LineSegment> &curve, float t, GeneratedPoint &out) {
    for (const math::LineSegment &s : curve) {
        if (s.Length() > t) {
            out = {s.ToRay().GetPoint(t), kUp, heading(s)};
            return true;
        }
        t -= s.Length();
    }
    return false;
}

static std::vector<GeneratedPoint> random_curve_points(int seed, float dens, float fac) {
    CountCheck total("the density");
    for (const auto &curve : curves) total.add(std::ceil(dens * curve_length(curve) * fac));
    std::vector<GeneratedPoint> points;
    for (const auto &curve : curves) {
        if (curve.empty()) continue;
        rng_seed_offset(seed, curve[0].a.x);
        const float length = curve_length(curve);
        const float n = dens * length * fac;
        for (long k = 0; n > static_cast<float>(k); ++k) {
            const float t = fraction_draw() * length;
            GeneratedPoint p;
            if (point_along(curve, t, p)) points.push_back(p);
        }
    }
    return points;
}

static VALUE generate_random_points(VALUE density, VALUE mode, VALUE factor, VALUE seed) {
    const std::string m = rb2cstr(mode);
    const int s = read_int(seed);
    const float dens = read_float(density);
    const float fac = read_float(factor);
    math::LCG lcg;
    seed_face_generator(lcg, s);
    rng_seed(static_cast<unsigned>(s));
    if (surface_type == "curve") return build_point_records(random_curve_points(s, dens, fac));
    if (surface_type != "surface") return build_point_records({});
    if (m == "projection") return build_points(points_above_faces(s, dens, fac));
    return build_point_records(face_points(lcg, dens, fac));
}

// One record per curve vertex but the last: vertices 1 .. k-1, each with the heading of the
// segment that ends there, then vertex 0 with the heading of the first segment.
static VALUE generate_vertices_points(VALUE arg) {
    if (surface_type != "curve") return arg;
    std::vector<GeneratedPoint> points;
    for (const auto &curve : curves) {
        for (size_t j = 0; j + 1 < curve.size(); ++j) points.push_back({curve[j].b, kUp, heading(curve[j])});
        if (!curve.empty()) points.push_back({curve[0].a, kUp, heading(curve[0])});
    }
    return build_point_records(points);
}

static VALUE generate_faces_points() {
    std::vector<GeneratedPoint> points;
    points.reserve(surface.size());
    for (const math::Polygon &face : surface) points.push_back({face.Centroid(), face.PlaneCCW().normal, 0.0f});
    return build_point_records(points);
}

}  // namespace engine

extern "C" VALUE cpp_generate_uniform_points(VALUE, VALUE sx, VALUE sy, VALUE jx, VALUE jy, VALUE ox, VALUE oy,
                                              VALUE angle, VALUE seed) {
    return engine::guarded([&] { return engine::generate_uniform_points(sx, sy, jx, jy, ox, oy, angle, seed); });
}

extern "C" VALUE cpp_generate_random_points(VALUE, VALUE density, VALUE mode, VALUE factor, VALUE seed) {
    return engine::guarded([&] { return engine::generate_random_points(density, mode, factor, seed); });
}

extern "C" VALUE cpp_generate_vertices_points(VALUE, VALUE arg) {
    return engine::guarded([&] { return engine::generate_vertices_points(arg); });
}

extern "C" VALUE cpp_generate_faces_points(VALUE) {
    return engine::guarded([] { return engine::generate_faces_points(); });
}
