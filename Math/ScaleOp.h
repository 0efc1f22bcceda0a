#pragma once

#include <string>

#include "Math/float3.h"

namespace math {

class float3x3;
class float3x4;
class float4;
class float4x4;
class TranslateOp;

// A pure scale along the axes held as its three factors. The matrix builders return it, and
// its products with matrices scale whole rows or columns instead of multiplying matrices.
class ScaleOp {
public:
    float3 scale;

    ScaleOp(float x, float y, float z);
    explicit ScaleOp(const float3 &scale);
    explicit ScaleOp(const float4 &scale);  // w is ignored

    // The factors; the accessor bears the same name as the translation's.
    float3 Offset() const;

    // diag(x, y, z), with translation 0 and, for the 4x4 form, m33 = 1.
    float3x3 ToFloat3x3() const;
    float3x4 ToFloat3x4() const;
    float4x4 ToFloat4x4() const;
    operator float3x3() const;
    operator float3x4() const;
    operator float4x4() const;

    std::string ToString() const;  // "(x, y, z)" with three decimals
};

// A scale on the left scales rows (the 3x4 translation included, the 4x4 row 3 excluded);
// on the right it scales columns 0 to 2 (of every row of a 4x4).
float3x3 operator*(const ScaleOp &s, const float3x3 &m);
float3x3 operator*(const float3x3 &m, const ScaleOp &s);
float3x4 operator*(const ScaleOp &s, const float3x4 &m);
float3x4 operator*(const float3x4 &m, const ScaleOp &s);
float4x4 operator*(const ScaleOp &s, const float4x4 &m);
float4x4 operator*(const float4x4 &m, const ScaleOp &s);
// diag(s) with translation s * t, and diag(s) with translation t.
float3x4 operator*(const ScaleOp &s, const TranslateOp &t);
float3x4 operator*(const TranslateOp &t, const ScaleOp &s);

}  // namespace math
