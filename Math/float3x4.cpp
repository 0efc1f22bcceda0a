#include "Math/float3x4.h"

#include <limits>
#include <ostream>
#include <utility>

#include "Algorithm/Random/LCG.h"
#include "Math/Assume.h"
#include "Math/GaussJordan.h"
#include "Math/MathOps.h"
#include "Math/MatrixElementwise.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Indices are compared as unsigned, so negative ones are out of range too.
bool RowInRange(int row) { return static_cast<unsigned>(row) < 3u; }
bool ColInRange(int col) { return static_cast<unsigned>(col) < 4u; }

// X about the point p, T(p) X T(-p): the translation becomes p - X p, summed as
// ((x_r0 (-p_x) + x_r1 (-p_y)) + x_r2 (-p_z)) + p_r.
float3x4 AboutPoint(const float3x3 &inner, const float3 &p) { return float3x4(inner, inner * -p + p); }

float3x3 Diagonal3(const float3 &d) { return float3x3(d.x, 0.f, 0.f, 0.f, d.y, 0.f, 0.f, 0.f, d.z); }

}  // namespace

const float3x4 float3x4::identity(1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f);
const float3x4 float3x4::zero(0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
const float3x4 float3x4::nan(kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN);

float3x4::float3x4(const float3x3 &other) : float3x4(other, float3::zero) {}

float3x4::float3x4(const float3x3 &other, const float3 &translation) {
    Set3x3Part(other);
    SetCol(3, translation);
}

float3x4::float3x4(const float3 &col0, const float3 &col1, const float3 &col2, const float3 &col3)
    : float3x4(col0.x, col1.x, col2.x, col3.x, col0.y, col1.y, col2.y, col3.y, col0.z, col1.z, col2.z, col3.z) {}

float3x4::float3x4(const Quat &orientation) : float3x4(float3x3(orientation)) {}

float3x4::float3x4(const Quat &orientation, const float3 &translation)
    : float3x4(float3x3(orientation), translation) {}

float3x4 float3x4::FromQuat(const Quat &orientation) { return float3x4(orientation); }

float3x4 &float3x4::operator=(const float3x3 &rhs) { return *this = float3x4(rhs); }

float3x4 &float3x4::operator=(const Quat &rhs) { return *this = rhs.ToFloat3x4(); }

void float3x4::Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                   float m20, float m21, float m22, float m23) {
    *this = float3x4(m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23);
}

void float3x4::Set(const float3x4 &rhs) { *this = rhs; }

void float3x4::Set(const float *values) {
    if (!values) return;
    for (int i = 0; i < 12; ++i) elements[i / 4][i % 4] = values[i];
}

void float3x4::Set(int row, int col, float value) {
    if (RowInRange(row) && ColInRange(col)) elements[row][col] = value;
}

void float3x4::SetIdentity() { *this = identity; }

void float3x4::Set3x3Part(const float3x3 &rotation) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) elements[r][c] = rotation.elements[r][c];
}

void float3x4::SetRotatePart(const Quat &orientation) { Set3x3Part(float3x3(orientation)); }

void float3x4::SetRotatePart(const float3 &axis, float angle) { Set3x3Part(float3x3::RotateAxisAngle(axis, angle)); }

void float3x4::SetRotatePartX(float angle) { Set3x3Part(float3x3::RotateX(angle)); }
void float3x4::SetRotatePartY(float angle) { Set3x3Part(float3x3::RotateY(angle)); }
void float3x4::SetRotatePartZ(float angle) { Set3x3Part(float3x3::RotateZ(angle)); }

MatrixProxy<4> float3x4::operator[](int row) { return MatrixProxy<4>(elements[RowInRange(row) ? row : 0]); }

MatrixProxy<4, const float> float3x4::operator[](int row) const {
    return MatrixProxy<4, const float>(elements[RowInRange(row) ? row : 0]);
}

float &float3x4::At(int row, int col) {
    return RowInRange(row) && ColInRange(col) ? elements[row][col] : elements[0][0];
}

float float3x4::At(int row, int col) const { return RowInRange(row) && ColInRange(col) ? elements[row][col] : kNaN; }

// The first three floats of a row are laid out as a float3.
float4 &float3x4::Row(int row) { return *reinterpret_cast<float4 *>(elements[RowInRange(row) ? row : 0]); }

const float4 &float3x4::Row(int row) const {
    return *reinterpret_cast<const float4 *>(elements[RowInRange(row) ? row : 0]);
}

