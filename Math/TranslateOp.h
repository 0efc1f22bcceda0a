#pragma once

#include <string>

#include "Math/float3.h"

namespace math {

class float3x4;
class float4x4;

// A pure translation held as its offset. The matrix builders return it, and its products
// with matrices touch only the translation entries, so every other entry keeps its bits.
class TranslateOp {
public:
    float3 offset;

    TranslateOp(float x, float y, float z);
    explicit TranslateOp(const float3 &offset);

    float3 Offset() const;

    // Rows (1, 0, 0, x), (0, 1, 0, y), (0, 0, 1, z), and (0, 0, 0, 1) for the 4x4 form.
    float3x4 ToFloat3x4() const;
    float4x4 ToFloat4x4() const;
    operator float3x4() const;
    operator float4x4() const;

    std::string ToString() const;  // "(x, y, z)" with three decimals
};

// The translation column becomes m's translation + t.
float3x4 operator*(const TranslateOp &t, const float3x4 &m);
// The translation column becomes m.TransformPos(t).
float3x4 operator*(const float3x4 &m, const TranslateOp &t);
// Both copy row 3 unchanged, so they equal the full products only for matrices whose last
// row is (0, 0, 0, 1), the only kind the system builds.
float4x4 operator*(const TranslateOp &t, const float4x4 &m);
float4x4 operator*(const float4x4 &m, const TranslateOp &t);

}  // namespace math
