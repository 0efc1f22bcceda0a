#include "Math/ScaleOp.h"

#include "Math/TextFormat.h"
#include "Math/TranslateOp.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

// Row r of the first three rows times factor r, over the first n entries of each row.
template <typename Matrix>
Matrix ScaledRows(const ScaleOp &s, const Matrix &m, int n) {
    Matrix r = m;
    const float factors[3] = {s.scale.x, s.scale.y, s.scale.z};
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < n; ++c) r.elements[row][c] *= factors[row];
    return r;
}

// Column c of the first three columns times factor c, over the first n rows.
template <typename Matrix>
Matrix ScaledColumns(const Matrix &m, const ScaleOp &s, int n) {
    Matrix r = m;
    const float factors[3] = {s.scale.x, s.scale.y, s.scale.z};
    for (int row = 0; row < n; ++row)
        for (int c = 0; c < 3; ++c) r.elements[row][c] *= factors[c];
    return r;
}

}  // namespace

ScaleOp::ScaleOp(float x, float y, float z) : scale(x, y, z) {}

ScaleOp::ScaleOp(const float3 &scale_) : scale(scale_) {}

ScaleOp::ScaleOp(const float4 &scale_) : scale(scale_.xyz()) {}

float3 ScaleOp::Offset() const { return scale; }

float3x3 ScaleOp::ToFloat3x3() const { return float3x3(scale.x, 0.f, 0.f, 0.f, scale.y, 0.f, 0.f, 0.f, scale.z); }

float3x4 ScaleOp::ToFloat3x4() const { return float3x4(ToFloat3x3()); }

float4x4 ScaleOp::ToFloat4x4() const { return float4x4(ToFloat3x3()); }

ScaleOp::operator float3x3() const { return ToFloat3x3(); }

ScaleOp::operator float3x4() const { return ToFloat3x4(); }

ScaleOp::operator float4x4() const { return ToFloat4x4(); }

std::string ScaleOp::ToString() const {
    return FormatText("(%.3f, %.3f, %.3f)", PrintableFloat(scale.x), PrintableFloat(scale.y),
                      PrintableFloat(scale.z));
}

float3x3 operator*(const ScaleOp &s, const float3x3 &m) { return ScaledRows(s, m, 3); }
float3x3 operator*(const float3x3 &m, const ScaleOp &s) { return ScaledColumns(m, s, 3); }
float3x4 operator*(const ScaleOp &s, const float3x4 &m) { return ScaledRows(s, m, 4); }
float3x4 operator*(const float3x4 &m, const ScaleOp &s) { return ScaledColumns(m, s, 3); }
float4x4 operator*(const ScaleOp &s, const float4x4 &m) { return ScaledRows(s, m, 4); }
float4x4 operator*(const float4x4 &m, const ScaleOp &s) { return ScaledColumns(m, s, 4); }

float3x4 operator*(const ScaleOp &s, const TranslateOp &t) {
    return float3x4(s.ToFloat3x3(), s.scale.Mul(t.offset));
}

float3x4 operator*(const TranslateOp &t, const ScaleOp &s) { return float3x4(s.ToFloat3x3(), t.offset); }

}  // namespace math
