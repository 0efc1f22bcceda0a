#include "Math/float4x4.h"

#include <cmath>
#include <limits>
#include <ostream>
#include <utility>

#include "Algorithm/Random/LCG.h"
#include "Geometry/Plane.h"
#include "Math/GaussJordan.h"
#include "Math/MathOps.h"
#include "Math/MatrixElementwise.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"

namespace math {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Indices are compared as unsigned, so negative ones are out of range too.
bool InRange(int index) { return static_cast<unsigned>(index) < 4u; }

// X about the point p, T(p) X T(-p), formed by the two translate products: the
// translation becomes ((x_r0 (-p_x) + x_r1 (-p_y)) + x_r2 (-p_z)) + p_r.
float4x4 AboutPoint(const float3x3 &inner, const float3 &p) {
    const float4x4 shifted = TranslateOp(p) * float4x4(inner);
    return shifted * TranslateOp(-p);
}

// Rows 0 to 2 of a 3-row left factor (a 3x3 or a 3x4 seen through At) times m, summed in
// the order of k; row 3 of m passes through.
template <typename Left>
float4x4 LeftRowsTimes(const Left &lhs, int terms, const float4x4 &m) {
    float4x4 r = m;
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 4; ++c) {
            float sum = lhs.At(row, 0) * m.elements[0][c];
            for (int k = 1; k < terms; ++k) sum += lhs.At(row, k) * m.elements[k][c];
            r.elements[row][c] = sum;
        }
    return r;
}

// Runs op on rows 0 to 2 of three distinct columns and writes the results back; a bad
// index takes part as NaNs and is not written.
template <typename Op>
void OnColumns3(float4x4 &m, int c0, int c1, int c2, Op op) {
    if (c0 == c1 || c0 == c2 || c1 == c2) return;
    float3 a = m.Col3(c0), b = m.Col3(c1), c = m.Col3(c2);
    op(a, b, c);
    m.SetCol3(c0, a);
    m.SetCol3(c1, b);
    m.SetCol3(c2, c);
}

// The three row (or column) indices kept when index i is removed: an index below 0 acts
// as 0 and one above 3 as 3.
struct KeptIndices {
    int index[3];
    explicit KeptIndices(int i) : index{i >= 1 ? 0 : 1, i >= 2 ? 1 : 2, i >= 3 ? 2 : 3} {}
};

// Below this magnitude a pivot counts as zero: an absolute tolerance, so a uniformly
// small matrix fails the factorisations however well conditioned it is.
const float kPivotEpsilon = 1e-4f;

// The shared shape of the projection builders: the viewport scales on the diagonal, the
// depth map in m22 and m23, and row 3 (0, 0, m32, m33).
float4x4 Projection(float m00, float m11, float m22, float m23, float m32, float m33) {
    return float4x4(m00, 0.f, 0.f, 0.f, 0.f, m11, 0.f, 0.f, 0.f, 0.f, m22, m23, 0.f, 0.f, m32, m33);
}

float4x4 OrthoProjection(float h, float v, float m22, float m23) {
    return Projection(2.f / h, 2.f / v, m22, m23, 0.f, 1.f);
}

// m32 is +1 looking down +Z, -1 looking down -Z.
float4x4 PerspProjection(float n, float h, float v, float m22, float m23, float m32) {
    const float twoN = n + n;
    return Projection(twoN / h, twoN / v, m22, m23, m32, 0.f);
}

}  // namespace

