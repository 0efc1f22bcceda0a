#pragma once

#include <cmath>
#include <utility>

namespace math {

// Gauss-Jordan elimination with partial pivoting on an N x N row-major array.
// On success the inverse replaces m; on failure m receives the partial
// accumulator, so callers that must keep their matrix run this on a copy.
// A pivot that is NaN fails like one below epsilon.
template <int N>
bool GaussJordanInverse(float (&m)[N][N], float epsilon) {
    float inv[N][N];
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) inv[r][c] = r == c ? 1.f : 0.f;

    bool success = true;
    for (int c = 0; c < N; ++c) {
        int pivot = c;
        float magnitude = std::fabs(m[c][c]);
        for (int r = c + 1; r < N; ++r) {
            const float candidate = std::fabs(m[r][c]);
            if (candidate > magnitude) {
                pivot = r;
                magnitude = candidate;
            }
        }
        if (!(magnitude >= epsilon)) {
            success = false;
            break;
        }
        if (pivot != c) {
            for (int k = 0; k < N; ++k) std::swap(inv[c][k], inv[pivot][k]);
            for (int k = 0; k < N; ++k) std::swap(m[c][k], m[pivot][k]);
        }
        const float scale = 1.f / m[c][c];
        for (int k = 0; k < N; ++k) inv[c][k] *= scale;
        for (int k = 0; k < N; ++k) m[c][k] *= scale;
        for (int r = 0; r < N; ++r) {
            if (r == c) continue;
            const float f = m[r][c];
            for (int k = 0; k < N; ++k) inv[r][k] -= f * inv[c][k];
            for (int k = 0; k < N; ++k) m[r][k] -= f * m[c][k];
        }
    }
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) m[r][c] = inv[r][c];
    return success;
}

}  // namespace math
