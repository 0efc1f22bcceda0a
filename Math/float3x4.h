#pragma once

#include <iosfwd>
#include <string>

#include "Math/EulerOrders.h"
#include "Math/MatrixProxy.h"
#include "Math/ScaleOp.h"
#include "Math/TranslateOp.h"
#include "Math/float3.h"
#include "Math/float3x3.h"

namespace math {

class float4;
class float4x4;
class LCG;
class Plane;
class Quat;

// Affine 3x4 matrix stored row by row: a 3x3 linear part and the translation in
// column 3, with an implicit last row (0, 0, 0, 1). Points map by the linear part
// plus the translation, directions by the linear part alone.
class float3x4 {
public:
    float elements[3][4];

    static const float3x4 identity;
    static const float3x4 zero;
    static const float3x4 nan;

    float3x4() = default;
    constexpr float3x4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                       float m20, float m21, float m22, float m23)
        : elements{{m00, m01, m02, m03}, {m10, m11, m12, m13}, {m20, m21, m22, m23}} {}
    explicit float3x4(const float3x3 &other);
    float3x4(const float3x3 &other, const float3 &translation);
    float3x4(const float3 &col0, const float3 &col1, const float3 &col2, const float3 &col3);
    explicit float3x4(const Quat &orientation);
    float3x4(const Quat &orientation, const float3 &translation);
    static float3x4 FromQuat(const Quat &orientation);

