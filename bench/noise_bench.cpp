// Samples per second of the noise generator's kernels on the same jittered grid of points,
// beside libnoise's Perlin module (best quality: quintic curve, like our default) as a
// yardstick for every kernel and its Voronoi module beside cellular noise. One octave for
// the single kernels, three for FBM; every case samples each point once per iteration.
// The summary prints the time per batch of points and each reference's relative to ours.
#include <benchmark/benchmark.h>
#include <libnoise/noise.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "noise/Noise.h"
#include "side_by_side.h"

namespace {

constexpr int kPoints = 1 << 18;  // a 512 x 512 or 64 x 64 x 64 grid

struct Point {
    float x, y, z;
};

// Grid points 0.37 apart, each moved by up to a third of that along every axis.
std::vector<Point> Jittered(int dimensions) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> jitter(-0.12f, 0.12f);
    const int side = dimensions == 2 ? 512 : 64;
    std::vector<Point> points;
    points.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        const int a = i % side, b = (i / side) % side, c = dimensions == 2 ? 0 : i / (side * side);
        const float jx = jitter(rng), jy = jitter(rng), jz = dimensions == 2 ? 0 : jitter(rng);
        points.push_back({a * 0.37f + jx, b * 0.37f + jy, c * 0.37f + jz});
    }
    return points;
}

using Sampler = std::function<double(const Point &)>;

void Time(benchmark::State &state, const std::vector<Point> *grid, const Sampler &sample) {
    const std::vector<Point> &points = *grid;
    for (auto _ : state) {
        double sum = 0;
        for (const Point &p : points) sum += sample(p);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
}

struct Kernel {
    const char *name;
    int dimensions;
    noise::NoiseType type;
};

void Register() {
    static const std::vector<Point> grid2 = Jittered(2), grid3 = Jittered(3);
    static std::vector<std::unique_ptr<noise::Noise>> generators;
    static std::vector<std::unique_ptr<noise::module::Module>> references;
    const Kernel kernels[] = {
        {"perlin2d", 2, noise::NoiseType::Perlin},     {"perlin3d", 3, noise::NoiseType::Perlin},
        {"simplex2d", 2, noise::NoiseType::Simplex},   {"simplex3d", 3, noise::NoiseType::Simplex},
        {"value2d", 2, noise::NoiseType::Value},       {"value3d", 3, noise::NoiseType::Value},
        {"cellular2d", 2, noise::NoiseType::Cellular}, {"cellular3d", 3, noise::NoiseType::Cellular},
        {"fbm3d_3oct", 3, noise::NoiseType::PerlinFractal},
    };
    for (const Kernel &k : kernels) {
        const std::vector<Point> *points = k.dimensions == 2 ? &grid2 : &grid3;
        const std::string key = std::string("/") + k.name + "/" + std::to_string(kPoints);
        const bool cellular = k.type == noise::NoiseType::Cellular, fractal = k.type == noise::NoiseType::PerlinFractal;

        generators.push_back(std::make_unique<noise::Noise>(1337));
        noise::Noise &ours = *generators.back();
        ours.SetFrequency(1);
        ours.SetNoiseType(k.type);
        // Cellular as the scatter engine configures it: natural distance, cell value.
        if (cellular) ours.SetCellularDistanceFunction(noise::CellularDistanceFunction::Natural);
        const Sampler own = k.dimensions == 2 ? Sampler([&ours](const Point &p) { return ours.GetNoise(p.x, p.y); })
                                              : Sampler([&ours](const Point &p) { return ours.GetNoise(p.x, p.y, p.z); });
        benchmark::RegisterBenchmark(("vandrel" + key).c_str(), Time, points, own);

        auto perlin = std::make_unique<noise::module::Perlin>();
        perlin->SetSeed(1337);
        perlin->SetNoiseQuality(noise::QUALITY_BEST);
        perlin->SetOctaveCount(fractal ? 3 : 1);
        const noise::module::Perlin &p = *perlin;
        references.push_back(std::move(perlin));
        benchmark::RegisterBenchmark(("libnoise-perlin" + key).c_str(), Time, points,
                                     Sampler([&p](const Point &q) { return p.GetValue(q.x, q.y, q.z); }));
        if (cellular) {
            auto voronoi = std::make_unique<noise::module::Voronoi>();
            voronoi->SetSeed(1337);
            const noise::module::Voronoi &v = *voronoi;
            references.push_back(std::move(voronoi));
            benchmark::RegisterBenchmark(("libnoise-voronoi" + key).c_str(), Time, points,
                                         Sampler([&v](const Point &q) { return v.GetValue(q.x, q.y, q.z); }));
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    Register();
    return bench::RunSideBySide(argc, argv);
}
