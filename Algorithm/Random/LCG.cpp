#include "Algorithm/Random/LCG.h"

#include <cstring>

#include "Math/Assume.h"
#include "Time/Clock.h"

namespace math {

namespace {

const uint32_t kDefaultMultiplier = 69621;
const uint32_t kDefaultModulus = 0x7FFFFFFF;

// A multiplicative generator seeded with a multiple of its modulus stays at 0 for ever.
uint32_t NonDegenerateSeed(uint32_t tick) { return tick % kDefaultModulus == 0 ? 1u : tick; }

float FloatFromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The low 23 bits as the mantissa of a float in [1, 2), minus 1.
float UnitFloat(uint32_t bits) { return FloatFromBits(0x3F800000u | (bits & 0x7FFFFFu)) - 1.f; }

}  // namespace

LCG::LCG()
    : multiplier(kDefaultMultiplier),
      increment(0),
      modulus(kDefaultModulus),
      lastNumber(NonDegenerateSeed(Clock::TickU32())) {}

void LCG::Seed(uint32_t seed, uint32_t multiplier_, uint32_t increment_, uint32_t modulus_) {
    lastNumber = seed;
    multiplier = multiplier_;
    increment = increment_;
    modulus = modulus_;
}

uint32_t LCG::Int() {
    MATH_ASSUME(modulus != 0, "modulus != 0", "Algorithm/Random/LCG", 78);
    // The product of two 32-bit values plus a 32-bit increment fits in 64 bits.
    const uint64_t next = (uint64_t)lastNumber * multiplier + increment;
    lastNumber = modulus != 0 ? (uint32_t)(next % modulus) : (uint32_t)next;
    return lastNumber;
}

uint32_t LCG::IntFast() {
    MATH_ASSUME(increment == 0, "increment == 0", "Algorithm/Random/LCG", 67);
    MATH_ASSUME(multiplier % 2 == 1,
                "multiplier % 2 == 1 && \"Multiplier should be odd for LCG::IntFast(), since "
                "modulus==2^32 is even!\"",
                "Algorithm/Random/LCG", 68);
    const uint32_t product = lastNumber * multiplier;
    lastNumber = product <= lastNumber ? product + 1 : product;
    MATH_ASSUME(lastNumber != 0, "lastNumber != 0", "Algorithm/Random/LCG", 72);
    return lastNumber;
}

int LCG::Int(int a, int b) {
    MATH_ASSUME(a <= b, "a <= b && \"Error in range!\"", "Algorithm/Random/LCG", 104);
    const float unit = UnitFloat(Int());
    // In 64 bits, so that a range of 2^31 or more neither overflows nor collapses to a.
    const int64_t range = (int64_t)b - a + 1;
    const int64_t n = (int64_t)((float)range * unit);
    const int64_t r = n < 0 ? a : a + n;
    return r > b ? b : (int)r;
}

float LCG::Float() { return UnitFloat(Int()); }

float LCG::Float01Incl() {
    uint32_t r = Int();
    for (int redraws = 0; redraws < 100; ++redraws) {
        const uint32_t bits = r & 0xFFFFFFu;
        if (bits == 0x800000u) return 1.f;
        if (bits < 0x800000u) return UnitFloat(bits);
        r = Int();
    }
    return UnitFloat(r);
}

float LCG::FloatNeg1_1() {
    const uint32_t r = Int();
    const uint32_t sign = (r & 0x800000u) << 8;
    // (-1) - (-1) is +0: a set bit 23 gives a result <= 0, not always a set sign bit.
    return FloatFromBits(sign | 0x3F800000u | (r & 0x7FFFFFu)) - FloatFromBits(sign | 0x3F800000u);
}

float LCG::Float(float a, float b) {
    if (a == b) return a;
    const float range = b - a;
    for (int draw = 0; draw < 10; ++draw) {
        const float f = Float() * range + a;
        if (!(f == b)) return f;  // a NaN counts as differing from b
    }
    return a;
}

float LCG::FloatIncl(float a, float b) { return a + Float() * (b - a); }

}  // namespace math