const float4x4 float4x4::identity(1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f);
const float4x4 float4x4::zero(0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
const float4x4 float4x4::nan(kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN,
                             kNaN, kNaN);

float4x4::float4x4(const float3x3 &other) : float4x4(float3x4(other)) {}

float4x4::float4x4(const float3x4 &other) : float4x4(identity) { Set3x4Part(other); }

float4x4::float4x4(const float4 &col0, const float4 &col1, const float4 &col2, const float4 &col3)
    : float4x4(col0.x, col1.x, col2.x, col3.x, col0.y, col1.y, col2.y, col3.y, col0.z, col1.z, col2.z, col3.z,
               col0.w, col1.w, col2.w, col3.w) {}

float4x4::float4x4(const Quat &orientation) : float4x4(float3x3(orientation)) {}

float4x4::float4x4(const Quat &orientation, const float3 &translation)
    : float4x4(float3x4(float3x3(orientation), translation)) {}

float4x4 &float4x4::operator=(const float3x3 &rhs) { return *this = float4x4(rhs); }
float4x4 &float4x4::operator=(const float3x4 &rhs) { return *this = float4x4(rhs); }
float4x4 &float4x4::operator=(const Quat &rhs) { return *this = float4x4(rhs); }
float4x4 &float4x4::operator=(const TranslateOp &rhs) { return *this = rhs.ToFloat4x4(); }

MatrixProxy<4> float4x4::operator[](int row) { return MatrixProxy<4>(elements[InRange(row) ? row : 0]); }

MatrixProxy<4, const float> float4x4::operator[](int row) const {
    return MatrixProxy<4, const float>(elements[InRange(row) ? row : 0]);
}

float &float4x4::At(int row, int col) { return InRange(row) && InRange(col) ? elements[row][col] : elements[0][0]; }

float float4x4::At(int row, int col) const { return InRange(row) && InRange(col) ? elements[row][col] : kNaN; }

// A row's four floats are laid out as a float4, its first three as a float3, and rows
// 0 to 2 together as a float3x4.
float4 &float4x4::Row(int row) { return *reinterpret_cast<float4 *>(elements[InRange(row) ? row : 0]); }

const float4 &float4x4::Row(int row) const {
    return *reinterpret_cast<const float4 *>(elements[InRange(row) ? row : 0]);
}

float3 &float4x4::Row3(int row) { return *reinterpret_cast<float3 *>(elements[InRange(row) ? row : 0]); }

const float3 &float4x4::Row3(int row) const {
    return *reinterpret_cast<const float3 *>(elements[InRange(row) ? row : 0]);
}

float3x4 &float4x4::Float3x4Part() { return *reinterpret_cast<float3x4 *>(elements); }

const float3x4 &float4x4::Float3x4Part() const { return *reinterpret_cast<const float3x4 *>(elements); }

float4 float4x4::Col(int col) const {
    if (!InRange(col)) return float4::nan;
    return float4(elements[0][col], elements[1][col], elements[2][col], elements[3][col]);
}

float3 float4x4::Col3(int col) const { return InRange(col) ? Col(col).xyz() : float3::nan; }

float4 float4x4::Diagonal() const { return float4(elements[0][0], elements[1][1], elements[2][2], elements[3][3]); }
float3 float4x4::Diagonal3() const { return Diagonal().xyz(); }
float3 float4x4::WorldX() const { return Col3(0); }
float3 float4x4::WorldY() const { return Col3(1); }
float3 float4x4::WorldZ() const { return Col3(2); }
float3 float4x4::TranslatePart() const { return Col3(3); }
float3x3 float4x4::Float3x3Part() const { return Float3x4Part().Float3x3Part(); }
float3x3 float4x4::RotatePart() const { return Float3x3Part(); }

void float4x4::Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                   float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33) {
    *this = float4x4(m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33);
}

void float4x4::Set(const float4x4 &rhs) { *this = rhs; }

void float4x4::Set(const float *values) {
    if (!values) return;
    for (int i = 0; i < 16; ++i) elements[i / 4][i % 4] = values[i];
}

void float4x4::Set(int row, int col, float value) {
    if (InRange(row) && InRange(col)) elements[row][col] = value;
}

void float4x4::SetIdentity() { *this = identity; }
void float4x4::Set3x3Part(const float3x3 &part) { Float3x4Part().Set3x3Part(part); }
void float4x4::Set3x4Part(const float3x4 &part) { Float3x4Part() = part; }
void float4x4::SetTranslatePart(const float3 &offset) { SetCol3(3, offset); }
void float4x4::SetTranslatePart(float x, float y, float z) { SetCol3(3, x, y, z); }
void float4x4::SetTranslatePart(const float4 &offset) { SetCol3(3, offset.xyz()); }
void float4x4::SetRotatePart(const Quat &orientation) { Set3x3Part(float3x3(orientation)); }
void float4x4::SetRotatePart(const float3 &axis, float angle) { Set3x3Part(float3x3::RotateAxisAngle(axis, angle)); }
void float4x4::SetRotatePartX(float angle) { Set3x3Part(float3x3::RotateX(angle)); }
void float4x4::SetRotatePartY(float angle) { Set3x3Part(float3x3::RotateY(angle)); }
void float4x4::SetRotatePartZ(float angle) { Set3x3Part(float3x3::RotateZ(angle)); }

void float4x4::SetRow(int row, float m_r0, float m_r1, float m_r2, float m_r3) {
    if (InRange(row)) Row(row) = float4(m_r0, m_r1, m_r2, m_r3);
}

