#include "Geometry/TriangleMesh.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/geometry_oracle.h"
#include "log_capture.h"

using math::float3;
using math::Ray;
using math::TriangleMesh;

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// Triangles as AoS floats with vertexSizeBytes per vertex; padding floats hold junk.
std::vector<float> Interleaved(const std::vector<float3> &corners, int vertexSizeBytes) {
    const int stride = vertexSizeBytes / 4;
    std::vector<float> out(corners.size() * stride, -777.f);
    for (size_t i = 0; i < corners.size(); ++i) {
        out[i * stride] = corners[i].x;
        out[i * stride + 1] = corners[i].y;
        out[i * stride + 2] = corners[i].z;
    }
    return out;
}

std::vector<float3> RandomCorners(std::mt19937 &rng, int numTriangles) {
    std::uniform_real_distribution<float> u(-1.f, 1.f);
    std::vector<float3> corners;
    for (int t = 0; t < numTriangles; ++t) {
        const float3 c(u(rng), u(rng), u(rng));
        for (int k = 0; k < 3; ++k) {
            const float x = u(rng);
            const float y = u(rng);
            const float z = u(rng);
            corners.push_back(c + float3(x, y, z) * 0.4f);
        }
    }
    return corners;
}

// Moller-Trumbore in double without tolerances.
struct Hit {
    double t, u, v, det;
};

Hit ExactHit(const Ray &ray, const float3 &p0, const float3 &p1, const float3 &p2) {
    using oracle::D3;
    const D3 o(ray.pos), d(ray.dir), a(p0), e1 = D3(p1) - D3(p0), e2 = D3(p2) - D3(p0);
    const D3 q = oracle::Cross(d, e2);
    const double det = oracle::Dot(e1, q);
    const D3 s = o - a;
    const double u = oracle::Dot(s, q) / det;
    const D3 r = oracle::Cross(s, e1);
    const double v = oracle::Dot(d, r) / det;
    return {oracle::Dot(e2, r) / det, u, v, det};
}

const double kMargin = 1e-3;

// Clear of every tolerance of the float test: inside or outside by a margin, not edge-on.
bool ClearHit(const Hit &h) {
    return std::fabs(h.det) >= kMargin && h.u >= kMargin && h.v >= kMargin && h.u + h.v <= 1 - kMargin && h.t >= kMargin;
}

// A triangle that the float tolerances might count as a hit nearer than `best`.
bool MightCompete(const Hit &h, double best) {
    const bool nearInside = h.u >= -kMargin && h.v >= -kMargin && h.u + h.v <= 1 + kMargin;
    return !ClearHit(h) && (std::isnan(h.t) || (nearInside && h.t > -kMargin && h.t < best + kMargin));
}

}  // namespace

TEST(TriangleMeshTest, EmptyMeshFindsNothing) {
    const TriangleMesh mesh;
    int index = -5;
    float u = -5, v = -5;
    EXPECT_EQ(mesh.IntersectRay_TriangleIndex_UV(Ray(float3(0, 0, 0), float3(1, 0, 0)), index, u, v), kInf);
    EXPECT_EQ(index, -5);
    EXPECT_EQ(u, -5.f);
    EXPECT_EQ(math::DetectSIMDCapability(), 0);
}

TEST(TriangleMeshTest, FilledFromPolyhedra) {
    const math::AABB box(float3(0, 0, 0), float3(2, 3, 4));
    TriangleMesh mesh;
    mesh.Set(box.ToPolyhedron());
    EXPECT_EQ(mesh.numTriangles, 12);
    EXPECT_EQ(mesh.vertexSizeBytes, 12);
    // From inside, the nearest wall in front of the ray.
    EXPECT_FLOAT_EQ(mesh.IntersectRay(Ray(float3(1, 1, 1), float3(1, 0, 0))), 1.f);
    EXPECT_FLOAT_EQ(mesh.IntersectRay(Ray(float3(1, 1, 1), float3(0, 0, -1))), 1.f);
    EXPECT_FLOAT_EQ(mesh.IntersectRay(Ray(float3(1, 1, -5), float3(0, 0, 1))), 5.f);
    EXPECT_EQ(mesh.IntersectRay(Ray(float3(1, 1, -5), float3(0, 0, -1))), kInf);
    const float *before = mesh.data;
    mesh.Set(math::Polyhedron());  // no triangles: the old contents stay
    EXPECT_EQ(mesh.data, before);
    EXPECT_EQ(mesh.numTriangles, 12);
}

TEST(TriangleMeshTest, TiesKeepTheLowerIndex) {
    const std::vector<float3> corners = {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1},
                                         {0, 0, 0.5f}, {1, 0, 0.5f}, {0, 1, 0.5f}};
    TriangleMesh mesh;
    mesh.Set(Interleaved(corners, 12).data(), 3, 12);
    int index = -1;
    EXPECT_FLOAT_EQ(mesh.IntersectRay_TriangleIndex(Ray(float3(0.2f, 0.2f, 0), float3(0, 0, 1)), index), 0.5f);
    EXPECT_EQ(index, 2);
    EXPECT_FLOAT_EQ(mesh.IntersectRay_TriangleIndex(Ray(float3(0.2f, 0.2f, 0.7f), float3(0, 0, 1)), index), 0.3f);
    EXPECT_EQ(index, 0);
}

