// The spheres built from point sets and other shapes: the growth step, the farthest-first
// growth, the quick and the minimal enclosing spheres, and the fits through three or four points.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Frustum.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Math/MathLog.h"
#include "Math/MathOps.h"

namespace math {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kEncloseEpsilon = 1e-4f;

// A point and its squared distance to the centre of the sphere being grown.
struct PointWithDistance {
    float3 point;
    float distanceSq;
};

// Encloses the points farthest first, so that the nearer ones mostly fall inside already.
// Ties keep their order (a stable sort), so the result does not depend on the sort's internals.
template <typename Records>
void GrowFarthestFirst(Sphere &sphere, const float3 *points, Records &records) {
    for (size_t i = 0; i < records.size(); ++i) records[i] = {points[i], points[i].DistanceSq(sphere.pos)};
    std::stable_sort(records.begin(), records.end(),
                     [](const PointWithDistance &a, const PointWithDistance &b) { return a.distanceSq < b.distanceSq; });
    for (auto it = records.rbegin(); it != records.rend(); ++it) sphere.Enclose(it->point, kEncloseEpsilon);
}

template <typename Box>
void EncloseCorners(Sphere &sphere, const Box &box) {
    float3 corners[8];
    for (int i = 0; i < 8; ++i) corners[i] = box.CornerPoint(i);
    std::array<PointWithDistance, 8> records;
    GrowFarthestFirst(sphere, corners, records);
}

Sphere Failed() { return Sphere(float3::nan, kNaN); }

Sphere Empty() {
    Sphere sphere;
    sphere.SetNegativeInfinity();
    return sphere;
}

float LargestDistanceSq(const float3 &pos, std::initializer_list<float3> points) {
    float largest = 0.f;
    for (const float3 &p : points) largest = std::max(largest, pos.DistanceSq(p));
    return largest;
}

// The sphere on the segment pq as a diameter, widened to reach the third point.
Sphere OnDiameter(const float3 &p, const float3 &q, const float3 &other) {
    const float3 pos = (p + q) * 0.5f;
    return Sphere(pos, std::max(p.Distance(q) * 0.5f, other.Distance(pos)));
}

// The support-set search keeps the sphere of at most four points and swaps in a point found
// outside it; a swap restarts the scan. The scan normally settles after a few dozen restarts;
// the cap only guards against rounding making two swaps undo each other forever.
Sphere SupportSetSearch(const float3 *pts, int numPoints, int &restarts) {
    int sp[4] = {0, 1, 2, 3};
    bool expendable[4] = {true, true, true, true};
    Sphere s = Sphere::OptimalEnclosingSphere(pts[0], pts[1], pts[2], pts[3]);
    float rSq = s.r * s.r + 1e-4f;
    const int64_t maxRestarts = int64_t{64} * numPoints;
    restarts = 0;
    for (int i = 4; i < numPoints; ++i) {
        if (i == sp[0] || i == sp[1] || i == sp[2] || i == sp[3]) continue;
        if (pts[i].DistanceSq(s.pos) <= rSq) continue;
        int red;
        s = Sphere::OptimalEnclosingSphere(pts[sp[0]], pts[sp[1]], pts[sp[2]], pts[sp[3]], pts[i], red);
        rSq = s.r * s.r + 1e-4f;
        if (red != 4 && (sp[red] < i || expendable[red]) && restarts < maxRestarts) {
            sp[red] = i;
            expendable[red] = false;
            for (int k = 0; k < 4; ++k)
                if (sp[k] < i) expendable[k] = true;
            ++restarts;
            i = -1;  // the whole scan again, point 0 included
        }
    }
    return s;
}

}  // namespace

