#include "Geometry/Sphere.h"

#include <gtest/gtest.h>

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/glm.hpp>
#include <glm/gtx/intersect.hpp>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Geometry/geometry_oracle.h"
#include "Math/FloatCodec.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"
#include "log_capture.h"

using math::AABB;
using math::float2;
using math::float3;
using math::float4;
using math::Line;
using math::LineSegment;
using math::OBB;
using math::Plane;
using math::Ray;
using math::Sphere;
using math::Triangle;
using oracle::D3;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float3 kSentinel(123.f, -456.f, 789.f);
const float kSentinelF = -321.f;

math::LCG SeededLCG(unsigned seed) {
    math::LCG lcg;
    lcg.Seed(seed, 69621, 0, 2147483647);
    return lcg;
}

glm::vec3 G(const float3 &v) { return glm::vec3(v.x, v.y, v.z); }

// The roots of |pos + t dir - c| = r in double, for a unit dir: none when the discriminant is
// negative.
struct Roots {
    bool real;
    double t1, t2;
};
Roots LineRoots(const float3 &pos, const float3 &dir, const Sphere &s) {
    const D3 a = D3(pos) - D3(s.pos);
    const double b = 2 * oracle::Dot(a, D3(dir));
    const double disc = b * b - 4 * (oracle::Dot(a, a) - double(s.r) * s.r);
    if (disc < 0) return {false, 0, 0};
    return {true, (-b - std::sqrt(disc)) / 2, (-b + std::sqrt(disc)) / 2};
}

struct HitOutputs {
    float3 point = kSentinel;
    float3 normal = kSentinel;
    float d = kSentinelF;
    float d2 = kSentinelF;
    bool Untouched() const {
        return point.BitEquals(kSentinel) && normal.BitEquals(kSentinel) && d == kSentinelF && d2 == kSentinelF;
    }
};

template <typename Shape>
int Hit(const Sphere &s, const Shape &shape, HitOutputs &out) {
    return s.Intersects(shape, &out.point, &out.normal, &out.d, &out.d2);
}

}  // namespace

TEST(SphereMeasures, VolumeAreaBoxesAndExtremes) {
    const Sphere s(float3(1, 2, 3), 2.f);
    EXPECT_FLOAT_EQ(s.Volume(), 12.566371f * 8.f / 3.f);
    EXPECT_FLOAT_EQ(s.SurfaceArea(), 12.566371f * 4.f);
    const AABB box = s.MinimalEnclosingAABB();
    EXPECT_TRUE(oracle::SameBits(box.minCorner, float3(-1, 0, 1)));
    EXPECT_TRUE(oracle::SameBits(box.maxCorner, float3(3, 4, 5)));

    // Half the largest cube's edge: contained, not maximal.
    const AABB inner = Sphere(float3(0, 0, 0), 1.f).MaximalContainedAABB();
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_FLOAT_EQ(inner.minCorner.At(axis), -0.28867513f);
        EXPECT_FLOAT_EQ(inner.maxCorner.At(axis), 0.28867513f);
    }

    float projection;
    const float3 e = s.ExtremePoint(float3(0, 0, 5), projection);
    EXPECT_TRUE(oracle::SameBits(e, float3(1, 2, 5)));
    EXPECT_FLOAT_EQ(projection, 25.f);
    float lo, hi;
    s.ProjectToAxis(float3(0, 2, 0), lo, hi);
    EXPECT_FLOAT_EQ(lo, 2.f);
    EXPECT_FLOAT_EQ(hi, 6.f);
}

TEST(SphereStates, FiniteDegenerateNegativeInfinityAndBits) {
    struct Case {
        Sphere s;
        bool finite;
        bool degenerate;
    } cases[] = {
        {Sphere(float3(0, 0, 0), 1.f), true, false},   {Sphere(float3(0, 0, 0), 0.f), true, true},
        {Sphere(float3(0, 0, 0), -1.f), true, true},   {Sphere(float3(kInf, 0, 0), 1.f), false, true},
        {Sphere(float3(0, 0, 0), kInf), false, false}, {Sphere(float3(0, 0, 0), kNaN), false, true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.s.IsFinite(), c.finite) << c.s.ToString();
        EXPECT_EQ(c.s.IsDegenerate(), c.degenerate) << c.s.ToString();
    }
    Sphere s(float3(1, 1, 1), 1.f);
    s.SetDegenerate();
    EXPECT_TRUE(oracle::AllNaN(s.pos));
    EXPECT_TRUE(std::isnan(s.r));
    s.SetNegativeInfinity();
    EXPECT_TRUE(s.BitEquals(Sphere(float3(0, 0, 0), -kInf)));
    EXPECT_FALSE(s.BitEquals(Sphere(float3(-0.f, 0, 0), -kInf)));
    // The empty start contains every point (r * r is +inf).
    EXPECT_TRUE(s.Contains(float3(1e30f, 0, 0)));
}

