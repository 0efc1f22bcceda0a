// Float arithmetic follows a fixed order; the loops count in integers, so that counts that a
// float cannot step through end with an error instead of running for ever.
#include "generators.h"

#include <algorithm>
#include <cmath>

#include "Algorithm/Random/LCG.h"
#include "Geometry/OBB.h"
#include "Geometry/Ray.h"
#include "Math/float3x4.h"
#include "error.h"
#include "random_draws.h"
#include "reseeding_scope.h"
#include "reference.h"

namespace engine {

// More points than this in one call are refused: float counters stop counting there.
// (A NaN count passes: its loop makes no point.)
static constexpr double kMaxPoints = 16777216.0;  // 2^24
static const math::float3 kUp(0.0f, 0.0f, 1.0f);

static void check_count(double count, const char *what) {
    if (count > kMaxPoints) fail(ErrorKind::range, "%s would make more than 16777216 points", what);
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
    if (!(spacing >= 0.0f)) fail(ErrorKind::argument, "%s must be a number of at least 0", name);
}

// The signed angle from +X to the horizontal direction of the segment.
static float heading(const math::LineSegment &s) {
    const math::float3 dir = s.Dir();
    math::float3 h(dir.x, dir.y, 0.0f);
    h.Normalize();
    const float angle = math::float3::unitX.AngleBetweenNorm(h);
    return math::float3::unitX.Cross(h).z < 0.0f ? -angle : angle;
}

static const math::float3 *first_vertex(const Surface &surface) {
    for (const math::Polygon &face : surface.faces())
        if (!face.vertices.empty()) return &face.vertices[0];
    return nullptr;
}

// The grid box: around every face vertex, its first two axes turned about +Z by the angle.
static math::OBB grid_box(const Surface &surface, float angle, const math::float3 &centre) {
    const float rad = angle * 0.017453292f;
    const math::Quat q = math::Quat::RotateZ(rad);
    const math::float3 e0 = q.Transform(math::float3(1.0f, 0.0f, 0.0f));
    const math::float3 e1 = q.Transform(math::float3(0.0f, 1.0f, 0.0f));
    math::OBB box(centre, math::float3(0.01f, 0.01f, 0.01f), e0, e1, kUp);
    for (const math::Polygon &face : surface.faces())
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
    if (next == coordinate) fail(ErrorKind::range, "grid spacing too small to advance past %g", coordinate);
    return next;
}

static std::vector<GeneratedPoint> surface_grid(const math::OBB &box, const GridSettings &g, Pace &pace) {
    const math::float3x4 m = box.LocalToWorld();
    const float w = 2.0f * box.halfSize.x, h = 2.0f * box.halfSize.y, depth = 2.0f * box.halfSize.z;
    const float stepx = g.sx == 0.0f ? w : g.sx;
    const float stepy = g.sy == 0.0f ? h : g.sy;
    const float jx = g.sx == 0.0f ? 0.0f : g.jx;
    const float jy = g.sy == 0.0f ? 0.0f : g.jy;
    const float x0 = grid_start(g.ox, stepx), y0 = grid_start(g.oy, stepy);
    const double crossings = line_count(w, x0, stepx) * line_count(h, y0, stepy);
    check_count(crossings, "the grid");
    std::vector<GeneratedPoint> points;
    if (crossings == crossings) points.reserve(static_cast<size_t>(crossings));  // about one point per crossing
    for (float x = x0 + 0.0001f; w > x; x = advance(x, stepx)) {
        for (float y = y0 + 0.0001f; h > y; y = advance(y, stepy)) {
            pace.tick();
            const float dx = grid_jitter(stepx, jx);
            const float dy = grid_jitter(stepy, jy);
            const float px = dx + x, py = y + dy;
            if (w >= px && h >= py) points.push_back({m.TransformPos(math::float3(px, py, depth)), kUp, 0.0f});
        }
    }
    return points;
}

Generated grid_points(const Surface &surface, float angle, int seed, const GridSettings &grid, Pace &pace) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    const math::float3 *centre = first_vertex(surface);
    if (!centre) return {true, {}};
    const math::OBB box = grid_box(surface, angle, *centre);
    rng_seed_offset(seed, surface.bounds().minCorner.x);
    check_spacing(grid.sx, "sx");
    check_spacing(grid.sy, "sy");
    return {true, surface_grid(box, grid, pace)};
}

static float curve_length(const std::vector<math::LineSegment> &curve) {
    float length = 0.0f;
    for (const math::LineSegment &s : curve) length += s.Length();
    return length;
}

