#include "noise/Noise.h"

#include <cmath>
#include <cstring>

namespace noise {

// The permutation is dealt from the seed as it is built, as SetSeed would deal it.
Noise::Noise(std::int32_t seed) : m_perm(seed), m_seed(seed) {
    float bound = 1;
    float amp = m_gain;
    for (int i = 1; i < m_octaves; ++i) {
        bound += amp;
        amp *= m_gain;
    }
    m_fractalBounding = 1 / bound;
}

void Noise::SetSeed(std::int32_t seed) {
    m_seed = seed;
    m_perm.Reseed(seed);
}

namespace {

// True when `target` is `from` or one of the generators that `from`'s lookups lead to.
bool Reaches(const Noise *from, const Noise *target) {
    for (const Noise *n = from; n; n = n->GetCellularNoiseLookup())
        if (n == target) return true;
    return false;
}

}  // namespace

std::unique_ptr<Noise> Noise::SetCellularNoiseLookup(std::unique_ptr<Noise> lookup) {
    if (lookup && (Reaches(lookup.get(), this) || Reaches(this, lookup.get()))) return lookup;
    m_cellularNoiseLookup = std::move(lookup);
    return nullptr;
}

template <class... C>
float Noise::Fractal(Kernel<C...> kernel, C... c) const {
    if (m_fractalType < FractalType::FBM || m_fractalType > FractalType::RigidMulti) return 0;
    const auto shape = [this](float v) {
        switch (m_fractalType) {
            case FractalType::Billow: return std::fabs(v) * 2 - 1;
            case FractalType::RigidMulti: return 1 - std::fabs(v);
            default: return v;
        }
    };
    // Rigid multifractal subtracts the later octaves and is left unscaled.
    const bool rigid = m_fractalType == FractalType::RigidMulti;
    float sum = shape((this->*kernel)(m_perm.Octave(0), c...));
    float amp = 1;
    for (int i = 1; i < m_octaves; ++i) {
        ((c *= m_lacunarity), ...);
        amp *= m_gain;
        const float octave = shape((this->*kernel)(m_perm.Octave(i), c...)) * amp;
        sum = rigid ? sum - octave : sum + octave;
    }
    return rigid ? sum : sum * m_fractalBounding;
}

template <class... C>
float Noise::CellularOf(C... c) const {
    return m_cellularReturnType > CellularReturnType::Distance ? SingleCellular2Edge(c...) : SingleCellular(c...);
}

template <class... C>
float Noise::Dispatch(NoiseType type, C... c) const {
    switch (type) {
        case NoiseType::Value: return SingleValue(0, c...);
        case NoiseType::ValueFractal: return Fractal<C...>(&Noise::SingleValue, c...);
        case NoiseType::Perlin: return SinglePerlin(0, c...);
        case NoiseType::PerlinFractal: return Fractal<C...>(&Noise::SinglePerlin, c...);
        case NoiseType::Simplex: return SingleSimplex(0, c...);
        case NoiseType::SimplexFractal: return Fractal<C...>(&Noise::SingleSimplex, c...);
        case NoiseType::Cellular: return CellularOf(c...);
        case NoiseType::WhiteNoise: return GetWhiteNoise(c...);
        case NoiseType::Cubic: return SingleCubic(0, c...);
        case NoiseType::CubicFractal: return Fractal<C...>(&Noise::SingleCubic, c...);
        default: return 0;
    }
}

template <class... C>
float Noise::Scaled(NoiseType type, C... c) const {
    return Dispatch(type, (c * m_frequency)...);
}

float Noise::GetNoise(float x, float y) const { return Scaled(m_noiseType, x, y); }
float Noise::GetNoise(float x, float y, float z) const { return Scaled(m_noiseType, x, y, z); }
float Noise::GetValue(float x, float y) const { return Scaled(NoiseType::Value, x, y); }
float Noise::GetValue(float x, float y, float z) const { return Scaled(NoiseType::Value, x, y, z); }
float Noise::GetValueFractal(float x, float y) const { return Scaled(NoiseType::ValueFractal, x, y); }
float Noise::GetValueFractal(float x, float y, float z) const { return Scaled(NoiseType::ValueFractal, x, y, z); }
float Noise::GetPerlin(float x, float y) const { return Scaled(NoiseType::Perlin, x, y); }
float Noise::GetPerlin(float x, float y, float z) const { return Scaled(NoiseType::Perlin, x, y, z); }
float Noise::GetPerlinFractal(float x, float y) const { return Scaled(NoiseType::PerlinFractal, x, y); }
float Noise::GetPerlinFractal(float x, float y, float z) const { return Scaled(NoiseType::PerlinFractal, x, y, z); }
float Noise::GetSimplex(float x, float y) const { return Scaled(NoiseType::Simplex, x, y); }
float Noise::GetSimplex(float x, float y, float z) const { return Scaled(NoiseType::Simplex, x, y, z); }
float Noise::GetSimplex(float x, float y, float z, float w) const {
    return SingleSimplex(0, x * m_frequency, y * m_frequency, z * m_frequency, w * m_frequency);
}
float Noise::GetSimplexFractal(float x, float y) const { return Scaled(NoiseType::SimplexFractal, x, y); }
float Noise::GetSimplexFractal(float x, float y, float z) const { return Scaled(NoiseType::SimplexFractal, x, y, z); }
float Noise::GetCubic(float x, float y) const { return Scaled(NoiseType::Cubic, x, y); }
float Noise::GetCubic(float x, float y, float z) const { return Scaled(NoiseType::Cubic, x, y, z); }
float Noise::GetCubicFractal(float x, float y) const { return Scaled(NoiseType::CubicFractal, x, y); }
float Noise::GetCubicFractal(float x, float y, float z) const { return Scaled(NoiseType::CubicFractal, x, y, z); }
float Noise::GetCellular(float x, float y) const { return Scaled(NoiseType::Cellular, x, y); }
float Noise::GetCellular(float x, float y, float z) const { return Scaled(NoiseType::Cellular, x, y, z); }

namespace {

// A coordinate's bits as a signed integer, folded so that the high half reaches the hash.
std::int32_t Fold(float f) {
    std::int32_t i;
    std::memcpy(&i, &f, sizeof i);
    return i ^ (i >> 16);
}

}  // namespace

float Noise::GetWhiteNoise(float x, float y) const { return Hash(m_seed, Fold(x), Fold(y)); }
float Noise::GetWhiteNoise(float x, float y, float z) const { return Hash(m_seed, Fold(x), Fold(y), Fold(z)); }
float Noise::GetWhiteNoise(float x, float y, float z, float w) const {
    return Hash(m_seed, Fold(x), Fold(y), Fold(z), Fold(w));
}

}  // namespace noise
