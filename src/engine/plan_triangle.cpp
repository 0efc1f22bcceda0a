#include "plan_triangle.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

constexpr double kEps = 0x1p-24;   // the float rounding unit
constexpr float kLargest = 1e18f;  // vertex coordinates past this may overflow the test's products
constexpr double kShortest = 2e-6; // a shorter first edge changes BasisU's choice
constexpr double kSteepest = 100;  // the largest 1 / |normal z|
constexpr double kTurn = 5e-4;     // the largest angle between the stored and the exact normal

struct Shape {
    double largest;   // L: vertex coordinate, in magnitude
    double diameter;  // D
    double steep;     // 1 / |z| of the stored normal
    double turn;      // alpha: its angle from the exact normal
    double inward;    // 1 when the vertices run counter-clockwise in plan view, else -1
};

// How far from the plan-view edges the containment test's answer may differ from the
// exact one, for points of |z| up to P >= L. The test maps the vertices into a frame at the
// hit h and counts crossings; its answer is the exact one for x*, h moved along the frame
// normal onto the face's plane, whenever x* lies farther from the edges than the rounding
// moves them:
// - h is on the stored plane within 17 eps P (the solve over coordinates up to P); the
//   stored plane is off the face's by 5.2 eps L at the first vertex and turned by alpha,
//   over at most R from there to h; so x* lies within rho of the point's plan position;
// - a mapped vertex is off by 5.8 eps of its distance from h (at most D + R), and by 2e-4
//   where the test moves it off the ray; a crossing's abscissa by 9.01 eps of the largest
//   mapped coordinate; the frame keeps at least 0.998 of a distance in the plane;
// - the plan-view distance itself is computed in float within 13 eps L.
// Doubled, for safety.
double margin_at(const Shape &s, double p) {
    const double r = (2 * s.diameter + 23 * kEps * p) * s.steep;
    const double reach = s.diameter + r;
    const double rho = 1.001 * (17 * kEps * p + 5.2 * kEps * s.largest + s.turn * r);
    const double eta = 5.8 * kEps * reach + 2e-4;
    const double mu = eta + 9.01 * kEps * (1.415 * reach + eta);
    const double plan = 13 * kEps * s.largest;
    return 2 * (rho + 1.003 * mu + plan);  // 1.003 > 1 / 0.998
}

struct Vec {
    double x, y, z;
};

Vec minus(const math::float3 &a, const math::float3 &b) {
    return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}

double dot(const Vec &a, const Vec &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The largest vertex coordinate in magnitude; NaN when one is NaN (max keeps a NaN first).
float largest(const math::float3 *v) {
    float out = 0;
    for (int k = 0; k < 3; ++k)
        for (const float c : {v[k].x, v[k].y, v[k].z}) out = std::isnan(c) ? c : std::max(out, std::fabs(c));
    return out;
}

Vec cross(const Vec &a, const Vec &b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// The shape of a face the bound holds for: three vertices of coordinates up to kLargest, both
// edges from the first at least kShortest long (nowhere near the cross product's underflow),
// a stored normal close to the exact one, of unit length and not steep. False for any other
// face.
bool shape_of(const math::Polygon &face, const math::Plane &plane, Shape &s) {
    if (face.vertices.size() != 3) return false;
    const math::float3 *v = face.vertices.data();
    const Vec e1 = minus(v[1], v[0]), e2 = minus(v[2], v[0]), e3 = minus(v[2], v[1]), c = cross(e1, e2);
    const double sq1 = dot(e1, e1), sq2 = dot(e2, e2), shortest_sq = kShortest * kShortest;
    const Vec n{plane.normal.x, plane.normal.y, plane.normal.z};
    s = {largest(v), std::sqrt(std::max({sq1, sq2, dot(e3, e3)})), 1 / std::fabs(n.z),
         (10 * std::sqrt(sq1 * sq2 / dot(c, c)) + 3) * kEps, c.z > 0 ? 1.0 : -1.0};
    return s.largest <= kLargest && sq1 >= shortest_sq && sq2 >= shortest_sq && s.turn <= kTurn &&
           std::fabs(dot(n, n) - 1) <= 2e-5 && s.steep <= kSteepest && c.z != 0;
}

}  // namespace

PlanTriangle::PlanTriangle(const math::Polygon &face, const math::Plane &plane) {
    Shape s;
    if (!shape_of(face, plane, s)) return;
    // Each edge scaled by 1 / D rather than by its own length: its value then stays within
    // the distance, which keeps the verdicts safe, for one division in all.
    const double scale = s.inward / s.diameter;
    for (int k = 0; k < 3; ++k) {
        const math::float3 &a = face.vertices[k], &b = face.vertices[(k + 1) % 3];
        const double x = -(double(b.y) - a.y) * scale, y = (double(b.x) - a.x) * scale;
        edges_[k] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(-(x * a.x + y * a.y))};
    }
    // The bound is affine in P; L + |p.z| is at least P.
    const double at_zero = margin_at(s, 0), per_unit = margin_at(s, 1) - at_zero;
    margin_ = static_cast<float>(at_zero + per_unit * s.largest);
    margin_per_height_ = static_cast<float>(per_unit);
}

// A |p.z| past 1e30, where the test's products may overflow, makes the margin wider than any
// face; a NaN leaves it NaN.
PlanSide PlanTriangle::side(const math::float3 &p) const {
    const float margin = margin_ + margin_per_height_ * std::fabs(p.z);
    float least = HUGE_VALF;
    for (const Edge &e : edges_) {
        const float distance = (e.x * p.x + e.y * p.y) + e.c;
        if (distance < -margin) return PlanSide::outside;
        least = std::min(least, distance);
    }
    return least > margin ? PlanSide::inside : PlanSide::near;
}

}  // namespace engine
