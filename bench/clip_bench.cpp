// Union workloads of the clip library beside GEOS and Boost.Geometry on the same input:
// brush strokes united one at a time into a growing paint area, and a bulk union of many
// random polygons; and offsets of random polygons with each join beside GEOS buffers.
// Prints each library's time relative to the clip library.
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "clipping/Engine.h"
#include "clipping/Offsetter.h"
#include "clipping/Path.h"
#include "clipping/TreePaths.h"

namespace {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;  // clockwise outer rings
using BMulti = bg::model::multi_polygon<BPolygon>;

constexpr int kStrokes = 2000;
constexpr int kBulk = 10000;
constexpr int kOffsetPolygons = 1000;
constexpr int kOffsetVertices = 50;
constexpr double kOffsetRadius = 1e6;
constexpr double kOffsetDelta = 5e4;  // 5% of the radius

// A disc of the brush, in paint-area units (model units times 100000).
clip::Path Disc(double x, double y, double radius, int sides) {
    clip::Path ring;
    for (int i = 0; i < sides; ++i) {
        const double a = 2 * M_PI * i / sides;
        ring.emplace_back(std::llround(x + radius * std::cos(a)), std::llround(y + radius * std::sin(a)), 0);
    }
    return ring;
}

// A brush stroke: the outline of a disc dragged a short way along a wandering path.
std::vector<clip::Path> BrushStrokes() {
    std::mt19937_64 rng(2026);
    std::normal_distribution<double> turn(0, 0.4);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<clip::Path> strokes;
    double x = 0, y = 0, heading = 0;
    for (int i = 0; i < kStrokes; ++i) {
        heading += turn(rng);
        const double length = 2e5 + 6e5 * unit(rng);
        const double radius = 1e5 + 2e5 * unit(rng);
        const double x1 = x + length * std::cos(heading), y1 = y + length * std::sin(heading);
        // The stroke is the convex hull of two discs: half of each, joined by straight sides.
        clip::Path ring;
        const int half = 12;
        for (int k = 0; k <= half; ++k) {
            const double a = heading - M_PI / 2 + M_PI * k / half;
            ring.emplace_back(std::llround(x1 + radius * std::cos(a)), std::llround(y1 + radius * std::sin(a)), 0);
        }
        for (int k = 0; k <= half; ++k) {
            const double a = heading + M_PI / 2 + M_PI * k / half;
            ring.emplace_back(std::llround(x + radius * std::cos(a)), std::llround(y + radius * std::sin(a)), 0);
        }
        strokes.push_back(ring);
        x = x1;
        y = y1;
        if (std::hypot(x, y) > 5e6) heading += M_PI;  // stay on the canvas
    }
    return strokes;
}

std::vector<clip::Path> RandomPolygons() {
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> position(0, 1e8), radius(2e5, 1.5e6);
    std::uniform_int_distribution<int> sides(5, 12);
    std::vector<clip::Path> polygons;
    for (int i = 0; i < kBulk; ++i) polygons.push_back(Disc(position(rng), position(rng), radius(rng), sides(rng)));
    return polygons;
}

// Star-shaped, so simple: vertices at sorted random angles and random radii.
std::vector<clip::Path> OffsetPolygons() {
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<clip::Path> polygons;
    for (int i = 0; i < kOffsetPolygons; ++i) {
        std::vector<double> angles(kOffsetVertices);
        for (double& a : angles) a = 2 * M_PI * unit(rng);
        std::sort(angles.begin(), angles.end());
        clip::Path ring;
        for (const double a : angles) {
            const double r = kOffsetRadius * (0.4 + 0.6 * unit(rng));
            ring.emplace_back(std::llround(r * std::cos(a)), std::llround(r * std::sin(a)), 0);
        }
        polygons.push_back(ring);
    }
    return polygons;
}

const std::vector<clip::Path>& Offsettable() {
    static const std::vector<clip::Path> polygons = OffsetPolygons();
    return polygons;
}

const std::vector<clip::Path>& Strokes() {
    static const std::vector<clip::Path> strokes = BrushStrokes();
    return strokes;
}

const std::vector<clip::Path>& Bulk() {
    static const std::vector<clip::Path> polygons = RandomPolygons();
    return polygons;
}

double ClipArea(const clip::Paths& paths) {
    double area = 0;
    for (const clip::Path& p : paths) area += clip::Area(p);
    return area;
}

// --- the clip library: a paint area is kept as a tree and listed as paths, like the engine does.

clip::Paths ClipUnite(const clip::Paths& area, const clip::Path& stroke) {
    clip::Engine engine;
    engine.AddPaths(area, clip::Subject, true);
    engine.AddPath(stroke, clip::Clip, true);
    clip::PolyTree tree;
    engine.Execute(clip::Union, tree, clip::NonZero, clip::NonZero);
    clip::Paths result;
    clip::PolyTreeToPaths(tree, result);
    return result;
}

void BM_Strokes_Clip(benchmark::State& state) {
    double area = 0;
    for (auto _ : state) {
        clip::Paths painted;
        for (const clip::Path& stroke : Strokes()) painted = ClipUnite(painted, stroke);
        area = ClipArea(painted);
    }
    state.counters["area"] = area;
}

void BM_Bulk_Clip(benchmark::State& state) {
    double area = 0;
    for (auto _ : state) {
        clip::Engine engine;
        for (const clip::Path& p : Bulk()) engine.AddPath(p, clip::Subject, true);
        clip::Paths result;
        engine.Execute(clip::Union, result, clip::NonZero, clip::NonZero);
        area = ClipArea(result);
    }
    state.counters["area"] = area;
}

// Each join of the clip library and the GEOS join style and mitre limit that draws it alike;
// arcs of both keep within kArcTolerance of the true arc.
struct OffsetJoin {
    clip::JoinType join;
    int geosJoin;
    double geosMitreLimit;
};
constexpr OffsetJoin kOffsetJoins[] = {
    {clip::SquareJoin, GEOSBUF_JOIN_MITRE, 1.0}, {clip::MiterJoin, GEOSBUF_JOIN_MITRE, 2.0},
    {clip::RoundJoin, GEOSBUF_JOIN_ROUND, 1.0}};
constexpr double kArcTolerance = kOffsetDelta * 1e-3;

void BM_Offset_Clip(benchmark::State& state, int join) {
    double area = 0;
    for (auto _ : state) {
        area = 0;
        for (const clip::Path& p : Offsettable()) {
            clip::Offsetter offsetter(2.0, kArcTolerance);
            offsetter.AddPath(p, kOffsetJoins[join].join, clip::ClosedPolygon);
            clip::Paths result;
            offsetter.Execute(result, kOffsetDelta);
            area += ClipArea(result);
        }
    }
    state.counters["area"] = area;
}

// --- GEOS

struct GeosContext {
    GEOSContextHandle_t handle = GEOS_init_r();
    ~GeosContext() { GEOS_finish_r(handle); }
};

GEOSGeometry* GeosPolygon(GEOSContextHandle_t h, const clip::Path& ring) {
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(h, unsigned(ring.size() + 1), 2);
    for (std::size_t i = 0; i <= ring.size(); ++i) {
        const clip::IntPoint& p = ring[i % ring.size()];
        GEOSCoordSeq_setXY_r(h, seq, unsigned(i), double(p.X), double(p.Y));
    }
    return GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, seq), nullptr, 0);
}

