#pragma once

// Conversions between the library's rotation types and Eigen's, which serves the
// matrix and quaternion tests as an independent oracle.

#include <Eigen/Dense>
#include <Eigen/Geometry>
#include <cstdint>
#include <cstring>
#include <random>

#include "Math/Quat.h"
#include "Math/float3.h"
#include "Math/float3x3.h"

namespace oracle {

inline Eigen::Matrix3f ToEigen(const math::float3x3 &m) {
    Eigen::Matrix3f e;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) e(r, c) = m.elements[r][c];
    return e;
}

inline math::float3x3 FromEigen(const Eigen::Matrix3f &e) {
    return math::float3x3(e(0, 0), e(0, 1), e(0, 2), e(1, 0), e(1, 1), e(1, 2), e(2, 0), e(2, 1), e(2, 2));
}

inline Eigen::Vector3f ToEigen(const math::float3 &v) { return Eigen::Vector3f(v.x, v.y, v.z); }

inline Eigen::Quaternionf ToEigen(const math::Quat &q) { return Eigen::Quaternionf(q.w, q.x, q.y, q.z); }

inline float MaxAbsDiff(const math::float3x3 &m, const Eigen::Matrix3f &e) {
    return (ToEigen(m) - e).cwiseAbs().maxCoeff();
}

inline float MaxAbsDiff(const math::float3 &v, const Eigen::Vector3f &e) {
    return (ToEigen(v) - e).cwiseAbs().maxCoeff();
}

// A rotation quaternion equals its negation; compare up to that sign.
inline float MaxAbsDiffUpToSign(const math::Quat &q, const Eigen::Quaternionf &e) {
    const Eigen::Vector4f a(q.x, q.y, q.z, q.w);
    const Eigen::Vector4f b = e.coeffs();  // (x, y, z, w)
    return std::min((a - b).cwiseAbs().maxCoeff(), (a + b).cwiseAbs().maxCoeff());
}

inline uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// Fixed-seed source of test values.
class Sampler {
public:
    explicit Sampler(unsigned seed) : engine_(seed) {}

    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine_); }

    math::float3 Vector(float lo, float hi) {
        const float x = Uniform(lo, hi);
        const float y = Uniform(lo, hi);
        const float z = Uniform(lo, hi);
        return math::float3(x, y, z);
    }

    math::float3 UnitVector() {
        for (;;) {
            const math::float3 v = Vector(-1.f, 1.f);
            const float lengthSq = v.LengthSq();
            if (lengthSq > 0.01f && lengthSq <= 1.f) return v.Normalized();
        }
    }

    math::float3x3 Matrix(float lo, float hi) {
        math::float3x3 m;
        for (auto &row : m.elements)
            for (float &e : row) e = Uniform(lo, hi);
        return m;
    }

    math::Quat UnitQuat() {
        for (;;) {
            const float x = Uniform(-1.f, 1.f);
            const float y = Uniform(-1.f, 1.f);
            const float z = Uniform(-1.f, 1.f);
            const float w = Uniform(-1.f, 1.f);
            const Eigen::Vector4d v(x, y, z, w);
            const double length = v.norm();
            if (length > 0.1 && length <= 1.0) {
                const Eigen::Vector4d u = v / length;
                return math::Quat(float(u.x()), float(u.y()), float(u.z()), float(u.w()));
            }
        }
    }

private:
    std::mt19937 engine_;
};

}  // namespace oracle
