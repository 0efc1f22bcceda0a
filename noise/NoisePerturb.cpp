// Gradient perturbation: coordinates displaced by the feature-point offsets of the lattice,
// interpolated like value noise, so that nearby points move alike.
#include "noise/Interpolate.h"
#include "noise/Noise.h"
#include "noise/NoiseTables.h"

namespace noise {

namespace {

// The lower corner of a scaled coordinate's cell and the curve of its fraction.
struct PerturbAxis {
    std::int32_t cell;
    float smooth;
    PerturbAxis(float f, Interp interp) : cell(Floor(f)), smooth(Curve(interp, f - static_cast<float>(cell))) {}
    std::int32_t Corner(int i) const { return Wrap(std::int64_t{cell} + i); }
};

}  // namespace

void Noise::SingleGradientPerturb(std::uint8_t offset, float amplitude, float frequency, float &x, float &y) const {
    const PerturbAxis ax(x * frequency, m_interp), ay(y * frequency, m_interp);
    std::uint8_t q[2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) q[i][j] = m_perm.Index(offset, ax.Corner(i), ay.Corner(j));
    const auto along = [&](const float *table) {
        return Bilinear([&](int i, int j) { return table[q[i][j]]; }, ax.smooth, ay.smooth);
    };
    const float vx = along(CELL_2D_X), vy = along(CELL_2D_Y);
    x += vx * amplitude;
    y += vy * amplitude;
}

void Noise::SingleGradientPerturb(std::uint8_t offset, float amplitude, float frequency, float &x, float &y,
                                  float &z) const {
    const PerturbAxis ax(x * frequency, m_interp), ay(y * frequency, m_interp), az(z * frequency, m_interp);
    std::uint8_t q[2][2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k) q[i][j][k] = m_perm.Index(offset, ax.Corner(i), ay.Corner(j), az.Corner(k));
    const auto along = [&](const float *table) {
        return Trilinear([&](int i, int j, int k) { return table[q[i][j][k]]; }, ax.smooth, ay.smooth, az.smooth);
    };
    const float vx = along(CELL_3D_X), vy = along(CELL_3D_Y), vz = along(CELL_3D_Z);
    x += vx * amplitude;
    y += vy * amplitude;
    z += vz * amplitude;
}

void Noise::GradientPerturb(float &x, float &y) const {
    SingleGradientPerturb(0, m_gradientPerturbAmp, m_frequency, x, y);
}

void Noise::GradientPerturb(float &x, float &y, float &z) const {
    SingleGradientPerturb(0, m_gradientPerturbAmp, m_frequency, x, y, z);
}

template <class... C>
void Noise::PerturbFractal(C &...c) const {
    float amp = m_gradientPerturbAmp * m_fractalBounding;
    float freq = m_frequency;
    // At least one octave, however few are set.
    for (int i = 0; i == 0 || i < m_octaves; ++i) {
        SingleGradientPerturb(m_perm.Octave(i), amp, freq, c...);
        amp *= m_gain;
        freq *= m_lacunarity;
    }
}

void Noise::GradientPerturbFractal(float &x, float &y) const { PerturbFractal(x, y); }
void Noise::GradientPerturbFractal(float &x, float &y, float &z) const { PerturbFractal(x, y, z); }

}  // namespace noise