void Sphere::Enclose(const float3 &point, float epsilon) {
    const float3 d = point - pos;
    const float dist2 = d.LengthSq();
    if (!(dist2 + epsilon > r * r)) return;  // a sphere of radius -inf never grows
    const float dist = std::sqrt(dist2);
    const float half = (dist - r) * 0.5f;
    if (dist > r) {
        pos += d * half / dist;
        r = r + (half + 1e-4f);
        return;
    }
    // A point inside (within epsilon of the surface, or anywhere in a tiny sphere): moving the
    // centre away from it would shrink the sphere, so only the radius may grow. A point at the
    // centre has no direction at all.
    r = std::max(r, dist > 0.f ? r + (half + 1e-4f) : 1e-4f);
}

void Sphere::Enclose(const float3 *pointArray, int numPoints) {
    if (!pointArray || numPoints <= 0) return;
    std::vector<PointWithDistance> records(static_cast<size_t>(numPoints));
    GrowFarthestFirst(*this, pointArray, records);
}

void Sphere::Enclose(const LineSegment &lineSegment) {
    if (pos.DistanceSq(lineSegment.a) > pos.DistanceSq(lineSegment.b)) {
        Enclose(lineSegment.a, kEncloseEpsilon);
        Enclose(lineSegment.b, kEncloseEpsilon);
    } else {
        Enclose(lineSegment.b, kEncloseEpsilon);
        Enclose(lineSegment.a, kEncloseEpsilon);
    }
}

void Sphere::Enclose(const Triangle &triangle) {
    const float3 vertices[3] = {triangle.a, triangle.b, triangle.c};
    std::array<PointWithDistance, 3> records;
    GrowFarthestFirst(*this, vertices, records);
}

void Sphere::Enclose(const Polygon &polygon) {
    Enclose(polygon.vertices.data(), static_cast<int>(polygon.vertices.size()));
}

void Sphere::Enclose(const AABB &aabb) { EncloseCorners(*this, aabb); }

void Sphere::Enclose(const OBB &obb) { EncloseCorners(*this, obb); }

void Sphere::Enclose(const Frustum &frustum) { EncloseCorners(*this, frustum); }

void Sphere::Enclose(const Sphere &sphere) {
    const float3 e = (sphere.pos - pos).ScaledToLength(sphere.r);
    Enclose(sphere.pos + e, kEncloseEpsilon);
    Enclose(sphere.pos - e, kEncloseEpsilon);
}

void Sphere::ExtendRadiusToContain(const float3 &point, float epsilon) {
    r = std::max(r, pos.Distance(point) + epsilon);
}

void Sphere::ExtendRadiusToContain(const Sphere &sphere, float epsilon) {
    r = std::max(r, pos.Distance(sphere.pos) + sphere.r + epsilon);
}

bool FitSphereThroughPoints(const float3 &ab, const float3 &ac, float &s, float &t) {
    const float bb = ab.Dot(ab);
    const float cc = ac.Dot(ac);
    const float bc = ab.Dot(ac);
    const float denom = bb * cc - bc * bc;
    // An absolute tolerance, kept: an equilateral triangle with edges below about 0.28 counts
    // as collinear.
    if (EqualAbs(denom, 0.f, 0.005f)) return false;
    const float k = 0.5f / denom;
    s = (bb * cc - cc * bc) * k;
    t = (bb * cc - bb * bc) * k;
    return true;
}

bool FitSphereThroughPoints(const float3 &ab, const float3 &ac, const float3 &ad, float &s, float &t, float &u) {
    // The centre x (relative to a) solves Dot(ab, x) = |ab|^2 / 2 and likewise for ac and ad;
    // Cramer's rule on the edge vectors themselves keeps the conditioning of their matrix
    // rather than squaring it. Coplanarity is judged relative to the edges' scale: an absolute
    // threshold calls tiny tetrahedra flat and lets rounding noise pass at ordinary scales.
    const float3 n0 = ac.Cross(ad);
    const float3 n1 = ad.Cross(ab);
    const float3 n2 = ab.Cross(ac);
    const float det = ab.Dot(n0);
    if (!(std::fabs(det) > 1e-4f * (ab.Length() * ac.Length() * ad.Length()))) return false;
    const float3 x = (n0 * (ab.Dot(ab) * 0.5f) + n1 * (ac.Dot(ac) * 0.5f) + n2 * (ad.Dot(ad) * 0.5f)) / det;
    s = n0.Dot(x) / det;
    t = n1.Dot(x) / det;
    u = n2.Dot(x) / det;
    return true;
}

