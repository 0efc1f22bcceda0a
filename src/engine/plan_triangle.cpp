#include "plan_triangle.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

constexpr double kEps = 0x1p-24;   // the float rounding unit
constexpr float kLargest = 1e18f;  // coordinates past this may overflow the test's products
constexpr double kShortest = 2e-6; // shorter first edges change BasisU's choice
constexpr double kSteepest = 0.01; // the least |normal z|
constexpr double kTurn = 5e-4;     // the largest angle between the stored and the exact normal

struct Shape {
    double largest;   // L: vertex coordinate, in magnitude
    double diameter;  // D
    double normal_z;  // |z| of the stored normal
    double turn;      // alpha: its angle from the exact normal
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
    const double r = (2 * s.diameter + 23 * kEps * p) / s.normal_z;
    const double reach = s.diameter + r;
    const double rho = 1.001 * (17 * kEps * p + 5.2 * kEps * s.largest + s.turn * r);
    const double eta = 5.8 * kEps * reach + 2e-4;
    const double mu = eta + 9.01 * kEps * (1.415 * reach + eta);
    const double plan = 13 * kEps * s.largest;
    return 2 * (rho + mu / 0.998 + plan);
}

struct Vec {
    double x, y, z;
};

Vec minus(const math::float3 &a, const math::float3 &b) {
    return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}

double dot(const Vec &a, const Vec &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The largest vertex coordinate in magnitude; infinity when one is not finite.
double largest(const math::float3 *v) {
    double out = 0;
    for (int k = 0; k < 3; ++k)
        for (const float c : {v[k].x, v[k].y, v[k].z}) out = std::max(out, std::isfinite(c) ? std::fabs(double(c)) : HUGE_VAL);
    return out;
}

Vec cross(const Vec &a, const Vec &b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

}  // namespace

// The bound holds for faces of three finite vertices, the first two apart, whose stored
// normal is close to the exact one, of unit length and not steep.
PlanTriangle::PlanTriangle(const math::Polygon &face, const math::Plane &plane) {
    if (face.vertices.size() != 3) return;
    const math::float3 *v = face.vertices.data();
    if (!(largest(v) <= kLargest)) return;
    const Vec e1 = minus(v[1], v[0]), e2 = minus(v[2], v[0]), e3 = minus(v[2], v[1]);
    const double sq1 = dot(e1, e1), sq2 = dot(e2, e2), area_sq = dot(cross(e1, e2), cross(e1, e2));
    const double plan_area2 = e1.x * e2.y - e1.y * e2.x;
    const math::float3 &n = plane.normal;
    if (!(sq1 >= kShortest * kShortest && sq2 >= kShortest * kShortest && area_sq > 0 && plan_area2 != 0)) return;
    const Shape s{largest(v), std::sqrt(std::max({sq1, sq2, dot(e3, e3)})), std::fabs(double(n.z)),
                  (10 * std::sqrt(sq1 * sq2 / area_sq) + 3) * kEps};
    const double normal_sq = dot({n.x, n.y, n.z}, {n.x, n.y, n.z});
    if (!(s.turn <= kTurn && std::fabs(normal_sq - 1) <= 2e-5 && s.normal_z >= kSteepest)) return;
    const double inward = plan_area2 > 0 ? 1 : -1;
    for (int k = 0; k < 3; ++k) {
        const math::float3 &a = v[k], &b = v[(k + 1) % 3];
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, scale = inward / std::sqrt(dx * dx + dy * dy);
        const double x = -dy * scale, y = dx * scale;
        edges_[k] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(-(x * a.x + y * a.y))};
    }
    const double margin = margin_at(s, 0);
    margin_ = static_cast<float>(margin);
    margin_per_unit_ = static_cast<float>(margin_at(s, 1) - margin);
    largest_ = static_cast<float>(s.largest);
    usable_ = true;
}

PlanSide PlanTriangle::side(const math::float3 &p) const {
    if (!usable_ || !(std::fabs(p.z) <= kLargest)) return PlanSide::near;
    const float margin = margin_ + margin_per_unit_ * std::max(largest_, std::fabs(p.z));
    float least = HUGE_VALF;
    for (const Edge &e : edges_) {
        const float distance = (e.x * p.x + e.y * p.y) + e.c;
        if (distance < -margin) return PlanSide::outside;
        least = std::min(least, distance);
    }
    return least > margin ? PlanSide::inside : PlanSide::near;
}

}  // namespace engine