TEST(SphereTransform, MatricesScaleByTheFirstColumnAndQuaternionsKeepTheRadius) {
    const Sphere s(float3(1, 2, 3), 2.f);
    const math::float3x3 scale3 = math::float3x3::UniformScale(3.f);
    const Sphere a = scale3 * s;
    EXPECT_TRUE(oracle::SameBits(a.pos, float3(3, 6, 9)));
    EXPECT_FLOAT_EQ(a.r, 6.f);
    math::float3x4 affine = math::float3x4::UniformScale(3.f);
    affine.SetCol(3, float3(1, 0, 0));
    const Sphere b = affine * s;
    EXPECT_TRUE(oracle::SameBits(b.pos, float3(4, 6, 9)));
    EXPECT_FLOAT_EQ(b.r, 6.f);
    const Sphere c = math::float4x4(affine) * s;
    EXPECT_TRUE(c.BitEquals(b));
    const math::Quat q = math::Quat::RotateZ(1.5707964f);
    const Sphere d = q * s;
    EXPECT_TRUE(oracle::Near(d.pos, D3(-2, 1, 3), 1e-5));
    EXPECT_EQ(d.r, 2.f);
    Sphere e = s;
    e.Translate(float3(1, 1, 1));
    EXPECT_TRUE(oracle::SameBits(e.pos, float3(2, 3, 4)));
}

TEST(SpherePointQueries, AgainstDirectFormulas) {
    oracle::Random random(5);
    for (int i = 0; i < 300; ++i) {
        const Sphere s(random.Point(), random.Uniform(0.1f, 4.f));
        const float3 p = random.Point();
        const double centre = oracle::Distance(D3(p), D3(s.pos));
        EXPECT_NEAR(s.Distance(p), std::max(0.0, centre - s.r), 1e-5);
        EXPECT_NEAR(p.Distance(s), std::max(0.0, centre - s.r), 1e-5);
        EXPECT_NEAR(s.MaxDistance(p), centre + s.r, 1e-5);
        EXPECT_EQ(s.Contains(p), centre <= s.r) << centre - s.r;
        const float3 c = s.ClosestPoint(p);
        if (centre <= s.r)
            EXPECT_TRUE(oracle::Near(c, D3(p), 1e-5));
        else
            EXPECT_TRUE(oracle::Near(c, D3(s.pos) + (D3(p) - D3(s.pos)) * (s.r / centre), 1e-5));
    }
    const Sphere unit(float3(1, 2, 3), 1.f);
    // The centre is its own closest point, never NaN.
    EXPECT_TRUE(oracle::SameBits(unit.ClosestPoint(unit.pos), unit.pos));
    EXPECT_EQ(unit.Distance(unit.pos), 0.f);
    EXPECT_TRUE(std::isnan(unit.Distance(float3(kNaN, 0, 0))));
    EXPECT_FALSE(unit.Contains(float3(kNaN, 0, 0)));
    EXPECT_TRUE(unit.Contains(float3(1, 2, 4.0001f), 1e-3f));
    EXPECT_FALSE(unit.Contains(float3(1, 2, 4.0001f)));
}