Sphere Sphere::FitThroughPoints(const float3 &a, const float3 &b, const float3 &c) {
    float s;
    float t;
    if (!FitSphereThroughPoints(b - a, c - a, s, t)) {
        PrintToConsole(LogWarning, "Sphere::FitThroughPoints(a,b,c) failed! The three input points are collinear!");
        return Failed();
    }
    const float3 v = s * (b - a) + t * (c - a);
    return Sphere(a + v, v.Length());
}

Sphere Sphere::FitThroughPoints(const float3 &a, const float3 &b, const float3 &c, const float3 &d) {
    float s;
    float t;
    float u;
    if (!FitSphereThroughPoints(b - a, c - a, d - a, s, t, u)) {
        PrintToConsole(LogWarning,
                       "Sphere::FitThroughPoints through four points failed! The points lie on the same plane!");
        return Failed();
    }
    const float3 v = (s * (b - a) + t * (c - a)) + u * (d - a);
    return Sphere(a + v, v.Length());
}

Sphere::Sphere(const float3 &a, const float3 &b) { *this = OptimalEnclosingSphere(a, b); }

Sphere::Sphere(const float3 &a, const float3 &b, const float3 &c) { *this = FitThroughPoints(a, b, c); }

Sphere::Sphere(const float3 &a, const float3 &b, const float3 &c, const float3 &d) {
    *this = FitThroughPoints(a, b, c, d);
}

Sphere Sphere::OptimalEnclosingSphere(const float3 &a, const float3 &b) {
    const float3 pos = (a + b) * 0.5f;
    return Sphere(pos, (b - pos).Length() + 1e-4f);
}

Sphere Sphere::OptimalEnclosingSphere(const float3 &a, const float3 &b, const float3 &c) {
    const float3 ab = b - a;
    const float3 ac = c - a;
    float s;
    float t;
    Sphere sphere;
    // The absolute 1e-4 on the squared cross product is kept: below it the three points are
    // treated as collinear and the box around them decides.
    if (ab.Cross(ac).LengthSq() < 1e-4f || !FitSphereThroughPoints(ab, ac, s, t) || std::fabs(s) > 10000.f ||
        std::fabs(t) > 10000.f) {
        const float3 lo = a.Min(b).Min(c);
        const float3 hi = a.Max(b).Max(c);
        sphere.pos = (lo + hi) * 0.5f;
        sphere.r = sphere.pos.Distance(lo);
    } else if (s < 0.f) {
        sphere = OnDiameter(a, c, b);
    } else if (t < 0.f) {
        sphere = OnDiameter(a, b, c);
    } else if (s + t > 1.f) {
        sphere = OnDiameter(b, c, a);
    } else {
        sphere.pos = a + (s * ab + t * ac);
        sphere.r = std::sqrt(LargestDistanceSq(sphere.pos, {a, b, c}));
    }
    sphere.r += 0.0002f;
    return sphere;
}

