#include "Geometry/Circle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Geometry/geometry_oracle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

using math::AABB;
using math::Circle;
using math::float3;
using math::Line;
using math::LineSegment;
using math::OBB;
using math::Plane;
using math::Ray;
using oracle::D3;

namespace {

const Circle kFlat(float3(0, 0, 0), float3(0, 0, 1), 2.f);
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// A tilted circle and its basis in double, for the direct formulas.
struct Tilted {
    Circle c;
    D3 u, v, n;
};

Tilted RandomCircle(oracle::Random &random) {
    const Circle c(random.Point(), random.Direction(), random.Uniform(0.5f, 4.f));
    return {c, D3(c.BasisU()), D3(c.BasisV()), D3(c.normal)};
}

}  // namespace

TEST(CircleBasis, PointsOnTheRimAQuarterTurnApart) {
    EXPECT_TRUE(oracle::SameBits(kFlat.BasisU(), float3(-1, 0, 0)));
    EXPECT_TRUE(oracle::SameBits(kFlat.BasisV(), float3(0, -1, 0)));
    EXPECT_TRUE(oracle::Near(kFlat.GetPoint(0.f), D3(0, -2, 0), 1e-6));
    EXPECT_TRUE(oracle::Near(kFlat.GetPoint(0.f, 1.f), D3(-2, 0, 0), 1e-6));
    EXPECT_TRUE(oracle::Near(kFlat.GetPoint(0.f, 0.5f), D3(-1, 0, 0), 1e-6));

    oracle::Random random(41);
    for (int i = 0; i < 100; ++i) {
        const Tilted t = RandomCircle(random);
        EXPECT_NEAR(oracle::Length(t.u), 1, 1e-6);
        EXPECT_NEAR(oracle::Length(t.v), 1, 1e-6);
        EXPECT_NEAR(oracle::Dot(t.u, t.v), 0, 1e-6);
        EXPECT_NEAR(oracle::Dot(t.u, t.n), 0, 1e-6);
        EXPECT_NEAR(oracle::Dot(t.v, t.n), 0, 1e-6);
        const double angle = random.Uniform(-6.f, 6.f);
        const D3 expected = D3(t.c.pos) + (t.u * std::sin(angle) + t.v * std::cos(angle)) * t.c.r;
        EXPECT_TRUE(oracle::Near(t.c.GetPoint(float(angle)), expected, 1e-5));
        const D3 expected2 = D3(t.c.pos) + (t.u * std::cos(angle) + t.v * std::sin(angle)) * (0.5 * t.c.r);
        EXPECT_TRUE(oracle::Near(t.c.GetPoint(float(angle), 0.5f), expected2, 1e-5));
    }
}

TEST(CircleQueries, ExtremePointsAndClosestPointsAgainstDirectFormulas) {
    EXPECT_TRUE(oracle::SameBits(kFlat.ExtremePoint(float3(0, 0, 5)), kFlat.pos));
    EXPECT_TRUE(oracle::Near(kFlat.ExtremePoint(float3(3, 4, 7)), D3(1.2, 1.6, 0), 1e-6));
    EXPECT_TRUE(kFlat.ClosestPointToEdge(float3(0, 0, 3)).BitEquals(kFlat.GetPoint(0.f)));
    EXPECT_TRUE(oracle::Near(kFlat.ClosestPointToDisc(float3(1, 1, 3)), D3(1, 1, 0), 1e-6));
    EXPECT_TRUE(oracle::Near(kFlat.ClosestPointToDisc(float3(4, 0, 3)), D3(2, 0, 0), 1e-6));

    oracle::Random random(42);
    for (int i = 0; i < 200; ++i) {
        const Tilted t = RandomCircle(random);
        const float3 p = random.Point();
        const D3 rel = D3(p) - D3(t.c.pos);
        const double height = oracle::Dot(rel, t.n);
        const D3 inPlane = rel - t.n * height;
        const double radial = oracle::Length(inPlane);
        const D3 rim = D3(t.c.pos) + inPlane * (t.c.r / radial);
        EXPECT_TRUE(oracle::Near(t.c.ClosestPointToEdge(p), rim, 1e-4));
        EXPECT_NEAR(t.c.DistanceToEdge(p), oracle::Distance(rim, D3(p)), 1e-4);
        EXPECT_EQ(t.c.EdgeContains(p, t.c.DistanceToEdge(p)), true);
        const D3 disc = radial > t.c.r ? rim : D3(t.c.pos) + inPlane;
        EXPECT_TRUE(oracle::Near(t.c.ClosestPointToDisc(p), disc, 1e-4));
        EXPECT_NEAR(t.c.DistanceToDisc(p), oracle::Distance(disc, D3(p)), 1e-4);
        const float3 dir = random.Direction();
        const D3 projected = D3(dir) - t.n * oracle::Dot(D3(dir), t.n);
        EXPECT_TRUE(oracle::Near(t.c.ExtremePoint(dir),
                                 D3(t.c.pos) + projected * (t.c.r / oracle::Length(projected)), 1e-4));
    }
}

