#include "Geometry/TriangleMesh.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/SSEMath.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// The bytes of numTris triangles, or 0 when a count is not positive or the size overflows.
size_t BufferBytes(int numTris, int vertexSizeBytes) {
    if (numTris <= 0 || vertexSizeBytes <= 0) return 0;
    const uint64_t bytes = static_cast<uint64_t>(numTris) * static_cast<uint64_t>(vertexSizeBytes) * 3u;
    return bytes <= SIZE_MAX / 2 ? static_cast<size_t>(bytes) : 0;
}

}  // namespace

int DetectSIMDCapability() { return 0; }

TriangleMesh::TriangleMesh(const TriangleMesh &other) { *this = other; }

TriangleMesh &TriangleMesh::operator=(const TriangleMesh &other) {
    if (this == &other) return *this;
    if (ReallocVertexBuffer(other.numTriangles, other.vertexSizeBytes))
        std::memcpy(data, other.data, BufferBytes(numTriangles, vertexSizeBytes));
    return *this;
}

TriangleMesh::~TriangleMesh() { AlignedFree(data); }

float *TriangleMesh::ReallocVertexBuffer(int numTris, int vertexSizeBytes_) {
    AlignedFree(data);
    data = nullptr;
    numTriangles = 0;
    vertexSizeBytes = vertexSizeBytes_;
    const size_t bytes = BufferBytes(numTris, vertexSizeBytes_);
    if (bytes == 0) return nullptr;
    data = static_cast<float *>(AlignedMalloc(bytes, 32));
    if (data) numTriangles = numTris;
    return data;
}

void TriangleMesh::Set(const float *triangleMesh, int numTriangles_, int vertexSizeBytes_) {
    SetAoS(triangleMesh, numTriangles_, vertexSizeBytes_);
}

void TriangleMesh::SetAoS(const float *triangleMesh, int numTriangles_, int vertexSizeBytes_) {
    if (!ReallocVertexBuffer(numTriangles_, vertexSizeBytes_)) return;
    const size_t bytes = BufferBytes(numTriangles, vertexSizeBytes);
    if (triangleMesh)
        std::memcpy(data, triangleMesh, bytes);
    else
        std::memset(data, 0, bytes);  // nothing to copy: no indeterminate floats either
}

// An empty triangulation keeps the old contents.
void TriangleMesh::Set(const Polyhedron &polyhedron) {
    const std::vector<Triangle> triangles = polyhedron.Triangulate();
    if (triangles.empty()) return;
    if (!ReallocVertexBuffer(static_cast<int>(triangles.size()), 12)) return;
    for (size_t t = 0; t < triangles.size(); ++t) {
        const float3 corners[3] = {triangles[t].a, triangles[t].b, triangles[t].c};
        std::memcpy(data + 9 * t, corners, sizeof corners);
    }
}

void TriangleMesh::SetSoA4(const float *vertexData, int numTriangles_, int vertexSizeBytes_) {
    MATH_ASSUME(vertexSizeBytes_ % 4 == 0, "vertexSizeBytes % 4 == 0", "Geometry/TriangleMesh", 319);
    MATH_ASSUME(numTriangles_ % 4 == 0, "numTriangles % 4 == 0", "Geometry/TriangleMesh", 322);
    SetSoA(vertexData, numTriangles_, vertexSizeBytes_, 4);
}

void TriangleMesh::SetSoA8(const float *vertexData, int numTriangles_, int vertexSizeBytes_) {
    MATH_ASSUME(vertexSizeBytes_ % 4 == 0, "vertexSizeBytes % 4 == 0", "Geometry/TriangleMesh", 366);
    MATH_ASSUME(numTriangles_ % 8 == 0, "numTriangles % 8 == 0", "Geometry/TriangleMesh", 369);
    SetSoA(vertexData, numTriangles_, vertexSizeBytes_, 8);
}

// Block (k, c) of a group holds component c of vertex k of the group's triangles, at float
// offset (3k + c) * groupSize; vertices 1 and 2 then become the edges from vertex 0.
void TriangleMesh::SetSoA(const float *vertexData, int numTriangles_, int vertexSizeBytes_, int groupSize) {
    if (!ReallocVertexBuffer(numTriangles_, 12)) return;
    std::memset(data, 0, BufferBytes(numTriangles, 12));
    const int stride = vertexSizeBytes_ / 4;
    if (!vertexData || stride < 3) return;
    const int groupFloats = 9 * groupSize;
    for (int group = 0; group + groupSize <= numTriangles; group += groupSize) {
        float *out = data + (group / groupSize) * groupFloats;
        for (int t = 0; t < groupSize; ++t)
            for (int k = 0; k < 3; ++k)
                for (int c = 0; c < 3; ++c)
                    out[(3 * k + c) * groupSize + t] = vertexData[static_cast<size_t>(3 * (group + t) + k) * stride + c];
        for (int e = 3 * groupSize; e < groupFloats; ++e) out[e] -= out[e % (3 * groupSize)];
    }
}

float TriangleMesh::IntersectRay_TriangleIndex_UV_CPP(const Ray &ray, int &outTriangleIndex, float &outU,
                                                      float &outV) const {
    if (numTriangles < 1) return kInf;
    const int stride = vertexSizeBytes / 4;
    if (stride < 3) return kInf;
    float best = kInf;
    for (int i = 0; i < numTriangles; ++i) {
        const float *tri = data + static_cast<size_t>(3 * i) * stride;
        const float3 p0(tri);
        const float3 p1(tri + stride);
        const float3 p2(tri + 2 * stride);
        float u;
        float v;
        const float t = Triangle::IntersectLineTri(ray.pos, ray.dir, p0, p1, p2, u, v);
        if (t >= 0.f && t < best) {
            best = t;
            outU = u;
            outV = v;
            outTriangleIndex = i;
        }
    }
    return best;
}

float TriangleMesh::IntersectRay_TriangleIndex_UV(const Ray &ray, int &outTriangleIndex, float &outU,
                                                  float &outV) const {
    return IntersectRay_TriangleIndex_UV_CPP(ray, outTriangleIndex, outU, outV);
}

float TriangleMesh::IntersectRay_TriangleIndex(const Ray &ray, int &outTriangleIndex) const {
    float u;
    float v;
    return IntersectRay_TriangleIndex_UV_CPP(ray, outTriangleIndex, u, v);
}

float TriangleMesh::IntersectRay(const Ray &ray) const {
    int index;
    return IntersectRay_TriangleIndex(ray, index);
}

}  // namespace math
