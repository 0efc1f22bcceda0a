#include "Math/MathFunc.h"

#include <climits>
#include <cstring>
#include <vector>

#include "Math/Assume.h"
#include "Math/float4.h"

namespace math {

namespace {

constexpr double kLn2 = 0.6931471805599453;
constexpr double kLn10 = 2.302585092994046;
constexpr float kSignTable[2] = {-1.f, 1.f};

// NaN and values outside the int range give INT_MIN, as the x86 conversion instruction does.
int to_int_or_min(float x) {
    if (!(x >= -2147483648.f && x < 2147483648.f)) return INT_MIN;
    return static_cast<int>(x);
}

// Copies the highest set bit into every lower bit.
template <typename Unsigned>
Unsigned smear_right(Unsigned x) {
    for (unsigned shift = 1; shift < sizeof(Unsigned) * 8; shift <<= 1) x |= x >> shift;
    return x;
}

// The first count components of angles through SinCos.
void sin_cos_leading(const float4 &angles, float4 &outSin, float4 &outCos, int count) {
    for (int i = 0; i < count; ++i) SinCos(angles.At(i), outSin.At(i), outCos.At(i));
}

}  // namespace

void SinCos2(const float4 &angles, float4 &outSin, float4 &outCos) { sin_cos_leading(angles, outSin, outCos, 2); }
void SinCos3(const float4 &angles, float4 &outSin, float4 &outCos) { sin_cos_leading(angles, outSin, outCos, 3); }
void SinCos4(const float4 &angles, float4 &outSin, float4 &outCos) { sin_cos_leading(angles, outSin, outCos, 4); }

float Pow(float base, float power) { return static_cast<float>(pow(base, power)); }
float Exp(float x) { return static_cast<float>(exp(x)); }
float Ln(float x) { return static_cast<float>(log(x)); }
float Log(float base, float value) { return static_cast<float>(log(value) / log(base)); }
float Log2(float x) { return static_cast<float>(log(x) / kLn2); }
float Log10(float x) { return static_cast<float>(log(x) / kLn10); }
float Mod(float x, float mod) { return static_cast<float>(fmod(x, mod)); }
float Mod(float x, int mod) { return Mod(x, static_cast<float>(mod)); }

int CeilInt(float x) { return to_int_or_min(ceilf(x)); }
int FloorInt(float x) { return to_int_or_min(floorf(x)); }

// The half is added in double: in float, 0.49999997 + 0.5 and odd integers above 2^23 round
// up before the floor is taken.
float Round(float x) { return static_cast<float>(floor(static_cast<double>(x) + 0.5)); }
int RoundInt(float x) { return to_int_or_min(Round(x)); }

float Sign(float x) { return kSignTable[x >= 0.f]; }
float SignOrZero(float x, float epsilon) { return fabsf(x) <= epsilon ? 0.f : Sign(x); }
float Frac(float x) { return x - floorf(x); }

float Lerp(float a, float b, float t) { return a + (b - a) * t; }
float InvLerp(float a, float b, float x) { return (x - a) / (b - a); }
float Step(float y, float x) { return x >= y ? 1.f : 0.f; }

float SmoothStep(float min, float max, float x) {
    if (x <= min) return 0.f;
    if (x >= max) return 1.f;
    return (x - min) / (max - min);
}

float LerpMod(float a, float b, float mod, float t) {
    a = ModPos(a, mod);
    b = ModPos(b, mod);
    if (mod >= 2.f * fabsf(b - a)) return (b - a) * t + a;
    if (b > a)
        a += mod;
    else
        b += mod;
    return ModPos((b - a) * t + a, mod);
}

float ModPos(float x, float mod) {
    const float r = Mod(x, mod);
    return r >= 0.f ? r : mod + r;
}

float ModPos(float x, int mod) {
    const float r = Mod(x, mod);
    return r >= 0.f ? r : static_cast<float>(mod) + r;
}

float PingPongMod(float x, float mod) {
    const float r = fmodf(x, 2.f * mod);
    return r < mod ? r : 2.f * mod - r;
}

bool IsPow2(unsigned number) { return (number & (number - 1)) == 0; }
bool IsPow2(unsigned long long number) { return (number & (number - 1)) == 0; }

unsigned RoundUpPow2(unsigned x) { return smear_right(x - 1) + 1; }
unsigned long long RoundUpPow2(unsigned long long x) { return smear_right(x - 1) + 1; }

unsigned RoundDownPow2(unsigned x) {
    const unsigned smeared = smear_right(x);
    return smeared - (smeared >> 1);
}

unsigned long long RoundDownPow2(unsigned long long x) {
    const unsigned long long smeared = smear_right(x);
    return smeared - (smeared >> 1);
}

// In unsigned arithmetic, so that an overflow wraps instead of being undefined.
int RoundIntUpToMultipleOfPow2(int x, int n) {
    MATH_ASSUME(n >= 0, "number >= 0", "Math/MathFunc", 169);
    MATH_ASSUME(IsPow2(static_cast<unsigned>(n)), "IsPow2(n)", "Math/MathFunc", 298);
    const unsigned un = static_cast<unsigned>(n);
    return static_cast<int>((static_cast<unsigned>(x) + un - 1u) & (0u - un));
}

long long RoundIntUpToMultipleOfPow2(long long x, long long n) {
    MATH_ASSUME(n >= 0, "number >= 0", "Math/MathFunc", 170);
    MATH_ASSUME(IsPow2(static_cast<unsigned long long>(n)), "IsPow2(n)", "Math/MathFunc", 304);
    const unsigned long long un = static_cast<unsigned long long>(n);
    return static_cast<long long>((static_cast<unsigned long long>(x) + un - 1u) & (0u - un));
}

int Factorial(int n) {
    unsigned product = 1;
    for (int i = 2; i <= n; ++i) product *= static_cast<unsigned>(i);
    return static_cast<int>(product);
}

// The recursion's plain base case ("1 when k <= 0 or k >= n") would count one way of
// choosing k > n items out of n, or a negative number of them. Outside 0 <= k <= n this
// gives 0 instead, the binomial coefficient, as CombinatorialTab does.
int CombinatorialRec(int n, int k) {
    if (k == 0 || k == n) return 1;
    if (k < 0 || k > n) return 0;
    int sum = 1;
    for (int m = n - 1; m >= k; --m) sum += CombinatorialRec(m, k - 1);
    return sum;
}

int CombinatorialTab(int n, int k) {
    if (k == 0 || k == n) return 1;
    if (k < 0 || k > n) return 0;
    // Entries at or beyond the row number are never written and stay C(i, i) = 1.
    std::vector<unsigned> previous(k + 1, 1u);
    std::vector<unsigned> current(k + 1, 1u);
    for (int row = 2; row <= n; ++row) {
        const int last = row - 1 < k ? row - 1 : k;
        for (int j = 1; j <= last; ++j) current[j] = previous[j - 1] + previous[j];
        previous.swap(current);
    }
    return static_cast<int>(previous[k]);
}

float PowUInt(float base, unsigned exponent) {
    float result = 1.f;
    for (int bit = 31; bit >= 0; --bit) {
        if ((exponent >> bit) == 0) continue;  // above the highest set bit
        result *= result;
        if ((exponent >> bit) & 1u) result *= base;
    }
    return result;
}

float PowInt(float base, int exponent) {
    if (exponent == 0) return 1.f;
    if (exponent > 0) return PowUInt(base, static_cast<unsigned>(exponent));
    return 1.f / PowUInt(base, 0u - static_cast<unsigned>(exponent));
}

unsigned BinaryStringToValue(const char *str) {
    if (!str) return 0;
    const size_t length = strlen(str);
    unsigned value = 0;
    for (size_t i = 0; i < length && i < 32; ++i)
        if (str[length - 1 - i] != '0') value |= 1u << i;
    return value;
}

int Polynomial::SolveQuadratic(float a, float b, float c, float &roots1, float &roots2) {
    const float discriminant = (-4.f * a) * c + b * b;
    if (discriminant < -1e-6f) return 0;
    const float inv2a = 1.f / (2.f * a);
    if (discriminant < 1e-6f) {
        roots1 = -(inv2a * b);
        return 1;
    }
    const float root = sqrtf(discriminant);
    roots1 = (root - b) * inv2a;
    roots2 = (-b - root) * inv2a;
    return 2;
}

}  // namespace math