void float4x4::SetRow(int row, const float3 &rowVector, float m_r3) { SetRow(row, float4(rowVector, m_r3)); }
void float4x4::SetRow(int row, const float4 &rowVector) { SetRow(row, rowVector.x, rowVector.y, rowVector.z, rowVector.w); }

void float4x4::SetRow(int row, const float *values) {
    if (values) SetRow(row, values[0], values[1], values[2], values[3]);
}

void float4x4::SetRow3(int row, const float3 &rowVector) {
    if (InRange(row)) Row3(row) = rowVector;
}

void float4x4::SetRow3(int row, float m_r0, float m_r1, float m_r2) { SetRow3(row, float3(m_r0, m_r1, m_r2)); }

void float4x4::SetRow3(int row, const float *values) {
    if (values) SetRow3(row, values[0], values[1], values[2]);
}

void float4x4::SetCol(int col, const float4 &columnVector) {
    if (!InRange(col)) return;
    for (int r = 0; r < 4; ++r) elements[r][col] = columnVector.At(r);
}

void float4x4::SetCol(int col, const float3 &columnVector, float m_3c) { SetCol(col, float4(columnVector, m_3c)); }
void float4x4::SetCol(int col, float m_0c, float m_1c, float m_2c, float m_3c) { SetCol(col, float4(m_0c, m_1c, m_2c, m_3c)); }

void float4x4::SetCol(int col, const float *values) {
    if (values) SetCol(col, values[0], values[1], values[2], values[3]);
}

void float4x4::SetCol3(int col, const float3 &columnVector) {
    if (InRange(col)) SetCol(col, columnVector, elements[3][col]);
}

void float4x4::SetCol3(int col, float m_0c, float m_1c, float m_2c) { SetCol3(col, float3(m_0c, m_1c, m_2c)); }

void float4x4::SetCol3(int col, const float *values) {
    if (values) SetCol3(col, values[0], values[1], values[2]);
}

// The fallback to row 0 for a bad index is the first-element rule of the matrix types.
void float4x4::ScaleRow(int row, float scalar) { Row(row) *= scalar; }
void float4x4::ScaleRow3(int row, float scalar) { Row3(row) *= scalar; }

void float4x4::ScaleCol(int col, float scalar) {
    if (!InRange(col)) return;
    for (auto &row : elements) row[col] *= scalar;
}

void float4x4::ScaleCol3(int col, float scalar) {
    if (!InRange(col)) return;
    for (int r = 0; r < 3; ++r) elements[r][col] *= scalar;
}

void float4x4::SwapRows(int row1, int row2) {
    if (InRange(row1) && InRange(row2)) std::swap(Row(row1), Row(row2));
}

void float4x4::SwapColumns(int col1, int col2) {
    if (!InRange(col1) || !InRange(col2)) return;
    for (auto &row : elements) std::swap(row[col1], row[col2]);
}

void float4x4::SwapRows3(int row1, int row2) {
    if (InRange(row1) && InRange(row2)) std::swap(Row3(row1), Row3(row2));
}

void float4x4::SwapColumns3(int col1, int col2) {
    if (!InRange(col1) || !InRange(col2)) return;
    for (int r = 0; r < 3; ++r) std::swap(elements[r][col1], elements[r][col2]);
}

TranslateOp float4x4::Translate(float x, float y, float z) { return TranslateOp(x, y, z); }
TranslateOp float4x4::Translate(const float3 &offset) { return TranslateOp(offset); }
ScaleOp float4x4::Scale(float x, float y, float z) { return ScaleOp(x, y, z); }
ScaleOp float4x4::Scale(const float3 &scale) { return ScaleOp(scale); }
ScaleOp float4x4::UniformScale(float uniformScale) { return ScaleOp(uniformScale, uniformScale, uniformScale); }

float4x4 float4x4::RotateX(float angle) { return float4x4(float3x3::RotateX(angle)); }
float4x4 float4x4::RotateY(float angle) { return float4x4(float3x3::RotateY(angle)); }
float4x4 float4x4::RotateZ(float angle) { return float4x4(float3x3::RotateZ(angle)); }

float4x4 float4x4::RotateX(float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateX(angle), pointOnAxis);
}

float4x4 float4x4::RotateY(float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateY(angle), pointOnAxis);
}

float4x4 float4x4::RotateZ(float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateZ(angle), pointOnAxis);
}

float4x4 float4x4::RotateAxisAngle(const float3 &axis, float angle) {
    return float4x4(float3x3::RotateAxisAngle(axis, angle));
}

float4x4 float4x4::RotateAxisAngle(const float3 &axis, float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateAxisAngle(axis, angle), pointOnAxis);
}

