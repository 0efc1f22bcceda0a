#pragma once

// Direct formulas in double precision, and seeded random inputs, for checking the float
// geometry.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "Math/float3.h"

namespace oracle {

struct D3 {
    double x, y, z;
    D3() : x(0), y(0), z(0) {}
    D3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    D3(const math::float3 &v) : x(v.x), y(v.y), z(v.z) {}  // NOLINT: widening on purpose
    D3 operator+(const D3 &o) const { return {x + o.x, y + o.y, z + o.z}; }
    D3 operator-(const D3 &o) const { return {x - o.x, y - o.y, z - o.z}; }
    D3 operator*(double s) const { return {x * s, y * s, z * s}; }
};

inline double Dot(const D3 &a, const D3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline D3 Cross(const D3 &a, const D3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const D3 &a) { return std::sqrt(Dot(a, a)); }
inline double Distance(const D3 &a, const D3 &b) { return Length(a - b); }

const double kInf = std::numeric_limits<double>::infinity();
// The float inputs that the geometry tests feed in.
const float kInfF = std::numeric_limits<float>::infinity();
const float kNaNF = std::numeric_limits<float>::quiet_NaN();

// A linear set origin + t * dir with t in [lo, hi]: a line (-inf, inf), a ray [0, inf) or a
// segment [0, 1] along b - a.
struct Linear {
    D3 origin;
    D3 dir;
    double lo;
    double hi;
    D3 At(double t) const { return origin + dir * t; }
    // The parameter of the point nearest to p.
    double Nearest(const D3 &p) const {
        const double t = Dot(p - origin, dir) / Dot(dir, dir);
        return std::min(std::max(t, lo), hi);
    }
};

inline Linear LineSet(const math::float3 &pos, const math::float3 &dir) { return {pos, dir, -kInf, kInf}; }
inline Linear RaySet(const math::float3 &pos, const math::float3 &dir) { return {pos, dir, 0, kInf}; }
inline Linear SegmentSet(const math::float3 &a, const math::float3 &b) { return {a, D3(b) - D3(a), 0, 1}; }

inline double Distance(const D3 &p, const Linear &s) { return Distance(p, s.At(s.Nearest(p))); }

// The distance between two linear sets: the squared distance is a convex quadratic over the
// box of parameters, so its minimum is the free critical point when that lies inside, else on
// an edge of the box, where one parameter sits at a finite bound.
inline double Distance(const Linear &s, const Linear &r) {
    double best = kInf;
    const D3 w = s.origin - r.origin;
    const double a = Dot(s.dir, s.dir), b = Dot(s.dir, r.dir), c = Dot(r.dir, r.dir);
    const double den = a * c - b * b;
    if (den > 1e-12 * a * c) {
        const double d = Dot(s.dir, w), e = Dot(r.dir, w);
        const double t = (b * e - c * d) / den;
        const double u = (a * e - b * d) / den;
        if (t >= s.lo && t <= s.hi && u >= r.lo && u <= r.hi) best = Distance(s.At(t), r.At(u));
    }
    for (double t : {s.lo, s.hi})
        if (std::isfinite(t)) best = std::min(best, Distance(s.At(t), r));
    for (double u : {r.lo, r.hi})
        if (std::isfinite(u)) best = std::min(best, Distance(r.At(u), s));
    if (!std::isfinite(best)) {  // two parallel lines
        best = Distance(s.origin, r);
    }
    return best;
}

// The parameter where the line pos + t * dir meets the plane Dot(n, p) = d.
inline double LinePlaneT(const D3 &n, double d, const D3 &pos, const D3 &dir) {
    return (d - Dot(n, pos)) / Dot(n, dir);
}

// Seeded inputs: coordinates in [-range, range], unit directions.
class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine_); }
    math::float3 Point(float range = 10.f) {
        const float x = Uniform(-range, range);
        const float y = Uniform(-range, range);
        const float z = Uniform(-range, range);
        return math::float3(x, y, z);
    }
    math::float3 Direction() {
        for (;;) {
            const math::float3 v = Point(1.f);
            if (v.LengthSq() > 0.01f) return v.Normalized();
        }
    }