Generated curve_spacing_points(const Curves &curves, int seed, float spacing, float offset, float jitter, Pace &pace) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    check_spacing(spacing, "sx");
    if (spacing == 0.0f || curves.empty()) return {};
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
                pace.tick();
                const math::float3 p = s.ToRay().GetPoint(d);
                points.push_back({p, kUp, heading(s)});
                // A spacing below the float resolution at these coordinates never moves on.
                stalls = p.BitEquals(s.a) ? stalls + 1 : 0;
                if (stalls > 64) fail(ErrorKind::range, "curve spacing too small to advance");
                check_count(static_cast<double>(points.size()), "the curve spacing");
                s.a = p;
                const float j = jitter != 0.0f ? fraction_draw() * spacing * jitter * 0.01f : 0.0f;
                const float pct = percentage_draw();
                d = (pct <= 50.0f ? -j : j) + spacing;
            }
            d = d - s.Length();
        }
    }
    return {false, std::move(points)};
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
// reference triangulates for every point. A large face's triangulation keeps the pace too.
class FaceSampler {
public:
    FaceSampler(const math::Polygon &face, Pace &pace) : face_(face), pace_(pace) {}

    math::float3 point(math::LCG &lcg) {
        if (use_reference_algorithms) return face_.FastRandomPointInside(lcg);
        if (!triangulated_) {
            triangles_ = face_.Triangulate([this] { pace_.tick(); });
            triangulated_ = true;
        }
        return math::RandomPointInTriangles(triangles_, lcg);
    }

private:
    const math::Polygon &face_;
    Pace &pace_;
    std::vector<math::Triangle> triangles_;
    bool triangulated_ = false;
};

static std::vector<GeneratedPoint> face_points(const Surface &surface, math::LCG &lcg, float dens, float fac,
                                               Pace &pace) {
    CountCheck total("the density");
    for (const math::Polygon &face : surface.faces()) total.add(std::ceil(face_point_count(face, dens, fac)));
    std::vector<GeneratedPoint> points;
    for (const math::Polygon &face : surface.faces()) {
        const float v = face_point_count(face, dens, fac);
        const math::float3 normal = face.PlaneCCW().normal;
        FaceSampler sampler(face, pace);
        for (long k = 0; v > static_cast<float>(k); ++k) {
            pace.tick();
            const float rem = v - static_cast<float>(k);
            if (rem >= 1.0f || rem * 100.0f >= percentage_draw())
                points.push_back({sampler.point(lcg), normal, 0.0f});
        }
    }
    return points;
}

static std::vector<GeneratedPoint> points_above_faces(const Surface &surface, int seed, float dens, float fac,
                                                      Pace &pace) {
    const math::float3 lo = surface.bounds().minCorner, hi = surface.bounds().maxCorner;
    if (!lo.IsFinite() || !hi.IsFinite()) return {};  // no face loaded
    rng_seed_offset(seed, lo.x);
    const float n = (dens * (hi.x - lo.x) * fac) * (dens * (hi.y - lo.y) * fac);
    check_count(std::ceil(n), "the density");
    std::vector<GeneratedPoint> points;
    for (long k = 0; n > static_cast<float>(k); ++k) {
        pace.tick();
        const float fx = fraction_draw();
        const float fy = fraction_draw();
        points.push_back({math::float3((hi.x - lo.x) * fx + lo.x, (hi.y - lo.y) * fy + lo.y, hi.z), kUp, 0.0f});
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

static std::vector<GeneratedPoint> random_curve_points(const Curves &curves, int seed, float dens, float fac,
                                                       Pace &pace) {
    CountCheck total("the density");
    for (const auto &curve : curves) total.add(std::ceil(dens * curve_length(curve) * fac));
    std::vector<GeneratedPoint> points;
    for (const auto &curve : curves) {
        if (curve.empty()) continue;
        rng_seed_offset(seed, curve[0].a.x);
        const float length = curve_length(curve);
        const float n = dens * length * fac;
        for (long k = 0; n > static_cast<float>(k); ++k) {
            pace.tick();
            const float t = fraction_draw() * length;
            GeneratedPoint p;
            if (point_along(curve, t, p)) points.push_back(p);
        }
    }
    return points;
}

Generated random_points(const Scene &scene, const DensitySettings &s, Pace &pace) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    math::LCG lcg;
    seed_face_generator(lcg, s.seed);
    rng_seed(static_cast<unsigned>(s.seed));
    if (scene.kind == SceneKind::curve) return {false, random_curve_points(*scene.curves, s.seed, s.density, s.factor, pace)};
    if (scene.kind != SceneKind::surface) return {};
    if (s.above_faces) return {true, points_above_faces(*scene.surface, s.seed, s.density, s.factor, pace)};
    return {false, face_points(*scene.surface, lcg, s.density, s.factor, pace)};
}

Generated curve_vertex_points(const Curves &curves) {
    Generated out;
    for (const auto &curve : curves) {
        for (size_t j = 0; j + 1 < curve.size(); ++j) out.points.push_back({curve[j].b, kUp, heading(curve[j])});
        if (!curve.empty()) out.points.push_back({curve[0].a, kUp, heading(curve[0])});
    }
    return out;
}

Generated face_centre_points(const Surface &surface) {
    Generated out;
    out.points.reserve(surface.faces().size());
    for (const math::Polygon &face : surface.faces())
        out.points.push_back({face.Centroid(), face.PlaneCCW().normal, 0.0f});
    return out;
}

}  // namespace engine
