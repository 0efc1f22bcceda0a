#include "Geometry/Capsule.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Circle.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

using math::AABB;
using math::Capsule;
using math::Circle;
using math::float3;
using math::LCG;
using math::Line;
using math::LineSegment;
using math::OBB;
using math::Plane;
using math::Polygon;
using math::Polyhedron;
using math::Ray;
using math::Sphere;
using math::Triangle;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

LCG SeededLCG(unsigned seed) {
    LCG lcg;
    lcg.Seed(seed, 69621, 0, 2147483647);
    return lcg;
}

void ExpectNear3(const float3 &actual, const float3 &expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The upright capsule of the worked examples: from the origin two units up, radius 1.
class UprightCapsule : public ::testing::Test {
protected:
    Capsule c{float3(0.f, 0.f, 0.f), float3(0.f, 0.f, 2.f), 1.f};
};

TEST_F(UprightCapsule, Measures) {
    EXPECT_FLOAT_EQ(c.Height(), 4.f);
    EXPECT_FLOAT_EQ(c.LineLength(), 2.f);
    EXPECT_FLOAT_EQ(c.Diameter(), 2.f);
    ExpectNear3(c.Bottom(), float3(0.f, 0.f, -1.f), 0.f);
    ExpectNear3(c.Top(), float3(0.f, 0.f, 3.f), 0.f);
    ExpectNear3(c.Center(), float3(0.f, 0.f, 1.f), 0.f);
    EXPECT_NEAR(c.Volume(), 10.472f, 1e-3f);
    EXPECT_NEAR(c.SurfaceArea(), 25.133f, 1e-3f);
    EXPECT_TRUE(c.IsFinite());
    const LineSegment height = c.HeightLineSegment();
    ExpectNear3(height.a, c.Bottom(), 0.f);
    ExpectNear3(height.b, c.Top(), 0.f);
}

TEST_F(UprightCapsule, PointQueries) {
    EXPECT_FLOAT_EQ(c.Distance(float3(3.f, 0.f, 1.f)), 2.f);
    EXPECT_FLOAT_EQ(float3(3.f, 0.f, 1.f).Distance(c), 2.f);
    EXPECT_FLOAT_EQ(c.Distance(float3(0.5f, 0.f, 1.f)), 0.f);
    EXPECT_FALSE(c.Contains(float3(0.f, 1.f, 2.5f)));  // 1.118 from the upper end
    EXPECT_TRUE(c.Contains(float3(0.f, 1.f, 2.f)));    // on the surface
    ExpectNear3(c.ClosestPoint(float3(0.2f, 0.f, 1.f)), float3(0.2f, 0.f, 1.f), 0.f);
    ExpectNear3(c.ClosestPoint(float3(0.f, 0.f, 7.f)), float3(0.f, 0.f, 3.f), 1e-6f);
    ExpectNear3(c.ClosestPoint(float3(-4.f, 0.f, 1.5f)), float3(-1.f, 0.f, 1.5f), 1e-6f);
}

TEST_F(UprightCapsule, CrossSections) {
    struct Case {
        float yPos;
        float3 centre;
        float radius;
    };
    const Case cases[] = {
        {0.5f, float3(0.f, 0.f, 1.f), 1.f},
        {0.125f, float3(0.f, 0.f, -0.5f), std::sqrt(0.75f)},
        {0.875f, float3(0.f, 0.f, 2.5f), std::sqrt(0.75f)},
        {0.f, float3(0.f, 0.f, -1.f), 0.f},
        {0.25f, float3(0.f, 0.f, 0.f), 1.f},
    };
    for (const Case &k : cases) {
        const Circle circle = c.CrossSection(k.yPos);
        ExpectNear3(circle.pos, k.centre, 1e-6f);
        ExpectNear3(circle.normal, float3(0.f, 0.f, 1.f), 0.f);
        EXPECT_NEAR(circle.r, k.radius, 1e-6f) << k.yPos;
    }
}

TEST_F(UprightCapsule, ExtremesAndProjections) {
    ExpectNear3(c.ExtremePoint(float3(0.f, 0.f, -5.f)), float3(0.f, 0.f, -1.f), 0.f);
    float projection;
    ExpectNear3(c.ExtremePoint(float3(0.f, 0.f, 2.f), projection), float3(0.f, 0.f, 3.f), 0.f);
    EXPECT_FLOAT_EQ(projection, 6.f);
    float lo;
    float hi;
    c.ProjectToAxis(float3(1.f, 0.f, 0.f), lo, hi);
    EXPECT_FLOAT_EQ(lo, -1.f);
    EXPECT_FLOAT_EQ(hi, 1.f);
    c.ProjectToAxis(float3(0.f, 0.f, -1.f), lo, hi);
    EXPECT_FLOAT_EQ(lo, -3.f);
    EXPECT_FLOAT_EQ(hi, 1.f);
    EXPECT_FALSE(c.ExtremePoint(float3(0.f, 0.f, 0.f)).IsFinite());
}

TEST_F(UprightCapsule, EnclosingBoxes) {
    const AABB box = c.MinimalEnclosingAABB();
    ExpectNear3(box.minCorner, float3(-1.f, -1.f, -1.f), 0.f);
    ExpectNear3(box.maxCorner, float3(1.f, 1.f, 3.f), 0.f);
    const OBB obb = c.MinimalEnclosingOBB();
    ExpectNear3(obb.pos, float3(0.f, 0.f, 1.f), 0.f);
    ExpectNear3(obb.halfSize, float3(2.f, 1.f, 1.f), 0.f);
    ExpectNear3(obb.axis[0], float3(0.f, 0.f, 1.f), 0.f);
    EXPECT_TRUE(AABB(float3(-1.f, -1.f, -1.f), float3(1.f, 1.f, 3.f)).Contains(c));
    EXPECT_FALSE(AABB(float3(-1.f, -1.f, -0.9f), float3(1.f, 1.f, 3.f)).Contains(c));
    AABB grown(float3(5.f, 5.f, 5.f), float3(6.f, 6.f, 6.f));
    grown.Enclose(c);
    ExpectNear3(grown.minCorner, float3(-1.f, -1.f, -1.f), 0.f);
    ExpectNear3(grown.maxCorner, float3(6.f, 6.f, 6.f), 0.f);
}

TEST_F(UprightCapsule, RandomPointsLieInsideAndOnTheSurface) {
    LCG rng = SeededLCG(7);
    for (int i = 0; i < 500; ++i) {
        EXPECT_TRUE(c.Contains(c.RandomPointInside(rng)));
        const float3 s = c.RandomPointOnSurface(rng);
        EXPECT_NEAR(c.axis.Distance(s), 1.f, 1e-5f);
        EXPECT_TRUE(c.Contains(c.PointInside(i / 500.f, 0.3f, 0.9f)));
        EXPECT_TRUE(c.MinimalEnclosingOBB().Contains(c.UniformPointPerhapsInside(0.9f, i / 500.f, 0.5f)));
    }
}

TEST(Capsule, DegenerateForms) {
    Capsule c(float3(1.f, 2.f, 3.f), float3(1.f, 2.f, 3.f), 2.f);
    ExpectNear3(c.UpDirection(), float3(1.f, 0.f, 0.f), 0.f);
    EXPECT_FALSE(c.IsDegenerate());
    c.SetDegenerate();
    EXPECT_TRUE(c.IsDegenerate());
    EXPECT_FLOAT_EQ(c.r, -1.f);
    EXPECT_TRUE(Capsule(float3(0.f, 0.f, 0.f), float3(1.f, 0.f, 0.f), 0.f).IsDegenerate());
    // No point lies within a negative radius, so the fallback is the midpoint.
    LCG rng = SeededLCG(3);
    ExpectNear3(Capsule(float3(0.f, 0.f, 0.f), float3(2.f, 0.f, 0.f), -1.f).RandomPointInside(rng),
                float3(1.f, 0.f, 0.f), 0.f);
    Capsule fromSphere;
    fromSphere.SetFrom(Sphere(float3(1.f, 1.f, 1.f), 3.f));
    ExpectNear3(fromSphere.axis.a, float3(1.f, 1.f, 1.f), 0.f);
    ExpectNear3(fromSphere.axis.b, float3(1.f, 1.f, 1.f), 0.f);
    EXPECT_FLOAT_EQ(fromSphere.r, 3.f);
    EXPECT_FALSE(Capsule(float3(0.f, 0.f, 0.f), float3(kNaN, 0.f, 0.f), 1.f).IsFinite());
}

TEST(Capsule, TransformsScaleTheRadiusByTheFirstColumn) {
    const Capsule c(float3(1.f, 0.f, 0.f), float3(1.f, 0.f, 2.f), 1.f);
    const math::float3x3 threeTimes = math::float3x3::UniformScale(3.f);
    const Capsule scaled = threeTimes * c;
    ExpectNear3(scaled.axis.b, float3(3.f, 0.f, 6.f), 0.f);
    EXPECT_FLOAT_EQ(scaled.r, 3.f);
    const math::float4x4 up5 = math::float4x4::Translate(float3(0.f, 5.f, 0.f));
    const Capsule moved = up5 * c;
    ExpectNear3(moved.axis.a, float3(1.f, 5.f, 0.f), 0.f);
    EXPECT_FLOAT_EQ(moved.r, 1.f);
    const Capsule turned = math::Quat::RotateZ(1.5707964f) * c;
    ExpectNear3(turned.axis.a, float3(0.f, 1.f, 0.f), 1e-6f);
    EXPECT_FLOAT_EQ(turned.r, 1.f);
    Capsule about = c;
    about.Scale(float3(1.f, 0.f, 0.f), 2.f);
    ExpectNear3(about.axis.a, float3(1.f, 0.f, 0.f), 0.f);
    ExpectNear3(about.axis.b, float3(1.f, 0.f, 4.f), 0.f);
    EXPECT_FLOAT_EQ(about.r, 2.f);
    Capsule shifted = c;
    shifted.Translate(float3(1.f, 1.f, 1.f));
    ExpectNear3(shifted.axis.b, float3(2.f, 1.f, 3.f), 0.f);
}

TEST(Capsule, ContainmentOfShapes) {
    const Capsule c(float3(0.f, 0.f, 0.f), float3(0.f, 0.f, 4.f), 2.f);
    EXPECT_TRUE(c.Contains(LineSegment(float3(1.f, 0.f, -1.f), float3(0.f, 1.f, 5.f))));
    EXPECT_FALSE(c.Contains(LineSegment(float3(1.f, 0.f, -1.f), float3(0.f, 1.f, 6.5f))));
    EXPECT_TRUE(c.Contains(AABB(float3(-1.f, -1.f, 0.f), float3(1.f, 1.f, 4.f))));
    EXPECT_FALSE(c.Contains(AABB(float3(-1.5f, -1.5f, 0.f), float3(1.5f, 1.5f, 4.f))));
    EXPECT_TRUE(c.Contains(OBB(AABB(float3(-1.f, -1.f, 1.f), float3(1.f, 1.f, 3.f)))));
    EXPECT_TRUE(c.Contains(Triangle(float3(1.f, 0.f, 0.f), float3(0.f, 1.f, 2.f), float3(0.f, 0.f, 5.9f))));
    EXPECT_TRUE(c.Contains(Polygon()));
    EXPECT_TRUE(c.Contains(Polyhedron()));
    EXPECT_TRUE(c.Contains(AABB(float3(-1.f, -1.f, 0.f), float3(1.f, 1.f, 4.f)).ToPolyhedron()));
    EXPECT_FALSE(c.Contains(AABB(float3(-1.f, -1.f, 0.f), float3(1.f, 1.f, 6.f)).ToPolyhedron()));
    const Sphere big(float3(0.f, 0.f, 2.f), 4.f);
    EXPECT_TRUE(big.Contains(c));
    EXPECT_FALSE(Sphere(float3(0.f, 0.f, 2.f), 3.9f).Contains(c));
}

TEST(Capsule, DistancesAndTestsOfLinearShapes) {
    const Capsule c(float3(0.f, 0.f, 0.f), float3(2.f, 0.f, 0.f), 0.5f);
    struct Case {
        const char *name;
        float distance;
        bool intersects;
    };
    const Line line(float3(1.f, 3.f, -5.f), float3(0.f, 0.f, 1.f));
    const Ray rayAway(float3(1.f, 3.f, 0.f), float3(0.f, 1.f, 0.f));
    const Ray rayToward(float3(1.f, 3.f, 0.f), float3(0.f, -1.f, 0.f));
    const LineSegment segment(float3(5.f, 0.f, 0.f), float3(9.f, 0.f, 0.f));
    const Plane plane(float3(0.f, 1.f, 0.f), 2.f);
    const Case cases[] = {
        {"line", c.Distance(line), c.Intersects(line)},
        {"ray away", c.Distance(rayAway), c.Intersects(rayAway)},
        {"ray toward", c.Distance(rayToward), c.Intersects(rayToward)},
        {"segment", c.Distance(segment), c.Intersects(segment)},
        {"plane", c.Distance(plane), c.Intersects(plane)},
    };
    const float expected[] = {2.5f, 2.5f, 0.f, 2.5f, 1.5f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(cases[i].distance, expected[i]) << cases[i].name;
        EXPECT_EQ(cases[i].intersects, expected[i] == 0.f) << cases[i].name;
    }
    EXPECT_EQ(line.Intersects(c), c.Intersects(line));
    EXPECT_TRUE(rayToward.Intersects(c));
    EXPECT_FALSE(segment.Intersects(c));
    EXPECT_TRUE(Plane(float3(0.f, 1.f, 0.f), 0.5f).Intersects(c));  // touching counts
}

TEST(Capsule, PlaneSignedDistance) {
    const Plane ground(float3(0.f, 0.f, 1.f), 0.f);
    EXPECT_FLOAT_EQ(ground.SignedDistance(Capsule(float3(0.f, 0.f, -1.f), float3(0.f, 0.f, 3.f), 0.5f)), 0.f);
    // The capsule spans heights 2 to 5 above the plane.
    EXPECT_FLOAT_EQ(ground.SignedDistance(Capsule(float3(1.f, 0.f, 3.f), float3(0.f, 1.f, 4.f), 1.f)), 2.f);
    EXPECT_FLOAT_EQ(ground.SignedDistance(Capsule(float3(1.f, 0.f, -3.f), float3(0.f, 1.f, -4.f), 1.f)), -2.f);
}

TEST(Capsule, SpheresCapsulesAndTriangles) {
    const Capsule c(float3(0.f, 0.f, 0.f), float3(0.f, 0.f, 2.f), 1.f);
    const Sphere s(float3(4.f, 0.f, 1.f), 2.f);
    EXPECT_FLOAT_EQ(c.Distance(s), 1.f);
    EXPECT_FLOAT_EQ(s.Distance(c), 1.f);
    EXPECT_FALSE(c.Intersects(s));
    EXPECT_TRUE(Sphere(float3(3.f, 0.f, 1.f), 2.f).Intersects(c));
    const Capsule crossing(float3(-5.f, 3.f, 5.f), float3(5.f, 3.f, 5.f), 1.f);
    EXPECT_FLOAT_EQ(c.Distance(crossing), std::sqrt(18.f) - 2.f);
    EXPECT_FALSE(c.Intersects(crossing));
    EXPECT_TRUE(c.Intersects(Capsule(float3(-5.f, 2.f, 1.f), float3(5.f, 2.f, 1.f), 1.f)));
    const Triangle t(float3(3.f, -1.f, -1.f), float3(3.f, 1.f, -1.f), float3(3.f, 0.f, 5.f));
    EXPECT_FLOAT_EQ(t.Distance(c), 2.f);
    EXPECT_FALSE(c.Intersects(t));
    EXPECT_TRUE(Triangle(float3(1.f, -1.f, -1.f), float3(1.f, 1.f, -1.f), float3(1.f, 0.f, 5.f)).Intersects(c));
    Polygon square;
    square.vertices = {float3(2.f, -1.f, 1.f), float3(2.f, 1.f, 1.f), float3(4.f, 1.f, 1.f), float3(4.f, -1.f, 1.f)};
    EXPECT_FALSE(square.Intersects(c));
    square.vertices[0].x = 1.f;
    square.vertices[1].x = 1.f;
    EXPECT_TRUE(c.Intersects(square));
}

TEST(Capsule, SphereEnclosesBothEnds) {
    const Capsule c(float3(0.f, 0.f, 0.f), float3(0.f, 0.f, 6.f), 1.f);
    Sphere s(float3(0.f, 0.f, 1.f), 1.f);
    s.Enclose(c);
    EXPECT_TRUE(s.Contains(c));
    EXPECT_NEAR(s.r, 4.f, 1e-3f);
}

TEST(Capsule, BoxesByGJK) {
    const Capsule c(float3(0.f, 0.f, 0.f), float3(4.f, 4.f, 0.f), 1.f);
    // The box's corner (3, 0, 0) lies sqrt(4.5) from the axis.
    const AABB near(float3(3.f, -2.f, -1.f), float3(5.f, 0.f, 1.f));
    EXPECT_FALSE(c.Intersects(near));
    EXPECT_FALSE(near.Intersects(c));
    const AABB touching(float3(2.f, -1.f, -1.f), float3(4.f, 1.f, 1.f));
    EXPECT_TRUE(c.Intersects(touching));
    EXPECT_TRUE(OBB(touching).Intersects(c));
    EXPECT_FALSE(c.Intersects(OBB(near)));
}

TEST(Capsule, TextForms) {
    const float big = FLT_MAX;
    struct Case {
        Capsule capsule;
        const char *text;
        const char *serialized;
    };
    const Case cases[] = {
        {Capsule(float3(1.f, 2.f, 3.f), float3(4.f, 5.f, 6.f), 7.f),
         "Capsule(a:(1.00, 2.00, 3.00) b:(4.00, 5.00, 6.00), r:7.00)", "1,2,3,4,5,6,7"},
        {Capsule(float3(-0.5f, 0.25f, 0.f), float3(1e-3f, 100.f, -2.f), 0.125f),
         "Capsule(a:(-0.50, 0.25, 0.00) b:(0.00, 100.00, -2.00), r:0.12)", nullptr},
        {Capsule(float3(kNaN, 0.f, 0.f), float3(0.f, 0.f, 0.f), -kNaN), "Capsule(a:(nan, 0.00, 0.00) b:(0.00, 0.00, 0.00), r:nan)",
         nullptr},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(k.capsule.ToString(), k.text);
        if (k.serialized) {
            EXPECT_EQ(k.capsule.SerializeToString(), k.serialized);
        }
        std::ostringstream out;
        out << k.capsule;
        EXPECT_EQ(out.str(), k.text);
    }
    // Every slot at the largest float: far past any fixed buffer, printed in full.
    const Capsule huge(float3(-big, big, -big), float3(big, -big, big), big);
    char expected[1024];
    std::snprintf(expected, sizeof expected, "Capsule(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f), r:%.2f)",
                  -big, big, -big, big, -big, big, big);
    EXPECT_GT(std::string(expected).size(), 256u);
    EXPECT_EQ(huge.ToString(), expected);
    EXPECT_EQ(Capsule(float3(1.f, 2.f, 3.f), float3(4.f, 5.f, 6.f), 7.f).SerializeToCodeString(),
              "Capsule(LineSegment(float3(1,2,3),float3(4,5,6)),7)");
}

TEST(Capsule, TextRoundTrips) {
    LCG rng = SeededLCG(11);
    std::vector<Capsule> capsules = {
        Capsule(float3(1.f, 2.f, 3.f), float3(4.f, 5.f, 6.f), 7.f),
        Capsule(float3(-0.f, 1e-38f, -FLT_MAX), float3(FLT_MAX, 3.3f, -1e-45f), 0.1f),
        Capsule(float3(3.f, -std::numeric_limits<float>::infinity(), 0.f), float3(0.f, 0.f, 0.f), 2.f),
    };
    for (int i = 0; i < 50; ++i)
        capsules.push_back(Capsule(float3::RandomBox(rng, -1e4f, 1e4f), float3::RandomBox(rng, -1e4f, 1e4f),
                                   rng.Float() * 100.f));
    for (const Capsule &c : capsules) {
        // The code form's closing parenthesis is left for the caller.
        struct Form {
            std::string text;
            size_t unread;
        };
        for (const Form &form : {Form{c.SerializeToString(), 0}, Form{c.SerializeToCodeString(), 1}}) {
            const char *end = nullptr;
            const Capsule back = Capsule::FromString(form.text.c_str(), &end);
            EXPECT_TRUE(back.BitEquals(c)) << form.text;
            EXPECT_EQ(end, form.text.c_str() + form.text.size() - form.unread) << form.text;
        }
    }
    // The display text reads back to its rounded values.
    const Capsule shown = Capsule::FromString("Capsule(a:(1.00, 2.00, 3.00) b:(4.00, 5.00, 6.00), r:7.00)", nullptr);
    EXPECT_TRUE(shown.BitEquals(Capsule(float3(1.f, 2.f, 3.f), float3(4.f, 5.f, 6.f), 7.f)));
    const Capsule failed = Capsule::FromString(nullptr, nullptr);
    EXPECT_TRUE(failed.axis.a.BitEquals(float3::nan));
    EXPECT_TRUE(failed.axis.b.BitEquals(float3::nan));
    EXPECT_TRUE(std::isnan(failed.r));
}

}  // namespace
