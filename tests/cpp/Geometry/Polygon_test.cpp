#include "Geometry/Polygon.h"

#include <gtest/gtest.h>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/AABB2D.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "geometry_oracle.h"

using math::float2;
using math::float3;
using math::LCG;
using math::Line;
using math::LineSegment;
using math::Plane;
using math::Polygon;
using math::PolygonAxes;
using math::Ray;
using math::Triangle;
using namespace oracle;

namespace bg = boost::geometry;

namespace {

using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;
using BLine = bg::model::linestring<BPoint>;

Polygon Make(std::initializer_list<float3> vertices) {
    Polygon p;
    p.vertices = vertices;
    return p;
}

Polygon Flat(const std::vector<std::pair<float, float>> &xy) {
    Polygon p;
    for (const auto &v : xy) p.vertices.emplace_back(v.first, v.second, 0.f);
    return p;
}

// The triangles as vertex index triples, found by bitwise vertex identity.
std::vector<std::vector<int>> Indices(const Polygon &p, const std::vector<Triangle> &triangles) {
    auto index = [&](const float3 &v) {
        for (int i = 0; i < p.NumVertices(); ++i)
            if (p.vertices[i].BitEquals(v)) return i;
        return -1;
    };
    std::vector<std::vector<int>> out;
    for (const Triangle &t : triangles) out.push_back({index(t.a), index(t.b), index(t.c)});
    return out;
}

double TriangleAreaSum(const std::vector<Triangle> &triangles) {
    double sum = 0;
    for (const Triangle &t : triangles) sum += 0.5 * Length(Cross(D3(t.b) - D3(t.a), D3(t.c) - D3(t.a)));
    return sum;
}

const Polygon kSquare = Flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}});

// An orthonormal frame in double that embeds 2D outlines in 3D.
struct Frame3 {
    D3 origin, ex, ey, ez;

    float3 Embed(double x, double y) const {
        const D3 p = origin + ex * x + ey * y;
        return float3(float(p.x), float(p.y), float(p.z));
    }
    BPoint Flatten(const float3 &p) const {
        const D3 d = D3(p) - origin;
        return BPoint(Dot(d, ex), Dot(d, ey));
    }
    double Height(const float3 &p) const { return Dot(D3(p) - origin, ez); }
};

D3 Unit(const D3 &v) { return v * (1 / Length(v)); }

// A random simple polygon with its outline as the oracle sees it.
struct Sample {
    Polygon polygon;
    Frame3 frame;
    BPolygon region;
    BLine boundary;
};

double Orient(const BPoint &a, const BPoint &b, const BPoint &c) {
    return (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
}

bool Cross2D(const BPoint &a, const BPoint &b, const BPoint &c, const BPoint &d) {
    return Orient(a, b, c) * Orient(a, b, d) < 0 && Orient(c, d, a) * Orient(c, d, b) < 0;
}

class PolygonSource {
public:
    explicit PolygonSource(uint32_t seed) : engine_(seed), random_(seed + 1) {}

    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(engine_); }
    int Count(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }

    // Vertices at sorted angles around the origin, no two more than half a turn apart, so
    // that the origin sees the whole outline.
    std::vector<BPoint> Star() {
        const int n = Count(4, 24);
        std::vector<double> angles;
        do {
            angles.clear();
            for (int i = 0; i < n; ++i) angles.push_back(Uniform(0, 2 * M_PI));
            std::sort(angles.begin(), angles.end());
        } while (!SeenFromTheOrigin(angles));
        std::vector<BPoint> outline;
        for (double a : angles) {
            const double r = Uniform(2, 10);
            outline.emplace_back(r * std::cos(a), r * std::sin(a));
        }
        return outline;
    }

    // Random points, with crossing edge pairs uncrossed by reversing the chain between them
    // until none is left.
    std::vector<BPoint> Untangled() {
        const int n = Count(4, 16);
        std::vector<BPoint> outline;
        for (int i = 0; i < n; ++i) outline.emplace_back(Uniform(-10, 10), Uniform(-10, 10));
        for (bool changed = true; changed;) {
            changed = false;
            for (int i = 0; i < n; ++i) {
                for (int j = i + 2; j < n; ++j) {
                    if (i == 0 && j == n - 1) continue;
                    if (Cross2D(outline[i], outline[i + 1], outline[j], outline[(j + 1) % n])) {
                        std::reverse(outline.begin() + i + 1, outline.begin() + j + 1);
                        changed = true;
                    }
                }
            }
        }
        return outline;
    }

    // Either winding, any start vertex, in the plane z = 0 or in a tilted plane.
    Sample Embed(std::vector<BPoint> outline) {
        if (Count(0, 1)) std::reverse(outline.begin(), outline.end());
        std::rotate(outline.begin(), outline.begin() + Count(0, int(outline.size()) - 1), outline.end());
        Sample s;
        if (Count(0, 1)) {
            s.frame = {D3(0, 0, 0), D3(1, 0, 0), D3(0, 1, 0), D3(0, 0, 1)};
        } else {
            const D3 ez = Unit(D3(random_.Direction()));
            const D3 ex = Unit(Cross(ez, std::fabs(ez.x) < 0.9 ? D3(1, 0, 0) : D3(0, 1, 0)));
            s.frame = {D3(random_.Point(20.f)), ex, Cross(ez, ex), ez};
        }
        for (const BPoint &q : outline) s.polygon.vertices.push_back(s.frame.Embed(q.x(), q.y()));
        for (const float3 &v : s.polygon.vertices) {
            const BPoint q = s.frame.Flatten(v);
            bg::append(s.region.outer(), q);
            bg::append(s.boundary, q);
        }
        bg::append(s.boundary, s.boundary.front());
        bg::correct(s.region);
        return s;
    }

    Sample Next(int i) { return Embed(i % 3 == 2 ? Untangled() : Star()); }

private:
    static bool SeenFromTheOrigin(const std::vector<double> &sorted) {
        double gap = sorted.front() + 2 * M_PI - sorted.back();
        for (size_t i = 1; i < sorted.size(); ++i) gap = std::max(gap, sorted[i] - sorted[i - 1]);
        return gap < 0.9 * M_PI;
    }

    std::mt19937 engine_;
    Random random_;
};

// Inside the region, or so close to its boundary that rounding decides.
bool InsideOrOnBoundary(const Sample &s, const float3 &p) {
    const BPoint q = s.frame.Flatten(p);
    return bg::within(q, s.region) || bg::distance(q, s.boundary) < 1e-4;
}

const int kSamples = 3000;

// Star outlines on an integer lattice, laid into a tilted plane by steps that are exact in
// float: lattice points that line up stay exactly in line in 3D, as outlines drawn on a grid
// do, so outline vertices often lie exactly on candidate diagonals.
class LatticeStars {
public:
    explicit LatticeStars(uint32_t seed) : engine_(seed) {}

    struct Star {
        Polygon polygon;
        D3 normal;         // of the lattice plane, along which the outline runs counter-clockwise
        double area = 0;  // exact
    };

