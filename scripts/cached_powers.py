#!/usr/bin/env python3
# Prints the table of cached powers of ten that Math/grisu3.cpp holds: 10^k for
# k = -340, -332, ..., 348 as a 64-bit significand with its top bit set, rounded to nearest,
# with the binary exponent e and the decimal exponent k (10^k ~ significand * 2^e).
from fractions import Fraction

for k in range(-340, 349, 8):
    value = Fraction(10) ** k
    e = value.numerator.bit_length() - value.denominator.bit_length() - 64
    while value / Fraction(2) ** e >= 2 ** 64:
        e += 1
    while value / Fraction(2) ** e < 2 ** 63:
        e -= 1
    scaled = value / Fraction(2) ** e
    significand = (scaled.numerator * 2 + scaled.denominator) // (2 * scaled.denominator)
    if significand == 2 ** 64:
        significand //= 2
        e += 1
    print(f"    {{0x{significand:016X}ull, {e}, {k}}},")