    float3x4 &operator=(const float3x3 &rhs);
    float3x4 &operator=(const Quat &rhs);
    void Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
             float m21, float m22, float m23);
    void Set(const float3x4 &rhs);
    void Set(const float *values);  // twelve floats row by row; a null pointer does nothing
    void Set(int row, int col, float value);
    void SetIdentity();
    void Set3x3Part(const float3x3 &rotation);
    void SetRotatePart(const Quat &orientation);
    void SetRotatePart(const float3 &axis, float angle);
    void SetRotatePartX(float angle);
    void SetRotatePartY(float angle);
    void SetRotatePartZ(float angle);

    // Rows 0..2 and columns 0..3 (column 3 the translation), compared as unsigned;
    // out of range gives row 0, m00, NaN or nothing as the matrix rules say.
    MatrixProxy<4> operator[](int row);
    MatrixProxy<4, const float> operator[](int row) const;
    float &At(int row, int col);
    float At(int row, int col) const;
    // The whole row, translation included, seen in place.
    float4 &Row(int row);
    const float4 &Row(int row) const;
    float3 &Row3(int row);
    const float3 &Row3(int row) const;
    float3 Col(int col) const;
    float3 Diagonal() const;
    float3x3 Float3x3Part() const;
    float3x3 RotatePart() const;
    float3 TranslatePart() const;
    float3 WorldX() const;
    float3 WorldY() const;
    float3 WorldZ() const;
    void SetRow(int row, float m_r0, float m_r1, float m_r2, float m_r3);
    void SetRow(int row, const float3 &rowVector, float m_r3);
    void SetRow(int row, const float4 &rowVector);
    void SetRow(int row, const float *values);
    void SetCol(int col, float m_0c, float m_1c, float m_2c);
    void SetCol(int col, const float3 &columnVector);
    void SetCol(int col, const float *values);
    // A bad row index scales row 0, unlike the 3x3 type, which then does nothing.
    void ScaleRow(int row, float scalar);
    void ScaleRow3(int row, float scalar);
    void ScaleCol(int col, float scalar);
    void SwapRows(int row1, int row2);
    void SwapColumns(int col1, int col2);

    static float3x4 RotateX(float angle);
    static float3x4 RotateY(float angle);
    static float3x4 RotateZ(float angle);
    // The rotation about a point p: T(p) R T(-p).
    static float3x4 RotateX(float angle, const float3 &pointOnAxis);
    static float3x4 RotateY(float angle, const float3 &pointOnAxis);
    static float3x4 RotateZ(float angle, const float3 &pointOnAxis);
    // Built through the quaternion, unlike SetRotatePart(axis, angle), which uses the
    // axis-angle formula; the two differ in the last bits.
    static float3x4 RotateAxisAngle(const float3 &axis, float angle);
    static float3x4 RotateAxisAngle(const float3 &axis, float angle, const float3 &pointOnAxis);
    static float3x4 RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection);
    static float3x4 RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection,
                                 const float3 &centerPoint);
    static float3x4 FromQuat(const Quat &orientation, const float3 &pointOnAxis);
    static float3x4 LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                           const float3 &worldUp);
    static float3x4 LookAt(const float3 &eyePos, const float3 &targetPos, const float3 &localForward,
                           const float3 &localUp, const float3 &worldUp);
    static float3x4 RandomRotation(LCG &lcg);

    // FromEulerXYX ... FromEulerZYX and ToEulerXYX ... ToEulerZYX, one pair per axis order:
    // Euler angles in radians, (a, b, c) about the axes of the name in turn: a zero
    // translation and the 3x3 part RotP(a) RotQ(b) RotR(c), so the rotation about the last
    // axis acts first. ToEuler reads the 3x3 part alone and returns (a, b, c) of a rotation
    // matrix; a third angle of 0 marks the ends, where the second angle is 0 or pi (pi/2 or
    // -pi/2).
    VANDREL_EULER_MEMBER_DECLARATIONS(float3x4)

    static float3x4 RandomGeneral(LCG &lcg, float minElem, float maxElem);  // twelve draws, row by row
    // T(translate) R diag(scale).
    static float3x4 FromTRS(const float3 &translate, const Quat &rotate, const float3 &scale);
    static float3x4 FromTRS(const float3 &translate, const float3x3 &rotate, const float3 &scale);
    static float3x4 FromTRS(const float3 &translate, const float3x4 &rotate, const float3 &scale);
    // Lazy operands, not matrices: they become matrices when assigned and combine with
    // matrices by products that touch only the entries they change.
    static TranslateOp Translate(float x, float y, float z);
    static TranslateOp Translate(const float3 &offset);
    static TranslateOp Translate(const float4 &offset);  // x, y, z
    static ScaleOp Scale(float x, float y, float z);
    static ScaleOp Scale(const float3 &scale);
    static ScaleOp Scale(const float4 &scale);  // x, y, z
    static ScaleOp UniformScale(float uniformScale);
    static float3x4 Scale(const float3 &scale, const float3 &scaleCenter);
    static float3x4 Scale(const float4 &scale, const float4 &scaleCenter);  // x, y, z of both
    static float3x4 UniformScale(float uniformScale, const float3 &scaleCenter);
    // diag(axis * factor): scales by the axis components, not along the axis direction.
    static float3x4 ScaleAlongAxis(const float3 &axis, float scalingFactor);
    static float3x4 ScaleAlongAxis(const float3 &axis, float scalingFactor, const float3 &scaleCenter);
    static float3x4 ShearX(float yFactor, float zFactor);
    static float3x4 ShearY(float xFactor, float zFactor);
    static float3x4 ShearZ(float xFactor, float yFactor);
    static float3x4 Mirror(const Plane &plane);
    static float3x4 OrthographicProjection(const Plane &target);
    static float3x4 OrthographicProjectionYZ();
    static float3x4 OrthographicProjectionXZ();
    static float3x4 OrthographicProjectionXY();

    float3x4 operator*(const float3x4 &rhs) const;
    float3x4 Mul(const float3x4 &rhs) const;
    float3x4 operator*(const float3x3 &rhs) const;  // translation unchanged
    float3x4 Mul(const float3x3 &rhs) const;
    float4x4 Mul(const float4x4 &rhs) const;
    float3x4 operator*(const Quat &rhs) const;
    float3x4 Mul(const Quat &rhs) const;
    float3 TransformPos(const float3 &pointVector) const;
    float3 TransformPos(float x, float y, float z) const;
    float3 MulPos(const float3 &pointVector) const;
    float3 TransformDir(const float3 &directionVector) const;
    float3 TransformDir(float x, float y, float z) const;
    float3 MulDir(const float3 &directionVector) const;
    // (row 0 . v, row 1 . v, row 2 . v, v.w) over all four columns: the translation counts
    // with weight w, so one rule serves points and directions.
    float4 Transform(const float4 &vector) const;
    float4 operator*(const float4 &vector) const;
    float4 Mul(const float4 &vector) const;
    float4 MulPos(const float4 &vector) const;
    float4 MulDir(const float4 &vector) const;
    float4 TransformDir(const float4 &vector) const;
    // In place; consecutive vectors start stride bytes apart. A null pointer or a
    // count below 1 does nothing.
    void BatchTransformPos(float3 *pointArray, int numPoints) const;
    void BatchTransformPos(float3 *pointArray, int numPoints, int stride) const;
    void BatchTransformDir(float3 *dirArray, int numVectors) const;
    void BatchTransformDir(float3 *dirArray, int numVectors, int stride) const;
    void BatchTransform(float4 *vectorArray, int numVectors) const;
    void BatchTransform(float4 *vectorArray, int numVectors, int stride) const;

    float3x4 operator*(float scalar) const;
    float3x4 operator/(float scalar) const;
    float3x4 operator+(const float3x4 &rhs) const;
    float3x4 operator-(const float3x4 &rhs) const;
    float3x4 operator-() const;
    float3x4 &operator*=(float scalar);
    float3x4 &operator/=(float scalar);
    float3x4 &operator+=(const float3x4 &rhs);
    float3x4 &operator-=(const float3x4 &rhs);

    float Determinant() const;  // of the 3x3 part
    // Gauss-Jordan elimination on the matrix extended by the row (0, 0, 0, 1); on
    // failure the matrix is left as it was.
    bool Inverse(float epsilon);
    float3x4 Inverted() const;
    bool InverseColOrthogonal();
    // Fails only for an exactly zero column 0, leaving the matrix as it was.
    bool InverseOrthogonalUniformScale();
    void InverseOrthonormal();
    void Transpose3();
    float3x4 Transposed3() const;
    bool InverseTranspose();
    float3x4 InverseTransposed() const;
    float Trace() const;
    // Columns 0..3 may take part, the translation included.
    void Orthonormalize(int c0, int c1, int c2);
    // Normalises the rows of the 3x3 part, whereas ExtractScale measures its columns.
    void RemoveScale();
    float3 ExtractScale() const;
    float3 GetScale() const;
    // A zero column gives infinities or NaNs in the rotation.
    void Decompose(float3 &translate, float3x3 &rotate, float3 &scale) const;
    void Decompose(float3 &translate, Quat &rotate, float3 &scale) const;
    void Decompose(float3 &translate, float3x4 &rotate, float3 &scale) const;

    bool IsFinite() const;
    bool IsIdentity(float epsilon) const;
    bool IsLowerTriangular(float epsilon) const;
    bool IsUpperTriangular(float epsilon) const;
    bool IsInvertible(float epsilon) const;
    bool IsSymmetric(float epsilon) const;
    bool IsSkewSymmetric(float epsilon) const;
    bool Equals(const float3x4 &other, float epsilon) const;
    bool HasUnitaryScale(float epsilon) const;
    bool HasNegativeScale() const;
    bool HasUniformScale(float epsilon) const;
    bool IsRowOrthogonal(float epsilon) const;
    bool IsColOrthogonal(float epsilon) const;
    bool IsOrthonormal(float epsilon) const;

    std::string ToString() const;
    std::string ToString2() const;
};

float3x4 operator*(const float3x3 &lhs, const float3x4 &rhs);
float3x4 operator*(const Quat &lhs, const float3x4 &rhs);
// The row vector times the matrix with its implicit row (0, 0, 0, 1).
float4 operator*(const float4 &lhs, const float3x4 &rhs);
std::ostream &operator<<(std::ostream &out, const float3x4 &rhs);

}  // namespace math