TEST(CircleTransform, ScaleTriplesTheRadiusAndRotationsKeepIt) {
    const Circle c(float3(1, 0, 0), float3(0, 0, 1), 2.f);
    const math::float3x3 scale = math::float3x3::UniformScale(3.f);
    for (const Circle &t : {scale * c, math::float3x4(scale) * c, math::float4x4(scale) * c}) {
        EXPECT_TRUE(oracle::SameBits(t.pos, float3(3, 0, 0)));
        EXPECT_TRUE(oracle::SameBits(t.normal, float3(0, 0, 1)));
        EXPECT_FLOAT_EQ(t.r, 6.f);
    }
    const Circle rotated = math::Quat::RotateX(1.5707964f) * c;
    EXPECT_EQ(rotated.r, 2.f);
    EXPECT_TRUE(oracle::Near(rotated.normal, D3(0, -1, 0), 1e-6));
    Circle moved = c;
    moved.Translate(float3(0, 1, 0));
    EXPECT_TRUE(oracle::SameBits(moved.pos, float3(1, 1, 0)));
    const Plane plane = c.ContainingPlane();
    EXPECT_TRUE(oracle::SameBits(plane.normal, c.normal));
    EXPECT_EQ(plane.d, 0.f);
}

TEST(CircleDisc, LinesRaysAndSegmentsThroughTheDisc) {
    struct Case {
        const char *name;
        bool hit;
        bool expected;
    } cases[] = {
        {"vertical line through the centre", kFlat.IntersectsDisc(Line(float3(0, 0, 5), float3(0, 0, 1))), true},
        {"vertical line 3 away", kFlat.IntersectsDisc(Line(float3(3, 0, 5), float3(0, 0, 1))), false},
        {"line in a parallel plane", kFlat.IntersectsDisc(Line(float3(0, 0, 1), float3(1, 0, 0))), false},
        {"slanted line", Line(float3(-3, 0, -3), float3(1, 0, 1).Normalized()).IntersectsDisc(kFlat), true},
        {"ray toward", Ray(float3(1, 1, 4), float3(0, 0, -1)).IntersectsDisc(kFlat), true},
        {"ray away", Ray(float3(1, 1, 4), float3(0, 0, 1)).IntersectsDisc(kFlat), false},
        {"segment across", LineSegment(float3(1, 0, -1), float3(1, 0, 1)).IntersectsDisc(kFlat), true},
        {"segment ending before", LineSegment(float3(1, 0, 3), float3(1, 0, 1)).IntersectsDisc(kFlat), false},
        {"segment across outside", LineSegment(float3(2.5f, 0, -1), float3(2.5f, 0, 1)).IntersectsDisc(kFlat), false},
    };
    for (const Case &c : cases) EXPECT_EQ(c.hit, c.expected) << c.name;

    oracle::Random random(43);
    for (int i = 0; i < 300; ++i) {
        const Tilted t = RandomCircle(random);
        const float3 a = random.Point(), b = random.Point();
        const D3 dir = D3(b) - D3(a);
        const double s = oracle::LinePlaneT(t.n, oracle::Dot(t.n, D3(t.c.pos)), D3(a), dir);
        const D3 crossing = D3(a) + dir * s;
        const double radial = oracle::Distance(crossing, D3(t.c.pos));
        if (std::fabs(radial - t.c.r) < 1e-3 || std::fabs(s) < 1e-3 || std::fabs(s - 1) < 1e-3) continue;
        EXPECT_EQ(t.c.IntersectsDisc(LineSegment(a, b)), s >= 0 && s <= 1 && radial <= t.c.r) << i;
        const float3 unit = (b - a).Normalized();
        EXPECT_EQ(t.c.IntersectsDisc(Line(a, unit)), radial <= t.c.r) << i;
        EXPECT_EQ(t.c.IntersectsDisc(Ray(a, unit)), s >= 0 && radial <= t.c.r) << i;
    }
}