float4x4 float4x4::RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection) {
    return float4x4(Quat::RotateFromTo(sourceDirection, targetDirection));
}

float4x4 float4x4::RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection,
                                const float3 &centerPoint) {
    return AboutPoint(float3x3(Quat::RotateFromTo(sourceDirection, targetDirection)), centerPoint);
}

float4x4 float4x4::LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                          const float3 &worldUp) {
    return float4x4(float3x3::LookAt(localForward, targetDirection, localUp, worldUp));
}

float4x4 float4x4::RotateFromTo(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                                const float3 &worldUp) {
    return LookAt(localForward, targetDirection, localUp, worldUp);
}

float4x4 float4x4::RotateFromTo(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                                const float3 &worldUp, const float3 &centerPoint) {
    return AboutPoint(float3x3::LookAt(localForward, targetDirection, localUp, worldUp), centerPoint);
}

float4x4 float4x4::LookAt(const float3 &eyePos, const float3 &targetPos, const float3 &localForward,
                          const float3 &localUp, const float3 &worldUp) {
    const float3 targetDirection = (targetPos - eyePos).Normalized();
    return float4x4(float3x4(float3x3::LookAt(localForward, targetDirection, localUp, worldUp), eyePos));
}

float4x4 float4x4::FromQuat(const Quat &orientation) { return float4x4(orientation); }

float4x4 float4x4::FromQuat(const Quat &orientation, const float3 &pointOnAxis) {
    return AboutPoint(float3x3(orientation), pointOnAxis);
}

float4x4 float4x4::FromTRS(const float3 &translate, const Quat &rotate, const float3 &scale) {
    return FromTRS(translate, float4x4(rotate), scale);
}

float4x4 float4x4::FromTRS(const float3 &translate, const float3x3 &rotate, const float3 &scale) {
    return FromTRS(translate, float4x4(rotate), scale);
}

float4x4 float4x4::FromTRS(const float3 &translate, const float3x4 &rotate, const float3 &scale) {
    return FromTRS(translate, float4x4(rotate), scale);
}

float4x4 float4x4::FromTRS(const float3 &translate, const float4x4 &rotate, const float3 &scale) {
    const float4x4 translated = TranslateOp(translate) * rotate;
    return translated * ScaleOp(scale);
}

// T(center) diag(scale) is a 3x4 matrix; its product with T(-center) replaces the
// translation by scale_i (-center_i) + center_i.
float4x4 float4x4::Scale(const float3 &scale, const float3 &scaleCenter) {
    const float3x4 scaled = TranslateOp(scaleCenter) * ScaleOp(scale);
    return float4x4(scaled * TranslateOp(-scaleCenter));
}

float4x4 float4x4::UniformScale(float uniformScale, const float3 &scaleCenter) {
    return Scale(float3(uniformScale), scaleCenter);
}

float4x4 float4x4::ScaleAlongAxis(const float3 &axis, float scalingFactor) {
    return float4x4(float3x3::ScaleAlongAxis(axis, scalingFactor));
}

float4x4 float4x4::ScaleAlongAxis(const float3 &axis, float scalingFactor, const float3 &scaleCenter) {
    return Scale(axis * scalingFactor, scaleCenter);
}

float4x4 float4x4::ShearX(float yFactor, float zFactor) { return float4x4(float3x3::ShearX(yFactor, zFactor)); }
float4x4 float4x4::ShearY(float xFactor, float zFactor) { return float4x4(float3x3::ShearY(xFactor, zFactor)); }
float4x4 float4x4::ShearZ(float xFactor, float yFactor) { return float4x4(float3x3::ShearZ(xFactor, yFactor)); }
float4x4 float4x4::Mirror(const Plane &plane) { return float4x4(float3x4::Mirror(plane)); }
float4x4 float4x4::OrthographicProjection(const Plane &target) { return float4x4(float3x4::OrthographicProjection(target)); }
float4x4 float4x4::OrthographicProjectionYZ() { return float4x4(float3x3::OrthographicProjectionYZ()); }
float4x4 float4x4::OrthographicProjectionXZ() { return float4x4(float3x3::OrthographicProjectionXZ()); }
float4x4 float4x4::OrthographicProjectionXY() { return float4x4(float3x3::OrthographicProjectionXY()); }

float4x4 float4x4::RandomGeneral(LCG &lcg, float minElem, float maxElem) {
    float4x4 m;
    for (auto &row : m.elements)
        for (float &e : row) e = lcg.Float(minElem, maxElem);
    return m;
}

