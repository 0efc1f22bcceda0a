// GJK verdicts against libccd on random convex pairs, with support functions of its own in
// double over each shape's vertices. VANDREL_GJK_PAIRS sets the pairs per scale and kind.
#include <gtest/gtest.h>

#include <ccd/ccd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "Algorithm/GJK.h"
#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Math/float3x3.h"

using math::AABB;
using math::float3;
using math::OBB;
using math::Polygon;

namespace {

// Verdicts may differ only where the shapes are this close to touching: the simplex steps
// count the origin as reached within 1e-3 (the triangle's plane) and 3.2e-4 (segment and
// start), and float support points carry a relative rounding of a few 1e-7.
double TouchingTolerance(double scale) { return 1.1e-3 + 1e-5 * scale; }

// libccd's own tolerances are absolute: it reads every shape divided by the scale of the run.
struct Hull {
    std::vector<float3> points;
    double unit = 1;     // the scale the points are divided by
    double inflate = 0;  // a ball of this radius (in units of the scale) added, to measure gaps
};

void Support(const void *object, const ccd_vec3_t *dir, ccd_vec3_t *out) {
    const Hull &hull = *static_cast<const Hull *>(object);
    const double dx = dir->v[0], dy = dir->v[1], dz = dir->v[2];
    double best = -1e300;
    for (const float3 &p : hull.points) {
        const double x = p.x / hull.unit, y = p.y / hull.unit, z = p.z / hull.unit;
        const double d = x * dx + y * dy + z * dz;
        if (d > best) {
            best = d;
            ccdVec3Set(out, x, y, z);
        }
    }
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (hull.inflate > 0 && length > 0)
        for (int k = 0; k < 3; ++k) out->v[k] += hull.inflate * dir->v[k] / length;
}

void Center(const void *object, ccd_vec3_t *out) {
    const Hull &hull = *static_cast<const Hull *>(object);
    double c[3] = {0, 0, 0};
    for (const float3 &p : hull.points) {
        c[0] += p.x;
        c[1] += p.y;
        c[2] += p.z;
    }
    const double n = static_cast<double>(hull.points.size()) * hull.unit;
    ccdVec3Set(out, c[0] / n, c[1] / n, c[2] / n);
}

ccd_t Settings() {
    ccd_t ccd;
    CCD_INIT(&ccd);
    ccd.support1 = Support;
    ccd.support2 = Support;
    ccd.center1 = Center;
    ccd.center2 = Center;
    ccd.max_iterations = 500;
    ccd.mpr_tolerance = 1e-12;
    ccd.epa_tolerance = 1e-12;
    return ccd;
}

bool CcdIntersect(const Hull &a, const Hull &b) {
    const ccd_t ccd = Settings();
    return ccdGJKIntersect(&a, &b, &ccd) != 0;
}

// Whether the shapes lie within the given distance of touching: overlapping less deep than
// it, or separated by less than it.
bool NearlyTouching(const Hull &a, Hull b, bool intersecting, double tolerance) {
    const ccd_t ccd = Settings();
    if (intersecting) {
        ccd_real_t depth;
        ccd_vec3_t dir, pos;
        return ccdMPRPenetration(&a, &b, &ccd, &depth, &dir, &pos) != 0 || depth * a.unit <= tolerance;
    }
    b.inflate = tolerance / b.unit;
    return CcdIntersect(a, b);
}

struct Shapes {
    std::mt19937 rng;
    double scale;

