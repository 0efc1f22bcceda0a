#include "Math/float3x3.h"

#include <cmath>
#include <limits>
#include <ostream>
#include <utility>

#include "Algorithm/Random/LCG.h"
#include "Math/Assume.h"
#include "Math/GaussJordan.h"
#include "Math/MathFunc.h"
#include "Math/MathOps.h"
#include "Math/MatrixElementwise.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Indices are compared as unsigned, so negative ones are out of range too.
bool InRange(int index) { return static_cast<unsigned>(index) < 3u; }

// Cofactor (r, c) in cyclic form, which carries its own sign.
float Cofactor(const float (&m)[3][3], int r, int c) {
    const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
    return m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
}

}  // namespace

const float3x3 float3x3::identity(1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f);
const float3x3 float3x3::zero(0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
const float3x3 float3x3::nan(kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN);

float3x3::float3x3(const float3 &col0, const float3 &col1, const float3 &col2)
    : float3x3(col0.x, col1.x, col2.x, col0.y, col1.y, col2.y, col0.z, col1.z, col2.z) {}

float3x3::float3x3(const Quat &orientation) { SetRotatePart(orientation); }

float3x3 &float3x3::operator=(const Quat &orientation) {
    SetRotatePart(orientation);
    return *this;
}

float3x3 float3x3::FromQuat(const Quat &orientation) { return float3x3(orientation); }

void float3x3::Set(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                   float m22) {
    *this = float3x3(m00, m01, m02, m10, m11, m12, m20, m21, m22);
}

void float3x3::Set(const float3x3 &rhs) { *this = rhs; }

void float3x3::Set(const float *values) {
    if (!values) return;
    for (int i = 0; i < 9; ++i) elements[i / 3][i % 3] = values[i];
}

void float3x3::Set(int row, int col, float value) {
    if (InRange(row) && InRange(col)) elements[row][col] = value;
}

void float3x3::SetIdentity() { *this = identity; }

void float3x3::SetRotatePart(const Quat &q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    elements[0][0] = 1.f - 2.f * (y * y + z * z);
    elements[0][1] = 2.f * (x * y - z * w);
    elements[0][2] = 2.f * (x * z + y * w);
    elements[1][0] = 2.f * (x * y + z * w);
    elements[1][1] = 1.f - 2.f * (x * x + z * z);
    elements[1][2] = 2.f * (y * z - x * w);
    elements[2][0] = 2.f * (x * z - y * w);
    elements[2][1] = 2.f * (y * z + x * w);
    elements[2][2] = 1.f - 2.f * (x * x + y * y);
}

MatrixProxy<3> float3x3::operator[](int row) { return MatrixProxy<3>(elements[InRange(row) ? row : 0]); }

MatrixProxy<3, const float> float3x3::operator[](int row) const {
    return MatrixProxy<3, const float>(elements[InRange(row) ? row : 0]);
}

float &float3x3::At(int row, int col) { return InRange(row) && InRange(col) ? elements[row][col] : elements[0][0]; }

float float3x3::At(int row, int col) const { return InRange(row) && InRange(col) ? elements[row][col] : kNaN; }

// A row is three contiguous floats, laid out as a float3.
float3 &float3x3::Row(int row) { return *reinterpret_cast<float3 *>(elements[InRange(row) ? row : 0]); }

const float3 &float3x3::Row(int row) const {
    return *reinterpret_cast<const float3 *>(elements[InRange(row) ? row : 0]);
}

float3 float3x3::Col(int col) const {
    if (!InRange(col)) return float3::nan;
    return float3(elements[0][col], elements[1][col], elements[2][col]);
}

float3 float3x3::Diagonal() const { return float3(elements[0][0], elements[1][1], elements[2][2]); }
float3 float3x3::WorldX() const { return Col(0); }
float3 float3x3::WorldY() const { return Col(1); }
float3 float3x3::WorldZ() const { return Col(2); }

void float3x3::SetRow(int row, float x, float y, float z) {
    if (!InRange(row)) return;
    elements[row][0] = x;
    elements[row][1] = y;
    elements[row][2] = z;
}

void float3x3::SetRow(int row, const float3 &values) { SetRow(row, values.x, values.y, values.z); }

void float3x3::SetRow(int row, const float *values) {
    if (values) SetRow(row, values[0], values[1], values[2]);
}

void float3x3::SetCol(int col, float x, float y, float z) {
    if (!InRange(col)) return;
    elements[0][col] = x;
    elements[1][col] = y;
    elements[2][col] = z;
}

void float3x3::SetCol(int col, const float3 &values) { SetCol(col, values.x, values.y, values.z); }

void float3x3::SetCol(int col, const float *values) {
    if (values) SetCol(col, values[0], values[1], values[2]);
}

void float3x3::ScaleRow(int row, float scalar) {
    if (!InRange(row)) return;
    for (float &e : elements[row]) e *= scalar;
}

void float3x3::ScaleCol(int col, float scalar) {
    if (!InRange(col)) return;
    for (auto &row : elements) row[col] *= scalar;
}

void float3x3::SwapRows(int row1, int row2) {
    if (!InRange(row1) || !InRange(row2)) return;
    for (int c = 0; c < 3; ++c) std::swap(elements[row1][c], elements[row2][c]);
}

void float3x3::SwapColumns(int col1, int col2) {
    if (!InRange(col1) || !InRange(col2)) return;
    for (auto &row : elements) std::swap(row[col1], row[col2]);
}

float3x3 float3x3::RotateX(float angle) {
    float3x3 m;
    m.SetRotatePartX(angle);
    return m;
}

float3x3 float3x3::RotateY(float angle) {
    float3x3 m;
    m.SetRotatePartY(angle);
    return m;
}

float3x3 float3x3::RotateZ(float angle) {
    float3x3 m;
    m.SetRotatePartZ(angle);
    return m;
}

void float3x3::SetRotatePartX(float angle) {
    float s, c;
    SinCos(angle, s, c);
    Set(1.f, 0.f, 0.f, 0.f, c, -s, 0.f, s, c);
}

void float3x3::SetRotatePartY(float angle) {
    float s, c;
    SinCos(angle, s, c);
    Set(c, 0.f, s, 0.f, 1.f, 0.f, -s, 0.f, c);
}

void float3x3::SetRotatePartZ(float angle) {
    float s, c;
    SinCos(angle, s, c);
    Set(c, -s, 0.f, s, c, 0.f, 0.f, 0.f, 1.f);
}

float3x3 float3x3::RotateAxisAngle(const float3 &axis, float angle) {
    float3x3 m;
    m.SetRotatePart(axis, angle);
    return m;
}

void float3x3::SetRotatePart(const float3 &axis, float angle) {
    float s, c;
    SinCos(angle, s, c);
    const float d = 1.f - c;
    const float x = axis.x, y = axis.y, z = axis.z;
    Set(d * x * x + c, d * x * y - z * s, d * x * z + y * s,
        d * x * y + z * s, d * y * y + c, d * y * z - x * s,
        d * x * z - y * s, d * y * z + x * s, d * z * z + c);
}

float3x3 float3x3::RotateFromTo(const float3 &from, const float3 &to) {
    return float3x3(Quat::RotateFromTo(from, to));
}

float3x3 float3x3::LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                          const float3 &worldUp) {
    const float3 localRight = localUp.Cross(localForward).Normalized();
    const float3 worldRight = worldUp.Cross(targetDirection).Normalized();
    const float3 perpWorldUp = targetDirection.Cross(worldRight).Normalized();
    const float3x3 world(worldRight, perpWorldUp, targetDirection);
    float3x3 local;
    local.SetRow(0, localRight);
    local.SetRow(1, localUp);
    local.SetRow(2, localForward);
    float3x3 m = world * local;
    m.Orthonormalize(0, 1, 2);
    return m;
}

