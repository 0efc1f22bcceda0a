#pragma once

#include <cmath>

#include "Math/EulerOrders.h"
#include "Math/MathFunc.h"

// Rotations as three angles about coordinate axes, in the twelve axis orders PQR: the
// matrix RotP(a) RotQ(b) RotR(c), whose rotation about R acts first on a column vector.
// The templates serve the three matrix types alike and touch only the 3x3 part.
namespace math {

namespace euler {

enum Axis { kX = 0, kY = 1, kZ = 2 };

// An entry of the elementary rotation about an axis: rows (1, 0, 0), (0, c, -s), (0, s, c)
// about X and their cyclic shifts about Y and Z.
enum class Entry { kZero, kOne, kCos, kSin, kMinusSin };

constexpr Entry RotationEntry(int axis, int row, int col) {
    if (row == axis || col == axis) return row == col ? Entry::kOne : Entry::kZero;
    if (row == col) return Entry::kCos;
    return row == (axis + 1) % 3 ? Entry::kMinusSin : Entry::kSin;
}

// Element (i, j) of RotP(a) RotQ(b) RotR(c) in closed form: the nonzero terms of the triple
// product in the order of the summation indices, each the product of its sines and
// cosines taken in the order P, Q, R, the terms summed left to right.
template <int P, int Q, int R>
float ProductElement(int i, int j, const float (&sin)[3], const float (&cos)[3]) {
    float sum = 0.f;
    bool first = true;
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l) {
            const Entry entries[3] = {RotationEntry(P, i, k), RotationEntry(Q, k, l), RotationEntry(R, l, j)};
            if (entries[0] == Entry::kZero || entries[1] == Entry::kZero || entries[2] == Entry::kZero) continue;
            float term = 1.f;  // a factor of 1 changes no bit
            bool negative = false;
            for (int f = 0; f < 3; ++f) {
                if (entries[f] == Entry::kOne) continue;
                term *= entries[f] == Entry::kCos ? cos[f] : sin[f];
                negative ^= entries[f] == Entry::kMinusSin;
            }
            // The first term is taken as it is rather than added to zero, which would turn
            // a negative zero positive.
            if (first) sum = negative ? -term : term;
            else sum = negative ? sum - term : sum + term;
            first = false;
        }
    return sum;
}

// Writes RotP(a) RotQ(b) RotR(c) into the 3x3 part of m and leaves the rest alone.
template <int P, int Q, int R, typename Matrix>
void Set3x3PartRotateEuler(Matrix &m, float a, float b, float c) {
    float sin[3], cos[3];
    SinCos(a, sin[0], cos[0]);
    SinCos(b, sin[1], cos[1]);
    SinCos(c, sin[2], cos[2]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m.elements[i][j] = ProductElement<P, Q, R>(i, j, sin, cos);
}

// An element of the 3x3 part, perhaps negated, as an argument of atan2.
struct SignedElement {
    int row, col;
    bool negated;
};

// Where the angles of one order are read. The second angle comes from element e: acos(e)
// for the proper orders (P == R), asin(e) or asin(-e) for the others.
struct Extraction {
    bool proper;
    SignedElement e;
    bool asinOfMinusE;
    SignedElement first[2], third[2];  // atan2(sine side, cosine side)
    SignedElement firstAtPlusOne[2], firstAtMinusOne[2];
};

template <typename Matrix>
double Read(const Matrix &m, const SignedElement &s) {
    const double v = m.elements[s.row][s.col];
    return s.negated ? -v : v;
}

template <typename Matrix>
float AngleOf(const Matrix &m, const SignedElement (&args)[2]) {
    return float(std::atan2(Read(m, args[0]), Read(m, args[1])));
}

// The float nearest pi and the float nearest pi/2.
constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;

// Reads the three angles; elements slightly beyond 1 in magnitude through rounding take
// the end branches, where the third angle is 0 and the first carries the whole turn
// about the first axis. A NaN e takes the e >= 1 end.
template <typename Matrix>
void Extract(const Extraction &x, const Matrix &m, float &first, float &second, float &third) {
    const float e = m.elements[x.e.row][x.e.col];
    const bool inside = -1.f < e && e < 1.f;
    if (inside) {
        const double widened = e;
        second = x.proper ? float(std::acos(widened)) : float(std::asin(x.asinOfMinusE ? -widened : widened));
        first = AngleOf(m, x.first);
        third = AngleOf(m, x.third);
        return;
    }
    const bool minusEnd = e <= -1.f;
    first = AngleOf(m, minusEnd ? x.firstAtMinusOne : x.firstAtPlusOne);
    if (x.proper) second = minusEnd ? kPi : 0.f;
    else second = minusEnd != x.asinOfMinusE ? -kHalfPi : kHalfPi;
    third = 0.f;
}

constexpr SignedElement M(int row, int col) { return {row, col, false}; }
constexpr SignedElement Neg(int row, int col) { return {row, col, true}; }

// The order's table: proper, e, asin(-e), first, third, first at e >= 1, first at e <= -1.
constexpr Extraction kXYX{true, M(0, 0), false, {M(1, 0), Neg(2, 0)}, {M(0, 1), M(0, 2)},
                          {Neg(1, 2), M(1, 1)}, {M(1, 2), M(1, 1)}};
constexpr Extraction kXZX{true, M(0, 0), false, {M(2, 0), M(1, 0)}, {M(0, 2), Neg(0, 1)},
                          {M(2, 1), M(2, 2)}, {Neg(2, 1), M(2, 2)}};
constexpr Extraction kYXY{true, M(1, 1), false, {M(0, 1), M(2, 1)}, {M(1, 0), Neg(1, 2)},
                          {M(0, 2), M(0, 0)}, {Neg(0, 2), M(0, 0)}};
constexpr Extraction kYZY{true, M(1, 1), false, {M(2, 1), Neg(0, 1)}, {M(1, 2), M(1, 0)},
                          {Neg(2, 0), M(2, 2)}, {M(2, 0), M(2, 2)}};
constexpr Extraction kZXZ{true, M(2, 2), false, {M(0, 2), Neg(1, 2)}, {M(2, 0), M(2, 1)},
                          {Neg(0, 1), M(0, 0)}, {M(0, 1), M(0, 0)}};
constexpr Extraction kZYZ{true, M(2, 2), false, {M(1, 2), M(0, 2)}, {M(2, 1), Neg(2, 0)},
                          {M(1, 0), M(1, 1)}, {Neg(1, 0), M(1, 1)}};
constexpr Extraction kXYZ{false, M(0, 2), false, {Neg(1, 2), M(2, 2)}, {Neg(0, 1), M(0, 0)},
                          {M(1, 0), M(1, 1)}, {Neg(1, 0), M(1, 1)}};
constexpr Extraction kXZY{false, M(0, 1), true, {M(2, 1), M(1, 1)}, {M(0, 2), M(0, 0)},
                          {Neg(2, 0), M(2, 2)}, {M(2, 0), M(2, 2)}};
constexpr Extraction kYXZ{false, M(1, 2), true, {M(0, 2), M(2, 2)}, {M(1, 0), M(1, 1)},
                          {Neg(0, 1), M(0, 0)}, {M(0, 1), M(0, 0)}};
constexpr Extraction kYZX{false, M(1, 0), false, {Neg(2, 0), M(0, 0)}, {Neg(1, 2), M(1, 1)},
                          {M(2, 1), M(2, 2)}, {Neg(2, 1), M(2, 2)}};
constexpr Extraction kZXY{false, M(2, 1), false, {Neg(0, 1), M(1, 1)}, {Neg(2, 0), M(2, 2)},
                          {M(0, 2), M(0, 0)}, {Neg(0, 2), M(0, 0)}};
constexpr Extraction kZYX{false, M(2, 0), true, {M(1, 0), M(0, 0)}, {M(2, 1), M(2, 2)},
                          {Neg(1, 2), M(1, 1)}, {M(1, 2), M(1, 1)}};

}  // namespace euler

// Set3x3PartRotateEulerPQR(m, a, b, c) and ExtractEulerPQR(m, first, second, third) for
// each order, over any matrix type with a 3x3 part.
#define VANDREL_EULER_TEMPLATES(P, Q, R, _)                                                       \
    template <typename Matrix>                                                                    \
    void Set3x3PartRotateEuler##P##Q##R(Matrix &m, float a, float b, float c) {                   \
        euler::Set3x3PartRotateEuler<euler::k##P, euler::k##Q, euler::k##R>(m, a, b, c);          \
    }                                                                                             \
    template <typename Matrix>                                                                    \
    void ExtractEuler##P##Q##R(const Matrix &m, float &first, float &second, float &third) {      \
        euler::Extract(euler::k##P##Q##R, m, first, second, third);                               \
    }
VANDREL_EULER_ORDERS(VANDREL_EULER_TEMPLATES, )
#undef VANDREL_EULER_TEMPLATES

}  // namespace math