TEST(SphereContainment, ShapesAreContainedWhenAllTheirPointsAre) {
    const Sphere s(float3(0, 0, 0), 2.f);
    math::Polygon empty;
    math::Polygon square;
    square.vertices = {float3(-1, -1, 0), float3(1, -1, 0), float3(1, 1, 0), float3(-1, 1, 0)};
    math::Polygon wide = square;
    wide.vertices.push_back(float3(0, 3, 0));
    struct Case {
        const char *name;
        bool contained;
        bool expected;
    } cases[] = {
        {"segment in", s.Contains(LineSegment(float3(-1, 0, 0), float3(1, 1, 1))), true},
        {"segment out", s.Contains(LineSegment(float3(-1, 0, 0), float3(2, 1, 1))), false},
        {"segment touching", s.Contains(LineSegment(float3(-2, 0, 0), float3(0, 2, 0))), true},
        {"segment NaN", s.Contains(LineSegment(float3(0, 0, 0), float3(kNaN, 0, 0))), false},
        {"triangle in", s.Contains(Triangle(float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1))), true},
        {"triangle out", s.Contains(Triangle(float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 2.5f))), false},
        {"empty polygon", s.Contains(empty), true},
        {"square", s.Contains(square), true},
        {"wide polygon", s.Contains(wide), false},
        {"cube in", s.Contains(AABB(float3(-1.1f), float3(1.1f))), true},
        {"cube out", s.Contains(AABB(float3(-1.2f), float3(1.2f))), false},
        {"obb in", s.Contains(OBB(AABB(float3(-1.1f), float3(1.1f)))), true},
        {"obb out", s.Contains(OBB(AABB(float3(0.f), float3(1.2f)))), false},
        {"sphere in", s.Contains(Sphere(float3(1, 0, 0), 1.f)), true},
        {"sphere out", s.Contains(Sphere(float3(1, 0, 0), 1.5f)), false},
        {"sphere eps", s.Contains(Sphere(float3(1, 0, 0), 1.5f), 0.6f), true},
    };
    for (const Case &c : cases) EXPECT_EQ(c.contained, c.expected) << c.name;
}

TEST(SphereIntersectLine, RootsAgainstDoubleFormula) {
    oracle::Random random(7);
    int two = 0, none = 0;
    for (int i = 0; i < 500; ++i) {
        const Sphere s(random.Point(3.f), random.Uniform(0.5f, 3.f));
        const float3 pos = random.Point(6.f);
        const float3 dir = (s.pos + random.Point(2.f * s.r) - pos).Normalized();  // near the sphere
        const Roots roots = LineRoots(pos, dir, s);
        float t1, t2;
        const int n = Sphere::IntersectLine(pos, dir, s.pos, s.r, t1, t2);
        if (!roots.real) {
            EXPECT_EQ(n, 0);
            EXPECT_EQ(t1, kInf);
            EXPECT_EQ(t2, -kInf);
            ++none;
            continue;
        }
        if (roots.t2 - roots.t1 < 0.05) continue;  // nearly tangent: the rounding decides
        ASSERT_EQ(n, 2);
        EXPECT_NEAR(t1, roots.t1, 1e-4);
        EXPECT_NEAR(t2, roots.t2, 1e-4);
        ++two;
    }
    EXPECT_GT(two, 100);
    EXPECT_GT(none, 50);

    // A discriminant between 0 and 1e-4 gives one root at -b/2.
    float t1, t2;
    const float h = 0.999995f;
    EXPECT_EQ(Sphere::IntersectLine(float3(0, h, 0), float3(1, 0, 0), float3(0, 0, 0), 1.f, t1, t2), 1);
    EXPECT_EQ(t1, 0.f);
    EXPECT_EQ(t2, 0.f);
}

TEST(SphereIntersects, RayLineAndSegmentAgainstDoubleFormula) {
    oracle::Random random(8);
    for (int i = 0; i < 500; ++i) {
        const Sphere s(random.Point(3.f), random.Uniform(0.5f, 3.f));
        const float3 a = random.Point(6.f);
        const float3 b = random.Point(6.f);
        const float3 dir = (b - a).Normalized();
        const Roots roots = LineRoots(a, dir, s);
        if (roots.real && roots.t2 - roots.t1 < 0.05) continue;

        HitOutputs line, ray, segment;
        const int nLine = Hit(s, Line(a, dir), line);
        const int nRay = Hit(s, Ray(a, dir), ray);
        const int nSegment = Hit(s, LineSegment(a, b), segment);
        const double length = oracle::Distance(D3(a), D3(b));
        if (!roots.real) {
            EXPECT_EQ(nLine + nRay + nSegment, 0);
            EXPECT_TRUE(line.Untouched() && ray.Untouched() && segment.Untouched());
            continue;
        }
        EXPECT_EQ(nLine, 2);
        EXPECT_NEAR(line.d, roots.t1, 1e-4);
        EXPECT_NEAR(line.d2, roots.t2, 1e-4);
        const D3 entry = D3(a) + D3(dir) * roots.t1;
        EXPECT_TRUE(oracle::Near(line.point, entry, 1e-4));
        EXPECT_TRUE(oracle::Near(line.normal, (entry - D3(s.pos)) * (1 / double(s.r)), 1e-4));

        if (roots.t2 < 0) {
            EXPECT_EQ(nRay, 0);
            EXPECT_TRUE(ray.Untouched());
        } else {
            EXPECT_EQ(nRay, 2);
            const double t = roots.t1 < 0 ? roots.t2 : roots.t1;  // from inside: the exit
            EXPECT_NEAR(ray.d, t, 1e-4);
            EXPECT_TRUE(oracle::Near(ray.point, D3(a) + D3(dir) * t, 1e-4));
        }

        const bool segmentHits = roots.t2 >= 0 && roots.t1 <= length;
        EXPECT_EQ(nSegment, segmentHits ? 1 : 0);
        if (segmentHits) {
            // The line's entry point, before a when a lies inside.
            EXPECT_NEAR(segment.d, roots.t1 / length, 1e-4);
            EXPECT_NEAR(segment.d2, roots.t2 / length, 1e-4);
            EXPECT_TRUE(oracle::Near(segment.point, entry, 1e-3));
        } else {
            EXPECT_TRUE(segment.Untouched());
        }

        // The planar types' own forms.
        float d = kSentinelF;
        EXPECT_EQ(Line(a, dir).Intersects(s, nullptr, nullptr, &d), nLine > 0);
        EXPECT_EQ(Ray(a, dir).Intersects(s), nRay > 0);
        EXPECT_EQ(LineSegment(a, b).Intersects(s, nullptr, nullptr, nullptr), nSegment > 0);
    }
}

