#pragma once

#include <iosfwd>
#include <string>

#include "Math/EulerOrders.h"
#include "Math/MatrixProxy.h"
#include "Math/ScaleOp.h"
#include "Math/TranslateOp.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"

namespace math {

class LCG;
class Plane;
class Quat;

// The general transform: a 4x4 float matrix stored row by row that multiplies column
// vectors from the left. Columns 0 to 2 of rows 0 to 2 are the images of the local axes,
// column 3 of rows 0 to 2 the translation, and row 3 the projective row, (0, 0, 0, 1) for
// every affine matrix. Rows can be used in place as float4, float3 and, rows 0 to 2
// together, as a float3x4.
class float4x4 {
public:
    float elements[4][4];

    static const float4x4 identity;
    static const float4x4 zero;
    static const float4x4 nan;  // quiet NaNs, bit pattern 0x7FC00000

    float4x4() = default;
    constexpr float4x4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                       float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33)
        : elements{{m00, m01, m02, m03}, {m10, m11, m12, m13}, {m20, m21, m22, m23}, {m30, m31, m32, m33}} {}
    explicit float4x4(const float3x3 &other);  // zero translation, row 3 (0, 0, 0, 1)
    explicit float4x4(const float3x4 &other);  // row 3 (0, 0, 0, 1)
    float4x4(const float4 &col0, const float4 &col1, const float4 &col2, const float4 &col3);
    explicit float4x4(const Quat &orientation);
    float4x4(const Quat &orientation, const float3 &translation);

    float4x4 &operator=(const float3x3 &rhs);
    float4x4 &operator=(const float3x4 &rhs);
    float4x4 &operator=(const Quat &rhs);
    float4x4 &operator=(const TranslateOp &rhs);

    // Rows and columns 0..3, compared as unsigned; out of range gives row 0, m00, NaN or
    // nothing as the matrix rules say.
    MatrixProxy<4> operator[](int row);
    MatrixProxy<4, const float> operator[](int row) const;
    float &At(int row, int col);
    float At(int row, int col) const;
    float4 &Row(int row);
    const float4 &Row(int row) const;
    float3 &Row3(int row);
    const float3 &Row3(int row) const;
    float4 Col(int col) const;
    float3 Col3(int col) const;
    float4 Diagonal() const;
    float3 Diagonal3() const;
    float3 WorldX() const;
    float3 WorldY() const;
    float3 WorldZ() const;
    float3 TranslatePart() const;
    float3x3 Float3x3Part() const;
    float3x3 RotatePart() const;
    // Rows 0 to 2 in place, not a copy.
    float3x4 &Float3x4Part();
    const float3x4 &Float3x4Part() const;

