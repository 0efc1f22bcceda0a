// The matrix work of the scatter engine's transforms: 4x4 and 3x3 products, the general and the
// orthogonal inverses and the transform of points and directions, beside Eigen on the same
// values. Cases read library/operation/size. Each case is checked once before it is timed: both
// libraries must give the same result, or the program stops.
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <Eigen/Geometry>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float4.h"
#include "Math/float4x4.h"
#include "side_by_side.h"

namespace {

using math::float3;
using math::float3x3;
using math::float4;
using math::float4x4;

constexpr std::size_t kInputs = 256;  // distinct values cycled through, so pivots vary

// --- inputs, drawn with fixed seeds; each draw into a named local to keep the order fixed

float3 DrawVector(std::mt19937 &rng, std::uniform_real_distribution<float> &range) {
    const float x = range(rng);
    const float y = range(rng);
    const float z = range(rng);
    return float3(x, y, z);
}

std::vector<float4x4> General4(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> range(-10.f, 10.f);
    std::vector<float4x4> out(kInputs);
    for (float4x4 &m : out)
        for (auto &row : m.elements)
            for (float &e : row) e = range(rng);
    return out;
}

std::vector<float3x3> General3(unsigned seed) {
    std::vector<float3x3> out;
    for (const float4x4 &m : General4(seed)) out.push_back(m.Float3x3Part());
    return out;
}

enum class Scale { None, Uniform, PerAxis };

// Rotation about a random axis, then the scale, then a translation: the instance transforms.
std::vector<float4x4> Affine4(Scale scale) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> unit(-1.f, 1.f), factor(0.5f, 2.f), offset(-100.f, 100.f);
    std::vector<float4x4> out;
    for (std::size_t k = 0; k < kInputs; ++k) {
        const float3 axis = DrawVector(rng, unit).Normalized();
        const float angle = 3.f * unit(rng);
        const float3 translation = DrawVector(rng, offset);
        const float3 factors = scale == Scale::None      ? float3::one
                               : scale == Scale::Uniform ? float3(factor(rng))
                                                         : DrawVector(rng, factor);
        out.push_back(float4x4::FromTRS(translation, float3x3::RotateAxisAngle(axis, angle), factors));
    }
    return out;
}

std::vector<float3> Vectors(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> range(-100.f, 100.f);
    std::vector<float3> out;
    for (std::size_t k = 0; k < kInputs; ++k) out.push_back(DrawVector(rng, range));
    return out;
}

std::vector<float4> Vectors4(unsigned seed) {
    std::vector<float4> out;
    for (const float3 &v : Vectors(seed)) out.emplace_back(v, 1.f);
    return out;
}

// --- the same values as Eigen types

Eigen::Matrix4f ToEigen(const float4x4 &m) {
    Eigen::Matrix4f e;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m.elements[r][c];
    return e;
}

Eigen::Matrix3f ToEigen(const float3x3 &m) {
    Eigen::Matrix3f e;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) e(r, c) = m.elements[r][c];
    return e;
}

Eigen::Vector3f ToEigen(const float3 &v) { return Eigen::Vector3f(v.x, v.y, v.z); }
Eigen::Vector4f ToEigen(const float4 &v) { return Eigen::Vector4f(v.x, v.y, v.z, v.w); }

template <typename T>
auto ToEigen(const std::vector<T> &values) {
    std::vector<std::decay_t<decltype(ToEigen(values[0]))>> out;
    for (const T &v : values) out.push_back(ToEigen(v));
    return out;
}

std::vector<Eigen::Isometry3f> ToIsometries(const std::vector<float4x4> &values) {
    std::vector<Eigen::Isometry3f> out(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) out[k].matrix() = ToEigen(values[k]);
    return out;
}

// Eigen's isometry keeps its values in a 4x4 matrix; its other results are matrices already.
const Eigen::Matrix4f &Values(const Eigen::Isometry3f &t) { return t.matrix(); }
template <typename E>
const E &Values(const E &e) {
    return e;
}

// --- registration: op(i) computes on input i; one call per iteration

template <typename Op>
void Register(const std::string &name, Op op) {
    benchmark::RegisterBenchmark(name.c_str(), [op](benchmark::State &state) {
        std::size_t i = 0;
        for (auto _ : state) {
            const auto result = op(i);
            benchmark::DoNotOptimize(result);
            i = (i + 1) % kInputs;
        }
    });
}

// A mix-up of rows and columns would otherwise time two different computations.
template <typename Ours, typename Expected>
void ExpectSame(const std::string &key, const Ours &ours, const Expected &expected) {
    const auto &reference = Values(expected);
    const float scale = 1.f + reference.cwiseAbs().maxCoeff();
    if ((ToEigen(ours) - reference).cwiseAbs().maxCoeff() > 1e-4f * scale) {
        std::fprintf(stderr, "%s: the library and Eigen disagree\n", key.c_str());
        std::exit(1);
    }
}