// Every layout and copy answers as the exact test does wherever no float tolerance can matter.
TEST(TriangleMeshTest, RaysMatchExactMollerTrumbore) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-1.5f, 1.5f);
    const int numTriangles = 300;
    const std::vector<float3> corners = RandomCorners(rng, numTriangles);
    int compared = 0, skipped = 0, hits = 0;
    for (int vertexSize : {12, 16, 28}) {
        SCOPED_TRACE(vertexSize);
        TriangleMesh built;
        built.Set(Interleaved(corners, vertexSize).data(), numTriangles, vertexSize);
        TriangleMesh copied(built), assigned;
        assigned = built;
        for (int r = 0; r < 400; ++r) {
            const float3 origin(u(rng), u(rng), u(rng));
            const float3 dir = float3(u(rng), u(rng), u(rng)).Normalized();
            const Ray ray(origin, dir);
            std::vector<Hit> exact;
            double best = oracle::kInf;
            int bestIndex = -1;
            for (int t = 0; t < numTriangles; ++t) {
                exact.push_back(ExactHit(ray, corners[3 * t], corners[3 * t + 1], corners[3 * t + 2]));
                if (ClearHit(exact[t]) && exact[t].t < best) {
                    best = exact[t].t;
                    bestIndex = t;
                }
            }
            bool ambiguous = false;
            for (const Hit &h : exact) ambiguous = ambiguous || MightCompete(h, best);
            if (ambiguous) {
                ++skipped;
                continue;
            }
            const Hit bestHit = bestIndex >= 0 ? exact[bestIndex] : Hit{};
            ++compared;
            hits += bestIndex >= 0;
            for (const TriangleMesh *mesh : {&built, &copied, &assigned}) {
                int index = -1;
                float hu = 0, hv = 0;
                const float d = mesh->IntersectRay_TriangleIndex_UV_CPP(ray, index, hu, hv);
                EXPECT_EQ(index, bestIndex) << r;
                if (bestIndex < 0) {
                    EXPECT_EQ(d, kInf);
                    continue;
                }
                EXPECT_NEAR(d, best, 1e-5 * (1 + best)) << r;
                EXPECT_NEAR(hu, bestHit.u, 1e-4);
                EXPECT_NEAR(hv, bestHit.v, 1e-4);
                EXPECT_EQ(mesh->IntersectRay(ray), d);
            }
        }
    }
    EXPECT_GT(compared, 3 * 400 / 2);
    EXPECT_GT(hits, compared / 4);
    EXPECT_LT(skipped, compared / 2);
}

// A vertex size below 12 bytes, a count or size of 0 or less, or a buffer too large to
// allocate leaves nothing to read.
TEST(TriangleMeshTest, BadSizesGiveAnEmptyMesh) {
    const std::vector<float> floats = Interleaved({{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}, 12);
    const Ray up(float3(0.2f, 0.2f, 0), float3(0, 0, 1));
    TriangleMesh small;
    small.Set(floats.data(), 1, 8);
    EXPECT_EQ(small.IntersectRay(up), kInf);
    struct Case {
        int numTriangles;
        int vertexSizeBytes;
    } cases[] = {{0, 12}, {-3, 12}, {1, 0}, {1, -12}, {INT_MAX, INT_MAX}};
    for (const Case &c : cases) {
        TriangleMesh mesh;
        mesh.Set(floats.data(), 1, 12);
        mesh.Set(floats.data(), c.numTriangles, c.vertexSizeBytes);
        EXPECT_EQ(mesh.numTriangles, 0) << c.numTriangles << " x " << c.vertexSizeBytes;
        EXPECT_EQ(mesh.data, nullptr);
        EXPECT_EQ(mesh.IntersectRay(up), kInf);
        const TriangleMesh copy(mesh);
        EXPECT_EQ(copy.data, nullptr);
    }
#if !defined(__SANITIZE_ADDRESS__)
    TriangleMesh huge;  // 3 * 2^60 bytes: the allocation fails
    EXPECT_EQ(huge.ReallocVertexBuffer(1 << 30, 1 << 30), nullptr);
    EXPECT_EQ(huge.numTriangles, 0);
#endif
}

TEST(TriangleMeshTest, StructureOfArraysGroups) {
    std::mt19937 rng(9);
    const int n = 10;  // one group of 8 and two triangles that do not fill another
    const std::vector<float3> corners = RandomCorners(rng, n);
    TriangleMesh mesh;
    std::string log = StderrOf([&] { mesh.SetSoA8(Interleaved(corners, 16).data(), n, 16); });
    EXPECT_EQ(WithoutStackLines(log), "Error: numTriangles % 8 == 0 in Geometry/TriangleMesh:369\n");
    EXPECT_EQ(mesh.vertexSizeBytes, 12);
    ASSERT_EQ(mesh.numTriangles, n);
    for (int t = 0; t < 8; ++t)
        for (int c = 0; c < 3; ++c) {
            const float a = corners[3 * t].At(c);
            EXPECT_EQ(mesh.data[8 * c + t], a);
            EXPECT_EQ(mesh.data[24 + 8 * c + t], corners[3 * t + 1].At(c) - a);
            EXPECT_EQ(mesh.data[48 + 8 * c + t], corners[3 * t + 2].At(c) - a);
        }
    for (int i = 72; i < 9 * n; ++i) EXPECT_EQ(mesh.data[i], 0.f) << i;

    log = StderrOf([&] { mesh.SetSoA4(Interleaved(corners, 13).data(), 8, 13); });
    EXPECT_EQ(WithoutStackLines(log), "Error: vertexSizeBytes % 4 == 0 in Geometry/TriangleMesh:319\n");
    log = StderrOf([&] { mesh.SetSoA4(Interleaved(corners, 12).data(), 8, 12); });
    EXPECT_EQ(log, "");
    for (int t = 0; t < 8; ++t)
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c) {
                const int group = t / 4, slot = t % 4;
                const float base = corners[3 * t].At(c);
                const float expected = k == 0 ? base : corners[3 * t + k].At(c) - base;
                EXPECT_EQ(mesh.data[36 * group + 12 * k + 4 * c + slot], expected);
            }
}
