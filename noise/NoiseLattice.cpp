// Value, Perlin and cubic noise: values or gradients at the lattice points, interpolated.
#include "noise/Interpolate.h"
#include "noise/Noise.h"
#include "noise/NoiseTables.h"

namespace noise {

namespace {

// The cell of a coordinate and the curve of its fraction.
struct Axis {
    std::int32_t cell;
    float fraction;
    float smooth;
    Axis(float f, Interp interp) : cell(Floor(f)), fraction(f - static_cast<float>(cell)), smooth(Curve(interp, fraction)) {}
    std::int32_t Corner(int i) const { return Wrap(std::int64_t{cell} + i); }
    // The offset from corner i (0 or 1) to the coordinate.
    float Delta(int i) const { return i == 0 ? fraction : fraction - 1; }
};

// Cubic noise reads the corners one cell below through two above, with the plain fraction.
struct CubicAxis {
    std::int32_t cell;
    float fraction;
    explicit CubicAxis(float f) : cell(Floor(f)), fraction(f - static_cast<float>(cell)) {}
    std::int32_t Corner(int i) const { return Wrap(std::int64_t{cell} + i - 1); }
};

// Brings the overshoot of the cubic lines back toward [-1, 1].
constexpr float kCubic2DScale = 4.0f / 9;
constexpr float kCubic3DScale = 8.0f / 27;

}  // namespace

float Noise::SingleValue(std::uint8_t offset, float x, float y) const {
    const Axis ax(x, m_interp), ay(y, m_interp);
    const auto corner = [&](int i, int j) { return VAL_LUT[m_perm.Index(offset, ax.Corner(i), ay.Corner(j))]; };
    return Bilinear(corner, ax.smooth, ay.smooth);
}

float Noise::SingleValue(std::uint8_t offset, float x, float y, float z) const {
    const Axis ax(x, m_interp), ay(y, m_interp), az(z, m_interp);
    const auto corner = [&](int i, int j, int k) {
        return VAL_LUT[m_perm.Index(offset, ax.Corner(i), ay.Corner(j), az.Corner(k))];
    };
    return Trilinear(corner, ax.smooth, ay.smooth, az.smooth);
}

float Noise::SinglePerlin(std::uint8_t offset, float x, float y) const {
    const Axis ax(x, m_interp), ay(y, m_interp);
    const auto corner = [&](int i, int j) {
        const std::uint8_t g = m_perm.Gradient(offset, ax.Corner(i), ay.Corner(j));
        return ax.Delta(i) * GRAD_X[g] + ay.Delta(j) * GRAD_Y[g];
    };
    return Bilinear(corner, ax.smooth, ay.smooth);
}

float Noise::SinglePerlin(std::uint8_t offset, float x, float y, float z) const {
    const Axis ax(x, m_interp), ay(y, m_interp), az(z, m_interp);
    const auto corner = [&](int i, int j, int k) {
        const std::uint8_t g = m_perm.Gradient(offset, ax.Corner(i), ay.Corner(j), az.Corner(k));
        return ax.Delta(i) * GRAD_X[g] + ay.Delta(j) * GRAD_Y[g] + az.Delta(k) * GRAD_Z[g];
    };
    return Trilinear(corner, ax.smooth, ay.smooth, az.smooth);
}

float Noise::SingleCubic(std::uint8_t offset, float x, float y) const {
    const CubicAxis ax(x), ay(y);
    const auto corner = [&](int i, int j) { return VAL_LUT[m_perm.Index(offset, ax.Corner(i), ay.Corner(j))]; };
    return Bicubic(corner, ax.fraction, ay.fraction) * kCubic2DScale;
}

float Noise::SingleCubic(std::uint8_t offset, float x, float y, float z) const {
    const CubicAxis ax(x), ay(y), az(z);
    const auto corner = [&](int i, int j, int k) {
        return VAL_LUT[m_perm.Index(offset, ax.Corner(i), ay.Corner(j), az.Corner(k))];
    };
    return Tricubic(corner, ax.fraction, ay.fraction, az.fraction) * kCubic3DScale;
}

}  // namespace noise
