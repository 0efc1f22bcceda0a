#pragma once

#include <iosfwd>
#include <string>

#include "Math/EulerOrders.h"
#include "Math/MatrixProxy.h"
#include "Math/ScaleOp.h"
#include "Math/float3.h"

namespace math {

class float3x4;
class float4;
class float4x4;
class LCG;
class Plane;
class Quat;

// 3x3 float matrix stored row by row; it multiplies column vectors from the left,
// so column c is the image of local axis c.
class float3x3 {
public:
    float elements[3][3];

    static const float3x3 identity;
    static const float3x3 zero;
    static const float3x3 nan;

    float3x3() = default;
    constexpr float3x3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                       float m22)
        : elements{{m00, m01, m02}, {m10, m11, m12}, {m20, m21, m22}} {}
    float3x3(const float3 &col0, const float3 &col1, const float3 &col2);
    explicit float3x3(const Quat &orientation);

    float3x3 &operator=(const Quat &orientation);
    static float3x3 FromQuat(const Quat &orientation);

    void Set(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22);
    void Set(const float3x3 &rhs);
    void Set(const float *values);
    void Set(int row, int col, float value);
    void SetIdentity();
    void SetRotatePart(const Quat &orientation);

    // Row and element access; indices are compared as unsigned, and an index out of
    // range falls back to row 0, element m00 or NaN.
    MatrixProxy<3> operator[](int row);
    MatrixProxy<3, const float> operator[](int row) const;
    float &At(int row, int col);
    float At(int row, int col) const;
    float3 &Row(int row);
    const float3 &Row(int row) const;
    float3 Col(int col) const;
    float3 Diagonal() const;
    float3 WorldX() const;
    float3 WorldY() const;
    float3 WorldZ() const;

    void SetRow(int row, float x, float y, float z);
    void SetRow(int row, const float3 &values);
    void SetRow(int row, const float *values);
    void SetCol(int col, float x, float y, float z);
    void SetCol(int col, const float3 &values);
    void SetCol(int col, const float *values);
    void ScaleRow(int row, float scalar);
    void ScaleCol(int col, float scalar);
    void SwapRows(int row1, int row2);
    void SwapColumns(int col1, int col2);

