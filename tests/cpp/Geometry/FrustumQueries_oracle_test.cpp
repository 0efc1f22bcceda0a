// Frustum containment against a brute-force test of its face planes, and its intersection tests
// against CGAL's exact predicates on the frustum cut into tetrahedra. Near-touching cases, where
// the frustum grown and shrunk by a hair disagree, are left out: the float tests may count
// contact there either way.
#include <gtest/gtest.h>

#include <CGAL/squared_distance_3.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Capsule.h"
#include "Geometry/Frustum.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "frustum_fixtures.h"
#include "frustum_oracle.h"
#include "geometry_oracle.h"

using frustum_oracle::Hexahedron;
using frustum_oracle::P;
using frustum_oracle::Tetrahedron;
using math::float3;
using math::Frustum;
using oracle::D3;

namespace {

// Points, directions and frames drawn around a frustum: coordinates in its enclosing box grown
// by half its size on every side.
class Draw {
public:
    Draw(std::mt19937 &rng, const Frustum &f) : rng_(rng) {
        const math::AABB box = f.MinimalEnclosingAABB();
        lo_ = box.minCorner - box.Size() * 0.5f;
        hi_ = box.maxCorner + box.Size() * 0.5f;
        size_ = box.Size().Length();
    }
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
    float Size(float lo, float hi) { return Uniform(lo, hi) * size_; }
    float3 Point() {
        const float x = Uniform(lo_.x, hi_.x);
        const float y = Uniform(lo_.y, hi_.y);
        const float z = Uniform(lo_.z, hi_.z);
        return float3(x, y, z);
    }
    // A point of the frustum, mostly well inside, for shapes that should often be contained.
    float3 Inside(const Frustum &f) {
        const float x = Uniform(-0.95f, 0.95f);
        const float y = Uniform(-0.95f, 0.95f);
        const float t = Uniform(0.02f, 0.98f);
        return f.PointInside(x, y, t);
    }
    float3 Direction() {
        for (;;) {
            const float3 v(Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1));
            if (v.LengthSq() > 0.01f && v.LengthSq() <= 1.f) return v.Normalized();
        }
    }
    math::OBB Box(const float3 &center, float maxHalfSize) {
        const float3 a = Direction();
        float3 b, c;
        a.PerpendicularBasis(b, c);
        const float3 half(Size(0.005f, maxHalfSize), Size(0.005f, maxHalfSize), Size(0.005f, maxHalfSize));
        return math::OBB(center, half, a, b, c);
    }
    math::Polygon Pentagon(const float3 &center, float radius) {
        float3 u, v;
        Direction().PerpendicularBasis(u, v);
        math::Polygon polygon;
        for (int k = 0; k < 5; ++k) {
            const float angle = 1.2566371f * static_cast<float>(k);
            polygon.vertices.push_back(center + u * (radius * std::cos(angle)) + v * (radius * std::sin(angle)));
        }
        return polygon;
    }

private:
    std::mt19937 &rng_;
    float3 lo_, hi_;
    float size_;
};

// ---- Containment ----

// A frustum whose containment tolerance (0.001 in normalised device coordinates) stays small in
// world units: near 1 to 2, depth 2 to 12.
Frustum ModerateFrustum(std::mt19937 &rng, const frustum_fixtures::Kind &k) {
    Frustum f = frustum_fixtures::RandomFrustum(rng, k);
    std::uniform_real_distribution<float> u(0.f, 1.f);
    const float n = 1.f + u(rng);
    f.SetViewPlaneDistances(n, n + 2.f + 10.f * u(rng));
    return f;
}

// How far from the surface the device-space tolerance can reach, generously: a point closer to
// a face than this is not classified.
double Margin(const Frustum &f) {
    const double n = f.nearDistance, d = f.farDistance;
    const float3 farCorner = f.CornerPoint(7) - f.CenterPoint();
    return 0.002 * std::max({double(farCorner.Length()), (d - n) * d / n}) + 1e-4;
}

enum class Side { kInside, kOutside, kUnclear };