TEST(SphereIntersects, RaysAgreeWithGlm) {
    oracle::Random random(9);
    int hits = 0;
    for (int i = 0; i < 500; ++i) {
        const Sphere s(random.Point(3.f), random.Uniform(0.5f, 3.f));
        const float3 pos = random.Point(8.f);
        const float3 dir = (s.pos + random.Point(2.f * s.r) - pos).Normalized();
        const Roots roots = LineRoots(pos, dir, s);
        if (s.Contains(pos) || (roots.real && roots.t2 - roots.t1 < 0.05)) continue;
        glm::vec3 glmPoint, glmNormal;
        const bool glmHit = glm::intersectRaySphere(G(pos), G(dir), G(s.pos), s.r, glmPoint, glmNormal);
        float3 point, normal;
        float d;
        const bool hit = Ray(pos, dir).Intersects(s, &point, &normal, &d);
        ASSERT_EQ(hit, glmHit) << i;
        if (!hit) continue;
        ++hits;
        EXPECT_NEAR(point.x, glmPoint.x, 1e-4f);
        EXPECT_NEAR(point.y, glmPoint.y, 1e-4f);
        EXPECT_NEAR(point.z, glmPoint.z, 1e-4f);
        EXPECT_NEAR(normal.x, glmNormal.x, 1e-4f);
        EXPECT_NEAR(normal.y, glmNormal.y, 1e-4f);
        EXPECT_NEAR(normal.z, glmNormal.z, 1e-4f);
        float glmDistance;
        ASSERT_TRUE(glm::intersectRaySphere(G(pos), G(dir), G(s.pos), s.r * s.r, glmDistance));
        EXPECT_NEAR(d, glmDistance, 1e-4f);
    }
    EXPECT_GT(hits, 100);
}

TEST(SphereIntersects, RayEdgeCases) {
    const Sphere unit(float3(0, 0, 0), 1.f);
    HitOutputs out;
    // From the centre: the exit point, both roots reported.
    EXPECT_EQ(Hit(unit, Ray(float3(0, 0, 0), float3(0, 0, 1)), out), 2);
    EXPECT_FLOAT_EQ(out.d, 1.f);
    EXPECT_FLOAT_EQ(out.d2, 1.f);
    EXPECT_TRUE(oracle::Near(out.point, D3(0, 0, 1), 1e-6));
    EXPECT_TRUE(oracle::Near(out.normal, D3(0, 0, 1), 1e-6));

    HitOutputs away, miss;
    EXPECT_EQ(Hit(unit, Ray(float3(0, 0, 2), float3(0, 0, 1)), away), 0);
    EXPECT_TRUE(away.Untouched());
    EXPECT_EQ(Hit(unit, Ray(float3(0, 2, -5), float3(0, 0, 1)), miss), 0);
    EXPECT_TRUE(miss.Untouched());

    // Null outputs are allowed throughout.
    EXPECT_EQ(unit.Intersects(Ray(float3(0, 0, -5), float3(0, 0, 1)), nullptr, nullptr, nullptr, nullptr), 2);
    // A segment of zero length inside reports its point rather than 0/0.
    HitOutputs point;
    EXPECT_EQ(Hit(unit, LineSegment(float3(0.5f, 0, 0), float3(0.5f, 0, 0)), point), 1);
    EXPECT_EQ(point.d, 0.f);
    EXPECT_TRUE(oracle::SameBits(point.point, float3(0.5f, 0, 0)));
}

