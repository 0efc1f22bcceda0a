#pragma once

namespace math {

class Polyhedron;
class Ray;

// The vector instruction set the ray query could use: this build uses none (0).
int DetectSIMDCapability();

// A flat buffer of triangles in a 32-byte aligned allocation, queried by rays one triangle at a
// time. Array-of-structures: triangle t is three vertices of vertexSizeBytes each, x, y, z first.
// The structure-of-arrays setters group 4 or 8 triangles: per vertex and component one block of
// 4 or 8 floats, and the blocks of vertices 1 and 2 hold the edges from vertex 0. A count or
// vertex size of 0 or less, or a failed allocation, leaves the mesh empty: no data, no triangles.
class TriangleMesh {
public:
    float *data = nullptr;
    int numTriangles = 0;
    int vertexSizeBytes = 0;

    TriangleMesh() = default;
    TriangleMesh(const TriangleMesh &other);
    TriangleMesh &operator=(const TriangleMesh &other);
    ~TriangleMesh();

    // The buffer for numTris triangles of 3 vertices of vertexSizeBytes each, contents unset.
    float *ReallocVertexBuffer(int numTris, int vertexSizeBytes);
    void Set(const float *triangleMesh, int numTriangles, int vertexSizeBytes);
    void SetAoS(const float *triangleMesh, int numTriangles, int vertexSizeBytes);
    // The triangulation of the polyhedron's faces, with 12-byte vertices; a polyhedron without
    // triangles leaves the mesh as it is.
    void Set(const Polyhedron &polyhedron);
    // Triangles past the last full group are not stored; their part of the buffer is zero.
    void SetSoA4(const float *vertexData, int numTriangles, int vertexSizeBytes);
    void SetSoA8(const float *vertexData, int numTriangles, int vertexSizeBytes);

    // The nearest hit distance along the ray, or +infinity. The outputs are written only by a
    // hit nearer than every earlier one; ties keep the lower index. The buffer is read as
    // array-of-structures with a stride of vertexSizeBytes, so a vertex size below 12 bytes
    // finds nothing.
    float IntersectRay_TriangleIndex_UV_CPP(const Ray &ray, int &outTriangleIndex, float &outU, float &outV) const;
    float IntersectRay_TriangleIndex_UV(const Ray &ray, int &outTriangleIndex, float &outU, float &outV) const;
    float IntersectRay_TriangleIndex(const Ray &ray, int &outTriangleIndex) const;
    float IntersectRay(const Ray &ray) const;

private:
    void SetSoA(const float *vertexData, int numTriangles, int vertexSizeBytes, int groupSize);
};

}  // namespace math
