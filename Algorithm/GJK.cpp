#include "Algorithm/GJK.h"

#include "Math/Assume.h"

namespace math {

namespace {

// The direction from the segment (p, p + edge) towards the origin, perpendicular to it.
float3 TowardsOriginFrom(const float3 &edge, const float3 &p) { return edge.Cross(edge.Cross(p)); }

float3 UpdateSegment(float3 *s, int &n) {
    const float3 d01 = s[1] - s[0];
    const float3 dir = TowardsOriginFrom(d01, s[1]);
    // |dir| is |d01|^2 times the distance of the origin from the line: comparing with |d01|^4
    // makes the bound a distance of about 3.2e-4, whatever the segment's length.
    const float lengthSq = d01.LengthSq();
    if (dir.LengthSq() > 1e-7f * (lengthSq * lengthSq)) return dir;
    n = 0;
    return float3::zero;
}

float3 UpdateTriangle(float3 *s, int &n) {
    const float3 d02 = s[2] - s[0];
    const float3 d12 = s[2] - s[1];
    const float3 triNormal = d02.Cross(d12);
    if (s[1].Dot(d12.Cross(triNormal)) < 0.f) {
        const float3 dir = TowardsOriginFrom(d12, s[1]);
        s[0] = s[1];
        s[1] = s[2];
        n = 2;
        return dir;
    }
    if (s[0].Dot(triNormal.Cross(d02)) < 0.f) {
        s[1] = s[2];
        n = 2;
        return TowardsOriginFrom(d02, s[0]);
    }
    const float t = triNormal.Dot(s[2]);
    if (t * t <= triNormal.LengthSq() * 1e-6f) {  // the origin lies in the triangle's plane
        n = 0;
        return float3::zero;
    }
    if (t <= 0.f) return triNormal;
    // A NaN t comes here too: the shapes' non-finite points end the search before it matters.
    const float3 s0 = s[0];
    s[0] = s[1];
    s[1] = s0;
    return -triNormal;
}

float3 UpdateTetrahedron(float3 *s, int &n) {
    // A NaN product logs nothing: only a positive one breaks the expected winding.
    const float3 d01 = s[1] - s[0];
    const float3 d02 = s[2] - s[0];
    const float3 d03 = s[3] - s[0];
    const float3 d12 = s[2] - s[1];
    const float3 d13 = s[3] - s[1];
    const float3 d23 = s[3] - s[2];
    const float3 tri013Normal = d01.Cross(d03);
    const float3 tri023Normal = d03.Cross(d02);
    MATH_ASSUME(!(tri013Normal.Dot(d02) > 0.f), "Dot(tri013Normal, d02) <= 0.f", "Algorithm/GJK", 248);
    MATH_ASSUME(!(tri023Normal.Dot(d01) > 0.f), "Dot(tri023Normal, d01) <= 0.f", "Algorithm/GJK", 249);
    const float x1 = tri013Normal.Cross(d03).Dot(s[3]);
    const float x2 = d03.Cross(tri023Normal).Dot(s[3]);
    if (x1 <= 0.f && x2 <= 0.f) {
        s[1] = s[3];
        n = 2;
        return TowardsOriginFrom(d03, s[3]);
    }
    const float3 tri123Normal = d12.Cross(d13);
    MATH_ASSUME(!(tri123Normal.Dot(-d02) > 0.f), "Dot(tri123Normal, -d02) <= 0.f", "Algorithm/GJK", 270);
    const float x3 = d13.Cross(tri013Normal).Dot(s[3]);
    const float x4 = tri123Normal.Cross(d13).Dot(s[3]);
    if (x3 <= 0.f && x4 <= 0.f) {
        s[0] = s[1];
        s[1] = s[3];
        n = 2;
        return TowardsOriginFrom(d13, s[3]);
    }
    const float x5 = tri023Normal.Cross(d23).Dot(s[3]);
    const float x6 = d23.Cross(tri123Normal).Dot(s[3]);
    if (x5 <= 0.f && x6 <= 0.f) {
        s[0] = s[2];
        s[1] = s[3];
        n = 2;
        return TowardsOriginFrom(d23, s[3]);
    }
    if (x1 >= 0.f && x3 >= 0.f && s[3].Dot(tri013Normal) < 0.f) {
        s[2] = s[3];
        n = 3;
        return tri013Normal;
    }
    if (x2 >= 0.f && x5 >= 0.f && s[3].Dot(tri023Normal) < 0.f) {
        s[1] = s[0];
        s[0] = s[2];
        s[2] = s[3];
        n = 3;
        return tri023Normal;
    }
    if (x6 >= 0.f && x4 >= 0.f && s[3].Dot(tri123Normal) < 0.f) {
        s[0] = s[1];
        s[1] = s[2];
        s[2] = s[3];
        n = 3;
        return tri123Normal;
    }
    n = 0;  // the origin is inside the tetrahedron
    return float3::zero;
}

}  // namespace

float3 UpdateSimplex(float3 *s, int &n) {
    if (n == 2) return UpdateSegment(s, n);
    if (n == 3) return UpdateTriangle(s, n);
    return UpdateTetrahedron(s, n);
}

}  // namespace math