    Star Next() {
        std::vector<std::pair<int, int>> outline = Outline();
        if (Count(0, 1)) std::reverse(outline.begin(), outline.end());
        std::rotate(outline.begin(), outline.begin() + Count(0, int(outline.size()) - 1), outline.end());
        D3 a, b;
        do {
            a = Step(), b = Step();
        } while (Length(Cross(a, b)) < std::max(0.3 * Length(a) * Length(b), 0.5));
        const D3 origin(Count(-4096, 4096) / 64.0, Count(-4096, 4096) / 64.0, Count(-4096, 4096) / 64.0);
        Star s;
        double twiceArea = 0;
        for (size_t k = 0, prev = outline.size() - 1; k < outline.size(); prev = k++) {
            twiceArea += double(outline[prev].first) * outline[k].second -
                         double(outline[prev].second) * outline[k].first;
            const D3 p = origin + a * outline[k].first + b * outline[k].second;
            s.polygon.vertices.emplace_back(float(p.x), float(p.y), float(p.z));
        }
        s.normal = Cross(a, b) * (twiceArea > 0 ? 1 : -1);
        s.area = 0.5 * std::fabs(twiceArea) * Length(s.normal);
        return s;
    }

private:
    int Count(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }

    // A lattice step of eighths, so that sums of a few dozen steps stay exact floats.
    D3 Step() { return D3(Count(-24, 24) / 8.0, Count(-24, 24) / 8.0, Count(-24, 24) / 8.0); }

    // Lattice points at distinct angles around the lattice origin, in angle order, no gap of
    // half a turn or more: the origin sees the whole outline, which is therefore simple.
    std::vector<std::pair<int, int>> Outline() {
        for (;;) {
            std::vector<std::pair<double, std::pair<int, int>>> points;
            const int n = Count(4, 24);
            for (int k = 0; k < n; ++k) {
                const int x = Count(-16, 16), y = Count(-16, 16);
                if (x == 0 && y == 0) continue;
                points.push_back({std::atan2(double(y), double(x)), {x, y}});
            }
            std::sort(points.begin(), points.end());
            std::vector<std::pair<int, int>> outline;
            for (size_t k = 0; k < points.size(); ++k) {
                const auto &[x, y] = points[k].second;
                const bool sameRay = !outline.empty() &&
                                     outline.back().first * y == outline.back().second * x &&
                                     outline.back().first * x + outline.back().second * y > 0;
                if (!sameRay) outline.push_back({x, y});
            }
            if (outline.size() >= 4 && WholeTurnSeen(outline)) return outline;
        }
    }

    static bool WholeTurnSeen(const std::vector<std::pair<int, int>> &outline) {
        for (size_t k = 0, prev = outline.size() - 1; k < outline.size(); prev = k++) {
            const auto &[px, py] = outline[prev];
            const auto &[x, y] = outline[k];
            if (px * y - py * x <= 0) return false;  // a gap of half a turn or more
        }
        return true;
    }

    std::mt19937 engine_;
};

double SignedArea(const Triangle &t, const D3 &normal) {
    return 0.5 * Dot(Cross(D3(t.b) - D3(t.a), D3(t.c) - D3(t.a)), normal) / Length(normal);
}

}  // namespace

TEST(PolygonProperties, TriangulationCoversExactlyThePolygon) {
    PolygonSource source(2101);
    for (int i = 0; i < kSamples; ++i) {
        const Sample s = source.Next(i);
        const std::vector<Triangle> triangles = s.polygon.Triangulate();
        const double area = std::fabs(bg::area(s.region));
        ASSERT_EQ(int(triangles.size()), s.polygon.NumVertices() - 2) << s.polygon.ToString();
        EXPECT_NEAR(TriangleAreaSum(triangles), area, 1e-4 * area) << s.polygon.ToString();
        EXPECT_NEAR(s.polygon.Area(), area, 1e-4 * area);
        for (const Triangle &t : triangles) EXPECT_TRUE(InsideOrOnBoundary(s, t.Centroid())) << t.ToString();
    }
}

// Tilted lattice stars at volume: every triangle turns with the outline and together they
// cover its area exactly once.
TEST(PolygonProperties, LatticeStarsInTiltedPlanesTriangulateExactly) {
    LatticeStars source(2105);
    for (int i = 0; i < 100000; ++i) {
        const LatticeStars::Star s = source.Next();
        const std::vector<Triangle> triangles = s.polygon.Triangulate();
        ASSERT_EQ(int(triangles.size()), s.polygon.NumVertices() - 2) << s.polygon.ToString();
        double sum = 0;
        for (const Triangle &t : triangles) {
            const double area = SignedArea(t, s.normal);
            ASSERT_GE(area, -1e-9 * s.area) << s.polygon.ToString() << " " << t.ToString();
            sum += area;
        }
        ASSERT_NEAR(sum, s.area, 1e-6 * s.area) << s.polygon.ToString();
    }
}

TEST(PolygonProperties, RandomInteriorPointsLieInside) {
    PolygonSource source(2102);
    LCG lcg;
    lcg.Seed(777, 69621, 0, 0x7FFFFFFF);
    for (int i = 0; i < kSamples; ++i) {
        const Sample s = source.Next(i);
        for (int k = 0; k < 10; ++k) {
            const float3 p = s.polygon.FastRandomPointInside(lcg);
            EXPECT_TRUE(InsideOrOnBoundary(s, p)) << s.polygon.ToString() << " " << p.ToString();
            EXPECT_LT(std::fabs(s.frame.Height(p)), 1e-4);
        }
    }
}

TEST(PolygonProperties, ContainsAgreesWithOracleAwayFromTheBoundary) {
    PolygonSource source(2103);
    int inside = 0, outside = 0;
    for (int i = 0; i < kSamples; ++i) {
        const Sample s = source.Next(i);
        const Plane plane = s.polygon.PlaneCCW();
        const D3 normal(plane.normal);
        const PolygonAxes axes = s.polygon.ContainmentAxes();  // derived once, as callers may
        for (int k = 0; k < 20; ++k) {
            const double x = source.Uniform(-11, 11), y = source.Uniform(-11, 11);
            const BPoint q(x, y);
            if (bg::distance(q, s.boundary) < 1e-2) continue;
            const bool expected = bg::within(q, s.region);
            (expected ? inside : outside)++;
            // On the polygon's own plane, as the engine drops points onto it: the plane of the
            // first spanning corner carries the vertices' rounding, which far from that corner
            // can exceed the thickness. 0.002 off it still counts with the engine's 1e-5.
            const D3 inFrame = s.frame.origin + s.frame.ex * x + s.frame.ey * y;
            const D3 onPlane = inFrame - normal * (Dot(normal, inFrame) - plane.d);
            for (double h : {0.0, 0.002, -0.002}) {
                const D3 p = onPlane + normal * h;
                const float3 q3(float(p.x), float(p.y), float(p.z));
                EXPECT_EQ(s.polygon.Contains(q3, 1e-5f), expected)
                    << s.polygon.ToString() << " (" << x << ", " << y << ", " << h << ")";
                EXPECT_EQ(s.polygon.Contains(q3, 1e-5f, axes), expected);
            }
            const D3 far = onPlane + normal * 0.004;
            EXPECT_FALSE(s.polygon.Contains(float3(float(far.x), float(far.y), float(far.z)), 1e-5f));
        }
    }
    EXPECT_GT(inside, 10000);
    EXPECT_GT(outside, 10000);
}

