// The engine's projection, area filters and object-area filter on a million records, without
// Ruby: a terrain of 388 x 388 quads (301,088 triangles) over 1500 x 1500, a jittered grid of
// spacing 1.25 above it (about 1.44 million points), the records it projects to, an area
// painted with 400 brush strokes along one walk (its outer ring kept inside, its holes kept
// outside of), 20 wavy rings of 500 vertices, and 300 object footprints. Each case times one
// call of the step as the binding makes it; "Reference" cases run the straightforward
// algorithms on a spread subset of the records and are scaled per record in the counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "engine/area_filters.h"
#include "engine/paint_areas.h"
#include "engine/projection.h"
#include "engine/reference.h"
#include "engine/scene.h"

namespace {

constexpr float kSize = 1500.0f;
constexpr int kQuads = 388;
constexpr float kSpacing = 1.25f;

float height(float x, float y) { return 20.0f * std::sin(x / 50.0f) * std::cos(y / 70.0f); }

std::vector<std::vector<math::float3>> terrain() {
    std::vector<std::vector<math::float3>> faces;
    const float step = kSize / kQuads;
    auto corner = [&](int i, int j) {
        const float x = i * step, y = j * step;
        return math::float3(x, y, height(x, y));
    };
    for (int i = 0; i < kQuads; ++i)
        for (int j = 0; j < kQuads; ++j) {
            faces.push_back({corner(i, j), corner(i + 1, j), corner(i + 1, j + 1)});
            faces.push_back({corner(i, j), corner(i + 1, j + 1), corner(i, j + 1)});
        }
    return faces;
}

std::vector<math::float3> grid_above(std::mt19937 &rng) {
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
    std::vector<math::float3> points;
    const int n = static_cast<int>(kSize / kSpacing);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const float jx = jitter(rng), jy = jitter(rng);
            points.emplace_back((i + 0.5f) * kSpacing + jx, (j + 0.5f) * kSpacing + jy, 30.0f);
        }
    return points;
}

// The outline of a brush of the radius dragged from (x, y) to (x1, y1): two half circles
// joined by straight sides.
clip::Path stroke(double x, double y, double x1, double y1, double heading, double radius) {
    struct End { double x, y, start; };
    clip::Path path;
    for (const End &end : {End{x1, y1, heading - M_PI / 2}, End{x, y, heading + M_PI / 2}})
        for (int k = 0; k <= 12; ++k) {
            const double a = end.start + M_PI * k / 12;
            path.emplace_back(engine::clip_coordinate_of(end.x + radius * std::cos(a)),
                              engine::clip_coordinate_of(end.y + radius * std::sin(a)), 0);
        }
    return path;
}

// The area as the add-on paints it: a brush dragged along one wandering walk of 400 short
// strokes that turns back at the terrain's edge, every tenth stroke erasing with a smaller
// brush. Like the million workload's, it leaves one outer ring over most of the terrain and
// some fifty small holes.
struct Painted {
    std::vector<engine::OutlinePoints> outer, holes;
};

Painted painted(std::mt19937 &rng) {
    std::uniform_real_distribution<double> turn(-0.8, 0.8), run(40, 140), paint(25, 55), cut(8, 20);
    clip::Paths area;
    double x = kSize / 2, y = kSize / 2, heading = 0;
    for (int k = 0; k < 400; ++k) {
        heading += turn(rng);
        const double length = run(rng);
        const bool erase = k % 10 == 9;
        const double radius = erase ? cut(rng) : paint(rng);
        double x1 = x + length * std::cos(heading), y1 = y + length * std::sin(heading);
        if (!(0 <= x1 && x1 <= kSize && 0 <= y1 && y1 <= kSize)) {
            heading += M_PI;
            x1 = x, y1 = y;
        }
        area = engine::paint_union(area, stroke(x, y, x1, y1, heading, radius), erase, false, math::Quat::identity)
                   ->rings;
        x = x1, y = y1;
    }
    Painted out;
    for (const clip::Path &ring : area) {
        engine::OutlinePoints points;
        for (const clip::IntPoint &p : ring) points.push_back(engine::IntPoint_to_float3(p));
        (clip::Orientation(ring) ? out.outer : out.holes).push_back(points);
    }
    return out;
}

