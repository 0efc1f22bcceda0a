#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Capsule.h"
#include "Geometry/Frustum.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Sphere.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"
#include "frustum_fixtures.h"
#include "log_capture.h"

using math::float3;
using math::Frustum;

namespace {

const float kPi = 3.14159265f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

Frustum Camera(math::FrustumType type, math::FrustumHandedness handedness, const float3 &pos = float3(0, 0, 0)) {
    Frustum f;
    f.SetKind(math::OpenGLSpace, handedness);
    f.SetFrame(pos, float3(0, 0, -1), float3(0, 1, 0));
    if (type == math::PerspectiveFrustum) {
        f.SetViewPlaneDistances(1, 10);
        f.SetPerspective(kPi / 2, kPi / 2);
    } else {
        f.SetViewPlaneDistances(1, 3);
        f.SetOrthographic(2, 2);
    }
    return f;
}

// Right-handed, looking down -Z: corners (+-1, +-1, -1) and (+-10, +-10, -10).
Frustum Pyramid() { return Camera(math::PerspectiveFrustum, math::RightHanded); }

// Right-handed, looking down -Z: the box from (-1, -1, -3) to (1, 1, -1), every corner exact.
Frustum Box() { return Camera(math::OrthographicFrustum, math::RightHanded); }

math::LCG Seeded(uint32_t seed) {
    math::LCG rng;
    rng.Seed(seed, 69621, 0, 2147483647);
    return rng;
}

::testing::AssertionResult Near(const float3 &actual, const float3 &expected, float tolerance) {
    if (actual.Distance(expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.ToString() << " is not within " << tolerance << " of "
                                         << expected.ToString();
}

}  // namespace

// ---- Polyhedron and plane-bounded forms ----

TEST(FrustumQueriesTest, PolyhedronFormHasTheCornersAndWindsByHandedness) {
    const Frustum right = Pyramid();
    const Frustum left = Camera(math::PerspectiveFrustum, math::LeftHanded);
    const math::Polyhedron r = right.ToPolyhedron();
    const math::Polyhedron l = left.ToPolyhedron();
    ASSERT_EQ(r.v.size(), 8u);
    ASSERT_EQ(r.f.size(), 6u);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(r.v[i].BitEquals(right.CornerPoint(i)));
    EXPECT_EQ(r.f[0].v, (std::vector<int>{0, 4, 6, 2}));
    EXPECT_EQ(r.f[4].v, (std::vector<int>{7, 3, 2, 6}));
    EXPECT_EQ(l.f[0].v, (std::vector<int>{2, 6, 4, 0}));
    EXPECT_EQ(l.f[5].v, (std::vector<int>{4, 5, 1, 0}));
    // Either winding gives outward normals, so the solid measures the same.
    EXPECT_TRUE(r.IsClosed());
    EXPECT_TRUE(r.IsConvex());
    EXPECT_TRUE(l.IsConvex());
    EXPECT_NEAR(right.Volume(), 1332.f, 1e-2f);  // 4/3 (10^3 - 1^3)
    EXPECT_NEAR(left.Volume(), 1332.f, 1e-2f);
    EXPECT_NEAR(Box().Volume(), 8.f, 1e-5f);
}

TEST(FrustumQueriesTest, PlaneBoundedVolumeListsNearLeftRightTopBottomFar) {
    const Frustum f = Pyramid();
    const math::PBVolume volume = f.ToPBVolume();
    const math::Plane expected[6] = {f.NearPlane(), f.LeftPlane(), f.RightPlane(), f.TopPlane(), f.BottomPlane(), f.FarPlane()};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(volume.p[i].normal.BitEquals(expected[i].normal)) << i;
        EXPECT_EQ(volume.p[i].d, expected[i].d) << i;
    }
}

// ---- Enclosing shapes ----

TEST(FrustumQueriesTest, EnclosingBoxesOfTheOrthographicBox) {
    const Frustum f = Box();
    const math::AABB aabb = f.MinimalEnclosingAABB();
    EXPECT_TRUE(aabb.minCorner.Equals(float3(-1, -1, -3), 1e-6f));
    EXPECT_TRUE(aabb.maxCorner.Equals(float3(1, 1, -1), 1e-6f));
    const math::OBB obb = f.MinimalEnclosingOBB(0.25f);
    EXPECT_TRUE(obb.pos.Equals(float3(0, 0, -2), 1e-6f));
    EXPECT_TRUE(obb.axis[0].Equals(float3(1, 0, 0), 1e-6f));
    EXPECT_TRUE(obb.axis[1].Equals(float3(0, 1, 0), 1e-6f));
    EXPECT_TRUE(obb.axis[2].Equals(float3(0, 0, 1), 1e-6f));
    EXPECT_TRUE(obb.halfSize.Equals(float3(1.25f, 1.25f, 1.25f), 1e-6f));
}

TEST(FrustumQueriesTest, EnclosingShapesHoldEveryCornerOfRandomFrusta) {
    std::mt19937 rng(3);
    for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
        for (int i = 0; i < 20; ++i) {
            const Frustum f = frustum_fixtures::RandomFrustum(rng, k);
            const math::OBB obb = f.MinimalEnclosingOBB(1e-3f);
            math::AABB grown(float3(1e9f, 1e9f, 1e9f), float3(-1e9f, -1e9f, -1e9f));
            grown.Enclose(f);
            math::Sphere ball(f.CenterPoint(), 0.f);
            ball.Enclose(f);
            for (int c = 0; c < 8; ++c) {
                EXPECT_TRUE(obb.Contains(f.CornerPoint(c))) << f.ToString();
                EXPECT_LE(ball.Distance(f.CornerPoint(c)), 1e-5f * ball.r) << f.ToString();
            }
            EXPECT_TRUE(grown.minCorner.BitEquals(f.MinimalEnclosingAABB().minCorner));
            EXPECT_TRUE(grown.maxCorner.BitEquals(f.MinimalEnclosingAABB().maxCorner));
            EXPECT_TRUE(obb.Contains(f));
            EXPECT_TRUE(f.MinimalEnclosingAABB().Contains(f));
        }
}

// The containers' tests of a whole frustum: every corner, boundaries included.
TEST(FrustumQueriesTest, ShapesContainAFrustumByItsCorners) {
    const Frustum f = Box();  // corners at distance sqrt(3) from (0, 0, -2)
    const float3 c(0, 0, -2);
    struct Case {
        const char *container;
        bool holds;
        bool verdict;
    };
    const Case cases[] = {
        {"aabb, touching", true, math::AABB(float3(-1, -1, -3), float3(1, 1, -1)).Contains(f)},
        {"aabb, a hair short", false, math::AABB(float3(-1, -1, -3), float3(1, 1, -1.0001f)).Contains(f)},
        {"obb", true, math::OBB(c, float3(1, 1, 1), float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1)).Contains(f)},
        {"obb, turned", false,
         math::OBB(c, float3(1, 1, 1), float3(0.6f, 0.8f, 0), float3(-0.8f, 0.6f, 0), float3(0, 0, 1)).Contains(f)},
        {"sphere", true, math::Sphere(c, 1.7321f).Contains(f)},
        {"sphere, too small", false, math::Sphere(c, 1.732f).Contains(f)},
        {"capsule", true, math::Capsule(float3(0, 0, -1), float3(0, 0, -3), 1.4143f).Contains(f)},
        {"capsule, too thin", false, math::Capsule(float3(0, 0, -1), float3(0, 0, -3), 1.414f).Contains(f)},
    };
    for (const Case &k : cases) EXPECT_EQ(k.verdict, k.holds) << k.container;
}