TEST(PolygonProperties, DistanceAgreesWithBruteForceDistanceToTheEdges) {
    PolygonSource source(2104);
    for (int i = 0; i < kSamples; ++i) {
        const Sample s = source.Next(i);
        for (int k = 0; k < 5; ++k) {
            const double x = source.Uniform(-14, 14), y = source.Uniform(-14, 14), h = source.Uniform(-3, 3);
            const D3 p = s.frame.origin + s.frame.ex * x + s.frame.ey * y + s.frame.ez * h;
            const float3 pf(float(p.x), float(p.y), float(p.z));
            const BPoint q = s.frame.Flatten(pf);
            double planar = kInf;
            for (int e = 0; e < s.polygon.NumEdges(); ++e) {
                const LineSegment edge = s.polygon.Edge(e);
                planar = std::min(planar, Distance(D3(pf), SegmentSet(edge.a, edge.b)));
            }
            // The edges' distance holds outside; inside, the height above the plane.
            const double height = s.frame.Height(pf);
            const double expected = bg::within(q, s.region) ? std::min(std::fabs(height), planar) : planar;
            EXPECT_NEAR(s.polygon.Distance(pf), expected, 1e-3) << s.polygon.ToString() << " " << pf.ToString();
        }
    }
}

TEST(PolygonTriangulate, ListedOutlines) {
    struct Case {
        const char *name;
        Polygon polygon;
        std::vector<std::vector<int>> triangles;
    };
    const Case cases[] = {
        {"quad", kSquare, {{0, 1, 2}, {0, 2, 3}}},
        {"convex pentagon", Flat({{0, 0}, {2, -1}, {4, 0}, {4, 4}, {0, 4}}), {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}},
        {"L", Flat({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}), {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 5}}},
        {"arrow", Flat({{0, 0}, {4, 0}, {4, 4}, {2, 2}, {0, 4}}), {{1, 2, 3}, {0, 1, 3}, {0, 3, 4}}},
        // Outlines an ear test without the remaining vertices would cover wrongly or only in part.
        {"notch", Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}}), {{1, 2, 3}, {0, 1, 3}, {0, 3, 4}}},
        {"pocket", Flat({{0, 0}, {4, 0}, {0, 4}, {1, 2}, {1, 1}}), {{1, 2, 3}, {1, 3, 4}, {1, 4, 0}}},
        {"dart", Flat({{0, 0}, {4, 0}, {4, 4}, {2, 1}}), {{1, 2, 3}, {1, 3, 0}}},
        {"L from its inner corner", Flat({{2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}}),
         {{1, 2, 3}, {1, 3, 4}, {0, 1, 4}, {0, 4, 5}}},
        {"triangle", Flat({{0, 0}, {1, 0}, {0, 1}}), {{0, 1, 2}}},
        {"two vertices", Flat({{0, 0}, {1, 0}}), {}},
    };
    for (const Case &c : cases) {
        const std::vector<Triangle> triangles = c.polygon.Triangulate();
        EXPECT_EQ(Indices(c.polygon, triangles), c.triangles) << c.name;
        EXPECT_NEAR(TriangleAreaSum(triangles), c.polygon.Area(), 1e-5) << c.name;
    }
    // Wound clockwise, the outline is clipped all the same.
    Polygon clockwise = Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}});
    std::reverse(clockwise.vertices.begin(), clockwise.vertices.end());
    EXPECT_NEAR(TriangleAreaSum(clockwise.Triangulate()), 14.0, 1e-5);
    // Repeated and straight-through vertices, common in modelled faces, cost a flat triangle each.
    for (const Polygon &p : {Flat({{0, 0}, {2, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}),
                             Flat({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 1}})}) {
        const std::vector<Triangle> triangles = p.Triangulate();
        EXPECT_EQ(int(triangles.size()), p.NumVertices() - 2) << p.ToString();
        EXPECT_NEAR(TriangleAreaSum(triangles), 3.0, 1e-6) << p.ToString();
    }
    // A self-crossing outline stops with what it found.
    const Polygon bowtie = Flat({{0, 0}, {2, 2}, {2, 0}, {0, 2}});
    EXPECT_LE(bowtie.Triangulate().size(), 2u);
    // Small outlines are not turned away by the absolute thresholds of the 2D line test.
    Polygon tiny = Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}});
    for (float3 &v : tiny.vertices) v *= 0.001f;
    EXPECT_EQ(Indices(tiny, tiny.Triangulate()), (std::vector<std::vector<int>>{{1, 2, 3}, {0, 1, 3}, {0, 3, 4}}));
}

// A simple star in a tilted plane whose vertex 20 halves the segment from vertex 0 to vertex 18
// exactly: an ear with that diagonal must wait, or the rest of the outline touches itself there.
TEST(PolygonTriangulate, TiltedStarWithAVertexOnADiagonal) {
    const Polygon star = Make({{1.640625f, 7.375f, -50.171875f},    {3.765625f, 0.5625f, -47.546875f},
                               {2.890625f, 1.65625f, -38.359375f},  {1.015625f, 6.375f, -32.921875f},
                               {6.015625f, -9.375f, -28.421875f},   {0.984375f, 4.78125f, -22.796875f},
                               {2.203125f, -0.75f, -11.546875f},    {-0.234375f, 6.75f, -12.671875f},
                               {-2.921875f, 15.15625f, -14.734375f}, {-4.609375f, 18.75f, -5.921875f},
                               {-7.890625f, 28.9375f, -7.984375f},  {-6.515625f, 27.21875f, -22.421875f},
                               {-11.265625f, 40.28125f, -15.296875f}, {-6.671875f, 28.75f, -28.796875f},
                               {-6.859375f, 29.875f, -32.171875f},  {-8.921875f, 37.5f, -40.796875f},
                               {-7.921875f, 35.65625f, -47.734375f}, {-6.390625f, 32.40625f, -55.796875f},
                               {-3.859375f, 22.5625f, -42.296875f}, {-1.296875f, 17.28125f, -56.734375f},
                               {-1.109375f, 14.96875f, -46.234375f}});
    ASSERT_TRUE(star.IsSimple());
    const D3 normal(star.NormalCCW());
    const double area = star.Area();
    ASSERT_NEAR(area, 1287.83, 0.01);
    const std::vector<Triangle> triangles = star.Triangulate();
    ASSERT_EQ(triangles.size(), 19u);
    double sum = 0;
    for (const Triangle &t : triangles) {
        EXPECT_GE(SignedArea(t, normal), 0) << t.ToString();
        sum += SignedArea(t, normal);
    }
    EXPECT_NEAR(sum, area, 1e-6 * area);
}