// The quotients divide in a fixed order (a product or sum over a difference) so that the
// results match to the last bit; n == f divides by zero on purpose, unchecked.
float4x4 float4x4::D3DOrthoProjLH(float n, float f, float h, float v) {
    return OrthoProjection(h, v, 1.f / (f - n), n / (n - f));
}

float4x4 float4x4::D3DOrthoProjRH(float n, float f, float h, float v) {
    return OrthoProjection(h, v, 1.f / (n - f), n / (n - f));
}

float4x4 float4x4::D3DPerspProjLH(float n, float f, float h, float v) {
    return PerspProjection(n, h, v, f / (f - n), n * f / (n - f), 1.f);
}

float4x4 float4x4::D3DPerspProjRH(float n, float f, float h, float v) {
    return PerspProjection(n, h, v, f / (n - f), n * f / (n - f), -1.f);
}

float4x4 float4x4::OpenGLOrthoProjLH(float n, float f, float h, float v) {
    return OrthoProjection(h, v, 2.f / (f - n), (n + f) / (n - f));
}

float4x4 float4x4::OpenGLOrthoProjRH(float n, float f, float h, float v) {
    return OrthoProjection(h, v, 2.f / (n - f), (n + f) / (n - f));
}

float4x4 float4x4::OpenGLPerspProjLH(float n, float f, float h, float v) {
    const float twoN = n + n;
    return PerspProjection(n, h, v, (n + f) / (f - n), twoN * f / (n - f), 1.f);
}

float4x4 float4x4::OpenGLPerspProjRH(float n, float f, float h, float v) {
    const float twoN = n + n;
    return PerspProjection(n, h, v, (n + f) / (n - f), twoN * f / (n - f), -1.f);
}

float4x4 float4x4::operator*(const float4x4 &rhs) const {
    float4x4 r;
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 4; ++c) r.elements[row][c] = Row(row).Dot4(rhs.Col(c));
    return r;
}

float4x4 float4x4::Mul(const float4x4 &rhs) const { return *this * rhs; }
float4x4 float4x4::operator*(const float3x4 &rhs) const { return *this * float4x4(rhs); }
float4x4 float4x4::Mul(const float3x4 &rhs) const { return *this * rhs; }

float4x4 float4x4::operator*(const float3x3 &rhs) const {
    float4x4 r = *this;
    for (int row = 0; row < 4; ++row) r.Row3(row) = rhs.TransformLeft(Row3(row));
    return r;
}

float4x4 float4x4::Mul(const float3x3 &rhs) const { return *this * rhs; }
float4x4 float4x4::operator*(const Quat &rhs) const { return *this * float3x3(rhs); }
float4x4 float4x4::Mul(const Quat &rhs) const { return *this * rhs; }

float3 float4x4::TransformPos(const float3 &pointVector) const { return Float3x4Part().TransformPos(pointVector); }
float3 float4x4::TransformPos(float x, float y, float z) const { return Float3x4Part().TransformPos(x, y, z); }
float3 float4x4::MulPos(const float3 &pointVector) const { return TransformPos(pointVector); }
float3 float4x4::TransformDir(const float3 &directionVector) const { return Float3x4Part().TransformDir(directionVector); }
float3 float4x4::TransformDir(float x, float y, float z) const { return Float3x4Part().TransformDir(x, y, z); }
float3 float4x4::MulDir(const float3 &directionVector) const { return TransformDir(directionVector); }

float4 float4x4::Transform(const float4 &vector) const {
    return float4(Row(0).Dot4(vector), Row(1).Dot4(vector), Row(2).Dot4(vector), Row(3).Dot4(vector));
}

float4 float4x4::operator*(const float4 &vector) const { return Transform(vector); }
float4 float4x4::Mul(const float4 &vector) const { return Transform(vector); }

void float4x4::TransformPos(float3 *pointArray, int numPoints) const {
    TransformPos(pointArray, numPoints, static_cast<int>(sizeof(float3)));
}

void float4x4::TransformPos(float3 *pointArray, int numPoints, int stride) const {
    matrix_elementwise::BatchMap(pointArray, numPoints, stride, [this](const float3 &p) { return TransformPos(p); });
}

void float4x4::TransformDir(float3 *dirArray, int numVectors) const {
    TransformDir(dirArray, numVectors, static_cast<int>(sizeof(float3)));
}

void float4x4::TransformDir(float3 *dirArray, int numVectors, int stride) const {
    matrix_elementwise::BatchMap(dirArray, numVectors, stride, [this](const float3 &v) { return TransformDir(v); });
}

