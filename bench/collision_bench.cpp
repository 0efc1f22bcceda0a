// The last two steps of the scatter pipeline at the engine level, without Ruby: the collision
// test and the instance transformations, on records laid out like a forest on a terrain
// (a jittered grid of spacing 1.25, footprint radii 0.5 to 2).
//
// - Collisions/<records>: the whole step (the shuffle, the footprints, the overlaps).
// - SparseCollisions/<records>: the same with footprints a quarter the size, which seldom
//   overlap, as in a scatter whose instances stand apart.
// - Overlaps/<case>/<records>: the overlap test alone, on footprints in their own order and a
//   shuffled visiting order, normal and with odd records among them: one NaN position, one
//   infinite radius, a few footprints ten thousand times the others' size. None of them may
//   make the step much slower.
// - Transforms/<records>: the instance transformations of the records, every flag on.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "engine/camera_collisions.h"
#include "engine/overlaps.h"
#include "engine/transforms.h"

namespace {

constexpr float kSpacing = 1.25f;

std::vector<engine::Definition> forest_definitions() {
    // Footprint radii 0.625 (centred), 1 (corner) and 1.667 (centred) at 100 percent.
    std::vector<engine::Definition> defs(3);
    const float half[3] = {0.625f, 1.0f, 5.0f / 3.0f};
    for (int k = 0; k < 3; ++k) {
        defs[k].centred = k != 1;
        defs[k].box_min = math::float3(-half[k], -half[k], 0.0f);
        defs[k].box_max = math::float3(half[k], half[k], 2.0f + k);
    }
    return defs;
}

// n records on a jittered square grid, each with a definition, an axis scale of 0.8 to 1.2,
// a normal near up, a seed and a heading.
std::vector<engine::PointRecord> forest(int n) {
    std::mt19937 rng(25);
    std::uniform_real_distribution<float> jitter(0.0f, kSpacing), factor(0.8f, 1.2f), tilt(-0.3f, 0.3f),
        angle(0.0f, 6.2831855f);
    std::uniform_int_distribution<int> definition(0, 2), seed(0, 999999);
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    std::vector<engine::PointRecord> records(n);
    for (int i = 0; i < n; ++i) {
        engine::PointRecord &r = records[i];
        const float jx = jitter(rng);
        const float jy = jitter(rng);
        r.position = math::float3((i % side) * kSpacing + jx, (i / side) * kSpacing + jy, 0.0f);
        const float nx = tilt(rng);
        const float ny = tilt(rng);
        r.normal = math::float3(nx, ny, 1.0f).Normalized();
        r.definition = definition(rng);
        const float s = factor(rng);
        r.axis_scale = math::float3(s, s, s);
        r.seed = seed(rng);
        r.heading = angle(rng);
    }
    return records;
}

// The records' footprints in their own order, as the collision test hands them on.
std::vector<engine::Footprint> forest_footprints(int n) {
    std::vector<engine::Footprint> footprints;
    for (const engine::PointRecord &r : forest(n)) footprints.push_back({r.position, 0.5f + r.definition * 0.6f});
    return footprints;
}

// A visiting order of n records.
std::vector<int> shuffled_order(int n) {
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    return order;
}

enum OddCase { kNormal, kOneNaN, kOneInfinite, kFewHuge };

void BM_Overlaps(benchmark::State &state) {
    std::vector<engine::Footprint> footprints = forest_footprints(static_cast<int>(state.range(1)));
    const std::vector<int> order = shuffled_order(static_cast<int>(state.range(1)));
    // The odd records are visited in the middle of the order.
    const size_t middle = footprints.size() / 2;
    switch (state.range(0)) {
        case kOneNaN: footprints[order[middle]].centre.x = std::numeric_limits<float>::quiet_NaN(); break;
        case kOneInfinite: footprints[order[middle]].radius = std::numeric_limits<float>::infinity(); break;
        case kFewHuge:
            for (size_t k = 0; k < 4; ++k) footprints[order[middle + k * 997]].radius *= 1e4f;
            break;
    }
    for (auto _ : state) {
        engine::Pace pace(engine::no_hooks());
        benchmark::DoNotOptimize(engine::remove_overlaps(footprints, order, pace));
    }
    state.SetItemsProcessed(state.iterations() * state.range(1));
}

void collisions_at_size(benchmark::State &state, float size_percent) {
    const std::vector<engine::PointRecord> records = forest(static_cast<int>(state.range(0)));
    const std::vector<engine::Definition> defs = forest_definitions();
    for (auto _ : state) {
        engine::Pace pace(engine::no_hooks());
        benchmark::DoNotOptimize(engine::collisions(records, defs, size_percent, 3, pace));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Collisions(benchmark::State &state) { collisions_at_size(state, 100.0f); }
void BM_SparseCollisions(benchmark::State &state) { collisions_at_size(state, 25.0f); }

void BM_Transforms(benchmark::State &state) {
    std::vector<engine::PointRecord> records = forest(static_cast<int>(state.range(0)));
    // In a shuffled order, as the collision test hands them on.
    std::shuffle(records.begin(), records.end(), std::mt19937(9));
    const std::vector<engine::Definition> defs = forest_definitions();
    engine::TransformSettings s{};
    s.scale = true;
    s.rotation = engine::TransformRange(true, {{0, 0.1, 0, 0.1, 0, 6.28}});
    s.translation = engine::TransformRange(true, {{-1, 1, -1, 1, 0, 0}});
    s.pointing = 50.0f;
    s.mirror = s.vmirror = s.quarter_turns = true;
    for (auto _ : state) {
        engine::Pace pace(engine::no_hooks());
        benchmark::DoNotOptimize(engine::random_transforms(records, defs, s, pace));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_Overlaps)
    ->ArgNames({"case", "records"})
    ->ArgsProduct({{kNormal, kOneNaN, kOneInfinite, kFewHuge}, {80000, 1000000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Collisions)->ArgName("records")->Arg(80000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SparseCollisions)->ArgName("records")->Arg(80000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Transforms)->ArgName("records")->Arg(80000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
