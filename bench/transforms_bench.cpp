// The per-record seeding of the engine's rand model and the scaling step that pays it, at the
// engine level, without Ruby (the instance transformations are timed in collision_bench).
//
// - Reseed/<draws>: a million seeds within a reseeding scope, each followed by that many
//   draws: 0 (a seed that nothing draws from), 1 (the scaling step with one factor for all
//   axes), 3 (one factor per axis) and 12 (about what an instance transformation with every
//   flag on draws).
// - ScaleRecords/<records>: the scaling step with one random factor for all axes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "engine/random_draws.h"
#include "engine/reseeding_scope.h"
#include "engine/transforms.h"

namespace {

constexpr int kSeeds = 1000000;

std::vector<int> seeds(int n) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> seed(0, 999999);
    std::vector<int> out(n);
    for (int &s : out) s = seed(rng);
    return out;
}

void BM_Reseed(benchmark::State &state) {
    const std::vector<int> all = seeds(kSeeds);
    const int draws = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const engine::ReseedingScope scope;
        int sum = 0;
        for (int s : all) {
            engine::rng_seed(static_cast<unsigned>(s));
            for (int k = 0; k < draws; ++k) sum += engine::rng_next();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSeeds);
}

void BM_ScaleRecords(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<int> all = seeds(n);
    std::vector<engine::PointRecord> records(n);
    for (int i = 0; i < n; ++i) {
        records[i].definition = i % 3;
        records[i].seed = all[i];
    }
    const std::vector<engine::Definition> defs(3);
    const engine::ScaleSettings settings(true, "xyz", {{80, 120, 80, 120, 80, 120}});
    for (auto _ : state) {
        engine::Pace pace(engine::no_hooks());
        benchmark::DoNotOptimize(engine::scale_records(records, defs, settings, pace));
    }
    state.SetItemsProcessed(state.iterations() * n);
}

}  // namespace

BENCHMARK(BM_Reseed)->ArgName("draws")->Arg(0)->Arg(1)->Arg(3)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaleRecords)->ArgName("records")->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