Side Classify(const Hexahedron &h, double margin, const std::vector<float3> &points) {
    bool unclear = false;
    for (const float3 &p : points) {
        const double s = h.MaxSignedDistance(D3(p));
        if (s > margin) return Side::kOutside;
        if (s > -margin) unclear = true;
    }
    return unclear ? Side::kUnclear : Side::kInside;
}

// One random shape: the frustum's verdict on it and the points the plane test must find inside.
struct Contained {
    bool verdict;
    std::vector<float3> points;
};

// Mostly points well inside, some anywhere around: every verdict comes up.
float3 Vertex(Draw &draw, const Frustum &f) { return draw.Uniform(0, 1) < 0.85f ? draw.Inside(f) : draw.Point(); }

template <typename Box>
std::vector<float3> Corners(const Box &box) {
    std::vector<float3> corners;
    for (int i = 0; i < 8; ++i) corners.push_back(box.CornerPoint(i));
    return corners;
}

struct ContainCase {
    const char *shape;
    Contained (*run)(const Frustum &, Draw &);
};

const ContainCase kContainCases[] = {
    {"point", [](const Frustum &f, Draw &d) {
         const float3 p = Vertex(d, f);
         return Contained{f.Contains(p), {p}};
     }},
    {"segment", [](const Frustum &f, Draw &d) {
         const math::LineSegment s(Vertex(d, f), Vertex(d, f));
         return Contained{f.Contains(s), {s.a, s.b}};
     }},
    {"triangle", [](const Frustum &f, Draw &d) {
         const math::Triangle t(Vertex(d, f), Vertex(d, f), Vertex(d, f));
         return Contained{f.Contains(t), {t.a, t.b, t.c}};
     }},
    {"polygon", [](const Frustum &f, Draw &d) {
         const math::Polygon p = d.Pentagon(Vertex(d, f), d.Size(0.f, 0.05f));
         return Contained{f.Contains(p), p.vertices};
     }},
    {"aabb", [](const Frustum &f, Draw &d) {
         const float3 c = Vertex(d, f);
         const float3 half(d.Size(0.f, 0.05f), d.Size(0.f, 0.05f), d.Size(0.f, 0.05f));
         const math::AABB box(c - half, c + half);
         return Contained{f.Contains(box), Corners(box)};
     }},
    {"obb", [](const Frustum &f, Draw &d) {
         const math::OBB box = d.Box(Vertex(d, f), 0.05f);
         return Contained{f.Contains(box), Corners(box)};
     }},
    {"polyhedron", [](const Frustum &f, Draw &d) {
         const math::OBB box = d.Box(Vertex(d, f), 0.05f);
         return Contained{f.Contains(box.ToPolyhedron()), Corners(box)};
     }},
    {"frustum", [](const Frustum &f, Draw &d) {
         const float s = d.Uniform(0.3f, 1.1f);
         Frustum inner = math::float3x4::Scale(float3(s, s, s), f.CenterPoint()) * f;
         inner.Translate((Vertex(d, f) - f.CenterPoint()) * 0.3f);
         return Contained{f.Contains(inner), Corners(inner)};
     }},
};

TEST(FrustumQueriesOracleTest, ContainmentAgreesWithThePlaneTest) {
    std::mt19937 rng(5111);
    for (const ContainCase &c : kContainCases) {
        int counts[3] = {0, 0, 0};
        for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
            for (int i = 0; i < 10; ++i) {
                const Frustum f = ModerateFrustum(rng, k);
                const Hexahedron h = Hexahedron::Of(f);
                Draw draw(rng, f);
                for (int trial = 0; trial < 100; ++trial) {
                    const Contained result = c.run(f, draw);
                    const Side side = Classify(h, Margin(f), result.points);
                    ++counts[static_cast<int>(side)];
                    if (side == Side::kUnclear) continue;
                    ASSERT_EQ(result.verdict, side == Side::kInside) << c.shape << " in " << f.ToString();
                }
            }
        // Both verdicts come up often enough to mean something.
        EXPECT_GT(counts[0], 300) << c.shape;
        EXPECT_GT(counts[1], 300) << c.shape;
    }
}

// ---- Intersection ----

