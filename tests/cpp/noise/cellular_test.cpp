// Cellular noise against a brute-force search of the same 3 x 3 (x 3) cells, and gradient
// perturbation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "noise/Lattice.h"
#include "noise/Noise.h"
#include "noise/NoiseTables.h"

using namespace noise;

namespace {

struct Candidate {
    double d;
    int cell[3];
};

double Measure(CellularDistanceFunction f, const double *v, int dims) {
    double squared = 0, manhattan = 0;
    for (int k = 0; k < dims; ++k) {
        squared += v[k] * v[k];
        manhattan += std::fabs(v[k]);
    }
    return f == CellularDistanceFunction::Euclidean ? squared
           : f == CellularDistanceFunction::Manhattan ? manhattan
                                                      : squared + manhattan;
}

// Every feature point of the cells within one of the nearest lattice point, nearest first.
std::vector<Candidate> Search(const Noise &n, CellularDistanceFunction f, const float *p, int dims) {
    const Permutation &perm = n.GetPermutation();
    const int cx = static_cast<int>(std::lround(p[0])), cy = static_cast<int>(std::lround(p[1]));
    const int cz = dims == 3 ? static_cast<int>(std::lround(p[2])) : 0;
    std::vector<Candidate> found;
    for (int x = cx - 1; x <= cx + 1; ++x)
        for (int y = cy - 1; y <= cy + 1; ++y)
            for (int z = dims == 3 ? cz - 1 : 0; z <= (dims == 3 ? cz + 1 : 0); ++z) {
                double v[3];
                if (dims == 3) {
                    const int q = perm.Index(0, x, y, z);
                    v[0] = x + double(CELL_3D_X[q]) - p[0];
                    v[1] = y + double(CELL_3D_Y[q]) - p[1];
                    v[2] = z + double(CELL_3D_Z[q]) - p[2];
                } else {
                    const int q = perm.Index(0, x, y);
                    v[0] = x + double(CELL_2D_X[q]) - p[0];
                    v[1] = y + double(CELL_2D_Y[q]) - p[1];
                }
                found.push_back({Measure(f, v, dims), {x, y, z}});
            }
    std::stable_sort(found.begin(), found.end(), [](const Candidate &a, const Candidate &b) { return a.d < b.d; });
    return found;
}

struct Point {
    float p[3];
};

std::vector<Point> Points(int count) {
    std::mt19937 rng(6);
    std::uniform_real_distribution<float> u(-60, 60);
    std::vector<Point> out(count);
    for (Point &pt : out)
        for (float &c : pt.p) c = u(rng);
    return out;
}

float Sample(const Noise &n, const float *p, int dims) {
    return dims == 3 ? n.GetCellular(p[0], p[1], p[2]) : n.GetCellular(p[0], p[1]);
}

}  // namespace

TEST(Cellular, DistancesAreTheNearestOfTheNeighbourhood) {
    for (int dims : {2, 3})
        for (CellularDistanceFunction f : {CellularDistanceFunction::Euclidean, CellularDistanceFunction::Manhattan,
                                           CellularDistanceFunction::Natural}) {
            Noise n(17);
            n.SetFrequency(1);
            n.SetCellularDistanceFunction(f);
            for (const Point &pt : Points(2000)) {
                const std::vector<Candidate> c = Search(n, f, pt.p, dims);
                const double d1 = c[0].d, d2 = c[1].d;
                const auto value = [&](CellularReturnType type) {
                    n.SetCellularReturnType(type);
                    return double(Sample(n, pt.p, dims));
                };
                const double tol = 1e-4;
                EXPECT_NEAR(value(CellularReturnType::Distance), d1 - 1, tol);
                EXPECT_NEAR(value(CellularReturnType::Distance2), d2 - 1, tol);
                EXPECT_NEAR(value(CellularReturnType::Distance2Add), d2 + d1 - 1, tol);
                EXPECT_NEAR(value(CellularReturnType::Distance2Sub), d2 - d1 - 1, tol);
                EXPECT_NEAR(value(CellularReturnType::Distance2Mul), d2 * d1 - 1, tol);
                const double quotient = value(CellularReturnType::Distance2Div);
                EXPECT_NEAR(quotient, d1 / d2 - 1, 1e-3);
                EXPECT_LE(quotient, 0.0);
            }
        }
}

TEST(Cellular, CellValueIsTheHashOfTheNearestCell) {
    Noise n(23);
    n.SetFrequency(1);
    for (int dims : {2, 3})
        for (const Point &pt : Points(2000)) {
            const std::vector<Candidate> c = Search(n, CellularDistanceFunction::Euclidean, pt.p, dims);
            if (c[1].d - c[0].d < 1e-4) continue;  // a near tie: float rounding may pick either
            const int *cell = c[0].cell;
            const float expected =
                dims == 3 ? n.GetWhiteNoiseInt(cell[0], cell[1], cell[2]) : n.GetWhiteNoiseInt(cell[0], cell[1]);
            EXPECT_EQ(Sample(n, pt.p, dims), expected);
        }
}

TEST(Cellular, SquaredEuclideanDistanceOfAPointNearby) {
    // At the feature point of cell (4, 5, 6) moved 0.3 along x, that point is 0.09 away
    // squared unless another lies nearer.
    Noise n(29);
    n.SetFrequency(1);
    n.SetCellularReturnType(CellularReturnType::Distance);
    const int q = n.GetPermutation().Index(0, 4, 5, 6);
    const float p[3] = {4 + CELL_3D_X[q] + 0.3f, 5 + CELL_3D_Y[q], 6 + CELL_3D_Z[q]};
    const std::vector<Candidate> c = Search(n, CellularDistanceFunction::Euclidean, p, 3);
    EXPECT_NEAR(c[0].d, 0.09, 1e-6);
    EXPECT_NEAR(n.GetCellular(p[0], p[1], p[2]), -0.91f, 1e-6f);
}