std::vector<engine::OutlinePoints> wavy_rings() {
    std::vector<engine::OutlinePoints> rings;
    for (int k = 0; k < 20; ++k) {
        const float cx = 150.0f + (k % 5) * 300.0f, cy = 180.0f + (k / 5) * 360.0f;
        engine::OutlinePoints ring;
        for (int i = 0; i < 500; ++i) {
            const float a = 2.0f * static_cast<float>(M_PI) * i / 500.0f;
            const float r = 120.0f + 22.0f * std::sin(7.0f * a);
            ring.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a), 0.0f);
        }
        rings.push_back(ring);
    }
    return rings;
}

std::vector<std::vector<std::vector<math::float3>>> footprints() {
    std::vector<std::vector<std::vector<math::float3>>> objects;
    for (int k = 0; k < 300; ++k) {
        const float x = (k % 20) * 75.0f + 10.0f, y = (k / 20) * 100.0f + 10.0f;
        std::vector<math::float3> outline;
        if (k < 250) {
            outline = {{x, y, 0}, {x + 8, y, 0}, {x + 8, y + 5, 0}, {x, y + 5, 0}};
        } else {
            for (int i = 0; i < 30; ++i) {
                const float a = 2.0f * static_cast<float>(M_PI) * i / 30.0f, r = i % 2 ? 4.0f : 10.0f;
                outline.emplace_back(x + r * std::cos(a), y + r * std::sin(a), 0.0f);
            }
        }
        objects.push_back({outline});
    }
    return objects;
}

struct Workload {
    std::shared_ptr<const engine::Surface> surface;
    std::vector<math::float3> above;
    std::vector<engine::PointRecord> records;  // the projected points
    Painted paint;
    std::vector<engine::OutlinePoints> wavy;
    std::shared_ptr<const engine::ObjectAreas> objects;
};

engine::TimeLimitPrompt quiet_prompt() { return engine::TimeLimitPrompt({1e9, 0, true}, engine::no_hooks()); }

const Workload &workload() {
    static const Workload w = [] {
        Workload out;
        std::mt19937 rng(2026);
        out.surface = std::make_shared<const engine::Surface>(terrain(), false, math::Quat::identity);
        out.above = grid_above(rng);
        engine::TimeLimitPrompt prompt = quiet_prompt();
        for (const engine::Projected &p : engine::project_down(*out.surface, out.above, prompt).result) {
            engine::PointRecord record;
            record.position = p.position;
            out.records.push_back(record);
        }
        out.paint = painted(rng);
        out.wavy = wavy_rings();
        out.objects = std::make_shared<const engine::ObjectAreas>(footprints());
        return out;
    }();
    return w;
}

// A subset spread over the whole input, for the reference cases.
std::vector<engine::PointRecord> spread(const std::vector<engine::PointRecord> &records, size_t count) {
    std::vector<engine::PointRecord> out;
    for (size_t i = 0; i < count; ++i) out.push_back(records[i * records.size() / count]);
    return out;
}