double SquaredDistance(const Hexahedron &h, const D3 &p) {
    if (h.MaxSignedDistance(p) <= 0) return 0;
    double best = oracle::kInf;
    for (const auto &t : h.Surface()) best = std::min(best, CGAL::to_double(CGAL::squared_distance(P(p), t)));
    return best;
}

// A segment that misses the solid is nearest to it at an end point or against a face edge.
double SquaredDistance(const Hexahedron &h, const math::LineSegment &s) {
    const frustum_oracle::Kernel::Segment_3 segment(P(s.a), P(s.b));
    if (frustum_oracle::SolidMeets(h.Tetrahedra(), segment)) return 0;
    double best = std::min(SquaredDistance(h, D3(s.a)), SquaredDistance(h, D3(s.b)));
    for (const auto &t : h.Surface())
        for (int e = 0; e < 3; ++e) {
            const frustum_oracle::Kernel::Segment_3 edge(t.vertex(e), t.vertex(e + 1));
            best = std::min(best, CGAL::to_double(CGAL::squared_distance(segment, edge)));
        }
    return best;
}

// The frustum's verdict, the other shape's own member's verdict, and the exact verdicts for the
// frustum grown and shrunk by a hair.
struct Meeting {
    bool verdict;
    bool reverse;
    bool grown;
    bool shrunk;
};

struct Scene {
    const Frustum &f;
    Hexahedron grown, shrunk;
    std::vector<Tetrahedron> grownSolid, shrunkSolid;
    Draw &draw;
};

template <typename Object>
Meeting ByPredicate(const Scene &s, bool verdict, bool reverse, const Object &object) {
    return {verdict, reverse, frustum_oracle::SolidMeets(s.grownSolid, object),
            frustum_oracle::SolidMeets(s.shrunkSolid, object)};
}

frustum_oracle::Kernel::Triangle_3 T(const math::Triangle &t) { return {P(t.a), P(t.b), P(t.c)}; }

struct MeetCase {
    const char *shape;
    Meeting (*run)(Scene &);
    // Answered through the polyhedron form, whose face tests take absolute thicknesses (1e-3
    // and below) that float rounding exceeds at the largest scale.
    bool viaPolyhedron = false;
};