private:
    std::mt19937 engine_;
};

inline ::testing::AssertionResult Near(const math::float3 &actual, const D3 &expected, double tolerance) {
    const double error = Distance(D3(actual), expected);
    if (error <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                         << ") is " << error << " from (" << expected.x << ", " << expected.y
                                         << ", " << expected.z << ")";
}

inline uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

inline ::testing::AssertionResult SameBits(const math::float3 &actual, const math::float3 &expected) {
    if (actual.BitEquals(expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                         << ") is not bitwise (" << expected.x << ", " << expected.y << ", "
                                         << expected.z << ")";
}

// Checks a closest-point query between two objects against the double distance of their sets:
// both parameters lie in their ranges, the returned point is this object's point at d, and the
// two points at d and d2 are as far apart as the sets are.
template <typename A, typename B>
void ExpectClosestPair(const A &a, const Linear &aSet, const B &b, const Linear &bSet, double tolerance) {
    float d = std::numeric_limits<float>::quiet_NaN();
    float d2 = d;
    const math::float3 c = a.ClosestPoint(b, d, d2);
    EXPECT_TRUE(d >= aSet.lo && d <= aSet.hi) << "d = " << d;
    EXPECT_TRUE(d2 >= bSet.lo && d2 <= bSet.hi) << "d2 = " << d2;
    EXPECT_TRUE(Near(c, D3(a.GetPoint(d)), tolerance));
    const double expected = Distance(aSet, bSet);
    EXPECT_NEAR(Distance(D3(a.GetPoint(d)), D3(b.GetPoint(d2))), expected, tolerance);
    float e;
    float e2;
    EXPECT_NEAR(a.Distance(b, e, e2), expected, tolerance);
    EXPECT_EQ(Bits(e), Bits(d));
    EXPECT_EQ(Bits(e2), Bits(d2));
}

// How far apart two convex point sets (the corners of boxes, the vertices of flat polygons) lie
// along the best of the candidate axes: positive when that axis separates them, negative by the
// smallest overlap otherwise. Axes of length below 1e-9 are skipped.
inline double Separation(const std::vector<D3> &a, const std::vector<D3> &b, const std::vector<D3> &axes) {
    double best = -kInf;
    for (const D3 &axis : axes) {
        const double length = Length(axis);
        if (length < 1e-9) continue;
        const D3 unit = axis * (1 / length);
        double aLo = kInf, aHi = -kInf, bLo = kInf, bHi = -kInf;
        for (const D3 &p : a) {
            aLo = std::min(aLo, Dot(p, unit));
            aHi = std::max(aHi, Dot(p, unit));
        }
        for (const D3 &p : b) {
            bLo = std::min(bLo, Dot(p, unit));
            bHi = std::max(bHi, Dot(p, unit));
        }
        best = std::max(best, std::max(bLo - aHi, aLo - bHi));
    }
    return best;
}

// The candidate separating axes of two convex sets: each set's face normals and the cross
// products of their edge directions.
inline std::vector<D3> SeparatingAxes(const std::vector<D3> &normals, const std::vector<D3> &edges,
                                      const std::vector<D3> &otherNormals, const std::vector<D3> &otherEdges) {
    std::vector<D3> axes = normals;
    axes.insert(axes.end(), otherNormals.begin(), otherNormals.end());
    for (const D3 &e : edges)
        for (const D3 &f : otherEdges) axes.push_back(Cross(e, f));
    return axes;
}

template <typename Box>
std::vector<D3> Corners(const Box &box) {
    std::vector<D3> corners;
    for (int i = 0; i < 8; ++i) corners.push_back(D3(box.CornerPoint(i)));
    return corners;
}

inline bool AllNaN(const math::float3 &v) { return std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z); }

}  // namespace oracle