void float4x4::Transform(float4 *vectorArray, int numVectors) const {
    Transform(vectorArray, numVectors, static_cast<int>(sizeof(float4)));
}

void float4x4::Transform(float4 *vectorArray, int numVectors, int stride) const {
    matrix_elementwise::BatchMap(vectorArray, numVectors, stride, [this](const float4 &v) { return Transform(v); });
}

float4x4 float4x4::operator*(float scalar) const { return matrix_elementwise::Scaled(*this, scalar); }
float4x4 float4x4::operator/(float scalar) const { return matrix_elementwise::Divided(*this, scalar); }
float4x4 float4x4::operator+(const float4x4 &rhs) const { return matrix_elementwise::Sum(*this, rhs); }
float4x4 float4x4::operator-(const float4x4 &rhs) const { return matrix_elementwise::Difference(*this, rhs); }
float4x4 float4x4::operator-() const { return matrix_elementwise::Negated(*this); }
float4x4 &float4x4::operator*=(float scalar) { return matrix_elementwise::Scale(*this, scalar); }
float4x4 &float4x4::operator/=(float scalar) { return matrix_elementwise::Divide(*this, scalar); }
float4x4 &float4x4::operator+=(const float4x4 &rhs) { return matrix_elementwise::Add(*this, rhs); }
float4x4 &float4x4::operator-=(const float4x4 &rhs) { return matrix_elementwise::Subtract(*this, rhs); }

float4x4 float4x4::Abs() const {
    float4x4 r;
    for (int i = 0; i < 4; ++i) r.Row(i) = Row(i).Abs();
    return r;
}

// The elimination works on a copy so that a singular matrix stays as it was.
bool float4x4::Inverse(float epsilon) {
    float4x4 copy = *this;
    if (!GaussJordanInverse(copy.elements, epsilon)) return false;
    *this = copy;
    return true;
}

float4x4 float4x4::Inverted() const {
    float4x4 copy = *this;
    copy.Inverse(1e-6f);
    return copy;
}

bool float4x4::IsInvertible(float epsilon) const {
    float4x4 copy = *this;
    return copy.Inverse(epsilon);
}

void float4x4::Transpose() {
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c) std::swap(elements[r][c], elements[c][r]);
}

float4x4 float4x4::Transposed() const {
    float4x4 copy = *this;
    copy.Transpose();
    return copy;
}

bool float4x4::InverseTranspose() {
    const bool success = Inverse(1e-6f);
    Transpose();
    return success;
}

float4x4 float4x4::InverseTransposed() const {
    float4x4 copy = Transposed();
    copy.Inverse(1e-6f);
    return copy;
}

bool float4x4::InverseColOrthogonal() { return Float3x4Part().InverseColOrthogonal(); }
bool float4x4::InverseOrthogonalUniformScale() { return Float3x4Part().InverseOrthogonalUniformScale(); }
void float4x4::InverseOrthonormal() { Float3x4Part().InverseOrthonormal(); }
float float4x4::Determinant3() const { return Float3x4Part().Determinant(); }
float float4x4::Trace() const { return Diagonal().SumOfElements(); }

float3x3 float4x4::SubMatrix(int i, int j) const {
    const KeptIndices r(i), c(j);
    float3x3 sub;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) sub.elements[a][b] = elements[r.index[a]][c.index[b]];
    return sub;
}

float float4x4::Minor(int i, int j) const {
    const float3x3 s = SubMatrix(i, j);
    const float a = s.elements[0][0], b = s.elements[0][1], c = s.elements[0][2];
    const float d = s.elements[1][0], e = s.elements[1][1], f = s.elements[1][2];
    const float g = s.elements[2][0], h = s.elements[2][1], k = s.elements[2][2];
    return (c * d * h + (b * f * g + a * e * k)) - a * f * h - b * d * k - c * e * g;
}

float float4x4::Determinant4() const {
    const auto &m = elements;
    return ((m[0][0] * Minor(0, 0) - m[0][1] * Minor(0, 1)) + m[0][2] * Minor(0, 2)) - m[0][3] * Minor(0, 3);
}

// The cofactors stay where their minors are; no transpose.
float4x4 float4x4::Adjugate() const {
    float4x4 cofactors;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            const float minor = Minor(i, j);
            cofactors.elements[i][j] = (i + j) % 2 ? -minor : minor;
        }
    return cofactors;
}