const MeetCase kMeetCases[] = {
    {"segment", [](Scene &s) {
         const float3 a = s.draw.Point();
         const math::LineSegment seg(a, a + s.draw.Direction() * s.draw.Size(0.05f, 1.f));
         return ByPredicate(s, s.f.Intersects(seg), seg.Intersects(s.f),
                            frustum_oracle::Kernel::Segment_3(P(seg.a), P(seg.b)));
     }},
    {"triangle", [](Scene &s) {
         const float3 a = s.draw.Point();
         const math::Triangle t(a, a + s.draw.Direction() * s.draw.Size(0.05f, 0.6f),
                                a + s.draw.Direction() * s.draw.Size(0.05f, 0.6f));
         return ByPredicate(s, s.f.Intersects(t), t.Intersects(s.f), T(t));
     }},
    {"polygon", [](Scene &s) {
         const math::Polygon p = s.draw.Pentagon(s.draw.Point(), s.draw.Size(0.01f, 0.3f));
         bool grown = false, shrunk = false;
         for (const math::Triangle &t : p.Triangulate()) {
             grown = grown || frustum_oracle::SolidMeets(s.grownSolid, T(t));
             shrunk = shrunk || frustum_oracle::SolidMeets(s.shrunkSolid, T(t));
         }
         return Meeting{s.f.Intersects(p), p.Intersects(s.f), grown, shrunk};
     }},
    {"aabb", [](Scene &s) {
         const float3 c = s.draw.Point();
         const float3 half(s.draw.Size(0.005f, 0.2f), s.draw.Size(0.005f, 0.2f), s.draw.Size(0.005f, 0.2f));
         const math::AABB box(c - half, c + half);
         const std::vector<Tetrahedron> solid = Hexahedron::Of(box).Tetrahedra();
         return Meeting{s.f.Intersects(box), box.Intersects(s.f), frustum_oracle::SolidsMeet(s.grownSolid, solid),
                        frustum_oracle::SolidsMeet(s.shrunkSolid, solid)};
     }},
    {"obb", [](Scene &s) {
         const math::OBB box = s.draw.Box(s.draw.Point(), 0.2f);
         const std::vector<Tetrahedron> solid = Hexahedron::Of(box).Tetrahedra();
         return Meeting{s.f.Intersects(box), box.Intersects(s.f), frustum_oracle::SolidsMeet(s.grownSolid, solid),
                        frustum_oracle::SolidsMeet(s.shrunkSolid, solid)};
     }},
    {"frustum", [](Scene &s) {
         std::mt19937 rng(static_cast<uint32_t>(s.draw.Uniform(0, 1e6f)));
         const frustum_fixtures::Kind &kind = frustum_fixtures::kKinds[rng() % 8];
         Frustum other = frustum_fixtures::RandomFrustum(rng, kind);
         other.Translate(s.draw.Point() - other.CenterPoint());
         const std::vector<Tetrahedron> solid = Hexahedron::Of(other).Tetrahedra();
         return Meeting{s.f.Intersects(other), other.Intersects(s.f), frustum_oracle::SolidsMeet(s.grownSolid, solid),
                        frustum_oracle::SolidsMeet(s.shrunkSolid, solid)};
     }},
    {"ray", [](Scene &s) {
         const math::Ray ray(s.draw.Point(), s.draw.Direction());
         return ByPredicate(s, s.f.Intersects(ray), ray.Intersects(s.f),
                            frustum_oracle::Kernel::Ray_3(P(ray.pos), P(ray.pos + ray.dir)));
     },
     true},
    {"line", [](Scene &s) {
         const math::Line line(s.draw.Point(), s.draw.Direction());
         return ByPredicate(s, s.f.Intersects(line), line.Intersects(s.f),
                            frustum_oracle::Kernel::Line_3(P(line.pos), P(line.pos + line.dir)));
     },
     true},
    {"polyhedron", [](Scene &s) {
         const math::OBB box = s.draw.Box(s.draw.Point(), 0.2f);
         const math::Polyhedron p = box.ToPolyhedron();
         const std::vector<Tetrahedron> solid = Hexahedron::Of(box).Tetrahedra();
         return Meeting{s.f.Intersects(p), p.Intersects(s.f), frustum_oracle::SolidsMeet(s.grownSolid, solid),
                        frustum_oracle::SolidsMeet(s.shrunkSolid, solid)};
     },
     true},
    {"sphere", [](Scene &s) {
         const math::Sphere ball(s.draw.Point(), s.draw.Size(0.005f, 0.3f));
         const double r2 = double(ball.r) * ball.r;
         return Meeting{s.f.Intersects(ball), ball.Intersects(s.f), SquaredDistance(s.grown, D3(ball.pos)) <= r2,
                        SquaredDistance(s.shrunk, D3(ball.pos)) <= r2};
     }},
    {"capsule", [](Scene &s) {
         const float3 a = s.draw.Point();
         const math::Capsule c(a, a + s.draw.Direction() * s.draw.Size(0.f, 0.4f), s.draw.Size(0.005f, 0.2f));
         const double r2 = double(c.r) * c.r;
         return Meeting{s.f.Intersects(c), c.Intersects(s.f), SquaredDistance(s.grown, c.axis) <= r2,
                        SquaredDistance(s.shrunk, c.axis) <= r2};
     }},
};

