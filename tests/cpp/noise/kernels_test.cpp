// The kernels: values pinned by their definition, and properties that hold for any
// permutation (the permutation itself depends on the standard library's distribution).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "noise/Lattice.h"
#include "noise/Noise.h"
#include "noise/NoiseTables.h"

using namespace noise;

namespace {

// A sampler at coordinates already scaled (frequency 1), in up to four dimensions.
struct Sampler {
    std::string name;
    int dimensions;
    std::function<float(const Noise &, const float *)> at;
    // Small steps give small changes: not so for white noise, the cells' values and 2D
    // simplex, which has seams where a corner's radius reaches past its triangle.
    bool continuous;
};

std::vector<Sampler> Samplers() {
    return {
        {"value 2D", 2, [](const Noise &n, const float *p) { return n.GetValue(p[0], p[1]); }, true},
        {"value 3D", 3, [](const Noise &n, const float *p) { return n.GetValue(p[0], p[1], p[2]); }, true},
        {"perlin 2D", 2, [](const Noise &n, const float *p) { return n.GetPerlin(p[0], p[1]); }, true},
        {"perlin 3D", 3, [](const Noise &n, const float *p) { return n.GetPerlin(p[0], p[1], p[2]); }, true},
        {"simplex 2D", 2, [](const Noise &n, const float *p) { return n.GetSimplex(p[0], p[1]); }, false},
        {"simplex 3D", 3, [](const Noise &n, const float *p) { return n.GetSimplex(p[0], p[1], p[2]); }, true},
        {"simplex 4D", 4, [](const Noise &n, const float *p) { return n.GetSimplex(p[0], p[1], p[2], p[3]); }, true},
        {"cubic 2D", 2, [](const Noise &n, const float *p) { return n.GetCubic(p[0], p[1]); }, true},
        {"cubic 3D", 3, [](const Noise &n, const float *p) { return n.GetCubic(p[0], p[1], p[2]); }, true},
        {"cellular 2D", 2, [](const Noise &n, const float *p) { return n.GetCellular(p[0], p[1]); }, false},
        {"cellular 3D", 3, [](const Noise &n, const float *p) { return n.GetCellular(p[0], p[1], p[2]); }, false},
        {"white 2D", 2, [](const Noise &n, const float *p) { return n.GetWhiteNoise(p[0], p[1]); }, false},
        {"white 3D", 3, [](const Noise &n, const float *p) { return n.GetWhiteNoise(p[0], p[1], p[2]); }, false},
        {"white 4D", 4, [](const Noise &n, const float *p) { return n.GetWhiteNoise(p[0], p[1], p[2], p[3]); }, false},
        {"value fractal 3D", 3, [](const Noise &n, const float *p) { return n.GetValueFractal(p[0], p[1], p[2]); }, true},
        {"perlin fractal 2D", 2, [](const Noise &n, const float *p) { return n.GetPerlinFractal(p[0], p[1]); }, true},
        {"simplex fractal 3D", 3, [](const Noise &n, const float *p) { return n.GetSimplexFractal(p[0], p[1], p[2]); }, true},
        {"cubic fractal 2D", 2, [](const Noise &n, const float *p) { return n.GetCubicFractal(p[0], p[1]); }, true},
    };
}

Noise Unscaled(std::int32_t seed = 1337) {
    Noise n(seed);
    n.SetFrequency(1);
    return n;
}

void RandomPoint(std::mt19937 &rng, float scale, float *p) {
    std::uniform_real_distribution<float> u(-scale, scale);
    for (int k = 0; k < 4; ++k) p[k] = u(rng);
}

std::int32_t Bits(float f) {
    std::int32_t i;
    std::memcpy(&i, &f, sizeof i);
    return i;
}

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(NoiseKernels, PerlinIsZeroAtEveryIntegerPoint) {
    const Noise n = Unscaled(8);
    for (int x = -20; x <= 20; x += 3)
        for (int y = -20; y <= 20; y += 2) {
            EXPECT_EQ(n.GetPerlin(float(x), float(y)), 0.0f) << x << " " << y;
            for (int z = -9; z <= 9; z += 3) EXPECT_EQ(n.GetPerlin(float(x), float(y), float(z)), 0.0f);
        }
    for (Interp interp : {Interp::Linear, Interp::Hermite}) {
        Noise m = Unscaled(8);
        m.SetInterp(interp);
        EXPECT_EQ(m.GetPerlin(-3.0f, 5.0f, -2.0f), 0.0f);
    }
}

TEST(NoiseKernels, ValueNoiseAtNonNegativeIntegersIsTheLatticeValue) {
    for (Interp interp : {Interp::Linear, Interp::Hermite, Interp::Quintic}) {
        Noise n = Unscaled(21);
        n.SetInterp(interp);
        const Permutation &p = n.GetPermutation();
        for (int x = 0; x < 300; x += 7)
            for (int y = 0; y < 300; y += 13) {
                EXPECT_EQ(n.GetValue(float(x), float(y)), VAL_LUT[p.Index(0, x, y)]);
                const int z = (x + y) % 260;
                EXPECT_EQ(n.GetValue(float(x), float(y), float(z)), VAL_LUT[p.Index(0, x, y, z)]);
                EXPECT_EQ(n.SingleValue(99, float(x), float(y), float(z)), VAL_LUT[p.Index(99, x, y, z)]);
            }
    }
}

TEST(NoiseKernels, ValueNoiseAtNegativeIntegersIsNearTheLatticeValue) {
    // There the cell is the one below and the fraction is 1: a + 1 * (b - a) rounds.
    const Noise n = Unscaled(21);
    const Permutation &p = n.GetPermutation();
    for (int x = -40; x < 0; ++x)
        EXPECT_NEAR(n.GetValue(float(x), 3.0f), VAL_LUT[p.Index(0, x, 3)], 1e-6f) << x;
}

TEST(NoiseKernels, WhiteNoiseHashesTheFoldedBits) {
    const Noise n(99);
    const float coords[] = {0.0f, -0.0f, 1.0f, -1.5f, 3.14159f, 1e-30f, 1e30f, kInf, -kInf};
    const auto fold = [](float f) { return Bits(f) ^ (Bits(f) >> 16); };
    for (float x : coords)
        for (float y : coords) {
            EXPECT_EQ(n.GetWhiteNoise(x, y), Hash(99, fold(x), fold(y)));
            EXPECT_EQ(n.GetWhiteNoise(x, y, 2.5f), Hash(99, fold(x), fold(y), fold(2.5f)));
            EXPECT_EQ(n.GetWhiteNoise(x, y, 2.5f, -7.0f), Hash(99, fold(x), fold(y), fold(2.5f), fold(-7.0f)));
        }
    // -0.0f has the sign bit: 0x80000000 folds, by the arithmetic shift, to 0x7fff8000.
    EXPECT_EQ(fold(-0.0f), 0x7fff8000);
    EXPECT_NE(n.GetWhiteNoise(0.0f, 1.0f), n.GetWhiteNoise(-0.0f, 1.0f));
    EXPECT_EQ(n.GetWhiteNoise(0.0f, 0.0f), n.GetWhiteNoiseInt(0, 0));
    EXPECT_EQ(Noise(0).GetWhiteNoiseInt(0, 0), 0.0f);
    EXPECT_EQ(Noise(0).GetWhiteNoiseInt(0, 0, 0, 0), 0.0f);
}

TEST(NoiseKernels, WhiteNoiseIgnoresFrequencyButTheDispatchScales) {
    Noise n(3);
    const float before = n.GetWhiteNoise(1.25f, 2.5f, 3.75f);
    n.SetFrequency(7);
    EXPECT_EQ(n.GetWhiteNoise(1.25f, 2.5f, 3.75f), before);
    n.SetNoiseType(NoiseType::WhiteNoise);
    EXPECT_EQ(n.GetNoise(1.25f, 2.5f, 3.75f), n.GetWhiteNoise(8.75f, 17.5f, 26.25f));
}

TEST(NoiseKernels, SimplexIsZeroAtTheOrigin) {
    // Corner 0 sits on the point, so its gradient term is 0; every other corner lies at or
    // beyond its radius (in 2D the far corner exactly on it). No permutation changes that.
    const Noise n = Unscaled(5);
    for (int offset = 0; offset < 256; offset += 17) {
        const auto o = static_cast<std::uint8_t>(offset);
        EXPECT_EQ(n.SingleSimplex(o, 0, 0), 0.0f);
        EXPECT_EQ(n.SingleSimplex(o, 0, 0, 0), 0.0f);
        EXPECT_EQ(n.SingleSimplex(o, 0, 0, 0, 0), 0.0f);
    }
    EXPECT_NE(n.SingleSimplex(0, 0.2f, 0.1f, 0.05f), 0.0f);
}

TEST(NoiseKernels, SameSeedSameFieldOtherSeedOtherField) {
    std::mt19937 rng(1);
    for (const Sampler &s : Samplers()) {
        const Noise a = Unscaled(1234), b = Unscaled(1234), c = Unscaled(1235);
        int differing = 0;
        for (int i = 0; i < 200; ++i) {
            float p[4];
            RandomPoint(rng, 50, p);
            ASSERT_EQ(s.at(a, p), s.at(b, p)) << s.name;
            differing += s.at(a, p) != s.at(c, p);
        }
        EXPECT_GT(differing, 150) << s.name;
    }
}

TEST(NoiseKernels, EveryTypeStaysInMinusOneToOneOverAMillionSamples) {
    std::mt19937 rng(2);
    for (const Sampler &s : Samplers()) {
        const Noise n = Unscaled(77);
        float lo = kInf, hi = -kInf;
        for (int i = 0; i < 1000000; ++i) {
            float p[4];
            RandomPoint(rng, 300, p);
            const float v = s.at(n, p);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        EXPECT_GE(lo, -1.0f) << s.name;
        EXPECT_LE(hi, 1.0f) << s.name;
        // And it is not stuck at a constant.
        EXPECT_GT(hi - lo, 0.5f) << s.name;
    }
}

TEST(NoiseKernels, RigidMultifractalIsUnscaled) {
    // Three octaves with gain 0.5: 1 - |v0| - 0.5 (1 - |v1|) - 0.25 (1 - |v2|) in [-0.75, 1].
    const Noise n = Unscaled(9);
    Noise rigid = Unscaled(9);
    rigid.SetFractalType(FractalType::RigidMulti);
    std::mt19937 rng(3);
    float lo = kInf, hi = -kInf;
    for (int i = 0; i < 100000; ++i) {
        float p[4];
        RandomPoint(rng, 100, p);
        const float v = rigid.GetPerlinFractal(p[0], p[1], p[2]);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, -0.75f);
    EXPECT_LE(hi, 1.0f);
    EXPECT_LT(lo, -0.3f);
    // At an integer point every Perlin octave whose coordinates stay integers is 0, so the sum is exact.
    EXPECT_EQ(rigid.GetPerlinFractal(3.0f, 4.0f, 5.0f), 1.0f - 0.5f - 0.25f);
    EXPECT_EQ(n.GetPerlinFractal(3.0f, 4.0f, 5.0f), 0.0f);
}

TEST(NoiseKernels, FractalSumsFollowTheOctaveRule) {
    Noise n = Unscaled(10);
    n.SetFractalLacunarity(1.75f);
    n.SetFractalGain(0.4f);
    const Permutation &p = n.GetPermutation();
    const float x = 1.3f, y = -2.7f, z = 0.45f;
    const float v0 = n.SingleValue(p[0], x, y, z);
    const float v1 = n.SingleValue(p[1], x * 1.75f, y * 1.75f, z * 1.75f);
    const float v2 = n.SingleValue(p[2], x * 1.75f * 1.75f, y * 1.75f * 1.75f, z * 1.75f * 1.75f);
    const float bounding = n.GetFractalBounding();
    EXPECT_EQ(n.GetValueFractal(x, y, z), (v0 + v1 * 0.4f + v2 * (0.4f * 0.4f)) * bounding);
    n.SetFractalType(FractalType::Billow);
    const auto billow = [](float v) { return std::fabs(v) * 2 - 1; };
    EXPECT_EQ(n.GetValueFractal(x, y, z), (billow(v0) + billow(v1) * 0.4f + billow(v2) * (0.4f * 0.4f)) * bounding);
    n.SetFractalType(FractalType::RigidMulti);
    const auto rigid = [](float v) { return 1 - std::fabs(v); };
    EXPECT_EQ(n.GetValueFractal(x, y, z), rigid(v0) - rigid(v1) * 0.4f - rigid(v2) * (0.4f * 0.4f));
    n.SetFractalOctaves(1);
    EXPECT_EQ(n.GetValueFractal(x, y, z), rigid(v0));
}

TEST(NoiseKernels, SmallStepsGiveSmallChanges) {
    std::mt19937 rng(4);
    for (const Sampler &s : Samplers()) {
        if (!s.continuous) continue;
        const Noise n = Unscaled(31);
        float worst = 0;
        for (int i = 0; i < 20000; ++i) {
            float p[4], q[4];
            RandomPoint(rng, 40, p);
            for (int k = 0; k < 4; ++k) q[k] = p[k] + 1e-3f;
            worst = std::max(worst, std::fabs(s.at(n, p) - s.at(n, q)));
        }
        EXPECT_LT(worst, 0.05f) << s.name;
    }
}

TEST(NoiseKernels, InterpolationSettingsChangeValueAndPerlinNoise) {
    Noise linear = Unscaled(12), hermite = Unscaled(12), quintic = Unscaled(12);
    linear.SetInterp(Interp::Linear);
    hermite.SetInterp(Interp::Hermite);
    std::mt19937 rng(5);
    double valueGap = 0, perlinGap = 0, curveGap = 0;
    for (int i = 0; i < 1000; ++i) {
        float p[4];
        RandomPoint(rng, 30, p);
        valueGap += std::fabs(linear.GetValue(p[0], p[1], p[2]) - hermite.GetValue(p[0], p[1], p[2]));
        perlinGap += std::fabs(linear.GetPerlin(p[0], p[1]) - quintic.GetPerlin(p[0], p[1]));
        curveGap += std::fabs(hermite.GetPerlin(p[0], p[1], p[2]) - quintic.GetPerlin(p[0], p[1], p[2]));
    }
    EXPECT_GT(valueGap / 1000, 0.01);
    EXPECT_GT(perlinGap / 1000, 0.01);
    EXPECT_GT(curveGap / 1000, 0.005);
}

TEST(NoiseKernels, ExtremeCoordinatesGiveNoUndefinedBehaviour) {
    // Beyond 2^31 cells the lattice wraps; the values are then meaningless but defined.
    const float extremes[] = {1e30f, -1e30f, kInf, -kInf, kNaN, 2147483648.0f, -2147483904.0f, 3e9f};
    Noise n(1);
    n.SetFractalOctaves(5);
    for (const Sampler &s : Samplers())
        for (float e : extremes) {
            float p[4] = {e, 0.5f, -0.5f, 0.25f};
            const float v = s.at(n, p);
            EXPECT_TRUE(std::isfinite(v) || std::isnan(v)) << s.name << " at " << e << ": " << v;
        }
    float x = kNaN, y = 1e30f, z = -kInf;
    n.GradientPerturbFractal(x, y, z);
    n.SetCellularReturnType(CellularReturnType::Distance2Div);
    EXPECT_FALSE(std::isinf(n.GetCellular(kNaN, 1, 2)));
}

TEST(NoiseKernels, OctavesBeyondTheTableReadOnlyInside) {
    // Octave i takes its offset from entry i mod 256, so 600 octaves stay in the table.
    Noise n = Unscaled(13);
    n.SetFractalOctaves(600);
    n.SetFractalGain(1.0f);
    n.SetFractalLacunarity(1.0f);
    for (FractalType t : {FractalType::FBM, FractalType::Billow, FractalType::RigidMulti}) {
        n.SetFractalType(t);
        EXPECT_TRUE(std::isfinite(n.GetValueFractal(0.3f, 0.7f, 1.1f)));
        EXPECT_TRUE(std::isfinite(n.GetSimplexFractal(0.3f, 0.7f)));
    }
    n.SetFractalType(FractalType::FBM);
    // With lacunarity 1 and gain 1, octave i + 256 repeats octave i exactly: 512 octaves are
    // the first 256 twice.
    Noise half = Unscaled(13);
    half.SetFractalGain(1.0f);
    half.SetFractalLacunarity(1.0f);
    half.SetFractalOctaves(256);
    n.SetFractalOctaves(512);
    const float once = half.GetPerlinFractal(0.3f, 0.7f) / half.GetFractalBounding();
    const float twice = n.GetPerlinFractal(0.3f, 0.7f) / n.GetFractalBounding();
    EXPECT_NEAR(twice, 2 * once, 1e-3f);
    float x = 0.3f, y = 0.7f;
    n.GradientPerturbFractal(x, y);
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
}

TEST(NoiseKernels, SimplexBlendMultipliesOctaves) {
    Noise n = Unscaled(14);
    const Permutation &p = n.GetPermutation();
    const float x = 0.8f, y = -1.9f;
    float expected = n.SingleSimplex(p[0], x, y);
    expected *= n.SingleSimplex(p[1], x * 2, y * 2) * 0.5f + 1;
    expected *= n.SingleSimplex(p[2], x * 4, y * 4) * 0.25f + 1;
    EXPECT_EQ(n.SingleSimplexFractalBlend(x, y), expected * n.GetFractalBounding());
}

TEST(NoiseKernels, Simplex2DKeepsItsSeams) {
    // With skew 0.5 and unskew 0.25 a corner's radius reaches past the far edge of its
    // triangle: the value jumps where the lattice cell changes (the lines 1.5 x + 0.5 y =
    // integer). Beside those lines the same small step changes almost nothing.
    const Noise n = Unscaled(15);
    std::mt19937 rng(8);
    std::uniform_real_distribution<float> u(-4, 4);
    const float h = 2e-6f;
    float seam = 0, smooth = 0;
    for (int i = 0; i < 20000; ++i) {
        const float y = u(rng), m = std::round(u(rng));
        const float x = (m - 0.5f * y) / 1.5f;
        seam = std::max(seam, std::fabs(n.GetSimplex(x + h, y) - n.GetSimplex(x - h, y)));
        smooth = std::max(smooth, std::fabs(n.GetSimplex(x + 0.2f + h, y) - n.GetSimplex(x + 0.2f - h, y)));
    }
    EXPECT_GT(seam, 1e-3f) << smooth;
    EXPECT_LT(smooth, 1e-4f) << seam;
}