// ---- Extreme points and projections ----

TEST(FrustumQueriesTest, ExtremePointTakesTheFirstFarthestCornerOfTheCornerArray) {
    const Frustum f = Box();
    float3 corners[8];
    f.GetCornerPoints(corners);
    struct Case {
        float3 direction;
        int corner;  // in corner array order
        float distance;
    };
    const Case cases[] = {
        {float3(0, 0, 0), 0, 0.f},     // every corner ties at 0: near bottom-left
        {float3(0, 0, -1), 4, 3.f},    // the far face ties: far bottom-left
        {float3(1, 0, 0), 1, 1.f},     // the right side ties: near bottom-right
        {float3(1, 1, -1), 7, 5.f},    // far top-right alone
        {float3(-1, -1, 1), 0, 1.f},   // near bottom-left alone
    };
    for (const Case &c : cases) {
        float distance = 0;
        const float3 p = f.ExtremePoint(c.direction, distance);
        EXPECT_TRUE(p.BitEquals(corners[c.corner])) << c.direction.ToString();
        EXPECT_EQ(distance, c.distance) << c.direction.ToString();
    }
    float distance = 0;
    EXPECT_FALSE(f.ExtremePoint(float3(kNaN, 0, 0), distance).IsFinite());
    EXPECT_EQ(distance, -kInf);
    EXPECT_TRUE(f.StartingPoint().BitEquals(f.CornerPoint(0)));
    float lo = 0, hi = 0;
    f.ProjectToAxis(float3(1, 1, -1), lo, hi);
    EXPECT_EQ(lo, -1.f);  // (-1, -1, -1)
    EXPECT_EQ(hi, 5.f);   // (1, 1, -3)
}