TEST(SphereShapes, DistancesToPlanarShapesAgainstDoubleFormulas) {
    oracle::Random random(10);
    for (int i = 0; i < 200; ++i) {
        const Sphere s(random.Point(), random.Uniform(0.1f, 3.f));
        const float3 a = random.Point(), b = random.Point(), c = random.Point();
        const float3 dir = random.Direction();
        const auto outside = [&](double centreDistance) { return std::max(0.0, centreDistance - s.r); };
        const D3 centre(s.pos);
        EXPECT_NEAR(s.Distance(Line(a, dir)), outside(oracle::Distance(centre, oracle::LineSet(a, dir))), 1e-4);
        EXPECT_NEAR(s.Distance(Ray(a, dir)), outside(oracle::Distance(centre, oracle::RaySet(a, dir))), 1e-4);
        EXPECT_NEAR(s.Distance(LineSegment(a, b)), outside(oracle::Distance(centre, oracle::SegmentSet(a, b))),
                    1e-4);
        const AABB box(a.Min(b), a.Max(b));
        const D3 clamped(std::clamp<double>(centre.x, box.minCorner.x, box.maxCorner.x),
                         std::clamp<double>(centre.y, box.minCorner.y, box.maxCorner.y),
                         std::clamp<double>(centre.z, box.minCorner.z, box.maxCorner.z));
        const double boxDistance = oracle::Distance(centre, clamped);
        EXPECT_NEAR(s.Distance(box), outside(boxDistance), 1e-4);
        EXPECT_NEAR(s.Distance(OBB(box)), outside(boxDistance), 1e-4);
        float3 closest = kSentinel;
        EXPECT_EQ(s.Intersects(box, &closest), boxDistance <= s.r);
        EXPECT_TRUE(oracle::Near(closest, clamped, 1e-5));
        closest = kSentinel;
        const bool obbHit = s.Intersects(OBB(box), &closest);
        if (std::fabs(boxDistance - s.r) > 1e-4) {
            EXPECT_EQ(obbHit, boxDistance <= s.r);
        }
        EXPECT_TRUE(oracle::Near(closest, clamped, 1e-4));

        const Triangle triangle(a, b, c);
        const float3 onTriangle = triangle.ClosestPoint(s.pos);
        const double triangleDistance = oracle::Distance(D3(onTriangle), centre);
        EXPECT_NEAR(s.Distance(triangle), outside(triangleDistance), 1e-5);
        closest = kSentinel;
        EXPECT_EQ(s.Intersects(triangle, &closest), triangleDistance <= s.r);
        EXPECT_TRUE(closest.BitEquals(onTriangle));
        EXPECT_EQ(triangle.Intersects(s), triangleDistance <= s.r);

        const Plane plane(a, dir);
        const double planeDistance = std::fabs(oracle::Dot(D3(dir), centre - D3(a)));
        EXPECT_NEAR(s.Distance(plane), outside(planeDistance), 1e-4);
        if (std::fabs(planeDistance - s.r) > 1e-4) {
            EXPECT_EQ(s.Intersects(plane), planeDistance <= s.r);
        }
    }
}

TEST(SphereShapes, PlaneSignedDistanceOfTheInterval) {
    const Plane ground(float3(0, 0, 1), 1.f);
    struct Case {
        Sphere s;
        float expected;
    } cases[] = {
        {Sphere(float3(0, 0, 5), 1.f), 3.f},    // above: the near end
        {Sphere(float3(0, 0, -5), 1.f), -5.f},  // below: the near end is the top
        {Sphere(float3(0, 0, 1.5f), 1.f), 0.f},  // straddling
        {Sphere(float3(0, 0, 2), 1.f), 0.f},    // touching
    };
    for (const Case &c : cases) EXPECT_FLOAT_EQ(ground.SignedDistance(c.s), c.expected) << c.s.ToString();
}