template <typename Ours, typename Theirs>
void RegisterPair(const std::string &key, Ours ours, Theirs theirs) {
    ExpectSame(key, ours(0), theirs(0));
    Register("vandrel/" + key, ours);
    Register("eigen/" + key, theirs);
}

// For the operations Eigen has no counterpart of: checked against Eigen's general answer.
template <typename Ours, typename Expected>
void RegisterOwn(const std::string &key, Ours ours, const Expected &expected) {
    ExpectSame(key, ours(0), expected);
    Register("vandrel/" + key, ours);
}

void Register4x4() {
    const std::vector<float4x4> a = General4(1), b = General4(2);
    const std::vector<Eigen::Matrix4f> ea = ToEigen(a), eb = ToEigen(b);
    RegisterPair(
        "mul/4x4", [a, b](std::size_t i) { return a[i] * b[i]; },
        [ea, eb](std::size_t i) -> Eigen::Matrix4f { return ea[i] * eb[i]; });
    RegisterPair(
        "inverse/4x4", [a](std::size_t i) { return a[i].Inverted(); },
        [ea](std::size_t i) -> Eigen::Matrix4f { return ea[i].inverse(); });

    const std::vector<float4x4> rigid = Affine4(Scale::None);
    const std::vector<Eigen::Isometry3f> isometries = ToIsometries(rigid);
    RegisterPair(
        "inverse_orthonormal/4x4",
        [rigid](std::size_t i) {
            float4x4 m = rigid[i];
            m.InverseOrthonormal();
            return m;
        },
        [isometries](std::size_t i) -> Eigen::Isometry3f { return isometries[i].inverse(); });

    const std::vector<float4x4> uniform = Affine4(Scale::Uniform);
    RegisterOwn(
        "inverse_orthogonal_uniform_scale/4x4",
        [uniform](std::size_t i) {
            float4x4 m = uniform[i];
            m.InverseOrthogonalUniformScale();
            return m;
        },
        Eigen::Matrix4f(ToEigen(uniform[0]).inverse()));
    const std::vector<float4x4> scaled = Affine4(Scale::PerAxis);
    RegisterOwn(
        "inverse_col_orthogonal/4x4",
        [scaled](std::size_t i) {
            float4x4 m = scaled[i];
            m.InverseColOrthogonal();
            return m;
        },
        Eigen::Matrix4f(ToEigen(scaled[0]).inverse()));

    // Rows 0 to 2 only, as the library transforms points and directions.
    const std::vector<float3> p = Vectors(3);
    const std::vector<Eigen::Vector3f> ep = ToEigen(p);
    const std::vector<Eigen::Matrix4f> es = ToEigen(scaled);
    RegisterPair(
        "transform_pos/4x4", [scaled, p](std::size_t i) { return scaled[i].TransformPos(p[i]); },
        [es, ep](std::size_t i) -> Eigen::Vector3f {
            return es[i].topLeftCorner<3, 3>() * ep[i] + es[i].topRightCorner<3, 1>();
        });
    RegisterPair(
        "transform_dir/4x4", [scaled, p](std::size_t i) { return scaled[i].TransformDir(p[i]); },
        [es, ep](std::size_t i) -> Eigen::Vector3f { return es[i].topLeftCorner<3, 3>() * ep[i]; });
    const std::vector<float4> v = Vectors4(4);
    const std::vector<Eigen::Vector4f> ev = ToEigen(v);
    RegisterPair(
        "transform_vec4/4x4", [a, v](std::size_t i) { return a[i].Transform(v[i]); },
        [ea, ev](std::size_t i) -> Eigen::Vector4f { return ea[i] * ev[i]; });
}

void Register3x3() {
    const std::vector<float3x3> a = General3(5), b = General3(6);
    const std::vector<Eigen::Matrix3f> ea = ToEigen(a), eb = ToEigen(b);
    RegisterPair(
        "mul/3x3", [a, b](std::size_t i) { return a[i] * b[i]; },
        [ea, eb](std::size_t i) -> Eigen::Matrix3f { return ea[i] * eb[i]; });
    RegisterPair(
        "inverse/3x3", [a](std::size_t i) { return a[i].Inverted(); },
        [ea](std::size_t i) -> Eigen::Matrix3f { return ea[i].inverse(); });
    // By cofactors, the method Eigen uses at this size.
    RegisterOwn(
        "inverse_fast/3x3",
        [a](std::size_t i) {
            float3x3 m = a[i];
            m.InverseFast(1e-6f);
            return m;
        },
        Eigen::Matrix3f(ea[0].inverse()));
}

}  // namespace

int main(int argc, char **argv) {
    Register4x4();
    Register3x3();
    return bench::RunSideBySide(argc, argv);
}
