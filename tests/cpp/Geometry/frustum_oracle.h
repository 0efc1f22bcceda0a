#pragma once

// The frustum in double precision for the oracle tests: its six face planes from the corners
// (a brute-force plane test), and its solid as six tetrahedra for CGAL's exact predicates.

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <algorithm>
#include <array>
#include <vector>

#include "Geometry/Frustum.h"
#include "geometry_oracle.h"

namespace frustum_oracle {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Point = Kernel::Point_3;
using Tetrahedron = Kernel::Tetrahedron_3;
using Triangle = Kernel::Triangle_3;
using oracle::D3;

inline Point P(const D3 &v) { return Point(v.x, v.y, v.z); }
inline Point P(const math::float3 &v) { return Point(v.x, v.y, v.z); }

// The quads of a shape with eight corners numbered as the boxes and the frustum number them.
inline constexpr int kQuads[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 2, 3, 1}, {4, 5, 7, 6}, {7, 3, 2, 6}, {0, 1, 5, 4}};

// Eight corners numbered as the boxes number them (bit 4, 2, 1 for the three directions).
struct Hexahedron {
    std::array<D3, 8> corners;

    template <typename Shape>
    static Hexahedron Of(const Shape &shape) {
        Hexahedron h;
        for (int i = 0; i < 8; ++i) h.corners[i] = D3(shape.CornerPoint(i));
        return h;
    }

    D3 Center() const {
        D3 sum;
        for (const D3 &c : corners) sum = sum + c;
        return sum * (1.0 / 8);
    }

    // The corners moved away from the centre by the factor: above 1 grows, below 1 shrinks.
    Hexahedron Scaled(double factor) const {
        Hexahedron h;
        const D3 c = Center();
        for (int i = 0; i < 8; ++i) h.corners[i] = c + (corners[i] - c) * factor;
        return h;
    }

    // The largest signed distance to the six face planes, each oriented away from the centre:
    // negative inside, positive outside.
    double MaxSignedDistance(const D3 &p) const {
        const D3 c = Center();
        double worst = -oracle::kInf;
        for (const auto &q : kQuads) {
            const D3 a = corners[q[0]];
            D3 n = oracle::Cross(corners[q[1]] - a, corners[q[2]] - a);
            n = n * (1.0 / oracle::Length(n));
            if (oracle::Dot(n, c - a) > 0) n = n * -1.0;
            worst = std::max(worst, oracle::Dot(n, p - a));
        }
        return worst;
    }

    // Six tetrahedra around the diagonal from corner 0 to corner 7, one per order of the three
    // directions: they tile any projective image of a cube, boxes and frusta alike.
    std::vector<Tetrahedron> Tetrahedra() const {
        std::vector<Tetrahedron> tets;
        const int bits[3] = {4, 2, 1};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (j != i) {
                    const int first = bits[i];
                    const int second = first | bits[j];
                    tets.emplace_back(P(corners[0]), P(corners[first]), P(corners[second]), P(corners[7]));
                }
        return tets;
    }

    // Two triangles per face.
    std::vector<Triangle> Surface() const {
        std::vector<Triangle> triangles;
        for (const auto &q : kQuads) {
            triangles.emplace_back(P(corners[q[0]]), P(corners[q[1]]), P(corners[q[2]]));
            triangles.emplace_back(P(corners[q[0]]), P(corners[q[2]]), P(corners[q[3]]));
        }
        return triangles;
    }

    double Volume() const {
        double volume = 0;
        for (const Tetrahedron &t : Tetrahedra()) volume += std::abs(CGAL::to_double(t.volume()));
        return volume;
    }
};

// Whether some tetrahedron of the solid meets the object (anything CGAL tests against a
// tetrahedron).
template <typename Object>
bool SolidMeets(const std::vector<Tetrahedron> &solid, const Object &object) {
    for (const Tetrahedron &t : solid)
        if (CGAL::do_intersect(t, object)) return true;
    return false;
}

inline bool SolidsMeet(const std::vector<Tetrahedron> &a, const std::vector<Tetrahedron> &b) {
    for (const Tetrahedron &t : b)
        if (SolidMeets(a, t)) return true;
    return false;
}

}  // namespace frustum_oracle