// At three scales: the frustum, and the shapes drawn around it, scaled about the origin. GJK's
// contact tolerance is absolute (about 1e-3), so the scales start at 1: at 0.01 a gap of a few
// thousandths already counts as contact.
TEST(FrustumQueriesOracleTest, IntersectionVerdictsAgreeWithExactPredicates) {
    std::mt19937 rng(2203);
    for (const MeetCase &c : kMeetCases) {
        int meets = 0, misses = 0;
        for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
            for (int i = 0; i < 6; ++i) {
                const float scale = i % 3 == 0 ? 1.f : (i % 3 == 1 ? 30.f : 1000.f);
                if (c.viaPolyhedron && scale > 30.f) continue;
                const Frustum f = math::float3x3::identity * scale * frustum_fixtures::RandomFrustum(rng, k);
                const Hexahedron h = Hexahedron::Of(f);
                Draw draw(rng, f);
                Scene scene{f, h.Scaled(1.002), h.Scaled(0.998), {}, {}, draw};
                scene.grownSolid = scene.grown.Tetrahedra();
                scene.shrunkSolid = scene.shrunk.Tetrahedra();
                for (int trial = 0; trial < 60; ++trial) {
                    const Meeting m = c.run(scene);
                    ASSERT_EQ(m.verdict, m.reverse) << c.shape;
                    if (m.grown != m.shrunk) continue;
                    ++(m.grown ? meets : misses);
                    ASSERT_EQ(m.verdict, m.grown) << c.shape << " against " << f.ToString();
                }
            }
        EXPECT_GT(meets, 100) << c.shape;
        EXPECT_GT(misses, 100) << c.shape;
    }
}

// ---- Closest points ----

// The distance to the solid, and a closest point that lies in it at that distance; the
// perspective frustum answers through its polyhedron, whose containment test has a tolerance
// of its own.
TEST(FrustumQueriesOracleTest, ClosestPointsAgreeWithCgalDistances) {
    std::mt19937 rng(636);
    for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
        for (int i = 0; i < 8; ++i) {
            const Frustum f = frustum_fixtures::RandomFrustum(rng, k);
            const Hexahedron h = Hexahedron::Of(f);
            Draw draw(rng, f);
            for (int trial = 0; trial < 60; ++trial) {
                const float3 p = trial % 4 == 0 ? draw.Inside(f) : draw.Point();
                const double expected = std::sqrt(SquaredDistance(h, D3(p)));
                const double tolerance = 2e-3 + 1e-5 * (expected + oracle::Length(D3(p)));
                const float3 closest = f.ClosestPoint(p);
                EXPECT_NEAR(f.Distance(p), expected, tolerance) << p.ToString() << " to " << f.ToString();
                EXPECT_NEAR(closest.Distance(p), expected, tolerance) << p.ToString() << " to " << f.ToString();
                EXPECT_LE(h.MaxSignedDistance(D3(closest)), tolerance) << p.ToString() << " to " << f.ToString();
            }
        }
}

// ---- Planes ----

TEST(FrustumQueriesOracleTest, PlaneTestsAgreeWithTheCorners) {
    std::mt19937 rng(77);
    for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
        for (int i = 0; i < 50; ++i) {
            const Frustum f = frustum_fixtures::RandomFrustum(rng, k);
            Draw draw(rng, f);
            const math::Plane plane(draw.Point(), draw.Direction());
            double lo = oracle::kInf, hi = -oracle::kInf;
            for (int c = 0; c < 8; ++c) {
                const double s = oracle::Dot(D3(plane.normal), D3(f.CornerPoint(c))) - plane.d;
                lo = std::min(lo, s);
                hi = std::max(hi, s);
            }
            const double tolerance = 1e-4 * (std::fabs(lo) + std::fabs(hi) + 1);
            if (lo > tolerance || hi < -tolerance) {
                EXPECT_FALSE(plane.Intersects(f));
                EXPECT_FALSE(f.Intersects(plane));
                EXPECT_NEAR(plane.SignedDistance(f), lo > 0 ? lo : hi, tolerance);
            } else if (lo < -tolerance && hi > tolerance) {
                EXPECT_TRUE(plane.Intersects(f));
                EXPECT_TRUE(f.Intersects(plane));
                EXPECT_EQ(plane.SignedDistance(f), 0.f);
            }
        }
}

// ---- Measures ----

TEST(FrustumQueriesOracleTest, VolumeIsThatOfTheTetrahedra) {
    std::mt19937 rng(8);
    for (const frustum_fixtures::Kind &k : frustum_fixtures::kKinds)
        for (int i = 0; i < 20; ++i) {
            const Frustum f = frustum_fixtures::RandomFrustum(rng, k);
            const double expected = Hexahedron::Of(f).Volume();
            EXPECT_NEAR(f.Volume(), expected, 1e-4 * expected) << f.ToString();
        }
}

}  // namespace