float3 &float3x4::Row3(int row) { return *reinterpret_cast<float3 *>(elements[RowInRange(row) ? row : 0]); }

const float3 &float3x4::Row3(int row) const {
    return *reinterpret_cast<const float3 *>(elements[RowInRange(row) ? row : 0]);
}

float3 float3x4::Col(int col) const {
    if (!ColInRange(col)) return float3::nan;
    return float3(elements[0][col], elements[1][col], elements[2][col]);
}

float3 float3x4::Diagonal() const { return float3(elements[0][0], elements[1][1], elements[2][2]); }

float3x3 float3x4::Float3x3Part() const {
    const auto &m = elements;
    return float3x3(m[0][0], m[0][1], m[0][2], m[1][0], m[1][1], m[1][2], m[2][0], m[2][1], m[2][2]);
}

float3x3 float3x4::RotatePart() const { return Float3x3Part(); }
float3 float3x4::TranslatePart() const { return Col(3); }
float3 float3x4::WorldX() const { return Col(0); }
float3 float3x4::WorldY() const { return Col(1); }
float3 float3x4::WorldZ() const { return Col(2); }

void float3x4::SetRow(int row, float m_r0, float m_r1, float m_r2, float m_r3) {
    if (!RowInRange(row)) return;
    elements[row][0] = m_r0;
    elements[row][1] = m_r1;
    elements[row][2] = m_r2;
    elements[row][3] = m_r3;
}

void float3x4::SetRow(int row, const float3 &rowVector, float m_r3) {
    SetRow(row, rowVector.x, rowVector.y, rowVector.z, m_r3);
}

void float3x4::SetRow(int row, const float *values) {
    if (values) SetRow(row, values[0], values[1], values[2], values[3]);
}

void float3x4::SetRow(int row, const float4 &rowVector) {
    SetRow(row, rowVector.x, rowVector.y, rowVector.z, rowVector.w);
}

void float3x4::SetCol(int col, float m_0c, float m_1c, float m_2c) {
    if (!ColInRange(col)) return;
    elements[0][col] = m_0c;
    elements[1][col] = m_1c;
    elements[2][col] = m_2c;
}

void float3x4::SetCol(int col, const float3 &columnVector) {
    SetCol(col, columnVector.x, columnVector.y, columnVector.z);
}

void float3x4::SetCol(int col, const float *values) {
    if (values) SetCol(col, values[0], values[1], values[2]);
}

// The fallback to row 0 for a bad index is the first-element rule of the matrix
// types; the 3x3 type does nothing instead.
void float3x4::ScaleRow(int row, float scalar) {
    for (float &e : elements[RowInRange(row) ? row : 0]) e *= scalar;
}

void float3x4::ScaleRow3(int row, float scalar) { Row3(row) *= scalar; }

void float3x4::ScaleCol(int col, float scalar) {
    if (!ColInRange(col)) return;
    for (auto &row : elements) row[col] *= scalar;
}

void float3x4::SwapRows(int row1, int row2) {
    if (!RowInRange(row1) || !RowInRange(row2)) return;
    for (int c = 0; c < 4; ++c) std::swap(elements[row1][c], elements[row2][c]);
}

void float3x4::SwapColumns(int col1, int col2) {
    if (!ColInRange(col1) || !ColInRange(col2)) return;
    for (auto &row : elements) std::swap(row[col1], row[col2]);
}

float3x4 float3x4::RotateX(float angle) { return float3x4(float3x3::RotateX(angle)); }
float3x4 float3x4::RotateY(float angle) { return float3x4(float3x3::RotateY(angle)); }
float3x4 float3x4::RotateZ(float angle) { return float3x4(float3x3::RotateZ(angle)); }

float3x4 float3x4::RotateX(float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateX(angle), pointOnAxis);
}

float3x4 float3x4::RotateY(float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateY(angle), pointOnAxis);
}

float3x4 float3x4::RotateZ(float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3::RotateZ(angle), pointOnAxis);
}

float3x4 float3x4::RotateAxisAngle(const float3 &axis, float angle) {
    return float3x4(Quat::RotateAxisAngle(axis, angle));
}

float3x4 float3x4::RotateAxisAngle(const float3 &axis, float angle, const float3 &pointOnAxis) {
    return AboutPoint(float3x3(Quat::RotateAxisAngle(axis, angle)), pointOnAxis);
}

float3x4 float3x4::RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection) {
    return float3x4(Quat::RotateFromTo(sourceDirection, targetDirection));
}

