#include "Math/TranslateOp.h"

#include "Math/TextFormat.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

TranslateOp::TranslateOp(float x, float y, float z) : offset(x, y, z) {}

TranslateOp::TranslateOp(const float3 &offset_) : offset(offset_) {}

float3 TranslateOp::Offset() const { return offset; }

float3x4 TranslateOp::ToFloat3x4() const { return float3x4(float3x3::identity, offset); }

float4x4 TranslateOp::ToFloat4x4() const { return float4x4(ToFloat3x4()); }

TranslateOp::operator float3x4() const { return ToFloat3x4(); }

TranslateOp::operator float4x4() const { return ToFloat4x4(); }

std::string TranslateOp::ToString() const {
    return FormatText("(%.3f, %.3f, %.3f)", PrintableFloat(offset.x), PrintableFloat(offset.y),
                      PrintableFloat(offset.z));
}

float3x4 operator*(const TranslateOp &t, const float3x4 &m) {
    float3x4 r = m;
    r.SetCol(3, m.TranslatePart() + t.offset);
    return r;
}

float3x4 operator*(const float3x4 &m, const TranslateOp &t) {
    float3x4 r = m;
    r.SetCol(3, m.TransformPos(t.offset));
    return r;
}

float4x4 operator*(const TranslateOp &t, const float4x4 &m) {
    float4x4 r = m;
    r.Float3x4Part() = t * m.Float3x4Part();
    return r;
}

float4x4 operator*(const float4x4 &m, const TranslateOp &t) {
    float4x4 r = m;
    r.Float3x4Part() = m.Float3x4Part() * t;
    return r;
}

}  // namespace math