// A star of n points in a tilted plane: every other vertex drawn in, so that many corners
// are no ears and the clipping loop walks past them.
Polygon TiltedStar(int n) {
    Polygon p;
    for (int i = 0; i < n; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(n);
        const float r = i % 2 ? 6.f : 10.f;
        const float x = r * std::cos(a), y = r * std::sin(a);
        p.vertices.emplace_back(x, y, 0.3f * x - 0.2f * y + 5.f);
    }
    return p;
}

struct ThrowAfter {
    int limit;
    int calls = 0;
    void operator()() {
        if (++calls == limit) throw std::runtime_error("stop");
    }
};

TEST(PolygonTriangulate, CheckThatNeverThrowsGivesTheSameTriangles) {
    const Polygon star = TiltedStar(3000);
    int calls = 0;
    const std::vector<Triangle> checked = star.Triangulate([&calls] { ++calls; });
    const std::vector<Triangle> plain = star.Triangulate();
    EXPECT_GT(calls, 100);
    ASSERT_EQ(plain.size(), 2998u);
    ASSERT_EQ(checked.size(), plain.size());
    for (size_t k = 0; k < plain.size(); ++k) {
        const Triangle &p = plain[k], &c = checked[k];
        EXPECT_TRUE(p.a.BitEquals(c.a) && p.b.BitEquals(c.b) && p.c.BitEquals(c.c)) << "triangle " << k;
    }
    // An empty check is the plain call.
    EXPECT_EQ(Indices(star, star.Triangulate(math::CancelCheck{})), Indices(star, plain));
}

// A hundred thousand vertices would take minutes to clip; the throwing check ends it at once.
TEST(PolygonTriangulate, ThrowingCheckAbandonsALargeOutline) {
    const Polygon star = TiltedStar(100000);
    for (int limit : {1, 5}) {
        ThrowAfter check{limit};
        EXPECT_THROW(star.Triangulate(std::ref(check)), std::runtime_error) << limit;
        EXPECT_EQ(check.calls, limit);
    }
}

TEST(PolygonPlane, OrientationFallbacksAndEmpty) {
    struct Case {
        const char *name;
        Polygon polygon;
        float3 normal;
        float d;
    };
    const float3 ccwSquare[] = {float3(0, 0, 0), float3(1, 0, 0), float3(1, 1, 0), float3(0, 1, 0)};
    const Case cases[] = {
        {"square", kSquare, float3(0, 0, 1), 0},
        {"square clockwise", Make({ccwSquare[0], ccwSquare[3], ccwSquare[2], ccwSquare[1]}), float3(0, 0, -1), 0},
        {"notch, reflex first corner", Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}}), float3(0, 0, 1), 0},
        {"L from its inner corner", Flat({{2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}}), float3(0, 0, 1), 0},
        {"collinear along x", Make({float3(0, 0, 2), float3(1, 0, 2), float3(2, 0, 2), float3(5, 0, 2)}),
         float3(0, 0, 1), 2},
        {"collinear along z", Make({float3(0, 0, 0), float3(0, 0, 1), float3(0, 0, 2), float3(0, 0, 3)}),
         float3(-1, 0, 0), 0},
        {"two vertices", Make({float3(0, 0, 0), float3(0, 1, 0)}), float3(0, 0, 1), 0},
        {"coincident pair", Make({float3(1, 1, 1), float3(1, 1, 1)}), float3(0, 0, 1), 1},
        {"one vertex", Make({float3(3, 4, 5)}), float3(0, 1, 0), 4},
    };
    for (const Case &c : cases) {
        const Plane plane = c.polygon.PlaneCCW();
        EXPECT_TRUE(Near(plane.normal, D3(c.normal), 1e-6)) << c.name;
        EXPECT_NEAR(plane.d, c.d, 1e-6) << c.name;
        EXPECT_TRUE(Near(c.polygon.NormalCW(), D3(c.normal) * -1, 1e-6)) << c.name;
        EXPECT_NEAR(c.polygon.PlaneCW().d, -c.d, 1e-6) << c.name;
    }
    const Plane collinearThree = Make({float3(0, 0, 0), float3(1, 0, 0), float3(2, 0, 0)}).PlaneCCW();
    EXPECT_TRUE(AllNaN(collinearThree.normal) && std::isnan(collinearThree.d));
    const Plane empty = Polygon().PlaneCCW();
    EXPECT_TRUE(AllNaN(empty.normal) && std::isnan(empty.d));
    EXPECT_TRUE(AllNaN(Polygon().NormalCCW()));
    EXPECT_TRUE(AllNaN(Polygon().EdgeNormal(0)));
}

TEST(PolygonPlane, SplitEdgeNoiseDoesNotPickThePlane) {
    // Vertex 1 halves the edge from vertex 0 to vertex 2, off it by rounding.
    const float3 a(-11.836f, 36.335f, 25.523f), b(90.117f, -92.677f, -99.409f), w(10, 20, 30);
    const float3 m = a + (b - a) * 0.5f;
    const Polygon face = Make({a, m, b, b + w, a + w});
    ASSERT_GT((m - a).Cross(b - a).LengthSq(), 1e-8f);
    const D3 truth = Unit(Cross(D3(b) - D3(a), D3(w)));
    ASSERT_FALSE(Near((m - a).Cross(b - a).Normalized(), truth, 0.1));
    EXPECT_TRUE(Near(face.NormalCCW(), truth, 1e-5));
    EXPECT_NEAR(face.Area(), Length(Cross(D3(b) - D3(a), D3(w))), 1e-2);
    EXPECT_TRUE(face.Contains(face.Centroid(), 1e-5f));
}

TEST(PolygonFrame, BasisMappingAndRepeatedFirstVertex) {
    const Polygon tilted = Make({float3(1, 0, 0), float3(3, 0, 1), float3(3, 2, 1), float3(1, 2, 0)});
    const float3 u = tilted.BasisU(), v = tilted.BasisV(), n = tilted.NormalCCW();
    EXPECT_TRUE(Near(u, Unit(D3(2, 0, 1)), 1e-6));
    EXPECT_NEAR(u.Dot(v), 0, 1e-6);
    EXPECT_TRUE(Near(u.Cross(v), D3(n), 1e-6));  // right-handed
    const float3 p(2.5f, 1.5f, 0.75f);
    EXPECT_TRUE(Near(tilted.MapFrom2D(tilted.MapTo2D(p)), D3(p), 1e-5));
    EXPECT_EQ(tilted.MapTo2D(0).x, 0.f);
    EXPECT_EQ(tilted.MapTo2D(0).y, 0.f);
    EXPECT_TRUE(std::isnan(tilted.MapTo2D(4).x) && std::isnan(tilted.MapTo2D(-1).y));
    EXPECT_TRUE(std::isnan(Polygon().MapTo2D(p).x));
    EXPECT_TRUE(AllNaN(Polygon().MapFrom2D(float2(1, 1))));
    EXPECT_TRUE(SameBits(Make({float3(5, 5, 5)}).BasisU(), float3::unitX));
    EXPECT_TRUE(SameBits(Make({float3(5, 5, 5)}).BasisV(), float3::unitY));

    // A vertical face whose first two vertices coincide: the frame stays in the face.
    const Polygon wall = Make({float3(0, 0, 0), float3(0, 0, 0), float3(0, 4, 0), float3(0, 4, 4), float3(0, 0, 4)});
    EXPECT_NEAR(wall.BasisU().Dot(wall.NormalCCW()), 0, 1e-6);
    EXPECT_NEAR(wall.BasisV().Dot(wall.NormalCCW()), 0, 1e-6);
    EXPECT_TRUE(wall.Contains(float3(0, 1, 1), 1e-5f));
    EXPECT_FALSE(wall.Contains(float3(0, 5, 1), 1e-5f));
    EXPECT_TRUE(Near(wall.MapFrom2D(wall.MapTo2D(float3(0, 3, 1))), D3(0, 3, 1), 1e-6));
    // Every vertex at one point: a direction perpendicular to the normal.
    const Polygon point = Make({float3(1, 2, 3), float3(1, 2, 3)});
    EXPECT_NEAR(point.BasisU().Dot(point.NormalCCW()), 0, 1e-6);
    EXPECT_NEAR(point.BasisU().Length(), 1, 1e-6);
}