void BM_Strokes_Geos(benchmark::State& state) {
    GeosContext geos;
    std::vector<GEOSGeometry*> strokes;
    for (const clip::Path& s : Strokes()) strokes.push_back(GeosPolygon(geos.handle, s));
    double area = 0;
    for (auto _ : state) {
        GEOSGeometry* painted = GEOSGeom_createEmptyPolygon_r(geos.handle);
        for (GEOSGeometry* stroke : strokes) {
            GEOSGeometry* next = GEOSUnion_r(geos.handle, painted, stroke);
            GEOSGeom_destroy_r(geos.handle, painted);
            painted = next;
        }
        GEOSArea_r(geos.handle, painted, &area);
        GEOSGeom_destroy_r(geos.handle, painted);
    }
    for (GEOSGeometry* g : strokes) GEOSGeom_destroy_r(geos.handle, g);
    state.counters["area"] = area;
}

void BM_Bulk_Geos(benchmark::State& state) {
    GeosContext geos;
    double area = 0;
    for (auto _ : state) {
        std::vector<GEOSGeometry*> polygons;
        for (const clip::Path& p : Bulk()) polygons.push_back(GeosPolygon(geos.handle, p));
        GEOSGeometry* all =
            GEOSGeom_createCollection_r(geos.handle, GEOS_MULTIPOLYGON, polygons.data(), unsigned(polygons.size()));
        GEOSGeometry* united = GEOSUnaryUnion_r(geos.handle, all);
        GEOSArea_r(geos.handle, united, &area);
        GEOSGeom_destroy_r(geos.handle, united);
        GEOSGeom_destroy_r(geos.handle, all);
    }
    state.counters["area"] = area;
}