float3x3 float3x3::RandomRotation(LCG &lcg) { return float3x3(Quat::RandomRotation(lcg)); }

float3x3 float3x3::RandomGeneral(LCG &lcg, float lo, float hi) {
    float3x3 m;
    for (auto &row : m.elements)
        for (float &e : row) e = lcg.Float(lo, hi);
    return m;
}

float3x3 float3x3::ScaleAlongAxis(const float3 &axis, float scalingFactor) {
    const float3 d = axis * scalingFactor;
    return float3x3(d.x, 0.f, 0.f, 0.f, d.y, 0.f, 0.f, 0.f, d.z);
}

float3x3 float3x3::FromRS(const Quat &rotate, const float3 &scale) { return FromRS(float3x3(rotate), scale); }
float3x3 float3x3::FromRS(const float3x3 &rotate, const float3 &scale) { return rotate * ScaleOp(scale); }
ScaleOp float3x3::Scale(float x, float y, float z) { return ScaleOp(x, y, z); }
ScaleOp float3x3::Scale(const float3 &scale) { return ScaleOp(scale); }
ScaleOp float3x3::UniformScale(float uniformScale) { return ScaleOp(uniformScale, uniformScale, uniformScale); }

float3x3 float3x3::ShearX(float yFactor, float zFactor) {
    return float3x3(1.f, yFactor, zFactor, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f);
}