TEST(PolygonContains, PointsOnTheSquareAndThroughVertices) {
    struct Case {
        Polygon polygon;
        float3 p;
        bool inside;
    };
    const Polygon bump = Flat({{0, 0}, {4, 0}, {5, 2}, {4, 4}, {0, 4}});
    const Case cases[] = {
        {kSquare, float3(0.5f, 0.5f, 0), true},
        {kSquare, float3(1.5f, 0.5f, 0), false},
        {kSquare, float3(0, 0.5f, 0), true},       // left edge
        {kSquare, float3(1, 0.5f, 0), false},      // right edge
        {kSquare, float3(0.5f, 0.5f, 0.003f), true},
        {kSquare, float3(0.5f, 0.5f, -0.004f), false},
        {bump, float3(2, 2, 0), true},             // the ray runs through vertex 2
        {bump, float3(5.5f, 2, 0), false},
        {bump, float3(-1, 2, 0), false},
        {bump, float3(2, 0, 0), true},             // on the bottom edge, through vertices 0 and 1
        {bump, float3(2, 4, 0), false},            // on the top edge
        {Flat({{0, 0}, {1, 0}}), float3(0.5f, 0, 0), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.polygon.Contains(c.p, 1e-5f), c.inside) << c.p.ToString();
        EXPECT_EQ(c.polygon.Contains(c.p, 1e-5f, c.polygon.ContainmentAxes()), c.inside) << c.p.ToString();
    }

    EXPECT_TRUE(kSquare.Contains(Flat({{0.2f, 0.2f}, {0.8f, 0.3f}}), 1e-5f));
    EXPECT_FALSE(kSquare.Contains(Flat({{0.2f, 0.2f}, {1.8f, 0.3f}}), 1e-5f));
    EXPECT_TRUE(kSquare.Contains(Polygon(), 1e-5f));

    // Segments keep 0.001 from the boundary; the thickness is a plain distance.
    EXPECT_TRUE(kSquare.Contains(LineSegment(float3(0.2f, 0.2f, 0.01f), float3(0.8f, 0.7f, 0)), 0.02f));
    EXPECT_FALSE(kSquare.Contains(LineSegment(float3(0.2f, 0.2f, 0.03f), float3(0.8f, 0.7f, 0)), 0.02f));
    EXPECT_FALSE(kSquare.Contains(LineSegment(float3(0.2f, 0.2f, 0), float3(0.9995f, 0.7f, 0)), 0.02f));
    EXPECT_FALSE(kSquare.Contains(LineSegment(float3(0.2f, 0.2f, 0), float3(1.5f, 0.7f, 0)), 0.02f));
    EXPECT_TRUE(kSquare.Contains(Triangle(float3(0.1f, 0.1f, 0), float3(0.9f, 0.1f, 0), float3(0.5f, 0.9f, 0)), 0.01f));
    EXPECT_FALSE(kSquare.Contains(Triangle(float3(0.1f, 0.1f, 0), float3(1.9f, 0.1f, 0), float3(0.5f, 0.9f, 0)), 0.01f));

    EXPECT_TRUE(kSquare.Contains2D(LineSegment(float3(0.2f, 0.2f, 0), float3(0.8f, 0.7f, 0))));
    EXPECT_FALSE(kSquare.Contains2D(LineSegment(float3(0.2f, 0.2f, 0), float3(1.8f, 0.7f, 0))));
    EXPECT_FALSE(Flat({{0, 0}, {1, 0}}).Contains2D(LineSegment(float3(0.2f, 0.2f, 0), float3(0.3f, 0.2f, 0))));
}