TEST(CirclePlane, RimCrossingsContainmentAndGeneratedCircles) {
    float3 p1(7, 7, 7), p2(7, 7, 7);
    EXPECT_EQ(Plane(float3(0, 0, 1), 3.f).Intersects(kFlat, &p1, &p2), 0);
    EXPECT_TRUE(oracle::SameBits(p1, float3(7, 7, 7)));
    const Plane vertical(float3(1, 0, 0), 0.f);
    EXPECT_EQ(vertical.Intersects(kFlat, &p1, &p2), 2);
    EXPECT_TRUE(oracle::Near(p1, D3(0, 2, 0), 1e-5) || oracle::Near(p1, D3(0, -2, 0), 1e-5));
    EXPECT_TRUE(oracle::Near(p2, D3(-p1.x, -p1.y, -p1.z), 1e-5));
    EXPECT_TRUE(kFlat.Intersects(vertical));
    EXPECT_FALSE(kFlat.Intersects(Plane(float3(1, 0, 0), 2.5f)));
    EXPECT_EQ(kFlat.Intersects(Plane(float3(1, 0, 0), 1.f), nullptr, nullptr), 2);

    oracle::Random random(44);
    for (int i = 0; i < 200; ++i) {
        const Tilted t = RandomCircle(random);
        const Plane plane(random.Point(3.f), random.Direction());
        float3 a, b;
        const int n = plane.Intersects(t.c, &a, &b);
        // The rim's signed heights above the plane at angle s are h0 + A cos s + B sin s: they
        // cross zero twice when the amplitude exceeds |h0|.
        const double h0 = oracle::Dot(D3(plane.normal), D3(t.c.pos)) - plane.d;
        const double A = t.c.r * oracle::Dot(D3(plane.normal), t.u);
        const double B = t.c.r * oracle::Dot(D3(plane.normal), t.v);
        const double amplitude = std::sqrt(A * A + B * B);
        if (std::fabs(amplitude - std::fabs(h0)) < 1e-2) continue;
        EXPECT_EQ(n, amplitude > std::fabs(h0) ? 2 : 0) << i;
        for (int k = 0; k < n; ++k) {
            const float3 &q = k == 0 ? a : b;
            EXPECT_NEAR(plane.SignedDistance(q), 0.f, 1e-4f);
            EXPECT_NEAR(oracle::Dot(D3(q) - D3(t.c.pos), t.n), 0, 1e-4);
            EXPECT_NEAR(oracle::Distance(D3(q), D3(t.c.pos)), t.c.r, 1e-4);
        }
    }

    const Plane ground(float3(0, 0, 1), 1.f);
    const Circle generated = ground.GenerateCircle(float3(3, 4, 9), 1.5f);
    EXPECT_TRUE(oracle::SameBits(generated.pos, float3(3, 4, 1)));
    EXPECT_TRUE(oracle::SameBits(generated.normal, ground.normal));
    EXPECT_EQ(generated.r, 1.5f);
    EXPECT_TRUE(ground.Contains(generated, 1e-4f));
    EXPECT_FALSE(ground.Contains(Circle(float3(0, 0, 1.1f), float3(0, 0, 1), 1.f), 1e-2f));
    EXPECT_TRUE(ground.Contains(Circle(float3(0, 0, 1), float3(0, 0, -1), 1.f), 1e-4f));
    EXPECT_FALSE(ground.Contains(Circle(float3(0, 0, 1), float3(1, 0, 0), 1.f), 1e-4f));
    EXPECT_TRUE(ground.Contains(Circle(float3(0, 0, 1), float3(1, 0, 0), 1e-5f), 1e-4f));
}

TEST(CircleFaces, RimCrossingsOfTheBoxFaces) {
    // A circle of radius 2 around the centre of a cube of half-size 1.5 crosses the four side
    // faces twice each; a circle inside crosses nothing.
    const AABB cube(float3(-1.5f), float3(1.5f));
    const std::vector<float3> points = kFlat.IntersectsFaces(cube);
    ASSERT_EQ(points.size(), 8u);
    for (const float3 &p : points) {
        EXPECT_NEAR(p.z, 0.f, 1e-6f);
        EXPECT_NEAR(p.Length(), 2.f, 1e-5f);
        EXPECT_NEAR(std::max(std::fabs(p.x), std::fabs(p.y)), 1.5f, 1e-5f);
    }
    EXPECT_TRUE(Circle(float3(0, 0, 0), float3(0, 0, 1), 1.f).IntersectsFaces(cube).empty());
    const OBB turned = cube.Transform(math::Quat::RotateZ(0.3f));
    EXPECT_EQ(kFlat.IntersectsFaces(turned).size(), 8u);
}

TEST(CircleText, ToStringIsExactAndSizeSafe) {
    EXPECT_EQ(kFlat.ToString(), "Circle(pos:(0.00, 0.00, 0.00) normal:(0.00, 0.00, 1.00), r:2.00)");
    EXPECT_EQ(Circle(float3(kNaN, 0, 0), float3(0, 0, 1), -kNaN).ToString(),
              "Circle(pos:(nan, 0.00, 0.00) normal:(0.00, 0.00, 1.00), r:nan)");
    const float big = -3.4e38f;
    char expected[1024];
    std::snprintf(expected, sizeof expected, "Circle(pos:(%.2f, %.2f, %.2f) normal:(%.2f, %.2f, %.2f), r:%.2f)",
                  double(big), double(big), double(big), double(big), double(big), double(big), double(big));
    EXPECT_EQ(Circle(float3(big), float3(big), big).ToString(), expected);
    std::ostringstream stream;
    stream << kFlat;
    EXPECT_EQ(stream.str(), kFlat.ToString());
}