TEST(Cellular, NoiseLookupSamplesTheLookupAtTheFeaturePoint) {
    Noise n(31);
    n.SetFrequency(1);
    n.SetCellularReturnType(CellularReturnType::NoiseLookup);
    const float p[3] = {3.3f, -7.6f, 12.2f};
    // Without a lookup generator the type gives 0.
    EXPECT_EQ(n.GetCellular(p[0], p[1], p[2]), 0.0f);
    EXPECT_EQ(n.GetCellular(p[0], p[1]), 0.0f);

    auto lookup = std::make_unique<Noise>(5);
    lookup->SetNoiseType(NoiseType::Perlin);
    lookup->SetFrequency(0.3f);
    const Noise *l = lookup.get();
    ASSERT_EQ(n.SetCellularNoiseLookup(std::move(lookup)), nullptr);
    const Permutation &perm = n.GetPermutation();
    for (int dims : {2, 3}) {
        const std::vector<Candidate> c = Search(n, CellularDistanceFunction::Euclidean, p, dims);
        const int *cell = c[0].cell;
        float expected;
        if (dims == 3) {
            const int q = perm.Index(0, cell[0], cell[1], cell[2]);
            expected = l->GetNoise(cell[0] + CELL_3D_X[q], cell[1] + CELL_3D_Y[q], cell[2] + CELL_3D_Z[q]);
        } else {
            const int q = perm.Index(0, cell[0], cell[1]);
            expected = l->GetNoise(cell[0] + CELL_2D_X[q], cell[1] + CELL_2D_Y[q]);
        }
        EXPECT_EQ(Sample(n, p, dims), expected) << dims;
        EXPECT_NE(expected, 0.0f);
    }
}

TEST(GradientPerturb, ZeroAmplitudeLeavesTheCoordinates) {
    Noise n(37);
    n.SetGradientPerturbAmp(0);
    float x = 12.5f, y = -3.75f, z = 8.0f;
    n.GradientPerturb(x, y, z);
    EXPECT_EQ(x, 12.5f);
    EXPECT_EQ(y, -3.75f);
    EXPECT_EQ(z, 8.0f);
    n.GradientPerturbFractal(x, y);
    EXPECT_EQ(x, 12.5f);
    EXPECT_EQ(y, -3.75f);
}

TEST(GradientPerturb, DisplacementIsBoundedAndSmooth) {
    // The displacement blends vectors of length 0.45, so it is at most 0.45 times the amplitude.
    Noise n(41);
    n.SetFrequency(0.2f);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(-100, 100);
    for (int i = 0; i < 20000; ++i) {
        const float x0 = u(rng), y0 = u(rng), z0 = u(rng);
        float x = x0, y = y0, z = z0;
        n.GradientPerturb(x, y, z);
        EXPECT_LE(std::hypot(x - x0, y - y0, z - z0), 0.45 * 2.2222223 + 1e-4);
        float x2 = x0, y2 = y0;
        n.GradientPerturb(x2, y2);
        EXPECT_LE(std::hypot(x2 - x0, y2 - y0), 0.45 * 2.2222223 + 1e-4);
        float xs = x0 + 1e-3f, ys = y0, zs = z0;
        n.GradientPerturb(xs, ys, zs);
        EXPECT_LT(std::hypot(xs - x, ys - y, zs - z), 0.02);
    }
}

TEST(GradientPerturb, FractalAppliesScaledOctavesInTurn) {
    // Three octaves with amplitudes 2.2222223 * 0.5714286 times 1, 0.5 and 0.25, at
    // frequencies 0.01, 0.02 and 0.04, each moving the already moved coordinates.
    const Noise n(43);
    const Permutation &p = n.GetPermutation();
    float x = 140.5f, y = -77.25f, z = 33.0f;
    float ex = x, ey = y, ez = z;
    float amp = n.GetGradientPerturbAmp() * n.GetFractalBounding(), freq = 0.01f;
    for (int i = 0; i < 3; ++i) {
        n.SingleGradientPerturb(p[i], amp, freq, ex, ey, ez);
        amp *= 0.5f;
        freq *= 2;
    }
    n.GradientPerturbFractal(x, y, z);
    EXPECT_EQ(x, ex);
    EXPECT_EQ(y, ey);
    EXPECT_EQ(z, ez);
    EXPECT_NE(x, 140.5f);

    Noise one(43);
    one.SetFractalOctaves(0);  // still one octave
    float a = 140.5f, b = -77.25f, c = a, d = b;
    one.GradientPerturbFractal(a, b);
    one.SingleGradientPerturb(p[0], one.GetGradientPerturbAmp() * one.GetFractalBounding(), 0.01f, c, d);
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, d);
}

TEST(GradientPerturb, SingleUsesTheSettings) {
    Noise n(47);
    n.SetFrequency(0.3f);
    n.SetGradientPerturbAmp(1.5f);
    float x = 2.2f, y = 9.1f, ex = x, ey = y;
    n.GradientPerturb(x, y);
    n.SingleGradientPerturb(0, 1.5f, 0.3f, ex, ey);
    EXPECT_EQ(x, ex);
    EXPECT_EQ(y, ey);
    EXPECT_NE(x, 2.2f);
}