void BM_Offset_Geos(benchmark::State& state, int join) {
    GeosContext geos;
    std::vector<GEOSGeometry*> polygons;
    for (const clip::Path& p : Offsettable()) polygons.push_back(GeosPolygon(geos.handle, p));
    // The arc steps of the clip library for this delta and tolerance, per quarter turn.
    const int quarterSegments = int(std::lround(M_PI / std::acos(1 - kArcTolerance / kOffsetDelta) / 4));
    double area = 0;
    for (auto _ : state) {
        area = 0;
        for (GEOSGeometry* p : polygons) {
            GEOSGeometry* buffer = GEOSBufferWithStyle_r(geos.handle, p, kOffsetDelta, quarterSegments, GEOSBUF_CAP_ROUND,
                                                         kOffsetJoins[join].geosJoin, kOffsetJoins[join].geosMitreLimit);
            double a = 0;
            GEOSArea_r(geos.handle, buffer, &a);
            area += a;
            GEOSGeom_destroy_r(geos.handle, buffer);
        }
    }
    for (GEOSGeometry* g : polygons) GEOSGeom_destroy_r(geos.handle, g);
    state.counters["area"] = area;
}

// --- Boost.Geometry

BPolygon BoostPolygon(const clip::Path& ring) {
    BPolygon polygon;
    for (const clip::IntPoint& p : ring) bg::append(polygon.outer(), BPoint(double(p.X), double(p.Y)));
    bg::correct(polygon);
    return polygon;
}

void BM_Strokes_Boost(benchmark::State& state) {
    std::vector<BPolygon> strokes;
    for (const clip::Path& s : Strokes()) strokes.push_back(BoostPolygon(s));
    double area = 0;
    for (auto _ : state) {
        BMulti painted;
        for (const BPolygon& stroke : strokes) {
            BMulti next;
            bg::union_(painted, stroke, next);
            painted = std::move(next);
        }
        area = bg::area(painted);
    }
    state.counters["area"] = area;
}

// Boost.Geometry has no bulk union; unite pairwise in a balanced tree.
BMulti BoostUniteRange(const std::vector<BPolygon>& polygons, std::size_t begin, std::size_t end) {
    if (end - begin == 1) return BMulti{polygons[begin]};
    const std::size_t middle = begin + (end - begin) / 2;
    const BMulti left = BoostUniteRange(polygons, begin, middle);
    const BMulti right = BoostUniteRange(polygons, middle, end);
    BMulti united;
    bg::union_(left, right, united);
    return united;
}

void BM_Bulk_Boost(benchmark::State& state) {
    double area = 0;
    for (auto _ : state) {
        std::vector<BPolygon> polygons;
        for (const clip::Path& p : Bulk()) polygons.push_back(BoostPolygon(p));
        area = bg::area(BoostUniteRange(polygons, 0, polygons.size()));
    }
    state.counters["area"] = area;
}

BENCHMARK(BM_Strokes_Clip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Strokes_Geos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Strokes_Boost)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bulk_Clip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bulk_Geos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bulk_Boost)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Offset_Clip, square, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Offset_Geos, square, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Offset_Clip, mitre, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Offset_Geos, mitre, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Offset_Clip, round, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Offset_Geos, round, 2)->Unit(benchmark::kMillisecond);

// Console output as usual, plus the time of each library relative to the clip library.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions, the medians alone.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    // Pairs every clip case with the other libraries' case of the same workload.
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, own] : seconds_) {
            const std::size_t at = name.find("_Clip");
            if (at == std::string::npos || own <= 0) continue;
            for (const char* other : {"Geos", "Boost"}) {
                const auto theirs = seconds_.find(name.substr(0, at) + "_" + other + name.substr(at + 5));
                if (theirs == seconds_.end()) continue;
                const std::string workload = name.substr(3, at - 3) + name.substr(at + 5);
                std::printf("%-14s %-6s / clip: %.2f\n", workload.c_str(), other, theirs->second / own);
            }
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