float3x4 float3x4::RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection,
                                const float3 &centerPoint) {
    return AboutPoint(float3x3(Quat::RotateFromTo(sourceDirection, targetDirection)), centerPoint);
}

float3x4 float3x4::FromQuat(const Quat &orientation, const float3 &pointOnAxis) {
    return AboutPoint(float3x3(orientation), pointOnAxis);
}

float3x4 float3x4::LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                          const float3 &worldUp) {
    return float3x4(float3x3::LookAt(localForward, targetDirection, localUp, worldUp));
}

float3x4 float3x4::LookAt(const float3 &eyePos, const float3 &targetPos, const float3 &localForward,
                          const float3 &localUp, const float3 &worldUp) {
    const float3 targetDirection = (targetPos - eyePos).Normalized();
    return float3x4(float3x3::LookAt(localForward, targetDirection, localUp, worldUp), eyePos);
}

float3x4 float3x4::RandomRotation(LCG &lcg) { return float3x4(float3x3::RandomRotation(lcg)); }

float3x4 float3x4::RandomGeneral(LCG &lcg, float minElem, float maxElem) {
    float3x4 m;
    for (auto &row : m.elements)
        for (float &e : row) e = lcg.Float(minElem, maxElem);
    return m;
}

float3x4 float3x4::FromTRS(const float3 &translate, const Quat &rotate, const float3 &scale) {
    return FromTRS(translate, float3x4(rotate), scale);
}

float3x4 float3x4::FromTRS(const float3 &translate, const float3x3 &rotate, const float3 &scale) {
    return FromTRS(translate, float3x4(rotate), scale);
}

// T(t) times R adds t to R's translation; times diag(s) scales columns 0 to 2.
float3x4 float3x4::FromTRS(const float3 &translate, const float3x4 &rotate, const float3 &scale) {
    float3x4 m = rotate;
    m.SetCol(3, rotate.TranslatePart() + translate);
    m.ScaleCol(0, scale.x);
    m.ScaleCol(1, scale.y);
    m.ScaleCol(2, scale.z);
    return m;
}

float3x4 float3x4::Scale(const float3 &scale, const float3 &scaleCenter) {
    return AboutPoint(Diagonal3(scale), scaleCenter);
}

float3x4 float3x4::UniformScale(float uniformScale, const float3 &scaleCenter) {
    return Scale(float3(uniformScale), scaleCenter);
}

float3x4 float3x4::ScaleAlongAxis(const float3 &axis, float scalingFactor) {
    return float3x4(Diagonal3(axis * scalingFactor));
}

float3x4 float3x4::ScaleAlongAxis(const float3 &axis, float scalingFactor, const float3 &scaleCenter) {
    return Scale(axis * scalingFactor, scaleCenter);
}

float3x4 float3x4::Scale(const float4 &scale, const float4 &scaleCenter) {
    return Scale(scale.xyz(), scaleCenter.xyz());
}

TranslateOp float3x4::Translate(float x, float y, float z) { return TranslateOp(x, y, z); }
TranslateOp float3x4::Translate(const float3 &offset) { return TranslateOp(offset); }
TranslateOp float3x4::Translate(const float4 &offset) { return TranslateOp(offset.xyz()); }
ScaleOp float3x4::Scale(float x, float y, float z) { return ScaleOp(x, y, z); }
ScaleOp float3x4::Scale(const float3 &scale) { return ScaleOp(scale); }
ScaleOp float3x4::Scale(const float4 &scale) { return ScaleOp(scale); }
ScaleOp float3x4::UniformScale(float uniformScale) { return ScaleOp(uniformScale, uniformScale, uniformScale); }

float3x4 float3x4::ShearX(float yFactor, float zFactor) { return float3x4(float3x3::ShearX(yFactor, zFactor)); }
float3x4 float3x4::ShearY(float xFactor, float zFactor) { return float3x4(float3x3::ShearY(xFactor, zFactor)); }
float3x4 float3x4::ShearZ(float xFactor, float yFactor) { return float3x4(float3x3::ShearZ(xFactor, yFactor)); }

float3x4 float3x4::OrthographicProjectionYZ() { return float3x4(float3x3::OrthographicProjectionYZ()); }
float3x4 float3x4::OrthographicProjectionXZ() { return float3x4(float3x3::OrthographicProjectionXZ()); }
float3x4 float3x4::OrthographicProjectionXY() { return float3x4(float3x3::OrthographicProjectionXY()); }