    float Uniform(double lo, double hi) { return static_cast<float>(std::uniform_real_distribution<double>(lo, hi)(rng)); }
    float3 Point(double half) {
        const float x = Uniform(-half, half);
        const float y = Uniform(-half, half);
        const float z = Uniform(-half, half);
        return float3(x, y, z);
    }
    math::float3x3 Rotation() {
        float3 axis = Point(1);
        if (axis.LengthSq() < 1e-3f) axis = float3::unitZ;
        return math::float3x3::RotateAxisAngle(axis.Normalized(), Uniform(0, 6.2831853));
    }
    AABB Box() {
        const float3 c = Point(0.5 * scale);
        const float3 h(Uniform(0.05 * scale, 0.6 * scale), Uniform(0.05 * scale, 0.6 * scale), Uniform(0.05 * scale, 0.6 * scale));
        return AABB(c - h, c + h);
    }
    OBB Oriented() {
        const math::float3x3 r = Rotation();
        const float3 h(Uniform(0.05 * scale, 0.6 * scale), Uniform(0.05 * scale, 0.6 * scale), Uniform(0.05 * scale, 0.6 * scale));
        return OBB(Point(0.5 * scale), h, r.Col(0), r.Col(1), r.Col(2));
    }
    // A convex polygon: points on an ellipse at increasing angles, in a random plane.
    Polygon ConvexPolygon() {
        const math::float3x3 r = Rotation();
        const float3 c = Point(0.5 * scale);
        const double a = Uniform(0.1 * scale, 0.8 * scale), b = Uniform(0.1 * scale, 0.8 * scale);
        const int n = std::uniform_int_distribution<int>(3, 8)(rng);
        std::vector<double> angles;
        for (int i = 0; i < n; ++i) angles.push_back(Uniform(0, 6.2831853));
        std::sort(angles.begin(), angles.end());
        Polygon polygon;
        for (double t : angles)
            polygon.vertices.push_back(c + r * float3(static_cast<float>(a * std::cos(t)), static_cast<float>(b * std::sin(t)), 0.f));
        return polygon;
    }
};

template <typename Box>
Hull HullOf(const Box &box, double unit) {
    Hull h{std::vector<float3>(8), unit};
    box.GetCornerPoints(h.points.data());
    return h;
}
Hull HullOf(const Polygon &polygon, double unit) { return Hull{polygon.vertices, unit}; }

int PairsPerKind() {
    const char *text = std::getenv("VANDREL_GJK_PAIRS");
    return text ? std::atoi(text) : 4000;
}

struct Tally {
    int pairs = 0, intersecting = 0, withinTolerance = 0, wrong = 0;
};

template <typename MakeA, typename MakeB>
Tally Compare(double scale, unsigned seed, MakeA makeA, MakeB makeB) {
    Shapes shapes{std::mt19937(seed), scale};
    Tally tally;
    const double tolerance = TouchingTolerance(scale);
    for (int i = 0; i < PairsPerKind(); ++i) {
        const auto a = makeA(shapes);
        const auto b = makeB(shapes);
        const bool ours = math::GJKIntersect(a, b);
        const Hull ha = HullOf(a, scale), hb = HullOf(b, scale);
        const bool theirs = CcdIntersect(ha, hb);
        ++tally.pairs;
        tally.intersecting += theirs;
        if (ours == theirs) continue;
        if (NearlyTouching(ha, hb, theirs, tolerance)) {
            ++tally.withinTolerance;
            continue;
        }
        if (++tally.wrong <= 3) ADD_FAILURE() << "pair " << i << ": ours " << ours << ", libccd " << theirs;
    }
    return tally;
}

void Report(const char *kind, double scale, const Tally &t) {
    std::printf("  %-16s scale %-6g %6d pairs, %6d intersecting, %4d within the touching tolerance\n", kind, scale,
                t.pairs, t.intersecting, t.withinTolerance);
    EXPECT_EQ(t.wrong, 0) << kind << " at scale " << scale;
    // Both verdicts occur often enough to mean something.
    EXPECT_GT(t.intersecting, t.pairs / 5);
    EXPECT_LT(t.intersecting, t.pairs - t.pairs / 5);
}

}  // namespace

TEST(GJKOracleTest, VerdictsAgreeWithLibccd) {
    for (double scale : {0.01, 1.0, 1000.0}) {
        Report("polygon x aabb", scale, Compare(scale, 1, [](Shapes &s) { return s.ConvexPolygon(); }, [](Shapes &s) { return s.Box(); }));
        Report("polygon x obb", scale, Compare(scale, 2, [](Shapes &s) { return s.ConvexPolygon(); }, [](Shapes &s) { return s.Oriented(); }));
        Report("aabb x aabb", scale, Compare(scale, 3, [](Shapes &s) { return s.Box(); }, [](Shapes &s) { return s.Box(); }));
        Report("obb x obb", scale, Compare(scale, 4, [](Shapes &s) { return s.Oriented(); }, [](Shapes &s) { return s.Oriented(); }));
        Report("aabb x polygon", scale, Compare(scale, 5, [](Shapes &s) { return s.Box(); }, [](Shapes &s) { return s.ConvexPolygon(); }));
    }
}