TEST(SphereShapes, PolygonIntersectionThroughItsTriangles) {
    math::Polygon square;
    square.vertices = {float3(0, 0, 0), float3(2, 0, 0), float3(2, 2, 0), float3(0, 2, 0)};
    EXPECT_TRUE(square.Intersects(Sphere(float3(1, 1, 0.5f), 0.6f)));
    EXPECT_TRUE(Sphere(float3(2.5f, 1, 0), 0.6f).Intersects(square));
    EXPECT_FALSE(Sphere(float3(1, 1, 1), 0.5f).Intersects(square));
    EXPECT_FALSE(Sphere(float3(1, 1, 0), 5.f).Intersects(math::Polygon()));
}

TEST(SphereShapes, BoxesMadeFromAndAroundSpheres) {
    const Sphere s(float3(1, 2, 3), 0.5f);
    const AABB box(s);
    EXPECT_TRUE(oracle::SameBits(box.minCorner, float3(0.5f, 1.5f, 2.5f)));
    EXPECT_TRUE(oracle::SameBits(box.maxCorner, float3(1.5f, 2.5f, 3.5f)));
    AABB set;
    set.SetFrom(s);
    EXPECT_TRUE(set.minCorner.BitEquals(box.minCorner) && set.maxCorner.BitEquals(box.maxCorner));
    EXPECT_TRUE(box.Contains(s));
    EXPECT_FALSE(box.Contains(Sphere(s.pos, 0.6f)));
    EXPECT_FALSE(box.Contains(Sphere(s.pos + float3(0, 0, 0.1f), 0.5f)));

    AABB grown(float3(0, 0, 0), float3(1, 1, 1));
    grown.Enclose(Sphere(float3(2, 0.5f, 0.5f), 0.5f));
    EXPECT_TRUE(oracle::SameBits(grown.minCorner, float3(0, 0, 0)));
    EXPECT_TRUE(oracle::SameBits(grown.maxCorner, float3(2.5f, 1, 1)));

    const AABB slab(float3(0, 0, 0), float3(2, 4, 6));
    const Sphere outer = slab.MinimalEnclosingSphere();
    EXPECT_TRUE(oracle::SameBits(outer.pos, float3(1, 2, 3)));
    EXPECT_FLOAT_EQ(outer.r, std::sqrt(56.f) * 0.5f);
    const Sphere inner = slab.MaximalContainedSphere();
    EXPECT_TRUE(oracle::SameBits(inner.pos, float3(1, 2, 3)));
    EXPECT_EQ(inner.r, 1.f);

    OBB cube;
    cube.SetFrom(s);
    EXPECT_TRUE(oracle::SameBits(cube.pos, s.pos));
    EXPECT_TRUE(oracle::SameBits(cube.halfSize, float3(0.5f)));
    EXPECT_TRUE(oracle::SameBits(cube.axis[0], float3(1, 0, 0)));
    EXPECT_TRUE(oracle::SameBits(cube.axis[1], float3(0, 1, 0)));
    EXPECT_TRUE(oracle::SameBits(cube.axis[2], float3(0, 0, 1)));
    const OBB tilted(float3(1, 1, 1), float3(1, 2, 3), float3(0, 1, 0), float3(-1, 0, 0), float3(0, 0, 1));
    EXPECT_FLOAT_EQ(tilted.MinimalEnclosingSphere().r, std::sqrt(14.f));
    EXPECT_EQ(tilted.MaximalContainedSphere().r, 1.f);
    EXPECT_TRUE(oracle::SameBits(tilted.MaximalContainedSphere().pos, float3(1, 1, 1)));
}

TEST(SphereSpheres, DistanceAndIntersection) {
    const Sphere a(float3(0, 0, 0), 1.f);
    EXPECT_FLOAT_EQ(a.Distance(Sphere(float3(5, 0, 0), 2.f)), 2.f);
    EXPECT_EQ(a.Distance(Sphere(float3(2, 0, 0), 2.f)), 0.f);
    EXPECT_TRUE(a.Intersects(Sphere(float3(3, 0, 0), 2.f)));  // touching
    EXPECT_FALSE(a.Intersects(Sphere(float3(3.01f, 0, 0), 2.f)));
}

namespace {
// Positive when the triangle winds counter-clockwise seen from outside the sphere.
double Winding(const Sphere &s, const float3 *t) {
    const D3 faceNormal = oracle::Cross(D3(t[1]) - D3(t[0]), D3(t[2]) - D3(t[0]));
    return oracle::Dot(faceNormal, D3(t[0]) - D3(s.pos));
}
}  // namespace