float3x4 float3x4::operator*(const float3x4 &rhs) const {
    return float3x4(Float3x3Part() * rhs.Float3x3Part(), TransformPos(rhs.TranslatePart()));
}

float3x4 float3x4::Mul(const float3x4 &rhs) const { return *this * rhs; }

float3x4 float3x4::operator*(const float3x3 &rhs) const {
    return float3x4(Float3x3Part() * rhs, TranslatePart());
}

float3x4 float3x4::Mul(const float3x3 &rhs) const { return *this * rhs; }

float4x4 float3x4::Mul(const float4x4 &rhs) const { return *this * rhs; }

float3x4 float3x4::operator*(const Quat &rhs) const { return *this * float3x3(rhs); }

float3x4 float3x4::Mul(const Quat &rhs) const { return *this * rhs; }

float3 float3x4::TransformPos(const float3 &pointVector) const {
    return TransformPos(pointVector.x, pointVector.y, pointVector.z);
}

float3 float3x4::TransformPos(float x, float y, float z) const {
    const auto &m = elements;
    return float3(((m[0][0] * x + m[0][1] * y) + m[0][2] * z) + m[0][3],
                  ((m[1][0] * x + m[1][1] * y) + m[1][2] * z) + m[1][3],
                  ((m[2][0] * x + m[2][1] * y) + m[2][2] * z) + m[2][3]);
}

float3 float3x4::MulPos(const float3 &pointVector) const { return TransformPos(pointVector); }

float3 float3x4::TransformDir(const float3 &directionVector) const {
    return TransformDir(directionVector.x, directionVector.y, directionVector.z);
}

float3 float3x4::TransformDir(float x, float y, float z) const {
    const auto &m = elements;
    return float3((m[0][0] * x + m[0][1] * y) + m[0][2] * z, (m[1][0] * x + m[1][1] * y) + m[1][2] * z,
                  (m[2][0] * x + m[2][1] * y) + m[2][2] * z);
}

float3 float3x4::MulDir(const float3 &directionVector) const { return TransformDir(directionVector); }

float4 float3x4::Transform(const float4 &vector) const {
    const auto row = [&](int r) { return float4(elements[r][0], elements[r][1], elements[r][2], elements[r][3]); };
    return float4(row(0).Dot4(vector), row(1).Dot4(vector), row(2).Dot4(vector), vector.w);
}

float4 float3x4::operator*(const float4 &vector) const { return Transform(vector); }
float4 float3x4::Mul(const float4 &vector) const { return Transform(vector); }
float4 float3x4::MulPos(const float4 &vector) const { return Transform(vector); }
float4 float3x4::MulDir(const float4 &vector) const { return Transform(vector); }
float4 float3x4::TransformDir(const float4 &vector) const { return Transform(vector); }

void float3x4::BatchTransformPos(float3 *pointArray, int numPoints) const {
    BatchTransformPos(pointArray, numPoints, static_cast<int>(sizeof(float3)));
}

void float3x4::BatchTransformPos(float3 *pointArray, int numPoints, int stride) const {
    matrix_elementwise::BatchMap(pointArray, numPoints, stride, [this](const float3 &p) { return TransformPos(p); });
}

void float3x4::BatchTransformDir(float3 *dirArray, int numVectors) const {
    BatchTransformDir(dirArray, numVectors, static_cast<int>(sizeof(float3)));
}

void float3x4::BatchTransformDir(float3 *dirArray, int numVectors, int stride) const {
    matrix_elementwise::BatchMap(dirArray, numVectors, stride, [this](const float3 &v) { return TransformDir(v); });
}

void float3x4::BatchTransform(float4 *vectorArray, int numVectors) const {
    BatchTransform(vectorArray, numVectors, static_cast<int>(sizeof(float4)));
}

void float3x4::BatchTransform(float4 *vectorArray, int numVectors, int stride) const {
    matrix_elementwise::BatchMap(vectorArray, numVectors, stride, [this](const float4 &v) { return Transform(v); });
}

float3x4 float3x4::operator*(float scalar) const { return matrix_elementwise::Scaled(*this, scalar); }
float3x4 float3x4::operator/(float scalar) const { return matrix_elementwise::Divided(*this, scalar); }
float3x4 float3x4::operator+(const float3x4 &rhs) const { return matrix_elementwise::Sum(*this, rhs); }
float3x4 float3x4::operator-(const float3x4 &rhs) const { return matrix_elementwise::Difference(*this, rhs); }
float3x4 float3x4::operator-() const { return matrix_elementwise::Negated(*this); }
float3x4 &float3x4::operator*=(float scalar) { return matrix_elementwise::Scale(*this, scalar); }
float3x4 &float3x4::operator/=(float scalar) { return matrix_elementwise::Divide(*this, scalar); }
float3x4 &float3x4::operator+=(const float3x4 &rhs) { return matrix_elementwise::Add(*this, rhs); }
float3x4 &float3x4::operator-=(const float3x4 &rhs) { return matrix_elementwise::Subtract(*this, rhs); }