// Each unique face normal is the normal of a face; each edge direction runs along an edge.
TEST(FrustumQueriesTest, UniqueNormalsAndEdgeDirectionsBelongToTheFaces) {
    std::mt19937 rng(17);
    for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
        for (int i = 0; i < 10; ++i) {
            const Frustum f = frustum_fixtures::RandomFrustum(rng, k);
            const bool perspective = k.type == math::PerspectiveFrustum;
            float3 normals[5];
            float3 edges[6];
            ASSERT_EQ(f.UniqueFaceNormals(normals), perspective ? 5 : 3);
            ASSERT_EQ(f.UniqueEdgeDirections(edges), perspective ? 6 : 3);
            for (int n = 0; n < (perspective ? 5 : 3); ++n) {
                bool found = false;
                for (int p = 0; p < 6; ++p) found = found || normals[n].Cross(f.GetPlane(p).normal).Length() < 1e-4f;
                EXPECT_TRUE(found) << "normal " << n;
            }
            for (int e = 0; e < (perspective ? 6 : 3); ++e) {
                bool found = false;
                for (int j = 0; j < 12; ++j) {
                    const float3 edge = f.Edge(j).Dir();
                    found = found || edges[e].Normalized().Cross(edge).Length() < 1e-4f;
                }
                EXPECT_TRUE(found) << "edge " << e;
            }
        }
}

// ---- Random points ----

TEST(FrustumQueriesTest, FastRandomPointDrawsXThenYThenDepth) {
    const Frustum f = Pyramid();
    math::LCG rng = Seeded(12345);
    math::LCG replay = rng;
    const float x = replay.Float(-1, 1);
    const float y = replay.Float(-1, 1);
    const float t = replay.Float(0, 1);
    EXPECT_TRUE(f.FastRandomPointInside(rng).BitEquals(f.PointInside(x, y, t)));
    EXPECT_EQ(rng.lastNumber, replay.lastNumber);
}

TEST(FrustumQueriesTest, UniformRandomPointOfAnOrthographicFrustumIsTheFastPoint) {
    const Frustum f = Box();
    math::LCG a = Seeded(99);
    math::LCG b = Seeded(99);
    EXPECT_TRUE(f.UniformRandomPointInside(a).BitEquals(f.FastRandomPointInside(b)));
    EXPECT_EQ(a.lastNumber, b.lastNumber);
}

TEST(FrustumQueriesTest, UniformRandomPointsLieInsideAndFillTheVolumeEvenly) {
    const Frustum f = Pyramid();
    math::LCG rng = Seeded(7);
    int farHalf = 0;
    const int kDraws = 4000;
    const std::string log = StdoutOf([&] {
        for (int i = 0; i < kDraws; ++i) {
            const float3 p = f.UniformRandomPointInside(rng);
            ASSERT_TRUE(f.Contains(p)) << p.ToString();
            if (p.z < -5.5f) ++farHalf;
        }
    });
    EXPECT_EQ(log, "");
    // Depths beyond 5.5 hold (1000 - 166.4) / 999 of the volume, about 0.834; the fast draw
    // puts only half of its points there.
    EXPECT_NEAR(farHalf / double(kDraws), 0.834, 0.03);
}

TEST(FrustumQueriesTest, FailedRejectionSamplingWarnsAndFallsBackToTheFastPoint) {
    Frustum f = Pyramid();
    f.Translate(float3(100, 0, 0));  // Contains still tests the old place: every draw misses
    math::LCG rng = Seeded(5);
    float3 p;
    const std::string log = StdoutOf([&] { p = f.UniformRandomPointInside(rng); });
    EXPECT_EQ(FirstLine(log),
              "Warning: Rejection sampling failed in Frustum::UniformRandomPointInside! Producing a non-uniformly "
              "distributed point inside the frustum!");
    // The fallback lies in the moved frustum, which its own planes bound.
    for (int i = 0; i < 6; ++i) EXPECT_LE(f.GetPlane(i).SignedDistance(p), 1e-4f) << i;
}

// ---- Closest points ----

TEST(FrustumQueriesTest, OrthographicClosestPointClampsInTheBox) {
    const Frustum f = Box();
    struct Case {
        float3 point;
        float3 closest;
    };
    const Case cases[] = {
        {float3(0.5f, -0.25f, -2), float3(0.5f, -0.25f, -2)},  // inside: itself
        {float3(3, 0, -2), float3(1, 0, -2)},                  // beyond a side face
        {float3(0, 0, 4), float3(0, 0, -1)},                   // in front of the near face
        {float3(-5, 7, -9), float3(-1, 1, -3)},                // beyond a corner
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(Near(f.ClosestPoint(c.point), c.closest, 1e-6f)) << c.point.ToString();
        EXPECT_NEAR(f.Distance(c.point), c.closest.Distance(c.point), 1e-5f);
    }
}