    static float3x3 RotateX(float angle);
    static float3x3 RotateY(float angle);
    static float3x3 RotateZ(float angle);
    void SetRotatePartX(float angle);
    void SetRotatePartY(float angle);
    void SetRotatePartZ(float angle);
    static float3x3 RotateAxisAngle(const float3 &axis, float angle);
    void SetRotatePart(const float3 &axis, float angle);
    static float3x3 RotateFromTo(const float3 &from, const float3 &to);
    // Turns localForward onto targetDirection and localUp toward worldUp. Parallel
    // inputs are not handled: their cross products normalise to (1, 0, 0).
    static float3x3 LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                           const float3 &worldUp);
    static float3x3 RandomRotation(LCG &lcg);

    // FromEulerXYX ... FromEulerZYX and ToEulerXYX ... ToEulerZYX, one pair per axis order:
    // Euler angles in radians, (a, b, c) about the axes of the name in turn: the 3x3 part
    // becomes RotP(a) RotQ(b) RotR(c), so the rotation about the last axis acts first.
    // ToEuler reads the 3x3 part alone and returns (a, b, c) of a rotation matrix; a third
    // angle of 0 marks the ends, where the second angle is 0 or pi (pi/2 or -pi/2).
    VANDREL_EULER_MEMBER_DECLARATIONS(float3x3)

    // Nine draws in [lo, hi), stored row by row in draw order.
    static float3x3 RandomGeneral(LCG &lcg, float lo, float hi);
    // diag(axis * factor): scales by the axis components, not along the axis direction.
    static float3x3 ScaleAlongAxis(const float3 &axis, float scalingFactor);
    // R diag(scale): column j of the rotation times scale_j.
    static float3x3 FromRS(const Quat &rotate, const float3 &scale);
    static float3x3 FromRS(const float3x3 &rotate, const float3 &scale);
    // Lazy scale operands, not matrices; they convert to diag(scale).
    static ScaleOp Scale(float x, float y, float z);
    static ScaleOp Scale(const float3 &scale);
    static ScaleOp UniformScale(float uniformScale);
    static float3x3 ShearX(float yFactor, float zFactor);
    static float3x3 ShearY(float xFactor, float zFactor);
    static float3x3 ShearZ(float xFactor, float yFactor);
    // The normal is taken as unit length; the plane's offset is not used.
    static float3x3 Mirror(const Plane &plane);
    static float3x3 OrthographicProjection(const Plane &target);
    static float3x3 OrthographicProjectionYZ();
    static float3x3 OrthographicProjectionXZ();
    static float3x3 OrthographicProjectionXY();

    float3x3 operator*(const float3x3 &rhs) const;
    float3x3 Mul(const float3x3 &rhs) const;
    float3x3 operator*(const Quat &rhs) const;
    float3x3 Mul(const Quat &rhs) const;
    float3x4 Mul(const float3x4 &rhs) const;  // this with zero translation, times rhs
    float4x4 Mul(const float4x4 &rhs) const;
    float3 Transform(const float3 &vector) const;
    float3 Transform(float x, float y, float z) const;
    float3 operator*(const float3 &vector) const;
    float3 Mul(const float3 &vector) const;
    float4 Transform(const float4 &vector) const;  // x, y, z transformed, w kept
    float4 operator*(const float4 &vector) const;
    // The row vector times this matrix.
    float3 TransformLeft(const float3 &vector) const;
    // Replaces count vectors in place by M v; consecutive vectors start stride bytes
    // apart. A null pointer or a count below 1 does nothing.
    void BatchTransform(float3 *vectors, int count) const;
    void BatchTransform(float3 *vectors, int count, int stride) const;
    void BatchTransform(float4 *vectors, int count) const;
    void BatchTransform(float4 *vectors, int count, int stride) const;

    float3x3 operator*(float scalar) const;
    float3x3 operator/(float scalar) const;
    float3x3 operator+(const float3x3 &rhs) const;
    float3x3 operator-(const float3x3 &rhs) const;
    float3x3 operator-() const;
    float3x3 &operator*=(float scalar);
    float3x3 &operator/=(float scalar);
    float3x3 &operator+=(const float3x3 &rhs);
    float3x3 &operator-=(const float3x3 &rhs);

    float Determinant() const;
    float DeterminantSymmetric() const;
    // Gauss-Jordan elimination; on failure the matrix is left as it was.
    bool Inverse(float epsilon);
    float3x3 Inverted() const;
    bool InverseFast(float epsilon);
    // SolveAxb and InverseSymmetric compare with an absolute 1e-4, so a
    // well-conditioned but tiny matrix fails too. x is written only on success.
    bool SolveAxb(float3 b, float3 &x) const;
    // Reads only the upper triangle.
    bool InverseSymmetric();
    bool InverseColOrthogonal();
    bool InverseOrthogonalUniformScale();
    void InverseOrthonormal();
    void Transpose();
    float3x3 Transposed() const;
    bool InverseTranspose();
    float3x3 InverseTransposed() const;
    float Trace() const;
    void Orthonormalize(int c0, int c1, int c2);
    // Normalises the rows, whereas ExtractScale measures the columns.
    void RemoveScale();
    float3 ExtractScale() const;
    float3 GetScale() const;
    void Decompose(float3x3 &rotate, float3 &scale) const;
    void Decompose(Quat &rotate, float3 &scale) const;
    Quat ToQuat() const;

    bool IsFinite() const;
    bool IsIdentity(float epsilon) const;
    bool IsLowerTriangular(float epsilon) const;
    bool IsUpperTriangular(float epsilon) const;
    bool IsInvertible(float epsilon) const;
    bool IsSymmetric(float epsilon) const;
    bool IsSkewSymmetric(float epsilon) const;
    bool Equals(const float3x3 &other, float epsilon) const;
    bool HasUnitaryScale(float epsilon) const;
    bool HasNegativeScale() const;
    bool HasUniformScale(float epsilon) const;
    bool IsRowOrthogonal(float epsilon) const;
    bool IsColOrthogonal(float epsilon) const;
    bool IsOrthonormal(float epsilon) const;

    std::string ToString() const;
    // Lists the columns; the text has no closing parenthesis after the last group.
    std::string ToString2() const;
};

float3 operator*(const float3 &lhs, const float3x3 &rhs);
float4 operator*(const float4 &lhs, const float3x3 &rhs);  // the row vector's x, y, z; w kept
float3x3 operator*(const Quat &lhs, const float3x3 &rhs);
std::ostream &operator<<(std::ostream &out, const float3x3 &rhs);

}  // namespace math