Sphere Sphere::OptimalEnclosingSphere(const float3 &a, const float3 &b, const float3 &c, const float3 &d) {
    const float3 ab = b - a;
    const float3 ac = c - a;
    const float3 ad = d - a;
    float s;
    float t;
    float u;
    Sphere sphere;
    if (FitSphereThroughPoints(ab, ac, ad, s, t, u) && s >= 0.f && t >= 0.f && u >= 0.f && s + t + u <= 1.f) {
        sphere.pos = a + ((s * ab + t * ac) + u * ad);
        sphere.r = std::sqrt(LargestDistanceSq(sphere.pos, {a, b, c, d}));
    } else {
        // The centre lies outside the tetrahedron: the sphere of one of its faces, if that
        // reaches the fourth point.
        const float3 faces[3][4] = {{a, b, c, d}, {a, b, d, c}, {a, c, d, b}};
        bool found = false;
        for (const auto &face : faces) {
            sphere = OptimalEnclosingSphere(face[0], face[1], face[2]);
            if (sphere.r * sphere.r >= sphere.pos.DistanceSq(face[3])) {
                found = true;
                break;
            }
        }
        if (!found) {
            sphere = OptimalEnclosingSphere(b, c, d);
            sphere.r = std::max(sphere.r, a.Distance(sphere.pos) + 0.001f);
        }
    }
    sphere.r += 0.0002f;
    return sphere;
}

Sphere Sphere::OptimalEnclosingSphere(const float3 &a, const float3 &b, const float3 &c, const float3 &d,
                                      const float3 &e, int &redundantPoint) {
    // The sphere of four of the points that also reaches the one left out.
    const float3 points[5] = {a, b, c, d, e};
    for (int i = 0; i < 4; ++i) {
        float3 kept[4];
        for (int k = 0, n = 0; k < 5; ++k)
            if (k != i) kept[n++] = points[k];
        const Sphere sphere = OptimalEnclosingSphere(kept[0], kept[1], kept[2], kept[3]);
        if (sphere.r * sphere.r + 1e-4f >= sphere.pos.DistanceSq(points[i])) {
            redundantPoint = i;
            return sphere;
        }
    }
    redundantPoint = 4;
    return OptimalEnclosingSphere(a, b, c, d);
}

Sphere detail::OptimalEnclosingSphere(const float3 *pts, int numPoints, int &restarts) {
    restarts = 0;
    if (!pts || numPoints <= 0) return Empty();
    switch (numPoints) {
        case 1: return Sphere(pts[0], 0.f);
        case 2: return Sphere::OptimalEnclosingSphere(pts[0], pts[1]);
        case 3: return Sphere::OptimalEnclosingSphere(pts[0], pts[1], pts[2]);
        case 4: return Sphere::OptimalEnclosingSphere(pts[0], pts[1], pts[2], pts[3]);
        default: break;
    }
    Sphere s = SupportSetSearch(pts, numPoints, restarts);
    // A swap that the search declines (no redundant point, or the cap) leaves the point it
    // found outside, and points scanned before a swap are not looked at again: grow over any
    // such point so that the result always encloses the whole set.
    for (int i = 0; i < numPoints; ++i)
        if (!s.Contains(pts[i])) s.Enclose(pts[i], kEncloseEpsilon);
    return s;
}

Sphere Sphere::OptimalEnclosingSphere(const float3 *pointArray, int numPoints) {
    int restarts;
    return detail::OptimalEnclosingSphere(pointArray, numPoints, restarts);
}

Sphere Sphere::FastEnclosingSphere(const float3 *pointArray, int numPoints) {
    if (!pointArray || numPoints <= 0) return Empty();
    int minx, maxx, miny, maxy, minz, maxz;
    AABB::ExtremePointsAlongAABB(pointArray, numPoints, minx, maxx, miny, maxy, minz, maxz);
    const float dx = pointArray[minx].DistanceSq(pointArray[maxx]);
    const float dy = pointArray[miny].DistanceSq(pointArray[maxy]);
    const float dz = pointArray[minz].DistanceSq(pointArray[maxz]);
    int lo = minx;
    int hi = maxx;
    if (dy > dx && dy > dz) {
        lo = miny;
        hi = maxy;
    } else if (dz > dx && dz > dy) {
        lo = minz;
        hi = maxz;
    }
    Sphere s;
    s.pos = (pointArray[lo] + pointArray[hi]) * 0.5f;
    s.r = pointArray[lo].Distance(s.pos);
    for (int i = 0; i < numPoints; ++i) s.Enclose(pointArray[i], kEncloseEpsilon);
    return s;
}

}  // namespace math
