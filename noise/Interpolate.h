#pragma once

// Interpolation over the corners of a lattice cell. `corner(i, j[, k])` returns the value at
// the corner that is i, j, k cells from the lowest one (0 or 1 for the linear forms, 0 to 3
// for the cubic ones, where 1 is the cell's own lowest corner). Lines run along x first,
// then y, then z, as the kernels' float results depend on that order.
#include "noise/Lattice.h"

namespace noise {

template <class Corner>
float Bilinear(Corner corner, float xs, float ys) {
    const float low = Lerp(corner(0, 0), corner(1, 0), xs);
    const float high = Lerp(corner(0, 1), corner(1, 1), xs);
    return Lerp(low, high, ys);
}

template <class Corner>
float Trilinear(Corner corner, float xs, float ys, float zs) {
    const float low = Bilinear([&](int i, int j) { return corner(i, j, 0); }, xs, ys);
    const float high = Bilinear([&](int i, int j) { return corner(i, j, 1); }, xs, ys);
    return Lerp(low, high, zs);
}

template <class Corner>
float Bicubic(Corner corner, float xs, float ys) {
    float rows[4];
    for (int j = 0; j < 4; ++j) rows[j] = CubicLerp(corner(0, j), corner(1, j), corner(2, j), corner(3, j), xs);
    return CubicLerp(rows[0], rows[1], rows[2], rows[3], ys);
}

template <class Corner>
float Tricubic(Corner corner, float xs, float ys, float zs) {
    float planes[4];
    for (int k = 0; k < 4; ++k) planes[k] = Bicubic([&](int i, int j) { return corner(i, j, k); }, xs, ys);
    return CubicLerp(planes[0], planes[1], planes[2], planes[3], zs);
}

}  // namespace noise