TEST(SphereTriangulate, CountsGrowByNineAndVerticesLieOnTheSurface) {
    const Sphere s(float3(1, -2, 3), 2.f);
    struct Case {
        int numVertices;
        int expected;
    } cases[] = {{0, 0}, {23, 0}, {24, 24}, {32, 24}, {33, 33}, {41, 33}, {42, 42}, {100, 96}, {1000, 996}};
    for (const Case &c : cases) {
        std::vector<float3> pos(static_cast<size_t>(std::max(c.numVertices, 1)));
        std::vector<float3> normal(pos.size());
        std::vector<float2> uv(pos.size());
        int n = -1;
        const std::string log = StderrOf([&] { n = s.Triangulate(pos.data(), normal.data(), uv.data(), c.numVertices, true); });
        EXPECT_EQ(n, c.expected) << c.numVertices;
        EXPECT_EQ(log, "");
        EXPECT_EQ((n - 24) % 9 == 0 || n == 0, true);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(pos[i].Distance(s.pos), s.r, 1e-5f);
            EXPECT_TRUE(oracle::Near(normal[i], (D3(pos[i]) - D3(s.pos)) * 0.5, 1e-5));
            EXPECT_TRUE(uv[i].x >= 0.f && uv[i].x <= 1.f && uv[i].y >= 0.f && uv[i].y <= 1.f);
        }
        // Every triangle winds the same way: clockwise seen from outside.
        for (int i = 0; i + 2 < n; i += 3) EXPECT_LT(Winding(s, &pos[i]), 0.0);
    }
    float3 out[33];
    EXPECT_EQ(s.Triangulate(nullptr, nullptr, nullptr, 24, true), 0);
    EXPECT_EQ(s.Triangulate(out, nullptr, nullptr, 33, false), 33);
    for (int i = 0; i < 33; i += 3) EXPECT_GT(Winding(s, &out[i]), 0.0);
}

TEST(SphereRandom, PointsInsideAndOnTheSurfaceAreDeterministic) {
    for (float radius : {1.f, 5.f, 0.01f}) {
        const Sphere s(float3(1, 2, 3), radius);
        math::LCG lcg = SeededLCG(42), again = SeededLCG(42);
        D3 mean;
        int octants[8] = {};
        const int count = 2000;
        for (int i = 0; i < count; ++i) {
            const float3 surface = s.RandomPointOnSurface(lcg);
            EXPECT_NEAR(surface.Distance(s.pos), radius, 1e-6f * std::max(1.f, radius));
            EXPECT_TRUE(surface.BitEquals(s.RandomPointOnSurface(again)));
            const float3 inside = s.RandomPointInside(lcg);
            EXPECT_LE(inside.Distance(s.pos), radius * (1 + 1e-6f));
            EXPECT_TRUE(inside.BitEquals(Sphere::RandomPointInside(again, s.pos, radius)));
            const D3 u = (D3(surface) - D3(s.pos)) * (1 / double(radius));
            mean = mean + u;
            ++octants[(u.x > 0) * 4 + (u.y > 0) * 2 + (u.z > 0)];
        }
        EXPECT_LT(oracle::Length(mean * (1.0 / count)), 0.06) << radius;
        for (int o : octants) EXPECT_GT(o, count / 8 - 80) << radius;
    }
}

TEST(SphereRandom, TinyZeroAndNegativeRadii) {
    // Below r = 0.001 no draw is long enough to be a direction: after 1000 tries of three draws
    // the point is pos + (r, 0, 0).
    const Sphere tiny(float3(1, 1, 1), 0.0005f);
    math::LCG lcg = SeededLCG(3);
    const float3 p = tiny.RandomPointOnSurface(lcg);
    EXPECT_TRUE(p.BitEquals(float3(1, 1, 1) + float3(0.0005f, 0, 0)));
    math::LCG counter = SeededLCG(3);
    int draws = 0;
    while (counter.lastNumber != lcg.lastNumber && draws < 40000) {
        counter.Int();
        ++draws;
    }
    EXPECT_GE(draws, 3000);

    // Zero radius: the centre, without advancing the generator.
    const Sphere point(float3(4, 5, 6), 0.f);
    math::LCG still = SeededLCG(9);
    EXPECT_TRUE(point.RandomPointInside(still).BitEquals(point.pos));
    EXPECT_TRUE(point.RandomPointOnSurface(still).BitEquals(point.pos));
    EXPECT_EQ(still.lastNumber, SeededLCG(9).lastNumber);

    const Sphere negative(float3(0, 0, 0), -2.f);
    math::LCG lcg2 = SeededLCG(11);
    for (int i = 0; i < 50; ++i) EXPECT_NEAR(negative.RandomPointOnSurface(lcg2).Length(), 2.f, 1e-5f);
}

