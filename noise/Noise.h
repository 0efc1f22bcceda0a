#pragma once

// A seeded coherent-noise generator: value, Perlin, simplex, cellular, white and cubic noise
// in 2D and 3D (simplex and white noise also in 4D), fractal sums of octaves and gradient
// perturbation. Configure it, then sample it any number of times: sampling changes nothing.
#include <cstdint>
#include <memory>

#include "noise/Lattice.h"
#include "noise/Permutation.h"

namespace noise {

enum class NoiseType : std::int32_t {
    Value = 0, ValueFractal, Perlin, PerlinFractal, Simplex, SimplexFractal, Cellular, WhiteNoise, Cubic, CubicFractal
};
enum class FractalType : std::int32_t { FBM = 0, Billow, RigidMulti };
// Euclidean is the squared length; Natural the sum of it and the Manhattan length.
enum class CellularDistanceFunction : std::int32_t { Euclidean = 0, Manhattan, Natural };
enum class CellularReturnType : std::int32_t {
    CellValue = 0, NoiseLookup, Distance, Distance2, Distance2Add, Distance2Sub, Distance2Mul, Distance2Div
};

class Noise {
public:
    explicit Noise(std::int32_t seed = 1337);
    // A generator owns its lookup generator: a copy would free it twice.
    Noise(const Noise &) = delete;
    Noise &operator=(const Noise &) = delete;
    // Moving builds a new owner; assigning could free a generator that the source still is.
    Noise(Noise &&) = default;

    // Stores the seed and deals the permutation afresh.
    void SetSeed(std::int32_t seed);
    std::int32_t GetSeed() const { return m_seed; }

    // Plain settings. The fractal bounding is derived from gain and octaves by the
    // constructor only: setting them later leaves it as it was.
    void SetFrequency(float frequency) { m_frequency = frequency; }
    void SetInterp(Interp interp) { m_interp = interp; }
    void SetNoiseType(NoiseType type) { m_noiseType = type; }
    void SetFractalOctaves(std::int32_t octaves) { m_octaves = octaves; }
    void SetFractalLacunarity(float lacunarity) { m_lacunarity = lacunarity; }
    void SetFractalGain(float gain) { m_gain = gain; }
    void SetFractalType(FractalType type) { m_fractalType = type; }
    void SetCellularDistanceFunction(CellularDistanceFunction f) { m_cellularDistanceFunction = f; }
    void SetCellularReturnType(CellularReturnType type) { m_cellularReturnType = type; }
    void SetGradientPerturbAmp(float amplitude) { m_gradientPerturbAmp = amplitude; }
    // Takes ownership of the generator that the noise-lookup return type samples and frees the
    // previous one. A generator that is this one, or leads back to it through its own lookups,
    // or is already held in this one's chain would be sampled forever or freed twice: it is
    // refused and handed back. Returns null when taken.
    std::unique_ptr<Noise> SetCellularNoiseLookup(std::unique_ptr<Noise> lookup);

    float GetFrequency() const { return m_frequency; }
    Interp GetInterp() const { return m_interp; }
    NoiseType GetNoiseType() const { return m_noiseType; }
    std::int32_t GetFractalOctaves() const { return m_octaves; }
    float GetFractalLacunarity() const { return m_lacunarity; }
    float GetFractalGain() const { return m_gain; }
    FractalType GetFractalType() const { return m_fractalType; }
    float GetFractalBounding() const { return m_fractalBounding; }
    CellularDistanceFunction GetCellularDistanceFunction() const { return m_cellularDistanceFunction; }
    CellularReturnType GetCellularReturnType() const { return m_cellularReturnType; }
    const Noise *GetCellularNoiseLookup() const { return m_cellularNoiseLookup.get(); }
    float GetGradientPerturbAmp() const { return m_gradientPerturbAmp; }
    const Permutation &GetPermutation() const { return m_perm; }

    // The kernel of the noise type at the coordinates times frequency; 0 for an unknown type.
    float GetNoise(float x, float y) const;
    float GetNoise(float x, float y, float z) const;

    // Each kernel at the coordinates times frequency; the fractal forms sum octaves by the
    // fractal type (0 for an unknown one).
    float GetValue(float x, float y) const;
    float GetValue(float x, float y, float z) const;
    float GetValueFractal(float x, float y) const;
    float GetValueFractal(float x, float y, float z) const;
    float GetPerlin(float x, float y) const;
    float GetPerlin(float x, float y, float z) const;
    float GetPerlinFractal(float x, float y) const;
    float GetPerlinFractal(float x, float y, float z) const;
    float GetSimplex(float x, float y) const;
    float GetSimplex(float x, float y, float z) const;
    float GetSimplex(float x, float y, float z, float w) const;
    float GetSimplexFractal(float x, float y) const;
    float GetSimplexFractal(float x, float y, float z) const;
    float GetCubic(float x, float y) const;
    float GetCubic(float x, float y, float z) const;
    float GetCubicFractal(float x, float y) const;
    float GetCubicFractal(float x, float y, float z) const;
    float GetCellular(float x, float y) const;
    float GetCellular(float x, float y, float z) const;