TEST(PolygonIntersects, LinesPlanesAndPolygons) {
    const float3 above(0.5f, 0.5f, 1), down(0, 0, -1);
    EXPECT_TRUE(kSquare.Intersects(Line(above, down)));
    EXPECT_TRUE(kSquare.Intersects(Line(above, -down)));
    EXPECT_FALSE(kSquare.Intersects(Line(float3(1.5f, 0.5f, 1), down)));
    EXPECT_TRUE(kSquare.Intersects(Ray(above, down)));
    EXPECT_FALSE(kSquare.Intersects(Ray(above, -down)));
    EXPECT_TRUE(kSquare.Intersects(LineSegment(above, float3(0.5f, 0.5f, -1))));
    EXPECT_TRUE(kSquare.Intersects(LineSegment(above, float3(0.5f, 0.5f, 0))));  // ending on the face
    EXPECT_FALSE(kSquare.Intersects(LineSegment(above, float3(0.5f, 0.5f, 0.1f))));

    EXPECT_TRUE(kSquare.Intersects(Plane(float3(1, 0, 0), 0.5f)));
    EXPECT_TRUE(kSquare.Intersects(Plane(float3(1, 0, 0), 1.00005f)));  // within 1e-4
    EXPECT_FALSE(kSquare.Intersects(Plane(float3(1, 0, 0), 1.001f)));
    EXPECT_FALSE(Polygon().Intersects(Plane(float3(1, 0, 0), 0)));

    struct Case {
        const char *name;
        Polygon other;
        bool hit;
    };
    const Case cases[] = {
        {"overlapping in the plane", Flat({{0.5f, 0.5f}, {2, 0.5f}, {2, 2}, {0.5f, 2}}), true},
        {"inside in the plane", Flat({{0.2f, 0.2f}, {0.4f, 0.2f}, {0.4f, 0.4f}}), true},
        {"crossing edges only", Flat({{0.5f, -0.5f}, {0.6f, -0.5f}, {0.6f, 1.5f}, {0.5f, 1.5f}}), true},
        {"apart in the plane", Flat({{2, 2}, {3, 2}, {3, 3}}), false},
        {"parallel, above", Make({float3(0, 0, 0.01f), float3(1, 0, 0.01f), float3(1, 1, 0.01f)}), false},
        {"standing across", Make({float3(0.5f, -1, -1), float3(0.5f, 2, -1), float3(0.5f, 0.5f, 1)}), true},
        {"standing beside", Make({float3(1.5f, -1, -1), float3(1.5f, 2, -1), float3(1.5f, 0.5f, 1)}), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(kSquare.Intersects(c.other, 0.001f), c.hit) << c.name;
        EXPECT_EQ(c.other.Intersects(kSquare, 0.001f), c.hit) << c.name;
        if (c.other.NumVertices() == 3) {
            const Triangle t(c.other.vertices[0], c.other.vertices[1], c.other.vertices[2]);
            EXPECT_EQ(kSquare.Intersects(t, 0.001f), c.hit) << c.name;
        }
    }
}

TEST(PolygonEdges, IndicesOutOfRangeAndDiagonals) {
    EXPECT_TRUE(SameBits(kSquare.Edge(3).a, float3(0, 1, 0)) && SameBits(kSquare.Edge(3).b, float3::zero));
    for (int i : {-1, 4, 100}) {
        EXPECT_TRUE(AllNaN(kSquare.Edge(i).a) && AllNaN(kSquare.Edge(i).b)) << i;
        EXPECT_TRUE(AllNaN(kSquare.EdgeNormal(i))) << i;
        EXPECT_TRUE(AllNaN(kSquare.EdgePlane(i).normal) && std::isnan(kSquare.EdgePlane(i).d)) << i;
        EXPECT_TRUE(AllNaN(kSquare.Vertex(i))) << i;
        EXPECT_TRUE(AllNaN(kSquare.Diagonal(i, 1).a)) << i;
        EXPECT_TRUE(AllNaN(kSquare.Diagonal(1, i).b)) << i;
    }
    EXPECT_TRUE(AllNaN(Polygon().Edge(0).a));
    const Polygon single = Make({float3(1, 2, 3)});
    EXPECT_TRUE(SameBits(single.Edge(5).a, float3(1, 2, 3)) && SameBits(single.Edge(5).b, float3(1, 2, 3)));
    EXPECT_TRUE(SameBits(single.Edge2D(0).b, float3::zero));
    EXPECT_TRUE(AllNaN(Polygon().Edge2D(0).a));
    const LineSegment last2D = kSquare.Edge2D(3);
    EXPECT_TRUE(SameBits(last2D.a, float3(0, 1, 0)) && SameBits(last2D.b, float3::zero));
    const LineSegment outside2D = kSquare.Edge2D(-2);
    EXPECT_TRUE(std::isnan(outside2D.a.x) && std::isnan(outside2D.b.y) && outside2D.a.z == 0);

    EXPECT_TRUE(Near(kSquare.EdgeNormal(0), D3(0, -1, 0), 1e-6));  // pointing out
    EXPECT_TRUE(Near(kSquare.EdgeNormal(1), D3(1, 0, 0), 1e-6));
    const Plane edgePlane = kSquare.EdgePlane(1);
    EXPECT_NEAR(edgePlane.SignedDistance(float3(2, 0.5f, 0)), 1, 1e-6);

    struct Case {
        Polygon polygon;
        int i, j;
        bool exists;
    };
    const Polygon hexagon = Flat({{0, 0}, {2, 0}, {3, 1}, {2, 2}, {0, 2}, {-1, 1}});
    const Polygon l = Flat({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}});
    const Case cases[] = {
        {kSquare, 0, 2, true}, {kSquare, 3, 1, true}, {kSquare, 0, 1, false}, {kSquare, 0, 3, false},
        {kSquare, 3, 0, false}, {kSquare, 2, 2, false}, {kSquare, -1, 2, false}, {kSquare, 0, 4, false},
        {hexagon, 0, 3, true}, {hexagon, 1, 4, true}, {hexagon, 0, 5, false},
        {l, 0, 3, false},  // every diagonal of a concave outline is refused
    };
    for (const Case &c : cases) EXPECT_EQ(c.polygon.DiagonalExists(c.i, c.j), c.exists) << c.i << "," << c.j;

    const std::vector<float2> points = {float2(0, 0), float2(1, 0), float2(1, 1), float2(0, 1)};
    EXPECT_TRUE(math::IsAnEar(points, 0, 2));
    for (const auto &ij : {std::make_pair(-1, 2), std::make_pair(0, 4), std::make_pair(4, 1), std::make_pair(1, -3)})
        EXPECT_FALSE(math::IsAnEar(points, ij.first, ij.second)) << ij.first << "," << ij.second;
}

TEST(PolygonShape, ConvexSimplePlanarDegenerate) {
    const Polygon notch = Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}});
    const Polygon bowtie = Flat({{0, 0}, {2, 2}, {2, 0}, {0, 2}});
    Polygon clockwise = kSquare;
    std::reverse(clockwise.vertices.begin(), clockwise.vertices.end());
    EXPECT_TRUE(kSquare.IsConvex());
    EXPECT_TRUE(clockwise.IsConvex());  // its own frame sees it counter-clockwise
    EXPECT_FALSE(notch.IsConvex());
    EXPECT_TRUE(Flat({{0, 0}, {1, 0}, {2, 0}, {2, 2}}).IsConvex());  // a straight corner passes
    EXPECT_FALSE(Polygon().IsConvex());
    EXPECT_TRUE(kSquare.IsSimple());
    EXPECT_TRUE(notch.IsSimple());
    EXPECT_FALSE(bowtie.IsSimple());
    EXPECT_TRUE(Polygon().IsSimple());

    Polygon bent = kSquare;
    bent.vertices[3].z = 0.01f;
    EXPECT_TRUE(bent.IsPlanar(2e-4f));
    EXPECT_FALSE(bent.IsPlanar(5e-5f));
    EXPECT_FALSE(Polygon().IsPlanar(1));
    EXPECT_TRUE(Flat({{0, 0}, {1, 0}, {0, 1}}).IsPlanar(0));

    EXPECT_TRUE(Flat({{0, 0}, {1, 0}}).IsDegenerate(1e-3f));
    EXPECT_TRUE(Flat({{0, 0}, {1, 0}, {1, 0.0001f}, {0, 0.0001f}}).IsDegenerate(1e-3f));
    EXPECT_FALSE(kSquare.IsDegenerate(1e-3f));
    EXPECT_TRUE(kSquare.IsFinite());
    EXPECT_FALSE(Make({float3(0, 0, 0), float3::nan}).IsFinite());
    EXPECT_TRUE(Polygon().IsFinite());
    EXPECT_TRUE(Polygon().IsNull());

    Polygon nudged = kSquare;
    nudged.vertices[2].x += 0.0009f;
    EXPECT_TRUE(kSquare.Equals(nudged));
    EXPECT_FALSE(kSquare.BitEquals(nudged));
    EXPECT_TRUE(kSquare.BitEquals(kSquare));
    nudged.vertices[2].x += 0.0002f;
    EXPECT_FALSE(kSquare.Equals(nudged));
    EXPECT_FALSE(kSquare.Equals(Flat({{0, 0}, {1, 0}, {1, 1}})));
    EXPECT_TRUE(Polygon().Equals(Polygon()));
}

