#include "Math/EulerAngles.h"

#include "Math/Quat.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

// Starting from the identity gives the 3x4 and 4x4 forms their zero translation and
// row 3 before the 3x3 part is written.
template <typename Matrix, void (*SetPart)(Matrix &, float, float, float)>
Matrix FromEuler(float a, float b, float c) {
    Matrix m = Matrix::identity;
    SetPart(m, a, b, c);
    return m;
}

template <typename Matrix, void (*ExtractAngles)(const Matrix &, float &, float &, float &)>
float3 ToEuler(const Matrix &m) {
    float3 angles;
    ExtractAngles(m, angles.x, angles.y, angles.z);
    return angles;
}

Quat (*const kQuatRotation[3])(float) = {&Quat::RotateX, &Quat::RotateY, &Quat::RotateZ};

template <int P, int Q, int R>
Quat QuatFromEuler(float a, float b, float c) {
    const Quat pq = kQuatRotation[P](a) * kQuatRotation[Q](b);
    return (pq * kQuatRotation[R](c)).Normalized();
}

}  // namespace

#define VANDREL_EULER_MATRIX_MEMBERS(P, Q, R, Matrix)                                           \
    Matrix Matrix::FromEuler##P##Q##R(float a, float b, float c) {                              \
        return FromEuler<Matrix, &Set3x3PartRotateEuler##P##Q##R<Matrix>>(a, b, c);             \
    }                                                                                           \
    float3 Matrix::ToEuler##P##Q##R() const { return ToEuler<Matrix, &ExtractEuler##P##Q##R<Matrix>>(*this); }

#define VANDREL_EULER_QUAT_MEMBERS(P, Q, R, _)                                                  \
    Quat Quat::FromEuler##P##Q##R(float a, float b, float c) {                                  \
        return QuatFromEuler<euler::k##P, euler::k##Q, euler::k##R>(a, b, c);                   \
    }                                                                                           \
    float3 Quat::ToEuler##P##Q##R() const { return ToFloat3x3().ToEuler##P##Q##R(); }

VANDREL_EULER_ORDERS(VANDREL_EULER_MATRIX_MEMBERS, float3x3)
VANDREL_EULER_ORDERS(VANDREL_EULER_MATRIX_MEMBERS, float3x4)
VANDREL_EULER_ORDERS(VANDREL_EULER_MATRIX_MEMBERS, float4x4)
VANDREL_EULER_ORDERS(VANDREL_EULER_QUAT_MEMBERS, )

#undef VANDREL_EULER_QUAT_MEMBERS
#undef VANDREL_EULER_MATRIX_MEMBERS

}  // namespace math