// Works on locals so that an output may be this matrix itself.
bool float4x4::LUDecompose(float4x4 &lower, float4x4 &upper) const {
    float4x4 l = identity, u = zero;
    const auto done = [&](bool result) {
        lower = l;
        upper = u;
        return result;
    };
    for (int i = 0; i < 4; ++i) {
        for (int j = i; j < 4; ++j) {
            u.elements[i][j] = elements[i][j];
            for (int k = 0; k < i; ++k) u.elements[i][j] -= l.elements[i][k] * u.elements[k][j];
        }
        if (i == 3) break;  // the last pivot is not tested
        for (int k = i + 1; k < 4; ++k) {
            l.elements[k][i] = elements[k][i];
            for (int p = 0; p < i; ++p) l.elements[k][i] -= l.elements[k][p] * u.elements[p][i];
            if (EqualAbs(u.elements[i][i], 0.f, kPivotEpsilon)) return done(false);
            l.elements[k][i] /= u.elements[i][i];
        }
    }
    return done(true);
}

bool float4x4::CholeskyDecompose(float4x4 &lower) const {
    float4x4 l = zero;
    const auto done = [&](bool result) {
        lower = l;
        return result;
    };
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < i; ++j) {
            float sum = 0.f;
            for (int k = 0; k < j; ++k) sum += l.elements[i][k] * l.elements[j][k];
            l.elements[i][j] = elements[i][j] - sum;
            if (EqualAbs(l.elements[j][j], 0.f, kPivotEpsilon)) return done(false);
            l.elements[i][j] /= l.elements[j][j];
        }
        float sum = 0.f;
        for (int k = 0; k < i; ++k) sum += l.elements[i][k] * l.elements[i][k];
        const float d = elements[i][i] - sum;
        if (!(d > 0.f)) return done(false);  // also a NaN, and a zero on the last row
        l.elements[i][i] = std::sqrt(d);
    }
    return done(true);
}

void float4x4::Pivot() {
    int row = 0;
    for (int j = 0; j < 4 && row < 4; ++j) {
        int best = row;
        for (int r = row + 1; r < 4; ++r)
            if (std::fabs(elements[r][j]) > std::fabs(elements[best][j])) best = r;
        if (EqualAbs(elements[best][j], 0.f, kPivotEpsilon)) continue;
        SwapRows(best, row);
        Row(row) *= 1.f / elements[row][j];
        for (int k = 0; k < 4; ++k) {
            if (k == row) continue;
            const float factor = elements[k][j];
            Row(k) -= Row(row) * factor;
        }
        ++row;
    }
}

void float4x4::Orthogonalize3(int c0, int c1, int c2) {
    OnColumns3(*this, c0, c1, c2, [](float3 &a, float3 &b, float3 &c) { float3::Orthogonalize(a, b, c); });
}

void float4x4::Orthonormalize3(int c0, int c1, int c2) {
    OnColumns3(*this, c0, c1, c2, [](float3 &a, float3 &b, float3 &c) { float3::Orthonormalize(a, b, c); });
}

void float4x4::RemoveScale() { Float3x4Part().RemoveScale(); }
float3 float4x4::ExtractScale() const { return Float3x4Part().ExtractScale(); }
float3 float4x4::GetScale() const { return ExtractScale(); }

void float4x4::Decompose(float3 &translate, Quat &rotate, float3 &scale) const {
    float3x3 rotate3;
    Decompose(translate, rotate3, scale);
    rotate.Set(rotate3);
}

void float4x4::Decompose(float3 &translate, float3x3 &rotate, float3 &scale) const {
    Float3x4Part().Decompose(translate, rotate, scale);
}

void float4x4::Decompose(float3 &translate, float3x4 &rotate, float3 &scale) const {
    Float3x4Part().Decompose(translate, rotate, scale);
}

void float4x4::Decompose(float3 &translate, float4x4 &rotate, float3 &scale) const {
    float3x3 rotate3;
    Decompose(translate, rotate3, scale);
    rotate = float4x4(rotate3);
}

bool float4x4::IsFinite() const {
    return Row(0).IsFinite() && Row(1).IsFinite() && Row(2).IsFinite() && Row(3).IsFinite();
}

bool float4x4::IsIdentity(float epsilon) const { return Equals(identity, epsilon); }

bool float4x4::IsLowerTriangular(float epsilon) const { return Transposed().IsUpperTriangular(epsilon); }

bool float4x4::IsUpperTriangular(float epsilon) const {
    for (int r = 1; r < 4; ++r)
        for (int c = 0; c < r; ++c)
            if (!EqualAbs(elements[r][c], 0.f, epsilon)) return false;
    return true;
}