TEST(PolygonMeasures, AreaPerimeterCentroidAndBoundaryPoints) {
    Polygon clockwise = kSquare;
    std::reverse(clockwise.vertices.begin(), clockwise.vertices.end());
    EXPECT_FLOAT_EQ(kSquare.Area(), 1.f);
    EXPECT_FLOAT_EQ(clockwise.Area(), 1.f);
    EXPECT_FLOAT_EQ(Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}}).Area(), 14.f);
    EXPECT_EQ(Flat({{0, 0}, {1, 0}}).Area(), 0.f);
    EXPECT_FLOAT_EQ(kSquare.Perimeter(), 4.f);
    EXPECT_EQ(Polygon().Perimeter(), 0.f);
    EXPECT_TRUE(SameBits(Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}}).Centroid(), float3(10, 9, 0) / 5.f));
    EXPECT_TRUE(AllNaN(Polygon().Centroid()));

    struct Case {
        float t;
        float3 point;
    };
    const Case cases[] = {{0, float3(0, 0, 0)}, {1, float3(0, 0, 0)}, {0.5f, float3(1, 1, 0)},
                          {0.125f, float3(0.5f, 0, 0)}, {1.25f, float3(1, 0, 0)}, {-0.25f, float3(0, 1, 0)}};
    for (const Case &c : cases) EXPECT_TRUE(Near(kSquare.PointOnEdge(c.t), D3(c.point), 1e-6)) << c.t;
    EXPECT_TRUE(AllNaN(Polygon().PointOnEdge(0.3f)));
    EXPECT_TRUE(SameBits(Make({float3(1, 2, 3)}).PointOnEdge(0.3f), float3(1, 2, 3)));

    LCG lcg;
    lcg.Seed(99, 69621, 0, 0x7FFFFFFF);
    for (int i = 0; i < 100; ++i) {
        const float3 p = kSquare.RandomPointOnEdge(lcg);
        const float offBoundary = std::min(std::min(std::fabs(p.x), std::fabs(p.x - 1)),
                                           std::min(std::fabs(p.y), std::fabs(p.y - 1)));
        EXPECT_LT(offBoundary, 1e-6f) << p.ToString();
    }

    float projection = 0;
    EXPECT_TRUE(SameBits(kSquare.ExtremePoint(float3(1, 0, 0), projection), float3(1, 0, 0)));  // lowest index wins
    EXPECT_EQ(projection, 1.f);
    EXPECT_TRUE(AllNaN(kSquare.ExtremePoint(float3::nan, projection)));
    EXPECT_EQ(projection, -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(AllNaN(Polygon().ExtremePoint(float3(1, 0, 0))));
    float lo, hi;
    kSquare.ProjectToAxis(float3(1, 1, 0), lo, hi);
    EXPECT_EQ(lo, 0.f);
    EXPECT_EQ(hi, 2.f);
}

TEST(PolygonRandom, DrawSequence) {
    LCG lcg, replay;
    lcg.Seed(4242, 69621, 0, 0x7FFFFFFF);
    replay = lcg;
    EXPECT_TRUE(AllNaN(Flat({{0, 0}, {1, 0}}).FastRandomPointInside(lcg)));
    EXPECT_EQ(lcg.lastNumber, replay.lastNumber);  // nothing drawn

    const Polygon triangle = Flat({{0, 0}, {4, 0}, {0, 3}});
    const Triangle only(triangle.vertices[0], triangle.vertices[1], triangle.vertices[2]);
    const float3 p = triangle.FastRandomPointInside(lcg);
    EXPECT_EQ(replay.Int(0, 0), 0);
    EXPECT_TRUE(SameBits(p, only.RandomPointInside(replay)));
    EXPECT_EQ(lcg.lastNumber, replay.lastNumber);

    // One draw for the triangle, whatever its area, then the triangle's own draws.
    const Polygon l = Flat({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}});
    const std::vector<Triangle> triangles = l.Triangulate();
    for (int i = 0; i < 100; ++i) {
        const float3 q = l.FastRandomPointInside(lcg);
        const int k = replay.Int(0, int(triangles.size()) - 1);
        EXPECT_TRUE(SameBits(q, triangles[k].RandomPointInside(replay)));
    }
}

// A triangulation made once draws what the polygon draws point after point: the same
// points from the same generator, the generator left in the same state.
TEST(PolygonRandom, TriangulationMadeOnceDrawsAsThePolygon) {
    const Polygon polygons[] = {
        Flat({{0, 0}, {1, 0}}),                                  // no triangle
        Flat({{0, 0}, {4, 0}, {0, 3}}),                          // one
        Flat({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}),  // concave
        Flat({{0, 0}, {2, 1}, {4, 0}, {4, 4}, {0, 4}}),          // a partial triangulation
    };
    LCG lcg, replay;
    lcg.Seed(31337, 69621, 0, 0x7FFFFFFF);
    replay = lcg;
    for (const Polygon &p : polygons) {
        const std::vector<Triangle> triangles = p.Triangulate();
        for (int i = 0; i < 50; ++i) {
            const float3 once = math::RandomPointInTriangles(triangles, lcg);
            EXPECT_TRUE(SameBits(once, p.FastRandomPointInside(replay))) << p.ToString();
            ASSERT_EQ(lcg.lastNumber, replay.lastNumber) << p.ToString();
        }
    }
}

TEST(PolygonClosestPoint, FewVerticesAndSegments) {
    for (const Polygon &p : {Polygon(), Flat({{0, 0}}), Flat({{0, 0}, {1, 0}})}) {
        EXPECT_TRUE(AllNaN(p.ClosestPoint(float3(1, 1, 1))));
        EXPECT_TRUE(std::isnan(p.Distance(float3(1, 1, 1))));
        float3 onSegment;
        EXPECT_TRUE(AllNaN(p.ClosestPoint(LineSegment(float3(0, 0, 1), float3(1, 1, 1)), &onSegment)));
        EXPECT_TRUE(AllNaN(onSegment));
    }
    EXPECT_TRUE(Near(kSquare.ClosestPoint(float3(0.3f, 0.6f, 2)), D3(0.3, 0.6, 0), 1e-6));
    EXPECT_FLOAT_EQ(kSquare.Distance(float3(2, 0.5f, 0)), 1.f);
    float3 onSegment;
    const float3 c = kSquare.ClosestPoint(LineSegment(float3(2, 0.5f, 1), float3(3, 0.5f, 1)), &onSegment);
    EXPECT_TRUE(Near(c, D3(1, 0.5, 0), 1e-6));
    EXPECT_TRUE(Near(onSegment, D3(2, 0.5, 1), 1e-6));
    EXPECT_TRUE(Near(kSquare.ClosestPoint(LineSegment(float3(0.5f, 0.5f, 1), float3(0.5f, 0.5f, -1))),
                     D3(0.5, 0.5, 0), 1e-6));
}

