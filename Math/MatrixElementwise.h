#pragma once

#include <cstddef>
#include <iterator>

// The element-wise arithmetic and the in-place batch loop that every matrix type shares,
// written once over the matrix's `elements` rows so that the types cannot drift apart.
namespace math {
namespace matrix_elementwise {

template <typename Matrix>
Matrix &Scale(Matrix &m, float scalar) {
    for (auto &row : m.elements)
        for (float &e : row) e *= scalar;
    return m;
}

// Multiplies by the reciprocal, as the vector types divide.
template <typename Matrix>
Matrix &Divide(Matrix &m, float scalar) {
    return Scale(m, 1.f / scalar);
}

template <typename Matrix>
Matrix &Add(Matrix &m, const Matrix &rhs) {
    for (std::size_t i = 0; i < std::size(m.elements); ++i)
        for (std::size_t j = 0; j < std::size(m.elements[i]); ++j) m.elements[i][j] += rhs.elements[i][j];
    return m;
}

template <typename Matrix>
Matrix &Subtract(Matrix &m, const Matrix &rhs) {
    for (std::size_t i = 0; i < std::size(m.elements); ++i)
        for (std::size_t j = 0; j < std::size(m.elements[i]); ++j) m.elements[i][j] -= rhs.elements[i][j];
    return m;
}

template <typename Matrix>
Matrix Negated(Matrix m) {
    for (auto &row : m.elements)
        for (float &e : row) e = -e;
    return m;
}

// The value forms work on a copy and reuse the compound ones.
template <typename Matrix>
Matrix Scaled(Matrix m, float scalar) {
    return Scale(m, scalar);
}

template <typename Matrix>
Matrix Divided(Matrix m, float scalar) {
    return Divide(m, scalar);
}

template <typename Matrix>
Matrix Sum(Matrix m, const Matrix &rhs) {
    return Add(m, rhs);
}

template <typename Matrix>
Matrix Difference(Matrix m, const Matrix &rhs) {
    return Subtract(m, rhs);
}

// Replaces count vectors in place by map applied to them; consecutive vectors start stride
// bytes apart. A null pointer or a count below 1 does nothing.
template <typename Vector, typename Map>
void BatchMap(Vector *vectors, int count, int stride, Map map) {
    if (!vectors) return;
    char *bytes = reinterpret_cast<char *>(vectors);
    for (int i = 0; i < count; ++i) {
        Vector &v = *reinterpret_cast<Vector *>(bytes + static_cast<std::ptrdiff_t>(i) * stride);
        v = map(v);
    }
}

}  // namespace matrix_elementwise
}  // namespace math