float3x3 float3x3::ShearY(float xFactor, float zFactor) {
    return float3x3(1.f, 0.f, 0.f, xFactor, 1.f, zFactor, 0.f, 0.f, 1.f);
}

float3x3 float3x3::ShearZ(float xFactor, float yFactor) {
    return float3x3(1.f, 0.f, 0.f, 0.f, 1.f, 0.f, xFactor, yFactor, 1.f);
}

// The 3x3 parts of the affine forms, which add only the translation.
float3x3 float3x3::Mirror(const Plane &plane) { return float3x4::Mirror(plane).Float3x3Part(); }
float3x3 float3x3::OrthographicProjection(const Plane &target) {
    return float3x4::OrthographicProjection(target).Float3x3Part();
}

float3x3 float3x3::OrthographicProjectionYZ() { return float3x3(0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f); }
float3x3 float3x3::OrthographicProjectionXZ() { return float3x3(1.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 1.f); }
float3x3 float3x3::OrthographicProjectionXY() { return float3x3(1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f); }

float3x3 float3x3::operator*(const float3x3 &rhs) const {
    float3x3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.elements[i][j] = (elements[i][0] * rhs.elements[0][j] + elements[i][1] * rhs.elements[1][j]) +
                               elements[i][2] * rhs.elements[2][j];
    return r;
}

float3x3 float3x3::Mul(const float3x3 &rhs) const { return *this * rhs; }
float3x3 float3x3::operator*(const Quat &rhs) const { return *this * float3x3(rhs); }
float3x3 float3x3::Mul(const Quat &rhs) const { return *this * rhs; }

float3x4 float3x3::Mul(const float3x4 &rhs) const { return *this * rhs; }
float4x4 float3x3::Mul(const float4x4 &rhs) const { return *this * rhs; }

float3 float3x3::Transform(const float3 &vector) const { return Transform(vector.x, vector.y, vector.z); }

float3 float3x3::Transform(float x, float y, float z) const {
    const auto row = [&](int r) { return (elements[r][0] * x + elements[r][1] * y) + elements[r][2] * z; };
    return float3(row(0), row(1), row(2));
}

float3 float3x3::operator*(const float3 &vector) const { return Transform(vector); }
float3 float3x3::Mul(const float3 &vector) const { return Transform(vector); }
float4 float3x3::Transform(const float4 &vector) const { return float4(Transform(vector.xyz()), vector.w); }
float4 float3x3::operator*(const float4 &vector) const { return Transform(vector); }

float3 float3x3::TransformLeft(const float3 &v) const {
    const auto col = [&](int c) { return (v.x * elements[0][c] + v.y * elements[1][c]) + v.z * elements[2][c]; };
    return float3(col(0), col(1), col(2));
}

void float3x3::BatchTransform(float3 *vectors, int count) const {
    BatchTransform(vectors, count, static_cast<int>(sizeof(float3)));
}

void float3x3::BatchTransform(float3 *vectors, int count, int stride) const {
    matrix_elementwise::BatchMap(vectors, count, stride, [this](const float3 &v) { return Transform(v); });
}

void float3x3::BatchTransform(float4 *vectors, int count) const {
    BatchTransform(vectors, count, static_cast<int>(sizeof(float4)));
}

void float3x3::BatchTransform(float4 *vectors, int count, int stride) const {
    matrix_elementwise::BatchMap(vectors, count, stride, [this](const float4 &v) { return Transform(v); });
}

