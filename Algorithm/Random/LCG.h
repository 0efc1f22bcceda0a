#pragma once

#include <cstdint>

namespace math {

// Linear congruential generator: every random point, direction and matrix of the geometry
// library draws from one, passed by reference, so its arithmetic is fixed exactly.
class LCG {
public:
    uint32_t multiplier;
    uint32_t increment;
    uint32_t modulus;     // 0 logs and stands for 2^32
    uint32_t lastNumber;  // the seed, then the last number produced

    // Seeded from the clock's ticks, with multiplier 69621, increment 0 and modulus 2^31 - 1.
    LCG();

    void Seed(uint32_t seed, uint32_t multiplier, uint32_t increment, uint32_t modulus);

    uint32_t Int();      // (lastNumber * multiplier + increment) mod modulus
    uint32_t IntFast();  // one step modulo 2^32
    int Int(int a, int b);  // in [a, b], from one step

    float Float();          // [0, 1): the low 23 bits of one step as a mantissa
    float Float01Incl();    // [0, 1], from up to 101 steps
    float FloatNeg1_1();    // (-1, 1): bit 23 of one step picks the sign
    float Float(float a, float b);      // [a, b), from up to 10 steps; a when a == b
    float FloatIncl(float a, float b);  // a + Float() * (b - a): b only through rounding
};

}  // namespace math