TEST(SphereRandom, VectorMembersDrawThroughTheSphere) {
    math::LCG a = SeededLCG(77), b = SeededLCG(77);
    for (int i = 0; i < 200; ++i) {
        const float3 dir = float3::RandomDir(a, 3.f);
        EXPECT_TRUE(dir.BitEquals(Sphere(float3(0, 0, 0), 3.f).RandomPointOnSurface(b)));
        const float3 inside = float3::RandomSphere(a, float3(1, 1, 1), 2.f);
        EXPECT_TRUE(inside.BitEquals(Sphere(float3(1, 1, 1), 2.f).RandomPointInside(b)));

        const float3 v(1, 2, 3);
        const float3 perpendicular = v.RandomPerpendicular(a);
        EXPECT_NEAR(perpendicular.Length(), 1.f, 1e-5f);
        EXPECT_NEAR(perpendicular.Dot(v), 0.f, 1e-5f);
        EXPECT_TRUE(perpendicular.BitEquals(v.Perpendicular(float3::RandomDir(b, 1.f), float3(0, 0, 1))));

        const float4 dir4 = float4::RandomDir(a, 2.f);
        EXPECT_EQ(dir4.w, 0.f);
        EXPECT_TRUE(dir4.xyz().BitEquals(float3::RandomDir(b, 2.f)));
        const float4 inside4 = float4::RandomSphere(a, float4(1, 2, 3, 7), 0.5f);
        EXPECT_EQ(inside4.w, 1.f);
        EXPECT_TRUE(inside4.xyz().BitEquals(float3::RandomSphere(b, float3(1, 2, 3), 0.5f)));
        const float4 v4(1, 2, 3, 0);
        const float4 perpendicular4 = v4.RandomPerpendicular(a);
        EXPECT_NEAR(perpendicular4.xyz().Dot(v4.xyz()), 0.f, 1e-5f);
        EXPECT_NEAR(perpendicular4.xyz().Length(), 1.f, 1e-5f);
        EXPECT_TRUE(perpendicular4.xyz().BitEquals(
            v4.Perpendicular(float4::RandomDir(b, 1.f), float4(0, 0, 1, 0)).xyz()));
    }
}

TEST(SphereText, ToStringIsExactAndSizeSafe) {
    EXPECT_EQ(Sphere(float3(1, -2.5f, 3.125f), 0.5f).ToString(), "Sphere(pos:(1.00, -2.50, 3.12) r:0.50)");
    EXPECT_EQ(Sphere(float3(-kNaN, 0, 0), kNaN).ToString(), "Sphere(pos:(nan, 0.00, 0.00) r:nan)");
    const float big = -3.4e38f;
    char expected[512];
    std::snprintf(expected, sizeof expected, "Sphere(pos:(%.2f, %.2f, %.2f) r:%.2f)", double(big), double(big),
                  double(big), double(big));
    EXPECT_EQ(Sphere(float3(big), big).ToString(), expected);
    std::ostringstream stream;
    stream << Sphere(float3(0, 0, 0), 1.f);
    EXPECT_EQ(stream.str(), "Sphere(pos:(0.00, 0.00, 0.00) r:1.00)");
}

TEST(SphereText, SerializedNumbersReadBackBitForBit) {
    EXPECT_EQ(Sphere(float3(1, -2.5f, 0.5f), 100.f).SerializeToString(), "1,-2.5,.5,100");
    const float values[] = {0.1f, -0.f, 3.4e38f, -1.17549435e-38f, 1e-45f, kInf, -kInf, kNaN};
    for (const float a : values) {
        for (const float b : values) {
            const Sphere s(float3(a, b, a), b);
            const std::string text = s.SerializeToString();
            const char *at = text.c_str();
            float back[4];
            for (float &value : back) {
                value = math::DeserializeFloat(at, &at);
                if (*at == ',') ++at;  // the reader leaves the separator after a NaN pattern
            }
            EXPECT_EQ(*at, '\0') << text;
            EXPECT_TRUE(Sphere(float3(back[0], back[1], back[2]), back[3]).BitEquals(s)) << text;
        }
    }
    EXPECT_EQ(StderrOf([] { (void)Sphere(float3(-3.4e38f), -3.4e38f).SerializeToString(); }), "");
}
