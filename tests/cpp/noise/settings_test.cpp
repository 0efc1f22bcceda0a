// The generator's settings, their defaults, the dispatch and the ownership of the lookup.
#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "noise/Noise.h"

using namespace noise;

static_assert(!std::is_copy_constructible_v<Noise>, "a copy would free the lookup generator twice");
static_assert(!std::is_copy_assignable_v<Noise>, "a copy would free the lookup generator twice");

TEST(NoiseSettings, Defaults) {
    const Noise n;
    EXPECT_EQ(n.GetSeed(), 1337);
    EXPECT_EQ(n.GetFrequency(), 0.01f);
    EXPECT_EQ(n.GetInterp(), Interp::Quintic);
    EXPECT_EQ(n.GetNoiseType(), NoiseType::Simplex);
    EXPECT_EQ(n.GetFractalOctaves(), 3);
    EXPECT_EQ(n.GetFractalLacunarity(), 2.0f);
    EXPECT_EQ(n.GetFractalGain(), 0.5f);
    EXPECT_EQ(n.GetFractalType(), FractalType::FBM);
    EXPECT_EQ(n.GetFractalBounding(), 0.571428597f);
    EXPECT_EQ(n.GetCellularDistanceFunction(), CellularDistanceFunction::Euclidean);
    EXPECT_EQ(n.GetCellularReturnType(), CellularReturnType::CellValue);
    EXPECT_EQ(n.GetCellularNoiseLookup(), nullptr);
    EXPECT_EQ(n.GetGradientPerturbAmp(), 2.22222233f);
    EXPECT_EQ(Noise(99).GetSeed(), 99);
}

TEST(NoiseSettings, SettersStoreTheirValues) {
    Noise n;
    n.SetSeed(-7);
    n.SetFrequency(0.5f);
    n.SetInterp(Interp::Hermite);
    n.SetNoiseType(NoiseType::Cellular);
    n.SetFractalOctaves(600);
    n.SetFractalLacunarity(3.5f);
    n.SetFractalGain(0.25f);
    n.SetFractalType(FractalType::RigidMulti);
    n.SetCellularDistanceFunction(CellularDistanceFunction::Natural);
    n.SetCellularReturnType(CellularReturnType::Distance2Div);
    n.SetGradientPerturbAmp(4.0f);
    EXPECT_EQ(n.GetSeed(), -7);
    EXPECT_EQ(n.GetFrequency(), 0.5f);
    EXPECT_EQ(n.GetInterp(), Interp::Hermite);
    EXPECT_EQ(n.GetNoiseType(), NoiseType::Cellular);
    EXPECT_EQ(n.GetFractalOctaves(), 600);
    EXPECT_EQ(n.GetFractalLacunarity(), 3.5f);
    EXPECT_EQ(n.GetFractalGain(), 0.25f);
    EXPECT_EQ(n.GetFractalType(), FractalType::RigidMulti);
    EXPECT_EQ(n.GetCellularDistanceFunction(), CellularDistanceFunction::Natural);
    EXPECT_EQ(n.GetCellularReturnType(), CellularReturnType::Distance2Div);
    EXPECT_EQ(n.GetGradientPerturbAmp(), 4.0f);
    // Only the constructor derives the bounding.
    EXPECT_EQ(n.GetFractalBounding(), 0.571428597f);
}

TEST(NoiseSettings, SetSeedDealsTheSameTablesAsConstruction) {
    Noise a(5), b(1337);
    a.SetSeed(1337);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(a.GetPermutation()[i], b.GetPermutation()[i]);
    EXPECT_EQ(a.GetNoise(12.5f, -3.25f, 7.0f), b.GetNoise(12.5f, -3.25f, 7.0f));
}

TEST(NoiseDispatch, EachTypeSamplesItsKernelAtTheScaledCoordinates) {
    Noise n(4711);
    n.SetFrequency(0.37f);
    const float x = 13.3f, y = -8.9f, z = 2.6f;
    struct Case {
        NoiseType type;
        float in2d, in3d;
    };
    const Case cases[] = {
        {NoiseType::Value, n.GetValue(x, y), n.GetValue(x, y, z)},
        {NoiseType::ValueFractal, n.GetValueFractal(x, y), n.GetValueFractal(x, y, z)},
        {NoiseType::Perlin, n.GetPerlin(x, y), n.GetPerlin(x, y, z)},
        {NoiseType::PerlinFractal, n.GetPerlinFractal(x, y), n.GetPerlinFractal(x, y, z)},
        {NoiseType::Simplex, n.GetSimplex(x, y), n.GetSimplex(x, y, z)},
        {NoiseType::SimplexFractal, n.GetSimplexFractal(x, y), n.GetSimplexFractal(x, y, z)},
        {NoiseType::Cellular, n.GetCellular(x, y), n.GetCellular(x, y, z)},
        {NoiseType::WhiteNoise, n.GetWhiteNoise(x * 0.37f, y * 0.37f), n.GetWhiteNoise(x * 0.37f, y * 0.37f, z * 0.37f)},
        {NoiseType::Cubic, n.GetCubic(x, y), n.GetCubic(x, y, z)},
        {NoiseType::CubicFractal, n.GetCubicFractal(x, y), n.GetCubicFractal(x, y, z)},
    };
    for (const Case &c : cases) {
        n.SetNoiseType(c.type);
        EXPECT_EQ(n.GetNoise(x, y), c.in2d) << static_cast<int>(c.type);
        EXPECT_EQ(n.GetNoise(x, y, z), c.in3d) << static_cast<int>(c.type);
    }
    n.SetNoiseType(NoiseType::Perlin);
    EXPECT_EQ(n.GetNoise(x, y, z), n.SinglePerlin(0, x * 0.37f, y * 0.37f, z * 0.37f));
    EXPECT_NE(n.GetPerlin(x, y, z), 0.0f);
}

