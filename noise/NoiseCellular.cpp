// Cellular noise: one feature point per lattice cell, displaced from the cell's corner by a
// table offset; the kernels find the nearest points among the 3 x 3 (x 3) cells around the
// coordinate's nearest lattice point.
#include <cmath>

#include "noise/Noise.h"
#include "noise/NoiseTables.h"

namespace noise {

namespace {

template <int D>
struct CellTables;
template <>
struct CellTables<2> {
    static constexpr const float *offset[2] = {CELL_2D_X, CELL_2D_Y};
};
template <>
struct CellTables<3> {
    static constexpr const float *offset[3] = {CELL_3D_X, CELL_3D_Y, CELL_3D_Z};
};

std::uint8_t IndexOf(const Permutation &perm, const std::int32_t (&c)[2]) { return perm.Index(0, c[0], c[1]); }
std::uint8_t IndexOf(const Permutation &perm, const std::int32_t (&c)[3]) { return perm.Index(0, c[0], c[1], c[2]); }

bool Known(CellularDistanceFunction f) {
    return f >= CellularDistanceFunction::Euclidean && f <= CellularDistanceFunction::Natural;
}

// The loops over the two or three components are unrolled by hand-placed pragmas: the search
// runs them 27 times per sample and -O2 would keep them rolled, at half the speed.
template <int D>
float Distance(CellularDistanceFunction f, const float (&v)[D]) {
    float squared = 0, manhattan = 0;
#pragma GCC unroll 3
    for (int n = 0; n < D; ++n) {
        squared += v[n] * v[n];
        manhattan += std::fabs(v[n]);
    }
    switch (f) {
        case CellularDistanceFunction::Euclidean: return squared;
        case CellularDistanceFunction::Manhattan: return manhattan;
        default: return squared + manhattan;  // Natural: unknown functions never search
    }
}

// Calls visit(distance, cell) for each of the 3^D cells around the nearest lattice point of
// p, the first axis varying slowest.
template <int D, class Visit>
void ForEachNeighbour(const Permutation &perm, CellularDistanceFunction f, const float (&p)[D], Visit visit) {
    std::int32_t centre[D], cell[D];
    for (int n = 0; n < D; ++n) centre[n] = Nearest(p[n]);
    const auto candidate = [&] {
        const std::uint8_t q = IndexOf(perm, cell);
        float v[D];
#pragma GCC unroll 3
        for (int n = 0; n < D; ++n) v[n] = static_cast<float>(cell[n]) - p[n] + CellTables<D>::offset[n][q];
        visit(Distance(f, v), cell);
    };
    for (int a = -1; a <= 1; ++a) {
        cell[0] = Wrap(std::int64_t{centre[0]} + a);
        for (int b = -1; b <= 1; ++b) {
            cell[1] = Wrap(std::int64_t{centre[1]} + b);
            if constexpr (D == 2) {
                candidate();
            } else {
                for (int c = -1; c <= 1; ++c) {
                    cell[2] = Wrap(std::int64_t{centre[2]} + c);
                    candidate();
                }
            }
        }
    }
}

}  // namespace

// An unknown distance function measures nothing: like other unknown settings it gives 0.
template <int D>
float Noise::Cellular(const float (&p)[D]) const {
    if (!Known(m_cellularDistanceFunction)) return 0;
    float best = 999999;
    std::int32_t closest[D] = {};
    ForEachNeighbour(m_perm, m_cellularDistanceFunction, p, [&](float d, const std::int32_t (&cell)[D]) {
        if (d < best) {
            best = d;
            std::copy(cell, cell + D, closest);
        }
    });
    switch (m_cellularReturnType) {
        case CellularReturnType::CellValue:
            if constexpr (D == 2) return Hash(m_seed, closest[0], closest[1]);
            else return Hash(m_seed, closest[0], closest[1], closest[2]);
        case CellularReturnType::NoiseLookup: {
            // Without a lookup generator there is nothing to sample.
            if (!m_cellularNoiseLookup) return 0;
            const std::uint8_t q = IndexOf(m_perm, closest);
            float at[D];
            for (int n = 0; n < D; ++n) at[n] = static_cast<float>(closest[n]) + CellTables<D>::offset[n][q];
            if constexpr (D == 2) return m_cellularNoiseLookup->GetNoise(at[0], at[1]);
            else return m_cellularNoiseLookup->GetNoise(at[0], at[1], at[2]);
        }
        case CellularReturnType::Distance: return best - 1;
        default: return 0;
    }
}

template <int D>
float Noise::Cellular2Edge(const float (&p)[D]) const {
    if (!Known(m_cellularDistanceFunction)) return 0;
    float d1 = 999999, d2 = 999999;
    ForEachNeighbour(m_perm, m_cellularDistanceFunction, p, [&](float d, const std::int32_t (&)[D]) {
        d2 = std::fmax(std::fmin(d2, d), d1);
        d1 = std::fmin(d1, d);
    });
    switch (m_cellularReturnType) {
        case CellularReturnType::Distance2: return d2 - 1;
        case CellularReturnType::Distance2Add: return d2 + d1 - 1;
        case CellularReturnType::Distance2Sub: return d2 - d1 - 1;
        case CellularReturnType::Distance2Mul: return d2 * d1 - 1;
        case CellularReturnType::Distance2Div: return d1 / d2 - 1;
        default: return 0;
    }
}

float Noise::SingleCellular(float x, float y) const { return Cellular<2>({x, y}); }
float Noise::SingleCellular(float x, float y, float z) const { return Cellular<3>({x, y, z}); }
float Noise::SingleCellular2Edge(float x, float y) const { return Cellular2Edge<2>({x, y}); }
float Noise::SingleCellular2Edge(float x, float y, float z) const { return Cellular2Edge<3>({x, y, z}); }

}  // namespace noise
