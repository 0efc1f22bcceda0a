#pragma once

#include <cmath>

namespace math {

class float4;

// Single-precision platform mathematics.
inline float Sin(float angle) { return sinf(angle); }
inline float Cos(float angle) { return cosf(angle); }
inline float Tan(float angle) { return tanf(angle); }
inline float Asin(float x) { return asinf(x); }
inline float Acos(float x) { return acosf(x); }
inline float Atan(float x) { return atanf(x); }
inline float Atan2(float y, float x) { return atan2f(y, x); }
inline float Sinh(float x) { return sinhf(x); }
inline float Cosh(float x) { return coshf(x); }
inline float Tanh(float x) { return tanhf(x); }
inline float Ceil(float x) { return ceilf(x); }
inline float Floor(float x) { return floorf(x); }

inline void SinCos(float angle, float &outSin, float &outCos) {
    outSin = sinf(angle);
    outCos = cosf(angle);
}

// SinCos of the first two, three or four components; the other output components are left as they were.
void SinCos2(const float4 &angles, float4 &outSin, float4 &outCos);
void SinCos3(const float4 &angles, float4 &outSin, float4 &outCos);
void SinCos4(const float4 &angles, float4 &outSin, float4 &outCos);

// Powers, exponentials, logarithms and remainders are taken in double and narrowed.
float Pow(float base, float power);
float Exp(float x);
float Ln(float x);
float Log(float base, float value);
float Log2(float x);
float Log10(float x);
float Mod(float x, float mod);
float Mod(float x, int mod);

// Float to int conversions give INT_MIN for NaN and for values outside the int range.
int CeilInt(float x);
int FloorInt(float x);
float Round(float x);  // halves round up, also below zero: -2.5 gives -2
int RoundInt(float x);
float Sign(float x);  // +1 for x >= 0 (also -0), else -1 (also NaN)
float SignOrZero(float x, float epsilon);
float Frac(float x);

float Lerp(float a, float b, float t);
float InvLerp(float a, float b, float x);
float Step(float y, float x);
float SmoothStep(float min, float max, float x);  // a linear ramp from min to max
float LerpMod(float a, float b, float mod, float t);  // the shorter way round the circle
float ModPos(float x, float mod);
float ModPos(float x, int mod);
float PingPongMod(float x, float mod);

bool IsPow2(unsigned number);  // true for 0 as well
bool IsPow2(unsigned long long number);
unsigned RoundUpPow2(unsigned x);  // 0, and values above the largest power of two, give 0
unsigned long long RoundUpPow2(unsigned long long x);
unsigned RoundDownPow2(unsigned x);
unsigned long long RoundDownPow2(unsigned long long x);
int RoundIntUpToMultipleOfPow2(int x, int n);
long long RoundIntUpToMultipleOfPow2(long long x, long long n);
int Factorial(int n);  // wraps in 32 bits
int CombinatorialRec(int n, int k);  // the binomial coefficient by recursion; 0 outside 0 <= k <= n
int CombinatorialTab(int n, int k);  // the binomial coefficient from Pascal's rule
float PowUInt(float base, unsigned exponent);
float PowInt(float base, int exponent);
// Any character other than '0' counts as a one bit; only the last 32 characters count.
unsigned BinaryStringToValue(const char *str);

struct Polynomial {
    // The number of real roots of a*t^2 + b*t + c (a != 0): 0, 1 (in roots1) or 2.
    static int SolveQuadratic(float a, float b, float c, float &roots1, float &roots2);
};

}  // namespace math