TEST(NoiseDispatch, UnknownTypesGiveZero) {
    Noise n;
    for (int type : {-1, 10, 12, 1000}) {
        n.SetNoiseType(static_cast<NoiseType>(type));
        EXPECT_EQ(n.GetNoise(1.5f, 2.5f), 0.0f);
        EXPECT_EQ(n.GetNoise(1.5f, 2.5f, 3.5f), 0.0f);
    }
    n.SetFrequency(1);
    for (int type : {-1, 3, 9}) {
        n.SetFractalType(static_cast<FractalType>(type));
        EXPECT_EQ(n.GetValueFractal(1.5f, 2.5f, 3.5f), 0.0f);
        EXPECT_EQ(n.GetPerlinFractal(1.5f, 2.5f), 0.0f);
        EXPECT_EQ(n.GetSimplexFractal(1.5f, 2.5f, 3.5f), 0.0f);
        EXPECT_EQ(n.GetCubicFractal(1.5f, 2.5f), 0.0f);
    }
    n.SetFractalType(FractalType::FBM);
    n.SetCellularReturnType(static_cast<CellularReturnType>(8));
    EXPECT_EQ(n.GetCellular(0.3f, 0.6f), 0.0f);
    EXPECT_EQ(n.GetCellular(0.3f, 0.6f, 0.9f), 0.0f);
    // An unknown distance function measures nothing, for one and for two distances (whose
    // quotient would otherwise be 0 / 0).
    n.SetCellularDistanceFunction(static_cast<CellularDistanceFunction>(3));
    for (int type : {0, 2, 3, 7}) {
        n.SetCellularReturnType(static_cast<CellularReturnType>(type));
        EXPECT_EQ(n.GetCellular(0.3f, 0.6f), 0.0f) << type;
        EXPECT_EQ(n.GetCellular(0.3f, 0.6f, 0.9f), 0.0f) << type;
    }
}

TEST(NoiseLookup, IsOwnedAndReplaced) {
    Noise n;
    auto first = std::make_unique<Noise>(1);
    const Noise *raw = first.get();
    EXPECT_EQ(n.SetCellularNoiseLookup(std::move(first)), nullptr);
    EXPECT_EQ(n.GetCellularNoiseLookup(), raw);
    EXPECT_EQ(n.SetCellularNoiseLookup(std::make_unique<Noise>(2)), nullptr);  // frees the first
    EXPECT_EQ(n.GetCellularNoiseLookup()->GetSeed(), 2);
    EXPECT_EQ(n.SetCellularNoiseLookup(nullptr), nullptr);
    EXPECT_EQ(n.GetCellularNoiseLookup(), nullptr);
}

TEST(NoiseLookup, RefusesItselfACycleAndAGeneratorItAlreadyHolds) {
    // Each refused pointer is owned elsewhere; the test releases it again untouched.
    auto a = std::make_unique<Noise>(1);
    Noise *b = new Noise(2);
    Noise *c = new Noise(3);
    ASSERT_EQ(a->SetCellularNoiseLookup(std::unique_ptr<Noise>(b)), nullptr);
    ASSERT_EQ(b->SetCellularNoiseLookup(std::unique_ptr<Noise>(c)), nullptr);

    struct Case {
        Noise *owner, *lookup;
        const char *what;
    };
    const Case cases[] = {
        {a.get(), a.get(), "itself"},
        {c, a.get(), "a generator leading back to it"},
        {b, a.get(), "a generator leading back to it"},
        {a.get(), c, "a generator already held down its chain"},
        {a.get(), b, "its own lookup"},
    };
    for (const Case &k : cases) {
        std::unique_ptr<Noise> back = k.owner->SetCellularNoiseLookup(std::unique_ptr<Noise>(k.lookup));
        EXPECT_EQ(back.get(), k.lookup) << k.what;
        back.release();
    }
    EXPECT_EQ(a->GetCellularNoiseLookup(), b);
    EXPECT_EQ(b->GetCellularNoiseLookup(), c);
    EXPECT_EQ(c->GetCellularNoiseLookup(), nullptr);
}

TEST(NoiseLookup, MovesWithItsOwner) {
    Noise n(1);
    n.SetCellularNoiseLookup(std::make_unique<Noise>(2));
    const Noise *lookup = n.GetCellularNoiseLookup();
    Noise moved(std::move(n));
    EXPECT_EQ(moved.GetCellularNoiseLookup(), lookup);
}