TEST(PolygonTransform, TranslateRotate) {
    const math::float3x3 m = math::float3x3::RotateZ(1.5707964f);
    const math::Quat q = math::Quat::RotateZ(1.5707964f);
    for (const Polygon &turned : {m * kSquare, q * kSquare}) {
        ASSERT_EQ(turned.NumVertices(), 4);
        EXPECT_TRUE(Near(turned.vertices[2], D3(-1, 1, 0), 1e-6));
    }
    Polygon moved = kSquare;
    moved.Translate(float3(0, 0, 2));
    EXPECT_TRUE(Near(moved.NormalCCW(), D3(0, 0, 1), 1e-6));
    EXPECT_FLOAT_EQ(moved.PlaneCCW().d, 2.f);
    Polygon empty;
    empty.Transform(m);
    EXPECT_TRUE(empty.IsNull());
}

TEST(PolygonTransform, AffineMatricesMapEveryVertexAsAPoint) {
    const math::float3x4 m(math::float3x3::RotateZ(1.5707964f) * 2.f, float3(5, 0, -1));
    Polygon moved = kSquare;
    moved.Transform(m);
    for (const Polygon &mapped : {moved, m * kSquare}) {
        ASSERT_EQ(mapped.NumVertices(), 4);
        EXPECT_TRUE(Near(mapped.vertices[2], D3(3, 2, -1), 1e-6));
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameBits(mapped.vertices[i], m.MulPos(kSquare.vertices[i])));
    }
    Polygon empty;
    empty.Transform(m);
    EXPECT_TRUE(empty.IsNull());
}

TEST(PolygonBounds, MinimalEnclosingBoxOfTheVertices) {
    const Polygon p = Make({float3(1, -2, 3), float3(-4, 5, 0), float3(2, 2, -6), float3(0, 7, 1)});
    const math::AABB box = p.MinimalEnclosingAABB();
    EXPECT_TRUE(SameBits(box.minCorner, float3(-4, -2, -6)));
    EXPECT_TRUE(SameBits(box.maxCorner, float3(2, 7, 3)));
    const math::AABB empty = Polygon().MinimalEnclosingAABB();
    EXPECT_TRUE(SameBits(empty.minCorner, float3::inf));
    EXPECT_TRUE(SameBits(empty.maxCorner, -float3::inf));
}

// Random convex polygons in random planes against both box types; the verdict of separating
// axes in double (box axes, the polygon's normal, crosses of box axes with polygon edges).
TEST(PolygonBoxes, ConvexTestAgreesWithSeparatingAxesInDouble) {
    Random random(71);
    int hits[2] = {0, 0}, misses[2] = {0, 0};
    for (int n = 0; n < 1500; ++n) {
        const float3 normal = random.Direction();
        float3 u, w;
        normal.PerpendicularBasis(u, w);
        const float3 center = random.Point(4.f);
        const float radius = random.Uniform(0.5f, 3.f);
        const int count = 3 + n % 5;
        Polygon polygon;
        for (int k = 0; k < count; ++k) {
            const float angle = 6.2831853f * (k + random.Uniform(0.1f, 0.9f)) / count;
            polygon.vertices.push_back(center + u * (radius * std::cos(angle)) + w * (radius * std::sin(angle)));
        }
        const math::AABB aabb =
            math::AABB::FromCenterAndSize(random.Point(2.f), random.Point(3.f).Abs() + float3(0.5f));
        const math::float3x3 r = math::float3x3::RotateAxisAngle(random.Direction(), random.Uniform(-3.f, 3.f));
        const math::OBB obb(random.Point(2.f), random.Point(1.5f).Abs() + float3(0.25f), r.Col(0), r.Col(1), r.Col(2));
        std::vector<D3> vertices, edges;
        for (int k = 0; k < count; ++k) {
            vertices.push_back(D3(polygon.vertices[k]));
            edges.push_back(D3(polygon.vertices[(k + 1) % count]) - D3(polygon.vertices[k]));
        }
        const std::vector<D3> unitAxes = {D3(1, 0, 0), D3(0, 1, 0), D3(0, 0, 1)};
        const std::vector<D3> obbAxes = {D3(obb.axis[0]), D3(obb.axis[1]), D3(obb.axis[2])};
        const D3 polygonNormal = Cross(edges[0], edges[1]);
        const double separation[2] = {
            Separation(vertices, Corners(aabb), SeparatingAxes({polygonNormal}, edges, unitAxes, unitAxes)),
            Separation(vertices, Corners(obb), SeparatingAxes({polygonNormal}, edges, obbAxes, obbAxes))};
        const bool result[2] = {math::Convex_Intersects_Polygon(aabb, polygon),
                                math::Convex_Intersects_Polygon(obb, polygon)};
        for (int k = 0; k < 2; ++k) {
            if (std::fabs(separation[k]) < 1e-3) continue;  // too close to call in float
            EXPECT_EQ(result[k], separation[k] < 0) << "case " << n << (k ? " oriented" : " axis-aligned");
            ++(separation[k] < 0 ? hits : misses)[k];
        }
    }
    for (int k = 0; k < 2; ++k) {
        EXPECT_GT(hits[k], 100);
        EXPECT_GT(misses[k], 100);
    }
    EXPECT_FALSE(math::Convex_Intersects_Polygon(math::AABB(float3(-1.f), float3(1.f)), Polygon()));
}

TEST(PolygonText, ToString) {
    EXPECT_EQ(Polygon().ToString(), "Polygon(0 vertices)");
    EXPECT_EQ(Make({float3(1, 2, 3)}).ToString(), "Polygon(1 vertices:(1.000, 2.000, 3.000))");
    EXPECT_EQ(Make({float3(1, 2, 3), float3(-0.5f, float3::nan.x, 0)}).ToString(),
              "Polygon(2 vertices:(1.000, 2.000, 3.000),(-0.500, nan, 0.000))");
}

TEST(PolygonTwoD, LineIntersections) {
    float2 out(7, 7);
    // Two segments of length 0.005 crossing at right angles count as parallel.
    EXPECT_FALSE(math::IntersectLineLine2D(float2(0, 0), float2(0.005f, 0), float2(0.0025f, -0.0025f),
                                           float2(0.0025f, 0.0025f), out));
    EXPECT_EQ(out.x, 7.f);
    EXPECT_TRUE(math::IntersectLineLine2D(float2(0, 0), float2(2, 0), float2(3, -1), float2(3, 1), out));
    EXPECT_FLOAT_EQ(out.x, 1.5f);
    EXPECT_FLOAT_EQ(out.y, 0.5f);
    EXPECT_FALSE(math::IntersectLineSegmentLineSegment2D(float2(0, 0), float2(2, 0), float2(3, -1), float2(3, 1), out));
    EXPECT_FLOAT_EQ(out.x, 1.5f);  // written although the segments miss
    EXPECT_TRUE(math::IntersectLineSegmentLineSegment2D(float2(0, 0), float2(2, 0), float2(2, 0), float2(2, 1), out));
}