float3x3 float3x3::operator*(float scalar) const { return matrix_elementwise::Scaled(*this, scalar); }
float3x3 float3x3::operator/(float scalar) const { return matrix_elementwise::Divided(*this, scalar); }
float3x3 float3x3::operator+(const float3x3 &rhs) const { return matrix_elementwise::Sum(*this, rhs); }
float3x3 float3x3::operator-(const float3x3 &rhs) const { return matrix_elementwise::Difference(*this, rhs); }
float3x3 float3x3::operator-() const { return matrix_elementwise::Negated(*this); }
float3x3 &float3x3::operator*=(float scalar) { return matrix_elementwise::Scale(*this, scalar); }
float3x3 &float3x3::operator/=(float scalar) { return matrix_elementwise::Divide(*this, scalar); }
float3x3 &float3x3::operator+=(const float3x3 &rhs) { return matrix_elementwise::Add(*this, rhs); }
float3x3 &float3x3::operator-=(const float3x3 &rhs) { return matrix_elementwise::Subtract(*this, rhs); }

float float3x3::Determinant() const {
    const auto &m = elements;
    return ((m[1][1] * m[2][2] - m[1][2] * m[2][1]) * m[0][0] + (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * m[0][1]) +
           (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * m[0][2];
}

float float3x3::DeterminantSymmetric() const {
    const auto &m = elements;
    return ((2.f * m[0][2] * m[1][2] - m[2][2] * m[0][1]) * m[0][1] + (m[1][1] * m[2][2] - m[1][2] * m[1][2]) * m[0][0]) -
           m[0][2] * m[0][2] * m[1][1];
}

bool float3x3::Inverse(float epsilon) {
    float3x3 copy = *this;
    if (!GaussJordanInverse(copy.elements, epsilon)) return false;
    *this = copy;
    return true;
}

float3x3 float3x3::Inverted() const {
    float3x3 copy = *this;
    copy.Inverse(1e-6f);
    return copy;
}

bool float3x3::InverseFast(float epsilon) {
    const float d = Determinant();
    if (EqualAbs(d, 0.f, epsilon)) return false;
    const float invD = 1.f / d;
    float3x3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.elements[i][j] = Cofactor(elements, j, i) * invD;
    *this = r;
    return true;
}

bool float3x3::SolveAxb(float3 b, float3 &x) const {
    float m[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = elements[i][j];
    float rhs[3] = {b.x, b.y, b.z};
    const auto swapRows = [&](int r1, int r2) {
        for (int c = 0; c < 3; ++c) std::swap(m[r1][c], m[r2][c]);
        std::swap(rhs[r1], rhs[r2]);
    };
    const auto isZero = [](float v) { return EqualAbs(v, 0.f, 1e-4f); };

    const float a0 = std::fabs(m[0][0]), a1 = std::fabs(m[1][0]), a2 = std::fabs(m[2][0]);
    if (a1 >= a0 && a1 >= a2)
        swapRows(0, 1);
    else if (a2 >= a0)
        swapRows(0, 2);

    if (isZero(m[0][0])) return false;
    const float s0 = 1.f / m[0][0];
    m[0][1] *= s0;
    m[0][2] *= s0;
    rhs[0] *= s0;
    for (int r = 1; r < 3; ++r) {
        const float f = m[r][0];
        m[r][1] -= f * m[0][1];
        m[r][2] -= f * m[0][2];
        rhs[r] -= f * rhs[0];
    }

    if (std::fabs(m[2][1]) > std::fabs(m[1][1])) swapRows(1, 2);
    if (isZero(m[1][1])) return false;
    const float s1 = 1.f / m[1][1];
    m[1][2] *= s1;
    rhs[1] *= s1;
    rhs[2] -= m[2][1] * rhs[1];

    const float p = m[2][2] - m[2][1] * m[1][2];
    if (isZero(p)) return false;
    const float x2 = rhs[2] / p;
    const float x1 = rhs[1] - m[1][2] * x2;
    const float x0 = (rhs[0] - m[0][2] * x2) - m[0][1] * x1;
    x = float3(x0, x1, x2);
    return true;
}

bool float3x3::InverseSymmetric() {
    const float m00 = elements[0][0], m01 = elements[0][1], m02 = elements[0][2];
    const float m11 = elements[1][1], m12 = elements[1][2], m22 = elements[2][2];
    const float g = m01 * m12 - m02 * m11;
    const float h = m02 * m12 - m01 * m22;
    const float l = m11 * m22 - m12 * m12;
    const float d = m02 * g + (m01 * h + m00 * l);
    if (EqualAbs(d, 0.f, 1e-4f)) return false;
    const float s = 1.f / d;
    const float r01 = h * s, r02 = g * s, r12 = (m01 * m02 - m12 * m00) * s;
    Set(l * s, r01, r02, r01, (m22 * m00 - m02 * m02) * s, r12, r02, r12, (m11 * m00 - m01 * m01) * s);
    return true;
}

bool float3x3::InverseColOrthogonal() {
    float3 rows[3];
    for (int i = 0; i < 3; ++i) {
        const float3 col = Col(i);
        const float lengthSq = col.LengthSq();
        if (lengthSq < 1e-8f) return false;
        rows[i] = col / lengthSq;
    }
    for (int i = 0; i < 3; ++i) SetRow(i, rows[i]);
    return true;
}

bool float3x3::InverseOrthogonalUniformScale() {
    const float scaleSq = Col(0).LengthSq();
    if (scaleSq < 1e-8f) return false;
    Transpose();
    *this /= scaleSq;
    return true;
}

void float3x3::InverseOrthonormal() { Transpose(); }

void float3x3::Transpose() {
    std::swap(elements[0][1], elements[1][0]);
    std::swap(elements[0][2], elements[2][0]);
    std::swap(elements[1][2], elements[2][1]);
}

float3x3 float3x3::Transposed() const {
    float3x3 copy = *this;
    copy.Transpose();
    return copy;
}

bool float3x3::InverseTranspose() {
    const bool success = Inverse(1e-6f);
    Transpose();
    return success;
}

float3x3 float3x3::InverseTransposed() const {
    float3x3 copy = Transposed();
    copy.Inverse(1e-6f);
    return copy;
}

float float3x3::Trace() const { return (elements[0][0] + elements[1][1]) + elements[2][2]; }

void float3x3::Orthonormalize(int c0, int c1, int c2) {
    if (c0 == c1 || c0 == c2 || c1 == c2) return;
    float3 a = Col(c0), b = Col(c1), c = Col(c2);
    float3::Orthonormalize(a, b, c);
    SetCol(c0, a);
    SetCol(c1, b);
    SetCol(c2, c);
}

void float3x3::RemoveScale() {
    for (int i = 0; i < 3; ++i) Row(i).Normalize();
}

float3 float3x3::ExtractScale() const { return float3(Col(0).Length(), Col(1).Length(), Col(2).Length()); }
float3 float3x3::GetScale() const { return ExtractScale(); }

void float3x3::Decompose(float3x3 &rotate, float3 &scale) const {
    scale = ExtractScale();
    rotate = *this;
    rotate.ScaleCol(0, 1.f / scale.x);
    rotate.ScaleCol(1, 1.f / scale.y);
    rotate.ScaleCol(2, 1.f / scale.z);
}

void float3x3::Decompose(Quat &rotate, float3 &scale) const {
    float3x3 r;
    Decompose(r, scale);
    rotate.Set(r);
}

Quat float3x3::ToQuat() const {
    Quat q;
    q.Set(*this);
    return q;
}

bool float3x3::IsFinite() const { return Row(0).IsFinite() && Row(1).IsFinite() && Row(2).IsFinite(); }

bool float3x3::IsIdentity(float epsilon) const { return Equals(identity, epsilon); }

bool float3x3::IsLowerTriangular(float epsilon) const {
    return EqualAbs(elements[0][1], 0.f, epsilon) && EqualAbs(elements[0][2], 0.f, epsilon) &&
           EqualAbs(elements[1][2], 0.f, epsilon);
}

bool float3x3::IsUpperTriangular(float epsilon) const {
    return EqualAbs(elements[1][0], 0.f, epsilon) && EqualAbs(elements[2][0], 0.f, epsilon) &&
           EqualAbs(elements[2][1], 0.f, epsilon);
}

bool float3x3::IsInvertible(float epsilon) const { return !EqualAbs(Determinant(), 0.f, epsilon); }

bool float3x3::IsSymmetric(float epsilon) const {
    return EqualAbs(elements[0][1], elements[1][0], epsilon) && EqualAbs(elements[0][2], elements[2][0], epsilon) &&
           EqualAbs(elements[1][2], elements[2][1], epsilon);
}

bool float3x3::IsSkewSymmetric(float epsilon) const {
    return EqualAbs(elements[0][0], 0.f, epsilon) && EqualAbs(elements[1][1], 0.f, epsilon) &&
           EqualAbs(elements[2][2], 0.f, epsilon) && EqualAbs(elements[0][1], -elements[1][0], epsilon) &&
           EqualAbs(elements[0][2], -elements[2][0], epsilon) && EqualAbs(elements[1][2], -elements[2][1], epsilon);
}

bool float3x3::Equals(const float3x3 &other, float epsilon) const {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (!EqualAbs(elements[i][j], other.elements[i][j], epsilon)) return false;
    return true;
}

bool float3x3::HasUnitaryScale(float epsilon) const { return ExtractScale().Equals(1.f, 1.f, 1.f, epsilon); }

bool float3x3::HasNegativeScale() const { return Determinant() < 0.f; }

bool float3x3::HasUniformScale(float epsilon) const {
    const float3 scale = ExtractScale();
    return EqualAbs(scale.x, scale.y, epsilon) && EqualAbs(scale.x, scale.z, epsilon);
}

bool float3x3::IsRowOrthogonal(float epsilon) const {
    return Row(0).IsPerpendicular(Row(1), epsilon) && Row(0).IsPerpendicular(Row(2), epsilon) &&
           Row(1).IsPerpendicular(Row(2), epsilon);
}

bool float3x3::IsColOrthogonal(float epsilon) const {
    return Col(0).IsPerpendicular(Col(1), epsilon) && Col(0).IsPerpendicular(Col(2), epsilon) &&
           Col(1).IsPerpendicular(Col(2), epsilon);
}

// Orthogonal columns and unit rows alone would accept a matrix whose columns are
// orthogonal but not of unit length, so the columns are measured too.
bool float3x3::IsOrthonormal(float epsilon) const {
    if (!IsColOrthogonal(epsilon)) return false;
    for (int i = 0; i < 3; ++i)
        if (!Row(i).IsNormalized(epsilon) || !Col(i).IsNormalized(epsilon)) return false;
    return true;
}

std::string float3x3::ToString() const {
    const auto &m = elements;
    return FormatText("(%.2f, %.2f, %.2f) (%.2f, %.2f, %.2f) (%.2f, %.2f, %.2f)", PrintableFloat(m[0][0]),
                      PrintableFloat(m[0][1]), PrintableFloat(m[0][2]), PrintableFloat(m[1][0]),
                      PrintableFloat(m[1][1]), PrintableFloat(m[1][2]), PrintableFloat(m[2][0]),
                      PrintableFloat(m[2][1]), PrintableFloat(m[2][2]));
}

std::string float3x3::ToString2() const {
    const auto &m = elements;
    return FormatText("float3x3(X:(%.2f,%.2f,%.2f) Y:(%.2f,%.2f,%.2f) Z:(%.2f,%.2f,%.2f)", PrintableFloat(m[0][0]),
                      PrintableFloat(m[1][0]), PrintableFloat(m[2][0]), PrintableFloat(m[0][1]),
                      PrintableFloat(m[1][1]), PrintableFloat(m[2][1]), PrintableFloat(m[0][2]),
                      PrintableFloat(m[1][2]), PrintableFloat(m[2][2]));
}

float3 operator*(const float3 &lhs, const float3x3 &rhs) { return rhs.TransformLeft(lhs); }

float4 operator*(const float4 &lhs, const float3x3 &rhs) { return float4(rhs.TransformLeft(lhs.xyz()), lhs.w); }

float3x3 operator*(const Quat &lhs, const float3x3 &rhs) { return float3x3(lhs) * rhs; }

std::ostream &operator<<(std::ostream &out, const float3x3 &rhs) { return out << rhs.ToString(); }

// ---- Text forms ----

std::string float3x3::SerializeToString() const {
    const std::string text = detail::SerializeFloats(&elements[0][0], 9);
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Math/float3x3", 1456);
    return text;
}

}  // namespace math
