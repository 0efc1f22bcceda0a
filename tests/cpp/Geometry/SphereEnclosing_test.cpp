#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Geometry/geometry_oracle.h"
#include "Math/Quat.h"
#include "log_capture.h"

using math::AABB;
using math::float3;
using math::LineSegment;
using math::OBB;
using math::Sphere;
using oracle::D3;

namespace {

const float kInf = std::numeric_limits<float>::infinity();

bool IsEmptySphere(const Sphere &s) { return s.BitEquals(Sphere(float3(0, 0, 0), -kInf)); }

bool HasNaN(const Sphere &s) { return std::isnan(s.pos.x) || std::isnan(s.pos.y) || std::isnan(s.pos.z) || std::isnan(s.r); }

::testing::AssertionResult EnclosesAll(const Sphere &s, const std::vector<float3> &points) {
    for (size_t i = 0; i < points.size(); ++i)
        if (!s.Contains(points[i]))
            return ::testing::AssertionFailure() << "point " << i << " lies "
                                                 << oracle::Distance(D3(points[i]), D3(s.pos)) - s.r << " outside "
                                                 << s.ToString();
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(SphereEnclose, GrowthStepMovesTowardAnOutsidePoint) {
    Sphere s(float3(0, 0, 0), 1.f);
    s.Enclose(float3(3, 0, 0), 1e-4f);
    EXPECT_TRUE(oracle::SameBits(s.pos, float3(1, 0, 0)));
    EXPECT_FLOAT_EQ(s.r, 2.0001f);
    // An interior point of a small sphere neither moves the centre nor shrinks the radius.
    Sphere small(float3(1, 1, 1), 0.005f);
    small.Enclose(float3(1.001f, 1, 1), 1e-4f);
    EXPECT_TRUE(oracle::SameBits(small.pos, float3(1, 1, 1)));
    EXPECT_EQ(small.r, 0.005f);
    // A point at the centre of a point-sized sphere gives the minimal padding, not 0/0.
    Sphere point(float3(2, 2, 2), 0.f);
    point.Enclose(float3(2, 2, 2), 1e-4f);
    EXPECT_TRUE(oracle::SameBits(point.pos, float3(2, 2, 2)));
    EXPECT_EQ(point.r, 1e-4f);
    // Near the surface inside, only the radius grows.
    Sphere unit(float3(0, 0, 0), 1.f);
    unit.Enclose(float3(0.99999f, 0, 0), 1e-4f);
    EXPECT_TRUE(oracle::SameBits(unit.pos, float3(0, 0, 0)));
    EXPECT_GE(unit.r, 1.f);
    // The empty sphere never grows.
    Sphere empty;
    empty.SetNegativeInfinity();
    empty.Enclose(float3(5, 5, 5), 1e-4f);
    EXPECT_TRUE(IsEmptySphere(empty));
}

TEST(SphereEnclose, ShapesAreContainedAfterwards) {
    oracle::Random random(21);
    for (int i = 0; i < 100; ++i) {
        Sphere s(random.Point(), random.Uniform(0.f, 2.f));
        const AABB box(random.Point().Min(float3(0.f)), random.Point().Max(float3(0.f)));
        const OBB obb = box.Transform(math::Quat::RotateAxisAngle(random.Direction(), 1.f));
        const math::Triangle triangle(random.Point(), random.Point(), random.Point());
        math::Polygon polygon;
        polygon.vertices = {random.Point(), random.Point(), random.Point(), random.Point()};
        const LineSegment segment(random.Point(), random.Point());
        const Sphere other(random.Point(), random.Uniform(0.f, 3.f));
        s.Enclose(box);
        EXPECT_TRUE(s.Contains(box)) << i;
        s.Enclose(obb);
        s.Enclose(triangle);
        s.Enclose(polygon);
        s.Enclose(segment);
        s.Enclose(other);
        EXPECT_TRUE(s.Contains(box) && s.Contains(obb) && s.Contains(triangle) && s.Contains(polygon) &&
                    s.Contains(segment))
            << i;
        EXPECT_TRUE(s.Contains(other, 1e-4f)) << i;
    }
}

TEST(SphereEnclose, SegmentTieEnclosesBFirst) {
    const LineSegment segment(float3(-1, 0, 0), float3(1, 0, 0));
    Sphere s(float3(0, 0, 0), 0.5f);
    s.Enclose(segment);
    Sphere expected(float3(0, 0, 0), 0.5f);
    expected.Enclose(segment.b, 1e-4f);
    expected.Enclose(segment.a, 1e-4f);
    EXPECT_TRUE(s.BitEquals(expected));
    Sphere wrongOrder(float3(0, 0, 0), 0.5f);
    wrongOrder.Enclose(segment.a, 1e-4f);
    wrongOrder.Enclose(segment.b, 1e-4f);
    EXPECT_FALSE(s.BitEquals(wrongOrder));
}

TEST(SphereEnclose, ExtendRadiusNeverMovesNorShrinks) {
    Sphere s(float3(1, 2, 3), 2.f);
    s.ExtendRadiusToContain(float3(1, 2, 4), 1e-4f);
    EXPECT_EQ(s.r, 2.f);
    s.ExtendRadiusToContain(float3(1, 2, 8), 0.5f);
    EXPECT_FLOAT_EQ(s.r, 5.5f);
    s.ExtendRadiusToContain(Sphere(float3(1, 2, 0), 4.f), 0.f);
    EXPECT_FLOAT_EQ(s.r, 7.f);
    EXPECT_TRUE(oracle::SameBits(s.pos, float3(1, 2, 3)));
}

TEST(SphereEnclose, DegenerateInputNeverFailsNorLies) {
    const std::vector<float3> one = {float3(1, 2, 3)};
    const std::vector<float3> same(7, float3(-4, 5, 6));
    for (const std::vector<float3> *set : {&one, &same}) {
        const int n = static_cast<int>(set->size());
        const Sphere fast = Sphere::FastEnclosingSphere(set->data(), n);
        const Sphere optimal = Sphere::OptimalEnclosingSphere(set->data(), n);
        EXPECT_FALSE(HasNaN(fast)) << fast.ToString();
        EXPECT_FALSE(HasNaN(optimal)) << optimal.ToString();
        EXPECT_TRUE(EnclosesAll(fast, *set));
        EXPECT_TRUE(EnclosesAll(optimal, *set));
        EXPECT_LE(fast.r, 1e-3f);
        EXPECT_LE(optimal.r, 1e-3f);
    }
    // No points, a negative count or a null array: the empty sphere, or nothing done.
    const float3 points[4] = {float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1)};
    for (int count : {0, -1, -5}) {
        EXPECT_TRUE(IsEmptySphere(Sphere::FastEnclosingSphere(points, count))) << count;
        EXPECT_TRUE(IsEmptySphere(Sphere::OptimalEnclosingSphere(points, count))) << count;
        Sphere s(float3(1, 1, 1), 1.f);
        s.Enclose(points, count);
        EXPECT_TRUE(s.BitEquals(Sphere(float3(1, 1, 1), 1.f)));
    }
    EXPECT_TRUE(IsEmptySphere(Sphere::FastEnclosingSphere(nullptr, 3)));
    EXPECT_TRUE(IsEmptySphere(Sphere::OptimalEnclosingSphere(nullptr, 3)));
    Sphere s(float3(1, 1, 1), 1.f);
    s.Enclose(nullptr, 3);
    s.Enclose(math::Polygon());
    EXPECT_TRUE(s.BitEquals(Sphere(float3(1, 1, 1), 1.f)));
}

TEST(SphereOptimal, SmallSetsFollowTheirRules) {
    const float3 a(1, 2, 3);
    EXPECT_FLOAT_EQ(Sphere::OptimalEnclosingSphere(a, a).r, 1e-4f);
    EXPECT_TRUE(Sphere(a, a).BitEquals(Sphere::OptimalEnclosingSphere(a, a)));
    // Collinear: the box around the points, half its diagonal plus 0.0002.
    const Sphere line = Sphere::OptimalEnclosingSphere(float3(0, 0, 0), float3(1, 1, 0), float3(3, 3, 0));
    EXPECT_TRUE(oracle::Near(line.pos, D3(1.5, 1.5, 0), 1e-6));
    EXPECT_FLOAT_EQ(line.r, std::sqrt(4.5f) + 0.0002f);
    // A right triangle: the hypotenuse as diameter.
    const Sphere right = Sphere::OptimalEnclosingSphere(float3(0, 0, 0), float3(4, 0, 0), float3(0, 4, 0));
    EXPECT_TRUE(oracle::Near(right.pos, D3(2, 2, 0), 1e-5));
    EXPECT_NEAR(right.r, std::sqrt(8.0) + 0.0002, 1e-5);
    // Four coplanar points: a three-point sphere, padded once more.
    const Sphere square = Sphere::OptimalEnclosingSphere(float3(0, 0, 0), float3(2, 0, 0), float3(2, 2, 0),
                                                          float3(0, 2, 0));
    EXPECT_TRUE(oracle::Near(square.pos, D3(1, 1, 0), 1e-5));
    EXPECT_NEAR(square.r, std::sqrt(2.0) + 0.0004, 1e-5);
    // A regular tetrahedron: the circumsphere.
    const Sphere tetra = Sphere::OptimalEnclosingSphere(float3(1, 1, 1), float3(1, -1, -1), float3(-1, 1, -1),
                                                         float3(-1, -1, 1));
    EXPECT_TRUE(oracle::Near(tetra.pos, D3(0, 0, 0), 1e-5));
    EXPECT_NEAR(tetra.r, std::sqrt(3.0) + 0.0002, 1e-5);
    // Five points: the centre inside leaves the tetrahedron's own sphere (index 4, "none of the
    // first four left out"); a far fifth point makes the vertex it shadows redundant.
    const float3 t[4] = {float3(1, 1, 1), float3(1, -1, -1), float3(-1, 1, -1), float3(-1, -1, 1)};
    int redundant = -1;
    const Sphere inside = Sphere::OptimalEnclosingSphere(t[0], t[1], t[2], t[3], float3(0, 0, 0), redundant);
    EXPECT_EQ(redundant, 4);
    EXPECT_TRUE(inside.BitEquals(tetra));
    const Sphere far = Sphere::OptimalEnclosingSphere(t[0], t[1], t[2], t[3], float3(3, 3, 3), redundant);
    EXPECT_EQ(redundant, 0);
    EXPECT_TRUE(EnclosesAll(far, {t[0], t[1], t[2], t[3], float3(3, 3, 3)}));
}

TEST(SphereOptimal, BoxCornersGiveHalfTheDiagonal) {
    // Four coplanar support points at ordinary scales: an absolute determinant test would let the
    // rounding noise through and return up to twice the minimal radius.
    oracle::Random random(31);
    for (int i = 0; i < 200; ++i) {
        const float3 lo = random.Point(100.f);
        const float3 size(random.Uniform(0.5f, 50.f), random.Uniform(0.5f, 50.f), random.Uniform(0.5f, 50.f));
        const AABB box(lo, lo + size);
        std::vector<float3> corners;
        for (int k = 0; k < 8; ++k) corners.push_back(box.CornerPoint(k));
        const Sphere s = Sphere::OptimalEnclosingSphere(corners.data(), 8);
        const double half = 0.5 * oracle::Length(D3(size));
        EXPECT_TRUE(EnclosesAll(s, corners)) << i;
        EXPECT_LE(s.r, half * (1 + 1e-5) + 1e-3) << i << " " << s.ToString();
    }
}

TEST(SphereFit, CircumspheresAndTheirWarnings) {
    const Sphere three = Sphere::FitThroughPoints(float3(1, 0, 0), float3(0, 1, 0), float3(-1, 0, 0));
    EXPECT_TRUE(oracle::Near(three.pos, D3(0, 0, 0), 1e-6));
    EXPECT_FLOAT_EQ(three.r, 1.f);
    const Sphere four = Sphere::FitThroughPoints(float3(1, 2, 3) + float3(1, 1, 1), float3(1, 2, 3) + float3(1, -1, -1),
                                                 float3(1, 2, 3) + float3(-1, 1, -1), float3(1, 2, 3) + float3(-1, -1, 1));
    EXPECT_TRUE(oracle::Near(four.pos, D3(1, 2, 3), 1e-5));
    EXPECT_NEAR(four.r, std::sqrt(3.0), 1e-5);
    EXPECT_TRUE(Sphere(float3(1, 0, 0), float3(0, 1, 0), float3(-1, 0, 0)).BitEquals(three));

    Sphere collinear;
    const std::string log3 = StdoutOf([&] {
        collinear = Sphere::FitThroughPoints(float3(0, 0, 0), float3(1, 1, 1), float3(2, 2, 2));
    });
    EXPECT_EQ(WithoutStackLines(log3),
              "Warning: Sphere::FitThroughPoints(a,b,c) failed! The three input points are collinear!\n");
    EXPECT_TRUE(oracle::AllNaN(collinear.pos));
    EXPECT_TRUE(std::isnan(collinear.r));

    Sphere coplanar;
    const std::string log4 = StdoutOf([&] {
        coplanar = Sphere::FitThroughPoints(float3(0, 0, 5), float3(30, 0, 5), float3(30, 20, 5), float3(0, 20, 5));
    });
    EXPECT_EQ(WithoutStackLines(log4),
              "Warning: Sphere::FitThroughPoints through four points failed! The points lie on the same plane!\n");
    EXPECT_TRUE(oracle::AllNaN(coplanar.pos));
    EXPECT_TRUE(std::isnan(coplanar.r));

    // Coplanarity is relative to the scale: a small regular tetrahedron still fits.
    const float k = 0.01f;
    const Sphere tiny = Sphere::FitThroughPoints(float3(k, k, k), float3(k, -k, -k), float3(-k, k, -k),
                                                 float3(-k, -k, k));
    EXPECT_NEAR(tiny.r, k * std::sqrt(3.0), 1e-7);
}
