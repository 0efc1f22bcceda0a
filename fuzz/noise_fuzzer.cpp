// libFuzzer target for the noise generator: random settings, an optional lookup generator
// and a few samples at random coordinates.
//
// Besides not crashing (the build adds address and undefined-behaviour checks), every
// sample at finite coordinates with tame settings must be finite: frequency, lacunarity and
// octaves that keep every scaled coordinate inside the 32-bit lattice, a gain and amplitude
// of moderate size and a known interpolation. White noise always lies in [-1, 1).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "noise/Noise.h"

namespace {

// Set by NOISE_FUZZ_SHOW=1: the settings and every sample are printed, for reading a crash
// input (./noise_fuzzer crash-...).
const bool show = std::getenv("NOISE_FUZZ_SHOW") != nullptr;

void print_settings(const char *name, const noise::Noise &n) {
    std::fprintf(stderr,
                 "%s: seed %d, frequency %.9g, interpolation %d, type %d, octaves %d, lacunarity %.9g, gain %.9g, "
                 "fractal %d, distance %d, return %d, amplitude %.9g\n",
                 name, n.GetSeed(), n.GetFrequency(), static_cast<int>(n.GetInterp()),
                 static_cast<int>(n.GetNoiseType()), n.GetFractalOctaves(), n.GetFractalLacunarity(),
                 n.GetFractalGain(), static_cast<int>(n.GetFractalType()),
                 static_cast<int>(n.GetCellularDistanceFunction()), static_cast<int>(n.GetCellularReturnType()),
                 n.GetGradientPerturbAmp());
}

[[noreturn]] void fail(const char *what, int sampler) {
    std::fprintf(stderr, "noise_fuzzer: invariant broken: %s (sampler %d)\n", what, sampler);
    std::abort();
}

// Mostly ordinary values, sometimes any bit pattern (NaN, infinities, huge or tiny).
float Number(FuzzedDataProvider &in, float lo, float hi) {
    if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
        const std::uint32_t bits = in.ConsumeIntegral<std::uint32_t>();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    return in.ConsumeFloatingPointInRange<float>(lo, hi);
}

// Few octaves as a rule; now and then more than the permutation table holds.
std::int32_t Octaves(FuzzedDataProvider &in) {
    switch (in.ConsumeIntegralInRange<int>(0, 31)) {
        case 0: return in.ConsumeIntegralInRange<std::int32_t>(513, 530);
        case 1: return in.ConsumeIntegralInRange<std::int32_t>(-5, 0);
        default: return in.ConsumeIntegralInRange<std::int32_t>(1, 9);
    }
}

// Settings from the input; returns the largest factor any octave applies to a coordinate
// (infinite when the settings are not tame).
double Configure(FuzzedDataProvider &in, noise::Noise &n) {
    n.SetFrequency(Number(in, -4, 4));
    n.SetInterp(static_cast<noise::Interp>(in.ConsumeIntegralInRange<int>(-1, 3)));
    n.SetNoiseType(static_cast<noise::NoiseType>(in.ConsumeIntegralInRange<int>(-1, 11)));
    n.SetFractalOctaves(Octaves(in));
    n.SetFractalLacunarity(Number(in, 0, 3));
    n.SetFractalGain(Number(in, -1.5f, 1.5f));
    n.SetFractalType(static_cast<noise::FractalType>(in.ConsumeIntegralInRange<int>(-1, 3)));
    n.SetCellularDistanceFunction(static_cast<noise::CellularDistanceFunction>(in.ConsumeIntegralInRange<int>(-1, 3)));
    n.SetCellularReturnType(static_cast<noise::CellularReturnType>(in.ConsumeIntegralInRange<int>(-1, 8)));
    n.SetGradientPerturbAmp(Number(in, -50, 50));

    const double frequency = std::fabs(n.GetFrequency()), lacunarity = std::fabs(n.GetFractalLacunarity());
    const double gain = std::fabs(n.GetFractalGain()), amplitude = std::fabs(n.GetGradientPerturbAmp());
    const int octaves = n.GetFractalOctaves();
    const bool tame = std::isfinite(frequency) && std::isfinite(lacunarity) && gain <= 1.5 && amplitude <= 50 &&
                      octaves <= 9 && static_cast<int>(n.GetInterp()) >= 0 && static_cast<int>(n.GetInterp()) <= 2;
    return tame ? frequency * std::pow(std::max(1.0, lacunarity), std::max(0, octaves - 1))
                : HUGE_VAL;
}

float Sample(const noise::Noise &n, int sampler, const float *c) {
    switch (sampler) {
        case 0: return n.GetNoise(c[0], c[1]);
        case 1: return n.GetNoise(c[0], c[1], c[2]);
        case 2: return n.GetValueFractal(c[0], c[1], c[2]);
        case 3: return n.GetPerlinFractal(c[0], c[1]);
        case 4: return n.GetSimplex(c[0], c[1], c[2], c[3]);
        case 5: return n.GetSimplexFractal(c[0], c[1]);
        case 6: return n.GetCubicFractal(c[0], c[1], c[2]);
        case 7: return n.GetCellular(c[0], c[1]);
        case 8: return n.GetCellular(c[0], c[1], c[2]);
        case 9: return n.SingleSimplexFractalBlend(c[0], c[1]);
        case 10: {
            float x = c[0], y = c[1], z = c[2];
            n.GradientPerturbFractal(x, y, z);
            return x + y + z;
        }
        case 11: {
            float x = c[0], y = c[1];
            n.GradientPerturb(x, y);
            return x + y;
        }
        default: {
            const float white = n.GetWhiteNoise(c[0], c[1], c[2], c[3]);
            if (!(white >= -1 && white < 1)) fail("white noise outside [-1, 1)", sampler);
            return white;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Seeded once each: dealing the permutation is most of the cost of a short input.
    noise::Noise n(in.ConsumeIntegral<std::int32_t>());
    double reach = Configure(in, n);
    if (in.ConsumeBool()) {
        // The lookup samples near the scaled coordinates, scaling them again.
        auto lookup = std::make_unique<noise::Noise>(in.ConsumeIntegral<std::int32_t>());
        reach *= std::max(1.0, Configure(in, *lookup));
        n.SetCellularNoiseLookup(std::move(lookup));
    }
    if (show) {
        print_settings("generator", n);
        if (n.GetCellularNoiseLookup()) print_settings("lookup", *n.GetCellularNoiseLookup());
        std::fprintf(stderr, "largest factor on a coordinate %.9g\n", reach);
    }
    const int samples = in.ConsumeIntegralInRange<int>(1, 8);
    for (int s = 0; s < samples && in.remaining_bytes() > 0; ++s) {
        const int sampler = in.ConsumeIntegralInRange<int>(0, 12);
        float c[4];
        double largest = 0;
        bool finite = true;
        for (float &v : c) {
            v = Number(in, -2000, 2000);
            finite = finite && std::isfinite(v);
            largest = std::max(largest, std::fabs(double(v)));
        }
        const float value = Sample(n, sampler, c);
        if (show)
            std::fprintf(stderr, "sampler %d at (%.9g, %.9g, %.9g, %.9g): %.9g\n", sampler, c[0], c[1], c[2], c[3], value);
        // Scaled coordinates below 2^30 stay inside the lattice, where every kernel is finite
        // (perturbation moves them by less than 10^4 with tame settings).
        if (finite && (largest + 1e4) * reach < 1073741824.0 && !std::isfinite(value))
            fail("non-finite sample at finite coordinates and tame settings", sampler);
    }
    return 0;
}