TEST(FrustumQueriesTest, OrthographicClosestPointLogsASkewFrame) {
    Frustum f = Box();
    f.up = float3(0, 1, 0.5f).Normalized();  // no longer perpendicular to front
    const std::string log = StderrOf([&] { f.ClosestPoint(float3(0, 0, 0)); });
    EXPECT_EQ(FirstLine(log), "Error: right.IsNormalized() in Geometry/Frustum:636");
    EXPECT_EQ(StderrOf([&] { Box().ClosestPoint(float3(0, 0, 0)); }), "");
}

// ---- Transforms ----

TEST(FrustumQueriesTest, TranslateMovesTheCornersButNotTheCachedMatrices) {
    Frustum f = Pyramid();
    f.Translate(float3(0, 0, 20));
    EXPECT_TRUE(Near(f.CornerPoint(0), float3(-1, -1, 19), 1e-5f));
    EXPECT_TRUE(f.Contains(float3(0, 0, -5)));   // the old place
    EXPECT_FALSE(f.Contains(float3(0, 0, 15)));  // the new one
    f.SetPos(f.pos);
    EXPECT_TRUE(f.Contains(float3(0, 0, 15)));
}

// Every corner follows the transform, for rigid motions with a uniform scale.
TEST(FrustumQueriesTest, TransformsCarryTheCorners) {
    const math::float3x3 turn = math::float3x3::RotateAxisAngle(float3(1, 2, 3).Normalized(), 0.7f);
    const math::float3x3 turnAndScale = turn * 2.5f;
    const math::float3x4 rigid(turnAndScale, float3(4, -5, 6));
    const math::Quat q = math::Quat::RotateAxisAngle(float3(0, 1, 1).Normalized(), -1.1f);
    for (const Frustum &original : {Pyramid(), Box(), Camera(math::OrthographicFrustum, math::LeftHanded)}) {
        struct Case {
            const char *name;
            Frustum moved;
            math::float3x4 map;
        };
        const Case cases[] = {
            {"float3x3", turnAndScale * original, math::float3x4(turnAndScale, float3(0, 0, 0))},
            {"float3x4", rigid * original, rigid},
            {"float4x4", math::float4x4(rigid) * original, rigid},
            {"quat", q * original, math::float3x4(q.ToFloat3x3(), float3(0, 0, 0))},
        };
        for (const Case &c : cases)
            for (int i = 0; i < 8; ++i)
                EXPECT_TRUE(Near(c.moved.CornerPoint(i), c.map.MulPos(original.CornerPoint(i)), 1e-4f))
                    << c.name << " corner " << i << " of " << original.ToString();
    }
}

TEST(FrustumQueriesTest, UniformScaleDoublesDistancesAndKeepsTheFieldsOfView) {
    Frustum f = Pyramid();
    f.Transform(math::float3x3::identity * 2.f);
    EXPECT_EQ(f.nearDistance, 2.f);
    EXPECT_EQ(f.farDistance, 20.f);
    EXPECT_EQ(f.hFov, kPi / 2);
    EXPECT_EQ(f.vFov, kPi / 2);
    Frustum box = Box();
    box.Transform(math::float3x3::identity * 2.f);
    EXPECT_EQ(box.hFov, 4.f);
    EXPECT_EQ(box.vFov, 4.f);
    // The product copies the caches unrefreshed.
    const Frustum copy = math::float3x3::identity * 2.f * Pyramid();
    EXPECT_TRUE(copy.Contains(float3(0, 0, -5)));
    EXPECT_FALSE(copy.Contains(float3(0, 0, -15)));
}

// ---- Planes ----

TEST(FrustumQueriesTest, PlaneSidesCountACornerOnThePlaneAsPositive) {
    const Frustum f = Box();
    const float a = 0.57735026f;
    struct Case {
        const char *name;
        math::Plane plane;
        bool meets;
        float signedDistance;
    };
    const Case cases[] = {
        {"through the far face, all corners at 0 or above", math::Plane(float3(0, 0, 1), -3), false, 0.f},
        {"one corner at exactly 0, the rest below", math::Plane(float3(a, a, a), a), true, 0.f},
        {"through the middle", math::Plane(float3(1, 0, 0), 0), true, 0.f},
        {"clear above", math::Plane(float3(0, 1, 0), -4), false, 3.f},
        {"clear below", math::Plane(float3(0, 1, 0), 1.5f), false, -0.5f},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.plane.Intersects(f), c.meets) << c.name;
        EXPECT_EQ(f.Intersects(c.plane), c.meets) << c.name;
        EXPECT_EQ(c.plane.SignedDistance(f), c.signedDistance) << c.name;
    }
    EXPECT_FALSE(math::Plane(float3(kNaN, 0, 0), 0).Intersects(f));  // every distance NaN: one side
}