float float3x4::Determinant() const {
    const auto &m = elements;
    return m[0][2] * m[1][0] * m[2][1] + m[0][1] * m[1][2] * m[2][0] + m[0][0] * m[1][1] * m[2][2] -
           m[0][0] * m[1][2] * m[2][1] - m[0][1] * m[1][0] * m[2][2] - m[0][2] * m[1][1] * m[2][0];
}

// The elimination works on a copy so that a singular matrix stays as it was.
bool float3x4::Inverse(float epsilon) {
    float m[4][4];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = elements[r][c];
    m[3][0] = m[3][1] = m[3][2] = 0.f;
    m[3][3] = 1.f;
    if (!GaussJordanInverse(m, epsilon)) return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) elements[r][c] = m[r][c];
    return true;
}

float3x4 float3x4::Inverted() const {
    float3x4 copy = *this;
    copy.Inverse(1e-6f);
    return copy;
}

bool float3x4::InverseColOrthogonal() {
    float3 rows[3];
    for (int i = 0; i < 3; ++i) {
        const float3 col = Col(i);
        const float lengthSq = col.LengthSq();
        if (lengthSq < 1e-8f) return false;
        rows[i] = col / lengthSq;
    }
    const float3x3 inverse3(rows[0].x, rows[0].y, rows[0].z, rows[1].x, rows[1].y, rows[1].z, rows[2].x,
                            rows[2].y, rows[2].z);
    *this = float3x4(inverse3, inverse3 * -TranslatePart());
    return true;
}

bool float3x4::InverseOrthogonalUniformScale() {
    const float scaleSq = Col(0).LengthSq();
    if (scaleSq == 0.f) return false;
    float3x3 inverse3 = Float3x3Part().Transposed();
    inverse3 *= 1.f / scaleSq;
    *this = float3x4(inverse3, inverse3 * -TranslatePart());
    return true;
}

void float3x4::InverseOrthonormal() {
    const float3x3 inverse3 = Float3x3Part().Transposed();
    *this = float3x4(inverse3, inverse3 * -TranslatePart());
}

void float3x4::Transpose3() { Set3x3Part(Float3x3Part().Transposed()); }

float3x4 float3x4::Transposed3() const {
    float3x4 copy = *this;
    copy.Transpose3();
    return copy;
}

bool float3x4::InverseTranspose() {
    const bool success = Inverse(1e-6f);
    Transpose3();
    SetCol(3, float3::zero);
    return success;
}

float3x4 float3x4::InverseTransposed() const {
    float3x4 copy = Transposed3();
    copy.Inverse(1e-6f);
    copy.SetCol(3, float3::zero);
    return copy;
}

float float3x4::Trace() const { return Float3x3Part().Trace(); }

void float3x4::Orthonormalize(int c0, int c1, int c2) {
    if (c0 == c1 || c0 == c2 || c1 == c2) return;
    float3 a = Col(c0), b = Col(c1), c = Col(c2);
    float3::Orthonormalize(a, b, c);
    SetCol(c0, a);
    SetCol(c1, b);
    SetCol(c2, c);
}

void float3x4::RemoveScale() {
    for (int i = 0; i < 3; ++i) Row3(i).Normalize();
}

float3 float3x4::ExtractScale() const { return Float3x3Part().ExtractScale(); }
float3 float3x4::GetScale() const { return ExtractScale(); }

void float3x4::Decompose(float3 &translate, float3x3 &rotate, float3 &scale) const {
    translate = TranslatePart();
    Float3x3Part().Decompose(rotate, scale);
}

void float3x4::Decompose(float3 &translate, Quat &rotate, float3 &scale) const {
    translate = TranslatePart();
    Float3x3Part().Decompose(rotate, scale);
}

void float3x4::Decompose(float3 &translate, float3x4 &rotate, float3 &scale) const {
    float3x3 rotate3;
    Decompose(translate, rotate3, scale);
    rotate = float3x4(rotate3);
}

bool float3x4::IsFinite() const {
    return Col(0).IsFinite() && Col(1).IsFinite() && Col(2).IsFinite() && Col(3).IsFinite();
}