    // Hashes of the coordinates' bit patterns (frequency is not applied) or of integers.
    float GetWhiteNoise(float x, float y) const;
    float GetWhiteNoise(float x, float y, float z) const;
    float GetWhiteNoise(float x, float y, float z, float w) const;
    float GetWhiteNoiseInt(std::int32_t x, std::int32_t y) const { return Hash(m_seed, x, y); }
    float GetWhiteNoiseInt(std::int32_t x, std::int32_t y, std::int32_t z) const { return Hash(m_seed, x, y, z); }
    float GetWhiteNoiseInt(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w) const {
        return Hash(m_seed, x, y, z, w);
    }

    // Displace the coordinates by a smooth random field of the perturbation amplitude: once,
    // or once per octave with amplitude and frequency scaled like the fractal sums.
    void GradientPerturb(float &x, float &y) const;
    void GradientPerturb(float &x, float &y, float &z) const;
    void GradientPerturbFractal(float &x, float &y) const;
    void GradientPerturbFractal(float &x, float &y, float &z) const;

    // The kernels, at coordinates already scaled; `offset` shifts the permutation per octave.
    float SingleValue(std::uint8_t offset, float x, float y) const;
    float SingleValue(std::uint8_t offset, float x, float y, float z) const;
    float SinglePerlin(std::uint8_t offset, float x, float y) const;
    float SinglePerlin(std::uint8_t offset, float x, float y, float z) const;
    float SingleSimplex(std::uint8_t offset, float x, float y) const;
    float SingleSimplex(std::uint8_t offset, float x, float y, float z) const;
    float SingleSimplex(std::uint8_t offset, float x, float y, float z, float w) const;
    float SingleCubic(std::uint8_t offset, float x, float y) const;
    float SingleCubic(std::uint8_t offset, float x, float y, float z) const;
    // Nearest feature point: its cell's hash, the lookup's noise there, or its distance - 1.
    float SingleCellular(float x, float y) const;
    float SingleCellular(float x, float y, float z) const;
    // The two nearest feature points' distances, combined by the return type.
    float SingleCellular2Edge(float x, float y) const;
    float SingleCellular2Edge(float x, float y, float z) const;
    // Octaves of 2D simplex noise multiplied rather than summed.
    float SingleSimplexFractalBlend(float x, float y) const;
    void SingleGradientPerturb(std::uint8_t offset, float amplitude, float frequency, float &x, float &y) const;
    void SingleGradientPerturb(std::uint8_t offset, float amplitude, float frequency, float &x, float &y,
                               float &z) const;

private:
    template <class... C>
    using Kernel = float (Noise::*)(std::uint8_t, C...) const;

    // The fractal sum of the kernel at coordinates already scaled.
    template <class... C>
    float Fractal(Kernel<C...> kernel, C... c) const;
    // The kernel of a noise type at coordinates already scaled, in 2D and 3D alike; 0 for
    // an unknown type.
    template <class... C>
    float Dispatch(NoiseType type, C... c) const;
    // The same at the coordinates times frequency.
    template <class... C>
    float Scaled(NoiseType type, C... c) const;
    // One or two nearest distances by the cellular return type.
    template <class... C>
    float CellularOf(C... c) const;
    template <int D>
    float Cellular(const float (&p)[D]) const;
    template <int D>
    float Cellular2Edge(const float (&p)[D]) const;
    template <class... C>
    void PerturbFractal(C &...c) const;

    Permutation m_perm;
    std::int32_t m_seed = 1337;
    float m_frequency = 0.01f;
    Interp m_interp = Interp::Quintic;
    NoiseType m_noiseType = NoiseType::Simplex;
    std::int32_t m_octaves = 3;
    float m_lacunarity = 2.0f;
    float m_gain = 0.5f;
    FractalType m_fractalType = FractalType::FBM;
    float m_fractalBounding = 1 / 1.75f;
    CellularDistanceFunction m_cellularDistanceFunction = CellularDistanceFunction::Euclidean;
    CellularReturnType m_cellularReturnType = CellularReturnType::CellValue;
    std::unique_ptr<Noise> m_cellularNoiseLookup;
    float m_gradientPerturbAmp = 1 / 0.45f;
};

}  // namespace noise