// ---- Polygons ----

TEST(FrustumQueriesTest, PolygonTestsOfEmptyAndSmallPolygons) {
    const Frustum f = Box();
    const math::Polygon empty;
    EXPECT_FALSE(f.Intersects(empty));
    EXPECT_FALSE(empty.Intersects(f));
    EXPECT_FALSE(empty.ConvexIntersects(f));
    EXPECT_FALSE(math::Convex_Intersects_Polygon(f, empty));

    math::Polygon point;
    point.vertices = {float3(0.5f, 0.5f, -2)};
    EXPECT_TRUE(f.Intersects(point));
    point.vertices = {float3(5, 0.5f, -2)};
    EXPECT_FALSE(f.Intersects(point));

    // A square that passes through the box without holding any of its corners, and one that
    // reaches no further than its own plane beside the box.
    math::Polygon through;
    through.vertices = {float3(-5, -5, -2), float3(5, -5, -2), float3(5, 5, -2), float3(-5, 5, -2)};
    EXPECT_TRUE(f.Intersects(through));
    EXPECT_TRUE(math::Convex_Intersects_Polygon(f, through));
    math::Polygon beside;
    beside.vertices = {float3(2, -5, -2), float3(5, -5, -2), float3(5, 5, -2), float3(2, 5, -2)};
    EXPECT_FALSE(f.Intersects(beside));
}

// ---- Text ----

TEST(FrustumQueriesTest, TypeNames) {
    struct Case {
        int type;
        const char *name;
    };
    const Case cases[] = {{0, "InvalidFrustum"}, {1, "OrthographicFrustum"}, {2, "PerspectiveFrustum"},
                          {5, "(invalid frustum type)"}, {-1, "(invalid frustum type)"}};
    for (const Case &c : cases) EXPECT_STREQ(math::FrustumTypeToString(static_cast<math::FrustumType>(c.type)), c.name);
}

TEST(FrustumQueriesTest, TextForms) {
    Frustum huge = Box();
    huge.SetFrame(float3(-1e14f, -1e14f, -1e14f), float3(0, 0, -1), float3(0, 1, 0));
    huge.SetViewPlaneDistances(1e14f, 2e14f);
    huge.SetOrthographic(1e14f, 2e14f);
    Frustum unset;
    struct Case {
        const char *name;
        Frustum frustum;
        const char *text;
    };
    const Case cases[] = {
        {"perspective", Pyramid(),
         "Frustum(PerspectiveFrustum pos:(0.00, 0.00, 0.00) front:(0.00, 0.00, -1.00), up:(0.00, 1.00, 0.00), near: "
         "1.00, far: 10.00, hFov: 1.57, vFov: 1.57)"},
        {"orthographic", Box(),
         "Frustum(OrthographicFrustum pos:(0.00, 0.00, 0.00) front:(0.00, 0.00, -1.00), up:(0.00, 1.00, 0.00), near: "
         "1.00, far: 3.00, ortho width:: 2.00, ortho height:: 2.00)"},
        // Longer than the 256 bytes the text once had to fit: written whole.
        {"orthographic near 1e14", huge,
         "Frustum(OrthographicFrustum pos:(-100000000376832.00, -100000000376832.00, -100000000376832.00) front:(0.00, "
         "0.00, -1.00), up:(0.00, 1.00, 0.00), near: 100000000376832.00, far: 200000000753664.00, ortho width:: "
         "100000000376832.00, ortho height:: 200000000753664.00)"},
        {"unset", unset,
         "Frustum(InvalidFrustum pos:(nan, nan, nan) front:(nan, nan, nan), up:(nan, nan, nan), near: nan, far: nan, "
         "hFov: nan, vFov: nan)"},
    };
    for (const Case &c : cases) {
        std::string text;
        const std::string log = StderrOf([&] { text = c.frustum.ToString(); });
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(log, "") << c.name;
        std::ostringstream out;
        out << c.frustum;
        EXPECT_EQ(out.str(), c.text) << c.name;
    }
    EXPECT_GT(std::string(cases[2].text).size(), 256u);
}