bool float4x4::IsSymmetric(float epsilon) const {
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c)
            if (!EqualAbs(elements[r][c], elements[c][r], epsilon)) return false;
    return true;
}

bool float4x4::IsSkewSymmetric(float epsilon) const {
    for (int r = 0; r < 4; ++r)
        for (int c = r; c < 4; ++c)
            if (!EqualAbs(elements[r][c], -elements[c][r], epsilon)) return false;
    return true;
}

bool float4x4::Equals(const float4x4 &other, float epsilon) const {
    for (int i = 0; i < 4; ++i)
        if (!Row(i).Equals(other.Row(i), epsilon)) return false;
    return true;
}

float4x4 float4x4::ComplementaryProjection() const { return identity - *this; }

bool float4x4::ContainsProjection(float epsilon) const { return !Row(3).Equals(0.f, 0.f, 0.f, 1.f, epsilon); }

bool float4x4::IsIdempotent(float epsilon) const { return (*this * *this).Equals(*this, epsilon); }

bool float4x4::HasUnitaryScale(float epsilon) const { return Float3x3Part().HasUnitaryScale(epsilon); }
bool float4x4::HasNegativeScale() const { return Determinant3() < 0.f; }
bool float4x4::HasUniformScale(float epsilon) const { return Float3x3Part().HasUniformScale(epsilon); }

// The 3x3 part's tests look at the first three elements of rows and columns only; the
// orthonormal test measures the columns as well as the rows, since orthogonal columns
// with unit rows alone would pass a matrix that is not orthonormal.
bool float4x4::IsRowOrthogonal3(float epsilon) const { return Float3x3Part().IsRowOrthogonal(epsilon); }
bool float4x4::IsColOrthogonal3(float epsilon) const { return Float3x3Part().IsColOrthogonal(epsilon); }
bool float4x4::IsOrthonormal3(float epsilon) const { return Float3x3Part().IsOrthonormal(epsilon); }

std::string float4x4::ToString() const {
    const auto &m = elements;
    return FormatText("(%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f) "
                      "(%.2f, %.2f, %.2f, %.2f)",
                      PrintableFloat(m[0][0]), PrintableFloat(m[0][1]), PrintableFloat(m[0][2]),
                      PrintableFloat(m[0][3]), PrintableFloat(m[1][0]), PrintableFloat(m[1][1]),
                      PrintableFloat(m[1][2]), PrintableFloat(m[1][3]), PrintableFloat(m[2][0]),
                      PrintableFloat(m[2][1]), PrintableFloat(m[2][2]), PrintableFloat(m[2][3]),
                      PrintableFloat(m[3][0]), PrintableFloat(m[3][1]), PrintableFloat(m[3][2]),
                      PrintableFloat(m[3][3]));
}

std::string float4x4::ToString2() const {
    const auto &m = elements;
    return FormatText("float4x4(X:(%.2f,%.2f,%.2f,%.2f) Y:(%.2f,%.2f,%.2f,%.2f) Z:(%.2f,%.2f,%.2f,%.2f), "
                      "Pos:(%.2f,%.2f,%.2f,%.2f))",
                      PrintableFloat(m[0][0]), PrintableFloat(m[1][0]), PrintableFloat(m[2][0]),
                      PrintableFloat(m[3][0]), PrintableFloat(m[0][1]), PrintableFloat(m[1][1]),
                      PrintableFloat(m[2][1]), PrintableFloat(m[3][1]), PrintableFloat(m[0][2]),
                      PrintableFloat(m[1][2]), PrintableFloat(m[2][2]), PrintableFloat(m[3][2]),
                      PrintableFloat(m[0][3]), PrintableFloat(m[1][3]), PrintableFloat(m[2][3]),
                      PrintableFloat(m[3][3]));
}

float4x4 operator*(const float3x3 &lhs, const float4x4 &rhs) { return LeftRowsTimes(lhs, 3, rhs); }
float4x4 operator*(const Quat &lhs, const float4x4 &rhs) { return float3x3(lhs) * rhs; }
float4x4 operator*(const float3x4 &lhs, const float4x4 &rhs) { return LeftRowsTimes(lhs, 4, rhs); }

float4 operator*(const float4 &lhs, const float4x4 &rhs) {
    return float4(lhs.Dot4(rhs.Col(0)), lhs.Dot4(rhs.Col(1)), lhs.Dot4(rhs.Col(2)), lhs.Dot4(rhs.Col(3)));
}

std::ostream &operator<<(std::ostream &out, const float4x4 &rhs) { return out << rhs.ToString(); }

}  // namespace math
