// The polygon work the scatter engine does per point and per face: point containment (paint
// areas, projection onto faces) beside Boost.Geometry's `within` on the same polygons, and the
// ear-clipping triangulation, also as it runs under every random point drawn on a face.
// Cases read library/operation/size, the size being the vertex count.
#include <benchmark/benchmark.h>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Polygon.h"
#include "side_by_side.h"

namespace {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;

constexpr float kThicknessSq = 1e-5f;  // what the engine passes to Contains
constexpr float kRadius = 100.f;       // a face or painted area a few hundred model units across
constexpr std::size_t kProbes = 1024;  // per side of the outline; a power of two, cycled through

// --- shapes, all in the plane z = 0 so that Boost.Geometry sees the same outline

math::Polygon Regular(int n) {
    math::Polygon polygon;
    for (int k = 0; k < n; ++k) {
        const float a = 2.f * float(M_PI) * float(k) / float(n);
        polygon.vertices.emplace_back(kRadius * std::cos(a), kRadius * std::sin(a), 0.f);
    }
    return polygon;
}

// A base edge and a zigzag of n - 2 vertices back over it: every valley of the zigzag is a
// reflex corner. Four vertices give a dart.
math::Polygon Crown(int n) {
    const float width = 2.f * kRadius, height = 2.f * kRadius;
    math::Polygon polygon;
    polygon.vertices.emplace_back(0.f, 0.f, 0.f);
    polygon.vertices.emplace_back(width, 0.f, 0.f);
    for (int k = 0; k < n - 2; ++k)
        polygon.vertices.emplace_back(width * (1.f - float(k) / float(n - 2)), k % 2 ? 0.5f * height : height, 0.f);
    return polygon;
}

// A wobbly closed outline with a little noise on every vertex, the shape of a painted area.
math::Polygon Ring(int n) {
    std::mt19937 rng(2026);
    std::uniform_real_distribution<float> noise(-0.03f, 0.03f);
    math::Polygon polygon;
    for (int k = 0; k < n; ++k) {
        const float a = 2.f * float(M_PI) * float(k) / float(n);
        const float r = kRadius * (1.f + 0.15f * std::sin(7.f * a) + noise(rng));
        polygon.vertices.emplace_back(r * std::cos(a), r * std::sin(a), 0.f);
    }
    return polygon;
}

BPolygon ToBoost(const math::Polygon &polygon) {
    BPolygon out;
    for (const math::float3 &v : polygon.vertices) bg::append(out.outer(), BPoint(v.x, v.y));
    bg::correct(out);  // Boost's default polygon is closed and clockwise
    return out;
}

// Points of the polygon's bounding box on one side of the outline, as Boost.Geometry sees it.
std::vector<math::float3> Probes(const math::Polygon &polygon, bool inside) {
    const math::AABB box = polygon.MinimalEnclosingAABB();
    const BPolygon reference = ToBoost(polygon);
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> x(box.minCorner.x, box.maxCorner.x), y(box.minCorner.y, box.maxCorner.y);
    std::vector<math::float3> probes;
    while (probes.size() < kProbes) {
        const float px = x(rng);
        const float py = y(rng);
        if (bg::within(BPoint(px, py), reference) == inside) probes.emplace_back(px, py, 0.f);
    }
    return probes;
}

// --- timed loops: one call per iteration, cycling through the probes

// The "inside" counter is the share of calls that answered inside: 1 or 0 when the library
// agrees with Boost.Geometry on every probe.
// given_axes: the polygon's containment axes derived once, as the engine does for a face or
// a ring that it tests many points against; otherwise derived by every call.
void TimeContains(benchmark::State &state, const math::Polygon &polygon, const std::vector<math::float3> &probes,
                  bool given_axes) {
    const math::PolygonAxes axes = polygon.ContainmentAxes();
    std::size_t i = 0, inside = 0;
    for (auto _ : state) {
        const bool hit = given_axes ? polygon.Contains(probes[i], kThicknessSq, axes)
                                    : polygon.Contains(probes[i], kThicknessSq);
        benchmark::DoNotOptimize(hit);
        inside += hit;
        i = (i + 1) % kProbes;
    }
    state.counters["inside"] = double(inside) / double(state.iterations());
}

void TimeWithin(benchmark::State &state, const BPolygon &polygon, const std::vector<BPoint> &probes) {
    std::size_t i = 0, inside = 0;
    for (auto _ : state) {
        const bool hit = bg::within(probes[i], polygon);
        benchmark::DoNotOptimize(hit);
        inside += hit;
        i = (i + 1) % kProbes;
    }
    state.counters["inside"] = double(inside) / double(state.iterations());
}

// The containment axes, which Contains derives from the vertices on every call.
void TimeFrame(benchmark::State &state, const math::Polygon &polygon) {
    for (auto _ : state) {
        const math::PolygonAxes axes = polygon.ContainmentAxes();
        benchmark::DoNotOptimize(axes);
    }
}

// The "triangles" counter shows whether the outline was covered: n - 2 when it was.
void TimeTriangulate(benchmark::State &state, const math::Polygon &polygon) {
    std::size_t triangles = 0;
    for (auto _ : state) {
        const std::vector<math::Triangle> result = polygon.Triangulate();
        benchmark::DoNotOptimize(result.data());
        benchmark::ClobberMemory();
        triangles = result.size();
    }
    state.counters["triangles"] = double(triangles);
}

void TimeRandomPointInside(benchmark::State &state, const math::Polygon &polygon) {
    math::LCG lcg;
    lcg.Seed(2026, 69621, 0, 2147483647);  // the engine's per-face generator
    for (auto _ : state) {
        const math::float3 p = polygon.FastRandomPointInside(lcg);
        benchmark::DoNotOptimize(p);
    }
}

// --- registration

std::string Name(const char *library, const char *operation, std::size_t size) {
    return std::string(library) + "/" + operation + "/" + std::to_string(size);
}

void RegisterContainment() {
    for (const math::Polygon &polygon : {Regular(3), Crown(30), Ring(500)}) {
        const std::size_t n = polygon.vertices.size();
        const BPolygon boost = ToBoost(polygon);
        for (const bool inside : {true, false}) {
            const std::vector<math::float3> probes = Probes(polygon, inside);
            std::vector<BPoint> boostProbes;
            for (const math::float3 &p : probes) boostProbes.emplace_back(p.x, p.y);
            const char *operation = inside ? "contains_inside" : "contains_outside";
            benchmark::RegisterBenchmark(Name("vandrel", operation, n).c_str(), TimeContains, polygon, probes, false);
            const std::string given = std::string(operation) + "_given_axes";
            benchmark::RegisterBenchmark(Name("vandrel", given.c_str(), n).c_str(), TimeContains, polygon, probes, true);
            benchmark::RegisterBenchmark(Name("boost", operation, n).c_str(), TimeWithin, boost, boostProbes);
        }
        benchmark::RegisterBenchmark(Name("vandrel", "contains_frame", n).c_str(), TimeFrame, polygon);
    }
}

void RegisterTriangulation() {
    for (const int n : {4, 30, 500}) {
        benchmark::RegisterBenchmark(Name("vandrel", "triangulate_convex", n).c_str(), TimeTriangulate, Regular(n))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("vandrel", "triangulate_concave", n).c_str(), TimeTriangulate, Crown(n))
            ->Unit(benchmark::kMicrosecond);
    }
    for (const int n : {3, 4, 30, 500})
        benchmark::RegisterBenchmark(Name("vandrel", "random_point_inside", n).c_str(), TimeRandomPointInside,
                                     Regular(n))
            ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char **argv) {
    RegisterContainment();
    RegisterTriangulation();
    return bench::RunSideBySide(argc, argv);
}