// Per-record time and the step's record count in the counters.
void count(benchmark::State &state, size_t records, size_t kept) {
    state.counters["records"] = static_cast<double>(records);
    state.counters["kept"] = static_cast<double>(kept);
    state.counters["per_record"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}

struct ReferenceSwitch {
    explicit ReferenceSwitch(bool on) { engine::use_reference_algorithms = on; }
    ~ReferenceSwitch() { engine::use_reference_algorithms = false; }
};

// Projection onto a surface whose index is already built, as every call after the load finds it.
void project(benchmark::State &state, const std::vector<math::float3> &points) {
    const Workload &w = workload();
    size_t kept = 0;
    for (auto _ : state) {
        engine::TimeLimitPrompt prompt = quiet_prompt();
        kept = engine::project_down(*w.surface, points, prompt).result.size();
    }
    count(state, points.size(), kept);
}

void Projection(benchmark::State &state) { project(state, workload().above); }

// The same points in a random order, which no longer visits neighbouring faces one after the
// other.
void ProjectionShuffled(benchmark::State &state) {
    std::vector<math::float3> points = workload().above;
    std::shuffle(points.begin(), points.end(), std::mt19937(7));
    project(state, points);
}

// The surface as the loader builds it, its projection index included.
void LoadSurface(benchmark::State &state) {
    const std::vector<std::vector<math::float3>> faces = terrain();
    for (auto _ : state) {
        const engine::Surface surface(faces, false, math::Quat::identity);
        benchmark::DoNotOptimize(surface.projection_index());
    }
    count(state, faces.size(), faces.size());
}

// The projection index alone, on a loaded surface.
void BuildProjectionIndex(benchmark::State &state) {
    const engine::Surface &surface = *workload().surface;
    for (auto _ : state) {
        const engine::ProjectionIndex index(surface.faces(), surface.face_bounds());
        benchmark::DoNotOptimize(&index);
    }
    count(state, surface.faces().size(), surface.faces().size());
}

enum Rings { painted_outer, painted_holes, wavy };

const std::vector<engine::OutlinePoints> &rings(Rings which) {
    const Workload &w = workload();
    return which == painted_outer ? w.paint.outer : which == painted_holes ? w.paint.holes : w.wavy;
}

void Areas(benchmark::State &state, engine::AreaMode mode, Rings which, bool reference) {
    const Workload &w = workload();
    const std::vector<engine::PointRecord> records = reference ? spread(w.records, 20000) : w.records;
    const engine::AreaSettings settings{mode, true, false, math::Quat::identity, 5};
    const ReferenceSwitch use(reference);
    size_t kept = 0;
    for (auto _ : state) {
        engine::TimeLimitPrompt prompt = quiet_prompt();
        kept = engine::area_filter(records, rings(which), settings, prompt).result.size();
    }
    size_t vertices = 0;
    for (const engine::OutlinePoints &ring : rings(which)) vertices += ring.size();
    state.counters["rings"] = static_cast<double>(rings(which).size());
    state.counters["vertices"] = static_cast<double>(vertices);
    count(state, records.size(), kept);
}

// Against footprints whose index is already built, as every call after the first finds it.
void ObjectAreas(benchmark::State &state, bool reference) {
    const Workload &w = workload();
    const std::vector<engine::PointRecord> records = reference ? spread(w.records, 2000) : w.records;
    engine::Pace pace(engine::no_hooks());
    w.objects->index(pace);
    const ReferenceSwitch use(reference);
    size_t kept = 0;
    for (auto _ : state) {
        engine::TimeLimitPrompt prompt = quiet_prompt();
        kept = engine::object_area_filter(*w.objects, records, prompt).result.size();
    }
    count(state, records.size(), kept);
}

// The footprints as the loader stores them, and their index as the first call builds it.
void LoadFootprints(benchmark::State &state) {
    const std::vector<std::vector<std::vector<math::float3>>> objects = footprints();
    for (auto _ : state) {
        const engine::ObjectAreas areas(objects);
        engine::Pace pace(engine::no_hooks());
        benchmark::DoNotOptimize(&areas.index(pace));
    }
    count(state, objects.size(), objects.size());
}

}  // namespace

BENCHMARK(LoadSurface)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildProjectionIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(Projection)->Unit(benchmark::kMillisecond);
BENCHMARK(ProjectionShuffled)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Areas, InsidePainted, engine::AreaMode::inside, painted_outer, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Areas, OutsideHoles, engine::AreaMode::outside, painted_holes, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Areas, InsideWavy, engine::AreaMode::inside, wavy, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Areas, OutsideWavy, engine::AreaMode::outside, wavy, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Areas, InsidePaintedReference, engine::AreaMode::inside, painted_outer, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Areas, OutsideWavyReference, engine::AreaMode::outside, wavy, true)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFootprints)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ObjectAreas, Indexed, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ObjectAreas, Reference, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
