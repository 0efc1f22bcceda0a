// Closest points of a polyhedron and distances to it.

#include <cmath>

#include "Geometry/LineSegment.h"
#include "Geometry/NearestPair.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"

namespace math {

namespace {

// The face point nearest to the point, over every face (the first of equals); NaN when no
// face gives one.
float3 NearestFacePoint(const Polyhedron &p, const float3 &point) {
    return NearestPair(p.f.size(), [&](size_t i, float3 &partner) {
        partner = point;
        return p.FacePolygon(static_cast<int>(i)).ClosestPoint(point);
    });
}

}  // namespace

float3 Polyhedron::ClosestPoint(const float3 &point) const {
    return Contains(point) ? point : NearestFacePoint(*this, point);
}

float3 Polyhedron::ClosestPointConvex(const float3 &point) const {
    return ContainsConvex(point, 1e-4f) ? point : NearestFacePoint(*this, point);
}

float3 Polyhedron::ClosestPoint(const LineSegment &lineSegment, float3 *lineSegmentPt) const {
    float3 best = float3::nan;
    float3 bestOnSegment = float3::nan;
    if (Contains(lineSegment.a)) {
        best = bestOnSegment = lineSegment.a;
    } else if (Contains(lineSegment.b)) {
        best = bestOnSegment = lineSegment.b;
    } else {
        best = NearestPair(f.size(), [&](size_t i, float3 &onSegment) {
            return FacePolygon(static_cast<int>(i)).ClosestPoint(lineSegment, &onSegment);
        }, &bestOnSegment);
    }
    if (lineSegmentPt) *lineSegmentPt = bestOnSegment;
    return best;
}

float3 Polyhedron::ClosestPoint(const LineSegment &lineSegment) const { return ClosestPoint(lineSegment, nullptr); }

float Polyhedron::Distance(const float3 &point) const { return ClosestPoint(point).Distance(point); }

}  // namespace math