bool float3x4::IsIdentity(float epsilon) const { return Equals(identity, epsilon); }

bool float3x4::IsLowerTriangular(float epsilon) const {
    const auto &m = elements;
    return EqualAbs(m[0][1], 0.f, epsilon) && EqualAbs(m[0][2], 0.f, epsilon) && EqualAbs(m[0][3], 0.f, epsilon) &&
           EqualAbs(m[1][2], 0.f, epsilon) && EqualAbs(m[1][3], 0.f, epsilon) && EqualAbs(m[2][3], 0.f, epsilon);
}

bool float3x4::IsUpperTriangular(float epsilon) const { return Float3x3Part().IsUpperTriangular(epsilon); }

bool float3x4::IsInvertible(float epsilon) const { return !EqualAbs(Determinant(), 0.f, epsilon); }

bool float3x4::IsSymmetric(float epsilon) const { return Float3x3Part().IsSymmetric(epsilon); }

bool float3x4::IsSkewSymmetric(float epsilon) const { return Float3x3Part().IsSkewSymmetric(epsilon); }

bool float3x4::Equals(const float3x4 &other, float epsilon) const {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            if (!EqualAbs(elements[i][j], other.elements[i][j], epsilon)) return false;
    return true;
}

bool float3x4::HasUnitaryScale(float epsilon) const { return Float3x3Part().HasUnitaryScale(epsilon); }

bool float3x4::HasNegativeScale() const { return Determinant() < 0.f; }

bool float3x4::HasUniformScale(float epsilon) const { return Float3x3Part().HasUniformScale(epsilon); }

// The 3x3 part's tests look at the first three elements of each row only, so the
// translation neither loosens the row test nor escapes the unit-length test.
bool float3x4::IsRowOrthogonal(float epsilon) const { return Float3x3Part().IsRowOrthogonal(epsilon); }

bool float3x4::IsColOrthogonal(float epsilon) const { return Float3x3Part().IsColOrthogonal(epsilon); }

bool float3x4::IsOrthonormal(float epsilon) const { return Float3x3Part().IsOrthonormal(epsilon); }

std::string float3x4::ToString() const {
    const auto &m = elements;
    return FormatText("(%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f) (%.2f, %.2f, %.2f, %.2f)",
                      PrintableFloat(m[0][0]), PrintableFloat(m[0][1]), PrintableFloat(m[0][2]),
                      PrintableFloat(m[0][3]), PrintableFloat(m[1][0]), PrintableFloat(m[1][1]),
                      PrintableFloat(m[1][2]), PrintableFloat(m[1][3]), PrintableFloat(m[2][0]),
                      PrintableFloat(m[2][1]), PrintableFloat(m[2][2]), PrintableFloat(m[2][3]));
}

std::string float3x4::ToString2() const {
    const auto &m = elements;
    return FormatText("float3x4(X:(%.2f,%.2f,%.2f) Y:(%.2f,%.2f,%.2f) Z:(%.2f,%.2f,%.2f), Pos:(%.2f,%.2f,%.2f))",
                      PrintableFloat(m[0][0]), PrintableFloat(m[1][0]), PrintableFloat(m[2][0]),
                      PrintableFloat(m[0][1]), PrintableFloat(m[1][1]), PrintableFloat(m[2][1]),
                      PrintableFloat(m[0][2]), PrintableFloat(m[1][2]), PrintableFloat(m[2][2]),
                      PrintableFloat(m[0][3]), PrintableFloat(m[1][3]), PrintableFloat(m[2][3]));
}

float3x4 operator*(const float3x3 &lhs, const float3x4 &rhs) { return float3x4(lhs) * rhs; }

float3x4 operator*(const Quat &lhs, const float3x4 &rhs) { return float3x4(lhs) * rhs; }

float4 operator*(const float4 &lhs, const float3x4 &rhs) {
    const float3 xyz = lhs.xyz() * rhs.Float3x3Part();
    return float4(xyz, lhs.xyz().Dot(rhs.TranslatePart()) + lhs.w);
}

std::ostream &operator<<(std::ostream &out, const float3x4 &rhs) { return out << rhs.ToString(); }

// ---- Text forms ----

std::string float3x4::SerializeToString() const {
    const std::string text = detail::SerializeFloats(&elements[0][0], 12);
    MATH_ASSUME(text.size() + 1 < 512, "s+1 - str < 512", "Math/float3x4", 1604);
    return text;
}

}  // namespace math
