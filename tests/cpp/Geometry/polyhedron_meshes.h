#pragma once

// Closed test solids as polyhedra, with CGAL's view of the same surface: a triangle mesh over
// the same float vertices (each face fanned from its first vertex, which every face here is
// star-shaped from), its side-of-mesh classifier and its distance tree.

#include <CGAL/AABB_face_graph_triangle_primitive.h>
#include <CGAL/AABB_traits.h>
#include <CGAL/AABB_tree.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Side_of_triangle_mesh.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/convex_hull_3.h>

#include <cmath>
#include <deque>
#include <memory>
#include <random>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Polyhedron.h"

namespace test_meshes {

using math::float3;
using math::Polyhedron;

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Mesh = CGAL::Surface_mesh<K::Point_3>;
using Primitive = CGAL::AABB_face_graph_triangle_primitive<Mesh>;
using Tree = CGAL::AABB_tree<CGAL::AABB_traits<K, Primitive>>;
using Side = CGAL::Side_of_triangle_mesh<Mesh, K>;

inline K::Point_3 ToCgal(const float3 &p) { return K::Point_3(p.x, p.y, p.z); }

inline Polyhedron Make(const std::vector<float3> &vertices, const std::vector<std::vector<int>> &faces) {
    Polyhedron p;
    p.v = vertices;
    for (const std::vector<int> &face : faces) p.f.push_back(Polyhedron::Face{face});
    return p;
}

// The same surface for CGAL, fanned from every face's first vertex.
inline Mesh ToMesh(const Polyhedron &p) {
    Mesh mesh;
    std::vector<Mesh::Vertex_index> vertex;
    for (const float3 &q : p.v) vertex.push_back(mesh.add_vertex(ToCgal(q)));
    for (const Polyhedron::Face &face : p.f)
        for (size_t k = 1; k + 1 < face.v.size(); ++k)
            mesh.add_face(vertex[face.v[0]], vertex[face.v[k]], vertex[face.v[k + 1]]);
    return mesh;
}

// A solid and what CGAL says about it. The tree refers to the mesh: a solid stays where it is made.
struct Solid {
    const char *name;
    bool convex;
    Polyhedron p;
    Mesh mesh;
    std::unique_ptr<Tree> tree;
    std::unique_ptr<Side> side;

    Solid(const char *name_, bool convex_, Polyhedron polyhedron)
        : name(name_), convex(convex_), p(std::move(polyhedron)), mesh(ToMesh(p)) {
        tree.reset(new Tree(faces(mesh).first, faces(mesh).second, mesh));
        tree->accelerate_distance_queries();
        side.reset(new Side(*tree));
    }
    Solid(const Solid &) = delete;
    Solid &operator=(const Solid &) = delete;
    bool Inside(const float3 &q) const { return (*side)(ToCgal(q)) == CGAL::ON_BOUNDED_SIDE; }
    double DistanceToSurface(const float3 &q) const { return std::sqrt(tree->squared_distance(ToCgal(q))); }
};

inline Polyhedron UnitBox() { return math::AABB(float3(0, 0, 0), float3(1, 1, 1)).ToPolyhedron(); }

// An L-shaped prism: two non-convex hexagonal caps, listed from the reflex corner, and six quads.
inline Polyhedron LPrism() {
    const float corners[6][2] = {{1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 1}};
    std::vector<float3> v;
    for (float z : {0.f, 0.75f})
        for (const auto &c : corners) v.push_back(float3(c[0], c[1], z));
    std::vector<std::vector<int>> faces = {{0, 5, 4, 3, 2, 1}, {6, 7, 8, 9, 10, 11}};
    for (int k = 0; k < 6; ++k) faces.push_back({k, (k + 1) % 6, (k + 1) % 6 + 6, k + 6});
    return Make(v, faces);
}

// A torus of n by m quads, each split in two triangles.
inline Polyhedron Torus(int n, int m, float R, float r) {
    std::vector<float3> v;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            const double a = 2 * M_PI * i / n;
            const double b = 2 * M_PI * j / m;
            v.push_back(float3(static_cast<float>((R + r * std::cos(b)) * std::cos(a)),
                               static_cast<float>((R + r * std::cos(b)) * std::sin(a)), static_cast<float>(r * std::sin(b))));
        }
    std::vector<std::vector<int>> faces;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            const int a = i * m + j, b = ((i + 1) % n) * m + j;
            const int c = ((i + 1) % n) * m + (j + 1) % m, d = i * m + (j + 1) % m;
            faces.push_back({a, b, c});
            faces.push_back({a, c, d});
        }
    return Make(v, faces);
}

