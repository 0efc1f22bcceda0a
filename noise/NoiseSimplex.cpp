// Simplex noise: contributions of the corners of the simplex around a point, each fading to
// zero within a fixed radius of its corner.
#include "noise/Noise.h"
#include "noise/NoiseTables.h"

namespace noise {

namespace {

// s^4 times the gradient's dot product, or 0 outside the corner's radius (s < 0).
inline float Falloff(float s, float dot) { return s < 0 ? 0 : s * s * s * s * dot; }

inline float ToFloat(std::int32_t i) { return static_cast<float>(i); }

constexpr float kF3 = 1.0f / 3, kG3 = 1.0f / 6;
// The 2D factors are 0.5 and 0.25, not the textbook skew: the field has small seams where
// a corner's radius reaches past the opposite edge of its triangle.
constexpr float kF2 = 0.5f, kG2 = 0.25f;
constexpr float kF4 = 0.309017f, kG4 = 0.1381966f;

}  // namespace

float Noise::SingleSimplex(std::uint8_t offset, float x, float y) const {
    float t = (x + y) * kF2;
    const std::int32_t i = Floor(x + t), j = Floor(y + t);
    t = ToFloat(Wrap(std::int64_t{i} + j)) * kG2;
    const float x0 = x - (ToFloat(i) - t), y0 = y - (ToFloat(j) - t);
    const int i1 = x0 > y0 ? 1 : 0, j1 = 1 - i1;
    const auto corner = [&](int ci, int cj, float a, float b) {
        const std::uint8_t g = m_perm.Gradient(offset, Wrap(std::int64_t{i} + ci), Wrap(std::int64_t{j} + cj));
        return Falloff(0.5f - a * a - b * b, a * GRAD_X[g] + b * GRAD_Y[g]);
    };
    const float n0 = corner(0, 0, x0, y0);
    const float n1 = corner(i1, j1, x0 - i1 + kG2, y0 - j1 + kG2);
    const float n2 = corner(1, 1, x0 - 0.5f, y0 - 0.5f);
    return 50 * (n0 + n1 + n2);
}

float Noise::SingleSimplex(std::uint8_t offset, float x, float y, float z) const {
    float t = (x + y + z) * kF3;
    const std::int32_t i = Floor(x + t), j = Floor(y + t), k = Floor(z + t);
    t = ToFloat(Wrap(std::int64_t{i} + j + k)) * kG3;
    const float x0 = x - (ToFloat(i) - t), y0 = y - (ToFloat(j) - t), z0 = z - (ToFloat(k) - t);
    int i1, j1, k1, i2, j2, k2;
    if (x0 >= y0) {
        if (y0 >= z0) { i1 = 1; j1 = 0; k1 = 0; i2 = 1; j2 = 1; k2 = 0; }
        else if (x0 >= z0) { i1 = 1; j1 = 0; k1 = 0; i2 = 1; j2 = 0; k2 = 1; }
        else { i1 = 0; j1 = 0; k1 = 1; i2 = 1; j2 = 0; k2 = 1; }
    } else {
        if (y0 < z0) { i1 = 0; j1 = 0; k1 = 1; i2 = 0; j2 = 1; k2 = 1; }
        else if (x0 < z0) { i1 = 0; j1 = 1; k1 = 0; i2 = 0; j2 = 1; k2 = 1; }
        else { i1 = 0; j1 = 1; k1 = 0; i2 = 1; j2 = 1; k2 = 0; }
    }
    const auto corner = [&](int ci, int cj, int ck, float a, float b, float d) {
        const std::uint8_t g = m_perm.Gradient(offset, Wrap(std::int64_t{i} + ci), Wrap(std::int64_t{j} + cj),
                                               Wrap(std::int64_t{k} + ck));
        return Falloff(0.6f - a * a - b * b - d * d, a * GRAD_X[g] + b * GRAD_Y[g] + d * GRAD_Z[g]);
    };
    const float n0 = corner(0, 0, 0, x0, y0, z0);
    const float n1 = corner(i1, j1, k1, x0 - i1 + kG3, y0 - j1 + kG3, z0 - k1 + kG3);
    const float n2 = corner(i2, j2, k2, x0 - i2 + 2 * kG3, y0 - j2 + 2 * kG3, z0 - k2 + 2 * kG3);
    const float n3 = corner(1, 1, 1, x0 - 0.5f, y0 - 0.5f, z0 - 0.5f);
    return 32 * (n0 + n1 + n2 + n3);
}

float Noise::SingleSimplex(std::uint8_t offset, float x, float y, float z, float w) const {
    const float p[4] = {x, y, z, w};
    const float skew = (x + y + z + w) * kF4;
    std::int32_t cell[4];
    std::int64_t cellSum = 0;
    for (int n = 0; n < 4; ++n) {
        cell[n] = Floor(p[n] + skew);
        cellSum += cell[n];
    }
    const float unskew = ToFloat(Wrap(cellSum)) * kG4;
    float d0[4];
    for (int n = 0; n < 4; ++n) d0[n] = p[n] - (ToFloat(cell[n]) - unskew);
    const int row = (d0[0] > d0[1] ? 32 : 0) + (d0[0] > d0[2] ? 16 : 0) + (d0[1] > d0[2] ? 8 : 0) +
                    (d0[0] > d0[3] ? 4 : 0) + (d0[1] > d0[3] ? 2 : 0) + (d0[2] > d0[3] ? 1 : 0);
    const std::uint8_t *rank = SIMPLEX_4D[row];
    // Corner m (0..4) lies one cell further along the components of rank 4 - m or more.
    float sum = 0;
    for (int m = 0; m < 5; ++m) {
        std::int32_t c[4];
        float d[4];
        float s = 0.6f;
        for (int n = 0; n < 4; ++n) {
            const int step = rank[n] >= 4 - m ? 1 : 0;
            c[n] = Wrap(std::int64_t{cell[n]} + step);
            d[n] = m == 0 ? d0[n] : d0[n] - step + m * kG4;
            s -= d[n] * d[n];
        }
        const float *g = GRAD_4D[m_perm.Index(offset, c[0], c[1], c[2], c[3]) & 31];
        sum += Falloff(s, d[0] * g[0] + d[1] * g[1] + d[2] * g[2] + d[3] * g[3]);
    }
    return 27 * sum;
}

float Noise::SingleSimplexFractalBlend(float x, float y) const {
    float sum = SingleSimplex(m_perm.Octave(0), x, y);
    float amp = 1;
    for (int i = 1; i < m_octaves; ++i) {
        x *= m_lacunarity;
        y *= m_lacunarity;
        amp *= m_gain;
        sum *= SingleSimplex(m_perm.Octave(i), x, y) * amp + 1;
    }
    return sum * m_fractalBounding;
}

}  // namespace noise