    void Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
             float m21, float m22, float m23, float m30, float m31, float m32, float m33);
    void Set(const float4x4 &rhs);
    void Set(const float *values);  // sixteen floats row by row; a null pointer does nothing
    void Set(int row, int col, float value);
    void SetIdentity();
    void Set3x3Part(const float3x3 &part);
    void Set3x4Part(const float3x4 &part);
    void SetTranslatePart(const float3 &offset);
    void SetTranslatePart(float x, float y, float z);
    void SetTranslatePart(const float4 &offset);  // x, y, z
    void SetRotatePart(const Quat &orientation);
    void SetRotatePart(const float3 &axis, float angle);
    void SetRotatePartX(float angle);
    void SetRotatePartY(float angle);
    void SetRotatePartZ(float angle);
    void SetRow(int row, float m_r0, float m_r1, float m_r2, float m_r3);
    void SetRow(int row, const float3 &rowVector, float m_r3);
    void SetRow(int row, const float4 &rowVector);
    void SetRow(int row, const float *values);
    void SetRow3(int row, const float3 &rowVector);
    void SetRow3(int row, float m_r0, float m_r1, float m_r2);
    void SetRow3(int row, const float *values);
    void SetCol(int col, const float4 &columnVector);
    void SetCol(int col, const float3 &columnVector, float m_3c);
    void SetCol(int col, float m_0c, float m_1c, float m_2c, float m_3c);
    void SetCol(int col, const float *values);
    void SetCol3(int col, const float3 &columnVector);
    void SetCol3(int col, float m_0c, float m_1c, float m_2c);
    void SetCol3(int col, const float *values);

    // A bad row index scales row 0, the first-element rule of the matrix types.
    void ScaleRow(int row, float scalar);
    void ScaleRow3(int row, float scalar);
    void ScaleCol(int col, float scalar);
    void ScaleCol3(int col, float scalar);
    void SwapRows(int row1, int row2);
    void SwapColumns(int col1, int col2);
    void SwapRows3(int row1, int row2);
    void SwapColumns3(int col1, int col2);

    // Lazy operands, not matrices: they become matrices when assigned and combine with
    // matrices by products that touch only the entries they change.
    static TranslateOp Translate(float x, float y, float z);
    static TranslateOp Translate(const float3 &offset);
    static ScaleOp Scale(float x, float y, float z);
    static ScaleOp Scale(const float3 &scale);
    static ScaleOp UniformScale(float uniformScale);

    // The builders with a point form X about it, T(p) X T(-p).
    static float4x4 RotateX(float angle);
    static float4x4 RotateY(float angle);
    static float4x4 RotateZ(float angle);
    static float4x4 RotateX(float angle, const float3 &pointOnAxis);
    static float4x4 RotateY(float angle, const float3 &pointOnAxis);
    static float4x4 RotateZ(float angle, const float3 &pointOnAxis);
    static float4x4 RotateAxisAngle(const float3 &axis, float angle);
    static float4x4 RotateAxisAngle(const float3 &axis, float angle, const float3 &pointOnAxis);
    // Parallel or equal directions give the half turn about X, which callers rely on.
    static float4x4 RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection);
    static float4x4 RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection,
                                 const float3 &centerPoint);
    // Turns localForward onto targetDirection and localUp toward worldUp.
    static float4x4 LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                           const float3 &worldUp);
    static float4x4 RotateFromTo(const float3 &localForward, const float3 &targetDirection,
                                 const float3 &localUp, const float3 &worldUp);
    static float4x4 RotateFromTo(const float3 &localForward, const float3 &targetDirection,
                                 const float3 &localUp, const float3 &worldUp, const float3 &centerPoint);
    // Looks from the eye towards the target and puts the eye in the translation.
    static float4x4 LookAt(const float3 &eyePos, const float3 &targetPos, const float3 &localForward,
                           const float3 &localUp, const float3 &worldUp);
    static float4x4 FromQuat(const Quat &orientation);
    static float4x4 FromQuat(const Quat &orientation, const float3 &pointOnAxis);

    // FromEulerXYX ... FromEulerZYX and ToEulerXYX ... ToEulerZYX, one pair per axis order:
    // Euler angles in radians, (a, b, c) about the axes of the name in turn: a zero
    // translation, row 3 (0, 0, 0, 1) and the 3x3 part RotP(a) RotQ(b) RotR(c), so the
    // rotation about the last axis acts first. ToEuler reads the 3x3 part alone and returns
    // (a, b, c) of a rotation matrix; a third angle of 0 marks the ends, where the second
    // angle is 0 or pi (pi/2 or -pi/2).
    VANDREL_EULER_MEMBER_DECLARATIONS(float4x4)

    // T(translate) R diag(scale); a 4x4 rotate keeps its own translation and row 3, so the
    // result is the true product only when rotate is affine.
    static float4x4 FromTRS(const float3 &translate, const Quat &rotate, const float3 &scale);
    static float4x4 FromTRS(const float3 &translate, const float3x3 &rotate, const float3 &scale);
    static float4x4 FromTRS(const float3 &translate, const float3x4 &rotate, const float3 &scale);
    static float4x4 FromTRS(const float3 &translate, const float4x4 &rotate, const float3 &scale);
    static float4x4 Scale(const float3 &scale, const float3 &scaleCenter);
    static float4x4 UniformScale(float uniformScale, const float3 &scaleCenter);
    // diag(axis * factor): scales by the axis components, not along the axis direction.
    static float4x4 ScaleAlongAxis(const float3 &axis, float scalingFactor);
    static float4x4 ScaleAlongAxis(const float3 &axis, float scalingFactor, const float3 &scaleCenter);
    static float4x4 ShearX(float yFactor, float zFactor);
    static float4x4 ShearY(float xFactor, float zFactor);
    static float4x4 ShearZ(float xFactor, float yFactor);
    static float4x4 Mirror(const Plane &plane);
    static float4x4 OrthographicProjection(const Plane &target);
    static float4x4 OrthographicProjectionYZ();
    static float4x4 OrthographicProjectionXZ();
    static float4x4 OrthographicProjectionXY();
    static float4x4 RandomGeneral(LCG &lcg, float minElem, float maxElem);  // sixteen draws, row by row

    // Projections from near and far plane distances and the viewport's width and height:
    // depth maps to [0, 1] for D3D and to [-1, 1] for OpenGL, LH looks down +Z and RH down
    // -Z. The arguments are not checked: n == f or a zero size gives infinities or NaNs.
    static float4x4 D3DOrthoProjLH(float n, float f, float h, float v);
    static float4x4 D3DOrthoProjRH(float n, float f, float h, float v);
    static float4x4 D3DPerspProjLH(float n, float f, float h, float v);
    static float4x4 D3DPerspProjRH(float n, float f, float h, float v);
    static float4x4 OpenGLOrthoProjLH(float n, float f, float h, float v);
    static float4x4 OpenGLOrthoProjRH(float n, float f, float h, float v);
    static float4x4 OpenGLPerspProjLH(float n, float f, float h, float v);
    static float4x4 OpenGLPerspProjRH(float n, float f, float h, float v);

    float4x4 operator*(const float4x4 &rhs) const;
    float4x4 Mul(const float4x4 &rhs) const;
    float4x4 operator*(const float3x4 &rhs) const;  // rhs extended by the row (0, 0, 0, 1)
    float4x4 Mul(const float3x4 &rhs) const;
    float4x4 operator*(const float3x3 &rhs) const;  // column 3 unchanged
    float4x4 Mul(const float3x3 &rhs) const;
    float4x4 operator*(const Quat &rhs) const;
    float4x4 Mul(const Quat &rhs) const;
    // Rows 0 to 2 only: nothing is divided by w.
    float3 TransformPos(const float3 &pointVector) const;
    float3 TransformPos(float x, float y, float z) const;
    float3 MulPos(const float3 &pointVector) const;
    float3 TransformDir(const float3 &directionVector) const;
    float3 TransformDir(float x, float y, float z) const;
    float3 MulDir(const float3 &directionVector) const;
    float4 Transform(const float4 &vector) const;
    float4 operator*(const float4 &vector) const;
    float4 Mul(const float4 &vector) const;
    // In place; consecutive vectors start stride bytes apart. A null pointer or a count
    // below 1 does nothing.
    void TransformPos(float3 *pointArray, int numPoints) const;
    void TransformPos(float3 *pointArray, int numPoints, int stride) const;
    void TransformDir(float3 *dirArray, int numVectors) const;
    void TransformDir(float3 *dirArray, int numVectors, int stride) const;
    void Transform(float4 *vectorArray, int numVectors) const;
    void Transform(float4 *vectorArray, int numVectors, int stride) const;

    float4x4 operator*(float scalar) const;
    float4x4 operator/(float scalar) const;
    float4x4 operator+(const float4x4 &rhs) const;
    float4x4 operator-(const float4x4 &rhs) const;
    float4x4 operator-() const;
    float4x4 &operator*=(float scalar);
    float4x4 &operator/=(float scalar);
    float4x4 &operator+=(const float4x4 &rhs);
    float4x4 &operator-=(const float4x4 &rhs);
    float4x4 Abs() const;

    // Gauss-Jordan elimination with partial pivoting; on failure (a pivot below epsilon
    // or NaN) the matrix is left as it was.
    bool Inverse(float epsilon);
    float4x4 Inverted() const;  // a singular matrix comes back unchanged
    bool IsInvertible(float epsilon) const;
    void Transpose();
    float4x4 Transposed() const;
    bool InverseTranspose();
    float4x4 InverseTransposed() const;
    // Rows 0 to 2 as float3x4 inverts them; row 3 is left alone.
    bool InverseColOrthogonal();
    bool InverseOrthogonalUniformScale();
    void InverseOrthonormal();
    float Determinant3() const;
    float Trace() const;

    // Determinants by minors. Every index is clamped into 0..3, so no index reads outside
    // the matrix. Adjugate is the cofactor matrix itself, not its transpose: the inverse
    // is Adjugate().Transposed() / Determinant4().
    float Minor(int i, int j) const;  // of the 3x3 left after removing row i and column j
    float3x3 SubMatrix(int i, int j) const;
    float Determinant4() const;
    float4x4 Adjugate() const;

    // Doolittle without row exchanges: lower is unit lower-triangular, lower * upper is
    // this. False when one of the first three pivots lies within 1e-4 of zero (an absolute
    // tolerance, whatever the scale); the outputs then hold what was computed so far.
    bool LUDecompose(float4x4 &lower, float4x4 &upper) const;
    // lower * lower^T is this symmetric positive-definite matrix; reads only the lower
    // triangle. False when a diagonal term is not positive or a divisor lies within 1e-4
    // of zero.
    bool CholeskyDecompose(float4x4 &lower) const;
    // Reduced row-echelon form in place, with partial pivoting; columns whose pivot lies
    // within 1e-4 of zero are skipped.
    void Pivot();
    // Nothing happens when two indices are equal; a bad index takes part as NaNs and is
    // not written back.
    void Orthogonalize3(int c0, int c1, int c2);
    void Orthonormalize3(int c0, int c1, int c2);
    // Normalises the rows of the 3x3 part, whereas ExtractScale measures its columns.
    void RemoveScale();
    float3 ExtractScale() const;
    float3 GetScale() const;
    // Rows 0 to 2 only; a zero column gives infinities or NaNs in the rotation.
    void Decompose(float3 &translate, Quat &rotate, float3 &scale) const;
    void Decompose(float3 &translate, float3x3 &rotate, float3 &scale) const;
    void Decompose(float3 &translate, float3x4 &rotate, float3 &scale) const;
    void Decompose(float3 &translate, float4x4 &rotate, float3 &scale) const;

    bool IsFinite() const;
    bool IsIdentity(float epsilon) const;
    bool IsLowerTriangular(float epsilon) const;
    bool IsUpperTriangular(float epsilon) const;
    bool IsSymmetric(float epsilon) const;
    bool IsSkewSymmetric(float epsilon) const;  // a diagonal element passes when 2|m_ii| < epsilon
    bool Equals(const float4x4 &other, float epsilon) const;
    bool HasUnitaryScale(float epsilon) const;
    bool HasNegativeScale() const;
    bool HasUniformScale(float epsilon) const;
    bool IsRowOrthogonal3(float epsilon) const;
    bool IsColOrthogonal3(float epsilon) const;
    bool IsOrthonormal3(float epsilon) const;

    // Projection queries; ContainsProjection is true when row 3 is not (0, 0, 0, 1) within
    // epsilon.
    float4x4 ComplementaryProjection() const;  // identity minus this
    bool ContainsProjection(float epsilon) const;
    bool IsIdempotent(float epsilon) const;

    std::string ToString() const;   // the rows
    std::string ToString2() const;  // the columns, labelled X:, Y:, Z: and Pos:
};

float4x4 operator*(const float3x3 &lhs, const float4x4 &rhs);
float4x4 operator*(const Quat &lhs, const float4x4 &rhs);
float4x4 operator*(const float3x4 &lhs, const float4x4 &rhs);
float4 operator*(const float4 &lhs, const float4x4 &rhs);  // the row vector times the matrix
std::ostream &operator<<(std::ostream &out, const float4x4 &rhs);

}  // namespace math
