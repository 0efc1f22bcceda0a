#pragma once

// Constant data of the noise kernels. Every lattice table is indexed by a lattice index in
// 0..255 (0..11 for the 3D gradients, 0..31 for the 4D ones).
#include <cstdint>

namespace noise {

// The edge midpoints of a cube; the 2D kernels use only x and y.
extern const float GRAD_X[12];
extern const float GRAD_Y[12];
extern const float GRAD_Z[12];

// 32 gradients of four components, one zero and three of +-1, as (x, y, z, w) rows.
extern const float GRAD_4D[32][4];

// The rank of each component among the four offsets of a 4D cell, for each comparison
// pattern of the simplex traversal; unreachable patterns hold zeros.
extern const std::uint8_t SIMPLEX_4D[64][4];

// Each of (2m - 255) / 255, m = 0..255, once, in a fixed shuffled order.
extern const float VAL_LUT[256];

// Feature-point offsets of length 0.45 in random directions.
extern const float CELL_3D_X[256];
extern const float CELL_3D_Y[256];
extern const float CELL_3D_Z[256];
extern const float CELL_2D_X[256];
extern const float CELL_2D_Y[256];

}  // namespace noise