// A star-shaped, non-convex sphere: rings of m vertices between two poles, the radius
// rippled, quads split in two triangles; 2 * m * (rings) faces.
inline Polyhedron BumpySphere(int rings, int m) {
    std::vector<float3> v = {float3(0, 0, 1.2f), float3(0, 0, -1.2f)};
    for (int j = 1; j <= rings; ++j)
        for (int i = 0; i < m; ++i) {
            const double theta = M_PI * j / (rings + 1);
            const double phi = 2 * M_PI * i / m;
            const double r = 1 + 0.35 * std::sin(3 * theta) * std::cos(5 * phi);
            v.push_back(float3(static_cast<float>(r * std::sin(theta) * std::cos(phi)),
                               static_cast<float>(r * std::sin(theta) * std::sin(phi)), static_cast<float>(r * std::cos(theta))));
        }
    auto at = [&](int j, int i) { return 2 + (j - 1) * m + (i % m); };
    std::vector<std::vector<int>> faces;
    for (int i = 0; i < m; ++i) {
        faces.push_back({0, at(1, i), at(1, i + 1)});
        faces.push_back({1, at(rings, i + 1), at(rings, i)});
        for (int j = 1; j < rings; ++j) {
            faces.push_back({at(j, i), at(j + 1, i), at(j + 1, i + 1)});
            faces.push_back({at(j, i), at(j + 1, i + 1), at(j, i + 1)});
        }
    }
    return Make(v, faces);
}

// CGAL's convex hull of random float points, as triangles.
inline Polyhedron RandomHull(int numPoints, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(-1.f, 1.f);
    std::vector<K::Point_3> points;
    for (int i = 0; i < numPoints; ++i) points.emplace_back(u(rng), u(rng), u(rng));
    Mesh hull;
    CGAL::convex_hull_3(points.begin(), points.end(), hull);
    std::vector<float3> v;
    for (Mesh::Vertex_index i : hull.vertices()) {
        const K::Point_3 &q = hull.point(i);
        v.push_back(float3(static_cast<float>(q.x()), static_cast<float>(q.y()), static_cast<float>(q.z())));
    }
    std::vector<std::vector<int>> faces;
    for (Mesh::Face_index fi : hull.faces()) {
        std::vector<int> face;
        for (Mesh::Vertex_index vi : vertices_around_face(hull.halfedge(fi), hull)) face.push_back(static_cast<int>(vi));
        faces.push_back(face);
    }
    return Make(v, faces);
}

// Convex and non-convex solids, with quads, pentagons and non-convex hexagons among the faces.
inline const std::deque<Solid> &TestSolids() {
    static const std::deque<Solid> solids = [] {
        std::deque<Solid> s;
        s.emplace_back("unit box", true, UnitBox());
        s.emplace_back("random hull", true, RandomHull(300, 11));
        // Outward normals, as the convex routines expect.
        s.emplace_back("dodecahedron", true, Polyhedron::Dodecahedron(float3(0.1f, -0.2f, 0.3f), 2.f, false));
        s.emplace_back("L prism", false, LPrism());
        s.emplace_back("torus", false, Torus(16, 8, 1.f, 0.4f));
        s.emplace_back("bumpy sphere", false, BumpySphere(9, 14));
        return s;
    }();
    return solids;
}

}  // namespace test_meshes
